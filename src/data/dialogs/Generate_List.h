#pragma once
// The series generator: consecutive numbers with a prefix and a suffix, one
// value repeated, or random numbers of a chosen number of digits. With
// file_name_required set to 1 the values become a series file under the name
// typed in the dialog; otherwise they go to the series manager's value list.
// file_name_Insert set to 1 refreshes the manager's series list afterwards.

#include <QDialog>

#include "data/dialogs/SeriesGenerator.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

class Generate_List : public QDialog {
  Q_OBJECT

 public:
  // The single instance, made on first use on the GUI thread.
  static Generate_List& defaultInstance();

  // Resets the fields and runs the generator modally.
  void Open_Wnd();

  // Actions.
  void Sequintial_Radio_Pressed();
  void Constant_Radio_Pressed();
  void Random_Radio_Pressed();
  void OKPressed();
  void CancelPressed() { done(0); }
  void Help_btn_Pressed();

  // The fields as the generator reads them.
  series_generator::GeneratorInput input() const;

  // Set by the caller before Open_Wnd().
  int file_name_required = 0;
  int file_name_Insert = 0;

  // Controls.
  QRadioButton* radioButton_Sequntial = nullptr;
  QRadioButton* radioButton_Constant = nullptr;
  QRadioButton* radioButton_Random = nullptr;
  QLineEdit* prefix_txt = nullptr;
  QLineEdit* suffix_txt = nullptr;
  QLineEdit* from_txt = nullptr;
  QLineEdit* to_txt = nullptr;
  QLineEdit* value_txt = nullptr;
  QLineEdit* count_txt = nullptr;
  QSpinBox* count_stepper = nullptr;
  QLineEdit* rand_prefix_txt = nullptr;
  QLineEdit* rand_suffix_txt = nullptr;
  QLineEdit* rand_length_txt = nullptr;
  QSpinBox* rand_length_stepper = nullptr;
  QLineEdit* rand_count_txt = nullptr;
  QSpinBox* rand_count_stepper = nullptr;
  QCheckBox* manage_digit_chk = nullptr;
  QPushButton* help_btn = nullptr;
  QLineEdit* seq_file_name = nullptr;
  QLineEdit* const_file_name = nullptr;
  QLineEdit* rndm_file_name = nullptr;

 private:
  explicit Generate_List(QWidget* parent = nullptr);
  void switchMode(series_generator::Mode mode);
  // Keeps a count or length field and its stepper equal while the user types or steps.
  void pairFieldWithStepper(QLineEdit* field, QSpinBox* stepper, QString (*clamp)(const QString&));
  QLineEdit* fieldOf(series_generator::Field field) const;
  QList<QWidget*> nameFields() const;
};
