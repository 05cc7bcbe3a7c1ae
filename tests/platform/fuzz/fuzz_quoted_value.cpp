// Feeds arbitrary text (any UTF-16 units, lone halves of characters too) and
// lengths to quotedValue: what it gives is the value's start and end around
// "…", no longer than the length asked, never with a character, a letter
// and its accent or a joined emoji cut apart, and never without its start.
// Seeds: tests/platform/fuzz/seeds/quoted_value (the first byte is the
// length, the rest the text as UTF-16, little-endian).
//   fuzz_quoted_value corpus-quoted tests/platform/fuzz/seeds/quoted_value
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/QuotedValue.h"

namespace {

bool breaksTheMessage(QChar c) {
  return c.category() == QChar::Other_Control || c.category() == QChar::Separator_Line ||
         c.category() == QChar::Separator_Paragraph;
}

bool splitsACharacter(const QString& text, qsizetype at) {
  return at > 0 && at < text.size() && text[at - 1].isHighSurrogate() && text[at].isLowSurrogate();
}

bool comesBeforeAnAccent(const QString& text, qsizetype at) {
  if (at <= 0 || at >= text.size()) return false;
  const QChar::Category category = text[at].category();
  return category == QChar::Mark_NonSpacing || category == QChar::Mark_Enclosing ||
         category == QChar::Mark_SpacingCombining || text[at] == QChar(0x200D) ||
         text[at - 1] == QChar(0x200D);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const qsizetype length = data[0];
  QString value;
  for (size_t i = 1; i + 1 < size; i += 2) value.append(QChar(char16_t(data[i] | data[i + 1] << 8)));
  const QString quoted = platform::quotedValue(value, length);
  QString shown = value;  // what the message may show of the value
  for (QChar& c : shown)
    if (breaksTheMessage(c)) c = QChar::ReplacementCharacter;
  const qsizetype most = std::max<qsizetype>(length, 2);
  if (value.size() <= most) {
    if (quoted != shown) std::abort();
    return 0;
  }
  // Some "…" (the value may hold its own) parts the start from the end.
  for (qsizetype cut = quoted.indexOf(QChar(0x2026)); cut >= 0;
       cut = quoted.indexOf(QChar(0x2026), cut + 1)) {
    const QString start = quoted.left(cut), end = quoted.mid(cut + 1);
    if (start.isEmpty() || !shown.startsWith(start) || !shown.endsWith(end) ||
        start.size() + end.size() > most)
      continue;
    const qsizetype tailStart = value.size() - end.size();
    if (splitsACharacter(value, start.size()) || splitsACharacter(value, tailStart)) continue;
    // Only a first letter under more accents than the whole length is cut within.
    if ((start.size() < most - 1 && comesBeforeAnAccent(value, start.size())) ||
        comesBeforeAnAccent(value, tailStart))
      continue;
    return 0;
  }
  std::abort();
}
