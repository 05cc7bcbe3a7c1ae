#include "production/Send_Mail.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QThread>
#include <QVBoxLayout>
#include <limits>

#include "data/dialogs/DialogParts.h"
#include "platform/MessageHost.h"
#include "platform/Messages.h"
#include "platform/StringHelpers.h"
#include "platform/widgets/AccessibleNames.h"
#include "platform/widgets/Controls.h"
#include "platform/widgets/DialogLook.h"
#include "platform/widgets/DialogSingleton.h"
#include "production/Email_Setting.h"
#include "production/Preferences.h"
#include "production/Send_Modeless.h"
#include "production/globals.h"

using production::MailRunRequest;

namespace {

// The longest text a line edit can hold.
constexpr int kWholeField = std::numeric_limits<int>::max();

QSpinBox* stepper(QWidget* parent, int max) {
  auto* box = new QSpinBox(parent);
  box->setRange(0, max);
  return box;
}

// The progress panel's side of a run, carried out on the GUI thread.
class PanelObserver : public production::MailRunObserver {
 public:
  explicit PanelObserver(Send_Mail& dialog) : dialog_(dialog) {}
  void runStarted(int itemCount) override {
    platform::runOnGuiThread([this, itemCount] {
      auto* panel = dialog_.send_modls_wnd;
      panel->beginRun(itemCount, QStringLiteral("%1 / %2").arg(0).arg(itemCount));
      panel->setWindowTitle(QStringLiteral("Sending E-mail"));
      panel->showOver(&dialog_);
    });
  }
  void pauseTextChanged(const QString& text) override {
    platform::runOnGuiThread([this, text] { dialog_.send_modls_wnd->pause_label->setText(text); });
  }
  // The wait for the server's answer shows where the pause does (they never
  // come together); Stop stays available.
  void waitTextChanged(const QString& text) override { pauseTextChanged(text); }
  void runFinished() override {
    platform::runOnGuiThread([this] { dialog_.send_modls_wnd->endRun(); });
  }

 private:
  Send_Mail& dialog_;
};

}  // namespace

Send_Mail& Send_Mail::defaultInstance() {
  return platform::dialogSingleton<Send_Mail>([] { return new Send_Mail(); });
}

Send_Mail::Send_Mail(QWidget* parent)
    : QDialog(parent), transport_(std::make_shared<production::MailScript>()) {
  setModal(true);
  setWindowTitle(QStringLiteral("Send E-mail"));
  platform::applyDialogLook(*this);
  send_modls_wnd = &Send_Modeless::defaultInstance();

  from_txt = new QLineEdit(this);
  from_txt->setReadOnly(true);
  to_txt = new QLineEdit(this);
  subject_txt = new QLineEdit(this);
  // A line edit keeps 32,767 characters unless told otherwise, and cuts what
  // is pasted beyond without a word: a list of a thousand recipients would
  // lose its last ones (and the cut one would go to another domain).
  for (QLineEdit* field : {from_txt, to_txt, subject_txt}) field->setMaxLength(kWholeField);
  message_txt = new QPlainTextEdit(this);
  // Tab goes on to the next control, as in the other fields; otherwise a
  // keyboard user could not get past the message to Send.
  message_txt->setTabChangesFocus(true);
  auto* settings = new QPushButton(QStringLiteral("Settings..."), this);

  rd_mail_curr_barcode = new QRadioButton(QStringLiteral("Send card"), this);
  rd_without_barcode = new QRadioButton(QStringLiteral("Send without card"), this);
  oneChoice({rd_mail_curr_barcode, rd_without_barcode});

  send_sett_box = new QGroupBox(QStringLiteral("Card"), this);
  matrix_card_side = new QButtonGroup(this);
  auto* both = new QRadioButton(QStringLiteral("Both sides"), send_sett_box);
  auto* front = new QRadioButton(QStringLiteral("Front"), send_sett_box);
  auto* back = new QRadioButton(QStringLiteral("Back"), send_sett_box);
  matrix_card_side->addButton(both, 0);
  matrix_card_side->addButton(front, 1);
  matrix_card_side->addButton(back, 2);
  file_name_txt = new QLineEdit(send_sett_box);
  send_with_batch_chk = new QCheckBox(QStringLiteral("Data series"), send_sett_box);
  send_with_excel_chk = new QCheckBox(QStringLiteral("Spreadsheet"), send_sett_box);
  rd_all_to_every = new QRadioButton(QStringLiteral("Every card to every recipient"), send_sett_box);
  rd_one_per_recp = new QRadioButton(QStringLiteral("One card per recipient"), send_sett_box);
  oneChoice({rd_all_to_every, rd_one_per_recp});
  auto* cardLayout = new QGridLayout(send_sett_box);
  cardLayout->addWidget(both, 0, 0);
  cardLayout->addWidget(front, 0, 1);
  cardLayout->addWidget(back, 0, 2);
  cardLayout->addWidget(new QLabel(QStringLiteral("File name:"), send_sett_box), 1, 0);
  cardLayout->addWidget(file_name_txt, 1, 1, 1, 2);
  cardLayout->addWidget(send_with_batch_chk, 2, 0);
  cardLayout->addWidget(send_with_excel_chk, 2, 1);
  cardLayout->addWidget(rd_all_to_every, 3, 0, 1, 2);
  cardLayout->addWidget(rd_one_per_recp, 3, 2);

  attachment = new QLineEdit(this);
  browse_att = new QPushButton(QStringLiteral("Browse..."), this);
  clear_att = new QPushButton(QStringLiteral("Clear"), this);

  delayed_delv_chk = new QCheckBox(QStringLiteral("Pause after every"), this);
  delayed_box = new QGroupBox(this);
  mail_count_stepper = stepper(delayed_box, 100000);
  mail_count_stepper->setMinimum(1);
  hour_stepper = stepper(delayed_box, 23);
  min_stepper = stepper(delayed_box, 59);
  sec_stepper = stepper(delayed_box, 59);
  auto* pauseLayout = new QHBoxLayout(delayed_box);
  pauseLayout->addWidget(mail_count_stepper);
  pauseLayout->addWidget(new QLabel(QStringLiteral("mails for"), delayed_box));
  pauseLayout->addWidget(hour_stepper);
  pauseLayout->addWidget(new QLabel(QStringLiteral("h"), delayed_box));
  pauseLayout->addWidget(min_stepper);
  pauseLayout->addWidget(new QLabel(QStringLiteral("min"), delayed_box));
  pauseLayout->addWidget(sec_stepper);
  pauseLayout->addWidget(new QLabel(QStringLiteral("s"), delayed_box));

  auto* send = new QPushButton(QStringLiteral("Send"), this);
  auto* close = new QPushButton(QStringLiteral("Close"), this);
  send->setDefault(true);

  auto* form = new QFormLayout;
  auto* fromRow = new QHBoxLayout;
  fromRow->addWidget(from_txt, 1);
  fromRow->addWidget(settings);
  form->addRow(QStringLiteral("From:"), fromRow);
  form->addRow(QStringLiteral("To:"), to_txt);
  form->addRow(QStringLiteral("Subject:"), subject_txt);
  form->addRow(QStringLiteral("Message:"), message_txt);
  auto* attRow = new QHBoxLayout;
  auto* attLabel = new QLabel(QStringLiteral("Attachment:"), this);
  attLabel->setBuddy(attachment);
  attRow->addWidget(attLabel);
  attRow->addWidget(attachment, 1);
  attRow->addWidget(browse_att);
  attRow->addWidget(clear_att);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(close);
  buttons->addWidget(send);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(rd_mail_curr_barcode);
  layout->addWidget(send_sett_box);
  layout->addWidget(rd_without_barcode);
  layout->addLayout(attRow);
  layout->addWidget(delayed_delv_chk);
  layout->addWidget(delayed_box);
  layout->addLayout(buttons);

  connect(settings, &QPushButton::clicked, this, &Send_Mail::Setting_Button);
  connect(browse_att, &QPushButton::clicked, this, &Send_Mail::browse_att_Button);
  connect(clear_att, &QPushButton::clicked, this, &Send_Mail::clear_att_Button);
  connect(send, &QPushButton::clicked, this, &Send_Mail::Send_Button);
  connect(close, &QPushButton::clicked, this, &Send_Mail::Close_Button);
  onChosen(rd_without_barcode, this, [this] { Without_barcode_rd_select(); });
  onChosen(rd_mail_curr_barcode, this, [this] { send_barcode_rd_select(); });
  onToggled(send_with_batch_chk, this, [this] { send_with_batch_chk_select(); });
  onToggled(send_with_excel_chk, this, [this] { send_with_excel_chk_select(); });
  onChosen(rd_all_to_every, this, [this] { all_rd_select(); });
  onChosen(rd_one_per_recp, this, [this] { obo_rd_select(); });
  onToggled(delayed_delv_chk, this, [this] { delayed_delv_chk_select(); });
  onChosen(matrix_card_side, this, [this](int row) { mail_card_side_CellClick(row); });

  SetObjEnabled(delayed_box, false);
  file_name_txt->setAccessibleName(QStringLiteral("File name"));
  attachment->setAccessibleName(QStringLiteral("Attachment"));
  mail_count_stepper->setAccessibleName(QStringLiteral("Mails before each pause"));
  hour_stepper->setAccessibleName(QStringLiteral("Pause hours"));
  min_stepper->setAccessibleName(QStringLiteral("Pause minutes"));
  sec_stepper->setAccessibleName(QStringLiteral("Pause seconds"));
  platform::nameControlsFromLabels(*this);
  dialog_parts::tabInReadingOrder(*this);
}

Send_Mail::~Send_Mail() {
  Stop_SMS_Sending_Now.store(true);
  // A script under way could keep the program from ending for minutes.
  if (running_.load() && transport_) transport_->cancel();
  joinWorker();
}

void Send_Mail::joinWorker() {
  if (worker_.joinable()) worker_.join();
}

void Send_Mail::setTransport(std::unique_ptr<production::MailTransport> transport) {
  transport_ = std::move(transport);
}

void Send_Mail::resetControls() {
  // The dialog opens in the card mode, so the card options are usable even
  // when the last run chose the mode without card (which greyed them out).
  SetObjEnabled(send_sett_box, true);
  matrix_card_side->button(1)->setChecked(true);
  card_side_str = QStringLiteral("F");
  from_txt->setText(sender_email.get());
  to_txt->setText(QStringLiteral(""));
  rd_all_to_every->setEnabled(false);
  rd_one_per_recp->setEnabled(false);
  rd_all_to_every->setChecked(true);
  rd_one_per_recp->setChecked(false);
  rd_without_barcode->setChecked(false);
  rd_mail_curr_barcode->setChecked(true);
  file_name_txt->setText(QStringLiteral("QUVOCard"));
  showChecked(send_with_batch_chk, false);
  send_with_batch_chk->setEnabled(cards_ != nullptr && cards_->seriesRowsAvailable());
  showChecked(send_with_excel_chk, false);
  send_with_excel_chk->setEnabled(cards_ != nullptr && cards_->excelRowsAvailable());
  subject_txt->setText(QStringLiteral(""));
  message_txt->setPlainText(QStringLiteral(""));
  attachment->setText(QStringLiteral(""));
  browse_att->setEnabled(false);
  clear_att->setEnabled(false);
  showChecked(delayed_delv_chk, false);
  SetObjEnabled(delayed_box, false);
  mail_count_stepper->setValue(1);
  hour_stepper->setValue(0);
  min_stepper->setValue(0);
  sec_stepper->setValue(0);
}

int Send_Mail::Open_Wnd() {
  int result = 0;
  try {
    resetControls();
    to_txt->setFocus();  // the sender is shown, not typed
    result = platform::messageHost().runModal(*this);
    hide();
  } catch (const std::exception& e) {
    qCWarning(lcProduction).noquote() << QString::fromUtf8(e.what());
  }
  return result;
}

void Send_Mail::Setting_Button() {
  Email_Setting::defaultInstance().Open_Wnd();
  Get_Email_Details();
  from_txt->setText(sender_email.get());
}

void Send_Mail::browse_att_Button() {
  platform::FilePanelRequest request;
  request.title = QStringLiteral("Choose a file");
  const QStringList paths = platform::messageHost().openPanel(request);
  if (!paths.isEmpty()) attachment->setText(paths.first());
}

void Send_Mail::clear_att_Button() {
  attachment->setText(QStringLiteral(""));
}

MailRunRequest Send_Mail::currentRequest() const {
  MailRunRequest r;
  r.from = from_txt->text();
  r.to = to_txt->text();
  r.subject = subject_txt->text();
  r.body = message_txt->toPlainText();
  r.cardMode = rd_mail_curr_barcode->isChecked();
  r.cardSide = card_side_str;
  r.fileName = file_name_txt->text();
  r.seriesChecked = send_with_batch_chk->isChecked();
  r.excelChecked = send_with_excel_chk->isChecked();
  r.allToEvery = rd_all_to_every->isChecked();
  r.pauseOn = delayed_delv_chk->isChecked();
  r.pauseEvery = mail_count_stepper->value();
  r.pauseHours = hour_stepper->value();
  r.pauseMinutes = min_stepper->value();
  r.pauseSeconds = sec_stepper->value();
  r.attachment = attachment->text();
  return r;
}

void Send_Mail::Send_Button() {
  // One run at a time: the panel covers the dialog while a run is under way.
  if (running_.exchange(true)) return;
  joinWorker();
  // Without an account because the settings file could not be read: that
  // is the reason to give, not the settings checklist.
  const auto settings = Preferences::latest();
  if (Trim_Str(from_txt->text()).isEmpty() && settings && !settings->unreadable().isEmpty()) {
    Show_MessageBox(settings->unreadable() +
                    QStringLiteral("\nNo e-mail has been sent: enter the E-mail settings again "
                                   "under Settings... and save them."));
    running_.store(false);
    return;
  }
  // The controls are read here, on the GUI thread; the worker gets a copy,
  // and a copy of the card to render from.
  MailRunRequest request = currentRequest();
  std::shared_ptr<production::MailCardSource> snapshot;
  production::MailCardSource* cards = cards_;
  if (cards_ != nullptr && request.cardMode) {
    bool refused = false;
    snapshot = cards_->snapshotForRun(request, &refused);
    if (refused) {
      running_.store(false);
      return;
    }
    if (snapshot) cards = snapshot.get();
  }
  worker_ = std::thread([this, request, transport = transport_, snapshot, cards] {
    Send_Mail_Thread(request, *transport, cards);
  });
}

void Send_Mail::Send_Mail_Thread(MailRunRequest request, production::MailTransport& transport,
                                 production::MailCardSource* cards) {
  try {
    PanelObserver panel(*this);
    production::Send_Mail_Run run(transport, cards, &panel);
    run.run(request);
  } catch (const std::exception& e) {
    qCWarning(lcProduction).noquote() << QString::fromUtf8(e.what());
  }
  running_.store(false);
}

bool Send_Mail::waitForRun(int timeoutMs) {
  QDeadlineTimer deadline(timeoutMs);
  while (running_.load()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
  joinWorker();
  return true;
}

void Send_Mail::Close_Button() {
  done(0);
}

void Send_Mail::Without_barcode_rd_select() {
  rd_without_barcode->setChecked(true);
  rd_mail_curr_barcode->setChecked(false);
  SetObjEnabled(send_sett_box, false);
  browse_att->setEnabled(true);
  clear_att->setEnabled(true);
}

void Send_Mail::send_barcode_rd_select() {
  const bool series = cards_ != nullptr && cards_->seriesRowsAvailable();
  const bool excel = cards_ != nullptr && cards_->excelRowsAvailable();
  rd_mail_curr_barcode->setChecked(true);
  rd_without_barcode->setChecked(false);
  SetObjEnabled(send_sett_box, true);
  send_with_batch_chk->setEnabled(series);
  if (!series) showChecked(send_with_batch_chk, false);
  send_with_excel_chk->setEnabled(excel);
  if (!excel) showChecked(send_with_excel_chk, false);
  if (!send_with_batch_chk->isChecked() && !send_with_excel_chk->isChecked()) {
    rd_all_to_every->setEnabled(false);
    rd_one_per_recp->setEnabled(false);
  }
  browse_att->setEnabled(false);
  clear_att->setEnabled(false);
}

void Send_Mail::send_with_batch_chk_select() {
  const bool on = send_with_batch_chk->isChecked() || send_with_excel_chk->isChecked();
  rd_all_to_every->setEnabled(on);
  rd_one_per_recp->setEnabled(on);
}

void Send_Mail::send_with_excel_chk_select() {
  send_with_batch_chk_select();
}

void Send_Mail::all_rd_select() {
  rd_all_to_every->setChecked(true);
  rd_one_per_recp->setChecked(false);
}

void Send_Mail::obo_rd_select() {
  rd_one_per_recp->setChecked(true);
  rd_all_to_every->setChecked(false);
}

void Send_Mail::delayed_delv_chk_select() {
  SetObjEnabled(delayed_box, delayed_delv_chk->isChecked());
}

void Send_Mail::mail_card_side_CellClick(int row) {
  card_side_str = row == 0 ? QStringLiteral("BOTH") : row == 1 ? QStringLiteral("F") : QStringLiteral("B");
  qCDebug(lcProduction).noquote() << "card side" << card_side_str;
}
