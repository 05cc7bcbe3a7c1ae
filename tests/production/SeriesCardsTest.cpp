// Series values on their cards: series imported by the list import wizard
// from a CSV file and from a spreadsheet column, series files written by
// other programs, and a series edited in the series manager, each exported
// as a batch with its values in a QR code that zxing-cpp reads back card by
// card. What each card must show is worked out from the source by Python's
// csv module and by openpyxl.

#include <gtest/gtest.h>

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <ostream>

#include "ProductionTestSupport.h"
#include "data/dialogs/BatchWizard.h"
#include "data/dialogs/ColumnChoiceModel.h"
#include "data/dialogs/Import_Excel.h"
#include "data/dialogs/Import_Excel_DataSheet.h"
#include "data/dialogs/Import_Wizard.h"
#include "data/dialogs/SeriesButtons.h"
#include "data/dialogs/ValueListModel.h"
#include "data/dialogs/View_Data_Series.h"
#include "platform/StringHelpers.h"
#include "platform/globals.h"
#include "production/DataBinding.h"
#include "production/globals.h"
#include "support/HangGuard.h"
#include "support/ScriptedHost.h"

using namespace production;
using namespace production_testing;

// Readable values in test failures.
static void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace {

QStringList jsonStrings(const QByteArray& json) {
  QStringList values;
  for (const QJsonValue& value : QJsonDocument::fromJson(json).array()) values.append(value.toString());
  return values;
}

class SeriesCards : public ::testing::Test {
 protected:
  void SetUp() override {
    previousResources = Resource_Path();
    Set_Resource_Path(resources.path());
    ASSERT_TRUE(QDir().mkpath(Data_Folder_Path()));
  }
  void TearDown() override { Set_Resource_Path(previousResources); }

  // The wizard, run as the main window's import button runs it; `act` fills in the source.
  void importSeries(const std::function<void(Import_Wizard&)>& act) {
    host.queueModal([act](QDialog& dialog) {
      dialog.setResult(-1);
      act(static_cast<Import_Wizard&>(dialog));
      return dialog.result();
    });
    Import_Wizard& wizard = Import_Wizard::defaultInstance();
    wizard.file_name_required = 1;
    wizard.file_name_Insert = 0;
    wizard.Open_Wnd();
  }

  // The text of the QR code on the front of each card of a batch of the
  // series, "" for a card without one; the design shows the first value.
  QStringList cardsOf(const QString& series, QString* designed) {
    FakeDesign design;
    design.size = QSizeF(200, 200);
    design.frontColour = Qt::white;
    const SKTGraphicPtr code = boundBarcode(series, true, QPointF(20, 20));
    design.front = {code};
    design.sides = "1";
    DataSourceTable table;
    DataBinding binding(design, DataSeriesStore(), table);
    CardExport exporter(design, binding);
    exporter.workers = 2;
    exporter.fileType = "PNG";
    export_card_side = "F";
    QStringList cards;
    const QString into = batches.path() + "/" + series;
    if (!QDir().mkpath(into) || !binding.Check_Series_Or_Excel_Use_or_not() ||
        !exporter.Export_Batch_File(into) || !exporter.waitForRun(testing_support::kHangGuardMs))
      return {"the batch did not run"};
    const QString folder = into + "/" + kBatchFolderName;
    for (int card = 1; card <= Total_Batch_Excel_Card.load(); ++card) {
      const QStringList found = decodeBarcodes(QImage(QString("%1/Card_%2.PNG").arg(folder).arg(card)));
      cards.append(found.size() == 1 && found[0].startsWith("QRCode:") ? found[0].mid(7) : found.join('|'));
    }
    if (fileNames(folder).size() != cards.size()) cards.append("cards beyond the series");
    *designed = Get_First_Value_Of_Dataset(series);
    return cards;
  }

  QTemporaryDir resources, sources, batches;
  QString previousResources;
  testing_support::ScriptedHost host;
};

TEST_F(SeriesCards, EveryCardShowsTheValueOfItsOwnRow) {
  // A CSV file whose quoted fields hold line breaks of every kind.
  const QString csv = sources.path() + "/guests.csv";
  writeFile(csv,
            "name,title\r\n\"Ann\nLee\",\"Dr.\r\nmed.\"\r\nBob,\"Prof.\rem.\"\r\n"
            "\"Cy\xE2\x80\xA8"
            "Day\",Ms.\r\n\"Di\n\nDo\",\"\n\"\r\nEd,Mr.\r\n");
  const QStringList fromCsv = jsonStrings(testing_support::runPython(R"(
import csv, json, re, sys
values = []
for record in csv.reader(open(sys.argv[1], newline='', encoding='utf-8')):
    for field in record:
        value = re.sub(r'\r\n|[\n\r\u2028]', ' ', field).strip()
        if value: values.append(value)
print(json.dumps(values))
)",
                                                                     {csv}));
  ASSERT_EQ(fromCsv.size(), 11);
  importSeries([&](Import_Wizard& w) {
    w.Text_RD_Pressed();
    w.Text_path->setText(csv);
    w.Text_file_name->setText("Guests");
    w.OKPressed();
  });
  QString designed;
  EXPECT_EQ(cardsOf("Guests", &designed), fromCsv);
  EXPECT_EQ(designed, fromCsv[0]);

  // A spreadsheet column with an empty first and last cell and cells of several lines.
  const QString workbook = sources.path() + "/titles.xlsx";
  const QStringList fromSheet = jsonStrings(testing_support::runPython(R"(
import json, re, sys, openpyxl
wb = openpyxl.Workbook()
ws = wb.active
for row in [['Title', 'Note'], [None], ['Dr.'], ['Prof.\nem.'], [' Ms. '], ['a\n\nb'], [None, 'last']]:
    ws.append(row)
wb.save(sys.argv[1])
cells = [c.value for c in openpyxl.load_workbook(sys.argv[1]).active['A']][1:]
print(json.dumps([re.sub(r'\r\n|[\n\r]', ' ', c or '').strip() for c in cells]))
)",
                                                                       {workbook}));
  ASSERT_EQ(fromSheet, QStringList({"", "Dr.", "Prof. em.", "Ms.", "a  b", ""}));
  importSeries([&](Import_Wizard& w) {
    w.Excel_path->setText(workbook);
    host.queueModal([](QDialog& dialog) {
      auto& columns = static_cast<Import_Excel_DataSheet&>(dialog);
      columns.ListData_xl->setChosen(0, true);
      columns.OKPressed();
      return dialog.result();
    });
    w.OKPressed();
  });
  EXPECT_EQ(cardsOf("Title", &designed), fromSheet);
  EXPECT_EQ(designed, "");

  // Files of other programs: line ends of CR LF, and no line end after the last value.
  writeFile(Data_Folder_Path() + "/Crlf.txt", "\r\nDr.\r\n Prof. \r\n\r\n");
  EXPECT_EQ(cardsOf("Crlf", &designed), QStringList({"", "Dr.", "Prof.", ""}));
  EXPECT_EQ(designed, "");
  writeFile(Data_Folder_Path() + "/NoEnd.txt", "\nx\n\ny");
  EXPECT_EQ(cardsOf("NoEnd", &designed), QStringList({"", "x", "", "y"}));
  EXPECT_EQ(host.messages(), QStringList());
}

TEST_F(SeriesCards, ASeriesEditedInTheManagerKeepsEveryValueOnItsCard) {
  writeFile(Data_Folder_Path() + "/Titles.txt", "\nDr.\n\r\n Prof. \n");
  const QStringList fromFile{"", "Dr.", "", "Prof."};
  const auto shows = [this](const std::function<void(QDialog&)>& act) {
    host.queueModal([act](QDialog& dialog) {
      act(dialog);
      return 0;
    });
  };
  // The viewer lists every card's value beside its number.
  shows([&](QDialog& dialog) {
    auto& viewer = static_cast<View_Data_Series&>(dialog);
    EXPECT_EQ(viewer.ListData->values(), fromFile);
    EXPECT_EQ(viewer.list_count->text(), "Total Rows : 4");
  });
  View_Data_Series::defaultInstance().Open_Wnd("Titles");

  // Opened in the manager, the second value edited, saved.
  shows([&](QDialog& dialog) {
    auto& manager = static_cast<BatchWizard&>(dialog);
    manager.List->selectRow(0);
    manager.Update_Btn_Clicked();
    EXPECT_EQ(manager.ListData_value->values(), fromFile);
    EXPECT_EQ(manager.batch_value_count->text(), "Total Rows : 4");
    manager.List_value->selectRow(1);
    shows([](QDialog& sheet) {
      auto& edit = static_cast<Update_Ex_Num&>(sheet);
      EXPECT_EQ(edit.m_ex_num_str->text(), "Dr.");
      edit.m_ex_num_str->setText("Dr. med.");
      edit.OKPressed();
    });
    manager.doubleClickInTable(manager.List_value);
    manager.Save_Btn_Clicked();
  });
  series_buttons::Batch_Series_Button();

  const QStringList edited{"", "Dr. med.", "", "Prof."};
  QString designed;
  EXPECT_EQ(cardsOf("Titles", &designed), edited);
  EXPECT_EQ(designed, "");
  shows([&](QDialog& dialog) {
    auto& viewer = static_cast<View_Data_Series&>(dialog);
    EXPECT_EQ(viewer.ListData->values(), edited);
    EXPECT_EQ(viewer.list_count->text(), QString("Total Rows : %1").arg(Total_Batch_Excel_Card.load()));
  });
  View_Data_Series::defaultInstance().Open_Wnd("Titles");
  EXPECT_EQ(host.messages(), QStringList());
}

// A spreadsheet column taken into the manager's editor keeps its empty cells
// in their rows, so that the series saved from it puts every cell on the card
// of its row.
TEST_F(SeriesCards, AColumnImportedIntoTheManagersListKeepsItsEmptyCells) {
  const QString workbook = sources.path() + "/titles.xlsx";
  const QStringList fromSheet = jsonStrings(testing_support::runPython(R"(
import json, sys, openpyxl
wb = openpyxl.Workbook()
ws = wb.active
for row in [['Title', 'Note'], [None, 'first'], ['Dr.'], [None, 'gap'], [None, 'gap'], [' Prof. '], [None, 'last']]:
    ws.append(row)
wb.save(sys.argv[1])
cells = [c.value for c in openpyxl.load_workbook(sys.argv[1]).active['A']][1:]
print(json.dumps([(c or '').strip() for c in cells]))
)",
                                                                       {workbook}));
  ASSERT_EQ(fromSheet, QStringList({"", "Dr.", "", "", "Prof.", ""}));
  const auto shows = [this](const std::function<void(QDialog&)>& act) {
    host.queueModal([act](QDialog& dialog) {
      act(dialog);
      return dialog.result();
    });
  };
  shows([&](QDialog& dialog) {
    auto& manager = static_cast<BatchWizard&>(dialog);
    manager.AddNew_Btn_Clicked();
    shows([&](QDialog& wizard) {
      auto& w = static_cast<Import_Wizard&>(wizard);
      w.Excel_path->setText(workbook);
      shows([](QDialog& columns) {
        auto& picker = static_cast<Import_Excel&>(columns);
        picker.ListData_xl->setChosen(0, true);
        picker.OKPressed();
      });
      w.OKPressed();
    });
    manager.Import_Value_Btn_Clicked();
    EXPECT_EQ(manager.ListData_value->values(), fromSheet);
    EXPECT_EQ(manager.batch_value_count->text(), QString("Total Rows : %1").arg(fromSheet.size()));
    manager.batch_list_name->setText("Titles");
    manager.Save_Btn_Clicked();
    manager.Close_Btn_Clicked();
  });
  series_buttons::Batch_Series_Button();

  QString designed;
  EXPECT_EQ(cardsOf("Titles", &designed), fromSheet);
  EXPECT_EQ(designed, fromSheet[0]);
  EXPECT_EQ(host.messages(), QStringList());
}

}  // namespace
