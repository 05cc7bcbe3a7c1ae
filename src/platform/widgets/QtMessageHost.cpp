#include "platform/widgets/QtMessageHost.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include "platform/Messages.h"
#include "platform/widgets/MessageWindow.h"

namespace platform {

namespace {

// A box stays above the window the person is working in (a modal dialog, or
// else the active window), also when a window hidden just before it hands
// the focus back to that window.
int runAboveActiveWindow(MessageWindow& box) {
  QWidget* owner = QApplication::activeModalWidget();
  if (owner == nullptr) owner = QApplication::activeWindow();
  if (owner != nullptr && owner->window()->windowHandle() != nullptr) {
    box.winId();
    box.windowHandle()->setTransientParent(owner->window()->windowHandle());
  }
  QTimer::singleShot(0, &box, [&box] {
    box.raise();
    box.activateWindow();
  });
  return box.exec();
}

// A yes/no box; Return presses "Yes" when `yesIsDefault`, else "No".
bool askYesOrNo(const QString& question, bool yesIsDefault) {
  return onGuiThread([&] {
    MessageWindow box(question);
    QPushButton* yes = box.addButton("Yes", QDialogButtonBox::YesRole);
    QPushButton* no = box.addButton("No", QDialogButtonBox::NoRole);
    box.setDefaultButton(yesIsDefault ? yes : no);
    runAboveActiveWindow(box);
    return box.clickedButton() == yes;
  });
}

}  // namespace

// Windows may only be made on the GUI thread: a call from a worker waits
// there for the answer.
void QtMessageHost::showMessage(const QString& text) {
  onGuiThread([&] {
    MessageWindow box(text);
    box.setDefaultButton(box.addButton("OK", QDialogButtonBox::AcceptRole));
    runAboveActiveWindow(box);
  });
}

bool QtMessageHost::askYesNo(const QString& question) {
  return askYesOrNo(question, true);
}

bool QtMessageHost::askYesNoDefaultNo(const QString& question) {
  return askYesOrNo(question, false);
}

MessageHost::Answer QtMessageHost::askYesNoCancel(const QString& question) {
  return onGuiThread([&] {
    MessageWindow box(question);
    QPushButton* yes = box.addButton("Yes", QDialogButtonBox::YesRole);
    QPushButton* no = box.addButton("No", QDialogButtonBox::NoRole);
    // Escape and the window's close button answer Cancel, never No.
    box.setEscapeButton(box.addButton("Cancel", QDialogButtonBox::RejectRole));
    box.setDefaultButton(yes);
    runAboveActiveWindow(box);
    if (box.clickedButton() == yes) return Answer::Yes;
    return box.clickedButton() == no ? Answer::No : Answer::Cancel;
  });
}

QStringList QtMessageHost::openPanel(const FilePanelRequest& request) {
  return onGuiThread([&]() -> QStringList {
    if (request.chooseFolders) {
      const QString dir = QFileDialog::getExistingDirectory(nullptr, request.title, request.directory);
      return dir.isEmpty() ? QStringList() : QStringList{dir};
    }
    const QString filter = request.nameFilters.join(";;");
    if (request.allowMultiple)
      return QFileDialog::getOpenFileNames(nullptr, request.title, request.directory, filter);
    const QString file = QFileDialog::getOpenFileName(nullptr, request.title, request.directory, filter);
    return file.isEmpty() ? QStringList() : QStringList{file};
  });
}

QString QtMessageHost::savePanel(const FilePanelRequest& request) {
  return onGuiThread([&]() -> QString {
    QString start = request.directory;
    if (!request.suggestedName.isEmpty())
      start = start.isEmpty() ? request.suggestedName : start + "/" + request.suggestedName;
    return QFileDialog::getSaveFileName(nullptr, request.title, start, request.nameFilters.join(";;"));
  });
}

int QtMessageHost::runModal(QDialog& dialog) {
  return dialog.exec();
}

void useQtMessageHost() {
  static QtMessageHost host;
  setDefaultMessageHost(&host);
}

}  // namespace platform
