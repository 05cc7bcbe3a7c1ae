// Design templates on a scratch resource folder: the name panel, export,
// copy naming, rename and delete (checked with cmp against the originals),
// the listing and the browser's choice.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>

#include "PersonalisationTestHost.h"
#include "personalisation/Export_Template.h"
#include "personalisation/TemplateStore.h"
#include "personalisation/Template_Wizard.h"
#include "personalisation/globals.h"
#include "platform/ChildProcess.h"
#include "platform/widgets/PictureBrowser.h"
#include "support/PictureSamples.h"
#include "support/PipeWatchdog.h"
#include "support/ScriptedHost.h"

using namespace templates;

namespace {

using testing_support::writeFile;

// A small PNG that carries its label, so that each template's picture differs.
QByteArray picture(const QByteArray& label) {
  QImage image(4, 3, QImage::Format_RGB32);
  image.fill(Qt::darkCyan);
  image.setText("Title", QString::fromUtf8(label));
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

bool sameBytes(const QString& a, const QString& b) {
  return platform::runChild("cmp", {"-s", a, b}).exitCode == 0;
}

QStringList names(const QString& folder) {
  return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

}  // namespace

class Templates : public ::testing::Test {
 protected:
  testing_support::ScriptedHost messages;
  PersonalisationTestHost host;
  QString user = userFolder();
  QTemporaryDir originals;

  void addUser(const QString& base, bool withDesign = true) {
    writeFile(user + "/" + base + ".png", picture("picture of " + base.toUtf8()));
    if (withDesign) writeFile(user + "/" + base + ".dcard", "design of " + base.toUtf8());
    QFile::copy(user + "/" + base + ".png", originals.filePath(base + ".png"));
    if (withDesign) QFile::copy(user + "/" + base + ".dcard", originals.filePath(base + ".dcard"));
  }
  int namePanel(const QString& typed, const QString& old = QString()) {
    Export_Template& panel = Export_Template::defaultInstance();
    messages.queueModal([&panel, typed](QDialog&) {
      panel.template_name->setText(typed);
      panel.ok_btn->click();
      if (panel.result() != 1) panel.cancel_btn->click();
      return panel.result();
    });
    return panel.Run_Name_Panel(QString(), old);
  }
};

TEST_F(Templates, NamePanelCleansRefusesAndGuards) {
  Export_Template& panel = Export_Template::defaultInstance();
  EXPECT_EQ(namePanel("  ?Party? "), 1);
  EXPECT_EQ(panel.export_template_name, "Party");
  EXPECT_EQ(namePanel("a* *"), 1);
  EXPECT_EQ(panel.export_template_name, "a");  // cleaned to a fixed point
  EXPECT_EQ(namePanel("a?b"), 1);
  EXPECT_EQ(panel.export_template_name, "a?b");
  for (const QString& bad : QStringList{"../x", "a/b", ". ", "..", " */ ", QString("a") + QChar(0) + "b"})
    EXPECT_EQ(namePanel(bad), 0) << bad.toStdString();
  EXPECT_EQ(shown(messages).count("Please enter template name."), 6);

  addUser("Party");
  messages.queueYesNo(false);
  EXPECT_EQ(namePanel("Party"), 0);
  messages.queueYesNo(true);
  EXPECT_EQ(namePanel("Party"), 1);
  EXPECT_EQ(messages.questions().count(
                "Template with this name already exists, Do you want to replace the existing template?"),
            2);
  // Renaming: another template's name is refused, its own name accepted.
  addUser("Other");
  EXPECT_EQ(namePanel("Party", "Other"), 0);
  EXPECT_TRUE(shown(messages).contains("Template with this name already exists."));
  EXPECT_EQ(namePanel("Other", "Other"), 1);
}

TEST_F(Templates, ExportReplacesOnlyWhenBothFilesWereWritten) {
  auto writer = [](const QByteArray& bytes, bool ok) {
    return [bytes, ok](const QString& path) {
      if (!ok) return false;
      QFile f(path);
      return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    };
  };
  EXPECT_EQ(Export_Template_Files("Party", writer("design 1", true), writer("picture 1", true)),
            Outcome::Done);
  writeFile(originals.filePath("d1"), "design 1");
  writeFile(originals.filePath("p1"), "picture 1");
  EXPECT_EQ(Export_Template_Files("Party", writer("design 2", true), writer("picture 2", false)),
            Outcome::Failed);
  EXPECT_EQ(Export_Template_Files("Party", writer("design 2", false), writer("picture 2", true)),
            Outcome::Failed);
  EXPECT_TRUE(sameBytes(user + "/Party.dcard", originals.filePath("d1")));
  EXPECT_TRUE(sameBytes(user + "/Party.png", originals.filePath("p1")));
  EXPECT_EQ(names(user), QStringList({"Party.dcard", "Party.png"}));  // no half-written files left
  EXPECT_EQ(Export_Template_Files("../x", writer("d", true), writer("p", true)), Outcome::Refused);
  EXPECT_FALSE(QFileInfo::exists(builtInFolder() + "/x.dcard"));
}

TEST_F(Templates, CopyRenameAndDeleteActOnUserTemplatesOnly) {
  addUser("Party");
  addUser("Party (copy 1)");
  addUser("Lone", false);
  writeFile(builtInFolder() + "/Shipped.jpg", "shipped");
  writeFile(builtInFolder() + "/Shipped.dcard", "shipped design");

  QString copy;
  EXPECT_EQ(Copy_Template(user + "/Party.png", &copy), Outcome::Done);
  EXPECT_EQ(QFileInfo(copy).fileName(), "Party (copy 2).png");
  EXPECT_TRUE(sameBytes(user + "/Party (copy 2).dcard", originals.filePath("Party.dcard")));
  EXPECT_EQ(Copy_Template(user + "/Party (copy 1).png", &copy), Outcome::Done);
  EXPECT_EQ(QFileInfo(copy).fileName(), "Party (copy 1) (copy 1).png");
  EXPECT_EQ(Copy_Template(user + "/Lone.png", &copy), Outcome::Done);  // no design: the picture alone
  EXPECT_FALSE(QFileInfo::exists(user + "/Lone (copy 1).dcard"));

  EXPECT_EQ(Rename_Template(user + "/Party.png", "Party"), Outcome::Unchanged);
  EXPECT_EQ(Rename_Template(user + "/Party.png", "../Escaped"), Outcome::Refused);
  EXPECT_EQ(Rename_Template(user + "/Party (copy 2).png", "Lone"), Outcome::Refused);  // taken
  EXPECT_EQ(Rename_Template(user + "/Party.png", "Feast"), Outcome::Done);
  EXPECT_TRUE(sameBytes(user + "/Feast.png", originals.filePath("Party.png")));
  EXPECT_TRUE(sameBytes(user + "/Feast.dcard", originals.filePath("Party.dcard")));
  EXPECT_FALSE(QFileInfo::exists(user + "/Party.png"));
  EXPECT_FALSE(QFileInfo::exists(user + "/Party.dcard"));

  EXPECT_EQ(Delete_Template(builtInFolder() + "/Shipped.jpg"), Outcome::Refused);
  EXPECT_EQ(Copy_Template(builtInFolder() + "/Shipped.jpg"), Outcome::Refused);
  EXPECT_EQ(Rename_Template(builtInFolder() + "/Shipped.jpg", "Mine"), Outcome::Refused);
  EXPECT_EQ(Delete_Template(user + "/Feast.png"), Outcome::Done);
  EXPECT_FALSE(QFileInfo::exists(user + "/Feast.dcard"));
  EXPECT_TRUE(QFileInfo::exists(builtInFolder() + "/Shipped.dcard"));
}

TEST_F(Templates, BrowserListsChoosesAndManagesFromTheUserCategory) {
  writeFile(builtInFolder() + "/B.PNG", picture("b"));
  writeFile(builtInFolder() + "/B.dcard", "b design");
  writeFile(builtInFolder() + "/A.jpg", picture("a"));  // no design file
  writeFile(builtInFolder() + "/C.jpeg", picture("c"));
  writeFile(builtInFolder() + "/D.txt", "d");
  // Templates that cannot be read: a picture that is none, a pipe, a folder
  // and a link to a device in a picture's place, and a user template whose
  // design is a pipe. Each is listed, its tooltip says why, and OK names it.
  writeFile(builtInFolder() + "/E.png", "not a picture");
  writeFile(builtInFolder() + "/E.dcard", "e design");
  ASSERT_TRUE(testing_support::makePipe(builtInFolder() + "/F.png"));
  ASSERT_TRUE(QDir().mkpath(builtInFolder() + "/G.jpg"));
  ASSERT_TRUE(QFile::link("/dev/zero", builtInFolder() + "/H.png"));
  // And a preview cut short in its scan data, which Qt's reader fills with grey.
  writeFile(builtInFolder() + "/I.jpg",
            testing_support::cutPictureSamples(testing_support::wholePictureSamples()[0]).last());
  writeFile(builtInFolder() + "/I.dcard", "i design");
  addUser("Mine");
  addUser("Piped");
  ASSERT_TRUE(testing_support::makePipe(user + "/Piped.dcard"));
  testing_support::PipeWatchdog watchdog({builtInFolder() + "/F.png", user + "/Piped.dcard"});
  const QString said = "The file \"%1\" could not be read: %2.";
  const QStringList problems = {
      said.arg(builtInFolder() + "/A.dcard", "no such file or directory"),
      "",
      said.arg(builtInFolder() + "/E.png", "it is not a picture"),
      said.arg(builtInFolder() + "/F.png", "it is a named pipe, not a file"),
      said.arg(builtInFolder() + "/G.jpg", "it is a folder"),
      said.arg(builtInFolder() + "/H.png", "it is a device, not a file (a link to /dev/zero)"),
      said.arg(builtInFolder() + "/I.jpg", "it is a damaged or incomplete picture")};
  Template_Wizard& browser = Template_Wizard::defaultInstance();
  QStringList tooltips, userTooltips;
  messages.queueModal([&](QDialog&) {
    PictureItemModel* model = browser.imageBrowser->pictureModel();
    EXPECT_EQ(model->rowCount(), 7);  // A.jpg, B.PNG, E.png ... I.jpg, by name
    for (int row = 0; row < model->rowCount(); ++row) {
      tooltips << model->index(row).data(Qt::ToolTipRole).toString();
      if (row == 1) continue;
      browser.imageBrowser->setCurrentIndex(model->index(row));
      browser.ok_btn->click();
      EXPECT_EQ(browser.result(), 0) << row;
    }
    EXPECT_FALSE(browser.Delete_temp_btn->isVisibleTo(&browser));
    browser.imageBrowser->setCurrentIndex(model->index(1));
    browser.cat_cmbo_bx->setCurrentIndex(1);
    EXPECT_TRUE(browser.Copy_temp_btn->isVisibleTo(&browser));
    EXPECT_EQ(model->rowCount(), 2);
    userTooltips << model->index(0).data(Qt::ToolTipRole).toString()
                 << model->index(1).data(Qt::ToolTipRole).toString();
    browser.imageBrowser->setCurrentIndex(model->index(1));  // Piped
    browser.ok_btn->click();
    EXPECT_EQ(browser.result(), 0);
    browser.imageBrowser->setCurrentIndex(model->index(0));
    messages.queueYesNo(true);
    browser.Copy_temp_btn->click();
    EXPECT_EQ(model->rowCount(), 3);
    messages.queueYesNo(true);
    browser.Delete_temp_btn->click();  // the first: "Mine (copy 1)"
    EXPECT_EQ(model->rowCount(), 2);
    browser.imageBrowser->setCurrentIndex(model->index(1));
    messages.queueYesNo(true);
    browser.Delete_temp_btn->click();  // "Piped", whose design is a pipe
    EXPECT_EQ(model->rowCount(), 1);
    browser.cat_cmbo_bx->setCurrentIndex(0);
    browser.imageBrowser->setCurrentIndex(model->index(1));
    browser.ok_btn->click();
    return browser.result();
  });
  EXPECT_EQ(browser.Open_Template_Window(), 1);
  EXPECT_EQ(Selected_Template_Path, builtInFolder() + "/B.dcard");
  EXPECT_EQ(tooltips.mid(2), problems.mid(2));
  EXPECT_EQ(tooltips.value(0), problems[0]);
  EXPECT_EQ(tooltips.value(1), builtInFolder() + "/B.PNG");  // a readable one shows its path
  EXPECT_EQ(userTooltips, QStringList({user + "/Mine.png",
                                       said.arg(user + "/Piped.dcard", "it is a named pipe, not a file")}));
  QStringList expected = problems;
  expected.removeAt(1);
  expected << userTooltips[1];
  EXPECT_EQ(shown(messages), expected);
  EXPECT_EQ(names(user), QStringList({"Mine.dcard", "Mine.png"}));
  EXPECT_TRUE(sameBytes(user + "/Mine.png", originals.filePath("Mine.png")));
  EXPECT_TRUE(watchdog.freed().isEmpty());
}
