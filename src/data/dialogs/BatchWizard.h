#pragma once
// The data series manager ("Batch Processing Series"): a list screen with
// every series of the series folder, and an editor screen in which one list
// of values is opened, edited row by row, filled from the generator or the
// import dialogs, saved as a series and exported to xlsx or text. Both
// screens share one window; the other hides.
//
// Row i of an opened series is the value card i shows, an empty value
// included: the editor keeps empty values in their places and a save writes
// them back there, so that no later card takes another card's value.
//
// The generator and the import dialogs feed the editor's value list through
// Create_Value_List()/appendValues() (the spreadsheet picker through
// appendCardValues(), which keeps empty cells in their rows) and refresh the
// series list with Fill_List() when the manager opened them.

#include <QDialog>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QTableView;
class ValueListModel;

// The clear-or-append question asked before new values come into a list
// that holds some: 1 clear first, 0 append, 2 cancel. Escape and the window's
// close button cancel; only the No button appends.
class Load_Num_Info : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kCancelled = 2;
  explicit Load_Num_Info(QWidget* parent = nullptr);
  void YESPressed() { done(1); }
  void NOPressed() { done(0); }
  void CancelPressed() { done(kCancelled); }
  void reject() override { CancelPressed(); }
};

// The sheet that edits one value of the list.
class Update_Ex_Num : public QDialog {
  Q_OBJECT
 public:
  explicit Update_Ex_Num(QWidget* parent = nullptr);
  void OKPressed();
  void CancelPressed();
  void reject() override { CancelPressed(); }  // Escape, the close button

  QLineEdit* m_ex_num_str = nullptr;  // the value being edited
  QString m_s_number;                 // the value as it was when the sheet opened
  int m_ex_num_index = -1;            // its row
  ValueListModel* values = nullptr;   // the list it edits
};

class BatchWizard : public QDialog {
  Q_OBJECT

 public:
  // The single instance, made on first use on the GUI thread.
  static BatchWizard& defaultInstance();

  // Opens the manager on its list screen and runs it modally.
  void Open_Wnd();

  // Used by the dialogs that feed or refresh the manager.
  // Appends the trimmed value to the editor's list; empty values are dropped.
  void Create_Value_List(const QString& value);
  // The same for many values at once (one table update).
  void appendValues(const QStringList& values);
  // Appends one value per card, trimmed, an empty one kept in its row: the
  // cells of a spreadsheet column, whose row i is card i.
  void appendCardValues(const QStringList& values);
  // Refills the series list from the series folder.
  void Fill_List();

  // Actions of the list screen.
  void AddNew_Btn_Clicked();
  void Update_Btn_Clicked() { On_Update(); }
  void Delete_List_Btn_Clicked();
  void Import_Btn_Clicked();
  void CreateSeries_Btn_Clicked();
  void Help_Btn_Clicked();
  void Close_Btn_Clicked() { done(0); }
  // Actions of the editor screen.
  void Import_Value_Btn_Clicked();
  void Series_Value_Btn_Clicked();
  void Delete_Rows_Btn_Clicked();
  void Export_Value_Btn_Clicked();
  void Save_Btn_Clicked();
  void Back_Btn_Clicked();
  // A double click: opens a series from the series table, edits a value in the value table.
  void doubleClickInTable(QTableView* table);

  // Steps the actions share.
  void Show_hide_first_screen(bool hide);
  void Show_hide_Last_screen(bool hide);
  bool Batch_List_Selection_Validation();
  void On_Update();
  void OnGetSelected();
  void Update_batch_List_Count();
  void Update_Value_List_Count();
  void Mark_List_New_Selection(int row);
  void Mark_List_New_Selection_Value(int row);
  // The export-finished box; OK with its box ticked opens the exported file.
  void Open_Export_File_Box(const QString& path, const QString& message);

  // Controls.
  QTableView* List = nullptr;
  ValueListModel* ListData = nullptr;
  QTableView* List_value = nullptr;
  ValueListModel* ListData_value = nullptr;
  QLineEdit* batch_list_name = nullptr;
  QLabel* batch_list_count = nullptr;
  QLabel* batch_value_count = nullptr;
  QGroupBox* avl_list_box = nullptr;
  QGroupBox* list_value_box = nullptr;
  QWidget* btn_box1 = nullptr;
  QWidget* btn_box2 = nullptr;
  QComboBox* Save_Ext_ComboBox = nullptr;  // export format: "xlsx" or "txt"
  Load_Num_Info* Load_Number_Window = nullptr;
  Update_Ex_Num* Update_Value_Wnd = nullptr;
  // The name under which the series in the editor was opened; "" for a new list.
  QString update_list_name;

 private:
  explicit BatchWizard(QWidget* parent = nullptr);
  // The clear-or-append question; false when the user cancelled.
  bool prepareForNewValues();
  QList<int> selectedRows(QTableView* table) const;
  void appendTrimmed(const QStringList& values, bool keepEmpty);
};

// The manager, for the dialogs that feed it (null before it is first made).
extern BatchWizard* BatchWizard_Window;
