#pragma once
// The list import wizard: values from a spreadsheet, a text, rich-text or
// CSV file, pasted text or a picture folder. With file_name_required set to
// 1 the values become a series file under the name typed for the source;
// otherwise they go to the series manager's value list. file_name_Insert set
// to 1 refreshes the manager's series list afterwards.

#include <QDialog>

class QLineEdit;
class SeriesValues;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

class Import_Wizard : public QDialog {
  Q_OBJECT

 public:
  // The single instance, made on first use on the GUI thread.
  static Import_Wizard& defaultInstance();

  // Resets the dialog and runs it modally.
  void Open_Wnd();

  // Source actions (0 spreadsheet, 1 text file, 2 pasted text, 3 picture folder).
  void Excel_RD_Pressed();
  void Text_RD_Pressed();
  void Manual_RD_Pressed();
  void Image_RD_Pressed();
  // Browse actions: a choice in the panel runs OK at once.
  void Browse_Excel_Pressed();
  void Browse_Text_Pressed();
  void Browse_Image_Pressed();
  void HelpPressed();
  void OKPressed();
  void CancelPressed() { done(0); }

  // The imports; true when the import ran and the dialog may end.
  bool Create_And_Save_Text_Data_Sheet(const QString& path);
  bool Create_And_Save_Manual_Paste_data_Sheet();
  bool Create_And_Save_Image_data_Sheet(const QString& folder);

  int import_option = 0;
  // Set by the caller before Open_Wnd().
  int file_name_required = 0;
  int file_name_Insert = 0;

  // Controls.
  QRadioButton* Excel_RD = nullptr;
  QRadioButton* Text_RD = nullptr;
  QRadioButton* Mnul_RD = nullptr;
  QRadioButton* Image_RD = nullptr;
  QLineEdit* Excel_path = nullptr;
  QPushButton* Excel_btn = nullptr;
  QLineEdit* Text_file_name = nullptr;
  QLineEdit* Text_path = nullptr;
  QPushButton* Text_btn = nullptr;
  QPlainTextEdit* ManualEdit = nullptr;
  QLineEdit* Manual_file_name = nullptr;
  QLineEdit* Image_file_name = nullptr;
  QLineEdit* Image_path = nullptr;
  QPushButton* Image_btn = nullptr;

 private:
  explicit Import_Wizard(QWidget* parent = nullptr);
  void chooseSource(int option);
  // Writes the values under the typed name, or hands them to the manager;
  // refuses values over their limit.
  bool deliver(const QString& typedName, const SeriesValues& values);
  void afterImport();
};
