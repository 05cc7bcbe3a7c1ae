// Design templates on a scratch resource folder: the name panel, export,
// copy naming, rename and delete (checked with cmp against the originals),
// the listing and the browser's choice.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

#include "PersonalisationTestHost.h"
#include "personalisation/Export_Template.h"
#include "personalisation/TemplateStore.h"
#include "personalisation/Template_Wizard.h"
#include "personalisation/globals.h"
#include "platform/ChildProcess.h"
#include "platform/widgets/PictureBrowser.h"
#include "support/ScriptedHost.h"

using namespace templates;

namespace {

using testing_support::writeFile;

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
    writeFile(user + "/" + base + ".png", "picture of " + base.toUtf8());
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
  writeFile(builtInFolder() + "/B.PNG", "b");
  writeFile(builtInFolder() + "/B.dcard", "b design");
  writeFile(builtInFolder() + "/A.jpg", "a");  // no design file
  writeFile(builtInFolder() + "/C.jpeg", "c");
  writeFile(builtInFolder() + "/D.txt", "d");
  addUser("Mine");
  Template_Wizard& browser = Template_Wizard::defaultInstance();
  messages.queueModal([&](QDialog&) {
    PictureItemModel* model = browser.imageBrowser->pictureModel();
    EXPECT_EQ(model->rowCount(), 2);  // A.jpg and B.PNG, by name
    EXPECT_FALSE(browser.Delete_temp_btn->isVisibleTo(&browser));
    EXPECT_TRUE(Selected_Template_Path.endsWith("/A.jpg"));
    browser.ok_btn->click();  // its design file is missing
    EXPECT_EQ(browser.result(), 0);
    browser.imageBrowser->setCurrentIndex(model->index(1));
    browser.cat_cmbo_bx->setCurrentIndex(1);
    EXPECT_TRUE(browser.Copy_temp_btn->isVisibleTo(&browser));
    EXPECT_EQ(model->rowCount(), 1);
    messages.queueYesNo(true);
    browser.Copy_temp_btn->click();
    EXPECT_EQ(model->rowCount(), 2);
    messages.queueYesNo(true);
    browser.Delete_temp_btn->click();  // the first: "Mine (copy 1)"
    EXPECT_EQ(model->rowCount(), 1);
    browser.cat_cmbo_bx->setCurrentIndex(0);
    browser.imageBrowser->setCurrentIndex(model->index(1));
    browser.ok_btn->click();
    return browser.result();
  });
  EXPECT_EQ(browser.Open_Template_Window(), 1);
  EXPECT_EQ(Selected_Template_Path, builtInFolder() + "/B.dcard");
  EXPECT_EQ(shown(messages), QStringList({"Please select template."}));
  EXPECT_EQ(names(user), QStringList({"Mine.dcard", "Mine.png"}));
  EXPECT_TRUE(sameBytes(user + "/Mine.png", originals.filePath("Mine.png")));
}
