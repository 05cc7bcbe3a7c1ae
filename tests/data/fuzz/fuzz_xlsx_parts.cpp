// Feeds arbitrary bytes to the streaming xlsx part readers: the shared-string
// table, the worksheet rows (both reads) and the workbook's sheet names. They
// must answer with rows or an error, never crash, keep within their limits,
// and hold only cells inside the column count they report.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "data/XlsxSheetReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  xlsx::ReadLimits limits;
  limits.maxRows = 64;
  limits.maxCells = 256;
  limits.maxCellCharacters = 100;
  const xlsx::SharedStringsResult strings = xlsx::readSharedStrings(bytes, limits);
  if (!strings.strings) std::abort();
  for (xlsx::SheetRows which : {xlsx::SheetRows::FirstOnly, xlsx::SheetRows::All}) {
    const xlsx::SheetResult sheet = xlsx::readSheet(bytes, strings.strings, which, limits);
    const xlsx::SheetTable& rows = sheet.rows;
    if (!sheet.error.isEmpty() && !rows.isEmpty()) std::abort();
    // The title row may fill its empty cells with titles of its own.
    if (which == xlsx::SheetRows::FirstOnly
            ? rows.size() > 1
            : rows.size() > limits.maxRows || rows.cellCount() > limits.maxCells)
      std::abort();
    for (qsizetype r = 0; r < rows.size(); ++r) {
      rows.forEachCell(r, [&](int column, const QString& text) {
        if (column < 0 || column >= rows.columns() || text.isEmpty() ||
            text.size() > limits.maxCellCharacters)
          std::abort();
      });
      if (rows.row(r).size() != rows.columns()) std::abort();
    }
  }
  xlsx::readSheetNames(bytes);
  return 0;
}
