// The layout of texts: natural size gives a box that shows the text exactly
// as a box of any larger size shows it (over fonts, sizes, alignments, case,
// kerning and line breaks), and kerning is the same on every device.
#include <gtest/gtest.h>

#include <QRawFont>
#include <QTextLayout>

#include "RenderFixture.h"
#include "core/SKTText.h"
#include "core/render/MissingGlyphs.h"
#include "core/render/SKTRenderingView.h"
#include "core/render/TextLook.h"

using namespace render_test;

namespace {

std::shared_ptr<SKTText> makeText(const QString& chars, const CardFont& font, const QRectF& bounds) {
  auto g = std::static_pointer_cast<SKTText>(SKTGraphic::makeGraphic(GraphicKind::Text));
  g->_bounds = bounds;
  g->Text_contents()->string = chars;  // the storage keeps its own 14 pt font
  g->text_ctrl_font = font;
  g->txt_clr = Qt::black;
  g->_isDrawingFill = false;
  g->_isDrawingStroke = false;
  return g;
}

QImage drawnIn(SKTText& t, const QRectF& box) {
  const QRectF kept = t.bounds();
  t._bounds = box;
  QImage img = drawAlone(t, {900, 400});
  t._bounds = kept;
  return img;
}

// The box grown by a margin on the sides its alignment lets the text keep its
// place: to the right for left-aligned texts, to the left for right-aligned,
// on both sides for centred ones; always downwards.
QRectF grownKeepingThePlace(const QRectF& box, int alignment, double margin) {
  switch (alignment) {
    case 1:
      return box.adjusted(-margin, 0, 0, margin);
    case 2:
      return box.adjusted(-margin, 0, margin, margin);
    default:
      return box.adjusted(0, 0, margin, margin);
  }
}

// Width in pixels of the columns that hold ink (opaque, dark pixels).
int inkWidth(const QImage& img) {
  int lo = img.width(), hi = -1;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (qAlpha(img.pixel(x, y)) > 128 && qGray(img.pixel(x, y)) < 128)
        lo = std::min(lo, x), hi = std::max(hi, x);
  return hi - lo + 1;
}

}  // namespace

class TextLayout : public ::testing::Test {
 protected:
  FakeCardHost host{FakeCardHost::Preset::RenderCard};
  ScopedCardHost install{host};
};

TEST_F(TextLayout, TheNaturalBoxShowsWhatALargeBoxShows) {
  // The last face has no italic installed: it is made up by slanting the upright one.
  const QStringList fonts = {"TimesNewRomanPSMT", "ArialMT", "CourierNewPSMT", "TimesNewRomanPS-BoldItalicMT",
                             "DejaVuMathTeXGyre-Italic"};
  const QList<double> sizes = {9, 13.5, 16, 18, 36};
  const QStringList texts = {"GUEST NAME", "  happy birthday, jeff!  ",
                             "Join us\nfor a garden party\n\nat the Lakeview Hotel"};
  int round = 0;
  for (const QString& name : fonts)
    for (double size : sizes)
      for (const QString& chars : texts)
        for (int alignment = 0; alignment < 3; ++alignment, ++round) {
          auto t = makeText(chars, {name, size}, {120, 20, 640, 10});
          t->text_alignmnet = alignment;
          t->text_transfrom_case = round % 4;
          t->text_kerning = (round % 3) * 0.75;
          t->makeNaturalSize();
          const QRectF natural = t->bounds();
          SCOPED_TRACE(QString::asprintf("%s %g pt, \"%s\", alignment %d, case %d, kerning %g: %g x %g",
                                         qPrintable(name), size, qPrintable(chars), alignment,
                                         t->text_transfrom_case, t->text_kerning, natural.width(),
                                         natural.height())
                           .toStdString());
          EXPECT_EQ(natural.topLeft(), QPointF(120, 20));
          EXPECT_EQ(natural.width(), std::ceil(natural.width()));  // whole points: whole pixels at zoom 1
          EXPECT_EQ(natural.height(), std::ceil(natural.height()));
          const QImage inNatural = drawnIn(*t, natural);
          ASSERT_FALSE(inNatural == drawnIn(*t, QRectF()));  // not blank
          ASSERT_TRUE(inNatural == drawnIn(*t, grownKeepingThePlace(natural, alignment, 100)));
          // Snug: two points less in either direction wraps, drops a line or cuts ink
          // (glyph outlines are rounded out to whole pixels, so one point may be spare).
          EXPECT_FALSE(inNatural == drawnIn(*t, natural.adjusted(0, 0, -2, 0)));
          EXPECT_FALSE(inNatural == drawnIn(*t, natural.adjusted(0, 0, 0, -2)));
        }
}

TEST_F(TextLayout, NaturalSizeOfANarrowBoxKeepsItsLineBreaks) {
  // Natural size wraps at the present width: the same lines as in that box
  // made tall enough, and no line lost.
  for (const char* name : {"TimesNewRomanPSMT", "ArialMT", "CourierNewPSMT"}) {
    SCOPED_TRACE(name);
    auto t = makeText("Please join us for dinner and dancing under the stars", {name, 16}, {30, 30, 150, 10});
    const QImage tall = drawnIn(*t, {30, 30, 150, 300});
    t->makeNaturalSize();
    const QRectF natural = t->bounds();
    EXPECT_LE(natural.width(), 150);
    EXPECT_GT(natural.height(), 3 * 16);
    EXPECT_EQ(drawnIn(*t, natural), tall);
    // Height matching gives the same height and keeps the width.
    t->_bounds = {30, 30, 150, 10};
    t->setHeightToMatchContents();
    EXPECT_EQ(t->bounds(), QRectF(30, 30, 150, natural.height()));
  }
}

TEST_F(TextLayout, KerningIsTheSameOnTheCanvasAndInPicturesAtAnyScale) {
  // 5 points after each of six characters: the ink widens by 25 points
  // wherever the text is drawn (the canvas's screen resolution, the 72 dpi
  // picture of the render path, a picture at three times that).
  auto plain = makeText("abcdef", {"ArialMT", 20}, {10, 10, 400, 40});
  auto spaced = makeText("abcdef", {"ArialMT", 20}, {10, 10, 400, 40});
  spaced->text_kerning = 5;
  EXPECT_NEAR(inkWidth(drawAlone(*spaced)) - inkWidth(drawAlone(*plain)), 25, 2);
  const SidePaintContext context{{450, 60}, {}, {}};
  for (double scale : {1.0, 3.0}) {
    const double widening = inkWidth(SKTRenderingView::image_From_Card_Graphics({spaced}, context, scale)) -
                            inkWidth(SKTRenderingView::image_From_Card_Graphics({plain}, context, scale));
    EXPECT_NEAR(widening / scale, 25, 2) << "scale " << scale;
  }
}

// Names in the scripts of the fonts the program installs come from those
// fonts where the card's own face lacks them, in every style: where no
// italic or oblique face of an installed font has a script (no oblique sans
// has Arabic), the upright face draws it. A private-use or unassigned
// character, which no font has, is missing. The glyphs the card draws agree:
// the missing-glyph shape (glyph 0) for those alone.
TEST_F(TextLayout, OnlyCharactersThatNoInstalledFontHasAreMissing) {
  const QString latin = QStringLiteral("Zoë Ødegård Łódź Šárka Ñandú");
  const QString names = latin + QStringLiteral(" 王小明 佐藤さくら 김민준 Σοφία Иван أحمد علي دُعاء דוד");
  const QString unknown = QString::fromUcs4(U"A\uE000b\u0378\uE000 c");
  const QString arabic = QStringLiteral("أحمد علي دُعاء");
  // Upright, italic and bold italic faces of serif, sans and monospaced
  // families; the wizard's default is the italic serif.
  const QStringList faces = {"Helvetica",       "TimesNewRomanPS-ItalicMT", "Arial-BoldItalicMT",
                             "Courier-Oblique", "Georgia-BoldItalic",       "DejaVuSans-Oblique"};
  for (const QString& name : faces) {
    SCOPED_TRACE(name.toStdString());
    const CardFont card{name, 20};
    const QFont font = text_look::fontForDevice(card, nullptr);
    const bool italic = font.italic();
    EXPECT_FALSE(QRawFont::fromFont(font).supportsCharacter(U'王'));
    EXPECT_EQ(text_look::charactersWithoutFont(names, card), QStringList());
    const QStringList missing = text_look::charactersWithoutFont(unknown, card);
    EXPECT_EQ(text_look::namedCharacters(missing + QStringList{"王", "小"}, 3),
              "U+E000, U+0378, 王 and 1 more");
    const auto runsOf = [&](const QString& text) {
      return text_look::glyphRunsInRect(text, {0, 0, 3000, 100}, {card, 0, 0});
    };
    for (const QString& text : {names, unknown}) {
      bool missingShape = false;
      for (const QGlyphRun& run : runsOf(text)) missingShape |= run.glyphIndexes().contains(0);
      EXPECT_EQ(missingShape, text == unknown) << text.toStdString();
    }
    // Only what the style has no face for is upright: Latin keeps the slant.
    for (const QGlyphRun& run : runsOf(latin)) EXPECT_EQ(run.rawFont().style() != QFont::StyleNormal, italic);
    for (const QGlyphRun& run : runsOf(arabic)) EXPECT_EQ(run.rawFont().style(), QFont::StyleNormal);
    // The font engine alone draws Arabic in an italic as empty boxes.
    QTextLayout layout(arabic, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    bool boxes = false;
    for (const QGlyphRun& run : layout.glyphRuns()) boxes |= run.glyphIndexes().contains(0);
    EXPECT_EQ(boxes, italic);
  }
}
