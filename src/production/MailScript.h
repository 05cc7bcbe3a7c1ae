#pragma once
// The mail script call: runs resources/pyth_mail.py once for one mail and
// answers whether the server took it. The call blocks the calling thread.
//
// The interpreter gets its arguments as a list (no shell ever parses them)
// and an environment of only PYTHONPATH="" and PATH. The password, the
// names, the recipient, the subject and the body go on its standard input,
// so that none of them shows in a process listing; the arguments hold the
// sender's address, the server, the port, the SSL flag and the attachments.

#include <QString>
#include <QStringList>
#include <atomic>
#include <optional>

namespace production {

struct MailAccount {
  QString sender;  // one mailbox (MailAddresses.h)
  QString password;
  QString server;
  QString port;
  QString enableSsl;  // "Y" for SSL, "N" for STARTTLS
};

struct MailMessage {
  QString recipient;  // one mailbox (MailAddresses.h)
  QString subject;
  QString body;
  QStringList attachments;  // file paths, in order
};

// How a send that did not go out ended.
enum class MailNotSent {
  Failed,       // refused, or the server could not be reached: not delivered
  Stopped,      // stopped before the server had the whole mail: not delivered
  Unconfirmed,  // the server took the whole mail but did not confirm it (it fell
                // silent, or sending was stopped): it may have been delivered
};

// What a send tells its caller while it runs, on the sending thread.
class MailSendWatch {
 public:
  virtual ~MailSendWatch() = default;
  // Polled while the send runs: true ends the mail under way.
  virtual bool stopRequested() { return false; }
  // The server has taken the whole mail; the send waits for its answer.
  virtual void awaitingAnswer() {}
};

// Sends one mail. Implemented by the script runner; tests may stand in.
class MailTransport {
 public:
  virtual ~MailTransport() = default;
  virtual bool send(const MailAccount& account, const MailMessage& message) = 0;
  // Asks the server, before any mail, what it offers: the extensions its
  // greeting names ("SMTPUTF8", ...), as a mail finds them after STARTTLS
  // and the login. Nothing when the server could not be asked; lastFailure()
  // and lastNotSent() then say why. One that cannot ask offers nothing.
  virtual std::optional<QStringList> serverExtensions(const MailAccount& account) {
    (void)account;
    return QStringList();
  }
  // Why the last send failed, in plain words on one line ("The server
  // refused the login (535 ...)."); empty when it did not fail or nobody
  // knows. Read on the thread that sent.
  virtual QString lastFailure() const { return QString(); }
  // How the last send that gave false ended. Read on the thread that sent.
  virtual MailNotSent lastNotSent() const { return MailNotSent::Failed; }
  // Whether the last failure lies in the mail itself (a recipient refused or
  // not usable, an attachment that cannot be read), so that the mail
  // settings and the connection are not to blame. Read on the thread that sent.
  virtual bool lastFailureIsTheMails() const { return false; }
  // Called from another thread when the program gives up on the run (the
  // mail dialog goes away): a mail under way and every later one fail.
  virtual void cancel() {}
  // The caller's watch over the sends that follow (nullptr: none), set on
  // the sending thread between sends; the caller keeps it alive meanwhile.
  void setWatch(MailSendWatch* watch) { watch_ = watch; }

 protected:
  MailSendWatch* watch() const { return watch_; }

 private:
  MailSendWatch* watch_ = nullptr;
};

class MailScript : public MailTransport {
 public:
  // The longest the script may say nothing before the server has taken the
  // whole mail (its own silence limit is a minute), and after that, while
  // the server's answer is awaited (the script's own limit is ten minutes).
  static constexpr int kDefaultTimeoutMs = 180'000;
  static constexpr int kAnswerTimeoutMs = 660'000;

  // The script in the shipped resources, else in the resource folder.
  static QString defaultScriptPath();

  explicit MailScript(QString scriptPath = defaultScriptPath(),
                      QString interpreter = QStringLiteral("/usr/bin/python3"),
                      int timeoutMs = kDefaultTimeoutMs);

  // True when the server accepted the mail. A missing interpreter or
  // script, a crash, a script that says nothing for longer than the time
  // limit (it is then killed) or a stop of the watch count as a failed send;
  // an upload that the server still takes runs as long as it needs.
  bool send(const MailAccount& account, const MailMessage& message) override;
  // Runs the script to ask the server (connect, STARTTLS, login, the
  // extensions, goodbye), with the limits and the stop of a send.
  std::optional<QStringList> serverExtensions(const MailAccount& account) override;
  // The script's own reason ("failed ..." on its output), or ours.
  QString lastFailure() const override { return failure_; }
  MailNotSent lastNotSent() const override { return notSent_; }
  bool lastFailureIsTheMails() const override { return mailAtFault_; }
  // Kills a script under way; later sends fail at once. Any thread.
  void cancel() override { cancelled_.store(true); }

  // The argument list given to the interpreter, script path first: the
  // sender's address alone (the login as typed, the sender as the server is
  // given it, serverAddress in MailAddresses.h); where the recipient, the
  // subject and the body once went stands "-" (they are on the standard
  // input).
  QStringList arguments(const MailAccount& account, const MailMessage& message) const;
  // The standard input: the password line, the line "Description", then one
  // field after another, each as "<name> <length in bytes>\n<UTF-8 text>\n":
  // "from-name", "to" (in the form serverAddress gives), "to-name",
  // "subject" and "body"; to ask the server instead, only "probe"
  // ("extensions").
  static QByteArray input(const MailAccount& account, const MailMessage& message);
  static QByteArray probeInput(const MailAccount& account);

 private:
  class Reports;
  // Clears what the last call left and checks what needs no script: a stop,
  // the script, the password, the mailboxes (the recipient's unless
  // `recipient` is null). False with the reason set.
  bool readyToRun(const MailAccount& account, const QString* recipient);
  // Runs the script with `args` and `input` until it ends, is stopped or
  // stays silent too long; true when it ended well (or the server accepted
  // the mail), false with the reason set.
  bool runScript(const QStringList& args, const QByteArray& input, Reports& reports);
  bool fail(const QString& reason, const QString& logLine, MailNotSent how);

  QString scriptPath_;
  QString interpreter_;
  int timeoutMs_;
  std::atomic<bool> cancelled_{false};
  QString failure_;
  MailNotSent notSent_ = MailNotSent::Failed;
  bool mailAtFault_ = false;
};

}  // namespace production

// One mail through the default script; the signature of the program's
// mail call (recipient, subject, attachments, sender, password, server,
// port, body, SSL flag).
bool sendEmail_pyth(const QString& toAddress, const QString& subject, const QStringList& attachments,
                    const QString& sender, const QString& pwd, const QString& smtp, const QString& port,
                    const QString& body, const QString& enable_ssl);
