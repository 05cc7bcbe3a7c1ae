// Pictures keep their pixels: a stripe pattern printed at its own resolution
// stays black and white, bars stay hard, turned pictures get smooth edges,
// and the filter chain runs once per picture and settings, not per repaint.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <thread>

#include "core/CardHost.h"
#include "core/PictureFile.h"
#include "core/SKTBarcode.h"
#include "core/SKTImage.h"
#include "core/image/ImageProcesser.h"
#include "core/render/SKTRenderingView.h"

namespace {

constexpr double k300Dpi = 300.0 / 72.0;

// Vertical stripes two pixels wide, black and white.
QImage stripes(int w, int h) {
  QImage img(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img.setPixel(x, y, (x / 2) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
  return img;
}

// Pixels of the rectangle that are neither near black nor near white.
int greyPixels(const QImage& img, const QRect& area) {
  int grey = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) {
      const int v = qGray(img.pixel(x, y));
      if (v > 40 && v < 215) ++grey;
    }
  return grey;
}

QImage renderAt(const SKTGraphicList& graphics, QSizeF size, double scale) {
  SidePaintContext context;
  context.size = size;
  context.cardBase = [](QPainter& painter, const QRectF& rect) { painter.fillRect(rect, Qt::white); };
  return SKTRenderingView::image_From_Card_Graphics(graphics, context, scale);
}

std::shared_ptr<SKTImage> pictureObject(const QString& path, const QRectF& bounds) {
  auto img = SKTImage::initWithPath(bounds.center(), path);
  img->_isDrawingStroke = false;
  img->setBounds(bounds);
  return img;
}

class PictureResolution : public ::testing::Test {
 protected:
  CardHost host;
  ScopedCardHost scope{host};
  QTemporaryDir dir;

  QString saved(const QString& name, const QImage& picture) {
    const QString path = dir.filePath(name);
    EXPECT_TRUE(picture.save(path));
    return path;
  }
};

}  // namespace

TEST_F(PictureResolution, PicturesAndBarsPrintedAt300DpiKeepTheirEdges) {
  const QString path = saved("stripes.png", stripes(1000, 500));

  // A 1000 x 500 photo keeps its pixels; the clamp only decides its size on the card.
  auto photo = pictureObject(path, QRectF(0, 0, 240, 120));
  EXPECT_EQ(photo->_contents.size(), QSize(1000, 500));
  EXPECT_EQ(photo->pictureSize(), QSizeF(724, 468));

  // At 300 dpi the 240 x 120 pt object covers exactly the picture's 1000 x 500 pixels.
  const QImage out = renderAt({photo}, QSizeF(240, 120), k300Dpi);
  ASSERT_EQ(out.size(), QSize(1000, 500));
  EXPECT_EQ(greyPixels(out, out.rect()), 0);
  EXPECT_EQ(qGray(out.pixel(0, 250)), 0);
  EXPECT_EQ(qGray(out.pixel(2, 250)), 255);

  // Bars one picture pixel wide, printed at 300 dpi: about four device pixels each, none grey.
  auto code = std::make_shared<SKTBarcode>();
  code->setBounds(QRectF(10, 10, 40, 20));
  QImage bars(40, 20, QImage::Format_RGB32);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 40; ++x) bars.setPixel(x, y, x % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
  code->_barcode_image = bars;
  const QImage printed = renderAt({code}, QSizeF(60, 40), k300Dpi);
  const QRect barArea(QPoint(42, 42), QPoint(205, 123));
  EXPECT_EQ(greyPixels(printed, barArea), 0);
  EXPECT_LT(qGray(printed.pixel(43, 80)), 40);
  EXPECT_GT(qGray(printed.pixel(47, 80)), 215);

  // A picture turned by 30 degrees: its slanted edges are smoothed, not stepped.
  QImage black(200, 200, QImage::Format_RGB32);
  black.fill(Qt::black);
  auto turned = pictureObject(saved("black.png", black), QRectF(0, 0, 220, 220));
  turned->rotate_image = 30.0f;
  const QImage slanted = renderAt({turned}, QSizeF(220, 220), 1.0);
  EXPECT_GT(greyPixels(slanted, slanted.rect()), 200);  // about 300; none when stepped
}

TEST_F(PictureResolution, FilterChainRunsOncePerPictureAndSettings) {
  const QString path = saved("stripes.png", stripes(400, 200));
  auto photo = pictureObject(path, QRectF(0, 0, 200, 100));
  photo->gray_Scale = true;

  const qint64 start = ImageProcesser::chainRunCount();
  for (int i = 0; i < 3; ++i) renderAt({photo}, QSizeF(200, 100), 1.0);
  EXPECT_EQ(ImageProcesser::chainRunCount() - start, 1) << "repaints reuse the filtered picture";
  // A second object showing the same file with the same settings shares the result.
  auto twin = pictureObject(path, QRectF(10, 10, 50, 50));
  twin->gray_Scale = true;
  renderAt({twin}, QSizeF(200, 100), 1.0);
  EXPECT_EQ(ImageProcesser::chainRunCount() - start, 1);
  EXPECT_EQ(twin->processedPicture().constBits(), photo->processedPicture().constBits());

  photo->hue_val = 1.0f;
  const QImage changed = renderAt({photo}, QSizeF(200, 100), 1.0);
  renderAt({photo}, QSizeF(200, 100), 2.0);  // another output size resamples, it does not filter
  EXPECT_EQ(ImageProcesser::chainRunCount() - start, 2) << "a setting change filters once";

  // Snapshots drawn by workers use what was filtered; none filters again.
  std::vector<SKTGraphicPtr> snapshots;
  for (int w = 0; w < 4; ++w) snapshots.push_back(photo->clone());
  std::vector<std::thread> workers;
  std::vector<QImage> results(4);
  for (int w = 0; w < 4; ++w)
    workers.emplace_back([&, w] { results[w] = renderAt({snapshots[w]}, QSizeF(200, 100), 1.0); });
  for (int i = 0; i < 3; ++i) renderAt({photo}, QSizeF(200, 100), 1.0);
  for (auto& t : workers) t.join();
  EXPECT_EQ(ImageProcesser::chainRunCount() - start, 2);
  for (const QImage& r : results) EXPECT_EQ(r, changed);

  // The same file loaded again is the same picture; a changed file is a new one, filtered anew.
  photo->setFilePath(path);
  renderAt({photo}, QSizeF(200, 100), 1.0);
  EXPECT_EQ(ImageProcesser::chainRunCount() - start, 2);
  ASSERT_TRUE(stripes(402, 200).save(path));
  photo->setFilePath(path);
  EXPECT_EQ(photo->_contents.width(), 402);
  renderAt({photo}, QSizeF(200, 100), 1.0);
  EXPECT_EQ(ImageProcesser::chainRunCount() - start, 3);
}

TEST_F(PictureResolution, APictureNoObjectShowsAnyMoreIsReleased) {
  // Drawn once unfiltered and once filtered, then let go: loading the file
  // again decodes it anew, as nothing held the earlier picture (a batch of
  // photos must not stay in memory photo after photo).
  const QString path = saved("stripes.png", stripes(400, 200));
  for (const bool filtered : {false, true}) {
    qint64 earlier = 0;
    {
      auto photo = pictureObject(path, QRectF(0, 0, 200, 100));
      photo->Sepia = filtered;
      renderAt({photo}, QSizeF(200, 100), 1.0);
      earlier = photo->_contents.cacheKey();
    }
    EXPECT_NE(loadPictureFile(path).cacheKey(), earlier) << (filtered ? "filtered" : "unfiltered");
  }
}

TEST_F(PictureResolution, AHalfTransparentPaletteColourStaysHalfTransparent) {
  // A palette PNG (as logos often are) of one colour, red at half opacity,
  // drawn larger and smaller than its pixels over white: pink, not red.
  QImage logo(600, 400, QImage::Format_Indexed8);
  logo.setColorTable({qRgba(255, 0, 0, 128)});
  logo.fill(0);
  const QString path = saved("logo.png", logo);
  ASSERT_EQ(loadPictureFile(path).format(), QImage::Format_Indexed8);
  for (const QSizeF size : {QSizeF(900, 600), QSizeF(160, 100)}) {
    const QImage out = renderAt({pictureObject(path, QRectF(QPointF(0, 0), size))}, size, 1.0);
    const QColor seen = out.pixelColor(int(size.width() / 2), int(size.height() / 2));
    EXPECT_EQ(seen.red(), 255);
    EXPECT_NEAR(seen.green(), 127, 3) << size.width();
    EXPECT_NEAR(seen.blue(), 127, 3) << size.width();
  }
}
