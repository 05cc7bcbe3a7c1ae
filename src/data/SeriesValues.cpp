#include "data/SeriesValues.h"

#include "data/globals.h"

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
  bytes_.append(value.toUtf8());
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
