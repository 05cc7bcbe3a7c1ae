#pragma once
// Spreadsheet columns to series: each chosen column becomes a series of its
// own (named in the list, editable), or the chosen cells of all chosen
// columns go, row by row, into one series that is new, replaces a series or
// is appended to one.

#include "data/dialogs/SpreadsheetColumnDialog.h"

class QComboBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;

class Import_Excel_DataSheet : public SpreadsheetColumnDialog {
  Q_OBJECT

 public:
  // The single instance, made on first use on the GUI thread.
  static Import_Excel_DataSheet& defaultInstance();

  // Mode controls.
  void Each_Col_RD_Click();
  void Fill_Col_RD_Click();
  // Chooses the one-series option: 0 new series, 1 replace a series, 2 append to one.
  void Fill_Type_CellClick(int option);

  // One series per chosen column / all chosen cells into one series.
  void Create_file_For_Col_Func();
  void Insert_file_Func();

  // Set by the import wizard: 1 refreshes the series manager's list after writing.
  int file_name_Insert = 0;
  int fill_col_option = 0;

  // Controls.
  QRadioButton* Each_col_RD = nullptr;
  QRadioButton* Fill_col_RD = nullptr;
  QGroupBox* fill_box = nullptr;
  QRadioButton* matrix_fill_type[3] = {nullptr, nullptr, nullptr};
  QLineEdit* list_name = nullptr;
  QComboBox* List_ComboBox = nullptr;

 protected:
  void resetOwnControls() override;
  bool ownChecks() override;
  void runChosenColumns() override;

 private:
  explicit Import_Excel_DataSheet(QWidget* parent = nullptr);
};
