// Feeds arbitrary text to the To-line reader: it must answer (mailboxes, or
// a refusal with its reason) and never crash, and what it takes must keep
// the address rules the mail script checks again, and read back the same.
// The first byte chooses how the rest becomes text: UTF-8 (as typed or
// pasted), or UTF-16 as it comes (lone halves of pairs included).
// Seeds: tests/production/fuzz/mail_addresses_seeds.
#include <cstddef>
#include <cstdint>

#include "production/MailAddresses.h"

using namespace production;

namespace {

void expect(bool holds) {
  if (!holds) __builtin_trap();
}

QString textOf(const uint8_t* data, size_t size) {
  if (size == 0) return QString();
  const auto* rest = reinterpret_cast<const char*>(data + 1);
  const auto length = static_cast<qsizetype>(size - 1);
  if (data[0] % 2 == 0) return QString::fromUtf8(rest, length);
  return QString(reinterpret_cast<const QChar*>(rest), length / 2);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString text = textOf(data, size);
  for (const MailboxRole role : {MailboxRole::Recipient, MailboxRole::Sender}) {
    const MailboxList list = readMailboxList(text, role);
    for (const Mailbox& mailbox : list.mailboxes) {
      // What goes to the script passes its check, also in small letters.
      expect(addressProblem(mailbox.address).isEmpty());
      expect(addressProblem(mailbox.lowercased().address).isEmpty());
      // So does the form the server is given.
      expect(addressProblem(serverAddress(mailbox.lowercased().address)).isEmpty());
      // Written back, it reads the same.
      expect(readMailbox(mailbox.text(), nullptr, role) == mailbox);
    }
    expect(list.places().size() == list.mailboxes.size() + list.blanks.size());
    if (list.refused) {
      expect(!list.refused->why.isEmpty());
      (void)refusalText(QStringLiteral("Lead."), *list.refused);
    }
    QString why;
    const auto one = readMailbox(text, &why, role);
    expect(one.has_value() == why.isEmpty());
  }
  // An address the rules take is taken by the reader as it is.
  if (addressProblem(text).isEmpty()) {
    const auto read = readMailbox(text);
    expect(read && read->address == text && read->name.isEmpty());
  }
  return 0;
}
