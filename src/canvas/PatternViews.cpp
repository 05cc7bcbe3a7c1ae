#include "canvas/PatternViews.h"

#include <QDir>
#include <QPaintEvent>
#include <QPainter>

#include "core/PictureFile.h"

PictureView::PictureView(QWidget* parent) : QWidget(parent) {}

void PictureView::setImage(const QImage& image) {
  image_ = image;
  update();
}

void PictureView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  drawPicture(painter);
}

void PictureView::drawPicture(QPainter& painter) {
  if (image_.isNull() || width() <= 0 || height() <= 0) return;
  QSizeF size = image_.size();
  if (size.width() > width() || size.height() > height())
    size.scale(QSizeF(this->size()), Qt::KeepAspectRatio);
  const QRectF target((width() - size.width()) / 2.0, (height() - size.height()) / 2.0, size.width(),
                      size.height());
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(target, image_);
}

PatternPictureView::PatternPictureView(QWidget* parent) : PictureView(parent) {}

void PatternPictureView::setPatternImage(const QImage& pattern) {
  pattern_ = pattern;
  update();
}

void PatternPictureView::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  if (!pattern_.isNull()) {
    painter.save();
    QBrush brush(pattern_);
    painter.setBrushOrigin(patternPhase());
    painter.fillRect(event->rect(), brush);
    painter.restore();
  }
  drawPicture(painter);
}

Repeat_Image::Repeat_Image(QWidget* parent) : PatternPictureView(parent) {}

// The banner starts at the view's own top-left corner.
QPointF Repeat_Image::patternPhase() const {
  return QPointF(0.0, 0.0);
}

Promotion_Pattern::Promotion_Pattern(QWidget* parent) : PatternPictureView(parent) {}

// The phase is left as the window has it: tiles sit on the window's bottom-left corner.
QPointF Promotion_Pattern::patternPhase() const {
  const QWidget* top = window();
  if (top == this || top == nullptr) return QPointF(0.0, height());
  return QPointF(mapFrom(top, QPoint(0, top->height())));
}

QImage loadBannerPattern(const QString& resourceFolder) {
  return loadPictureFile(QDir(resourceFolder).filePath(QStringLiteral("banner.png")));
}

QImage loadPromotionPattern(const QString& resourceFolder) {
  return loadPictureFile(QDir(resourceFolder).filePath(QStringLiteral("pattern_1.jpg")));
}
