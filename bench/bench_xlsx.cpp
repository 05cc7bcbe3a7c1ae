// Reading workbooks of 100,000 and 1,000,000 rows by 5 columns (shared
// strings and numbers, written by Python's zipfile the way spreadsheet
// programs lay them out): our reader (open, shared strings, title row, all
// rows) beside openpyxl in read-only mode on the same files, in the same run.
// The title row of the large sheet is timed alone. Peak memory of one whole
// read is measured in a child process each (ours: this program run with
// --peak-read FILE), so that nothing else of this run counts. A summary with
// the ratios closes the run. Writing 100,000 rows is timed as well.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "data/SpreadsheetWriter.h"
#include "data/WorkFolder.h"
#include "data/globals.h"
#include "platform/ChildProcess.h"

namespace {

constexpr int kColumns = 5;
constexpr int kSmall = 100'000;
constexpr int kLarge = 1'000'000;

// Writes a workbook of N data rows under a title row: columns Name (unique
// shared string), Number, Price (numbers), Code (unique shared string) and
// City (one of six shared strings).
const char* const kGenerator = R"(
import sys, zipfile
path, rows = sys.argv[1], int(sys.argv[2])
def col(n):
    s = ''
    while n > 0:
        n, r = divmod(n - 1, 26); s = chr(65 + r) + s
    return s
strings, index = [], {}
def sid(t):
    i = index.get(t)
    if i is None:
        i = index[t] = len(strings); strings.append(t)
    return i
cities = ['Berlin', 'Z\u00fcrich', 'Lyon', 'Krak\u00f3w', 'Oslo', 'Porto']
main = 'http://schemas.openxmlformats.org/spreadsheetml/2006/main'
parts = ['<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<worksheet xmlns="%s"><dimension ref="A1:E%d"/>'
         '<sheetViews><sheetView workbookViewId="0"/></sheetViews><sheetFormatPr defaultRowHeight="15"/><sheetData>'
         % (main, rows + 1)]
parts.append('<row r="1" spans="1:5">' + ''.join('<c r="%s1" t="s"><v>%d</v></c>' % (col(k + 1), sid(t))
             for k, t in enumerate(['Name', 'Number', 'Price', 'Code', 'City'])) + '</row>')
for i in range(1, rows + 1):
    r = i + 1
    parts.append('<row r="%d" spans="1:5"><c r="A%d" t="s"><v>%d</v></c><c r="B%d"><v>%d</v></c>'
                 '<c r="C%d"><v>%d.25</v></c><c r="D%d" t="s"><v>%d</v></c><c r="E%d" t="s"><v>%d</v></c></row>'
                 % (r, r, sid('Guest %d' % i), r, i, r, i % 1000, r, sid('%08d' % i), r, sid(cities[i % 6])))
parts.append('</sheetData><pageMargins left="0.7" right="0.7" top="0.75" bottom="0.75" header="0.3" footer="0.3"/></worksheet>')
sst = ['<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<sst xmlns="%s" count="%d" uniqueCount="%d">'
       % (main, rows * 3 + 5, len(strings))] + ['<si><t>%s</t></si>' % s for s in strings] + ['</sst>']
pkg = 'http://schemas.openxmlformats.org/package/2006/'
rel = 'http://schemas.openxmlformats.org/officeDocument/2006/relationships'
head = '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
with zipfile.ZipFile(path, 'w', zipfile.ZIP_DEFLATED) as z:
    z.writestr('[Content_Types].xml', head + '<Types xmlns="%scontent-types"><Default Extension="rels" '
               'ContentType="application/vnd.openxmlformats-package.relationships+xml"/><Default Extension="xml" '
               'ContentType="application/xml"/><Override PartName="/xl/workbook.xml" ContentType="application/'
               'vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/><Override PartName="/xl/worksheets/'
               'sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>'
               '<Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-'
               'officedocument.spreadsheetml.sharedStrings+xml"/></Types>' % pkg)
    z.writestr('_rels/.rels', head + '<Relationships xmlns="%srelationships"><Relationship Id="rId1" '
               'Type="%s/officeDocument" Target="xl/workbook.xml"/></Relationships>' % (pkg, rel))
    z.writestr('xl/workbook.xml', head + '<workbook xmlns="%s" xmlns:r="%s"><sheets><sheet name="Guests" '
               'sheetId="1" r:id="rId1"/></sheets></workbook>' % (main, rel))
    z.writestr('xl/_rels/workbook.xml.rels', head + '<Relationships xmlns="%srelationships"><Relationship '
               'Id="rId1" Type="%s/worksheet" Target="worksheets/sheet1.xml"/><Relationship Id="rId2" '
               'Type="%s/sharedStrings" Target="sharedStrings.xml"/></Relationships>' % (pkg, rel, rel))
    z.writestr('xl/worksheets/sheet1.xml', ''.join(parts))
    z.writestr('xl/sharedStrings.xml', ''.join(sst))
)";

// openpyxl, read-only, every row's values; prints rows, seconds and peak KB
// (the high-water mark of this process's own memory: the resource usage of a
// child also counts what its parent held when it was forked).
const char* const kOpenpyxl = R"(
import sys, time, openpyxl
start = time.perf_counter()
wb = openpyxl.load_workbook(sys.argv[1], read_only=True)
rows = 0
for row in wb.worksheets[0].iter_rows(values_only=True):
    rows += 1
wb.close()
seconds = time.perf_counter() - start
peak = [l.split()[1] for l in open('/proc/self/status') if l.startswith('VmHWM:')][0]
print(rows, seconds, peak)
)";

QStringList runForLine(const QString& program, const QStringList& arguments) {
  const platform::ChildResult child = platform::runChild(program, arguments);
  if (child.exitCode != 0) return QStringList();
  return QString::fromUtf8(child.out).simplified().split(' ');
}

// The workbook of that many data rows, written once for the whole run.
QString workbook(int rows) {
  static std::unique_ptr<QTemporaryDir> folder;
  static std::map<int, QString> paths;
  if (!folder) folder = std::make_unique<QTemporaryDir>();
  QString& path = paths[rows];
  if (path.isEmpty()) {
    path = folder->path() + QStringLiteral("/rows%1.xlsx").arg(rows);
    if (runForLine("/usr/bin/python3", {"-c", kGenerator, path, QString::number(rows)}).isEmpty() &&
        !QFile::exists(path)) {
      std::fprintf(stderr, "cannot write the bench workbook %s\n", qUtf8Printable(path));
      std::exit(1);
    }
  }
  return path;
}

// One whole read as the dialogs make it; the rows are kept by the caller.
xlsx::SheetTable readAll(const QString& path) {
  Delete_Excel_File_Temp_Folder();
  SpreadsheetWriter::ReadWorkbook(path, true);
  Excel_Sheet_Number = 1;
  SpreadsheetWriter::ReadData_only_column();
  return SpreadsheetWriter::ReadWorkbook(path, false);
}

struct Figures {
  double seconds = 0;  // mean of one read
  double peakMB = 0;
};
std::map<int, Figures> ours, openpyxl;
double titleMs = 0;

void BM_ReadXlsx(benchmark::State& state) {
  const int rows = int(state.range(0));
  const QString path = workbook(rows);
  double total = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const xlsx::SheetTable read = readAll(path);
    total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (read.size() != rows + 1 || read.columns() != kColumns ||
        read.cellCount() != qint64(rows + 1) * kColumns) {
      state.SkipWithError("the workbook did not read back");
      return;
    }
    benchmark::DoNotOptimize(read);
  }
  ours[rows].seconds = total / double(state.iterations());
  // Peak memory of one whole read, rows held, in a process of its own.
  const QStringList peak = runForLine("/proc/self/exe", {"--peak-read", path});
  if (peak.size() == 2 && peak[0].toInt() == rows + 1) ours[rows].peakMB = peak[1].toDouble() / 1024;
  state.counters["peak_MB"] = ours[rows].peakMB;
  state.counters["rows_per_s"] =
      benchmark::Counter(double(state.iterations()) * (rows + 1), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReadXlsx)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMillisecond)->Iterations(5);

// The title row alone, once the workbook is loaded.
void BM_TitleRow(benchmark::State& state) {
  const QString path = workbook(kLarge);
  Delete_Excel_File_Temp_Folder();
  SpreadsheetWriter::ReadWorkbook(path, true);
  Excel_Sheet_Number = 1;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const xlsx::SheetTable titles = SpreadsheetWriter::ReadData_only_column();
    titleMs = std::max(
        titleMs, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    if (titles.size() != 1 || titles.cell(0, 4) != "City") {
      state.SkipWithError("the title row did not read back");
      return;
    }
  }
  state.counters["max_ms"] = titleMs;
}
BENCHMARK(BM_TitleRow)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_OpenpyxlReadOnly(benchmark::State& state) {
  const int rows = int(state.range(0));
  const QString path = workbook(rows);
  double total = 0;
  for (auto _ : state) {
    const QStringList out = runForLine("/usr/bin/python3", {"-c", kOpenpyxl, path});
    if (out.size() != 3 || out[0].toInt() != rows + 1) {
      state.SkipWithError("openpyxl did not read the workbook");
      return;
    }
    const double seconds = out[1].toDouble();
    total += seconds;
    openpyxl[rows].peakMB = std::max(openpyxl[rows].peakMB, out[2].toDouble() / 1024);
    state.SetIterationTime(seconds);
  }
  openpyxl[rows].seconds = total / double(state.iterations());
  state.counters["peak_MB"] = openpyxl[rows].peakMB;
}
BENCHMARK(BM_OpenpyxlReadOnly)->Arg(kSmall)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(BM_OpenpyxlReadOnly)->Arg(kLarge)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

void BM_WriteXlsx(benchmark::State& state) {
  SpreadsheetRows rows;
  rows.append({"Name", "Number", "Price", "Code", "City"});
  for (int i = 1; i <= kSmall; ++i)
    rows.append({QStringLiteral("Guest %1").arg(i), QString::number(i), QStringLiteral("%1.25").arg(i % 1000),
                 QStringLiteral("%1").arg(i, 8, 10, QChar('0')), QStringLiteral("Oslo")});
  QTemporaryDir folder;
  for (auto _ : state) {
    if (!SpreadsheetWriter::WriteWorkbook(folder.path() + "/out.xlsx", rows, false,
                                          QUVO_SOURCE_DIR "/resources/Template.xlsx")) {
      state.SkipWithError("the workbook was not written");
      return;
    }
  }
  state.counters["rows_per_s"] =
      benchmark::Counter(double(state.iterations() * rows.size()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_WriteXlsx)->Unit(benchmark::kMillisecond)->Iterations(3);

void summary() {
  std::printf("\nSummary (%d columns; time of one whole read, peak memory of a process doing one read):\n",
              kColumns);
  for (const int rows : {kSmall, kLarge}) {
    const Figures& a = ours[rows];
    const Figures& b = openpyxl[rows];
    if (a.seconds <= 0 || b.seconds <= 0) continue;
    std::printf("  %7d rows: ours %.3f s, %.0f MB; openpyxl read-only %.3f s, %.0f MB; %.1fx faster\n", rows,
                a.seconds, a.peakMB, b.seconds, b.peakMB, b.seconds / a.seconds);
  }
  if (titleMs > 0) std::printf("  title row of the %d-row sheet: at most %.1f ms\n", kLarge, titleMs);
}

// The high-water mark of this process's memory in KB.
long peakKB() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--peak-read") == 0) {
    const xlsx::SheetTable read = readAll(QString::fromLocal8Bit(argv[2]));
    std::printf("%lld %ld\n", static_cast<long long>(read.size()), peakKB());
    return 0;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  summary();
  return 0;
}
