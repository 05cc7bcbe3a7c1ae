#pragma once
// Writing a whole file so that it either holds all of the new bytes or stays
// as it was: the bytes go to a temporary file beside it, written unbuffered
// so that a short write (disk full, a size limit) is seen, and only a
// complete file takes the old one's place.

#include <QByteArray>
#include <QString>

// True when the file at path holds exactly the bytes; otherwise false, with
// the reason in *why, and a file that was at path is left as it was.
bool saveWholeFile(const QString& path, const QByteArray& bytes, QString* why = nullptr);
