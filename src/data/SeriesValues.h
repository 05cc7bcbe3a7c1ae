#pragma once
// Values on their way into a series, held as compactly as the series file
// itself: one UTF-8 text in which each value is followed by a line feed, and
// where each value ends. A million short values cost a few megabytes here,
// where a list of strings costs some seventy bytes a value.
//
// A value is one line of its series file, the value of one card: a line break
// inside a value (a quoted CSV field or a spreadsheet cell of several lines)
// is stored as a space, so that the list's size is the number of lines its
// file holds.
//
// The list holds at most its limit: the value after the last one that fits
// is refused and marks the list as over its limit, so that whoever fills it
// stops there instead of making values that would only be thrown away.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <limits>

class SeriesValues {
 public:
  static constexpr qint64 kUnbounded = std::numeric_limits<qint64>::max();

  // A list bounded by the program's limit for one import (Series_Value_Limit).
  SeriesValues();
  explicit SeriesValues(qint64 limit);
  // The values of a list, without bound.
  static SeriesValues fromList(const QStringList& values);

  // Adds the value on one line; false, adding nothing, when the list already
  // holds its limit.
  bool add(QStringView value);

  qint64 size() const { return ends_.size(); }
  bool isEmpty() const { return ends_.isEmpty(); }
  qint64 limit() const { return limit_; }
  // Whether a value was refused.
  bool overLimit() const { return offered_ > limit_; }
  // The values offered to `add`, the refused ones included.
  qint64 offered() const { return offered_; }

  // The values as strings, in order.
  QStringList toList() const;
  // What the series file holds: each value's UTF-8 followed by one line feed.
  const QByteArray& fileBytes() const { return bytes_; }

 private:
  QByteArray bytes_;
  QList<qsizetype> ends_;  // where each value's line feed is
  qint64 limit_;
  qint64 offered_ = 0;
};
