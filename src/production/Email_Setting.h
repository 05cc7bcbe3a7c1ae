#pragma once
// Email_Setting: the modal dialog of the mail account. It loads and saves
// the mail settings file, checks the fields and sends a test mail.

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <memory>

#include "production/MailScript.h"

class Email_Setting : public QDialog {
  Q_OBJECT

 public:
  // The single instance, made on first use on the GUI thread.
  static Email_Setting& defaultInstance();

  // Fills the fields from the settings file and runs the dialog modally
  // (through the message host): 1 after Save, 0 after Close.
  int Open_Wnd();
  void loadPreferences();
  // Stores the fields as typed; false when the file could not be written.
  bool flushPreferences();
  // The field checks; `testMail` adds the recipient checks.
  bool Check_Validation(bool testMail);

  // Actions.
  void Save_Button();
  void Close_Button();
  void Reset_Button();
  void Send_Test_Email();
  void SSL_Selected();
  void TLS_Selected();

  static bool isValidEmail(const QString& address);
  void Show_Create_Modeless();
  void Hide_Destroy_Modeless();

  // The way mails leave (the mail script unless a test sets another).
  void setTransport(std::unique_ptr<production::MailTransport> transport);

  // The controls.
  QLineEdit* _send_mail_to = nullptr;
  QLineEdit* _send_mail_sender_mail = nullptr;
  QLineEdit* _send_mail_smtp = nullptr;
  QLineEdit* _send_mail_port = nullptr;
  QLineEdit* _send_mail_password = nullptr;
  QLabel* _send_mail_result_status = nullptr;
  QRadioButton* _send_mail_ssl = nullptr;
  QRadioButton* _send_mail_tls = nullptr;
  QLabel* plz_wait_Window = nullptr;

 private:
  explicit Email_Setting(QWidget* parent = nullptr);
  QString sslFlag() const;
  bool fail(const QString& message, QLineEdit* field);

  std::unique_ptr<production::MailTransport> transport_;
};
