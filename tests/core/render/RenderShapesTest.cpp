// Shapes drawn into pictures: every outline, fills, borders and dashes, hit tests.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <cmath>
#include <future>
#include <limits>

#include "RenderFixture.h"
#include "core/SKTDocument.h"
#include "core/SKTText.h"
#include "core/Shape_Control.h"
#include "core/render/PaintStyle.h"
#include "core/render/ShapeOutline.h"
#include "core/render/TextLook.h"
#include "support/HangGuard.h"

using namespace render_test;

class RenderShapes : public ::testing::Test {
 protected:
  FakeCardHost host{FakeCardHost::Preset::RenderCard};
  ScopedCardHost install{host};
};

TEST_F(RenderShapes, RectangleOvalAndRoundedRectangle) {
  auto r = makeShape("R", {20, 20, 100, 60});
  QImage img = drawAlone(*r);
  EXPECT_TRUE(isRed(img, 21, 21));
  EXPECT_TRUE(isRed(img, 118, 78));
  EXPECT_TRUE(isWhite(img, 18, 50));
  EXPECT_TRUE(isWhite(img, 122, 50));

  auto c = makeShape("C", {20, 20, 100, 60});
  img = drawAlone(*c);
  EXPECT_TRUE(isRed(img, 70, 50));
  EXPECT_TRUE(isRed(img, 22, 50));    // left end of the ellipse
  EXPECT_TRUE(isWhite(img, 23, 23));  // corner of the bounds is outside

  auto rr = makeShape("RR", {20, 20, 100, 60});
  img = drawAlone(*rr);
  EXPECT_TRUE(isWhite(img, 21, 21));  // rounded corner, radius 10
  EXPECT_TRUE(isRed(img, 70, 21));
  EXPECT_TRUE(isRed(img, 21, 50));
}

TEST_F(RenderShapes, TriangleHasItsApexAtTheTopCentre) {
  auto t = makeShape("T", {0, 0, 100, 50});
  const QPainterPath path = t->bezierPathForDrawing();
  ASSERT_GE(path.elementCount(), 3);
  EXPECT_EQ(QPointF(path.elementAt(0)), QPointF(0, 50));
  EXPECT_EQ(QPointF(path.elementAt(1)), QPointF(50, 0));
  EXPECT_EQ(QPointF(path.elementAt(2)), QPointF(100, 50));
  QImage img = drawAlone(*t);
  EXPECT_TRUE(isRed(img, 50, 3));
  EXPECT_TRUE(isRed(img, 3, 48));
  EXPECT_TRUE(isRed(img, 96, 48));
  EXPECT_TRUE(isWhite(img, 5, 5));
  EXPECT_TRUE(isWhite(img, 95, 5));
}

TEST_F(RenderShapes, DiamondTouchesTheMiddleOfEachEdge) {
  auto d = makeShape("D", {20, 20, 100, 60});
  QImage img = drawAlone(*d);
  EXPECT_TRUE(isRed(img, 70, 50));
  EXPECT_TRUE(isRed(img, 23, 50));
  EXPECT_TRUE(isRed(img, 70, 22));
  EXPECT_TRUE(isWhite(img, 24, 24));
  EXPECT_TRUE(isWhite(img, 116, 76));
  EXPECT_FALSE(d->isContentsUnderPoint({24, 24}));  // inside the bounds, outside the outline
  EXPECT_TRUE(d->isContentsUnderPoint({70, 50}));
}

TEST_F(RenderShapes, StarIsFilledAtItsCentreAndStartsAtTheTop) {
  auto s = makeShape("S", {0, 0, 100, 100});
  const QPainterPath path = s->bezierPathForDrawing();
  ASSERT_GE(path.elementCount(), 5);
  EXPECT_NEAR(path.elementAt(0).x, 50, 1e-4);
  EXPECT_NEAR(path.elementAt(0).y, 0, 1e-4);
  QImage img = drawAlone(*s, {120, 120});
  EXPECT_TRUE(isRed(img, 50, 50));  // the inner pentagon is filled (non-zero rule)
  EXPECT_TRUE(isRed(img, 50, 4));
  EXPECT_TRUE(isWhite(img, 3, 3));
  EXPECT_TRUE(isWhite(img, 50, 95));  // between the two lower tips
  EXPECT_TRUE(s->isContentsUnderPoint({50, 50}));
}

TEST_F(RenderShapes, DoubleStarAndPolygonSelectors) {
  using namespace shape_outline;
  EXPECT_EQ(doubleStarPointCount(1), 7);
  EXPECT_EQ(doubleStarPointCount(5), 15);
  EXPECT_EQ(doubleStarPointCount(6), 6);
  EXPECT_EQ(polygonPointCount(1), 8);
  EXPECT_EQ(polygonPointCount(2), 10);
  EXPECT_EQ(polygonPointCount(5), 16);
  EXPECT_EQ(polygonPointCount(-3), -3);

  auto ds = makeShape("DS", {0, 0, 100, 100});
  EXPECT_EQ(ds->bezierPathForDrawing().elementCount(), 7 + 1);  // seven tips, then the close
  QImage img = drawAlone(*ds, {120, 120});
  EXPECT_TRUE(isRed(img, 50, 50));

  // Polygon selector 1: the four-pointed star with tips at the corners.
  auto p = makeShape("P", {0, 0, 100, 100});
  img = drawAlone(*p, {120, 120});
  EXPECT_TRUE(isRed(img, 2, 2));
  EXPECT_TRUE(isRed(img, 97, 97));
  EXPECT_TRUE(isWhite(img, 50, 5));  // the inner corner lies a quarter in from the edge's middle
  EXPECT_TRUE(isRed(img, 50, 50));
}

TEST_F(RenderShapes, TwiceTracedPolygonIsFilledAtItsCentre) {
  // Selector 2: ten steps of 72 degrees run twice round a pentagon.
  auto p = makeShape("P", {0, 0, 100, 100});
  p->polygon_type = 2;
  QImage img = drawAlone(*p, {120, 120});
  EXPECT_TRUE(isRed(img, 50, 50));
  EXPECT_TRUE(isRed(img, 50, 3));  // corner at the top centre
  EXPECT_TRUE(isWhite(img, 3, 3));
  // Selector 6 on the double star: a triangle traced twice.
  auto ds = makeShape("DS", {0, 0, 100, 100});
  ds->double_star_type = 6;
  img = drawAlone(*ds, {120, 120});
  EXPECT_TRUE(isRed(img, 50, 50));
  EXPECT_TRUE(isWhite(img, 50, 90));  // below the triangle's base (y = 75)
  // A count of 0 gives nothing; 8 on the polygon gives the four-pointed star.
  ds->double_star_type = 0;
  EXPECT_TRUE(ds->bezierPathForDrawing().isEmpty());
  p->polygon_type = 8;
  EXPECT_EQ(p->bezierPathForDrawing().elementCount(), 9);
}

TEST_F(RenderShapes, HugeStoredPointCountsAreClamped) {
  auto p = makeShape("P", {0, 0, 100, 100});
  p->polygon_type = 2'000'000'000;
  const QPainterPath path = p->bezierPathForDrawing();
  EXPECT_LE(path.elementCount(), shape_outline::kMaxStarPoints + 1);
  drawAlone(*p);  // draws the clamped outline (two billion points would not end)
  p->polygon_type = -5;
  EXPECT_TRUE(p->bezierPathForDrawing().isEmpty());
}

TEST_F(RenderShapes, UnknownCodeDrawsNothingAndIsNeverHit) {
  auto x = makeShape("X", {20, 20, 100, 60});
  x->_isDrawingStroke = true;
  QImage img = drawAlone(*x);
  EXPECT_TRUE(isWhite(img, 70, 50));
  EXPECT_TRUE(isWhite(img, 20, 20));
  EXPECT_FALSE(x->isContentsUnderPoint({70, 50}));
  EXPECT_EQ(host.refreshes, 1);  // the refresh is asked for also with an empty path
}

TEST_F(RenderShapes, NewShapeIsAWhiteRectangleWithABlackBorder) {
  auto g = SKTGraphic::makeGraphic(GraphicKind::Shape);
  g->_bounds = {20, 20, 100, 60};
  QImage img(243, 154, QImage::Format_ARGB32);
  img.fill(Qt::blue);
  QPainter p(&img);
  g->drawContentsInView(p, false);
  p.end();
  EXPECT_EQ(img.pixel(70, 50), qRgb(255, 255, 255));
  // A one-point border centred on the edge covers half of the two pixel rows beside it.
  EXPECT_LT(qGray(img.pixel(70, 20)), 200);
  EXPECT_LT(qGray(img.pixel(20, 50)), 200);
  EXPECT_EQ(qRed(img.pixel(70, 20)), qGreen(img.pixel(70, 20)));
  EXPECT_EQ(img.pixel(70, 10), qRgb(0, 0, 255));
  // An unfilled rectangle is still hit in its middle.
  g->_isDrawingFill = false;
  EXPECT_TRUE(g->isContentsUnderPoint({70, 50}));
}

TEST_F(RenderShapes, HiddenShapeDrawsNothingAndAsksNoRefresh) {
  auto s = makeShape("R", {20, 20, 100, 60});
  s->ctrl_is_visible = false;
  QImage img = drawAlone(*s);
  EXPECT_TRUE(isWhite(img, 70, 50));
  EXPECT_EQ(host.refreshes, 0);
  s->ctrl_is_visible = true;
  drawAlone(*s);
  EXPECT_EQ(host.refreshes, 1);
}

TEST_F(RenderShapes, DashStylesRunTheirLengthsOnAThreePointBorder) {
  struct Case {
    const char* code;
    std::vector<int> runs;  // dark, light, dark, ... from the top-left corner
  };
  const Case cases[] = {{"DA", {8, 2, 8, 2}},
                        {"DO", {4, 6, 4, 6}},
                        {"DD", {24, 10, 6, 10, 24}},
                        {"DDD", {24, 8, 8, 8, 8, 8, 24}}};
  for (const Case& c : cases) {
    auto s = makeShape("R", {20, 20, 200, 100});
    s->_isDrawingFill = false;
    s->_isDrawingStroke = true;
    s->_strokeWidth = 3;
    s->_stroke_border_type = c.code;
    QImage img = drawAlone(*s);
    const auto runs = runsAlongRow(img, 20, 20, 200);
    ASSERT_GE(runs.size(), c.runs.size()) << c.code;
    for (size_t i = 0; i < c.runs.size(); ++i) EXPECT_EQ(runs[i], c.runs[i]) << c.code << " run " << i;
  }
  // Solid and unknown codes draw one unbroken line.
  for (const char* code : {"S", "ZZ"}) {
    auto s = makeShape("R", {20, 20, 200, 100});
    s->_isDrawingFill = false;
    s->_isDrawingStroke = true;
    s->_strokeWidth = 3;
    s->_stroke_border_type = code;
    QImage img = drawAlone(*s);
    EXPECT_EQ(runsAlongRow(img, 20, 20, 200).size(), 1u) << code;
  }
}

TEST_F(RenderShapes, GradientRunsAlongItsAngle) {
  auto s = makeShape("R", {0, 0, 200, 100});
  s->_fill_type = "G";
  s->_fill_Grad_clr1 = Qt::black;
  s->_fill_Grad_clr2 = Qt::white;
  s->_fill_grad_angle = 0;
  QImage img = drawAlone(*s);
  EXPECT_LT(qGray(img.pixel(2, 50)), 20);
  EXPECT_GT(qGray(img.pixel(197, 50)), 235);
  EXPECT_NEAR(qGray(img.pixel(100, 50)), 128, 12);
  s->_fill_grad_angle = 90;  // top to bottom on screen
  img = drawAlone(*s);
  EXPECT_LT(qGray(img.pixel(100, 2)), 20);
  EXPECT_GT(qGray(img.pixel(100, 97)), 235);
}

TEST_F(RenderShapes, OpacityComesFromTheFillAndStrokeValues) {
  auto s = makeShape("R", {20, 20, 100, 60});
  s->_fillColor = Qt::black;
  s->alpha_val = 0.5f;
  QImage img = drawAlone(*s);
  EXPECT_NEAR(qGray(img.pixel(70, 50)), 128, 3);
}

TEST_F(RenderShapes, HatchPictureIsTiledOverTheBackgroundAndReadOnce) {
  auto s = makeShape("R", {0, 0, 64, 64});
  s->_fill_type = "H";
  s->_fill_htch_clr = Qt::yellow;
  s->_fill_hatch_type = "Horizontal";  // ink on every 8th row
  paint::clearHatchPictures();
  const int loadsBefore = paint::hatchPictureLoadCount();
  QImage img = drawAlone(*s);
  drawAlone(*s);
  EXPECT_EQ(paint::hatchPictureLoadCount() - loadsBefore, 1);
  EXPECT_TRUE(isDark(img, 30, 16));
  EXPECT_EQ(img.pixel(30, 20), qRgb(255, 255, 0));
}

TEST_F(RenderShapes, HatchNameMustBeAPlainNameAndAMissingPictureShowsTheBackground) {
  EXPECT_FALSE(paint::isPlainName(""));
  EXPECT_FALSE(paint::isPlainName(".."));
  EXPECT_FALSE(paint::isPlainName("../Fill_Style_Image/Cross"));
  EXPECT_FALSE(paint::isPlainName("a\\b"));
  EXPECT_TRUE(paint::isPlainName("Cross"));
  for (const char* name : {"", "../Fill_Style_Image/Horizontal", "No_Such_Pattern"}) {
    auto s = makeShape("R", {0, 0, 64, 64});
    s->_fill_type = "H";
    s->_fill_htch_clr = Qt::yellow;
    s->_fill_hatch_type = name;
    QImage img = drawAlone(*s);
    EXPECT_EQ(img.pixel(30, 16), qRgb(255, 255, 0)) << name;
  }
  // Fill off: no hatch at all.
  auto s = makeShape("R", {0, 0, 64, 64});
  s->_fill_type = "H";
  s->_fill_hatch_type = "Horizontal";
  s->_isDrawingFill = false;
  EXPECT_TRUE(isWhite(drawAlone(*s), 30, 16));
}

// Every shape code on one sheet (and one picture per code when QUVO_SNAPSHOT_DIR is set).
TEST_F(RenderShapes, EveryShapeCodeDrawsInItsBounds) {
  struct Entry {
    const char* name;
    const char* code;
    int doubleStar = 1;
    int polygon = 1;
  };
  const Entry entries[] = {{"R", "R"},        {"C", "C"},        {"RR", "RR"},        {"T", "T"},
                           {"D", "D"},        {"S", "S"},        {"DS1", "DS", 1, 1}, {"DS5", "DS", 5, 1},
                           {"P1", "P", 1, 1}, {"P2", "P", 1, 2}, {"P3", "P", 1, 3},   {"P5", "P", 1, 5}};
  const char* dir = std::getenv("QUVO_SNAPSHOT_DIR");
  QImage sheet(6 * 120, 2 * 120, QImage::Format_RGB32);
  sheet.fill(Qt::white);
  int cell = 0;
  for (const Entry& e : entries) {
    auto s = makeShape(e.code, {10, 10, 100, 100}, QColor(250, 200, 40), true);
    s->double_star_type = e.doubleStar;
    s->polygon_type = e.polygon;
    s->_strokeWidth = 2;
    QImage img = drawAlone(*s, {120, 120});
    int inked = 0;
    for (int y = 0; y < 120; ++y)
      for (int x = 0; x < 120; ++x) {
        const bool ink = img.pixel(x, y) != qRgb(255, 255, 255);
        if (ink) ++inked;
        // Mitred tips may reach a few points beyond the bounds, never further.
        if (x < 5 || y < 5 || x > 115 || y > 115)
          ASSERT_FALSE(ink) << e.name << " outside at " << x << "," << y;
      }
    EXPECT_GT(inked, 1500) << e.name;
    EXPECT_FALSE(isWhite(img, 60, 60)) << e.name;  // every outline covers its centre
    if (dir) img.save(QString::fromLocal8Bit(dir) + "/shape_" + e.name + ".png");
    QPainter sp(&sheet);
    sp.drawImage((cell % 6) * 120, (cell / 6) * 120, img);
    ++cell;
  }
  if (dir) sheet.save(QString::fromLocal8Bit(dir) + "/shape_sheet.png");
}

TEST_F(RenderShapes, OutlineBuildersFollowTheBounds) {
  auto g = std::static_pointer_cast<Shape_Control>(makeShape("R", {0, 0, 100, 100}));
  EXPECT_EQ(g->Rectangle_path().boundingRect(), QRectF(0, 0, 100, 100));
  EXPECT_EQ(g->Triangle_path().elementCount(), 4);
  EXPECT_EQ(g->Diamond_path().boundingRect(), QRectF(0, 0, 100, 100));
  EXPECT_EQ(g->Custom_Polygon().elementCount(), 9);
  EXPECT_EQ(QPointF(g->Custom_Polygon().elementAt(1)), QPointF(50, 25));
  EXPECT_EQ(g->Polygon_With_Diffrent_Sides(5).elementCount(), 6);
  EXPECT_TRUE(g->Polygon_With_Diffrent_Sides(0).isEmpty());
  g->cor_rad_val_val = 20;
  EXPECT_FALSE(g->Rounded_Rectangle_path().contains(QPointF(3, 3)));
  EXPECT_TRUE(g->Circle_path().contains(QPointF(50, 50)));
}

TEST_F(RenderShapes, HatchPictureAddedLaterIsFound) {
  QTemporaryDir folder;
  ASSERT_TRUE(QDir().mkpath(folder.filePath("Fill_Style_Image")));
  EXPECT_TRUE(paint::hatchPicture(folder.path(), "Later").isNull());
  QImage tile(4, 4, QImage::Format_ARGB32);
  tile.fill(Qt::black);
  ASSERT_TRUE(tile.save(folder.filePath("Fill_Style_Image/Later.png")));
  EXPECT_FALSE(paint::hatchPicture(folder.path(), "Later").isNull());
  // A file that is not a picture is read once only.
  QFile bad(folder.filePath("Fill_Style_Image/Bad.png"));
  ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
  bad.write("not a png");
  bad.close();
  const int before = paint::hatchPictureLoadCount();
  EXPECT_TRUE(paint::hatchPicture(folder.path(), "Bad").isNull());
  EXPECT_TRUE(paint::hatchPicture(folder.path(), "Bad").isNull());
  EXPECT_EQ(paint::hatchPictureLoadCount() - before, 1);
}

TEST_F(RenderShapes, HatchNamedLikeAPipeDoesNotBlockThePainter) {
  // A pipe under a hatch picture's name must not hang every repaint: only
  // regular files are read; the background colour shows alone.
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  ASSERT_TRUE(QDir(folder.path()).mkpath("Fill_Style_Image"));
  const QByteArray pipePath = (folder.path() + "/Fill_Style_Image/Pipe.png").toLocal8Bit();
  ASSERT_EQ(::mkfifo(pipePath.constData(), 0600), 0);
  auto read = std::async(std::launch::async, [&] { return paint::hatchPicture(folder.path(), "Pipe"); });
  // A reader that waits for a writer waits for ever: the limit only ends the test.
  if (read.wait_for(std::chrono::milliseconds(testing_support::kHangGuardMs)) != std::future_status::ready) {
    // Opening and closing the other end releases the reader (it then reads an empty file).
    const int writer = ::open(pipePath.constData(), O_WRONLY | O_NONBLOCK);
    if (writer >= 0) ::close(writer);
    read.wait();
    FAIL() << "reading the hatch picture blocked on a pipe";
  }
  EXPECT_TRUE(read.get().isNull());
  paint::clearHatchPictures();
}
