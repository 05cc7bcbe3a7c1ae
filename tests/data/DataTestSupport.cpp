#include "DataTestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace data_test {

ProcessResult run(const QString& program, const QStringList& arguments, const QByteArray& input) {
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

QByteArray python(const QString& script, const QStringList& arguments) {
  const ProcessResult result = run("/usr/bin/python3", QStringList{"-c", script} + arguments);
  if (result.exitCode != 0)
    ADD_FAILURE() << "python3 failed (" << result.exitCode << "): " << result.err.toStdString();
  return result.out;
}

QStringList unzipListing(const QString& archive) {
  const ProcessResult result = run("unzip", {"-Z1", archive});
  if (result.exitCode != 0) ADD_FAILURE() << "unzip -Z1 failed: " << result.err.toStdString();
  return QString::fromUtf8(result.out).split('\n', Qt::SkipEmptyParts);
}

QByteArray readAll(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    ADD_FAILURE() << "cannot read " << path.toStdString();
    return QByteArray();
  }
  return file.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).path());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
  ASSERT_EQ(file.write(bytes), bytes.size());
}

QString templateWorkbook() {
  return QStringLiteral(QUVO_SOURCE_DIR "/resources/Template.xlsx");
}

}  // namespace data_test
