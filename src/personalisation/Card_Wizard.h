#pragma once
// The card size dialog: named size presets (PVC cards, paper name badges)
// in either orientation, the width and height in millimetres, and the card
// outline. OK resizes the card; Cancel leaves size and outline as they were.

#include <QDialog>

class QButtonGroup;
class QComboBox;
class QDoubleSpinBox;
class QListWidget;
class QPushButton;
class QRadioButton;

// Millimetres to points, worked in double precision and held in single.
float Card_MM_To_Points(float millimetres);

class Card_Wizard : public QDialog {
  Q_OBJECT
 public:
  static Card_Wizard& defaultInstance();

  // Shows the PVC presets with the first selected and the card's current
  // outline, runs the dialog modally: 1 after OK, 0 after Cancel.
  int Open_Wnd();

  void OK_Click();
  void CancelClick();
  // Escape and the window's close button answer as Cancel does.
  void reject() override { CancelClick(); }
  void card_shape_CellClick(int row);
  void User_Profile_Click();
  // The category or the orientation changed: the list shows the category's
  // presets with row 0 selected, and the fields its size.
  void Category_Changed();
  // A preset row was chosen: its size into the fields.
  void Row_Selected(int row);

  QComboBox* Preset_ComboBox = nullptr;    // "Horizontal", "Vertical"
  QComboBox* Category_ComboBox = nullptr;  // "PVC Card", "Paper Card"
  QListWidget* ColList = nullptr;
  QDoubleSpinBox* width_Stepper = nullptr;
  QDoubleSpinBox* height_Stepper = nullptr;
  QRadioButton* shape_rows[3] = {nullptr, nullptr, nullptr};
  QButtonGroup* matrix_card_shape = nullptr;
  QPushButton *profile_btn = nullptr, *ok_btn = nullptr, *cancel_btn = nullptr;

 private:
  explicit Card_Wizard(QWidget* parent = nullptr);
  int shapeAtOpening_ = 0;
};
