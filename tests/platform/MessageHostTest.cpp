#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <future>
#include <stdexcept>
#include <thread>

#include "platform/MessageHost.h"
#include "platform/globals.h"
#include "support/EventLoop.h"
#include "support/ScriptedHost.h"

using namespace testing_support;

TEST(MessageHost, ScriptedHostIsInstalledAndRestored) {
  platform::MessageHost* before = &platform::messageHost();
  {
    testing_support::ScriptedHost host;
    EXPECT_EQ(&platform::messageHost(), &host);
    host.queueYesNo(true);
    EXPECT_TRUE(platform::messageHost().askYesNo("Replace?"));
    EXPECT_FALSE(platform::messageHost().askYesNo("Again?"));
    platform::messageHost().showMessage("hello");
    EXPECT_EQ(host.messages(), QStringList{"hello"});
    EXPECT_EQ(host.questions(), (QStringList{"Replace?", "Again?"}));
  }
  EXPECT_EQ(&platform::messageHost(), before);
}

TEST(MessageHost, ExitRequestedBeforeTheMainLoopRunsStillEndsIt) {
  ASSERT_EQ(dynamic_cast<testing_support::ScriptedHost*>(&platform::messageHost()), nullptr);
  // The program's own host: nothing runs an event loop yet (as while the
  // start window's set-up runs before the main loop).
  platform::messageHost().exitProcess(7);
  // Each loop below ends at once with the request; only a hang meets the
  // guard, which ends every running loop with 99.
  QTimer hangGuard;
  hangGuard.callOnTimeout([] { QCoreApplication::exit(99); });
  hangGuard.start(testing_support::kHangGuardMs);
  QEventLoop modal;             // a window shown modally afterwards
  EXPECT_NE(modal.exec(), 99);  // ends at once
  EXPECT_EQ(QApplication::exec(), 7);
  for (QTimer* t : qApp->findChildren<QTimer*>("quvo-process-exit")) delete t;
  QCoreApplication::processEvents();
}
