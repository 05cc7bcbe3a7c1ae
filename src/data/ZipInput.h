#pragma once
// Reading zip archives safely, for the unpacker and for the spreadsheet
// reader: an archive is opened only when its path names a regular file (a
// named pipe or a device would block or never end), and entry names are
// checked before anything is taken from them.
//
// Only this module and the two that read and write archives include minizip.

#include <minizip/unzip.h>

#include <QByteArray>
#include <QString>

namespace zip_input {

// Opens the archive for reading. Null when the file cannot be read (it is
// missing or no regular file ...: *unreadable says so, naming the file, as
// platform::unreadableFileMessage does) or when it is no zip archive
// (*unreadable stays empty).
unzFile openArchive(const QString& path, QString* unreadable = nullptr);

// The current entry's header: its information and its raw name.
bool readEntryInfo(unzFile file, unz_file_info64& info, QByteArray& rawName);

// An entry name as the archive stores it, with backslashes read as "/".
struct EntryName {
  QString name;
  bool isFolder = false;
};
EntryName decodeName(const QByteArray& raw);

// Why an entry name may not be used as a relative path, or empty when it is
// safe: it must be relative and never climb out of the folder it lands in.
QString unsafeNameReason(const QByteArray& raw, const EntryName& entry);

// Closes an unzip handle on every path out.
struct UnzipHandle {
  unzFile file = nullptr;
  UnzipHandle() = default;
  explicit UnzipHandle(unzFile f) : file(f) {}
  UnzipHandle(const UnzipHandle&) = delete;
  UnzipHandle& operator=(const UnzipHandle&) = delete;
  ~UnzipHandle() {
    if (file) unzClose(file);
  }
};

}  // namespace zip_input
