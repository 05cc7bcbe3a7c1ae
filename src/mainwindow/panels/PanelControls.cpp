#include "mainwindow/panels/PanelControls.h"

namespace panels {

QCheckBox* checkBox(const QString& text, QWidget* parent) {
  auto* control = new QCheckBox(text, parent);
  control->setAccessibleName(text);
  return control;
}

QRadioButton* radio(const QString& text, QWidget* parent) {
  auto* control = new QRadioButton(text, parent);
  control->setAccessibleName(text);
  return control;
}

QPushButton* button(const QString& text, QWidget* parent) {
  auto* control = new QPushButton(text, parent);
  control->setAccessibleName(QString(text).remove(QLatin1Char('&')).remove(QStringLiteral("…")));
  return control;
}

QComboBox* combo(const QString& accessibleName, const QStringList& items, QWidget* parent) {
  auto* control = new QComboBox(parent);
  control->addItems(items);
  control->setAccessibleName(accessibleName);
  return control;
}

QSpinBox* stepper(const QString& accessibleName, int minimum, int maximum, const QString& suffix,
                  QWidget* parent) {
  auto* control = new QSpinBox(parent);
  control->setRange(minimum, maximum);
  control->setSuffix(suffix);
  control->setKeyboardTracking(false);
  control->setAccessibleName(accessibleName);
  return control;
}

QGroupBox* box(const QString& title, QWidget* parent) {
  auto* control = new QGroupBox(title, parent);
  control->setAccessibleName(title);
  return control;
}

QStringList dashStyleNames() {
  return {QObject::tr("Solid"), QObject::tr("Dashed"), QObject::tr("Dotted"), QObject::tr("Dash dot"),
          QObject::tr("Dash dot dot")};
}

}  // namespace panels
