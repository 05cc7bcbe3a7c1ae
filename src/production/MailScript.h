#pragma once
// The mail script call: runs resources/pyth_mail.py once for one mail and
// answers whether the server took it. The call blocks the calling thread.
//
// The interpreter gets its arguments as a list (no shell ever parses them),
// an environment of only PYTHONPATH="" and PATH, and the password on its
// standard input, so the password never shows in a process listing.

#include <QString>
#include <QStringList>
#include <atomic>

namespace production {

struct MailAccount {
  QString sender;
  QString password;
  QString server;
  QString port;
  QString enableSsl;  // "Y" for SSL, "N" for STARTTLS
};

struct MailMessage {
  QString recipient;
  QString subject;
  QString body;
  QStringList attachments;  // file paths, in order
};

// Sends one mail. Implemented by the script runner; tests may stand in.
class MailTransport {
 public:
  virtual ~MailTransport() = default;
  virtual bool send(const MailAccount& account, const MailMessage& message) = 0;
  // Why the last send failed, in plain words on one line ("The server
  // refused the login (535 ...)."); empty when it did not fail or nobody
  // knows. Read on the thread that sent.
  virtual QString lastFailure() const { return QString(); }
  // Called from another thread when the program gives up on the run (the
  // mail dialog goes away): a mail under way and every later one fail.
  virtual void cancel() {}
};

class MailScript : public MailTransport {
 public:
  // The longest silence of the server that a send waits out.
  static constexpr int kDefaultTimeoutMs = 180'000;

  // The script in the shipped resources, else in the resource folder.
  static QString defaultScriptPath();

  explicit MailScript(QString scriptPath = defaultScriptPath(),
                      QString interpreter = QStringLiteral("/usr/bin/python3"),
                      int timeoutMs = kDefaultTimeoutMs);

  // True when the script ended normally with status 0. A missing
  // interpreter or script, a crash, or a conversation with the server that
  // is silent for longer than the time limit (no answer, nothing of the
  // mail taken: the script is then killed) count as a failed send; an
  // upload that the server still takes runs as long as it needs.
  bool send(const MailAccount& account, const MailMessage& message) override;
  // The script's own reason ("failed ..." on its output), or ours.
  QString lastFailure() const override { return failure_; }
  // Kills a script under way; later sends fail at once. Any thread.
  void cancel() override { cancelled_.store(true); }

  // The argument list given to the interpreter, script path first.
  QStringList arguments(const MailAccount& account, const MailMessage& message) const;

 private:
  QString scriptPath_;
  QString interpreter_;
  int timeoutMs_;
  std::atomic<bool> cancelled_{false};
  QString failure_;
};

}  // namespace production

// One mail through the default script; the signature of the program's
// mail call (recipient, subject, attachments, sender, password, server,
// port, body, SSL flag).
bool sendEmail_pyth(const QString& toAddress, const QString& subject, const QStringList& attachments,
                    const QString& sender, const QString& pwd, const QString& smtp, const QString& port,
                    const QString& body, const QString& enable_ssl);
