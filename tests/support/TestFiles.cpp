#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace testing_support {

bool writeFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).path());
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

ProcessResult runProgram(const QString& program, const QStringList& arguments, const QByteArray& input) {
  ProcessResult result;
  QProcess process;
  // Tools print names in UTF-8 whatever the machine's locale is.
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("LC_ALL", "C.UTF-8");
  process.setProcessEnvironment(env);
  process.start(program, arguments);
  if (!process.waitForStarted(30000)) {
    ADD_FAILURE() << "cannot start " << program.toStdString() << " (it is needed as a test oracle)";
    return result;
  }
  if (!input.isEmpty()) process.write(input);
  process.closeWriteChannel();
  process.waitForFinished(300000);
  result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  result.out = process.readAllStandardOutput();
  result.err = process.readAllStandardError();
  return result;
}

QByteArray runPython(const QString& script, const QStringList& arguments) {
  const ProcessResult result = runProgram("/usr/bin/python3", QStringList{"-c", script} + arguments);
  if (result.exitCode != 0)
    ADD_FAILURE() << "python3 failed (" << result.exitCode << "): " << result.err.toStdString();
  return result.out;
}

}  // namespace testing_support
