// The mail dialogs, the progress panel and the long message box name every
// control for screen readers, by the label a person reads beside it; the
// mail dialog opens where the typing starts.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>

#include "platform/widgets/LongSmsDialog.h"
#include "production/Email_Setting.h"
#include "production/Send_Mail.h"
#include "production/Send_Modeless.h"
#include "support/AccessibleControls.h"
#include "support/EventLoop.h"
#include "support/ScriptedHost.h"

TEST(MailDialogNames, EveryControlIsNamedByItsLabel) {
  testing_support::ScriptedHost host;
  Send_Mail& mail = Send_Mail::defaultInstance();
  const QList<QDialog*> dialogs = {&mail, &Email_Setting::defaultInstance(),
                                   &Send_Modeless::defaultInstance(), &Long_SMS_Dlg::defaultInstance()};
  for (QDialog* dialog : dialogs) {
    const std::string which = dialog->metaObject()->className();
    EXPECT_FALSE(dialog->accessibleName().isEmpty()) << which;
    int controls = 0;
    EXPECT_EQ(testing_support::unnamedControls(*dialog, &controls).join(", ").toStdString(), "") << which;
    EXPECT_GT(controls, 0) << which;
  }
  // A form field is called what its label says, without the colon; a button
  // by its text without the dots.
  EXPECT_EQ(mail.to_txt->accessibleName(), "To");
  EXPECT_EQ(mail.from_txt->accessibleName(), "From");
  QStringList buttons;
  for (QAbstractButton* b : mail.findChildren<QAbstractButton*>()) buttons << b->accessibleName();
  EXPECT_TRUE(buttons.contains("Settings")) << buttons.join(", ").toStdString();
}

TEST(MailDialogNames, TheMailDialogOpensOnTheRecipientField) {
  testing_support::ScriptedHost host;
  Send_Mail& mail = Send_Mail::defaultInstance();
  QWidget* focused = nullptr;
  host.queueModal([&](QDialog& dialog) {
    dialog.show();
    dialog.activateWindow();
    testing_support::serveUntil([&] { return dialog.isActiveWindow(); });
    focused = QApplication::focusWidget();
    dialog.hide();
    return 0;
  });
  mail.Open_Wnd();
  EXPECT_EQ(focused, mail.to_txt);
}
