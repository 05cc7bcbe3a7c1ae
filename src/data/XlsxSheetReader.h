#pragma once
// Reading the parts of an xlsx workbook: the shared-string table, the rows of
// a worksheet and the sheet names of the workbook. Each part is parsed as a
// stream, whether it comes from memory or chunk by chunk out of the package,
// so no tree of a whole part is ever built. Elements are matched by their
// local names, whatever prefix they carry.
//
// What a read may hold is bounded by the format's own limits (rows, columns,
// characters a cell) and by the cells and text bytes it keeps.

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

#include "data/XlsxFormat.h"
#include "data/XlsxSheetTable.h"

namespace xlsx {

class Package;

// The rows a sheet may have (the columns are kMaxColumns of XlsxFormat.h).
constexpr qint64 kMaxRows = 1'048'576;
// The characters (UTF-16 units) a cell may hold.
constexpr qint64 kMaxCellCharacters = 32'767;
// The cells with a text one read holds.
constexpr qint64 kMaxSheetCells = 50'000'000;
// The bytes of text (UTF-8) one read holds.
constexpr qint64 kMaxTextBytes = qint64{2} * 1024 * 1024 * 1024;

struct ReadLimits {
  qint64 maxRows = kMaxRows;
  qint64 maxCellCharacters = kMaxCellCharacters;
  qint64 maxCells = kMaxSheetCells;
  qint64 maxTextBytes = kMaxTextBytes;
};

struct SharedStringsResult {
  // One entry per string item, all its text runs joined. An item longer than
  // a cell may hold is marked over-long; the cells that use it are refused.
  std::shared_ptr<const StringTable> strings = std::make_shared<const StringTable>();
  QString error;  // empty on success
};
SharedStringsResult readSharedStrings(QByteArrayView xml, const ReadLimits& limits = {});

enum class SheetRows { FirstOnly, All };

struct SheetResult {
  SheetTable rows;
  QString error;  // empty on success; no rows then
};

// Reads the rows of a worksheet part.
// All: every row element in document order (row numbers are not used), as
// wide as the last column that holds a cell, or, in a sheet without cells,
// the last column of its dimension.
// FirstOnly: the first row element alone, read without going further; as wide
// as the last column of the dimension or of that row, whichever is further
// right; its empty cells are titled "Untitled Column %d".
// Shared-string cells take their entry (an index past the table gives ""),
// inline strings their text, other cells their stored value (the cached
// result for formulas). A cell beyond the last column or over the character
// limit, or a sheet over the row or cell limits, is refused with a reason
// naming the cell.
SheetResult readSheet(QByteArrayView xml, const std::shared_ptr<const StringTable>& sharedStrings,
                      SheetRows which, const ReadLimits& limits = {});

// The "name" attribute of every sheet element of a workbook part, in order.
QStringList readSheetNames(QByteArrayView xml, QString* error = nullptr);

// The same three, straight out of an opened package. A workbook without a
// shared-string part reads as one with an empty table.
SharedStringsResult readSharedStrings(Package& package,
                                      const QString& part = QStringLiteral("xl/sharedStrings.xml"),
                                      const ReadLimits& limits = {});
SheetResult readSheet(Package& package, const QString& part,
                      const std::shared_ptr<const StringTable>& sharedStrings, SheetRows which,
                      const ReadLimits& limits = {});
QStringList readSheetNames(Package& package, QString* error = nullptr);

// The workbook part of a package.
inline const QString kWorkbookPart = QStringLiteral("xl/workbook.xml");

// A sheet of a workbook: its name and the part that holds its cells, or,
// when the workbook leads to no part of its own, the reason (part empty).
struct WorkbookSheet {
  QString name;
  QString part;
  QString error;
};
// The sheets of the package's workbook in the workbook's order, each found
// through the workbook's relationships (the "id" of its sheet element in
// "xl/_rels/workbook.xml.rels"), so that a sheet moved, renamed or removed in
// a spreadsheet program still reads its own cells. A relationship that is
// missing, leads outside the package or to a part it does not hold gives the
// sheet a reason instead of a part. Nothing, with the reason in *error, when
// the workbook or its relationships cannot be read.
QList<WorkbookSheet> readWorkbookSheets(Package& package, QString* error = nullptr);
// The part that a relationship target of the source part names, resolved
// against the source part's folder ("/" starts from the package's root);
// empty, with the reason in *error ("leads out of the workbook"), when it
// climbs out of the package.
QString relationshipTarget(const QString& sourcePart, const QString& target, QString* error = nullptr);

// The part name of worksheet number n ("xl/worksheets/sheet<n>.xml").
QString worksheetPart(int number);

// The names the workbook file at the path gives its sheets, in order, read
// from its workbook part; nothing, with the reason in *error, when the file
// is no readable workbook.
QStringList xlsxSheetNames(const QString& path, QString* error = nullptr);

}  // namespace xlsx
