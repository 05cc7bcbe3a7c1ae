#include "SmtpSink.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QJsonDocument>
#include <QThread>

#include "support/HangGuard.h"

namespace testing_support {

namespace {

sockaddr_in loopback(quint16 port) {
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(port);
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return addr;
}

}  // namespace

SilentListener::SilentListener() {
  fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
  if (fd_ < 0) return;
  sockaddr_in addr = loopback(0);
  socklen_t len = sizeof addr;
  if (::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd_, 8) != 0 ||
      ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
    return;
  }
  port_ = ntohs(addr.sin_port);
}

SilentListener::~SilentListener() {
  if (fd_ >= 0) ::close(fd_);
}

quint16 freeLocalPort() {
  // Bound without listening, and kept so: a connection there is refused,
  // and no other program (a sink of a test running beside this one) can
  // take the port and answer in its place.
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr = loopback(0);
  socklen_t len = sizeof addr;
  if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
    if (fd >= 0) ::close(fd);
    return 0;
  }
  return ntohs(addr.sin_port);  // the descriptor stays open until the test program ends
}

QString pythonWithMemoryLimit(const QString& dir, int megabytes) {
  const QString path = dir + "/python-with-memory-limit-" + QString::number(megabytes);
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly)) return {};
  f.write("#!/bin/sh\nulimit -v " + QByteArray::number(megabytes * 1024) +
          "\nexec /usr/bin/python3 \"$@\"\n");
  f.close();
  f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  return path;
}

QString pythonWithMailLimits(const QString& dir, const QString& silence, const QString& answer) {
  const QString path = dir + "/python-with-mail-limits-" + silence + "-" + answer;
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly)) return {};
  f.write("#!/bin/sh\nQUVO_MAIL_SILENCE_SECONDS=" + silence.toUtf8() +
          " QUVO_MAIL_ANSWER_SECONDS=" + answer.toUtf8() + " exec /usr/bin/python3 \"$@\"\n");
  f.close();
  f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  return path;
}

// Every sink listens on a port the system gives it when it binds, and says
// "listening PORT" on its output once it listens: a port chosen before the
// sink starts could be given to a sink of another test running at the same
// moment, and a test would then send to the other's sink (which its test
// ends under it). The aiosmtpd sinks below start with this.
const char* kAiosmtpdSink = R"PY(
import socket, sys, time
from aiosmtpd.controller import Controller
from aiosmtpd.handlers import Mailbox
class OwnPort(Controller):
    def _create_server(self):
        listener = socket.socket()
        listener.bind((self.hostname, 0))
        self.port = listener.getsockname()[1]
        return self.loop.create_server(self._factory_invoker, sock=listener, ssl=self.ssl_context)
def serve(handler, **options):
    # (The start is given as long as a busy machine needs.)
    controller = OwnPort(handler, hostname="127.0.0.1", ready_timeout=300, **options)
    controller.start()
    print("listening %d" % controller.port, flush=True)
    while True:
        time.sleep(3600)
)PY";

// A sink that stores every mail.
const char* kPlainServer = R"PY(
serve(Mailbox(sys.argv[1]))
)PY";

// A sink that offers AUTH without TLS and writes each login to a file.
const char* kLoginServer = R"PY(
import json
from aiosmtpd.smtp import AuthResult
maildir, logins = sys.argv[1], sys.argv[2]
def authenticate(server, session, envelope, mechanism, data):
    with open(logins, "a", encoding="utf-8") as out:
        out.write(json.dumps({"mechanism": mechanism, "login": data.login.decode("utf-8"),
                              "password": data.password.decode("utf-8")}) + "\n")
    return AuthResult(success=True)
serve(Mailbox(maildir), authenticator=authenticate, auth_require_tls=False)
)PY";

// A sink of its own, one connection at a time, that reads the text of each
// mail at a chosen pace (or stops reading it, for good or until the test
// lets it go on), holds its answer to the mail (or never gives it), falls
// silent at the sender's address, refuses each whole mail (554), or greets
// with lines without end. It offers SMTPUTF8 only when asked to (and then
// takes addresses beyond ASCII; otherwise it refuses them). The mails go into a
// Maildir with the envelope headers the aiosmtpd sink adds; what happens
// goes to an event file, a line each, with the reason a connection ended
// otherwise than by QUIT.
const char* kConductServer = R"PY(
import mailbox, os, socket, sys, time, traceback
maildir, events = sys.argv[1], sys.argv[2]
rate, stops, buffer, hold, quiet, flood, pauses, refuse, utf8 = (int(a) for a in sys.argv[3:12])
resume = events + ".resume"
box = mailbox.Maildir(maildir, create=True)
log = open(events, "a", buffering=1)
server = socket.socket()
server.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, buffer)
server.bind(("127.0.0.1", 0))
server.listen(8)
print("listening %d" % server.getsockname()[1], flush=True)
STEP = 1024
def serve(conn):
    data, sender, recipients = b"", "", []
    def line():
        nonlocal data
        while b"\r\n" not in data:
            chunk = conn.recv(4096)
            if not chunk:
                raise EOFError
            data += chunk
        first, data = data.split(b"\r\n", 1)
        first = first.decode("utf-8", "replace")
        log.write(first + "\n")
        return first
    def silent():
        while conn.recv(4096):
            pass
        raise EOFError
    if flood:
        log.write("flooding\n")
        lines = b"220-sink greets you at length\r\n" * 1024
        while True:
            conn.sendall(lines)
    conn.sendall(b"220 sink\r\n")
    while True:
        command = line()
        verb = command[:4].upper()
        if quiet and verb == "MAIL":
            while True:
                line()
        address = command.partition("<")[2].partition(">")[0]
        if verb in ("EHLO", "HELO"):
            conn.sendall(b"250-sink\r\n250-8BITMIME\r\n250 SMTPUTF8\r\n" if utf8 else
                         b"250-sink\r\n250 8BITMIME\r\n")
        elif verb in ("MAIL", "RCPT") and not (utf8 or address.isascii()):
            conn.sendall(b"553 5.6.7 Address not plain ASCII\r\n")
        elif verb == "MAIL":
            sender, recipients = address, []
            conn.sendall(b"250 OK\r\n")
        elif verb == "RCPT":
            recipients.append(address)
            conn.sendall(b"250 OK\r\n")
        elif verb == "DATA":
            conn.sendall(b"354 go on\r\n")
            while stops:
                time.sleep(3600)
            if pauses:
                log.write("pausing\n")
                while not os.path.exists(resume):
                    time.sleep(0.02)
            while not (b"\r\n.\r\n" in data or data.startswith(b".\r\n")):
                chunk = conn.recv(STEP)
                if not chunk:
                    raise EOFError
                data += chunk
                if rate:
                    time.sleep(len(chunk) / rate)
            text, data = data.split(b"\r\n.\r\n", 1) if b"\r\n.\r\n" in data else (b"", data[3:])
            if refuse:
                conn.sendall(b"554 5.7.1 Message refused as spam\r\n")
                log.write("refused\n")
                continue
            lines = [l[1:] if l.startswith(b".") else l for l in text.split(b"\r\n")]
            envelope = "X-MailFrom: %s\r\nX-RcptTo: %s\r\n" % (sender, ", ".join(recipients))
            box.add(envelope.encode() + b"\r\n".join(lines) + b"\r\n")
            log.write("stored\n")
            if hold < 0:
                silent()
            time.sleep(hold)
            conn.sendall(b"250 OK\r\n")
            log.write("answered\n")
        elif verb == "QUIT":
            conn.sendall(b"221 bye\r\n")
            return
        else:
            conn.sendall(b"250 OK\r\n")
while True:
    conn, peer = server.accept()
    log.write("connected %s:%d\n" % peer)
    try:
        serve(conn)
    except EOFError:
        log.write("ended by the client\n")
    except Exception as error:
        log.write("error %s\n" % " | ".join(traceback.format_exception_only(error)).strip())
    conn.close()
    log.write("closed\n")
)PY";

// A sink that refuses logins, refuses recipients, or offers STARTTLS with a
// self-signed certificate.
const char* kTroubleServer = R"PY(
import ssl, subprocess
from aiosmtpd.smtp import AuthResult
maildir, trouble = sys.argv[1], sys.argv[2]
class Refusing(Mailbox):
    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if trouble == "recipients":
            return "550 5.1.1 No such mailbox here"
        envelope.rcpt_tos.append(address)
        return "250 OK"
options = {}
if trouble == "logins":
    options = dict(authenticator=lambda *args: AuthResult(success=False, handled=False),
                   auth_require_tls=False)
elif trouble == "certificate":
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1",
                    "-subj", "/CN=127.0.0.1", "-keyout", maildir + ".key", "-out", maildir + ".pem"],
                   check=True, capture_output=True)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(maildir + ".pem", maildir + ".key")
    options = dict(tls_context=context)
serve(Refusing(maildir), **options)
)PY";

SmtpSink::SmtpSink(bool acceptLogins) {
  if (acceptLogins)
    start({"-c", QString(kAiosmtpdSink) + kLoginServer, dir_.path() + "/maildir", dir_.path() + "/logins"});
  else
    start({"-c", QString(kAiosmtpdSink) + kPlainServer, dir_.path() + "/maildir"});
}

SmtpSink::SmtpSink(const Conduct& c) {
  start({"-c", kConductServer, dir_.path() + "/maildir", dir_.path() + "/events",
         QString::number(c.readBytesPerSecond), QString::number(c.stopsReading),
         QString::number(c.receiveBuffer), QString::number(c.answerAfterSeconds),
         QString::number(c.silentFromMailOn), QString::number(c.floods),
         QString::number(c.pausesReadingUntilResumed), QString::number(c.refusesMails),
         QString::number(c.offersSmtpUtf8)});
}

void SmtpSink::resume() const {
  QFile file(dir_.path() + "/events.resume");
  (void)file.open(QIODevice::WriteOnly);
}

QStringList SmtpSink::events() const {
  QFile file(dir_.path() + "/events");
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

bool SmtpSink::waitFor(const QString& event, int guardMs) const {
  QDeadlineTimer guard(guardMs);
  while (!events().join('\n').prepend('\n').contains('\n' + event)) {
    if (guard.hasExpired()) return false;
    QThread::msleep(20);
  }
  return true;
}

SmtpSink::SmtpSink(Trouble trouble) {
  const char* what = trouble == Trouble::RefusesLogins       ? "logins"
                     : trouble == Trouble::RefusesRecipients ? "recipients"
                                                             : "certificate";
  start({"-c", QString(kAiosmtpdSink) + kTroubleServer, dir_.path() + "/maildir", what});
}

// Starts python3 with the arguments and waits until the sink says on which
// port it listens. Its errors go to the test's own error output.
void SmtpSink::start(const QStringList& arguments) {
  server_ = std::make_unique<platform::ChildProcess>(
      "/usr/bin/python3", arguments,
      platform::ChildOptions{.output = platform::ChildOutput::ErrorsForwarded});
  if (!server_->started()) {
    error_ = "the SMTP sink could not be started (is python3-aiosmtpd installed?)";
    return;
  }
  QDeadlineTimer guard(testing_support::kHangGuardMs);  // python starts in well under a second
  while (!guard.hasExpired() && server_->running() && !server_->out().contains('\n')) server_->readFor(100);
  const QByteArray said = server_->out();
  if (said.startsWith("listening ") && said.endsWith('\n')) {
    port_ = static_cast<quint16>(said.mid(10).trimmed().toUInt());
    return;
  }
  error_ = "the SMTP sink did not listen: " + QString::fromUtf8(said);
  server_.reset();  // ends it
}

SmtpSink::~SmtpSink() = default;

QJsonArray SmtpSink::logins() const {
  QFile file(dir_.path() + "/logins");
  QJsonArray out;
  if (!file.open(QIODevice::ReadOnly)) return out;
  for (const QByteArray& line : file.readAll().split('\n'))
    if (!line.trimmed().isEmpty()) out.append(QJsonDocument::fromJson(line).object());
  return out;
}

QJsonArray SmtpSink::messages() const {
  static const char* kReader = R"PY(
import base64, email, email.policy, json, mailbox, re, sys
box = mailbox.Maildir(sys.argv[1], factory=None, create=False)
def order(key):
    m = re.match(r"(\d+)\.M(\d+)", key)
    return (int(m.group(1)), int(m.group(2))) if m else (0, 0)
out = []
for key in sorted(box.keys(), key=order):
    raw = box.get_bytes(key)
    m = email.message_from_bytes(raw, policy=email.policy.default)
    body = m.get_body(preferencelist=('plain',))
    atts = [{"name": a.get_filename(), "type": a.get_content_type(),
             "data": base64.b64encode(a.get_payload(decode=True)).decode()} for a in m.iter_attachments()]
    out.append({"from": str(m["From"]), "to": str(m["To"]), "subject": str(m["Subject"]),
                "body": body.get_content() if body else "", "mailfrom": str(m["X-MailFrom"]),
                "rcptto": str(m["X-RcptTo"]), "date": str(m["Date"]),
                "longestLine": max(len(l.rstrip(b"\r")) for l in raw.split(b"\n")),
                "headers": list(m.keys()), "attachments": atts})
print(json.dumps(out))
)PY";
  const platform::ChildResult reader = platform::runChild(
      "/usr/bin/python3", {"-c", kReader, dir_.path() + "/maildir"}, {}, testing_support::kHangGuardMs);
  if (reader.exitCode != 0) return {};
  return QJsonDocument::fromJson(reader.out).array();
}

}  // namespace testing_support
