#pragma once
// The one reader of mail addresses: the To line of the mail window, the
// sender of the account and the test mail's recipient are read here, as
// lists of mailboxes the way the mail standards write them:
//
//   zoe@example.org
//   Zoë Adams <zoe@example.org>
//   "Adams, Zoë <the elder>" <zoe@example.org>
//
// Entries are parted by commas outside quotation marks and comments. An
// entry is one mailbox: an address, or a name followed by the address in
// angle brackets. The name may hold words, dots and quoted text (a quoted
// name may hold commas and angle brackets); comments in parentheses are
// left out. The address is a plain one: a part of words and dots before
// its one "@" and after it, no quotation marks, at least 6 characters with
// a dot. Anything else (a name without angle brackets, two addresses, a
// missing bracket or quotation mark) is refused with the reason.

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
};

MailboxList readMailboxList(const QString& text, MailboxRole role = MailboxRole::Recipient);
// Exactly one mailbox; otherwise nothing, with the reason in `why`.
std::optional<Mailbox> readMailbox(const QString& text, QString* why = nullptr,
                                   MailboxRole role = MailboxRole::Recipient);

// `lead` (a sentence ending in ".") naming the refused entry as typed, then
// the reason on a line of its own. An entry longer than a line or two is
// shown by its start and end.
QString refusalText(const QString& lead, const MailboxRefusal& refusal);

}  // namespace production
