// Reads one series file as a reader of the program does and tells what it
// read and the most memory the program took meanwhile, for the tests of what
// a series file may cost. Usage:
//   series_read_peak <run|card|first|append> <series folder> <name> [most lines]
// `run` reads the lines a run takes, `card` the values of the viewer and the
// editor, `first` card 1's value for previews, `append` appends one value.
// Prints "lines <n>" (values read, or 1 for an append made), "refused <1|0>"
// and "peak <kB>" (VmHWM).
#include <QCoreApplication>
#include <cstdio>
#include <string>

#include "data/DataSeriesStore.h"
#include "data/globals.h"
#include "support/PeakMemory.h"

int main(int argc, char** argv) {
  if (argc != 4 && argc != 5) {
    std::fprintf(stderr, "usage: series_read_peak <run|card|first|append> <folder> <name> [most lines]\n");
    return 2;
  }
  QCoreApplication app(argc, argv);
  const std::string reader = argv[1];
  const DataSeriesStore store(QString::fromLocal8Bit(argv[2]));
  const QString name = QString::fromLocal8Bit(argv[3]);
  if (argc == 5) Series_Value_Limit = std::stoll(argv[4]);
  qint64 lines = 0;
  bool refused = false;
  if (reader == "run") {
    const auto read = DataSeriesStore::readSeriesLines(store.seriesFilePath(name), &refused);
    lines = read ? read->size() : 0;
  } else if (reader == "card") {
    lines = store.readCardValues(name, &refused).size();
  } else if (reader == "first") {
    lines = store.Get_First_Value_Of_Dataset(name).isEmpty() ? 0 : 1;
  } else if (reader == "append") {
    QString failure;
    lines = store.writeSeries(name, {QStringLiteral("added")}, SeriesWriteMode::Append,
                              SeriesFailureReport::Silent, &failure)
                ? 1
                : 0;
    refused = !failure.isEmpty() && failure != QLatin1String(DataSeriesStore::kFileAccessError);
  } else {
    std::fprintf(stderr, "unknown reader %s\n", reader.c_str());
    return 2;
  }
  std::printf("lines %lld\nrefused %d\npeak %ld\n", static_cast<long long>(lines), refused ? 1 : 0,
              testing_support::peakResidentKB());
  return 0;
}
