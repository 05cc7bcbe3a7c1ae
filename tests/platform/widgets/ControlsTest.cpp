// Enabling and disabling groups of controls.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/widgets/Controls.h"

TEST(Controls, BoxDisablesEverythingInsideAndGreysTextFields) {
  QWidget window;
  auto* box = new QGroupBox("Outer", &window);
  auto* label = new QLabel("Name", box);
  auto* edit = new QLineEdit(box);
  auto* inner = new QGroupBox("Inner", box);
  auto* check = new QCheckBox("Tick", inner);
  auto* innerLabel = new QLabel("Deep", inner);
  const QColor normal = label->palette().color(QPalette::Active, QPalette::WindowText);

  SetObjEnabled(box, false);
  for (QWidget* w : std::initializer_list<QWidget*>{box, label, edit, inner, check, innerLabel})
    EXPECT_FALSE(w->isEnabled()) << w->metaObject()->className();
  const QColor grey = label->palette().color(QPalette::Active, QPalette::WindowText);
  EXPECT_NE(grey, normal);
  EXPECT_EQ(innerLabel->palette().color(QPalette::Active, QPalette::WindowText), grey);
  EXPECT_NE(edit->palette().color(QPalette::Active, QPalette::Text),
            QLineEdit().palette().color(QPalette::Active, QPalette::Text));

  SetObjEnabled(box, true);
  EXPECT_TRUE(check->isEnabled());
  EXPECT_EQ(label->palette().color(QPalette::Active, QPalette::WindowText), normal);
  SetObjEnabled(nullptr, false);  // nothing
}
