#pragma once
// Helpers for the data-source tests: running the Python oracle and the unzip
// tool, and reading files back.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "support/TestFiles.h"

namespace data_test {

using testing_support::ProcessResult;

// Runs a program to its end (fails the test when it cannot be started).
inline ProcessResult run(const QString& program, const QStringList& arguments,
                         const QByteArray& input = QByteArray()) {
  return testing_support::runProgram(program, arguments, input);
}
// Runs /usr/bin/python3 with the script text and the arguments; the script's
// standard output is returned. Fails the calling test on a non-zero exit.
inline QByteArray python(const QString& script, const QStringList& arguments = {}) {
  return testing_support::runPython(script, arguments);
}
// Entry names of an archive as `unzip -Z1` lists them.
QStringList unzipListing(const QString& archive);

QByteArray readAll(const QString& path);
void writeAll(const QString& path, const QByteArray& bytes);
// The shipped template workbook of the source tree.
QString templateWorkbook();

}  // namespace data_test
