#include "canvas/SKTGrid.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

SKTGrid::SKTGrid(QObject* parent) : QObject(parent), _color(Qt::lightGray) {
  _hidingTimer.setSingleShot(true);
  _hidingTimer.setInterval(SKTGridTemporaryShowingTimeMs);
  connect(&_hidingTimer, &QTimer::timeout, this, &SKTGrid::stopShowingGridForTimer);
}

void SKTGrid::setColor(const QColor& color) {
  if (color == _color) return;
  _color = color;
  emit anyChanged();
}

void SKTGrid::setSpacing(double spacing) {
  // A spacing that is not a finite number can be neither drawn nor snapped to.
  if (spacing == _spacing || !std::isfinite(spacing)) return;
  _spacing = spacing;
  if (_spacing > 0 && !_isAlwaysShown) _hidingTimer.start();  // (re)starts the 1 s moment
  emit anyChanged();
}

void SKTGrid::setAlwaysShown(bool shown) {
  if (shown == _isAlwaysShown) return;
  _isAlwaysShown = shown;
  emit alwaysShownChanged(shown);
  _hidingTimer.stop();
  emit anyChanged();
}

void SKTGrid::setConstraining(bool constraining) {
  if (constraining == _isConstraining) return;
  _isConstraining = constraining;
  emit anyChanged();
}

void SKTGrid::stopShowingGridForTimer() {
  _hidingTimer.stop();
  emit anyChanged();
}

static double snap(double v, double s) {
  return std::floor(v / s + 0.5) * s;
}

QPointF SKTGrid::constrainedPoint(QPointF point) const {
  if (!isUsable() || !_isConstraining) return point;
  return {snap(point.x(), _spacing), snap(point.y(), _spacing)};
}

QRectF SKTGrid::alignedRect(QRectF rect) const {
  const double s = _spacing;
  const double x0 = snap(rect.x(), s), y0 = snap(rect.y(), s);
  const double x1 = snap(rect.x() + rect.width(), s), y1 = snap(rect.y() + rect.height(), s);
  return {x0, y0, x1 - x0, y1 - y0};
}

void SKTGrid::drawRect(QPainter& painter, const QRectF& rect) const {
  if (!isUsable() || !(_isAlwaysShown || _hidingTimer.isActive())) return;
  const double s = _spacing;
  // A huge rectangle at a tiny spacing would make millions of lines; a
  // screenful of lines is the most anyone can see.
  constexpr double kMaxLines = 20000;
  if (rect.width() / s > kMaxLines || rect.height() / s > kMaxLines) return;
  QPainterPath path;
  for (long i = static_cast<long>(std::ceil(rect.left() / s));
       i <= static_cast<long>(std::floor(rect.right() / s)); ++i) {
    path.moveTo(i * s, rect.top());
    path.lineTo(i * s, rect.bottom());
  }
  for (long j = static_cast<long>(std::ceil(rect.top() / s));
       j <= static_cast<long>(std::floor(rect.bottom() / s)); ++j) {
    path.moveTo(rect.left(), j * s);
    path.lineTo(rect.right(), j * s);
  }
  painter.save();
  QPen pen(_color, 0);  // cosmetic: the thinnest line the device shows
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(path);
  painter.restore();
}
