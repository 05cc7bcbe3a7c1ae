#include "core/PictureFile.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>

QString standardizedPicturePath(const QString& path) {
  QString p = path;
  if (p == QLatin1String("~") || p.startsWith(QLatin1String("~/"))) p = QDir::homePath() + p.mid(1);
  return p.isEmpty() ? p : QDir::cleanPath(p);
}

QImage loadPictureFile(const QString& path) {
  const QString p = standardizedPicturePath(path);
  if (p.isEmpty()) return {};
  // Only plain files: a named pipe would block the reader for ever, a device
  // could feed it without end.
  if (!QFileInfo(p).isFile()) return {};
  QImageReader reader(p);
  reader.setAllocationLimit(kPictureAllocationLimitMB);
  reader.setAutoTransform(true);
  QImage image = reader.read();
  // The reader marks a file named "name@2x.png" as a picture for a dense
  // screen; the card sizes every picture by its pixels.
  image.setDevicePixelRatio(1.0);
  return image;
}
