#include "barcode/designer/ValueCharacters.h"

#include <QStringList>
#include <algorithm>

namespace barcode {

namespace {

constexpr qsizetype kCharactersNamed = 6;

// The characters a test picks, each once, in the order they first stand; a
// surrogate without its pair counts as itself.
template <typename Pick>
QList<char32_t> distinctCharacters(const QString& value, Pick pick) {
  QList<char32_t> found;
  for (qsizetype i = 0; i < value.size(); ++i) {
    char32_t c = value.at(i).unicode();
    if (value.at(i).isHighSurrogate() && i + 1 < value.size() && value.at(i + 1).isLowSurrogate()) {
      c = QChar::surrogateToUcs4(value.at(i), value.at(i + 1));
      ++i;
    }
    if (pick(c) && !found.contains(c)) found.append(c);
  }
  return found;
}

// A character as a person finds it in the value.
QString named(char32_t c) {
  // A combining mark alone would sit on the quote before it.
  const bool visible = !QChar::isSurrogate(c) && QChar::isPrint(c) && !QChar::isSpace(c) && !QChar::isMark(c);
  if (visible) return QLatin1Char('"') + QString::fromUcs4(&c, 1) + QLatin1Char('"');
  return QStringLiteral("U+") +
         QStringLiteral("%1").arg(static_cast<uint>(c), 4, 16, QLatin1Char('0')).toUpper();
}

}  // namespace

QList<char32_t> charactersBeyondAscii(const QString& value) {
  return distinctCharacters(value, [](char32_t c) { return c > 127; });
}

QString characterList(const QList<char32_t>& characters) {
  const qsizetype shown = std::min(characters.size(), kCharactersNamed);
  QStringList names;
  for (qsizetype i = 0; i < shown; ++i) names << named(characters.at(i));
  if (characters.size() > shown)
    return names.join(QStringLiteral(", ")) + QStringLiteral(" and %1 more").arg(characters.size() - shown);
  if (names.size() < 2) return names.join(QString());
  const QString last = names.takeLast();
  return names.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
}

QString linearCharacterRefusal(const QString& symbology, const QString& value) {
  const QList<char32_t> beyond = charactersBeyondAscii(value);
  if (beyond.isEmpty()) return {};
  return QStringLiteral(
             "Invalid barcode value: %1 takes only plain ASCII characters, and %2 %3 not. QR Code, PDF417 "
             "and DataMatrix take them.")
      .arg(symbology, characterList(beyond),
           beyond.size() == 1 ? QStringLiteral("is") : QStringLiteral("are"));
}

QString twoDCharacterRefusal(const QString& value) {
  const QList<char32_t> halves = distinctCharacters(value, [](char32_t c) { return QChar::isSurrogate(c); });
  if (halves.isEmpty()) return {};
  const QString what = halves.size() == 1
                           ? QStringLiteral("is half of a character without its other half")
                           : QStringLiteral("are halves of characters without their other halves");
  return QStringLiteral("Invalid barcode value: %1 %2, which no barcode can hold.")
      .arg(characterList(halves), what);
}

}  // namespace barcode
