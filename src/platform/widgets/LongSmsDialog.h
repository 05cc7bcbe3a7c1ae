#pragma once
// Long_SMS_Dlg: the modal box for texts too long for an alert.
//
// Information box: set Cutom_Msg_Title and Cutom_Msg_Val (globals.h), then
// call Open_Long_sms_Dialog(); one OK button.
// Question box: set title_val (non-null), msg_val_str and apply_chk_show on
// defaultInstance(), then call Open_Long_sms_Dialog(): 1 for Yes, 0 for No;
// Msg_Apply_All_Chk then holds the apply-to-all box when Yes was pressed.
// The question set-up holds for the one opening that follows it.

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QString>

class Long_SMS_Dlg : public QDialog {
  Q_OBJECT

 public:
  // The single instance, made on first use (first use on the GUI thread).
  static Long_SMS_Dlg& defaultInstance();

  // Set by callers before opening a question box.
  QString title_val;  // null: information box
  QString msg_val_str;
  bool apply_chk_show = false;

  // Shows the box modally (through the message host): 1 OK/Yes, 0 No/Cancel.
  // Any thread: a worker waits while the box is shown on the GUI thread.
  int Open_Long_sms_Dialog();

  // The buttons' actions.
  void OKPressed();
  void CancelPressed();

  // The controls.
  QLabel* _Msg_Title = nullptr;
  QPlainTextEdit* _Msg_Val = nullptr;
  QCheckBox* apply_chk = nullptr;
  QPushButton* yes_button = nullptr;
  QPushButton* no_button = nullptr;

 private:
  explicit Long_SMS_Dlg(QWidget* parent = nullptr);
  // The question set-up holds for one opening only.
  void useUpQuestion();
};
