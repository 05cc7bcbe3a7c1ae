// Review cases of the mail path: a card picture that cannot be written is
// never mailed as if sent, and subjects with Unicode line separators go out
// on one line instead of making the script fail.

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <stdexcept>
#include <thread>
#include <vector>

#include "SmtpSink.h"
#include "core/globals.h"
#include "platform/globals.h"
#include "production/MailRun.h"
#include "production/MailScript.h"
#include "production/Preferences.h"
#include "production/Send_Mail.h"
#include "production/globals.h"
#include "support/ScriptedHost.h"

using namespace production;

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

TEST(MailReview, ACardPictureThatCannotBeWrittenIsNotMailedNorReportedSent) {
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

TEST(MailReview, UnicodeLineSeparatorsInTheSubjectStayOnOneLine) {
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
TEST(MailReview, ACancelStopsAScriptUnderWayAndEveryLaterSend) {
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

// Opening the dialog selects the card mode; its options must then be usable
// even after the previous opening chose the mode without card.
TEST(MailReview, OpeningInTheCardModeEnablesTheCardOptions) {
  testing_support::ScriptedHost host;
  auto& d = Send_Mail::defaultInstance();
  host.queueModal([](QDialog& dialog) {
    static_cast<Send_Mail&>(dialog).Without_barcode_rd_select();
    return 0;
  });
  d.Open_Wnd();
  EXPECT_FALSE(d.file_name_txt->isEnabled());
  host.queueModal([](QDialog& dialog) {
    auto& s = static_cast<Send_Mail&>(dialog);
    EXPECT_TRUE(s.rd_mail_curr_barcode->isChecked());
    EXPECT_TRUE(s.send_sett_box->isEnabled());
    EXPECT_TRUE(s.file_name_txt->isEnabled());
    for (auto* b : s.matrix_card_side->buttons()) EXPECT_TRUE(b->isEnabled());
    // The distribution radios stay off until a data-row box is ticked.
    EXPECT_FALSE(s.rd_all_to_every->isEnabled());
    EXPECT_FALSE(s.rd_one_per_recp->isEnabled());
    EXPECT_FALSE(s.browse_att->isEnabled());
    return 0;
  });
  d.Open_Wnd();
}

// A settings file left world-readable (older files were made 0777) gets
// owner-only permissions when the password is saved into it.
TEST(MailReview, SavingIntoAnOpenSettingsFileMakesItPrivate) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString saved = Resource_Path();
  Set_Resource_Path(dir.path());
  const QString path = dir.path() + "/com.quvo.card.plist";
  {
    auto store = Preferences::sharedInstance();
    store->setsend_email_SenderEmail("me@example.com");
    ASSERT_TRUE(store->flush());
  }
  ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::Permissions(0x7777)));
  {
    auto store = Preferences::sharedInstance();
    EXPECT_EQ(store->send_email_SenderEmail(), "me@example.com");
    store->setsend_email_Password("secret");
    ASSERT_TRUE(store->flush());
  }
  const auto open = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther |
                    QFileDevice::WriteOther | QFileDevice::ExeGroup | QFileDevice::ExeOther;
  EXPECT_EQ(QFileInfo(path).permissions() & open, QFileDevice::Permissions());
  EXPECT_EQ(Preferences::sharedInstance()->send_email_Password(), "secret");
  Set_Resource_Path(saved);
}

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

TEST(MailReview, AFaultWhileWritingACardStillEndsTheRunInOrder) {
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

// A file of the user's whose name holds a line break is attached under a
// one-line name instead of making the script fail (or adding a header).
TEST(MailReview, AnAttachmentNameWithALineBreakIsSentOnOneLine) {
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

TEST(MailReview, CardPicturesLieInAPrivateFolderOfTheRun) {
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
}

// The way a user sends: the dialog's Send runs the real script on the worker
// thread; the mail arrives with the card and the run reports success.
TEST(MailReview, SendFromTheDialogRunsTheScriptOnTheWorker) {
  testing_support::ScriptedHost host;
  testing_support::SmtpSink sink;
  ASSERT_TRUE(sink.error().isEmpty()) << sink.error().toStdString();
  PathRecorderCards cards;
  auto& d = Send_Mail::defaultInstance();
  d.setCardSource(&cards);
  d.setTransport(std::make_unique<MailScript>(QString(QUVO_SOURCE_DIR) + "/resources/pyth_mail.py"));
  sender_email.set("me@example.com");
  sender_pwd.set("pw");
  sending_server.set("127.0.0.1");
  sending_port.set(QString::number(sink.port()));
  send_enable_ssl.set("N");
  host.queueModal([&cards](QDialog& dialog) {
    auto& s = static_cast<Send_Mail&>(dialog);
    s.to_txt->setText("Friend@Example.org");
    s.subject_txt->setText("Card");
    s.Send_Button();
    EXPECT_TRUE(s.waitForRun(60'000));
    return 0;
  });
  d.Open_Wnd();
  d.setCardSource(nullptr);
  const QJsonArray mails = sink.messages();
  ASSERT_EQ(mails.size(), 1);
  EXPECT_EQ(mails[0].toObject()["rcptto"].toString(), "friend@example.org");
  EXPECT_EQ(mails[0].toObject()["attachments"].toArray().size(), 1);
  ASSERT_FALSE(host.messages().isEmpty());
  EXPECT_EQ(host.messages().last(), "\nE-mail has been sent successfully.");
}

}  // namespace
