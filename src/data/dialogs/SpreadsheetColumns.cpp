#include "data/dialogs/SpreadsheetColumns.h"

#include "platform/StringHelpers.h"

namespace spreadsheet_columns {

QList<ColumnEntry> entriesFromTitles(const QStringList& titles) {
  QList<ColumnEntry> entries;
  for (qsizetype i = 0; i < titles.size(); ++i) {
    QString title = Trim_Str(titles[i]);
    if (title.isEmpty()) title = QStringLiteral("Untitled Column %1").arg(i + 1);
    entries.append({false, title, title});
  }
  return entries;
}

bool anyChosen(const QList<ColumnEntry>& entries) {
  for (const ColumnEntry& entry : entries)
    if (entry.chosen) return true;
  return false;
}

void chosenCells(const xlsx::SheetTable& rows, const QList<ColumnEntry>& entries, bool containsHeader,
                 bool keepEmpty, SeriesValues& cells) {
  for (qsizetype r = containsHeader ? 1 : 0; r < rows.size(); ++r) {
    for (qsizetype j = 0; j < entries.size(); ++j) {
      if (!entries[j].chosen) continue;
      const QString cell = Trim_Str(rows.cell(r, int(j)));
      if ((keepEmpty || !cell.isEmpty()) && !cells.add(cell)) return;
    }
  }
}

QStringList columnCells(const xlsx::SheetTable& rows, int column, bool containsHeader) {
  QStringList cells;
  for (qsizetype r = containsHeader ? 1 : 0; r < rows.size(); ++r)
    cells.append(Trim_Str(rows.cell(r, column)));
  return cells;
}

TableContents dataSourceContents(const QString& firstTitle, const xlsx::SheetTable& rows,
                                 const QList<ColumnEntry>& entries, bool containsHeader) {
  TableContents contents;
  contents.titles.append(firstTitle);
  QList<int> chosen;
  for (qsizetype j = 0; j < entries.size(); ++j) {
    if (!entries[j].chosen) continue;
    chosen.append(int(j));
    contents.titles.append(entries[j].title);
  }
  // The keys are made once and shared by every row (a sheet may have a million rows).
  QStringList keys;
  for (qsizetype k = 0; k < chosen.size(); ++k) keys.append(DataSourceTable::keyForIndex(int(k + 1)));
  // Every row is as wide as the sheet: rows of a sheet without columns have no cells.
  for (qsizetype r = containsHeader ? 1 : 0; r < rows.size() && rows.columns() > 0; ++r) {
    DataSourceRow row;
    row.insert(DataSourceTable::kExtensionKey, QString::number(contents.rows.size() + 1));
    for (qsizetype k = 0; k < chosen.size(); ++k) row.insert(keys[k], Trim_Str(rows.cell(r, chosen[k])));
    contents.rows.append(row);
  }
  return contents;
}

QStringList workbookSheetList() {
  return SpreadsheetWriter::Read_Sheet_Name();
}

}  // namespace spreadsheet_columns
