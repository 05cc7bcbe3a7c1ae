#pragma once
// Tab through a window as a keyboard user does: shows and activates it, puts
// the focus on a first control and presses Tab, collecting the names of the
// controls the focus comes to (the first one included).

#include <QApplication>
#include <QKeyEvent>
#include <QStringList>
#include <QWidget>
#include <functional>

#include "support/EventLoop.h"

namespace testing_support {

// `atEach` sees every control the focus reaches, before the next press.
inline QStringList tabStops(QWidget& window, QWidget* first, int presses,
                            const std::function<void(QWidget&)>& atEach = nullptr) {
  window.show();
  window.activateWindow();
  serveUntil([&] { return window.isActiveWindow(); });
  if (first != nullptr) first->setFocus(Qt::TabFocusReason);
  QStringList stops;
  for (int i = 0; i <= presses && QApplication::focusWidget() != nullptr; ++i) {
    QWidget& now = *QApplication::focusWidget();
    if (atEach) atEach(now);
    stops << now.accessibleName();
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QApplication::sendEvent(&now, &tab);
  }
  return stops;
}

}  // namespace testing_support
