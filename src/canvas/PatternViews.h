#pragma once
// Picture views that paint a repeating pattern behind their own picture, for
// window backgrounds. Repeat_Image anchors the banner pattern at its own
// top-left corner wherever it lies in its window; Promotion_Pattern leaves the
// pattern anchored to the window (tiles line up with the window's bottom-left
// corner, so neighbouring views show one continuous pattern).

#include <QImage>
#include <QWidget>

// A plain picture view: draws its picture scaled down proportionally (never up)
// and centred; nothing when it has no picture.
class PictureView : public QWidget {
  Q_OBJECT
 public:
  explicit PictureView(QWidget* parent = nullptr);

  void setImage(const QImage& image);
  const QImage& image() const { return image_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  // Draws the view's own picture, scaled down and centred.
  void drawPicture(QPainter& painter);

 private:
  QImage image_;
};

// Base of the two pattern views: fills the redrawn rectangle with the pattern
// picture repeated from a phase the subclass chooses, then draws the picture.
class PatternPictureView : public PictureView {
  Q_OBJECT
 public:
  explicit PatternPictureView(QWidget* parent = nullptr);

  // The pattern picture; the main window hands over its loaded pattern
  // (banner_image or promotion_pattern_image). A null pattern paints nothing.
  void setPatternImage(const QImage& pattern);
  const QImage& patternImage() const { return pattern_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  // Where a pattern tile's top-left corner lies, in this view's coordinates.
  virtual QPointF patternPhase() const = 0;

 private:
  QImage pattern_;
};

class Repeat_Image : public PatternPictureView {
  Q_OBJECT
 public:
  explicit Repeat_Image(QWidget* parent = nullptr);

 protected:
  QPointF patternPhase() const override;
};

class Promotion_Pattern : public PatternPictureView {
  Q_OBJECT
 public:
  explicit Promotion_Pattern(QWidget* parent = nullptr);

 protected:
  QPointF patternPhase() const override;
};

// The pattern pictures as shipped in a resource folder: "banner.png" and
// "pattern_1.jpg"; null images when missing.
QImage loadBannerPattern(const QString& resourceFolder);
QImage loadPromotionPattern(const QString& resourceFolder);
