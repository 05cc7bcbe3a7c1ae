#include "production/TestMailSender.h"

#include <functional>

#include "production/globals.h"

namespace production {

namespace {
std::unique_ptr<MailTransport> mailScript() {
  return std::make_unique<MailScript>();
}

// Passes the wait for the server's answer on.
class AnswerWatch : public MailSendWatch {
 public:
  explicit AnswerWatch(std::function<void()> awaiting) : awaiting_(std::move(awaiting)) {}
  void awaitingAnswer() override { awaiting_(); }

 private:
  std::function<void()> awaiting_;
};
}  // namespace

TestMailSender::TestMailSender(QObject* parent) : QObject(parent), make_(mailScript) {}

TestMailSender::~TestMailSender() {
  // The worker hands its end to calls_ as its last step; once joined, that
  // call is dropped with calls_.
  if (transport_) transport_->cancel();
  if (worker_.joinable()) worker_.join();
}

void TestMailSender::setTransportFactory(TransportFactory make) {
  make_ = make ? std::move(make) : TransportFactory(mailScript);
}

bool TestMailSender::start(const MailAccount& account, const MailMessage& message) {
  if (sending_) return false;
  if (worker_.joinable()) worker_.join();
  transport_ = make_();
  sending_ = true;
  stopAsked_ = false;
  sent_.store(false);
  failure_.clear();
  mailAtFault_ = false;
  const quint64 run = ++run_;
  notSent_ = MailNotSent::Failed;
  worker_ = std::thread([this, run, transport = transport_, account, message] {
    bool sent = false;
    AnswerWatch watch([this, run] {
      calls_.post([this, run] {
        if (run == run_ && sending_) emit awaitingAnswer();
      });
    });
    try {
      if (transport) transport->setWatch(&watch);
      sent = transport && transport->send(account, message);
      if (!sent && transport) {
        failure_ = transport->lastFailure();
        notSent_ = transport->lastNotSent();
        mailAtFault_ = transport->lastFailureIsTheMails();
      }
    } catch (const std::exception& e) {
      qCWarning(lcProduction).noquote() << QString::fromUtf8(e.what());
    }
    if (transport) transport->setWatch(nullptr);
    sent_.store(sent);
    calls_.post([this, run] { workerEnded(run); });
  });
  return true;
}

void TestMailSender::stop() {
  if (!sending_) return;
  stopAsked_ = true;
  if (transport_) transport_->cancel();
}

void TestMailSender::stopAndWait() {
  if (!sending_) return;
  stop();
  workerEnded(run_);
}

void TestMailSender::workerEnded(quint64 run) {
  // A late notice of a mail that stopAndWait() has already ended.
  if (run != run_ || !sending_) return;
  if (worker_.joinable()) worker_.join();
  transport_.reset();
  sending_ = false;
  const Outcome outcome = sent_.load()                           ? Outcome::Sent
                          : notSent_ == MailNotSent::Unconfirmed ? Outcome::Unconfirmed
                          : stopAsked_                           ? Outcome::Stopped
                                                                 : Outcome::Failed;
  emit finished(outcome);
}

}  // namespace production
