#include "mainwindow/panels/PanelControls.h"

#include <QFormLayout>
#include <QVBoxLayout>

#include "platform/FontNames.h"
#include "platform/widgets/ColorWell.h"

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

QDoubleSpinBox* doubleStepper(const QString& accessibleName, double minimum, double maximum, int decimals,
                              const QString& suffix, QWidget* parent) {
  auto* control = new QDoubleSpinBox(parent);
  control->setRange(minimum, maximum);
  control->setDecimals(decimals);
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

QString dashCode(int index) {
  static const QStringList codes = {QStringLiteral("S"), QStringLiteral("DA"), QStringLiteral("DO"),
                                    QStringLiteral("DD"), QStringLiteral("DDD")};
  return codes.value(index);
}

int dashIndex(const QString& code) {
  for (int i = 0; i < 5; ++i)
    if (dashCode(i) == code) return i;
  return -1;
}

void selectItemWithText(QComboBox* combo, const QString& text) {
  const int index = combo->findText(text);
  if (index >= 0) combo->setCurrentIndex(index);
}

QString fontLabel(const CardFont& font) {
  const platform::FontFace face = platform::fontFaceForName(font.name);
  QString name = face.family;
  if (face.weight >= QFont::Bold) name += QStringLiteral(" Bold");
  if (face.italic) name += QStringLiteral(" Italic");
  return QString::asprintf("%s ( %0.2f )", qPrintable(name), font.size);
}

BorderControls borderControls(const QString& what, QWidget* parent, QVBoxLayout* layout) {
  BorderControls c;
  c.check = checkBox(QObject::tr("Draw a border"), parent);
  c.check->setAccessibleName(QObject::tr("%1 border").arg(what));
  c.box = box(QObject::tr("Border"), parent);
  c.box->setAccessibleName(QObject::tr("%1 border settings").arg(what));
  auto* form = new QFormLayout(c.box);
  c.colour = new ColorWell(QObject::tr("%1 border colour").arg(what), c.box);
  c.width = stepper(QObject::tr("%1 border width").arg(what), 0, 50, QStringLiteral(" pt"), c.box);
  c.style = combo(QObject::tr("%1 border style").arg(what), dashStyleNames(), c.box);
  form->addRow(QObject::tr("Colour"), c.colour);
  form->addRow(QObject::tr("Width"), c.width);
  form->addRow(QObject::tr("Style"), c.style);
  layout->addWidget(c.check);
  layout->addWidget(c.box);
  return c;
}

}  // namespace panels
