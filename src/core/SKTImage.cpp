#include "core/SKTImage.h"

#include <QBuffer>
#include <QImageReader>

#include "core/CardHost.h"
#include "core/PictureFile.h"
#include "core/globals.h"
#include "core/image/ImageProcesser.h"

namespace {
QRectF centredOn(const QPointF& point, const QSizeF& size) {
  return QRectF(point.x() - size.width() / 2.0, point.y() - size.height() / 2.0, size.width(), size.height());
}
}  // namespace

SKTGraphicPtr SKTImage::cloneShallow() const {
  return SKTGraphicPtr(new SKTImage(*this));
}

std::shared_ptr<SKTImage> SKTImage::initWithPath(const QPointF& point, const QString& path) {
  auto image = std::make_shared<SKTImage>();
  image->setFilePath(path);
  image->setBounds(centredOn(point, image->pictureSize()));
  cardHost().Reset_Image_Editing_Controls();
  return image;
}

std::shared_ptr<SKTImage> SKTImage::initWithPosition(const QPointF& point, const QImage& contents) {
  auto image = std::make_shared<SKTImage>();
  image->_contents = contents;
  image->Set_Control_File_path(Library_Selected_Image.get());
  image->setBounds(centredOn(point, image->pictureSize()));
  cardHost().Reset_Image_Editing_Controls();
  return image;
}

SKTGraphicPtr SKTImage::copyWithZone() const {
  SKTGraphicPtr copy = SKTGraphic::copyWithZone();
  // The copy shares the picture: nothing ever changes a picture's pixels in
  // place, and the sharing is safe across threads.
  static_cast<SKTImage&>(*copy)._contents = _contents;
  return copy;
}

void SKTImage::flipHorizontally() {
  setFlippedHorizontally(!_isFlippedHorizontally);
}
void SKTImage::flipVertically() {
  setFlippedVertically(!_isFlippedVertically);
}

void SKTImage::makeNaturalSize() {
  if (ctrl_is_locked) return;
  ChangeScope change(*this);  // size and flips are one change (one undo entry)
  QRectF r = bounds();
  r.setSize(pictureSize());
  setBounds(r);
  setFlippedHorizontally(false);
  setFlippedVertically(false);
}

QStringList SKTImage::keysForValuesToObserveForUndo() const {
  return SKTGraphic::keysForValuesToObserveForUndo()
         << SKTKeys::flippedHorizontally << SKTKeys::flippedVertically;
}

std::optional<QString> SKTImage::presentablePropertyNameForKey(const QString& key) const {
  if (key == SKTKeys::flippedHorizontally) return QStringLiteral("Horizontal Flipping");
  if (key == SKTKeys::flippedVertically) return QStringLiteral("Vertical Flipping");
  return SKTGraphic::presentablePropertyNameForKey(key);
}

QStringList SKTImage::keysAffectedByKey(const QString& key) const {
  if (key == SKTKeys::flippedHorizontally || key == SKTKeys::flippedVertically)
    return {SKTKeys::drawingContents};
  return SKTGraphic::keysAffectedByKey(key);
}

void SKTImage::setFilePath(const QString& path) {
  Set_Control_File_path(path);
  _contents = loadPictureFile(path);
}

QSizeF SKTImage::pictureSize() const {
  return _contents.isNull() ? QSizeF(0, 0) : QSizeF(ImageProcesser::clampedSize(_contents.size()));
}

QVariantMap SKTImage::properties() const {
  QVariantMap p = SKTGraphic::properties();
  if (!_contents.isNull()) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (_contents.save(&buffer, "PNG")) p.insert(QStringLiteral("contents"), png);
  }
  p.insert(SKTKeys::flippedHorizontally, _isFlippedHorizontally);
  p.insert(SKTKeys::flippedVertically, _isFlippedVertically);
  return p;
}

void SKTImage::initWithProperties(const QVariantMap& properties) {
  SKTGraphic::initWithProperties(properties);
  const QVariant contents = properties.value(QStringLiteral("contents"));
  if (contents.typeId() == QMetaType::QByteArray) {
    QByteArray bytes = contents.toByteArray();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAllocationLimit(kPictureAllocationLimitMB);
    const QImage picture = reader.read();
    if (!picture.isNull()) _contents = picture;
  }
  for (const QString& key : {SKTKeys::flippedHorizontally, SKTKeys::flippedVertically}) {
    const QVariant v = properties.value(key);
    const int t = v.typeId();
    if (t == QMetaType::Bool || t == QMetaType::Int || t == QMetaType::LongLong || t == QMetaType::Double)
      (key == SKTKeys::flippedHorizontally ? _isFlippedHorizontally : _isFlippedVertically) = v.toBool();
  }
}
