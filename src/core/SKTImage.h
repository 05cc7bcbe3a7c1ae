#pragma once
// SKTImage: a picture file shown stretched over the bounds, with optional
// mirroring and the picture adjustments of the base fields.

#include "core/SKTGraphic.h"
#include "core/image/PictureCache.h"

class SKTImage : public SKTGraphic {
 public:
  SKTImage() = default;
  GraphicKind kind() const override { return GraphicKind::Image; }

  // A new picture object whose picture is loaded from the path, with bounds of
  // the picture's size centred on the point.
  static std::shared_ptr<SKTImage> initWithPath(const QPointF& point, const QString& path);
  // A new picture object keeping the given picture; its file path is the
  // global Library_Selected_Image.
  static std::shared_ptr<SKTImage> initWithPosition(const QPointF& point, const QImage& contents);

  SKTGraphicPtr copyWithZone() const override;
  bool isDrawingFill() const override { return false; }
  bool isDrawingStroke() const override { return _isDrawingStroke; }
  bool canSetDrawingFill() const override { return false; }
  bool canSetDrawingStroke() const override { return false; }
  void flipHorizontally() override;
  void flipVertically() override;
  void makeNaturalSize() override;
  void drawContentsInView(QPainter& painter, bool isBeingCreateOrEdited) override;  // draw/ImageDrawing.cpp
  QStringList keysForValuesToObserveForUndo() const override;
  std::optional<QString> presentablePropertyNameForKey(const QString& key) const override;
  QStringList keysAffectedByKey(const QString& key) const override;
  QVariantMap properties() const override;

  // Records the path on the graphic, then loads the picture from it ("~" and
  // "." resolved). A file that cannot be read leaves no picture.
  void setFilePath(const QString& path);
  // The size the picture is shown at: its size with each side clamped alone to
  // 724 x 468 points. New objects and natural size use it; the picture keeps
  // all its pixels.
  QSizeF pictureSize() const;
  // The picture run through the filter chain with the object's settings, at
  // the picture's own resolution: made once, kept until the picture or a
  // setting changes. Null without a picture or when the chain failed.
  // On a screen (render::isDrawingOnScreen) a picture of more than
  // kPixelsFilteredWithoutWaiting pixels is filtered on a worker instead,
  // and shown as it was until then.
  QImage processedPicture();
  static constexpr qint64 kPixelsFilteredWithoutWaiting = 2'000'000;

  QImage _contents;  // the loaded picture at its own resolution; null when the file did not load

 protected:
  SKTImage(const SKTImage&) = default;
  SKTGraphicPtr cloneShallow() const override;
  void initWithProperties(const QVariantMap& properties) override;

 private:
  PictureCache _cache;
};
