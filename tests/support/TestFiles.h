#pragma once
// Files and programs for tests: reading and writing whole files, and running
// the oracles (Python, pdfinfo, unzip …) to their end.

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

#include "platform/ChildProcess.h"

namespace testing_support {

// Writes the bytes, making the missing folders; true when all were written.
bool writeFile(const QString& path, const QByteArray& bytes);
// The file's bytes; empty when it cannot be read.
QByteArray readFile(const QString& path);
// A JPEG of the picture whose EXIF block says how to turn it for showing, as
// cameras and phones write (6: turn a quarter clockwise, 8: anticlockwise).
QByteArray jpegWithOrientation(const QImage& picture, int orientation);

using ProcessResult = platform::ChildResult;

// Runs a program to its end with a UTF-8 locale, feeding it `input`; fails
// the calling test when the program cannot be started.
ProcessResult runProgram(const QString& program, const QStringList& arguments,
                         const QByteArray& input = QByteArray());
// Runs /usr/bin/python3 with the script text and the arguments and gives its
// standard output; fails the calling test when the script fails.
QByteArray runPython(const QString& script, const QStringList& arguments = {});

}  // namespace testing_support
