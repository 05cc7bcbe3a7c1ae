#include "core/render/TextLook.h"

#include <QGlyphRun>
#include <QHash>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

#include "core/render/RunCuts.h"
#include "core/render/UprightFallback.h"
#include "platform/FontNames.h"

namespace text_look {

namespace {
// Line breaks as the layout knows them; a Windows line end ("\r\n", as text
// from spreadsheets and series files may carry) is one break, not two.
QString withLineSeparators(QString text) {
  text.replace(QStringLiteral("\r\n"), QString(QChar::LineSeparator));
  text.replace(QLatin1Char('\n'), QChar::LineSeparator);
  text.replace(QLatin1Char('\r'), QChar::LineSeparator);
  return text;
}

// Every text is laid out on this device, so that a layout does not depend on
// what it is drawn on (canvas, picture at any scale, PDF, printer). Fonts on
// it are sized so that one unit is one point. It keeps the program's default
// resolution: a layout scales absolute letter spacing by the whole-number
// ratio of its device's resolution to that default, which is 1 only here.
const QImage& layoutDevice() {
  static const QImage device(1, 1, QImage::Format_ARGB32);
  return device;
}

// The largest width or height a card object may have (design files refuse
// more). A text is measured no further than this: what lies beyond it cannot
// be shown by any box.
constexpr double kLargestExtent = 100000.0;
// The line width of a text that does not wrap: wider than any card object, so
// that every line that could fit one stays whole.
constexpr double kUnwrapped = 2 * kLargestExtent;
constexpr double kFitTolerance = 0.01;  // a line may reach this far below the box
// A line may measure this much wider than the box it was broken for (the
// layout rounds widths to a fraction of a point, more so with letter spacing).
constexpr double kSideTolerance = 0.5;

thread_local LayoutWork thisThreadsWork;

// A long text is laid out in pieces, each a layout of a stretch of it: a
// layout does work for every line that grows with the length of the word the
// line breaks in, and a text without spaces is one word, so one layout of it
// all takes time that grows with the square of its length. A piece holds the
// line before its first one (so that characters joining across the line start
// are shaped as in the whole text) and ends a few lines after the last line
// taken from it: the break of a line depends only on the characters up to the
// point where the next line begins to overflow, so every line but the last
// two of a piece breaks as in a layout of the whole text. A piece is shaped
// in the runs of one layout of the whole text (RunCuts): a run that goes on
// for 4,096 characters is cut where that layout cuts it, and nowhere else.
constexpr qsizetype kFirstPiece = 2000;  // ordinary texts fit in one piece: one layout of the whole text
constexpr qsizetype kLeastPiece = 512;
constexpr int kLinesPerPiece = 16;
constexpr int kUnsettledLines = 2;  // the last lines of a piece that may break otherwise in the whole text

// The ink of glyphs as they are drawn. The box a font reports for a glyph
// is rounded out to whole units, and for a face that has to be made up (an
// italic slanted from the upright face where no italic is installed) it
// reaches well past the slanted outline that is drawn; the outline decides.
class GlyphInk {
 public:
  QRectF ofLine(const QTextLine& line) {
    QRectF all;
    for (const QGlyphRun& run : line.glyphRuns()) {
      const QRawFont font = run.rawFont();
      const QList<quint32> glyphs = run.glyphIndexes();
      const QList<QPointF> positions = run.positions();
      for (qsizetype g = 0; g < glyphs.size() && g < positions.size(); ++g) {
        const QRectF box = of(font, glyphs[g]);
        if (!box.isEmpty())
          all = all.isEmpty() ? box.translated(positions[g]) : all.united(box.translated(positions[g]));
      }
    }
    return all;
  }

 private:
  QRectF of(const QRawFont& font, quint32 glyph) {
    auto known = std::find_if(_fonts.begin(), _fonts.end(), [&](const auto& f) { return f.first == font; });
    if (known == _fonts.end()) known = _fonts.insert(_fonts.end(), {font, {}});
    auto& boxes = known->second;
    if (const auto it = boxes.constFind(glyph); it != boxes.cend()) return *it;
    const QRectF outline = font.pathForGlyph(glyph).boundingRect();
    // Within a unit of the outline the reported box stands (it holds the
    // outline's edge pixels); beyond that it is not drawn.
    const QRectF box =
        outline.isEmpty() ? QRectF() : font.boundingRect(glyph).intersected(outline.adjusted(-1, -1, 1, 1));
    boxes.insert(glyph, box);
    return box;
  }

  std::vector<std::pair<QRawFont, QHash<quint32, QRectF>>> _fonts;
};

// A text laid out by the card's rule at one width, from the top down to a
// depth: the first line whose bottom lies below it is the last one laid out.
// Drawing and measuring both read it.
class BoxLayout {
 public:
  BoxLayout(const QString& text, const TextStyle& style, double width, double depth) {
    const QString body = withLineSeparators(text);
    const QFont font = layoutFont(style);
    GlyphSources sources(font);
    QTextOption option(alignmentForCode(style.alignment));
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    const double lineWidth = (std::isfinite(width) && width > 0) ? width : kUnwrapped;
    const double lowest = depth + kFitTolerance;

    RunCuts cuts(body);
    qsizetype lead = 0;   // where the piece starts: the start of the line before the next one
    qsizetype start = 0;  // where the next line starts
    qsizetype reach = kFirstPiece;
    bool lineBefore = true;
    double y = 0;
    for (;;) {
      const qsizetype end = std::min(body.size(), start + reach);
      const bool last = end == body.size();
      // The piece is shaped in the runs of one layout of the whole text, which
      // cuts a long run where it has gone on for kLongestRun characters from
      // its start: the piece is cut there too. A piece long enough to cut a
      // run from its own start starts where that run starts.
      const qsizetype from =
          end - lead > RunCuts::kLongestRun && lineBefore ? std::min(lead, cuts.runStartAt(lead)) : lead;
      auto layout = std::make_unique<QTextLayout>(body.mid(from, end - from), font, &layoutDevice());
      layout->setTextOption(option);
      layout->setCacheEnabled(true);
      layout->setFormats(formats(cuts.between(from, end),
                                 sources.uprightStretches(QStringView(body).mid(from, end - from)), from,
                                 end));
      layout->beginLayout();
      if (start > from) {  // the line before, as it broke already
        QTextLine before = layout->createLine();
        before.setNumColumns(int(start - from));
        if (before.textLength() != start - from) {  // did not break there again: no line before
          lead = start;
          lineBefore = false;
          continue;
        }
      }
      lineBefore = true;
      std::vector<QTextLine> lines;
      std::vector<double> below;  // where the line after each one goes
      qsizetype deep = -1;        // the first line below the depth
      bool exhausted = true;
      double lineY = y;
      for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        ++thisThreadsWork.lines;
        line.setLineWidth(lineWidth);
        line.setPosition(QPointF(0, lineY));
        lineY += line.height();
        lines.push_back(line);
        below.push_back(lineY);
        if (deep < 0 && lineY > lowest) deep = qsizetype(lines.size()) - 1;
        // Past the depth: one more line tells whether the text goes on, and
        // a piece that does not reach the end needs its unsettled lines too.
        if (deep >= 0 && qsizetype(lines.size()) > deep + (last ? 1 : kUnsettledLines)) {
          exhausted = false;
          break;
        }
      }
      layout->endLayout();
      thisThreadsWork.characters += end - from;
      const qsizetype count = qsizetype(lines.size());
      const qsizetype settled = last ? count : std::max<qsizetype>(0, count - kUnsettledLines);
      if (settled == 0 && !last) {  // no line settled: a longer piece from the same place
        reach *= 2;
        continue;
      }
      const bool done = last || (deep >= 0 && deep < settled);
      const qsizetype keep = deep >= 0 && deep < settled ? deep + 1 : settled;
      _lines.insert(_lines.end(), lines.begin(), lines.begin() + keep);
      _pieces.push_back(std::move(layout));
      if (done) {
        _whole = last && exhausted && keep == count;
        return;
      }
      y = below[keep - 1];
      const qsizetype next = from + lines[settled].textStart();
      lead = from + lines[keep - 1].textStart();
      reach = std::max(kLeastPiece, (next - start) / settled * kLinesPerPiece);
      start = next;
    }
  }

  int lineCount() const { return int(_lines.size()); }

  // Whether the lines hold the whole text (no line below the depth left out).
  bool holdsWholeText() const { return _whole; }

  // The lines from the top whose bottom lies within the height: the first
  // that does not fit is not shown, nor any after it.
  int linesFitting(double height) const {
    int n = 0;
    while (n < lineCount() && _lines[n].rect().bottom() <= height + kFitTolerance) ++n;
    return n;
  }

  double height() const { return _lines.empty() ? 0 : _lines.back().rect().bottom(); }

  // The widest line as the layout measures it: a box this wide keeps every line.
  double widestLine() const {
    double widest = 0;
    for (const QTextLine& line : _lines) widest = std::max(widest, line.naturalTextWidth());
    return widest;
  }

  // How many characters of the text the first `lines` lines hold (the lines
  // follow one another through the text, piece after piece).
  qsizetype charactersOf(int lines) const {
    qsizetype n = 0;
    for (int i = 0; i < lines && i < lineCount(); ++i) n += _lines[i].textLength();
    return n;
  }

  // Where the glyphs put ink as they are drawn, in layout units (the box's
  // top left is 0, 0); empty when no glyph has any.
  QRectF ink() const {
    GlyphInk glyphInk;
    QRectF all;
    for (const QTextLine& line : _lines) all = all.united(glyphInk.ofLine(line));
    return all;
  }

  // Whether a shown line is wider than a box of the width: its advance is,
  // or the layout measures it wider and its ink, as drawn, leaves the box.
  // (A face that has to be made up measures its slanted glyphs wider than
  // they are drawn; a letter reaching a little past its advance at the side
  // the alignment holds to is clipped by any box and cuts nothing.)
  bool widerThan(double width, int lines) const {
    GlyphInk glyphInk;
    for (int i = 0; i < std::min(lines, lineCount()); ++i) {
      const QTextLine& line = _lines[i];
      if (line.naturalTextWidth() <= width + kSideTolerance) continue;
      if (line.horizontalAdvance() > width + kSideTolerance) return true;
      const QRectF ink = glyphInk.ofLine(line);
      if (!ink.isEmpty() && (ink.right() > width + kSideTolerance || ink.left() < -kSideTolerance))
        return true;
    }
    return false;
  }

  QList<QGlyphRun> glyphRuns(int lines) const {
    QList<QGlyphRun> runs;
    for (int i = 0; i < lines; ++i) runs += _lines[i].glyphRuns();
    return runs;
  }

  void draw(QPainter& painter, const QPointF& origin, int lines) const {
    for (int i = 0; i < lines; ++i) _lines[i].draw(&painter, origin);
  }

 private:
  // The formats of a piece (from `from` to `to` in the text): ranges that
  // start at the cuts, since a layout shapes the characters on the two sides
  // of a format change apart, as it does at a cut of its own; and the
  // stretches (from the piece's start) drawn in the upright face.
  static QList<QTextLayout::FormatRange> formats(const std::vector<qsizetype>& cuts,
                                                 const std::vector<UprightStretch>& upright, qsizetype from,
                                                 qsizetype to) {
    std::vector<qsizetype> starts;  // where a range starts, in the piece
    for (const qsizetype cut : cuts) starts.push_back(cut - from);
    for (const UprightStretch& stretch : upright) {
      starts.push_back(stretch.start);
      starts.push_back(stretch.start + stretch.length);
    }
    std::sort(starts.begin(), starts.end());
    starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
    QList<QTextLayout::FormatRange> ranges;
    auto stretch = upright.begin();
    for (size_t k = 0; k < starts.size() && starts[k] < to - from; ++k) {
      const qsizetype start = starts[k];
      const qsizetype end = k + 1 < starts.size() ? starts[k + 1] : to - from;
      while (stretch != upright.end() && stretch->start + stretch->length <= start) ++stretch;
      const bool inUpright = stretch != upright.end() && stretch->start <= start;
      ranges.append({int(start), int(end - start), inUpright ? uprightFormat() : QTextCharFormat()});
    }
    return ranges;
  }

  static QFont layoutFont(const TextStyle& style) {
    QFont font = fontForDevice(style.font, &layoutDevice());
    if (std::isfinite(style.kerning) && style.kerning != 0)
      font.setLetterSpacing(QFont::AbsoluteSpacing, style.kerning);
    return font;
  }

  std::vector<std::unique_ptr<QTextLayout>> _pieces;  // the lines below belong to them
  std::vector<QTextLine> _lines;
  bool _whole = false;
};
}  // namespace

QString applyCaseTransform(const QString& text, int transform) {
  switch (transform) {
    case 1:
      return text.toUpper();
    case 2:
      return text.toLower();
    case 3: {
      QString out;
      out.reserve(text.size());
      // A word runs from one blank or line break to the next, so "don't"
      // stays one word ("Don't") and "anna-maria" becomes "Anna-maria".
      bool wordStart = true;
      for (QChar ch : text) {
        if (ch.isSpace()) {
          out += ch;
          wordStart = true;
        } else {
          out += wordStart ? ch.toUpper() : ch.toLower();
          wordStart = false;
        }
      }
      return out;
    }
    default:
      return text;
  }
}

QFont fontForDevice(const CardFont& cardFont, const QPaintDevice* device) {
  QFont font;
  if (!cardFont.name.isEmpty()) {
    const platform::FontFace face = platform::fontFaceForName(cardFont.name);
    font.setFamilies({face.family});
    font.setWeight(face.weight);
    font.setItalic(face.italic);
  }
  double size = cardFont.size;
  if (!std::isfinite(size) || size <= 0) size = 12.0;
  size = std::min(size, 2000.0);
  const double dpi = device ? device->logicalDpiY() : 72.0;
  font.setPointSizeF(size * 72.0 / (dpi > 0 ? dpi : 72.0));
  font.setKerning(true);
  return font;
}

Qt::Alignment alignmentForCode(int code) {
  switch (code) {
    case 1:
      return Qt::AlignRight;
    case 2:
      return Qt::AlignHCenter;
    case 3:
      return Qt::AlignJustify;
    default:
      return Qt::AlignLeft;
  }
}

void drawTextInRect(QPainter& painter, const QString& text, const QRectF& rect, const TextStyle& style,
                    const QColor& color) {
  if (rect.width() <= 0 || rect.height() <= 0 || text.isEmpty()) return;
  const BoxLayout layout(text, style, rect.width(), rect.height());
  painter.save();
  painter.setClipRect(rect, Qt::IntersectClip);
  painter.setPen(color);
  layout.draw(painter, rect.topLeft(), layout.linesFitting(rect.height()));
  painter.restore();
}

QList<QGlyphRun> glyphRunsInRect(const QString& text, const QRectF& rect, const TextStyle& style) {
  if (rect.width() <= 0 || rect.height() <= 0 || text.isEmpty()) return {};
  const BoxLayout layout(text, style, rect.width(), rect.height());
  return layout.glyphRuns(layout.linesFitting(rect.height()));
}

bool fitsInRect(const QString& text, const QRectF& rect, const TextStyle& style) {
  if (text.isEmpty()) return true;
  if (rect.width() <= 0 || rect.height() <= 0) return false;
  const BoxLayout layout(text, style, rect.width(), rect.height());
  const int shown = layout.linesFitting(rect.height());
  // A character wider than the box, alone on its line, is clipped at the side.
  if (layout.widerThan(rect.width(), shown)) return false;
  if (layout.holdsWholeText() && shown == layout.lineCount()) return true;
  // The lines left out lose nothing when they hold only blanks and line breaks.
  const QString body = withLineSeparators(text);
  const auto rest = QStringView(body).mid(layout.charactersOf(shown));
  return std::all_of(rest.begin(), rest.end(), [](QChar ch) { return ch.isSpace(); });
}

LayoutWork layoutWorkOnThisThread() {
  return thisThreadsWork;
}

QSizeF naturalSize(const QString& text, const TextStyle& style, double width) {
  // The lines the width gives; at their widest line's width (whole points)
  // the same lines come out, now aligned within that width. Lines are laid
  // out down to the largest height a card object may have.
  const BoxLayout atWidth(text, style, width, kLargestExtent);
  double lineWidth = std::ceil(atWidth.widestLine());
  // Lines the layout measures wider than the width they were broken at, but
  // drawn within it (the letters of a face that has to be made up), keep it.
  if (width > 0 && lineWidth > width && !atWidth.widerThan(width, atWidth.lineCount()))
    lineWidth = std::ceil(width);
  const BoxLayout natural(text, style, lineWidth, kLargestExtent);
  // Glyphs may reach past their advance. A larger box shows that ink on the
  // sides its alignment keeps free, so the box grows until it shows it too:
  // left-aligned lines stay put as the box widens, right-aligned ones move
  // with its right edge, centred ones by half the widening.
  const QRectF ink = natural.ink();
  double needed = lineWidth;
  if (!ink.isEmpty()) {
    switch (style.alignment) {
      case 1:  // right
        needed += std::max(0.0, -ink.left());
        break;
      case 2:  // centre
        needed += 2 * std::max({0.0, -ink.left(), ink.right() - lineWidth});
        break;
      default:
        needed = std::max(needed, ink.right());
        break;
    }
  }
  const double height = std::max(natural.height(), ink.isEmpty() ? 0.0 : ink.bottom());
  return {std::ceil(needed), std::ceil(height)};
}

}  // namespace text_look
