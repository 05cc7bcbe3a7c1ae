#include "canvas/ZoomGeometry.h"

#include <algorithm>
#include <cmath>

namespace zoom {

double roundHalfAway(double v) {
  return std::round(v);
}

static double constrainAxis(double proposed, double d, double v) {
  if (v <= d) return roundHalfAway(std::clamp(proposed, 0.0, d - v));
  return roundHalfAway((d - v) / 2.0);
}

QPointF constrainScrollPoint(QPointF proposed, QSizeF documentSize, QSizeF visibleSize) {
  return {constrainAxis(proposed.x(), documentSize.width(), visibleSize.width()),
          constrainAxis(proposed.y(), documentSize.height(), visibleSize.height())};
}

QPointF centerDocument(QPointF currentOrigin, QSizeF documentSize, QSizeF visibleSize) {
  QPointF origin = currentOrigin;
  if (visibleSize.width() > documentSize.width())
    origin.setX(roundHalfAway((documentSize.width() - visibleSize.width()) / 2.0));
  if (visibleSize.height() > documentSize.height())
    origin.setY(roundHalfAway((documentSize.height() - visibleSize.height()) / 2.0));
  return constrainScrollPoint(origin, documentSize, visibleSize);
}

QSizeF visibleSizeForFactor(QSizeF viewportSize, double factor) {
  if (!(factor > 0)) factor = 1.0;
  return {viewportSize.width() / factor, viewportSize.height() / factor};
}

}  // namespace zoom
