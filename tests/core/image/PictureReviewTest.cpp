// Picture-like objects, second look: the barcode sample picture is decoded
// once and shared by every drawing (canvas and worker clones), and a picture
// archived in a graphic is clamped when read like one loaded from a file.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <thread>
#include <vector>

#include "core/CardHost.h"
#include "core/SKTBarcode.h"
#include "core/SKTImage.h"
#include "core/image/ImageProcesser.h"
#include "support/FakeCardHost.h"

namespace {

QImage solid(int w, int h, QRgb c) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(c);
  return img;
}

// Writes the picture uncompressed (BMP content under the sample's name), so
// that two pictures of one size give files of the same length.
void writeSample(const QString& path, const QImage& picture) {
  ASSERT_TRUE(picture.save(path, "BMP"));
}

QImage draw(SKTGraphic& g) {
  QImage canvas(80, 60, QImage::Format_ARGB32);
  canvas.fill(Qt::white);
  QPainter painter(&canvas);
  g.drawContentsInView(painter, false);
  painter.end();
  return canvas;
}

}  // namespace

TEST(PictureReview, BarcodeSampleIsDecodedOnceNotOnEveryDrawing) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  testing_support::FakeCardHost host;
  host.resourcePath = dir.path();
  ScopedCardHost scope(host);
  const QString sample = dir.filePath("barcode_sample.png");
  writeSample(sample, solid(20, 10, qRgb(200, 0, 0)));
  const QDateTime stamp = QFileInfo(sample).lastModified();
  const qint64 length = QFileInfo(sample).size();

  auto code = SKTBarcode::initWithPosition(QPointF(30, 20), QImage());
  EXPECT_EQ(code->bounds(), QRectF(20, 15, 20, 10));
  EXPECT_EQ(draw(*code).pixel(25, 20), qRgb(200, 0, 0));

  // Same length and time stamp, other pixels: a drawing that read the file
  // again would show blue.
  writeSample(sample, solid(20, 10, qRgb(0, 0, 200)));
  ASSERT_EQ(QFileInfo(sample).size(), length);
  {
    QFile f(sample);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(stamp, QFileDevice::FileModificationTime));
  }
  for (int i = 0; i < 3; ++i) EXPECT_EQ(draw(*code).pixel(25, 20), qRgb(200, 0, 0));

  // A replaced file (new time stamp) is noticed.
  {
    QFile f(sample);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(stamp.addSecs(5), QFileDevice::FileModificationTime));
  }
  EXPECT_EQ(draw(*code).pixel(25, 20), qRgb(0, 0, 200));

  // Workers draw clones of the object at the same time as the canvas draws it.
  std::vector<SKTGraphicPtr> clones;
  for (int i = 0; i < 4; ++i) clones.push_back(code->clone());
  std::vector<QRgb> seen(clones.size());
  std::vector<std::thread> workers;
  for (size_t i = 0; i < clones.size(); ++i)
    workers.emplace_back([&, i] {
      for (int k = 0; k < 5; ++k) seen[i] = draw(*clones[i]).pixel(25, 20);
    });
  for (int k = 0; k < 5; ++k) EXPECT_EQ(draw(*code).pixel(25, 20), qRgb(0, 0, 200));
  for (auto& w : workers) w.join();
  for (QRgb p : seen) EXPECT_EQ(p, qRgb(0, 0, 200));

  // Without the sample file nothing is drawn; a rendered barcode still shows.
  ASSERT_TRUE(QFile::remove(sample));
  EXPECT_EQ(draw(*code).pixel(25, 20), qRgb(255, 255, 255));
  code->Set_Barcode_image(solid(8, 8, qRgb(0, 150, 0)));
  EXPECT_EQ(draw(*code).pixel(23, 18), qRgb(0, 150, 0));
}

TEST(PictureReview, BarcodeSampleFollowsTheResourceFolder) {
  QTemporaryDir first, second;
  writeSample(first.filePath("barcode_sample.png"), solid(10, 10, qRgb(10, 10, 10)));
  writeSample(second.filePath("barcode_sample.png"), solid(10, 10, qRgb(240, 240, 0)));
  auto code = std::make_shared<SKTBarcode>();
  code->setBounds(QRectF(0, 0, 10, 10));
  {
    testing_support::FakeCardHost host;
    host.resourcePath = first.path();
    ScopedCardHost scope(host);
    EXPECT_EQ(draw(*code).pixel(5, 5), qRgb(10, 10, 10));
  }
  {
    testing_support::FakeCardHost host;
    host.resourcePath = second.path();
    ScopedCardHost scope(host);
    EXPECT_EQ(draw(*code).pixel(5, 5), qRgb(240, 240, 0));
  }
}

TEST(PictureReview, ArchivedPictureIsClampedWhenRead) {
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  ASSERT_TRUE(solid(1000, 1000, qRgb(0, 90, 0)).save(&buffer, "PNG"));
  const SKTGraphicPtr g =
      SKTGraphic::graphicWithProperties(GraphicKind::Image, {{QStringLiteral("contents"), png}});
  ASSERT_TRUE(g);
  const auto& image = static_cast<const SKTImage&>(*g);
  EXPECT_EQ(image._contents.size(), QSize(724, 468));
  EXPECT_EQ(image.pictureSize(), QSizeF(724, 468));
  EXPECT_EQ(QColor(image._contents.pixel(700, 400)), QColor(0, 90, 0));
}

TEST(PictureReview, HighResolutionFileNamesAreSizedByTheirPixels) {
  // Qt's reader marks "name@2x.png" as a picture for a 2x screen; a card sizes
  // pictures by their pixels, and a turned picture must still fill its bounds.
  QTemporaryDir dir;
  QImage marked = solid(40, 20, qRgb(0, 0, 220));
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 20; ++x) marked.setPixel(x, y, qRgb(220, 0, 0));
  const QString path = dir.filePath("logo@2x.png");
  ASSERT_TRUE(marked.save(path, "PNG"));
  auto img = SKTImage::initWithPath(QPointF(40, 30), path);
  EXPECT_EQ(img->bounds(), QRectF(20, 20, 40, 20));
  img->_isDrawingStroke = false;
  img->rotate_image = 90.0f;  // red quarter from top left to bottom left; the whole bounds covered
  const QImage out = draw(*img);
  EXPECT_EQ(out.pixel(21, 38), qRgb(220, 0, 0));
  EXPECT_EQ(out.pixel(58, 38), qRgb(0, 0, 220));
  EXPECT_EQ(out.pixel(21, 21), qRgb(0, 0, 220));
  EXPECT_EQ(out.pixel(58, 21), qRgb(0, 0, 220));
  // The turn itself works on pixels whatever the picture says of its screen.
  QImage dense = marked;
  dense.setDevicePixelRatio(2.0);
  const QImage turned = ImageProcesser::imageRotated(dense, 90).convertToFormat(QImage::Format_ARGB32);
  ASSERT_EQ(turned.size(), QSize(20, 40));
  EXPECT_EQ(turned.pixel(2, 37), qRgb(220, 0, 0));
  EXPECT_EQ(turned.pixel(17, 2), qRgb(0, 0, 220));
}
