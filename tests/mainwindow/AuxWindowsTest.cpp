// The help and promotion windows as a person sees them: the banner pattern
// across their top, and the product picture over the promotion pattern.
#include <gtest/gtest.h>

#include <QImage>
#include <QSet>
#include <QTemporaryDir>

#include "canvas/PatternViews.h"
#include "mainwindow/AuxWindows.h"
#include "mainwindow/WindowTestSupport.h"
#include "support/ScriptedHost.h"

namespace {

QSet<QRgb> pixelsOf(const QImage& image) {
  QSet<QRgb> pixels;
  const QImage argb = image.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < argb.height(); ++y)
    for (int x = 0; x < argb.width(); ++x) pixels.insert(argb.pixel(x, y));
  return pixels;
}

}  // namespace

TEST(AuxWindows, BannerAcrossTheHelpWindowAndTheProductOverThePromotionPattern) {
  QTemporaryDir dir;
  const QString resources = window_test::useSeededResources(dir);
  testing_support::ScriptedHost host;

  Help_Support help;
  help.resize(480, 400);
  help.show();
  auto* banner = help.findChild<Repeat_Image*>("banner");
  ASSERT_NE(banner, nullptr);
  const QImage tile = loadBannerPattern(resources).convertToFormat(QImage::Format_RGB32);
  ASSERT_FALSE(tile.isNull());
  // The banner starts at its own top-left corner; right of the title it shows the tile.
  const QImage strip = banner->grab().toImage().convertToFormat(QImage::Format_RGB32);
  for (int x : {strip.width() - 3, strip.width() - 40})
    for (int y : {1, strip.height() - 2})
      EXPECT_EQ(strip.pixel(x, y), tile.pixel(x % tile.width(), y % tile.height())) << x << "," << y;

  // Each product shows its own picture over the dots of the promotion pattern.
  Promotion_Form& promotion = Promotion_Form::defaultInstance();
  const QSet<QRgb> dots = pixelsOf(loadPromotionPattern(resources));
  QImage shown[2];
  int run = 0;
  for (const char* key : {"B", "S"}) {
    host.queueModal([&](QDialog&) {
      shown[run] = promotion.bundle_image->grab().toImage().convertToFormat(QImage::Format_RGB32);
      return 1;
    });
    promotion.software_type = QLatin1String(key);
    EXPECT_EQ(promotion.Open_Promotion_Window(nullptr), 1);
    ++run;
  }
  EXPECT_EQ(promotion.Software_title->text(), "QUVO Labels");
  for (const QImage& picture : shown) {
    ASSERT_FALSE(picture.isNull());
    EXPECT_TRUE(dots.contains(picture.pixel(2, 2)));
    EXPECT_TRUE(dots.contains(picture.pixel(picture.width() - 3, picture.height() - 3)));
  }
  // The badge's white card lies where the sheet of labels has a blue label.
  const QPoint onCard(shown[0].width() / 2 + 20, shown[0].height() / 2 + 30);
  EXPECT_EQ(shown[0].pixel(onCard), qRgb(255, 255, 255));
  EXPECT_EQ(shown[1].pixel(onCard), qRgb(214, 232, 250));
}
