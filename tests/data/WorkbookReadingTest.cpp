// Reading workbooks as the data sources do: hostile spreadsheet parts (deep
// nesting, trees too large for memory, odd parts), the column count a read
// reports against the rows it returns, series names taken from spreadsheet
// cells, carriage returns through an export, and quoted texts in messages.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "DataTestSupport.h"
#include "data/CardZipArchive.h"
#include "data/DataSeriesStore.h"
#include "data/Report.h"
#include "data/SpreadsheetWriter.h"
#include "data/WorkFolder.h"
#include "data/XlsxSheetReader.h"
#include "data/globals.h"
#include "platform/StringHelpers.h"
#include "support/ScriptedHost.h"

using data_test::python;

namespace {

// Writes a package with python's zipfile from (name, text) argument pairs.
const char* const kZipParts = R"(
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as z:
    for i in range(2, len(sys.argv), 2):
        z.writestr(sys.argv[i], sys.argv[i + 1])
)";

const QString kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";

QString worksheet(const QString& sheetData, const QString& dimension = QString()) {
  return "<worksheet xmlns=\"" + kMain + "\">" + dimension + "<sheetData>" + sheetData +
         "</sheetData></worksheet>";
}

class WorkbookReading : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(tmp.isValid()); }
  QString path(const QString& rel) const { return tmp.path() + "/" + rel; }

  // A workbook whose sheets are given in order (sheet1, sheet2, ...).
  QString book(const QString& name, const QStringList& sheets, const QString& sharedStrings = QString()) {
    QStringList args{path(name)};
    for (int i = 0; i < sheets.size(); ++i)
      args << QString("xl/worksheets/sheet%1.xml").arg(i + 1) << sheets[i];
    if (!sharedStrings.isNull()) args << "xl/sharedStrings.xml" << sharedStrings;
    python(kZipParts, args);
    return path(name);
  }
  void load(const QString& file) {
    Delete_Excel_File_Temp_Folder();
    SpreadsheetWriter::ReadWorkbook(file, true);
  }
  SpreadsheetRows titles(int sheet) {
    Excel_Sheet_Number = sheet;
    return SpreadsheetWriter::ReadData_only_column().toLists();
  }
  SpreadsheetRows allRows(int sheet) {
    Excel_Sheet_Number = sheet;
    return SpreadsheetWriter::ReadWorkbook(QString(), false).toLists();
  }

  QTemporaryDir tmp;
};

// Every row a read returns is exactly Excel_Sheet_Columns wide, also for a
// sheet that has rows but neither cells nor a dimension, read after a wider one.
TEST_F(WorkbookReading, ColumnCountAlwaysMatchesTheRowsReturned) {
  const QString five = worksheet("<row r=\"1\"><c r=\"E1\"><v>5</v></c></row>");
  const QString bare = worksheet("<row r=\"1\"/><row r=\"2\"/>");
  load(book("cols.xlsx", {five, bare}));
  EXPECT_EQ(titles(1).value(0).size(), 5);
  EXPECT_EQ(Excel_Sheet_Columns, 5);

  const SpreadsheetRows head = titles(2);
  ASSERT_EQ(head.size(), 1);
  EXPECT_EQ(head[0].size(), Excel_Sheet_Columns.load());
  const SpreadsheetRows rows = allRows(2);
  ASSERT_EQ(rows.size(), 2);
  for (const QStringList& row : rows) EXPECT_EQ(row.size(), Excel_Sheet_Columns.load());

  // Without cells the dimension gives the count, every one of its letters counted.
  const QString offset = worksheet("<row r=\"2\"/>", "<dimension ref=\"B2:D5\"/>");
  const QString wide = worksheet("<row r=\"1\"/>", "<dimension ref=\"A1:AAC1\"/>");
  load(book("dims.xlsx", {offset, wide}));
  EXPECT_EQ(titles(1), SpreadsheetRows{(QStringList{"Untitled Column 1", "Untitled Column 2",
                                                    "Untitled Column 3", "Untitled Column 4"})});
  EXPECT_EQ(Excel_Sheet_Columns, 4);
  const SpreadsheetRows wideRows = allRows(2);
  EXPECT_EQ(Excel_Sheet_Columns, 26 * 26 + 26 + 3);
  ASSERT_EQ(wideRows.size(), 1);
  EXPECT_EQ(wideRows[0].size(), 705);

  // And back to the wide sheet.
  load(book("cols.xlsx", {five, bare}));
  EXPECT_EQ(allRows(1), SpreadsheetRows{(QStringList{"", "", "", "", "5"})});
  EXPECT_EQ(Excel_Sheet_Columns, 5);
}

// Nesting a million levels deep is answered (rows or an error), never a crash.
TEST_F(WorkbookReading, DeeplyNestedPartsDoNotCrashTheReaders) {
  constexpr int kDepth = 1'000'000;
  QByteArray deep;
  deep.reserve(kDepth * 8 + 200);
  deep += "<worksheet><sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is>";
  for (int i = 0; i < kDepth; ++i) deep += "<r>";
  for (int i = 0; i < kDepth; ++i) deep += "</r>";
  deep += "</is></c></row></sheetData></worksheet>";
  const xlsx::SheetResult sheet = xlsx::readSheet(deep, {}, xlsx::SheetRows::All);
  if (sheet.error.isEmpty()) {
    ASSERT_EQ(sheet.rows.size(), 1);
    EXPECT_EQ(sheet.rows[0], QStringList{""});
  }

  QByteArray strings = "<sst><si>";
  for (int i = 0; i < kDepth; ++i) strings += "<r>";
  for (int i = 0; i < kDepth; ++i) strings += "</r>";
  strings += "</si><si><t>after</t></si></sst>";
  const xlsx::SharedStringsResult shared = xlsx::readSharedStrings(strings);
  if (shared.error.isEmpty()) {
    EXPECT_EQ(shared.strings->toStringList(), (QStringList{"", "after"}));
  }

  QByteArray workbook = "<workbook><sheets>";
  for (int i = 0; i < kDepth; ++i) workbook += "<x>";
  workbook += "<sheet name=\"deep\"/>";
  for (int i = 0; i < kDepth; ++i) workbook += "</x>";
  workbook += "</sheets></workbook>";
  QString error;
  const QStringList names = xlsx::readSheetNames(workbook, &error);
  if (error.isEmpty()) {
    EXPECT_EQ(names, QStringList{"deep"});
  }

  // Unclosed nesting is malformed: an error, no rows.
  QByteArray open = "<worksheet><sheetData>";
  for (int i = 0; i < kDepth; ++i) open += "<row>";
  const xlsx::SheetResult broken = xlsx::readSheet(open, {}, xlsx::SheetRows::All);
  EXPECT_FALSE(broken.error.isEmpty());
  EXPECT_TRUE(broken.rows.isEmpty());
}

// A file that cannot be read as a workbook is named with the reason, the same
// whether it is loaded or only checked before a window opens, and nothing of
// the workbook loaded before stays listed: a text file renamed, an empty
// file, a workbook cut short, 2 GiB of nothing (sparse, never written), a
// workbook grown to 2 GiB, and packages that list no sheet.
TEST_F(WorkbookReading, FilesThatAreNoWorkbooksAreNamedWithTheReason) {
  const QString good = book("good.xlsx", {worksheet("<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>")});
  data_test::writeAll(path("list.xlsx"), "Name;City\nAnn;Oslo\n");
  data_test::writeAll(path("empty.xlsx"), "");
  const QByteArray whole = data_test::readAll(good);
  data_test::writeAll(path("cut.xlsx"), whole.left(whole.size() / 2));
  constexpr qint64 k2GiB = qint64{2} << 30;
  for (const char* name : {"nothing.xlsx", "grown.xlsx"}) {
    if (QString(name) == "grown.xlsx") QFile::copy(good, path(name));
    QFile file(path(name));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite) && file.resize(k2GiB)) << name;  // sparse
  }
  python(kZipParts, {path("photos.xlsx"), "photo.jpg", "jpeg"});
  python(kZipParts, {path("nosheets.xlsx"), "xl/workbook.xml",
                     "<workbook xmlns=\"" + kMain + "\"><sheets/></workbook>"});
  for (const auto& [name, why] : {std::pair{"list.xlsx", "it is not an xlsx workbook"},
                                  {"empty.xlsx", "it is empty"},
                                  {"cut.xlsx", "it is an incomplete or damaged workbook"},
                                  {"nothing.xlsx", "it is not an xlsx workbook"},
                                  {"grown.xlsx", "it is an incomplete or damaged workbook"},
                                  {"photos.xlsx", "it holds no worksheet"},
                                  {"nosheets.xlsx", "it holds no worksheet"}}) {
    const QString said = QString("The file \"%1\" could not be read: %2.").arg(path(name), why);
    load(good);
    EXPECT_EQ(SpreadsheetWriter::Workbook_Problem(path(name)), said);
    EXPECT_EQ(SpreadsheetWriter::Read_Sheet_Name(), QStringList{"sheet1"});  // the check loads nothing
    load(path(name));
    EXPECT_EQ(SpreadsheetWriter::shared().unreadable(), said);
    EXPECT_TRUE(SpreadsheetWriter::Read_Sheet_Name().isEmpty()) << name;
  }
  EXPECT_EQ(SpreadsheetWriter::Workbook_Problem(good), "");
  load(good);
  EXPECT_EQ(SpreadsheetWriter::shared().unreadable(), "");
}

// A small package that unpacks to a part of dense markup is answered with
// the reader's "Error: " line and no rows, whatever else the package holds.
TEST_F(WorkbookReading, DenseMarkupIsRefused) {
  python(R"(
import sys, zipfile
n = int(sys.argv[2])
with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as z:
    z.writestr('xl/worksheets/sheet1.xml', '<' * n)
    z.writestr('xl/sharedStrings.xml', '=' * (n * 2))
)",
         {path("dense.xlsx"), QString::number(20'000'000)});
  ASSERT_LT(QFileInfo(path("dense.xlsx")).size(), 200000);
  load(path("dense.xlsx"));
  EXPECT_TRUE(SpreadsheetWriter::shared().lastError().startsWith("Error: "))
      << SpreadsheetWriter::shared().lastError().toStdString();
  EXPECT_TRUE(SpreadsheetWriter::shared().sharedStrings().isEmpty());
  EXPECT_TRUE(titles(1).isEmpty());
  EXPECT_TRUE(SpreadsheetWriter::shared().lastError().startsWith("Error: "));
  EXPECT_TRUE(allRows(1).isEmpty());
}

// Column titles become series names in the columns-to-series dialog: after
// the title trim and the name cleaning, a title that is no plain file name is
// refused with the store's message and nothing is written anywhere.
TEST_F(WorkbookReading, SeriesNamesFromSpreadsheetCellsAreRefused) {
  const QString strings = "<sst xmlns=\"" + kMain +
                          "\"><si><t>..</t></si><si><t>/</t></si><si><t>a/b</t></si>"
                          "<si><t>nul_x0000_name</t></si><si><t xml:space=\"preserve\"> . </t></si>"
                          "<si><t>../../escape</t></si><si><t>Guests</t></si></sst>";
  QString cells = "<row r=\"1\">";
  for (int i = 0; i < 7; ++i)
    cells += QString("<c r=\"%1\" t=\"s\"><v>%2</v></c>").arg(QChar('A' + i) + QString("1")).arg(i);
  cells += "</row><row r=\"2\">";
  for (int i = 0; i < 7; ++i)
    cells += QString("<c r=\"%1\"><v>%2</v></c>").arg(QChar('A' + i) + QString("2")).arg(i);
  cells += "</row>";
  load(book("names.xlsx", {worksheet(cells)}, strings));
  const SpreadsheetRows head = titles(1);
  ASSERT_EQ(head.size(), 1);
  ASSERT_EQ(head[0].size(), 7);
  EXPECT_EQ(head[0][3], QString("nul") + QChar(0) + "name");

  const QString folder = path("res/DataSet");
  ASSERT_TRUE(QDir().mkpath(folder));
  DataSeriesStore store(folder);
  testing_support::ScriptedHost host;
  const SpreadsheetRows rows = allRows(1);
  ASSERT_EQ(rows.size(), 2);
  for (int k = 0; k < 7; ++k) {
    const QString name = Remove_Reserve_Char_In_File_Name(Trim_Str(head[0][k]));
    const bool written = store.writeSeries(name, {rows[1][k]});
    EXPECT_EQ(written, k == 6) << head[0][k].toStdString();
  }
  QStringList texts;
  for (const QString& m : host.messages()) texts.append(m.trimmed());
  EXPECT_EQ(texts, QStringList(6, "Error in file accessing."));
  EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"Guests.txt"});
  EXPECT_EQ(QDir(path("res")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"DataSet"});
  EXPECT_EQ(QDir(tmp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
            (QStringList{"names.xlsx", "res"}));
  EXPECT_EQ(store.readCardValues("Guests"), QStringList{"6"});
}

}  // namespace

// Packages whose parts are not what their names say: a folder where a part
// should be, an empty part, a part in another encoding. Each read answers with
// rows or the reader's "Error: " line.
TEST_F(WorkbookReading, OddPartsGiveAnErrorOrRows) {
  python(R"(
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], 'w') as z:
    z.writestr('xl/worksheets/sheet1.xml/', '')
    z.writestr('xl/sharedStrings.xml/', '')
    z.writestr('xl/worksheets/sheet2.xml', '')
    z.writestr('xl/worksheets/sheet3.xml', '<?xml version="1.0" encoding="UTF-16"?><worksheet><sheetData>'
               '<row><c r="B1" t="inlineStr"><is><t>wide ✓</t></is></c></row></sheetData></worksheet>'
               .encode('utf-16'))
)",
         {path("odd.xlsx")});
  load(path("odd.xlsx"));
  EXPECT_TRUE(SpreadsheetWriter::shared().sharedStrings().isEmpty());
  EXPECT_EQ(SpreadsheetWriter::Worksheet_Part_Names(), (QStringList{"sheet2", "sheet3"}));
  for (int sheet : {1, 2}) {
    EXPECT_TRUE(titles(sheet).isEmpty()) << sheet;
    EXPECT_TRUE(SpreadsheetWriter::shared().lastError().startsWith("Error: "))
        << SpreadsheetWriter::shared().lastError().toStdString();
    EXPECT_TRUE(allRows(sheet).isEmpty()) << sheet;
  }
  EXPECT_EQ(allRows(3), SpreadsheetRows{(QStringList{"", "wide ✓"})});
  EXPECT_EQ(SpreadsheetWriter::shared().lastError(), "");
}

// A series value may end in a carriage return (a pasted line keeps it). XML
// readers turn a raw carriage return into a line feed, so the export writes it
// as a character reference: other programs and our reader get it back as is.
TEST_F(WorkbookReading, CarriageReturnsSurviveTheExport) {
  const SpreadsheetRows rows{{"Batch Value"}, {"one\r"}, {"a\r\nb"}, {"\rlead"}};
  const QString target = path("cr.xlsx");
  ASSERT_TRUE(SpreadsheetWriter::WriteWorkbook(target, rows, false, data_test::templateWorkbook()))
      << SpreadsheetWriter::shared().lastError().toStdString();
  EXPECT_EQ(python(R"(
import sys, openpyxl
ws = openpyxl.load_workbook(sys.argv[1]).worksheets[0]
print(repr([c.value for c in ws['A']]))
)",
                   {target}),
            QByteArray("['Batch Value', 'one\\r', 'a\\r\\nb', '\\rlead']\n"));
  SpreadsheetWriter::ReadWorkbook(target, true);
  Excel_Sheet_Number = 1;
  SpreadsheetWriter::ReadData_only_column();
  EXPECT_EQ(SpreadsheetWriter::ReadWorkbook(QString(), false).toLists(), rows);
}

// Names and references quoted from a file in a message are cut short and
// cannot start a line of their own in the log.
TEST_F(WorkbookReading, QuotedFileTextsInMessagesAreShortAndOnOneLine) {
  EXPECT_EQ(data_report::excerpt("plain"), "plain");
  EXPECT_EQ(data_report::excerpt(QString("a\nb") + QChar(0) + "c\x1b"), "a\uFFFDb\uFFFDc\uFFFD");
  // The start and the end of a long text stay, around "…".
  EXPECT_EQ(data_report::excerpt(QString(100, 'x') + "yz", 10), QString(5, 'x') + QChar(0x2026) + "xxxyz");

  const QString longName = "../" + QString(5000, 'n') + "\nforged log line";
  python(kZipParts, {path("slip.zip"), longName, "x"});
  CardZipArchiveError error;
  EXPECT_FALSE(CardZipArchive::unzipFileAtPath(path("slip.zip"), path("out"), true, QString(), &error));
  EXPECT_EQ(error.code, CardZipArchiveError::kUnsafeEntry);
  EXPECT_LT(error.localizedDescription.size(), 200);
  EXPECT_FALSE(error.localizedDescription.contains('\n'));

  const QString ref = QString(40000, 'Q') + "1";
  load(book("farref.xlsx", {worksheet("<row><c r=\"" + ref + "\"><v>1</v></c><c r=\"\n7\"/></row>")}));
  EXPECT_TRUE(titles(1).isEmpty());
  const QString message = SpreadsheetWriter::shared().lastError();
  EXPECT_TRUE(message.startsWith("Error: cell QQQQ")) << message.left(200).toStdString();
  EXPECT_LT(message.size(), 200);
  EXPECT_FALSE(message.contains('\n'));
}
