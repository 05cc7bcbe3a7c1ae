#pragma once
// Waiting for a window in tests: until it is shown on the screen or is the
// active window. Qt's own waits give up after five seconds, which a busy
// machine can take; these wait for the event, with only the hang guard as
// their limit. A condition to wait for is served with serveUntil
// (support/EventLoop.h).

#include <QTest>
#include <QWidget>

#include "support/HangGuard.h"

namespace testing_support {

inline bool waitUntilShown(QWidget* window) {
  return QTest::qWaitForWindowExposed(window, kHangGuardMs);
}

inline bool waitUntilActive(QWidget* window) {
  return QTest::qWaitForWindowActive(window, kHangGuardMs);
}

}  // namespace testing_support
