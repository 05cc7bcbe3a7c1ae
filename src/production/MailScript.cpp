#include "production/MailScript.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <algorithm>

#include "platform/ChildProcess.h"
#include "platform/Messages.h"
#include "platform/ResourceFolder.h"
#include "platform/globals.h"
#include "production/MailAddresses.h"
#include "production/globals.h"

namespace production {

namespace {
void logWarning(const QString& text) {
  qCWarning(lcProduction).noquote() << text;
}
}  // namespace

namespace {
constexpr const char* kScriptName = "pyth_mail.py";
constexpr int kPollMs = 100;
// The script's exit status for a mail that cannot go for a reason of its own
// (an address, an attachment).
constexpr int kMailAtFault = 3;
const QString kStopped = QStringLiteral("Sending was stopped.");
const QString kBadSender = QStringLiteral("The sender address cannot be used.");
const QString kBadRecipient = QStringLiteral("The recipient address cannot be used.");

const QString kSilentFor = QStringLiteral("The server did not answer for %1 seconds.");
const QString kUnconfirmedFor =
    QStringLiteral("The server took the whole mail but did not confirm it within %1 seconds.");
const QString kNoExtensions = QStringLiteral("The mail sending script did not say what the server offers.");
const QString kStoppedUnconfirmed =
    QStringLiteral("The server took the whole mail but had not confirmed it when sending was stopped.");

}  // namespace

// The lines the script writes on its output while it runs: the one that
// starts with "failed " gives the reason a mail did not go out; "handed"
// says the server has taken the whole mail, and the "reply" after it is the
// server's answer to the mail; "extensions" names what the server offers.
class MailScript::Reports {
 public:
  // Takes what the script wrote since the last call; true when it wrote
  // anything (the server did something).
  bool take(const QByteArray& bytes) {
    if (bytes.isEmpty()) return false;
    pending_ += bytes;
    for (qsizetype end = pending_.indexOf('\n'); end >= 0; end = pending_.indexOf('\n')) {
      const QByteArray line = pending_.left(end);
      pending_.remove(0, end + 1);
      if (line.startsWith("failed ")) failure_ = QString::fromUtf8(line.mid(7)).trimmed();
      if (line == "handed") handed_ = true;
      if (handed_ && answer_ == 0 && line.startsWith("reply ")) answer_ = line.mid(6).toInt();
      if (line.startsWith("extensions"))
        extensions_ = QString::fromUtf8(line.mid(10)).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    }
    // A line without end is no report of ours; it is not kept for ever.
    if (pending_.size() > kLongestLine) pending_.clear();
    return true;
  }
  const QString& failure() const { return failure_; }
  // The server has taken the whole mail.
  bool handed() const { return handed_; }
  // ... and has not answered it yet: the mail may have been delivered.
  bool unanswered() const { return handed_ && answer_ == 0; }
  bool accepted() const { return answer_ >= 200 && answer_ < 300; }
  const std::optional<QStringList>& extensions() const { return extensions_; }

 private:
  static constexpr qsizetype kLongestLine = 64 * 1024;
  QByteArray pending_;
  QString failure_;
  bool handed_ = false;
  int answer_ = 0;
  std::optional<QStringList> extensions_;
};

QString MailScript::defaultScriptPath() {
  const QString shipped = platform::shippedResourcesFolder();
  if (!shipped.isEmpty()) {
    const QString path = shipped + QLatin1Char('/') + QLatin1String(kScriptName);
    if (QFileInfo(path).isFile()) return path;
  }
  return Resource_Path() + QLatin1Char('/') + QLatin1String(kScriptName);
}

MailScript::MailScript(QString scriptPath, QString interpreter, int timeoutMs)
    : scriptPath_(std::move(scriptPath)), interpreter_(std::move(interpreter)), timeoutMs_(timeoutMs) {}

namespace {
// A mailbox as the script gets it: a text that is none goes as it is, for
// the script's own check to refuse.
Mailbox scriptMailbox(const QString& text, MailboxRole role) {
  return readMailbox(text, nullptr, role).value_or(Mailbox{QString(), text.trimmed()});
}
// A NUL has no place in a mail, nor can it pass through an argument list.
QString withoutNul(QString text) {
  return text.remove(QChar(0));
}
}  // namespace

QStringList MailScript::arguments(const MailAccount& account, const MailMessage& message) const {
  const QString sender = scriptMailbox(account.sender, MailboxRole::Sender).address;
  const QString onInput = QStringLiteral("-");
  QStringList args{scriptPath_,
                   sender,
                   account.server,
                   account.port,
                   serverAddress(sender),
                   onInput,
                   onInput,
                   onInput,
                   account.enableSsl.isEmpty() ? QStringLiteral("N") : account.enableSsl};
  args += message.attachments;
  for (QString& a : args) a = withoutNul(a);
  return args;
}

namespace {
// The password line, the line "Description" and the fields.
QByteArray scriptInput(const MailAccount& account,
                       std::initializer_list<std::pair<const char*, QString>> fields) {
  QByteArray in = account.password.toUtf8() + "\nDescription\n";
  for (const auto& [name, value] : fields) {
    const QByteArray bytes = withoutNul(value).toUtf8();
    in += name;
    in += ' ' + QByteArray::number(bytes.size()) + '\n' + bytes + '\n';
  }
  return in;
}
}  // namespace

QByteArray MailScript::input(const MailAccount& account, const MailMessage& message) {
  const Mailbox recipient = scriptMailbox(message.recipient, MailboxRole::Recipient);
  return scriptInput(account, {{"from-name", scriptMailbox(account.sender, MailboxRole::Sender).name},
                               {"to", serverAddress(recipient.address)},
                               {"to-name", recipient.name},
                               {"subject", message.subject},
                               {"body", message.body}});
}

QByteArray MailScript::probeInput(const MailAccount& account) {
  return scriptInput(account, {{"probe", QStringLiteral("extensions")}});
}

bool MailScript::fail(const QString& reason, const QString& logLine, MailNotSent how) {
  failure_ = reason;
  notSent_ = how;
  logWarning(logLine);
  return false;
}

bool MailScript::readyToRun(const MailAccount& account, const QString* recipient) {
  failure_.clear();
  notSent_ = MailNotSent::Failed;
  mailAtFault_ = false;
  if (cancelled_.load() || (watch() && watch()->stopRequested())) {
    return fail(kStopped, QStringLiteral("The mail script was stopped."), MailNotSent::Stopped);
  }
  if (!QFileInfo(scriptPath_).isFile()) {
    return fail(QStringLiteral("The mail sending script is missing."),
                QStringLiteral("The mail script is missing: %1").arg(scriptPath_), MailNotSent::Failed);
  }
  // The password goes on one line of the script's input: one with a line
  // break in it cannot be passed whole, so it is not passed at all.
  if (account.password.contains(QLatin1Char('\n')) || account.password.contains(QLatin1Char('\r'))) {
    const QString why = QStringLiteral("The mail password holds a line break and cannot be used.");
    return fail(why, why, MailNotSent::Failed);
  }
  // The same reading of the mailboxes as the mail window's: what is not
  // exactly one mailbox never reaches the script.
  QList<std::pair<QString, MailboxRole>> mailboxes{{account.sender, MailboxRole::Sender}};
  if (recipient) mailboxes.append({*recipient, MailboxRole::Recipient});
  for (const auto& [text, role] : mailboxes) {
    QString why;
    if (readMailbox(text, &why, role)) continue;
    mailAtFault_ = role == MailboxRole::Recipient;
    const QString lead = role == MailboxRole::Sender ? kBadSender : kBadRecipient;
    if (!text.trimmed().isEmpty())
      why = refusalText(lead, {text.trimmed(), why}).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return fail(why, QStringLiteral("The mail was not sent: %1").arg(why), MailNotSent::Failed);
  }
  return true;
}

bool MailScript::send(const MailAccount& account, const MailMessage& message) {
  if (!readyToRun(account, &message.recipient)) return false;
  Reports reports;
  return runScript(arguments(account, message), input(account, message), reports);
}

std::optional<QStringList> MailScript::serverExtensions(const MailAccount& account) {
  if (!readyToRun(account, nullptr)) return std::nullopt;
  Reports reports;
  if (!runScript(arguments(account, {}), probeInput(account), reports)) return std::nullopt;
  if (!reports.extensions()) {
    fail(kNoExtensions, kNoExtensions, MailNotSent::Failed);
    return std::nullopt;
  }
  return reports.extensions();
}

bool MailScript::runScript(const QStringList& args, const QByteArray& input, Reports& reports) {
  const auto stopRequested = [this] { return cancelled_.load() || (watch() && watch()->stopRequested()); };
  // The script reports each step of its conversation with the server on
  // its standard output (an answer of the server, a piece of the mail
  // handed over or taken, the server having taken the whole mail) and, when
  // the mail fails, the reason as its last line; the details of a failure
  // go to our error output.
  platform::ChildProcess process(
      interpreter_, args,
      {.input = input,
       .environment = {{"PYTHONPATH", ""}, {"PATH", "/bin:/usr/bin:/usr/local/bin"}},
       .ownEnvironmentOnly = true,
       .output = platform::ChildOutput::ErrorsForwarded});
  if (!process.started()) {
    return fail(
        QStringLiteral("The mail sending script could not be started (%1).").arg(process.startError()),
        QStringLiteral("The mail script could not be started: %1").arg(process.startError()),
        MailNotSent::Failed);
  }
  // Waited for in short steps, so that a stop is seen while the script
  // runs. The time limit counts the script's silence: each report starts it
  // again, so a large attachment that a slow line takes bit by bit runs as
  // long as it needs, while a script that says nothing for longer than its
  // own limits allow is ended. Once the server has taken the whole mail the
  // longer limit of the wait for its answer applies, and a mail given up
  // from then on may have been delivered.
  QDeadlineTimer deadline(timeoutMs_);
  bool toldAwaiting = false;
  const auto limit = [&] { return reports.handed() ? std::max(timeoutMs_, kAnswerTimeoutMs) : timeoutMs_; };
  while (process.running()) {
    if (reports.take(process.takeOut())) deadline.setRemainingTime(limit());
    if (reports.handed() && !toldAwaiting) {
      toldAwaiting = true;
      if (watch()) watch()->awaitingAnswer();
    }
    const bool stop = stopRequested();
    if (stop || deadline.hasExpired()) {
      // `process` ends the script. An answer that accepted the mail has
      // come: it went out, whatever the goodbye.
      if (reports.accepted()) return true;
      const QString seconds = QString::number(limit() / 1000.0);
      if (reports.unanswered()) {
        const QString why = stop ? kStoppedUnconfirmed : kUnconfirmedFor.arg(seconds);
        return fail(why, QStringLiteral("The mail script was ended: %1").arg(why), MailNotSent::Unconfirmed);
      }
      if (stop) return fail(kStopped, QStringLiteral("The mail script was stopped."), MailNotSent::Stopped);
      return fail(kSilentFor.arg(seconds),
                  QStringLiteral("The mail script was silent too long and was stopped."),
                  MailNotSent::Failed);
    }
    const qint64 left = deadline.isForever() ? kPollMs : std::max<qint64>(1, deadline.remainingTime());
    process.readFor(static_cast<int>(std::min<qint64>(kPollMs, left)));
  }
  // What the script wrote just before it ended (its reason above all) may
  // still lie in the pipe when the loop sees the end.
  process.readFor(0);
  reports.take(process.takeOut());
  if (process.exitCode() == 0 || reports.accepted()) return true;
  mailAtFault_ = process.exitCode() == kMailAtFault;
  QString reason = reports.failure();
  if (reason.isEmpty()) {
    reason = process.exitCode() >= 0
                 ? QStringLiteral("The mail sending script failed (exit status %1).").arg(process.exitCode())
                 : QStringLiteral("The mail sending script ended unexpectedly.");
  }
  return fail(reason, QStringLiteral("The mail was not sent: %1").arg(reason),
              reports.unanswered() ? MailNotSent::Unconfirmed : MailNotSent::Failed);
}

}  // namespace production

bool sendEmail_pyth(const QString& toAddress, const QString& subject, const QStringList& attachments,
                    const QString& sender, const QString& pwd, const QString& smtp, const QString& port,
                    const QString& body, const QString& enable_ssl) {
  production::MailScript script;
  return script.send({sender, pwd, smtp, port, enable_ssl}, {toAddress, subject, body, attachments});
}
