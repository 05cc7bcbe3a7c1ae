// Drawing of the SKTLine kind: one stroked segment from the begin to the end point.
#include <QPainter>

#include "core/SKTLine.h"
#include "core/render/PaintStyle.h"

void SKTLine::drawContentsInView(QPainter& painter, bool /*isBeingCreateOrEdited*/) {
  if (!ctrl_is_visible) return;
  const QPainterPath path = bezierPathForDrawing();
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.strokePath(path,
                     paint::strokePen(paint::withAlpha(_strokeColor, alpha_val_stroke), strokeWidth(),
                                      strokeBorderType(), paint::capStyleForCode(Get_Line_Cap_Style())));
  painter.restore();
  render::graphicDrawn();
}
