#include "core/SKTBarcode.h"

#include <sys/stat.h>

#include <QFile>
#include <algorithm>
#include <mutex>

#include "core/CardHost.h"
#include "core/PictureFile.h"

namespace {

// The sample picture shown by barcode objects that hold no barcode yet. It is
// decoded once and kept: a card with a barcode is drawn on every canvas redraw
// and once per data row by export and mail workers (each drawing its own
// clone), so all threads share this one copy behind a mutex. A file that is
// replaced (another time stamp or size) is decoded again. A picture of more
// pixels than SKTBarcode::kSampleSize has points is marked with the pixel
// ratio that shows it within that size.
class BarcodeSampleCache {
 public:
  QImage picture(const QString& path) {
    const Stamp stamp = stampOf(standardizedPicturePath(path));
    std::lock_guard lock(mutex_);
    if (!loaded_ || path != path_ || stamp != stamp_) {
      // A missing file is remembered as such too, so it is not looked for in every drawing's decoder.
      picture_ = stamp.present ? shownAtSampleSize(loadPictureFile(path)) : QImage();
      path_ = path;
      stamp_ = stamp;
      loaded_ = true;
    }
    return picture_;
  }

 private:
  // What tells one file from its replacement, read without converting
  // times to the local time zone (which is not safe on several threads).
  struct Stamp {
    bool present = false;
    qint64 modifiedMs = 0, size = -1;
    friend bool operator==(const Stamp&, const Stamp&) = default;
  };
  static QImage shownAtSampleSize(QImage picture) {
    if (picture.isNull()) return picture;
    const QSizeF room = SKTBarcode::kSampleSize;
    picture.setDevicePixelRatio(
        std::max({1.0, picture.width() / room.width(), picture.height() / room.height()}));
    return picture;
  }
  static Stamp stampOf(const QString& file) {
    struct stat st {};
    if (::stat(QFile::encodeName(file).constData(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
    return {true, qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000, qint64(st.st_size)};
  }

  std::mutex mutex_;
  bool loaded_ = false;
  QString path_;
  Stamp stamp_;
  QImage picture_;
};

QImage barcodeSamplePicture() {
  static BarcodeSampleCache cache;
  return cache.picture(resourceFilePath(QStringLiteral("barcode_sample.png")));
}

}  // namespace

SKTGraphicPtr SKTBarcode::cloneShallow() const {
  return SKTGraphicPtr(new SKTBarcode(*this));
}

std::shared_ptr<SKTBarcode> SKTBarcode::initWithPosition(const QPointF& point, const QImage& contents) {
  auto barcode = std::make_shared<SKTBarcode>();
  barcode->barcode_image_var_assign();
  const QSizeF size = barcode->_contents.deviceIndependentSize();
  barcode->setBounds(
      QRectF(point.x() - size.width() / 2.0, point.y() - size.height() / 2.0, size.width(), size.height()));
  return barcode;
}

QRectF SKTBarcode::drawingBounds() const {
  // What the next drawing shows: the picture held, or the sample. A picture
  // shown before and since taken away (by an undo) covers nothing any more.
  const QSizeF size = !_barcode_image.isNull() ? _barcode_image.deviceIndependentSize() : kSampleSize;
  const QRectF drawn(bounds().topLeft(), size);
  return SKTGraphic::drawingBounds().united(drawn.adjusted(-1.0, -1.0, 1.0, 1.0));
}

void SKTBarcode::barcode_image_var_assign() {
  _contents = !_barcode_image.isNull() ? _barcode_image : barcodeSamplePicture();
}
