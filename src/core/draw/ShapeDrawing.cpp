// Drawing of the Shape_Control kind: outline by shape code, fill, border.
// Drawing only reads the graphic: the colours carry the opacity values as the
// colour getters give them, computed here without storing them back, so that
// rendering never writes into a graphic.
#include <QPainter>

#include "core/CardHost.h"
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
                       paint::hatchPicture(cardHost().Resource_Path(), fill_hatch_type()));
    } else {
      painter.fillPath(path, paint::withAlpha(_fillColor, alpha_val));
    }
  }
  if (isDrawingStroke()) {
    painter.strokePath(path, paint::strokePen(paint::withAlpha(_strokeColor, alpha_val_stroke), strokeWidth(),
                                              strokeBorderType()));
  }
  painter.restore();
  cardHost().Refresh_Canvas();
}

QPainterPath Shape_Control::bezierPathForDrawing() const {
  return shape_outline::outlineForCode(_shape_type, bounds(), cor_rad_val_val, double_star_type,
                                       polygon_type);
}
