// Files are read only when they are regular files: a named pipe, a folder or
// a device in a file's place is refused at once, as an unreadable file.

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>

#include "platform/RegularFile.h"
#include "support/PipeWatchdog.h"
#include "support/TestFiles.h"

using testing_support::makePipe;

TEST(RegularFile, OnlyRegularFilesAreReadOrCopiedAndAnythingElseIsRefusedAtOnce) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString file = dir.filePath("Title.txt");
  ASSERT_TRUE(testing_support::writeFile(file, "Happy Birthday\nWelcome"));
  ASSERT_TRUE(QFile::link(file, dir.filePath("link.txt")));
  const QString pipe = dir.filePath("pipe.txt");
  ASSERT_TRUE(makePipe(pipe));
  ASSERT_TRUE(QFile::link(pipe, dir.filePath("link-to-pipe.txt")));

  // A regular file, also through a link: read whole, and copied with its
  // permissions. A picture is read as what its content shows, whatever its
  // name says (card pictures go out as PNG data named ".jpeg").
  for (const QString name : {"Title.txt", "link.txt"}) {
    EXPECT_EQ(platform::readRegularFile(dir.filePath(name), 1024), QByteArray("Happy Birthday\nWelcome"));
  }
  QImage picture(3, 2, QImage::Format_RGB32);
  picture.fill(Qt::red);
  ASSERT_TRUE(picture.save(dir.filePath("card.jpeg"), "PNG"));
  {
    QFile opened;
    QImageReader reader;
    ASSERT_TRUE(platform::openRegularPictureFile(opened, reader, dir.filePath("card.jpeg")));
    EXPECT_EQ(reader.read().convertToFormat(QImage::Format_RGB32), picture);
  }
  QString why;
  EXPECT_EQ(platform::readRegularFile(file, 10, &why), std::nullopt);
  EXPECT_EQ(why, "it is larger than 10 bytes");
  ASSERT_TRUE(QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner));
  EXPECT_TRUE(platform::copyRegularFile(file, dir.filePath("copy.txt")));
  EXPECT_EQ(testing_support::readFile(dir.filePath("copy.txt")), "Happy Birthday\nWelcome");
  EXPECT_EQ(QFile::permissions(dir.filePath("copy.txt")), QFile::permissions(file));
  EXPECT_FALSE(platform::copyRegularFile(file, dir.filePath("copy.txt")));  // never over a file

  // A named pipe (also behind a link), a folder and a device: refused with
  // the reason, without waiting for a writer (a reader that waits is found
  // waiting by the watchdog, which then lets it go on).
  testing_support::PipeWatchdog watchdog({pipe});
  for (const QString path : {pipe, dir.filePath("link-to-pipe.txt"), dir.path(), QString("/dev/zero")}) {
    why.clear();
    EXPECT_EQ(platform::readRegularFile(path, 1024, &why), std::nullopt) << path.toStdString();
    const QString said = path == dir.path()  ? QString("it is a folder")
                         : path == pipe      ? "it is a named pipe, not a file"
                         : path.startsWith("/dev") ? "it is a device, not a file"
                                                   : "it is a named pipe, not a file (a link to " + pipe + ")";
    EXPECT_EQ(why, said) << path.toStdString();
    QFile refused;
    QImageReader reader;
    EXPECT_FALSE(platform::openRegularPictureFile(refused, reader, path));
    EXPECT_FALSE(refused.isOpen());
    EXPECT_FALSE(platform::copyRegularFile(path, dir.filePath("copied")));
    EXPECT_FALSE(QFile::exists(dir.filePath("copied")));
  }
  EXPECT_EQ(platform::openRegularFileDescriptor(dir.filePath("missing.txt"), &why), -1);
  EXPECT_EQ(why, "No such file or directory");
  EXPECT_TRUE(watchdog.freed().isEmpty()) << watchdog.freed().join(", ").toStdString();
}
