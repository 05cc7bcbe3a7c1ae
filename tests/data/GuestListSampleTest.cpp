// The sample guest list the guide's worked example uses: the shipped workbook
// is what its script writes, and the program reads it as the chapter says:
// one sheet "Guests", the titles Name, Company and Ticket, ten guests.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "DataTestSupport.h"
#include "data/SpreadsheetWriter.h"
#include "data/globals.h"

namespace {

const QString kShipped = QStringLiteral(QUVO_SOURCE_DIR "/resources/Samples/Guests.xlsx");

TEST(GuestListSample, ShippedWorkbookIsTheScriptsOutput) {
  QTemporaryDir tmp;
  ASSERT_TRUE(tmp.isValid());
  const QString regenerated = tmp.filePath(QStringLiteral("Guests.xlsx"));
  const data_test::ProcessResult made =
      data_test::run("/usr/bin/python3", {QUVO_SOURCE_DIR "/scripts/make_guest_list_xlsx.py", regenerated});
  ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
  EXPECT_EQ(data_test::readAll(regenerated), data_test::readAll(kShipped));
}

TEST(GuestListSample, TheProgramReadsTheTitlesAndTenGuests) {
  SpreadsheetWriter::ReadWorkbook(kShipped, true);
  EXPECT_EQ(SpreadsheetWriter::Read_Sheet_Name(), QStringList{QStringLiteral("Guests")});
  Excel_Sheet_Number = 1;
  const xlsx::SheetTable rows = SpreadsheetWriter::ReadWorkbook(kShipped, false);
  ASSERT_EQ(rows.size(), 11);
  ASSERT_EQ(rows.columns(), 3);
  EXPECT_EQ(rows.row(0), (QStringList{"Name", "Company", "Ticket"}));
  EXPECT_EQ(rows.row(1), (QStringList{"Ada Lovelace", "Analytical Engines Ltd", "SM26-0101"}));
  EXPECT_EQ(rows.row(10), (QStringList{"Frances Allen", "Optimising Compilers", "SM26-0110"}));
  // Every ticket is its own, so every badge's QR Code is.
  QSet<QString> tickets;
  for (qsizetype r = 1; r < rows.size(); ++r) tickets << rows.cell(r, 2);
  EXPECT_EQ(tickets.size(), 10);
}

}  // namespace
