// The two spreadsheet column dialogs end to end on a workbook written by
// openpyxl: the column picker in both open modes, and columns to series one
// per column and all into one series, with the replace questions.
#include <QCheckBox>
#include <QComboBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>

#include "DialogTestSupport.h"
#include "data/DataSourceTable.h"
#include "data/dialogs/BatchWizard.h"
#include "data/dialogs/ColumnChoiceModel.h"
#include "data/dialogs/Import_Excel.h"
#include "data/dialogs/Import_Excel_DataSheet.h"
#include "data/dialogs/Import_Wizard.h"
#include "data/dialogs/SeriesButtons.h"
#include "data/dialogs/ValueListModel.h"
#include "platform/widgets/LongSmsDialog.h"
#include "support/PipeWatchdog.h"

namespace {

class SpreadsheetDialogsTest : public dialog_test::DataDialogTest {
 protected:
  void SetUp() override {
    DataDialogTest::SetUp();
    workbook = sources.path() + "/guests.xlsx";
    // Sheet 1: a blank second title and a blank cell; sheet 2: one numeric column.
    data_test::python(R"(
import sys, openpyxl
wb = openpyxl.Workbook()
ws = wb.active
ws.title = 'Guests'
for row in [['Name', None, ' City '], ['Ann', 'x1', 'Oslo'], ['Bob', None, 'Rome'], ['  Eve ', 'x3', None]]:
    ws.append(row)
codes = wb.create_sheet('Codes')
for row in [['Code'], [7], [8]]:
    codes.append(row)
wb.save(sys.argv[1])
)",
                      {workbook});
  }

  // Runs the wizard's spreadsheet source; `columns` acts in the column dialog that follows.
  template <typename D>
  void importWorkbook(int fileNameRequired, std::function<void(D&)> columns) {
    whenShown<Import_Wizard>([&](Import_Wizard& w) {
      w.file_name_required = fileNameRequired;
      w.Excel_path->setText(workbook);
      whenShown<D>(columns);
      w.OKPressed();
    });
    Import_Wizard::defaultInstance().file_name_required = fileNameRequired;
    Import_Wizard::defaultInstance().Open_Wnd();
  }

  static QStringList titles(const SpreadsheetColumnDialog& d) {
    QStringList list;
    for (const auto& entry : d.ListData_xl->entries()) list.append(entry.title);
    return list;
  }

  QTemporaryDir sources;
  QString workbook;
};

TEST_F(SpreadsheetDialogsTest, OneSeriesPerColumnWithTheirOwnNamesAndQuestions) {
  writeSeries("Name", "old name\n");
  writeSeries("Town", "old town\n");
  // Two existing series: OK with "apply to all" at the first question replaces the second without asking.
  int questions = 0;
  importWorkbook<Import_Excel_DataSheet>(1, [&](Import_Excel_DataSheet& d) {
    EXPECT_EQ(d.Sheet_ComboBox->count(), 2);
    // A blank title gets its own name; the columns after it stay in place.
    EXPECT_EQ(titles(d), QStringList({"Name", "Untitled Column 2", "City"}));
    d.ListData_xl->setChosen(0, true);
    d.ListData_xl->setChosen(1, true);
    d.ListData_xl->setChosen(2, true);
    d.ListData_xl->setHeader(2, " /Town ");
    host.queueModal([&](QDialog& box) {
      ++questions;
      auto& question = static_cast<Long_SMS_Dlg&>(box);
      EXPECT_TRUE(question._Msg_Val->toPlainText().startsWith("Name\n"));
      EXPECT_FALSE(question.apply_chk->isHidden());
      question.apply_chk->setChecked(true);
      question.OKPressed();
      return 1;
    });
    d.OKPressed();
  });
  EXPECT_EQ(questions, 1);
  EXPECT_EQ(series("Name"), QByteArray("Ann\nBob\nEve\n"));
  EXPECT_EQ(series("Untitled Column 2"), QByteArray("x1\n\nx3\n"));
  EXPECT_EQ(series("Town"), QByteArray("Oslo\nRome\n\n"));

  // A later run asks again; No keeps the series.
  importWorkbook<Import_Excel_DataSheet>(1, [&](Import_Excel_DataSheet& d) {
    d.ListData_xl->setChosen(0, true);
    host.queueModal([&](QDialog& box) {
      ++questions;
      static_cast<Long_SMS_Dlg&>(box).CancelPressed();
      return 0;
    });
    d.OKPressed();
  });
  EXPECT_EQ(questions, 2);
  EXPECT_EQ(series("Name"), QByteArray("Ann\nBob\nEve\n"));
  EXPECT_TRUE(messages().isEmpty()) << messages().join(" | ").toStdString();
  // Told once for the first run's three series; the second wrote none.
  EXPECT_EQ(seriesChanges, 1);
}

// Column titles of 32,767 characters (the most a cell holds) cannot name a
// series file; the message names them by their start and end.
TEST_F(SpreadsheetDialogsTest, TitlesTooLongForASeriesAreNamedShortly) {
  workbook = sources.path() + "/long titles.xlsx";
  data_test::python(R"(
import sys, openpyxl
wb = openpyxl.Workbook()
wb.active.append(['Name ' + 'n' * 32752 + ' of guest', 'T' * 32767])
wb.active.append(['Ann', 'x'])
wb.save(sys.argv[1])
)",
                    {workbook});
  importWorkbook<Import_Excel_DataSheet>(1, [&](Import_Excel_DataSheet& d) {
    d.Select_ALL_Pressed();
    d.OKPressed();
  });
  const QString ellipsis(QChar(0x2026));
  EXPECT_EQ(messages(), QStringList{"Error in file accessing.\n\nNot written: \"Name " + QString(35, 'n') +
                                    ellipsis + QString(31, 'n') + " of guest\", \"" + QString(40, 'T') +
                                    ellipsis + QString(40, 'T') + "\""});
  EXPECT_TRUE(seriesNames().isEmpty());
}

TEST_F(SpreadsheetDialogsTest, ChosenCellsIntoOneSeriesNewReplacedOrAppended) {
  writeSeries("All", "old\n");
  importWorkbook<Import_Excel_DataSheet>(1, [&](Import_Excel_DataSheet& d) {
    d.ListData_xl->setChosen(0, true);
    d.ListData_xl->setChosen(2, true);
    d.Fill_Col_RD_Click();
    d.Fill_Type_CellClick(2);
    EXPECT_TRUE(d.list_name->isHidden());
    d.List_ComboBox->setCurrentText("All");
    d.OKPressed();
  });
  EXPECT_EQ(series("All"), QByteArray("old\nAnn\nOslo\nBob\nRome\nEve\n\n"));

  // New, with the first row as data, on the second sheet.
  importWorkbook<Import_Excel_DataSheet>(1, [&](Import_Excel_DataSheet& d) {
    d.Sheet_ComboBox->setCurrentIndex(1);
    d.sheetChanged(1);
    EXPECT_EQ(titles(d), QStringList{"Code"});
    d.contains_header->setChecked(false);
    d.Select_ALL_Pressed();
    d.Fill_Col_RD_Click();
    d.list_name->setText("");
    d.OKPressed();  // no name yet
    d.list_name->setText("Codes");
    d.OKPressed();
  });
  EXPECT_EQ(series("Codes"), QByteArray("Code\n7\n8\n"));
  EXPECT_EQ(messages(), QStringList{"Please enter list name."});
  EXPECT_EQ(seriesChanges, 2);

  // Appending to a file larger than a run takes is refused as a run refuses it; the file stays.
  writeHugeSeries("Huge");
  importWorkbook<Import_Excel_DataSheet>(1, [&](Import_Excel_DataSheet& d) {
    d.ListData_xl->setChosen(0, true);
    d.Fill_Col_RD_Click();
    d.Fill_Type_CellClick(2);
    d.List_ComboBox->setCurrentText("Huge");
    d.OKPressed();
  });
  EXPECT_EQ(messages(), QStringList({"Please enter list name.", dialog_test::refusedSeriesMessage("Huge")}));
  EXPECT_EQ(QFileInfo(seriesFile("Huge")).size(), kHugeSeriesBytes);
  EXPECT_EQ(seriesChanges, 2);
}

TEST_F(SpreadsheetDialogsTest, PickerFillsTheTableOrTheManagersList) {
  // Mode "E": the chosen columns become the data-source table.
  whenShown<Import_Excel>([&](Import_Excel& d) {
    d.OKPressed();  // nothing chosen yet
    d.ListData_xl->setChosen(1, true);
    d.ListData_xl->setChosen(2, true);
    d.OKPressed();
  });
  Import_Excel::defaultInstance().open_mode = "E";
  Import_Excel::defaultInstance().Open_excel_Wnd(workbook);
  DataSourceTable& table = Data_From_Excel_Table();
  EXPECT_EQ(table.columnTitles().mid(1), QStringList({"Untitled Column 2", "City"}));
  ASSERT_EQ(table.tableRowCount(), 3);
  EXPECT_EQ(table.value(0, 0), "1");
  EXPECT_EQ(table.value(2, 0), "3");
  EXPECT_EQ(table.value(0, 2), "Oslo");
  EXPECT_EQ(table.value(1, 1), "");
  EXPECT_EQ(table.value(2, 2), "");
  EXPECT_EQ(messages(), QStringList{"No column is selected."});

  // Mode "D" through the manager's editor: the cells row by row, empty ones in their places.
  QStringList values;
  whenShown<BatchWizard>([&](BatchWizard& m) {
    m.AddNew_Btn_Clicked();
    importWorkbook<Import_Excel>(0, [&](Import_Excel& d) {
      d.Select_ALL_Pressed();
      d.OKPressed();
    });
    values = m.ListData_value->values();
    m.Close_Btn_Clicked();
  });
  series_buttons::Batch_Series_Button();
  EXPECT_EQ(values, QStringList({"Ann", "x1", "Oslo", "Bob", "", "Rome", "Eve", "x3", ""}));

  // A file that is no workbook (a text file renamed, a workbook cut short)
  // is named with the reason: the column window, which would offer nothing,
  // stays shut, and the import wizard stays open for another file.
  const QString broken = sources.path() + "/broken.xlsx";
  data_test::writeAll(broken, "Name;City\nAnn;Oslo\n");
  const QString cut = sources.path() + "/cut.xlsx";
  data_test::writeAll(cut, data_test::readAll(workbook).left(1000));
  // A sound package whose first or second sheet is cut short inside it,
  // within its title row.
  const char* const cutPart = R"(
import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as src, zipfile.ZipFile(sys.argv[2], 'w') as out:
    for name in src.namelist():
        data = src.read(name)
        out.writestr(name, data[:data.index(b'</row>')] if name == sys.argv[3] else data)
)";
  const QString damaged = sources.path() + "/damaged.xlsx";
  data_test::python(cutPart, {workbook, damaged, "xl/worksheets/sheet1.xml"});
  const QString said = "The file \"%1\" could not be read: %2.";
  const QString damagedSheet = said.arg(damaged, "its sheet \"Guests\" cannot be read (");
  int wizardResult = 0;
  for (const int fileNameRequired : {0, 1}) {
    whenShown<Import_Wizard>([&](Import_Wizard& w) {
      w.file_name_required = fileNameRequired;
      for (const QString& file : {broken, cut, damaged}) {
        w.Excel_path->setText(file);
        w.OKPressed();
      }
      wizardResult = w.result();
    });
    Import_Wizard::defaultInstance().file_name_required = fileNameRequired;
    Import_Wizard::defaultInstance().Open_Wnd();
    EXPECT_EQ(wizardResult, -1);  // still open
    EXPECT_EQ(messages().mid(messages().size() - 3, 2),
              QStringList({said.arg(broken, "it is not an xlsx workbook"),
                           said.arg(cut, "it is an incomplete or damaged workbook")}));
    EXPECT_TRUE(messages().last().startsWith(damagedSheet.chopped(1))) << messages().last().toStdString();
  }
  // A damaged second sheet is named when it is chosen, and the first
  // sheet's columns are not left listed for it.
  data_test::python(cutPart, {workbook, damaged, "xl/worksheets/sheet2.xml"});
  QStringList listed;
  whenShown<Import_Excel>([&](Import_Excel& d) {
    d.Sheet_ComboBox->setCurrentIndex(1);
    d.sheetChanged(1);
    listed = titles(d);
    d.CancelPressed();
  });
  Import_Excel::defaultInstance().Open_excel_Wnd(damaged);
  EXPECT_TRUE(listed.isEmpty());
  EXPECT_TRUE(
      messages().last().startsWith(said.arg(damaged, "its sheet \"Codes\" cannot be read (").chopped(1)))
      << messages().last().toStdString();

  // A file that cannot be read is named with the reason; the window, which
  // would offer nothing, stays shut.
  const QString pipe = sources.path() + "/pipe.xlsx";
  ASSERT_TRUE(testing_support::makePipe(pipe));
  testing_support::PipeWatchdog watchdog({pipe});
  bool shown = false;
  whenShown<Import_Excel>([&](Import_Excel&) { shown = true; });
  Import_Excel::defaultInstance().Open_excel_Wnd(pipe);
  EXPECT_FALSE(shown);
  EXPECT_EQ(messages().last(),
            "The file \"" + pipe + "\" could not be read: it is a named pipe, not a file.");
  EXPECT_TRUE(watchdog.freed().isEmpty());
}

// The chosen cells into one series or into the manager's list: a sheet with
// more cells than a series may hold is refused and the dialog stays open.
TEST_F(SpreadsheetDialogsTest, ChosenCellsOverTheValueLimitAreRefused) {
  dialog_test::LoweredValueLimit lowered(5);
  importWorkbook<Import_Excel_DataSheet>(1, [&](Import_Excel_DataSheet& d) {
    d.ListData_xl->setChosen(0, true);
    d.ListData_xl->setChosen(2, true);
    d.Fill_Col_RD_Click();
    d.list_name->setText("All");
    d.OKPressed();  // six cells, the empty one included
    EXPECT_FALSE(QFileInfo::exists(seriesFile("All")));
    Series_Value_Limit = 6;
    d.OKPressed();
  });
  EXPECT_EQ(series("All"), QByteArray("Ann\nOslo\nBob\nRome\nEve\n\n"));

  QStringList values;
  whenShown<BatchWizard>([&](BatchWizard& m) {
    m.AddNew_Btn_Clicked();
    importWorkbook<Import_Excel>(0, [&](Import_Excel& d) {
      d.Select_ALL_Pressed();
      d.OKPressed();  // nine cells, the empty ones included
      EXPECT_EQ(m.ListData_value->size(), 0);
      Series_Value_Limit = 9;
      d.OKPressed();
    });
    values = m.ListData_value->values();
    m.Close_Btn_Clicked();
  });
  series_buttons::Batch_Series_Button();
  EXPECT_EQ(values, QStringList({"Ann", "x1", "Oslo", "Bob", "", "Rome", "Eve", "x3", ""}));
  EXPECT_EQ(messages(),
            QStringList({dialog_test::overLimitMessage("5"), dialog_test::overLimitMessage("6")}));
}

// A sheet with a note in its last column goes through the picker as it is:
// sixteen thousand columns listed, the two chosen filling the table.
TEST_F(SpreadsheetDialogsTest, PickerTakesANoteInTheLastColumn) {
  const QString far = sources.path() + "/far.xlsx";
  data_test::python(R"(
import sys, openpyxl
wb = openpyxl.Workbook()
ws = wb.active
ws['A1'] = 'Name'
ws['XFD1'] = 'Note'
for r in range(2, 302):
    ws.cell(row=r, column=1, value='guest %d' % (r - 1))
ws['XFD151'] = ' late '
wb.save(sys.argv[1])
)",
                    {far});
  whenShown<Import_Excel>([&](Import_Excel& d) {
    ASSERT_EQ(d.ListData_xl->entries().size(), 16384);
    EXPECT_EQ(d.ListData_xl->entries()[16382].title, "Untitled Column 16383");
    d.ListData_xl->setChosen(0, true);
    d.ListData_xl->setChosen(16383, true);
    d.OKPressed();
  });
  Import_Excel::defaultInstance().open_mode = "E";
  Import_Excel::defaultInstance().Open_excel_Wnd(far);
  DataSourceTable& table = Data_From_Excel_Table();
  EXPECT_EQ(table.columnTitles().mid(1), QStringList({"Name", "Note"}));
  ASSERT_EQ(table.tableRowCount(), 300);
  EXPECT_EQ(table.value(149, 1), "guest 150");
  EXPECT_EQ(table.value(149, 2), "late");
  EXPECT_EQ(table.value(150, 2), "");
  EXPECT_EQ(table.value(299, 0), "300");
  EXPECT_TRUE(messages().isEmpty());
}

// A workbook whose sheets were moved, renamed and removed in a spreadsheet
// program keeps its parts' old names: sheet "Guests", now first, lives in
// part sheet3. The picker lists the names as the workbook orders them, and
// each name reads its own cells, checked against openpyxl's reading.
TEST_F(SpreadsheetDialogsTest, PickerReadsEverySheetByItsName) {
  const QString moved = sources.path() + "/moved.xlsx";
  const QByteArray oracle = data_test::python(R"py(
import sys, re, json, zipfile, openpyxl
first, moved = sys.argv[1], sys.argv[2]
wb = openpyxl.Workbook()
wb.active.title = 'Old'
wb.active.append(['Gone'])
for title, rows in [('Codes', [['Code', 'Price'], [7, 1.5], [8, 2]]),
                    ('Guests', [['Name', 'City', 'Seat'], ['Ann', 'Oslo', 12], ['Bob', 'Rome', None], ['Eve', None, 3]]),
                    ('Notes', [['Note'], ['first'], ['second'], ['third'], ['fourth']])]:
    sheet = wb.create_sheet(title)
    for row in rows:
        sheet.append(row)
wb.save(first)  # parts sheet1 Old, sheet2 Codes, sheet3 Guests, sheet4 Notes
parts = {}
with zipfile.ZipFile(first) as z:
    for name in z.namelist():
        parts[name] = z.read(name).decode()
book = parts['xl/workbook.xml']
elements = re.findall(r'<sheet [^>]*/>', book)
named = {re.search(r'name="([^"]*)"', e).group(1): e for e in elements}
gone = re.search(r'r:id="([^"]*)"', named['Old']).group(1)
order = [named['Guests'], named['Notes'], named['Codes'].replace('name="Codes"', 'name="Prices"')]
parts['xl/workbook.xml'] = book.replace(''.join(elements), ''.join(order))
rels = re.sub(r'<Relationship [^>]*Id="%s"[^>]*/>' % gone, '', parts['xl/_rels/workbook.xml.rels'])
parts['xl/_rels/workbook.xml.rels'] = rels.replace('Target="/xl/worksheets/', 'Target="worksheets/')
parts['[Content_Types].xml'] = re.sub(r'<Override [^>]*sheet1\.xml"[^>]*/>', '', parts['[Content_Types].xml'])
del parts['xl/worksheets/sheet1.xml']
with zipfile.ZipFile(moved, 'w', zipfile.ZIP_DEFLATED) as z:
    for name, text in parts.items():
        z.writestr(name, text)
read = openpyxl.load_workbook(moved)
print(json.dumps([[ws.title, [['' if v is None else str(v) for v in row] for row in ws.iter_rows(values_only=True)]]
                  for ws in read.worksheets]))
)py",
                                              {sources.path() + "/first.xlsx", moved});
  const QJsonArray sheets = QJsonDocument::fromJson(oracle).array();
  QStringList names;
  for (const QJsonValue sheet : sheets) names.append(sheet[0].toString());
  ASSERT_EQ(names, QStringList({"Guests", "Notes", "Prices"}));

  for (const QJsonValue sheet : sheets) {
    const QJsonArray rows = sheet[1].toArray();
    whenShown<Import_Excel>([&](Import_Excel& d) {
      QStringList listed;
      for (int i = 0; i < d.Sheet_ComboBox->count(); ++i) listed.append(d.Sheet_ComboBox->itemText(i));
      EXPECT_EQ(listed, names);
      const int index = d.Sheet_ComboBox->findText(sheet[0].toString());
      d.Sheet_ComboBox->setCurrentIndex(index);
      emit d.Sheet_ComboBox->activated(index);
      d.Select_ALL_Pressed();
      d.OKPressed();
    });
    Import_Excel::defaultInstance().open_mode = "E";
    Import_Excel::defaultInstance().Open_excel_Wnd(moved);
    const DataSourceTable& table = Data_From_Excel_Table();
    QStringList titles;
    for (const QJsonValue title : rows[0].toArray()) titles.append(title.toString());
    EXPECT_EQ(table.columnTitles().mid(1), titles) << sheet[0].toString().toStdString();
    ASSERT_EQ(table.tableRowCount(), rows.size() - 1) << sheet[0].toString().toStdString();
    for (qsizetype r = 1; r < rows.size(); ++r)
      for (qsizetype c = 0; c < titles.size(); ++c)
        EXPECT_EQ(table.value(int(r - 1), int(c + 1)), rows[r][c].toString())
            << sheet[0].toString().toStdString();
  }
  EXPECT_TRUE(messages().isEmpty()) << messages().join(" | ").toStdString();
}

}  // namespace
