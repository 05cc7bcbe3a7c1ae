#pragma once
// Values the person typed or a file brought (a column title, a cell, a
// series, object or entry name) made fit to be quoted in a message: a value
// of thousands of characters would make a box taller than the screen, and a
// line break or a control character inside it would break the message's own
// lines.

#include <QString>
#include <QStringList>

namespace platform {

// Characters of a quoted value beyond which it is cut.
inline constexpr qsizetype kQuotedValueLength = 80;

// The value as a message quotes it: control characters and line or
// paragraph breaks become U+FFFD, and a value longer than `maxLength`
// characters keeps its start and its end around "…" (maxLength characters
// of the value at most in all). A character made of two UTF-16 units, a
// letter with its accents, an emoji with its skin tone or joined ones and a
// flag are never cut in two, whatever script comes before them; the start
// always shows, a first letter with more accents than half the length with
// all of them (the end then has less room), and one with more than the
// whole length with as many as fit.
QString quotedValue(const QString& value, qsizetype maxLength = kQuotedValueLength);

// Values named in one message: each in double quotes, cut as above, joined
// by ", "; beyond `maxValues` the rest are only counted ("\"a\", \"b\" and 7 more").
QString quotedValueList(const QStringList& values, qsizetype maxValues = 10);

}  // namespace platform
