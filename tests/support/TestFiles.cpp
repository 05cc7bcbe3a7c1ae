#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>

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
  // Tools print names in UTF-8 whatever the machine's locale is.
  ProcessResult run =
      platform::runChild(program, arguments, {.input = input, .environment = {{"LC_ALL", "C.UTF-8"}}});
  if (!run.started) ADD_FAILURE() << run.err.toStdString() << " (it is needed as a test oracle)";
  return run;
}

QByteArray runPython(const QString& script, const QStringList& arguments) {
  const ProcessResult result = runProgram("/usr/bin/python3", QStringList{"-c", script} + arguments);
  if (result.exitCode != 0)
    ADD_FAILURE() << "python3 failed (" << result.exitCode << "): " << result.err.toStdString();
  return result.out;
}

QByteArray jpegWithOrientation(const QImage& picture, int orientation) {
  QByteArray jpeg;
  QBuffer buffer(&jpeg);
  buffer.open(QIODevice::WriteOnly);
  if (!picture.save(&buffer, "JPG", 95)) return {};
  // APP1 "Exif": a big-endian TIFF header and one directory holding only the
  // orientation tag (0x0112, SHORT, 1 value), put right after the start marker.
  const char tiff[] = {'M',  'M',  0, 42, 0, 0, 0, 8,                              // header, directory at 8
                       0,    1,                                                    // one entry
                       0x01, 0x12, 0, 3,  0, 0, 0, 1, 0, char(orientation), 0, 0,  // the tag
                       0,    0,    0, 0};                                          // no next directory
  QByteArray app1 = QByteArray("Exif\0\0", 6) + QByteArray(tiff, sizeof tiff);
  const int length = int(app1.size()) + 2;
  app1.prepend(char(length & 0xff)).prepend(char(length >> 8)).prepend("\xff\xe1", 2);
  return jpeg.insert(2, app1);
}

}  // namespace testing_support
