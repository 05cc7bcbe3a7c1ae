// Feeds arbitrary bytes as a picture file to the picture check: it must
// answer without undefined behaviour, and read each byte of the file at most
// once (besides its first and last few), whatever its headers say.
// Seeds: tests/core/fuzz/seeds/picture_check (a small picture of every kind
// the check tells, a TIFF with its directory before its strips among them).
//   fuzz_picture_check -max_len=65536 corpus-picture tests/core/fuzz/seeds/picture_check
#include <sys/mman.h>
#include <unistd.h>

#include <QFile>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "core/PictureCompleteness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const int descriptor = ::memfd_create("picture", 0);
  if (descriptor < 0) return 0;
  for (size_t written = 0; written < size;) {
    const ssize_t n = ::write(descriptor, data + written, size - written);
    if (n <= 0) {
      ::close(descriptor);
      return 0;
    }
    written += size_t(n);
  }
  QFile file;
  if (!file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) return 0;
  const PictureStructure structure = examinePictureFile(file, qint64(size));
  if (structure.bytesRead > qint64(size) + 128) {
    std::fprintf(stderr, "read %lld bytes of a file of %zu\n", static_cast<long long>(structure.bytesRead),
                 size);
    std::abort();
  }
  // A kind it names is one it judged, and the other way round.
  if (structure.format.isEmpty() != (structure.completeness == PictureCompleteness::OtherKind) &&
      structure.format != "tiff")
    std::abort();
  return 0;
}
