// Feeds arbitrary bytes as a zip package to the unpacker: it must answer, keep
// within its limits and never write outside the destination folder.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "data/CardZipArchive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  QTemporaryDir root;
  if (!root.isValid()) return 0;
  const QString archive = root.path() + "/in.zip";
  QFile file(archive);
  if (!file.open(QIODevice::WriteOnly)) return 0;
  file.write(reinterpret_cast<const char*>(data), qint64(size));
  file.close();
  UnzipLimits limits;
  limits.maxEntries = 64;
  limits.maxTotalBytes = 1 << 20;
  CardZipArchive::unzipFileAtPath(archive, root.path() + "/out", true, QString(), nullptr, limits);
  // Nothing but the archive and the destination may exist in the root.
  const QStringList entries =
      QDir(root.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
  for (const QString& entry : entries)
    if (entry != "in.zip" && entry != "out") std::abort();
  return 0;
}
