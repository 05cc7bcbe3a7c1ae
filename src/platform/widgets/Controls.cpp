#include "platform/widgets/Controls.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QStyle>
#include <QWidget>
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
