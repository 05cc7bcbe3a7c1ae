#include "core/SKTBarcode.h"

#include <QDateTime>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>

#include "core/CardHost.h"
#include "core/PictureFile.h"

namespace {

// The sample picture shown by barcode objects that hold no barcode yet. It is
// decoded once and kept: a card with a barcode is drawn on every canvas redraw
// and once per data row by export and mail workers (each drawing its own
// clone), so all threads share this one copy behind a mutex. A file that is
// replaced (another time stamp or size) is decoded again.
class BarcodeSampleCache {
 public:
  QImage picture(const QString& path) {
    const QFileInfo info(standardizedPicturePath(path));
    const bool present = info.isFile();
    const QDateTime modified = present ? info.lastModified() : QDateTime();
    const qint64 size = present ? info.size() : -1;
    QMutexLocker lock(&mutex_);
    if (!loaded_ || path != path_ || modified != modified_ || size != size_) {
      // A missing file is remembered as such too, so it is not looked for in every drawing's decoder.
      picture_ = present ? loadPictureFile(path) : QImage();
      path_ = path;
      modified_ = modified;
      size_ = size;
      loaded_ = true;
    }
    return picture_;
  }

 private:
  QMutex mutex_;
  bool loaded_ = false;
  QString path_;
  QDateTime modified_;
  qint64 size_ = -1;
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
  const QSizeF size = barcode->_contents.size();
  barcode->setBounds(
      QRectF(point.x() - size.width() / 2.0, point.y() - size.height() / 2.0, size.width(), size.height()));
  return barcode;
}

void SKTBarcode::barcode_image_var_assign() {
  _contents = !_barcode_image.isNull() ? _barcode_image : barcodeSamplePicture();
}
