// Named pipes in place of the files the program reads at its start (the mail
// settings, the stock texts, the start window's and the new objects'
// pictures, a background picture) are taken as unreadable files: the program
// starts at once, with empty mail settings and no stock texts, instead of
// waiting for ever for someone to write into a pipe. The wizard names the
// stock text files it could not read, a pipe and a link to a device, where
// their texts would show.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "WindowTestSupport.h"
#include "mainwindow/SKTWindowController.h"
#include "mainwindow/panels/CardBackgroundTab.h"
#include "personalisation/Invitation_Wizard.h"
#include "platform/widgets/PictureBrowser.h"
#include "production/Preferences.h"
#include "production/globals.h"
#include "support/PipeWatchdog.h"
#include "support/ScriptedHost.h"

namespace {

class StartWindowShown {
 public:
  StartWindowShown() { SKTWindowController::setStartWindowShown(true); }
  ~StartWindowShown() { SKTWindowController::setStartWindowShown(false); }
};

}  // namespace

TEST(StartWithNamedPipes, PipesInPlaceOfTheFilesReadAtStartAreUnreadableFiles) {
  testing_support::ScriptedHost host;
  QTemporaryDir dir;
  const QString resources = window_test::useSeededResources(dir);
  QStringList pipes;
  for (const char* name :
       {kMailSettingsFileName, "Title.txt", "Wizard_pattern.jpg", "no.png", "Background/Hearts.png"}) {
    pipes << resources + "/" + name;
    ASSERT_TRUE(testing_support::makePipe(pipes.last())) << name;
  }
  const QString message = resources + "/Message.txt";
  ASSERT_TRUE(QFile::remove(message) && QFile::link("/dev/zero", message));
  testing_support::PipeWatchdog watchdog(pipes);

  StartWindowShown shown;
  Invitation_Wizard& wizard = Invitation_Wizard::defaultInstance();
  host.queueModal([&](QDialog&) {
    wizard.wizard_btn->click();
    wizard.Next_btn->click();  // the size
    EXPECT_TRUE(host.messages().isEmpty()) << host.messages().join("|").toStdString();
    // The background that is a pipe is listed, says why, and is named when chosen.
    PictureItemModel* backgrounds = wizard.imageBrowser->pictureModel();
    const QModelIndex hearts = backgrounds->index(2);
    const QString pipeSaid =
        "The file \"" + pipes[4] + "\" could not be read: it is a named pipe, not a file.";
    EXPECT_EQ(hearts.data(Qt::DisplayRole).toString(), "Hearts.png");
    EXPECT_EQ(hearts.data(Qt::ToolTipRole).toString(), pipeSaid);
    wizard.imageBrowser->setCurrentIndex(hearts);
    EXPECT_EQ(wizard.next_counter, 2);
    EXPECT_EQ(host.messages(), QStringList{"\n" + pipeSaid});
    host.clear();
    wizard.imageBrowser->setCurrentIndex(backgrounds->index(0));  // a picture: the next step
    EXPECT_EQ(
        host.messages(),
        QStringList{"\nThe file \"" + pipes[1] + "\" could not be read: it is a named pipe, not a file.\n" +
                    "The file \"" + message +
                    "\" could not be read: it is a device, not a file (a link to /dev/zero)."});
    EXPECT_EQ(wizard.msg_title->text(), "");  // no stock texts: the person types them
    wizard.title_nxt_btn->click();
    EXPECT_EQ(wizard.msg_title->text(), "");
    EXPECT_EQ(wizard.msg_value->toPlainText(), "");
    wizard.msg_title->setText("Welcome");
    wizard.msg_value->setPlainText("Come and celebrate");
    wizard.Next_btn->click();
    wizard.Next_btn->click();
    EXPECT_EQ(host.messages().size(), 1);  // said once
    return wizard.result();
  });
  SKTWindowController window;
  EXPECT_FALSE(window.exitRequested()) << host.messages().join("|").toStdString();
  EXPECT_EQ(window.document()->graphics().size(), 2u);  // the title and the message typed
  EXPECT_EQ(sender_email.get(), "");
  EXPECT_EQ(Preferences::sharedInstance()->send_email_SMTP_server(), "");
  // The main window's backgrounds list the pipe too, saying why, and choosing
  // it names it and leaves the card's background as it was.
  host.clear();
  PictureBrowser* panel = window.cardBackgroundTab()->imageBrowser;
  const QModelIndex listed = panel->pictureModel()->index(2);
  const QString pipeSaid = "The file \"" + pipes[4] + "\" could not be read: it is a named pipe, not a file.";
  EXPECT_EQ(listed.data(Qt::DisplayRole).toString(), "Hearts.png");
  EXPECT_EQ(listed.data(Qt::ToolTipRole).toString(), pipeSaid);
  const QString backgroundBefore = window.Front_card_Prop.Card_BG_Image_Path;
  panel->setCurrentIndex(listed);
  EXPECT_EQ(host.messages(), QStringList{"\n" + pipeSaid});
  EXPECT_EQ(window.Front_card_Prop.Card_BG_Image_Path, backgroundBefore);
  EXPECT_TRUE(watchdog.freed().isEmpty()) << "waited on: " << watchdog.freed().join(", ").toStdString();
}
