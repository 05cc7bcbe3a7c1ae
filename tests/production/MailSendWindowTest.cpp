// The mail window sending through the real script to a sink that logs every
// connection: what the script would refuse is refused before any connection,
// a pasted column of addresses goes to each once, and an attachment is never
// left out.

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "SmtpSink.h"
#include "production/MailScript.h"
#include "production/Send_Mail.h"
#include "support/EventLoop.h"
#include "support/MailAccount.h"
#include "support/ScriptedHost.h"
#include "support/TestFiles.h"

using namespace production;

namespace {

TEST(MailSendWindow, WhatTheScriptWouldRefuseIsRefusedBeforeConnectingAndNoAttachmentIsLeftOut) {
  testing_support::ScriptedHost host;
  QTemporaryDir dir;
  // The sink stops reading the first mail until the test lets it go on.
  testing_support::SmtpSink sink(testing_support::SmtpSink::Conduct{.pausesReadingUntilResumed = true});
  ASSERT_TRUE(dir.isValid() && sink.error().isEmpty()) << sink.error().toStdString();
  auto& window = Send_Mail::defaultInstance();
  window.setTransport(std::make_unique<MailScript>(QString(QUVO_SOURCE_DIR) + "/resources/pyth_mail.py"));
  const QString card = dir.path() + "/card.pdf";
  ASSERT_TRUE(testing_support::writeFile(card, "%PDF card"));
  const QString longLocal = QString(65, 'l') + "@example.test";
  const QString longAddress = QString(60, 'l') + "@" + QString(180, 'd') + "." + QString(13, 't');
  QStringList column;
  for (int i = 1; i <= 50; ++i) column << QString("r%1@example.test").arg(i);

  host.queueModal([&](QDialog& dialog) {
    auto& s = static_cast<Send_Mail&>(dialog);
    const auto send = [&](const QString& to, const std::function<void()>& meanwhile = {}) {
      s.to_txt->setText(to);
      s.Send_Button();
      if (meanwhile) meanwhile();
      EXPECT_TRUE(s.waitForRun(testing_support::kHangGuardMs));
    };
    s.Without_barcode_rd_select();
    // Invisible characters (a trailing one as pasted lists have) and the
    // lengths: each entry named as typed, before the first mail.
    for (const QString& bad :
         {"a2@example.test" + QString(QChar(0x200b)), "a2" + QString(QChar(0xfeff)) + "@x.test",
          "a2@x.test" + QString(QChar(0x202e)), longLocal, longAddress})
      send("a1@example.test, " + bad + ", a3@example.test");
    s.attachment->setText(" " + dir.path() + "/missing.pdf ");
    send("a1@example.test");
    EXPECT_TRUE(sink.events().isEmpty()) << sink.events().join('\n').toStdString();

    // The attachment goes away while the first mail is under way: the run
    // stops at the second, which names it, and the third is not sent.
    s.attachment->setText(card);
    send("a1@example.test, a2@example.test, a3@example.test", [&] {
      EXPECT_TRUE(testing_support::serveUntil([&] { return sink.events().contains("pausing"); }));
      EXPECT_TRUE(QFile::remove(card));
      sink.resume();
    });

    // A column pasted from a table: one address a line.
    s.clear_att_Button();
    QApplication::clipboard()->setText(column.join("\r\n") + "\r\n");
    s.to_txt->clear();
    s.to_txt->paste();
    send(s.to_txt->text());
    return 0;
  });
  testing_support::useMailAccount("me@example.com", "pw", "127.0.0.1", QString::number(sink.port()), "N");
  window.Open_Wnd();
  testing_support::useMailAccount("", "", "", "", "");
  window.setTransport(std::make_unique<MailScript>());

  QStringList messages = host.messages();
  ASSERT_EQ(messages.size(), 8) << messages.join("\n|").toStdString();
  messages[4] = messages[4].section('\n', 2);  // the entry is shown by its start and end: the reason
  const QString bad = "\nRecipient E-mail address is invalid or incomplete: \"";
  const QString invisible = "\".\nIt holds the invisible character ";
  EXPECT_EQ(messages.join('|').toStdString(),
            QStringList({bad + "a2@example.test<U+200B>" + invisible + "U+200B.",
                         bad + "a2<U+FEFF>@x.test" + invisible + "U+FEFF.",
                         bad + "a2@x.test<U+202E>" + invisible + "U+202E.",
                         bad + longLocal +
                             "\".\nIt is too long: the part before the @ has 65 characters, the "
                             "mail standards allow 64.",
                         "It is too long: it has 255 characters, the mail standards allow 254.",
                         "\nThe attachment missing.pdf cannot be read: there is no such file.",
                         "\nCould not send email message.\nThe attachment card.pdf cannot be read: there is "
                         "no such file.\n\n1 of 3 e-mails have been sent: 1 failed, 1 skipped.",
                         "\nE-mail has been sent successfully."})
                .join('|')
                .toStdString());

  // The first mail had the card; then each of the fifty got one mail.
  const QJsonArray mails = sink.messages();
  ASSERT_EQ(mails.size(), 51);
  EXPECT_EQ(mails[0].toObject()["rcptto"].toString(), "a1@example.test");
  EXPECT_EQ(mails[0].toObject()["attachments"].toArray().size(), 1);
  QStringList asked = sink.events().filter("RCPT", Qt::CaseInsensitive);
  asked.replaceInStrings(QRegularExpression("^.*<|>.*$"), "");
  EXPECT_EQ(asked, QStringList{"a1@example.test"} + column);
}

}  // namespace
