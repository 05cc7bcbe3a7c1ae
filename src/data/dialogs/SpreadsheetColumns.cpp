#include "data/dialogs/SpreadsheetColumns.h"

#include "data/DataSourceTable.h"
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

QStringList chosenCells(const SpreadsheetRows& rows, const QList<ColumnEntry>& entries, bool containsHeader,
                        bool keepEmpty) {
  QStringList cells;
  for (qsizetype r = containsHeader ? 1 : 0; r < rows.size(); ++r) {
    const QStringList& row = rows[r];
    for (qsizetype j = 0; j < entries.size(); ++j) {
      if (!entries[j].chosen) continue;
      const QString cell = Trim_Str(row.value(j));
      if (keepEmpty || !cell.isEmpty()) cells.append(cell);
    }
  }
  return cells;
}

QStringList columnCells(const SpreadsheetRows& rows, int column, bool containsHeader) {
  QStringList cells;
  for (qsizetype r = containsHeader ? 1 : 0; r < rows.size(); ++r)
    cells.append(Trim_Str(rows[r].value(column)));
  return cells;
}

void fillDataSourceTable(DataSourceTable& table, const SpreadsheetRows& rows,
                         const QList<ColumnEntry>& entries, bool containsHeader) {
  if (rows.isEmpty()) return;
  QStringList titles{table.columnTitles().value(0, DataSourceTable::kDefaultFirstTitle)};
  QList<int> chosen;
  for (qsizetype j = 0; j < entries.size(); ++j) {
    if (!entries[j].chosen) continue;
    chosen.append(int(j));
    titles.append(entries[j].title);
  }
  QList<DataSourceRow> tableRows;
  for (qsizetype r = containsHeader ? 1 : 0; r < rows.size(); ++r) {
    if (rows[r].isEmpty()) continue;
    DataSourceRow row;
    row.insert(DataSourceTable::kExtensionKey, QString::number(tableRows.size() + 1));
    for (qsizetype k = 0; k < chosen.size(); ++k)
      row.insert(DataSourceTable::keyForIndex(int(k + 1)), Trim_Str(rows[r].value(chosen[k])));
    tableRows.append(row);
  }
  table.replaceContents(titles, tableRows);
}

QStringList workbookSheetList() {
  return SpreadsheetWriter::Worksheet_Part_Names();
}

}  // namespace spreadsheet_columns
