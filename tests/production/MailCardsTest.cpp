// Mail end to end: the mail dialog sends the cards of three data rows, each
// to its recipient, through the real mail script to a local SMTP sink; the
// attached pictures carry each row's values and are gone afterwards, and the
// closing message names the cards whose bound photo could not be used.

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <mutex>

#include "ProductionTestSupport.h"
#include "SmtpSink.h"
#include "core/globals.h"
#include "production/MailCards.h"
#include "production/Send_Mail.h"
#include "production/globals.h"
#include "support/MailAccount.h"
#include "support/ScriptedHost.h"

using namespace production;
using namespace production_testing;

namespace {

// The real script, with the attachment paths of every mail noted.
class NotingScript : public MailScript {
 public:
  NotingScript() : MailScript(QString(QUVO_SOURCE_DIR) + "/resources/pyth_mail.py") {}
  bool send(const MailAccount& account, const MailMessage& message) override {
    {
      std::lock_guard lock(mutex);
      attachments += message.attachments;
    }
    return MailScript::send(account, message);
  }
  std::mutex mutex;
  QStringList attachments;
};

TEST(MailCards, ThreeRowsGoToThreeRecipientsWithTheirOwnCards) {
  testing_support::ScriptedHost host;
  testing_support::SmtpSink sink;
  ASSERT_TRUE(sink.error().isEmpty()) << sink.error().toStdString();
  QTemporaryDir dir;
  const QString series = dir.path() + "/DataSet";
  ASSERT_TRUE(QDir().mkpath(series));
  writeFile(series + "/Guests.txt", "Ann\nBob\nCy\n");
  ASSERT_TRUE(QImage(QSize(60, 40), QImage::Format_RGB32).save(dir.filePath("ann.png")));
  writeFile(series + "/Photos.txt",
            (dir.filePath("ann.png") + "\n" + dir.filePath("bob.jpg") + "\n" + series).toUtf8());

  FakeDesign design;
  design.size = QSizeF(243, 154);
  design.frontColour = Qt::white;
  const auto name = boundText(1, "Guests", 0);
  auto photo = SKTGraphic::makeGraphic(GraphicKind::Image);
  photo->setBounds(QRectF(170, 5, 60, 40));
  photo->data_source_type = 1;
  photo->batch_list_name = "Photos";
  design.front = {name, boundBarcode("Guests", false, QPointF(10, 60)), photo};
  DataSourceTable table;
  DataBinding binding(design, DataSeriesStore(series), table);
  CardExport exporter(design, binding);
  DesignMailCards cards(exporter, binding);

  Send_Mail& dialog = Send_Mail::defaultInstance();
  dialog.setCardSource(&cards);
  auto* script = new NotingScript;
  dialog.setTransport(std::unique_ptr<MailTransport>(script));
  testing_support::useMailAccount("sender@example.com", "secret", "127.0.0.1", QString::number(sink.port()),
                                  "N");
  Card_Front_Or_Back.store(1);

  host.queueModal([](QDialog& d) {
    auto& mail = static_cast<Send_Mail&>(d);
    EXPECT_TRUE(mail.send_with_batch_chk->isEnabled());
    EXPECT_FALSE(mail.send_with_excel_chk->isEnabled());
    return 0;
  });
  dialog.Open_Wnd();
  dialog.to_txt->setText("Ann@Example.org, bob@example.org, cy@example.org");
  dialog.subject_txt->setText("Your badge");
  dialog.message_txt->setPlainText("Here it is.");
  dialog.send_with_batch_chk->setChecked(true);
  dialog.send_with_batch_chk_select();
  dialog.obo_rd_select();
  // The user edits the card while the run is under way: the run renders
  // from the card as it was at Send.
  dialog.Send_Button();
  auto cover = SKTGraphic::makeGraphic(GraphicKind::Shape);
  cover->setBounds(QRectF(0, 0, 243, 154));
  cover->_fillColor = Qt::black;
  design.front.insert(design.front.begin(), cover);
  ASSERT_TRUE(dialog.waitForRun(testing_support::kHangGuardMs));

  const QJsonArray mails = sink.messages();
  ASSERT_EQ(mails.size(), 3);
  const QStringList recipients = {"ann@example.org", "bob@example.org", "cy@example.org"};
  const QStringList names = {"Ann", "Bob", "Cy"};
  for (int i = 0; i < 3; ++i) {
    const QJsonObject mail = mails[i].toObject();
    EXPECT_EQ(mail["rcptto"].toString(), recipients[i]);
    EXPECT_EQ(mail["subject"].toString(), "Your badge");
    const QJsonArray attachments = mail["attachments"].toArray();
    ASSERT_EQ(attachments.size(), 1);
    EXPECT_EQ(attachments[0].toObject()["name"].toString(), "QUVOCard.jpeg");
    const QByteArray data = QByteArray::fromBase64(attachments[0].toObject()["data"].toString().toLatin1());
    EXPECT_TRUE(data.startsWith("\xff\xd8\xff")) << "JPEG data under a .jpeg name";
    const QImage card = QImage::fromData(data);
    EXPECT_EQ(card.size(), QSize(243, 154));
    EXPECT_EQ(decodeBarcodes(card), QStringList({"Code128:" + names[i]}));
  }
  EXPECT_EQ(
      host.messages(),
      QStringList({"\nE-mail has been sent successfully.\n\n2 cards lost part of a bound picture whose file "
                   "cannot be used:\ncard 2: front picture \"" +
                   dir.filePath("bob.jpg") +
                   "\" (data series \"Photos\"): no such file or directory\ncard 3: front picture \"" +
                   series + "\" (data series \"Photos\"): it is a folder"}));
  // The picture files and their folder are gone; the user's side and the
  // card's first row are back.
  ASSERT_EQ(script->attachments.size(), 3);
  for (const QString& path : script->attachments) {
    EXPECT_FALSE(QFileInfo::exists(path)) << path.toStdString();
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(path).path())) << path.toStdString();
  }
  EXPECT_EQ(Card_Front_Or_Back.load(), 1);
  EXPECT_EQ(name->Text_contents()->string, "Ann");

  Card_Front_Or_Back.store(0);
  dialog.setCardSource(nullptr);
  dialog.setTransport(std::make_unique<MailScript>());
  for (GuardedString* value : {&sender_email, &sender_pwd, &sending_server, &sending_port, &send_enable_ssl})
    value->set("");
}

}  // namespace
