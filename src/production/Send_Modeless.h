#pragma once
// Send_Modeless: the progress panel of long production runs (image export
// and mail). It shows the total, the item under way, a bar, the pause
// countdown and Stop. The run fills it; a 0.5 s timer on the GUI thread
// refreshes it from list_count and curr_barcode_count while it is shown.

#include <QDialog>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "platform/widgets/WrappingLabel.h"

class Send_Modeless : public QDialog {
  Q_OBJECT

 public:
  // The single instance, made on first use on the GUI thread.
  static Send_Modeless& defaultInstance();

  // Start of a run (GUI thread): Stop enabled, bar 0 of `total`, the total
  // and the first progress text shown, pause text cleared.
  void beginRun(int total, const QString& firstText);
  // Shows the panel window-modal over `owner` and starts the refresh timer.
  void showOver(QWidget* owner);
  // Stops the refresh timer, shows the last state and hides the panel. A
  // stop question still open is closed: it asks about a run that is over.
  void endRun();
  // One refresh: the bar's value and "%d / %d " of the progress globals.
  void update_sending_progress_bar();

  // Stop's action: asks whether to stop, and on Yes sets Stop_SMS_Sending_Now,
  // unless the run ended while the question was open.
  void Stop_Sending_Pressed();
  // Escape and the window's close button ask to stop, as Stop does; the
  // panel goes only when the run ends.
  void reject() override;

  // The controls.
  QLabel* _tot_msg_cnt = nullptr;
  QLabel* _curr_msg_cnt = nullptr;
  QProgressBar* _Curr_Progress = nullptr;
  QPushButton* _stop_btn = nullptr;
  // The pause countdown, or to whom a mail is being sent and that the
  // server's answer is awaited; a long address wraps within the screen.
  platform::WrappingLabel* pause_label = nullptr;

 protected:
  // The panel's accessible name follows its title.
  void changeEvent(QEvent* event) override;

 private:
  explicit Send_Modeless(QWidget* parent = nullptr);
  QTimer refresh_;
  // The stop question while it is open (the window the message host shows),
  // and whether the run ended meanwhile: its answer then stops nothing.
  bool asking_ = false;
  bool endedWhileAsking_ = false;
  QPointer<QWidget> question_;
};
