#pragma once
// Accessible names from what a dialog shows: screen readers (and tests that
// go through the desktop's accessibility tree) find a control by the label a
// person reads beside it.

class QWidget;

namespace platform {

// Gives every control of `dialog` that has no accessible name yet the text
// it is known by: a button its own text, a field the label of its form row
// or the label whose buddy it is; the dialog gets its window title. "&",
// a closing ":" and a closing "…" or "..." are left out. Controls with no
// label keep what they have: name them yourself.
void nameControlsFromLabels(QWidget& dialog);

}  // namespace platform
