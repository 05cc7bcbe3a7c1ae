// The sanitizers' settings and the leak check at the end of every process:
// the leak check must survive the per-thread blocks of loaded modules
// wherever they land, and still report a real leak, wherever it was made; the
// programs that tests start check as the tests do, and start without the
// suppressions when these are gone. Each case runs as its own
// process (tests/sanitizers/extra.cmake).
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
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

// An X server of the test's own, on the first display that no other server
// claims, so that other X servers and other copies of this test never meet
// it:
// - It listens only on its abstract socket, which the system gives to one
//   server alone; a server started on a display whose socket another holds
//   stops at once, and the next display is tried. It touches nothing that
//   servers share in /tmp (their socket files, which a server that listens
//   there replaces, and lock files).
// - A display whose lock or socket file exists is left to its server (one
//   without an abstract socket, or of another network).
// - It never resets. Otherwise it resets whenever its last client leaves
//   (a look of xwininfo) and drops a client connecting meanwhile, which then
//   "could not connect to display".
class OwnXServer {
 public:
  OwnXServer() {
    const QDeadlineTimer deadline(testing_support::kHangGuardMs);
    for (int number = 0; number < 200 && display_.isEmpty() && !deadline.hasExpired(); ++number) {
      if (QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)) ||
          QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number)))
        continue;
      // It writes the display's number once it takes connections.
      server_.emplace("Xvfb",
                      QStringList{":" + QString::number(number), "-displayfd", "1", "-nolisten", "tcp",
                                  "-nolisten", "unix", "-noreset", "-screen", "0", "1280x1024x24"});
      if (!server_->started()) {
        refusals_ = server_->startError();
        return;
      }
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
  // What the servers that did not start said.
  const QString& refusals() const { return refusals_; }

 private:
  std::optional<platform::ChildProcess> server_;
  QByteArray display_;
  QString refusals_;
};

// The program of this build on an X display, as started on a desktop: it
// shows its start window and quits at a termination request, with nothing
// reported by the checkers (the libraries of the X platform run only here,
// never offscreen).
TEST(SanitizerProbe, TheProgramStartsAndQuitsOnAnXDisplay) {
  const OwnXServer server;
  const QByteArray& display = server.display();
  ASSERT_FALSE(display.isEmpty()) << server.refusals().toStdString();

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
}

}  // namespace
