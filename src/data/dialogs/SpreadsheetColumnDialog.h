#pragma once
// What the two spreadsheet column dialogs share: the workbook's path, its
// worksheets, the column list of the chosen sheet with its check boxes,
// "contains header", choose all / clear all, and reading the sheet on a
// worker. Each dialog adds what its OK does.

#include <QDialog>

#include "data/SpreadsheetWriter.h"
#include "data/dialogs/SpreadsheetColumns.h"

class ColumnChoiceModel;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QTableView;
class QVBoxLayout;

class SpreadsheetColumnDialog : public QDialog {
  Q_OBJECT

 public:
  // Loads the workbook at `path` and runs the dialog modally; when it
  // returns, OK has done its work or Cancel left everything as it was. A file
  // that cannot be read as a workbook (SpreadsheetWriter::unreadable) is
  // named with the reason instead, and the dialog is not shown: false then
  // (an empty path opens it empty).
  bool Open_excel_Wnd(const QString& path);

  void OKPressed();
  void CancelPressed();
  // Escape and the window's close button answer as Cancel does.
  void reject() override { CancelPressed(); }
  void Select_ALL_Pressed();
  void Clear_All_Pressed();
  // Reads the column titles of the sheet chosen in the sheet box.
  void sheetChanged(int index);
  // Whether at least one column is chosen.
  bool Check_For_One_Extension_Selection() const;

  // Controls.
  QLineEdit* file_path = nullptr;
  QCheckBox* contains_header = nullptr;
  QComboBox* Sheet_ComboBox = nullptr;
  QTableView* ColList = nullptr;
  ColumnChoiceModel* ListData_xl = nullptr;
  // The sheet data last read.
  xlsx::SheetTable excel_content;

 protected:
  SpreadsheetColumnDialog(const QString& title, bool withSeriesNames, QWidget* parent);
  // The place below the column list where a dialog adds its own controls.
  QVBoxLayout* extraArea() const { return extra_; }
  // Resets the dialog's own controls at each opening.
  virtual void resetOwnControls() {}
  // The dialog's own checks on OK; false keeps it open.
  virtual bool ownChecks() { return true; }
  // The work of OK, once a column is chosen.
  virtual void runChosenColumns() = 0;
  // Every row of the chosen sheet, read on a worker (empty when it gives none).
  xlsx::SheetTable readAllRows();
  QList<spreadsheet_columns::ColumnEntry> entries() const;

 private:
  // Opens the workbook and lists its sheets and the first one's columns;
  // the message naming the file when it could not be read, else "".
  QString loadWorkbook(const QString& path);

  QVBoxLayout* extra_ = nullptr;
};
