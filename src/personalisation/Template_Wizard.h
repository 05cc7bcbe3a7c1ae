#pragma once
// The template browser: the shipped and the user's templates as thumbnails.
// OK chooses one (Selected_Template_Path then names its design file); in
// the user category templates can also be copied, renamed and deleted.

#include <QDialog>

#include "personalisation/TemplateStore.h"

class PictureBrowser;
class QComboBox;
class QPushButton;
class QSlider;

class Template_Wizard : public QDialog {
  Q_OBJECT
 public:
  static Template_Wizard& defaultInstance();

  // Shows the shipped templates with the first selected and runs the
  // browser modally: 1 when a template was chosen, 0 otherwise.
  int Open_Template_Window();

  void OK_Click();
  void CancelClick();
  void Delete_Template_Click();
  void Copy_Templatee_Click();
  void Rename_Template_Click();
  void User_Profile_Click();
  void zoomSliderDidChange(int value);
  // Category 0 shipped, 1 the user's.
  void categoryChanged(int index);
  void Fill_Templates();
  void Fill_Templates_User_Defined();
  void Show_Hide_Template_Buttons(bool hide);

  QComboBox* cat_cmbo_bx = nullptr;
  PictureBrowser* imageBrowser = nullptr;
  QSlider* _zoom_slider = nullptr;
  QPushButton *Delete_temp_btn = nullptr, *Copy_temp_btn = nullptr, *Rename_temp_btn = nullptr,
              *profile_btn = nullptr, *ok_btn = nullptr, *cancel_btn = nullptr;

 protected:
  void reject() override { CancelClick(); }

 private:
  explicit Template_Wizard(QWidget* parent = nullptr);
  void fill(const QString& folder, bool user);
  // The selected template's preview, or "" when nothing is selected ("Please
  // select template.") or, with `readable`, when its picture cannot be read
  // (named with the reason).
  QString checkedChoice(bool readable);
  // Checks the choice (a user template), asks, makes the change, tells of a
  // failure and lists the user templates again.
  void askAndChange(const QString& question, const QString& failure,
                    templates::Outcome (*change)(const QString&), bool readable);
};
