// A program of the sanitizer build as if moved away from its source tree:
// its suppressions are looked for in a folder that does not exist
// (tests/sanitizers/extra.cmake). It starts, and says that it did.
#include <cstdio>

int main() {
  std::puts("started");
  return 0;
}
