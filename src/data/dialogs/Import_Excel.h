#pragma once
// The spreadsheet sheet and column picker. In open mode "E" the chosen
// columns fill the spreadsheet data-source table, one table row per data
// row; in mode "D" their cells go, row by row, to the series manager's value
// list, empty cells included, so that each keeps the card of its row.

#include "data/dialogs/SpreadsheetColumnDialog.h"

class Import_Excel : public SpreadsheetColumnDialog {
  Q_OBJECT

 public:
  // The single instance, made on first use on the GUI thread.
  static Import_Excel& defaultInstance();

  // "E" or "D"; set by the caller before Open_excel_Wnd().
  QString open_mode = QStringLiteral("D");

 protected:
  void runChosenColumns() override;

 private:
  explicit Import_Excel(QWidget* parent = nullptr);
};
