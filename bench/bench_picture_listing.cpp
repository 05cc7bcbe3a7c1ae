// Pictures listed where the program offers them, with 30 and 300 camera
// photographs (4000 x 3000 JPEG) in the card backgrounds folder and in a
// picture library category:
// - building the main window as the program does at its start: its
//   Background panel lists the backgrounds, and the start window that a new
//   design opens lists them again (answered at once here);
// - opening the picture library on the category (Insert > Library Picture);
// - opening the background library (the Card Background... window).
// Each picture is judged where it is listed; the time should not grow by
// more than a few milliseconds a picture.
//
// The folders are made once under $QUVO_BENCH_FOLDER (default
// /tmp/quvo-bench-picture-listing) and kept, so that builds of two versions
// measure the same files: one photograph, linked under every name.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <map>
#include <memory>

#include "GuiBenchMain.h"
#include "mainwindow/PictureLibrary.h"
#include "mainwindow/SKTWindowController.h"
#include "platform/MessageHost.h"
#include "platform/ResourceFolder.h"
#include "platform/globals.h"

namespace {

// Answers every window at once as cancelled, and keeps the program running
// when the start window is left so.
class AnsweringHost : public platform::MessageHost {
 public:
  void showMessage(const QString&) override {}
  bool askYesNo(const QString&) override { return false; }
  QStringList openPanel(const platform::FilePanelRequest&) override { return {}; }
  QString savePanel(const platform::FilePanelRequest&) override { return {}; }
  bool openUrl(const QUrl&) override { return false; }
  int runModal(QDialog&) override { return 0; }
  void exitProcess(int) override {}
};

QString benchFolder() {
  const QString set = qEnvironmentVariable("QUVO_BENCH_FOLDER");
  return set.isEmpty() ? QStringLiteral("/tmp/quvo-bench-picture-listing") : set;
}

// A 4000 x 3000 photograph: smooth colour with grain, JPEG quality 90.
QString photograph() {
  const QString path = benchFolder() + QStringLiteral("/photo.jpg");
  if (QFileInfo::exists(path)) return path;
  QDir().mkpath(benchFolder());
  QImage img(4000, 3000, QImage::Format_RGB32);
  quint32 seed = 7;
  for (int y = 0; y < img.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = 0; x < img.width(); ++x) {
      seed = seed * 1103515245u + 12345u;
      const int grain = int(seed >> 16) % 24;
      line[x] = qRgb((x * 255 / 4000 + grain) & 255, (y * 255 / 3000 + grain) & 255, (128 + grain) & 255);
    }
  }
  img.save(path + QStringLiteral(".part"), "JPG", 90);
  QFile::rename(path + QStringLiteral(".part"), path);
  return path;
}

// A resource folder seeded from the shipped one, whose backgrounds and only
// library category ("photos") are `count` links to the photograph.
QString resourcesWith(int count) {
  const QString folder = benchFolder() + QStringLiteral("/photos-%1").arg(count);
  const QString done = folder + QStringLiteral("/.made");
  if (QFileInfo::exists(done)) return folder;
  const QString photo = photograph();
  QDir(folder).removeRecursively();
  platform::seedFolder(QStringLiteral(QUVO_SOURCE_DIR "/resources"), folder);
  for (const QString sub : {QStringLiteral("Background"), QStringLiteral("LibraryImage")}) {
    QDir(folder + QLatin1Char('/') + sub).removeRecursively();
    QDir().mkpath(folder + QLatin1Char('/') + sub);
  }
  QDir().mkpath(folder + QStringLiteral("/LibraryImage/photos"));
  for (int i = 1; i <= count; ++i) {
    const QString name = QStringLiteral("/Photo %1.jpg").arg(i, 3, 10, QLatin1Char('0'));
    for (const QString sub : {QStringLiteral("/Background"), QStringLiteral("/LibraryImage/photos")})
      ::link(QFile::encodeName(photo).constData(), QFile::encodeName(folder + sub + name).constData());
  }
  QFile(done).open(QIODevice::WriteOnly);
  return folder;
}

void photos(benchmark::internal::Benchmark* b) {
  b->ArgName("photos")->Arg(30)->Arg(300)->Unit(benchmark::kMillisecond)->UseRealTime();
}

void BM_BuildMainWindow(benchmark::State& state) {
  Set_Resource_Path(resourcesWith(int(state.range(0))));
  AnsweringHost host;
  platform::ScopedMessageHost scope(host);
  SKTWindowController::setStartWindowShown(true);  // as the program does
  for (auto _ : state) {
    auto window = std::make_unique<SKTWindowController>();
    state.PauseTiming();
    window.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_BuildMainWindow)->Apply(photos);

void openLibrary(benchmark::State& state, const char* mode) {
  Set_Resource_Path(resourcesWith(int(state.range(0))));
  AnsweringHost host;
  platform::ScopedMessageHost scope(host);
  Image_Library& library = Image_Library::defaultInstance();
  library.control_or_BG = QLatin1String(mode);
  for (auto _ : state) {
    library.Open_Library_Window();
    if (library.imageBrowser->model()->rowCount() != state.range(0)) state.SkipWithError("pictures missing");
  }
}

void BM_OpenPictureLibrary(benchmark::State& state) {
  openLibrary(state, "C");
}
BENCHMARK(BM_OpenPictureLibrary)->Apply(photos);

void BM_OpenBackgroundLibrary(benchmark::State& state) {
  openLibrary(state, "B");
}
BENCHMARK(BM_OpenBackgroundLibrary)->Apply(photos);

}  // namespace

int main(int argc, char** argv) {
  return runGuiBenchmarks<QApplication>(argc, argv);
}
