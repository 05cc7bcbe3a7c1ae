// Batch export of 1,000 pupil ID cards (243 x 154 points, the front only),
// each with its own photo: a picture object bound to a data series of photo
// paths (one JPEG of 480 x 640 pixels per row), a name text and a Code 128 of
// the pupil's number bound to series too. One PNG file per card, on 8 render
// threads and on one, at 72 and 300 dpi.
//
// "bad" names a missing photo on every tenth row (the card is still made,
// and the run names it): what the run pays for cards whose picture cannot be
// used.
//
// Counters: cards/s (rows per second of wall time) and cpu_ms, the processor
// time of the whole process (every thread) per run, which other programs on
// a busy machine change less than the wall time. The photos are written
// once, before the first run, to a folder in memory (/dev/shm where there is
// one), and so are the cards.
//
// QUVO_BENCH_KEEP, when set, names a folder that receives the cards of the
// last run of each case ("<rows>-<workers>-<dpi>-<bad>/Card_<n>.PNG"), to be
// compared byte for byte with the cards another build of the program makes.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "GuiBenchMain.h"
#include "barcode/designer/BarcodeSettings.h"
#include "production/BatchExport.h"
#include "production/CardFill.h"

namespace {

constexpr int kRows = 1000;

QString memoryFolder() {
  return QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
}

std::vector<std::unique_ptr<QTemporaryDir>> folders;  // the runs' folders, removed at the end

// Processor time of the process so far, every thread, in milliseconds.
double processCpuMs() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  const auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// One photo per row: a face-sized blob of colour on a gradient with grain,
// different on every row, as a camera's JPEG.
const QStringList& photoPaths() {
  static const QStringList paths = [] {
    const QTemporaryDir& folder = *folders.emplace_back(
        std::make_unique<QTemporaryDir>(memoryFolder() + QStringLiteral("/bench_photos-XXXXXX")));
    QStringList written;
    QRandomGenerator random(41);
    for (int i = 0; i < kRows; ++i) {
      QImage photo(480, 640, QImage::Format_RGB32);
      QPainter painter(&photo);
      QLinearGradient sky(0, 0, 0, 640);
      sky.setColorAt(0, QColor::fromHsv(i * 7 % 360, 60, 230));
      sky.setColorAt(1, QColor::fromHsv(i * 13 % 360, 90, 120));
      painter.fillRect(photo.rect(), sky);
      painter.setBrush(QColor::fromHsv(i * 29 % 360, 120, 200));
      painter.setPen(Qt::NoPen);
      painter.drawEllipse(QPointF(240, 260), 140 + i % 20, 180);
      painter.end();
      for (int y = 0; y < photo.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(photo.scanLine(y));
        for (int x = 0; x < photo.width(); ++x) {
          const int grain = int(random.bounded(17)) - 8;
          const QRgb p = line[x];
          line[x] = qRgb(qBound(0, qRed(p) + grain, 255), qBound(0, qGreen(p) + grain, 255),
                         qBound(0, qBlue(p) + grain, 255));
        }
      }
      const QString path = folder.filePath(QStringLiteral("pupil-%1.jpg").arg(i + 1, 4, 10, QChar('0')));
      photo.save(path, "JPEG", 85);
      written << path;
    }
    return written;
  }();
  return paths;
}

SKTGraphicPtr bound(GraphicKind kind, QRectF bounds, const QString& series) {
  auto g = SKTGraphic::makeGraphic(kind);
  g->setBounds(bounds);
  g->data_source_type = 1;
  g->batch_list_name = series;
  g->barcode_font_index = barcode::symbologyNames().indexOf(QStringLiteral("Code 128"));
  return g;
}

std::shared_ptr<production::RunSnapshot> snapshot(bool bad) {
  auto s = std::make_shared<production::RunSnapshot>();
  s->card.front = {bound(GraphicKind::Image, QRectF(10, 10, 60, 80), QStringLiteral("Photos")),
                   bound(GraphicKind::Text, QRectF(80, 14, 150, 24), QStringLiteral("Names")),
                   bound(GraphicKind::Barcode, QRectF(80, 60, 150, 60), QStringLiteral("Numbers"))};
  SidePaintContext& front = s->card.frontContext;
  front.size = QSizeF(243, 154);
  front.cardBase = [](QPainter& painter, const QRectF& rect) {
    painter.fillRect(rect, QColor(245, 245, 235));
  };
  s->card.backContext = front;
  auto data = std::make_shared<production::BindingRows>();
  data->useSeries = true;
  QStringList& photos = data->series[QStringLiteral("Photos")];
  QStringList& names = data->series[QStringLiteral("Names")];
  QStringList& numbers = data->series[QStringLiteral("Numbers")];
  for (int i = 0; i < kRows; ++i) {
    photos << (bad && i % 10 == 9 ? photoPaths()[i] + QStringLiteral(".missing") : photoPaths()[i]);
    names << QStringLiteral("Pupil %1").arg(i + 1);
    numbers << QStringLiteral("P%1").arg(i + 1, 4, 10, QChar('0'));
  }
  data->seriesRows = kRows;
  s->rows = data;
  return s;
}

void BM_PhotoPerRowExport(benchmark::State& state) {
  const int workers = static_cast<int>(state.range(0));
  const int dpi = static_cast<int>(state.range(1));
  const bool bad = state.range(2) != 0;
  const auto cards = snapshot(bad);
  QString last;
  double cpuMs = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const QTemporaryDir& folder = *folders.emplace_back(
        std::make_unique<QTemporaryDir>(memoryFolder() + QStringLiteral("/bench_photo_export-XXXXXX")));
    production::BatchExport run(
        cards, {folder.path(), QStringLiteral("F"), false, QStringLiteral("PNG"), workers, dpi});
    const double cpuBefore = processCpuMs();
    state.ResumeTiming();
    const production::BatchExportResult result = run.run();
    state.PauseTiming();
    cpuMs += processCpuMs() - cpuBefore;
    if (result.written != kRows) state.SkipWithError("not every card was written");
    last = folder.path();
    state.ResumeTiming();
  }
  state.counters["cards/s"] =
      benchmark::Counter(static_cast<double>(kRows) * state.iterations(), benchmark::Counter::kIsRate);
  state.counters["cpu_ms"] = cpuMs / static_cast<double>(state.iterations());
  const QString keep = qEnvironmentVariable("QUVO_BENCH_KEEP");
  if (!keep.isEmpty() && !last.isEmpty()) {
    const QDir target(keep + QStringLiteral("/%1-%2-%3-%4").arg(kRows).arg(workers).arg(dpi).arg(bad));
    QDir().mkpath(target.path());
    for (const QString& name : QDir(last).entryList(QDir::Files)) {
      QFile::remove(target.filePath(name));
      QFile::copy(QDir(last).filePath(name), target.filePath(name));
    }
  }
}

BENCHMARK(BM_PhotoPerRowExport)
    ->ArgNames({"workers", "dpi", "bad"})
    ->Args({8, 72, 0})
    ->Args({1, 72, 0})
    ->Args({8, 300, 0})
    ->Args({8, 72, 1})
    ->Iterations(1)
    ->UseRealTime()
    ->Repetitions(5)
    ->Unit(benchmark::kMillisecond);

}  // namespace

// The folders go with the program's statics, after the application object.
int main(int argc, char** argv) {
  return runGuiBenchmarks(argc, argv);
}
