// The grid: snapping, alignment, the temporary showing and the lines it draws.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <limits>

#include "canvas/SKTGrid.h"
#include "support/EventLoop.h"

TEST(CanvasGrid, SnapsPointsOnlyWhileConstraining) {
  SKTGrid grid;
  EXPECT_EQ(grid.spacing(), 9.0);
  EXPECT_EQ(grid.constrainedPoint({13.4, 4.5}), QPointF(13.4, 4.5));  // constraining off
  grid.setConstraining(true);
  EXPECT_EQ(grid.constrainedPoint({13.4, 4.5}), QPointF(9, 9));
  EXPECT_EQ(grid.constrainedPoint({-4, 22}), QPointF(0, 18));
}

TEST(CanvasGrid, AlignsRectanglesWhetherOrNotConstraining) {
  SKTGrid grid;
  EXPECT_EQ(grid.alignedRect({4, 4, 10, 10}), QRectF(0, 0, 18, 18));
  EXPECT_EQ(grid.alignedRect({5, 5, 2, 2}), QRectF(9, 9, 0, 0));
}

TEST(CanvasGrid, ZeroSpacingIsUnusable) {
  SKTGrid grid;
  grid.setConstraining(true);
  grid.setAlwaysShown(true);
  grid.setSpacing(0);
  EXPECT_FALSE(grid.canAlign());
  EXPECT_FALSE(grid.canSetColor());
  EXPECT_EQ(grid.constrainedPoint({13.4, 4.5}), QPointF(13.4, 4.5));
  QImage img(40, 40, QImage::Format_ARGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  grid.drawRect(p, QRectF(0, 0, 40, 40));
  p.end();
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_EQ(img.pixel(x, y), qRgb(255, 255, 255));
}

TEST(CanvasGrid, SpacingChangeShowsTheGridForAMoment) {
  SKTGrid grid;
  int any = 0;
  QObject::connect(&grid, &SKTGrid::anyChanged, [&] { ++any; });
  grid.setSpacing(9.0);  // same value: nothing
  EXPECT_FALSE(grid.isShowingTemporarily());
  EXPECT_EQ(any, 0);
  grid.setSpacing(12.0);
  EXPECT_EQ(any, 1);
  EXPECT_TRUE(grid.isShowingTemporarily());
  // The moment outlasts the events served at once; its end is announced.
  QCoreApplication::processEvents();
  EXPECT_TRUE(grid.isShowingTemporarily());
  EXPECT_TRUE(testing_support::serveUntil([&] { return any == 2; }));
  EXPECT_FALSE(grid.isShowingTemporarily());

  grid.setAlwaysShown(true);
  grid.setSpacing(15.0);  // always shown: no moment
  EXPECT_FALSE(grid.isShowingTemporarily());
  EXPECT_TRUE(grid.canSetColor());
  EXPECT_TRUE(grid.canSetSpacing());
}

TEST(CanvasGrid, AlwaysShownTogglesTheAlignButtonAndEndsAMoment) {
  SKTGrid grid;
  QList<bool> shown;
  QObject::connect(&grid, &SKTGrid::alwaysShownChanged, [&](bool b) { shown << b; });
  grid.setSpacing(5);
  ASSERT_TRUE(grid.isShowingTemporarily());
  grid.setAlwaysShown(true);
  EXPECT_FALSE(grid.isShowingTemporarily());
  grid.setAlwaysShown(true);
  grid.setAlwaysShown(false);
  EXPECT_EQ(shown, (QList<bool>{true, false}));
}

TEST(CanvasGrid, DrawsOnlyTheLinesCrossingTheRectangle) {
  SKTGrid grid;
  grid.setAlwaysShown(true);
  grid.setColor(Qt::black);
  QImage img(50, 50, QImage::Format_ARGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  grid.drawRect(p, QRectF(10, 10, 20, 20));
  p.end();
  auto dark = [&](int x, int y) { return qGray(img.pixel(x, y)) < 128; };
  // Vertical lines at x = 18 and 27, horizontal at y = 18 and 27, only within 10..30.
  for (int y = 11; y < 30; ++y) {
    EXPECT_TRUE(dark(18, y) || dark(17, y)) << y;
    EXPECT_TRUE(dark(27, y) || dark(26, y)) << y;
  }
  EXPECT_FALSE(dark(9, 9));
  EXPECT_FALSE(dark(18, 35));
  EXPECT_FALSE(dark(35, 18));
  EXPECT_FALSE(dark(14, 14));
  EXPECT_FALSE(dark(9, 18));  // x = 9 lies outside the rectangle
}

TEST(CanvasGrid, HiddenGridDrawsNothing) {
  SKTGrid grid;
  grid.setColor(Qt::black);
  QImage img(30, 30, QImage::Format_ARGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  grid.drawRect(p, QRectF(0, 0, 30, 30));
  p.end();
  EXPECT_EQ(img.pixel(18, 5), qRgb(255, 255, 255));
}

TEST(CanvasGrid, GridIgnoresASpacingThatIsNotAFiniteNumber) {
  SKTGrid grid;
  grid.setConstraining(true);
  grid.setSpacing(std::numeric_limits<double>::infinity());
  grid.setSpacing(std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(grid.spacing(), 9.0);
  const QPointF snapped = grid.constrainedPoint({13.4, 4.5});
  EXPECT_EQ(snapped, QPointF(9, 9));
  EXPECT_TRUE(std::isfinite(snapped.x()) && std::isfinite(snapped.y()));
}
