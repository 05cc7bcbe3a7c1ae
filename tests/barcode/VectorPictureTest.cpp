// The display list of barcode pictures: rectangles drawn into a raster fill
// the same pixels whichever way the painter takes, placed pictures follow
// their transform, and the QPicture form replays to the same drawing.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <random>

#include "barcode/BarcodePicture.h"
#include "barcode/VectorPicture.h"

using barcode::BarcodePicture;
using barcode::VectorPicture;
using barcode::VectorRecorder;

namespace {

QImage canvas() {
  QImage image(240, 180, QImage::Format_ARGB32_Premultiplied);
  image.fill(QColor(250, 240, 200));
  return image;
}

// Rectangles whose edges often lie within a hair of a pixel's centre, some
// partly outside the canvas, in an opaque and a translucent colour.
VectorPicture awkwardRectangles(std::mt19937& random) {
  std::uniform_real_distribution<double> unit(0, 1);
  const auto nearHalf = [&](double v) { return std::round(v * 2) / 2 + (unit(random) - 0.5) * 0.03; };
  VectorRecorder recorder;
  for (int i = 0; i < 60; ++i) {
    double x0 = unit(random) * 90 - 10, y0 = unit(random) * 70 - 10;
    double x1 = x0 + unit(random) * 6 + 0.02, y1 = y0 + unit(random) * 9 + 0.02;
    if (i % 2) x0 = nearHalf(x0), x1 = std::max(nearHalf(x1), x0 + 0.5), y0 = nearHalf(y0), y1 = y0 + 3.25;
    recorder.fillRect(QRectF(QPointF(x0, y0), QPointF(x1, y1)),
                      i % 3 ? QColor(Qt::black) : QColor(20, 40, 160, 120));
  }
  return recorder.finish();
}

}  // namespace

TEST(VectorPicture, RectanglesFillTheSamePixelsOnEveryRasterRoute) {
  std::mt19937 random(2024);
  const QTransform transforms[] = {QTransform(), QTransform::fromScale(300.0 / 72, 300.0 / 72),
                                   QTransform::fromTranslate(2.3, -1.7).scale(101.0 / 72, 1.25),
                                   QTransform::fromScale(0.5, 0.5),
                                   QTransform::fromTranslate(120, 90).scale(-1, 1)};
  for (int round = 0; round < 40; ++round) {
    const VectorPicture picture = awkwardRectangles(random);
    for (const QTransform& transform : transforms) {
      // A plain aliased painter, and one clipped to the whole canvas, which
      // fills each rectangle as an outline through the general scan converter.
      QImage plain = canvas(), outlined = canvas();
      {
        QPainter painter(&plain);
        painter.setTransform(transform);
        picture.play(painter);
      }
      {
        QPainter painter(&outlined);
        painter.setClipRect(outlined.rect());
        painter.setTransform(transform);
        picture.play(painter);
      }
      ASSERT_EQ(plain, outlined) << "round " << round << " transform " << transform.m11() << ", "
                                 << transform.dx();
    }
  }
}

TEST(VectorPicture, PlacedPicturesCopiesAndTheRecordedFormDrawAlike) {
  VectorRecorder inner;
  inner.fillRect(QRectF(0, 0, 10, 10), Qt::white);
  inner.fillRect(QRectF(1, 1, 3, 8), Qt::black);
  inner.fillRect(QRectF(6, 2, 2.5, 2.5), Qt::black);
  BarcodePicture symbol;
  symbol.picture = inner.finish();
  symbol.size = QSizeF(10, 10);

  VectorRecorder outer;
  outer.fillRect(QRectF(0, 0, 60, 40), QColor(230, 230, 250));
  QPainterPath text;
  text.addEllipse(QRectF(40, 5, 15, 10));
  outer.fillPath(text, Qt::darkRed);
  const QRectF target(5.25, 4.5, 30, 30);
  outer.place(symbol.picture, symbol.placement(target));
  const VectorPicture framed = outer.finish();

  // Copies share one list of commands.
  const VectorPicture copy = framed;
  ASSERT_EQ(framed.commands().size(), 3u);
  EXPECT_EQ(&copy.commands(), &framed.commands());

  // Placing draws what painting the picture into its target draws.
  QImage placed = canvas(), painted = canvas(), recorded = canvas();
  for (QImage* image : {&placed, &painted, &recorded}) {
    QPainter painter(image);
    painter.scale(2, 2);
    if (image == &placed) framed.play(painter);
    if (image == &painted) {
      painter.fillRect(QRectF(0, 0, 60, 40), QColor(230, 230, 250));
      painter.setRenderHint(QPainter::Antialiasing, true);
      painter.fillPath(text, Qt::darkRed);
      painter.setRenderHint(QPainter::Antialiasing, false);
      symbol.paint(painter, target);
    }
    if (image == &recorded) painter.drawPicture(QPointF(0, 0), framed.toQPicture());
  }
  EXPECT_EQ(placed, painted);
  EXPECT_EQ(placed, recorded);
  // The symbol's bars stay crisp: only its two colours and the background.
  EXPECT_EQ(placed.pixel(25, 40), QColor(Qt::black).rgb());
  EXPECT_EQ(placed.pixel(40, 40), QColor(Qt::white).rgb());
  EXPECT_EQ(placed.pixel(16, 40), QColor(Qt::white).rgb());  // the bar starts at 16.5 device pixels
  EXPECT_EQ(placed.pixel(17, 40), QColor(Qt::black).rgb());
}
