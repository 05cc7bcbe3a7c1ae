#pragma once
// A thin layer over minizip through which the spreadsheet reader and writer
// unpack an xlsx package into a folder and pack a folder back into a package.
//
// Unpacking never trusts the archive: entry names that are absolute, climb out
// of the destination with "..", or hold a NUL byte make the whole archive be
// refused before anything is written, and the number of entries and the bytes
// unpacked are capped. Packing writes the archive to a scratch file and
// replaces its target, as a saved file, only when it is complete.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>

class QSaveFile;
class QTemporaryFile;

// What went wrong in an unpack. Domain "CardZipArchiveErrorDomain".
struct CardZipArchiveError {
  static constexpr int kOpenFailed = -1;       // "failed to open zip file"
  static constexpr int kFirstFileFailed = -2;  // "failed to open first file in zip file"
  static constexpr int kUnsafeEntry = -3;      // an entry name leaves the destination
  static constexpr int kTooLarge = -4;         // too many entries or bytes
  static constexpr int kEntryFailed = -5;      // an entry could not be opened or read
  static constexpr int kWriteFailed = -6;      // entries could not be written (named)

  QString domain;
  int code = 0;
  QString localizedDescription;
};

// Bounds on what one unpack may produce.
struct UnzipLimits {
  std::int64_t maxEntries = 20000;
  std::int64_t maxTotalBytes = std::int64_t{512} * 1024 * 1024;
};

class CardZipArchive {
 public:
  // Unpacks every entry of the archive into the destination folder. True when
  // every entry was opened, read and written without error. With overwrite
  // false an existing file is left as it is (and the entry skipped). An entry
  // whose file or folder cannot be made or written (a folder or a link in its
  // place, no permission, a full disk) does not stop the others; the unpack
  // then answers false with kWriteFailed, naming those entries and why the
  // first was not written.
  static bool unzipFileAtPath(const QString& path, const QString& destination, bool overwrite,
                              const QString& password, CardZipArchiveError* error,
                              const UnzipLimits& limits = UnzipLimits());
  static bool unzipFileAtPath(const QString& path, const QString& destination);

  // Creates the archive from files and folders; each path is stored under its
  // last component (folders recursively). False only when the archive cannot be made.
  static bool createZipFileAtPath(const QString& path, const QStringList& paths);
  // The entries of one folder, named relative to that folder.
  static bool createZipFileAtPath(const QString& path, const QString& folderPath);

  // Midnight, 1 January 1980, local time: the earliest date a zip entry carries.
  static QDateTime _dateFor1980();

  explicit CardZipArchive(const QString& path);
  ~CardZipArchive();
  CardZipArchive(const CardZipArchive&) = delete;
  CardZipArchive& operator=(const CardZipArchive&) = delete;

  // Starts a new archive for the path; false when no file can be saved there
  // (an existing file is replaced only when close() succeeds).
  bool open();
  // Adds <basePath>/<name> under the entry name <name>; folders are walked recursively,
  // an empty folder becomes the single entry "<name>/".
  bool writeFile(const QString& name, const QString& basePath);
  // Adds one entry holding the data, dated now.
  bool writeData(const QByteArray& data, const QString& filename);
  // Finishes the archive and moves it into place. True when it was written completely.
  bool close();

 private:
  bool addEntry(const QString& name, const QDateTime& date, const char* bytes, qint64 size);
  bool beginEntry(const QString& name, const QDateTime& date, bool large);
  void discard();

  QString _path;
  void* _zip = nullptr;
  std::unique_ptr<QSaveFile> target_;     // replaces the file at _path when close() commits
  std::unique_ptr<QTemporaryFile> part_;  // the archive as the library writes it
  bool failed_ = false;
};
