#include "TwoDDecode.h"

#include <ZXing/ReadBarcode.h>

namespace twodtest {

std::vector<uint8_t> luminance(const QImage& source, int pad, int* width, int* height) {
  const QImage image = source.convertToFormat(QImage::Format_RGBA8888);
  *width = image.width() + 2 * pad;
  *height = image.height() + 2 * pad;
  std::vector<uint8_t> out(static_cast<size_t>(*width) * *height, 255);
  for (int y = 0; y < image.height(); ++y) {
    const uchar* line = image.constScanLine(y);
    for (int x = 0; x < image.width(); ++x) {
      const uchar* p = line + 4 * x;
      const int lum = p[3] == 0 ? 255 : (p[0] * 299 + p[1] * 587 + p[2] * 114) / 1000;
      out[static_cast<size_t>(y + pad) * *width + x + pad] = static_cast<uint8_t>(lum);
    }
  }
  return out;
}

std::optional<std::string> decode(const QImage& image, ZXing::BarcodeFormat format, int pad) {
  int w = 0, h = 0;
  const std::vector<uint8_t> lum = luminance(image, pad, &w, &h);
  ZXing::DecodeHints hints;
  hints.setFormats(format);
  hints.setTryRotate(false);
  const ZXing::Result result =
      ZXing::ReadBarcode(ZXing::ImageView(lum.data(), w, h, ZXing::ImageFormat::Lum), hints);
  if (!result.isValid()) return std::nullopt;
  const auto& bytes = result.bytes();
  return std::string(bytes.begin(), bytes.end());
}

QImage gridImage(const barcode::twod::ModuleGrid& grid, int px, int quiet) {
  QImage image((grid.width + 2 * quiet) * px, (grid.height + 2 * quiet) * px, QImage::Format_RGBA8888);
  image.fill(Qt::white);
  for (int y = 0; y < grid.height; ++y)
    for (int x = 0; x < grid.width; ++x)
      if (grid.dark(x, y))
        for (int dy = 0; dy < px; ++dy)
          for (int dx = 0; dx < px; ++dx)
            image.setPixelColor((x + quiet) * px + dx, (y + quiet) * px + dy, Qt::black);
  return image;
}

}  // namespace twodtest
