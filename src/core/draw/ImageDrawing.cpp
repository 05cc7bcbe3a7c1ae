// Drawing of the SKTImage kind: the border, then the picture run through the
// filter chain and stretched whole over the bounds, mirrored within them. The
// chain runs at the picture's own resolution once per picture and settings;
// the result is resampled once to the output's pixels.
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "core/CardHost.h"
#include "core/SKTImage.h"
#include "core/image/ImageProcesser.h"
#include "core/image/PictureDrawing.h"
#include "core/render/PaintStyle.h"

namespace {
// The stored rotation truncated toward zero, reduced to one turn first so that
// any finite float becomes a whole number of degrees safely.
int wholeDegrees(float degrees) {
  if (!std::isfinite(degrees)) return 0;
  return int(std::fmod(std::trunc(double(degrees)), 360.0));
}
}  // namespace

QImage SKTImage::processedPicture() {
  if (_contents.isNull()) return {};
  const PictureFilterSettings settings{gray_Scale, Sepia,   invert_clr, hue_val,
                                       sat_val,    brt_val, con_val,    wholeDegrees(rotate_image),
                                       srp_val,    ev_val,  blr_val};
  const QImage picture = _contents;
  const float transparency = img_trnsp_val;
  // Values only: the chain may run on after this object is gone.
  auto filter = [picture, settings, transparency] {
    return ImageProcesser::Get_Processed_Image(picture, settings.grayscale, settings.sepia, settings.invert,
                                               settings.hue, settings.saturation, settings.brightness,
                                               settings.contrast, settings.rotation, settings.sharpness,
                                               settings.exposure, settings.blur, transparency);
  };
  // A large picture on the screen is filtered on a worker (over a second for
  // a camera photo); the window shows it as it was and repaints when ready.
  if (render::isDrawingOnScreen() && !settings.isNeutral() &&
      qint64(picture.width()) * picture.height() > kPixelsFilteredWithoutWaiting)
    return _cache.filteredWithoutWaiting(picture, settings, filter, [] { cardHost().Refresh_Canvas(); });
  return _cache.filtered(picture, settings, filter);
}

void SKTImage::drawContentsInView(QPainter& painter, bool /*isBeingCreateOrEdited*/) {
  if (!ctrl_is_visible || _file_path.isEmpty()) return;
  const QRectF r = bounds();
  if (isDrawingStroke())
    picture_drawing::strokeBounds(painter, r, strokeColor(), strokeWidth(), strokeBorderType());
  const QImage processed = processedPicture();
  if (!processed.isNull()) {
    const double opacity = std::isfinite(img_trnsp_val) ? std::clamp(img_trnsp_val / 100.0, 0.0, 1.0) : 1.0;
    picture_drawing::drawPicture(painter, processed, r, opacity, _isFlippedHorizontally, _isFlippedVertically,
                                 false, &_cache);
  }
  render::graphicDrawn();
}
