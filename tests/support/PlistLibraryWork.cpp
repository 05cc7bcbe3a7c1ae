#include "support/PlistLibraryWork.h"

#include <dlfcn.h>
#include <plist/plist.h>

#include <atomic>

namespace {

std::atomic<qint64> itemWork{0};
std::atomic<qint64> parses{0};

template <typename F>
F libraryFunction(const char* name) {
  return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

}  // namespace

namespace testing_support {
PlistLibraryWork plistLibraryWork() {
  return {itemWork, parses};
}
}  // namespace testing_support

extern "C" {
plist_t plist_array_get_item(plist_t node, uint32_t n) {
  static const auto real = libraryFunction<plist_t (*)(plist_t, uint32_t)>("plist_array_get_item");
  itemWork += static_cast<qint64>(n) + 1;
  return real(node, n);
}
void plist_array_next_item(plist_t node, plist_array_iter iter, plist_t* item) {
  static const auto real =
      libraryFunction<void (*)(plist_t, plist_array_iter, plist_t*)>("plist_array_next_item");
  ++itemWork;
  real(node, iter, item);
}
void plist_from_xml(const char* xml, uint32_t length, plist_t* out) {
  static const auto real = libraryFunction<void (*)(const char*, uint32_t, plist_t*)>("plist_from_xml");
  ++parses;
  real(xml, length, out);
}
void plist_from_bin(const char* bin, uint32_t length, plist_t* out) {
  static const auto real = libraryFunction<void (*)(const char*, uint32_t, plist_t*)>("plist_from_bin");
  ++parses;
  real(bin, length, out);
}
}
