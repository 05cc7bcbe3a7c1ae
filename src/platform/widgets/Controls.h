#pragma once
// Enabling and disabling groups of controls.

class QWidget;

// Enables or disables a control. A text field (exactly a QLineEdit or a
// QLabel, not a subclass) also gets the normal or the greyed text colour. A
// box (exactly a QGroupBox) passes the flag on to every control inside it and
// to every control inside those, recursively.
void SetObjEnabled(QWidget* control, bool flag);
