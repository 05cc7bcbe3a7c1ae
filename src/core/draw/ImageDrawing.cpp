// Drawing of the SKTImage kind: the border, then the picture run through the
// filter chain and stretched whole over the bounds, mirrored within them.
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "core/CardHost.h"
#include "core/SKTImage.h"
#include "core/image/ImageProcesser.h"
#include "core/image/PictureDrawing.h"

namespace {
// The stored rotation truncated toward zero, reduced to one turn first so that
// any finite float becomes a whole number of degrees safely.
int wholeDegrees(float degrees) {
  if (!std::isfinite(degrees)) return 0;
  return int(std::fmod(std::trunc(double(degrees)), 360.0));
}
}  // namespace

void SKTImage::drawContentsInView(QPainter& painter, bool /*isBeingCreateOrEdited*/) {
  if (!ctrl_is_visible || _file_path.isEmpty()) return;
  const QRectF r = bounds();
  if (isDrawingStroke())
    picture_drawing::strokeBounds(painter, r, strokeColor(), strokeWidth(), strokeBorderType());
  // The chain works on its own copy: the object's picture is never changed here,
  // so a worker drawing a snapshot and the canvas never write the same picture.
  const QImage processed = ImageProcesser::Get_Processed_Image(
      _contents, gray_Scale, Sepia, invert_clr, hue_val, sat_val, brt_val, con_val,
      wholeDegrees(rotate_image), srp_val, ev_val, blr_val, img_trnsp_val);
  if (!processed.isNull()) {
    const double opacity = std::isfinite(img_trnsp_val) ? std::clamp(img_trnsp_val / 100.0, 0.0, 1.0) : 1.0;
    picture_drawing::drawPicture(painter, processed, r, opacity, _isFlippedHorizontally,
                                 _isFlippedVertically);
  }
  cardHost().Refresh_Canvas();
}
