#include "platform/SavedFile.h"

#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/RegularFile.h"
#include "platform/globals.h"

bool saveWholeFile(const QString& path, const QByteArray& bytes, QString* why) {
  QSaveFile file(path);
  auto fail = [&](const QString& reason) {
    if (why) *why = reason;
    file.cancelWriting();
    return false;
  };
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return fail(file.errorString());
  // A short write is followed by one for the rest, which tells why it stopped
  // (a full disk, a file size limit).
  qint64 written = 0;
  while (written < bytes.size()) {
    const qint64 more = file.write(bytes.constData() + written, bytes.size() - written);
    if (more < 0) return fail(file.errorString());
    if (more == 0)
      return fail(QStringLiteral("only %1 of %2 bytes could be written").arg(written).arg(bytes.size()));
    written += more;
  }
  if (!file.commit()) {
    if (why) *why = file.errorString();
    return false;
  }
  return true;
}

namespace platform {

namespace {

QString errorText(int error) {
  return QString::fromLocal8Bit(std::strerror(error));
}

// rename(2) takes the place in one step, where QFile::rename refuses an existing target.
bool move(const QString& from, const QString& to, QString* why = nullptr) {
  if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0) return true;
  if (why) *why = errorText(errno);
  return false;
}

// The old file at `place` kept beside it under a hidden name: a second link
// to it (no room taken, so it works on a full disk too), else a copy.
QString keepAside(const QString& place, QString* why) {
  const QFileInfo old(place);
  const QString kept = old.absolutePath() + QStringLiteral("/.") + old.fileName() + QStringLiteral(".old");
  QFile::remove(kept);
  if (::link(QFile::encodeName(place).constData(), QFile::encodeName(kept).constData()) == 0) return kept;
  const int linkError = errno;
  if (platform::copyRegularFile(place, kept)) return kept;
  if (why) *why = errorText(linkError);
  return QString();
}

}  // namespace

FileReplacement::~FileReplacement() {
  for (auto step = done_.rbegin(); step != done_.rend(); ++step) {
    if (step->kept.isEmpty())
      QFile::remove(step->place);
    else if (!move(step->kept, step->place))
      qCWarning(lcPlatform).noquote() << QStringLiteral("Kept the old file as %1").arg(step->kept);
  }
}

bool FileReplacement::replace(const QString& from, const QString& place, QString* why) {
  QString kept;
  if (QFileInfo(place).isFile()) {
    kept = keepAside(place, why);
    if (kept.isEmpty()) return false;
  }
  if (!move(from, place, why)) {
    qCWarning(lcPlatform).noquote() << QStringLiteral("Could not move %1 to %2").arg(from, place);
    if (!kept.isEmpty()) QFile::remove(kept);
    return false;
  }
  done_.push_back({place, kept});
  return true;
}

void FileReplacement::commit() {
  for (const Step& step : done_)
    if (!step.kept.isEmpty()) QFile::remove(step.kept);
  done_.clear();
}

}  // namespace platform
