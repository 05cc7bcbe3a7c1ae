#pragma once
// Shape_Control: one of eight outlines fitted to the bounds, chosen by the
// shape code (_shape_type), filled and stroked.

#include "core/SKTGraphic.h"

class Shape_Control : public SKTGraphic {
 public:
  Shape_Control() = default;
  GraphicKind kind() const override { return GraphicKind::Shape; }

  void drawContentsInView(QPainter& painter, bool isBeingCreateOrEdited) override;  // draw/ShapeDrawing.cpp
  QPainterPath bezierPathForDrawing() const override;                               // draw/ShapeDrawing.cpp
  // Inside the outline under the non-zero winding rule.
  bool isContentsUnderPoint(const QPointF& point) const override;

 protected:
  Shape_Control(const Shape_Control&) = default;
  SKTGraphicPtr cloneShallow() const override;
};
