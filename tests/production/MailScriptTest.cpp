// The mail script call against a local SMTP sink.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <future>
#include <stdexcept>
#include <thread>

#include "SmtpSink.h"
#include "platform/globals.h"
#include "production/MailAddresses.h"
#include "production/MailScript.h"
#include "support/EventLoop.h"
#include "support/ScriptedHost.h"
#include "support/TestFiles.h"

using production::addressProblem;
using production::MailAccount;
using production::MailMessage;
using production::MailScript;
using production::withInvisibleShown;

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

// The arguments, which any user of the computer can list, hold the sender's
// address, the server and the attachments; the password, the names, the
// recipient, the subject and the body go on the standard input.
TEST(MailScriptCall, ArgumentsFollowTheContract) {
  MailScript script("/r/pyth_mail.py");
  MailAccount a{QString::fromUtf8("Émile <me@x.org>"), "pw", "smtp.x.org", "587", ""};
  const MailMessage m{QString::fromUtf8("\"Adams, Zoë\" <you@y.org>"), "Sübject", "Body\nline", {"/a.jpeg"}};
  const QStringList args = script.arguments(a, m);
  EXPECT_EQ(args, QStringList({"/r/pyth_mail.py", "me@x.org", "smtp.x.org", "587", "me@x.org", "-", "-", "-",
                               "N", "/a.jpeg"}));
  EXPECT_EQ(MailScript::input(a, m),
            QString::fromUtf8("pw\nDescription\nfrom-name 6\nÉmile\nto 9\nyou@y.org\n"
                              "to-name 11\nAdams, Zoë\nsubject 8\nSübject\n"
                              "body 9\nBody\nline\n")
                .toUtf8());
  // A domain beyond ASCII goes to the server in its ASCII form; the login as typed.
  a.sender = QString::fromUtf8("me@bücher.example");
  const MailMessage idna{QString::fromUtf8("zoë@bücher.example"), "s", "b", {}};
  EXPECT_EQ(
      script.arguments(a, idna).mid(1, 4),
      QStringList({QString::fromUtf8("me@bücher.example"), "smtp.x.org", "587", "me@xn--bcher-kva.example"}));
  EXPECT_TRUE(MailScript::input(a, idna).contains(
      QString::fromUtf8("\nto 26\nzoë@xn--bcher-kva.example\n").toUtf8()));
  // Asking the server what it offers: the secret on the standard input still.
  EXPECT_EQ(MailScript::probeInput(a), "pw\nDescription\nprobe 10\nextensions\n");
}

// The server is asked what it offers as a mail would find it: after the
// login (the run asks it so before its first mail), and given no mail.
TEST(MailScriptCall, TheServerIsAskedWhatItOffersAfterTheLoginWithoutAMail) {
  testing_support::SmtpSink logins(/*acceptLogins=*/true);
  ASSERT_TRUE(logins.error().isEmpty()) << logins.error().toStdString();
  MailScript script(scriptPath());
  const auto offered = script.serverExtensions(account(logins.port()));
  ASSERT_TRUE(offered) << script.lastFailure().toStdString();
  EXPECT_TRUE(offered->contains("AUTH") && offered->contains("8BITMIME")) << offered->join(' ').toStdString();
  ASSERT_EQ(logins.logins().size(), 1);
  EXPECT_EQ(logins.logins()[0].toObject()["password"].toString(), "secret");
  EXPECT_TRUE(logins.messages().isEmpty());
}

// The script checks again what it gives the server: an address that holds
// a blank, a quotation mark, an angle bracket, a comma or an invisible
// character is refused before connecting, whoever calls the script, for
// the reason the program gives.
TEST(MailScriptCall, TheScriptGivesTheServerOnlyPlainAddresses) {
  testing_support::SmtpSink sink(testing_support::SmtpSink::Conduct{});
  ASSERT_TRUE(sink.error().isEmpty()) << sink.error().toStdString();
  MailScript script(scriptPath());
  for (const QString& address :
       {QString("a b@x.org"), QString("\"ab\"@x.org"), QString("ab@x.org>"), QString("ab@x.org,cd@x.org"),
        QString("ab@x@y.org"), QString::fromUtf8("ab@x.org\u200b")}) {
    // Not one mailbox: the script is not even started.
    EXPECT_FALSE(script.send(account(sink.port()), MailMessage{address, "s", "b", {}}));
    EXPECT_TRUE(script.lastFailureIsTheMails());
    // Given to the script directly, as the address alone.
    const MailMessage message{"friend@example.org", "s", "b", {}};
    QByteArray input = MailScript::input(account(sink.port()), message);
    input.replace("to 18\nfriend@example.org",
                  "to " + QByteArray::number(address.toUtf8().size()) + "\n" + address.toUtf8());
    const platform::ChildResult run =
        platform::runChild("/usr/bin/python3", script.arguments(account(sink.port()), message),
                           {.input = input}, testing_support::kHangGuardMs);
    EXPECT_EQ(run.exitCode, 3) << address.toStdString();
    EXPECT_TRUE(run.out.contains("failed The recipient address " + withInvisibleShown(address).toUtf8() +
                                 " cannot be used. " + addressProblem(address).toUtf8()))
        << run.out.toStdString();
  }
  EXPECT_TRUE(sink.events().isEmpty()) << sink.events().join('\n').toStdString();
}

// The program's reader and the script hold one set of address rules: the
// same cases, and every character between two letters of an address (the
// planes in use whole, the others sampled), get the same verdict and reason
// from both. Should the two know different versions of Unicode, the
// characters they judge differently show here.
TEST(MailScriptCall, TheReaderAndTheScriptJudgeEveryAddressAlike) {
  const QString l64 = QString(64, 'l'), d189 = "@" + QString(180, 'd') + "." + QString(8, 't');
  const QStringList cases =
      QString::fromUtf8(
          "a1@example.test\na2@example.test\u200b\n\ufeffa3@x.test\na4\u202e@x.test\nzoë@exämple.org\n😀@x."
          "org\n"
          "a@b.c\nab@c.d\nab@cdef\nzoe@x..org\n.zoe@x.org\nzoe.@x.org\n@x.org\nzoe@\nzoe\na b@x.org\n"
          "a\u00a0b@x.org\n\"ab\"@x.org\nab@x.org>\nab@x@y.org\na[b]@x.org\no'brien+tag@x.org\na\x7f@x.org")
          .split('\n') +
      QStringList{l64 + "@x.org",
                  "l" + l64 + "@x.org",
                  l64 + d189,
                  l64 + "x" + d189,
                  QString(33, QChar(0xe9)) + "@x.org",
                  QString(32, QChar(0xe9)) + "@x.org",
                  QString(22, QChar(0x130)) + "@x.org"};
  QTemporaryDir dir;
  ASSERT_TRUE(testing_support::writeFile(dir.path() + "/cases", cases.join('\n').toUtf8()));
  const QStringList script =
      QString::fromUtf8(
          testing_support::runPython("import sys\n"
                                     "sys.dont_write_bytecode = True\n"
                                     "sys.path.insert(0, sys.argv[1])\n"
                                     "from pyth_mail import address_problem, code_of\n"
                                     "for case in open(sys.argv[2], encoding='utf-8').read().split('\\n'):\n"
                                     "    print(address_problem(case) or 'taken')\n"
                                     "last = None\n"
                                     "for c in range(0x110000):\n"
                                     "    if c >= 0x40000 and not 0xE0000 <= c < 0xE1000 and c % 97:\n"
                                     "        continue\n"
                                     "    why = address_problem('a' + chr(c) + 'b@example.org') or 'taken'\n"
                                     "    why = why.replace(code_of(chr(c)), 'U+?')\n"
                                     "    if why != last:\n"
                                     "        print('%X %s' % (c, why))\n"
                                     "    last = why\n",
                                     {QFileInfo(scriptPath()).absolutePath(), dir.path() + "/cases"}))
          .split('\n');
  ASSERT_GE(script.size(), cases.size());
  for (qsizetype i = 0; i < cases.size(); ++i) {
    const QString why = addressProblem(cases[i]);
    EXPECT_EQ((why.isEmpty() ? "taken" : why).toStdString(), script[i].toStdString())
        << cases[i].toStdString();
    const auto read = production::readMailbox(cases[i]);
    EXPECT_EQ(read ? read->address : "refused", why.isEmpty() ? cases[i] : "refused");
  }
  // The characters, from the reader's rules (and from the whole reader for
  // the first 12,288 and every seventh; it is slower).
  QStringList runs;
  QString last;
  for (char32_t c = 0; c < 0x110000; ++c) {
    if (c >= 0x40000 && !(c >= 0xE0000 && c < 0xE1000) && c % 97) continue;
    const QString text =
        "a" + (c < 0x10000 ? QString(QChar(char16_t(c))) : QString::fromUcs4(&c, 1)) + "b@example.org";
    QString why = addressProblem(text);
    if ((c < 0x3000 || c % 7 == 0) && production::readMailbox(text).has_value() != why.isEmpty())
      ADD_FAILURE() << "the reader and its rules differ at " << uint(c);
    why = why.isEmpty() ? "taken"
                        : why.replace(QString("U+%1").arg(uint(c), 4, 16, QChar('0')).toUpper(), "U+?");
    if (why != last) runs << QString::number(uint(c), 16).toUpper() + " " + why;
    last = why;
  }
  EXPECT_EQ(runs.join('\n').toStdString(), script.mid(cases.size()).join('\n').trimmed().toStdString())
      << "the reader first, the script second";
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
  testing_support::SmtpSink quiet(testing_support::SmtpSink::Conduct{.silentFromMailOn = true});
  testing_support::SmtpSink sink;
  ASSERT_TRUE(quiet.error().isEmpty() && sink.error().isEmpty()) << sink.error().toStdString();
  MailScript script(scriptPath());
  const MailMessage mail{"friend@example.org", "s", "b", {}};
  // Cancelled once the server has been given the sender: the script is under way.
  std::thread canceller([&quiet, &script] {
    quiet.waitFor("mail FROM:");
    script.cancel();
  });
  EXPECT_FALSE(script.send(account(quiet.port()), mail));
  canceller.join();
  EXPECT_EQ(script.lastFailure(), "Sending was stopped.");
  EXPECT_EQ(script.lastNotSent(), production::MailNotSent::Stopped);
  // A later send does not even start: a server that takes mails gets none.
  EXPECT_FALSE(script.send(account(sink.port()), mail));
  EXPECT_EQ(script.lastFailure(), "Sending was stopped.");
  EXPECT_TRUE(sink.messages().isEmpty());
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

QByteArray randomBytes(int size, quint32 seed) {
  QByteArray bytes(size, Qt::Uninitialized);
  QRandomGenerator random(seed);
  for (char& c : bytes) c = static_cast<char>(random.bounded(256));
  return bytes;
}

// The one attachment of the single mail a sink received, or "" without one.
QByteArray receivedAttachment(const testing_support::SmtpSink& sink) {
  const QJsonArray mails = sink.messages();
  const QJsonArray atts = mails.size() == 1 ? mails[0].toObject()["attachments"].toArray() : QJsonArray();
  return atts.size() == 1 ? QByteArray::fromBase64(atts[0].toObject()["data"].toString().toLatin1()) : "";
}

}  // namespace

// A slow line: the server takes the multi-megabyte mail bit by bit for
// longer than the silence limit, which no process waiting for a core comes
// near; the send waits as long as the server keeps taking it. A server that
// stops reading is given up after one limit without progress, with the
// reason.
TEST(MailScriptCall, AMultiMegabyteMailOnASlowLineIsWaitedForUntilTheServerAnswers) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QByteArray bytes = randomBytes(2 * 1024 * 1024, 33);
  const QString file = dir.path() + "/card.png";
  ASSERT_TRUE(testing_support::writeFile(file, bytes));
  MailScript script(scriptPath(), testing_support::pythonWithMailLimits(dir.path(), "10"));

  testing_support::SmtpSink slow(testing_support::SmtpSink::Conduct{.readBytesPerSecond = 200'000});
  ASSERT_TRUE(slow.error().isEmpty()) << slow.error().toStdString();
  EXPECT_TRUE(script.send(account(slow.port()), MailMessage{"friend@example.org", "s", "b", {file}}))
      << script.lastFailure().toStdString();
  EXPECT_TRUE(receivedAttachment(slow) == bytes);

  // Here the limit is meant to run out: a short one.
  MailScript impatient(scriptPath(), testing_support::pythonWithMailLimits(dir.path(), "1"));
  testing_support::SmtpSink stalled(testing_support::SmtpSink::Conduct{.stopsReading = true});
  ASSERT_TRUE(stalled.error().isEmpty()) << stalled.error().toStdString();
  EXPECT_FALSE(impatient.send(account(stalled.port()), MailMessage{"friend@example.org", "s", "b", {file}}));
  EXPECT_EQ(impatient.lastFailure(), "The server did not answer for 1 second.");
  EXPECT_EQ(impatient.lastNotSent(), production::MailNotSent::Failed);
  EXPECT_TRUE(stalled.messages().isEmpty());
}

// Once the server has taken the whole mail, its answer is waited for as the
// mail standards recommend (ten minutes), not for the silence limit: a
// server that checks the mail long before it answers, and one that took
// the mail into a large buffer and reads it slowly, both get it sent (each
// with silence beyond the limit of 10 s, the script's and the program's own). A server that never answers is
// given up after the answer limit (short here), and the mail it stored is
// reported as one that may have been delivered.
TEST(MailScriptCall, TheServerIsWaitedForOnceItHasTakenTheWholeMail) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString file = dir.path() + "/card.png";
  const QByteArray bytes = randomBytes(200 * 1024, 5);
  ASSERT_TRUE(testing_support::writeFile(file, bytes));
  using Conduct = testing_support::SmtpSink::Conduct;
  testing_support::SmtpSink checking(Conduct{.answerAfterSeconds = 12});
  testing_support::SmtpSink buffered(Conduct{.readBytesPerSecond = 20'000, .receiveBuffer = 1 << 20});
  ASSERT_TRUE(checking.error().isEmpty() && buffered.error().isEmpty()) << checking.error().toStdString();
  const QString python = testing_support::pythonWithMailLimits(dir.path(), "10");
  const MailMessage mail{"friend@example.org", "s", "b", {file}};
  auto sendTo = [&](quint16 port) {
    return std::async(std::launch::async, [&, port] {
      MailScript script(scriptPath(), python, 10'000);
      return script.send(account(port), mail) ? QString("sent") : script.lastFailure();
    });
  };
  auto checked = sendTo(checking.port());
  auto read = sendTo(buffered.port());
  EXPECT_EQ(checked.get(), "sent");
  EXPECT_EQ(read.get(), "sent");
  EXPECT_TRUE(receivedAttachment(checking) == bytes);
  EXPECT_TRUE(receivedAttachment(buffered) == bytes);

  testing_support::SmtpSink mute(Conduct{.answerAfterSeconds = -1});
  ASSERT_TRUE(mute.error().isEmpty()) << mute.error().toStdString();
  MailScript script(scriptPath(), testing_support::pythonWithMailLimits(dir.path(), "10", "1"));
  EXPECT_FALSE(script.send(account(mute.port()), mail));
  EXPECT_EQ(script.lastFailure(), "The server took the whole mail but did not confirm it within 1 second.");
  EXPECT_EQ(script.lastNotSent(), production::MailNotSent::Unconfirmed);
  ASSERT_TRUE(mute.waitFor("stored"));
  EXPECT_TRUE(receivedAttachment(mute) == bytes);
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
  EXPECT_EQ(script.lastFailure(), "The attachment a.png cannot be read: there is no such file.");
}

// The server is given the address alone; a name, with accents or of any
// length, goes into the From or To line encoded as the mail standards say,
// on lines of at most 998 characters, and a server without SMTPUTF8 takes
// the mail. Only an address that is not ASCII needs SMTPUTF8, and the
// reason says so. An address longer than the standards allow is refused
// before connecting, with the reason; one at the limits goes.
TEST(MailScriptCall, NamesGoIntoTheHeaderAndTheServerIsGivenTheAddressAlone) {
  testing_support::SmtpSink sink(testing_support::SmtpSink::Conduct{});  // offers no SMTPUTF8
  ASSERT_TRUE(sink.error().isEmpty()) << sink.error().toStdString();
  MailScript script(scriptPath());
  MailAccount named = account(sink.port());
  named.sender = QString::fromUtf8("Jürgen Bäcker <sender@example.com>");
  EXPECT_TRUE(
      script.send(named, MailMessage{QString::fromUtf8("Zoë Ådams <zoe@example.test>"), "s", "b", {}}))
      << script.lastFailure().toStdString();
  EXPECT_TRUE(script.send(account(sink.port()),
                          MailMessage{QString(1500, 'x') + " <long@example.test>", "s", "b", {}}))
      << script.lastFailure().toStdString();
  const QString atTheLimits = QString(64, 'a') + "@" + QString(176, 'd') + ".example.test";
  ASSERT_EQ(atTheLimits.size(), 254);
  EXPECT_TRUE(script.send(account(sink.port()), MailMessage{atTheLimits, "s", "b", {}}))
      << script.lastFailure().toStdString();
  // A name that reads like an encoded word is shown as typed, not decoded.
  EXPECT_TRUE(script.send(named, MailMessage{"=?utf-8?b?QWRh?= <ada@example.test>", "s", "b", {}}))
      << script.lastFailure().toStdString();
  const QJsonArray mails = sink.messages();
  ASSERT_EQ(mails.size(), 4);
  EXPECT_EQ(mails[3].toObject()["to"].toString(), "=?utf-8?b?QWRh?= <ada@example.test>");
  EXPECT_EQ(mails[0].toObject()["to"].toString(), QString::fromUtf8("Zoë Ådams <zoe@example.test>"));
  EXPECT_EQ(mails[0].toObject()["from"].toString(), QString::fromUtf8("Jürgen Bäcker <sender@example.com>"));
  EXPECT_EQ(mails[0].toObject()["rcptto"].toString(), "zoe@example.test");
  EXPECT_EQ(mails[0].toObject()["mailfrom"].toString(), "sender@example.com");
  EXPECT_EQ(mails[1].toObject()["rcptto"].toString(), "long@example.test");
  for (const auto& mail : mails) EXPECT_LE(mail.toObject()["longestLine"].toInt(), 998);
  EXPECT_EQ(mails[2].toObject()["rcptto"].toString(), atTheLimits);

  EXPECT_FALSE(
      script.send(account(sink.port()), MailMessage{QString::fromUtf8("zoë@example.test"), "s", "b", {}}));
  EXPECT_EQ(script.lastFailure(),
            QString::fromUtf8("The recipient address zoë@example.test is not plain ASCII, and "
                              "the server does not take such addresses (it offers no SMTPUTF8)."));
  EXPECT_TRUE(script.lastFailureIsTheMails());

  const quint16 nobody = testing_support::freeLocalPort();  // refused before connecting
  const QString longLocal = QString(65, 'a') + "@example.test";
  EXPECT_FALSE(script.send(account(nobody), MailMessage{"Long <" + longLocal + ">", "s", "b", {}}));
  EXPECT_EQ(script.lastFailure(), "The recipient address cannot be used: \"Long <" + longLocal +
                                      ">\". It is too long: the part before the @ has 65 characters, the "
                                      "mail standards allow 64.");
  EXPECT_TRUE(script.lastFailureIsTheMails());
  // A name written without angle brackets is no part of the address.
  EXPECT_FALSE(script.send(account(nobody),
                           MailMessage{QString::fromUtf8("Zoë Ådams zoe@example.test"), "s", "b", {}}));
  EXPECT_EQ(script.lastFailure(),
            QString::fromUtf8("The recipient address cannot be used: \"Zoë Ådams zoe@example.test\". A "
                              "name goes before the address, which then goes in angle brackets: name "
                              "<address>."));
  EXPECT_TRUE(script.lastFailureIsTheMails());
  const QString longAddress = "a@" + QString(240, 'd') + ".example.test";
  EXPECT_FALSE(script.send(account(nobody), MailMessage{longAddress, "s", "b", {}}));
  EXPECT_TRUE(script.lastFailure().endsWith(
      ".example.test\". It is too long: it has 255 characters, the mail standards allow 254."))
      << script.lastFailure().toStdString();
  EXPECT_EQ(sink.messages().size(), 4);
}

// A server that streams the lines of its answer without end: the answer is
// read within the limits of any real answer and the mail ends with the
// reason, in bounded memory (a script that kept every line dies of its
// memory limit here, without one).
TEST(MailScriptCall, AServerThatAnswersWithoutEndEndsTheMailWithTheReason) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  testing_support::SmtpSink flood(testing_support::SmtpSink::Conduct{.floods = true});
  ASSERT_TRUE(flood.error().isEmpty()) << flood.error().toStdString();
  MailScript script(scriptPath(), testing_support::pythonWithMemoryLimit(dir.path(), 400));
  EXPECT_FALSE(script.send(account(flood.port()), MailMessage{"friend@example.org", "s", "b", {}}));
  EXPECT_EQ(script.lastFailure(),
            "The server's answer was too long (more than 300 lines); it is not a mail server's answer.");
  EXPECT_EQ(script.lastNotSent(), production::MailNotSent::Failed);
  EXPECT_FALSE(script.lastFailureIsTheMails());
}

// A mail given up before the server has all of it goes with the connection,
// which is reset: the server, reading on later, stores nothing, so a mail
// reported as not sent never arrives afterwards.
TEST(MailScriptCall, AMailGivenUpBeforeTheServerHasAllOfItNeverArrivesLater) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString file = dir.path() + "/card.png";
  ASSERT_TRUE(testing_support::writeFile(file, randomBytes(20 * 1024, 7)));
  testing_support::SmtpSink paused(testing_support::SmtpSink::Conduct{.pausesReadingUntilResumed = true});
  ASSERT_TRUE(paused.error().isEmpty()) << paused.error().toStdString();
  // The silence limit is meant to run out: the server reads on only when told.
  MailScript script(scriptPath(), testing_support::pythonWithMailLimits(dir.path(), "1"));
  EXPECT_FALSE(script.send(account(paused.port()), MailMessage{"friend@example.org", "s", "b", {file}}));
  EXPECT_EQ(script.lastFailure(), "The server did not answer for 1 second.");
  EXPECT_EQ(script.lastNotSent(), production::MailNotSent::Failed);
  paused.resume();
  ASSERT_TRUE(paused.waitFor("closed", testing_support::kHangGuardMs));
  EXPECT_FALSE(paused.events().contains("stored"));
  EXPECT_TRUE(paused.messages().isEmpty());
}
