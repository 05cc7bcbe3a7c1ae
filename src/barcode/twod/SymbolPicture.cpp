#include "barcode/twod/SymbolPicture.h"

#include <QPainter>
#include <cmath>
#include <cstring>

namespace barcode::twod {

int effectiveDpi(int dpi) {
  if (dpi <= 0) return kDefaultDpi;
  return dpi > kMaxDpi ? kMaxDpi : dpi;
}

int pixelsFor(double points, int dpi) {
  const float quotient = static_cast<float>(static_cast<double>(dpi) * points / 72.0);
  return static_cast<int>(std::ceil(quotient));
}

SymbolPicture::SymbolPicture(ModuleGrid grid, Layout layout) : grid_(std::move(grid)), layout_(layout) {}

QSizeF SymbolPicture::moduleSize() const {
  if (grid_.empty() || layout_.page.isEmpty()) return {};
  return QSizeF(layout_.gridRect.width() / grid_.width * layout_.size.width() / layout_.page.width(),
                layout_.gridRect.height() / grid_.height * layout_.size.height() / layout_.page.height());
}

void SymbolPicture::record(VectorRecorder& recorder, const QRectF& target) const {
  if (layout_.page.isEmpty() || target.isEmpty()) return;
  const double sx = target.width() / layout_.page.width();
  const double sy = target.height() / layout_.page.height();
  if (layout_.opaquePage) {
    recorder.fillRect(target, Qt::white);
  } else {
    const QRectF g = layout_.gridRect;
    recorder.fillRect(
        QRectF(target.x() + g.x() * sx, target.y() + g.y() * sy, g.width() * sx, g.height() * sy), Qt::white);
  }
  if (grid_.empty()) return;
  const QRectF g = layout_.gridRect;
  const double mw = g.width() / grid_.width * sx;
  const double mh = g.height() / grid_.height * sy;
  const double ox = target.x() + g.x() * sx;
  const double oy = target.y() + g.y() * sy;
  const QColor dark(Qt::black);
  for (int y = 0; y < grid_.height; ++y) {
    int x = 0;
    while (x < grid_.width) {
      if (!grid_.dark(x, y)) {
        ++x;
        continue;
      }
      int end = x;
      while (end < grid_.width && grid_.dark(end, y)) ++end;
      recorder.fillRect(QRectF(ox + x * mw, oy + y * mh, (end - x) * mw, mh), dark);
      x = end;
    }
  }
}

void SymbolPicture::draw(QPainter& painter, const QRectF& target) const {
  VectorRecorder recorder;
  record(recorder, target);
  recorder.finish().play(painter);
}

VectorPicture SymbolPicture::toPicture() const {
  VectorRecorder recorder;
  record(recorder, QRectF(QPointF(0, 0), layout_.size));
  return recorder.finish();
}

QImage SymbolPicture::toImage() const {
  return toImage(layout_.pixels);
}

QImage SymbolPicture::toImage(QSize pixels) const {
  if (pixels.width() <= 0 || pixels.height() <= 0) return {};
  if (static_cast<qint64>(pixels.width()) * pixels.height() > kMaxPicturePixels) return {};
  QImage image(pixels, QImage::Format_RGBA8888);
  if (image.isNull()) return {};
  const double pw = layout_.page.width();
  const double ph = layout_.page.height();
  const QRectF g = layout_.gridRect;
  // Column lookup: module column of each pixel column, -1 outside the grid.
  std::vector<int> columnOf(static_cast<size_t>(pixels.width()));
  for (int px = 0; px < pixels.width(); ++px) {
    const double u = (px + 0.5) * pw / pixels.width();
    const double gx = (u - g.x()) / g.width() * grid_.width;
    columnOf[static_cast<size_t>(px)] = (gx >= 0 && gx < grid_.width) ? static_cast<int>(gx) : -1;
  }
  // The margin is white with alpha 0, so a reader that drops alpha still sees white.
  const uchar transparentBytes[4] = {255, 255, 255, 0};
  const uchar whiteBytes[4] = {255, 255, 255, 255};
  const uchar blackBytes[4] = {0, 0, 0, 255};
  uint32_t transparent, white, black;
  std::memcpy(&transparent, transparentBytes, 4);
  std::memcpy(&white, whiteBytes, 4);
  std::memcpy(&black, blackBytes, 4);
  const uint32_t outside = layout_.opaquePage ? white : transparent;
  for (int py = 0; py < pixels.height(); ++py) {
    auto* line = reinterpret_cast<uint32_t*>(image.scanLine(py));
    const double v = (py + 0.5) * ph / pixels.height();
    const double gy = (v - g.y()) / g.height() * grid_.height;
    const int row = (gy >= 0 && gy < grid_.height) ? static_cast<int>(gy) : -1;
    for (int px = 0; px < pixels.width(); ++px) {
      const int col = columnOf[static_cast<size_t>(px)];
      if (row < 0 || col < 0 || grid_.empty())
        line[px] = outside;
      else
        line[px] = grid_.dark(col, row) ? black : white;
    }
  }
  return image;
}

}  // namespace barcode::twod
