// Review tests of the spreadsheet data-source table: what readers get for
// indexes outside the table, and the table read while it is replaced.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "data/DataSourceTable.h"

namespace {

DataSourceTable& filled(DataSourceTable& table) {
  table.addColumn("Name");
  table.addColumn("City");
  EXPECT_TRUE(table.Create_List_By_Array({"Ann", "Oslo"}, 2));
  EXPECT_TRUE(table.Create_List_By_Array({"Bob", ""}, 2));
  return table;
}

TEST(DataSourceTableReview, ReaderIndexesOutsideTheTableGiveEmptyText) {
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
TEST(DataSourceTableReview, ReadsWhileTheTableIsReplacedSeeWholeRows) {
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

}  // namespace
