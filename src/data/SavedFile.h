#pragma once
// Writing a whole file so that it either holds all of the new bytes or stays
// as it was: the bytes go to a temporary file beside it, written unbuffered
// so that a short write (disk full, a size limit) is seen, and only a
// complete file takes the old one's place.

#include <QByteArray>
#include <QString>

bool saveWholeFile(const QString& path, const QByteArray& bytes);
