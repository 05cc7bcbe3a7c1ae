// Workbooks written from series rows: openpyxl reads back exactly the values
// and types written, the parts keep their layout, and failures are reported.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

#include "DataTestSupport.h"
#include "data/SpreadsheetWriter.h"
#include "data/XlsxFormat.h"
#include "data/globals.h"
#include "platform/globals.h"

using data_test::python;
using data_test::readAll;
using data_test::templateWorkbook;
using data_test::unzipListing;
using data_test::writeAll;

namespace {

// Prints every cell of the first sheet as [coordinate, python type, value].
const char* const kDumpCells = R"(
import sys, json, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
ws = wb.worksheets[0]
out = []
for row in ws.iter_rows():
    for c in row:
        out.append([c.coordinate, type(c.value).__name__, c.value])
print(json.dumps(out, ensure_ascii=False))
)";

class XlsxWriterTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(tmp.isValid()); }
  QString path(const QString& rel) const { return tmp.path() + "/" + rel; }
  QJsonArray dump(const QString& file) { return QJsonDocument::fromJson(python(kDumpCells, {file})).array(); }
  QByteArray workPart(const QString& rel) {
    return readAll(SpreadsheetWriter::shared().tmpDir() + "/" + rel);
  }
  QTemporaryDir tmp;
};

TEST_F(XlsxWriterTest, OpenpyxlReadsExactValuesAndTypes) {
  const QStringList values{
      "007",      "1.5", "-3",    "",    "Grüße ✓ 漢字", "same", "same", "1.50", "12345678901234567",
      " padded ", "0",   "-0.25", "1e5", "+4",           "3,5"};
  SpreadsheetRows rows{{"Batch Value"}};
  for (const QString& v : values) rows.append({v});
  const QString target = path("series.xlsx");
  ASSERT_TRUE(SpreadsheetWriter::WriteWorkbook(target, rows, false, templateWorkbook()))
      << SpreadsheetWriter::shared().lastError().toStdString();

  EXPECT_EQ(unzipListing(target),
            (QStringList{"[Content_Types].xml", "_rels/.rels", "docProps/app.xml", "docProps/core.xml",
                         "xl/_rels/workbook.xml.rels", "xl/sharedStrings.xml", "xl/styles.xml",
                         "xl/workbook.xml", "xl/worksheets/sheet1.xml"}));

  const QJsonArray cells = dump(target);
  ASSERT_EQ(cells.size(), rows.size());
  const auto cell = [&](int i) { return cells.at(i).toArray(); };
  EXPECT_EQ(cell(0)[0].toString(), "A1");
  EXPECT_EQ(cell(0)[2].toString(), "Batch Value");
  // Text stays text, exactly; plain numbers become numbers of the right type.
  const QStringList expectedTypes{"str", "float", "int", "",      "str", "str", "str", "str",
                                  "str", "str",   "int", "float", "str", "str", "str"};
  for (int i = 0; i < values.size(); ++i) {
    const QJsonArray c = cell(i + 1);
    EXPECT_EQ(c[0].toString(), QString("A%1").arg(i + 2));
    if (values[i].isEmpty()) {
      // An empty cell reads back as empty, whichever way openpyxl gives it.
      EXPECT_TRUE(c[2].isNull() || c[2].toString().isEmpty()) << c[1].toString().toStdString();
      continue;
    }
    EXPECT_EQ(c[1].toString(), expectedTypes[i]) << values[i].toStdString();
    if (expectedTypes[i] == "str")
      EXPECT_EQ(c[2].toString(), values[i]);
    else
      EXPECT_EQ(c[2].toDouble(), values[i].toDouble()) << values[i].toStdString();
  }

  // Our own reader gives back every text as written.
  SpreadsheetWriter::ReadWorkbook(target, true);
  Excel_Sheet_Number = 1;
  EXPECT_EQ(SpreadsheetWriter::ReadData_only_column().toLists(), SpreadsheetRows{QStringList{"Batch Value"}});
  EXPECT_EQ(SpreadsheetWriter::ReadWorkbook(target, false).toLists(), rows);
}

TEST_F(XlsxWriterTest, PartsFollowTheWorksheetLayout) {
  SpreadsheetRows rows{{"Batch Value"}};
  for (int i = 1; i <= 10; ++i) rows.append({i == 4 || i == 7 ? "dup" : QString::number(i)});
  ASSERT_TRUE(SpreadsheetWriter::WriteWorkbook(path("ten.xlsx"), rows, false, templateWorkbook()));
  const QString sheet = QString::fromUtf8(workPart("xl/worksheets/sheet1.xml"));
  EXPECT_TRUE(sheet.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"));
  EXPECT_TRUE(sheet.contains("<dimension ref=\"A1:A11\" />")) << sheet.toStdString();
  EXPECT_TRUE(sheet.contains("<selection activeCell=\"A11\" sqref=\"A11\" />"));
  EXPECT_TRUE(sheet.contains("<row r=\"11\" spans=\"1:1\">"));
  EXPECT_TRUE(sheet.contains("<c r=\"A1\" t=\"s\">\n        <v>0</v>"));
  EXPECT_TRUE(sheet.contains("<c r=\"A5\" t=\"s\">\n        <v>1</v>"));
  EXPECT_TRUE(sheet.contains("<c r=\"A8\" t=\"s\">\n        <v>2</v>"));
  EXPECT_TRUE(sheet.contains("<c r=\"A11\">\n        <v>10</v>"));
  EXPECT_TRUE(sheet.contains("<pageMargins left=\"0.75\" right=\"0.75\" top=\"1\" bottom=\"0.5\""));
  EXPECT_TRUE(sheet.contains("uri=\"{64002731-A6B0-56B0-2670-7721B7C09600}\""));
  const QString strings = QString::fromUtf8(workPart("xl/sharedStrings.xml"));
  EXPECT_TRUE(strings.contains("count=\"3\" uniqueCount=\"3\"")) << strings.toStdString();
  EXPECT_EQ(strings.count("<t>dup</t>"), 2);

  // All numbers: the title is the only shared string.
  SpreadsheetRows numbers{{"Batch Value"}, {"1"}, {"2.5"}};
  ASSERT_TRUE(SpreadsheetWriter::WriteWorkbook(path("numbers.xlsx"), numbers, false, templateWorkbook()));
  EXPECT_TRUE(QString::fromUtf8(workPart("xl/sharedStrings.xml")).contains("count=\"1\" uniqueCount=\"1\""));

  // Wider later rows: the dimension and spans cover the widest row.
  SpreadsheetRows ragged{{"a"}, {"b", "c", "d"}, {}};
  ASSERT_TRUE(SpreadsheetWriter::WriteWorkbook(path("ragged.xlsx"), ragged, false, templateWorkbook()));
  EXPECT_TRUE(
      QString::fromUtf8(workPart("xl/worksheets/sheet1.xml")).contains("<dimension ref=\"A1:C3\" />"));
  const QJsonArray cells = dump(path("ragged.xlsx"));
  EXPECT_EQ(QJsonDocument(cells).toJson(QJsonDocument::Compact),
            QByteArray(R"([["A1","str","a"],["B1","NoneType",null],["C1","NoneType",null],)"
                       R"(["A2","str","b"],["B2","str","c"],["C2","str","d"]])"));
}

TEST_F(XlsxWriterTest, TextThatXmlCannotHoldSurvives) {
  const QString control = QString("bell") + QChar(7) + "end";
  const SpreadsheetRows rows{{"Batch Value"}, {control}, {"_x0041_ literal"}, {"tab\tinside"}};
  ASSERT_TRUE(SpreadsheetWriter::WriteWorkbook(path("ctl.xlsx"), rows, false, templateWorkbook()));
  // Still a well-formed workbook for other programs.
  EXPECT_EQ(
      python("import sys, openpyxl; print(openpyxl.load_workbook(sys.argv[1]).worksheets[0]['A4'].value)",
             {path("ctl.xlsx")}),
      QByteArray("tab\tinside\n"));
  SpreadsheetWriter::ReadWorkbook(path("ctl.xlsx"), true);
  Excel_Sheet_Number = 1;
  SpreadsheetWriter::ReadData_only_column();
  EXPECT_EQ(SpreadsheetWriter::ReadWorkbook(QString(), false).toLists(), rows);
}

TEST_F(XlsxWriterTest, FailuresAreReportedAndTheOldFileStays) {
  const QString target = path("keep.xlsx");
  writeAll(target, "old export");
  const SpreadsheetRows rows{{"Batch Value"}, {"1"}};

  EXPECT_FALSE(SpreadsheetWriter::WriteWorkbook(target, rows, false, path("no-template.xlsx")));
  EXPECT_TRUE(SpreadsheetWriter::shared().lastError().contains("missing"));
  EXPECT_EQ(readAll(target), QByteArray("old export"));

  writeAll(path("text-template.xlsx"), "not a zip");
  EXPECT_FALSE(SpreadsheetWriter::WriteWorkbook(target, rows, false, path("text-template.xlsx")));
  EXPECT_TRUE(SpreadsheetWriter::shared().lastError().startsWith("Error: "));
  EXPECT_EQ(readAll(target), QByteArray("old export"));

  python("import sys, zipfile; zipfile.ZipFile(sys.argv[1], 'w').writestr('readme.txt', 'x')",
         {path("empty-template.xlsx")});
  EXPECT_FALSE(SpreadsheetWriter::WriteWorkbook(target, rows, false, path("empty-template.xlsx")));
  EXPECT_EQ(readAll(target), QByteArray("old export"));

  EXPECT_FALSE(
      SpreadsheetWriter::WriteWorkbook(path("missing/folder/x.xlsx"), rows, false, templateWorkbook()));
  EXPECT_TRUE(SpreadsheetWriter::shared().lastError().startsWith("Error when writing file"));
  EXPECT_FALSE(QFileInfo::exists(path("missing")));

  EXPECT_TRUE(SpreadsheetWriter::WriteWorkbook(target, rows, false, templateWorkbook()));
  EXPECT_EQ(SpreadsheetWriter::shared().lastError(), "");

  // By default the template comes from the resource folder.
  const QString resources = Resource_Path();
  Set_Resource_Path(path("res"));
  EXPECT_FALSE(SpreadsheetWriter::WriteWorkbook(path("default.xlsx"), rows, false));
  ASSERT_TRUE(QDir().mkpath(path("res")));
  ASSERT_TRUE(QFile::copy(templateWorkbook(), path("res/Template.xlsx")));
  EXPECT_TRUE(SpreadsheetWriter::WriteWorkbook(path("default.xlsx"), rows, false));
  Set_Resource_Path(resources);
  EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files).filter("keep.xlsx"), QStringList{"keep.xlsx"});
}

TEST_F(XlsxWriterTest, ShippedTemplateIsTheGeneratorsOutput) {
  const QString regenerated = path("Template.xlsx");
  data_test::run("/usr/bin/python3", {QUVO_SOURCE_DIR "/scripts/make_template_xlsx.py", regenerated});
  const char* const parts = R"(
import sys, zipfile, hashlib
z = zipfile.ZipFile(sys.argv[1])
for name in z.namelist():
    print(name, hashlib.sha256(z.read(name)).hexdigest())
)";
  const QByteArray shipped = python(parts, {templateWorkbook()});
  EXPECT_EQ(python(parts, {regenerated}), shipped);
  EXPECT_TRUE(shipped.contains("xl/worksheets/sheet1.xml") && shipped.contains("xl/sharedStrings.xml"));
  EXPECT_EQ(python("import sys, openpyxl; print(openpyxl.load_workbook(sys.argv[1]).sheetnames)",
                   {templateWorkbook()}),
            QByteArray("['Batch Values']\n"));
}

TEST(XlsxFormat, NumberGrammarOfTheCLocale) {
  for (const char* number :
       {"0", "7", "-3", "1.5", "-0.25", "0.001", "123456789012345", "1234567890.12345", "0.000000000000001"})
    EXPECT_TRUE(xlsx::isExactNumberText(QString(number))) << number;
  for (const char* text : {"",
                           "-",
                           "007",
                           "00",
                           "-0",
                           "1.50",
                           "1.",
                           ".5",
                           "+4",
                           "1e5",
                           "1E5",
                           "3,5",
                           "1 000",
                           " 1",
                           "1 ",
                           "0x10",
                           "inf",
                           "nan",
                           "1234567890123456",
                           "12345678901234567",
                           "0.1234567890123456",
                           "١٢",
                           "1.2.3"})
    EXPECT_FALSE(xlsx::isExactNumberText(QString::fromUtf8(text))) << text;
}

TEST(XlsxFormat, ColumnLettersBothWays) {
  const QList<std::pair<int, QString>> table{{1, "A"},   {26, "Z"},   {27, "AA"},   {52, "AZ"},
                                             {53, "BA"}, {702, "ZZ"}, {703, "AAA"}, {16384, "XFD"}};
  for (const auto& [number, letters] : table) {
    EXPECT_EQ(xlsx::columnName(number), letters);
    EXPECT_EQ(SpreadsheetWriter::ColumnNumber_To_Name(number), letters);
    EXPECT_EQ(xlsx::columnNumber(letters + "12"), number);
  }
  EXPECT_EQ(xlsx::columnName(0), "");
  EXPECT_EQ(xlsx::columnNumber(u"17"), 0);
  EXPECT_EQ(xlsx::columnNumber(u"XFE1"), -1);
  EXPECT_EQ(xlsx::columnNumber(u"ZZZZZZZZZZ1"), -1);
  EXPECT_EQ(xlsx::columnLetters(u"AB10"), u"AB");
}

}  // namespace
