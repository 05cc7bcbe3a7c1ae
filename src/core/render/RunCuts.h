#pragma once
// Where one layout of a whole text cuts the runs of characters it shapes
// together. A layout shapes a run of characters of one script, one direction
// level and no break (line break, tab) at once, and cuts a run that goes on
// for 4,096 characters there, from the run's start: the letters on both
// sides of such a cut are shaped apart, so a kerning pair or a joining is
// lost there. A layout of a stretch of the text would cut its runs from the
// stretch's start instead; these are the whole text's cuts, found from its
// start, so that a stretch can be cut where the whole text is.

#include <QString>
#include <vector>

namespace text_look {

class RunCuts {
 public:
  // The length at which a layout cuts a run.
  static constexpr qsizetype kLongestRun = 4096;

  // The text as it is laid out (line breaks as line separators). It is
  // read, not copied, and must outlive the cuts.
  explicit RunCuts(const QString& text) : _text(text) {}

  // The cuts of runs that went on for kLongestRun characters, after `from`
  // and before `to`. Asked for in order through the text.
  std::vector<qsizetype> between(qsizetype from, qsizetype to);
  // Where the run that holds the position starts.
  qsizetype runStartAt(qsizetype position);

 private:
  // Finds the runs up to the position, a stretch at a time.
  void readTo(qsizetype position);
  void readStretch();

  const QString& _text;
  qsizetype _read = 0;            // the runs are known before this position
  std::vector<qsizetype> _starts;  // where runs start, in order
  std::vector<qsizetype> _cuts;    // which of them are cuts
  // The run being read: its start, direction level, stretch of one script
  // and whether it is a break.
  qsizetype _runStart = 0;
  int _runLevel = 0;
  int _runScript = 0;
  int _runBreak = 0;
  int _script = 0;     // the script of the characters being read
  int _scriptRun = 0;  // counts the stretches of one script read
  bool _sure = true;   // false once the text holds explicit direction marks
};

}  // namespace text_look
