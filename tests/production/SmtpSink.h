#pragma once
// A local SMTP server for tests: aiosmtpd on 127.0.0.1 at a port the system
// gives it as it binds (so that no sink of another test can hold the same),
// storing what it receives in a Maildir. Started by the constructor, killed
// by the destructor.

#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "platform/ChildProcess.h"
#include "support/HangGuard.h"

namespace testing_support {

// A socket on 127.0.0.1 that accepts connections (the system's backlog)
// and never says a word. Closed by the destructor.
class SilentListener {
 public:
  SilentListener();
  ~SilentListener();
  SilentListener(const SilentListener&) = delete;
  SilentListener& operator=(const SilentListener&) = delete;
  quint16 port() const { return port_; }  // 0 when it could not listen

 private:
  int fd_ = -1;
  quint16 port_ = 0;
};

// A TCP port on 127.0.0.1 where nothing listens, held until the test
// program ends so that nothing else can: a connection there is refused.
quint16 freeLocalPort();

// An interpreter for the mail script, written into `dir`, that runs it with
// the silence and answer limits given in seconds ("" keeps the script's
// own; the program never changes them). Empty when it cannot be written.
QString pythonWithMailLimits(const QString& dir, const QString& silence, const QString& answer = QString());
// An interpreter for the mail script, written into `dir`, whose address
// space is limited to `megabytes`: a script whose memory grows without
// bound dies at once instead of filling the machine.
QString pythonWithMemoryLimit(const QString& dir, int megabytes);

class SmtpSink {
 public:
  // With `acceptLogins` the sink offers AUTH (without TLS) and records each
  // login it is given.
  explicit SmtpSink(bool acceptLogins = false);
  // A sink of its own, one connection at a time, that behaves as the test
  // chooses and tells what happened (events()).
  struct Conduct {
    int readBytesPerSecond = 0;     // pace of reading the mail text; 0: as it comes
    bool stopsReading = false;      // stops reading once the text has begun
    int receiveBuffer = 4096;       // bytes
    int answerAfterSeconds = 0;     // holds its answer to the whole mail; -1: for ever
    bool silentFromMailOn = false;  // says nothing from the sender's address on
    bool floods = false;            // greets with lines without end
    // Stops reading once the text has begun ("pausing") until resume().
    bool pausesReadingUntilResumed = false;
    bool refusesMails = false;    // answers 554 to each whole mail ("refused"), storing nothing
    bool offersSmtpUtf8 = false;  // takes addresses beyond ASCII (else refuses them, 553)
  };
  explicit SmtpSink(const Conduct& conduct);
  // A sink that turns every mail away: it refuses each login (offering AUTH
  // without TLS), or each recipient, or offers STARTTLS with a certificate
  // of its own making that nobody vouches for.
  enum class Trouble { RefusesLogins, RefusesRecipients, UnverifiableCertificate };
  explicit SmtpSink(Trouble trouble);
  ~SmtpSink();
  SmtpSink(const SmtpSink&) = delete;
  SmtpSink& operator=(const SmtpSink&) = delete;

  // Empty when the sink runs; otherwise why it does not.
  const QString& error() const { return error_; }
  quint16 port() const { return port_; }

  // The received mails, oldest first, as read by Python's email package:
  // {"from","to","subject","body","mailfrom","rcptto","headers":[names],
  //  "attachments":[{"name","type","data" (base64)}],
  //  "longestLine": characters of the longest line of the mail as stored}.
  QJsonArray messages() const;
  // The logins received, oldest first: {"mechanism","login","password"}.
  QJsonArray logins() const;
  // What a sink of its own saw, oldest first: each command line it was
  // given, "stored" (a whole mail), "answered" (250 to it) and "closed".
  QStringList events() const;
  // Lets a sink that pauses go on reading.
  void resume() const;
  // Waits until an event starts with `event`; false after `guardMs` (a hang).
  bool waitFor(const QString& event, int guardMs = testing_support::kHangGuardMs) const;

 private:
  void start(const QStringList& arguments);

  QTemporaryDir dir_;
  std::unique_ptr<platform::ChildProcess> server_;  // ended by its destructor
  quint16 port_ = 0;
  QString error_;
};

}  // namespace testing_support
