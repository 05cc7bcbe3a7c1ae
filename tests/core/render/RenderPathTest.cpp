// The render path: pictures, PDF and TIFF of a side, and the card background.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <thread>

#include "RenderFixture.h"
#include "core/Card_Property.h"
#include "core/render/CardBackground.h"
#include "core/render/PaintStyle.h"
#include "core/render/SKTRenderingView.h"

using namespace render_test;

namespace {

QImage rasterisePdf(const QByteArray& pdf, QTemporaryDir& dir, QString* info = nullptr) {
  const QString pdfPath = dir.filePath("side.pdf");
  QFile f(pdfPath);
  EXPECT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(pdf);
  f.close();
  if (info) *info = runTool("pdfinfo", {pdfPath});
  int code = -1;
  runTool("pdftoppm", {"-r", "72", "-png", "-singlefile", pdfPath, dir.filePath("side")}, &code);
  EXPECT_EQ(code, 0) << "pdftoppm (poppler-utils) must be installed";
  return QImage(dir.filePath("side.png"));
}

SidePaintContext plainContext() {
  Card_Property page;
  return sidePaintContextForPage(page, 0, {243, 154}, QStringLiteral(QUVO_SOURCE_DIR "/resources"));
}

}  // namespace

class RenderPath : public ::testing::Test {
 protected:
  FakeCardHost host{FakeCardHost::Preset::RenderCard};
  ScopedCardHost install{host};
};

TEST_F(RenderPath, EmptySideIsTheCardBackgroundAtTheCanvasSize) {
  Card_Property page;
  page.Card_fill_chk = true;
  page.Card_fill_clr = Qt::blue;
  const QImage img =
      SKTRenderingView::image_From_Card_Graphics({}, sidePaintContextForPage(page, 0, {243, 154}, QString()));
  ASSERT_EQ(img.size(), QSize(243, 154));
  EXPECT_EQ(img.pixel(120, 77), qRgb(0, 0, 255));
  EXPECT_EQ(img.pixel(0, 0), qRgb(0, 0, 255));
  // The host route: the front canvas's size and the host's background.
  host.baseColor = Qt::green;
  const QImage viaHost = SKTRenderingView::image_From_Card_Graphics({}, false);
  ASSERT_EQ(viaHost.size(), QSize(243, 154));
  EXPECT_EQ(viaHost.pixel(5, 5), qRgb(0, 255, 0));
}

TEST_F(RenderPath, IndexZeroLiesOnTop) {
  SKTGraphicList list{makeShape("R", {10, 10, 100, 100}, Qt::red),
                      makeShape("R", {50, 50, 100, 100}, Qt::blue)};
  const QImage img = SKTRenderingView::image_From_Card_Graphics(list, plainContext());
  EXPECT_TRUE(isRed(img, 80, 80));
  EXPECT_EQ(img.pixel(130, 130), qRgb(0, 0, 255));
}

TEST_F(RenderPath, NonPrintingObjectIsLeftOutOfPictureAndPdfButNotTiff) {
  auto shown = makeShape("R", {10, 10, 60, 60}, Qt::blue);
  auto hidden = makeShape("R", {120, 40, 60, 60}, Qt::red);
  hidden->print_object = 1;
  const SKTGraphicList list{hidden, shown};

  const QImage img = SKTRenderingView::image_From_Card_Graphics(list, plainContext());
  EXPECT_EQ(img.pixel(40, 40), qRgb(0, 0, 255));
  EXPECT_EQ(img.pixel(150, 70), qRgb(255, 255, 255));

  QTemporaryDir dir;
  QString info;
  const QImage fromPdf =
      rasterisePdf(SKTRenderingView::pdfDataWithGraphics_data(list, plainContext()), dir, &info);
  ASSERT_FALSE(fromPdf.isNull());
  EXPECT_TRUE(info.contains(QRegularExpression("Page size:\\s+243 x 154 pts"))) << info.toStdString();
  EXPECT_EQ(fromPdf.size(), QSize(243, 154));
  const QRgb blue = fromPdf.pixel(40, 40), blank = fromPdf.pixel(150, 70);
  EXPECT_LT(qRed(blue), 30);
  EXPECT_GT(qBlue(blue), 220);
  EXPECT_GT(qGray(blank), 240);

  int error = 0;
  const QByteArray tiff = SKTRenderingView::tiffDataWithGraphics(list, &error);
  ASSERT_FALSE(tiff.isEmpty());
  EXPECT_EQ(error, 0);
  QImage fromTiff = QImage::fromData(tiff, "TIFF");
  ASSERT_FALSE(fromTiff.isNull());
  // Union of the drawing bounds: (10,10,60,60) and (120,40,60,60), each grown by 3 and
  // widened by 1: x 7 .. 184, y 7 .. 104.
  EXPECT_EQ(fromTiff.size(), QSize(177, 97));
  const QRgb red = fromTiff.pixel(150 - 7, 70 - 7);
  EXPECT_GT(qRed(red), 200);
  EXPECT_LT(qBlue(red), 50);
}

TEST_F(RenderPath, TiffOfOneFarGraphicHasItsDrawingBoundsSize) {
  auto g = makeShape("R", {200, 300, 40, 20}, Qt::red, true);
  const QRectF db = g->drawingBounds();
  const QByteArray tiff = SKTRenderingView::tiffDataWithGraphics({g});
  QImage img = QImage::fromData(tiff, "TIFF");
  ASSERT_FALSE(img.isNull());
  EXPECT_EQ(img.size(), QSize(qCeil(db.width()), qCeil(db.height())));
  EXPECT_EQ(img.size(), QSize(47, 27));
  EXPECT_TRUE(isRed(img.convertToFormat(QImage::Format_ARGB32), 23, 13));
}

TEST_F(RenderPath, TiffOfNothingFailsWithCodeThree) {
  // An empty list is the front canvas's bounds: a blank TIFF of the canvas size.
  QImage blank = QImage::fromData(SKTRenderingView::tiffDataWithGraphics({}), "TIFF");
  EXPECT_EQ(blank.size(), QSize(243, 154));
  int error = 0;
  EXPECT_TRUE(SKTRenderingView::tiffDataWithGraphics({}, QRectF(), &error).isEmpty());
  EXPECT_EQ(error, 3);
  EXPECT_TRUE(SKTRenderingView::tiffDataWithGraphics({}, QRectF(), nullptr).isEmpty());
}

TEST_F(RenderPath, RenderingAsksNothingOfTheHost) {
  // A render depends only on what it is given: neither the refresh after
  // each graphic nor the hatch pictures' folder is asked of the card host,
  // which on a worker thread would be a window the worker must not touch.
  struct Probe : FakeCardHost {
    void Refresh_Canvas() override { ++asked; }
    QString Resource_Path() override {
      ++asked;
      return {};
    }
    int asked = 0;
  } probe;
  ScopedCardHost use(probe);
  SKTGraphicPtr hatched = makeShape("R", {0, 0, 64, 64});
  hatched->_fill_type = "H";
  hatched->_fill_htch_clr = Qt::yellow;
  hatched->_fill_hatch_type = "Horizontal";  // ink on every 8th row
  const SKTGraphicList list{makeShape("C", {70, 1, 5, 5}), hatched};
  probe.asked = 0;  // making graphics reads the host's folder (their placeholder picture)
  const QImage img = SKTRenderingView::image_From_Card_Graphics(list, plainContext());
  EXPECT_EQ(probe.asked, 0);
  EXPECT_FALSE(render::isDrawing());
  // The hatch picture came from the context's folder.
  EXPECT_TRUE(isDark(img, 30, 16));
  EXPECT_EQ(img.pixel(30, 20), qRgba(255, 255, 0, 255));
  // Drawn on its own, a graphic still asks for a redisplay after drawing.
  drawAlone(*hatched);
  EXPECT_GE(probe.asked, 1);
}

TEST_F(RenderPath, WorkersRenderSnapshotsInParallel) {
  SKTGraphicList live{makeShape("S", {10, 10, 100, 100}, Qt::red, true), makeShape("C", {120, 20, 80, 60})};
  live[0]->alpha_val = 0.5f;
  // Snapshots are taken on this thread; each worker draws its own copy.
  std::vector<SKTGraphicList> snapshots(4);
  for (auto& s : snapshots)
    for (auto& g : live) s.push_back(g->clone());
  const SidePaintContext context = plainContext();
  std::vector<QImage> results(4);
  std::vector<std::thread> workers;
  for (int i = 0; i < 4; ++i)
    workers.emplace_back(
        [&, i] { results[i] = SKTRenderingView::image_From_Card_Graphics(snapshots[i], context); });
  for (auto& w : workers) w.join();
  for (int i = 1; i < 4; ++i) EXPECT_EQ(results[i], results[0]);
  // The live objects were not written by the workers' colour getters.
  EXPECT_EQ(live[0]->_fillColor.alphaF(), 1.0f);
}

TEST_F(RenderPath, OversizedOrInvalidSizesGiveNoPicture) {
  SidePaintContext context = plainContext();
  context.size = {0, 0};
  EXPECT_TRUE(SKTRenderingView::image_From_Card_Graphics({}, context).isNull());
  context.size = {1e9, 10};
  EXPECT_TRUE(SKTRenderingView::image_From_Card_Graphics({}, context).isNull());
  EXPECT_TRUE(SKTRenderingView::pdfDataWithGraphics_data({}, context).isEmpty());
}

// ---- card background --------------------------------------------------------

class CardBackgroundTest : public ::testing::Test {
 protected:
  QImage paint(const Card_Property& page, int shape, QSize size = {243, 154}) {
    QImage img(size, QImage::Format_ARGB32);
    img.fill(Qt::black);
    QPainter p(&img);
    card_background::Card_Base_Drawing(
        p, QRectF(QPointF(0, 0), size),
        {&page, shape, QRectF(QPointF(0, 0), size), QStringLiteral(QUVO_SOURCE_DIR "/resources")});
    p.end();
    return img;
  }
};

TEST_F(CardBackgroundTest, FillAndBorderOffLeaveAWhiteCardOfTheOutline) {
  Card_Property page;
  QImage img = paint(page, 0);
  EXPECT_EQ(img.pixel(0, 0), qRgb(255, 255, 255));
  img = paint(page, 2);  // ellipse: the corners stay as they were
  EXPECT_EQ(img.pixel(2, 2), qRgb(0, 0, 0));
  EXPECT_EQ(img.pixel(121, 77), qRgb(255, 255, 255));
  img = paint(page, 1);  // rounded rectangle, radius 10
  EXPECT_EQ(img.pixel(0, 0), qRgb(0, 0, 0));
  EXPECT_EQ(img.pixel(121, 1), qRgb(255, 255, 255));
}

TEST_F(CardBackgroundTest, DashedBorderShowsOneLongAndTwoShortDashes) {
  Card_Property page;
  page.Card_border_chk = true;
  page.Card_bor_Stepper = 3;
  page.Card_border_style = "DDD";
  page.Card_bordr_clr = Qt::black;
  QImage img = paint(page, 0);
  img.fill(Qt::white);
  {
    QPainter p(&img);
    card_background::Card_Base_Drawing(p, QRectF(0, 0, 243, 154),
                                       {&page, 0, QRectF(0, 0, 243, 154), QString()});
  }
  const auto runs = runsAlongRow(img, 0, 0, 120);
  ASSERT_GE(runs.size(), 7u);
  const std::vector<int> expected{24, 8, 8, 8, 8, 8, 24};
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(runs[i], expected[i]) << i;
  page.Card_border_style = "bogus";
  img.fill(Qt::white);
  {
    QPainter p(&img);
    card_background::Card_Base_Drawing(p, QRectF(0, 0, 243, 154),
                                       {&page, 0, QRectF(0, 0, 243, 154), QString()});
  }
  EXPECT_EQ(runsAlongRow(img, 0, 0, 240).size(), 1u);
}

TEST_F(CardBackgroundTest, BackgroundPictureLayoutsAndOpacity) {
  Card_Property page;
  page.Card_fill_chk = true;
  page.Card_fill_style = "I";
  QImage img = paint(page, 2);  // no picture: only the white base
  EXPECT_EQ(img.pixel(121, 77), qRgb(255, 255, 255));

  QImage picture(10, 10, QImage::Format_ARGB32);
  picture.fill(Qt::blue);
  page.Card_BG_Image = picture;
  page.Card_BG_Image_Layout = "Stretch";
  img = paint(page, 2);
  EXPECT_EQ(img.pixel(1, 1), qRgb(0, 0, 255));  // stretch covers the corners too
  page.Card_BG_Image_Layout = "Tile";
  img = paint(page, 2);
  EXPECT_EQ(img.pixel(1, 1), qRgb(0, 0, 0));  // tile stays inside the ellipse
  EXPECT_EQ(img.pixel(121, 77), qRgb(0, 0, 255));
  page.Card_alpha_Stepper = 0.5f;
  img = paint(page, 0);
  EXPECT_NEAR(qRed(img.pixel(121, 77)), 128, 3);  // half over the white base
  EXPECT_NEAR(qBlue(img.pixel(121, 77)), 255, 1);
}

TEST_F(CardBackgroundTest, GradientAndHatch) {
  Card_Property page;
  page.Card_fill_chk = true;
  page.Card_fill_style = "G";
  page.Card_fill_Grd_1_clr = Qt::black;
  page.Card_fill_Grd_2_clr = Qt::white;
  page.Card_grad_Stepper = 0;
  QImage img = paint(page, 0);
  EXPECT_LT(qGray(img.pixel(2, 77)), 20);
  EXPECT_GT(qGray(img.pixel(240, 77)), 235);
  page.Card_fill_style = "H";
  page.Card_hatch_bk_clr = Qt::yellow;
  page.Card_hatch_style = "Vertical";
  img = paint(page, 0);
  EXPECT_TRUE(isDark(img, 16, 50));
  EXPECT_EQ(img.pixel(20, 50), qRgb(255, 255, 0));
  page.Card_hatch_style = "../../etc/passwd";
  img = paint(page, 0);
  EXPECT_EQ(img.pixel(16, 50), qRgb(255, 255, 0));
}

TEST_F(RenderPath, RenderingNeverWritesIntoTheGraphics) {
  auto s = makeShape("S", {10, 10, 100, 100}, Qt::red, true);
  s->alpha_val = 0.25f;
  s->alpha_val_stroke = 0.5f;
  auto t = SKTGraphic::makeGraphic(GraphicKind::Text);
  t->_bounds = {10, 120, 200, 30};
  const QColor fillBefore = s->_fillColor, strokeBefore = s->_strokeColor;
  SKTRenderingView::image_From_Card_Graphics({s, t}, plainContext());
  EXPECT_EQ(s->_fillColor, fillBefore);
  EXPECT_EQ(s->_strokeColor, strokeBefore);
  EXPECT_EQ(t->_Text_contents, nullptr);  // not made by drawing
  // Yet the picture carries the opacity: the star's centre is a quarter red over white.
  const QImage img = SKTRenderingView::image_From_Card_Graphics({s}, plainContext());
  EXPECT_NEAR(qGreen(img.pixel(60, 60)), 191, 3);
}

TEST_F(RenderPath, PdfPageIsTheCardRoundedUpToWholePointsWithTheCardAtTheTopLeft) {
  Card_Property page;
  page.Card_fill_chk = true;
  page.Card_fill_style = "S";
  page.Card_fill_clr = QColor(0, 0, 200);
  const SidePaintContext context =
      sidePaintContextForPage(page, 0, {242.65, 153.07}, QStringLiteral(QUVO_SOURCE_DIR "/resources"));
  QTemporaryDir dir;
  QString info;
  const QImage side = rasterisePdf(SKTRenderingView::pdfDataWithGraphics_data({}, context), dir, &info);
  EXPECT_TRUE(info.contains(QRegularExpression("Page size:\\s+243 x 154 pts"))) << info.toStdString();
  ASSERT_EQ(side.size(), QSize(243, 154));
  // The top row lies wholly on the card; the part of the page below the card stays blank.
  EXPECT_LT(qRed(side.pixel(120, 0)), 40);
  EXPECT_GT(qBlue(side.pixel(120, 152)), 150);
  EXPECT_GT(qRed(side.pixel(120, 153)), 200);
}

TEST_F(RenderPath, PictureAndPdfShowTheSameSide) {
  Card_Property page;
  page.Card_fill_chk = true;
  page.Card_fill_style = "G";
  page.Card_fill_Grd_1_clr = QColor(255, 240, 200);
  page.Card_fill_Grd_2_clr = QColor(200, 230, 255);
  page.Card_grad_Stepper = 45;
  page.Card_border_chk = true;
  page.Card_bor_Stepper = 3;
  page.Card_border_style = "DD";
  const SidePaintContext context =
      sidePaintContextForPage(page, 0, {243, 154}, QStringLiteral(QUVO_SOURCE_DIR "/resources"));
  auto text = SKTGraphic::makeGraphic(GraphicKind::Text);
  text->_bounds = {20, 90, 200, 40};
  text->Text_contents()->string = "Greetings";
  text->text_ctrl_font = CardFont{"TimesNewRomanPS-BoldMT", 24};
  text->txt_clr = Qt::black;
  text->_isDrawingStroke = false;
  text->_fillColor = Qt::white;
  auto star = makeShape("S", {20, 10, 70, 70}, Qt::red, true);
  auto ring = makeShape("C", {120, 10, 90, 70}, Qt::blue, true);
  const SKTGraphicList list{text, star, ring};
  const QImage picture =
      SKTRenderingView::image_From_Card_Graphics(list, context).convertToFormat(QImage::Format_RGB32);
  QTemporaryDir dir;
  const QImage fromPdf = rasterisePdf(SKTRenderingView::pdfDataWithGraphics_data(list, context), dir)
                             .convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(fromPdf.size(), picture.size());
  // Mean difference per channel over the whole card: antialiasing differs, the drawing does not.
  double total = 0;
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x) {
      const QRgb a = picture.pixel(x, y), b = fromPdf.pixel(x, y);
      total += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
    }
  const double mean = total / (3.0 * picture.width() * picture.height());
  EXPECT_LT(mean, 4.0);
  if (const char* out = std::getenv("QUVO_SNAPSHOT_DIR")) {
    picture.save(QString::fromLocal8Bit(out) + "/side_picture.png");
    fromPdf.save(QString::fromLocal8Bit(out) + "/side_pdf.png");
  }
}
