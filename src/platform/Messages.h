#pragma once
// Message boxes that any thread may call, and the log line for caught
// exceptions. Every box goes through platform::messageHost(); a call from a
// worker thread runs the box on the GUI thread and waits for it, and a
// yes/no answer goes back to the thread that asked (never through a shared
// variable, so two workers asking at once each get their own answer).
// The GUI thread must keep serving events while a worker waits for a box:
// it must not block in QThread::wait() on such a worker.

#include <QCoreApplication>
#include <QMetaObject>
#include <QString>
#include <QThread>
#include <type_traits>

// One line in the log ("%@" of the message); nothing for a null or empty message.
void Show_NSLog_Message(const QString& message);
// Box with the text "\n" + message and the single button "OK". Any thread.
void Show_MessageBox(const QString& message);
// Box with the question, "Yes" (default) and "No"; true for "Yes". Any thread.
bool Show_YES_NO_MessageBox(const QString& question);
// Same box as Show_MessageBox, shown on the calling thread (the GUI thread).
void Show_MessageBox_No_Thread(const QString& message);

namespace platform {

// Runs `task` on the GUI thread and gives its result: at once when called on
// the GUI thread (or when there is no application), otherwise through a
// blocking queued call while the calling thread waits.
template <typename Task>
auto onGuiThread(Task&& task) -> std::invoke_result_t<Task> {
  using Result = std::invoke_result_t<Task>;
  QCoreApplication* app = QCoreApplication::instance();
  if (app == nullptr || QThread::currentThread() == app->thread()) return task();
  if constexpr (std::is_void_v<Result>) {
    QMetaObject::invokeMethod(
        app, [&task] { task(); }, Qt::BlockingQueuedConnection);
  } else {
    Result result{};
    QMetaObject::invokeMethod(
        app, [&task, &result] { result = task(); }, Qt::BlockingQueuedConnection);
    return result;
  }
}

}  // namespace platform
