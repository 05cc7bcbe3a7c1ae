// The end of the program while a picture is being filtered for the window:
// the filtering ends before the application's objects and the program's
// statics it uses go.
#include <gtest/gtest.h>

#include <QFileInfo>

#include "platform/ChildProcess.h"

TEST(FilteringAtExit, TheApplicationsEndWaitsForTheFilteringFirst) {
  const QString program = QStringLiteral(QUVO_BINARY_DIR "/tests/filtering_at_exit");
  ASSERT_TRUE(QFileInfo(program).isExecutable()) << "build the target filtering_at_exit first";
  const auto process = platform::runChild(program, {}, {.output = platform::ChildOutput::Forwarded}, -1);
  EXPECT_EQ(process.exitCode, 0) << "3: the filtering was still running when the application's objects went";
}
