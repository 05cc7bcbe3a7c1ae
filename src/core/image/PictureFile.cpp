#include "core/image/PictureFile.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <algorithm>

namespace picture_file {

namespace {

QImage decode(QImageReader& reader, QSize clampTo) {
  const QSize size = reader.size();
  QSize target;
  if (size.isValid()) {
    if (clampTo.isValid())
      target = QSize(std::min(size.width(), clampTo.width()), std::min(size.height(), clampTo.height()));
    const QSize decoded = target.isValid() ? target : size;
    if (qint64(decoded.width()) * qint64(decoded.height()) > kMaxDecodedPixels) return QImage();
    // Readers that cannot scale while decoding decode the whole picture first.
    if (!reader.supportsOption(QImageIOHandler::ScaledSize) &&
        qint64(size.width()) * qint64(size.height()) > kMaxDecodedPixels)
      return QImage();
    if (target.isValid() && target != size) reader.setScaledSize(target);
  }
  QImage image;
  if (!reader.read(&image)) return QImage();
  if (clampTo.isValid() && (image.width() > clampTo.width() || image.height() > clampTo.height()))
    image = image.scaled(std::min(image.width(), clampTo.width()), std::min(image.height(), clampTo.height()),
                         Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  return image;
}

}  // namespace

QString resolvedPath(const QString& path) {
  if (path.isEmpty()) return path;
  QString p = path;
  if (p == QLatin1String("~") || p.startsWith(QLatin1String("~/"))) p = QDir::homePath() + p.mid(1);
  return QDir::cleanPath(p);
}

QImage load(const QString& path, QSize clampTo) {
  const QString resolved = resolvedPath(path);
  if (resolved.isEmpty()) return QImage();
  const QFileInfo info(resolved);
  if (!info.isFile() || !info.isReadable()) return QImage();
  QImageReader reader(resolved);
  reader.setAutoTransform(true);
  return decode(reader, clampTo);
}

QImage fromData(const QByteArray& data, QSize clampTo) {
  if (data.isEmpty()) return QImage();
  QBuffer buffer;
  buffer.setData(data);
  if (!buffer.open(QIODevice::ReadOnly)) return QImage();
  QImageReader reader(&buffer);
  return decode(reader, clampTo);
}

}  // namespace picture_file
