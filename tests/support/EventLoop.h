#pragma once
// The event loop in tests: waiting while it runs, serving it until a
// condition holds, running it once to its end as the program does on its way
// out, and capturing the log lines written meanwhile.

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QStringList>
#include <QTimer>
#include <functional>

#include "support/HangGuard.h"

namespace testing_support {

// Runs the event loop for the given time. Whatever was asked for sooner (a
// repaint, a timer of a shorter interval started before) runs before the wait
// ends, however late a busy machine serves them: timers end in the order of
// their times.
inline void wait(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

// Serves the GUI thread's events until `done` holds or the time is up (a
// guard against a hang, far beyond the time anything takes on a busy machine).
inline bool serveUntil(const std::function<bool()>& done, int ms = kHangGuardMs) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  return done();
}

// Runs the application's event loop once until it quits, as the program
// does on its way out.
inline void runAndEndTheEventLoop() {
  QTimer::singleShot(0, qApp, &QCoreApplication::quit);
  QApplication::exec();
}

// Collects log lines while alive.
class LogCapture {
 public:
  LogCapture() {
    lines().clear();
    previous_ = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& text) { lines() << text; });
  }
  ~LogCapture() { qInstallMessageHandler(previous_); }
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;
  static QStringList& lines() {
    static QStringList l;
    return l;
  }
  bool contains(const QString& part) const {
    for (const QString& l : lines())
      if (l.contains(part)) return true;
    return false;
  }

 private:
  QtMessageHandler previous_;
};

}  // namespace testing_support
