#include "core/SKTSignature.h"

#include "core/CardHost.h"
#include "core/PictureFile.h"

namespace {
QRectF centredOn(const QPointF& point, const QSizeF& size) {
  return QRectF(point.x() - size.width() / 2.0, point.y() - size.height() / 2.0, size.width(), size.height());
}
}  // namespace

SKTGraphicPtr SKTSignature::cloneShallow() const {
  return SKTGraphicPtr(new SKTSignature(*this));
}

QString SKTSignature::samplePicturePath() const {
  return resourceFilePath(Sign_Or_FP_Val() == QLatin1String("S") ? QStringLiteral("sign_sample.png")
                                                                 : QStringLiteral("fingerprints.png"));
}

std::shared_ptr<SKTSignature> SKTSignature::initWithPosition(const QPointF& point, const QImage& contents,
                                                             const QString& sign_or_FP) {
  auto signature = std::make_shared<SKTSignature>();
  signature->_contents_img = contents;
  signature->Set_Sign_Or_FP(sign_or_FP);
  signature->file_path = signature->samplePicturePath();
  // The graphic's own path names the sample too, so that the sample stays shown
  // (drawing reloads whenever the two paths differ) and a saved design shows it again.
  signature->Set_Control_File_path(signature->file_path);
  signature->setBounds(centredOn(point, contents.size()));
  cardHost().Reset_Image_Editing_Controls();
  return signature;
}

std::shared_ptr<SKTSignature> SKTSignature::initWithPath(const QPointF& point, const QString& path,
                                                         const QString& sign_or_FP) {
  auto signature = std::make_shared<SKTSignature>();
  signature->file_path = path;
  signature->setFilePath(path);
  signature->Set_Sign_Or_FP(sign_or_FP);
  signature->setBounds(centredOn(point, signature->_contents_img.size()));
  cardHost().Reset_Image_Editing_Controls();
  return signature;
}

void SKTSignature::setFilePath(const QString& path) {
  file_path = path == QLatin1String("Default") ? samplePicturePath() : path;
  Set_Control_File_path(file_path);
  _contents_img = loadPictureFile(file_path);
}
