// The program's own message host with real windows: leaving a question
// with Escape or the window's close button answers Cancel, and a dialog's
// own answer comes back as the dialog gave it; long texts wrap by layout.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialog>
#include <QKeyEvent>
#include <QTimer>

#include "platform/widgets/MessageWindow.h"
#include "platform/widgets/Open_Export_Log.h"
#include "platform/widgets/QtMessageHost.h"
#include "support/ModalDismissal.h"
#include "support/WrappedText.h"

using testing_support::Dismissal;
using Answer = platform::MessageHost::Answer;

TEST(QtMessageHost, EscapeAndTheCloseButtonAnswerCancel) {
  platform::QtMessageHost host;
  const platform::ScopedMessageHost installed(host);
  for (const Dismissal how : {Dismissal::Escape, Dismissal::CloseButton}) {
    SCOPED_TRACE(testing_support::dismissalName(how));
    testing_support::dismissNextModal(how);
    EXPECT_EQ(host.askYesNoCancel("Do you want to save changes before closing?"), Answer::Cancel);
    // A yes/no question so left answers No, even where Yes is the default.
    testing_support::dismissNextModal(how);
    EXPECT_FALSE(host.askYesNo("Are you sure you want to stop?"));

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

// A word wider than the box (a long path, a long address) wraps within the
// box and the screen by the box's layout: the text itself stays exactly as
// given, for the eye, for screen readers and for Ctrl+C.
TEST(QtMessageHost, AWordWiderThanTheBoxWrapsWithinTheScreenAndTheTextStaysAsItIs) {
  platform::QtMessageHost host;
  const platform::ScopedMessageHost installed(host);
  QString path;
  while (path.size() < 300) path += "/home/zoe-adams/Pictures/Greeting.Cards";
  path = path.left(300);
  const QString address = QString(64, 'a') + "@" + QString(176, 'd') + ".example.test";
  const QString text = "\nThe attachment " + path + " cannot be read.\nThe recipient address " + address +
                       " is too long.\n\n0 of 1 e-mails have been sent.";
  bool seen = false;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<platform::MessageWindow*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    seen = true;
    EXPECT_TRUE(testing_support::showsWholeWithinTheScreen(*box->label(), text));
    QAccessibleInterface* alert = QAccessible::queryAccessibleInterface(box);
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->role(), QAccessible::AlertMessage);
    EXPECT_EQ(alert->text(QAccessible::Description), text);
    QApplication::clipboard()->clear();
    QKeyEvent copy(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier);
    QApplication::sendEvent(box, &copy);
    EXPECT_EQ(QApplication::clipboard()->text(), text);
    box->accept();
  });
  host.showMessage(text);
  EXPECT_TRUE(seen);

  // A text taller than the screen scrolls: the box and its OK stay on the screen.
  QStringList many;
  for (int i = 0; i < 300; ++i) many << path;
  seen = false;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<platform::MessageWindow*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    seen = true;
    const QSize room = platform::screenRoom(*box).size();
    EXPECT_LE(box->frameGeometry().height(), room.height());
    EXPECT_LE(box->frameGeometry().width(), room.width());
    EXPECT_EQ(box->text(), many.join('\n'));
    box->reject();
  });
  host.showMessage(many.join('\n'));
  EXPECT_TRUE(seen);
}
