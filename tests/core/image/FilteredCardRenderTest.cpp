// A card holding one picture object per filter, rendered through the render
// path (the way export, print and mail make pictures), plus a signature, a
// fingerprint and a barcode. Set QUVO_DUMP_PICTURES=<folder> to keep the card.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QTemporaryDir>
#include <functional>

#include "core/CardHost.h"
#include "core/SKTBarcode.h"
#include "core/SKTImage.h"
#include "core/SKTSignature.h"
#include "core/render/SKTRenderingView.h"
#include "support/FakeCardHost.h"

namespace {

// A small "photo": a rainbow across the top, a grey ramp below, a dark disc
// and a thin white line (so sharpening and blurring show).
QImage samplePhoto() {
  QImage img(120, 80, QImage::Format_ARGB32);
  QPainter p(&img);
  QLinearGradient rainbow(0, 0, 120, 0);
  const QColor stops[] = {Qt::red, Qt::yellow, Qt::green, Qt::cyan, Qt::blue, Qt::magenta};
  for (int i = 0; i < 6; ++i) rainbow.setColorAt(i / 5.0, stops[i]);
  p.fillRect(0, 0, 120, 45, rainbow);
  QLinearGradient ramp(0, 0, 120, 0);
  ramp.setColorAt(0, Qt::black);
  ramp.setColorAt(1, Qt::white);
  p.fillRect(0, 45, 120, 35, ramp);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(QColor(30, 30, 60));
  p.setPen(Qt::NoPen);
  p.drawEllipse(QPointF(85, 40), 16, 16);
  p.setPen(QPen(Qt::white, 1));
  p.drawLine(10, 10, 60, 70);
  p.end();
  return img;
}

struct Cell {
  const char* label;
  std::function<void(SKTImage&)> adjust;
};

}  // namespace

TEST(FilteredCard, EveryFilterRendersThroughTheRenderPath) {
  testing_support::FakeCardHost host;
  host.resourcePath = QStringLiteral(QUVO_SOURCE_DIR "/resources");
  ScopedCardHost scope(host);
  QTemporaryDir dir;
  const QString photo = dir.filePath("photo.png");
  ASSERT_TRUE(samplePhoto().save(photo));

  const Cell cells[] = {
      {"plain", [](SKTImage&) {}},
      {"grey", [](SKTImage& g) { g.gray_Scale = true; }},
      {"sepia", [](SKTImage& g) { g.Sepia = true; }},
      {"invert", [](SKTImage& g) { g.invert_clr = true; }},
      {"hue", [](SKTImage& g) { g.hue_val = 2.0f; }},
      {"saturation", [](SKTImage& g) { g.sat_val = 0.2f; }},
      {"brightness", [](SKTImage& g) { g.brt_val = 0.3f; }},
      {"contrast", [](SKTImage& g) { g.con_val = 2.0f; }},
      {"sharpen", [](SKTImage& g) { g.srp_val = 4.0f; }},
      {"blur", [](SKTImage& g) { g.blr_val = 4.0f; }},
      {"exposure", [](SKTImage& g) { g.ev_val = -1.0f; }},
      {"rotate 45", [](SKTImage& g) { g.rotate_image = 45.0f; }},
      {"rotate 90", [](SKTImage& g) { g.rotate_image = 90.0f; }},
      {"flip both", [](SKTImage& g) { g.setFlippedHorizontally(true), g.setFlippedVertically(true); }},
      {"opacity 50", [](SKTImage& g) { g.img_trnsp_val = 50.0f; }},
  };
  SKTGraphicList graphics;
  const int columns = 5;
  int i = 0;
  for (const Cell& cell : cells) {
    auto g = std::make_shared<SKTImage>();
    g->setFilePath(photo);
    g->_isDrawingStroke = false;
    g->setBounds(QRectF(10 + (i % columns) * 130, 10 + (i / columns) * 90, 120, 80));
    cell.adjust(*g);
    graphics.insert(graphics.begin(), g);
    ++i;
  }
  const QString resources = host.Resource_Path();
  auto signature =
      SKTSignature::initWithPosition(QPointF(120, 330), QImage(resources + "/sign_sample.png"), "S");
  auto fingerprint =
      SKTSignature::initWithPosition(QPointF(300, 330), QImage(resources + "/fingerprints.png"), "F");
  auto barcode = SKTBarcode::initWithPosition(QPointF(500, 330), QImage());
  for (const auto& g : SKTGraphicList{signature, fingerprint, barcode}) {
    g->_isDrawingStroke = false;
    graphics.insert(graphics.begin(), g);
  }

  SidePaintContext context;
  context.size = QSizeF(660, 420);
  context.cardBase = [](QPainter& p, const QRectF& r) { p.fillRect(r, QColor(250, 246, 236)); };
  const QImage card = SKTRenderingView::image_From_Card_Graphics(graphics, context);
  ASSERT_EQ(card.size(), QSize(660, 420));
  if (const QByteArray folder = qgetenv("QUVO_DUMP_PICTURES"); !folder.isEmpty())
    card.save(QString::fromLocal8Bit(folder) + "/filtered-card.png");

  auto at = [&](int cell, int x, int y) {
    return card.pixel(10 + (cell % columns) * 130 + x, 10 + (cell / columns) * 90 + y);
  };
  // Top-left of the photo is pure red (the rainbow's start), below the line.
  const QRgb plain = at(0, 2, 30);
  EXPECT_GT(qRed(plain), 240);
  EXPECT_LT(qGreen(plain), 40);
  EXPECT_EQ(qRed(at(1, 2, 30)), qGreen(at(1, 2, 30)));    // grey
  EXPECT_GT(qRed(at(2, 2, 30)), qBlue(at(2, 2, 30)));     // sepia: warm
  EXPECT_NEAR(qRed(at(3, 2, 30)), 255 - qRed(plain), 1);  // invert
  EXPECT_NEAR(qGreen(at(3, 2, 30)), 255 - qGreen(plain), 1);
  EXPECT_LT(qRed(at(4, 2, 30)), 200);   // hue turned away from red
  EXPECT_LT(qRed(at(10, 2, 30)), 140);  // exposure -1 halves
  EXPECT_GT(qRed(at(10, 2, 30)), 115);
  const QRgb base = qRgb(250, 246, 236);
  EXPECT_EQ(at(11, 1, 1), base);                                 // rotate 45: empty corner shows the card
  EXPECT_NE(at(12, 1, 1), base);                                 // rotate 90 fills its bounds
  EXPECT_GT(qRed(at(13, 117, 77)), 240);                         // both flips: red corner at bottom right
  EXPECT_NEAR(qRed(at(14, 2, 30)), (qRed(plain) + 250) / 2, 2);  // half opacity over the card base
  EXPECT_NEAR(qGreen(at(14, 2, 30)), (qGreen(plain) + 246) / 2, 2);
}
