#include "production/print/PrintFileTarget.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/RegularFile.h"

namespace production {

namespace {

QString systemReason() {
  return QString::fromLocal8Bit(std::strerror(errno));
}

}  // namespace

PrintFileTarget::PrintFileTarget(const QString& finalPath) : final_(finalPath) {
  const QFileInfo info(finalPath);
  const QByteArray finalName = QFile::encodeName(finalPath);
  for (int attempt = 0; attempt < 16 && working_.isEmpty(); ++attempt) {
    const QString candidate =
        info.absolutePath() + QStringLiteral("/.") + info.fileName() +
        QStringLiteral(".%1.part").arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
    // Made with the user's umask, as the printer would make the file itself.
    const int fd =
        ::open(QFile::encodeName(candidate).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      why_ = systemReason();
      return;
    }
    // A file being replaced keeps its permissions.
    struct stat old {};
    if (::stat(finalName.constData(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);
    ::close(fd);
    working_ = candidate;
  }
  if (working_.isEmpty() && why_.isEmpty()) why_ = QStringLiteral("no temporary file could be made");
}

PrintFileTarget::~PrintFileTarget() {
  if (!working_.isEmpty()) QFile::remove(working_);
}

bool PrintFileTarget::commit() {
  if (working_.isEmpty()) return false;
  if (!isCompletePdf(working_)) {
    why_ = QStringLiteral("the file could not be written completely (is the disk full?)");
    QFile::remove(working_);
    working_.clear();
    return false;
  }
  if (std::rename(QFile::encodeName(working_).constData(), QFile::encodeName(final_).constData()) != 0) {
    why_ = systemReason();
    QFile::remove(working_);
    working_.clear();
    return false;
  }
  working_.clear();
  return true;
}

bool isCompletePdf(const QString& path) {
  QFile file;
  if (!platform::openRegularFile(file, path)) return false;
  const qint64 size = file.size();
  constexpr qint64 kTail = 1024;
  if (!file.seek(std::max<qint64>(0, size - kTail))) return false;
  const QByteArray tail = file.read(kTail);
  if (!tail.trimmed().endsWith("%%EOF")) return false;
  const qsizetype at = tail.lastIndexOf("startxref");
  if (at < 0) return false;
  const QList<QByteArray> words = tail.mid(at + 9).simplified().split(' ');
  bool ok = false;
  const qint64 offset = words.isEmpty() ? -1 : words.first().toLongLong(&ok);
  if (!ok || offset < 0 || offset >= size || !file.seek(offset)) return false;
  return file.read(4) == "xref";
}

}  // namespace production
