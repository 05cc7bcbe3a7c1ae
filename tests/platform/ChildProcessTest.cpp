// Starting other programs: what goes in and comes out, the environment, and
// children that outlive their time or leave their own children behind.
#include <gtest/gtest.h>

#include "platform/ChildProcess.h"
#include "support/HangGuard.h"

using platform::ChildOutput;
using platform::ChildProcess;
using platform::runChild;

// More output than a pipe holds while the input is read: nothing waits on
// the other side; the streams stay apart or merge as asked.
TEST(ChildProcess, InputOutputErrorsAndExitStatus) {
  const QString script = "cat; echo problem >&2; head -c 300000 /dev/zero | tr '\\0' x; exit 3";
  const QByteArray input = QByteArray(100000, 'i') + "\nend";
  auto run = runChild("sh", {"-c", script}, {.input = input});
  EXPECT_TRUE(run.started);
  EXPECT_EQ(run.exitCode, 3);
  EXPECT_EQ(run.out, input + QByteArray(300000, 'x'));
  EXPECT_EQ(run.err, "problem\n");

  run = runChild("sh", {"-c", "echo one; echo two >&2"}, {.output = ChildOutput::Merged});
  EXPECT_EQ(run.out, "one\ntwo\n");
  EXPECT_EQ(run.err, "");

  // Without input the child reads an empty file rather than this process's.
  EXPECT_EQ(runChild("sh", {"-c", "wc -c"}).out.trimmed(), "0");

  run = runChild("sh", {"-c", "kill -9 $$"});
  EXPECT_TRUE(run.started);
  EXPECT_EQ(run.exitCode, -1);

  run = runChild("no-such-program-here", {});
  EXPECT_FALSE(run.started);
  EXPECT_TRUE(run.err.contains("no-such-program-here")) << run.err.toStdString();
}

TEST(ChildProcess, EnvironmentChangesOnTopOfOursOrAlone) {
  qputenv("QUVO_CHILD_KEPT", "kept");
  qputenv("QUVO_CHILD_REMOVED", "removed");
  const QStringList print = {"-c", "echo \"$QUVO_CHILD_KEPT|$QUVO_CHILD_REMOVED|$QUVO_CHILD_SET\""};
  EXPECT_EQ(runChild("/bin/sh", print,
                     {.environment = {{"QUVO_CHILD_REMOVED", std::nullopt}, {"QUVO_CHILD_SET", "set"}}})
                .out,
            "kept||set\n");
  EXPECT_EQ(
      runChild("/bin/sh", print, {.environment = {{"QUVO_CHILD_SET", "set"}}, .ownEnvironmentOnly = true})
          .out,
      "||set\n");
  qunsetenv("QUVO_CHILD_KEPT");
  qunsetenv("QUVO_CHILD_REMOVED");
}

// A child past its time is ended; a child that ends while a program it
// started still holds the output open is over all the same, with what it
// wrote. The sleeps last ten minutes: a run that waited for them would meet
// the limit of the test.
TEST(ChildProcess, TimeLimitAndChildrenLeftBehind) {
  auto run = runChild("sleep", {"600"}, {}, 300);
  EXPECT_TRUE(run.started);
  EXPECT_EQ(run.exitCode, -1);

  ChildProcess parent("sh", {"-c", "echo ready; sleep 600 & echo $!"});
  ASSERT_TRUE(parent.waitForExit(testing_support::kHangGuardMs)) << "waited for the sleep";
  EXPECT_EQ(parent.exitCode(), 0);
  const QList<QByteArray> lines = parent.out().split('\n');
  ASSERT_GE(lines.size(), 2);
  EXPECT_EQ(lines[0], "ready");
  runChild("kill", {QString::fromLatin1(lines[1])});
}
