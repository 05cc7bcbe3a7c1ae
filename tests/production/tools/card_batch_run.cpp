// A batch export of both sides of a card, in a process of its own, for the
// tests that end a run at a chosen point and look at what it left behind.
// Both sides are painted with the run's number in their red channel, the
// back with 0 in every run when CARD_BATCH_BACK is "same" (as most designs'
// backs are).
//
//   card_batch_run <folder> <run 1-255> <cards> [die|dieaside|pause|hold|holdcard|nonote <n>]...
//   card_batch_run start [hang <folder>]
//
// start: settles the exports that did not finish as the program's start
// does, saying "window" at once and then what the settling said. With hang,
// the folder does not answer: its settling says "hung" and stops there for
// good, and the application's thread waits for SIGUSR1 before it serves
// its events.
//
// die n: the process kills itself (SIGKILL) just after the n-th file took
// its place in the folder; pause n: it says "paused" there and waits to be
// killed; hold n: it says "paused" there and goes on when sent SIGUSR1;
// holdcard n: the same just after the n-th card was written (the folder
// no longer locked); dieaside n: it kills itself just after the n-th old
// side was moved aside (where the disk swaps no files); nonote n: the n-th
// note cannot be written (as on a disk that fails it). Several may be
// given. The run's closing message goes to the output; exit status 0 when
// every card was written. It says "waiting" when it finds the cards' folder
// locked by another program, and SIGUSR2 is the progress panel's Stop.
//
// CARD_BATCH_DISK plays a disk that refuses what some file systems refuse:
// "no-swaps" refuses to swap two files or to take a place only while it is
// empty (as network disks do), "no-links" refuses hard links too (as FAT
// does). The calls are defined here, so the export's own calls take these
// instead of the C library's.
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QPainter>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>

#include "platform/globals.h"
#include "production/BatchExport.h"
#include "production/CardImageFileRun.h"
#include "production/globals.h"

namespace {

// What the played disk refuses, the points the run stops at, and whether
// it says when it waits.
bool gRefusesSwaps = false;
bool gRefusesLinks = false;
std::map<QByteArray, int> gPoints;
bool gSaysWaiting = false;
QByteArray gHangs;  // the folder that does not answer

int pointAt(const char* point) {
  const auto found = gPoints.find(point);
  return found == gPoints.end() ? 0 : found->second;
}

// An old side moved aside.
void setAside() {
  static std::atomic<int> made{0};
  if (++made == pointAt("dieaside")) ::raise(SIGKILL);
}

}  // namespace

extern "C" int renameat2(int fromFolder, const char* from, int toFolder, const char* to,
                         unsigned int flags) noexcept {
  if (flags != 0 && gRefusesSwaps) {
    errno = EINVAL;
    return -1;
  }
  return static_cast<int>(::syscall(SYS_renameat2, fromFolder, from, toFolder, to, flags));
}

extern "C" int link(const char* from, const char* to) noexcept {
  struct stat there = {};
  if (gRefusesLinks) {  // once the file to link is found
    if (::lstat(from, &there) == 0) errno = EPERM;
    return -1;
  }
  return static_cast<int>(::syscall(SYS_linkat, AT_FDCWD, from, AT_FDCWD, to, 0));
}

extern "C" int rename(const char* from, const char* to) noexcept {
  static std::atomic<int> notes{0};
  const QByteArray name = QByteArray(to).mid(QByteArray(to).lastIndexOf('/') + 1);
  if (name.startsWith("note-") && name.endsWith(".json") && ++notes == pointAt("nonote")) {
    errno = EIO;
    return -1;
  }
  const int renamed = static_cast<int>(::syscall(SYS_renameat2, AT_FDCWD, from, AT_FDCWD, to, 0));
  if (renamed == 0 && QByteArray(to).endsWith(".old")) setAside();  // an old side moved aside
  return renamed;
}

extern "C" int flock(int fd, int operation) noexcept {
  struct stat held = {}, hangs = {};
  if (!gHangs.isEmpty() && ::fstat(fd, &held) == 0 && ::stat(gHangs.constData(), &hangs) == 0 &&
      held.st_ino == hangs.st_ino && held.st_dev == hangs.st_dev) {
    std::printf("hung\n"), std::fflush(stdout);
    for (;;) ::pause();
  }
  const int done = static_cast<int>(::syscall(SYS_flock, fd, operation));
  const int error = errno;
  struct stat info = {};
  if (gSaysWaiting && ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
    static std::atomic<bool> waiting{false};
    if (done == 0)
      waiting = false;
    else if (error == EWOULDBLOCK && !waiting.exchange(true))
      std::printf("waiting\n"), std::fflush(stdout);
  }
  errno = error;
  return done;
}

namespace {

SidePaintContext painted(QColor colour) {
  SidePaintContext context;
  context.size = QSizeF(200, 100);
  context.cardBase = [colour](QPainter& painter, const QRectF& rect) { painter.fillRect(rect, colour); };
  return context;
}

}  // namespace

int main(int argc, char** argv) {
  if ((argc == 2 || argc == 4) && qstrcmp(argv[1], "start") == 0) {
    sigset_t goOn;
    sigemptyset(&goOn);
    sigaddset(&goOn, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &goOn, nullptr);
    if (argc == 4) gHangs = argv[3];
    QGuiApplication app(argc, argv);
    if (std::getenv("CARD_BATCH_RESOURCES"))
      Set_Resource_Path(QString::fromLocal8Bit(std::getenv("CARD_BATCH_RESOURCES")));
    production::settleUnfinishedExportsInTheBackground([](const QString& message) {
      std::printf("%s\n", qPrintable(message));
      QCoreApplication::quit();
    });
    std::printf("window\n");
    std::fflush(stdout);
    int signal = 0;
    if (!gHangs.isEmpty()) sigwait(&goOn, &signal);
    return app.exec();
  }
  if (argc < 4 || argc % 2 != 0) {
    std::fprintf(
        stderr,
        "usage: card_batch_run <folder> <run> <cards> [die|dieaside|pause|hold|holdcard|nonote <n>]...\n");
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
  for (int i = 4; i + 1 < argc; i += 2) gPoints[argv[i]] = std::atoi(argv[i + 1]);
  const auto at = pointAt;
  gSaysWaiting = true;
  std::signal(SIGUSR2, [](int) { Stop_SMS_Sending_Now.store(true); });
  const QByteArray disk = qgetenv("CARD_BATCH_DISK");
  gRefusesLinks = disk == "no-links";
  gRefusesSwaps = gRefusesLinks || disk == "no-swaps";
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
  snapshot->card.backContext = painted(QColor(qgetenv("CARD_BATCH_BACK") == "same" ? 0 : run, 60, 200));
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
