// Drawing of the SKTBarcode kind: the latest barcode picture at its own size
// from the bounds' origin (resizing the object does not stretch the bars). Into
// PDF and print devices the bars are drawn as rectangles, not as a raster image.
#include <QPainter>

#include "core/SKTBarcode.h"
#include "core/image/PictureDrawing.h"
#include "core/render/PaintStyle.h"

void SKTBarcode::drawContentsInView(QPainter& painter, bool /*isBeingCreateOrEdited*/) {
  if (!ctrl_is_visible) return;
  barcode_image_var_assign();
  if (!_contents.isNull()) {
    // A barcode rendered at a higher resolution says so through its device
    // pixel ratio; its size in points is the device-independent size.
    const QRectF target(bounds().topLeft(), _contents.deviceIndependentSize());
    picture_drawing::drawPicture(painter, _contents, target, 1.0, false, false, /*vector=*/true);
  }
  render::graphicDrawn();
}
