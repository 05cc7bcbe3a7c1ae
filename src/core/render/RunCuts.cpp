#include "core/render/RunCuts.h"

#include <QChar>
#include <algorithm>

namespace text_look {

namespace {

// A text is read in stretches of about this length, each ending before a
// letter of a strong direction, so that the direction of every character in
// it follows from the stretch alone.
constexpr qsizetype kStretch = 4096;

// Direction classes as the rules below use them.
enum class Dir { L, R, AL, EN, AN, ES, ET, CS, NSM, ON, Explicit };

Dir dirOf(char32_t c) {
  switch (QChar::direction(c)) {
    case QChar::DirL:
      return Dir::L;
    case QChar::DirR:
      return Dir::R;
    case QChar::DirAL:
      return Dir::AL;
    case QChar::DirEN:
      return Dir::EN;
    case QChar::DirAN:
      return Dir::AN;
    case QChar::DirES:
      return Dir::ES;
    case QChar::DirET:
      return Dir::ET;
    case QChar::DirCS:
      return Dir::CS;
    case QChar::DirNSM:
    case QChar::DirBN:
      return Dir::NSM;
    case QChar::DirLRE:
    case QChar::DirLRO:
    case QChar::DirRLE:
    case QChar::DirRLO:
    case QChar::DirPDF:
    case QChar::DirLRI:
    case QChar::DirRLI:
    case QChar::DirFSI:
    case QChar::DirPDI:
      return Dir::Explicit;
    default:  // blanks, separators and other neutrals
      return Dir::ON;
  }
}

bool isStrong(Dir d) {
  return d == Dir::L || d == Dir::R || d == Dir::AL;
}

char32_t codePointAt(const QString& text, qsizetype i) {
  const QChar c = text[i];
  if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
    return QChar::surrogateToUcs4(c, text[i + 1]);
  return c.unicode();
}

// 0 for a character that runs on, 1 for a line break (breaks run together),
// 2 for a tab or an object (each stands alone).
int breakOf(QChar c) {
  if (c == QChar::LineSeparator) return 1;
  if (c == QLatin1Char('\t') || c == QChar::ObjectReplacementCharacter) return 2;
  return 0;
}

// The direction levels of a stretch of a paragraph laid out left to right
// without explicit direction marks: 0 left to right, 1 right to left, 2
// numbers within right-to-left text. `after` is the direction of the strong
// letter that follows the stretch (left to right at the end of the text).
std::vector<int> levelsOf(std::vector<Dir> d, Dir after) {
  const size_t n = d.size();
  Dir previous = Dir::L;  // the stretch starts the text or with a strong letter
  for (Dir& t : d) {  // a mark takes the class of the character it follows
    if (t == Dir::NSM) t = previous;
    previous = t;
  }
  Dir strong = Dir::L;
  for (Dir& t : d) {  // numbers after Arabic letters are Arabic numbers
    if (isStrong(t)) strong = t;
    if (t == Dir::EN && strong == Dir::AL) t = Dir::AN;
    if (t == Dir::AL) t = Dir::R;
  }
  for (size_t i = 1; i + 1 < n; ++i) {  // a single separator between two numbers
    if (d[i - 1] != d[i + 1]) continue;
    if ((d[i] == Dir::ES || d[i] == Dir::CS) && d[i - 1] == Dir::EN) d[i] = Dir::EN;
    if (d[i] == Dir::CS && d[i - 1] == Dir::AN) d[i] = Dir::AN;
  }
  for (size_t i = 0; i < n;) {  // terminators next to a European number join it
    if (d[i] != Dir::ET) {
      ++i;
      continue;
    }
    size_t end = i;
    while (end < n && d[end] == Dir::ET) ++end;
    const bool nextToNumber = (i > 0 && d[i - 1] == Dir::EN) || (end < n && d[end] == Dir::EN);
    for (size_t k = i; k < end; ++k) d[k] = nextToNumber ? Dir::EN : Dir::ON;
    i = end;
  }
  strong = Dir::L;
  for (Dir& t : d) {
    if (t == Dir::ES || t == Dir::CS) t = Dir::ON;
    if (t == Dir::L || t == Dir::R) strong = t;
    if (t == Dir::EN && strong == Dir::L) t = Dir::L;
  }
  // Neutrals between two letters of one direction take it, others the
  // paragraph's (numbers count as right to left here).
  const auto side = [](Dir t) { return t == Dir::L ? Dir::L : Dir::R; };
  const Dir end = side(after == Dir::AL ? Dir::R : after);
  for (size_t i = 0; i < n;) {
    if (d[i] != Dir::ON) {
      ++i;
      continue;
    }
    size_t stop = i;
    while (stop < n && d[stop] == Dir::ON) ++stop;
    const Dir before = i > 0 ? side(d[i - 1]) : Dir::L;
    const Dir next = stop < n ? side(d[stop]) : end;
    for (size_t k = i; k < stop; ++k) d[k] = before == next ? before : Dir::L;
    i = stop;
  }
  std::vector<int> levels(n);
  for (size_t i = 0; i < n; ++i) levels[i] = d[i] == Dir::L ? 0 : d[i] == Dir::R ? 1 : 2;
  return levels;
}

}  // namespace

void RunCuts::readStretch() {
  const qsizetype from = _read;
  const qsizetype size = _text.size();
  qsizetype to = std::min(size, from + kStretch);
  while (to < size && (_text[to].isLowSurrogate() || !isStrong(dirOf(codePointAt(_text, to))))) ++to;
  const Dir after = to < size ? dirOf(codePointAt(_text, to)) : Dir::L;

  std::vector<qsizetype> at;  // where each character of the stretch starts
  std::vector<Dir> dirs;
  for (qsizetype i = from; i < to; ++i) {
    if (_text[i].isLowSurrogate() && i > from && _text[i - 1].isHighSurrogate()) continue;
    at.push_back(i);
    dirs.push_back(dirOf(codePointAt(_text, i)));
    if (dirs.back() == Dir::Explicit) _sure = false;
  }
  const std::vector<int> levels = levelsOf(std::move(dirs), after);

  for (size_t k = 0; k < at.size(); ++k) {
    const char32_t c = codePointAt(_text, at[k]);
    // A run of one script goes on over characters common to all scripts and
    // over marks; characters common to all at its start take its script.
    const int script = QChar::script(c);
    const bool mark = QChar::isMark(c);
    if (script != _script && script > QChar::Script_Common) {
      if (_script <= QChar::Script_Common)
        _script = script;
      else if (!mark) {
        _script = script;
        ++_scriptRun;
      }
    }
    const qsizetype end = k + 1 < at.size() ? at[k + 1] : to;
    for (qsizetype i = at[k]; i < end; ++i) {
      const int brk = breakOf(_text[i]);
      if (i == 0) {
        _runStart = 0;
      } else {
        const bool apart = levels[k] != _runLevel || brk != _runBreak || brk == 2 || _scriptRun != _runScript;
        const bool cut = !apart && i - _runStart >= kLongestRun;
        if (!apart && !cut) continue;
        _runStart = i;
        _starts.push_back(i);
        if (cut) _cuts.push_back(i);
      }
      _runLevel = levels[k];
      _runBreak = brk;
      _runScript = _scriptRun;
    }
  }
  _read = to;
}

void RunCuts::readTo(qsizetype position) {
  while (_read < std::min(position, _text.size()) && _sure) readStretch();
}

std::vector<qsizetype> RunCuts::between(qsizetype from, qsizetype to) {
  readTo(to);
  if (!_sure) return {};
  const auto first = std::upper_bound(_cuts.begin(), _cuts.end(), from);
  return {first, std::lower_bound(first, _cuts.end(), to)};
}

qsizetype RunCuts::runStartAt(qsizetype position) {
  readTo(position + 1);
  if (!_sure) return position;
  const auto after = std::upper_bound(_starts.begin(), _starts.end(), position);
  return after == _starts.begin() ? 0 : *(after - 1);
}

}  // namespace text_look
