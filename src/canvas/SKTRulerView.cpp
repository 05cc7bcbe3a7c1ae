#include "canvas/SKTRulerView.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "canvas/SKTZoomingScrollView.h"

SKTRulerView::SKTRulerView(Qt::Orientation orientation, SWCenteringClipView* clip, QWidget* parent)
    : QWidget(parent), _orientation(orientation), _clip(clip) {
  if (orientation == Qt::Horizontal)
    setFixedHeight(kThickness);
  else
    setFixedWidth(kThickness);
}

void SKTRulerView::moveRulerlineFromLocation(double oldLocation, double newLocation) {
  if (oldLocation != -1.0) {
    auto it = std::find(_markers.begin(), _markers.end(), oldLocation);
    if (it != _markers.end()) _markers.erase(it);
  }
  if (newLocation != -1.0) _markers.push_back(newLocation);
  update();
}

void SKTRulerView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), QColor(236, 236, 236));
  p.setPen(QColor(160, 160, 160));
  const bool h = _orientation == Qt::Horizontal;
  if (h)
    p.drawLine(0, height() - 1, width(), height() - 1);
  else
    p.drawLine(width() - 1, 0, width() - 1, height());
  if (!_clip) return;
  const double f = _clip->factor();
  const double origin = h ? _clip->boundsOrigin().x() : _clip->boundsOrigin().y();
  const double length = (h ? width() : height()) / f;
  // Ticks every 10 points (every 50 at small zooms), labels every 50 or 100.
  double step = 10;
  while (step * f < 6) step *= 5;
  const double labelEvery = step * 5;
  QFont small = font();
  small.setPointSizeF(7);
  p.setFont(small);
  p.setPen(QColor(90, 90, 90));
  for (double v = std::floor(origin / step) * step; v <= origin + length; v += step) {
    const double pos = (v - origin) * f;
    const bool major = std::fmod(std::abs(v), labelEvery) < 1e-6;
    const int tick = major ? kThickness - 2 : kThickness / 3;
    if (h) {
      p.drawLine(QPointF(pos, kThickness - tick), QPointF(pos, kThickness));
      if (major) p.drawText(QPointF(pos + 2, 9), QString::number(static_cast<int>(v)));
    } else {
      p.drawLine(QPointF(kThickness - tick, pos), QPointF(kThickness, pos));
      if (major) {
        p.save();
        p.translate(9, pos + 2);
        p.rotate(90);
        p.drawText(QPointF(0, 0), QString::number(static_cast<int>(v)));
        p.restore();
      }
    }
  }
  p.setPen(QPen(QColor(200, 40, 40), 1));
  for (double m : _markers) {
    const double pos = (m - origin) * f;
    if (h)
      p.drawLine(QPointF(pos, 0), QPointF(pos, kThickness));
    else
      p.drawLine(QPointF(0, pos), QPointF(kThickness, pos));
  }
}
