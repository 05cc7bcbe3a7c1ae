#include "platform/widgets/Controls.h"

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
