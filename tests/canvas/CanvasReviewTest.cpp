// Texts and the grid as a user meets them: trimming as the program trims,
// capitals after apostrophes, Windows line ends, undo of a text's characters,
// height matching, and a grid spacing that cannot be drawn or snapped to.
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

#include "core/render/RenderFixture.h"
#include "core/SKTDocument.h"
#include "core/SKTText.h"
#include "canvas/SKTGrid.h"
#include "core/render/PaintStyle.h"
#include "core/render/TextLook.h"

using namespace render_test;

namespace {

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

class CanvasReview : public ::testing::Test {
 protected:
  FakeCardHost host{FakeCardHost::Preset::RenderCard};
  ScopedCardHost install{host};
};

}  // namespace

TEST_F(CanvasReview, TextOfOnlyControlCharactersAndBlanksDrawsNothing) {
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

TEST_F(CanvasReview, CapitalisedWordsRunFromBlankToBlank) {
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

TEST_F(CanvasReview, WindowsLineEndIsOneLineBreak) {
  const CardFont font{QStringLiteral("ArialMT"), 20.0};
  EXPECT_EQ(text_look::naturalSize("A\r\nB", font, 200), text_look::naturalSize("A\nB", font, 200));
  EXPECT_LT(text_look::naturalSize("A\r\nB", font, 200).height(),
            text_look::naturalSize("A\n\nB", font, 200).height());
  // Drawn alike, too.
  auto crlf = makeText("A\r\nB", {10, 10, 100, 100});
  auto lf = makeText("A\nB", {10, 10, 100, 100});
  EXPECT_EQ(drawAlone(*crlf), drawAlone(*lf));
}

TEST_F(CanvasReview, ReplacedCharactersAreOneUndoEntryNamedText) {
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

TEST_F(CanvasReview, HeightMatchingKeepsOriginAndWidthAndIsNotUndone) {
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

TEST_F(CanvasReview, GridIgnoresASpacingThatIsNotAFiniteNumber) {
  SKTGrid grid;
  grid.setConstraining(true);
  grid.setSpacing(std::numeric_limits<double>::infinity());
  grid.setSpacing(std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(grid.spacing(), 9.0);
  const QPointF snapped = grid.constrainedPoint({13.4, 4.5});
  EXPECT_EQ(snapped, QPointF(9, 9));
  EXPECT_TRUE(std::isfinite(snapped.x()) && std::isfinite(snapped.y()));
}

TEST_F(CanvasReview, HatchNamedLikeAPipeDoesNotBlockThePainter) {
  // A pipe under a hatch picture's name must not hang every repaint: only
  // regular files are read; the background colour shows alone.
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  ASSERT_TRUE(QDir(folder.path()).mkpath("Fill_Style_Image"));
  const QByteArray pipePath = (folder.path() + "/Fill_Style_Image/Pipe.png").toLocal8Bit();
  ASSERT_EQ(::mkfifo(pipePath.constData(), 0600), 0);
  auto read = std::async(std::launch::async, [&] { return paint::hatchPicture(folder.path(), "Pipe"); });
  if (read.wait_for(std::chrono::seconds(3)) != std::future_status::ready) {
    // Opening and closing the other end releases the reader (it then reads an empty file).
    const int writer = ::open(pipePath.constData(), O_WRONLY | O_NONBLOCK);
    if (writer >= 0) ::close(writer);
    read.wait();
    FAIL() << "reading the hatch picture blocked on a pipe";
  }
  EXPECT_TRUE(read.get().isNull());
  paint::clearHatchPictures();
}
