// Test entry point: selects the offscreen platform unless one is set, and
// keeps one QApplication alive for widget, font and painting tests.
#include <gtest/gtest.h>

#include <QApplication>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdlib>

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // Keep every test away from the real user's data folder and settings.
  QTemporaryDir dataHome;
  QTemporaryDir configHome;
  QTemporaryDir stateHome;
  if (std::getenv("QUVO_KEEP_XDG") == nullptr) {
    setenv("XDG_DATA_HOME", dataHome.path().toLocal8Bit().constData(), 1);
    setenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit().constData(), 1);
    setenv("XDG_STATE_HOME", stateHome.path().toLocal8Bit().constData(), 1);
  }
  // Without a runtime folder Qt makes one in /tmp and leaves it there.
  QTemporaryDir runtimeFolder;
  if (std::getenv("XDG_RUNTIME_DIR") == nullptr)
    setenv("XDG_RUNTIME_DIR", runtimeFolder.path().toLocal8Bit().constData(), 1);
  QApplication app(argc, argv);
  QApplication::setApplicationName("QUVO Gratulo");
  QApplication::setOrganizationName("QUVO");
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
