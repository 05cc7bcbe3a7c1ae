#include "core/PictureFile.h"

#include <sys/stat.h>

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QMutex>
#include <QMutexLocker>
#include <optional>
#include <vector>

#include "core/PictureCompleteness.h"
#include "platform/RegularFile.h"
#include "platform/SavedFile.h"

namespace {

struct PictureKey {
  QString path;
  qint64 size = 0;
  qint64 modified = 0;  // milliseconds since the epoch
  bool operator==(const PictureKey&) const = default;
};

// Decoded pictures that something still holds. An entry that only this list
// holds any more (its picture is no longer shared) is dropped.
class DecodedPictures {
 public:
  std::optional<QImage> find(const PictureKey& key) {
    QMutexLocker lock(&mutex_);
    dropUnused();
    for (const auto& [k, image] : entries_)
      if (k == key) return image;
    return std::nullopt;
  }

  QImage keep(const PictureKey& key, const QImage& image) {
    QMutexLocker lock(&mutex_);
    dropUnused();
    for (const auto& [k, kept] : entries_)
      if (k == key) return kept;  // decoded meanwhile by another thread
    if (!image.isNull()) entries_.emplace_back(key, image);
    return image;
  }

 private:
  void dropUnused() {
    std::erase_if(entries_, [](const auto& entry) { return entry.second.isDetached(); });
  }

  QMutex mutex_;
  std::vector<std::pair<PictureKey, QImage>> entries_;
};

DecodedPictures& decodedPictures() {
  static DecodedPictures pictures;
  return pictures;
}

// Judges the picture file at `path` without decoding its pixels: a regular
// file, of a kind the program reads, whole (examinePictureFile), with a
// header that gives a size within the decoding limit. The reason it cannot
// be used, "" when it can; then `reader` is set to decode it from `file`.
QString lookAtPictureFile(QFile& file, QImageReader& reader, const QString& path) {
  QString why;
  qint64 bytes = 0;
  if (!platform::openRegularFile(file, path, &why, &bytes)) return why;
  const PictureStructure structure = examinePictureFile(file, bytes);
  if (structure.completeness == PictureCompleteness::Cut) return QLatin1String(platform::kDamagedPicture);
  // The reader of the kind the first bytes show, without asking every
  // reader whether it knows the file.
  reader.setFormat(structure.format);
  reader.setDevice(&file);
  if (structure.format.isEmpty() || !reader.canRead()) {
    reader.setFormat({});
    platform::readPictureFrom(file, reader, path);
  }
  const QSize size = reader.canRead() ? reader.size() : QSize();
  // A file that shows a known kind in its first bytes but whose header does
  // not read is a damaged picture of that kind.
  if (!size.isValid())
    return QLatin1String(structure.completeness == PictureCompleteness::Whole ? platform::kDamagedPicture
                                                                              : platform::kNotAPicture);
  const qint64 limit = qint64(kPictureAllocationLimitMB) * 1024 * 1024;
  if (qint64(size.width()) * size.height() * 4 > limit)
    return QStringLiteral("it is too large (%1 x %2 pixels; pictures of up to %3 million pixels can be used)")
        .arg(size.width())
        .arg(size.height())
        .arg(limit / 4 / 1000000);
  return {};
}

QImage decode(QImageReader& reader) {
  reader.setAllocationLimit(kPictureAllocationLimitMB);
  reader.setAutoTransform(true);
  QImage image = reader.read();
  // The reader marks a file named "name@2x.png" as a picture for a dense
  // screen; the card sizes every picture by its pixels.
  image.setDevicePixelRatio(1.0);
  return image;
}

// When the file was last changed, in milliseconds since the epoch; 0 when it
// cannot be told. Read from the file system as it is, never through local
// time: turning a time into local time takes a lock of the C library that
// every thread shares, and the export's workers look up a picture per card.
qint64 modifiedMSecs(const QString& path) {
  struct stat status {};
  if (::stat(QFile::encodeName(path).constData(), &status) != 0) return 0;
  return qint64(status.st_mtim.tv_sec) * 1000 + status.st_mtim.tv_nsec / 1000000;
}

}  // namespace

QString standardizedPicturePath(const QString& path) {
  QString p = path;
  if (p == QLatin1String("~") || p.startsWith(QLatin1String("~/"))) p = QDir::homePath() + p.mid(1);
  return p.isEmpty() ? p : QDir::cleanPath(p);
}

QString pictureFileProblem(const QString& path) {
  const QString p = standardizedPicturePath(path);
  QFile file;
  QImageReader reader;
  const QString why = lookAtPictureFile(file, reader, p);
  return why.isEmpty() ? QString() : platform::unreadableFileMessage(p, why);
}

CheckedPicture loadCheckedPictureFile(const QString& path) {
  const QString p = standardizedPicturePath(path);
  const QFileInfo info(p);
  std::optional<PictureKey> key;
  if (info.isFile()) {
    const QString canonical = info.canonicalFilePath();
    key =
        PictureKey{canonical.isEmpty() ? info.absoluteFilePath() : canonical, info.size(), modifiedMSecs(p)};
    if (std::optional<QImage> kept = decodedPictures().find(*key)) return {*kept, {}};
  }
  QFile file;
  QImageReader reader;
  QString why = lookAtPictureFile(file, reader, p);
  QImage image;
  if (why.isEmpty()) {
    image = decode(reader);
    // Damage that only decoding finds (the data of a whole-looking file).
    if (image.isNull()) why = QLatin1String(platform::kDamagedPicture);
  }
  if (!why.isEmpty()) return {{}, platform::unreadableFileMessage(p, why)};
  return {key ? decodedPictures().keep(*key, image) : image, {}};
}

QImage loadPictureFile(const QString& path) {
  return loadCheckedPictureFile(path).image;
}

QString keepPastedPicture(const QImage& picture, const QString& resourceFolder, QString* why) {
  auto fail = [why](const QString& reason) {
    if (why) *why = reason;
    return QString();
  };
  if (picture.isNull()) return fail(QStringLiteral("there is no picture"));
  if (resourceFolder.isEmpty()) return fail(QStringLiteral("there is no resource folder"));
  QByteArray png;
  QBuffer buffer(&png);
  // A light compression: a pasted camera photo is written in a fifth of the
  // time of the default (seconds on the GUI thread) for a tenth more bytes.
  constexpr int kPastedPngQuality = 80;
  if (!buffer.open(QIODevice::WriteOnly) || !picture.save(&buffer, "PNG", kPastedPngQuality))
    return fail(QStringLiteral("the picture could not be written as PNG"));
  const QString digest =
      QString::fromLatin1(QCryptographicHash::hash(png, QCryptographicHash::Sha256).toHex().left(16));
  const QDir folder(QDir(resourceFolder).filePath(QStringLiteral("LibraryImage/Pasted")));
  if (!QDir().mkpath(folder.path()))
    return fail(QStringLiteral("the folder %1 could not be made").arg(folder.path()));
  const QString path = folder.filePath(QStringLiteral("Pasted %1.png").arg(digest));
  const QFileInfo existing(path);
  if (existing.isFile() && existing.size() == png.size()) return path;
  QString reason;
  if (!saveWholeFile(path, png, &reason)) return fail(reason);
  return path;
}
