// The mail dialog: reset on opening, the control states and a run started by Send.

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "SmtpSink.h"
#include "platform/globals.h"
#include "production/MailScript.h"
#include "production/Send_Mail.h"
#include "production/Send_Modeless.h"
#include "production/globals.h"
#include "support/EventLoop.h"
#include "support/HangGuard.h"
#include "support/MailAccount.h"
#include "support/ScriptedHost.h"
#include "support/WrappedText.h"

using namespace production;

namespace {

class LoggingTransport : public MailTransport {
 public:
  bool send(const MailAccount& a, const MailMessage& m) override {
    std::lock_guard lock(mutex);
    accounts.push_back(a);
    messages.push_back(m);
    return true;
  }
  std::mutex mutex;
  std::vector<MailAccount> accounts;
  std::vector<MailMessage> messages;
};

class Cards : public MailCardSource {
 public:
  bool seriesRowsAvailable() override { return true; }
  int prepareRows(bool series, bool excel) override { return (series || excel) ? rows : 0; }
  bool writeSide(int, const QString& path) override { return touch(path); }
  bool writeRowSide(int, int, const QString& path) override { return touch(path); }
  void restoreFirstRow() override {}
  int rows = 2;
  static bool touch(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write("x") == 1;
  }
};

TEST(SendMailDialog, OpensResetAndSendsOnAWorker) {
  testing_support::ScriptedHost host;
  Cards cards;
  auto& d = Send_Mail::defaultInstance();
  d.setCardSource(&cards);
  auto* transport = new LoggingTransport;
  d.setTransport(std::unique_ptr<MailTransport>(transport));
  testing_support::useMailAccount("me@x.org", "pw", "smtp.x.org", "25", "Y");

  d.to_txt->setText("left over");
  host.queueModal([](QDialog& dialog) {
    auto& s = static_cast<Send_Mail&>(dialog);
    EXPECT_EQ(s.from_txt->text(), "me@x.org");
    EXPECT_EQ(s.to_txt->text(), "");
    EXPECT_EQ(s.card_side_str, "F");
    EXPECT_EQ(s.file_name_txt->text(), "QUVOCard");
    EXPECT_TRUE(s.rd_mail_curr_barcode->isChecked());
    EXPECT_TRUE(s.send_with_batch_chk->isEnabled());
    EXPECT_FALSE(s.send_with_excel_chk->isEnabled());
    EXPECT_FALSE(s.rd_all_to_every->isEnabled());
    EXPECT_FALSE(s.delayed_box->isEnabled());
    EXPECT_EQ(s.mail_count_stepper->value(), 1);
    return 0;
  });
  EXPECT_EQ(d.Open_Wnd(), 0);

  // Control states.
  d.send_with_batch_chk->setChecked(true);
  d.send_with_batch_chk_select();
  EXPECT_TRUE(d.rd_one_per_recp->isEnabled());
  d.obo_rd_select();
  EXPECT_FALSE(d.rd_all_to_every->isChecked());
  d.all_rd_select();
  d.mail_card_side_CellClick(0);
  EXPECT_EQ(d.card_side_str, "BOTH");
  d.delayed_delv_chk->setChecked(true);
  d.delayed_delv_chk_select();
  EXPECT_TRUE(d.delayed_box->isEnabled());
  d.delayed_delv_chk->setChecked(false);

  // Every card of the two rows to both recipients, with both sides attached.
  d.to_txt->setText("A@Y.org,b@y.org");
  d.subject_txt->setText("Greetings");
  d.message_txt->setPlainText("Hello\nthere");
  d.Send_Button();
  ASSERT_TRUE(d.waitForRun(testing_support::kHangGuardMs));
  ASSERT_EQ(transport->messages.size(), 4u);
  EXPECT_EQ(transport->messages[0].recipient, "a@y.org");
  EXPECT_EQ(transport->messages[0].body, "Hello\nthere");
  EXPECT_EQ(transport->messages[0].attachments.size(), 2);
  EXPECT_TRUE(transport->messages[0].attachments[0].endsWith("/QUVOCard_Back.jpeg"));
  EXPECT_EQ(transport->accounts[0].enableSsl, "Y");
  EXPECT_EQ(transport->accounts[0].password, "pw");
  EXPECT_EQ(host.messages(), QStringList({"\nE-mail has been sent successfully."}));
  EXPECT_FALSE(Send_Modeless::defaultInstance().isVisible());
  EXPECT_EQ(Send_Modeless::defaultInstance()._tot_msg_cnt->text(), "2");

  // Without card: the chosen file goes along; the row boxes play no part.
  QTemporaryDir dir;
  const QString file = dir.path() + "/note.txt";
  ASSERT_TRUE(Cards::touch(file));
  d.Without_barcode_rd_select();
  EXPECT_FALSE(d.send_sett_box->isEnabled());
  EXPECT_TRUE(d.browse_att->isEnabled());
  host.queueOpenPanel({file});
  d.browse_att_Button();
  EXPECT_EQ(d.attachment->text(), file);
  d.Send_Button();
  ASSERT_TRUE(d.waitForRun(testing_support::kHangGuardMs));
  ASSERT_EQ(transport->messages.size(), 6u);
  EXPECT_EQ(transport->messages[5].attachments, QStringList({file}));
  d.clear_att_Button();
  EXPECT_EQ(d.attachment->text(), "");

  d.setCardSource(nullptr);
  d.setTransport(std::make_unique<MailScript>());
  testing_support::useMailAccount("", "", "", "", "");
}

}  // namespace

// Opening the dialog selects the card mode; its options must then be usable
// even after the previous opening chose the mode without card.
TEST(SendMailDialog, OpeningInTheCardModeEnablesTheCardOptions) {
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

namespace {

// Opens the dialog, lets `fill` set its controls and sends through the real
// script to the sink at `port` on 127.0.0.1, running `meanwhile` while the
// run is under way and waiting for its end.
void sendFromTheDialog(testing_support::ScriptedHost& host, Cards& cards, quint16 port,
                       std::function<void(Send_Mail&)> fill, std::function<void()> meanwhile = nullptr) {
  auto& d = Send_Mail::defaultInstance();
  d.setCardSource(&cards);
  d.setTransport(std::make_unique<MailScript>(QString(QUVO_SOURCE_DIR) + "/resources/pyth_mail.py"));
  testing_support::useMailAccount("me@example.com", "pw", "127.0.0.1", QString::number(port), "N");
  host.queueModal([fill, meanwhile](QDialog& dialog) {
    auto& s = static_cast<Send_Mail&>(dialog);
    fill(s);
    s.Send_Button();
    if (meanwhile) meanwhile();
    // A run of thousands of mails takes minutes: it hangs only when no mail
    // has gone for the whole guard.
    double done = -1;
    QDeadlineTimer still(testing_support::kHangGuardMs);
    while (!s.waitForRun(100)) {
      if (curr_barcode_count.load() != done) {
        done = curr_barcode_count.load();
        still.setRemainingTime(testing_support::kHangGuardMs);
      }
      if (still.hasExpired()) {
        ADD_FAILURE() << "no mail has gone for " << testing_support::kHangGuardMs << " ms";
        break;
      }
    }
    return 0;
  });
  d.Open_Wnd();
  d.setCardSource(nullptr);
  testing_support::useMailAccount("", "", "", "", "");
}

}  // namespace

// The way a user sends: the dialog's Send runs the real script on the worker
// thread; the mail arrives with the card and the run reports success.
TEST(SendMailDialog, SendFromTheDialogRunsTheScriptOnTheWorker) {
  testing_support::ScriptedHost host;
  testing_support::SmtpSink sink;
  ASSERT_TRUE(sink.error().isEmpty()) << sink.error().toStdString();
  Cards cards;
  sendFromTheDialog(host, cards, sink.port(), [](Send_Mail& s) {
    s.to_txt->setText("Friend@Example.org");
    s.subject_txt->setText("Card");
  });
  const QJsonArray mails = sink.messages();
  ASSERT_EQ(mails.size(), 1);
  EXPECT_EQ(mails[0].toObject()["rcptto"].toString(), "friend@example.org");
  EXPECT_EQ(mails[0].toObject()["attachments"].toArray().size(), 1);
  ASSERT_FALSE(host.messages().isEmpty());
  EXPECT_EQ(host.messages().last(), "\nE-mail has been sent successfully.");
}

// One card per recipient with more recipients than data rows: the recipient
// past the last row gets nothing, and the run counts and names that person
// rather than reporting success.
TEST(SendMailDialog, OneCardPerRecipientCountsTheRecipientWithoutADataRow) {
  testing_support::ScriptedHost host;
  testing_support::SmtpSink sink;
  ASSERT_TRUE(sink.error().isEmpty()) << sink.error().toStdString();
  Cards cards;
  cards.rows = 4;
  sendFromTheDialog(host, cards, sink.port(), [](Send_Mail& s) {
    s.to_txt->setText("r1@example.org,r2@example.org,r3@example.org,r4@example.org,r5@example.org");
    s.send_with_batch_chk->setChecked(true);
    s.send_with_batch_chk_select();
    s.obo_rd_select();
  });
  const QJsonArray mails = sink.messages();
  ASSERT_EQ(mails.size(), 4);
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(mails[i].toObject()["rcptto"].toString(), QString("r%1@example.org").arg(i + 1));
  EXPECT_EQ(Send_Modeless::defaultInstance()._tot_msg_cnt->text(), "4");
  EXPECT_EQ(host.messages(), QStringList({"\n4 of 5 e-mails have been sent: 0 failed, 1 skipped.\n"
                                          "Recipients without a data row got no mail: r5@example.org."}));
}

// A server that refuses the login: the closing message tells so, in the
// server's words, before the checklist of the settings.
TEST(SendMailDialog, AFailedMailTellsWhyInTheClosingMessage) {
  testing_support::ScriptedHost host;
  testing_support::SmtpSink sink(testing_support::SmtpSink::Trouble::RefusesLogins);
  ASSERT_TRUE(sink.error().isEmpty()) << sink.error().toStdString();
  Cards cards;
  sendFromTheDialog(host, cards, sink.port(), [](Send_Mail& s) { s.to_txt->setText("friend@example.org"); });
  EXPECT_TRUE(sink.messages().isEmpty());
  ASSERT_EQ(host.messages().size(), 1);
  EXPECT_EQ(host.messages()[0],
            "\nCould not send email message.\n"
            "The server refused the login (535 5.7.8 Authentication credentials invalid).\n"
            "Please make sure that:\n1. Entered E-mail settings are correct.\n2. Internet connectivity to "
            "E-mail server is not interrupted and E-mail server is not down.\n3. Your Firewall or Security "
            "software (if any) is not blocking the software to communicate with your E-mail server.\n\n"
            "0 of 1 e-mails have been sent: 1 failed, 0 skipped.");
}

// A server that has taken the whole mail but does not answer: the progress
// window says the run waits for it, Stop ends the wait, and the closing
// message says the mail may have been delivered (the server has it), never
// that it failed. A long address wraps in the window instead of widening it.
TEST(SendMailDialog, StopWhileTheServerHasNotConfirmedTheMailSaysItMayHaveBeenDelivered) {
  testing_support::ScriptedHost host;
  testing_support::SmtpSink sink(testing_support::SmtpSink::Conduct{.answerAfterSeconds = -1});
  ASSERT_TRUE(sink.error().isEmpty()) << sink.error().toStdString();
  Cards cards;
  auto& panel = Send_Modeless::defaultInstance();
  const QString friendAddress = "friend.of.the.family.with.a.long.name@example.org";
  sendFromTheDialog(
      host, cards, sink.port(), [&](Send_Mail& s) { s.to_txt->setText(friendAddress); },
      [&] {
        const QString waiting = "Waiting for the server to confirm the mail to " + friendAddress + "...";
        EXPECT_TRUE(testing_support::serveUntil([&] { return panel.pause_label->text() == waiting; },
                                                testing_support::kHangGuardMs));
        // The panel grows to the height the wrapped text needs.
        auto* label = panel.pause_label;
        EXPECT_TRUE(testing_support::serveUntil(
            [&] { return label->height() >= label->heightForWidth(label->width()); },
            testing_support::kHangGuardMs));
        EXPECT_TRUE(testing_support::showsWholeWithinTheScreen(*label, waiting));
        EXPECT_TRUE(panel._stop_btn->isEnabled());
        host.queueYesNo(true);
        panel._stop_btn->click();
      });
  EXPECT_TRUE(sink.waitFor("stored"));
  EXPECT_EQ(sink.messages().size(), 1);
  EXPECT_EQ(host.messages(),
            QStringList(
                {"\nThe mail to " + friendAddress +
                 " may have been delivered. The server took the whole mail "
                 "but had not confirmed it when sending was stopped.\nPlease check with the recipient before "
                 "sending it again.\n\nSending was stopped.\n0 of 1 e-mails have been sent: 1 unconfirmed, 0 "
                 "failed, 0 skipped."}));
}

// A list of a thousand recipients or more, pasted into To, is taken whole
// (a line edit keeps 32,767 characters unless told otherwise, and the last
// entry cut short went to another domain). Every recipient gets exactly one
// mail at its own address, a quoted name with a comma and angle brackets
// stays the name, and nobody else gets any. A thousand go through the real
// script to a sink that offers no SMTPUTF8; five thousand (a script run per
// mail would take minutes) are recorded as the run hands them to the
// script, which sends each mail to the one recipient it is given.
struct Pasted {
  int count;
  bool throughTheScript;
};

void PrintTo(const Pasted& pasted, std::ostream* out) {
  *out << pasted.count;
}

class PastedRecipients : public ::testing::TestWithParam<Pasted> {};

TEST_P(PastedRecipients, EachGetsExactlyOneMailAndNobodyElseDoes) {
  const auto [count, throughTheScript] = GetParam();
  QStringList entries, addresses;
  QHash<QString, QString> toLines;  // address -> the To line of its mail
  for (int i = 1; i <= count; ++i) {
    const QString id = QString("B%1").arg(i, 4, 10, QChar('0'));
    const QString address = id.toLower() + "@example.org";
    const QString name = i % 7 == 0 ? QString("Smith, %1 <no. %2>").arg(id).arg(i) : id + " Smith";
    entries << (i % 7 == 0 ? "\"" + name + "\"" : name) + " <" + id + "@Example.org>";
    addresses << address;
    toLines[address] = (i % 7 == 0 ? "\"" + name + "\"" : name) + " <" + address + ">";
  }
  const QString line = entries.join(", ");
  ASSERT_GT(line.size(), 32767);
  const auto paste = [&](Send_Mail& s) {
    QApplication::clipboard()->setText(line);
    s.to_txt->paste();
    EXPECT_EQ(s.to_txt->text(), line);
  };
  testing_support::ScriptedHost host;
  Cards cards;
  QStringList asked;
  QHash<QString, QString> given;  // address -> the To line its mail was given
  if (throughTheScript) {
    testing_support::SmtpSink sink(testing_support::SmtpSink::Conduct{});
    ASSERT_TRUE(sink.error().isEmpty()) << sink.error().toStdString();
    sendFromTheDialog(host, cards, sink.port(), paste);
    for (const QString& event : sink.events())
      if (event.startsWith("rcpt", Qt::CaseInsensitive)) asked << event.section('<', 1).section('>', 0, 0);
    const QJsonArray mails = sink.messages();
    EXPECT_EQ(mails.size(), count);
    for (const auto& mail : mails) {
      const QJsonObject m = mail.toObject();
      given.insert(m["rcptto"].toString(), m["to"].toString());
    }
  } else {
    auto& d = Send_Mail::defaultInstance();
    d.setCardSource(&cards);
    auto* transport = new LoggingTransport;
    d.setTransport(std::unique_ptr<MailTransport>(transport));
    testing_support::useMailAccount("me@example.com", "pw", "127.0.0.1", "25", "N");
    host.queueModal([&](QDialog& dialog) {
      auto& s = static_cast<Send_Mail&>(dialog);
      paste(s);
      s.Send_Button();
      EXPECT_TRUE(s.waitForRun(testing_support::kHangGuardMs));
      return 0;
    });
    d.Open_Wnd();
    d.setCardSource(nullptr);
    testing_support::useMailAccount("", "", "", "", "");
    for (const MailMessage& m : transport->messages) {
      const std::optional<Mailbox> mailbox = readMailbox(m.recipient);
      ASSERT_TRUE(mailbox) << m.recipient.toStdString();
      asked << mailbox->address;
      given.insert(mailbox->address, m.recipient);
    }
  }
  EXPECT_EQ(host.messages(), QStringList({"\nE-mail has been sent successfully."}));
  asked.sort();
  const auto [left, right] = std::mismatch(asked.begin(), asked.end(), addresses.begin(), addresses.end());
  EXPECT_TRUE(left == asked.end() && right == addresses.end())
      << asked.size()
      << " asked for; the first difference: " << (left == asked.end() ? "" : left->toStdString())
      << " instead of " << (right == addresses.end() ? "" : right->toStdString());
  int named = 0;
  for (auto it = given.cbegin(); it != given.cend(); ++it) named += toLines.value(it.key()) == it.value();
  EXPECT_EQ(named, count);
}

INSTANTIATE_TEST_SUITE_P(SendMailDialog, PastedRecipients,
                         ::testing::Values(Pasted{1000, true}, Pasted{5000, false}),
                         [](const auto& info) { return std::to_string(info.param.count); });
