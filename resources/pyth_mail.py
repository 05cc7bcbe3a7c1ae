#!/usr/bin/python3
"""Sends one e-mail through an SMTP server.

Usage: pyth_mail.py SENDER SERVER PORT FROM - - - SSL [ATTACHMENT ...]

SENDER is the address the script logs in with, FROM the sender's address
(both the address alone). SSL is "Y" for a connection that is encrypted from
the start (SMTP over SSL); any other value asks for STARTTLS. The three "-"
stand for the recipient, the subject and the body, which come on standard
input with the rest of what no other user of the computer may read in a
process listing:
- the password on the first line (UTF-8);
- a line "Description";
- fields, each as "NAME LENGTH", a line break, LENGTH bytes of UTF-8 text
  and a line break: "to" (the recipient's address), "to-name" and
  "from-name" (the names that go before the addresses; may be empty),
  "subject" and "body".
A field "probe" with the text "extensions" asks for no mail: the script
connects, starts TLS and logs in as it does for a mail, writes the line
"extensions NAME ..." with the extensions the server offers (SMTPUTF8 among
them, or not) on standard output, and says goodbye. The program asks so
once before the first mail of a run that has an address not plain ASCII
before its "@", which only a server with SMTPUTF8 takes.

The password never travels unencrypted: without SSL and without STARTTLS
offered by the server, the mail is only sent to a server on this machine.
Exit status 0 means the server accepted the mail; anything else means it did
not, with the reason on standard error. Exit status 3 says that the mail
itself cannot go (a recipient address that is refused or cannot be used, an
attachment that cannot be read, a mail the server refused once it had all
of it), so that the mail settings are not to blame.

The program that runs this script reads the addresses and names the person
typed, and refuses before its first mail any address that breaks the rules
of address_problem below: the program's reader keeps the same rules, and a
test holds the two to the same verdict for the same cases and for every
character. The script checks again that each address it gives the server
keeps them, and refuses it before connecting otherwise. The program gives
a domain beyond ASCII in its ASCII form (IDNA, "xn--"). The names go into
the From and To lines, encoded as the mail standards say. A mail asks the
server for SMTPUTF8 only when an address itself is not plain ASCII.

Standard output carries one line for each step of the conversation with the
server: "reply CODE" for each answer, "sent BYTES" for each piece of the
mail handed to the connection, "taken BYTES" whenever the server has taken
more of what was handed over, and "handed" once the server has taken the
whole mail, final dot included, and its answer is awaited. The program that
runs this script reads these lines to tell a slow upload from a server that
has gone quiet, and a mail that may have arrived from one that cannot have.
A mail that fails ends with the line "failed REASON", the reason in plain
words for the person who sends (the details go to standard error).

Two time limits count the server's silence, not the whole send:
- the silence limit (a minute) while the conversation goes on and the mail
  is handed over: a wait for the server (to take more of the mail, or to
  answer) goes on as long as the server keeps taking what lies in the
  system's send queue, and fails only after a whole limit in which it took
  nothing and said nothing;
- the answer limit (ten minutes, as the mail standards recommend) once the
  server has taken the whole mail: a server may check a mail for a long time
  before it answers, and giving up earlier makes the sender send it twice.
An answer of the server longer than any server sends (a flood of lines)
ends the mail: it is read within fixed limits and never kept whole.
Until the server has taken the whole mail, a connection that is given up
(or a script that is ended) is reset, so that the part still queued is
dropped and the server cannot take a mail that is reported as not sent.
The environment variables QUVO_MAIL_SILENCE_SECONDS and
QUVO_MAIL_ANSWER_SECONDS change the limits for tests; the program never
sets them.
"""

import base64
import errno
import mimetypes
import os
import re
import smtplib
import socket
import ssl
import stat
import struct
import sys
import time
import unicodedata
from email.message import EmailMessage
from email.utils import make_msgid, formatdate, quote


def limit_seconds(variable, default):
    try:
        seconds = float(os.environ.get(variable, ""))
    except ValueError:
        return default
    return seconds if 0 < seconds <= 3600 else default


SILENCE_SECONDS = limit_seconds("QUVO_MAIL_SILENCE_SECONDS", 60.0)
ANSWER_SECONDS = limit_seconds("QUVO_MAIL_ANSWER_SECONDS", 600.0)
# The goodbye after the server has answered the mail (or refused it) is
# short: nothing depends on its answer.
QUIT_SECONDS = min(SILENCE_SECONDS, 10.0)
# The mail goes to the connection in pieces of at most this size, each
# reported as the connection takes it.
PIECE_BYTES = 64 * 1024
# How often a wait for the server looks at what it has taken.
WATCH_SECONDS = 0.25
# The longest answer taken from the server: no mail server says more (a
# greeting or an EHLO answer has a few dozen lines), while a server that
# streams lines without end would otherwise fill the memory.
MAX_ANSWER_LINES = 300
MAX_ANSWER_BYTES = 256 * 1024
# The characters of plain ASCII that stand in the words of an address (the
# mail standards' atoms); the dot parts the words, the "@" the two parts.
ATOM_ASCII = frozenset("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
                       "!#$%&'*+-/=?^_`{|}~")
# The mail standards' limits of an address (in bytes) and of a header line,
# and the shortest address taken (a@b.cd).
MAX_LOCAL_PART = 64
MAX_ADDRESS = 254
SHORTEST_ADDRESS = 6
MAX_HEADER_LINE = 998
# An encoded word of a name carries at most this many bytes of it, so that
# the word stays within the standards' 75 characters.
ENCODED_WORD_BYTES = 45
# Exit status of a mail that cannot go for a reason of its own (an address,
# an attachment), not for the settings or the connection.
MAIL_AT_FAULT = 3
RESET_ON_CLOSE = struct.pack("ii", 1, 0)
CLOSE_GENTLY = struct.pack("ii", 0, 0)

try:
    import fcntl
    import termios
    UNSENT_QUERY = termios.TIOCOUTQ
except (ImportError, AttributeError):
    UNSENT_QUERY = None


def report(text):
    try:
        sys.stdout.write(text + "\n")
        sys.stdout.flush()
    except (OSError, ValueError):
        pass


def fail(status, reason, detail=None):
    """Ends the script: the reason in plain words for the person who sends
    (the last line of standard output), the details for the log."""
    report("failed " + one_line(reason))
    sys.stderr.write("pyth_mail: %s%s\n" % (reason, "" if detail is None else " (%s)" % detail))
    sys.exit(status)


def one_line(text):
    """Header text on one line: line breaks of every kind (also the Unicode
    line and paragraph separators, which would otherwise make the mail
    library refuse the header) become blanks."""
    return " ".join(text.splitlines())


class Mailbox:
    """A name (may be empty) and an address, as the program read them from
    what the person typed ("Zoë Ådams" and "zoe@example.test")."""

    def __init__(self, name, address):
        self.name = name
        self.address = address

    def international(self):
        return not self.address.isascii()

    def check(self, role, status):
        """Ends the script when the address breaks the rules of
        address_problem; the server would read it as something else, refuse
        it, or cut it."""
        if not self.address:
            fail(status, "The %s address is empty." % role)
        problem = address_problem(self.address)
        if problem:
            fail(status, "The %s address %s cannot be used. %s" % (role, printable(self.address), problem))

    def header(self, field):
        """The header field naming this mailbox, folded here."""
        return FoldedField(field, self.header_words())

    def header_words(self):
        words = []
        if self.name:
            # A name that holds "=?" would read as an encoded word (in
            # quotation marks too, for many mail readers): it goes encoded
            # itself, so that every reader shows it as typed.
            plain = self.name.isascii() and "=?" not in self.name and all(
                len(w) <= 60 and w.isprintable() for w in self.name.split(" "))
            if plain:
                words = quote_phrase(self.name).split(" ")
            else:
                words = encoded_words(self.name)
        return [w for w in words if w] + ["<%s>" % self.address if words else self.address]


def address_problem(address):
    """Why an address (alone, as it goes to the server) cannot be used, in
    the words of the program, which checks the same rules in the same order
    before its first mail (src/production/MailAddresses.cpp, addressProblem);
    None when it can. The rules: no blank inside and no invisible character
    (controls, format characters such as U+200B, U+FEFF or U+202E,
    unassigned code points, ...); in plain ASCII only letters, digits and
    !#$%&'*+-/=?^_`{|}~ besides the dots and the "@"; exactly one "@", with
    a part before and after it; no dot at either end of a part nor two
    together; at least 6 characters, among them a dot; at most 64 bytes
    (UTF-8) before the "@" and 254 in all, also in small letters."""
    if not address:
        return "It is empty."
    for char in address:
        if unicodedata.category(char) == "Zs":
            return "It holds a blank inside the address."
        if not char.isprintable():
            return "It holds the invisible character %s." % code_of(char)
        if char.isascii() and char not in ATOM_ASCII and char not in ".@":
            if char == '"':
                return ("Quotation marks have no place in the address; a name in quotation marks "
                        'goes before it: "name" <address>.')
            return 'It holds "%s", which has no place in an address.' % char
    if "@" not in address:
        return "It is not an address of the form name@example.org."
    if address.count("@") > 1:
        return "It holds more than one address: separate the addresses with commas."
    local, _, domain = address.partition("@")
    if not local:
        return "Nothing stands before the @."
    if not domain:
        return "Nothing stands after the @."
    for part in (local, domain):
        if part.startswith(".") or part.endswith(".") or ".." in part:
            return "A dot begins or ends a part of it, or two dots stand together."
    if len(address) < SHORTEST_ADDRESS:
        return "It is too short: an address has at least 6 characters."
    if "." not in address:
        return "It has no dot: an address reads like name@example.org."

    def size(text):
        return max(len(text.encode("utf-8", "surrogatepass")),
                   len(text.lower().encode("utf-8", "surrogatepass")))

    unit = "has %d characters" if address.isascii() else "takes %d bytes in UTF-8"
    if size(local) > MAX_LOCAL_PART:
        return "It is too long: the part before the @ %s, the mail standards allow %d." % (
            unit % size(local), MAX_LOCAL_PART)
    if size(address) > MAX_ADDRESS:
        return "It is too long: it %s, the mail standards allow %d." % (unit % size(address), MAX_ADDRESS)
    return None


def code_of(char):
    return "U+%04X" % ord(char)


def quote_phrase(name):
    """A name of plain words as the standards' phrase: quoted when it holds
    characters that have a meaning in an address."""
    if re.fullmatch(r"[A-Za-z0-9!#$%&'*+/=?^_`{|}~ -]*", name):
        return name
    return '"%s"' % quote(name)


def encoded_words(name):
    """The name as encoded words (UTF-8, base64), each short enough for a
    line of its own, split between characters."""
    words, piece = [], b""
    for char in name:
        data = char.encode("utf-8")
        if piece and len(piece) + len(data) > ENCODED_WORD_BYTES:
            words.append(piece)
            piece = b""
        piece += data
    if piece:
        words.append(piece)
    return ["=?utf-8?b?%s?=" % base64.b64encode(w).decode("ascii") for w in words]


class FoldedField(str):
    """A From or To field whose folding is done here: the mail library keeps
    a long name without blanks on one line of any length, and the mail
    standards allow at most 998 characters. The words go on lines of at most
    78 characters where they can; none is longer than an address."""

    def __new__(cls, name, words):
        self = super().__new__(cls, " ".join(words))
        self.name = name
        self.words = words
        self.defects = []
        return self

    def fold(self, *, policy):
        lines = [self.name + ":"]
        for word in self.words:
            if len(lines[-1]) + 1 + len(word) > 78 and len(lines[-1]) > len(self.name) + 1:
                lines.append("")
            lines[-1] += " " + word
        if any(len(line) > MAX_HEADER_LINE for line in lines):
            raise ValueError("a %s line longer than %d characters" % (self.name, MAX_HEADER_LINE))
        return policy.linesep.join(lines) + policy.linesep


class InputError(ValueError):
    pass


def read_input():
    """The password and the fields of standard input (see the top)."""
    data = sys.stdin.buffer.read()
    line, _, rest = data.partition(b"\n")
    password = line.rstrip(b"\r").decode("utf-8", errors="strict")
    _, _, rest = rest.partition(b"\n")
    fields = {}
    while rest:
        head, newline, rest = rest.partition(b"\n")
        name, _, length = head.partition(b" ")
        if not newline or not length.isdigit():
            raise InputError("a field without its length")
        size = int(length)
        if len(rest) < size + 1 or rest[size:size + 1] != b"\n":
            raise InputError("the field %r is cut short" % name)
        fields[name.decode("ascii", errors="replace")] = rest[:size].decode("utf-8", errors="strict")
        rest = rest[size + 1:]
    return password, fields


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


class NotAFile(OSError):
    def __init__(self, why):
        super().__init__(errno.EINVAL, why)


def unreadable_reason(error):
    """Why a file cannot be read, in words for the person who sends."""
    if isinstance(error, NotAFile):
        return error.strerror
    if error.errno == errno.ENOENT:
        return "there is no such file"
    if error.errno in (errno.EACCES, errno.EPERM):
        return "permission to read it is denied"
    text = error.strerror or str(error)
    return text[:1].lower() + text[1:]


def printable(text):
    """The text on one line with every character that cannot be seen shown
    by its code ("<U+200B>"), as the program shows it."""
    return "".join(c if c.isprintable() else "<%s>" % code_of(c) for c in text)


def file_name(path):
    """The name of a file as a message names it (a path ending in "/" by
    its last folder)."""
    return printable(os.path.basename(path.rstrip("/")) or path)


def read_regular_file(path):
    """The bytes of a regular file. Anything else (a named pipe, which would
    wait for a writer for ever, a device, a folder) is refused: opened
    without waiting, and the opened file itself is checked."""
    fd = os.open(path, os.O_RDONLY | os.O_NONBLOCK | getattr(os, "O_CLOEXEC", 0))
    try:
        mode = os.fstat(fd).st_mode
        if stat.S_ISFIFO(mode):
            raise NotAFile("it is a named pipe, not a file")
        if stat.S_ISDIR(mode):
            raise NotAFile("it is a folder, not a file")
        if stat.S_ISCHR(mode) or stat.S_ISBLK(mode):
            raise NotAFile("it is a device, not a file")
        if stat.S_ISSOCK(mode):
            raise NotAFile("it is a socket, not a file")
        if not stat.S_ISREG(mode):
            raise NotAFile("it is not a regular file")
        os.set_blocking(fd, True)
        with os.fdopen(fd, "rb") as handle:
            fd = -1
            return handle.read()
    finally:
        if fd >= 0:
            os.close(fd)


def build_message(sender, recipient, subject, body, attachments):
    msg = EmailMessage()
    msg["From"] = sender.header("From")
    msg["To"] = recipient.header("To")
    msg["Subject"] = one_line(subject)
    msg["Date"] = formatdate(localtime=True)
    msg["Message-ID"] = make_msgid()
    msg.set_content(body)
    for path in attachments:
        try:
            data = read_regular_file(path)
        except OSError as error:
            fail(MAIL_AT_FAULT, "The attachment %s cannot be read: %s." % (
                file_name(path), unreadable_reason(error)), "%r: %s" % (path, error))
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


def unsent_bytes(sock):
    """Bytes handed to the connection that the server has not taken yet, or
    None where the system does not tell."""
    if UNSENT_QUERY is None or sock is None:
        return None
    try:
        answer = fcntl.ioctl(sock.fileno(), UNSENT_QUERY, b"\0\0\0\0")
    except (OSError, ValueError):
        return None
    return int.from_bytes(answer, sys.byteorder, signed=True)


def duration_text(seconds):
    if seconds >= 120 and seconds % 60 == 0:
        return "%d minutes" % (seconds // 60)
    return "%g second%s" % (seconds, "" if seconds == 1 else "s")


class Silence(socket.timeout):
    """The server said nothing and took nothing for a whole limit."""

    def __init__(self, seconds, whole_mail_taken):
        super().__init__("the server was silent for %g s" % seconds)
        self.seconds = seconds
        self.whole_mail_taken = whole_mail_taken


class AnswerTooLong(smtplib.SMTPException):
    """The server's answer went on beyond the limits no server comes near."""

    def __init__(self, what):
        super().__init__("the server's answer has %s" % what)
        self.what = what


class PatientReader:
    """The lines of the server's answers, read from the socket with the
    patience of Reporting.wait (the library's own reader gives up at its
    time-out), and within the limits of one answer: the library keeps every
    line of an answer until its last."""

    def __init__(self, smtp, sock):
        self.smtp = smtp
        self.sock = sock
        self.buffer = b""
        self.start_answer()

    def start_answer(self):
        self.lines = 0
        self.bytes = 0

    def readline(self, limit):
        while b"\n" not in self.buffer and len(self.buffer) < limit:
            chunk = self.smtp.wait(self.sock, lambda: self.sock.recv(4096))
            if not chunk:
                break
            self.buffer += chunk
        end = self.buffer.find(b"\n")
        if end < 0 and len(self.buffer) >= limit:
            raise AnswerTooLong("a line of more than %d bytes" % (limit - 1))
        end = len(self.buffer) if end < 0 else end + 1
        line, self.buffer = self.buffer[:min(end, limit)], self.buffer[min(end, limit):]
        self.lines += 1
        self.bytes += len(line)
        if self.lines > MAX_ANSWER_LINES:
            raise AnswerTooLong("more than %d lines" % MAX_ANSWER_LINES)
        if self.bytes > MAX_ANSWER_BYTES:
            raise AnswerTooLong("more than %d KB" % (MAX_ANSWER_BYTES // 1024))
        return line

    def close(self):
        self.buffer = b""


class Reporting:
    """Reports the conversation with the server on standard output (see the
    top of this file) and waits for the server with the limit of the moment:
    the silence limit, the answer limit once the server has taken the whole
    mail, or the short limit of the goodbye."""

    in_data = False           # from DATA to the server's answer to the mail
    mail_sent = False         # the whole mail is in the connection
    mail_taken = False        # ... and the server has taken all of it
    mail_answered = False     # the server answered after the whole mail
    closing = False           # the goodbye (QUIT)

    def data(self, msg):
        self.in_data = True
        try:
            return super().data(msg)
        finally:
            self.in_data = False

    def limit(self):
        if self.closing:
            return QUIT_SECONDS
        if self.mail_taken and not self.mail_answered:
            return ANSWER_SECONDS
        return SILENCE_SECONDS

    def note_taken(self, unsent):
        """True when the server has just taken the whole mail (where the
        system does not tell, once the mail is in the connection). From then
        on the mail may arrive whatever happens here: the connection is no
        longer reset when it closes."""
        if self.mail_sent and not (self.mail_taken or self.mail_answered) and not unsent:
            self.mail_taken = True
            set_linger(self.sock, CLOSE_GENTLY)
            report("handed")
            return True
        return False

    def wait(self, sock, operation):
        """Runs a socket operation that waits for the server (to take more of
        the mail, or to answer). It is tried in short steps; the wait goes on
        as long as the server takes some of the mail from the system's send
        queue, and ends with Silence after a whole limit (of the moment)
        without progress."""
        sock.settimeout(WATCH_SECONDS)
        try:
            unsent = unsent_bytes(sock)
            quiet_since = time.monotonic()
            while True:
                if self.note_taken(unsent):
                    quiet_since = time.monotonic()
                try:
                    return operation()
                except socket.timeout:
                    pass
                now = unsent_bytes(sock)
                # Only the mail text counts: the server taking a command of a
                # few bytes from the queue says nothing about its answer.
                if self.in_data and now is not None and unsent is not None and now < unsent:
                    report("taken %d" % (unsent - now))
                    quiet_since = time.monotonic()
                unsent = now
                if time.monotonic() - quiet_since >= self.limit():
                    raise Silence(self.limit(), self.mail_taken)
        finally:
            try:
                sock.settimeout(SILENCE_SECONDS)
            except OSError:
                pass

    def send(self, s):
        if isinstance(s, str):
            s = s.encode(self.command_encoding)
        sock = self.sock
        if sock is None:
            raise smtplib.SMTPServerDisconnected("please run connect() first")
        view = memoryview(s)
        try:
            while view:
                piece = view[:PIECE_BYTES]
                count = self.wait(sock, lambda: sock.send(piece))
                report("sent %d" % count)
                view = view[count:]
        except OSError as error:
            self.close()
            raise smtplib.SMTPServerDisconnected("Server not connected") from error
        if self.in_data and s.endswith(b"\r\n.\r\n"):
            self.mail_sent = True

    def getreply(self):
        if self.file is None and self.sock is not None:
            self.file = PatientReader(self, self.sock)
        if isinstance(self.file, PatientReader):
            self.file.start_answer()
        code, message = super().getreply()
        report("reply %d" % code)
        if self.mail_sent and not self.mail_answered:
            self.mail_answered = True
            set_linger(self.sock, CLOSE_GENTLY)
        return code, message


class ReportingSMTP(Reporting, smtplib.SMTP):
    pass


class ReportingSMTP_SSL(Reporting, smtplib.SMTP_SSL):
    pass


def set_linger(sock, how):
    if sock is not None:
        try:
            sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, how)
        except OSError:
            pass


def say_goodbye(smtp, error):
    """Ends the conversation. A server that is still talking (it answered
    the mail, or refused something) gets a QUIT; one that fell silent or
    broke off is not waited for a second time."""
    talking = error is None or isinstance(
        error, (smtplib.SMTPResponseException, smtplib.SMTPRecipientsRefused))
    if talking and smtp.sock is not None:
        smtp.closing = True
        try:
            smtp.quit()
            return
        except (smtplib.SMTPException, OSError):
            pass
    smtp.close()


def connect(server, port, use_ssl):
    # (The system's certificates are loaded only for a connection that is
    # encrypted: that takes longer than the rest of a mail to a local server.)
    if use_ssl:
        smtp = ReportingSMTP_SSL(server, port, timeout=SILENCE_SECONDS,
                                 context=ssl.create_default_context())
        set_linger(smtp.sock, RESET_ON_CLOSE)
        return smtp
    smtp = ReportingSMTP(server, port, timeout=SILENCE_SECONDS)
    set_linger(smtp.sock, RESET_ON_CLOSE)
    smtp.ehlo()
    if smtp.has_extn("starttls"):
        smtp.starttls(context=ssl.create_default_context())
        smtp.ehlo()
    elif not is_local(server):
        smtp.close()
        fail(4, "The server offers no encryption (STARTTLS); the password is not sent unencrypted.")
    return smtp


def server_text(error):
    """The server's answer carried by an error, on one short line."""
    text = error.smtp_error
    if isinstance(text, bytes):
        text = text.decode("utf-8", "replace")
    text = one_line("%s %s" % (error.smtp_code, text)).strip()
    return text if len(text) <= 160 else text[:157] + "..."


def plain_reason(error):
    """Why the mail did not go out, in words for the person who sends it."""
    chain, cause = [], error
    while cause is not None and cause not in chain:
        chain.append(cause)
        cause = cause.__cause__ or cause.__context__
    for cause in chain:
        # (The library reports a reader's error as a closed connection.)
        if isinstance(cause, AnswerTooLong):
            return "The server's answer was too long (%s); it is not a mail server's answer." % cause.what
        if isinstance(cause, Silence) and cause.whole_mail_taken:
            return "The server took the whole mail but did not confirm it within %s." % (
                duration_text(cause.seconds))
        if isinstance(cause, Silence):
            return "The server did not answer for %s." % duration_text(cause.seconds)
        if isinstance(cause, socket.timeout):
            return "The server did not answer for %s." % duration_text(SILENCE_SECONDS)
    if isinstance(error, smtplib.SMTPAuthenticationError):
        return "The server refused the login (%s)." % server_text(error)
    if isinstance(error, smtplib.SMTPRecipientsRefused):
        refused = ["%s (%s)" % (address, server_text(smtplib.SMTPResponseException(*answer)))
                   for address, answer in error.recipients.items()]
        return "The server refused the recipient %s." % ", ".join(refused)
    if isinstance(error, smtplib.SMTPSenderRefused):
        return "The server refused the sender %s (%s)." % (error.sender, server_text(error))
    if isinstance(error, smtplib.SMTPResponseException):
        return "The server refused the mail (%s)." % server_text(error)
    if isinstance(error, ssl.SSLCertVerificationError):
        return "The server's certificate cannot be verified (%s)." % one_line(
            str(error.verify_message or error.reason))
    if isinstance(error, ssl.SSLError):
        return "No secure connection could be made: check the choice of SSL or TLS and the port."
    if isinstance(error, smtplib.SMTPServerDisconnected):
        return "The server closed the connection."
    if isinstance(error, ConnectionRefusedError):
        return "The server refused the connection: check the server name and the port."
    if isinstance(error, socket.gaierror):
        return "The server name could not be found."
    if isinstance(error, OSError) and error.strerror:
        return "The server could not be reached (%s)." % error.strerror
    return "Sending failed (%s)." % one_line(str(error))


def refused_after_whole_mail(smtp, error):
    """The server refused the mail itself for good, once it had all of it
    (a 5xx answer to the mail's text): no fault of the settings."""
    return (smtp is not None and smtp.mail_answered
            and isinstance(error, smtplib.SMTPResponseException) and 500 <= error.smtp_code < 600)


def main(argv):
    if len(argv) < 9:
        fail(2, "The mail script was called without all of its values.",
             "usage: pyth_mail.py SENDER SERVER PORT FROM - - - SSL [ATTACHMENT ...]")
    login_name, server, port_text, sender_address, _, _, _, ssl_flag = argv[1:9]
    attachments = argv[9:]
    try:
        password, fields = read_input()
    except UnicodeDecodeError:
        fail(2, "The password or the mail's text is not valid text.")
    except InputError as error:
        fail(2, "The mail script was called without all of its values.", str(error))
    sender = Mailbox(fields.get("from-name", ""), sender_address)
    recipient = Mailbox(fields.get("to-name", ""), fields.get("to", ""))
    probe = fields.get("probe") == "extensions"
    Mailbox("", login_name).check("sender", 2)
    sender.check("sender", 2)
    if not probe:
        recipient.check("recipient", MAIL_AT_FAULT)
    if not server or any(ord(c) < 33 for c in server):
        fail(2, "The SMTP server name is empty or holds blanks.")
    try:
        port = int(port_text.strip())
    except ValueError:
        fail(2, "The port %r is not a number." % port_text)
    if not 0 < port < 65536:
        fail(2, "The port %d is out of range." % port)

    msg = None if probe else build_message(sender, recipient, fields.get("subject", ""),
                                           fields.get("body", ""), attachments)
    smtp = None
    refused = {}
    try:
        smtp = connect(server, port, ssl_flag == "Y")
        smtp.ehlo_or_helo_if_needed()
        if smtp.has_extn("auth") and password:
            login(smtp, login_name, password)
        if probe:
            # What the server offers, as a mail would find it: the run asks
            # before its first mail whether the server takes its addresses.
            report("extensions " + " ".join(sorted(name.upper() for name in smtp.esmtp_features)))
        else:
            for role, mailbox, status in (("sender", sender, 1), ("recipient", recipient, MAIL_AT_FAULT)):
                if mailbox.international() and not smtp.has_extn("smtputf8"):
                    say_goodbye(smtp, None)
                    fail(status, "The %s address %s is not plain ASCII, and the server does not take "
                         "such addresses (it offers no SMTPUTF8)." % (role, mailbox.address))
            refused = smtp.send_message(msg, from_addr=sender.address, to_addrs=[recipient.address])
    except (smtplib.SMTPException, OSError, ValueError) as error:
        if smtp is not None:
            say_goodbye(smtp, error)
        at_fault = (isinstance(error, smtplib.SMTPRecipientsRefused)
                    or refused_after_whole_mail(smtp, error))
        fail(MAIL_AT_FAULT if at_fault else 1, plain_reason(error),
             "%s: %s" % (type(error).__name__, error))
    say_goodbye(smtp, None)
    if refused:
        fail(MAIL_AT_FAULT, "The server refused the recipient %s." % recipient.address)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
