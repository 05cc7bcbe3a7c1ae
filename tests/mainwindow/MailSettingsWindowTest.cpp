// A mail settings file the program cannot read (a saved account cut short)
// survives the program's start and the settings window closed without
// saving, byte for byte, is logged once and named to the person where it
// matters (the settings window, Send); Save then writes a whole file.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "WindowTestSupport.h"
#include "mainwindow/SKTWindowController.h"
#include "production/Email_Setting.h"
#include "production/Preferences.h"
#include "production/Send_Mail.h"
#include "support/EventLoop.h"
#include "support/HangGuard.h"
#include "support/ScriptedHost.h"

TEST(MailSettingsWindow, AFileThatCannotBeReadSurvivesStartAndCancelAndSaveWritesAWholeOne) {
  testing_support::ScriptedHost host;
  QTemporaryDir dir;
  const QString resources = Resource_Path();
  QFile file(window_test::useSeededResources(dir) + "/" + kMailSettingsFileName);
  auto store = Preferences::sharedInstance();
  store->setsend_email_SenderEmail("me@example.com");
  store->setsend_email_Password("secret");
  ASSERT_TRUE(store->flush());
  ASSERT_TRUE(file.open(QIODevice::ReadWrite));
  const QByteArray cut = file.read(268);
  ASSERT_TRUE(cut.size() == 268 && file.resize(268));
  file.close();

  testing_support::LogCapture log;
  SKTWindowController window;  // reads the account at its start
  host.queueModal([](QDialog& mail) {
    auto& dialog = static_cast<Send_Mail&>(mail);
    dialog.Setting_Button();
    dialog.to_txt->setText("friend@example.org");
    dialog.Send_Button();
    EXPECT_TRUE(dialog.waitForRun(testing_support::kHangGuardMs));
    return 0;
  });
  host.queueModal([](QDialog& d) {
    EXPECT_EQ(static_cast<Email_Setting&>(d)._send_mail_sender_mail->text(), "");
    d.reject();
    return d.result();
  });
  window.Mail_Button();
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), cut);
  file.close();
  EXPECT_EQ(log.lines().filter("cannot be read").size(), 1) << log.lines().join("\n").toStdString();
  EXPECT_TRUE(log.contains(file.fileName()));
  // The window names the file and the reason when it opens, and so does Send.
  const QString unreadable = "\nThe E-mail settings file \"" + file.fileName() + "\" could not be read: ";
  ASSERT_EQ(host.messages().size(), 2);
  EXPECT_TRUE(host.messages()[0].startsWith(unreadable)) << host.messages()[0].toStdString();
  EXPECT_TRUE(host.messages()[0].endsWith(".\nIt is kept as it is until you save new settings."));
  EXPECT_TRUE(host.messages()[1].startsWith(unreadable)) << host.messages()[1].toStdString();
  EXPECT_TRUE(host.messages()[1].endsWith(
      ".\nNo e-mail has been sent: enter the E-mail settings again under Settings... and save them."));

  auto& settings = Email_Setting::defaultInstance();
  settings._send_mail_sender_mail->setText("Me@Example.com");
  settings._send_mail_password->setText("secret");
  settings._send_mail_smtp->setText("smtp.example.com");
  settings._send_mail_port->setText("465");
  settings.Save_Button();
  EXPECT_EQ(settings.result(), 1);
  store = Preferences::sharedInstance();
  EXPECT_EQ(store->send_email_SenderEmail(), "Me@Example.com");
  EXPECT_EQ(store->send_email_PORT_num(), "465");
  EXPECT_EQ(log.lines().filter("cannot be read").size(), 1);
  Set_Resource_Path(resources);
}
