// Test entry point: selects the offscreen platform unless one is set, and
// keeps one QApplication alive for widget, font and painting tests.
#include <gtest/gtest.h>

#include <QApplication>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdlib>

#if defined(__SANITIZE_ADDRESS__)
// Two settings of the address checker for every test program:
// - It reports a static object that is made from a static object of another
//   file (whose order of making is the linker's), whichever order this link
//   happens to give.
// - It does not follow the thread-local blocks of loaded modules (picture
//   plugins, libraries that keep per-thread state). This compiler's checker
//   guesses each block's range from the 16 bytes before it; the C library here
//   lays those blocks out differently: most guesses fail and the block is given
//   no length, but a block that happens to start 16 bytes into a page is read
//   as a bogus range, and the leak check at exit dies scanning it. Where blocks
//   land depends on the machine (its core count, the libraries installed), so a
//   test could pass here and die elsewhere. Not following them loses nothing
//   the failed guesses gave: leaks are still found and reported
//   (tests/sanitizers proves both).
extern "C" const char* __asan_default_options() {
  return "check_initialization_order=1:strict_init_order=1:intercept_tls_get_addr=0";
}
#endif

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // Keep every test away from the real user's data folder and settings.
  QTemporaryDir dataHome;
  QTemporaryDir configHome;
  if (std::getenv("QUVO_KEEP_XDG") == nullptr) {
    setenv("XDG_DATA_HOME", dataHome.path().toLocal8Bit().constData(), 1);
    setenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit().constData(), 1);
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName("QUVO Gratulo");
  QApplication::setOrganizationName("QUVO");
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
