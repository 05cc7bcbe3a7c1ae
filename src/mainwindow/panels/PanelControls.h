#pragma once
// Small builders shared by the property panel pages: every control gets an
// accessible name equal to its label, or saying what it is.

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStringList>

namespace panels {

QCheckBox* checkBox(const QString& text, QWidget* parent = nullptr);
QRadioButton* radio(const QString& text, QWidget* parent = nullptr);
QPushButton* button(const QString& text, QWidget* parent = nullptr);
QComboBox* combo(const QString& accessibleName, const QStringList& items, QWidget* parent = nullptr);
QSpinBox* stepper(const QString& accessibleName, int minimum, int maximum, const QString& suffix = {},
                  QWidget* parent = nullptr);
QGroupBox* box(const QString& title, QWidget* parent = nullptr);
// The items of the dash style combos, in the order of the codes S, DA, DO, DD, DDD.
QStringList dashStyleNames();

}  // namespace panels
