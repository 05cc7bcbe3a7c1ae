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

// The last place to cut at or before `at` that keeps whole characters.
qsizetype boundaryAtOrBefore(QTextBoundaryFinder& finder, qsizetype at) {
  finder.setPosition(at);
  if (finder.isAtBoundary()) return at;
  const qsizetype before = finder.toPreviousBoundary();
  return before < 0 ? 0 : before;
}

// The first place to cut at or after `at` that keeps whole characters.
qsizetype boundaryAtOrAfter(QTextBoundaryFinder& finder, qsizetype at, qsizetype length) {
  finder.setPosition(at);
  if (finder.isAtBoundary()) return at;
  const qsizetype after = finder.toNextBoundary();
  return after < 0 ? length : after;
}

}  // namespace

QString quotedValue(const QString& value, qsizetype maxLength) {
  maxLength = std::max<qsizetype>(maxLength, 2);
  QString out;
  if (value.size() <= maxLength) {
    out = value;
  } else {
    // The start takes the larger half, the end the rest.
    const qsizetype tail = maxLength / 2;
    const qsizetype head = maxLength - tail;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, value);
    const qsizetype headEnd = boundaryAtOrBefore(finder, head);
    const qsizetype tailStart = boundaryAtOrAfter(finder, value.size() - tail, value.size());
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
