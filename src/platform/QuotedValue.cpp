#include "platform/QuotedValue.h"

#include <QTextBoundaryFinder>
#include <algorithm>

namespace platform {

namespace {

bool breaksTheMessage(QChar c) {
  switch (c.category()) {
    case QChar::Other_Control:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
      return true;
    default:
      return false;
  }
}

bool isRegionalIndicator(char32_t c) {
  return c >= 0x1F1E6 && c <= 0x1F1FF;
}

// Places to cut a text without cutting a character. The text boundary
// finder knows the letters of the scripts; after Indic, Thai or Hangul text
// it also calls every place within an emoji a boundary, even one between the
// two UTF-16 units of a character. So a place counts only when the text's own
// characters agree: it does not split a character's two units, nor come
// before an accent, a joiner or a skin tone, nor after a joiner, nor between
// the two halves of a flag.
class Cuts {
 public:
  explicit Cuts(const QString& text) : text_(text), finder_(QTextBoundaryFinder::Grapheme, text) {}

  bool at(qsizetype place) {
    if (place <= 0 || place >= text_.size()) return true;
    if (text_[place - 1].isHighSurrogate() && text_[place].isLowSurrogate()) return false;
    const char32_t before = codePointBefore(place), after = codePointAt(place);
    const QChar::Category category = QChar::category(after);
    if (category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining ||
        category == QChar::Mark_Enclosing || after == 0x200D || before == 0x200D ||
        (after >= 0x1F3FB && after <= 0x1F3FF) || (after >= 0xE0020 && after <= 0xE007F))
      return false;
    if (isRegionalIndicator(before) && isRegionalIndicator(after) && regionalIndicatorsBefore(place) % 2 == 1)
      return false;
    finder_.setPosition(place);
    return finder_.isAtBoundary();
  }

  // The last place to cut at or before `place`, the first at or after it.
  qsizetype atOrBefore(qsizetype place) {
    while (!at(place)) --place;
    return place;
  }
  qsizetype atOrAfter(qsizetype place) {
    while (!at(place)) ++place;
    return place;
  }
  // The last place at or before `place` that keeps a character of two units
  // whole, letter or accent alike.
  qsizetype characterAtOrBefore(qsizetype place) const {
    return place > 0 && place < text_.size() && text_[place].isLowSurrogate() &&
                   text_[place - 1].isHighSurrogate()
               ? place - 1
               : place;
  }

 private:
  char32_t codePointAt(qsizetype i) const {
    if (text_[i].isHighSurrogate() && i + 1 < text_.size() && text_[i + 1].isLowSurrogate())
      return QChar::surrogateToUcs4(text_[i], text_[i + 1]);
    return text_[i].unicode();
  }
  char32_t codePointBefore(qsizetype i) const {
    if (text_[i - 1].isLowSurrogate() && i >= 2 && text_[i - 2].isHighSurrogate())
      return QChar::surrogateToUcs4(text_[i - 2], text_[i - 1]);
    return text_[i - 1].unicode();
  }
  qsizetype regionalIndicatorsBefore(qsizetype place) const {
    qsizetype count = 0;
    while (place >= 2 && isRegionalIndicator(codePointBefore(place))) {
      ++count;
      place -= 2;
    }
    return count;
  }

  const QString& text_;
  QTextBoundaryFinder finder_;
};

}  // namespace

QString quotedValue(const QString& value, qsizetype maxLength) {
  maxLength = std::max<qsizetype>(maxLength, 2);
  QString out;
  if (value.size() <= maxLength) {
    out = value;
  } else {
    // The start takes the larger half, the end the rest.
    Cuts cuts(value);
    qsizetype headEnd = cuts.atOrBefore(maxLength - maxLength / 2);
    // A first letter with more accents than the start's half keeps them all
    // and leaves the end less room; one with more than the whole length
    // keeps what fits.
    if (headEnd == 0) headEnd = cuts.atOrAfter(1);
    if (headEnd > maxLength) headEnd = cuts.characterAtOrBefore(maxLength);
    const qsizetype tail = std::min(maxLength / 2, maxLength - headEnd);
    const qsizetype tailStart = cuts.atOrAfter(value.size() - tail);
    out = value.left(headEnd) + QChar(0x2026) + value.mid(tailStart);
  }
  for (QChar& c : out)
    if (breaksTheMessage(c)) c = QChar::ReplacementCharacter;
  return out;
}

QString quotedValueList(const QStringList& values, qsizetype maxValues) {
  QStringList shown;
  for (qsizetype i = 0; i < values.size() && i < maxValues; ++i)
    shown.append(QLatin1Char('"') + quotedValue(values[i]) + QLatin1Char('"'));
  QString text = shown.join(QStringLiteral(", "));
  if (values.size() > shown.size()) text += QStringLiteral(" and %1 more").arg(values.size() - shown.size());
  return text;
}

}  // namespace platform
