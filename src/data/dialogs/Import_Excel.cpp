#include "data/dialogs/Import_Excel.h"

#include <QCheckBox>

#include "data/DataSourceTable.h"
#include "data/dialogs/BatchWizard.h"
#include "data/dialogs/DialogParts.h"
#include "platform/Messages.h"

Import_Excel& Import_Excel::defaultInstance() {
  return dialog_parts::singleton<Import_Excel>([] { return new Import_Excel(); });
}

Import_Excel::Import_Excel(QWidget* parent)
    : SpreadsheetColumnDialog(QStringLiteral("Import from Excel"), false, parent) {}

void Import_Excel::runChosenColumns() {
  const SpreadsheetRows rows = readAllRows();
  if (!rows.isEmpty()) {
    const bool header = contains_header->isChecked();
    if (open_mode == QStringLiteral("D")) {
      BatchWizard::defaultInstance().appendValues(
          spreadsheet_columns::chosenCells(rows, entries(), header, false));
    } else {
      spreadsheet_columns::fillDataSourceTable(Data_From_Excel_Table(), rows, entries(), header);
    }
  } else {
    Show_MessageBox(QStringLiteral("Either file is corrupted or selected file contains invalid characters."));
  }
  done(1);
}
