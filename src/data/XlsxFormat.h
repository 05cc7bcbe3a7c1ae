#pragma once
// Small rules of the xlsx format shared by the reader and the writer: column
// letters, which cell texts are written as numbers, and the _xHHHH_ escapes
// that carry characters XML cannot hold.

#include <QString>
#include <QStringView>

namespace xlsx {

// The last column a spreadsheet has (XFD).
constexpr int kMaxColumns = 16384;

// Letters of a column for its 1-based number: 1 A, 26 Z, 27 AA, 702 ZZ, 703 AAA.
// Empty for numbers below 1.
QString columnName(int number);
// 1-based number of the column whose letters start the reference ("C12" -> 3,
// "AB7" -> 28). 0 when the reference starts with no letter; -1 when the column
// lies beyond kMaxColumns.
int columnNumber(QStringView reference);
// The letters before the first digit 1 to 9 of a cell reference.
QStringView columnLetters(QStringView reference);

// Whether a cell text is written as a number: the plain decimal grammar of the
// C locale (optional "-", no leading zeros, no trailing zeros after a point,
// no exponent) with at most 15 significant digits, so that a spreadsheet
// program shows exactly the text again. "007", "1.50", "+3" and "1e5" stay text.
bool isExactNumberText(QStringView text);

// Replaces characters XML 1.0 cannot hold by _xHHHH_, and protects literal
// _xHHHH_ texts as _x005F_xHHHH_.
QString escapeXmlText(const QString& text);
// The reverse: _xHHHH_ becomes the character with that code.
QString unescapeXmlText(const QString& text);

}  // namespace xlsx
