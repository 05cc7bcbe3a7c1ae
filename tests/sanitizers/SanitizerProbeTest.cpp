// The sanitizers' settings and the leak check at the end of every process:
// the leak check must survive the per-thread blocks of loaded modules
// wherever they land, and still report a real leak, wherever it was made; the
// programs that tests start check as the tests do, and start without the
// suppressions when these are gone. Each case runs as its own
// process (tests/sanitizers/extra.cmake).
#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <cerrno>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/ChildProcess.h"
#include "support/HangGuard.h"

namespace {

void loseBlock(size_t bytes) {
  void* lost = std::malloc(bytes);
  ASSERT_NE(lost, nullptr);
  static_cast<char*>(lost)[0] = 1;
}

// Threads that stay alive into the leak check at exit, each holding a
// thread-local block of the loaded module; a new thread's first small
// allocation often starts 16 bytes into a page.
TEST(SanitizerProbe, ThreadLocalBlocksOfALoadedModuleAtExit) {
  void* module = dlopen(QUVO_THREAD_LOCAL_MODULE, RTLD_NOW);
  ASSERT_NE(module, nullptr) << dlerror();
  using Touch = int (*)();
  const auto touch = reinterpret_cast<Touch>(dlsym(module, "touchThreadLocal"));
  ASSERT_NE(touch, nullptr);

  constexpr int kThreads = 16;
  std::mutex mutex;
  std::condition_variable touched;
  int ready = 0;
  for (int i = 0; i < kThreads; ++i) {
    std::thread([&] {
      EXPECT_EQ(touch(), 1);
      {
        std::lock_guard lock(mutex);
        ++ready;
      }
      touched.notify_one();
      for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
    }).detach();
  }
  std::unique_lock lock(mutex);
  touched.wait(lock, [&] { return ready == kThreads; });
  EXPECT_EQ(touch(), 1);
}

// Memory whose last pointer lived on a thread that has ended: nothing reaches
// it, and the leak check must say so.
TEST(SanitizerProbe, ADeliberateLeakIsReported) {
  std::thread([] { loseBlock(4242); }).join();
}

// Memory lost by code that the event loop runs, a timer and then a queued
// call: the stack of each allocation passes through the event loop's
// libraries, and the leak check must report both all the same (run also with
// the full unwinder, which sees every frame of those libraries).
TEST(SanitizerProbe, LeaksOfCodeRunFromTheEventLoopAreReported) {
  QEventLoop loop;
  QTimer::singleShot(0, [&loop] {
    loseBlock(4343);
    QMetaObject::invokeMethod(
        &loop,
        [&loop] {
          loseBlock(4444);
          loop.quit();
        },
        Qt::QueuedConnection);
  });
  loop.exec();
}

// A string of ours that glib copies with its own allocator and that is then
// lost: the allocation's stack passes through glib's allocating functions,
// and the leak check must report it all the same (glib allocates for our code
// as much as for itself).
TEST(SanitizerProbe, LeaksOfOursAllocatedThroughGlibAreReported) {
  using CopyString = char* (*)(const char*);
  const auto copy = reinterpret_cast<CopyString>(dlsym(RTLD_DEFAULT, "g_strdup"));
  ASSERT_NE(copy, nullptr) << "glib is not loaded";
  std::thread([copy] {
    const std::string text(4545, 'g');
    copy(text.c_str())[0] = 'G';  // 4546 bytes with the end byte
  }).join();
}

// The address checker's settings of that name as the program reports them at
// its start (help=1 lists every setting with its current value).
using Settings = std::map<std::string, std::string>;
Settings addressCheckerSettings(const QString& program, const QStringList& names) {
  QTemporaryDir dataHome;
  platform::ChildProcess child(program, {},
                               {.environment = {{"ASAN_OPTIONS", "help=1"},
                                                {"QT_QPA_PLATFORM", "offscreen"},
                                                {"XDG_DATA_HOME", dataHome.path().toLocal8Bit()},
                                                {"DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent"}}});
  static const QRegularExpression setting(R"(\t(\w+)\n\t\t- [^\n]*\(Current Value: ([^)\n]*)\)\n)");
  Settings values;
  const QDeadlineTimer deadline(testing_support::kHangGuardMs);
  for (bool ended = false; values.size() < size_t(names.size()) && !ended && !deadline.hasExpired();) {
    ended = !child.running();
    child.readFor(100);
    for (const QRegularExpressionMatch& m : setting.globalMatch(QString::fromLocal8Bit(child.err())))
      if (names.contains(m.captured(1))) values[m.captured(1).toStdString()] = m.captured(2).toStdString();
  }
  return values;  // a child still running ends with `child`
}

// The program and the tools that tests start check and report as the test
// programs do, whoever starts them.
TEST(SanitizerProbe, ProgramsThatTestsStartCheckAsTheTestsDo) {
  const Settings expected = {{"check_initialization_order", "true"},
                             {"strict_init_order", "true"},
                             {"strict_string_checks", "true"},
                             {"intercept_tls_get_addr", "false"}};
  QStringList names;
  for (const auto& [name, value] : expected) names << QString::fromStdString(name);
  for (const QString& program : QStringLiteral(QUVO_PROGRAMS_TESTS_START).split(':'))
    EXPECT_EQ(addressCheckerSettings(program, names), expected) << program.toStdString();
}

// A program of this build whose suppressions are gone (moved away from its
// source tree, or the tree removed) starts without them and says so once.
TEST(SanitizerProbe, AProgramWhoseSuppressionsAreGoneStartsAndSaysSoOnce) {
  const platform::ChildResult run = platform::runChild(QUVO_MOVED_PROGRAM, {});
  EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
  EXPECT_EQ(run.out, "started\n");
  EXPECT_EQ(run.err.count("The sanitizer suppressions were not found"), 1) << run.err.toStdString();
}

// The path of the lock of X display `number`, and the process it names (0
// when there is none or it names none).
QString displayLockPath(int number) {
  return QStringLiteral("/tmp/.X%1-lock").arg(number);
}
pid_t displayLockOwner(const QString& path) {
  QFile lock(path);
  if (!lock.open(QIODevice::ReadOnly)) return 0;
  bool number = false;
  const pid_t pid = lock.read(64).trimmed().toInt(&number);
  return number && pid > 0 ? pid : 0;
}

// The lock of an X display, taken as X servers take it, so that a server
// started by anyone else on that display (or a script looking for a free
// one) leaves it to us: the file /tmp/.X<N>-lock holding its owner's process
// number in ten characters and a line end, written whole under a name of
// this process and linked into place, which fails where a lock exists. A lock
// whose process is gone is stale: it is removed and taking is tried again.
// Two takers removing one stale lock may both believe they hold it; the
// server's abstract socket then still lets only one of them run there.
class DisplayLock {
 public:
  explicit DisplayLock(int number)
      : path_(displayLockPath(number).toLocal8Bit()),
        draft_(QStringLiteral("/tmp/.tX%1-lock.%2").arg(number).arg(getpid()).toLocal8Bit()) {
    for (int attempt = 0; attempt < 2 && !held_; ++attempt) {
      if (!writeDraft(getpid())) return;
      held_ = link(draft_.constData(), path_.constData()) == 0;
      const int error = errno;
      unlink(draft_.constData());
      if (held_ || error != EEXIST || !ownerGone()) return;
      unlink(path_.constData());
    }
  }
  ~DisplayLock() {
    const pid_t named = held_ ? owner() : 0;
    if (named > 0 && (named == getpid() || named == owner_)) unlink(path_.constData());
  }
  DisplayLock(const DisplayLock&) = delete;
  DisplayLock& operator=(const DisplayLock&) = delete;

  bool held() const { return held_; }

  // Names the display's server as the owner, so that the lock lives as long
  // as the server does (replaced at once: it never goes missing meanwhile).
  void handTo(pid_t server) {
    if (held_ && writeDraft(server) && rename(draft_.constData(), path_.constData()) == 0) owner_ = server;
    unlink(draft_.constData());
  }

 private:
  bool writeDraft(pid_t owner) const {
    unlink(draft_.constData());
    const int fd = open(draft_.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0444);
    if (fd < 0) return false;
    const QByteArray text = QByteArray::number(owner).rightJustified(10, ' ') + '\n';
    const bool written = write(fd, text.constData(), size_t(text.size())) == text.size();
    return close(fd) == 0 && written;
  }
  // The process the lock names; 0 when it names none.
  pid_t owner() const { return displayLockOwner(QString::fromLocal8Bit(path_)); }
  bool ownerGone() const {
    const pid_t pid = owner();
    return pid > 0 && kill(pid, 0) != 0 && errno == ESRCH;
  }

  QByteArray path_;
  QByteArray draft_;
  bool held_ = false;
  pid_t owner_ = 0;
};

// An X server of the test's own, on the first display that no other server
// claims, so that other X servers and other copies of this test never meet
// it:
// - It takes the display's lock first, as X servers do; a display whose lock
//   another holds, or whose socket file exists, is left to its server.
// - It listens only on its abstract socket, which the system gives to one
//   server alone; a server started on a display whose socket another holds
//   (one that writes no lock) stops at once, and the next display is tried.
//   It touches no socket file in /tmp, which a server that listens there
//   replaces.
// - It never resets. Otherwise it resets whenever its last client leaves
//   (a look of xwininfo) and drops a client connecting meanwhile, which then
//   "could not connect to display".
// Its lock is removed once it has ended.
class OwnXServer {
 public:
  OwnXServer() {
    const QDeadlineTimer deadline(testing_support::kHangGuardMs);
    for (int number = 0; number < 200 && display_.isEmpty() && !deadline.hasExpired(); ++number) {
      server_.reset();
      lock_.reset();
      if (QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number))) continue;
      lock_.emplace(number);
      if (!lock_->held()) continue;
      // It writes the display's number once it takes connections.
      server_.emplace("Xvfb",
                      QStringList{":" + QString::number(number), "-displayfd", "1", "-nolisten", "tcp",
                                  "-nolisten", "unix", "-noreset", "-screen", "0", "1280x1024x24"});
      if (!server_->started()) {
        refusals_ = server_->startError();
        return;
      }
      lock_->handTo(server_->pid());
      while (!server_->out().endsWith('\n') && server_->running() && !deadline.hasExpired())
        server_->readFor(100);
      if (server_->out().endsWith('\n'))
        display_ = ":" + server_->out().trimmed();
      else
        refusals_ += QString::fromLocal8Bit(server_->err());
    }
  }
  ~OwnXServer() {
    if (!server_ || !server_->running()) return;
    server_->signal(SIGTERM);
    server_->waitForExit(testing_support::kHangGuardMs);
  }
  OwnXServer(const OwnXServer&) = delete;
  OwnXServer& operator=(const OwnXServer&) = delete;

  // Empty when no display was free.
  const QByteArray& display() const { return display_; }
  pid_t pid() const { return server_ ? server_->pid() : 0; }
  // What the servers that did not start said.
  const QString& refusals() const { return refusals_; }

 private:
  std::optional<DisplayLock> lock_;  // goes after the server
  std::optional<platform::ChildProcess> server_;
  QByteArray display_;
  QString refusals_;
};

// The program of this build on an X display, as started on a desktop: it
// shows its start window and quits at a termination request, with nothing
// reported by the checkers (the libraries of the X platform run only here,
// never offscreen).
// The test's own X server holds its display's lock while it runs, and leaves
// it when done.
TEST(SanitizerProbe, TheProgramStartsAndQuitsOnAnXDisplay) {
  std::optional<OwnXServer> ownServer(std::in_place);
  const OwnXServer& server = *ownServer;
  const QByteArray& display = server.display();
  ASSERT_FALSE(display.isEmpty()) << server.refusals().toStdString();
  const QString lock = displayLockPath(display.mid(1).toInt());
  EXPECT_EQ(displayLockOwner(lock), server.pid());

  const QDeadlineTimer deadline(testing_support::kHangGuardMs);
  QTemporaryDir dataHome;
  platform::ChildProcess program(QUVO_PROGRAM, {},
                                 {.environment = {{"DISPLAY", display},
                                                  {"QT_QPA_PLATFORM", "xcb"},
                                                  {"XDG_DATA_HOME", dataHome.path().toLocal8Bit()},
                                                  {"DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent"}}});
  ASSERT_TRUE(program.started()) << program.startError().toStdString();
  const auto startWindowShown = [&] {
    return platform::runChild("xwininfo",
                              {"-display", QString::fromLatin1(display), "-name", "Welcome to QUVO Gratulo"})
        .out.contains("Map State: IsViewable");
  };
  bool shown = false;
  while (!(shown = startWindowShown()) && program.running() && !deadline.hasExpired()) program.readFor(100);
  EXPECT_TRUE(shown) << program.err().toStdString();

  program.signal(SIGTERM);
  ASSERT_TRUE(program.waitForExit(testing_support::kHangGuardMs));
  EXPECT_EQ(program.exitCode(), 0);
  EXPECT_FALSE(program.err().contains("Sanitizer")) << program.err().toStdString();

  ownServer.reset();
  EXPECT_FALSE(QFileInfo::exists(lock));
}

}  // namespace
