#pragma once
// The profile dialogs: the eleven profile fields, each typed by hand or
// taken from a data series or a column of the spreadsheet data-source
// table, stored into the profile records on OK and previewed on the temp
// side. Show_User_Profile serves one side and opens from that side's
// profile objects; User_profile serves both sides and opens with empty
// fields, with a side choice per field. Both show the design's workbook.

#include <QDialog>
#include <QImage>
#include <array>
#include <optional>

#include "core/SKTGraphic.h"
#include "personalisation/ProfileSources.h"
#include "personalisation/User_Profile_Class.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class ProfileDialog : public QDialog {
  Q_OBJECT
 public:
  struct Row {
    QLabel* label = nullptr;          // caption
    QLineEdit* value = nullptr;       // text rows; the photo row's path field
    QComboBox* ds_combo = nullptr;    // Manual, Series (and Excel while the table has rows)
    QComboBox* ser_col_cb = nullptr;  // series names or column titles
    QPushButton* view_btn = nullptr;
    QComboBox* side_combo = nullptr;  // general dialog only
  };

  // Prepares the dialog (from the current side's profile objects when `load`
  // is set, else empty; the path field shows the design's workbook either
  // way) and runs it modally: 1 after OK, 0 after Cancel.
  int Open_Wnd(bool load);

  void Reset_all_Ctrl();
  // True when every field with the source Series or Excel has a list item
  // chosen; otherwise checked_field_name names the first that has none.
  bool Check_Validation();
  bool Fill_Front_User_profile_value_in_Variable();
  bool Fill_Back_User_profile_value_in_Variable();
  bool Fill_TEMP_User_profile_value_in_Variable();

  void OK_Btn_Clicked();
  void Cancel_Btn_Clicked();
  void Reset_Btn_Clicked() { Reset_all_Ctrl(); }
  void Preview_Btn_Clicked();
  void Browse_excel_Btn_Clicked();
  void View_Excel_Btn_Clicked();
  void Browse_image_Btn_Clicked();
  void Clear_image_Btn_Clicked();
  void Set_User_Image(const QString& path);
  void Add_Excel_in_Data_Source_Combo();
  void Remove_Excel_in_Data_Source_Combo();
  void View_Data_Series_By_Name(int row);

  // Reactions to the combos of a row.
  void sourceChanged(int row);
  void listChanged(int row);
  // Shows again what card 1 takes from each row's series or column, and the
  // preview with it, after the data changed under the window (a corrected
  // cell, a series rewritten, another workbook).
  void showCurrentSourceValues();

  bool isGeneral() const { return general_; }
  // The side code set by the opener: "F", "B" or "".
  QString load_side;
  QString checked_field_name;
  SKTGraphicList Graphics_array;

  std::array<Row, kUserProfileFieldCount> rows;
  QLabel* user_picture = nullptr;
  QPushButton *browse_pic_btn = nullptr, *clear_pic_btn = nullptr;
  QLineEdit* excel_path_field = nullptr;
  QLabel* Preivew_picture = nullptr;
  QLabel* Template_picture = nullptr;  // general dialog: the side as it was at opening
  QLabel* select_side_label = nullptr;
  QPushButton *excel_browse_btn = nullptr, *view_excel_btn = nullptr, *batch_series_btn = nullptr,
              *help_btn = nullptr, *reset_btn = nullptr, *preview_btn = nullptr, *ok_btn = nullptr,
              *cancel_btn = nullptr;
  // The last preview picture (for tests and the preview view).
  QImage previewImage;

 protected:
  ProfileDialog(bool general, QWidget* parent);
  void reject() override { Cancel_Btn_Clicked(); }

 private:
  void build();
  bool store(User_Profile_Class& profile, bool frontOrBack);
  void loadFromSide(const SKTGraphicList& graphics);
  void setRowValue(int row, const QString& value);
  void showPicture(QLabel* view, const QImage& image);
  void Create_and_Set_Preview_picture();
  void showProfilePreview();

  bool general_;
  bool profilePreview_ = false;  // the preview shows the profile filled in (Preview)
  // The design's spreadsheet binding while a run lasts, as it was when the
  // run began: Cancel, Escape and the close button put it back.
  std::optional<SpreadsheetBinding> bindingAtOpening_;
};

class Show_User_Profile : public ProfileDialog {
  Q_OBJECT
 public:
  static Show_User_Profile& defaultInstance();

 private:
  Show_User_Profile() : ProfileDialog(false, nullptr) {}
};

class User_profile : public ProfileDialog {
  Q_OBJECT
 public:
  static User_profile& defaultInstance();

 private:
  User_profile() : ProfileDialog(true, nullptr) {}
};

// Runs the per-side dialog (side "F" or "B") or the general one (side ""):
// what the main window's profile host does for Run_User_Profile_Dialog.
int Run_Profile_Dialog(const QString& load_side, bool load);
