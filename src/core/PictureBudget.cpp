#include "core/PictureBudget.h"

#include <QBuffer>
#include <QImageReader>
#include <algorithm>

#include "core/PictureFile.h"

namespace {

constexpr qint64 kMegabyte = 1024 * 1024;
constexpr qint64 kOnePictureLimit = qint64(kPictureAllocationLimitMB) * kMegabyte;

// The bytes a decoded picture of that size and format takes, as QImage lays
// it out (rows padded to 32 bits); four bytes a pixel when the format is not
// known before decoding.
qint64 decodedBytes(QSize size, QImage::Format format) {
  const qint64 bits = format == QImage::Format_Invalid ? 32 : QImage::toPixelFormat(format).bitsPerPixel();
  const qint64 bytesPerLine = (qint64(size.width()) * bits + 31) / 32 * 4;
  return bytesPerLine * size.height();
}

// A reader of encoded bytes that it holds itself.
class EncodedPicture {
 public:
  explicit EncodedPicture(const QByteArray& encoded) {
    buffer_.setData(encoded);
    buffer_.open(QIODevice::ReadOnly);
    reader_.setDevice(&buffer_);
  }
  QImageReader& reader() { return reader_; }
  // What the picture takes decoded, by its header; nothing when the header
  // tells no size.
  std::optional<qint64> headerBytes() {
    const QSize size = reader_.size();
    if (!size.isValid()) return std::nullopt;
    return decodedBytes(size, reader_.imageFormat());
  }

 private:
  QBuffer buffer_;
  QImageReader reader_;
};

}  // namespace

bool PictureBudget::admit(const QByteArray& encoded) {
  if (exceeded_) return false;
  if (encoded.isEmpty()) return true;
  const std::optional<qint64> needed = EncodedPicture(encoded).headerBytes();
  if (needed && *needed <= kOnePictureLimit) admitted_ += *needed;
  exceeded_ = admitted_ > limit_;
  return !exceeded_;
}

std::optional<QImage> PictureBudget::decode(const QByteArray& encoded) {
  if (encoded.isEmpty()) return QImage();
  EncodedPicture picture(encoded);
  QImageReader& reader = picture.reader();
  const qint64 left = limit_ - used_;
  if (const std::optional<qint64> needed = picture.headerBytes()) {
    // Beyond the limit of one picture: not decoded at all, as ever.
    if (*needed > kOnePictureLimit) return QImage();
    if (*needed > left) {
      exceeded_ = true;
      return std::nullopt;
    }
  }
  // A reader that cannot tell the size first still stops at what is left.
  reader.setAllocationLimit(
      static_cast<int>(std::clamp<qint64>(left / kMegabyte, 1, kPictureAllocationLimitMB)));
  QImage decoded = reader.read();
  if (decoded.sizeInBytes() > left) {
    exceeded_ = true;
    return std::nullopt;
  }
  used_ += decoded.sizeInBytes();
  return decoded;
}

QString PictureBudget::refusal() const {
  return QStringLiteral("its pictures would take more than %1 MB of memory").arg(limit_ / kMegabyte);
}

QString PictureBudget::refusedMessage(const QString& refused, const QString& reason) {
  return QStringLiteral("%1: %2, far more than a card needs.").arg(refused, reason);
}
