#include "DataTestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace data_test {

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
  ASSERT_TRUE(testing_support::writeFile(path, bytes)) << path.toStdString();
}

QString templateWorkbook() {
  return QStringLiteral(QUVO_SOURCE_DIR "/resources/Template.xlsx");
}

}  // namespace data_test
