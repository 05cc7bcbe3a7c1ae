// Drawing of the Shape_Control kind: outline by shape code, fill, border.
// Drawing only reads the graphic: the colours carry the opacity values as the
// colour getters give them, computed here without storing them back, so that
// rendering never writes into a graphic.
#include <QPainter>

#include "core/Shape_Control.h"
#include "core/render/PaintStyle.h"
#include "core/render/ShapeOutline.h"

void Shape_Control::drawContentsInView(QPainter& painter, bool /*isBeingCreateOrEdited*/) {
  if (!ctrl_is_visible) return;
  const QPainterPath path = bezierPathForDrawing();
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  if (isDrawingFill()) {
    if (_fill_type == QLatin1String("G")) {
      painter.fillPath(path, paint::angledGradient(path.boundingRect(), fill_grad_angle(),
                                                   paint::withAlpha(_fill_Grad_clr1, alpha_val),
                                                   paint::withAlpha(_fill_Grad_clr2, alpha_val)));
    } else if (_fill_type == QLatin1String("H")) {
      paint::fillHatch(painter, path, paint::withAlpha(_fill_htch_clr, alpha_val),
                       paint::hatchPicture(render::resourcePath(), fill_hatch_type()));
    } else {
      painter.fillPath(path, paint::withAlpha(_fillColor, alpha_val));
    }
  }
  if (isDrawingStroke()) {
    painter.strokePath(path, paint::strokePen(paint::withAlpha(_strokeColor, alpha_val_stroke), strokeWidth(),
                                              strokeBorderType()));
  }
  painter.restore();
  render::graphicDrawn();
}

QPainterPath Shape_Control::bezierPathForDrawing() const {
  return shape_outline::outlineForCode(_shape_type, bounds(), cor_rad_val_val, double_star_type,
                                       polygon_type);
}

QPainterPath Shape_Control::Rectangle_path() const {
  return shape_outline::Rectangle_path(bounds());
}
QPainterPath Shape_Control::Circle_path() const {
  return shape_outline::Circle_path(bounds());
}
QPainterPath Shape_Control::Rounded_Rectangle_path() const {
  return shape_outline::Rounded_Rectangle_path(bounds(), cor_rad_val_val);
}
QPainterPath Shape_Control::Triangle_path() const {
  return shape_outline::Triangle_path(bounds());
}
QPainterPath Shape_Control::Diamond_path() const {
  return shape_outline::Diamond_path(bounds());
}
QPainterPath Shape_Control::Polygon_With_Diffrent_Sides(int points) const {
  return shape_outline::Polygon_With_Diffrent_Sides(bounds(), points);
}
QPainterPath Shape_Control::Custom_Polygon() const {
  return shape_outline::Custom_Polygon(bounds());
}
