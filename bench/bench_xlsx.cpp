// Reading a 100,000-row, 5-column workbook: our reader (unpack, shared
// strings, title row, all rows) beside openpyxl in read-only mode on the same
// file, timed in the same run. The workbook is written by our own writer.
#include <benchmark/benchmark.h>

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "data/SpreadsheetWriter.h"
#include "data/WorkFolder.h"
#include "data/globals.h"

namespace {

constexpr int kRows = 100000;
constexpr int kColumns = 5;

SpreadsheetRows makeRows() {
  SpreadsheetRows rows;
  rows.reserve(kRows + 1);
  rows.append({"Name", "Number", "Price", "Code", "City"});
  const QStringList cities{"Berlin", "Zürich", "Lyon", "Kraków", "Oslo", "Porto"};
  for (int i = 1; i <= kRows; ++i) {
    rows.append({QStringLiteral("Guest %1").arg(i), QString::number(i), QStringLiteral("%1.25").arg(i % 1000),
                 QStringLiteral("%1").arg(i, 8, 10, QChar('0')), cities[i % cities.size()]});
  }
  return rows;
}

// The workbook, written once for the whole run.
const QString& workbook() {
  static std::unique_ptr<QTemporaryDir> folder;
  static QString path;
  if (path.isEmpty()) {
    folder = std::make_unique<QTemporaryDir>();
    path = folder->path() + "/bench.xlsx";
    if (!SpreadsheetWriter::WriteWorkbook(path, makeRows(), false, QUVO_SOURCE_DIR "/resources/Template.xlsx")) {
      std::fprintf(stderr, "cannot write the bench workbook: %s\n",
                   qUtf8Printable(SpreadsheetWriter::shared().lastError()));
      std::exit(1);
    }
  }
  return path;
}

void BM_ReadXlsx(benchmark::State& state) {
  const QString path = workbook();
  qint64 rows = 0;
  for (auto _ : state) {
    Delete_Excel_File_Temp_Folder();
    SpreadsheetWriter::ReadWorkbook(path, true);
    Excel_Sheet_Number = 1;
    SpreadsheetWriter::ReadData_only_column();
    const SpreadsheetRows read = SpreadsheetWriter::ReadWorkbook(path, false);
    if (read.size() != kRows + 1 || read.back().size() != kColumns) {
      state.SkipWithError("the workbook did not read back");
      return;
    }
    rows += read.size();
    benchmark::DoNotOptimize(read.data());
  }
  state.SetItemsProcessed(rows);
  state.counters["rows_per_s"] = benchmark::Counter(double(rows), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReadXlsx)->Unit(benchmark::kMillisecond)->Iterations(5);

// openpyxl, read-only, iterating every row's values; python measures its own time.
void BM_OpenpyxlReadOnly(benchmark::State& state) {
  const QString path = workbook();
  const char* script = R"(
import sys, time, openpyxl
start = time.perf_counter()
wb = openpyxl.load_workbook(sys.argv[1], read_only=True)
rows = 0
for row in wb.worksheets[0].iter_rows(values_only=True):
    rows += 1
wb.close()
print(rows, time.perf_counter() - start)
)";
  for (auto _ : state) {
    QProcess python;
    python.start("/usr/bin/python3", {"-c", script, path});
    python.waitForFinished(-1);
    const QStringList out = QString::fromUtf8(python.readAllStandardOutput()).split(' ');
    if (python.exitCode() != 0 || out.size() != 2 || out[0].toInt() != kRows + 1) {
      state.SkipWithError("openpyxl did not read the workbook");
      return;
    }
    const double seconds = out[1].trimmed().toDouble();
    state.SetIterationTime(seconds);
    state.counters["rows_per_s"] = benchmark::Counter((kRows + 1) / seconds);
  }
  state.SetItemsProcessed(kRows + 1);
}
BENCHMARK(BM_OpenpyxlReadOnly)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

void BM_WriteXlsx(benchmark::State& state) {
  const SpreadsheetRows rows = makeRows();
  QTemporaryDir folder;
  for (auto _ : state) {
    if (!SpreadsheetWriter::WriteWorkbook(folder.path() + "/out.xlsx", rows, false,
                                          QUVO_SOURCE_DIR "/resources/Template.xlsx")) {
      state.SkipWithError("the workbook was not written");
      return;
    }
  }
  state.SetItemsProcessed(state.iterations() * rows.size());
  state.counters["rows_per_s"] =
      benchmark::Counter(double(state.iterations() * rows.size()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_WriteXlsx)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
