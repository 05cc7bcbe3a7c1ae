// The program's own message host with real Qt windows: leaving a question
// with Escape or the window's close button answers Cancel, and a dialog's
// own answer comes back as the dialog gave it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QTextLayout>
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

// A word wider than the box (a long address) is not cut off at the box's
// right edge: every line the box's text makes fits its label, and the text
// is shown whole.
TEST(QtMessageHost, AWordWiderThanTheBoxIsShownWhole) {
  platform::QtMessageHost host;
  const platform::ScopedMessageHost installed(host);
  const QString address = QString(64, 'a') + "@" + QString(176, 'd') + ".example.test";
  const QString text =
      "\nThe recipient address " + address + " is too long.\n\n0 of 1 e-mails have been sent.";
  bool seen = false;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    const auto* label = box->findChild<QLabel*>("qt_msgbox_label");
    ASSERT_NE(label, nullptr);
    seen = true;
    EXPECT_EQ(QString(label->text()).remove(QChar(0x200B)), text);
    // The lines as the label wraps them, at blanks and other places to break.
    QTextLayout layout(QString(label->text()).replace('\n', QChar::LineSeparator), label->font());
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    const qreal width = label->contentsRect().width();
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
      line.setLineWidth(width);
      EXPECT_LE(line.naturalTextWidth(), width) << line.textStart();
    }
    layout.endLayout();
    box->accept();
  });
  host.showMessage(text);
  EXPECT_TRUE(seen);
}
