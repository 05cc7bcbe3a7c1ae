#pragma once
// Shared helpers of the render tests: graphics made to measure, pixel probes
// and the tools that read PDF files.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QString>
#include <QTemporaryDir>

#include "core/SKTDocument.h"
#include "core/SKTGraphic.h"
#include "support/FakeCardHost.h"
#include "support/TestFiles.h"

namespace render_test {

using testing_support::FakeCardHost;

inline SKTGraphicPtr makeShape(const QString& code, const QRectF& bounds, QColor fill = Qt::red,
                               bool stroke = false) {
  SKTGraphicPtr g = SKTGraphic::makeGraphic(GraphicKind::Shape);
  g->Set_Shape_Type(code);
  g->_bounds = bounds;
  g->_fillColor = fill;
  g->_isDrawingStroke = stroke;
  return g;
}

// A document with a star and an oval on the front and a rectangle on the
// back, on the render tests' card host.
class SampleDocumentTest : public ::testing::Test {
 protected:
  FakeCardHost host{FakeCardHost::Preset::RenderCard};
  ScopedCardHost install{host};
  SKTDocument doc;
  QTemporaryDir dir;
  void SetUp() override {
    doc.addInGraphics(CardSide::Front, makeShape("S", {10, 10, 50, 50}));
    doc.addInGraphics(CardSide::Front, makeShape("C", {70, 10, 50, 30}, Qt::blue));
    doc.addInGraphics(CardSide::Back, makeShape("R", {5, 5, 20, 20}));
  }
};

// Draws one graphic on a white picture of the card's size.
inline QImage drawAlone(SKTGraphic& g, QSize size = {243, 154}) {
  QImage img(size, QImage::Format_ARGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  g.drawContentsInView(p, false);
  p.end();
  return img;
}

inline bool isRed(const QImage& img, int x, int y) {
  const QRgb c = img.pixel(x, y);
  return qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60;
}
inline bool isWhite(const QImage& img, int x, int y) {
  return img.pixel(x, y) == qRgb(255, 255, 255);
}
inline bool isDark(const QImage& img, int x, int y) {
  return qGray(img.pixel(x, y)) < 100;
}

// Lengths of alternating dark / light runs along a row from x0 to x1 (exclusive).
inline std::vector<int> runsAlongRow(const QImage& img, int y, int x0, int x1) {
  std::vector<int> runs;
  bool dark = isDark(img, x0, y);
  int len = 0;
  for (int x = x0; x < x1; ++x) {
    if (isDark(img, x, y) == dark) {
      ++len;
    } else {
      runs.push_back(len);
      dark = !dark;
      len = 1;
    }
  }
  runs.push_back(len);
  return runs;
}

// Runs a tool and gives its standard output; fails the test when it is missing.
inline QString runTool(const QString& program, const QStringList& args, int* exitCode = nullptr) {
  const testing_support::ProcessResult result = testing_support::runProgram(program, args);
  if (exitCode) *exitCode = result.exitCode;
  return QString::fromUtf8(result.out);
}

}  // namespace render_test
