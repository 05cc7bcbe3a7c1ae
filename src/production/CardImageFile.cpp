#include "production/CardImageFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <QBuffer>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>
#include <QRandomGenerator>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "core/render/SKTRenderingView.h"
#include "platform/Messages.h"
#include "platform/SavedFile.h"
#include "production/CardImageFileRun.h"
#include "production/PngWriter.h"
#include "production/globals.h"

namespace production {

namespace {

const char* writerFormat(CardImageFormat format) {
  switch (format) {
    case CardImageFormat::Jpeg:
      return "jpeg";
    case CardImageFormat::Tiff:
      return "tiff";
    case CardImageFormat::Bmp:
      return "bmp";
    case CardImageFormat::Png:
      break;
  }
  return "png";
}

}  // namespace

CardImageFormat cardImageFormatFor(const QString& typeOrExtension) {
  QString type = typeOrExtension.trimmed().toLower();
  if (type.startsWith(QLatin1Char('.'))) type.remove(0, 1);
  if (type == QLatin1String("jpg") || type == QLatin1String("jpeg")) return CardImageFormat::Jpeg;
  if (type == QLatin1String("tif") || type == QLatin1String("tiff")) return CardImageFormat::Tiff;
  if (type == QLatin1String("bmp")) return CardImageFormat::Bmp;
  return CardImageFormat::Png;
}

CardImageFormat cardImageFormatOfPath(const QString& path) {
  return cardImageFormatFor(QFileInfo(path).suffix());
}

QString Create_Front_Card_Path(const QString& path) {
  return path;
}

QString Create_Back_Card_Path(const QString& path) {
  const QFileInfo info(path);
  const QString name = info.fileName();
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  const QString base = dot < 0 ? name : name.left(dot);
  const QString extension = dot < 0 ? QString() : name.mid(dot + 1);
  const QString backName = QStringLiteral("%1_Back.%2").arg(base, extension);
  const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
  return slash < 0 ? backName : path.left(slash + 1) + backName;
}

QByteArray encodeCardImage(const QImage& picture, CardImageFormat format, AlphaChannel alpha) {
  if (picture.isNull()) return {};
  const bool keepAlpha = alpha == AlphaChannel::Kept;
  if (format == CardImageFormat::Png) return encodePngFast(picture, keepAlpha);
  const bool opaqueOnly = format == CardImageFormat::Jpeg || format == CardImageFormat::Bmp;
  const QImage source = opaqueOnly && picture.hasAlphaChannel() ? SKTRenderingView::opaqueOverWhite(picture)
                        : keepAlpha && !picture.hasAlphaChannel()
                            ? picture.convertToFormat(QImage::Format_ARGB32)
                            : picture;
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, writerFormat(format));
  if (format == CardImageFormat::Jpeg) writer.setQuality(95);
  if (!writer.write(source)) return {};
  return data;
}

bool writeCardImageData(const QByteArray& data, const QString& path, QString* reason) {
  if (data.isEmpty()) {
    if (reason) *reason = QStringLiteral("The picture could not be encoded.");
    return false;
  }
  return saveWholeFile(path, data, reason);
}

QString prepareCardImageFile(const QByteArray& data, const QString& path, const QString& folder,
                             QString* reason, FileIdentity* identity) {
  const auto fail = [&](const QString& why) {
    if (reason) *reason = why;
    return QString();
  };
  if (data.isEmpty()) return fail(QStringLiteral("The picture could not be encoded."));
  const QFileInfo target(path);
  const FileIdentity made = identityOf(data);
  if (identity) *identity = made;
  // Hidden, under a name no other file has, which says the data's checksum
  // (should one be there, another number); created with the user's default
  // permissions.
  QString prepared;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    prepared = QStringLiteral("%1/.%2.%3.part")
                   .arg(folder, target.fileName())
                   .arg(attempt == 0 ? made.checksum : QRandomGenerator::global()->generate(), 8, 16,
                        QLatin1Char('0'));
    fd = ::open(QFile::encodeName(prepared).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return fail(QString::fromLocal8Bit(std::strerror(errno)));
  qsizetype done = 0;
  while (done < data.size()) {
    const ssize_t n = ::write(fd, data.constData() + done, static_cast<size_t>(data.size() - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const QString why = QString::fromLocal8Bit(std::strerror(n < 0 ? errno : ENOSPC));
      ::close(fd);
      ::unlink(QFile::encodeName(prepared).constData());
      return fail(why);
    }
    done += n;
  }
  // Not forced to disk one by one (a batch writes thousands of files; the
  // file system orders a rename over an older file after the new data).
  if (::close(fd) != 0) {
    const QString why = QString::fromLocal8Bit(std::strerror(errno));
    ::unlink(QFile::encodeName(prepared).constData());
    return fail(why);
  }
  return prepared;
}

void discardCardImageFile(const QString& prepared) {
  if (!prepared.isEmpty()) ::unlink(QFile::encodeName(prepared).constData());
}

bool writeCardImageFiles(const std::vector<CardImageData>& files, QString* failedPath, QString* reason,
                         EarlierRuns* earlier) {
  if (files.empty()) return true;
  const auto fail = [&](const QString& path, const QString& why) {
    if (failedPath) *failedPath = path;
    if (reason) *reason = why;
    return false;
  };
  QString why;
  // Settled first: a card a dead run left half replaced is put right before
  // this one takes its places, never over it.
  EarlierRuns settled;
  const auto run = CardImageFileRun::open(QFileInfo(files.front().path).path(), &why, &settled);
  if (earlier) *earlier = settled;
  if (!run) return fail(files.front().path, why);
  CardFilePlaces prepared;
  for (const CardImageData& file : files) {
    const QString made = prepareCardImageFile(file.data, file.path, run->folder(), &why);
    if (made.isEmpty()) {
      for (const auto& done : prepared) discardCardImageFile(done.second);
      return fail(file.path, why);
    }
    prepared.emplace_back(file.path, made);
  }
  const bool placed = run->place(prepared, failedPath, reason);
  if (earlier) run->reviewEarlier(*earlier);
  return placed;
}

QString cardImageFailureMessage(const QString& path, const QString& reason) {
  return QStringLiteral("The card file \"%1\" could not be written: %2").arg(path, reason);
}

bool Save_gen_image(const QImage& picture, const QString& path, QString* reason) {
  return Save_gen_image(picture, path, cardImageFormatOfPath(path), reason);
}

bool Save_gen_image(const QImage& picture, const QString& path, CardImageFormat format, QString* reason,
                    AlphaChannel alpha) {
  QString why;
  if (writeCardImageData(encodeCardImage(picture, format, alpha), path, &why)) return true;
  qCWarning(lcProduction).noquote() << QStringLiteral("%1: %2").arg(path, why);
  if (reason)
    *reason = why;
  else
    Show_MessageBox(cardImageFailureMessage(path, why));
  return false;
}

QImage combinedCardPicture(const QImage& front, const QImage& back) {
  if (front.isNull() || back.isNull()) {
    qCWarning(lcProduction).noquote() << QStringLiteral("Invalid image");
    return {};
  }
  QImage combined(front.width(), front.height() * 2, QImage::Format_ARGB32_Premultiplied);
  if (combined.isNull()) {
    qCWarning(lcProduction).noquote() << QStringLiteral("Invalid image");
    return {};
  }
  combined.setDotsPerMeterX(front.dotsPerMeterX());
  combined.setDotsPerMeterY(front.dotsPerMeterY());
  combined.fill(Qt::transparent);
  QPainter painter(&combined);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter.drawImage(QPoint(0, 0), front);
  painter.drawImage(QPoint(0, front.height()), back);
  painter.end();
  return combined;
}

}  // namespace production
