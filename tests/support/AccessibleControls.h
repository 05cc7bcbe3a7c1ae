#pragma once
// The controls of a window that a screen reader could not name, and what a
// screen reader's Toggle does to a button.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSlider>
#include <QStringList>

namespace testing_support {

inline bool insideCompositeControl(const QWidget* w) {
  for (const QObject* p = w->parent(); p; p = p->parent())
    if (qobject_cast<const QComboBox*>(p) || qobject_cast<const QAbstractSpinBox*>(p)) return true;
  return false;
}

inline bool isControl(const QWidget* w) {
  return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLineEdit*>(w) ||
         qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
         qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QAbstractItemView*>(w) ||
         qobject_cast<const QSlider*>(w);
}

// Counts the controls of `window` (parts of a combo or spin box aside) and
// returns those without an accessible name, by class and visible text.
inline QStringList unnamedControls(const QWidget& window, int* controls = nullptr) {
  QStringList unnamed;
  int count = 0;
  for (QWidget* w : window.findChildren<QWidget*>()) {
    if (!isControl(w) || insideCompositeControl(w)) continue;
    ++count;
    if (!w->accessibleName().isEmpty()) continue;
    const auto* button = qobject_cast<const QAbstractButton*>(w);
    unnamed << QStringLiteral("%1 '%2'").arg(QLatin1String(w->metaObject()->className()),
                                             button ? button->text() : QString());
  }
  if (controls) *controls = count;
  return unnamed;
}

// What a screen reader's "toggle" does to a radio button or a check box:
// it checks or unchecks the button without clicking it.
inline void toggleByAssistiveTool(QAbstractButton* button) {
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(button);
  ASSERT_NE(accessible, nullptr);
  ASSERT_NE(accessible->actionInterface(), nullptr);
  ASSERT_TRUE(
      accessible->actionInterface()->actionNames().contains(QAccessibleActionInterface::toggleAction()))
      << button->text().toStdString();
  accessible->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
}

}  // namespace testing_support
