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

  // The outline builders, each a new path from the current bounds (draw/ShapeDrawing.cpp).
  QPainterPath Rectangle_path() const;
  QPainterPath Circle_path() const;
  QPainterPath Rounded_Rectangle_path() const;
  QPainterPath Triangle_path() const;
  QPainterPath Diamond_path() const;
  QPainterPath Polygon_With_Diffrent_Sides(int points) const;
  QPainterPath Custom_Polygon() const;

 protected:
  Shape_Control(const Shape_Control&) = default;
  SKTGraphicPtr cloneShallow() const override;
};
