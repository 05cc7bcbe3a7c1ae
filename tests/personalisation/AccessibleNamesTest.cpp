// Every control of the personalisation dialogs carries an accessible name,
// so that screen readers (and tests through the accessibility tree) find it.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSlider>

#include "PersonalisationTestHost.h"
#include "personalisation/Card_Wizard.h"
#include "personalisation/Export_Template.h"
#include "personalisation/Insert_Template.h"
#include "personalisation/Invitation_Wizard.h"
#include "personalisation/ProfileDialog.h"
#include "personalisation/Template_Wizard.h"

namespace {

bool insideCompositeControl(const QWidget* w) {
  for (const QObject* p = w->parent(); p; p = p->parent())
    if (qobject_cast<const QComboBox*>(p) || qobject_cast<const QAbstractSpinBox*>(p)) return true;
  return false;
}

bool isControl(const QWidget* w) {
  return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLineEdit*>(w) ||
         qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
         qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QAbstractItemView*>(w) ||
         qobject_cast<const QSlider*>(w);
}

}  // namespace

TEST(PersonalisationDialogs, EveryControlHasAnAccessibleName) {
  PersonalisationTestHost host;
  const QList<QDialog*> dialogs = {
      &Invitation_Wizard::defaultInstance(), &Show_User_Profile::defaultInstance(),
      &User_profile::defaultInstance(),      &Insert_Template::defaultInstance(),
      &Export_Template::defaultInstance(),   &Template_Wizard::defaultInstance(),
      &Card_Wizard::defaultInstance()};
  for (QDialog* dialog : dialogs) {
    EXPECT_FALSE(dialog->accessibleName().isEmpty()) << dialog->objectName().toStdString();
    int controls = 0;
    for (QWidget* w : dialog->findChildren<QWidget*>()) {
      if (!isControl(w) || insideCompositeControl(w)) continue;
      ++controls;
      EXPECT_FALSE(w->accessibleName().isEmpty())
          << dialog->objectName().toStdString() << ": " << w->metaObject()->className();
    }
    EXPECT_GT(controls, 2) << dialog->objectName().toStdString();
  }
}
