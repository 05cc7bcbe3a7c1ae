#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "platform/BackgroundJobs.h"
#include "platform/FileHelpers.h"
#include "platform/MessageHost.h"
#include "platform/ResourceFolder.h"
#include "platform/globals.h"
#include "support/EventLoop.h"
#include "support/ScriptedHost.h"
#include "support/TestFiles.h"

namespace {

// Points Resource_Path at a folder for one test.
class ResourcePathGuard {
 public:
  explicit ResourcePathGuard(const QString& path) : previous_(Resource_Path()) { Set_Resource_Path(path); }
  ~ResourcePathGuard() { Set_Resource_Path(previous_); }

 private:
  QString previous_;
};

bool worldWritable(const QString& path) {
  return QFile::permissions(path) & QFile::WriteOther;
}

// Sets the umask for one test.
class UmaskGuard {
 public:
  explicit UmaskGuard(mode_t mask) : previous_(::umask(mask)) {}
  ~UmaskGuard() { ::umask(previous_); }

 private:
  mode_t previous_;
};

}  // namespace

TEST(FileHelpers, CheckPathCreatesTheFoldersNeverWorldWritable) {
  QTemporaryDir dir;
  UmaskGuard open(0);  // even a permissive umask gives no write access to others
  ResourcePathGuard guard(dir.filePath("res"));
  Check_Path_And_Create_Files();
  for (const QString sub : {"", "/DataSet", "/Background", "/Fill_Style_Image", "/LibraryImage", "/Templates",
                            "/Templates/User"}) {
    const QString p = dir.filePath("res") + sub;
    EXPECT_TRUE(QFileInfo(p).isDir()) << p.toStdString();
    EXPECT_FALSE(worldWritable(p)) << p.toStdString();
  }
  EXPECT_EQ(Data_Folder_Path(), dir.filePath("res") + "/DataSet");
}

TEST(FileHelpers, CheckPathWithoutResourceFolderDoesNothing) {
  ResourcePathGuard guard("");
  Check_Path_And_Create_Files();
  EXPECT_FALSE(QFileInfo::exists("/DataSet"));
}

TEST(FileHelpers, FilesArrayIsSortedWithoutFoldersAndExtensions) {
  QTemporaryDir dir;
  for (const QString name : {"b.png", "A.png", "a.b.jpg", ".hidden", "noext", "c.png"})
    ASSERT_TRUE(testing_support::writeFile(dir.filePath(name), "x"));
  QDir(dir.path()).mkdir("folder.png");
  QFile::link(dir.filePath("missing"), dir.filePath("broken.png"));
  EXPECT_EQ(Get_Files_Array_At_Path(dir.path()), (QStringList{".hidden", "A", "a.b", "b", "c", "noext"}));
  EXPECT_TRUE(Get_Files_Array_At_Path(dir.filePath("nothing")).isEmpty());
  EXPECT_TRUE(Get_Files_Array_At_Path(dir.filePath("b.png")).isEmpty());
  EXPECT_TRUE(Get_Files_Array_At_Path(QString()).isEmpty());
}

TEST(FileHelpers, DeleteFile) {
  QTemporaryDir dir;
  const QString file = dir.filePath("a.txt");
  ASSERT_TRUE(testing_support::writeFile(file, "x"));
  Delete_File(file);
  EXPECT_FALSE(QFileInfo::exists(file));
  Delete_File(dir.filePath("missing"));  // silently nothing
  Delete_File(QString());
  // A link goes, its target stays.
  const QString target = dir.filePath("keep.txt");
  ASSERT_TRUE(testing_support::writeFile(target, "x"));
  QDir(dir.path()).mkdir("sub");
  ASSERT_TRUE(QFile::link(dir.path(), dir.filePath("sub/link")));
  Delete_File(dir.filePath("sub/link"));
  EXPECT_FALSE(QFileInfo(dir.filePath("sub/link")).isSymLink());
  EXPECT_TRUE(QFileInfo::exists(target));
  // A file in a folder we may not write stays.
  if (::geteuid() != 0) {
    QDir(dir.path()).mkdir("locked");
    const QString locked = dir.filePath("locked/f");
    ASSERT_TRUE(testing_support::writeFile(locked, "x"));
    QFile::setPermissions(dir.filePath("locked"), QFile::ReadOwner | QFile::ExeOwner);
    Delete_File(locked);
    EXPECT_TRUE(QFileInfo::exists(locked));
    QFile::setPermissions(dir.filePath("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }
}

TEST(FileHelpers, OpenHelpFile) {
  testing_support::ScriptedHost host;
  QTemporaryDir dir;
  ResourcePathGuard guard(dir.path());
  Open_Help_File();
  EXPECT_EQ(host.messages(), QStringList{"\nHelp file does not exist!"});
  EXPECT_TRUE(host.openedUrls().isEmpty());
  ASSERT_TRUE(testing_support::writeFile(dir.filePath("Help.pdf"), "%PDF-1.4"));
  Open_Help_File();
  ASSERT_EQ(host.openedUrls().size(), 1);
  EXPECT_EQ(host.openedUrls()[0], QUrl::fromLocalFile(dir.filePath("Help.pdf")));
  EXPECT_EQ(host.messages().size(), 1);
  // No application for it: the person learns where the guide is.
  host.openUrlResult = false;
  Open_Help_File();
  EXPECT_EQ(host.messages().last(), "\nNo application could open \"" + dir.filePath("Help.pdf") + "\".");
}

// The program's own host, whose opening of a file runs the desktop's opener;
// it records the texts it would show.
class DesktopHost : public platform::QuietMessageHost {
 public:
  void showMessage(const QString& text) override { shown << text; }
  QStringList shown;
};

// Puts a folder first on the PATH for one test.
class PathGuard {
 public:
  explicit PathGuard(const QString& first) : previous_(qgetenv("PATH")) {
    qputenv("PATH", QFile::encodeName(first) + ":" + previous_);
  }
  ~PathGuard() { qputenv("PATH", previous_); }

 private:
  QByteArray previous_;
};

// A desktop whose opener finds no program for a PDF ends with status 3 after
// it was started: the person learns it as when there is no opener at all. An
// opener that succeeds says nothing, and the path reaches it as one argument,
// whatever it holds.
TEST(FileHelpers, HelpThatNoProgramCanOpenIsReported) {
  QTemporaryDir bin, home;
  const QString resources = home.filePath("Guide's $(touch injected); \"a b\"");
  ASSERT_TRUE(QDir().mkpath(resources));
  ResourcePathGuard guard(resources);
  const QString help = resources + "/Help.pdf";
  ASSERT_TRUE(testing_support::writeFile(help, "%PDF-1.4"));
  const QString opener = bin.filePath("xdg-open");
  const QString arguments = bin.filePath("arguments");
  auto writeOpener = [&](int status) {
    QFile::remove(opener);
    ASSERT_TRUE(testing_support::writeFile(
        opener, QStringLiteral("#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > '%1'\n"
                               "echo \"xdg-open: no method available for opening '$1'\" >&2\nexit %2\n")
                    .arg(arguments)
                    .arg(status)
                    .toUtf8()));
    QFile::setPermissions(opener, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  };
  PathGuard path(bin.path());
  DesktopHost host;
  platform::ScopedMessageHost installed(host);

  writeOpener(3);
  Open_Help_File();
  ASSERT_TRUE(testing_support::serveUntil([&] { return !host.shown.isEmpty(); }));
  EXPECT_EQ(host.shown, QStringList{"\nNo application could open \"" + help + "\"."});
  EXPECT_EQ(testing_support::readFile(arguments), "1|" + help.toUtf8());

  host.shown.clear();
  QFile::remove(arguments);
  writeOpener(0);
  Open_Help_File();
  ASSERT_TRUE(testing_support::serveUntil([&] { return QFileInfo::exists(arguments); }));
  platform::background_jobs::waitForAll();  // the opener has ended and told how
  QCoreApplication::processEvents();
  EXPECT_TRUE(host.shown.isEmpty()) << host.shown.join('|').toStdString();
  EXPECT_EQ(testing_support::readFile(arguments), "1|" + help.toUtf8());
  EXPECT_FALSE(QFileInfo::exists(home.filePath("injected")));
  EXPECT_FALSE(QFileInfo::exists("injected"));
}

TEST(ResourceFolder, SeedingKeepsTheUsersFiles) {
  QTemporaryDir shipped, user;
  QDir(shipped.path()).mkpath("Templates/Birthday");
  ASSERT_TRUE(testing_support::writeFile(shipped.filePath("Help.pdf"), "shipped help"));
  ASSERT_TRUE(testing_support::writeFile(shipped.filePath("Templates/Birthday/card.dcard"), "shipped card"));
  ASSERT_TRUE(testing_support::writeFile(shipped.filePath("Template.xlsx"), "shipped xlsx"));
  QFile::setPermissions(shipped.filePath("Template.xlsx"), QFile::ReadOwner);  // read-only in the package
  ASSERT_TRUE(testing_support::writeFile(user.filePath("Help.pdf"), "user's own"));
  QString error;
  ASSERT_TRUE(platform::seedFolder(shipped.path(), user.path(), &error)) << error.toStdString();
  EXPECT_EQ(testing_support::readFile(user.filePath("Help.pdf")), "user's own");
  EXPECT_EQ(testing_support::readFile(user.filePath("Templates/Birthday/card.dcard")), "shipped card");
  EXPECT_TRUE(QFileInfo(user.filePath("Template.xlsx")).isWritable());
  EXPECT_FALSE(worldWritable(user.filePath("Templates/Birthday")));
}

TEST(ResourceFolder, InitUsesTheDataFolderAndTheShippedResources) {
  QTemporaryDir home, shipped;
  ASSERT_TRUE(testing_support::writeFile(shipped.filePath("pattern_1.jpg"), "jpg"));
  const QByteArray oldHome = qgetenv("XDG_DATA_HOME"), oldRes = qgetenv("QUVO_RESOURCES");
  qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
  qputenv("QUVO_RESOURCES", shipped.path().toLocal8Bit());
  const QString previous = Resource_Path();
  EXPECT_EQ(platform::shippedResourcesFolder(), QDir::cleanPath(shipped.path()));
  QString error;
  EXPECT_TRUE(platform::initResourceFolder(&error)) << error.toStdString();
  const QString folder = Resource_Path();
  EXPECT_TRUE(folder.startsWith(home.path())) << folder.toStdString();
  EXPECT_TRUE(QFileInfo::exists(folder + "/pattern_1.jpg"));
  EXPECT_TRUE(QFileInfo(folder + "/Templates/User").isDir());
  // The user guide follows the one shipped: a later version replaces the
  // guide an earlier one left, while the person's own files stay.
  ASSERT_TRUE(testing_support::writeFile(shipped.filePath("Help.pdf"), "guide, second edition"));
  ASSERT_TRUE(testing_support::writeFile(folder + "/Help.pdf", "guide, first edition"));
  ASSERT_TRUE(testing_support::writeFile(folder + "/pattern_1.jpg", "the person's own"));
  EXPECT_TRUE(platform::initResourceFolder(&error)) << error.toStdString();
  EXPECT_EQ(testing_support::readFile(folder + "/Help.pdf"), "guide, second edition");
  EXPECT_EQ(testing_support::readFile(folder + "/pattern_1.jpg"), "the person's own");
  // Without QUVO_RESOURCES the source tree's resources are found.
  qunsetenv("QUVO_RESOURCES");
  const QString fallback = platform::shippedResourcesFolder();
  EXPECT_FALSE(fallback.isEmpty());
  EXPECT_TRUE(QFileInfo(fallback).isDir());
  qputenv("XDG_DATA_HOME", oldHome);
  if (!oldRes.isEmpty()) qputenv("QUVO_RESOURCES", oldRes);
  Set_Resource_Path(previous);
}

TEST(ResourceFolder, InitFailsCleanlyWhenTheFolderCannotBeMade) {
  QTemporaryDir home;
  ASSERT_TRUE(testing_support::writeFile(home.filePath("QUVO"), "a file where the folder should be"));
  const QByteArray oldHome = qgetenv("XDG_DATA_HOME");
  qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
  QString error;
  EXPECT_FALSE(platform::initResourceFolder(&error));
  EXPECT_TRUE(error.startsWith("Cannot create the folder")) << error.toStdString();
  qputenv("XDG_DATA_HOME", oldHome);
}

TEST(ResourceFolder, SeedingStaysInsideTheShippedTreeAndKeepsWhatTheUserHas) {
  QTemporaryDir outside, shipped, user;
  ASSERT_TRUE(QDir(outside.path()).mkpath("secrets"));
  QFile secret(outside.filePath("secrets/key.txt"));
  ASSERT_TRUE(secret.open(QIODevice::WriteOnly));
  secret.write("private");
  secret.close();
  ASSERT_TRUE(QDir(shipped.path()).mkpath("LibraryImage"));
  QFile pic(shipped.filePath("LibraryImage/rose.png"));
  ASSERT_TRUE(pic.open(QIODevice::WriteOnly));
  pic.write("png");
  pic.close();
  // Links in the shipped tree that lead out of it.
  ASSERT_TRUE(QFile::link(outside.filePath("secrets"), shipped.filePath("Background")));
  ASSERT_TRUE(QFile::link(outside.filePath("secrets/key.txt"), shipped.filePath("LibraryImage/key.png")));
  // The user's own entries under shipped names: a link and a file.
  ASSERT_TRUE(QDir(user.path()).mkpath("LibraryImage"));
  ASSERT_TRUE(QFile::link(outside.filePath("gone.png"), user.filePath("LibraryImage/rose.png")));

  QString error;
  ASSERT_TRUE(platform::seedFolder(shipped.path(), user.path(), &error)) << error.toStdString();
  EXPECT_FALSE(QFileInfo::exists(user.filePath("Background/key.txt")));
  EXPECT_FALSE(QFileInfo::exists(user.filePath("LibraryImage/key.png")));
  EXPECT_FALSE(QFileInfo(user.filePath("LibraryImage/key.png")).isSymLink());
  // The user's dangling link is left as it is, and nothing was written through it.
  EXPECT_TRUE(QFileInfo(user.filePath("LibraryImage/rose.png")).isSymLink());
  EXPECT_FALSE(QFileInfo::exists(outside.filePath("gone.png")));
}
