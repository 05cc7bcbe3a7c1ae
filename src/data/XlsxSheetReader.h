#pragma once
// Reading the parts of an xlsx package: the shared-string table, the rows of a
// worksheet and the sheet names of the workbook. Pure functions over the XML
// bytes; elements are matched by their local names, whatever prefix they carry.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace xlsx {

using Rows = QList<QStringList>;

// Upper bound of cells (rows x columns) one sheet read may produce.
constexpr qint64 kMaxSheetCells = 10'000'000;
// Upper bound of the memory the parsed tree of one part may take. Each "<"
// can start an element or end a text, each "=" an attribute; a part whose
// markup would need more is refused before it is parsed, so that a small
// package that unpacks to a dense part cannot exhaust memory.
constexpr qint64 kMaxXmlTreeBytes = qint64{1280} * 1024 * 1024;
// What the tree of a part would take, estimated from its markup characters.
qint64 estimatedTreeBytes(const QByteArray& xml);

struct SharedStringsResult {
  QStringList strings;  // one entry per string item, all its text runs joined
  QString error;        // empty on success
};
SharedStringsResult readSharedStrings(QByteArray xml, qint64 maxTreeBytes = kMaxXmlTreeBytes);

enum class SheetRows { FirstOnly, All };

struct SheetResult {
  Rows rows;
  int columns = 0;  // every row has this many cells
  QString error;    // empty on success
};

// Reads the rows of a worksheet part. The column count is the last column that
// holds a cell (or, in a sheet without cells, the last column of its
// dimension). FirstOnly gives the first row element only,
// its empty cells titled "Untitled Column %d"; All gives every row element in
// document order, empty cells as "". Shared-string cells take their entry (an
// index past the table gives ""), inline strings their text, other cells their
// stored value (the cached result for formulas).
SheetResult readSheet(QByteArray xml, const QStringList& sharedStrings, SheetRows which,
                      qint64 maxTreeBytes = kMaxXmlTreeBytes);

// The "name" attribute of every sheet element of a workbook part, in order.
QStringList readSheetNames(QByteArray xml, QString* error = nullptr, qint64 maxTreeBytes = kMaxXmlTreeBytes);

}  // namespace xlsx
