#include "core/render/MissingGlyphs.h"

#include "core/render/TextLook.h"
#include "core/render/UprightFallback.h"

namespace text_look {

namespace {

bool hasNoLookOfItsOwn(char32_t c) {
  const QChar::Category category = QChar::category(c);
  return category == QChar::Other_PrivateUse || category == QChar::Other_NotAssigned ||
         category == QChar::Other_Surrogate;
}

}  // namespace

QStringList charactersWithoutFont(const QString& text, const CardFont& font) {
  QStringList missing;
  if (text.isEmpty()) return missing;
  // The font as a card draws it: its own face, the faces the engine falls
  // back to, and for a style that has no face for a script, the upright one.
  GlyphSources sources(fontForDevice(font, nullptr));
  for (const char32_t c : text.toUcs4()) {
    if (drawsNoShape(c) || sources.of(c) != GlyphSource::None) continue;
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
