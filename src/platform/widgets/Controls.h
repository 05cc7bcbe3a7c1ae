#pragma once
// Enabling and disabling groups of controls; taking in a field being typed;
// radio choices and check boxes that act however they are made.

#include <functional>
#include <initializer_list>

class QAbstractButton;
class QButtonGroup;
class QObject;
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

// Runs `chosen` each time the button becomes checked, whichever way that
// happens: a click, the keyboard, or an assistive tool's Toggle action (which
// checks a button without clicking it). Setting the button from the program's
// own state goes through showChecked, which runs nothing.
void onChosen(QAbstractButton* button, QObject* context, std::function<void()> chosen);
// The same for every button of the group; `chosen` gets the button's id.
void onChosen(QButtonGroup* group, QObject* context, std::function<void(int)> chosen);
// Runs `changed` each time the check box is ticked or cleared, whichever way
// that happens: a click, the keyboard, or an assistive tool's Toggle action
// (which ticks a box without clicking it). Setting the box from the
// program's own state goes through showChecked, which runs nothing.
void onToggled(QAbstractButton* box, QObject* context, std::function<void()> changed);
// Makes the buttons one choice whose buttons each stay a stop of the Tab key
// (those of an exclusive group are one stop): checking one unchecks the
// others, and the one checked stays checked when clicked or toggled again.
// Call it before connecting what a choice does, which then sees the others
// unchecked already.
void oneChoice(std::initializer_list<QAbstractButton*> buttons);
// Checks or unchecks the button (a radio or a check box) as the program's own
// setting of it: neither the button nor its group tells anyone, so what
// choosing or ticking it does is not run (nor, in a oneChoice, the unchecking
// of the others: the caller sets each).
void showChecked(QAbstractButton* button, bool checked);
