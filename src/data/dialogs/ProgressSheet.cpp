#include "data/dialogs/ProgressSheet.h"

#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <atomic>
#include <exception>
#include <memory>
#include <thread>

#include "platform/Messages.h"
#include "platform/widgets/DialogLook.h"

namespace {
std::function<void(ProgressSheet&)>& observer() {
  static std::function<void(ProgressSheet&)> current;
  return current;
}
}  // namespace

ProgressSheet::ProgressSheet(QWidget* owner) : QDialog(owner) {
  setObjectName(QStringLiteral("plz_wait_Window"));
  setWindowTitle(QStringLiteral("Please wait"));
  setAccessibleName(QStringLiteral("Please wait"));
  setWindowModality(owner != nullptr ? Qt::WindowModal : Qt::ApplicationModal);
  platform::applyDialogLook(*this);
  modeless_msg_lbl = new QLabel(QStringLiteral("It may take a while, Please wait.."), this);
  modeless_msg_lbl->setAccessibleName(modeless_msg_lbl->text());
  progress_bar = new QProgressBar(this);
  progress_bar->setAccessibleName(QStringLiteral("Progress"));
  progress_bar->setRange(0, 0);
  progress_bar->setMinimumWidth(280);
  cancel_button = new QPushButton(QStringLiteral("Cancel"), this);
  cancel_button->setAccessibleName(QStringLiteral("Cancel"));
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cancel_button);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(modeless_msg_lbl);
  layout->addWidget(progress_bar);
  layout->addLayout(buttons);
  connect(cancel_button, &QPushButton::clicked, this, [this] {
    cancel_button->setEnabled(false);
    modeless_msg_lbl->setText(QStringLiteral("Cancelling..."));
    emit cancelRequested();
  });
}

void ProgressSheet::showProgress(const TaskProgress& progress) {
  const qint64 total = progress.total.load();
  if (total <= 0) {
    progress_bar->setRange(0, 0);
    return;
  }
  // The bar counts in thousandths so that any total fits its int range.
  progress_bar->setRange(0, 1000);
  progress_bar->setValue(int(std::min<qint64>(1000, progress.done.load() * 1000 / total)));
}

bool runWithProgress(QWidget* owner, const std::function<void(TaskProgress&)>& work) {
  TaskProgress progress;
  ProgressSheet sheet(owner);
  QObject::connect(&sheet, &ProgressSheet::cancelRequested, [&progress] { progress.cancelled = true; });
  sheet.show();
  if (observer()) observer()(sheet);

  // A plain thread: joining it is what hands its results (the caller's
  // variables it wrote) to this thread.
  constexpr int kTickMs = 20;
  QString failure;
  std::atomic<bool> finished{false};
  QEventLoop loop;
  std::thread worker([&] {
    try {
      work(progress);
    } catch (const std::exception& e) {
      failure = QString::fromUtf8(e.what());
    } catch (...) {
      failure = QStringLiteral("unknown failure");
    }
    finished = true;
  });
  // The sheet follows the work, and the loop ends once the work has: the GUI
  // thread looks at the flag, no event crosses from the worker.
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, &sheet, [&] {
    sheet.showProgress(progress);
    if (finished.load()) loop.quit();
  });
  ticker.start(kTickMs);
  if (!finished.load()) loop.exec(QEventLoop::AllEvents);
  // The loop ends early only when the program is asked to end (every running
  // loop is): the work is cancelled rather than waited for to its end.
  if (!finished.load()) progress.cancelled = true;
  worker.join();
  ticker.stop();
  sheet.hide();
  if (!failure.isEmpty()) Show_NSLog_Message(failure);
  return failure.isEmpty() && !progress.cancelled.load();
}

void setProgressSheetObserver(std::function<void(ProgressSheet&)> watcher) {
  observer() = std::move(watcher);
}
