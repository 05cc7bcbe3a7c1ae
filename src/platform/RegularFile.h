#pragma once
// Reading files that the program finds on disk (settings, resources, designs,
// pictures, imports) only when they are regular files. Anything else in
// their place is treated as an unreadable file: a named pipe would block the
// reader until some other program writes to it (for ever, deaf to a
// termination request), and a device could feed it without end.
//
// The check is made on the opened file itself, so the path cannot be
// swapped between the check and the read, and the file is opened without
// waiting, so a named pipe is refused at once.

#include <QByteArray>
#include <QString>
#include <optional>

class QFile;
class QImageReader;

namespace platform {

// The reasons given for a path that is there but is not a regular file
// (a named pipe, a device or a socket is named as such, and a link says
// where it leads: "it is a device, not a file (a link to /dev/zero)").
inline constexpr char kNotARegularFile[] = "it is not a regular file";
inline constexpr char kAFolder[] = "it is a folder";

// What the program says of a file it could not read, with the reason one of
// the functions below gave (a system error's text begins in lower case):
//   The file "<path>" could not be read: <reason>.
QString unreadableFileMessage(const QString& path, const QString& why);

// A reason as it follows a colon in a message: the first letter in lower
// case unless the word is written in capitals ("EOF").
QString reasonAfterColon(const QString& why);

// A descriptor open for reading on `path` (links followed) when that is a
// regular file, and its size in *size; otherwise -1 with the reason in *why.
// The caller closes it.
int openRegularFileDescriptor(const QString& path, QString* why = nullptr, qint64* size = nullptr);

// Opens `file` for reading on `path` when that is a regular file (its size
// in *size). False with the reason otherwise. (The opened file does not
// carry the path as its name.)
bool openRegularFile(QFile& file, const QString& path, QString* why = nullptr, qint64* size = nullptr);

// Whether `path` can be opened for reading as a regular file; false with the
// reason otherwise. Nothing is read.
bool isReadableRegularFile(const QString& path, QString* why = nullptr);

// Sets `reader` to read the picture in the open `file` from its start, of
// the kind its content shows, else of the kind the suffix of `path` tells.
void readPictureFrom(QFile& file, QImageReader& reader, const QString& path);

// Opens `file` on `path` as above and sets `reader` to read the picture in
// it (readPictureFrom). False, with the reason, when the file cannot be
// opened.
bool openRegularPictureFile(QFile& file, QImageReader& reader, const QString& path, QString* why = nullptr);

// The reasons the picture check (core's pictureFileProblem) gives for a
// readable file that holds no picture of a kind the program reads ...
inline constexpr char kNotAPicture[] = "it is not a picture";
// ... and for a picture cut short or otherwise damaged.
inline constexpr char kDamagedPicture[] = "it is a damaged or incomplete picture";

// The whole of a regular file of at most `maxBytes` bytes; nothing, with
// the reason, for anything else or a larger file.
std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes, QString* why = nullptr);

// Copies a regular file to `to`, which must not exist yet, with its
// permissions. False with the reason otherwise; a copy cut short is removed.
bool copyRegularFile(const QString& from, const QString& to, QString* why = nullptr);

}  // namespace platform
