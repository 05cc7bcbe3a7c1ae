#pragma once
// Reading picture files for card objects. Pictures are decoded with
// QImageReader under an allocation limit; a missing, unreadable or oversized
// file gives a null image, never an exception or a crash.

#include <QImage>
#include <QSize>
#include <QString>

namespace picture_file {

// Largest picture decoded at full size, in pixels (about 256 MB at 4 bytes a pixel).
constexpr qint64 kMaxDecodedPixels = qint64(64) * 1024 * 1024;

// The path with a leading "~" replaced by the home folder and "." and ".." parts resolved.
QString resolvedPath(const QString& path);

// Decodes the picture file at `path` (resolved as above). When `clampTo` is valid,
// a picture whose width or height exceeds it is decoded straight at the size whose
// sides are each clamped alone (a picture object's size clamp).
QImage load(const QString& path, QSize clampTo = QSize());

// Decodes picture data held in memory, under the same limit.
QImage fromData(const QByteArray& data, QSize clampTo = QSize());

}  // namespace picture_file
