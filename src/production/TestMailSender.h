#pragma once
// TestMailSender: one mail sent on a worker thread, as the settings window's
// test mail. The window keeps running while the script talks to the server;
// stop() ends the script under way, and the outcome comes back on the GUI
// thread through finished().

#include <QObject>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "platform/GuiCalls.h"
#include "production/MailScript.h"

namespace production {

class TestMailSender : public QObject {
  Q_OBJECT

 public:
  using TransportFactory = std::function<std::unique_ptr<MailTransport>()>;
  // Unconfirmed: the server took the whole mail but did not confirm it (it
  // fell silent, or the mail was stopped then): it may have arrived.
  enum class Outcome { Sent, Failed, Stopped, Unconfirmed };

  explicit TestMailSender(QObject* parent = nullptr);
  // Ends a mail under way and waits for its worker; finished() is not emitted.
  ~TestMailSender() override;
  TestMailSender(const TestMailSender&) = delete;
  TestMailSender& operator=(const TestMailSender&) = delete;

  // Each mail gets a transport of its own (a stopped one stays stopped).
  // The default runs the mail script; an empty factory restores it.
  void setTransportFactory(TransportFactory make);

  // Starts the mail on a worker thread; false when one is under way.
  bool start(const MailAccount& account, const MailMessage& message);
  // From start() until finished() has been emitted.
  bool isSending() const { return sending_; }
  // Asks the mail under way to end; finished(Stopped) follows once it has.
  void stop();
  // Ends the mail under way and waits for its worker; finished() has been
  // emitted when this returns (the window closing).
  void stopAndWait();
  // Why the last mail failed or is unconfirmed, in plain words; empty when
  // unknown. Valid from finished() until the next start().
  const QString& lastFailure() const { return failure_; }
  // Whether that failure lies in the mail itself (the recipient refused or
  // not usable), not in the settings or the connection.
  bool lastFailureIsTheMails() const { return mailAtFault_; }

 signals:
  // The server has taken the whole mail; its answer is awaited.
  void awaitingAnswer();
  void finished(production::TestMailSender::Outcome outcome);

 private:
  // The worker of mail `run` has ended (GUI thread).
  void workerEnded(quint64 run);

  platform::GuiCalls calls_;  // takes the worker's end to the GUI thread
  TransportFactory make_;
  std::shared_ptr<MailTransport> transport_;  // of the mail under way
  std::thread worker_;
  std::atomic<bool> sent_{false};
  // Written by the worker, read once it has been joined.
  QString failure_;
  MailNotSent notSent_ = MailNotSent::Failed;
  bool mailAtFault_ = false;
  bool sending_ = false;
  bool stopAsked_ = false;
  quint64 run_ = 0;
};

}  // namespace production
