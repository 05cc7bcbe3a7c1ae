#include "core/render/MissingGlyphs.h"

#include <QFontMetricsF>
#include <QHash>
#include <optional>

#include "core/render/TextLook.h"

namespace text_look {

namespace {

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

bool hasNoLookOfItsOwn(char32_t c) {
  const QChar::Category category = QChar::category(c);
  return category == QChar::Other_PrivateUse || category == QChar::Other_NotAssigned ||
         category == QChar::Other_Surrogate;
}

}  // namespace

QStringList charactersWithoutFont(const QString& text, const CardFont& font) {
  QStringList missing;
  if (text.isEmpty()) return missing;
  // What this thread has learnt of the font's characters: asking the font
  // engine takes a lock that every thread drawing text shares, and a run
  // asks about the same few characters on every card.
  thread_local QHash<QString, QHash<char32_t, bool>> known;
  QHash<char32_t, bool>& drawn = known[font.name];
  std::optional<QFontMetricsF> metrics;
  for (const char32_t c : text.toUcs4()) {
    if (drawsNoShape(c)) continue;
    auto found = drawn.constFind(c);
    if (found == drawn.constEnd()) {
      // The metrics of the font as a card draws it: the question goes to
      // the font's own face and then to every face the engine falls back to.
      if (!metrics) metrics.emplace(fontForDevice(font, nullptr));
      found = drawn.insert(c, metrics->inFontUcs4(c));
    }
    if (*found) continue;
    const QString character = QString::fromUcs4(&c, 1);
    if (!missing.contains(character)) missing << character;
  }
  return missing;
}

QString namedCharacters(const QStringList& characters, qsizetype shown) {
  QStringList names;
  for (qsizetype i = 0; i < characters.size() && i < shown; ++i) {
    const QList<uint> units = characters[i].toUcs4();
    const char32_t c = units.isEmpty() ? 0 : units.first();
    names << (hasNoLookOfItsOwn(c) ? QStringLiteral("U+%1").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper()
                                   : characters[i]);
  }
  QString text = names.join(QStringLiteral(", "));
  if (characters.size() > shown) text += QStringLiteral(" and %1 more").arg(characters.size() - shown);
  return text;
}

}  // namespace text_look
