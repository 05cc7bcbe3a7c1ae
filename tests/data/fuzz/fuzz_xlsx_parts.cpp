// Feeds arbitrary bytes to the xlsx part readers: the shared-string table,
// the worksheet rows (both reads) and the workbook's sheet names. They must
// answer with rows or an error, never crash, and keep every row as wide as
// the column count they report.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "data/XlsxSheetReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  const xlsx::SharedStringsResult strings = xlsx::readSharedStrings(bytes);
  for (xlsx::SheetRows which : {xlsx::SheetRows::FirstOnly, xlsx::SheetRows::All}) {
    const xlsx::SheetResult sheet = xlsx::readSheet(bytes, strings.strings, which);
    for (const QStringList& row : sheet.rows)
      if (row.size() != sheet.columns) std::abort();
  }
  xlsx::readSheetNames(bytes);
  return 0;
}
