// The mail script call against a local SMTP sink.

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "SmtpSink.h"
#include "platform/globals.h"
#include "production/MailScript.h"
#include "support/EventLoop.h"
#include "support/ScriptedHost.h"

using production::MailAccount;
using production::MailMessage;
using production::MailScript;

namespace {

QString scriptPath() {
  return QString(QUVO_SOURCE_DIR) + "/resources/pyth_mail.py";
}

MailAccount account(quint16 port) {
  return MailAccount{"sender@example.com", "secret", "127.0.0.1", QString::number(port), "N"};
}

TEST(MailScriptCall, SendsSenderRecipientSubjectBodyAndAttachments) {
  testing_support::SmtpSink sink;
  ASSERT_TRUE(sink.error().isEmpty()) << sink.error().toStdString();
  QTemporaryDir dir;
  const QString picture = dir.path() + "/QUVOCard.jpeg";
  const QByteArray bytes("\x89PNG\r\n\x1a\n\0\1\2 card", 16);
  {
    QFile f(picture);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }
  MailScript script(scriptPath());
  MailMessage message{"friend@example.org", "Happy birthday", "Dear friend,\nall the best.\n", {picture}};
  ASSERT_TRUE(script.send(account(sink.port()), message));

  const QJsonArray mails = sink.messages();
  ASSERT_EQ(mails.size(), 1);
  const QJsonObject m = mails[0].toObject();
  EXPECT_EQ(m["from"].toString(), "sender@example.com");
  EXPECT_EQ(m["to"].toString(), "friend@example.org");
  EXPECT_EQ(m["mailfrom"].toString(), "sender@example.com");
  EXPECT_EQ(m["rcptto"].toString(), "friend@example.org");
  EXPECT_EQ(m["subject"].toString(), "Happy birthday");
  EXPECT_EQ(m["body"].toString(), "Dear friend,\nall the best.\n");
  const QJsonArray atts = m["attachments"].toArray();
  ASSERT_EQ(atts.size(), 1);
  EXPECT_EQ(atts[0].toObject()["name"].toString(), "QUVOCard.jpeg");
  EXPECT_EQ(QByteArray::fromBase64(atts[0].toObject()["data"].toString().toLatin1()), bytes);
}

TEST(MailScriptCall, HostileTextsStayTextAndInjectNothing) {
  testing_support::SmtpSink sink;
  ASSERT_TRUE(sink.error().isEmpty()) << sink.error().toStdString();
  QTemporaryDir dir;
  const QString marker = dir.path() + "/pwned";
  const QString hostile =
      QString("it's \"quoted\"; touch %1; $(touch %1) `touch %1` | cat & > x").arg(marker);
  MailScript script(scriptPath());

  // Line breaks in the subject cannot add headers; the text stays on one line.
  MailMessage message{"friend@example.org", hostile + "\r\nBcc: evil@example.net\nX-Evil: 1", hostile, {}};
  ASSERT_TRUE(script.send(account(sink.port()), message));
  // A recipient with a line break (a second SMTP command) is refused.
  EXPECT_FALSE(script.send(account(sink.port()),
                           MailMessage{"friend@example.org\r\nRCPT TO:<evil@example.net>", "s", "b", {}}));
  // A hostile password goes through standard input only.
  MailAccount odd = account(sink.port());
  odd.password = hostile;
  EXPECT_TRUE(script.send(odd, MailMessage{"friend@example.org", "p", "b", {}}));
  // A quote or "$(...)" in the recipient reaches the server as text, not as a command.
  EXPECT_TRUE(script.send(account(sink.port()),
                          MailMessage{"o'brien$(touch " + marker + ")@example.org", "q", "b", {}}));

  EXPECT_FALSE(QFile::exists(marker));
  const QJsonArray mails = sink.messages();
  ASSERT_EQ(mails.size(), 3);
  const QJsonObject m = mails[0].toObject();
  EXPECT_EQ(m["rcptto"].toString(), "friend@example.org");
  EXPECT_TRUE(m["subject"].toString().startsWith(hostile));
  EXPECT_TRUE(m["subject"].toString().contains("Bcc: evil@example.net"));
  EXPECT_EQ(m["body"].toString().trimmed(), hostile);
  for (const auto& h : m["headers"].toArray()) {
    EXPECT_NE(h.toString().toLower(), "bcc");
    EXPECT_NE(h.toString().toLower(), "x-evil");
  }
  // (The oracle's header parser drops the parenthesised part as a comment.)
  EXPECT_TRUE(mails[2].toObject()["rcptto"].toString().startsWith("o'brien$"));
  for (const auto& mail : mails) EXPECT_FALSE(mail.toObject()["rcptto"].toString().contains("evil"));
}

TEST(MailScriptCall, FailuresAreFailuresNotSuccess) {
  const quint16 port = testing_support::freeLocalPort();
  ASSERT_NE(port, 0);
  MailScript script(scriptPath());
  // Nothing listens on the port.
  EXPECT_FALSE(script.send(account(port), MailMessage{"friend@example.org", "s", "b", {}}));
  // A port that is not a number, a missing attachment, a missing script or interpreter.
  MailAccount letters = account(port);
  letters.port = "abc";
  EXPECT_FALSE(script.send(letters, MailMessage{"friend@example.org", "s", "b", {}}));
  EXPECT_FALSE(
      script.send(account(port), MailMessage{"friend@example.org", "s", "b", {"/nonexistent/file.png"}}));
  EXPECT_FALSE(
      MailScript("/nonexistent/pyth_mail.py").send(account(port), MailMessage{"a@b.cc", "s", "b", {}}));
  EXPECT_FALSE(MailScript(scriptPath(), "/nonexistent/python")
                   .send(account(port), MailMessage{"a@b.cc", "s", "b", {}}));
  // A password with a line break cannot be passed on one line.
  MailAccount broken = account(port);
  broken.password = "pass\nword";
  EXPECT_FALSE(script.send(broken, MailMessage{"friend@example.org", "s", "b", {}}));
}

TEST(MailScriptCall, SslAgainstAPlainServerFailsAndTheShippedScriptIsFound) {
  testing_support::SmtpSink sink;
  ASSERT_TRUE(sink.error().isEmpty()) << sink.error().toStdString();
  MailAccount ssl = account(sink.port());
  ssl.enableSsl = "Y";
  EXPECT_FALSE(MailScript(scriptPath()).send(ssl, MailMessage{"friend@example.org", "s", "b", {}}));
  EXPECT_TRUE(sink.messages().isEmpty());
  EXPECT_TRUE(QFileInfo(MailScript::defaultScriptPath()).isFile())
      << MailScript::defaultScriptPath().toStdString();
}

TEST(MailScriptCall, AServerThatNeverAnswersIsCutOffByTheTimeLimit) {
  // A listener that accepts and then says nothing; the script would wait a
  // minute for its greeting.
  testing_support::SilentListener silent;
  ASSERT_NE(silent.port(), 0);
  testing_support::LogCapture log;
  MailScript script(scriptPath(), "/usr/bin/python3", 1500);
  EXPECT_FALSE(script.send(account(silent.port()), MailMessage{"friend@example.org", "s", "b", {}}));
  EXPECT_TRUE(log.contains("The mail script was silent too long and was stopped."));
}

TEST(MailScriptCall, APasswordOutsideAsciiLogsInAsUtf8) {
  testing_support::SmtpSink sink(/*acceptLogins=*/true);
  ASSERT_TRUE(sink.error().isEmpty()) << sink.error().toStdString();
  MailAccount utf8 = account(sink.port());
  utf8.password = QString::fromUtf8("Pässwörd-€");
  ASSERT_TRUE(MailScript(scriptPath()).send(utf8, MailMessage{"friend@example.org", "s", "b", {}}));
  MailAccount ascii = account(sink.port());
  ASSERT_TRUE(MailScript(scriptPath()).send(ascii, MailMessage{"friend@example.org", "s", "b", {}}));
  const QJsonArray logins = sink.logins();
  ASSERT_EQ(logins.size(), 2);
  EXPECT_EQ(logins[0].toObject()["mechanism"].toString(), "PLAIN");
  EXPECT_EQ(logins[0].toObject()["login"].toString(), "sender@example.com");
  EXPECT_EQ(logins[0].toObject()["password"].toString(), QString::fromUtf8("Pässwörd-€"));
  EXPECT_EQ(logins[1].toObject()["password"].toString(), "secret");
  EXPECT_EQ(sink.messages().size(), 2);
}

TEST(MailScriptCall, ArgumentsFollowTheContract) {
  MailScript script("/r/pyth_mail.py");
  MailAccount a{"me@x.org", "pw", "smtp.x.org", "587", ""};
  const QStringList args = script.arguments(a, MailMessage{"you@y.org", "S", "B", {"/a.jpeg", "/b.jpeg"}});
  EXPECT_EQ(args, QStringList({"/r/pyth_mail.py", "me@x.org", "smtp.x.org", "587", "me@x.org", "you@y.org",
                               "S", "B", "N", "/a.jpeg", "/b.jpeg"}));
  EXPECT_FALSE(args.join(' ').contains("pw"));
}

}  // namespace

TEST(MailScriptCall, UnicodeLineSeparatorsInTheSubjectStayOnOneLine) {
  testing_support::SmtpSink sink;
  ASSERT_TRUE(sink.error().isEmpty()) << sink.error().toStdString();
  MailScript script(QString(QUVO_SOURCE_DIR) + "/resources/pyth_mail.py");
  const MailAccount account{"sender@example.com", "secret", "127.0.0.1", QString::number(sink.port()), "N"};
  const QString subject = QString("Hello") + QChar(0x2028) + "Bcc: evil@example.net" + QChar(0x2029) +
                          "X-Evil: 1" + QChar(0x85) + "end";
  ASSERT_TRUE(script.send(account, MailMessage{"friend@example.org", subject, "b", {}}));
  // A recipient with such a separator is refused, never split into two.
  EXPECT_FALSE(script.send(
      account, MailMessage{QString("friend@example.org") + QChar(0x2028) + "evil@x.net", "s", "b", {}}));
  const QJsonArray mails = sink.messages();
  ASSERT_EQ(mails.size(), 1);
  const QJsonObject m = mails[0].toObject();
  EXPECT_EQ(m["subject"].toString(), "Hello Bcc: evil@example.net X-Evil: 1 end");
  for (const auto& h : m["headers"].toArray()) {
    EXPECT_NE(h.toString().toLower(), "bcc");
    EXPECT_NE(h.toString().toLower(), "x-evil");
  }
}

// The mail dialog cancels its transport when it goes away during a run, so
// that the program does not wait minutes for a script that hangs.
TEST(MailScriptCall, ACancelStopsAScriptUnderWayAndEveryLaterSend) {
  testing_support::SilentListener silent;
  ASSERT_NE(silent.port(), 0);
  MailScript script(QString(QUVO_SOURCE_DIR) + "/resources/pyth_mail.py", "/usr/bin/python3", 60'000);
  const MailAccount account{"sender@example.com", "secret", "127.0.0.1", QString::number(silent.port()), "N"};
  std::thread canceller([&script] {
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    script.cancel();
  });
  QElapsedTimer clock;
  clock.start();
  EXPECT_FALSE(script.send(account, MailMessage{"friend@example.org", "s", "b", {}}));
  canceller.join();
  EXPECT_LT(clock.elapsed(), 5'000);
  clock.restart();
  EXPECT_FALSE(script.send(account, MailMessage{"friend@example.org", "s", "b", {}}));
  EXPECT_LT(clock.elapsed(), 1'000);
}

// A file of the user's whose name holds a line break is attached under a
// one-line name instead of making the script fail (or adding a header).
TEST(MailScriptCall, AnAttachmentNameWithALineBreakIsSentOnOneLine) {
  testing_support::SmtpSink sink;
  ASSERT_TRUE(sink.error().isEmpty()) << sink.error().toStdString();
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString file = dir.path() + "/note\nBcc: evil@example.net.txt";
  {
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("hello");
  }
  MailScript script(QString(QUVO_SOURCE_DIR) + "/resources/pyth_mail.py");
  const MailAccount account{"sender@example.com", "secret", "127.0.0.1", QString::number(sink.port()), "N"};
  ASSERT_TRUE(script.send(account, MailMessage{"friend@example.org", "s", "b", {file}}));
  const QJsonArray mails = sink.messages();
  ASSERT_EQ(mails.size(), 1);
  const QJsonObject m = mails[0].toObject();
  const QJsonArray atts = m["attachments"].toArray();
  ASSERT_EQ(atts.size(), 1);
  EXPECT_EQ(atts[0].toObject()["name"].toString(), "note Bcc: evil@example.net.txt");
  for (const auto& h : m["headers"].toArray()) EXPECT_NE(h.toString().toLower(), "bcc");
}

namespace {

// Runs the script under a silence limit of `seconds` (the program never
// shortens it): an interpreter that sets the limit and starts python3.
QString interpreterWithSilenceLimit(const QTemporaryDir& dir, const QString& seconds) {
  const QString path = dir.path() + "/python-with-silence-limit";
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly)) return {};
  f.write("#!/bin/sh\nQUVO_MAIL_SILENCE_SECONDS=" + seconds.toUtf8() + " exec /usr/bin/python3 \"$@\"\n");
  f.close();
  f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  return path;
}

}  // namespace

// The server's final answer comes only once it has taken the whole mail:
// with megabytes still in the system's send queue after the last piece is
// handed over, the wait goes on while the queue drains, each second of it
// far beyond the silence limit. A server that stops reading is given up
// after one limit without progress, with the reason.
TEST(MailScriptCall, AMultiMegabyteMailOnASlowLineIsWaitedForUntilTheServerAnswers) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QByteArray bytes(2 * 1024 * 1024, Qt::Uninitialized);
  QRandomGenerator random(33);
  for (char& c : bytes) c = static_cast<char>(random.bounded(256));
  const QString file = dir.path() + "/card.png";
  {
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
  }
  const QString python = interpreterWithSilenceLimit(dir, "1");
  ASSERT_FALSE(python.isEmpty());
  MailScript script(scriptPath(), python, 20'000);

  testing_support::SmtpSink slow(testing_support::SmtpSink::ReadSlowly{4'000'000});
  ASSERT_TRUE(slow.error().isEmpty()) << slow.error().toStdString();
  EXPECT_TRUE(script.send(account(slow.port()), MailMessage{"friend@example.org", "s", "b", {file}}))
      << script.lastFailure().toStdString();
  EXPECT_EQ(script.lastFailure(), "");
  const QJsonArray mails = slow.messages();
  ASSERT_EQ(mails.size(), 1);
  const QJsonArray atts = mails[0].toObject()["attachments"].toArray();
  ASSERT_EQ(atts.size(), 1);
  EXPECT_TRUE(QByteArray::fromBase64(atts[0].toObject()["data"].toString().toLatin1()) == bytes);

  testing_support::SmtpSink stalled(testing_support::SmtpSink::ReadSlowly{0});
  ASSERT_TRUE(stalled.error().isEmpty()) << stalled.error().toStdString();
  QElapsedTimer clock;
  clock.start();
  EXPECT_FALSE(script.send(account(stalled.port()), MailMessage{"friend@example.org", "s", "b", {file}}));
  EXPECT_LT(clock.elapsed(), 15'000);
  EXPECT_EQ(script.lastFailure(), "The server did not answer for 1 second.");
  EXPECT_TRUE(stalled.messages().isEmpty());
}

// Why a mail failed is told in plain words, with the server's own answer
// where it gave one.
TEST(MailScriptCall, TheReasonAMailFailedIsTold) {
  using Trouble = testing_support::SmtpSink::Trouble;
  MailScript script(scriptPath());
  const MailMessage mail{"friend@example.org", "s", "b", {}};

  testing_support::SmtpSink logins(Trouble::RefusesLogins);
  ASSERT_TRUE(logins.error().isEmpty()) << logins.error().toStdString();
  EXPECT_FALSE(script.send(account(logins.port()), mail));
  EXPECT_TRUE(script.lastFailure().startsWith("The server refused the login (535 "))
      << script.lastFailure().toStdString();

  testing_support::SmtpSink recipients(Trouble::RefusesRecipients);
  ASSERT_TRUE(recipients.error().isEmpty()) << recipients.error().toStdString();
  EXPECT_FALSE(script.send(account(recipients.port()), mail));
  EXPECT_EQ(script.lastFailure(),
            "The server refused the recipient friend@example.org (550 5.1.1 No such mailbox here).");

  testing_support::SmtpSink certificate(Trouble::UnverifiableCertificate);
  ASSERT_TRUE(certificate.error().isEmpty()) << certificate.error().toStdString();
  EXPECT_FALSE(script.send(account(certificate.port()), mail));
  EXPECT_EQ(script.lastFailure(), "The server's certificate cannot be verified (self-signed certificate).");
  for (const auto* sink : {&logins, &recipients, &certificate}) EXPECT_TRUE(sink->messages().isEmpty());

  EXPECT_FALSE(script.send(account(testing_support::freeLocalPort()), mail));
  EXPECT_EQ(script.lastFailure(), "The server refused the connection: check the server name and the port.");
  EXPECT_FALSE(script.send(account(1), MailMessage{"friend@example.org", "s", "b", {"/nonexistent/a.png"}}));
  EXPECT_EQ(script.lastFailure(), "The attachment a.png cannot be read.");
}
