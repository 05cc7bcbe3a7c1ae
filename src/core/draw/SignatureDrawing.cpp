// Drawing of the SKTSignature kind: the picture of the signature or
// fingerprint stretched over the bounds, without filters, mirroring or opacity.
#include <QPainter>

#include "core/SKTSignature.h"
#include "core/image/PictureDrawing.h"
#include "core/render/PaintStyle.h"

void SKTSignature::drawContentsInView(QPainter& painter, bool /*isBeingCreateOrEdited*/) {
  if (!ctrl_is_visible) return;
  // The graphic's path was changed (a data row, a design reader): load it now.
  // "Default" resolves to the sample of the kind and is recorded resolved, so
  // the next drawing finds both paths equal.
  if (file_path != _file_path) setFilePath(_file_path);
  const QRectF r = bounds();
  if (isDrawingStroke())
    picture_drawing::strokeBounds(painter, r, strokeColor(), strokeWidth(), strokeBorderType());
  picture_drawing::drawPicture(painter, _contents_img, r, 1.0, false, false, false, &_cache);
  render::graphicDrawn();
}
