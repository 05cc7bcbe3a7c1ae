#pragma once
// Send_Mail: the mail dialog. The user enters recipients, subject and
// message, chooses the card (front, back or both, optionally filled from
// data rows) or a file of his own, and an optional pause; Send starts the
// mail run on a worker thread while the progress panel shows the count.

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <atomic>
#include <memory>
#include <thread>

#include "production/MailRun.h"

class Send_Modeless;

class Send_Mail : public QDialog {
  Q_OBJECT

 public:
  // The single instance, made on first use on the GUI thread.
  static Send_Mail& defaultInstance();
  ~Send_Mail() override;

  // Resets the controls and runs the dialog modally (through the message host).
  int Open_Wnd();

  // Actions.
  void Setting_Button();
  void browse_att_Button();
  void clear_att_Button();
  // Starts the run on a worker thread with the values shown now and returns.
  void Send_Button();
  void Close_Button();
  void Without_barcode_rd_select();
  void send_barcode_rd_select();
  void send_with_batch_chk_select();
  void send_with_excel_chk_select();
  void all_rd_select();
  void obo_rd_select();
  void delayed_delv_chk_select();
  void mail_card_side_CellClick(int row);

  static bool isValidEmail(const QString& address) { return production::isValidEmail(address); }

  // The values of the controls as the run takes them.
  production::MailRunRequest currentRequest() const;

  // Hooks of the main window and of tests.
  void setCardSource(production::MailCardSource* cards) { cards_ = cards; }
  void setTransport(std::unique_ptr<production::MailTransport> transport);
  // True while a run is under way.
  bool isSending() const { return running_.load(); }
  // Waits (serving events) until the run has ended; false on time-out.
  bool waitForRun(int timeoutMs);

  // The controls.
  QLineEdit* from_txt = nullptr;
  QLineEdit* to_txt = nullptr;
  QString card_side_str = QStringLiteral("F");
  QButtonGroup* matrix_card_side = nullptr;  // ids 0 "BOTH", 1 "F", 2 "B"
  QRadioButton* rd_without_barcode = nullptr;
  QRadioButton* rd_mail_curr_barcode = nullptr;
  QGroupBox* send_sett_box = nullptr;
  QGroupBox* delayed_box = nullptr;
  QLineEdit* file_name_txt = nullptr;
  QCheckBox* send_with_batch_chk = nullptr;
  QCheckBox* send_with_excel_chk = nullptr;
  QRadioButton* rd_all_to_every = nullptr;
  QRadioButton* rd_one_per_recp = nullptr;
  QCheckBox* delayed_delv_chk = nullptr;
  QSpinBox* mail_count_stepper = nullptr;  // field and stepper in one
  QSpinBox* hour_stepper = nullptr;
  QSpinBox* min_stepper = nullptr;
  QSpinBox* sec_stepper = nullptr;
  QLineEdit* subject_txt = nullptr;
  QPlainTextEdit* message_txt = nullptr;
  QLineEdit* attachment = nullptr;
  QPushButton* browse_att = nullptr;
  QPushButton* clear_att = nullptr;
  Send_Modeless* send_modls_wnd = nullptr;

 private:
  explicit Send_Mail(QWidget* parent = nullptr);
  void resetControls();
  // The worker; it gets the card source as it was at Send, never reading
  // the dialog's members while the GUI thread may change them.
  void Send_Mail_Thread(production::MailRunRequest request, production::MailTransport& transport,
                        production::MailCardSource* cards);
  void joinWorker();

  production::MailCardSource* cards_ = nullptr;
  std::shared_ptr<production::MailTransport> transport_;
  std::thread worker_;
  std::atomic<bool> running_{false};
};
