#include "production/MailAddresses.h"

#include <QStringView>
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
const QString kControl = QStringLiteral("It holds a control character.");
const QString kOnlyOne = QStringLiteral("Only one address goes here.");

bool isBlank(QChar c) {
  return c.isSpace();
}

// A character that has no place in an entry, also not in quotation marks.
bool isControl(QChar c) {
  if (c == QLatin1Char('\t')) return false;
  return c.category() == QChar::Other_Control || c == QChar(0x2028) || c == QChar(0x2029);
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
      *why = kControl;
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
        if (isControl(q)) {
          *why = kControl;
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

// Words parted by dots, with no blank or comment inside.
std::optional<QString> dotAtom(std::span<const Token> part) {
  if (part.empty()) return std::nullopt;
  QString text;
  for (size_t i = 0; i < part.size(); ++i) {
    const Token& t = part[i];
    const bool wordPlace = i % 2 == 0;
    if ((i > 0 && t.spaced) || (wordPlace ? t.kind != Token::Word : !t.is('.'))) return std::nullopt;
    text += t.text;
  }
  if (part.size() % 2 == 0) return std::nullopt;  // ends with a dot
  return text;
}

// A plain address: a dotted part, one "@" and a dotted part; blanks and
// comments only around the "@" and at the ends. Then the address check of
// the mail windows: at least 6 characters and a dot.
std::optional<QString> addressOf(const Tokens& list) {
  const auto at = std::find_if(list.begin(), list.end(), [](const Token& t) { return t.is('@'); });
  if (at == list.end()) return std::nullopt;
  const qsizetype a = at - list.begin();
  const auto local = dotAtom(std::span<const Token>(list.constData(), size_t(a)));
  const auto domain = dotAtom(std::span<const Token>(list.constData() + a + 1, size_t(list.size() - a - 1)));
  if (!local || !domain) return std::nullopt;
  const QString address = *local + QLatin1Char('@') + *domain;
  if (address.size() < 6 || !address.contains(QLatin1Char('.'))) return std::nullopt;
  return address;
}

// Why tokens without angle brackets are no address.
QString whyNoAddress(const Tokens& list) {
  const qsizetype ats = countOf(list, '@');
  if (ats > 1) return kTwoAddresses;
  const auto at = std::find_if(list.begin(), list.end(), [](const Token& t) { return t.is('@'); });
  // Words parted by blanks before the address: a name.
  if (ats == 1 && std::any_of(list.begin() + 1, at, [](const Token& t) { return t.spaced; }))
    return kNameWithoutBrackets;
  return kNotAnAddress;
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
    if (auto address = addressOf(list)) return Mailbox{QString(), *address};
    *why = whyNoAddress(list);
    return std::nullopt;
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
  const auto address = addressOf(inside);
  if (!address) {
    *why = countOf(inside, '@') > 1 ? kTwoAddresses : kNotAnAddress;
    return std::nullopt;
  }
  return Mailbox{*name, *address};
}

// The text parted at commas outside quotation marks and comments.
QStringList entries(const QString& text) {
  QStringList out;
  bool quoted = false;
  int depth = 0;
  qsizetype start = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text.at(i);
    if (c == QLatin1Char('\\') && (quoted || depth > 0)) {
      ++i;
    } else if (c == QLatin1Char('"') && depth == 0) {
      quoted = !quoted;
    } else if (!quoted && c == QLatin1Char('(')) {
      ++depth;
    } else if (!quoted && c == QLatin1Char(')') && depth > 0) {
      --depth;
    } else if (!quoted && depth == 0 && c == QLatin1Char(',')) {
      out.append(text.mid(start, i - start));
      start = i + 1;
    }
  }
  out.append(text.mid(start));
  return out;
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

MailboxList readMailboxList(const QString& text, MailboxRole role) {
  MailboxList list;
  for (const QString& typed : entries(text)) {
    const QString entry = typed.trimmed();
    if (entry.isEmpty()) continue;
    QString why;
    if (auto mailbox = readEntry(entry, &why, role)) {
      list.mailboxes.append(*mailbox);
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

QString refusalText(const QString& lead, const MailboxRefusal& refusal) {
  const QString start = lead.endsWith(QLatin1Char('.')) ? lead.chopped(1) : lead;
  return start + QStringLiteral(": \"") + platform::quotedValue(refusal.entry, kLongestShown) +
         QStringLiteral("\".\n") + refusal.why;
}

}  // namespace production
