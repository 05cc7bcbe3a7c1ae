// Reading workbooks written by openpyxl and workbooks whose XML is written here
// by hand (rich shared strings, out-of-range indexes, formulas, prefixes), and
// malformed packages.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

#include "DataTestSupport.h"
#include "data/SpreadsheetWriter.h"
#include "data/WorkFolder.h"
#include "data/XlsxSheetReader.h"
#include "data/globals.h"

using data_test::python;
using data_test::writeAll;

namespace {

// Writes a package with python's zipfile from (name, text) argument pairs.
const char* const kZipParts = R"(
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as z:
    for i in range(2, len(sys.argv), 2):
        z.writestr(sys.argv[i], sys.argv[i + 1])
)";

const QString kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const QString kRelationships = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

class XlsxReaderTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(tmp.isValid()); }
  QString path(const QString& rel) const { return tmp.path() + "/" + rel; }

  // The dialogs' order: remove the work folder, load, then read.
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
  QString lastError() const { return SpreadsheetWriter::shared().lastError(); }

  // A package holding one worksheet (and optionally shared strings) written by hand.
  QString handMade(const QString& name, const QString& sheetData, const QString& sharedStrings = QString(),
                   const QString& dimension = QString()) {
    QStringList args{
        path(name),
        "xl/workbook.xml",
        "<workbook xmlns=\"" + kMain + "\" xmlns:r=\"" + kRelationships +
            "\"><sheets><sheet name=\"Hand\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>",
        "xl/_rels/workbook.xml.rels",
        "<Relationships><Relationship Id=\"rId1\" Target=\"worksheets/sheet1.xml\"/></Relationships>",
        "xl/worksheets/sheet1.xml",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><worksheet xmlns=\"" + kMain + "\">" + dimension +
            "<sheetData>" + sheetData + "</sheetData></worksheet>"};
    if (!sharedStrings.isNull()) args << "xl/sharedStrings.xml" << sharedStrings;
    python(kZipParts, args);
    return path(name);
  }

  QTemporaryDir tmp;
};

TEST_F(XlsxReaderTest, OpenpyxlSheetsWithInlineStringsNumbersAndBooleans) {
  python(R"(
import sys, openpyxl
wb = openpyxl.Workbook()
ws = wb.active
ws.title = 'People'
for row in [['Name', 'Age', 'Score'], ['Jörg', 42, 1.5], ['Zoë ✓ 漢字', -3, None], ['  lead', 0, '007']]:
    ws.append(row)
ws2 = wb.create_sheet('Second')
ws2['A1'] = 'only'
ws3 = wb.create_sheet('Third')
ws3['A1'] = 'flag'
ws3['B1'] = True
ws3['A2'] = 'x'
ws3['B2'] = False
wb.save(sys.argv[1])
)",
         {path("book.xlsx")});
  load(path("book.xlsx"));
  EXPECT_EQ(SpreadsheetWriter::Worksheet_Part_Names(), (QStringList{"sheet1", "sheet2", "sheet3"}));
  EXPECT_EQ(SpreadsheetWriter::Read_Sheet_Name(), (QStringList{"People", "Second", "Third"}));
  EXPECT_EQ(xlsx::xlsxSheetNames(path("book.xlsx")), (QStringList{"People", "Second", "Third"}));

  EXPECT_EQ(titles(1), SpreadsheetRows{(QStringList{"Name", "Age", "Score"})});
  EXPECT_EQ(Excel_Sheet_Columns, 3);
  EXPECT_EQ(allRows(1), (SpreadsheetRows{{"Name", "Age", "Score"},
                                         {"Jörg", "42", "1.5"},
                                         {"Zoë ✓ 漢字", "-3", ""},
                                         {"  lead", "0", "007"}}));

  EXPECT_EQ(titles(2), SpreadsheetRows{QStringList{"only"}});
  EXPECT_EQ(Excel_Sheet_Columns, 1);
  EXPECT_EQ(allRows(3), (SpreadsheetRows{{"flag", "1"}, {"x", "0"}}));
  EXPECT_EQ(lastError(), "");
}

TEST_F(XlsxReaderTest, TwelveSheetsAreListedBySheetNumber) {
  python(R"(
import sys, openpyxl
wb = openpyxl.Workbook()
wb.active.title = 'S1'
wb.active['A1'] = 'sheet 1'
for k in range(2, 13):
    wb.create_sheet('S%d' % k)['A1'] = 'sheet %d' % k
wb.save(sys.argv[1])
)",
         {path("twelve.xlsx")});
  load(path("twelve.xlsx"));
  QStringList expected;
  for (int k = 1; k <= 12; ++k) expected << QString("sheet%1").arg(k);
  ASSERT_EQ(SpreadsheetWriter::Worksheet_Part_Names(), expected);
  for (int k : {1, 2, 10, 12}) {
    EXPECT_EQ(titles(k), SpreadsheetRows{QStringList{QString("sheet %1").arg(k)}});
    EXPECT_EQ(allRows(k), SpreadsheetRows{QStringList{QString("sheet %1").arg(k)}});
  }
}

TEST_F(XlsxReaderTest, ColumnCountComesFromTheCells) {
  python(R"(
import sys, openpyxl
wb = openpyxl.Workbook()
sparse = wb.active
sparse['A1'] = 'x'
sparse['C1'] = 'z'
sparse.append([1, 2, 3])
offset = wb.create_sheet('offset')            # dimension B2:D5
for r in range(2, 6):
    for c, letter in enumerate('BCD'):
        offset['%s%d' % (letter, r)] = '%s%d' % (letter, r)
low = wb.create_sheet('low')                  # dimension A10:C20
for r in range(10, 21):
    low['A%d' % r] = r
    low['C%d' % r] = 'c%d' % r
gaps = wb.create_sheet('gaps')                # rows 1, 2 and 5
gaps['A1'] = 'one'; gaps['A2'] = 'two'; gaps['A5'] = 'five'
wide = wb.create_sheet('wide')                # beyond column Z
wide['A1'] = 'first'; wide['AB1'] = 'last'; wide['Z2'] = 'zed'
wb.save(sys.argv[1])
)",
         {path("shapes.xlsx")});
  load(path("shapes.xlsx"));

  EXPECT_EQ(titles(1), SpreadsheetRows{(QStringList{"x", "Untitled Column 2", "z"})});
  EXPECT_EQ(allRows(1), (SpreadsheetRows{{"x", "", "z"}, {"1", "2", "3"}}));

  EXPECT_EQ(titles(2), SpreadsheetRows{(QStringList{"Untitled Column 1", "B2", "C2", "D2"})});
  EXPECT_EQ(Excel_Sheet_Columns, 4);
  const SpreadsheetRows offset = allRows(2);
  ASSERT_EQ(offset.size(), 4);
  EXPECT_EQ(offset[3], (QStringList{"", "B5", "C5", "D5"}));

  EXPECT_EQ(titles(3), SpreadsheetRows{(QStringList{"10", "Untitled Column 2", "c10"})});
  const SpreadsheetRows low = allRows(3);
  ASSERT_EQ(low.size(), 11);
  EXPECT_EQ(low[10], (QStringList{"20", "", "c20"}));

  EXPECT_EQ(allRows(4), (SpreadsheetRows{{"one"}, {"two"}, {"five"}}));

  const SpreadsheetRows wide = allRows(5);
  ASSERT_EQ(wide.size(), 2);
  ASSERT_EQ(wide[0].size(), 28);
  EXPECT_EQ(wide[0][0], "first");
  EXPECT_EQ(wide[0][27], "last");
  EXPECT_EQ(wide[1][25], "zed");
  EXPECT_EQ(Excel_Sheet_Columns, 28);
}

TEST_F(XlsxReaderTest, HandMadeSharedStringsFormulasAndInlineText) {
  const QString strings =
      "<sst xmlns=\"" + kMain +
      "\" count=\"4\" uniqueCount=\"4\">"
      "<si><r><rPr><b/></rPr><t>Bold</t></r><r><t xml:space=\"preserve\"> text</t></r></si>"
      "<si><t>plain</t></si>"
      "<si><t>漢字</t><rPh sb=\"0\" eb=\"2\"><t>かんじ</t></rPh></si>"
      "<si><t xml:space=\"preserve\">  </t></si>"
      "</sst>";
  const QString cells =
      "<row r=\"1\">"
      "<c r=\"A1\" t=\"s\"><v>0</v></c>"
      "<c r=\"B1\" t=\"s\"><v>1</v></c>"
      "<c r=\"C1\" t=\"s\"><v>2</v></c>"
      "<c r=\"D1\" t=\"s\"><v>4</v></c>"     // one past the table: empty
      "<c r=\"E1\" t=\"s\"><v>99</v></c>"    // far past: empty
      "<c r=\"F1\"><f>6*7</f><v>42</v></c>"  // formula: its cached value
      "<c r=\"G1\" t=\"str\"><f>\"a\"&amp;\"bc\"</f><v>abc</v></c>"
      "<c r=\"H1\" t=\"inlineStr\"><is><r><t>inline</t></r><r><t xml:space=\"preserve\"> "
      "rich</t></r></is></c>"
      "<c t=\"inlineStr\"><is><t>next</t></is></c>"  // no reference: the column after H
      "<c r=\"J1\" t=\"s\"><v>3</v></c>"             // a blank string item
      "</row>"
      "<row r=\"2\"><c r=\"A2\" t=\"s\"><v>1</v></c><c r=\"B2\"><f>A1</f></c></row>";
  load(handMade("hand.xlsx", cells, strings, "<dimension ref=\"A1:B2\"/>"));
  EXPECT_EQ(SpreadsheetWriter::shared().sharedStrings(), (QStringList{"Bold text", "plain", "漢字", "  "}));
  EXPECT_EQ(titles(1),
            SpreadsheetRows{(QStringList{"Bold text", "plain", "漢字", "Untitled Column 4",
                                         "Untitled Column 5", "42", "abc", "inline rich", "next", "  "})});
  EXPECT_EQ(Excel_Sheet_Columns, 10);
  const SpreadsheetRows rows = allRows(1);
  ASSERT_EQ(rows.size(), 2);
  EXPECT_EQ(rows[0],
            (QStringList{"Bold text", "plain", "漢字", "", "", "42", "abc", "inline rich", "next", "  "}));
  EXPECT_EQ(rows[1], (QStringList{"plain", "", "", "", "", "", "", "", "", ""}));

  // Elements written with a namespace prefix are matched by their local names.
  const QString prefixed =
      "<x:sst xmlns:x=\"" + kMain + "\"><x:si><x:t>p0</x:t></x:si><x:si><x:t>p1</x:t></x:si></x:sst>";
  python(kZipParts, {path("prefixed.xlsx"), "xl/worksheets/sheet1.xml",
                     "<x:worksheet xmlns:x=\"" + kMain +
                         "\"><x:sheetData><x:row r=\"1\"><x:c r=\"B1\" "
                         "t=\"s\"><x:v>1</x:v></x:c></x:row></x:sheetData></x:worksheet>",
                     "xl/sharedStrings.xml", prefixed});
  load(path("prefixed.xlsx"));
  EXPECT_EQ(allRows(1), SpreadsheetRows{(QStringList{"", "p1"})});

  // A sheet without cells takes its dimension's columns.
  load(handMade("emptyrow.xlsx", "<row r=\"1\"/>", QString(), "<dimension ref=\"A1:C3\"/>"));
  EXPECT_EQ(titles(1),
            SpreadsheetRows{(QStringList{"Untitled Column 1", "Untitled Column 2", "Untitled Column 3"})});
}

TEST_F(XlsxReaderTest, MalformedPackagesGiveAnErrorAndNoRows) {
  // First a good workbook, so that stale sheets would show.
  load(handMade("good.xlsx", "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>"));
  ASSERT_EQ(SpreadsheetWriter::Worksheet_Part_Names(), QStringList{"sheet1"});

  writeAll(path("text.xlsx"), "just some text");
  load(path("text.xlsx"));
  const QString noWorkbook =
      "The file \"" + path("text.xlsx") + "\" could not be read: it is not an xlsx workbook.";
  EXPECT_EQ(lastError(), "Error: " + noWorkbook);
  EXPECT_EQ(SpreadsheetWriter::shared().unreadable(), noWorkbook);
  EXPECT_TRUE(SpreadsheetWriter::Worksheet_Part_Names().isEmpty());
  EXPECT_TRUE(titles(1).isEmpty());
  EXPECT_TRUE(lastError().startsWith("Error: ")) << lastError().toStdString();
  EXPECT_TRUE(allRows(1).isEmpty());

  python(kZipParts, {path("noworkbook.xlsx"), "readme.txt", "no workbook here"});
  load(path("noworkbook.xlsx"));
  EXPECT_EQ(lastError(), "");
  EXPECT_EQ(SpreadsheetWriter::shared().unreadable(),
            "The file \"" + path("noworkbook.xlsx") + "\" could not be read: it holds no worksheet.");
  EXPECT_TRUE(SpreadsheetWriter::Worksheet_Part_Names().isEmpty());
  EXPECT_TRUE(titles(1).isEmpty());
  EXPECT_TRUE(lastError().startsWith("Error: ") && lastError().contains("sheet1.xml"))
      << lastError().toStdString();

  load(handMade("broken.xlsx", "<row r=\"1\"><c r=\"A1\"><v>1</v></row>"));
  EXPECT_TRUE(titles(1).isEmpty());
  EXPECT_TRUE(lastError().startsWith("Error: ")) << lastError().toStdString();
  EXPECT_TRUE(allRows(1).isEmpty());

  load(handMade("badstrings.xlsx",
                "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\"><v>2</v></c></row>",
                "<sst><si><t>unclosed</si>"));
  EXPECT_TRUE(lastError().startsWith("Error: ")) << lastError().toStdString();
  EXPECT_TRUE(SpreadsheetWriter::shared().sharedStrings().isEmpty());
  EXPECT_EQ(allRows(1), SpreadsheetRows{(QStringList{"", "2"})});

  // Cells beyond the last column a spreadsheet has, or without a column.
  load(handMade("far.xlsx", "<row r=\"1\"><c r=\"XFE1\"><v>1</v></c></row>"));
  EXPECT_TRUE(titles(1).isEmpty());
  EXPECT_TRUE(lastError().contains("XFE1")) << lastError().toStdString();
  load(handMade("nocol.xlsx", "<row r=\"1\"><c r=\"17\"><v>1</v></c></row>"));
  EXPECT_TRUE(allRows(1).isEmpty());
  EXPECT_TRUE(lastError().startsWith("Error: "));

  // A package that tries to write outside the work folder is refused whole.
  python(kZipParts,
         {path("slip.xlsx"), "xl/worksheets/sheet1.xml", "<worksheet/>", "../../slipped.txt", "x"});
  load(path("slip.xlsx"));
  EXPECT_TRUE(lastError().contains("refused")) << lastError().toStdString();
  EXPECT_TRUE(SpreadsheetWriter::Worksheet_Part_Names().isEmpty());
  const QString work = SpreadsheetWriter::shared().tmpDir();
  EXPECT_FALSE(QFileInfo::exists(QFileInfo(work).dir().path() + "/../slipped.txt"));
  EXPECT_FALSE(QFileInfo::exists(QFileInfo(work).dir().path() + "/slipped.txt"));
}

// Each sheet is read from the part its relationship names, written in any
// of the forms a package may use; a relationship that leads out of the
// package, outside it, nowhere, or to a part the package lacks refuses that
// sheet alone, with its reason.
TEST_F(XlsxReaderTest, SheetsAreReadThroughTheirRelationships) {
  const QString book =
      "<workbook xmlns=\"" + kMain + "\" xmlns:rel=\"" + kRelationships +
      "\"><sheets><sheet name=\"From root\" rel:id=\"a\"/><sheet name=\"Up\" rel:id=\"b\"/>"
      "<sheet name=\"Away\" rel:id=\"c\"/><sheet name=\"None\"/><sheet name=\"Lost\" rel:id=\"e\"/>"
      "<sheet name=\"Winding\" rel:id=\"f\"/></sheets></workbook>";
  const QString rels =
      "<Relationships><Relationship Id=\"f\" Target=\"./worksheets/../worksheets/sheet1.xml\"/>"
      "<Relationship Id=\"a\" Target=\"/xl/worksheets/sheet2.xml\"/>"
      "<Relationship Id=\"b\" Target=\"../../../worksheets/sheet1.xml\"/>"
      "<Relationship Id=\"c\" Target=\"file:///etc/passwd\" TargetMode=\"External\"/>"
      "<Relationship Id=\"e\" Target=\"worksheets/sheet9.xml\"/></Relationships>";
  auto cell = [](const char* text) {
    return QString(
               "<worksheet><sheetData><row><c t=\"inlineStr\"><is><t>%1</t></is></c></row></sheetData>"
               "</worksheet>")
        .arg(text);
  };
  python(kZipParts, {path("rels.xlsx"), "xl/workbook.xml", book, "xl/_rels/workbook.xml.rels", rels,
                     "xl/worksheets/sheet1.xml", cell("one"), "xl/worksheets/sheet2.xml", cell("two")});
  load(path("rels.xlsx"));
  EXPECT_EQ(lastError(), "");
  EXPECT_EQ(SpreadsheetWriter::Read_Sheet_Name(),
            (QStringList{"From root", "Up", "Away", "None", "Lost", "Winding"}));
  EXPECT_EQ(allRows(1), SpreadsheetRows{QStringList{"two"}});
  EXPECT_EQ(titles(6), SpreadsheetRows{QStringList{"one"}});
  const QStringList refusals{
      "Error: sheet \"Up\" refers to ../../../worksheets/sheet1.xml, which leads out of the workbook",
      "Error: sheet \"Away\" refers to file:///etc/passwd, which lies outside the workbook",
      "Error: the workbook says nowhere which part holds sheet \"None\"",
      "Error: sheet \"Lost\" refers to the part xl/worksheets/sheet9.xml, which the workbook does not hold",
      "Error: the workbook has no sheet number 7"};
  for (int sheet = 2; sheet <= 7; ++sheet) {
    if (sheet == 6) continue;
    EXPECT_TRUE(titles(sheet).isEmpty()) << sheet;
    EXPECT_EQ(lastError(), refusals[sheet < 6 ? sheet - 2 : 4]);
    EXPECT_TRUE(allRows(sheet).isEmpty()) << sheet;
  }
}

TEST_F(XlsxReaderTest, WorkFolderIsPrivate) {
  const QString work = Excel_Work_Folder();
  ASSERT_FALSE(work.isEmpty());
  EXPECT_TRUE(work.endsWith("/ziptmp"));
  const QFileInfo parent(QFileInfo(work).path());
  EXPECT_TRUE(parent.isDir());
  EXPECT_EQ(parent.permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                    QFile::ReadOther | QFile::WriteOther | QFile::ExeOther),
            QFile::Permissions());
  EXPECT_NE(parent.filePath(), QDir::tempPath());
  SpreadsheetWriter::shared();
  EXPECT_EQ(SpreadsheetWriter::shared().tmpDir(), work);
  Delete_Excel_File_Temp_Folder();
  EXPECT_FALSE(QFileInfo::exists(work));
  Delete_Excel_File_Temp_Folder();  // a missing folder is no error
}

// A random workbook written by openpyxl, large enough that its sheet is
// inflated on a thread of its own, reads cell for cell as openpyxl reads it.
TEST_F(XlsxReaderTest, RandomWorkbookReadsAsOpenpyxlReadsIt) {
  const QByteArray expected = python(R"(
import sys, json, random, openpyxl
random.seed(13)
alphabet = 'abcXYZ \u00e9\u00df\u6f22\u5b57\u2713\U0001F600_x0041_<&>"\t\n'
def value():
    kind = random.randrange(6)
    if kind == 0: return None
    if kind == 1: return random.randrange(-10**6, 10**6)
    if kind == 2: return random.uniform(-1e6, 1e6)
    if kind == 3: return random.random() < 0.5
    return ''.join(random.choice(alphabet) for _ in range(random.randrange(1, 12)))
wb = openpyxl.Workbook()
ws = wb.active
for r in range(20000):
    ws.append([value() for _ in range(6)])
wb.save(sys.argv[1])
def text(v):
    if v is None: return ''
    if isinstance(v, bool): return '1' if v else '0'
    return repr(v) if isinstance(v, float) else str(v)
rows = openpyxl.load_workbook(sys.argv[1], read_only=True).worksheets[0].iter_rows(values_only=True)
print(json.dumps([[text(v) for v in row] for row in rows], ensure_ascii=False))
)",
                                     {path("random.xlsx")});
  load(path("random.xlsx"));
  Excel_Sheet_Number = 1;
  const xlsx::SheetTable rows = SpreadsheetWriter::ReadWorkbook(QString(), false);
  EXPECT_EQ(lastError(), "");
  const QJsonArray oracle = QJsonDocument::fromJson(expected).array();
  ASSERT_EQ(rows.size(), 20000);
  ASSERT_EQ(oracle.size(), rows.size());
  // Numbers are the text stored (openpyxl writes 17 digits), the same double.
  auto same = [](const QString& ours, const QString& theirs) {
    bool a = false, b = false;
    return ours == theirs || (ours.toDouble(&a) == theirs.toDouble(&b) && a && b);
  };
  for (qsizetype r = 0; r < rows.size(); ++r) {
    const QJsonArray theirs = oracle[r].toArray();
    ASSERT_LE(theirs.size(), rows.columns());
    for (int c = 0; c < rows.columns(); ++c)
      ASSERT_PRED2(same, rows.cell(r, c), theirs[c].toString()) << "row " << r + 1 << " column " << c + 1;
  }
}

// A note in the last column costs one cell, not a row of sixteen thousand;
// a sheet of the format's full height reads, one row more is refused.
TEST_F(XlsxReaderTest, SheetsAtTheFormatsFullSize) {
  python(R"(
import sys, openpyxl
wb = openpyxl.Workbook()
ws = wb.active
ws['A1'] = 'Title'
for r in range(2, 1001):
    ws.cell(row=r, column=1, value=r)
ws['XFD500'] = 'note'
wb.save(sys.argv[1])
)",
         {path("far.xlsx")});
  load(path("far.xlsx"));
  const SpreadsheetRows head = titles(1);
  ASSERT_EQ(head.size(), 1);
  ASSERT_EQ(head[0].size(), xlsx::kMaxColumns);
  EXPECT_EQ(head[0][0], "Title");
  EXPECT_EQ(head[0][xlsx::kMaxColumns - 1], "Untitled Column 16384");
  Excel_Sheet_Number = 1;
  const xlsx::SheetTable far = SpreadsheetWriter::ReadWorkbook(QString(), false);
  EXPECT_EQ(lastError(), "");
  EXPECT_EQ(far.size(), 1000);
  EXPECT_EQ(far.columns(), xlsx::kMaxColumns);
  EXPECT_EQ(Excel_Sheet_Columns, xlsx::kMaxColumns);
  EXPECT_EQ(far.cellCount(), 1001);
  EXPECT_EQ(far.cell(499, xlsx::kMaxColumns - 1), "note");
  EXPECT_EQ(far.cell(999, 0), "1000");
  EXPECT_EQ(far.cell(998, 5), "");

  // Tall sheets, two columns wide: numbers and shared strings.
  python(R"(
import sys, zipfile
def sheet(rows):
    body = ''.join('<row r="%d"><c r="A%d"><v>%d</v></c><c r="B%d" t="s"><v>%d</v></c></row>'
                   % (r, r, r, r, r % 3) for r in range(1, rows + 1))
    return '<worksheet><dimension ref="A1:B%d"/><sheetData>%s</sheetData></worksheet>' % (rows, body)
with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as z:
    z.writestr('xl/sharedStrings.xml', '<sst><si><t>zero</t></si><si><t>one</t></si><si><t>two</t></si></sst>')
    z.writestr('xl/worksheets/sheet1.xml', sheet(1048576))
    z.writestr('xl/worksheets/sheet2.xml', sheet(1048577))
)",
         {path("tall.xlsx")});
  load(path("tall.xlsx"));
  EXPECT_EQ(titles(1), SpreadsheetRows{(QStringList{"1", "one"})});
  Excel_Sheet_Number = 1;
  const xlsx::SheetTable tall = SpreadsheetWriter::ReadWorkbook(QString(), false);
  EXPECT_EQ(lastError(), "");
  ASSERT_EQ(tall.size(), xlsx::kMaxRows);
  EXPECT_EQ(tall.columns(), 2);
  EXPECT_EQ(tall[xlsx::kMaxRows - 1], (QStringList{"1048576", "one"}));
  EXPECT_EQ(tall[524287], (QStringList{"524288", "two"}));
  EXPECT_EQ(titles(2), SpreadsheetRows{(QStringList{"1", "one"})});
  EXPECT_TRUE(allRows(2).isEmpty());
  EXPECT_EQ(lastError(), "Error: the sheet has more than 1048576 rows");
}

// A cell may hold 32,767 characters (UTF-16 units, after its escapes are
// undone); one more refuses the sheet with a message naming the cell, however
// the cell holds its text. A huge cell is dropped as it is read.
TEST_F(XlsxReaderTest, OverLongCellsAreRefusedNamingTheCell) {
  python(R"(
import sys, zipfile
full, over = '\u00e9' * 32767, '\u00e9' * 32768
def sheet(cells):
    return '<worksheet><sheetData><row r="1"><c r="A1"><v>0</v></c></row><row r="2">%s</row></sheetData></worksheet>' % cells
with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as z:
    z.writestr('xl/sharedStrings.xml', '<sst><si><t>%s</t></si><si><r><t>%s</t></r><r><t>e</t></r></si></sst>'
               % (full, full))
    z.writestr('xl/worksheets/sheet1.xml', sheet('<c r="B2" t="s"><v>0</v></c>'
               '<c r="C2" t="inlineStr"><is><t>%s</t></is></c><c r="D2"><v>%s</v></c>' % ('_x0041_' * 32767, full)))
    z.writestr('xl/worksheets/sheet2.xml', sheet('<c r="B2" t="s"><v>1</v></c>'))
    z.writestr('xl/worksheets/sheet3.xml', sheet('<c r="C2" t="inlineStr"><is><t>%s</t></is></c>' % ('_x0041_' * 32768)))
    z.writestr('xl/worksheets/sheet4.xml', sheet('<c t="str"><v>%s</v></c>' % over))
with zipfile.ZipFile(sys.argv[2], 'w', zipfile.ZIP_DEFLATED) as z:
    z.writestr('xl/sharedStrings.xml', '<sst><si><t>' + 'x' * 100000000 + '</t></si></sst>')
    z.writestr('xl/worksheets/sheet1.xml', sheet('<c r="F2" t="s"><v>0</v></c>'))
)",
         {path("long.xlsx"), path("huge.xlsx")});
  load(path("long.xlsx"));
  EXPECT_EQ(lastError(), "");
  const SpreadsheetRows rows = allRows(1);
  ASSERT_EQ(rows.size(), 2);
  EXPECT_EQ(rows[1][1], QString(32767, QChar(0xE9)));
  EXPECT_EQ(rows[1][2], QString(32767, 'A'));
  EXPECT_EQ(rows[1][3], QString(32767, QChar(0xE9)));
  for (const auto& [sheet, cell] : {std::pair{2, "B2"}, {3, "C2"}, {4, "A2"}}) {
    EXPECT_TRUE(allRows(sheet).isEmpty());
    EXPECT_EQ(lastError(), QString("Error: cell %1 holds more than 32767 characters").arg(cell));
  }

  ASSERT_LT(QFileInfo(path("huge.xlsx")).size(), 1'000'000);
  load(path("huge.xlsx"));
  EXPECT_EQ(lastError(), "");
  EXPECT_EQ(titles(1), SpreadsheetRows{QStringList{"0"}});
  EXPECT_TRUE(allRows(1).isEmpty());
  EXPECT_EQ(lastError(), "Error: cell F2 holds more than 32767 characters");
}

// Only regular files are opened: a named pipe, a link to a device or a
// folder with a workbook's name is refused at once instead of blocking the
// reader, and named with the reason.
TEST_F(XlsxReaderTest, OnlyRegularFilesAreOpened) {
  ASSERT_EQ(::mkfifo(QFile::encodeName(path("pipe.xlsx")).constData(), 0600), 0);
  ASSERT_TRUE(QFile::link("/dev/zero", path("zero.xlsx")));
  ASSERT_TRUE(QDir().mkpath(path("folder.xlsx")));
  for (const auto& [name, why] : {std::pair{"pipe.xlsx", "it is a named pipe, not a file"},
                                  {"zero.xlsx", "it is a device, not a file (a link to /dev/zero)"},
                                  {"folder.xlsx", "it is a folder"}}) {
    const QString said = QString("The file \"%1\" could not be read: %2.").arg(path(name), why);
    load(handMade("good.xlsx", "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>"));
    load(path(name));
    EXPECT_EQ(lastError(), "Error: " + said);
    EXPECT_EQ(SpreadsheetWriter::shared().unreadable(), said);
    EXPECT_TRUE(SpreadsheetWriter::Worksheet_Part_Names().isEmpty());
    EXPECT_TRUE(titles(1).isEmpty());
    QString error;
    EXPECT_TRUE(xlsx::xlsxSheetNames(path(name), &error).isEmpty());
    EXPECT_EQ(error, said);
  }
}

// Parts that would expand beyond every limit, damaged parts, and the limits
// on what one read holds; the title row is read without going further.
TEST_F(XlsxReaderTest, HostileAndDamagedPartsAreRefused) {
  const QByteArray laughs =
      "<?xml version=\"1.0\"?><!DOCTYPE worksheet [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b "
      "\"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">]><worksheet><sheetData><row><c t=\"inlineStr\"><is><t>&b;</t>"
      "</is></c></row></sheetData></worksheet>";
  EXPECT_EQ(xlsx::readSheet(laughs, {}, xlsx::SheetRows::All).error, "the part declares a document type");
  // The parser's own memory: open elements, and markup it keeps whole until it ends.
  EXPECT_EQ(
      xlsx::readSheet("<worksheet>" + QByteArray("<x>").repeated(100000), {}, xlsx::SheetRows::All).error,
      "the part nests elements more than 1000 deep");
  QString error;
  EXPECT_TRUE(xlsx::readSheetNames("<workbook><sheet name=\"" + QByteArray(8 << 20, 'n'), &error).isEmpty());
  EXPECT_EQ(error, "the part holds markup longer than 4 MB");
  python(R"(
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as z:
    z.writestr('xl/worksheets/sheet1.xml', '<worksheet><sheetData><row><c r="' + 'Q' * 100000000)
)",
         {path("tag.xlsx")});
  load(path("tag.xlsx"));
  EXPECT_TRUE(titles(1).isEmpty());
  EXPECT_EQ(lastError(), "Error: the part holds markup longer than 4 MB");

  // Cells come in any order; a later one takes the column.
  const QByteArray sheet =
      "<worksheet><sheetData><row r=\"1\"><c r=\"C1\"><v>3</v></c><c r=\"A1\"><v>1</v></c>"
      "<c r=\"C1\"><v>33</v></c><c r=\"B1\"><v></v></c></row><row r=\"2\"><c><v>a</v></c><c><v>b</v></c>"
      "<c><v>c</v></c><c><v>d</v></c></row></sheetData></worksheet>";
  const xlsx::SheetResult all = xlsx::readSheet(sheet, {}, xlsx::SheetRows::All);
  EXPECT_EQ(all.rows, (xlsx::SheetTable{{"1", "", "33"}, {"a", "b", "c", "d"}}));
  xlsx::ReadLimits limits;
  limits.maxCells = 5;
  EXPECT_EQ(xlsx::readSheet(sheet, {}, xlsx::SheetRows::All, limits).error,
            "the sheet holds more than 5 cells (cell D2)");
  limits = xlsx::ReadLimits();
  limits.maxTextBytes = 4;
  EXPECT_EQ(xlsx::readSheet(sheet, {}, xlsx::SheetRows::All, limits).error,
            "the sheet holds more than 0 MB of text (cell A2)");
  limits = xlsx::ReadLimits();
  limits.maxRows = 1;
  EXPECT_EQ(xlsx::readSheet(sheet, {}, xlsx::SheetRows::FirstOnly, limits).rows,
            (xlsx::SheetTable{{"1", "Untitled Column 2", "33"}}));

  // The title row stops after the first row: what follows it is not read.
  python(R"(
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_STORED) as z:
    z.writestr('xl/worksheets/sheet1.xml', '<worksheet><sheetData><row><c><v>title</v></c></row><row><c><v>')
    z.writestr('xl/worksheets/sheet2.xml', '<worksheet><sheetData><row><c><v>intact</v></c></row></sheetData></worksheet>')
data = bytearray(open(sys.argv[1], 'rb').read())
at = data.index(b'intact')
data[at] = ord('I')
open(sys.argv[1], 'wb').write(bytes(data))
)",
         {path("cut.xlsx")});
  load(path("cut.xlsx"));
  EXPECT_EQ(titles(1), SpreadsheetRows{QStringList{"title"}});
  EXPECT_TRUE(allRows(1).isEmpty());
  EXPECT_TRUE(lastError().startsWith("Error: ")) << lastError().toStdString();
  // A part whose bytes do not match its checksum is damaged.
  EXPECT_TRUE(allRows(2).isEmpty());
  EXPECT_EQ(lastError(), "Error: the part xl/worksheets/sheet2.xml is damaged");
}

}  // namespace
