#include "platform/SavedFile.h"

#include <QSaveFile>

bool saveWholeFile(const QString& path, const QByteArray& bytes, QString* why) {
  QSaveFile file(path);
  auto fail = [&](const QString& reason) {
    if (why) *why = reason;
    file.cancelWriting();
    return false;
  };
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return fail(file.errorString());
  const qint64 written = file.write(bytes);
  if (written != bytes.size())
    return fail(written < 0
                    ? file.errorString()
                    : QStringLiteral("only %1 of %2 bytes could be written").arg(written).arg(bytes.size()));
  if (!file.commit()) {
    if (why) *why = file.errorString();
    return false;
  }
  return true;
}
