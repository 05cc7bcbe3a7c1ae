#include "production/Send_Modeless.h"

#include <QApplication>
#include <QEvent>
#include <QGridLayout>
#include <QWindow>
#include <algorithm>

#include "platform/Messages.h"
#include "platform/widgets/AccessibleNames.h"
#include "platform/widgets/DialogLook.h"
#include "platform/widgets/DialogSingleton.h"
#include "production/MailRun.h"
#include "production/globals.h"

namespace {

// How often the panel reads the run's counters.
constexpr int kProgressRefreshMs = 500;
}  // namespace

Send_Modeless& Send_Modeless::defaultInstance() {
  return platform::dialogSingleton<Send_Modeless>([] { return new Send_Modeless(); });
}

Send_Modeless::Send_Modeless(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QApplication::applicationName());
  platform::applyDialogLook(*this);
  _tot_msg_cnt = new QLabel(this);
  _curr_msg_cnt = new QLabel(this);
  _Curr_Progress = new QProgressBar(this);
  _Curr_Progress->setTextVisible(false);
  _Curr_Progress->setMinimumWidth(320);
  _stop_btn = new QPushButton(QStringLiteral("Stop"), this);
  pause_label = new platform::WrappingLabel(this);

  auto* layout = new QGridLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Total:"), this), 0, 0);
  layout->addWidget(_tot_msg_cnt, 0, 1);
  layout->addWidget(new QLabel(QStringLiteral("Progress:"), this), 1, 0);
  layout->addWidget(_curr_msg_cnt, 1, 1);
  layout->addWidget(_Curr_Progress, 2, 0, 1, 2);
  layout->addWidget(pause_label, 3, 0, 1, 2);
  layout->addWidget(_stop_btn, 4, 1, Qt::AlignRight);

  connect(_stop_btn, &QPushButton::clicked, this, &Send_Modeless::Stop_Sending_Pressed);
  refresh_.setInterval(kProgressRefreshMs);
  connect(&refresh_, &QTimer::timeout, this, &Send_Modeless::update_sending_progress_bar);
  _Curr_Progress->setAccessibleName(QStringLiteral("Progress"));
  platform::nameControlsFromLabels(*this);
  setAccessibleName(windowTitle());
}

void Send_Modeless::changeEvent(QEvent* event) {
  // Each run titles the panel for itself ("Exporting Cards", "Sending
  // E-mail"); screen readers hear the same name.
  if (event->type() == QEvent::WindowTitleChange) setAccessibleName(windowTitle());
  QDialog::changeEvent(event);
}

void Send_Modeless::beginRun(int total, const QString& firstText) {
  _stop_btn->setEnabled(true);
  _Curr_Progress->setRange(0, std::max(0, total));
  _Curr_Progress->setValue(0);
  _tot_msg_cnt->setText(QString::number(total));
  _curr_msg_cnt->setText(firstText);
  pause_label->setText(QString());
}

void Send_Modeless::showOver(QWidget* owner) {
  // The panel keeps no parent (it outlives any one owner); while shown it
  // blocks the other windows, the owner's Send included.
  setWindowModality(Qt::ApplicationModal);
  if (owner != nullptr) {
    move(owner->geometry().center() - rect().center());
    // Above its owner: a panel shown again otherwise keeps its old place
    // below windows opened since (the mail dialog).
    winId();
    if (QWindow* above = owner->window()->windowHandle()) windowHandle()->setTransientParent(above);
  }
  show();
  raise();
  activateWindow();
  refresh_.start();
}

void Send_Modeless::endRun() {
  if (asking_) endedWhileAsking_ = true;
  refresh_.stop();
  update_sending_progress_bar();
  hide();
  if (auto* question = qobject_cast<QDialog*>(question_.data())) question->reject();
  question_ = nullptr;
}

void Send_Modeless::update_sending_progress_bar() {
  _Curr_Progress->setValue(std::clamp(static_cast<int>(curr_barcode_count.load()), _Curr_Progress->minimum(),
                                      _Curr_Progress->maximum()));
  const QString text = production::sendingProgressText();
  curr_msg_count.set(text);
  _curr_msg_cnt->setText(text);
}

void Send_Modeless::Stop_Sending_Pressed() {
  if (asking_) return;
  asking_ = true;
  endedWhileAsking_ = false;
  // Once the question is up, remember its window, so that the end of the
  // run can close it.
  QTimer::singleShot(0, this, [this] {
    QWidget* modal = QApplication::activeModalWidget();
    if (asking_ && modal != nullptr && modal != this && modal->inherits("platform::MessageWindow"))
      question_ = modal;
  });
  const bool yes = Show_YES_NO_MessageBox(QStringLiteral("Are you sure you want to stop?"));
  asking_ = false;
  question_ = nullptr;
  if (yes && !endedWhileAsking_) Stop_SMS_Sending_Now.store(true);
}

void Send_Modeless::reject() {
  if (isVisible() && _stop_btn->isEnabled()) Stop_Sending_Pressed();
}
