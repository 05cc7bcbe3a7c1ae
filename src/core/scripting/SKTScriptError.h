#pragma once
// What a script command answers when it cannot do what it was asked.

#include <QString>

// The error number of a setting a kind of graphic refuses.
inline constexpr int SKTScriptRefusedErrorNumber = -10000;

struct SKTScriptError {
  enum class Kind {
    Refused,      // the graphic refuses the setting (number -10000)
    Range,        // no element at the given collection index
    ReadOnly,     // the collection takes no insertions or removals
    NoContainer,  // the graphic is not on the front side of a document
  };
  Kind kind;
  QString text;
  int number = 0;

  // "-10000: <text>" for a refusal, the text alone otherwise.
  QString message() const { return number != 0 ? QStringLiteral("%1: %2").arg(number).arg(text) : text; }
};
