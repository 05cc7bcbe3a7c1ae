#include "platform/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <algorithm>
#include <cerrno>
#include <cstring>

namespace platform {

namespace {
void tell(QString* why, const QString& reason) {
  if (why) *why = reason;
}

// What stands at `path` instead of a file, and where a link leads.
QString notAFileReason(const QString& path, mode_t mode) {
  QString kind = QLatin1String(kNotARegularFile);
  if (S_ISDIR(mode)) kind = QLatin1String(kAFolder);
  if (S_ISFIFO(mode)) kind = QStringLiteral("it is a named pipe, not a file");
  if (S_ISCHR(mode) || S_ISBLK(mode)) kind = QStringLiteral("it is a device, not a file");
  if (S_ISSOCK(mode)) kind = QStringLiteral("it is a socket, not a file");
  const QFileInfo link(path);
  if (link.isSymLink()) kind += QStringLiteral(" (a link to %1)").arg(link.symLinkTarget());
  return kind;
}
}  // namespace

int openRegularFileDescriptor(const QString& path, QString* why, qint64* size) {
  if (path.isEmpty()) {
    tell(why, QStringLiteral("no file name"));
    return -1;
  }
  const QByteArray name = QFile::encodeName(path);
  int fd = -1;
  do {
    fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    tell(why, QString::fromLocal8Bit(std::strerror(errno)));
    return -1;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    const int error = errno;
    ::close(fd);
    tell(why, QString::fromLocal8Bit(std::strerror(error)));
    return -1;
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    tell(why, notAFileReason(path, st.st_mode));
    return -1;
  }
  if (size) *size = st.st_size;
  // Reads of a regular file never wait anyway; the flag goes for clarity.
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  return fd;
}

QString reasonAfterColon(const QString& why) {
  if (why.size() < 2 || !why.at(1).isLower()) return why;
  return why.at(0).toLower() + why.mid(1);
}

QString unreadableFileMessage(const QString& path, const QString& why) {
  return QStringLiteral("The file \"%1\" could not be read: %2.")
      .arg(QDir::toNativeSeparators(path), reasonAfterColon(why));
}

bool isReadableRegularFile(const QString& path, QString* why) {
  const int fd = openRegularFileDescriptor(path, why);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

bool openRegularFile(QFile& file, const QString& path, QString* why, qint64* size) {
  const int fd = openRegularFileDescriptor(path, why, size);
  if (fd < 0) return false;
  file.setFileName(path);
  if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    ::close(fd);
    tell(why, file.errorString());
    return false;
  }
  return true;
}

void readPictureFrom(QFile& file, QImageReader& reader, const QString& path) {
  if (file.pos() != 0) file.seek(0);
  reader.setDevice(&file);
  if (!reader.canRead()) {
    // A kind without a mark of its own in the content.
    file.seek(0);
    reader.setFormat(QFileInfo(path).suffix().toLower().toLatin1());
    reader.setDevice(&file);
  }
}

bool openRegularPictureFile(QFile& file, QImageReader& reader, const QString& path, QString* why) {
  if (!openRegularFile(file, path, why)) return false;
  readPictureFrom(file, reader, path);
  return true;
}

std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes, QString* why) {
  QFile file;
  if (!openRegularFile(file, path, why)) return std::nullopt;
  if (file.size() > maxBytes) {
    tell(why, QStringLiteral("it is larger than %1 bytes").arg(maxBytes));
    return std::nullopt;
  }
  // One byte more than the file holds tells a file that grows meanwhile.
  QByteArray bytes = file.read(std::min(maxBytes, file.size()) + 1);
  if (file.error() != QFileDevice::NoError) {
    tell(why, file.errorString());
    return std::nullopt;
  }
  if (bytes.size() > maxBytes) {
    tell(why, QStringLiteral("it is larger than %1 bytes").arg(maxBytes));
    return std::nullopt;
  }
  return bytes;
}

bool copyRegularFile(const QString& from, const QString& to, QString* why) {
  QFile source;
  if (!openRegularFile(source, from, why)) return false;
  QFile target(to);
  if (!target.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
    tell(why, target.errorString());
    return false;
  }
  constexpr qint64 kBlock = 64 * 1024;
  bool ok = true;
  while (ok) {
    const QByteArray block = source.read(kBlock);
    if (block.isEmpty()) {
      ok = source.error() == QFileDevice::NoError;
      if (!ok) tell(why, source.errorString());
      break;
    }
    ok = target.write(block) == block.size();
    if (!ok) tell(why, target.errorString());
  }
  struct stat st;
  if (ok && ::fstat(source.handle(), &st) == 0) ::fchmod(target.handle(), st.st_mode & 07777);
  if (ok && !target.flush()) {
    ok = false;
    tell(why, target.errorString());
  }
  if (!ok) target.remove();
  return ok;
}

}  // namespace platform
