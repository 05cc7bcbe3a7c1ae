#include "data/dialogs/Import_Excel.h"

#include <QCheckBox>

#include "data/DataSourceTable.h"
#include "data/dialogs/BatchWizard.h"
#include "data/dialogs/DialogParts.h"
#include "data/dialogs/ProgressSheet.h"
#include "data/dialogs/SeriesWriting.h"
#include "platform/Messages.h"

Import_Excel& Import_Excel::defaultInstance() {
  return dialog_parts::singleton<Import_Excel>([] { return new Import_Excel(); });
}

Import_Excel::Import_Excel(QWidget* parent)
    : SpreadsheetColumnDialog(QStringLiteral("Import from Excel"), false, parent) {}

void Import_Excel::runChosenColumns() {
  const xlsx::SheetTable rows = readAllRows();
  if (!rows.isEmpty()) {
    const bool header = contains_header->isChecked();
    if (open_mode == QStringLiteral("D")) {
      // An empty cell keeps its row, as in a series written from the column:
      // every later cell stays on the card of its own row.
      SeriesValues cells;
      spreadsheet_columns::chosenCells(rows, entries(), header, true, cells);
      if (series_writing::refuseOverLimit(cells)) return;
      BatchWizard::defaultInstance().appendCardValues(cells.toList());
    } else {
      DataSourceTable& table = Data_From_Excel_Table();
      const QString firstTitle = table.columnTitles().value(0, DataSourceTable::kDefaultFirstTitle);
      const QList<spreadsheet_columns::ColumnEntry> chosen = entries();
      spreadsheet_columns::TableContents contents;
      runWithProgress(this, [&](TaskProgress&) {
        contents = spreadsheet_columns::dataSourceContents(firstTitle, rows, chosen, header);
      });
      table.replaceContents(contents.titles, contents.rows);
    }
  } else {
    Show_MessageBox(QStringLiteral("Either file is corrupted or selected file contains invalid characters."));
  }
  done(1);
}
