// Pattern background views: the pattern fills the redrawn area, anchored at the
// view's top-left corner for Repeat_Image, with the view's picture on top.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QWidget>

#include "canvas/PatternViews.h"

namespace {

// A 4 x 4 pattern with a single red pixel at its top-left corner, rest green.
QImage markerPattern() {
  QImage p(4, 4, QImage::Format_ARGB32);
  p.fill(qRgb(0, 200, 0));
  p.setPixel(0, 0, qRgb(255, 0, 0));
  return p;
}

QImage grab(QWidget& w) {
  return w.grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

}  // namespace

TEST(PatternViews, RepeatImageStartsAtItsOwnCorner) {
  for (const QPoint pos : {QPoint(0, 0), QPoint(7, 5), QPoint(13, 2)}) {
    QWidget window;
    window.resize(60, 40);
    Repeat_Image view(&window);
    view.setPatternImage(markerPattern());
    view.setGeometry(QRect(pos, QSize(17, 11)));
    const QImage shot = grab(view);
    ASSERT_EQ(shot.size(), QSize(17, 11));
    EXPECT_EQ(shot.pixel(0, 0), qRgb(255, 0, 0)) << pos.x() << "," << pos.y();
    EXPECT_EQ(shot.pixel(4, 8), qRgb(255, 0, 0));
    EXPECT_EQ(shot.pixel(1, 0), qRgb(0, 200, 0));
    EXPECT_EQ(shot.pixel(16, 10), qRgb(0, 200, 0));
  }
}

TEST(PatternViews, PromotionPatternFillsEverythingThenThePicture) {
  QWidget window;
  window.resize(50, 30);
  Promotion_Pattern view(&window);
  view.setGeometry(3, 2, 20, 20);
  view.setPatternImage(markerPattern());
  QImage picture(4, 4, QImage::Format_ARGB32);
  picture.fill(qRgb(0, 0, 255));
  view.setImage(picture);
  const QImage shot = grab(view);
  int pattern = 0, blue = 0;
  for (int y = 0; y < shot.height(); ++y)
    for (int x = 0; x < shot.width(); ++x) {
      const QRgb p = shot.pixel(x, y);
      if (p == qRgb(0, 0, 255))
        ++blue;
      else if (p == qRgb(0, 200, 0) || p == qRgb(255, 0, 0))
        ++pattern;
    }
  EXPECT_EQ(blue, 16);  // the picture, centred, not scaled up
  EXPECT_EQ(pattern, 400 - 16);
  EXPECT_EQ(shot.pixel(9, 9), qRgb(0, 0, 255));
  // Tiles line up with the window's bottom-left corner: window (4, 2) lies 28 =
  // 7 tiles above the bottom edge and one tile right of the left edge.
  EXPECT_EQ(shot.pixel(1, 0), qRgb(255, 0, 0));
  EXPECT_EQ(shot.pixel(0, 0), qRgb(0, 200, 0));
}

TEST(PatternViews, NoPatternPaintsOnlyThePicture) {
  Repeat_Image view;
  view.resize(10, 10);
  QImage picture(20, 10, QImage::Format_ARGB32);
  picture.fill(qRgb(250, 0, 250));
  view.setImage(picture);  // scaled down to 10 x 5, centred
  const QImage shot = grab(view);
  EXPECT_EQ(shot.pixel(5, 5), qRgb(250, 0, 250));
}
