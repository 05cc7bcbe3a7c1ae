// Drawing of the Shape_Control kind: outline by shape code, fill, border.
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
      painter.fillPath(path, paint::angledGradient(path.boundingRect(), fill_grad_angle(), fill_Grad_clr1(),
                                                   fill_Grad_clr2()));
    } else if (_fill_type == QLatin1String("H")) {
      paint::fillHatch(painter, path, fill_hatch_bk_clr(),
                       paint::hatchPicture(cardHost().Resource_Path(), fill_hatch_type()));
    } else {
      painter.fillPath(path, fillColor());
    }
  }
  if (isDrawingStroke()) {
    painter.strokePath(path, paint::strokePen(strokeColor(), strokeWidth(), strokeBorderType()));
  }
  painter.restore();
  cardHost().Refresh_Canvas();
}

QPainterPath Shape_Control::bezierPathForDrawing() const {
  return shape_outline::outlineForCode(_shape_type, bounds(), cor_rad_val_val, double_star_type,
                                       polygon_type);
}
