#pragma once
// Small builders shared by the property panel pages: every control gets an
// accessible name equal to its label, or saying what it is.

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStringList>

#include "core/CardTypes.h"

class ColorWell;
class QVBoxLayout;

namespace panels {

QCheckBox* checkBox(const QString& text, QWidget* parent = nullptr);
QRadioButton* radio(const QString& text, QWidget* parent = nullptr);
QPushButton* button(const QString& text, QWidget* parent = nullptr);
QComboBox* combo(const QString& accessibleName, const QStringList& items, QWidget* parent = nullptr);
QSpinBox* stepper(const QString& accessibleName, int minimum, int maximum, const QString& suffix = {},
                  QWidget* parent = nullptr);
QDoubleSpinBox* doubleStepper(const QString& accessibleName, double minimum, double maximum, int decimals,
                              const QString& suffix = {}, QWidget* parent = nullptr);
QGroupBox* box(const QString& title, QWidget* parent = nullptr);
// The items of the dash style combos, in the order of the codes S, DA, DO, DD, DDD.
QStringList dashStyleNames();
// The dash style code of a combo index ("" outside 0 to 4), and the index of a code (-1 when unknown).
QString dashCode(int index);
int dashIndex(const QString& code);
// Selects the item showing the text; nothing changes when there is none.
void selectItemWithText(QComboBox* combo, const QString& text);
// "<name> ( <size> )": a font as the font labels show it.
QString fontLabel(const CardFont& font);

// The border controls of an object tab: the check box that turns the border
// on, and the box holding its colour, width (whole points) and dash style.
struct BorderControls {
  QCheckBox* check = nullptr;
  QGroupBox* box = nullptr;
  ColorWell* colour = nullptr;
  QSpinBox* width = nullptr;
  QComboBox* style = nullptr;
};
// Builds them into the layout; `what` names the object ("Text", "Picture" ...).
BorderControls borderControls(const QString& what, QWidget* parent, QVBoxLayout* layout);

}  // namespace panels
