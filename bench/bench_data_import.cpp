// Importing a 100,000-line CSV file into a series (read, decode, split into
// fields, clean each value, write the series file) and generating 100,000
// sequential values into a series file. Both report values per second.
// Reading series files as a run, the viewer and a preview do: a series of
// 1,048,576 rows (the most a series holds), and a hostile file of 64 MB of
// one-character lines, which is refused.
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

// A series file of `lines` copies of `line` in the scratch folder, made once.
QString seriesFile(const QString& name, const QByteArray& line, qint64 lines) {
  const QString path = scratch().path() + "/" + name + ".txt";
  if (!QFile::exists(path)) {
    QFile file(path);
    const QByteArray block = line.repeated(4096);
    bool written = file.open(QIODevice::WriteOnly);
    for (qint64 i = 0; written && i < lines / 4096; ++i) written = file.write(block) == block.size();
    if (!written) {
      std::fprintf(stderr, "cannot write the bench series file\n");
      std::exit(1);
    }
  }
  return path;
}

enum SeriesReader { kRun, kViewer, kPreview };

// Reads the series `name` as the reader does; how many values it gave.
qint64 readSeries(SeriesReader reader, const QString& name) {
  const DataSeriesStore store(scratch().path());
  switch (reader) {
    case kRun: {
      const auto lines = DataSeriesStore::readSeriesLines(store.seriesFilePath(name), nullptr);
      return lines ? lines->size() : 0;
    }
    case kViewer:
      return store.readCardValues(name).size();
    case kPreview:
      return store.Get_First_Value_Of_Dataset(name).isEmpty() ? 0 : 1;
  }
  return 0;
}

// 1,048,576 rows of "Guest 1234567": 15 MB.
void BM_ReadLargestSeries(benchmark::State& state) {
  const auto reader = SeriesReader(state.range(0));
  seriesFile("Rows", "Guest 1234567\n", 1 << 20);
  for (auto _ : state)
    if (readSeries(reader, "Rows") != (reader == kPreview ? 1 : 1 << 20)) {
      state.SkipWithError("the series did not read");
      return;
    }
  state.SetItemsProcessed(state.iterations() * (1 << 20));
}
BENCHMARK(BM_ReadLargestSeries)
    ->ArgName("run|viewer|preview")
    ->DenseRange(kRun, kPreview)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// 64 MB of "x\n": 33,554,432 lines, more than a series holds.
void BM_ReadSeriesOfOneCharacterLines(benchmark::State& state) {
  const auto reader = SeriesReader(state.range(0));
  seriesFile("Short", "x\n", qint64{1} << 25);
  for (auto _ : state) benchmark::DoNotOptimize(readSeries(reader, "Short"));
}
BENCHMARK(BM_ReadSeriesOfOneCharacterLines)
    ->ArgName("run|viewer|preview")
    ->DenseRange(kRun, kPreview)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
