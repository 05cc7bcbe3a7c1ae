#include <gtest/gtest.h>

#include "platform/MessageHost.h"
#include "support/ScriptedHost.h"

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
