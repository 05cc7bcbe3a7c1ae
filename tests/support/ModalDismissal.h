#pragma once
// Ends the next window shown modally as a person does who chooses none of its
// buttons: with Escape, or with the window's close button. Tests use it on
// the program's real modal windows (the Qt message host) to see what such an
// ending answers.

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QTimer>

namespace testing_support {

enum class Dismissal { Escape, CloseButton };

inline const char* dismissalName(Dismissal how) {
  return how == Dismissal::Escape ? "Escape" : "close button";
}

// Call just before the modal run starts. A window that stays open all the
// same is ended with the code -1, so that no test waits on it.
inline void dismissNextModal(Dismissal how) {
  QTimer::singleShot(0, qApp, [how] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) {
      dismissNextModal(how);  // not shown yet
      return;
    }
    if (how == Dismissal::Escape) {
      QWidget* target = QApplication::focusWidget();
      if (target == nullptr || target->window() != modal) target = modal;
      QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
      QKeyEvent release(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier);
      QApplication::sendEvent(target, &press);
      QApplication::sendEvent(target, &release);
    } else {
      modal->close();
    }
    if (auto* dialog = qobject_cast<QDialog*>(modal); dialog != nullptr && dialog->isVisible())
      dialog->done(-1);
  });
}

}  // namespace testing_support
