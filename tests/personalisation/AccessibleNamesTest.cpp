// Every control of the personalisation dialogs carries an accessible name,
// so that screen readers (and tests through the accessibility tree) find it.
#include <gtest/gtest.h>

#include "PersonalisationTestHost.h"
#include "personalisation/Card_Wizard.h"
#include "personalisation/Export_Template.h"
#include "personalisation/Insert_Template.h"
#include "personalisation/Invitation_Wizard.h"
#include "personalisation/ProfileDialog.h"
#include "personalisation/Template_Wizard.h"
#include "support/AccessibleControls.h"

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
    EXPECT_EQ(testing_support::unnamedControls(*dialog, &controls).join(", ").toStdString(), "")
        << dialog->objectName().toStdString();
    EXPECT_GT(controls, 2) << dialog->objectName().toStdString();
  }
}
