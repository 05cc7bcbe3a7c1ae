#include "core/render/UprightFallback.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QPainterPath>
#include <QRawFont>
#include <unordered_map>

namespace text_look {

namespace {

// A combining mark or a joiner belongs to the letter before it: the two are
// shaped together, in one face.
bool attachesToLetterBefore(char32_t c) {
  switch (QChar::category(c)) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
    case QChar::Other_Format:
      return true;
    default:
      return false;
  }
}

// The face a font stands for: family, weight and style, not its size.
QString faceKey(const QFont& font) {
  const QStringList families = font.families();
  return (families.isEmpty() ? font.family() : families.join(QChar(0))) +
         QStringLiteral("\n%1 %2").arg(font.weight()).arg(int(font.style()));
}

}  // namespace

bool drawsNoShape(char32_t c) {
  switch (QChar::category(c)) {
    case QChar::Separator_Space:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
      return true;
    default:
      return QChar::isSpace(c);
  }
}

// What a thread knows of one face. It keeps the face's description, not a
// font: a font keeps the engines it has loaded, and one kept for the
// thread's life would hold them past the end of the thread's font cache.
struct GlyphSources::Known {
  explicit Known(const QFont& font) : families(font.families()), weight(font.weight()), style(font.style()) {}

  // Whether the face draws the character (upright: in its upright form),
  // from its own file or from a face the engine falls back to.
  bool draws(char32_t c, bool upright) const {
    QFont font;
    if (!families.isEmpty()) font.setFamilies(families);
    font.setWeight(weight);
    font.setStyle(upright ? QFont::StyleNormal : style);
    return QFontMetricsF(font).inFontUcs4(c);
  }

  QStringList families;
  QFont::Weight weight;
  QFont::Style style;
  bool slanted = style != QFont::StyleNormal;
  QHash<char32_t, GlyphSource> sources;
};

GlyphSources::GlyphSources(const QFont& font) {
  thread_local std::unordered_map<QString, std::unique_ptr<Known>> fonts;
  std::unique_ptr<Known>& known = fonts[faceKey(font)];
  if (!known) known = std::make_unique<Known>(font);
  known_ = known.get();
}

GlyphSource GlyphSources::of(char32_t c) {
  Known& k = *known_;
  if (const auto found = k.sources.constFind(c); found != k.sources.cend()) return *found;
  GlyphSource source = GlyphSource::Styled;
  if (!k.draws(c, false)) source = k.slanted && k.draws(c, true) ? GlyphSource::Upright : GlyphSource::None;
  k.sources.insert(c, source);
  return source;
}

std::vector<UprightStretch> GlyphSources::uprightStretches(QStringView text) {
  std::vector<UprightStretch> stretches;
  if (!known_->slanted) return stretches;
  qsizetype start = -1;  // the stretch being read, when there is one
  qsizetype end = -1;    // after its last letter (and the marks on it)
  for (qsizetype i = 0; i < text.size();) {
    char32_t c = text[i].unicode();
    qsizetype next = i + 1;
    if (QChar::isHighSurrogate(c) && next < text.size() && text[next].isLowSurrogate())
      c = QChar::surrogateToUcs4(text[i], text[next++]);
    if (drawsNoShape(c)) {
      if (start >= 0 && end == i && attachesToLetterBefore(c)) end = next;
    } else if (of(c) == GlyphSource::Upright) {
      if (start < 0) start = i;
      end = next;  // takes in the spaces since the last upright letter
    } else if (start >= 0) {
      stretches.push_back({start, end - start});
      start = -1;
    }
    i = next;
  }
  if (start >= 0) stretches.push_back({start, end - start});
  return stretches;
}

QTextCharFormat uprightFormat() {
  QTextCharFormat format;
  format.setFontItalic(false);
  return format;
}

QList<QTextLayout::FormatRange> uprightFormats(const std::vector<UprightStretch>& stretches) {
  QList<QTextLayout::FormatRange> ranges;
  for (const UprightStretch& stretch : stretches)
    ranges.append({int(stretch.start), int(stretch.length), uprightFormat()});
  return ranges;
}

namespace {

// A text laid out on one line without a device, as QPainterPath::addText()
// and QFontMetricsF do, the stretches in the upright face.
class UprightLine {
 public:
  UprightLine(const QFont& font, const QString& text, const std::vector<UprightStretch>& stretches)
      : layout_(text, font) {
    layout_.setFormats(uprightFormats(stretches));
    layout_.beginLayout();
    line_ = layout_.createLine();
    layout_.endLayout();
  }

  double advance() const { return line_.isValid() ? line_.horizontalAdvance() : 0; }

  void addTo(QPainterPath& path, const QPointF& baseline) const {
    if (!line_.isValid()) return;
    const QPointF origin = baseline - QPointF(0, line_.ascent());
    for (const QGlyphRun& run : line_.glyphRuns()) {
      const QRawFont font = run.rawFont();
      const QList<quint32> glyphs = run.glyphIndexes();
      const QList<QPointF> positions = run.positions();
      for (qsizetype g = 0; g < glyphs.size() && g < positions.size(); ++g)
        path.addPath(font.pathForGlyph(glyphs[g]).translated(origin + positions[g]));
    }
    path.setFillRule(Qt::WindingFill);
  }

 private:
  QTextLayout layout_;
  QTextLine line_;
};

}  // namespace

void addTextLine(QPainterPath& path, const QPointF& baseline, const QFont& font, const QString& text) {
  const std::vector<UprightStretch> stretches = GlyphSources(font).uprightStretches(text);
  if (stretches.empty())
    path.addText(baseline, font, text);
  else
    UprightLine(font, text, stretches).addTo(path, baseline);
}

double lineAdvance(const QFont& font, const QString& text) {
  const std::vector<UprightStretch> stretches = GlyphSources(font).uprightStretches(text);
  if (stretches.empty()) return QFontMetricsF(font).horizontalAdvance(text);
  return UprightLine(font, text, stretches).advance();
}

}  // namespace text_look
