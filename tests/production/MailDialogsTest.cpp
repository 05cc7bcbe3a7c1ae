// The mail settings dialog and the progress panel.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "SmtpSink.h"
#include "platform/globals.h"
#include "platform/widgets/MessageWindow.h"
#include "production/Email_Setting.h"
#include "production/Preferences.h"
#include "production/Send_Modeless.h"
#include "production/globals.h"
#include "support/EventLoop.h"
#include "support/ScriptedHost.h"
#include "support/WrappedText.h"

using namespace production;

namespace {

class RecordingTransport : public MailTransport {
 public:
  explicit RecordingTransport(bool ok, std::vector<std::pair<MailAccount, MailMessage>>* log)
      : ok_(ok), log_(log) {}
  bool send(const MailAccount& a, const MailMessage& m) override {
    log_->push_back({a, m});
    return ok_;
  }

 private:
  bool ok_;
  std::vector<std::pair<MailAccount, MailMessage>>* log_;
};

class EmailSettingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    saved = Resource_Path();
    Set_Resource_Path(dir.path());
  }
  void TearDown() override {
    Email_Setting::defaultInstance().setTransportFactory({});
    Set_Resource_Path(saved);
  }
  static void fill(Email_Setting& d, const QString& sender, const QString& pwd, const QString& smtp,
                   const QString& port, const QString& to) {
    d._send_mail_sender_mail->setText(sender);
    d._send_mail_password->setText(pwd);
    d._send_mail_smtp->setText(smtp);
    d._send_mail_port->setText(port);
    d._send_mail_to->setText(to);
  }
  testing_support::ScriptedHost host;
  QTemporaryDir dir;
  QString saved;
};

TEST_F(EmailSettingTest, FirstOpenShowsEmptyFieldsWithTlsAndSaveStoresAsTyped) {
  auto& d = Email_Setting::defaultInstance();
  host.queueModal([](QDialog& dialog) {
    auto& e = static_cast<Email_Setting&>(dialog);
    EXPECT_EQ(e._send_mail_sender_mail->text(), "");
    EXPECT_TRUE(e._send_mail_tls->isChecked());
    EXPECT_FALSE(e._send_mail_ssl->isChecked());
    fill(e, "Me@Example.COM", "   ", "smtp.example.com", "port", "");
    e.SSL_Selected();
    e.Save_Button();
    return e.result();
  });
  EXPECT_EQ(d.Open_Wnd(), 1);
  EXPECT_TRUE(host.messages().isEmpty()) << host.messages().join("|").toStdString();
  auto store = Preferences::sharedInstance();
  EXPECT_EQ(store->send_email_SenderEmail(), "Me@Example.COM");
  EXPECT_EQ(store->send_email_Password(), "   ");
  EXPECT_EQ(store->send_email_PORT_num(), "port");
  EXPECT_EQ(store->send_email_Recipient(), "");
  EXPECT_EQ(store->send_email_enable_ssl(), "Y");

  // The next opening shows SSL; Close saves nothing.
  host.queueModal([](QDialog& dialog) {
    auto& e = static_cast<Email_Setting&>(dialog);
    EXPECT_TRUE(e._send_mail_ssl->isChecked());
    e._send_mail_smtp->setText("changed");
    e.Close_Button();
    return e.result();
  });
  EXPECT_EQ(d.Open_Wnd(), 0);
  EXPECT_EQ(Preferences::sharedInstance()->send_email_SMTP_server(), "smtp.example.com");
}

TEST_F(EmailSettingTest, FieldChecksStopAtTheFirstFailure) {
  auto& d = Email_Setting::defaultInstance();
  struct Case {
    QString sender, pwd, smtp, port, to;
    bool test;
    QString message;
  } cases[] = {
      {"", "p", "s", "1", "", false, "Please enter sender E-mail."},
      {"a@b.c", "p", "s", "1", "", false,
       "Please enter valid sender E-mail address.\nIt is too short: an address has at least 6 characters."},
      {"Me <me@x.org", "p", "s", "1", "", false,
       "Please enter valid sender E-mail address.\nThe closing angle bracket \">\" is missing."},
      {"me@x.org", "", "s", "1", "", false, "Please enter password."},
      {"me@x.org", "p", "", "1", "", false, "Please enter SMTP server."},
      {"me@x.org", "p", "s", "", "", false, "Please enter port number."},
      {"me@x.org", "p", "s", "1", "", true, "Please enter recipient E-mail address."},
      {"me@x.org", "p", "s", "1", "you@yy", true,
       "Please enter valid recipient E-mail address.\nIt has no dot: an address reads like "
       "name@example.org."},
      {"me@x.org", "p", "s", "1", QString(60, 'a') + "@" + QString(190, 'b') + ".test", true,
       "Please enter valid recipient E-mail address.\nIt is too long: it has 256 characters, the mail "
       "standards allow 254."},
      {"me@x.org", "p", "s", "1", "Ana Empty ana@example.org", true,
       "Please enter valid recipient E-mail address.\nA name goes before the address, which then goes in "
       "angle brackets: name <address>."},
      {"me@x.org", "p", "s", "1", "a@example.org, b@example.org", true,
       "Please enter valid recipient E-mail address.\nOnly one address goes here."},
  };
  for (const Case& c : cases) {
    host.clear();
    fill(d, c.sender, c.pwd, c.smtp, c.port, c.to);
    EXPECT_FALSE(d.Check_Validation(c.test));
    EXPECT_EQ(host.messages(), QStringList({"\n" + c.message}));
  }
  fill(d, "me@x.org", "p", "s", "1", "");
  EXPECT_TRUE(d.Check_Validation(false));
}

TEST_F(EmailSettingTest, TestMailSendsLowercasedAndReportsTheOutcome) {
  auto& d = Email_Setting::defaultInstance();
  std::vector<std::pair<MailAccount, MailMessage>> log;
  d.setTransportFactory([&log] { return std::make_unique<RecordingTransport>(true, &log); });
  fill(d, QString::fromUtf8("Jörg <ME@X.ORG>"), "Pw", "smtp.x.org", "587",
       QString::fromUtf8("\"Adams, Zoë <Y>\" <YOU@Y.ORG>"));
  d.TLS_Selected();
  d.Send_Test_Email();
  ASSERT_TRUE(testing_support::serveUntil([&d] { return !d.isSendingTestMail(); }));
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].first.sender, QString::fromUtf8("Jörg <me@x.org>"));  // the name as typed
  EXPECT_EQ(log[0].first.password, "Pw");
  EXPECT_EQ(log[0].first.enableSsl, "N");
  EXPECT_EQ(log[0].second.recipient, QString::fromUtf8("\"Adams, Zoë <Y>\" <you@y.org>"));
  EXPECT_EQ(log[0].second.subject, "QUVO Gratulo Test Mail");
  EXPECT_EQ(log[0].second.body, "This is test mail sent by QUVO Gratulo.");
  EXPECT_EQ(d._send_mail_result_status->text(), "E-mail has been sent successfully.");
  EXPECT_EQ(host.messages(), QStringList({"\nE-mail has been sent successfully."}));
  // The test mail does not save.
  EXPECT_FALSE(QFileInfo::exists(dir.path() + "/com.quvo.card.plist"));

  host.clear();
  d.setTransportFactory([&log] { return std::make_unique<RecordingTransport>(false, &log); });
  d.Send_Test_Email();
  ASSERT_TRUE(testing_support::serveUntil([&d] { return !d.isSendingTestMail(); }));
  EXPECT_TRUE(host.messages().isEmpty());
  EXPECT_TRUE(d._send_mail_result_status->text().startsWith(
      "Could not send email.\n\nPlease make sure that:\n1. Entered E-mail settings"));
}

TEST_F(EmailSettingTest, ResetEmptiesFileFieldsAndGlobalsOnYesOnly) {
  auto& d = Email_Setting::defaultInstance();
  fill(d, "me@x.org", "p", "s", "25", "");
  ASSERT_TRUE(d.flushPreferences());
  Get_Email_Details();
  ASSERT_EQ(sender_email.get(), "me@x.org");

  host.queueYesNo(false);
  d.Reset_Button();
  EXPECT_EQ(d._send_mail_smtp->text(), "s");
  EXPECT_EQ(host.questions(), QStringList({"Are you sure you want to reset current email settings?"}));

  host.queueYesNo(true);
  d.SSL_Selected();
  d.Reset_Button();
  EXPECT_EQ(d._send_mail_smtp->text(), "");
  EXPECT_TRUE(d._send_mail_tls->isChecked());
  EXPECT_EQ(sender_email.get(), "");
  EXPECT_EQ(sending_port.get(), "");
  EXPECT_TRUE(send_enable_ssl.get().isNull());
  EXPECT_FALSE(QFileInfo::exists(dir.path() + "/com.quvo.card.plist"));
}

// Whether a process started by this program has `marker` among its arguments.
bool childRunsWith(const QString& marker) {
  const QByteArray self = QByteArray::number(QCoreApplication::applicationPid());
  for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
    QFile stat("/proc/" + pid + "/stat"), cmdline("/proc/" + pid + "/cmdline");
    if (!stat.open(QIODevice::ReadOnly) || !cmdline.open(QIODevice::ReadOnly)) continue;
    const QByteArray fields = stat.readAll();  // pid (name) state ppid ...
    const QList<QByteArray> rest = fields.mid(fields.lastIndexOf(')') + 2).split(' ');
    if (rest.value(1) == self && cmdline.readAll().contains(marker.toUtf8())) return true;
  }
  return false;
}

// The test mail goes out on a worker: against a server that never answers
// the window goes on serving its events, and Stop, or closing the window,
// ends the script. A test mail to a server that answers arrives.
TEST_F(EmailSettingTest, TestMailLeavesTheWindowRunningAndStopOrCloseEndsTheScript) {
  testing_support::SilentListener silent;
  testing_support::SmtpSink sink;
  ASSERT_TRUE(silent.port() != 0 && sink.error().isEmpty()) << sink.error().toStdString();
  auto& d = Email_Setting::defaultInstance();
  d.setTransportFactory(
      [] { return std::make_unique<MailScript>(QString(QUVO_SOURCE_DIR) + "/resources/pyth_mail.py"); });
  using testing_support::serveUntil;
  host.queueModal([&silent](QDialog& dialog) {
    auto& e = static_cast<Email_Setting&>(dialog);
    const QString port = QString::number(silent.port());
    fill(e, "me@example.com", "pw", "127.0.0.1", port, "stop@example.org");
    e._send_test_mail->click();  // returns while the script waits for the server
    EXPECT_TRUE(serveUntil([&] { return childRunsWith(port); }, testing_support::kHangGuardMs));
    // What the mail says and to whom is on the script's input: its
    // arguments, which any user of the computer can list, hold none of it.
    for (const QString& told : {"stop@example.org", "QUVO Gratulo Test Mail", "This is test mail"})
      EXPECT_FALSE(childRunsWith(told)) << told.toStdString();
    EXPECT_FALSE(e._send_test_mail->isEnabled());
    QMetaObject::invokeMethod(e._stop_test_mail, &QPushButton::click, Qt::QueuedConnection);
    EXPECT_TRUE(serveUntil([&e] { return !e.isSendingTestMail(); }, testing_support::kHangGuardMs));
    EXPECT_FALSE(childRunsWith(port));
    EXPECT_EQ(e._send_mail_result_status->text(), "The test mail was stopped.");
    EXPECT_TRUE(e._send_test_mail->isEnabled());

    e._send_mail_to->setText("close@example.org");
    e._send_test_mail->click();
    EXPECT_TRUE(serveUntil([&] { return childRunsWith(port); }, testing_support::kHangGuardMs));
    e.Close_Button();
    EXPECT_FALSE(e.isSendingTestMail());
    EXPECT_FALSE(childRunsWith(port));
    return e.result();
  });
  d.Open_Wnd();

  host.queueModal([&sink](QDialog& dialog) {
    auto& e = static_cast<Email_Setting&>(dialog);
    fill(e, "me@example.com", "pw", "127.0.0.1", QString::number(sink.port()), "Friend@Example.org");
    e._send_test_mail->click();
    EXPECT_TRUE(serveUntil([&e] { return !e.isSendingTestMail(); }, testing_support::kHangGuardMs));
    return 0;
  });
  d.Open_Wnd();
  EXPECT_EQ(host.messages(), QStringList({"\nE-mail has been sent successfully."}));

  // A server that took the whole mail and does not answer: the window says
  // it waits for it, and Stop leaves the mail as one that may have arrived.
  testing_support::SmtpSink mute(testing_support::SmtpSink::Conduct{.answerAfterSeconds = -1});
  ASSERT_TRUE(mute.error().isEmpty()) << mute.error().toStdString();
  host.queueModal([&mute](QDialog& dialog) {
    auto& e = static_cast<Email_Setting&>(dialog);
    fill(e, "me@example.com", "pw", "127.0.0.1", QString::number(mute.port()),
         "mute.of.the.family.with.a.long.name@example.org");
    e.show();
    e._send_test_mail->click();
    const QString waiting =
        "Waiting for the server to confirm the mail to mute.of.the.family.with.a.long.name@example.org...";
    auto* label = e.plz_wait_Window->findChild<platform::WrappingLabel*>();
    EXPECT_TRUE(serveUntil([&] { return label->text() == waiting; }, testing_support::kHangGuardMs));
    // A long address wraps instead of widening the window, which grows to
    // the height the text needs.
    EXPECT_TRUE(serveUntil([&] { return label->height() >= label->heightForWidth(label->width()); },
                           testing_support::kHangGuardMs));
    EXPECT_TRUE(testing_support::showsWholeWithinTheScreen(*label, waiting));
    e._stop_test_mail->click();
    EXPECT_TRUE(serveUntil([&e] { return !e.isSendingTestMail(); }, testing_support::kHangGuardMs));
    const QString mayHaveArrived =
        "The mail to mute.of.the.family.with.a.long.name@example.org may have been delivered. The server "
        "took the whole mail but had not "
        "confirmed it when sending was stopped.\nPlease check with the recipient before sending it again.";
    auto* status = e._send_mail_result_status;
    EXPECT_TRUE(serveUntil([&] { return status->height() >= status->heightForWidth(status->width()); },
                           testing_support::kHangGuardMs));
    EXPECT_TRUE(testing_support::showsWholeWithinTheScreen(*status, mayHaveArrived));
    e.hide();
    return 0;
  });
  d.Open_Wnd();
  const QJsonArray mails = sink.messages();
  ASSERT_EQ(mails.size(), 1);
  EXPECT_EQ(mails[0].toObject()["rcptto"].toString(), "friend@example.org");
  EXPECT_EQ(mails[0].toObject()["subject"].toString(), "QUVO Gratulo Test Mail");
}

// A test mail the server turns away says why, and the window is high enough
// for the whole text.
TEST_F(EmailSettingTest, AFailedTestMailTellsWhy) {
  testing_support::SmtpSink sink(testing_support::SmtpSink::Trouble::RefusesRecipients);
  ASSERT_TRUE(sink.error().isEmpty()) << sink.error().toStdString();
  auto& d = Email_Setting::defaultInstance();
  d.setTransportFactory(
      [] { return std::make_unique<MailScript>(QString(QUVO_SOURCE_DIR) + "/resources/pyth_mail.py"); });
  host.queueModal([&sink](QDialog& dialog) {
    auto& e = static_cast<Email_Setting&>(dialog);
    fill(e, "me@example.com", "pw", "127.0.0.1", QString::number(sink.port()), "Nobody@Example.org");
    e.show();
    e._send_test_mail->click();
    EXPECT_TRUE(
        testing_support::serveUntil([&e] { return !e.isSendingTestMail(); }, testing_support::kHangGuardMs));
    platform::WrappingLabel* status = e._send_mail_result_status;
    // The settings are not to blame for a refused recipient: no checklist.
    EXPECT_EQ(status->text(),
              "Could not send email.\n"
              "The server refused the recipient nobody@example.org (550 5.1.1 No such mailbox here).");
    QCoreApplication::processEvents();
    EXPECT_GE(status->height(), status->heightForWidth(status->width()));
    e.hide();
    return 0;
  });
  d.Open_Wnd();
  EXPECT_TRUE(host.messages().isEmpty());
  EXPECT_TRUE(sink.messages().isEmpty());
}

// A settings file that cannot be read (a named pipe, a link to a device) is
// named with the reason when the window opens, and left as it is.
TEST_F(EmailSettingTest, AnUnreadableSettingsFileIsNamedWhenTheWindowOpensAndKept) {
  const QString file = dir.path() + "/com.quvo.card.plist";
  ASSERT_EQ(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
  host.queueModal([](QDialog& dialog) {
    EXPECT_EQ(static_cast<Email_Setting&>(dialog)._send_mail_smtp->text(), "");
    return 0;
  });
  Email_Setting::defaultInstance().Open_Wnd();
  EXPECT_EQ(host.messages(), QStringList({"\nThe E-mail settings file \"" + file +
                                          "\" could not be read: it is a named pipe, not a file.\n"
                                          "It is kept as it is until you save new settings."}));
  EXPECT_TRUE(QFileInfo(file).exists() && !QFileInfo(file).isFile());

  host.clear();
  ASSERT_TRUE(QFile::remove(file) && QFile::link("/dev/zero", file));
  Email_Setting::defaultInstance().Open_Wnd();
  EXPECT_EQ(host.messages(),
            QStringList({"\nThe E-mail settings file \"" + file +
                         "\" could not be read: it is a device, not a file (a link to /dev/zero).\n"
                         "It is kept as it is until you save new settings."}));
  EXPECT_EQ(QFileInfo(file).symLinkTarget(), "/dev/zero");
}

TEST(SendModelessTest, ShowsProgressAndStopsOnlyAfterYes) {
  testing_support::ScriptedHost host;
  auto& panel = Send_Modeless::defaultInstance();
  list_count.store(4);
  curr_barcode_count.store(0);
  panel.beginRun(4, "0 / 4");
  EXPECT_EQ(panel._tot_msg_cnt->text(), "4");
  EXPECT_EQ(panel._Curr_Progress->maximum(), 4);
  curr_barcode_count.store(3);
  panel.update_sending_progress_bar();
  EXPECT_EQ(panel._Curr_Progress->value(), 3);
  EXPECT_EQ(panel._curr_msg_cnt->text(), "3 / 4 ");
  EXPECT_EQ(curr_msg_count.get(), "3 / 4 ");

  Stop_SMS_Sending_Now.store(false);
  host.queueYesNo(false);
  panel.Stop_Sending_Pressed();
  EXPECT_FALSE(Stop_SMS_Sending_Now.load());
  host.queueYesNo(true);
  panel.Stop_Sending_Pressed();
  EXPECT_TRUE(Stop_SMS_Sending_Now.load());
  EXPECT_EQ(host.questions().value(0), "Are you sure you want to stop?");
  Stop_SMS_Sending_Now.store(false);

  // Escape asks the same; the panel stays up until the run ends.
  panel.show();
  host.queueYesNo(true);
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(&panel, &escape);
  EXPECT_TRUE(Stop_SMS_Sending_Now.load());
  EXPECT_TRUE(panel.isVisible());
  EXPECT_EQ(host.questions().size(), 3);
  panel.endRun();
  EXPECT_FALSE(panel.isVisible());
  Stop_SMS_Sending_Now.store(false);
}

// A host that shows the stop question as a real box and lets the run end
// while it is open, as a run that finishes before the person answers.
class RunEndsWhileAsked : public testing_support::ScriptedHost {
 public:
  std::function<void()> whileOpen;
  bool leftOpen = false;
  bool askYesNo(const QString& question) override {
    ScriptedHost::askYesNo(question);
    platform::MessageWindow box(question);
    box.addButton(QStringLiteral("Yes"), QDialogButtonBox::YesRole);
    box.addButton(QStringLiteral("No"), QDialogButtonBox::NoRole);
    // The end of the run comes while the box is open, and closes it at
    // once; a box it left open is closed here, so the test cannot hang.
    QTimer::singleShot(50, &box, [this, &box] {
      whileOpen();
      if (box.isVisible()) {
        leftOpen = true;
        box.reject();
      }
    });
    box.exec();
    return true;
  }
};

TEST(SendModelessTest, TheEndOfTheRunClosesAnOpenStopQuestionAndALateYesStopsNothing) {
  auto& panel = Send_Modeless::defaultInstance();
  Stop_SMS_Sending_Now.store(false);
  RunEndsWhileAsked host;  // answers Yes once the box has gone
  panel.beginRun(3, "0 / 3 Card");
  host.whileOpen = [&panel] { panel.endRun(); };
  panel.Stop_Sending_Pressed();
  EXPECT_FALSE(host.leftOpen);
  EXPECT_FALSE(Stop_SMS_Sending_Now.load());
  EXPECT_EQ(host.questions(), QStringList{"Are you sure you want to stop?"});
}

}  // namespace
