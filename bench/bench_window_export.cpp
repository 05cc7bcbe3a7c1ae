// The export of the main window as the user starts it: Export, the export
// window answered with both sides as PNG at 72 or 300 dpi, the folder panel
// answered with a folder, then the batch with its progress panel until the
// export-finished box. The card is credit-card sized (243 x 154 points); each
// side holds a text, a Code 128 and a QR Code bound to a data series of
// 10,000 rows (or as many as QUVO_BENCH_ROWS says).
//
// The cards go to a new folder in $QUVO_BENCH_DISK (else the temporary folder). bench/window_export_rounds.sh runs it on a file system
// made afresh for each run, taking turns between builds of several versions.
//
// Counters: cards/s (rows per second of wall time), written (the cards the
// folder holds afterwards).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "GuiBenchMain.h"
#include "barcode/designer/BarcodeSettings.h"
#include "core/SKTDocument.h"
#include "mainwindow/SKTWindowController.h"
#include "platform/MessageHost.h"
#include "platform/globals.h"
#include "production/CardExport.h"
#include "production/ExportWindow.h"

namespace {

// Answers the export window with both sides as PNG at `dpi`, the folder
// panel with `folder`, and closes every other box.
class ExportingHost : public platform::MessageHost {
 public:
  int dpi = 72;
  QString folder;
  QStringList messages;
  void showMessage(const QString& text) override { messages << text; }
  bool askYesNo(const QString&) override { return false; }
  QStringList openPanel(const platform::FilePanelRequest&) override { return {folder}; }
  QString savePanel(const platform::FilePanelRequest&) override { return {}; }
  bool openUrl(const QUrl&) override { return false; }
  int runModal(QDialog& dialog) override {
    auto* window = qobject_cast<ExportWindow*>(&dialog);
    if (!window) return 0;
    window->export_card_side_CellClick(0);
    window->fileFormatPopup->setCurrentText(QStringLiteral("PNG"));
    window->saveDPIText->setCurrentText(QString::number(dpi));
    return 1;
  }
  void exitProcess(int) override {}
};

SKTGraphicPtr bound(GraphicKind kind, QRectF bounds, bool qr = false) {
  auto g = SKTGraphic::makeGraphic(kind);
  g->setBounds(bounds);
  g->data_source_type = 1;
  g->batch_list_name = QStringLiteral("Guests");
  if (kind == GraphicKind::Barcode) {
    g->linear_or_2d = qr ? 1 : 0;
    g->barcode_font_index =
        barcode::symbologyNames().indexOf(qr ? QStringLiteral("QR Code") : QStringLiteral("Code 128"));
  }
  return g;
}

QString cardsDisk() {
  const QString chosen = qEnvironmentVariable("QUVO_BENCH_DISK");
  return chosen.isEmpty() ? QDir::tempPath() : chosen;
}

void BM_WindowExport(benchmark::State& state) {
  const int rows =
      qEnvironmentVariableIsSet("QUVO_BENCH_ROWS") ? qEnvironmentVariableIntValue("QUVO_BENCH_ROWS") : 10000;
  QTemporaryDir resources;
  QDir().mkpath(resources.path() + QStringLiteral("/DataSet"));
  {
    QFile guests(resources.path() + QStringLiteral("/DataSet/Guests.txt"));
    if (!guests.open(QIODevice::WriteOnly)) return state.SkipWithError("no series file");
    for (int i = 0; i < rows; ++i)
      guests.write(QStringLiteral("GUEST-%1\n").arg(i + 1, 6, 10, QChar('0')).toUtf8());
  }
  const QString previous = Resource_Path();
  Set_Resource_Path(resources.path());
  ExportingHost host;
  host.dpi = static_cast<int>(state.range(0));
  platform::ScopedMessageHost scoped(host);
  SKTWindowController window;
  for (const CardSide side : {CardSide::Front, CardSide::Back}) {
    window.document()->addInGraphics(side, bound(GraphicKind::Text, QRectF(10, 10, 150, 24)));
    window.document()->addInGraphics(side, bound(GraphicKind::Barcode, QRectF(10, 60, 120, 60)));
    window.document()->addInGraphics(side, bound(GraphicKind::Barcode, QRectF(170, 60, 60, 60), true));
  }
  int written = 0;
  for (auto _ : state) {
    state.PauseTiming();
    QTemporaryDir folder(cardsDisk() + QStringLiteral("/window_export-XXXXXX"));
    host.folder = folder.path();
    state.ResumeTiming();
    window.Export_Button();
    if (!window.cardExport().waitForRun(3600 * 1000)) state.SkipWithError("the export did not end");
    state.PauseTiming();
    written = static_cast<int>(QDir(folder.path() + QStringLiteral("/QUVO Gratulo"))
                                   .entryList({QStringLiteral("Card_*_Back.PNG")})
                                   .size());
    if (written != rows || !host.messages.isEmpty())
      state.SkipWithError(qPrintable(
          QStringLiteral("%1 of %2 cards; %3").arg(written).arg(rows).arg(host.messages.join('|'))));
    state.ResumeTiming();
  }
  state.counters["cards/s"] =
      benchmark::Counter(static_cast<double>(rows) * state.iterations(), benchmark::Counter::kIsRate);
  state.counters["written"] = written;
  Set_Resource_Path(previous);
}

BENCHMARK(BM_WindowExport)
    ->ArgNames({"dpi"})
    ->Arg(72)
    ->Arg(300)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return runGuiBenchmarks<QApplication>(argc, argv);
}
