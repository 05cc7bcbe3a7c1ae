#include "platform/Messages.h"

#include <QDebug>
#include <QMetaObject>
#include <QThread>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>

#include "platform/MessageHost.h"
#include "platform/globals.h"

namespace {

// Whether the GUI thread is known to have stopped serving events: set when
// the application's event loop ends (aboutToQuit) or the application goes,
// cleared again as soon as the GUI thread serves posted calls once more.
std::atomic<bool> g_guiLoopEnded{false};
std::atomic<bool> g_applicationGone{false};

void applicationGone() {
  g_guiLoopEnded = true;
  g_applicationGone = true;
}

// One call handed to the GUI thread.
struct GuiCall {
  enum class State { Pending, Running, Done, Dropped };
  const std::function<void()>* task = nullptr;
  std::mutex mutex;
  std::condition_variable finished;
  State state = State::Pending;
  std::exception_ptr error;
};

// Calls handed to the GUI thread and not yet taken. Workers hand them over
// here, behind a mutex of ours, and only wake the GUI thread through Qt's
// event queue: nothing of ours travels inside a Qt event.
std::mutex g_queueMutex;
std::deque<std::shared_ptr<GuiCall>> g_queue;

void runCall(GuiCall& call) {
  {
    std::lock_guard lock(call.mutex);
    if (call.state != GuiCall::State::Pending) return;
    call.state = GuiCall::State::Running;
  }
  std::exception_ptr error;
  try {
    (*call.task)();
  } catch (...) {
    error = std::current_exception();
  }
  std::lock_guard lock(call.mutex);
  call.error = error;
  call.state = GuiCall::State::Done;
  call.finished.notify_all();
}

// Lives on the GUI thread and serves the handed-over calls when woken.
class GuiCallServer : public QObject {
  Q_OBJECT
 public:
  using QObject::QObject;
 public slots:
  void serve() {
    for (;;) {
      std::shared_ptr<GuiCall> call;
      {
        std::lock_guard lock(g_queueMutex);
        if (g_queue.empty()) return;
        call = std::move(g_queue.front());
        g_queue.pop_front();
      }
      runCall(*call);
    }
  }
};

std::atomic<GuiCallServer*> g_server{nullptr};

void watchApplication() {
  QCoreApplication* app = QCoreApplication::instance();
  g_guiLoopEnded = false;
  g_applicationGone = false;
  g_server = new GuiCallServer(app);
  QObject::connect(app, &QCoreApplication::aboutToQuit, app, [app] {
    g_guiLoopEnded = true;
    // Runs only if the GUI thread serves events again later.
    QMetaObject::invokeMethod(
        app, [] { g_guiLoopEnded = false; }, Qt::QueuedConnection);
  });
  qAddPostRoutine(applicationGone);
}

void logNotRun(const QString& what) {
  QString line = "The program's event loop has ended; not shown";
  if (!what.isEmpty()) line += ": " + what;
  Show_NSLog_Message(line);
}

// Shows an "OK" box on the GUI thread; any exception is logged there.
void showOnGuiThread(const QString& text) {
  platform::onGuiThread(
      [&text] {
        try {
          platform::messageHost().showMessage(text);
        } catch (const std::exception& e) {
          Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
        }
      },
      text);
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(watchApplication)

namespace platform {

bool runOnGuiThread(const std::function<void()>& task, const QString& what) {
  QCoreApplication* app = QCoreApplication::instance();
  if (app == nullptr) {
    if (g_applicationGone) {
      logNotRun(what);
      return false;
    }
    task();
    return true;
  }
  if (QThread::currentThread() == app->thread()) {
    task();
    return true;
  }
  if (g_guiLoopEnded) {
    logNotRun(what);
    return false;
  }
  auto call = std::make_shared<GuiCall>();
  call->task = &task;
  {
    // Told under the lock, as in GuiCalls::post.
    std::lock_guard lock(g_queueMutex);
    g_queue.push_back(call);
    QMetaObject::invokeMethod(g_server.load(), "serve", Qt::QueuedConnection);
  }
  std::unique_lock lock(call->mutex);
  for (;;) {
    if (call->finished.wait_for(lock, std::chrono::milliseconds(50),
                                [&call] { return call->state == GuiCall::State::Done; }))
      break;
    // A call the GUI thread has begun is waited for to its end; one it has
    // not begun is dropped once the GUI thread stops serving events.
    if (call->state == GuiCall::State::Pending && g_guiLoopEnded) {
      call->state = GuiCall::State::Dropped;
      lock.unlock();
      logNotRun(what);
      return false;
    }
  }
  if (call->error) std::rethrow_exception(call->error);
  return true;
}

}  // namespace platform

void Show_NSLog_Message(const QString& message) {
  if (message.isEmpty()) return;
  qCWarning(lcPlatform).noquote() << message;
}

void Show_MessageBox(const QString& message) {
  if (message.isNull()) {
    Show_NSLog_Message("Show_MessageBox: no message to show");
    return;
  }
  showOnGuiThread("\n" + message);
}

namespace {
bool askOnGuiThread(const QString& question, bool defaultNo) {
  return platform::onGuiThread(
      [&question, defaultNo] {
        bool answer = false;
        try {
          platform::MessageHost& host = platform::messageHost();
          answer = defaultNo ? host.askYesNoDefaultNo(question) : host.askYesNo(question);
        } catch (const std::exception& e) {
          Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
        }
        return answer;
      },
      question + " (answered No)");
}
}  // namespace

bool Show_YES_NO_MessageBox(const QString& question) {
  return askOnGuiThread(question, false);
}

bool Show_YES_NO_MessageBox_Default_No(const QString& question) {
  return askOnGuiThread(question, true);
}

void Show_MessageBox_No_Thread(const QString& message) {
  if (message.isNull()) {
    Show_NSLog_Message("Show_MessageBox_No_Thread: no message to show");
    return;
  }
  // Meant for the GUI thread; a worker that calls it still gets its box
  // shown there rather than a window made on the wrong thread.
  showOnGuiThread("\n" + message);
}

#include "Messages.moc"
