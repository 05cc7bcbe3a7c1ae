#pragma once
// Message boxes that any thread may call, and the log line for caught
// exceptions. Every box goes through platform::messageHost(); a call from a
// worker thread runs the box on the GUI thread and waits for it, and a
// yes/no answer goes back to the thread that asked (never through a shared
// variable, so two workers asking at once each get their own answer).
// The GUI thread must keep serving events while a worker waits for a box:
// it must not block in QThread::wait() on such a worker. Once the
// application's event loop has ended, a worker's box is no longer shown:
// its text goes to the log and a question gets the answer "No".

#include <QCoreApplication>
#include <QMetaObject>
#include <QString>
#include <QThread>
#include <functional>
#include <type_traits>

// One line in the log ("%@" of the message); nothing for a null or empty message.
void Show_NSLog_Message(const QString& message);
// Box with the text "\n" + message and the single button "OK". Any thread.
void Show_MessageBox(const QString& message);
// Box with the question, "Yes" (default) and "No"; true for "Yes". Any thread.
bool Show_YES_NO_MessageBox(const QString& question);
// The same box with "No" as the default button. Any thread.
bool Show_YES_NO_MessageBox_Default_No(const QString& question);
// Same box as Show_MessageBox, shown on the calling thread (the GUI thread).
void Show_MessageBox_No_Thread(const QString& message);

namespace platform {

// Runs `task` on the GUI thread and waits for it: at once when called on the
// GUI thread (or when there is no application), otherwise by posting it to
// the GUI thread's event loop while the calling thread waits. An exception
// the task throws there is thrown again in the caller.
// When the GUI thread no longer serves events (the application's event loop
// has ended, or the application is gone) a task that has not started yet is
// not run: `what` goes to the log and false is returned, so a worker never
// waits for ever on a program that is closing.
bool runOnGuiThread(const std::function<void()>& task, const QString& what = QString());

// runOnGuiThread with a result; a task that is not run gives Result{}.
template <typename Task>
auto onGuiThread(Task&& task, const QString& what = QString()) -> std::invoke_result_t<Task> {
  using Result = std::invoke_result_t<Task>;
  if constexpr (std::is_void_v<Result>) {
    runOnGuiThread([&task] { task(); }, what);
  } else {
    Result result{};
    runOnGuiThread([&task, &result] { result = task(); }, what);
    return result;
  }
}

}  // namespace platform
