// A batch export of both sides of a card, in a process of its own, for the
// tests that end a run at a chosen point and look at what it left behind.
// Both sides are painted with the run's number in their red channel.
//
//   card_batch_run <folder> <run 1-255> <cards> [die|pause|hold|holdcard <n>]...
//   card_batch_run start
//
// start: settles the exports that did not finish as the program's start
// does, saying "window" at once and then what the settling said.
//
// die n: the process kills itself (SIGKILL) just after the n-th file took
// its place in the folder; pause n: it says "paused" there and waits to be
// killed; hold n: it says "paused" there and goes on when sent SIGUSR1;
// holdcard n: the same just after the n-th card was written (the folder
// no longer locked). Several may be given. The run's closing message goes to the
// output; exit status 0 when every card was written.
#include <pthread.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QPainter>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <map>
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
  if (argc == 2 && qstrcmp(argv[1], "start") == 0) {
    QGuiApplication app(argc, argv);
    if (std::getenv("CARD_BATCH_RESOURCES"))
      Set_Resource_Path(QString::fromLocal8Bit(std::getenv("CARD_BATCH_RESOURCES")));
    std::promise<QString> said;
    production::settleUnfinishedExportsInTheBackground(
        [&said](const QString& message) { said.set_value(message); });
    std::printf("window\n");
    std::fflush(stdout);
    std::printf("%s\n", qPrintable(said.get_future().get()));
    return 0;
  }
  if (argc < 4 || argc % 2 != 0) {
    std::fprintf(stderr, "usage: card_batch_run <folder> <run> <cards> [die|pause|hold|holdcard <n>]...\n");
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
  // The stop points: the file (or card) counted at which each happens.
  std::map<QByteArray, int> points;
  for (int i = 4; i + 1 < argc; i += 2) points[argv[i]] = std::atoi(argv[i + 1]);
  const auto at = [points](const char* point) {
    const auto found = points.find(point);
    return found == points.end() ? 0 : found->second;
  };
  // Taken by the run's thread that waits for it, not by the signal's default action.
  sigset_t goOn;
  sigemptyset(&goOn);
  sigaddset(&goOn, SIGUSR1);
  pthread_sigmask(SIG_BLOCK, &goOn, nullptr);
  const auto paused = [goOn](bool forEver) {
    std::printf("paused\n");
    std::fflush(stdout);
    int signal = 0;
    if (!forEver) sigwait(&goOn, &signal);
    while (forEver) ::pause();
  };

  int placed = 0;
  production::setCardFilePlacedObserver([&placed, at, paused] {
    ++placed;
    if (placed == at("hold")) paused(false);
    if (placed == at("pause")) paused(true);
    if (placed == at("die")) ::raise(SIGKILL);
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

  production::BatchExport batch(snapshot, {folder, QStringLiteral("BOTH"), false, QStringLiteral("PNG"), 4});
  batch.onCardWritten = [at, paused](int written) {
    if (written == at("holdcard")) paused(false);
  };
  const production::BatchExportResult result = batch.run();
  std::printf("%s\n", qPrintable(production::batchExportMessage(result)));
  return result.written == cards ? 0 : 1;
}
