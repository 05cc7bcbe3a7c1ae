#pragma once
// Enabling and disabling groups of controls; taking in a field being typed.

class QWidget;

// Enables or disables a control. A text field (exactly a QLineEdit or a
// QLabel, not a subclass) also gets the normal or the greyed text colour. A
// box (exactly a QGroupBox) passes the flag on to every control inside it and
// to every control inside those, recursively.
void SetObjEnabled(QWidget* control, bool flag);

// Takes in what is being typed into the focused field of the given window (a
// text field or a number field whose value is taken on Return or on leaving
// it), as leaving the field would: a command that reads the settings, such
// as saving, sees what the field shows.
void commitFocusedEdit(const QWidget* window);
