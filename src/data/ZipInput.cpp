#include "data/ZipInput.h"

#include <unistd.h>

#include <QFile>
#include <QStringList>
#include <cstdio>
#include <vector>

#include "platform/RegularFile.h"

namespace zip_input {
namespace {

// What the opener found out about the path.
struct OpenState {
  QString why;
};

// Opens only a regular file (a named pipe would wait for a writer), then
// hands the stream to the library's own readers.
voidpf openRegularFile(voidpf opaque, const void* filename, int mode) {
  if (!filename || (mode & ZLIB_FILEFUNC_MODE_WRITE)) return nullptr;
  auto* state = static_cast<OpenState*>(opaque);
  const int fd =
      platform::openRegularFileDescriptor(QFile::decodeName(static_cast<const char*>(filename)), &state->why);
  if (fd < 0) return nullptr;
  FILE* stream = ::fdopen(fd, "rb");
  if (!stream) ::close(fd);
  return stream;
}

}  // namespace

unzFile openArchive(const QString& path, QString* unreadable) {
  zlib_filefunc64_def functions;
  fill_fopen64_filefunc(&functions);
  OpenState state;
  functions.zopen64_file = openRegularFile;
  functions.opaque = &state;
  const QByteArray name = QFile::encodeName(path);
  unzFile file = unzOpen2_64(name.constData(), &functions);
  // The library copies the functions but keeps the opaque pointer; nothing
  // opens through it again after this call.
  if (!file && !state.why.isEmpty() && unreadable)
    *unreadable = platform::unreadableFileMessage(path, state.why);
  return file;
}

bool readEntryInfo(unzFile file, unz_file_info64& info, QByteArray& rawName) {
  if (unzGetCurrentFileInfo64(file, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) return false;
  // One byte longer than the name, so that it always ends in a zero byte.
  std::vector<char> buffer(info.size_filename + 1, '\0');
  if (unzGetCurrentFileInfo64(file, &info, buffer.data(), static_cast<uLong>(buffer.size()), nullptr, 0,
                              nullptr, 0) != UNZ_OK)
    return false;
  rawName = QByteArray(buffer.data(), static_cast<qsizetype>(info.size_filename));
  return true;
}

EntryName decodeName(const QByteArray& raw) {
  EntryName entry;
  entry.isFolder = raw.endsWith('/') || raw.endsWith('\\');
  entry.name = QString::fromUtf8(raw);
  entry.name.replace('\\', '/');
  return entry;
}

QString unsafeNameReason(const QByteArray& raw, const EntryName& entry) {
  if (raw.contains('\0')) return QStringLiteral("its name holds a NUL byte");
  if (entry.name.isEmpty()) return QStringLiteral("its name is empty");
  if (entry.name.startsWith('/')) return QStringLiteral("its name is an absolute path");
  if (entry.name.size() >= 2 && entry.name.at(1) == ':' && entry.name.at(0).isLetter())
    return QStringLiteral("its name starts with a drive letter");
  const QStringList parts = entry.name.split('/', Qt::SkipEmptyParts);
  for (const QString& part : parts)
    if (part == "..") return QStringLiteral("its name climbs out of the destination folder");
  return QString();
}

}  // namespace zip_input
