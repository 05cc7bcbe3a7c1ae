// Importing a 100,000-line CSV file into a series (read, decode, split into
// fields, clean each value, write the series file) and generating 100,000
// sequential values into a series file. Both report values per second.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "data/DataSeriesStore.h"
#include "data/dialogs/ListImport.h"
#include "data/dialogs/SeriesGenerator.h"

namespace {

constexpr int kLines = 100000;

QTemporaryDir& scratch() {
  static QTemporaryDir folder;
  return folder;
}

// Two fields a line, one of them quoted with a comma inside, CR LF line ends.
const QString& csvFile() {
  static QString path;
  if (path.isEmpty()) {
    path = scratch().path() + "/guests.csv";
    QByteArray bytes;
    bytes.reserve(kLines * 32);
    for (int i = 1; i <= kLines; ++i)
      bytes += QStringLiteral("Guest %1,\"Street %2, Zürich\"\r\n").arg(i).arg(i % 997).toUtf8();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
      std::fprintf(stderr, "cannot write the bench CSV file\n");
      std::exit(1);
    }
  }
  return path;
}

void BM_ImportCsvIntoSeries(benchmark::State& state) {
  const QString path = csvFile();
  const DataSeriesStore store(scratch().path());
  qint64 values = 0;
  for (auto _ : state) {
    SeriesValues imported;
    if (list_import::valuesFromFile(path, imported) != list_import::SourceFailure::None ||
        imported.size() != 2 * kLines ||
        !store.writeSeriesValues("Imported", imported, SeriesWriteMode::Replace,
                                 SeriesFailureReport::Silent)) {
      state.SkipWithError("the CSV file did not import");
      return;
    }
    values += imported.size();
  }
  state.SetItemsProcessed(values);
  state.counters["values/s"] = benchmark::Counter(double(values), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ImportCsvIntoSeries)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_GenerateSequentialSeries(benchmark::State& state) {
  series_generator::GeneratorInput input;
  input.prefix = QStringLiteral("INV-");
  input.suffix = QStringLiteral("/A");
  input.from = QStringLiteral("1");
  input.to = QString::number(kLines);
  input.padWithZeros = true;
  const DataSeriesStore store(scratch().path());
  qint64 values = 0;
  for (auto _ : state) {
    const QStringList generated = series_generator::generateAll(input);
    if (generated.size() != kLines ||
        !store.writeSeries("Generated", generated, SeriesWriteMode::Replace, SeriesFailureReport::Silent)) {
      state.SkipWithError("the series was not generated");
      return;
    }
    values += generated.size();
  }
  state.SetItemsProcessed(values);
  state.counters["values/s"] = benchmark::Counter(double(values), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_GenerateSequentialSeries)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
