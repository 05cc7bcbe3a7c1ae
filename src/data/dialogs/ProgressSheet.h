#pragma once
// Long work of the data dialogs runs on a worker thread while a please-wait
// sheet with a progress bar and a Cancel button covers the dialog; the GUI
// thread keeps serving events all the while. The worker sees the progress
// record only: it never touches a widget.

#include <QDialog>
#include <atomic>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

// Shared between the worker and the sheet.
struct TaskProgress {
  std::atomic<bool> cancelled{false};
  std::atomic<qint64> done{0};
  std::atomic<qint64> total{0};  // 0 while the amount of work is not known
};

class ProgressSheet : public QDialog {
  Q_OBJECT

 public:
  explicit ProgressSheet(QWidget* owner);
  // Shows the progress record's state.
  void showProgress(const TaskProgress& progress);

  QLabel* modeless_msg_lbl = nullptr;
  QProgressBar* progress_bar = nullptr;
  QPushButton* cancel_button = nullptr;

 signals:
  void cancelRequested();
};

// Runs `work` on a worker thread with the sheet over `owner` (which may be
// null) and returns when the work has ended: true when it ran to its end,
// false when it was cancelled or threw (the reason is logged). GUI thread.
bool runWithProgress(QWidget* owner, const std::function<void(TaskProgress&)>& work);

// Tests watch the sheets: the function is called on the GUI thread with each
// sheet once it is shown, before its work starts. An empty function removes it.
void setProgressSheetObserver(std::function<void(ProgressSheet&)> observer);
