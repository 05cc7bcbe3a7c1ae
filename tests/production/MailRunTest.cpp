// The mail run: checks, the four modes, pauses, stop and the closing message.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <functional>
#include <set>
#include <stdexcept>

#include "SmtpSink.h"
#include "core/globals.h"
#include "platform/globals.h"
#include "production/MailRun.h"
#include "production/globals.h"
#include "support/EventLoop.h"
#include "support/ScriptedHost.h"
#include "support/TestFiles.h"

using namespace production;

namespace {

// Message boxes show their text after a line break.
const QString kSent = "\nE-mail has been sent successfully.";
const QString kNotSentStart =
    "\nCould not send email message.\nPlease make sure that:\n1. Entered E-mail settings";

struct Sent {
  QString recipient;
  QStringList attachments;
  QStringList contents;  // the attachment files' contents at the moment of sending
};

class FakeTransport : public MailTransport {
 public:
  bool send(const MailAccount& account, const MailMessage& message) override {
    lastAccount = account;
    Sent s{message.recipient, message.attachments, {}};
    for (const QString& path : message.attachments) {
      QFile f(path);
      s.contents.append(f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : "<missing>");
    }
    sent.push_back(s);
    if (onSend) onSend(static_cast<int>(sent.size()));
    return failAt.count(static_cast<int>(sent.size())) == 0;
  }
  std::optional<QStringList> serverExtensions(const MailAccount&) override {
    ++asked;
    return offered;
  }
  QString lastFailure() const override { return failure; }
  std::vector<Sent> sent;
  int asked = 0;                                                 // times the server was asked what it offers
  std::optional<QStringList> offered = QStringList{"8BITMIME"};  // nothing: it could not be asked
  QString failure;
  std::set<int> failAt;  // 1-based numbers of the calls that fail
  std::function<void(int)> onSend;
  MailAccount lastAccount;
};

class FakeCards : public MailCardSource {
 public:
  int prepareRows(bool series, bool excel) override { return (series || excel) ? rows : 0; }
  bool writeSide(int side, const QString& path) override {
    ++renders;
    return write(path, side == 0 ? "front" : "back");
  }
  bool writeRowSide(int row, int side, const QString& path) override {
    ++renders;
    if (emptyRows.count(row)) return false;
    return write(path, QString("%1 row %2").arg(side == 0 ? "front" : "back").arg(row));
  }
  void restoreFirstRow() override { ++restored; }
  static bool write(const QString& path, const QString& text) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    f.write(text.toUtf8());
    return true;
  }
  int rows = 0;
  std::set<int> emptyRows;
  int renders = 0;
  int restored = 0;
};

class Recorder : public MailRunObserver {
 public:
  void runStarted(int n) override { started = n; }
  void pauseTextChanged(const QString& t) override {
    texts.append(t);
    if (onPauseText) onPauseText();
  }
  void waitTextChanged(const QString& t) override { waits.append(t); }
  void runFinished() override { ++finished; }
  int started = -1;
  int finished = 0;
  QStringList texts;
  QStringList waits;
  std::function<void()> onPauseText;
};

class MailRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tmp.isValid());
    request.from = " Me@Example.COM ";
    request.subject = "Hi";
    request.body = "Body";
    request.tempFolder = tmp.path();
    Card_Front_Or_Back.store(1);
  }
  MailRunOutcome go() {
    Send_Mail_Run run(transport, &cards, &recorder);
    run.setPauseTickMs(20);
    return run.run(request, MailAccount{"stored@x.org", "pw", "smtp.x.org", "25", "N"});
  }
  QStringList recipients() const {
    QStringList r;
    for (const auto& s : transport.sent) r << s.recipient;
    return r;
  }
  testing_support::ScriptedHost host;
  QTemporaryDir tmp;
  FakeTransport transport;
  FakeCards cards;
  Recorder recorder;
  MailRunRequest request;
};

TEST(MailAddressCheck, FollowsTheRule) {
  EXPECT_FALSE(isValidEmail("a@b.c"));  // 5 characters
  EXPECT_TRUE(isValidEmail("ab@c.d"));  // 6
  EXPECT_FALSE(isValidEmail("abc@cdef"));
  EXPECT_FALSE(isValidEmail("a@b@c.de"));
  EXPECT_TRUE(isValidEmail("  ab@c.d  "));
}

// The To line is a list of mailboxes as the mail standards write them:
// commas and angle brackets inside quotation marks or comments belong to
// the name; line breaks and tabs part entries as commas do (a column pasted
// from a table); anything that is not exactly one mailbox is refused, named
// as typed, with the reason; what is read is written back so that it reads
// the same (it goes to the mail script in that form).
TEST(MailAddressCheck, ReadsTheToLineAsAListOfMailboxes) {
  const QString line = QString::fromUtf8(
      "\"Bob@Example.test, Zoë\" <zoe@example.test>, \"Adams, Zoë <the \\\"elder\\\">\" <Z2@x.org>,"
      "plain@x.org,, Dr. Zoë Ådams (née Berg) <z3@x.org> , \"\" <z4@x.org>, z5 @ x.org (home)\r\n"
      "o'brien+tag@x.org\t\tJo Doe <jo@x.org>\n");
  const MailboxList list = readMailboxList(line);
  ASSERT_FALSE(list.refused) << list.refused->entry.toStdString() << list.refused->why.toStdString();
  const QList<Mailbox> expected{{QString::fromUtf8("Bob@Example.test, Zoë"), "zoe@example.test"},
                                {QString::fromUtf8("Adams, Zoë <the \"elder\">"), "Z2@x.org"},
                                {"", "plain@x.org"},
                                {QString::fromUtf8("Dr. Zoë Ådams"), "z3@x.org"},
                                {"", "z4@x.org"},
                                {"", "z5@x.org"},
                                {"", "o'brien+tag@x.org"},
                                {"Jo Doe", "jo@x.org"}};
  EXPECT_EQ(list.mailboxes, expected);
  for (const Mailbox& m : list.mailboxes) EXPECT_EQ(readMailbox(m.text()), m) << m.text().toStdString();
  EXPECT_EQ(list.mailboxes[1].lowercased().text(),
            QString::fromUtf8("\"Adams, Zoë <the \\\"elder\\\">\" <z2@x.org>"));

  const QString empty = "The recipient address is empty.";
  const QString nameFirst =
      "A name goes before the address, which then goes in angle brackets: name <address>.";
  const QString two = "It holds more than one address: separate the addresses with commas.";
  const QString notOne = "It is not an address of the form name@example.org.";
  const std::pair<QString, QString> refused[] = {
      {"Ana Empty ana.empty.000841@example.org", nameFirst},
      {QString::fromUtf8("Zoë Ådams ZOE.Adams@Example.org"), nameFirst},
      {QString::fromUtf8("Zoë <>"), empty},
      {"<  >", empty},
      {"B0992 Smith <b0992@example.co", "The closing angle bracket \">\" is missing."},
      {"b0992@example.com>", "The opening angle bracket \"<\" is missing."},
      {"a@x.org b@y.org", two},
      {"a@x.org; b@y.org", two},
      {"A <a@x.org> <b@y.org>", two},
      {"A <a@x.org> b@y.org", two},
      {"A <a@x.org> junior", "Nothing may follow the address in angle brackets."},
      {"\"Adams, Zoë <zoe@x.org>", "A quotation mark is not closed."},
      {"zoe@x.org (home", "A parenthesis is not closed."},
      {"bob@x.org <bob@x.org>",
       "A name that holds characters such as @ : ; < > [ ] goes in quotation marks: \"name\" <address>."},
      {"\"bob smith\"@x.org",
       "Quotation marks have no place in the address; a name in quotation marks goes before it: \"name\" "
       "<address>."},
      {"Zoe <zoe@x..org>", "A dot begins or ends a part of it, or two dots stand together."},
      {"a@b.c", "It is too short: an address has at least 6 characters."},
      {"Zoe <z[oe@x.org>", "It holds \"[\", which has no place in an address."},
      {"Zoe <z oe@x.org>", "It holds a blank inside the address."},
      {"zoe", notOne},
      {QString("zo\x01"
               "e@x.org"),
       "It holds the invisible character U+0001."},
      {QString::fromUtf8("Zoë <zoe@x.org\u200b>"), "It holds the invisible character U+200B."},
      {QString::fromUtf8("\"Zoë\nÅdams\" <zoe@x.org>"),
       "A line break or a tab stands inside quotation marks."},
  };
  for (const auto& [entry, why] : refused) {
    const MailboxList one = readMailboxList("ok@x.org\n" + entry + " ");
    ASSERT_TRUE(one.refused) << entry.toStdString();
    EXPECT_EQ(one.refused->entry, entry);
    EXPECT_EQ(one.refused->why, why) << entry.toStdString();
  }
  // Invisible characters are named by their code where the entry is quoted.
  EXPECT_EQ(refusalText("Lead.", {QChar(0xfeff) + QString::fromUtf8("a2@x.org\u202e"), "Why."}).toStdString(),
            "Lead: \"<U+FEFF>a2@x.org<U+202E>\".\nWhy.");
  QString why;
  EXPECT_FALSE(readMailbox("a@x.org, b@y.org", &why));
  EXPECT_EQ(why, "Only one address goes here.");
  EXPECT_FALSE(readMailbox("Me <>", &why, MailboxRole::Sender));
  EXPECT_EQ(why, "The sender address is empty.");
  // A long entry is named by its start and end.
  const QString longEntry = QString(200, 'n') + " x@y.org";
  const QString text = refusalText("Lead.", {longEntry, "Why."});
  EXPECT_EQ(text, "Lead: \"" + QString(60, 'n') + QChar(0x2026) + QString(52, 'n') + " x@y.org\".\nWhy.");
}

TEST(MailPauseText, Forms) {
  EXPECT_EQ(Calculate_Pause_Time(10000), "Pausing the process for 10 Seconds.");
  EXPECT_EQ(Calculate_Pause_Time(1000), "Pausing the process for 1 Second.");
  EXPECT_EQ(Calculate_Pause_Time(0), "Pausing the process for 0 Second.");
  EXPECT_EQ(Calculate_Pause_Time(3661000), "Pausing the process for 1 Hour 1 Minute 1 Second.");
  EXPECT_EQ(Calculate_Pause_Time(120000), "Pausing the process for 2 Minutes 0 Second.");
  EXPECT_EQ(Calculate_Pause_Time(7322000), "Pausing the process for 2 Hours 2 Minutes 2 Seconds.");
}

TEST_F(MailRunTest, ChecksRefuseWithTheirMessages) {
  struct Case {
    QString from, to, fileName, message;
  } cases[] = {
      {"  ", "a@b.cc.de", "QUVOCard",
       "No e-mail has been sent: the E-mail settings are missing.\nEnter them under Settings... in this "
       "window and save them."},
      {"me@x.org", "  ", "QUVOCard", "Please specify the Recipient E-mail address."},
      {"me@x.org", "nobody, x@y", "QUVOCard",
       "Recipient E-mail address is invalid or incomplete: \"nobody\"."},
      {"me@x.org", "good@x.org, bad", "QUVOCard",
       "Recipient E-mail address is invalid or incomplete: \"bad\"."},
      {"me@x.org", " , ", "QUVOCard", "Recipient E-mail address is invalid or incomplete."},
      {"me@x.org", "good@x.org", " /*? ", "Please enter valid file name."},
      {"Me <me@x.org", "good@x.org", "QUVOCard",
       "Please enter valid sender E-mail address.\nThe closing angle bracket \">\" is missing."},
      // Each entry as it was typed, with the reason.
      {"me@x.org", QString::fromUtf8("ok@x.org, Zoë Ådams ZOE.Adams@Example.org"), "QUVOCard",
       QString::fromUtf8(
           "Recipient E-mail address is invalid or incomplete: \"Zoë Ådams ZOE.Adams@Example.org\"."
           "\nA name goes before the address, which then goes in angle brackets: name <address>.")},
      {"me@x.org", QString::fromUtf8("Zoë <>, ok@x.org"), "QUVOCard",
       QString::fromUtf8("Recipient E-mail address is invalid or incomplete: \"Zoë <>\".\n"
                         "The recipient address is empty.")},
  };
  for (const Case& c : cases) {
    host.clear();
    request.from = c.from;
    request.to = c.to;
    request.fileName = c.fileName;
    EXPECT_EQ(go(), MailRunOutcome::Refused) << c.to.toStdString();
    ASSERT_EQ(host.messages().size(), 1);
    EXPECT_TRUE(host.messages()[0].startsWith("\n" + c.message)) << host.messages()[0].toStdString();
  }
  EXPECT_TRUE(transport.sent.empty());
  EXPECT_EQ(recorder.started, -1);
}

TEST_F(MailRunTest, CardWithoutRowsBothSidesRendersOnceBackFirstAndCleansUp) {
  // Addresses go lowercased; a name written with one keeps its case.
  request.from = QString::fromUtf8(" Jörg Müller <Me@Example.COM> ");
  request.to = QString::fromUtf8("ONE@x.org, Zoë Ådams <TWO@x.org>,three@x.org");
  request.cardSide = "BOTH";
  request.fileName = " Party ";
  EXPECT_EQ(go(), MailRunOutcome::Sent);
  EXPECT_EQ(recipients(),
            QStringList({"one@x.org", QString::fromUtf8("Zoë Ådams <two@x.org>"), "three@x.org"}));
  EXPECT_EQ(cards.renders, 2);
  for (const Sent& s : transport.sent) {
    EXPECT_EQ(s.attachments, QStringList({tmp.path() + "/Party_Back.jpeg", tmp.path() + "/Party.jpeg"}));
    EXPECT_EQ(s.contents, QStringList({"back", "front"}));
  }
  EXPECT_EQ(transport.lastAccount.sender, QString::fromUtf8("Jörg Müller <me@example.com>"));
  EXPECT_EQ(transport.lastAccount.server, "smtp.x.org");
  EXPECT_FALSE(QFile::exists(tmp.path() + "/Party.jpeg"));
  EXPECT_FALSE(QFile::exists(tmp.path() + "/Party_Back.jpeg"));
  EXPECT_EQ(Card_Front_Or_Back.load(), 1);
  EXPECT_EQ(host.messages(), QStringList({kSent}));
  EXPECT_EQ(recorder.started, 3);
  EXPECT_EQ(recorder.finished, 1);
}

TEST_F(MailRunTest, RowsOnePerRecipientStopAtTheShorterList) {
  request.excelChecked = true;
  request.allToEvery = false;
  request.to = "a1@x.org,a2@x.org,a3@x.org";
  cards.rows = 5;
  EXPECT_EQ(go(), MailRunOutcome::Sent);
  ASSERT_EQ(transport.sent.size(), 3u);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(transport.sent[i].contents, QStringList({QString("front row %1").arg(i)}));
  EXPECT_EQ(cards.restored, 1);

  // Recipients past the last row get no card: the progress counts the
  // mails that can go, and the closing message counts and names the others.
  transport.sent.clear();
  host.clear();
  cards.rows = 3;
  request.to = "a1@x.org,a2@x.org,a3@x.org, a4@x.org,a5@x.org";
  EXPECT_EQ(go(), MailRunOutcome::Failed);
  EXPECT_EQ(recipients(), QStringList({"a1@x.org", "a2@x.org", "a3@x.org"}));
  EXPECT_EQ(curr_barcode_count.load(), 3.0);
  EXPECT_EQ(list_count.load(), 3);
  EXPECT_EQ(sendingProgressText(), "3 / 3 ");
  EXPECT_EQ(host.messages(), QStringList({"\n3 of 5 e-mails have been sent: 0 failed, 2 skipped.\n"
                                          "Recipients without a data row got no mail: a4@x.org, a5@x.org."}));

  // A row without picture: that index's recipient gets nothing, and the
  // closing message counts that mail as failed.
  transport.sent.clear();
  host.clear();
  cards.emptyRows = {1};
  request.cardSide = "B";
  EXPECT_EQ(go(), MailRunOutcome::Failed);
  EXPECT_EQ(recipients(), QStringList({"a1@x.org", "a3@x.org"}));
  ASSERT_EQ(host.messages().size(), 1);
  EXPECT_TRUE(host.messages()[0].startsWith(kNotSentStart));
  EXPECT_TRUE(
      host.messages()[0].endsWith("\n\n2 of 5 e-mails have been sent: 1 failed, 2 skipped.\n"
                                  "Recipients without a data row got no mail: a4@x.org, a5@x.org."))
      << host.messages()[0].toStdString();
  EXPECT_EQ(transport.sent[1].contents, QStringList({"back row 2"}));

  // A blank entry of the To line (an empty line, nothing between two commas)
  // keeps its row's place, first entry too: that row gets no mail and is
  // named; blank lines at the end are none. A comma next to a line break
  // parts no blank entry.
  transport.sent.clear();
  host.clear();
  cards.emptyRows.clear();
  cards.rows = 6;
  request.to = "\r\na2@x.org,\r\n a3@x.org,, a5@x.org\n\n, \n";
  EXPECT_EQ(go(), MailRunOutcome::Failed);
  EXPECT_EQ(recipients(), QStringList({"a2@x.org", "a3@x.org", "a5@x.org"}));
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(transport.sent[i].contents, QStringList({QString("back row %1").arg(QList{1, 2, 4}[i])}));
  EXPECT_EQ(list_count.load(), 5);
  EXPECT_EQ(host.messages(), QStringList({"\n3 of 5 e-mails have been sent: 0 failed, 2 skipped.\n"
                                          "2 cards got no mail:\ncard 1: no address (To: entry 1 is "
                                          "empty)\ncard 4: no address (To: entry 4 is empty)"}));
  // Past the last row as well, only the addresses are named.
  transport.sent.clear();
  host.clear();
  cards.rows = 1;
  EXPECT_EQ(go(), MailRunOutcome::Failed);
  EXPECT_TRUE(transport.sent.empty());
  EXPECT_EQ(host.messages(),
            QStringList({"\n0 of 4 e-mails have been sent: 0 failed, 4 skipped.\n"
                         "Recipients without a data row got no mail: a2@x.org, a3@x.org, a5@x.org.\n"
                         "1 card got no mail:\ncard 1: no address (To: entry 1 is empty)"}));
  // In the other modes blank entries are left out.
  transport.sent.clear();
  host.clear();
  request.allToEvery = true;
  EXPECT_EQ(go(), MailRunOutcome::Sent);
  EXPECT_EQ(recipients(), QStringList({"a2@x.org", "a3@x.org", "a5@x.org"}));
}

TEST_F(MailRunTest, RowsToEveryoneSendsEveryCardToEveryRecipientAndEndsAtAFailureAsEveryMode) {
  request.seriesChecked = true;
  request.to = "b1@x.org,b2@x.org";
  cards.rows = 4;
  // The progress counts a card once its mails have gone, not while they
  // are handed over.
  QList<double> progress;
  transport.onSend = [&progress](int) { progress << curr_barcode_count.load(); };
  EXPECT_EQ(go(), MailRunOutcome::Sent);
  EXPECT_EQ(transport.sent.size(), 8u);
  EXPECT_EQ(recorder.started, 4);
  EXPECT_EQ(progress, QList<double>({0, 0, 1, 1, 2, 2, 3, 3}));
  EXPECT_EQ(curr_barcode_count.load(), 4.0);

  // A refused mail ends the run: the rest are skipped, as in the other modes.
  transport.sent.clear();
  host.clear();
  transport.failAt = {3};  // row 1, first recipient
  EXPECT_EQ(go(), MailRunOutcome::Failed);
  EXPECT_TRUE(host.messages().value(0).endsWith("2 of 8 e-mails have been sent: 1 failed, 5 skipped."))
      << host.messages().value(0).toStdString();
  EXPECT_EQ(recipients(), QStringList({"b1@x.org", "b2@x.org", "b1@x.org"}));
}

TEST_F(MailRunTest, AFailedSendEndsTheRunWithTheFailureMessage) {
  request.cardMode = false;
  request.to = "c1@x.org,c2@x.org,c3@x.org";
  request.attachment = tmp.path() + "/file.pdf";
  ASSERT_TRUE(testing_support::writeFile(request.attachment, "pdf"));
  transport.failAt = {2};
  EXPECT_EQ(go(), MailRunOutcome::Failed);
  EXPECT_EQ(recipients(), QStringList({"c1@x.org", "c2@x.org"}));
  EXPECT_EQ(transport.sent[0].contents, QStringList({"pdf"}));
  ASSERT_EQ(host.messages().size(), 1);
  EXPECT_TRUE(host.messages()[0].startsWith(kNotSentStart));
  EXPECT_EQ(cards.renders, 0);

  // A card run without a card source sends nothing and says so.
  host.clear();
  request.cardMode = true;
  Send_Mail_Run run(transport, nullptr, nullptr);
  EXPECT_EQ(run.run(request, MailAccount{}), MailRunOutcome::Failed);
  EXPECT_TRUE(host.messages()[0].startsWith(kNotSentStart));
}

TEST_F(MailRunTest, PausesAfterEveryNMailsButNotAfterTheLast) {
  request.cardMode = false;
  request.pauseOn = true;
  request.pauseEvery = 2;
  request.pauseSeconds = 4;  // waits 3 ticks
  request.to = "d1@x.org,d2@x.org,d3@x.org,d4@x.org";
  EXPECT_EQ(go(), MailRunOutcome::Sent);
  EXPECT_EQ(transport.sent.size(), 4u);
  EXPECT_EQ(recorder.texts,
            QStringList({"Pausing the process for 4 Seconds.", "Pausing the process for 3 Seconds.",
                         "Pausing the process for 2 Seconds.", "Pausing the process for 1 Second.", ""}));
  recorder.texts.clear();
  request.to += ",d5@x.org";
  go();
  EXPECT_EQ(recorder.texts.count(""), 2);
}

TEST_F(MailRunTest, StopEndsTheRunAndAPauseAtOnce) {
  request.cardMode = false;
  request.pauseOn = true;
  request.pauseEvery = 1;
  request.pauseHours = 1;
  request.to = "e1@x.org,e2@x.org,e3@x.org";
  // Stop one tick into the hour's pause: the countdown shows no second tick.
  recorder.onPauseText = [this] {
    if (recorder.texts.size() == 2) Stop_SMS_Sending_Now.store(true);
  };
  // A stopped run says how many mails went (not "sent successfully").
  EXPECT_EQ(go(), MailRunOutcome::Failed);
  EXPECT_EQ(recorder.texts, QStringList({"Pausing the process for 1 Hour 0 Minute 0 Second.",
                                         "Pausing the process for 59 Minutes 59 Seconds.", ""}));
  EXPECT_EQ(transport.sent.size(), 1u);
  EXPECT_EQ(host.messages(),
            QStringList({"\nSending was stopped.\n1 of 3 e-mails have been sent: 0 failed, 2 skipped."}));
  // The next run starts with the flag cleared.
  recorder.onPauseText = nullptr;
  request.pauseOn = false;
  EXPECT_EQ(go(), MailRunOutcome::Sent);
  EXPECT_EQ(transport.sent.size(), 4u);
}

TEST_F(MailRunTest, EndToEndThroughTheScriptWithTheCardAttached) {
  testing_support::SmtpSink sink;
  ASSERT_TRUE(sink.error().isEmpty()) << sink.error().toStdString();
  MailScript script(QString(QUVO_SOURCE_DIR) + "/resources/pyth_mail.py");
  // Addresses go out lowercased; a name before one keeps its letters.
  request.from = QString::fromUtf8("Émile Dupré <Me@Example.COM>");
  request.to = QString::fromUtf8("Zoë Ådams <Friend@Example.org>, other@example.org");
  request.cardSide = "F";
  Send_Mail_Run run(script, &cards, nullptr);
  EXPECT_EQ(run.run(request, MailAccount{"", "pw", "127.0.0.1", QString::number(sink.port()), ""}),
            MailRunOutcome::Sent);
  const QJsonArray mails = sink.messages();
  ASSERT_EQ(mails.size(), 2);
  EXPECT_EQ(mails[0].toObject()["rcptto"].toString(), "friend@example.org");
  EXPECT_EQ(mails[0].toObject()["to"].toString(), QString::fromUtf8("Zoë Ådams <friend@example.org>"));
  EXPECT_EQ(mails[1].toObject()["rcptto"].toString(), "other@example.org");
  EXPECT_EQ(mails[0].toObject()["mailfrom"].toString(), "me@example.com");
  EXPECT_EQ(mails[0].toObject()["from"].toString(), QString::fromUtf8("Émile Dupré <me@example.com>"));
  const QJsonArray atts = mails[1].toObject()["attachments"].toArray();
  ASSERT_EQ(atts.size(), 1);
  EXPECT_EQ(atts[0].toObject()["name"].toString(), "QUVOCard.jpeg");
  EXPECT_EQ(QByteArray::fromBase64(atts[0].toObject()["data"].toString().toLatin1()), "front");

  // One card per recipient from a pasted column with an empty cell in the
  // middle and one at the end: each row's card goes to its own row's
  // address, the row without one is named, and the run is not reported as
  // all sent.
  host.clear();
  request.excelChecked = true;
  request.allToEvery = false;
  request.to = "c2@example.org\r\n\r\nc4@example.org\r\nc5@example.org\r\n\r\n";  // as copied
  cards.rows = 5;
  EXPECT_EQ(run.run(request, MailAccount{"", "pw", "127.0.0.1", QString::number(sink.port()), ""}),
            MailRunOutcome::Failed);
  QStringList delivered;
  const QJsonArray mails2 = sink.messages();
  for (qsizetype i = 2; i < mails2.size(); ++i) {
    const QJsonObject m = mails2[i].toObject();
    const QJsonArray card = m["attachments"].toArray();
    delivered << m["rcptto"].toString() + " " +
                     QByteArray::fromBase64(card.at(0).toObject()["data"].toString().toLatin1());
  }
  EXPECT_EQ(delivered, QStringList({"c2@example.org front row 0", "c4@example.org front row 2",
                                    "c5@example.org front row 3"}));
  EXPECT_EQ(host.messages(), QStringList({"\n3 of 4 e-mails have been sent: 0 failed, 1 skipped.\n"
                                          "1 card got no mail:\ncard 2: no address (To: entry 2 is empty)"}));
}

// A domain beyond ASCII goes to the server in its ASCII form, which every
// server takes. An address beyond ASCII before the @ needs the server's
// SMTPUTF8: the server is asked once, before the first mail, and a run it
// would not finish is refused before anyone gets a mail, naming the
// addresses.
TEST_F(MailRunTest, AddressesBeyondAsciiAreSettledWithTheServerBeforeTheFirstMail) {
  MailScript script(QString(QUVO_SOURCE_DIR) + "/resources/pyth_mail.py");
  Send_Mail_Run run(script, &cards, &recorder);
  const auto account = [](const testing_support::SmtpSink& sink) {
    return MailAccount{"", "", "127.0.0.1", QString::number(sink.port()), "N"};
  };
  const auto connections = [](const testing_support::SmtpSink& sink) {
    return sink.events().filter(QRegularExpression("^connected ")).size();
  };
  const QStringList to{"a1@example.test", QString::fromUtf8("zoë@bücher.example"), "a3@example.test"};
  request.to = to.join(", ");

  testing_support::SmtpSink plain(testing_support::SmtpSink::Conduct{});  // offers no SMTPUTF8
  ASSERT_TRUE(plain.error().isEmpty()) << plain.error().toStdString();
  EXPECT_EQ(run.run(request, account(plain)), MailRunOutcome::Refused);
  EXPECT_EQ(host.messages(),
            QStringList({QString::fromUtf8(
                "\nNo e-mail has been sent: the server does not take addresses that are not plain ASCII "
                "before the @ (it offers no SMTPUTF8).\nRecipient address: zoë@bücher.example")}));
  EXPECT_EQ(recorder.waits, QStringList({"Asking the server whether it takes the addresses...", ""}));
  EXPECT_EQ(recorder.finished, 1);
  // It was asked and said goodbye; no mail was begun.
  EXPECT_EQ(connections(plain), 1);
  EXPECT_TRUE(plain.events()
                  .filter(QRegularExpression("^mail ", QRegularExpression::CaseInsensitiveOption))
                  .isEmpty())
      << plain.events().join('\n').toStdString();
  EXPECT_TRUE(plain.messages().isEmpty());

  // A domain alone needs nothing of the server: nobody asks.
  host.clear();
  request.to = QString::fromUtf8("Zoë <Zoe@Bücher.example>");
  EXPECT_EQ(run.run(request, account(plain)), MailRunOutcome::Sent);
  EXPECT_EQ(connections(plain), 2);
  ASSERT_EQ(plain.messages().size(), 1);
  EXPECT_EQ(plain.messages()[0].toObject()["rcptto"].toString(), "zoe@xn--bcher-kva.example");
  EXPECT_EQ(plain.messages()[0].toObject()["to"].toString(),
            QString::fromUtf8("Zoë <zoe@xn--bcher-kva.example>"));

  // A server that offers SMTPUTF8 is asked once, then gets every mail.
  host.clear();
  request.to = to.join(", ");
  testing_support::SmtpSink international(testing_support::SmtpSink::Conduct{.offersSmtpUtf8 = true});
  ASSERT_TRUE(international.error().isEmpty()) << international.error().toStdString();
  EXPECT_EQ(run.run(request, account(international)), MailRunOutcome::Sent);
  EXPECT_EQ(host.messages(), QStringList({kSent}));
  EXPECT_EQ(connections(international), 4);
  QStringList delivered;
  for (const auto& mail : international.messages()) delivered << mail.toObject()["rcptto"].toString();
  EXPECT_EQ(delivered, QStringList({"a1@example.test", QString::fromUtf8("zoë@xn--bcher-kva.example"),
                                    "a3@example.test"}));

  // A sender beyond ASCII is named as well; a server that cannot be asked
  // refuses the run with its reason.
  host.clear();
  request.from = QString::fromUtf8("Jörg <jörg@example.test>");
  request.to = QString::fromUtf8("a1@example.test, zoë@x.example, ä@x.example");
  EXPECT_EQ(run.run(request, account(plain)), MailRunOutcome::Refused);
  EXPECT_TRUE(host.messages().value(0).endsWith(
      QString::fromUtf8("(it offers no SMTPUTF8).\nSender address: jörg@example.test\n"
                        "Recipient addresses: zoë@x.example, ä@x.example")))
      << host.messages().value(0).toStdString();
  host.clear();
  MailAccount nowhere = account(plain);
  nowhere.port = QString::number(testing_support::freeLocalPort());
  EXPECT_EQ(run.run(request, nowhere), MailRunOutcome::Refused);
  EXPECT_TRUE(host.messages().value(0).startsWith(
      "\nCould not send email message.\nThe server refused the connection: check the server name and the "
      "port.\nPlease make sure that:"))
      << host.messages().value(0).toStdString();
  EXPECT_EQ(plain.messages().size(), 1);
}

// An attachment chosen without a card that is there but cannot be read (a
// named pipe) is not left out quietly: the run is refused before the first
// mail and the message names it.
// A mail that cannot go for a reason of its own (a recipient or the mail
// refused by the server) does not blame the settings.
TEST_F(MailRunTest, AnUnreadableAttachmentRefusesTheRunAndAMailAtFaultBlamesNoSettings) {
  const QString pipe = tmp.path() + "/invitation.pdf";
  ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
  MailScript script(QString(QUVO_SOURCE_DIR) + "/resources/pyth_mail.py");
  request.cardMode = false;
  request.attachment = pipe;
  request.to = "friend@example.org";
  Send_Mail_Run run(script, &cards, nullptr);
  const MailAccount nowhere{"", "", "127.0.0.1", QString::number(testing_support::freeLocalPort()), "N"};
  EXPECT_EQ(run.run(request, nowhere), MailRunOutcome::Refused);
  request.attachment = tmp.path() + "/";
  EXPECT_EQ(run.run(request, nowhere), MailRunOutcome::Refused);
  EXPECT_EQ(host.messages(),
            QStringList({"\nThe attachment invitation.pdf cannot be read: it is a named pipe, not a file.",
                         "\nThe attachment " + QFileInfo(tmp.path()).fileName() +
                             " cannot be read: it is a folder, not a file."}));

  // The recipient the server refuses is named; the rest of the run is skipped.
  host.clear();
  request.attachment.clear();
  testing_support::SmtpSink refusing(testing_support::SmtpSink::Trouble::RefusesRecipients);
  ASSERT_TRUE(refusing.error().isEmpty()) << refusing.error().toStdString();
  request.to = "friend@example.org, other@example.org";
  EXPECT_EQ(run.run(request, {"", "", "127.0.0.1", QString::number(refusing.port()), "N"}),
            MailRunOutcome::Failed);
  // Nor for a mail the server refuses once it has all of it.
  testing_support::SmtpSink spamFilter(testing_support::SmtpSink::Conduct{.refusesMails = true});
  ASSERT_TRUE(spamFilter.error().isEmpty()) << spamFilter.error().toStdString();
  request.to = "friend@example.org";
  EXPECT_EQ(run.run(request, {"", "", "127.0.0.1", QString::number(spamFilter.port()), "N"}),
            MailRunOutcome::Failed);
  EXPECT_TRUE(spamFilter.events().contains("refused"));
  EXPECT_EQ(
      host.messages(),
      QStringList({"\nCould not send email message.\nThe server refused the recipient friend@example.org "
                   "(550 5.1.1 No such mailbox here).\n\n0 of 2 e-mails have been sent: 1 failed, 1 "
                   "skipped.",
                   "\nCould not send email message.\nThe server refused the mail (554 5.7.1 Message refused "
                   "as spam).\n\n0 of 1 e-mails have been sent: 1 failed, 0 skipped."}));
}

// The silence limit measures the conversation with the server: an upload
// that the server takes slowly goes out whole, and a server that stops
// reading in the middle is given up after the limit (a short one, meant to
// run out). A server that takes the whole mail but never answers it is
// waited for while the panel says so, and the mail is then reported as one
// that may have been delivered, never as failed.
TEST_F(MailRunTest, ASlowUploadIsSentWholeAndAServerThatStopsReadingFails) {
  const QByteArray card = QByteArray(400 * 1024, 'c');
  const QString file = tmp.path() + "/card.png";
  ASSERT_TRUE(testing_support::writeFile(file, card));
  request.cardMode = false;
  request.attachment = file;
  request.to = "friend@example.org";
  const QString scriptPath = QString(QUVO_SOURCE_DIR) + "/resources/pyth_mail.py";
  MailScript script(scriptPath);
  Send_Mail_Run run(script, &cards, &recorder);
  auto account = [](quint16 port) { return MailAccount{"", "", "127.0.0.1", QString::number(port), "N"}; };
  using Conduct = testing_support::SmtpSink::Conduct;

  testing_support::SmtpSink slow(Conduct{.readBytesPerSecond = 100'000});
  ASSERT_TRUE(slow.error().isEmpty()) << slow.error().toStdString();
  // (The sink logs each connection, and why one ended otherwise than by
  // QUIT; the run's own connection is the only one it sees.)
  EXPECT_EQ(run.run(request, account(slow.port())), MailRunOutcome::Sent)
      << host.messages().join('\n').toStdString() << "\nThe sink saw:\n"
      << slow.events().join('\n').toStdString();
  EXPECT_EQ(slow.events().filter(QRegularExpression("^connected ")).size(), 1);
  EXPECT_EQ(recorder.waits.value(0), "Sending the mail to friend@example.org...");
  EXPECT_EQ(recorder.waits.value(recorder.waits.size() - 1, "not cleared"), "");
  const QJsonArray mails = slow.messages();
  ASSERT_EQ(mails.size(), 1);
  const QJsonArray atts = mails[0].toObject()["attachments"].toArray();
  ASSERT_EQ(atts.size(), 1);
  EXPECT_TRUE(QByteArray::fromBase64(atts[0].toObject()["data"].toString().toLatin1()) == card);
  EXPECT_EQ(host.messages(), QStringList({kSent}));

  host.clear();
  MailScript impatient(scriptPath, testing_support::pythonWithMailLimits(tmp.path(), "1"));
  Send_Mail_Run quickRun(impatient, &cards, nullptr);
  testing_support::SmtpSink stalled(Conduct{.stopsReading = true});
  ASSERT_TRUE(stalled.error().isEmpty()) << stalled.error().toStdString();
  EXPECT_EQ(quickRun.run(request, account(stalled.port())), MailRunOutcome::Failed);
  ASSERT_EQ(host.messages().size(), 1);
  EXPECT_TRUE(host.messages()[0].startsWith(
      "\nCould not send email message.\nThe server did not answer for 1 second.\nPlease make sure that:"))
      << host.messages()[0].toStdString();
  EXPECT_TRUE(stalled.messages().isEmpty());

  host.clear();
  recorder.waits.clear();
  MailScript waiting(scriptPath, testing_support::pythonWithMailLimits(tmp.path(), "10", "1"));
  Send_Mail_Run waitingRun(waiting, &cards, &recorder);
  testing_support::SmtpSink mute(Conduct{.answerAfterSeconds = -1});
  ASSERT_TRUE(mute.error().isEmpty()) << mute.error().toStdString();
  EXPECT_EQ(waitingRun.run(request, account(mute.port())), MailRunOutcome::Failed);
  // The panel names the mail being handed over, then the wait for the
  // answer, and is cleared at the end. (When a slow upload lets the script
  // find the whole mail taken before the server answers depends on timing;
  // the mute server certainly takes it all and never answers.)
  const QString handing = "Sending the mail to friend@example.org...";
  EXPECT_EQ(
      recorder.waits,
      QStringList({handing, "Waiting for the server to confirm the mail to friend@example.org...", ""}));
  EXPECT_EQ(host.messages(),
            QStringList(
                {"\nThe mail to friend@example.org may have been delivered. The server took the whole "
                 "mail but did not confirm it within 1 second.\nPlease check with the recipient before "
                 "sending it again.\n\n0 of 1 e-mails have been sent: 1 unconfirmed, 0 failed, 0 skipped."}));
  EXPECT_TRUE(mute.waitFor("stored"));
}

}  // namespace

namespace {

class CountingTransport : public MailTransport {
 public:
  bool send(const MailAccount&, const MailMessage& message) override {
    attachments.push_back(message.attachments);
    return true;
  }
  std::vector<QStringList> attachments;
};

// Writes the front picture but fails for the back one.
class BrokenBackCards : public MailCardSource {
 public:
  int prepareRows(bool, bool) override { return 0; }
  bool writeSide(int side, const QString& path) override {
    if (side == 1) return false;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    f.write("front");
    return true;
  }
  bool writeRowSide(int, int, const QString&) override { return false; }
  void restoreFirstRow() override {}
};

// A fault while writing a card ends the run in order: the panel is hidden
// (it would otherwise cover the program for good), the files are deleted
// and the run is reported as not sent.
class ThrowingRowCards : public MailCardSource {
 public:
  int prepareRows(bool, bool) override { return 3; }
  bool writeSide(int, const QString&) override { return false; }
  bool writeRowSide(int row, int, const QString& path) override {
    if (row == 1) throw std::runtime_error("render failed");
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write("x") == 1;
  }
  void restoreFirstRow() override { ++restored; }
  int restored = 0;
};

class FinishRecorder : public MailRunObserver {
 public:
  void runFinished() override { ++finished; }
  int finished = 0;
};

// Without a given folder the card pictures lie in a folder of the run that
// only the user can enter (not under fixed names in the shared temporary
// folder), keep their names, and are gone with that folder after the run.
class PathRecorderCards : public MailCardSource {
 public:
  int prepareRows(bool, bool) override { return 0; }
  bool writeSide(int, const QString& path) override {
    const QFileInfo dir(QFileInfo(path).absolutePath());
    folder = dir.absoluteFilePath();
    folderPermissions = QFile::permissions(folder);
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write("x") == 1;
  }
  bool writeRowSide(int, int, const QString&) override { return false; }
  void restoreFirstRow() override {}
  QString folder;
  QFileDevice::Permissions folderPermissions;
};

}  // namespace

TEST(MailRun, ACardPictureThatCannotBeWrittenIsNotMailedNorReportedSent) {
  testing_support::ScriptedHost host;
  QTemporaryDir tmp;
  ASSERT_TRUE(tmp.isValid());
  for (const QString& side : {QStringLiteral("BOTH"), QStringLiteral("B")}) {
    CountingTransport transport;
    BrokenBackCards cards;
    MailRunRequest request;
    request.from = "me@example.com";
    request.to = "a@example.org, b@example.org";
    request.cardSide = side;
    request.tempFolder = tmp.path();
    Send_Mail_Run run(transport, &cards);
    EXPECT_EQ(run.run(request, MailAccount{"me@example.com", "pw", "smtp.example.com", "25", "N"}),
              MailRunOutcome::Failed)
        << side.toStdString();
    // No mail without its card (before: every recipient got the front alone, or nothing attached).
    EXPECT_TRUE(transport.attachments.empty()) << side.toStdString();
    EXPECT_FALSE(QFile::exists(tmp.path() + "/QUVOCard.jpeg"));
  }
  ASSERT_FALSE(host.messages().isEmpty());
  EXPECT_TRUE(host.messages().last().contains("Could not send email message."));
}

TEST(MailRun, AFaultWhileWritingACardStillEndsTheRunInOrder) {
  testing_support::ScriptedHost host;
  QTemporaryDir tmp;
  ASSERT_TRUE(tmp.isValid());
  CountingTransport transport;
  ThrowingRowCards cards;
  FinishRecorder panel;
  MailRunRequest request;
  request.from = "me@example.com";
  request.to = "a@example.org";
  request.seriesChecked = true;
  request.allToEvery = true;
  request.tempFolder = tmp.path();
  Send_Mail_Run run(transport, &cards, &panel);
  EXPECT_EQ(run.run(request, MailAccount{"me@example.com", "pw", "smtp.example.com", "25", "N"}),
            MailRunOutcome::Failed);
  EXPECT_EQ(transport.attachments.size(), 1u);  // row 0 went out, row 1 failed, row 2 never started
  EXPECT_EQ(panel.finished, 1);
  EXPECT_EQ(cards.restored, 1);
  EXPECT_FALSE(QFile::exists(tmp.path() + "/QUVOCard.jpeg"));
  ASSERT_FALSE(host.messages().isEmpty());
  EXPECT_TRUE(host.messages().last().contains("Could not send email message."));
}

TEST(MailRun, CardPicturesLieInAPrivateFolderOfTheRun) {
  testing_support::ScriptedHost host;
  CountingTransport transport;
  PathRecorderCards cards;
  MailRunRequest request;
  request.from = "me@example.com";
  request.to = "a@example.org";
  request.cardSide = "BOTH";
  Send_Mail_Run run(transport, &cards);
  EXPECT_EQ(run.run(request, MailAccount{"me@example.com", "pw", "smtp.example.com", "25", "N"}),
            MailRunOutcome::Sent);
  ASSERT_EQ(transport.attachments.size(), 1u);
  const QStringList& files = transport.attachments[0];
  ASSERT_EQ(files.size(), 2);
  EXPECT_EQ(QFileInfo(files[0]).fileName(), "QUVOCard_Back.jpeg");
  EXPECT_EQ(QFileInfo(files[1]).fileName(), "QUVOCard.jpeg");
  EXPECT_NE(QDir(cards.folder).canonicalPath(), QDir(QDir::tempPath()).canonicalPath());
  EXPECT_TRUE(cards.folder.startsWith(QDir::tempPath()));
  const auto others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                      QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
  EXPECT_EQ(cards.folderPermissions & others, QFileDevice::Permissions());
  EXPECT_FALSE(QFileInfo::exists(cards.folder));

  // Without a private folder the run stops: nothing falls back to fixed
  // names in the shared temporary folder.
  QTemporaryDir holder;
  const QString notAFolder = holder.path() + "/file";
  ASSERT_TRUE(testing_support::writeFile(notAFolder, "x"));
  const QByteArray tmpdir = qgetenv("TMPDIR");
  qputenv("TMPDIR", QFile::encodeName(notAFolder));
  EXPECT_EQ(run.run(request, MailAccount{"me@example.com", "pw", "smtp.example.com", "25", "N"}),
            MailRunOutcome::Refused);
  if (tmpdir.isNull())
    qunsetenv("TMPDIR");
  else
    qputenv("TMPDIR", tmpdir);
  EXPECT_EQ(transport.attachments.size(), 1u);
  EXPECT_TRUE(host.messages().last().startsWith("\nThe card pictures cannot be written"))
      << host.messages().last().toStdString();
}
