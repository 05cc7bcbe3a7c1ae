// A mail settings file the program cannot read (a saved account cut short)
// survives the program's start and the settings window closed without
// saving, byte for byte, and is reported once; Save then writes a whole file.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "WindowTestSupport.h"
#include "mainwindow/SKTWindowController.h"
#include "production/Email_Setting.h"
#include "production/Preferences.h"
#include "production/Send_Mail.h"
#include "production/globals.h"
#include "support/EventLoop.h"
#include "support/ScriptedHost.h"

namespace {

QByteArray contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The mail dialog opened from the window, and its Settings button pressed.
void openSettingsFromTheWindow(SKTWindowController& window, testing_support::ScriptedHost& host,
                               std::function<int(Email_Setting&)> inSettings) {
  host.queueModal([](QDialog& mail) {
    static_cast<Send_Mail&>(mail).Setting_Button();
    return 0;
  });
  host.queueModal([inSettings](QDialog& d) { return inSettings(static_cast<Email_Setting&>(d)); });
  window.Mail_Button();
}

}  // namespace

TEST(MailSettingsWindow, AFileThatCannotBeReadSurvivesStartAndCancelAndSaveWritesAWholeOne) {
  testing_support::ScriptedHost host;
  QTemporaryDir dir;
  const QString resources = Resource_Path();
  const QString path = window_test::useSeededResources(dir) + "/" + kMailSettingsFileName;
  {
    auto store = Preferences::sharedInstance();
    store->setsend_email_SenderEmail("me@example.com");
    store->setsend_email_Password("secret");
    store->setsend_email_SMTP_server("smtp.example.com");
    store->setsend_email_PORT_num("587");
    ASSERT_TRUE(store->flush());
  }
  const QByteArray cut = contents(path).left(268);
  ASSERT_EQ(cut.size(), 268);
  {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(cut), 268);
  }

  testing_support::LogCapture log;
  SKTWindowController window;
  EXPECT_EQ(sender_email.get(), "");
  openSettingsFromTheWindow(window, host, [](Email_Setting& e) {
    EXPECT_EQ(e._send_mail_sender_mail->text(), "");
    EXPECT_TRUE(e._send_mail_tls->isChecked());
    e.reject();
    return e.result();
  });
  EXPECT_EQ(contents(path), cut);
  EXPECT_EQ(log.lines().filter("cannot be read").size(), 1) << log.lines().join("\n").toStdString();
  EXPECT_TRUE(log.contains(path));

  openSettingsFromTheWindow(window, host, [](Email_Setting& e) {
    e._send_mail_sender_mail->setText("Me@Example.com");
    e._send_mail_password->setText("secret");
    e._send_mail_smtp->setText("smtp.example.com");
    e._send_mail_port->setText("465");
    e.SSL_Selected();
    e.Save_Button();
    return e.result();
  });
  EXPECT_EQ(sender_email.get(), "Me@Example.com");
  EXPECT_EQ(send_enable_ssl.get(), "Y");
  const auto store = Preferences::sharedInstance();
  EXPECT_EQ(store->send_email_Password(), "secret");
  EXPECT_EQ(store->send_email_PORT_num(), "465");
  EXPECT_TRUE(contents(path).endsWith("</plist>\n"));
  EXPECT_EQ(log.lines().filter("cannot be read").size(), 1);
  Set_Resource_Path(resources);
}
