#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "data/DataSourceTable.h"

namespace {

TEST(DataSourceTable, StartsWithTheFixedFirstColumnOnly) {
  DataSourceTable table;
  ASSERT_EQ(table.tableColumnCount(), 1);
  EXPECT_EQ(table.ColList()[0].identifier, "Extension");
  EXPECT_EQ(table.columnTitles(), QStringList{DataSourceTable::kDefaultFirstTitle});
  EXPECT_FALSE(table.hasRows());
}

TEST(DataSourceTable, RowsNumberFromOneAndTrimCellsKeepingEmptyOnes) {
  DataSourceTable table;
  table.addColumn("Name");
  table.addColumn("City");
  ASSERT_TRUE(table.Create_List_By_Array({" Ann ", ""}, 2));
  ASSERT_TRUE(table.Create_List_By_Array({"Bob", "Rome\n"}, 2));
  ASSERT_TRUE(table.Create_List_By_Array({"Cy", "Oslo", "ignored"}, 2));

  const auto rows = table.ListData();
  ASSERT_EQ(rows.size(), 3);
  EXPECT_EQ(rows[0], (DataSourceRow{{"Extension", "1"}, {"Column1", "Ann"}, {"Column2", ""}}));
  EXPECT_TRUE(rows[0].contains("Column2"));  // an empty cell is a key with "", not a missing key
  EXPECT_EQ(rows[2].value("Extension"), "3");
  EXPECT_EQ(table.value(1, 0), "2");
  EXPECT_EQ(table.value(1, 2), "Rome");
  EXPECT_EQ(table.value(5, 1), "");
  EXPECT_EQ(table.value(0, 9), "");

  // Too few values for the column count: nothing appended.
  EXPECT_FALSE(table.Create_List_By_Array({"only one"}, 2));
  EXPECT_EQ(table.tableRowCount(), 3);
}

TEST(DataSourceTable, ColumnsGetConsecutiveIdentifiersAndRemovalKeepsTheFirst) {
  DataSourceTable table;
  table.addColumn("B");
  table.addColumn("D");
  const auto columns = table.ColList();
  ASSERT_EQ(columns.size(), 3);
  EXPECT_EQ(columns[1].identifier, "Column1");
  EXPECT_EQ(columns[2].identifier, "Column2");
  EXPECT_EQ(columns[2].width, 100);
  EXPECT_EQ(table.columnTitles(), (QStringList{DataSourceTable::kDefaultFirstTitle, "B", "D"}));

  table.removeAddedColumns();
  EXPECT_EQ(table.tableColumnCount(), 1);
  table.addColumn("again");
  EXPECT_EQ(table.ColList()[1].identifier, "Column1");
}

TEST(DataSourceTable, ReplaceContentsAppliesEveryTitleAndAnEmptyListKeepsColumns) {
  DataSourceTable table;
  table.addColumn("old");
  table.replaceContents({"Row", "First", "Second"}, {DataSourceRow{{"Extension", "1"}, {"Column2", "x"}}});
  EXPECT_EQ(table.columnTitles(), (QStringList{"Row", "First", "Second"}));
  EXPECT_EQ(table.value(0, 2), "x");

  table.replaceContents({}, {});
  EXPECT_EQ(table.columnTitles(), (QStringList{"Row", "First", "Second"}));
  EXPECT_FALSE(table.hasRows());

  table.replaceContents({"Only"}, {});
  EXPECT_EQ(table.columnTitles(), QStringList{"Only"});
}

TEST(DataSourceTable, ModelShowsCellsByColumnIdentifierAndEditsStoreThere) {
  DataSourceTable table;
  table.addColumn("Name");
  table.Create_List_By_Array({"Ann"}, 1);
  EXPECT_EQ(table.rowCount(), 1);
  EXPECT_EQ(table.columnCount(), 2);
  EXPECT_EQ(table.data(table.index(0, 1)).toString(), "Ann");
  EXPECT_EQ(table.headerData(1, Qt::Horizontal).toString(), "Name");

  int changed = 0;
  QObject::connect(&table, &QAbstractItemModel::dataChanged, [&changed] { ++changed; });
  EXPECT_TRUE(table.setData(table.index(0, 1), "Anna"));
  EXPECT_EQ(changed, 1);
  EXPECT_EQ(table.value(0, 1), "Anna");
  // Outside the rows: refused, nothing stored.
  EXPECT_FALSE(table.setData(table.index(3, 1), "x"));
  EXPECT_EQ(table.tableRowCount(), 1);
}

TEST(DataSourceTable, ValueListRowsSkipEmptyText) {
  DataSourceTable table;
  table.Create_Value_List("  ");
  table.Create_Value_List(" 42 ");
  ASSERT_EQ(table.tableRowCount(), 1);
  EXPECT_EQ(table.value(0, 0), "42");
}

TEST(DataSourceTable, ProgramWideTableAlwaysExists) {
  DataSourceTable& a = Data_From_Excel_Table();
  DataSourceTable& b = Data_From_Excel_Table();
  EXPECT_EQ(&a, &b);
  EXPECT_GE(a.tableColumnCount(), 1);
}

}  // namespace

namespace {

DataSourceTable& filled(DataSourceTable& table) {
  table.addColumn("Name");
  table.addColumn("City");
  EXPECT_TRUE(table.Create_List_By_Array({"Ann", "Oslo"}, 2));
  EXPECT_TRUE(table.Create_List_By_Array({"Bob", ""}, 2));
  return table;
}

}  // namespace

TEST(DataSourceTable, ReaderIndexesOutsideTheTableGiveEmptyText) {
  DataSourceTable table;
  filled(table);
  EXPECT_EQ(table.value(0, 0), "1");  // the row number
  EXPECT_EQ(table.value(1, 2), "");   // an empty cell
  // An object bound to no column (index -1) gets nothing, not the row number.
  EXPECT_EQ(table.value(0, -1), "");
  EXPECT_EQ(table.value(1, -7), "");
  EXPECT_EQ(table.value(-1, 1), "");
  EXPECT_EQ(table.value(2, 1), "");
  EXPECT_EQ(table.value(0, 3), "");
}

// Production reads cells on its worker thread while the window thread may
// load a design that replaces the table: every read sees one whole table.
TEST(DataSourceTable, ReadsWhileTheTableIsReplacedSeeWholeRows) {
  DataSourceTable table;
  const QList<DataSourceRow> a = {DataSourceRow{{"Extension", "1"}, {"Column1", "a"}, {"Column2", "a"}}};
  const QList<DataSourceRow> b = {DataSourceRow{{"Extension", "1"}, {"Column1", "b"}, {"Column2", "b"}},
                                  DataSourceRow{{"Extension", "2"}, {"Column1", "b"}, {"Column2", "b"}}};
  table.replaceContents({"No.", "X", "Y"}, a);
  std::atomic<bool> done{false};
  std::atomic<int> torn{0};
  std::thread reader([&] {
    while (!done) {
      const QList<DataSourceRow> rows = table.ListData();
      for (const auto& row : rows)
        if (row.value("Column1") != row.value("Column2")) ++torn;
      const QString one = table.value(0, 1);
      if (one != "a" && one != "b") ++torn;
    }
  });
  for (int i = 0; i < 2000; ++i) table.replaceContents({"No.", "X", "Y"}, i % 2 ? a : b);
  done = true;
  reader.join();
  EXPECT_EQ(torn, 0);
}
