#pragma once
// SKTSignature: a signature ("S") or fingerprint (any other kind code) picture
// taken from a file.

#include "core/SKTGraphic.h"
#include "core/image/PictureCache.h"

class SKTSignature : public SKTGraphic {
 public:
  SKTSignature() = default;
  GraphicKind kind() const override { return GraphicKind::Signature; }

  // A new object keeping the given sample picture, with file_path the sample
  // of its kind and bounds of the picture's size centred on the point.
  static std::shared_ptr<SKTSignature> initWithPosition(const QPointF& point, const QImage& contents,
                                                        const QString& sign_or_FP);
  static std::shared_ptr<SKTSignature> initWithPath(const QPointF& point, const QString& path,
                                                    const QString& sign_or_FP);

  bool isDrawingFill() const override { return false; }
  bool isDrawingStroke() const override { return _isDrawingStroke; }
  void drawContentsInView(QPainter& painter,
                          bool isBeingCreateOrEdited) override;  // draw/SignatureDrawing.cpp

  // "Default" means the sample picture of the kind; records the path on the
  // graphic and loads the picture.
  void setFilePath(const QString& path);
  // The resource sample picture path of the current kind.
  QString samplePicturePath() const;

  QImage _contents_img;
  QString file_path;  // path the picture was last loaded from

 protected:
  SKTSignature(const SKTSignature&) = default;
  SKTGraphicPtr cloneShallow() const override;

 private:
  PictureCache _cache;  // the picture resampled to the size it was last drawn at
};
