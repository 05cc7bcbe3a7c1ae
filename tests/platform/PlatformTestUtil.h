#pragma once
// Small helpers shared by the platform tests: files and the Python oracle.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace testutil {

inline bool writeFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Runs a Python 3 script with /usr/bin/python3; fails the test when the
// interpreter is missing or the script fails. Gives standard output.
inline QByteArray runPython(const QString& script, const QStringList& args = {}) {
  QProcess p;
  p.start("/usr/bin/python3", QStringList{"-c", script} + args);
  if (!p.waitForStarted(10000)) {
    ADD_FAILURE() << "/usr/bin/python3 is missing";
    return {};
  }
  p.waitForFinished(60000);
  const QByteArray err = p.readAllStandardError();
  EXPECT_EQ(p.exitCode(), 0) << err.toStdString();
  return p.readAllStandardOutput();
}

}  // namespace testutil
