#pragma once
// Email_Setting: the modal dialog of the mail account. It loads and saves
// the mail settings file, checks the fields and sends a test mail. The test
// mail goes out on a worker thread: the dialog shows it is sending, offers
// Stop, and closing the dialog ends the mail under way.

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "platform/widgets/WrappingLabel.h"
#include "production/TestMailSender.h"

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
  // Starts the test mail and returns; the outcome is shown when it ends.
  void Send_Test_Email();
  // Ends the test mail under way; the status then says it was stopped.
  void Stop_Test_Email();
  void SSL_Selected();
  void TLS_Selected();

  static bool isValidEmail(const QString& address);
  void Show_Create_Modeless();
  void Hide_Destroy_Modeless();

  // The way each test mail leaves (the mail script unless a test sets
  // another; an empty factory restores it).
  void setTransportFactory(production::TestMailSender::TransportFactory make);
  // From Send_Test_Email until its outcome is shown.
  bool isSendingTestMail() const { return testMail_.isSending(); }

  // A test mail still under way ends before the dialog closes.
  void done(int result) override;

  // The controls.
  QLineEdit* _send_mail_to = nullptr;
  QLineEdit* _send_mail_sender_mail = nullptr;
  QLineEdit* _send_mail_smtp = nullptr;
  QLineEdit* _send_mail_port = nullptr;
  QLineEdit* _send_mail_password = nullptr;
  // The outcome of the test mail; a long address wraps within the screen.
  platform::WrappingLabel* _send_mail_result_status = nullptr;
  QRadioButton* _send_mail_ssl = nullptr;
  QRadioButton* _send_mail_tls = nullptr;
  // The sending state: "Sending test mail..." (then the wait for the
  // server's answer) and Stop.
  QWidget* plz_wait_Window = nullptr;
  QPushButton* _send_test_mail = nullptr;
  QPushButton* _stop_test_mail = nullptr;

 private:
  explicit Email_Setting(QWidget* parent = nullptr);
  QString sslFlag() const;
  bool fail(const QString& message, QLineEdit* field);
  void testMailEnded(production::TestMailSender::Outcome outcome);
  // Shows the outcome of the test mail, the window as high as the text needs.
  void showStatus(const QString& text);

  // What cannot be used while the test mail is under way.
  QList<QWidget*> lockedWhileSending_;
  platform::WrappingLabel* waitText_ = nullptr;
  QString testRecipient_;
  production::TestMailSender testMail_;
};
