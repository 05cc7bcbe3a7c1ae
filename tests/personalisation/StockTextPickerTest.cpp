// The stock text picker through its window: reading the lists, cycling,
// OK and Cancel, and files that give no list.
#include <gtest/gtest.h>

#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>

#include "PersonalisationTestHost.h"
#include "personalisation/Insert_Template.h"
#include "personalisation/StockTexts.h"
#include "personalisation/globals.h"
#include "support/ScriptedHost.h"

using testing_support::writeFile;

TEST(StockTextPicker, CyclesCrLfListsAndHandsBackTheTrimmedText) {
  testing_support::ScriptedHost messages;
  PersonalisationTestHost host;
  writeFile(host.folder.path() + "/Title.txt", "\r\n One\r\nTwo\r\n\r\nFour\r\n\r\n");
  Insert_Template& picker = Insert_Template::defaultInstance();
  messages.queueModal([&](QDialog&) {
    EXPECT_EQ(picker.msg_value->toPlainText(), "One");
    picker.back_btn->click();
    EXPECT_EQ(picker.msg_value->toPlainText(), "Four");
    picker.next_btn->click();
    picker.next_btn->click();
    picker.next_btn->click();
    EXPECT_EQ(picker.msg_value->toPlainText(), "");  // an empty line is an empty entry
    picker.ok_btn->click();                          // ... which OK refuses
    EXPECT_EQ(picker.result(), 0);
    picker.back_btn->click();
    picker.ok_btn->click();
    return picker.result();
  });
  QString picked;
  EXPECT_TRUE(Pick_Stock_Text("T", &picked));
  EXPECT_EQ(picked, "Two");
  EXPECT_EQ(shown(messages), QStringList({"Please select message."}));

  // No message file: the field opens empty; a typed text is taken.
  messages.queueModal([&](QDialog&) {
    EXPECT_EQ(picker.msg_value->toPlainText(), "");
    picker.next_btn->click();
    picker.msg_value->setPlainText("  typed  ");
    picker.ok_btn->click();
    return picker.result();
  });
  EXPECT_TRUE(Pick_Stock_Text("M", &picked));
  EXPECT_EQ(picked, "typed");
  messages.queueModal([&](QDialog&) {
    picker.cancel_btn->click();
    return picker.result();
  });
  EXPECT_FALSE(Pick_Stock_Text("M", &picked));
  EXPECT_EQ(Template_Msg_Val, "");

  // A message file that is a link to a device is named as it opens.
  const QString device = host.folder.path() + "/Message.txt";
  ASSERT_TRUE(QFile::link("/dev/zero", device));
  messages.clear();
  EXPECT_FALSE(Pick_Stock_Text("M", &picked));
  EXPECT_EQ(shown(messages),
            QStringList{"The file \"" + device + "\" could not be read: it is a device, not a file (a link to /dev/zero)."});
}

TEST(StockTexts, FilesThatGiveNoListAndTheCycleBounds) {
  QTemporaryDir dir;
  const QString bad = dir.filePath("bad.txt");
  writeFile(bad, "Caf\xE9 au lait\n");  // Latin-1, not UTF-8
  QString why;
  EXPECT_FALSE(Read_Stock_Text_File(bad, &why).has_value());
  EXPECT_EQ(why, "The file \"" + bad + "\" could not be read: it is not UTF-8 text.");
  EXPECT_FALSE(Read_Stock_Text_File(dir.filePath("missing.txt"), &why).has_value());
  EXPECT_EQ(why, "");  // a missing file is no fault: the texts are typed
  writeFile(dir.filePath("empty.txt"), "");
  EXPECT_EQ(Read_Stock_Text_File(dir.filePath("empty.txt")), QStringList({""}));

  StockTextCycle cycle;
  cycle.load(bad);
  EXPECT_EQ(cycle.next(), "");
  EXPECT_EQ(cycle.back(), "");
  EXPECT_EQ(cycle.index(), 0);
  cycle.setEntries(QStringList({"a", "b", "c"}));
  for (int i = 0; i < 7; ++i) cycle.back();
  EXPECT_EQ(cycle.index(), 2);  // -7 mod 3
  EXPECT_EQ(cycle.current(), "c");
  cycle.setEntries(QStringList({"only"}));
  EXPECT_EQ(cycle.next(), "only");
  EXPECT_EQ(cycle.back(), "only");

  const QString pair = QString::fromUtf8("ab\xF0\x9F\x8E\x88");
  EXPECT_EQ(Limit_Text_Length(pair, 3), "ab");
  EXPECT_EQ(Limit_Text_Length(pair, 4), pair);
  EXPECT_EQ(Limit_Text_Length(pair, 2), "ab");
}
