#include "data/CardZipArchive.h"

#include <fcntl.h>
#include <minizip/zip.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "data/Report.h"
#include "data/ZipInput.h"
#include "platform/QuotedValue.h"
#include "platform/RegularFile.h"

using zip_input::decodeName;
using zip_input::EntryName;
using zip_input::readEntryInfo;
using zip_input::unsafeNameReason;

namespace {

const QString kDomain = QStringLiteral("CardZipArchiveErrorDomain");
constexpr int kReadBlock = 4096;
constexpr qint64 kWriteBlock = 16384;
// General purpose flag bit 11: the entry name is UTF-8.
constexpr uLong kUtf8NameFlag = 1u << 11;
// Made by a Unix host (zip 2.0), so that readers take the names as they are
// instead of converting them from a DOS code page; with Unix modes to match.
constexpr uLong kVersionMadeBy = (3u << 8) | 20u;
constexpr uLong kFileAttributes = 0100644u << 16;
constexpr uLong kFolderAttributes = (040755u << 16) | 0x10u;

void setError(CardZipArchiveError* error, int code, const QString& text) {
  if (!error) return;
  error->domain = kDomain;
  error->code = code;
  error->localizedDescription = text;
}

// Walks the central directory once before anything is written: every name must
// be safe, and the entry count and the declared sizes must stay within the limits.
bool checkArchive(unzFile file, const UnzipLimits& limits, CardZipArchiveError* error) {
  std::int64_t entries = 0;
  std::int64_t declared = 0;
  int status = unzGoToFirstFile(file);
  while (status == UNZ_OK) {
    unz_file_info64 info{};
    QByteArray raw;
    if (!readEntryInfo(file, info, raw)) {
      setError(error, CardZipArchiveError::kEntryFailed,
               QStringLiteral("failed to read an entry of the zip file"));
      return false;
    }
    const EntryName entry = decodeName(raw);
    const QString reason = unsafeNameReason(raw, entry);
    if (!reason.isEmpty()) {
      setError(error, CardZipArchiveError::kUnsafeEntry,
               QStringLiteral("refused zip entry \"%1\": %2")
                   .arg(data_report::excerpt(QString::fromUtf8(raw)), reason));
      return false;
    }
    if (++entries > limits.maxEntries) {
      setError(error, CardZipArchiveError::kTooLarge,
               QStringLiteral("the zip file holds more than %1 entries").arg(limits.maxEntries));
      return false;
    }
    declared += static_cast<std::int64_t>(std::min<ZPOS64_T>(info.uncompressed_size, ZPOS64_T{1} << 62));
    if (declared > limits.maxTotalBytes) {
      setError(error, CardZipArchiveError::kTooLarge,
               QStringLiteral("the zip file unpacks to more than %1 bytes").arg(limits.maxTotalBytes));
      return false;
    }
    status = unzGoToNextFile(file);
  }
  return status == UNZ_END_OF_LIST_OF_FILE;
}

void setModificationTime(int fd, const tm_unz& date) {
  const QDateTime when(QDate(int(date.tm_year), int(date.tm_mon) + 1, int(date.tm_mday)),
                       QTime(int(date.tm_hour), int(date.tm_min), int(date.tm_sec)), Qt::LocalTime);
  if (!when.isValid()) return;
  struct timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;
  times[1].tv_sec = static_cast<time_t>(when.toSecsSinceEpoch());
  times[1].tv_nsec = 0;
  ::futimens(fd, times);
}

enum class CopyResult { Ok, ReadFailed, TooLarge };

// Copies the open entry into the file descriptor (or only drains it when fd < 0),
// counting every byte against the limit. A write that fails stops the writing
// (the entry is still read to its end) and leaves its errno in *writeError.
// A stream that ends before the size its header gives is a damaged entry.
CopyResult copyEntry(unzFile file, int fd, ZPOS64_T expected, std::int64_t& total, const UnzipLimits& limits,
                     int* writeError) {
  char buffer[kReadBlock];
  ZPOS64_T entryBytes = 0;
  for (;;) {
    const int got = unzReadCurrentFile(file, buffer, kReadBlock);
    if (got == 0) return entryBytes == expected ? CopyResult::Ok : CopyResult::ReadFailed;
    if (got < 0) return CopyResult::ReadFailed;
    total += got;
    entryBytes += ZPOS64_T(got);
    if (total > limits.maxTotalBytes) return CopyResult::TooLarge;
    for (int done = 0; fd >= 0 && done < got;) {
      const ssize_t put = ::write(fd, buffer + done, static_cast<size_t>(got - done));
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) {
        *writeError = put < 0 ? errno : ENOSPC;
        fd = -1;
        break;
      }
      done += static_cast<int>(put);
    }
  }
}

bool pathExists(const QString& path) {
  struct stat st;
  return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

// The entries an unpack could not write, and why the first of them was not.
struct NotWritten {
  QStringList entries;
  QString reason;

  void add(const QString& entry, int error) {
    if (entries.isEmpty()) reason = QString::fromLocal8Bit(std::strerror(error));
    entries.append(entry);
  }
};

}  // namespace

bool CardZipArchive::unzipFileAtPath(const QString& path, const QString& destination, bool overwrite,
                                     const QString& password, CardZipArchiveError* error,
                                     const UnzipLimits& limits) {
  zip_input::UnzipHandle zip(zip_input::openArchive(path));
  if (!zip.file) {
    setError(error, CardZipArchiveError::kOpenFailed, QStringLiteral("failed to open zip file"));
    return false;
  }
  unz_global_info64 global{};
  unzGetGlobalInfo64(zip.file, &global);
  if (unzGoToFirstFile(zip.file) != UNZ_OK) {
    setError(error, CardZipArchiveError::kFirstFileFailed,
             QStringLiteral("failed to open first file in zip file"));
    return false;
  }
  if (!checkArchive(zip.file, limits, error)) return false;
  if (unzGoToFirstFile(zip.file) != UNZ_OK) {
    setError(error, CardZipArchiveError::kFirstFileFailed,
             QStringLiteral("failed to open first file in zip file"));
    return false;
  }

  const QString root = QDir::cleanPath(destination);
  const QByteArray passwordBytes = password.toLatin1();
  std::int64_t total = 0;
  NotWritten notWritten;
  int status = UNZ_OK;
  while (status == UNZ_OK) {
    const int opened = password.isEmpty() ? unzOpenCurrentFile(zip.file)
                                          : unzOpenCurrentFilePassword(zip.file, passwordBytes.constData());
    if (opened != UNZ_OK) {
      setError(error, CardZipArchiveError::kEntryFailed,
               QStringLiteral("failed to open an entry of the zip file"));
      return false;
    }
    unz_file_info64 info{};
    QByteArray raw;
    if (!readEntryInfo(zip.file, info, raw)) {
      unzCloseCurrentFile(zip.file);
      setError(error, CardZipArchiveError::kEntryFailed,
               QStringLiteral("failed to read an entry of the zip file"));
      return false;
    }
    const EntryName entry = decodeName(raw);
    const QString target = QDir::cleanPath(root + "/" + entry.name);
    if (!unsafeNameReason(raw, entry).isEmpty() || !target.startsWith(root + "/")) {
      // The names were checked before; an archive that changed under us is refused.
      unzCloseCurrentFile(zip.file);
      setError(error, CardZipArchiveError::kUnsafeEntry,
               QStringLiteral("refused zip entry \"%1\"").arg(data_report::excerpt(entry.name)));
      return false;
    }

    if (entry.isFolder) {
      if (!QDir().mkpath(target) || !QFileInfo(target).isDir())
        notWritten.add(entry.name, pathExists(target) ? ENOTDIR : EACCES);
    } else {
      QDir().mkpath(QFileInfo(target).path());
    }

    int fd = -1;
    int writeError = 0;
    if (!entry.isFolder && (overwrite || !pathExists(target))) {
      fd = ::open(QFile::encodeName(target).constData(),
                  O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
      if (fd < 0) writeError = errno;
    }
    const CopyResult copied = copyEntry(zip.file, fd, info.uncompressed_size, total, limits, &writeError);
    if (fd >= 0) {
      if (copied == CopyResult::Ok && writeError == 0 && info.dosDate != 0)
        setModificationTime(fd, info.tmu_date);
      ::close(fd);
      // A part of a file is no file: it goes.
      if (writeError != 0) ::unlink(QFile::encodeName(target).constData());
    }
    if (writeError != 0) notWritten.add(entry.name, writeError);
    const int closed = unzCloseCurrentFile(zip.file);
    if (copied == CopyResult::TooLarge) {
      setError(error, CardZipArchiveError::kTooLarge,
               QStringLiteral("the zip file unpacks to more than %1 bytes").arg(limits.maxTotalBytes));
      return false;
    }
    if (copied == CopyResult::ReadFailed || closed != UNZ_OK) {
      setError(error, CardZipArchiveError::kEntryFailed,
               QStringLiteral("failed to read zip entry \"%1\"").arg(data_report::excerpt(entry.name)));
      return false;
    }
    status = unzGoToNextFile(zip.file);
  }
  if (!notWritten.entries.isEmpty()) {
    setError(error, CardZipArchiveError::kWriteFailed,
             QStringLiteral("could not write %1 (%2)")
                 .arg(platform::quotedValueList(notWritten.entries), notWritten.reason));
    return false;
  }
  return true;
}

bool CardZipArchive::unzipFileAtPath(const QString& path, const QString& destination) {
  return unzipFileAtPath(path, destination, true, QString(), nullptr);
}

bool CardZipArchive::createZipFileAtPath(const QString& path, const QStringList& paths) {
  CardZipArchive archive(path);
  if (!archive.open()) return false;
  for (QString item : paths) {
    if (item.endsWith('/')) item.chop(1);
    const qsizetype cut = item.lastIndexOf('/');
    const QString base = item.left(cut + 1);
    const QString name = item.mid(cut + 1);
    archive.writeFile(name, base);
  }
  return archive.close();
}

bool CardZipArchive::createZipFileAtPath(const QString& path, const QString& folderPath) {
  CardZipArchive archive(path);
  if (!archive.open()) return false;
  const QDir folder(folderPath);
  const QStringList entries =
      folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
  for (const QString& entry : entries) archive.writeFile(entry, folderPath);
  return archive.close();
}

QDateTime CardZipArchive::_dateFor1980() {
  return QDateTime(QDate(1980, 1, 1), QTime(0, 0), Qt::LocalTime);
}

CardZipArchive::CardZipArchive(const QString& path) : _path(path) {}

CardZipArchive::~CardZipArchive() {
  discard();
}

void CardZipArchive::discard() {
  if (_zip) {
    zipClose(static_cast<zipFile>(_zip), nullptr);
    _zip = nullptr;
  }
  if (target_) target_->cancelWriting();
  target_.reset();
  part_.reset();  // removes the scratch archive
}

bool CardZipArchive::open() {
  if (_zip) throw std::logic_error("Attempting open an archive which is already open");
  failed_ = false;
  // The target is replaced as a saved file is: its permissions stay, a link
  // keeps naming it, and an unfinished archive never takes its place. Opening
  // it now tells at once whether the archive can be made there.
  target_ = std::make_unique<QSaveFile>(_path);
  // Unbuffered, so that a short write is seen before the archive is committed.
  if (!target_->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
    discard();
    return false;
  }
  // The library writes (and seeks in) a scratch file of its own, private to the user.
  part_ = std::make_unique<QTemporaryFile>(QDir::tempPath() + "/quvo-gratulo-zip-XXXXXX");
  if (!part_->open()) {
    discard();
    return false;
  }
  part_->close();
  _zip = zipOpen64(QFile::encodeName(part_->fileName()).constData(), APPEND_STATUS_CREATE);
  if (!_zip) {
    discard();
    return false;
  }
  return true;
}

bool CardZipArchive::beginEntry(const QString& name, const QDateTime& date, bool large) {
  zip_fileinfo info{};
  if (date.isValid()) {
    const QDateTime local = date.toLocalTime();
    info.tmz_date.tm_sec = uInt(local.time().second());
    info.tmz_date.tm_min = uInt(local.time().minute());
    info.tmz_date.tm_hour = uInt(local.time().hour());
    info.tmz_date.tm_mday = uInt(local.date().day());
    info.tmz_date.tm_mon = uInt(local.date().month() - 1);
    info.tmz_date.tm_year = uInt(local.date().year());
  }
  info.external_fa = name.endsWith('/') ? kFolderAttributes : kFileAttributes;
  const QByteArray utf8 = name.toUtf8();
  return zipOpenNewFileInZip4_64(static_cast<zipFile>(_zip), utf8.constData(), &info, nullptr, 0, nullptr, 0,
                                 nullptr, Z_DEFLATED, Z_DEFAULT_COMPRESSION, 0, -MAX_WBITS, DEF_MEM_LEVEL,
                                 Z_DEFAULT_STRATEGY, nullptr, 0, kVersionMadeBy, kUtf8NameFlag,
                                 large ? 1 : 0) == ZIP_OK;
}

bool CardZipArchive::addEntry(const QString& name, const QDateTime& date, const char* bytes, qint64 size) {
  if (!beginEntry(name, date, size >= 0xffffffffLL)) {
    failed_ = true;
    return false;
  }
  bool ok = true;
  for (qint64 done = 0; ok && done < size; done += kWriteBlock) {
    const unsigned chunk = static_cast<unsigned>(std::min(kWriteBlock, size - done));
    ok = zipWriteInFileInZip(static_cast<zipFile>(_zip), bytes + done, chunk) == ZIP_OK;
  }
  ok = zipCloseFileInZip(static_cast<zipFile>(_zip)) == ZIP_OK && ok;
  if (!ok) failed_ = true;
  return ok;
}

bool CardZipArchive::writeFile(const QString& name, const QString& basePath) {
  if (!_zip) throw std::logic_error("Attempting to write to an archive which was never opened");
  const QString full = basePath.isEmpty() ? name : QDir(basePath).filePath(name);
  const QFileInfo info(full);
  // A linked folder is left out: a link back to a parent would never end.
  if (info.isDir() && info.isSymLink()) return true;
  if (info.isDir()) {
    const QStringList entries = QDir(full).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    if (entries.isEmpty()) return addEntry(name + "/", _dateFor1980(), nullptr, 0);
    for (const QString& entry : entries)
      if (!writeFile(name + "/" + entry, basePath)) return false;
    return true;
  }
  QFile file;
  if (!platform::openRegularFile(file, full)) return false;
  if (!beginEntry(name, _dateFor1980(), file.size() >= 0xffffffffLL)) {
    failed_ = true;
    return false;
  }
  bool ok = true;
  QByteArray block;
  while (ok) {
    block = file.read(kWriteBlock);
    if (block.isEmpty()) {
      ok = file.error() == QFileDevice::NoError;
      break;
    }
    ok = zipWriteInFileInZip(static_cast<zipFile>(_zip), block.constData(), unsigned(block.size())) == ZIP_OK;
  }
  ok = zipCloseFileInZip(static_cast<zipFile>(_zip)) == ZIP_OK && ok;
  if (!ok) failed_ = true;
  return ok;
}

bool CardZipArchive::writeData(const QByteArray& data, const QString& filename) {
  if (!_zip || data.isNull()) return false;
  return addEntry(filename, QDateTime::currentDateTime(), data.constData(), data.size());
}

bool CardZipArchive::close() {
  if (!_zip) throw std::logic_error("Attempting to close an archive which was never opened");
  const bool closed = zipClose(static_cast<zipFile>(_zip), nullptr) == ZIP_OK;
  _zip = nullptr;
  if (!closed || failed_) {
    discard();
    return false;
  }
  QFile finished(part_->fileName());
  bool ok = finished.open(QIODevice::ReadOnly);
  while (ok) {
    const QByteArray block = finished.read(kWriteBlock);
    if (block.isEmpty()) {
      ok = finished.error() == QFileDevice::NoError;
      break;
    }
    ok = target_->write(block) == block.size();
  }
  finished.close();
  ok = ok && target_->commit();
  target_.reset();
  discard();
  return ok;
}
