#include "platform/widgets/Controls.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QSignalBlocker>
#include <QStyle>
#include <QWidget>
#include <algorithm>
#include <cstring>

namespace {

bool isExactly(const QWidget* w, const char* className) {
  return std::strcmp(w->metaObject()->className(), className) == 0;
}

QList<QWidget*> childControls(QWidget* w) {
  return w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
}

}  // namespace

void SetObjEnabled(QWidget* control, bool flag) {
  if (control == nullptr) return;
  control->setEnabled(flag);
  if (isExactly(control, "QLineEdit") || isExactly(control, "QLabel")) {
    QPalette palette = control->palette();
    const QPalette base = control->style() != nullptr ? control->style()->standardPalette() : QPalette();
    for (QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText}) {
      const QColor colour = base.color(flag ? QPalette::Active : QPalette::Disabled, role);
      palette.setColor(QPalette::Active, role, colour);
      palette.setColor(QPalette::Inactive, role, colour);
    }
    control->setPalette(palette);
    return;
  }
  if (isExactly(control, "QGroupBox")) {
    for (QWidget* child : childControls(control)) {
      SetObjEnabled(child, flag);
      for (QWidget* grandChild : childControls(child)) SetObjEnabled(grandChild, flag);
    }
  }
}

void commitFocusedEdit(const QWidget* window) {
  QWidget* focus = QApplication::focusWidget();
  if (focus == nullptr || window == nullptr || !window->isAncestorOf(focus)) return;
  // The text field inside a number field belongs to the number field.
  if (auto* number = qobject_cast<QAbstractSpinBox*>(focus->parentWidget());
      number && qobject_cast<QLineEdit*>(focus))
    focus = number;
  if (auto* number = qobject_cast<QAbstractSpinBox*>(focus)) {
    number->interpretText();  // tells of a changed value
  } else if (auto* field = qobject_cast<QLineEdit*>(focus); field && field->isModified()) {
    field->setModified(false);
    emit field->editingFinished();
  }
}

void onChosen(QAbstractButton* button, QObject* context, std::function<void()> chosen) {
  QObject::connect(button, &QAbstractButton::toggled, context, [chosen = std::move(chosen)](bool checked) {
    if (checked) chosen();
  });
}

void onChosen(QButtonGroup* group, QObject* context, std::function<void(int)> chosen) {
  QObject::connect(group, &QButtonGroup::idToggled, context,
                   [chosen = std::move(chosen)](int id, bool checked) {
                     if (checked) chosen(id);
                   });
}

void onToggled(QAbstractButton* box, QObject* context, std::function<void()> changed) {
  QObject::connect(box, &QAbstractButton::toggled, context, [changed = std::move(changed)] { changed(); });
}

void oneChoice(std::initializer_list<QAbstractButton*> buttons) {
  const QList<QAbstractButton*> choice(buttons);
  for (QAbstractButton* button : choice) {
    button->setAutoExclusive(false);
    QObject::connect(button, &QAbstractButton::toggled, button, [button, choice](bool checked) {
      if (checked) {
        for (QAbstractButton* other : choice)
          if (other != button) showChecked(other, false);
      } else if (std::none_of(choice.begin(), choice.end(), [](auto* b) { return b->isChecked(); })) {
        showChecked(button, true);
      }
    });
  }
}

void showChecked(QAbstractButton* button, bool checked) {
  // The group tells of each of its buttons' changes on its own.
  const QSignalBlocker quietButton(button), quietGroup(button->group());
  button->setChecked(checked);
}
