#pragma once
// Generating the two parts the xlsx export replaces in its template: the first
// worksheet and the shared-string table.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace xlsx {

struct WorksheetPart {
  QByteArray xml;             // the worksheet part
  QStringList sharedStrings;  // one entry per text cell, in writing order
};

// The worksheet holding the rows: cells whose text is an exact number (see
// isExactNumberText) are numeric, every other cell (the empty one too) refers
// to a new shared string. The dimension and the spans cover the widest row.
WorksheetPart worksheetXml(const QList<QStringList>& rows);

// The shared-string table with one string item per entry.
QByteArray sharedStringsXml(const QStringList& strings);

}  // namespace xlsx
