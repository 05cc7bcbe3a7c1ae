// The settings of the sanitizers that every program of a sanitizer build
// starts with: the test programs, the program itself and the tools the tests
// start. Settings in ASAN_OPTIONS, LSAN_OPTIONS and UBSAN_OPTIONS still
// override them one by one.

// The address checker:
// - It reports a static object that is made from a static object of another
//   file (whose order of making is the linker's), whichever order this link
//   happens to give.
// - It checks that the strings given to the C library's string functions end
//   (strict_string_checks), the whole string rather than the part the call
//   reads. Some system libraries call such functions correctly on counted
//   strings with no end byte (libxkbcommon-x11 at every start on an X display);
//   tests/asan.supp names those libraries, so their calls pass and ours are
//   still checked.
// - It does not follow the thread-local blocks of loaded modules (picture
//   plugins, libraries that keep per-thread state). This compiler's checker
//   guesses each block's range from the 16 bytes before it; the C library here
//   lays those blocks out differently: most guesses fail and the block is given
//   no length, but a block that happens to start 16 bytes into a page is read
//   as a bogus range, and the leak check at exit dies scanning it. Where blocks
//   land depends on the machine (its core count, the libraries installed), so a
//   program could pass here and die elsewhere. Not following them loses nothing
//   the failed guesses gave: leaks are still found and reported
//   (tests/sanitizers proves both).
//
// The suppressions are read from the source tree the program was built from
// (tests/*.supp). A program moved elsewhere, or whose source tree is gone,
// runs without them and says so once, rather than stopping at its start.
//
// The sanitizers ask for these settings while they start, before they can
// check anything: this code is not checked itself, and it calls no function
// that a sanitizer intercepts (write is; the system call is not).
#include <sys/syscall.h>
#include <unistd.h>

#define QUVO_NOT_CHECKED __attribute__((no_sanitize("address", "undefined")))

namespace {

QUVO_NOT_CHECKED bool suppressionsFound() {
  static int found = -1;  // not known yet
  if (found < 0) {
    found = ::access(QUVO_ADDRESS_SUPPRESSIONS, R_OK) == 0 && ::access(QUVO_LEAK_SUPPRESSIONS, R_OK) == 0;
    static const char message[] = "The sanitizer suppressions were not found (" QUVO_LEAK_SUPPRESSIONS
                                  ", " QUVO_ADDRESS_SUPPRESSIONS "); running without them.\n";
    if (!found) ::syscall(SYS_write, STDERR_FILENO, message, sizeof message - 1);
  }
  return found;
}

}  // namespace

#define QUVO_ADDRESS_CHECKS \
  "check_initialization_order=1:strict_init_order=1:strict_string_checks=1:intercept_tls_get_addr=0"
extern "C" QUVO_NOT_CHECKED const char* __asan_default_options() {
  return suppressionsFound() ? QUVO_ADDRESS_CHECKS ":suppressions=" QUVO_ADDRESS_SUPPRESSIONS
                             : QUVO_ADDRESS_CHECKS;
}

// The leak check: the allocations that system libraries keep for the whole
// process are not leaks of ours.
extern "C" QUVO_NOT_CHECKED const char* __lsan_default_options() {
  return suppressionsFound() ? "suppressions=" QUVO_LEAK_SUPPRESSIONS ":print_suppressions=0"
                             : "print_suppressions=0";
}

// Undefined behaviour: where it happened, and the program ends there.
extern "C" const char* __ubsan_default_options() {
  return "print_stacktrace=1:halt_on_error=1";
}
