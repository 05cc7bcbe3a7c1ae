// Long texts: a box shows the same lines as one layout of the whole text
// would (over scripts, breaks, alignments and kerning), and drawing, the cut
// query and Natural Size lay out only what the box, or the largest object,
// can show, however long the text.
#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QTextLayout>
#include <functional>

#include "RenderFixture.h"
#include "core/SKTText.h"
#include "core/render/TextLook.h"
#include "core/render/UprightFallback.h"

using namespace render_test;

namespace {

QString repeated(const QString& unit, qsizetype length) {
  QString out;
  out.reserve(length + unit.size());
  while (out.size() < length) out += unit;
  out.truncate(length);
  return out;
}

QString unbroken(qsizetype length) {
  return repeated(QStringLiteral("abcdefghijklmnopqrstuvwxyz"), length);
}

// The reference: one layout of the whole text with every line laid out,
// the stretches its style has no face for upright, drawn by the card's rule
// (lines from the top while their bottom lies in the box, on a device of the
// program's default resolution).
class WholeLayout {
 public:
  WholeLayout(QString text, const text_look::TextStyle& style, double width)
      : _layout(text.replace(QStringLiteral("\r\n"), QString(QChar::LineSeparator))
                    .replace(QLatin1Char('\n'), QChar::LineSeparator),
                font(style), &device()) {
    QTextOption option(text_look::alignmentForCode(style.alignment));
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    _layout.setTextOption(option);
    // What the style has no face for is drawn upright.
    _layout.setFormats(
        text_look::uprightFormats(text_look::GlyphSources(_layout.font()).uprightStretches(_layout.text())));
    double y = 0;
    _layout.beginLayout();
    for (QTextLine line = _layout.createLine(); line.isValid(); line = _layout.createLine()) {
      line.setLineWidth(width);
      line.setPosition(QPointF(0, y));
      y += line.height();
    }
    _layout.endLayout();
    _height = y;
  }

  double height() const { return _height; }

  QImage drawnIn(const QRectF& box, QSize size) const {
    QImage img(size, QImage::Format_ARGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setClipRect(box);
    p.setPen(Qt::black);
    for (int i = 0; i < _layout.lineCount() && _layout.lineAt(i).rect().bottom() <= box.height() + 0.01; ++i)
      _layout.lineAt(i).draw(&p, box.topLeft());
    return img;
  }

 private:
  static const QImage& device() {
    static const QImage img(1, 1, QImage::Format_ARGB32);
    return img;
  }
  static QFont font(const text_look::TextStyle& style) {
    QFont f = text_look::fontForDevice(style.font, &device());
    if (style.kerning != 0) f.setLetterSpacing(QFont::AbsoluteSpacing, style.kerning);
    return f;
  }

  QTextLayout _layout;
  double _height = 0;
};

QImage drawnByTheCard(const QString& text, const text_look::TextStyle& style, const QRectF& box, QSize size) {
  QImage img(size, QImage::Format_ARGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  text_look::drawTextInRect(p, text, box, style, Qt::black);
  return img;
}

std::shared_ptr<SKTText> unbrokenText(qsizetype length, double fontSize) {
  auto t = std::static_pointer_cast<SKTText>(SKTGraphic::makeGraphic(GraphicKind::Text));
  t->_bounds = {20, 20, 300, 200};
  t->Text_contents()->string = unbroken(length);
  t->text_ctrl_font = {QStringLiteral("TimesNewRomanPSMT"), fontSize};
  t->txt_clr = Qt::black;
  return t;
}

// The layout work a call does on this thread.
text_look::LayoutWork workOf(const std::function<void()>& call) {
  const text_look::LayoutWork before = text_look::layoutWorkOnThisThread();
  call();
  const text_look::LayoutWork after = text_look::layoutWorkOnThisThread();
  return {after.lines - before.lines, after.characters - before.characters};
}

}  // namespace

class LongTextLayout : public ::testing::Test {
 protected:
  FakeCardHost host{FakeCardHost::Preset::RenderCard};
  ScopedCardHost install{host};
};

TEST_F(LongTextLayout, ABoxShowsTheLinesOfOneLayoutOfTheWholeText) {
  // Texts of some thousand characters, far longer than one stretch the card
  // lays out at a time. One layout shapes a run of one script and direction
  // in stretches of 4,096 characters and loses a kerning pair or a joining at
  // each seam; the card loses the same ones (the last texts hold such seams).
  const QString arabic =
      QString::fromUtf16(u"\u0628\u062A\u062B\u062C\u062D\u062E\u0633\u0634\u0635\u0636\u0639");
  const QString hebrew = QString::fromUtf16(u"\u05E9\u05DC\u05D5\u05DD \u05E2\u05D5\u05DC\u05DD ");
  const QList<std::pair<const char*, QString>> texts = {
      {"without spaces", unbroken(4090)},
      {"words", repeated("Please join us for dinner and dancing under the stars. ", 9000)},
      {"words and long runs", repeated("Dear guest, your code is " + unbroken(1700) + " - see you! ", 9000)},
      {"line breaks", repeated("Table 12\nSeat 4\r\n\n" + unbroken(300) + "\n", 9000)},
      {"spaces after words", repeated("word" + QString(60, ' '), 9000)},
      {"ideographs", repeated(QString::fromUtf16(u"\u751F\u65E5\u5FEB\u4E50\u3002\u8C22\u8C22"), 4000)},
      {"joined letters", repeated(arabic, 4090)},
      {"mixed directions", "2026 " + repeated(hebrew + "12.5 Anna " + arabic, 6000)},
      {"marks and pairs", repeated(QString::fromUtf16(u"e\u0301\u00E5\U0001D49C"), 6000)},
      {"pairs over a seam", repeated("AV To Wa ", 4097)},
      {"pairs over seams", repeated("AV To Wa ", 9000)},
      {"without spaces, over seams", unbroken(9000)},
      {"joined letters over a seam", repeated(arabic, 6000)},
      {"pairs after other scripts", hebrew + "\t" + repeated("AV To Wa ", 6000)},
      {"pairs after right-to-left words", "2026 " + hebrew + repeated("AV To Wa ", 6000)},
      {"joined words over a seam", repeated(arabic + " ", 6000)},
      {"ideographs over a seam",
       repeated(QString::fromUtf16(u"\u751F\u65E5\u5FEB\u4E50\u3002\u8C22\u8C22"), 6000)},
  };
  const QStringList fonts = {"TimesNewRomanPSMT", "ArialMT", "TimesNewRomanPS-BoldItalicMT"};
  int round = 0;
  for (const auto& [what, text] : texts)
    for (int alignment = 0; alignment < 4; ++alignment, ++round) {
      const text_look::TextStyle style{{fonts[round % 3], 10}, alignment, (round % 3) * 0.5};
      SCOPED_TRACE(QString::asprintf("%s, %s, alignment %d, kerning %g", what, qPrintable(style.font.name),
                                     alignment, style.kerning)
                       .toStdString());
      const WholeLayout whole(text, style, 600);
      const double height = std::ceil(whole.height());
      const QSize size(620, int(height) + 20);
      // All of it, and a box that cuts it at two thirds.
      for (double boxHeight : {height, std::round(height * 2 / 3)}) {
        const QRectF box(10, 10, 600, boxHeight);
        EXPECT_TRUE(drawnByTheCard(text, style, box, size) == whole.drawnIn(box, size))
            << "height " << boxHeight;
      }
      EXPECT_TRUE(text_look::fitsInRect(text, {10, 10, 600, height}, style));
      EXPECT_FALSE(text_look::fitsInRect(text, {10, 10, 600, height - 1}, style));
      // Natural Size measures every line: its box shows the whole text.
      const QSizeF natural = text_look::naturalSize(text, style, 600);
      EXPECT_GE(natural.height(), height);
      EXPECT_TRUE(text_look::fitsInRect(text, {{0, 0}, natural}, style));
    }
}

TEST_F(LongTextLayout, DrawingAndMeasuringLayOutOnlyWhatTheBoxCanShow) {
  // A 300 x 200 box shows 12 lines of a text without spaces: the same lines
  // whether it holds 20,000, 200,000 or 2,000,000 characters, and drawing
  // them or asking whether the text is cut lays out as much for each.
  const std::shared_ptr<SKTText> texts[] = {unbrokenText(20000, 14), unbrokenText(200000, 14),
                                            unbrokenText(2000000, 14)};
  QImage picture;
  const text_look::LayoutWork drawn = workOf([&] { picture = drawAlone(*texts[0], {400, 300}); });
  ASSERT_LE(drawn.lines, 20);
  ASSERT_LE(drawn.characters, 5000);
  for (const auto& t : texts) {
    SCOPED_TRACE(t->Text_contents()->string.size());
    QImage again;
    const text_look::LayoutWork redrawn = workOf([&] { again = drawAlone(*t, {400, 300}); });
    EXPECT_TRUE(again == picture);
    EXPECT_EQ(redrawn.lines, drawn.lines);
    EXPECT_EQ(redrawn.characters, drawn.characters);
    bool cut = false;
    const text_look::LayoutWork asked = workOf([&] { cut = t->isContentsCut(); });
    EXPECT_TRUE(cut);
    EXPECT_EQ(asked.lines, drawn.lines);
    EXPECT_EQ(asked.characters, drawn.characters);
  }

  // Natural Size measures down to the largest height a card object may have:
  // at 72 pt, 1,000,000 and 2,000,000 characters give the same size, taller
  // than that, for the same work.
  const auto tall = unbrokenText(1000000, 72);
  const auto taller = unbrokenText(2000000, 72);
  QSizeF tallSize, tallerSize;
  const text_look::LayoutWork measured = workOf([&] { tallSize = tall->naturalSize(); });
  ASSERT_LE(measured.lines, 2 * (100000 / 72 + 50));
  const text_look::LayoutWork measuredTaller = workOf([&] { tallerSize = taller->naturalSize(); });
  EXPECT_GT(tallSize.height(), 100000);
  EXPECT_LT(tallSize.height(), 100200);
  EXPECT_LE(tallSize.width(), 300);
  EXPECT_EQ(tallerSize, tallSize);
  EXPECT_EQ(measuredTaller.lines, measured.lines);
  EXPECT_EQ(measuredTaller.characters, measured.characters);
}

TEST_F(LongTextLayout, AFaceThatIsMadeUpIsMeasuredAsItIsDrawn) {
  // No italic of this family is installed: its italic is the upright face
  // slanted, whose letters the font reports wider than they are drawn. Lines
  // laid out in a box of 600 points end within it, so a box that holds them
  // all cuts nothing, and Natural Size keeps the width and those lines.
  ASSERT_TRUE(QFontDatabase::families().contains(QStringLiteral("DejaVu Math TeX Gyre")));
  for (const QString& style : QFontDatabase::styles(QStringLiteral("DejaVu Math TeX Gyre")))
    ASSERT_FALSE(style.contains("Italic") || style.contains("Oblique")) << style.toStdString();
  const QString text = unbroken(1500);
  const text_look::TextStyle style{{"DejaVuMathTeXGyre-Italic", 14}, 0, 0};
  EXPECT_TRUE(text_look::fitsInRect(text, {0, 0, 600, 10000}, style));
  const QSizeF natural = text_look::naturalSize(text, style, 600);
  EXPECT_LE(natural.width(), 600);
  EXPECT_TRUE(text_look::fitsInRect(text, {{0, 0}, natural}, style));
  EXPECT_FALSE(text_look::fitsInRect(text, {0, 0, natural.width(), natural.height() - 2}, style));
}
