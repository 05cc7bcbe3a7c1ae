#include "data/SeriesValues.h"

#include <algorithm>

#include "data/globals.h"

namespace {

// What ends a line in a text: LF, VT, FF, CR, NEL and the line and paragraph separators.
bool endsLine(QChar c) {
  switch (c.unicode()) {
    case 0x0A:
    case 0x0B:
    case 0x0C:
    case 0x0D:
    case 0x85:
    case 0x2028:
    case 0x2029:
      return true;
    default:
      return false;
  }
}

// The value on one line: each line break in it (CR LF counts as one) becomes a space.
QByteArray oneLineUtf8(QStringView value) {
  if (std::none_of(value.begin(), value.end(), endsLine)) return value.toUtf8();
  QString line;
  line.reserve(value.size());
  for (qsizetype i = 0; i < value.size(); ++i) {
    if (!endsLine(value[i])) {
      line.append(value[i]);
      continue;
    }
    if (value[i] == u'\r' && i + 1 < value.size() && value[i + 1] == u'\n') ++i;
    line.append(u' ');
  }
  return line.toUtf8();
}

}  // namespace

SeriesValues::SeriesValues() : SeriesValues(Series_Value_Limit.load()) {}

SeriesValues::SeriesValues(qint64 limit) : limit_(limit) {}

SeriesValues SeriesValues::fromList(const QStringList& values) {
  SeriesValues list(kUnbounded);
  list.ends_.reserve(values.size());
  for (const QString& value : values) list.add(value);
  return list;
}

bool SeriesValues::add(QStringView value) {
  if (++offered_ > limit_) return false;
  bytes_.append(oneLineUtf8(value));
  ends_.append(bytes_.size());
  bytes_.append('\n');
  return true;
}

QStringList SeriesValues::toList() const {
  QStringList values;
  values.reserve(ends_.size());
  qsizetype start = 0;
  for (const qsizetype end : ends_) {
    values.append(QString::fromUtf8(QByteArrayView(bytes_).sliced(start, end - start)));
    start = end + 1;
  }
  return values;
}
