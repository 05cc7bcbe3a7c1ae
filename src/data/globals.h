#pragma once
// Program-wide state of the variable data sources: the worksheet chosen in
// the spreadsheet dialogs and the column count the spreadsheet reader found,
// the extension of series files and the most values a series holds.

#include <QLoggingCategory>
#include <QString>
#include <atomic>

// 1-based number of the worksheet to read ("xl/worksheets/sheet%d.xml").
extern std::atomic<int> Excel_Sheet_Number;
// Column count found by the last sheet read; every row read has this many cells.
extern std::atomic<int> Excel_Sheet_Columns;
// Extension of series files, without the dot.
extern const QString batch_file_EXT;
// The most values a series holds: what a spreadsheet holds at most in rows.
// An import that would give more is refused, and so is a series file of more
// lines by every reader and by appending. Tests lower it.
extern std::atomic<qint64> Series_Value_Limit;

// The log of this subsystem: warnings and failures are written; the
// details of its work only when asked for (QT_LOGGING_RULES="quvo.data.debug=true").
Q_DECLARE_LOGGING_CATEGORY(lcData)
