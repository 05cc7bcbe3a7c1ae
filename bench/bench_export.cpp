// Batch export of a credit-card sized card (243 x 154 points) whose front and
// back each hold a text, a Code 128 and a QR Code bound to a data series: one
// PNG file per side and row at one pixel per point (72 dpi), with one render
// thread and with one per core, at 1,000 and 10,000 rows; and on 8 threads at
// 72 and 300 dpi (17 times the pixels, barcodes made for that resolution).
// The photo cases put a noisy photograph behind everything on both sides, the
// picture that compresses worst.
//
// Counters: cards/s (rows per second of wall time), bytes/card (the size of
// both files of a card) and peak_MB, the largest resident memory of the run
// beyond what the process held once the rows were loaded (the peak is reset
// before each run).
//
// BM_EncodeCardPng encodes the front of the first card, rendered once, as
// the PNG a batch writes: the encoder's own time per side at 72 and 300 dpi,
// with and without the photo, and bytes/side.
//
// The folders of all runs are removed when the program ends, not between
// runs: a file system that has just freed thousands of files is slow to make
// new ones for a while, and the next run would measure that.
//
// "disk" says where the cards go: 0 a folder in memory (/dev/shm), 1 a folder
// on a disk ($QUVO_BENCH_DISK, else the folder the benchmark runs in), where
// forcing files to disk costs what it costs; 2 the same disk folder over the
// cards of an earlier export of the same rows (made before the first run,
// not measured), as when a batch is exported again.
//
// QUVO_BENCH_LEAVE_FREE_MB, when set, fills the disk after the earlier
// export (disk 2) until that many MB are free, for a run on a nearly full
// disk; the counter "written" then says how many cards it wrote.
#include <benchmark/benchmark.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>

#include "GuiBenchMain.h"
#include "barcode/designer/BarcodeSettings.h"
#include "production/BatchExport.h"
#include "production/CardFill.h"
#include "production/CardImageFile.h"
#include "production/globals.h"

namespace {

long statusKb(const char* field) {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray& line : status.readAll().split('\n'))
    if (line.startsWith(field))
      return line.mid(static_cast<int>(qstrlen(field))).trimmed().split(' ')[0].toLong();
  return 0;
}

std::vector<std::unique_ptr<QTemporaryDir>> folders;  // the runs' folders, removed at the end

QString benchFolder(int disk) {
  if (disk == 0 && QDir(QStringLiteral("/dev/shm")).exists()) return QStringLiteral("/dev/shm");
  const QString chosen = qEnvironmentVariable("QUVO_BENCH_DISK");
  return chosen.isEmpty() ? QDir::currentPath() : chosen;
}

// Fills the disk of `folder` with a file beside it until `megabytes` MB are free.
void fillLeaving(const QString& folder, int megabytes) {
  struct statvfs disk = {};
  if (::statvfs(QFile::encodeName(folder).constData(), &disk) != 0) return;
  qint64 fill =
      static_cast<qint64>(disk.f_bavail) * static_cast<qint64>(disk.f_bsize) - megabytes * 1048576LL;
  QFile filler(folder + QStringLiteral(".filler"));
  if (!filler.open(QIODevice::WriteOnly)) return;
  const QByteArray block(1 << 20, 'x');
  for (; fill > 0; fill -= block.size())
    filler.write(block.constData(), std::min<qint64>(fill, block.size()));
  filler.close();
  ::sync();
}

void resetPeakMemory() {
  QFile clear(QStringLiteral("/proc/self/clear_refs"));
  if (clear.open(QIODevice::WriteOnly)) clear.write("5");
}

SKTGraphicPtr bound(GraphicKind kind, QRectF bounds, bool qr = false) {
  auto g = SKTGraphic::makeGraphic(kind);
  g->setBounds(bounds);
  g->data_source_type = 1;
  g->batch_list_name = QStringLiteral("Guests");
  g->linear_or_2d = qr ? 1 : 0;
  g->barcode_font_index =
      barcode::symbologyNames().indexOf(qr ? QStringLiteral("QR Code") : QStringLiteral("Code 128"));
  return g;
}

qint64 folderBytes(const QString& folder) {
  qint64 bytes = 0;
  for (QDirIterator files(folder, QDir::Files); files.hasNext();) bytes += files.nextFileInfo().size();
  return bytes;
}

// A photograph's worth of noise at 300 dpi on the card's 243 x 154 points.
QImage noisyPhoto() {
  QImage photo(1013, 642, QImage::Format_RGB32);
  QRandomGenerator random(33);
  for (int y = 0; y < photo.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(photo.scanLine(y));
    for (int x = 0; x < photo.width(); ++x) line[x] = 0xff000000u | (random.generate() & 0xffffffu);
  }
  return photo;
}

SidePaintContext context(QColor colour, bool photo) {
  SidePaintContext c;
  c.size = QSizeF(243, 154);
  if (photo) {
    // Drawn without smoothing: every pixel of the card as noisy as the photo's.
    c.cardBase = [picture = noisyPhoto()](QPainter& painter, const QRectF& rect) {
      painter.save();
      painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
      painter.drawImage(rect, picture);
      painter.restore();
    };
  } else {
    c.cardBase = [colour](QPainter& painter, const QRectF& rect) { painter.fillRect(rect, colour); };
  }
  return c;
}

std::shared_ptr<production::RunSnapshot> snapshot(int rows, bool photo) {
  auto s = std::make_shared<production::RunSnapshot>();
  for (SKTGraphicList* side : {&s->card.front, &s->card.back}) {
    *side = {bound(GraphicKind::Text, QRectF(10, 10, 150, 24)),
             bound(GraphicKind::Barcode, QRectF(10, 60, 120, 60)),
             bound(GraphicKind::Barcode, QRectF(170, 60, 60, 60), true)};
  }
  s->card.frontContext = context(QColor(250, 240, 220), photo);
  s->card.backContext = context(QColor(220, 235, 250), photo);
  auto data = std::make_shared<production::BindingRows>();
  data->useSeries = true;
  QStringList& values = data->series[QStringLiteral("Guests")];
  for (int i = 0; i < rows; ++i) values.append(QStringLiteral("GUEST-%1").arg(i + 1, 6, 10, QChar('0')));
  data->seriesRows = rows;
  s->rows = data;
  return s;
}

void BM_BatchExport(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  const int workers = state.range(1) == 0 ? static_cast<int>(std::thread::hardware_concurrency())
                                          : static_cast<int>(state.range(1));
  const int dpi = static_cast<int>(state.range(2));
  const auto cards = snapshot(rows, state.range(3) != 0);
  const int disk = static_cast<int>(state.range(4));
  double peakMb = 0;
  qint64 bytes = 0;
  int written = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const QTemporaryDir& folder = *folders.emplace_back(
        std::make_unique<QTemporaryDir>(benchFolder(disk) + QStringLiteral("/bench_export-XXXXXX")));
    production::BatchExportRequest request{
        folder.path(), QStringLiteral("BOTH"), false, QStringLiteral("PNG"), workers, dpi};
    if (disk == 2 && production::BatchExport(cards, request).run().written != rows)
      state.SkipWithError("the earlier export failed");
    const bool nearlyFull = disk == 2 && qEnvironmentVariableIsSet("QUVO_BENCH_LEAVE_FREE_MB");
    if (nearlyFull) fillLeaving(folder.path(), qEnvironmentVariableIntValue("QUVO_BENCH_LEAVE_FREE_MB"));
    production::BatchExport run(cards, request);
    resetPeakMemory();
    const long before = statusKb("VmRSS:");
    state.ResumeTiming();
    const production::BatchExportResult result = run.run();
    state.PauseTiming();
    peakMb = std::max(peakMb, (statusKb("VmHWM:") - before) / 1024.0);
    written = result.written;
    if (result.written != rows && !nearlyFull) state.SkipWithError("not every card was written");
    bytes = folderBytes(folder.path());
    if (nearlyFull) QFile::remove(folder.path() + QStringLiteral(".filler"));
    state.ResumeTiming();
  }
  state.counters["cards/s"] =
      benchmark::Counter(static_cast<double>(rows) * state.iterations(), benchmark::Counter::kIsRate);
  state.counters["bytes/card"] = static_cast<double>(bytes) / rows;
  state.counters["peak_MB"] = peakMb;
  state.counters["workers"] = workers;
  state.counters["written"] = written;
}

BENCHMARK(BM_BatchExport)
    ->ArgNames({"rows", "workers", "dpi", "photo", "disk"})
    ->Args({1000, 1, 72, 0, 0})
    ->Args({1000, 0, 72, 0, 0})
    ->Args({10000, 1, 72, 0, 0})
    ->Args({10000, 0, 72, 0, 0})
    ->Args({1000, 8, 72, 0, 0})
    ->Args({1000, 8, 300, 0, 0})
    ->Args({10000, 8, 72, 0, 0})
    ->Args({10000, 8, 300, 0, 0})
    ->Args({100, 8, 72, 1, 0})
    ->Args({100, 8, 300, 1, 0})
    // The same on a disk, new and again.
    ->Args({1000, 1, 72, 0, 1})
    ->Args({1000, 1, 72, 0, 2})
    ->Args({1000, 8, 72, 0, 1})
    ->Args({1000, 8, 72, 0, 2})
    ->Args({300, 1, 300, 0, 1})
    ->Args({300, 1, 300, 0, 2})
    ->Args({1000, 8, 300, 0, 1})
    ->Args({1000, 8, 300, 0, 2})
    ->Iterations(1)
    ->Repetitions(3)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

void BM_EncodeCardPng(benchmark::State& state) {
  const int dpi = static_cast<int>(state.range(0));
  const auto cards = production::exportSnapshot(*snapshot(1, state.range(1) != 0), dpi);
  const QImage side = production::exportedSide(*cards, 0, CardSide::Front, dpi);
  qsizetype bytes = 0;
  for (auto _ : state) bytes = production::encodeCardImage(side, production::CardImageFormat::Png).size();
  state.counters["bytes/side"] = static_cast<double>(bytes);
  state.counters["raw_bytes"] = static_cast<double>(side.width()) * side.height() * 3;
}

BENCHMARK(BM_EncodeCardPng)
    ->ArgNames({"dpi", "photo"})
    ->Args({72, 0})
    ->Args({300, 0})
    ->Args({72, 1})
    ->Args({300, 1})
    ->Repetitions(5)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  const int result = runGuiBenchmarks(argc, argv);
  folders.clear();
  return result;
}
