#pragma once
// The window of the spreadsheet data-source table: the rows of the chosen
// spreadsheet columns that card objects are bound to, with the number of rows
// and of table columns (the row-number column counted). A cell can be
// corrected in place; the table keeps it until the next fill or design load.
//
// Opened by the View buttons of the data-source tab, the barcode designer and
// the user-profile windows while the spreadsheet is their source.

#include <QDialog>

class QLabel;
class QTableView;

class Data_From_Excel : public QDialog {
  Q_OBJECT

 public:
  // The single instance, made on first use on the GUI thread.
  static Data_From_Excel& defaultInstance();

  // Shows the counts and runs the window modally; the modal code (1 for OK),
  // 0 after a failure, which is logged.
  int Open_Wnd();
  // Ends the modal run with code 1.
  void OK_Click();

  // Controls.
  QTableView* ColList = nullptr;
  QLabel* rows_count = nullptr;
  QLabel* column_count = nullptr;

 private:
  explicit Data_From_Excel(QWidget* parent = nullptr);
};
