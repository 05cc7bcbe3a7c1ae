// Lines (caps, dashes, hit tests) and texts (case, alignment, blank texts).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>
#include <chrono>
#include <cmath>
#include <future>
#include <limits>

#include "RenderFixture.h"
#include "core/SKTDocument.h"
#include "core/SKTLine.h"
#include "core/SKTText.h"
#include "core/render/PaintStyle.h"
#include "core/render/TextLook.h"

using namespace render_test;

namespace {

std::shared_ptr<SKTLine> makeLine(QPointF begin, QPointF end, double width, int cap) {
  auto g = std::static_pointer_cast<SKTLine>(SKTGraphic::makeGraphic(GraphicKind::Line));
  g->_bounds = SKTLine::boundsWithBeginPoint(begin, end, &g->_pointsRight, &g->_pointsDown);
  g->_strokeWidth = width;
  g->_line_cap_style = cap;
  g->_strokeColor = Qt::black;
  return g;
}

std::shared_ptr<SKTText> makeText(const QString& chars, const QRectF& bounds) {
  auto g = std::static_pointer_cast<SKTText>(SKTGraphic::makeGraphic(GraphicKind::Text));
  g->_bounds = bounds;
  g->Text_contents()->string = chars;
  g->text_ctrl_font = CardFont{QStringLiteral("ArialMT"), 20.0};
  g->txt_clr = Qt::black;
  g->_isDrawingFill = false;
  g->_isDrawingStroke = false;
  return g;
}

// Horizontal extent of dark pixels inside a rectangle; (-1, -1) when none.
std::pair<int, int> inkExtent(const QImage& img, QRect r) {
  int lo = -1, hi = -1;
  for (int x = r.left(); x <= r.right(); ++x)
    for (int y = r.top(); y <= r.bottom(); ++y)
      if (qGray(img.pixel(x, y)) < 128) {
        if (lo < 0) lo = x;
        hi = x;
        break;
      }
  return {lo, hi};
}

}  // namespace

class RenderLinesText : public ::testing::Test {
 protected:
  FakeCardHost host{FakeCardHost::Preset::RenderCard};
  ScopedCardHost install{host};
};

TEST_F(RenderLinesText, CapStylesReachBeyondTheEndsOrNot) {
  auto butt = makeLine({20, 50}, {120, 50}, 10, 0);
  QImage img = drawAlone(*butt);
  EXPECT_TRUE(isDark(img, 21, 50));
  EXPECT_TRUE(isWhite(img, 18, 50));
  EXPECT_TRUE(isWhite(img, 121, 50));

  auto round = makeLine({20, 50}, {120, 50}, 10, 1);
  img = drawAlone(*round);
  EXPECT_TRUE(isDark(img, 16, 50));  // half the width beyond the end
  EXPECT_TRUE(isWhite(img, 13, 50));
  EXPECT_TRUE(isWhite(img, 15, 45));  // round: the corner is cut

  auto square = makeLine({20, 50}, {120, 50}, 10, 2);
  img = drawAlone(*square);
  EXPECT_TRUE(isDark(img, 16, 50));
  EXPECT_TRUE(isDark(img, 16, 46));  // square: the corner is there
  EXPECT_TRUE(isWhite(img, 13, 50));
}

TEST_F(RenderLinesText, LineDashesUseTheSharedTable) {
  auto line = makeLine({20, 50}, {220, 50}, 3, 0);
  line->_stroke_border_type = "DA";
  QImage img = drawAlone(*line);
  const auto runs = runsAlongRow(img, 50, 20, 60);
  ASSERT_GE(runs.size(), 4u);
  EXPECT_EQ(runs[0], 8);
  EXPECT_EQ(runs[1], 2);
  EXPECT_EQ(runs[2], 8);
}

TEST_F(RenderLinesText, LineRunsFromItsBeginToItsEndPoint) {
  auto line = makeLine({110, 10}, {10, 60}, 2, 0);
  EXPECT_FALSE(line->_pointsRight);
  QImage img = drawAlone(*line);
  EXPECT_TRUE(isDark(img, 60, 35));   // middle of the diagonal
  EXPECT_TRUE(isWhite(img, 60, 15));  // the other diagonal is empty
  line->ctrl_is_visible = false;
  host.refreshes = 0;
  EXPECT_TRUE(isWhite(drawAlone(*line), 60, 35));
  EXPECT_EQ(host.refreshes, 0);
}

TEST_F(RenderLinesText, LineHitTestMeasuresVertically) {
  auto h = makeLine({10, 50}, {110, 50}, 1, 0);
  EXPECT_TRUE(h->isContentsUnderPoint({60, 52.5}));
  EXPECT_TRUE(h->isContentsUnderPoint({60, 47.5}));
  EXPECT_FALSE(h->isContentsUnderPoint({60, 52.9}));
  auto v = makeLine({50, 10}, {50, 110}, 1, 0);
  EXPECT_TRUE(v->isContentsUnderPoint({52.5, 60}));
  EXPECT_FALSE(v->isContentsUnderPoint({53, 60}));
  // Beyond the drawing bounds nothing hits, even on the line's extension.
  EXPECT_FALSE(h->isContentsUnderPoint({200, 50}));
}

TEST_F(RenderLinesText, CaseTransforms) {
  using text_look::applyCaseTransform;
  EXPECT_EQ(applyCaseTransform("hello World", 1), "HELLO WORLD");
  EXPECT_EQ(applyCaseTransform("Hello World", 2), "hello world");
  EXPECT_EQ(applyCaseTransform("hELLO wORLD", 3), "Hello World");
  EXPECT_EQ(applyCaseTransform("mixed Case", 0), "mixed Case");
  EXPECT_EQ(applyCaseTransform("mixed Case", 9), "mixed Case");
}

TEST_F(RenderLinesText, CapitalisedTextIsTrimmedAndDrawnWithCapitals) {
  // Drawn "  two words  " with case 3 looks exactly like "Two Words" drawn plainly.
  auto a = makeText("  two words  ", {10, 10, 220, 40});
  a->text_transfrom_case = 3;
  auto b = makeText("Two Words", {10, 10, 220, 40});
  EXPECT_EQ(drawAlone(*a), drawAlone(*b));
  auto c = makeText("two words", {10, 10, 220, 40});
  EXPECT_NE(drawAlone(*a), drawAlone(*c));
}

TEST_F(RenderLinesText, AlignmentPlacesTheInk) {
  const QRect box(10, 10, 220, 40);
  auto left = makeText("Ab", box);
  auto right = makeText("Ab", box);
  right->text_alignmnet = 1;
  auto centre = makeText("Ab", box);
  centre->text_alignmnet = 2;
  const auto l = inkExtent(drawAlone(*left), box);
  const auto r = inkExtent(drawAlone(*right), box);
  const auto c = inkExtent(drawAlone(*centre), box);
  ASSERT_GE(l.first, 0);
  EXPECT_LT(l.first, 16);
  EXPECT_GT(r.second, 222);
  EXPECT_NEAR((c.first + c.second) / 2.0, 120, 4);
}

TEST_F(RenderLinesText, KerningWidensTheText) {
  const QRect box(10, 10, 220, 40);
  auto plain = makeText("abcdef", box);
  auto spaced = makeText("abcdef", box);
  spaced->text_kerning = 5;
  const auto p = inkExtent(drawAlone(*plain), box);
  const auto s = inkExtent(drawAlone(*spaced), box);
  EXPECT_NEAR((s.second - s.first) - (p.second - p.first), 25, 3);
}

TEST_F(RenderLinesText, BlankTextDrawsNothingAndAsksNoRefresh) {
  auto t = makeText(" \n  \t\n", {10, 10, 100, 40});
  t->_isDrawingFill = true;
  t->_fillColor = Qt::red;
  t->_isDrawingStroke = true;
  QImage img = drawAlone(*t);
  EXPECT_TRUE(isWhite(img, 50, 30));
  EXPECT_TRUE(isWhite(img, 10, 10));
  EXPECT_EQ(host.refreshes, 0);
}

TEST_F(RenderLinesText, TextBoxFillAndHatchCodeFillsSolid) {
  auto t = makeText("x", {10, 10, 100, 40});
  t->_isDrawingFill = true;
  t->_fillColor = Qt::red;
  t->_fill_type = "H";
  QImage img = drawAlone(*t);
  EXPECT_TRUE(isRed(img, 100, 45));
  EXPECT_EQ(host.refreshes, 1);
}

TEST_F(RenderLinesText, TextBeingCreatedShowsOnlyAFrame) {
  auto t = makeText("Hello", {10, 10, 100, 40});
  t->_isDrawingFill = true;
  t->_fillColor = Qt::red;
  QImage img(243, 154, QImage::Format_ARGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  t->drawContentsInView(p, true);
  p.end();
  EXPECT_FALSE(isWhite(img, 9, 30));  // the frame one point outside
  EXPECT_TRUE(isWhite(img, 60, 30));  // no fill, no characters
}

TEST_F(RenderLinesText, TextThatDoesNotFitIsCut) {
  auto t = makeText("Line one\nLine two\nLine three", {10, 10, 200, 26});
  QImage img = drawAlone(*t);
  // Only the first line fits into 26 points at 20 points: nothing below the box.
  for (int y = 37; y < 100; ++y)
    for (int x = 10; x < 210; ++x) ASSERT_TRUE(isWhite(img, x, y)) << x << "," << y;
  EXPECT_GE(inkExtent(img, QRect(10, 10, 200, 26)).first, 0);
}

// A text is cut when characters it holds are not shown whole: lines below
// the box, or a character wider than the box on a line of its own. Lines
// left out that hold only blanks and line breaks lose nothing.
TEST_F(RenderLinesText, ATextIsCutOnlyWhereACharacterIsNotShownWhole) {
  auto t = makeText("Line one\nLine two", {10, 10, 200, 26});
  EXPECT_TRUE(t->isContentsCut());
  t->_bounds.setHeight(60);
  EXPECT_FALSE(t->isContentsCut());
  const text_look::TextStyle style = t->drawnStyle();
  EXPECT_TRUE(text_look::fitsInRect(QStringLiteral("Ann"), {0, 0, 200, 26}, style));
  EXPECT_TRUE(text_look::fitsInRect(QStringLiteral("Ann\n"), {0, 0, 200, 26}, style));
  EXPECT_TRUE(text_look::fitsInRect(QStringLiteral("Ann\r\n \n\t"), {0, 0, 200, 26}, style));
  EXPECT_FALSE(text_look::fitsInRect(QStringLiteral("Ann\n \n."), {0, 0, 200, 26}, style));
  // A letter wider than the box is drawn clipped at its side.
  EXPECT_FALSE(text_look::fitsInRect(QStringLiteral("W"), {0, 0, 8, 26}, style));
  EXPECT_TRUE(text_look::fitsInRect(QStringLiteral("W"), {0, 0, 30, 26}, style));
}

TEST_F(RenderLinesText, NaturalSizeFollowsTheDrawnLookNotTheStorage) {
  auto t = makeText("Hello", {10, 10, 200, 5});
  t->Text_contents()->font = CardFont{"TimesNewRomanPS-ItalicMT", 8};  // plays no part
  const QSizeF one = t->naturalSize();
  EXPECT_GT(one.width(), 40);
  EXPECT_LT(one.width(), 60);
  EXPECT_NEAR(one.height(), 23, 2);                 // one line of Arial at 20 points
  t->Text_contents()->string = "  Hello\nWorld  ";  // drawn trimmed
  EXPECT_NEAR(t->naturalSize().height(), 2 * one.height(), 2);
  // Height matching keeps origin and width.
  t->setHeightToMatchContents();
  EXPECT_EQ(t->bounds().topLeft(), QPointF(10, 10));
  EXPECT_EQ(t->bounds().width(), 200);
  EXPECT_NEAR(t->bounds().height(), 2 * one.height(), 2);
  EXPECT_FALSE(t->_boundsBeingChangedToMatchContents);
  // Natural size: width and height follow the text; a locked text stays.
  t->makeNaturalSize();
  EXPECT_LT(t->bounds().width(), 70);
  t->ctrl_is_locked = true;
  t->setBounds({10, 10, 300, 300});
  t->makeNaturalSize();
  EXPECT_EQ(t->bounds(), QRectF(10, 10, 300, 300));
  // Narrow boxes wrap; a text that draws nothing keeps its box.
  t->ctrl_is_locked = false;
  t->Text_contents()->string = "one two three four five six";
  t->setBounds({0, 0, 40, 10});
  EXPECT_GT(t->naturalSize().height(), 3 * one.height() - 2);
  t->Text_contents()->string = " \n ";
  EXPECT_EQ(t->naturalSize(), QSizeF(40, 10));
}

TEST_F(RenderLinesText, TextOfOnlyControlCharactersAndBlanksDrawsNothing) {
  // The program's trimming also drops control characters at both ends, so a
  // text of nothing else shows neither box fill nor border and asks no refresh.
  auto t = makeText(QStringLiteral(" \u0001\u0002\u0007\n"), {10, 10, 100, 40});
  t->_isDrawingFill = true;
  t->_fillColor = Qt::red;
  t->_isDrawingStroke = true;
  const QImage img = drawAlone(*t);
  EXPECT_TRUE(isWhite(img, 50, 30));
  EXPECT_TRUE(isWhite(img, 10, 10));
  EXPECT_EQ(host.refreshes, 0);
}

TEST_F(RenderLinesText, CapitalisedWordsRunFromBlankToBlank) {
  using text_look::applyCaseTransform;
  EXPECT_EQ(applyCaseTransform("don't STOP me", 3), "Don't Stop Me");
  EXPECT_EQ(applyCaseTransform("o'NEIL anna-MARIA", 3), "O'neil Anna-maria");
  EXPECT_EQ(applyCaseTransform("two\nlines\ttabbed", 3), "Two\nLines\tTabbed");
  EXPECT_EQ(applyCaseTransform("3RD floor", 3), "3rd Floor");
  // Drawn: "don't" with case 3 looks exactly like "Don't" drawn plainly.
  auto a = makeText("don't", {10, 10, 220, 40});
  a->text_transfrom_case = 3;
  auto b = makeText("Don't", {10, 10, 220, 40});
  EXPECT_EQ(drawAlone(*a), drawAlone(*b));
}

TEST_F(RenderLinesText, WindowsLineEndIsOneLineBreak) {
  const text_look::TextStyle font{{QStringLiteral("ArialMT"), 20.0}};
  EXPECT_EQ(text_look::naturalSize("A\r\nB", font, 200), text_look::naturalSize("A\nB", font, 200));
  EXPECT_LT(text_look::naturalSize("A\r\nB", font, 200).height(),
            text_look::naturalSize("A\n\nB", font, 200).height());
  // Drawn alike, too.
  auto crlf = makeText("A\r\nB", {10, 10, 100, 100});
  auto lf = makeText("A\nB", {10, 10, 100, 100});
  EXPECT_EQ(drawAlone(*crlf), drawAlone(*lf));
}

TEST_F(RenderLinesText, ReplacedCharactersAreOneUndoEntryNamedText) {
  SKTDocument doc;
  auto t = makeText("before", {10, 10, 100, 40});
  doc.insertGraphics({t}, {0});
  doc.undoStack()->clear();
  const QStringList keysBefore = t->keysForValuesToObserveForUndo();
  EXPECT_EQ(t->presentablePropertyNameForKey(SKTKeys::undoContents), QStringLiteral("Text"));
  EXPECT_EQ(t->valueForKey(SKTKeys::undoContents).toString(), "before");

  t->setScriptingContents("after");
  EXPECT_EQ(t->Text_contents()->string, "after");
  EXPECT_EQ(t->keysForValuesToObserveForUndo(), keysBefore);  // watched only while it changes
  EXPECT_EQ(doc.undoStack()->count(), 1);

  doc.undo();
  EXPECT_EQ(t->Text_contents()->string, "before");
  doc.redo();
  EXPECT_EQ(t->Text_contents()->string, "after");
  // Setting the key itself goes the same way.
  t->setValueForKey(SKTKeys::undoContents, QStringLiteral("third"));
  EXPECT_EQ(t->undoContents(), "third");
  doc.undo();
  EXPECT_EQ(t->undoContents(), "after");
}

TEST_F(RenderLinesText, HeightMatchingKeepsOriginAndWidthAndIsNotUndone) {
  SKTDocument doc;
  auto t = makeText("one\ntwo\nthree", {10, 20, 150, 10});
  doc.insertGraphics({t}, {0});
  doc.undoStack()->clear();
  const QSizeF natural = t->naturalSize();
  ASSERT_GT(natural.height(), 40);
  t->setHeightToMatchContents();
  EXPECT_EQ(t->bounds(), QRectF(10, 20, 150, natural.height()));
  EXPECT_FALSE(t->_boundsBeingChangedToMatchContents);
  EXPECT_TRUE(t->keysForValuesToObserveForUndo().contains(SKTKeys::bounds));
  EXPECT_EQ(doc.undoStack()->count(), 0);
  // A locked text ignores natural size; an unlocked one takes it.
  t->ctrl_is_locked = true;
  t->makeNaturalSize();
  EXPECT_EQ(t->bounds().width(), 150);
  t->ctrl_is_locked = false;
  t->makeNaturalSize();
  EXPECT_EQ(t->bounds().topLeft(), QPointF(10, 20));
  EXPECT_EQ(t->bounds().size(), t->naturalSize());
}
