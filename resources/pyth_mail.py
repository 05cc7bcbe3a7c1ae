#!/usr/bin/python3
"""Sends one e-mail through an SMTP server.

Usage: pyth_mail.py SENDER SERVER PORT FROM TO SUBJECT BODY SSL [ATTACHMENT ...]

SSL is "Y" for a connection that is encrypted from the start (SMTP over SSL);
any other value asks for STARTTLS. Standard input holds the password on its
first line (UTF-8); the rest of the input is ignored.

The password never travels unencrypted: without SSL and without STARTTLS
offered by the server, the mail is only sent to a server on this machine.
Exit status 0 means the server accepted the mail; anything else means it did
not, with the reason on standard error.

Standard output carries one line for each step of the conversation with the
server: "reply CODE" for each answer, "sent BYTES" for each piece of the
mail handed to the connection and "taken BYTES" whenever the server has
taken more of what was handed over. The program that runs this script
reads these lines to tell a slow upload from a server that has gone quiet.
"""

import base64
import mimetypes
import os
import smtplib
import socket
import ssl
import sys
import threading
from email.message import EmailMessage
from email.utils import make_msgid, formatdate

TIMEOUT_SECONDS = 60
MAX_PASSWORD_BYTES = 4096
# The mail goes to the connection in pieces of this size: each piece has the
# whole time-out for itself, so a large attachment on a slow line is not
# given up while it moves, and each piece is reported.
PIECE_BYTES = 64 * 1024
WATCH_SECONDS = 0.25

try:
    import fcntl
    import termios
    UNSENT_QUERY = termios.TIOCOUTQ
except (ImportError, AttributeError):
    UNSENT_QUERY = None

_report_lock = threading.Lock()


def report(text):
    with _report_lock:
        try:
            sys.stdout.write(text + "\n")
            sys.stdout.flush()
        except (OSError, ValueError):
            pass


def fail(status, reason):
    sys.stderr.write("pyth_mail: %s\n" % reason)
    sys.exit(status)


def one_line(text):
    """Header text on one line: line breaks of every kind (also the Unicode
    line and paragraph separators, which would otherwise make the mail
    library refuse the header) become blanks."""
    return " ".join(text.splitlines())


def check_address(name, address):
    if (not address or any(ord(c) < 32 for c in address)
            or len(address.splitlines()) > 1):
        fail(2, "the %s address is empty or holds control characters" % name)
    return address.strip()


def read_password():
    data = sys.stdin.buffer.read(MAX_PASSWORD_BYTES)
    line = data.split(b"\n", 1)[0]
    return line.rstrip(b"\r").decode("utf-8", errors="strict")


def is_local(host):
    try:
        infos = socket.getaddrinfo(host, None)
    except OSError:
        return False
    for info in infos:
        addr = info[4][0]
        if not (addr.startswith("127.") or addr == "::1"):
            return False
    return bool(infos)


def build_message(sender, recipient, subject, body, attachments):
    msg = EmailMessage()
    msg["From"] = sender
    msg["To"] = recipient
    msg["Subject"] = one_line(subject)
    msg["Date"] = formatdate(localtime=True)
    msg["Message-ID"] = make_msgid()
    msg.set_content(body)
    for path in attachments:
        try:
            with open(path, "rb") as handle:
                data = handle.read()
        except OSError as error:
            fail(3, "cannot read the attachment %r: %s" % (path, error.strerror))
        ctype, encoding = mimetypes.guess_type(path)
        if ctype is None or encoding is not None:
            ctype = "application/octet-stream"
        maintype, subtype = ctype.split("/", 1)
        msg.add_attachment(data, maintype=maintype, subtype=subtype,
                           filename=one_line(os.path.basename(path)))
    return msg


def login(smtp, user, password):
    """Logs in; a user name or password outside ASCII goes as UTF-8 through
    the PLAIN mechanism, which carries UTF-8 as it is."""
    try:
        user.encode("ascii")
        password.encode("ascii")
    except UnicodeEncodeError:
        token = b"\0" + user.encode("utf-8") + b"\0" + password.encode("utf-8")
        code, answer = smtp.docmd("AUTH", "PLAIN " + base64.b64encode(token).decode("ascii"))
        if code != 235:
            raise smtplib.SMTPAuthenticationError(code, answer)
        return
    smtp.login(user, password)


class Reporting:
    """Reports the conversation with the server on standard output (see the
    top of this file) and hands the mail over in pieces."""

    def send(self, s):
        if isinstance(s, str):
            s = s.encode(self.command_encoding)
        view = memoryview(s)
        for start in range(0, len(view), PIECE_BYTES):
            piece = view[start:start + PIECE_BYTES]
            super().send(piece)
            report("sent %d" % len(piece))

    def getreply(self):
        code, message = super().getreply()
        report("reply %d" % code)
        return code, message


class ReportingSMTP(Reporting, smtplib.SMTP):
    pass


class ReportingSMTP_SSL(Reporting, smtplib.SMTP_SSL):
    pass


def unsent_bytes(smtp):
    """Bytes handed to the connection that the server has not taken yet, or
    None where the system does not tell."""
    sock = smtp.sock
    if UNSENT_QUERY is None or sock is None:
        return None
    try:
        answer = fcntl.ioctl(sock.fileno(), UNSENT_QUERY, b"\0\0\0\0")
    except (OSError, ValueError):
        return None
    return int.from_bytes(answer, sys.byteorder, signed=True)


def watch_uploads(smtp, finished):
    """Reports the server taking the mail while the script waits on a full
    connection or for the answer to the mail text: what it takes from the
    system's send queue is progress, however long the queue is."""
    last = None
    while not finished.wait(WATCH_SECONDS):
        unsent = unsent_bytes(smtp)
        if unsent is None:
            continue
        if last is not None and unsent < last:
            report("taken %d" % (last - unsent))
        last = unsent


def connect(server, port, use_ssl):
    context = ssl.create_default_context()
    if use_ssl:
        return ReportingSMTP_SSL(server, port, timeout=TIMEOUT_SECONDS, context=context)
    smtp = ReportingSMTP(server, port, timeout=TIMEOUT_SECONDS)
    smtp.ehlo()
    if smtp.has_extn("starttls"):
        smtp.starttls(context=context)
        smtp.ehlo()
    elif not is_local(server):
        smtp.close()
        fail(4, "the server offers no STARTTLS; the password is not sent unencrypted")
    return smtp


def main(argv):
    if len(argv) < 9:
        fail(2, "usage: pyth_mail.py SENDER SERVER PORT FROM TO SUBJECT BODY SSL [ATTACHMENT ...]")
    login_name, server, port_text, sender, recipient, subject, body, ssl_flag = argv[1:9]
    attachments = argv[9:]
    login_name = check_address("sender", login_name)
    sender = check_address("sender", sender)
    recipient = check_address("recipient", recipient)
    if not server or any(ord(c) < 33 for c in server):
        fail(2, "the server name is empty or holds blanks")
    try:
        port = int(port_text.strip())
    except ValueError:
        fail(2, "the port %r is not a number" % port_text)
    if not 0 < port < 65536:
        fail(2, "the port %d is out of range" % port)
    try:
        password = read_password()
    except UnicodeDecodeError:
        fail(2, "the password is not valid text")

    msg = build_message(sender, recipient, subject, body, attachments)
    try:
        smtp = connect(server, port, ssl_flag == "Y")
        finished = threading.Event()
        watcher = threading.Thread(target=watch_uploads, args=(smtp, finished), daemon=True)
        watcher.start()
        try:
            smtp.ehlo_or_helo_if_needed()
            if smtp.has_extn("auth") and password:
                login(smtp, login_name, password)
            refused = smtp.send_message(msg, from_addr=sender, to_addrs=[recipient])
        finally:
            finished.set()
            watcher.join()
            try:
                smtp.quit()
            except (smtplib.SMTPException, OSError):
                smtp.close()
    except (smtplib.SMTPException, OSError, ValueError) as error:
        fail(1, "sending failed: %s" % error)
    if refused:
        fail(1, "the server refused the recipient")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
