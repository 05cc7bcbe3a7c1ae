#pragma once
// The series viewer: the values of one data series, read only, in a table
// with their count, so that the user can check a series before binding a
// card object to it. Row i is the value card i shows, an empty one included,
// so that each value stands beside the number of its card.
//
// Callers with a series box (the barcode designer, the data-source panel,
// the user-profile windows) call defaultInstance().Open_Wnd(chosenName).

#include <QDialog>

class QLabel;
class QLineEdit;
class QTableView;
class ValueListModel;

class View_Data_Series : public QDialog {
  Q_OBJECT

 public:
  // The single instance, made on first use on the GUI thread.
  static View_Data_Series& defaultInstance();

  // Shows the series chosen in a series box: the name is trimmed, an empty
  // one gets "Please select the series." and opens nothing; otherwise as Open_Wnd().
  void Open_Wnd(const QString& chosenName);
  // Loads the series named by file_name (used as it is) and runs the viewer
  // modally; returns when the user closes it.
  void Open_Wnd();
  // The only action: ends the modal run with code 1.
  void OK_Btn_Clicked();
  // Reloads the table and shows the count ("Total Rows : %d").
  void Update_batch_List_Count();

  // Set by the caller before Open_Wnd().
  QString file_name;

  // Controls.
  QLineEdit* series_name = nullptr;
  QTableView* List = nullptr;
  QLabel* list_count = nullptr;
  ValueListModel* ListData = nullptr;

 private:
  explicit View_Data_Series(QWidget* parent = nullptr);
};
