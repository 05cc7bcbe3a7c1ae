// The program's own message host with real Qt windows: leaving a question
// with Escape or the window's close button answers Cancel, and a dialog's
// own answer comes back as the dialog gave it.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDialog>
#include <QTimer>

#include "platform/widgets/Open_Export_Log.h"
#include "platform/widgets/QtMessageHost.h"
#include "support/ModalDismissal.h"

using testing_support::Dismissal;
using Answer = platform::MessageHost::Answer;

TEST(QtMessageHost, EscapeAndTheCloseButtonAnswerCancel) {
  platform::QtMessageHost host;
  const platform::ScopedMessageHost installed(host);
  for (const Dismissal how : {Dismissal::Escape, Dismissal::CloseButton}) {
    SCOPED_TRACE(testing_support::dismissalName(how));
    testing_support::dismissNextModal(how);
    EXPECT_EQ(host.askYesNoCancel("Do you want to save changes before closing?"), Answer::Cancel);

    // The export-finished box: as its Cancel, which ticks the box again.
    Open_Export_Log box;
    box._open_log_chk->setChecked(false);
    testing_support::dismissNextModal(how);
    EXPECT_EQ(box.openFor("/nowhere/Card_1.png", "Card has been exported successfully."), 0);
    EXPECT_TRUE(box._open_log_chk->isChecked());
  }

  // A third answer of a dialog is not made into 0 (which callers read as No).
  QDialog dialog;
  QTimer::singleShot(0, &dialog, [&dialog] { dialog.done(2); });
  EXPECT_EQ(host.runModal(dialog), 2);
}
