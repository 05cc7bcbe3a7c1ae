#include "core/PictureBudget.h"

#include <QBuffer>
#include <QImageReader>
#include <algorithm>

#include "core/PictureFile.h"

namespace {

constexpr qint64 kMegabyte = 1024 * 1024;

// The bytes a decoded picture of that size and format takes, as QImage lays
// it out (rows padded to 32 bits); four bytes a pixel when the format is not
// known before decoding.
qint64 decodedBytes(QSize size, QImage::Format format) {
  const qint64 bits = format == QImage::Format_Invalid ? 32 : QImage::toPixelFormat(format).bitsPerPixel();
  const qint64 bytesPerLine = (qint64(size.width()) * bits + 31) / 32 * 4;
  return bytesPerLine * size.height();
}

}  // namespace

std::optional<QImage> PictureBudget::decode(const QByteArray& encoded) {
  if (encoded.isEmpty()) return QImage();
  QBuffer buffer;
  buffer.setData(encoded);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  const qint64 left = limit_ - used_;
  const QSize size = reader.size();
  if (size.isValid()) {
    const qint64 needed = decodedBytes(size, reader.imageFormat());
    // Beyond the limit of one picture: not decoded at all, as ever.
    if (needed > qint64(kPictureAllocationLimitMB) * kMegabyte) return QImage();
    if (needed > left) {
      exceeded_ = true;
      return std::nullopt;
    }
  }
  // A reader that cannot tell the size first still stops at what is left.
  reader.setAllocationLimit(
      static_cast<int>(std::clamp<qint64>(left / kMegabyte, 1, kPictureAllocationLimitMB)));
  QImage picture = reader.read();
  if (picture.sizeInBytes() > left) {
    exceeded_ = true;
    return std::nullopt;
  }
  used_ += picture.sizeInBytes();
  return picture;
}

QString PictureBudget::refusal() const {
  return QStringLiteral("its pictures would take more than %1 MB of memory").arg(limit_ / kMegabyte);
}
