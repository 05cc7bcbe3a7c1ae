// The list import wizard end to end: text files in each encoding it takes,
// CSV with quotes and every line ending, rich text with tables, escapes and
// Unicode, pasted text and picture folders, into series files and into the
// manager's list, with its refusals; an import of more values than a series
// may hold is refused on every route before anything is written.
#include <sys/stat.h>

#include <QLineEdit>
#include <QPlainTextEdit>

#include "DialogTestSupport.h"
#include "data/dialogs/BatchWizard.h"
#include "data/dialogs/Import_Wizard.h"
#include "data/dialogs/ListImport.h"
#include "data/dialogs/SeriesButtons.h"
#include "data/dialogs/ValueListModel.h"

namespace {

using data_test::writeAll;

using dialog_test::LoweredValueLimit;
using dialog_test::overLimitMessage;

class ListImportTest : public dialog_test::DataDialogTest {
 protected:
  QString source(const QString& name, const QByteArray& bytes) {
    const QString path = sources.path() + "/" + name;
    writeAll(path, bytes);
    return path;
  }
  // Imports a text, rich-text or CSV file into a series file with the main window's button.
  void importFile(const QString& path, const QString& seriesName) {
    whenShown<Import_Wizard>([&](Import_Wizard& w) {
      w.Text_RD_Pressed();
      w.Text_path->setText(path);
      w.Text_file_name->setText(seriesName);
      w.OKPressed();
    });
    series_buttons::Import_Wizard_Button();
  }
  // Imports into the manager's editor and answers its values.
  QStringList importIntoList(std::function<void(Import_Wizard&)> choose) {
    QStringList values;
    whenShown<BatchWizard>([&](BatchWizard& m) {
      m.AddNew_Btn_Clicked();
      whenShown<Import_Wizard>([&](Import_Wizard& w) {
        EXPECT_TRUE(w.Text_file_name->isHidden());
        choose(w);
        w.OKPressed();
      });
      m.Import_Value_Btn_Clicked();
      values = m.ListData_value->values();
      m.Close_Btn_Clicked();
    });
    series_buttons::Batch_Series_Button();
    return values;
  }

  QTemporaryDir sources;
};

TEST_F(ListImportTest, TextFilesInTheirEncodings) {
  const QByteArray lines = "a\r\n\r\n  b  \r\n{c}\r\nd\\e\r\n";
  importFile(source("plain.txt", lines), "Plain");
  EXPECT_EQ(series("Plain"), QByteArray("a\nb\nc\nde\n"));
  importFile(source("bom.txt",
                    "\xEF\xBB\xBF"
                    "\xC3\xA9t\xC3\xA9\n\xE2\x82\xAC 5\n"),
             "Bom");
  EXPECT_EQ(series("Bom"), QByteArray("\xC3\xA9t\xC3\xA9\n\xE2\x82\xAC 5\n"));
  const QString wide = QStringLiteral("Zoë\nπ\n");
  QByteArray le("\xFF\xFE"), be("\xFE\xFF");
  for (QChar c : wide) {
    le.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
    be.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
  }
  importFile(source("le.txt", le), "Le");
  importFile(source("be.txt", be), "Be");
  EXPECT_EQ(series("Le"), wide.toUtf8());
  EXPECT_EQ(series("Be"), wide.toUtf8());
  // A character that spans two of the pieces in which a file is read.
  const QByteArray spanning = QByteArray((1 << 20) - 1, 'a') + "\xC3\xA9\n";
  importFile(source("spanning.txt", spanning), "Spanning");
  EXPECT_EQ(series("Spanning"), spanning);
  EXPECT_TRUE(messages().isEmpty()) << messages().join(" | ").toStdString();
  EXPECT_EQ(seriesChanges, 5);

  // Latin-1 bytes, a character cut off at the end, a UTF-32 mark, an empty
  // file: refused; a missing path: asked for again.
  for (const QByteArray& bad : {QByteArray("caf\xE9\n"), QByteArray("ok\n\xC3"),
                                QByteArray("\xFF\xFE\x00\x00x\x00\x00\x00", 8), QByteArray()})
    importFile(source("bad.txt", bad), "Bad");
  importFile(sources.path() + "/missing.txt", "Bad");
  EXPECT_EQ(messages(),
            QStringList(4, "Either file is corrupted or selected file contains invalid characters.")
                << "Please select valid file path.");
  EXPECT_FALSE(seriesNames().contains("Bad.txt"));
}

TEST_F(ListImportTest, CsvWithQuotesAndEveryLineEnding) {
  const QByteArray csv =
      "name,city\r\n\"Smith, John\",\"New\nYork\"\rx,\"say \"\"hi\"\"\"\nsingle\n\n,  ,tail";
  const QStringList values = importIntoList([&](Import_Wizard& w) {
    w.Text_RD_Pressed();
    w.Text_path->setText(source("people.CSV", csv));
  });
  EXPECT_EQ(values,
            QStringList({"name", "city", "Smith, John", "New York", "x", "say \"hi\"", "single", "tail"}));

  // Into a series file: records end at LF alone too.
  importFile(source("lf.csv", "x,y\n1,2\n"), "Lf");
  EXPECT_EQ(series("Lf"), QByteArray("x\ny\n1\n2\n"));
}

TEST_F(ListImportTest, RichTextGivesItsPlainText) {
  const QByteArray rtf =
      "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Helvetica;}{\\f1\\froman Times;}}\r\n"
      "{\\colortbl;\\red255\\green0\\blue0;}{\\*\\generator Writer 1.0;}{\\info{\\title Hidden title}}\r\n"
      "\\f0\\fs24\\pard Caf\\'e9 au lait\\par\r\n"
      "{\\cf1 Stra\\u223?e}\\line Tab\\tab here\\par\r\n"
      "\\{braces\\} and \\\\backslash\\par\r\n"
      "{\\*\\unknowndest hidden}\\uc2 \\u8364\\'80\\'80  price\\par\r\n"
      "Smile \\uc1\\u-10179?\\u-8704?\\par\r\n"
      "}";
  importFile(source("letter.rtf", rtf), "Letter");
  EXPECT_EQ(QString::fromUtf8(series("Letter")),
            QStringLiteral("Café au lait\nStraße\nTab\there\nbraces and backslash\n€  price\nSmile 😀\n"));
  importFile(source("fake.rtf", "plain words\n"), "Fake");
  EXPECT_EQ(messages(),
            QStringList{"Either file is corrupted or selected file contains invalid characters."});
}

TEST_F(ListImportTest, PastedTextIntoAFileAndIntoTheList) {
  whenShown<Import_Wizard>([](Import_Wizard& w) {
    w.Manual_RD_Pressed();
    EXPECT_EQ(w.Manual_file_name->text(), "Untitled");
    w.ManualEdit->setPlainText("  one\n two \n\nthree  \r\nfour  \n\n");
    w.OKPressed();
  });
  series_buttons::Import_Wizard_Button();
  EXPECT_EQ(series("Untitled"), QByteArray("one\n two \nthree  \nfour\n"));

  const QStringList values = importIntoList([](Import_Wizard& w) {
    w.Manual_RD_Pressed();
    w.ManualEdit->setPlainText("  one\n two \n\nthree");
  });
  EXPECT_EQ(values, QStringList({"one", "two", "three"}));

  whenShown<Import_Wizard>([](Import_Wizard& w) {
    w.Manual_RD_Pressed();
    w.ManualEdit->setPlainText(" \n ");
    w.OKPressed();
  });
  series_buttons::Import_Wizard_Button();
  EXPECT_EQ(messages(), QStringList{"Please enter some data."});
}

TEST_F(ListImportTest, PictureFolderGivesItsPicturesInNameOrder) {
  const QString folder = sources.path() + "/pictures";
  ASSERT_TRUE(QDir().mkpath(folder + "/sub.png"));
  for (const char* name : {"b.PNG", "a.jpg", ".hidden.gif", "notes.txt", "sub.png/c.png", "z.TIFF"})
    writeAll(folder + "/" + name, "x");
  ASSERT_EQ(::mkfifo(QFile::encodeName(folder + "/pipe.png").constData(), 0600), 0);
  ASSERT_TRUE(QFile::link(folder + "/gone.jpg", folder + "/dangling.jpg"));
  whenShown<Import_Wizard>([&](Import_Wizard& w) {
    w.Image_RD_Pressed();
    w.Image_path->setText(folder);
    w.Image_file_name->setText("Photos");
    w.OKPressed();
  });
  series_buttons::Import_Wizard_Button();
  EXPECT_EQ(QString::fromUtf8(series("Photos")), QStringList({folder + "/.hidden.gif", folder + "/a.jpg",
                                                              folder + "/b.PNG", folder + "/z.TIFF", ""})
                                                     .join('\n'));
  EXPECT_TRUE(messages().isEmpty()) << messages().join(" | ").toStdString();
}

TEST_F(ListImportTest, NamesThatAreNoPlainNamesAndTheReplaceQuestion) {
  const QString text = source("v.txt", "v\n");
  for (const QString& name : {QString("../escape"), QString("a\\b"), QString(" .. "), QString("/?* ")})
    importFile(text, name);
  EXPECT_EQ(messages(), QStringList(3, "Error in file accessing.") << "Please enter list name.");
  EXPECT_TRUE(seriesNames().isEmpty());
  EXPECT_FALSE(QFileInfo::exists(root.path() + "/escape.txt"));

  writeSeries("Kept", "old\n");
  host.queueYesNo(false);
  importFile(text, "Kept");
  EXPECT_EQ(series("Kept"), QByteArray("old\n"));
  host.queueYesNo(true);
  importFile(text, "/Kept ");
  EXPECT_EQ(series("Kept"), QByteArray("v\n"));
  EXPECT_EQ(host.questions().size(), 2);
}

// Every route of the wizard takes as many values as a series may hold and
// refuses one more, with the message and before a series is written or a
// value reaches the manager's list.
TEST_F(ListImportTest, EveryRouteTakesValuesUpToTheLimitAndRefusesMore) {
  const LoweredValueLimit lowered(3);
  enum Route { Text, Csv, RichText, Pasted, Pictures, PastedIntoTheList };
  for (const int route : {Text, Csv, RichText, Pasted, Pictures, PastedIntoTheList}) {
    for (const int count : {4, 3}) {
      const QString name = QStringLiteral("Route%1With%2").arg(route).arg(count);
      QStringList values;
      for (int i = 1; i <= count; ++i) values.append(QStringLiteral("v%1").arg(i));
      const auto choose = [&](Import_Wizard& w) {
        if (route == Pasted || route == PastedIntoTheList) {
          w.Manual_RD_Pressed();
          w.ManualEdit->setPlainText(values.join('\n'));
          w.Manual_file_name->setText(name);
        } else if (route == Pictures) {
          const QString folder = sources.path() + "/" + name;
          ASSERT_TRUE(QDir().mkpath(folder));
          for (QString& value : values) writeAll(value = folder + "/" + value + ".png", "x");
          w.Image_RD_Pressed();
          w.Image_path->setText(folder);
          w.Image_file_name->setText(name);
        } else {
          const QByteArray text = route == Csv        ? values.join(',').toUtf8()
                                  : route == RichText ? ("{\\rtf1 " + values.join("\\par ") + "}").toUtf8()
                                                      : (values.join('\n') + '\n').toUtf8();
          w.Text_RD_Pressed();
          w.Text_path->setText(source(name + (route == Csv        ? ".csv"
                                              : route == RichText ? ".rtf"
                                                                  : ".txt"),
                                      text));
          w.Text_file_name->setText(name);
        }
      };
      if (route == PastedIntoTheList) {
        EXPECT_EQ(importIntoList(choose), count > 3 ? QStringList() : values);
        continue;
      }
      whenShown<Import_Wizard>([&](Import_Wizard& w) {
        choose(w);
        w.OKPressed();
      });
      series_buttons::Import_Wizard_Button();
      if (count > 3)
        EXPECT_FALSE(QFileInfo::exists(seriesFile(name))) << route;
      else
        EXPECT_EQ(series(name), (values.join('\n') + '\n').toUtf8()) << route;
    }
  }
  EXPECT_EQ(messages(), QStringList(6, overLimitMessage("3")));
  EXPECT_EQ(seriesNames().size(), 5);
}

// Readers stop at the first value past the limit: a file of 100,000 lines or
// fields costs the work of 101 values when 100 fit.
TEST(ListImportReading, StopsAtTheFirstValuePastTheLimit) {
  QTemporaryDir dir;
  for (const char* name : {"many.txt", "many.csv", "many.rtf"}) {
    const QString path = dir.path() + "/" + name;
    writeAll(path, QString::fromUtf8(name).endsWith("rtf")
                       ? "{\\rtf1 " + QByteArray("x\\par ").repeated(100000) + "}"
                       : QByteArray("x,y\n").repeated(50000));
    SeriesValues values(100);
    EXPECT_EQ(list_import::valuesFromFile(path, values), list_import::SourceFailure::None);
    EXPECT_TRUE(values.overLimit()) << name;
    EXPECT_EQ(values.offered(), 101) << name;
    EXPECT_EQ(values.size(), 100) << name;
  }
  SeriesValues pasted(100);
  list_import::pastedValues(QString("x\n").repeated(100000), true, pasted);
  EXPECT_EQ(pasted.offered(), 101);
  for (int i = 0; i < 150; ++i) writeAll(dir.path() + QStringLiteral("/%1.png").arg(i), "x");
  SeriesValues pictures(100);
  list_import::picturePaths(dir.path(), pictures);
  EXPECT_EQ(pictures.offered(), 101);
}

// At the real limit, the row count of a spreadsheet: a file of 1,048,576
// one-character lines comes back from its series unchanged, and a CSV file of
// as many values of two lines each gives as many lines; one line more is
// refused.
TEST_F(ListImportTest, AFileOfMoreLinesThanASpreadsheetHasRowsIsRefused) {
  const QByteArray atLimit = QByteArray("a\n").repeated(1'048'576);
  importFile(source("at.txt", atLimit), "At");
  EXPECT_EQ(series("At"), atLimit);
  importFile(source("at.csv", QByteArray("\"a\r\nb\"\n").repeated(1'048'576)), "AtCsv");
  EXPECT_EQ(series("AtCsv"), QByteArray("a b\n").repeated(1'048'576));
  importFile(source("over.txt", atLimit + "b\n"), "Over");
  EXPECT_EQ(messages(), QStringList{overLimitMessage("1,048,576")});
  EXPECT_EQ(seriesNames(), QStringList({"At.txt", "AtCsv.txt"}));
}

}  // namespace
