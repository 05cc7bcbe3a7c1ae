// The sanitizers' settings and the leak check at the end of every process:
// the leak check must survive the per-thread blocks of loaded modules
// wherever they land, and still report a real leak, wherever it was made; the
// programs that tests start check as the tests do. Each case runs as its own
// process (tests/sanitizers/extra.cmake).
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <condition_variable>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/ChildProcess.h"

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
  const QDeadlineTimer deadline(60000);
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

}  // namespace
