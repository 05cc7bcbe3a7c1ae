#include "data/XlsxFormat.h"

namespace xlsx {

QString columnName(int number) {
  QString name;
  while (number > 0) {
    const int rest = (number - 1) % 26;
    name.prepend(QChar('A' + rest));
    number = (number - 1) / 26;
  }
  return name;
}

QStringView columnLetters(QStringView reference) {
  qsizetype end = 0;
  while (end < reference.size() && !(reference[end] >= u'1' && reference[end] <= u'9')) ++end;
  return reference.left(end);
}

int columnNumber(QStringView reference) {
  int number = 0;
  for (const QChar c : reference) {
    const char16_t u = c.toUpper().unicode();
    if (u < u'A' || u > u'Z') break;
    number = number * 26 + (u - u'A' + 1);
    if (number > kMaxColumns) return -1;
  }
  return number;
}

bool isExactNumberText(QStringView text) {
  qsizetype i = 0;
  const qsizetype n = text.size();
  if (i < n && text[i] == u'-') ++i;
  const qsizetype intStart = i;
  while (i < n && text[i] >= u'0' && text[i] <= u'9') ++i;
  const qsizetype intDigits = i - intStart;
  if (intDigits == 0) return false;
  if (intDigits > 1 && text[intStart] == u'0') return false;  // leading zero: "007"
  qsizetype fracDigits = 0;
  if (i < n && text[i] == u'.') {
    ++i;
    const qsizetype fracStart = i;
    while (i < n && text[i] >= u'0' && text[i] <= u'9') ++i;
    fracDigits = i - fracStart;
    if (fracDigits == 0 || text[i - 1] == u'0') return false;  // "5." or "1.50"
  }
  if (i != n) return false;
  const bool negative = text[0] == u'-';
  const bool zeroInteger = intDigits == 1 && text[intStart] == u'0';
  if (negative && zeroInteger && fracDigits == 0) return false;  // "-0"
  // Significant digits: the integer part unless it is a lone zero, then the
  // fraction without its leading zeros when the integer part is zero.
  qsizetype significant = zeroInteger ? 0 : intDigits;
  if (fracDigits > 0) {
    QStringView fraction = text.right(fracDigits);
    if (zeroInteger) {
      qsizetype lead = 0;
      while (lead < fraction.size() && fraction[lead] == u'0') ++lead;
      significant += fraction.size() - lead;
    } else {
      significant += fraction.size();
    }
  }
  return significant <= 15;
}

namespace {

bool isXmlChar(char32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
         (c >= 0x10000 && c <= 0x10FFFF);
}

bool isHex(QChar c) {
  const char16_t u = c.unicode();
  return (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F');
}

// Whether text[i] starts an "_xHHHH_" sequence.
bool escapeAt(const QString& text, qsizetype i) {
  if (i + 7 > text.size() || text[i] != u'_' || text[i + 1] != u'x' || text[i + 6] != u'_') return false;
  for (qsizetype k = i + 2; k < i + 6; ++k)
    if (!isHex(text[k])) return false;
  return true;
}

QString escapeOf(char16_t code) {
  return QStringLiteral("_x%1_").arg(unsigned(code), 4, 16, QChar('0')).toUpper().replace("_X", "_x");
}

}  // namespace

QString escapeXmlText(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      out.append(c);
      out.append(text[++i]);
      continue;
    }
    if (escapeAt(text, i)) {
      out.append(QStringLiteral("_x005F_"));
      out.append(u'x');
      ++i;  // the "x" is written here, the rest follows as plain text
      continue;
    }
    if (c.isSurrogate() || !isXmlChar(c.unicode())) {
      out.append(escapeOf(c.unicode()));
      continue;
    }
    out.append(c);
  }
  return out;
}

QString unescapeXmlText(const QString& text) {
  if (!text.contains(QStringLiteral("_x"))) return text;
  QString out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (escapeAt(text, i)) {
      out.append(QChar(char16_t(text.mid(i + 2, 4).toUInt(nullptr, 16))));
      i += 6;
      continue;
    }
    out.append(text[i]);
  }
  return out;
}

}  // namespace xlsx
