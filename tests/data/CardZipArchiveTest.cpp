// The zip wrapper: round trips checked with `unzip -Z1`, entry names in UTF-8,
// entries that cannot be written named, and archives that try to write
// outside the destination or unpack too much.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <stdexcept>

#include "DataTestSupport.h"
#include "data/CardZipArchive.h"

using data_test::python;
using data_test::readAll;
using data_test::unzipListing;
using data_test::writeAll;

namespace {

// Writes an archive with python's zipfile: each (name, data) pair becomes an entry.
const char* const kMakeZip = R"(
import sys, zipfile
out = sys.argv[1]
pairs = sys.argv[2:]
with zipfile.ZipFile(out, 'w', zipfile.ZIP_DEFLATED) as z:
    for i in range(0, len(pairs), 2):
        info = zipfile.ZipInfo(pairs[i], date_time=(2020, 5, 17, 10, 20, 30))
        info.compress_type = zipfile.ZIP_DEFLATED
        z.writestr(info, pairs[i + 1])
)";

QStringList filesUnder(const QString& root) {
  QStringList found;
  QDir dir(root);
  for (const QFileInfo& info :
       dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name)) {
    found.append(info.fileName() + (info.isDir() ? "/" : ""));
    if (info.isDir())
      for (const QString& inner : filesUnder(info.filePath())) found.append(info.fileName() + "/" + inner);
  }
  return found;
}

class ZipTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(tmp.isValid()); }
  QString path(const QString& rel) const { return tmp.path() + "/" + rel; }
  QTemporaryDir tmp;
};

TEST_F(ZipTest, FilesAndFoldersRoundTrip) {
  writeAll(path("src/xl/worksheets/sheet1.xml"), "<worksheet/>");
  writeAll(path("src/xl/.hidden"), "h");
  writeAll(path("src/[Content_Types].xml"), "<Types/>");
  writeAll(path("src/Grüße ✓.txt"), "utf-8 name");
  ASSERT_TRUE(QDir().mkpath(path("src/empty")));
  QByteArray big;
  for (int i = 0; i < 50000; ++i) big.append(char('a' + i % 26)).append(char(i % 251));
  writeAll(path("src/big.bin"), big);

  const QString archive = path("out.zip");
  ASSERT_TRUE(CardZipArchive::createZipFileAtPath(
      archive, QStringList{path("src/xl/"), path("src/[Content_Types].xml"), path("src/Grüße ✓.txt"),
                           path("src/empty"), path("src/big.bin"), path("src/does-not-exist")}));

  // Folders give only their files (recursively, hidden ones too); an empty folder is one "name/" entry.
  EXPECT_EQ(unzipListing(archive), (QStringList{"xl/.hidden", "xl/worksheets/sheet1.xml",
                                                "[Content_Types].xml", "Grüße ✓.txt", "empty/", "big.bin"}));
  // Names carry the UTF-8 flag, so other tools read them as written.
  EXPECT_EQ(python("import sys, zipfile\n"
                   "for i in zipfile.ZipFile(sys.argv[1]).infolist(): print(i.flag_bits & 0x800, i.filename)",
                   {archive}),
            QString("2048 xl/.hidden\n2048 xl/worksheets/sheet1.xml\n2048 [Content_Types].xml\n"
                    "2048 Grüße ✓.txt\n2048 empty/\n2048 big.bin\n")
                .toUtf8());

  CardZipArchiveError error;
  ASSERT_TRUE(CardZipArchive::unzipFileAtPath(archive, path("back"), true, QString(), &error))
      << error.localizedDescription.toStdString();
  EXPECT_EQ(filesUnder(path("back")),
            (QStringList{"Grüße ✓.txt", "[Content_Types].xml", "big.bin", "empty/", "xl/", "xl/.hidden",
                         "xl/worksheets/", "xl/worksheets/sheet1.xml"}));
  EXPECT_EQ(readAll(path("back/big.bin")), big);
  EXPECT_EQ(readAll(path("back/xl/worksheets/sheet1.xml")), QByteArray("<worksheet/>"));
  EXPECT_EQ(readAll(path("back/Grüße ✓.txt")), QByteArray("utf-8 name"));

  // A linked folder is left out rather than walked.
  ASSERT_TRUE(QFile::link(path("src"), path("src/xl/loop")));
  ASSERT_TRUE(CardZipArchive::createZipFileAtPath(path("loop.zip"), QStringList{path("src/xl")}));
  EXPECT_EQ(unzipListing(path("loop.zip")), (QStringList{"xl/.hidden", "xl/worksheets/sheet1.xml"}));
  QFile::remove(path("loop.zip"));

  // No temporary file is left beside the archive.
  EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files), QStringList{"out.zip"});
}

TEST_F(ZipTest, UnzipKeepsDatesBackslashesAndTheOverwriteRule) {
  python(kMakeZip, {path("in.zip"), "xl\\worksheets\\sheet1.xml", "first", "top.txt", "new"});
  writeAll(path("dest/top.txt"), "old");
  ASSERT_TRUE(CardZipArchive::unzipFileAtPath(path("in.zip"), path("dest"), false, QString(), nullptr));
  EXPECT_EQ(readAll(path("dest/xl/worksheets/sheet1.xml")), QByteArray("first"));
  EXPECT_EQ(readAll(path("dest/top.txt")), QByteArray("old"));  // overwrite off: left as it was
  const QDateTime stored(QDate(2020, 5, 17), QTime(10, 20, 30), Qt::LocalTime);
  EXPECT_EQ(QFileInfo(path("dest/xl/worksheets/sheet1.xml")).lastModified(), stored);

  ASSERT_TRUE(CardZipArchive::unzipFileAtPath(path("in.zip"), path("dest")));
  EXPECT_EQ(readAll(path("dest/top.txt")), QByteArray("new"));

  // Entries that cannot be written (a link or a folder in their place) are
  // named, and do not stop the others.
  python(kMakeZip, {path("three.zip"), "xl/sheet.xml", "s", "middle.txt", "m", "top.txt", "t"});
  ASSERT_TRUE(QDir().mkpath(path("blocked/top.txt")));
  ASSERT_TRUE(QDir().mkpath(path("blocked/xl")));
  ASSERT_TRUE(QFile::link(path("elsewhere.xml"), path("blocked/xl/sheet.xml")));
  CardZipArchiveError error;
  EXPECT_FALSE(CardZipArchive::unzipFileAtPath(path("three.zip"), path("blocked"), true, QString(), &error));
  EXPECT_EQ(error.code, CardZipArchiveError::kWriteFailed);
  EXPECT_EQ(error.localizedDescription,
            "could not write \"xl/sheet.xml\", \"top.txt\" (Too many levels of symbolic links)");
  EXPECT_EQ(readAll(path("blocked/middle.txt")), QByteArray("m"));
  EXPECT_FALSE(QFileInfo::exists(path("elsewhere.xml")));

  // A file the disk stops taking halfway is named and not left behind in part.
  QByteArray large(64 * 1024, 'L');
  python(kMakeZip, {path("large.zip"), "large.bin", QString::fromLatin1(large)});
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  ::getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = 4096;
  ::setrlimit(RLIMIT_FSIZE, &small);
  const bool unpacked =
      CardZipArchive::unzipFileAtPath(path("large.zip"), path("full"), true, QString(), &error);
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, previous);
  EXPECT_FALSE(unpacked);
  EXPECT_EQ(error.localizedDescription, "could not write \"large.bin\" (File too large)");
  EXPECT_FALSE(QFileInfo::exists(path("full/large.bin")));
}

TEST_F(ZipTest, EntriesThatLeaveTheDestinationAreRefusedBeforeAnythingIsWritten) {
  const QStringList bad{"../evil.txt", "/tmp/abs-evil.txt", "a/../../evil.txt", "..\\evil.txt",
                        "ok/../../../evil.txt"};
  int n = 0;
  for (const QString& name : bad) {
    const QString archive = path(QString("slip%1.zip").arg(n++));
    // A harmless entry first: it must not be written either.
    python(kMakeZip, {archive, "first.txt", "x", name, "pwned"});
    const QString dest = path("work/inner");
    CardZipArchiveError error;
    EXPECT_FALSE(CardZipArchive::unzipFileAtPath(archive, dest, true, QString(), &error))
        << name.toStdString();
    EXPECT_EQ(error.domain, "CardZipArchiveErrorDomain");
    EXPECT_EQ(error.code, CardZipArchiveError::kUnsafeEntry);
    EXPECT_TRUE(error.localizedDescription.contains("refused")) << error.localizedDescription.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dest + "/first.txt"));
    EXPECT_FALSE(QFileInfo::exists(path("work/evil.txt")));
    EXPECT_FALSE(QFileInfo::exists(path("evil.txt")));
    EXPECT_FALSE(QFileInfo::exists("/tmp/abs-evil.txt"));
  }
  // A name that only looks like climbing stays inside.
  python(kMakeZip, {path("fine.zip"), "a/./b..c/..d", "ok"});
  ASSERT_TRUE(CardZipArchive::unzipFileAtPath(path("fine.zip"), path("fine")));
  EXPECT_EQ(readAll(path("fine/a/b..c/..d")), QByteArray("ok"));
}

TEST_F(ZipTest, EntryCountAndUnpackedBytesAreCapped) {
  const QByteArray zeros(100000, '\0');
  python(R"(
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as z:
    for i in range(3):
        z.writestr('part%d.bin' % i, b'\0' * 100000)
)",
         {path("bomb.zip")});
  CardZipArchiveError error;
  UnzipLimits bytes;
  bytes.maxTotalBytes = 250000;
  EXPECT_FALSE(CardZipArchive::unzipFileAtPath(path("bomb.zip"), path("b1"), true, QString(), &error, bytes));
  EXPECT_EQ(error.code, CardZipArchiveError::kTooLarge);
  EXPECT_FALSE(QFileInfo::exists(path("b1/part0.bin")));

  UnzipLimits entries;
  entries.maxEntries = 2;
  EXPECT_FALSE(
      CardZipArchive::unzipFileAtPath(path("bomb.zip"), path("b2"), true, QString(), &error, entries));
  EXPECT_EQ(error.code, CardZipArchiveError::kTooLarge);

  EXPECT_TRUE(CardZipArchive::unzipFileAtPath(path("bomb.zip"), path("b3"), true, QString(), &error));
  EXPECT_EQ(readAll(path("b3/part2.bin")), zeros);
}

TEST_F(ZipTest, BrokenArchivesReportTheirError) {
  writeAll(path("not.zip"), "this is plain text, not a zip package");
  CardZipArchiveError error;
  EXPECT_FALSE(CardZipArchive::unzipFileAtPath(path("not.zip"), path("d"), true, QString(), &error));
  EXPECT_EQ(error.code, CardZipArchiveError::kOpenFailed);
  EXPECT_EQ(error.localizedDescription, "failed to open zip file");
  EXPECT_FALSE(CardZipArchive::unzipFileAtPath(path("missing.zip"), path("d"), true, QString(), &error));
  EXPECT_EQ(error.code, CardZipArchiveError::kOpenFailed);

  // A damaged entry (its data altered after writing) fails the unpack.
  python(kMakeZip, {path("good.zip"), "a.txt", QString(2000, 'q')});
  QByteArray bytes = readAll(path("good.zip"));
  const qsizetype at = 30 + 5 + 2;  // inside the deflated data of the first entry
  bytes[at] = char(bytes[at] ^ 0x5a);
  writeAll(path("damaged.zip"), bytes);
  EXPECT_FALSE(CardZipArchive::unzipFileAtPath(path("damaged.zip"), path("dd"), true, QString(), &error));
}

TEST_F(ZipTest, ArchiveObjectLifecycle) {
  writeAll(path("target.zip"), "previous");
  {
    CardZipArchive archive(path("target.zip"));
    EXPECT_THROW(archive.writeFile("x", tmp.path()), std::logic_error);
    EXPECT_THROW(archive.close(), std::logic_error);
    EXPECT_FALSE(archive.writeData("data", "d.txt"));
    ASSERT_TRUE(archive.open());
    try {
      archive.open();
      FAIL() << "a second open must raise";
    } catch (const std::logic_error& e) {
      EXPECT_STREQ(e.what(), "Attempting open an archive which is already open");
    }
    EXPECT_FALSE(archive.writeData(QByteArray(), "null.txt"));
    EXPECT_TRUE(archive.writeData("payload", "d.txt"));
    // Not closed: the unfinished archive is dropped and the old file stays.
  }
  EXPECT_EQ(readAll(path("target.zip")), QByteArray("previous"));
  EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files), QStringList{"target.zip"});

  CardZipArchive archive(path("target.zip"));
  ASSERT_TRUE(archive.open());
  EXPECT_TRUE(archive.writeData("payload", "d.txt"));
  EXPECT_FALSE(archive.writeFile("no-such-file", tmp.path()));
  EXPECT_TRUE(archive.close());
  EXPECT_EQ(unzipListing(path("target.zip")), QStringList{"d.txt"});
  EXPECT_EQ(python("import sys, zipfile; print(zipfile.ZipFile(sys.argv[1]).read('d.txt').decode())",
                   {path("target.zip")}),
            QByteArray("payload\n"));

  // An archive in a folder that does not exist cannot be made.
  EXPECT_FALSE(CardZipArchive::createZipFileAtPath(path("no/such/folder/x.zip"), QStringList{tmp.path()}));
  EXPECT_EQ(CardZipArchive::_dateFor1980(), QDateTime(QDate(1980, 1, 1), QTime(0, 0), Qt::LocalTime));
}

}  // namespace

// An export replaces its target the way a saved file is replaced: the old
// file's permissions stay, a link keeps pointing at the file it names (which
// gets the new content), and nothing but the target is left in its folder.
TEST_F(ZipTest, ArchivesReplaceTheirTargetLikeASavedFile) {
  data_test::writeAll(path("in/a.txt"), "alpha");
  const QString target = path("out/private.zip");
  data_test::writeAll(target, "old");
  ASSERT_TRUE(QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner));
  ASSERT_TRUE(CardZipArchive::createZipFileAtPath(target, QStringList{path("in/a.txt")}));
  EXPECT_EQ(data_test::unzipListing(target), QStringList{"a.txt"});
  EXPECT_EQ(QFileInfo(target).permissions() & (QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                               QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                               QFile::ReadOther | QFile::WriteOther | QFile::ExeOther),
            QFile::ReadOwner | QFile::WriteOwner);

  ASSERT_TRUE(QFile::link(target, path("out/link.zip")));
  data_test::writeAll(path("in/b.txt"), "beta");
  ASSERT_TRUE(CardZipArchive::createZipFileAtPath(path("out/link.zip"), QStringList{path("in/b.txt")}));
  EXPECT_TRUE(QFileInfo(path("out/link.zip")).isSymLink());
  EXPECT_EQ(data_test::unzipListing(target), QStringList{"b.txt"});
  EXPECT_EQ(QDir(path("out")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            (QStringList{"link.zip", "private.zip"}));

  // A failed archive leaves the old file and no stray file beside it.
  {
    CardZipArchive archive(target);
    ASSERT_TRUE(archive.open());
    EXPECT_TRUE(archive.writeData("x", "x.txt"));
  }
  EXPECT_EQ(data_test::unzipListing(target), QStringList{"b.txt"});
  EXPECT_EQ(QDir(path("out")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            (QStringList{"link.zip", "private.zip"}));
}
