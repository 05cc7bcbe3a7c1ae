// A batch export of both sides of a card, in a process of its own, for the
// tests that end a run at a chosen point and look at what it left behind.
// Both sides are painted with the run's number in their red channel.
//
//   card_batch_run <folder> <run 1-255> <cards> [die|pause|hold <n>]
//
// die n: the process kills itself (SIGKILL) just after the n-th file took
// its place in the folder; pause n: it says "paused" there and waits to be
// killed; hold n: it says "paused" there and goes on when sent SIGUSR1. The run's closing message goes to the
// output; exit status 0 when every card was written.
#include <pthread.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QPainter>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "platform/globals.h"
#include "production/BatchExport.h"
#include "production/CardImageFileRun.h"

namespace {

SidePaintContext painted(QColor colour) {
  SidePaintContext context;
  context.size = QSizeF(200, 100);
  context.cardBase = [colour](QPainter& painter, const QRectF& rect) { painter.fillRect(rect, colour); };
  return context;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4 && argc != 6) {
    std::fprintf(stderr, "usage: card_batch_run <folder> <run> <cards> [die|pause <n>]\n");
    return 2;
  }
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  // Where the run notes that it is under way.
  if (std::getenv("CARD_BATCH_RESOURCES"))
    Set_Resource_Path(QString::fromLocal8Bit(std::getenv("CARD_BATCH_RESOURCES")));
  const QString folder = QString::fromLocal8Bit(argv[1]);
  const int run = std::atoi(argv[2]);
  const int cards = std::atoi(argv[3]);
  const bool pause = argc == 6 && qstrcmp(argv[4], "pause") == 0;
  const bool hold = argc == 6 && qstrcmp(argv[4], "hold") == 0;
  // Taken by the run's thread that waits for it, not by the signal's default action.
  sigset_t goOn;
  sigemptyset(&goOn);
  sigaddset(&goOn, SIGUSR1);
  pthread_sigmask(SIG_BLOCK, &goOn, nullptr);
  const int stopAt = argc == 6 ? std::atoi(argv[5]) : 0;

  int placed = 0;
  production::setCardFilePlacedObserver([&placed, stopAt, pause, hold, goOn] {
    if (++placed != stopAt) return;
    if (!pause && !hold) ::raise(SIGKILL);
    std::printf("paused\n");
    std::fflush(stdout);
    int signal = 0;
    if (hold) sigwait(&goOn, &signal);
    while (!hold) ::pause();
  });

  auto snapshot = std::make_shared<production::RunSnapshot>();
  auto name = SKTGraphic::makeGraphic(GraphicKind::Text);
  name->setBounds(QRectF(10, 10, 100, 20));
  name->data_source_type = 1;
  name->batch_list_name = QStringLiteral("Names");
  snapshot->card.front = {name};
  snapshot->card.frontContext = painted(QColor(run, 200, 60));
  snapshot->card.backContext = painted(QColor(run, 60, 200));
  auto rows = std::make_shared<production::BindingRows>();
  rows->useSeries = true;
  for (int i = 1; i <= cards; ++i)
    rows->series[QStringLiteral("Names")].append(QStringLiteral("Guest %1").arg(i));
  rows->seriesRows = cards;
  snapshot->rows = rows;

  const production::BatchExportResult result =
      production::BatchExport(snapshot, {folder, QStringLiteral("BOTH"), false, QStringLiteral("PNG"), 4})
          .run();
  std::printf("%s\n", qPrintable(production::batchExportMessage(result)));
  return result.written == cards ? 0 : 1;
}
