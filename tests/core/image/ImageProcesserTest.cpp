// The picture filter chain: neutral values leave pictures alone, each filter
// moves a known pixel as its formula says, the size clamp and the rotation sizes.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QPainter>
#include <cmath>

#include "core/image/ImageProcesser.h"

namespace {

QImage solid(int w, int h, QRgb colour) {
  QImage img(w, h, QImage::Format_ARGB32);
  img.fill(colour);
  return img;
}

// A picture with every kind of pixel: a colour ramp, varying alpha and a few
// hard edges, so that an identity filter cannot pass by luck.
QImage varied(int w = 37, int h = 23) {
  QImage img(w, h, QImage::Format_ARGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      img.setPixel(x, y,
                   qRgba((x * 7 + y * 3) % 256, (x * 13) % 256, (y * 29 + x) % 256, 255 - (x * y) % 200));
  return img;
}

bool samePixels(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return false;
  const QImage ca = a.convertToFormat(QImage::Format_ARGB32), cb = b.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < ca.height(); ++y)
    for (int x = 0; x < ca.width(); ++x)
      if (ca.pixel(x, y) != cb.pixel(x, y)) return false;
  return true;
}

void expectRgb(QRgb p, int r, int g, int b, int tolerance = 1) {
  EXPECT_NEAR(qRed(p), r, tolerance);
  EXPECT_NEAR(qGreen(p), g, tolerance);
  EXPECT_NEAR(qBlue(p), b, tolerance);
}

QImage neutralChain(const QImage& img, int rotate = 0) {
  return ImageProcesser::Get_Processed_Image(img, false, false, false, 0.0f, 1.0f, 0.0f, 1.0f, rotate, 0.0f,
                                             0.0f, 0.0f, 100.0f);
}

}  // namespace

TEST(ImageFilters, NeutralValuesAreIdentity) {
  const QImage img = varied();
  EXPECT_TRUE(samePixels(ImageProcesser::adjust_Hue(img, 0.0f), img));
  EXPECT_TRUE(samePixels(ImageProcesser::adjust_Color_Control(img, 1.0f, 0.0f, 1.0f), img));
  EXPECT_TRUE(samePixels(ImageProcesser::adjust_Sharpness(img, 0.0f), img));
  EXPECT_TRUE(samePixels(ImageProcesser::adjust_boxBlur(img, 0.0f), img));
  EXPECT_TRUE(samePixels(ImageProcesser::adjust_boxBlur(img, 0.4f), img));  // rounds to no blur
  EXPECT_TRUE(samePixels(ImageProcesser::adjust_EV(img, 0.0f), img));
  EXPECT_TRUE(samePixels(ImageProcesser::imageRotated(img, 0.0f), img));
  EXPECT_TRUE(samePixels(neutralChain(img), img));
  // The opacity argument of the chain changes nothing.
  EXPECT_TRUE(samePixels(
      ImageProcesser::Get_Processed_Image(img, false, false, false, 0, 1, 0, 1, 0, 0, 0, 0, 5.0f), img));
  // Non-finite values are treated as neutral rather than poisoning the picture.
  EXPECT_TRUE(samePixels(ImageProcesser::adjust_EV(img, NAN), img));
  EXPECT_TRUE(samePixels(ImageProcesser::adjust_boxBlur(img, INFINITY), img));
}

TEST(ImageFilters, NullPictureGivesNull) {
  EXPECT_TRUE(neutralChain(QImage()).isNull());
  EXPECT_TRUE(ImageProcesser::Sepia(QImage()).isNull());
}

TEST(ImageFilters, EachFilterMovesAKnownPixel) {
  const QImage red = solid(4, 4, qRgb(255, 0, 0));
  // Grey scale: L = 0.2126 * 255.
  expectRgb(ImageProcesser::GrayScale(red).pixel(1, 1), 54, 54, 54);
  // Sepia of pure red: (.393, .349, .272) * 255; of white: clamped, blue .937.
  expectRgb(ImageProcesser::Sepia(red).pixel(1, 1), 100, 89, 69);
  expectRgb(ImageProcesser::Sepia(solid(2, 2, qRgb(255, 255, 255))).pixel(0, 0), 255, 255, 239);
  // Invert.
  expectRgb(ImageProcesser::Invert_Color(solid(2, 2, qRgb(10, 20, 30))).pixel(0, 0), 245, 235, 225, 0);
  // Hue: +120 degrees turns red into green, -120 degrees into blue.
  expectRgb(ImageProcesser::adjust_Hue(red, float(2 * M_PI / 3)).pixel(0, 0), 0, 255, 0);
  expectRgb(ImageProcesser::adjust_Hue(red, float(-2 * M_PI / 3)).pixel(0, 0), 0, 0, 255);
  // Saturation 0 gives the luma; brightness adds; contrast scales about the middle.
  expectRgb(ImageProcesser::adjust_Color_Control(red, 0.0f, 0.0f, 1.0f).pixel(0, 0), 54, 54, 54);
  const QImage grey = solid(2, 2, qRgb(100, 100, 100));
  expectRgb(ImageProcesser::adjust_Color_Control(grey, 1.0f, 0.2f, 1.0f).pixel(0, 0), 151, 151, 151);
  expectRgb(ImageProcesser::adjust_Color_Control(grey, 1.0f, 0.0f, 2.0f).pixel(0, 0), 73, 73, 73);
  // Exposure: one stop doubles.
  expectRgb(ImageProcesser::adjust_EV(solid(2, 2, qRgb(64, 32, 200)), 1.0f).pixel(0, 0), 128, 64, 255);
  expectRgb(ImageProcesser::adjust_EV(solid(2, 2, qRgb(64, 32, 200)), -1.0f).pixel(0, 0), 32, 16, 100);
}

TEST(ImageFilters, ExtremeSettingsStayInRange) {
  // Values read from a design file may be anything; the result is still a picture.
  const QImage img = varied();
  for (float v : {3e38f, -3e38f, 1e20f}) {
    const QImage out =
        ImageProcesser::Get_Processed_Image(img, true, true, true, v, v, v, 0.0f, 2147483647, v, v, v, v);
    EXPECT_FALSE(out.isNull());
  }
  const QImage white =
      ImageProcesser::adjust_Color_Control(solid(2, 2, qRgb(10, 10, 10)), 1.0f, 3e38f, 3e38f);
  expectRgb(white.pixel(0, 0), 255, 255, 255, 0);
}

TEST(ImageFilters, AlphaIsKept) {
  const QImage img = solid(2, 2, qRgba(200, 100, 50, 90));
  EXPECT_EQ(qAlpha(ImageProcesser::Sepia(img).pixel(0, 0)), 90);
  EXPECT_EQ(qAlpha(ImageProcesser::Invert_Color(img).pixel(0, 0)), 90);
  EXPECT_EQ(qAlpha(ImageProcesser::adjust_EV(img, 1.0f).pixel(0, 0)), 90);
}

TEST(ImageFilters, SharpenRaisesADotAndLeavesFlatAreas) {
  QImage img = solid(5, 5, qRgb(100, 100, 100));
  img.setPixel(2, 2, qRgb(150, 150, 150));
  const QImage out = ImageProcesser::adjust_Sharpness(img, 1.0f);
  // d = (150 - (8 * 100 + 150) / 9) / 255 = 44.4 / 255.
  expectRgb(out.pixel(2, 2), 194, 194, 194);
  // A neighbour sees mean (8 * 100 + 150) / 9 - 100 above it: d = -5.6.
  expectRgb(out.pixel(1, 1), 94, 94, 94);
  // Far corner: all neighbours flat.
  expectRgb(out.pixel(4, 4), 100, 100, 100, 0);
  const QImage flat = solid(6, 6, qRgb(30, 140, 220));
  EXPECT_TRUE(samePixels(ImageProcesser::adjust_Sharpness(flat, 3.0f), flat));
}

TEST(ImageFilters, BoxBlurAveragesTheSquareAndKeepsTheSize) {
  QImage img = solid(7, 7, qRgb(0, 0, 0));
  img.setPixel(3, 3, qRgb(255, 255, 255));
  const QImage out = ImageProcesser::adjust_boxBlur(img, 1.0f);
  EXPECT_EQ(out.size(), img.size());
  expectRgb(out.pixel(3, 3), 28, 28, 28);  // 255 / 9
  expectRgb(out.pixel(2, 4), 28, 28, 28);
  expectRgb(out.pixel(1, 3), 0, 0, 0, 0);
  EXPECT_EQ(qAlpha(out.pixel(0, 0)), 255);
  // Edges repeat the border pixels, so a flat picture stays flat to the rim.
  const QImage flat = solid(9, 4, qRgb(10, 200, 90));
  EXPECT_TRUE(samePixels(ImageProcesser::adjust_boxBlur(flat, 5.0f), flat));
  // A huge radius is capped and still finishes.
  EXPECT_EQ(ImageProcesser::adjust_boxBlur(varied(), 1e30f).size(), varied().size());
  EXPECT_TRUE(samePixels(ImageProcesser::adjust_boxBlur(varied(), -5.0f), varied()));
}

TEST(ImageFilters, ChainRunsInItsOrder) {
  // Invert after grey scale: red -> 54 -> 201; sepia between them changes it again.
  const QImage red = solid(3, 3, qRgb(255, 0, 0));
  const QImage g = ImageProcesser::Get_Processed_Image(red, true, false, true, 0, 1, 0, 1, 0, 0, 0, 0, 100);
  expectRgb(g.pixel(1, 1), 201, 201, 201);
  // Exposure runs after brightness: (0.2 + 0.2) * 2 = 0.8.
  const QImage dark = solid(3, 3, qRgb(51, 51, 51));
  const QImage e =
      ImageProcesser::Get_Processed_Image(dark, false, false, false, 0, 1, 0.2f, 1, 0, 0, 1.0f, 0, 100);
  expectRgb(e.pixel(1, 1), 204, 204, 204);
}

TEST(ImageClamp, SidesAreClampedAlone) {
  EXPECT_EQ(ImageProcesser::clampedSize(QSize(1000, 1000)), QSize(724, 468));
  EXPECT_EQ(ImageProcesser::clampedSize(QSize(800, 300)), QSize(724, 300));
  EXPECT_EQ(ImageProcesser::clampedSize(QSize(300, 900)), QSize(300, 468));
  EXPECT_EQ(ImageProcesser::clampedSize(QSize(724, 468)), QSize(724, 468));
  // The clamp is the display size only: the chain keeps every pixel.
  const QImage big = solid(1000, 1000, qRgb(1, 2, 3));
  EXPECT_EQ(neutralChain(big).size(), QSize(1000, 1000));
}

TEST(ImageRotation, SizesFollowTheAngle) {
  const QImage img = solid(100, 60, qRgb(9, 9, 9));
  EXPECT_EQ(ImageProcesser::imageRotated(img, 45).size(), QSize(120, 120));
  EXPECT_EQ(ImageProcesser::imageRotated(img, 450).size(), QSize(60, 100));
  EXPECT_EQ(ImageProcesser::imageRotated(img, -90).size(), QSize(60, 100));
  EXPECT_EQ(ImageProcesser::imageRotated(img, 180).size(), QSize(100, 60));
  EXPECT_EQ(ImageProcesser::imageRotated(img, -720).cacheKey(), img.cacheKey());
  EXPECT_EQ(ImageProcesser::imageRotated(img, 360).cacheKey(), img.cacheKey());
  // The chain truncates the stored float toward zero before it gets here.
  EXPECT_EQ(neutralChain(img, int(89.9f)).size(), QSize(120, 120));
  EXPECT_EQ(neutralChain(img, 450).size(), QSize(60, 100));
}

TEST(ImageRotation, TurnsCounterClockwiseAboutTheCentre) {
  // Red top-left quadrant, rest blue; after a quarter turn counter-clockwise the
  // red corner is at the bottom left.
  QImage img = solid(40, 20, qRgb(0, 0, 255));
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 20; ++x) img.setPixel(x, y, qRgb(255, 0, 0));
  const QImage q = ImageProcesser::imageRotated(img, 90).convertToFormat(QImage::Format_ARGB32);
  ASSERT_EQ(q.size(), QSize(20, 40));
  expectRgb(q.pixel(2, 37), 255, 0, 0, 2);
  expectRgb(q.pixel(17, 37), 0, 0, 255, 2);
  expectRgb(q.pixel(2, 2), 0, 0, 255, 2);
  const QImage h = ImageProcesser::imageRotated(img, 180).convertToFormat(QImage::Format_ARGB32);
  expectRgb(h.pixel(37, 17), 255, 0, 0, 2);
  expectRgb(h.pixel(2, 2), 0, 0, 255, 2);
  // At 45 degrees the corners of the square are empty and the centre is kept.
  const QImage d =
      ImageProcesser::imageRotated(solid(40, 40, qRgb(0, 255, 0)), 45).convertToFormat(QImage::Format_ARGB32);
  EXPECT_EQ(d.size(), QSize(60, 60));
  EXPECT_EQ(qAlpha(d.pixel(1, 1)), 0);
  expectRgb(d.pixel(30, 30), 0, 255, 0, 2);
}
