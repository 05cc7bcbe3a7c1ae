// Data binding: which sources a run uses, how many cards it makes, and the
// values filled into each bound object, on the edges a user meets.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "ProductionTestSupport.h"
#include "platform/globals.h"
#include "production/CardFill.h"
#include "production/DataBinding.h"
#include "production/globals.h"
#include "support/ScriptedHost.h"

using namespace production;
using production_testing::boundText;
using production_testing::FakeDesign;
using production_testing::writeFile;

namespace {

TEST(DataBinding, CountsAndLookupsOnTheEdgesOfTheSources) {
  testing_support::ScriptedHost host;
  QTemporaryDir dir;
  const QString series = dir.path() + "/DataSet";
  ASSERT_TRUE(QDir().mkpath(series));
  writeFile(series + "/Long.txt", "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n");
  writeFile(series + "/Short.txt", "a\r\n  b  \r\nc\n\n\n");  // trailing empty lines are trimmed away
  writeFile(series + "/Empty.txt", "");                       // one empty line
  DataSourceTable table;
  table.addColumn("Name");
  table.addColumn("City");
  for (int r = 0; r < 5; ++r) table.Create_List_By_Array({QString("n%1").arg(r), QString("c%1").arg(r)}, 2);

  FakeDesign design;
  design.front = {boundText(1, "Long", 7), boundText(1, "Short", 0), boundText(2, "", 1),
                  boundText(2, "", 0)};
  // A binding's stored index may point at another series: the name decides.
  DataBinding binding(design, DataSeriesStore(series), table);

  // A bound object only on the back counts only for a card with a back.
  FakeDesign backOnly;
  backOnly.back = {boundText(1, "Long", 0)};
  backOnly.sides = "1";
  DataBinding backBinding(backOnly, DataSeriesStore(series), table);
  EXPECT_TRUE(backBinding.Check_Series_Or_Excel_Use_or_not());
  EXPECT_FALSE(Use_Data_Sheet_Values.load());
  EXPECT_EQ(Total_Batch_Excel_Card.load(), 0);
  backOnly.sides = "2";
  backBinding.Check_Series_Or_Excel_Use_or_not();
  EXPECT_EQ(Total_Batch_Excel_Card.load(), 10);

  ASSERT_TRUE(binding.Check_Series_Or_Excel_Use_or_not());
  EXPECT_TRUE(Use_Data_Sheet_Values.load());
  EXPECT_TRUE(Use_Excel_Binding_Values.load());
  EXPECT_EQ(binding.Data_table_rows, 10);
  EXPECT_EQ(binding.Excel_table_rows, 5);
  EXPECT_EQ(Total_Batch_Excel_Card.load(), 10);
  EXPECT_EQ(binding.Get_sel_row_col_value_of_dataset(1, "Short"), "  b  \r");
  EXPECT_EQ(binding.Get_sel_row_col_value_of_dataset(3, "Short"), "");
  EXPECT_EQ(binding.Get_sel_row_col_value_of_dataset(0, "Missing"), "");
  EXPECT_EQ(binding.Get_sel_row_col_value_of_Excel(4, 2), "c4");
  EXPECT_EQ(binding.Get_sel_row_col_value_of_Excel(5, 2), "");

  const auto rows = binding.rowsForRun();
  EXPECT_EQ(rows->cardCount(), 10);
  EXPECT_EQ(rows->valueFor(*design.front[1], 0), "a");  // the carriage return is trimmed
  EXPECT_EQ(rows->valueFor(*design.front[1], 1), "b");
  EXPECT_EQ(rows->valueFor(*design.front[1], 2), "c");
  EXPECT_EQ(rows->valueFor(*design.front[1], 3), "");  // past the shorter series
  EXPECT_EQ(rows->valueFor(*design.front[0], 9), "10");
  EXPECT_EQ(rows->valueFor(*design.front[3], 1), "2");  // column 0: the row number
  EXPECT_EQ(rows->valueFor(*design.front[2], 7), "");   // past the table
  EXPECT_EQ(rows->excelValue(0, 9), "");                // a column the rows lack
  const auto manual = boundText(0, "Long", 0);
  EXPECT_FALSE(rows->valueFor(*manual, 0).has_value());

  // An empty series counts one row, and its value is empty.
  design.front = {boundText(1, "Empty", 0)};
  binding.Check_Series_Or_Excel_Use_or_not();
  EXPECT_EQ(Total_Batch_Excel_Card.load(), 1);
  EXPECT_EQ(binding.rowsForRun()->valueFor(*design.front[0], 0), "");
  EXPECT_EQ(host.messages(), QStringList());

  // A series file that is not UTF-8 is refused by name, never emptied silently.
  writeFile(series + "/Broken.txt", QByteArray("ok\n\xff\xfe\n"));
  design.front = {boundText(1, "Broken", 0)};
  EXPECT_FALSE(binding.Check_Series_Or_Excel_Use_or_not());
  ASSERT_EQ(host.messages().size(), 1);
  EXPECT_TRUE(host.messages()[0].contains("\"Broken\"")) << host.messages()[0].toStdString();

  // The previews: card 1's value, as the run fills it.
  const QString resources = Resource_Path();
  Set_Resource_Path(dir.path());
  EXPECT_EQ(Get_First_Value_Of_Dataset("Short"), "a");
  EXPECT_EQ(Get_First_Value_Of_Dataset("Missing"), "");
  Set_Resource_Path(resources);
}

TEST(DataBinding, EveryObjectTakesItsRowAndAFailedObjectFailsTheCard) {
  BindingRows rows;
  rows.useSeries = true;
  rows.series.insert("Names", {"Ann", "Bob"});
  rows.series.insert("Codes", {"12345", "\xe2\x9c\x93"});
  rows.seriesRows = 2;
  const auto first = boundText(1, "Names", 0);
  auto code = SKTGraphic::makeGraphic(GraphicKind::Barcode);
  code->data_source_type = 1;
  code->batch_list_name = "Codes";
  code->setBounds(QRectF(0, 0, 80, 40));
  const auto last = boundText(1, "Names", 0);
  const SKTGraphicList side = {first, code, last};

  // A barcode renderer that takes digits only.
  const BarcodeRenderer digitsOnly = [](const SKTGraphic&, const QString& value, QString* reason) {
    for (QChar c : value)
      if (!c.isDigit()) {
        *reason = "not a digit";
        return QImage();
      }
    QImage picture(20, 10, QImage::Format_RGB32);
    picture.fill(Qt::black);
    return picture;
  };
  QString reason;
  EXPECT_TRUE(Assign_Batch_Values_To_Control(side, rows, 0, digitsOnly, &reason));
  EXPECT_EQ(first->Text_contents()->string, "Ann");
  EXPECT_EQ(code->_barcode_image.size(), QSize(20, 10));
  // Row 1: the barcode cannot take its value; the objects after it still
  // take theirs, so nothing shows the previous row.
  EXPECT_FALSE(Assign_Batch_Values_To_Control(side, rows, 1, digitsOnly, &reason));
  EXPECT_TRUE(reason.contains("not a digit")) << reason.toStdString();
  EXPECT_EQ(last->Text_contents()->string, "Bob");
  EXPECT_NE(code->_barcode_image.size(), QSize(20, 10));
}

TEST(DataBinding, ARunNamesTheSourcesItFillsThatNoLongerExist) {
  testing_support::ScriptedHost host;
  QTemporaryDir dir;
  writeFile(dir.path() + "/Names.txt", "Ann\n");
  DataSourceTable table;
  table.addColumn("Name");  // column 1; column 0 is the row number
  FakeDesign design;
  design.front = {boundText(1, "Names", 0), boundText(1, "Gone", 0), boundText(1, "Gone", 0),
                  boundText(2, "", 1),      boundText(2, "", 4),     boundText(2, "", 4)};
  design.back = {boundText(1, "Back only", 0)};
  design.sides = "1";
  DataBinding binding(design, DataSeriesStore(dir.path()), table);
  ASSERT_TRUE(binding.Check_Series_Or_Excel_Use_or_not());
  // Each once, and only for the sources the run fills.
  EXPECT_EQ(binding.missingSources(true, true, "BOTH").series, QStringList{"Gone"});
  EXPECT_EQ(binding.missingSources(true, true, "BOTH").columns, QList<int>{4});
  EXPECT_TRUE(binding.missingSources(false, true, "BOTH").series.isEmpty());
  host.queueYesNo(true);
  QString note;
  EXPECT_TRUE(binding.confirmMissingSources(true, true, "BOTH", &note));
  EXPECT_TRUE(host.questions().value(0).contains("The spreadsheet column 4 no longer exists"));
  EXPECT_EQ(note,
            "The objects bound to data that no longer exists were left empty (the data series \"Gone\", "
            "spreadsheet column 4).");
}

// Every source the card binds is gone, so no source has rows: the run still
// names them, and going on leaves their objects empty on the card as designed.
TEST(DataBinding, SourcesWithoutAnyRowsAreNamedAndLeftEmptyOnTheDesign) {
  testing_support::ScriptedHost host;
  QTemporaryDir dir;
  DataSourceTable table;  // no spreadsheet taken in
  FakeDesign design;
  design.front = {boundText(1, "Gone", 0), boundText(2, "", 3), boundText(0, "", 0)};
  for (const SKTGraphicPtr& g : design.front) g->Text_contents()->string = "as shown";
  DataBinding binding(design, DataSeriesStore(dir.path()), table);
  ASSERT_TRUE(binding.Check_Series_Or_Excel_Use_or_not());
  EXPECT_FALSE(Use_Data_Sheet_Values.load() || Use_Excel_Binding_Values.load());
  EXPECT_EQ(binding.missingSources(false, false, "BOTH").series, QStringList{"Gone"});
  EXPECT_EQ(binding.missingSources(false, false, "BOTH").columns, QList<int>{3});
  host.queueYesNo(true);
  QString note;
  ASSERT_TRUE(binding.confirmMissingSources(false, false, "BOTH", &note));
  EXPECT_TRUE(note.contains("(the data series \"Gone\", spreadsheet column 3)")) << note.toStdString();
  const std::shared_ptr<const BindingRows> rows = binding.rowsForRun();
  EXPECT_EQ(rows->cardCount(), 0);
  const SKTGraphicList card = SKTGraphic::cloneGraphics(design.front);
  EXPECT_TRUE(Assign_Batch_Values_To_Control(card, *rows, -1, {}));
  EXPECT_EQ(card[0]->Text_contents()->string, "");
  EXPECT_EQ(card[1]->Text_contents()->string, "");
  EXPECT_EQ(card[2]->Text_contents()->string, "as shown");
  // The answer holds for that run only.
  ASSERT_TRUE(binding.Check_Series_Or_Excel_Use_or_not());
  EXPECT_TRUE(binding.rowsForRun()->leftEmpty.isEmpty());
}

}  // namespace
