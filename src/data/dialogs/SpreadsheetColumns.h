#pragma once
// What the two spreadsheet column dialogs do with a worksheet once the user
// has chosen columns, without any window: the column list built from the
// title row, the chosen cells in reading order, one column's cells, and the
// contents of the spreadsheet data-source table.

#include <QList>
#include <QString>
#include <QStringList>

#include "data/DataSourceTable.h"
#include "data/SeriesValues.h"
#include "data/SpreadsheetWriter.h"

namespace spreadsheet_columns {

// One column of the sheet as the dialogs list it; entry i stands for column i.
struct ColumnEntry {
  bool chosen = false;
  QString title;   // the title row's cell, trimmed; "Untitled Column N" when blank
  QString header;  // the name of the series this column becomes
};

// The column list of a title row: one entry per cell, none chosen; a blank
// title gets "Untitled Column N" (N counted from 1), so that every entry
// keeps the position of its column.
QList<ColumnEntry> entriesFromTitles(const QStringList& titles);
// Whether any entry is chosen.
bool anyChosen(const QList<ColumnEntry>& entries);

// Adds the chosen cells, trimmed, row by row and left to right, from row 1
// when the first row holds titles, else from row 0, to `cells`; stops at the
// first cell that `cells` refuses (over its limit). Empty cells are kept when
// `keepEmpty` is set and left out otherwise.
void chosenCells(const xlsx::SheetTable& rows, const QList<ColumnEntry>& entries, bool containsHeader,
                 bool keepEmpty, SeriesValues& cells);
// The cells of one column, trimmed, empty ones kept, from the first data row on.
QStringList columnCells(const xlsx::SheetTable& rows, int column, bool containsHeader);

// What the spreadsheet data-source table holds for the chosen columns: the
// first column's title, then the chosen columns' titles from the column list;
// one row per data row that has cells, numbered from 1. Any thread.
struct TableContents {
  QStringList titles;
  QList<DataSourceRow> rows;
};
TableContents dataSourceContents(const QString& firstTitle, const xlsx::SheetTable& rows,
                                 const QList<ColumnEntry>& entries, bool containsHeader);

// The sheet names of the workbook loaded last, in the workbook's order
// (item i is sheet number i + 1).
QStringList workbookSheetList();

}  // namespace spreadsheet_columns
