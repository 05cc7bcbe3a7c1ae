#include "data/dialogs/RtfText.h"

#include <QHash>
#include <QSet>
#include <QStringDecoder>
#include <vector>

namespace rich_text {

namespace {

constexpr int kMaxDepth = 2000;
constexpr int kMaxWordLength = 32;

// Destinations whose contents are no body text.
const QSet<QByteArray>& skippedDestinations() {
  static const QSet<QByteArray> names = {
      "fonttbl",      "colortbl",  "stylesheet", "info",       "pict",
      "header",       "headerl",   "headerr",    "headerf",    "footer",
      "footerl",      "footerr",   "footerf",    "listtable",  "listoverridetable",
      "rsidtbl",      "generator", "xmlnstbl",   "themedata",  "colorschememapping",
      "latentstyles", "datastore", "fldinst",    "object",     "objdata",
      "filetbl",      "revtbl",    "pgdsctbl",   "nonshppict", "shppict",
      "sp",           "template",  "userprops",  "operator",   "author",
      "title",        "subject",   "keywords",   "comment",    "doccomm",
      "company",      "creatim",   "revtim",     "printim",    "buptim",
      "bkmkstart",    "bkmkend",   "mmathPr",    "defchp",     "defpap",
      "fchars",       "lchars",    "ftnsep",     "ftnsepc",    "ftncn",
      "aftnsep",      "aftnsepc",  "aftncn",     "private",    "xe",
      "tc",           "txe",       "rxe"};
  return names;
}

// Control words that stand for one character.
const QHash<QByteArray, QString>& characterWords() {
  static const QHash<QByteArray, QString> words = {{"par", "\n"},
                                                   {"line", "\n"},
                                                   {"sect", "\n"},
                                                   {"page", "\n"},
                                                   {"row", "\n"},
                                                   {"tab", "\t"},
                                                   {"cell", "\t"},
                                                   {"emdash", QString(QChar(0x2014))},
                                                   {"endash", QString(QChar(0x2013))},
                                                   {"bullet", QString(QChar(0x2022))},
                                                   {"lquote", QString(QChar(0x2018))},
                                                   {"rquote", QString(QChar(0x2019))},
                                                   {"ldblquote", QString(QChar(0x201C))},
                                                   {"rdblquote", QString(QChar(0x201D))},
                                                   {"emspace", QString(QChar(0x2003))},
                                                   {"enspace", QString(QChar(0x2002))},
                                                   {"qmspace", QString(QChar(0x2005))}};
  return words;
}

struct GroupState {
  bool skip = false;
  int unicodeFallback = 1;  // characters that follow a \uN in place of it
};

class Reader {
 public:
  explicit Reader(QByteArrayView bytes) : in_(bytes) { setCodePage(1252); }

  std::optional<QString> run() {
    std::vector<GroupState> groups;
    GroupState state;
    int pendingFallback = 0;  // fallback characters of the last \uN still to skip
    const qsizetype size = in_.size();
    qsizetype i = 0;
    while (i < size) {
      const char c = in_[i];
      if (c == '{') {
        flushBytes();
        if (groups.size() >= kMaxDepth) return std::nullopt;
        groups.push_back(state);
        pendingFallback = 0;
        ++i;
        // "{\*\name": a destination a reader may ignore when it does not know it.
        if (in_.sliced(i).startsWith("\\*")) {
          state.skip = true;
          i += 2;
        }
        continue;
      }
      if (c == '}') {
        flushBytes();
        if (groups.empty()) return std::nullopt;
        state = groups.back();
        groups.pop_back();
        pendingFallback = 0;
        ++i;
        if (groups.empty()) break;  // the document's group ends here
        continue;
      }
      if (c == '\\') {
        i = controlAt(i, state, pendingFallback);
        if (i < 0) return std::nullopt;
        continue;
      }
      ++i;
      if (c == '\r' || c == '\n') continue;  // line ends of the source carry no text
      if (pendingFallback > 0) {
        --pendingFallback;
        continue;
      }
      if (!state.skip) bytes_.append(c);
    }
    flushBytes();
    return text_;
  }

 private:
  // Handles the control word or symbol at `at`; the position after it, or -1.
  qsizetype controlAt(qsizetype at, GroupState& state, int& pendingFallback) {
    const qsizetype size = in_.size();
    qsizetype i = at + 1;
    if (i >= size) return size;
    const char next = in_[i];
    if (!isLetter(next)) {
      // A control symbol.
      ++i;
      if (next == '\'') {
        const bool ok = i + 2 <= size;
        const int value = ok ? in_.sliced(i, 2).toInt(nullptr, 16) : -1;
        i = ok ? i + 2 : size;
        if (pendingFallback > 0) {
          --pendingFallback;
        } else if (!state.skip && value >= 0) {
          bytes_.append(char(value));
        }
        return i;
      }
      if (pendingFallback > 0) {
        --pendingFallback;
        return i;
      }
      if (state.skip) return i;
      switch (next) {
        case '\\':
        case '{':
        case '}':
          bytes_.append(next);
          break;
        case '~':
          appendText(QString(QChar(0x00A0)));
          break;
        case '_':
          appendText(QString(QChar(0x2011)));
          break;
        case '\n':
        case '\r':
          appendText(QStringLiteral("\n"));  // an escaped line end is a paragraph end
          break;
        case '*':
          state.skip = true;
          break;
        default:
          break;  // "\-" (optional hyphen), "\|", "\:" and the like show nothing
      }
      return i;
    }

    const qsizetype wordStart = i;
    while (i < size && isLetter(in_[i]) && i - wordStart < kMaxWordLength) ++i;
    const QByteArray word = in_.sliced(wordStart, i - wordStart).toByteArray();
    bool hasParameter = false;
    qint64 parameter = 0;
    bool negative = false;
    if (i < size && in_[i] == '-') {
      negative = true;
      ++i;
    }
    int digits = 0;
    while (i < size && in_[i] >= '0' && in_[i] <= '9') {
      if (digits < 10) parameter = parameter * 10 + (in_[i] - '0');
      ++digits;
      ++i;
    }
    hasParameter = digits > 0;
    if (negative) parameter = -parameter;
    if (i < size && in_[i] == ' ') ++i;  // the space that ends a control word belongs to it

    if (word == "bin") {
      // Binary data of the given length follows; it is never text.
      const qint64 length = hasParameter && parameter > 0 ? parameter : 0;
      return length > size - i ? size : i + length;
    }
    if (pendingFallback > 0) {
      // A control word in the fallback text counts as one fallback character.
      --pendingFallback;
      return i;
    }
    if (word == "uc") {
      state.unicodeFallback = hasParameter && parameter >= 0 && parameter < 100 ? int(parameter) : 1;
      return i;
    }
    if (word == "ansicpg" && hasParameter) {
      flushBytes();
      setCodePage(parameter);
      return i;
    }
    if (word == "u" && hasParameter) {
      if (!state.skip) {
        flushBytes();
        // Values above 32767 are written negative.
        const qint64 code = parameter < 0 ? parameter + 65536 : parameter;
        if (code >= 0 && code <= 0xFFFF) text_.append(QChar(char16_t(code)));
      }
      pendingFallback = state.unicodeFallback;
      return i;
    }
    if (skippedDestinations().contains(word)) {
      state.skip = true;
      return i;
    }
    if (!state.skip) {
      const auto found = characterWords().constFind(word);
      if (found != characterWords().cend()) appendText(found.value());
    }
    return i;
  }

  static bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

  void setCodePage(qint64 page) {
    QStringDecoder decoder(QStringLiteral("windows-%1").arg(page).toLatin1().constData());
    if (!decoder.isValid()) decoder = QStringDecoder(QStringLiteral("cp%1").arg(page).toLatin1().constData());
    if (!decoder.isValid()) decoder = QStringDecoder(QStringDecoder::Latin1);
    decoder_ = std::move(decoder);
  }

  void appendText(const QString& text) {
    flushBytes();
    text_.append(text);
  }

  // Bytes of the document's code page collect until text of another kind follows,
  // so that characters written as two bytes decode as one.
  void flushBytes() {
    if (bytes_.isEmpty()) return;
    text_.append(QString(decoder_.decode(bytes_)));
    bytes_.clear();
  }

  const QByteArrayView in_;
  QByteArray bytes_;
  QString text_;
  QStringDecoder decoder_;
};

}  // namespace

std::optional<QString> plainText(const QByteArray& document) {
  qsizetype start = 0;
  while (start < document.size() && QChar::isSpace(uchar(document[start]))) ++start;
  if (!document.mid(start, 5).startsWith("{\\rtf")) return std::nullopt;
  return Reader(QByteArrayView(document).sliced(start)).run();
}

}  // namespace rich_text
