// The two spreadsheet column dialogs end to end on a workbook written by
// openpyxl: the column picker in both open modes, and columns to series one
// per column and all into one series, with the replace questions.
#include <QCheckBox>
#include <QComboBox>
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

  // Mode "D" through the manager's editor: the cells row by row, empty ones left out.
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
  EXPECT_EQ(values, QStringList({"Ann", "x1", "Oslo", "Bob", "Rome", "Eve", "x3"}));

  // A file that is no workbook lists no sheet and no column.
  const QString broken = sources.path() + "/broken.xlsx";
  data_test::writeAll(broken, "not a zip");
  whenShown<Import_Excel>([&](Import_Excel& d) {
    EXPECT_EQ(d.Sheet_ComboBox->count(), 0);
    d.OKPressed();
  });
  Import_Excel::defaultInstance().Open_excel_Wnd(broken);
  EXPECT_EQ(messages().last(), "There is no column.");
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

}  // namespace
