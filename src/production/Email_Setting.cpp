#include "production/Email_Setting.h"

#include <QApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/FileHelpers.h"
#include "platform/MessageHost.h"
#include "platform/Messages.h"
#include "platform/widgets/AccessibleNames.h"
#include "platform/widgets/Controls.h"
#include "platform/widgets/DialogLook.h"
#include "platform/widgets/DialogSingleton.h"
#include "production/MailAddresses.h"
#include "production/MailRun.h"
#include "production/Preferences.h"
#include "production/globals.h"

namespace {

const QString kSending = QStringLiteral("Sending test mail...");
const QString kKeptUntilSaved = QStringLiteral("\nIt is kept as it is until you save new settings.");
const QString kNotSent = QStringLiteral("Could not send email.");
const QString kSendFailed = QStringLiteral(
    "Please make sure that:\n1. Entered E-mail settings are correct.\n2. Internet connectivity to E-mail "
    "server is "
    "not interrupted and E-mail server is not down.\n3. Your Firewall or Security software (if any) is not "
    "blocking "
    "the software to communicate with your E-mail server.");

}  // namespace

Email_Setting& Email_Setting::defaultInstance() {
  return platform::dialogSingleton<Email_Setting>([] { return new Email_Setting(); });
}

Email_Setting::Email_Setting(QWidget* parent) : QDialog(parent) {
  setModal(true);
  setWindowTitle(QStringLiteral("E-mail Settings"));
  platform::applyDialogLook(*this);

  _send_mail_sender_mail = new QLineEdit(this);
  _send_mail_password = new QLineEdit(this);
  _send_mail_password->setEchoMode(QLineEdit::Password);
  _send_mail_smtp = new QLineEdit(this);
  _send_mail_port = new QLineEdit(this);
  _send_mail_ssl = new QRadioButton(QStringLiteral("SSL"), this);
  _send_mail_tls = new QRadioButton(QStringLiteral("TLS"), this);
  oneChoice({_send_mail_ssl, _send_mail_tls});
  _send_mail_tls->setChecked(true);
  _send_mail_to = new QLineEdit(this);
  _send_mail_result_status = new platform::WrappingLabel(this);
  plz_wait_Window = new QWidget(this);
  _stop_test_mail = new QPushButton(QStringLiteral("Stop"), plz_wait_Window);
  auto* sending = new QHBoxLayout(plz_wait_Window);
  sending->setContentsMargins(0, 0, 0, 0);
  waitText_ = new platform::WrappingLabel(kSending, plz_wait_Window);
  sending->addWidget(waitText_, 1);
  sending->addWidget(_stop_test_mail);
  plz_wait_Window->hide();

  auto* security = new QHBoxLayout;
  security->addWidget(_send_mail_ssl);
  security->addWidget(_send_mail_tls);
  security->addStretch(1);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Sender E-mail:"), _send_mail_sender_mail);
  form->addRow(QStringLiteral("Password:"), _send_mail_password);
  form->addRow(QStringLiteral("SMTP server:"), _send_mail_smtp);
  form->addRow(QStringLiteral("Port:"), _send_mail_port);
  form->addRow(QStringLiteral("Security:"), security);
  form->addRow(QStringLiteral("Test recipient:"), _send_mail_to);

  _send_test_mail = new QPushButton(QStringLiteral("Send Test Mail"), this);
  auto* reset = new QPushButton(QStringLiteral("Reset"), this);
  auto* close = new QPushButton(QStringLiteral("Close"), this);
  auto* save = new QPushButton(QStringLiteral("Save"), this);
  save->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(_send_test_mail);
  buttons->addWidget(reset);
  buttons->addStretch(1);
  buttons->addWidget(close);
  buttons->addWidget(save);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(_send_mail_result_status);
  layout->addWidget(plz_wait_Window);
  layout->addLayout(buttons);

  connect(save, &QPushButton::clicked, this, &Email_Setting::Save_Button);
  connect(close, &QPushButton::clicked, this, &Email_Setting::Close_Button);
  connect(reset, &QPushButton::clicked, this, &Email_Setting::Reset_Button);
  connect(_send_test_mail, &QPushButton::clicked, this, &Email_Setting::Send_Test_Email);
  connect(_stop_test_mail, &QPushButton::clicked, this, &Email_Setting::Stop_Test_Email);
  connect(&testMail_, &production::TestMailSender::finished, this, &Email_Setting::testMailEnded);
  connect(&testMail_, &production::TestMailSender::awaitingAnswer, this,
          [this] { waitText_->setText(production::awaitingAnswerText(testRecipient_)); });
  lockedWhileSending_ = {
      _send_mail_sender_mail, _send_mail_password, _send_mail_smtp, _send_mail_port, _send_mail_ssl,
      _send_mail_tls,         _send_mail_to,       _send_test_mail, reset,           save};
  onChosen(_send_mail_ssl, this, [this] { SSL_Selected(); });
  onChosen(_send_mail_tls, this, [this] { TLS_Selected(); });
  platform::nameControlsFromLabels(*this);
}

void Email_Setting::setTransportFactory(production::TestMailSender::TransportFactory make) {
  testMail_.setTransportFactory(std::move(make));
}

void Email_Setting::done(int result) {
  testMail_.stopAndWait();
  QDialog::done(result);
}

int Email_Setting::Open_Wnd() {
  int result = 0;
  try {
    showStatus(QString());
    adjustSize();  // the height of the last outcome is not kept
    loadPreferences();
    // A file that could not be read is named, not shown as empty settings.
    const QString unreadable = Preferences::latest()->unreadable();
    if (!unreadable.isEmpty()) Show_MessageBox(unreadable + kKeptUntilSaved);
    result = platform::messageHost().runModal(*this);
    testMail_.stopAndWait();  // however the modal run ended
    hide();
  } catch (const std::exception& e) {
    qCWarning(lcProduction).noquote() << QString::fromUtf8(e.what());
  }
  return result;
}

void Email_Setting::loadPreferences() {
  const auto store = Preferences::sharedInstance();
  _send_mail_to->setText(store->send_email_Recipient());
  _send_mail_sender_mail->setText(store->send_email_SenderEmail());
  _send_mail_smtp->setText(store->send_email_SMTP_server());
  _send_mail_port->setText(store->send_email_PORT_num());
  _send_mail_password->setText(store->send_email_Password());
  const bool ssl = store->send_email_enable_ssl() == QLatin1String("Y");
  _send_mail_ssl->setChecked(ssl);
  _send_mail_tls->setChecked(!ssl);
}

QString Email_Setting::sslFlag() const {
  return (_send_mail_ssl->isChecked() && !_send_mail_tls->isChecked()) ? QStringLiteral("Y")
                                                                       : QStringLiteral("N");
}

bool Email_Setting::flushPreferences() {
  const auto store = Preferences::sharedInstance();
  store->setsend_email_Recipient(_send_mail_to->text());
  store->setsend_email_SenderEmail(_send_mail_sender_mail->text());
  store->setsend_email_SMTP_server(_send_mail_smtp->text());
  store->setsend_email_PORT_num(_send_mail_port->text());
  store->setsend_email_Password(_send_mail_password->text());
  store->setsend_email_enable_ssl(sslFlag());
  return store->flush();
}

bool Email_Setting::isValidEmail(const QString& address) {
  return production::isValidEmail(address);
}

bool Email_Setting::fail(const QString& message, QLineEdit* field) {
  Show_MessageBox(message);
  field->setFocus();
  return false;
}

bool Email_Setting::Check_Validation(bool testMail) {
  // The addresses are read as the mail window reads its To line; a refusal
  // says why.
  QString why;
  const QString sender = _send_mail_sender_mail->text().toLower();
  if (sender.isEmpty()) return fail(QStringLiteral("Please enter sender E-mail."), _send_mail_sender_mail);
  if (!production::readMailbox(sender, &why, production::MailboxRole::Sender)) {
    return fail(QStringLiteral("Please enter valid sender E-mail address.\n") + why, _send_mail_sender_mail);
  }
  if (_send_mail_password->text().isEmpty()) {
    return fail(QStringLiteral("Please enter password."), _send_mail_password);
  }
  if (_send_mail_smtp->text().isEmpty())
    return fail(QStringLiteral("Please enter SMTP server."), _send_mail_smtp);
  if (_send_mail_port->text().isEmpty())
    return fail(QStringLiteral("Please enter port number."), _send_mail_port);
  if (testMail) {
    const QString to = _send_mail_to->text().toLower();
    if (to.isEmpty()) return fail(QStringLiteral("Please enter recipient E-mail address."), _send_mail_to);
    if (!production::readMailbox(to, &why))
      return fail(QStringLiteral("Please enter valid recipient E-mail address.\n") + why, _send_mail_to);
  }
  return true;
}

void Email_Setting::Save_Button() {
  if (!Check_Validation(false)) return;
  if (!flushPreferences()) {
    // Closing as if saved would lose what was typed.
    Show_MessageBox(QStringLiteral("Could not save the E-mail settings."));
    return;
  }
  done(1);
}

void Email_Setting::Close_Button() {
  done(0);
}

void Email_Setting::Reset_Button() {
  if (!Show_YES_NO_MessageBox(QStringLiteral("Are you sure you want to reset current email settings?")))
    return;
  Delete_File(Preferences::sharedInstance()->path());
  for (QLineEdit* field :
       {_send_mail_to, _send_mail_sender_mail, _send_mail_smtp, _send_mail_port, _send_mail_password}) {
    field->setText(QStringLiteral(""));
  }
  _send_mail_ssl->setChecked(false);
  _send_mail_tls->setChecked(true);
  Get_Email_Details();
}

void Email_Setting::Send_Test_Email() {
  if (testMail_.isSending() || !Check_Validation(true)) return;
  const QString app = QStringLiteral("QUVO Gratulo");  // the program's name
  // Addresses in small letters; names keep their letters.
  const auto mailbox = [](const QLineEdit* field, production::MailboxRole role) {
    return production::readMailbox(field->text(), nullptr, role)->lowercased().text();
  };
  const production::MailAccount account{mailbox(_send_mail_sender_mail, production::MailboxRole::Sender),
                                        _send_mail_password->text(), _send_mail_smtp->text(),
                                        _send_mail_port->text(), sslFlag()};
  const production::MailMessage message{
      mailbox(_send_mail_to, production::MailboxRole::Recipient),
      app + QStringLiteral(" Test Mail"),
      QStringLiteral("This is test mail sent by ") + app + QStringLiteral("."),
      {}};
  testRecipient_ = message.recipient;
  Show_Create_Modeless();
  showStatus(QStringLiteral("It may take a while, Please wait..."));
  testMail_.start(account, message);
}

void Email_Setting::Stop_Test_Email() {
  _stop_test_mail->setEnabled(false);
  testMail_.stop();
}

void Email_Setting::testMailEnded(production::TestMailSender::Outcome outcome) {
  Hide_Destroy_Modeless();
  const QString& why = testMail_.lastFailure();
  switch (outcome) {
    case production::TestMailSender::Outcome::Sent:
      showStatus(QStringLiteral("E-mail has been sent successfully."));
      Show_MessageBox(QStringLiteral("E-mail has been sent successfully."));
      break;
    case production::TestMailSender::Outcome::Stopped:
      showStatus(QStringLiteral("The test mail was stopped."));
      break;
    case production::TestMailSender::Outcome::Unconfirmed:
      showStatus(production::mayHaveBeenDeliveredText({testRecipient_}, why));
      break;
    case production::TestMailSender::Outcome::Failed:
      // The reason first, as the mail run's closing message has it, so that
      // a refused login or an unknown certificate is not left to the log. A
      // refused recipient is no fault of the settings: no checklist then.
      QString text = kNotSent;
      if (!why.isEmpty()) text += QLatin1Char('\n') + why;
      if (!testMail_.lastFailureIsTheMails()) text += QStringLiteral("\n\n") + kSendFailed;
      showStatus(text);
      break;
  }
}

void Email_Setting::showStatus(const QString& text) {
  _send_mail_result_status->setText(text);
  // A window takes the height of its wrapped texts when it opens, but is
  // not made taller for a longer text by itself.
  layout()->activate();
  const int needed = layout()->totalHeightForWidth(width());
  if (isVisible() && needed > height()) resize(width(), needed);
}

void Email_Setting::SSL_Selected() {
  _send_mail_ssl->setChecked(true);
  _send_mail_tls->setChecked(false);
}

void Email_Setting::TLS_Selected() {
  _send_mail_tls->setChecked(true);
  _send_mail_ssl->setChecked(false);
}

void Email_Setting::Show_Create_Modeless() {
  try {
    for (QWidget* w : lockedWhileSending_) w->setEnabled(false);
    _stop_test_mail->setEnabled(true);
    plz_wait_Window->show();
  } catch (const std::exception& e) {
    qCWarning(lcProduction).noquote() << QString::fromUtf8(e.what());
  }
}

void Email_Setting::Hide_Destroy_Modeless() {
  try {
    plz_wait_Window->hide();
    for (QWidget* w : lockedWhileSending_) w->setEnabled(true);
  } catch (const std::exception& e) {
    qCWarning(lcProduction).noquote() << QString::fromUtf8(e.what());
  }
}
