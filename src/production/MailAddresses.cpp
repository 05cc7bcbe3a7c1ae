#include "production/MailAddresses.h"

#include <QStringView>
#include <QUrl>
#include <algorithm>
#include <span>

#include "platform/QuotedValue.h"

namespace production {

namespace {

// Characters of a name or an address longer than this are shown by their
// start and end when a refusal names the entry.
constexpr qsizetype kLongestShown = 120;

QString roleWord(MailboxRole role) {
  return role == MailboxRole::Sender ? QStringLiteral("sender") : QStringLiteral("recipient");
}

QString emptyAddress(MailboxRole role) {
  return QStringLiteral("The %1 address is empty.").arg(roleWord(role));
}
const QString kNoClosingBracket = QStringLiteral("The closing angle bracket \">\" is missing.");
const QString kNoOpeningBracket = QStringLiteral("The opening angle bracket \"<\" is missing.");
const QString kTwoAddresses =
    QStringLiteral("It holds more than one address: separate the addresses with commas.");
const QString kNameWithoutBrackets =
    QStringLiteral("A name goes before the address, which then goes in angle brackets: name <address>.");
const QString kOpenQuote = QStringLiteral("A quotation mark is not closed.");
const QString kOpenComment = QStringLiteral("A parenthesis is not closed.");
const QString kNameNeedsQuotes = QStringLiteral(
    "A name that holds characters such as @ : ; < > [ ] goes in quotation marks: \"name\" <address>.");
const QString kAfterBrackets = QStringLiteral("Nothing may follow the address in angle brackets.");
const QString kNotAnAddress = QStringLiteral("It is not an address of the form name@example.org.");
const QString kOnlyOne = QStringLiteral("Only one address goes here.");
const QString kBreakInQuotes = QStringLiteral("A line break or a tab stands inside quotation marks.");
const QString kInvisible = QStringLiteral("It holds the invisible character %1.");
const QString kNothingBefore = QStringLiteral("Nothing stands before the @.");
const QString kNothingAfter = QStringLiteral("Nothing stands after the @.");
const QString kQuotesInAddress = QStringLiteral(
    "Quotation marks have no place in the address; a name in quotation marks goes before it: \"name\" "
    "<address>.");
const QString kSign = QStringLiteral("It holds \"%1\", which has no place in an address.");
const QString kBlankInside = QStringLiteral("It holds a blank inside the address.");
const QString kDots = QStringLiteral("A dot begins or ends a part of it, or two dots stand together.");
const QString kTooShort = QStringLiteral("It is too short: an address has at least 6 characters.");
const QString kNoDot = QStringLiteral("It has no dot: an address reads like name@example.org.");
const QString kEmpty = QStringLiteral("It is empty.");
const QString kLocalTooLong =
    QStringLiteral("It is too long: the part before the @ has %1 characters, the mail standards allow %2.");
const QString kLocalTooLongBytes = QStringLiteral(
    "It is too long: the part before the @ takes %1 bytes in UTF-8, the mail standards allow %2.");
const QString kTooLong = QStringLiteral("It is too long: it has %1 characters, the mail standards allow %2.");
const QString kTooLongBytes =
    QStringLiteral("It is too long: it takes %1 bytes in UTF-8, the mail standards allow %2.");

// The mail standards' limits of an address, in bytes.
constexpr qsizetype kMaxLocalPart = 64;
constexpr qsizetype kMaxAddress = 254;
constexpr qsizetype kShortestAddress = 6;

bool isBlank(QChar c) {
  return c.isSpace();
}

// A character that has no place in an entry, also not in quotation marks.
bool isControl(QChar c) {
  return c.category() == QChar::Other_Control || c == QChar(0x2028) || c == QChar(0x2029);
}

// Line breaks and tabs: outside quotation marks they part entries as
// commas do (the lines and cells of a column or table pasted from
// elsewhere); inside, they are refused.
bool isBreak(QChar c) {
  const char16_t u = c.unicode();
  return (u >= u'\t' && u <= u'\r') || u == 0x85 || u == 0x2028 || u == 0x2029;
}

// A character that cannot be seen, or is no character at all: controls,
// format characters, lone halves of a pair, private and unassigned code
// points, and every blank but the space. (Python's str.isprintable(), which
// the mail script uses, calls the same characters not printable.)
bool isInvisible(char32_t c) {
  if (c < 0x80) return c < 0x20 || c == 0x7f;
  switch (QChar::category(c)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Other_PrivateUse:
    case QChar::Other_NotAssigned:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
      return true;
    case QChar::Separator_Space:
      return c != U' ';
    default:
      return false;
  }
}

QString codeOf(char32_t c) {
  return QStringLiteral("U+%1").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper();
}

QString invisibleWhy(char32_t c) {
  return kInvisible.arg(codeOf(c));
}

// The code points of `text`; a lone half of a pair stands as itself.
template <typename Visit>
void forEachCodePoint(QStringView text, Visit visit) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    char32_t c = text[i].unicode();
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      c = QChar::surrogateToUcs4(text[i], text[i + 1]);
      ++i;
    }
    if (!visit(c)) return;
  }
}

std::optional<char32_t> firstInvisible(QStringView text) {
  std::optional<char32_t> found;
  forEachCodePoint(text, [&found](char32_t c) {
    if (isInvisible(c)) found = c;
    return !found;
  });
  return found;
}

// A character of the standards' atoms (letters, digits and !#$%&'*+-/=?^_`{|}~),
// or any other beyond ASCII, as the standards for international mail allow.
bool isAtomChar(QChar c) {
  if (c.unicode() >= 0x80) return !isBlank(c) && !isControl(c);
  if (c.isLetterOrNumber()) return true;
  return QStringView(u"!#$%&'*+-/=?^_`{|}~").contains(c);
}

struct Token {
  enum Kind { Word, Quoted, Special } kind;
  QString text;         // the word, the quoted text with its escapes undone, or the special character
  bool spaced = false;  // a blank or a comment comes before it
  bool is(char c) const { return kind == Special && text.at(0) == QLatin1Char(c); }
};

// The words, quoted texts and special characters of an entry; comments and
// blanks only part them. Empty `why` when the entry could be read so far.
QList<Token> tokens(const QString& s, QString* why) {
  QList<Token> out;
  bool spaced = false;
  for (qsizetype i = 0; i < s.size();) {
    const QChar c = s.at(i);
    if (isControl(c)) {
      *why = invisibleWhy(c.unicode());
      return {};
    }
    if (isBlank(c)) {
      spaced = true;
      ++i;
    } else if (c == QLatin1Char('(')) {
      int depth = 0;
      for (; i < s.size(); ++i) {
        if (s.at(i) == QLatin1Char('\\')) {
          ++i;
        } else if (s.at(i) == QLatin1Char('(')) {
          ++depth;
        } else if (s.at(i) == QLatin1Char(')') && --depth == 0) {
          break;
        }
      }
      if (i >= s.size()) {
        *why = kOpenComment;
        return {};
      }
      ++i;
      spaced = true;
    } else if (c == QLatin1Char('"')) {
      QString text;
      bool closed = false;
      for (++i; i < s.size() && !closed; ++i) {
        QChar q = s.at(i);
        if (q == QLatin1Char('"')) {
          closed = true;
          continue;
        }
        if (q == QLatin1Char('\\') && i + 1 < s.size()) q = s.at(++i);
        if (isBreak(q) || isControl(q)) {
          *why = isBreak(q) ? kBreakInQuotes : invisibleWhy(q.unicode());
          return {};
        }
        text += q;
      }
      if (!closed) {
        *why = kOpenQuote;
        return {};
      }
      out.append({Token::Quoted, text, spaced});
      spaced = false;
    } else if (isAtomChar(c)) {
      const qsizetype start = i;
      while (i < s.size() && isAtomChar(s.at(i))) ++i;
      out.append({Token::Word, s.mid(start, i - start), spaced});
      spaced = false;
    } else {
      out.append({Token::Special, QString(c), spaced});
      spaced = false;
      ++i;
    }
  }
  return out;
}

using Tokens = QList<Token>;

qsizetype countOf(const Tokens& list, char c) {
  return std::count_if(list.begin(), list.end(), [c](const Token& t) { return t.is(c); });
}

bool isAtomAscii(QChar c) {
  return c.unicode() < 0x80 && isAtomChar(c);
}

// Why the tokens meant as an address (the entry without angle brackets, or
// what stands between them) make none, or else the address (and an empty
// reason): a part of words and dots, one "@" and a part of words and dots;
// blanks and comments only around the "@" and at the ends. The reasons come
// in the order of addressProblem, so that the one a typed entry gets is the
// one the mail script would give its address.
QString readAddress(std::span<const Token> list, bool bracketed, QString* address) {
  for (const Token& t : list)
    if (t.kind == Token::Word)
      if (const auto c = firstInvisible(t.text)) return invisibleWhy(*c);
  const auto at = std::find_if(list.begin(), list.end(), [](const Token& t) { return t.is('@'); });
  const auto ats = std::count_if(list.begin(), list.end(), [](const Token& t) { return t.is('@'); });
  if (ats == 0) return kNotAnAddress;
  if (ats > 1) return kTwoAddresses;
  const std::span<const Token> local(list.begin(), at), domain(at + 1, list.end());
  // Words parted by blanks before an address without brackets: a name.
  if (!bracketed && std::any_of(local.begin() + std::min<size_t>(1, local.size()), local.end(),
                                [](const Token& t) { return t.spaced; }))
    return kNameWithoutBrackets;
  if (local.empty()) return kNothingBefore;
  if (domain.empty()) return kNothingAfter;
  for (const auto part : {local, domain}) {
    for (size_t i = 0; i < part.size(); ++i) {
      const Token& t = part[i];
      if (t.kind == Token::Quoted) return kQuotesInAddress;
      if (t.kind == Token::Special && !t.is('.')) return kSign.arg(t.text);
      if (i > 0 && t.spaced) return kBlankInside;
    }
    // Words parted by single dots.
    for (size_t i = 0; i < part.size(); ++i)
      if ((i % 2 == 0) != (part[i].kind == Token::Word)) return kDots;
    if (part.size() % 2 == 0) return kDots;
  }
  const auto join = [](std::span<const Token> part) {
    QString text;
    for (const Token& t : part) text += t.text;
    return text;
  };
  *address = join(local) + QLatin1Char('@') + join(domain);
  return addressProblem(*address);
}

// The display name: words, quoted texts and dots, the words parted by one blank.
std::optional<QString> nameOf(std::span<const Token> part) {
  QString name;
  for (size_t i = 0; i < part.size(); ++i) {
    const Token& t = part[i];
    const bool fits = t.kind != Token::Special || (i > 0 && t.is('.'));
    if (!fits) return std::nullopt;
    if (i > 0 && t.spaced) name += QLatin1Char(' ');
    name += t.text;
  }
  return name;
}

std::optional<Mailbox> readEntry(const QString& entry, QString* why, MailboxRole role) {
  const Tokens list = tokens(entry, why);
  if (!why->isEmpty()) return std::nullopt;
  const qsizetype opens = countOf(list, '<');
  if (opens > 1) {
    *why = kTwoAddresses;
    return std::nullopt;
  }
  if (opens == 0) {
    if (countOf(list, '>') > 0) {
      *why = kNoOpeningBracket;
      return std::nullopt;
    }
    QString address;
    *why = readAddress(list, false, &address);
    if (!why->isEmpty()) return std::nullopt;
    return Mailbox{QString(), address};
  }
  const qsizetype lt =
      std::find_if(list.begin(), list.end(), [](const Token& t) { return t.is('<'); }) - list.begin();
  const auto close = std::find_if(list.begin() + lt, list.end(), [](const Token& t) { return t.is('>'); });
  if (close == list.end()) {
    *why = kNoClosingBracket;
    return std::nullopt;
  }
  const qsizetype gt = close - list.begin();
  const Tokens after = list.mid(gt + 1);
  if (!after.isEmpty()) {
    *why = countOf(after, '@') > 0 ? kTwoAddresses : kAfterBrackets;
    return std::nullopt;
  }
  const auto name = nameOf(std::span<const Token>(list.constData(), size_t(lt)));
  if (!name) {
    *why = kNameNeedsQuotes;
    return std::nullopt;
  }
  const Tokens inside = list.mid(lt + 1, gt - lt - 1);
  if (inside.isEmpty()) {
    *why = emptyAddress(role);
    return std::nullopt;
  }
  QString address;
  *why = readAddress(inside, true, &address);
  if (!why->isEmpty()) return std::nullopt;
  return Mailbox{*name, address};
}

// An entry as typed, and whether it holds a place in the list: a blank one
// between a comma (or a tab) and a line break does not, so that a list
// typed with a comma at the end of each line parts no blank entries.
struct Entry {
  QString text;
  bool place = true;
};

// The text parted at commas outside quotation marks and comments, and at
// line breaks and tabs outside quotation marks (a comment ends at the end
// of its line). A carriage return and a line feed are one line break.
QList<Entry> entries(const QString& text) {
  enum class Mark { Edge, Comma, Break };  // what stands at either end of an entry
  QList<Entry> out;
  bool quoted = false;
  int depth = 0;
  qsizetype start = 0;
  Mark before = Mark::Edge;
  const auto part = [&](qsizetype end, Mark after, qsizetype next) {
    Entry entry{text.mid(start, end - start)};
    const bool besideBreak =
        (before == Mark::Comma && after == Mark::Break) || (before == Mark::Break && after == Mark::Comma);
    entry.place = !(besideBreak && entry.text.trimmed().isEmpty());
    out.append(entry);
    start = next;
    before = after;
  };
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text.at(i);
    if (!quoted && c == QLatin1Char('\t')) {
      part(i, Mark::Comma, i + 1);
      depth = 0;
    } else if (!quoted && isBreak(c)) {
      const bool crlf = c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n');
      part(i, Mark::Break, i + (crlf ? 2 : 1));
      if (crlf) ++i;
      depth = 0;
    } else if (c == QLatin1Char('\\') && (quoted || depth > 0)) {
      if (quoted || i + 1 >= text.size() || !isBreak(text.at(i + 1))) ++i;
    } else if (c == QLatin1Char('"') && depth == 0) {
      quoted = !quoted;
    } else if (!quoted && c == QLatin1Char('(')) {
      ++depth;
    } else if (!quoted && c == QLatin1Char(')') && depth > 0) {
      --depth;
    } else if (!quoted && depth == 0 && c == QLatin1Char(',')) {
      part(i, Mark::Comma, i + 1);
    }
  }
  part(text.size(), Mark::Edge, text.size());
  return out;
}

bool isAscii(QStringView text) {
  return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

bool isPlainPhrase(const QString& name) {
  if (name.startsWith(QLatin1Char(' ')) || name.endsWith(QLatin1Char(' ')) ||
      name.contains(QStringLiteral("  ")))
    return false;
  return std::all_of(name.begin(), name.end(),
                     [](QChar c) { return c == QLatin1Char(' ') || isAtomChar(c); });
}

}  // namespace

QString Mailbox::text() const {
  if (name.isEmpty()) return address;
  QString phrase = name;
  if (!isPlainPhrase(name)) {
    phrase.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
        .replace(QLatin1Char('"'), QStringLiteral("\\\""));
    phrase = QLatin1Char('"') + phrase + QLatin1Char('"');
  }
  return phrase + QStringLiteral(" <") + address + QLatin1Char('>');
}

Mailbox Mailbox::lowercased() const {
  return Mailbox{name, address.toLower()};
}

QList<std::optional<Mailbox>> MailboxList::places() const {
  QList<std::optional<Mailbox>> out;
  out.reserve(mailboxes.size() + blanks.size());
  auto blank = blanks.cbegin();  // in order
  for (const Mailbox& mailbox : mailboxes) {
    for (; blank != blanks.cend() && *blank == out.size(); ++blank) out.append(std::nullopt);
    out.append(mailbox);
  }
  return out;
}

MailboxList readMailboxList(const QString& text, MailboxRole role) {
  MailboxList list;
  QList<qsizetype> blanks;  // since the last mailbox
  qsizetype place = 0;
  for (const Entry& typed : entries(text)) {
    const QString entry = typed.text.trimmed();
    if (entry.isEmpty()) {
      if (typed.place) blanks.append(place++);
      continue;
    }
    QString why;
    if (auto mailbox = readEntry(entry, &why, role)) {
      list.mailboxes.append(*mailbox);
      list.blanks += blanks;
      blanks.clear();
      ++place;
    } else {
      list.refused = MailboxRefusal{entry, why};
      return list;
    }
  }
  return list;
}

std::optional<Mailbox> readMailbox(const QString& text, QString* why, MailboxRole role) {
  const MailboxList list = readMailboxList(text, role);
  QString reason;
  if (list.refused) {
    reason = list.refused->why;
  } else if (list.mailboxes.isEmpty()) {
    reason = emptyAddress(role);
  } else if (list.mailboxes.size() > 1) {
    reason = kOnlyOne;
  }
  if (why) *why = reason;
  if (!reason.isEmpty()) return std::nullopt;
  return list.mailboxes.first();
}

QString addressProblem(const QString& address) {
  if (address.isEmpty()) return kEmpty;
  QString why;
  qsizetype characters = 0;
  forEachCodePoint(address, [&](char32_t c) {
    ++characters;
    const QChar unit = c < 0x10000 ? QChar(char16_t(c)) : QChar();
    if (QChar::isSpace(c) && !isControl(unit)) {
      why = kBlankInside;
    } else if (isInvisible(c)) {
      why = invisibleWhy(c);
    } else if (c < 0x80 && !isAtomAscii(unit) && c != U'.' && c != U'@') {
      why = c == U'"' ? kQuotesInAddress : kSign.arg(unit);
    }
    return why.isEmpty();
  });
  if (!why.isEmpty()) return why;
  const qsizetype at = address.indexOf(QLatin1Char('@'));
  if (at < 0) return kNotAnAddress;
  if (address.indexOf(QLatin1Char('@'), at + 1) >= 0) return kTwoAddresses;
  const QStringView local = QStringView(address).left(at), domain = QStringView(address).mid(at + 1);
  if (local.isEmpty()) return kNothingBefore;
  if (domain.isEmpty()) return kNothingAfter;
  for (const QStringView part : {local, domain}) {
    if (part.startsWith(QLatin1Char('.')) || part.endsWith(QLatin1Char('.')) ||
        part.contains(QLatin1String("..")))
      return kDots;
  }
  if (characters < kShortestAddress) return kTooShort;
  if (!address.contains(QLatin1Char('.'))) return kNoDot;
  // Sent in small letters, which may take more bytes than the letters typed
  // (never in plain ASCII).
  const bool ascii = isAscii(address);
  const auto bytes = [ascii](QStringView text) {
    return ascii ? text.size() : std::max(text.toUtf8().size(), text.toString().toLower().toUtf8().size());
  };
  if (const qsizetype n = bytes(local); n > kMaxLocalPart)
    return (ascii ? kLocalTooLong : kLocalTooLongBytes).arg(n).arg(kMaxLocalPart);
  if (const qsizetype n = bytes(address); n > kMaxAddress)
    return (ascii ? kTooLong : kTooLongBytes).arg(n).arg(kMaxAddress);
  return QString();
}

QString serverAddress(const QString& address) {
  const qsizetype at = address.lastIndexOf(QLatin1Char('@'));
  if (at < 0 || isAscii(QStringView(address).mid(at + 1))) return address;
  const QByteArray ascii = QUrl::toAce(address.mid(at + 1));
  if (ascii.isEmpty()) return address;
  const QString converted = address.left(at + 1) + QString::fromLatin1(ascii);
  return addressProblem(converted).isEmpty() ? converted : address;
}

bool needsSmtpUtf8(const QString& address) {
  return !isAscii(serverAddress(address));
}

QString withInvisibleShown(const QString& text) {
  QString shown;
  shown.reserve(text.size());
  forEachCodePoint(text, [&shown](char32_t c) {
    if (isInvisible(c)) {
      shown += QLatin1Char('<') + codeOf(c) + QLatin1Char('>');
    } else {
      shown += QString::fromUcs4(&c, 1);
    }
    return true;
  });
  return shown;
}

QString refusalText(const QString& lead, const MailboxRefusal& refusal) {
  const QString start = lead.endsWith(QLatin1Char('.')) ? lead.chopped(1) : lead;
  return start + QStringLiteral(": \"") +
         platform::quotedValue(withInvisibleShown(refusal.entry), kLongestShown) + QStringLiteral("\".\n") +
         refusal.why;
}

}  // namespace production
