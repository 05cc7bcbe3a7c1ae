#pragma once
// Scripts that a style of the installed fonts has no face for. Where a font
// lacks a character, the font engine takes it from another installed font
// that has it, but only from that font's face of the same style: an italic
// asks the others for their italic or oblique face. Where that face lacks the
// script and only the upright face has it (an oblique sans without Arabic
// beside the upright one with it), the engine draws the empty box. A card
// draws such characters in the upright face of the same weight instead (of
// the font itself or of a font the engine falls back to from it); a slanted
// form is not made up.

#include <QFont>
#include <QStringView>
#include <QTextLayout>
#include <memory>
#include <vector>

class QPainterPath;

namespace text_look {

// Which face draws a character.
enum class GlyphSource : quint8 {
  Styled,   // the font's own face, or a face the engine falls back to
  Upright,  // only the upright face of the same weight, or a fallback of it
  None,     // no installed font: the empty box is drawn in its place
};

// A stretch of a text drawn in the upright face: its first character and
// its length, in UTF-16 units.
struct UprightStretch {
  qsizetype start = 0;
  qsizetype length = 0;
  bool operator==(const UprightStretch&) const = default;
};

// Whether a character draws no shape of its own: spaces, line breaks,
// control and format characters and combining marks.
bool drawsNoShape(char32_t c);

// The faces that draw the characters of one font (its family, weight and
// style; the size plays no part). What a thread learns of a font is kept for
// that thread: asking the font engine takes a lock that every thread drawing
// text shares, and a run asks about the same few characters on every card.
class GlyphSources {
 public:
  explicit GlyphSources(const QFont& font);

  GlyphSource of(char32_t c);

  // The stretches of the text drawn in the upright face, in order. A
  // character that draws no shape goes with those around it: a combining
  // mark or joiner with the letter before it, a space between two upright
  // letters with them. None for an upright font.
  std::vector<UprightStretch> uprightStretches(QStringView text);

 private:
  struct Known;
  Known* known_;  // this thread's, kept for the thread's life
};

// The format ranges that draw the stretches in the upright face.
QList<QTextLayout::FormatRange> uprightFormats(const std::vector<UprightStretch>& stretches);
QTextCharFormat uprightFormat();

// One line of text in a font, the characters its style has no face for
// upright: its outlines from a baseline point, as QPainterPath::addText()
// lays them out, added to the path; and its advance, as QFontMetricsF
// measures it. A text the font's style draws whole is laid out by those.
void addTextLine(QPainterPath& path, const QPointF& baseline, const QFont& font, const QString& text);
double lineAdvance(const QFont& font, const QString& text);

}  // namespace text_look
