// The help and promotion windows as a person sees them: the banner pattern
// across their top, and the product picture over the promotion pattern.
#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>

#include "canvas/PatternViews.h"
#include "mainwindow/AuxWindows.h"
#include "mainwindow/WindowTestSupport.h"
#include "support/ScriptedHost.h"

TEST(AuxWindows, BannerAcrossTheHelpWindowAndTheProductOverThePromotionPattern) {
  QTemporaryDir dir;
  const QString resources = window_test::useSeededResources(dir);
  testing_support::ScriptedHost host;

  // The banner starts at its own top-left corner; right of the title it shows the tile.
  Help_Support help;
  help.resize(480, 400);
  help.show();
  auto* banner = help.findChild<Repeat_Image*>("banner");
  ASSERT_NE(banner, nullptr);
  const QImage tile = loadBannerPattern(resources).convertToFormat(QImage::Format_RGB32);
  const QImage strip = banner->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const int x = strip.width() - 3, y = strip.height() - 2;
  EXPECT_EQ(strip.pixel(x, y), tile.pixel(x % tile.width(), y % tile.height()));

  // Each product shows its own picture over the dots of the promotion pattern:
  // the badge's white card lies where the sheet of labels has a blue label.
  Promotion_Form& promotion = Promotion_Form::defaultInstance();
  const QImage dots = loadPromotionPattern(resources).convertToFormat(QImage::Format_RGB32);
  const auto inDots = [&](QRgb pixel) {  // the pattern is anchored to the window, not the view
    for (int py = 0; py < dots.height(); ++py)
      for (int px = 0; px < dots.width(); ++px)
        if (dots.pixel(px, py) == pixel) return true;
    return false;
  };
  for (const auto& [key, colour] :
       {std::pair{"B", qRgb(255, 255, 255)}, std::pair{"S", qRgb(214, 232, 250)}}) {
    QImage shown;
    host.queueModal([&](QDialog&) {
      shown = promotion.bundle_image->grab().toImage().convertToFormat(QImage::Format_RGB32);
      return 1;
    });
    promotion.software_type = QLatin1String(key);
    EXPECT_EQ(promotion.Open_Promotion_Window(nullptr), 1);
    ASSERT_FALSE(shown.isNull());
    EXPECT_TRUE(inDots(shown.pixel(2, 2))) << key;
    EXPECT_EQ(shown.pixel(shown.width() / 2 + 20, shown.height() / 2 + 30), colour) << key;
  }
  EXPECT_EQ(promotion.Software_title->text(), "QUVO Labels");
}
