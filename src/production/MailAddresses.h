#pragma once
// The one reader of mail addresses: the To line of the mail window, the
// sender of the account and the test mail's recipient are read here, as
// lists of mailboxes the way the mail standards write them:
//
//   zoe@example.org
//   Zoë Adams <zoe@example.org>
//   "Adams, Zoë <the elder>" <zoe@example.org>
//
// Entries are parted by commas outside quotation marks and comments, and
// by line breaks and tabs outside quotation marks (a column of addresses
// pasted from a table). An entry is one mailbox: an address, or a name
// followed by the address in angle brackets. The name may hold words, dots
// and quoted text (a quoted name may hold commas and angle brackets);
// comments in parentheses are left out. Anything else (a name without
// angle brackets, two addresses, a missing bracket or quotation mark, a
// line break inside quotation marks) is refused with the reason.
//
// The address follows the rules below, the same that the mail script
// (resources/pyth_mail.py, address_problem) checks again before it
// connects; a test gives both the same cases and the same characters, so
// that whatever the script would refuse is refused here, before the first
// mail of a run:
// - no invisible character: no control or format character (U+200B,
//   U+FEFF, U+202E ...), none unassigned or for private use, no blank other
//   than the space (which parts words);
// - exactly one "@", with a part before and after it;
// - each part words of letters, digits, !#$%&'*+-/=?^_`{|}~ or characters
//   beyond ASCII, parted by single dots; no quotation marks, blanks or
//   other signs;
// - at least 6 characters, among them a dot;
// - at most 64 bytes (UTF-8) before the "@" and 254 in all, in the letters
//   typed and in small letters (the form it is sent in).

#include <QList>
#include <QString>
#include <optional>

namespace production {

enum class MailboxRole { Recipient, Sender };

struct Mailbox {
  QString name;     // the display name as it reads, quotes and escapes undone; empty for none
  QString address;  // the address as typed

  // The mailbox written so that it reads back the same: the address alone,
  // or the name (in quotation marks where it needs them) and "<address>".
  QString text() const;
  // The same with the address in small letters (the name keeps its letters).
  Mailbox lowercased() const;
  bool operator==(const Mailbox&) const = default;
};

// An entry that is not exactly one mailbox.
struct MailboxRefusal {
  QString entry;  // as typed, blanks at its ends left out
  QString why;    // one sentence
};

struct MailboxList {
  QList<Mailbox> mailboxes;               // in the order typed; blank entries left out
  std::optional<MailboxRefusal> refused;  // the first entry that is not a mailbox
  // Where blank entries (nothing between two commas, an empty line) stand
  // before the last mailbox, counted from 0 over the mailboxes and these
  // blanks: "a@x.org, , b@x.org" has a blank at 1. A comma or a tab next to
  // a line break parts no blank entry ("a@x.org,\nb@x.org" has none), and
  // a line break is one however it is written ("\r\n" too).
  QList<qsizetype> blanks;

  // The mailboxes in their places, a blank place as nothing: entry i of a
  // column pasted from a table stays entry i.
  QList<std::optional<Mailbox>> places() const;
};

MailboxList readMailboxList(const QString& text, MailboxRole role = MailboxRole::Recipient);
// Exactly one mailbox; otherwise nothing, with the reason in `why`.
std::optional<Mailbox> readMailbox(const QString& text, QString* why = nullptr,
                                   MailboxRole role = MailboxRole::Recipient);

// Why `address` (an address alone, as it goes to the mail script) breaks
// the rules above; empty when it keeps them.
QString addressProblem(const QString& address);

// The address (alone, keeping the rules above) as the server is given it: a
// domain beyond ASCII in its ASCII form (IDNA, "xn--"), which every server
// takes; the part before the "@" as it is. An address whose domain has no
// ASCII form keeping the rules goes as it is.
QString serverAddress(const QString& address);
// Whether the server must take addresses beyond ASCII (its SMTPUTF8) to be
// given `address` (alone) in the form serverAddress gives: the part before
// the "@" is not plain ASCII, or the domain has no ASCII form.
bool needsSmtpUtf8(const QString& address);

// The text with every invisible character (see above) shown by its code,
// as "<U+200B>".
QString withInvisibleShown(const QString& text);

// `lead` (a sentence ending in ".") naming the refused entry as typed, then
// the reason on a line of its own. An entry longer than a line or two is
// shown by its start and end; invisible characters by their code.
QString refusalText(const QString& lead, const MailboxRefusal& refusal);

}  // namespace production
