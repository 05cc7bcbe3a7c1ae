#include "core/Shape_Control.h"

SKTGraphicPtr Shape_Control::cloneShallow() const {
  return SKTGraphicPtr(new Shape_Control(*this));
}

bool Shape_Control::isContentsUnderPoint(const QPointF& point) const {
  QPainterPath path = bezierPathForDrawing();
  path.setFillRule(Qt::WindingFill);
  return path.contains(point);
}
