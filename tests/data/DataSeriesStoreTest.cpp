// The series file contract: bytes written, the reader variants, the listing
// and the in-use check on fake designs.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <stdexcept>

#include "DataTestSupport.h"
#include "data/DataSeriesStore.h"
#include "dialogs/DialogTestSupport.h"
#include "platform/ChildProcess.h"
#include "support/ScriptedHost.h"

using data_test::readAll;
using data_test::writeAll;

namespace {

class SeriesStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(root.isValid());
    folder = root.path() + "/DataSet";
    ASSERT_TRUE(QDir().mkpath(folder));
  }
  QString file(const QString& name) const { return folder + "/" + name; }
  QStringList messages() const {
    QStringList texts;
    for (const QString& m : host.messages()) texts.append(m.trimmed());
    return texts;
  }

  QTemporaryDir root;
  QString folder;
  testing_support::ScriptedHost host;
};

TEST_F(SeriesStoreTest, WritesEachValueWithOneLineFeedInUtf8) {
  DataSeriesStore store(folder);
  // A value stays on its line: each line break in it is written as a space.
  ASSERT_TRUE(
      store.writeSeries("Names", {"Anna", "", "Jörg ✓", "tab\there", "cr\r", "two\r\nlines\n\u2028"}));
  EXPECT_EQ(readAll(file("Names.txt")),
            QByteArray("Anna\n\nJ\xC3\xB6rg \xE2\x9C\x93\ntab\there\ncr \ntwo lines  \n"));

  ASSERT_TRUE(store.writeSeries("Empty", {}));
  EXPECT_EQ(readAll(file("Empty.txt")), QByteArray());
  EXPECT_TRUE(store.seriesExists("Empty"));
}

TEST_F(SeriesStoreTest, ReplaceAndAppend) {
  DataSeriesStore store(folder);
  ASSERT_TRUE(store.writeSeries("S", {"old1", "old2"}));
  ASSERT_TRUE(store.writeSeries("S", {"new"}));
  EXPECT_EQ(readAll(file("S.txt")), QByteArray("new\n"));

  ASSERT_TRUE(store.writeSeries("S", {"more", ""}, SeriesWriteMode::Append));
  EXPECT_EQ(readAll(file("S.txt")), QByteArray("new\nmore\n\n"));

  // An old file written elsewhere without a final line feed keeps its last value apart.
  writeAll(file("T.txt"), "a\nb");
  ASSERT_TRUE(store.writeSeries("T", {"c"}, SeriesWriteMode::Append));
  EXPECT_EQ(readAll(file("T.txt")), QByteArray("a\nb\nc\n"));

  ASSERT_TRUE(store.writeSeries("Fresh", {"x"}, SeriesWriteMode::Append));
  EXPECT_EQ(readAll(file("Fresh.txt")), QByteArray("x\n"));

  EXPECT_TRUE(store.deleteSeries("Fresh"));
  EXPECT_FALSE(store.seriesExists("Fresh"));
  EXPECT_TRUE(store.deleteSeries("Fresh"));  // already gone
  writeAll(root.path() + "/outside.txt", "keep");
  EXPECT_FALSE(store.deleteSeries("../outside"));
  EXPECT_EQ(readAll(root.path() + "/outside.txt"), QByteArray("keep"));
  EXPECT_TRUE(messages().isEmpty());
}

TEST_F(SeriesStoreTest, NamesThatAreNoPlainFileNamesAreRefused) {
  DataSeriesStore store(folder);
  const QStringList before = QDir(root.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
  const QString withNul = QString("a") + QChar(0) + "b";
  for (const QString& name : {QString(), QString("."), QString(".."), QString("a/b"), QString("../escape"),
                              QString("/abs"), withNul}) {
    EXPECT_FALSE(DataSeriesStore::isPlainName(name)) << name.toStdString();
    EXPECT_TRUE(store.seriesFilePath(name).isEmpty());
    EXPECT_FALSE(store.writeSeries(name, {"v"}));
    EXPECT_FALSE(DataSeriesStore::readSeriesLines(store.seriesFilePath(name), nullptr).has_value());
    EXPECT_TRUE(store.readCardValues(name).isEmpty());
  }
  EXPECT_EQ(messages(), QStringList(7, "Error in file accessing."));
  EXPECT_TRUE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
  EXPECT_EQ(QDir(root.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);

  // Reserved characters inside a name are fine on this system; only "/" and NUL are not.
  EXPECT_TRUE(DataSeriesStore::isPlainName("a?b*c"));
  EXPECT_TRUE(DataSeriesStore::isPlainName("..."));

  host.clear();
  EXPECT_FALSE(store.writeSeries("x/y", {"v"}, SeriesWriteMode::Replace, SeriesFailureReport::Silent));
  EXPECT_TRUE(host.messages().isEmpty());
}

TEST_F(SeriesStoreTest, FailedWriteKeepsTheOldStateAndSaysSo) {
  // The series folder is missing: nothing can be written.
  DataSeriesStore missing(root.path() + "/NoSuchFolder");
  EXPECT_FALSE(missing.writeSeries("S", {"v"}));
  EXPECT_EQ(messages(), QStringList{"Error in file accessing."});

  // A folder in the way of the file.
  DataSeriesStore store(folder);
  ASSERT_TRUE(QDir().mkpath(file("Blocked.txt")));
  EXPECT_FALSE(store.writeSeries("Blocked", {"v"}, SeriesWriteMode::Append));
  EXPECT_TRUE(QFileInfo(file("Blocked.txt")).isDir());
  EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 0);
}

TEST_F(SeriesStoreTest, ReaderVariants) {
  DataSeriesStore store(folder);
  writeAll(file("Gap.txt"), "a\n\nb\n");
  writeAll(file("Blank.txt"), "\n\n");
  writeAll(file("Lead.txt"), "\n  x \n\n");
  writeAll(file("Cr.txt"), "one\r\ntwo\r\n");
  writeAll(file("NoEnd.txt"), "p\nq");
  writeAll(file("Empty.txt"), "");
  writeAll(file("Latin1.txt"), "caf\xE9\n");

  // Viewer and editor: each card's value trimmed, empty values in their places.
  EXPECT_EQ(store.readCardValues("Gap"), (QStringList{"a", "", "b"}));
  EXPECT_EQ(store.readCardValues("Blank"), (QStringList{"", ""}));
  EXPECT_EQ(store.readCardValues("Lead"), (QStringList{"", "x", ""}));
  EXPECT_EQ(store.readCardValues("Cr"), (QStringList{"one", "two"}));
  EXPECT_EQ(store.readCardValues("Empty"), QStringList());

  // A run: only the final line feed goes; blank values keep their place, and
  // an empty file still makes one card.
  const auto lines = [&](const char* name) {
    return DataSeriesStore::readSeriesLines(store.seriesFilePath(name), nullptr);
  };
  EXPECT_EQ(*lines("Gap"), (QStringList{"a", "", "b"}));
  EXPECT_EQ(*lines("Blank"), (QStringList{"", ""}));
  EXPECT_EQ(*lines("Lead"), (QStringList{"", "  x ", ""}));
  EXPECT_EQ(*lines("Cr"), (QStringList{"one\r", "two\r"}));
  EXPECT_EQ(*lines("NoEnd"), (QStringList{"p", "q"}));
  EXPECT_EQ(*lines("Empty"), QStringList{""});
  EXPECT_FALSE(lines("Missing").has_value());

  // First value for previews: card 1's value, trimmed as a run fills it.
  EXPECT_EQ(store.Get_First_Value_Of_Dataset("Cr"), "one");
  EXPECT_EQ(store.Get_First_Value_Of_Dataset("Lead"), "");
  EXPECT_EQ(store.Get_First_Value_Of_Dataset("NoEnd"), "p");
  EXPECT_EQ(store.Get_First_Value_Of_Dataset("Missing"), "");

  // A file that is not UTF-8 reads as no values.
  EXPECT_EQ(store.readCardValues("Latin1"), QStringList());
  bool refused = false;
  EXPECT_FALSE(DataSeriesStore::readSeriesLines(store.seriesFilePath("Latin1"), &refused).has_value());
  EXPECT_TRUE(refused);
  EXPECT_EQ(store.Get_First_Value_Of_Dataset("Latin1"), "");

  // What the writers write, the readers read.
  const QStringList values{"1", "", "three", " four "};
  ASSERT_TRUE(store.writeSeries("Round", values));
  EXPECT_EQ(*lines("Round"), values);
  EXPECT_EQ(store.readCardValues("Round"), (QStringList{"1", "", "three", "four"}));
}

// A series holds at most Series_Value_Limit values: a file of more lines is
// refused by every reader and by appending, as a file of too many bytes is;
// the readers check a file in pieces, so lines, characters and a byte-order
// mark across the pieces' borders read as they are.
TEST_F(SeriesStoreTest, AFileOfMoreLinesThanASeriesHoldsIsRefusedByEveryReader) {
  DataSeriesStore store(folder);
  std::optional<dialog_test::LoweredValueLimit> limit(4);
  writeAll(file("Four.txt"), "a\n\n  c\nd");
  writeAll(file("Five.txt"), "\n\n\n\n\n");
  writeAll(file("Three.txt"), "1\n2\n3\n");
  EXPECT_EQ(store.readCardValues("Four"), (QStringList{"a", "", "c", "d"}));
  bool refused = true;
  EXPECT_EQ(DataSeriesStore::readSeriesLines(file("Four.txt"), &refused), (QStringList{"a", "", "  c", "d"}));
  EXPECT_FALSE(refused);
  bool tooLarge = false;
  EXPECT_EQ(store.readCardValues("Five", &tooLarge), QStringList());
  EXPECT_TRUE(tooLarge);
  EXPECT_FALSE(DataSeriesStore::readSeriesLines(file("Five.txt"), &refused).has_value());
  EXPECT_TRUE(refused);
  writeAll(file("Five.txt"), "first\n\n\n\n\n");
  EXPECT_EQ(store.Get_First_Value_Of_Dataset("Five"), "");
  EXPECT_EQ(store.Get_First_Value_Of_Dataset("Four"), "a");
  // Appending: up to the limit, not beyond it.
  QString failure;
  EXPECT_FALSE(
      store.writeSeries("Four", {"e"}, SeriesWriteMode::Append, SeriesFailureReport::Silent, &failure));
  EXPECT_EQ(failure, DataSeriesStore::refusedSeriesMessage("Four"));
  EXPECT_EQ(readAll(file("Four.txt")), QByteArray("a\n\n  c\nd"));
  EXPECT_TRUE(store.writeSeries("Three", {"4"}, SeriesWriteMode::Append));
  EXPECT_EQ(readAll(file("Three.txt")), QByteArray("1\n2\n3\n4\n"));
  limit.reset();

  // Lines and characters across the pieces a file is read in (a megabyte).
  QByteArray across = "\xEF\xBB\xBF" + QByteArray((1 << 20) - 4, 'a') + "\xE2\x9C\x93\n" +
                      QByteArray(3 << 20, 'b') + "\n\xEF\xBB\xBFz \r\n";
  writeAll(file("Across.txt"), across);
  const std::optional<QStringList> lines = DataSeriesStore::readSeriesLines(file("Across.txt"), nullptr);
  ASSERT_TRUE(lines.has_value());
  EXPECT_EQ(*lines, (QStringList{QString((1 << 20) - 4, 'a') + u'\u2713', QString(3 << 20, 'b'),
                                 QChar(0xFEFF) + QStringLiteral("z \r")}));
  // A character cut by the end of the file is no UTF-8 text.
  writeAll(file("Cut.txt"), QByteArray(1 << 20, 'a') + "\xE2\x9C");
  EXPECT_FALSE(DataSeriesStore::readSeriesLines(file("Cut.txt"), &refused).has_value());
  EXPECT_TRUE(refused);
  EXPECT_EQ(store.readCardValues("Cut", &tooLarge), QStringList());
  EXPECT_FALSE(tooLarge);
  EXPECT_TRUE(messages().isEmpty());
}

namespace {

// What a reader of the program read and took, in a program of its own.
struct SeriesReading {
  qint64 lines = -1;
  bool refused = false;
  qint64 peakBytes = 0;
};

SeriesReading readInItsOwnProgram(const QString& reader, const QString& folder, const QString& name,
                                  qint64 mostLines) {
  const platform::ChildResult child =
      platform::runChild(QStringLiteral(QUVO_BINARY_DIR "/tests/series_read_peak"),
                         {reader, folder, name, QString::number(mostLines)});
  SeriesReading reading;
  EXPECT_EQ(child.exitCode, 0) << child.err.toStdString();
  for (const QString& line : QString::fromUtf8(child.out).split(u'\n', Qt::SkipEmptyParts)) {
    const QStringList parts = line.split(u' ');
    if (parts.value(0) == "lines") reading.lines = parts.value(1).toLongLong();
    if (parts.value(0) == "refused") reading.refused = parts.value(1) == "1";
    if (parts.value(0) == "peak") reading.peakBytes = parts.value(1).toLongLong() * 1024;
  }
  return reading;
}

}  // namespace

// Whatever the length of its lines, a series file costs no more memory than
// the values it holds: one of more lines than a series holds is refused by
// each reader after a piece of it (a file of one-character lines once took
// thirty times its size), and one at the limit takes what its values take.
TEST_F(SeriesStoreTest, ASeriesFileOfManyShortLinesIsRefusedBeforeItCostsMemory) {
  ASSERT_TRUE(QFileInfo(QStringLiteral(QUVO_BINARY_DIR "/tests/series_read_peak")).isExecutable())
      << "build the target series_read_peak first";
  constexpr qint64 kLimit = 65536;
  constexpr qsizetype kFileBytes = 16 << 20;
  writeAll(file("Small.txt"), "a\n");
  for (const int length : {1, 8, 64}) {
    const QByteArray line = QByteArray(length, 'x') + '\n';
    writeAll(file(QStringLiteral("Lines%1.txt").arg(length)), line.repeated(kFileBytes / line.size()));
  }
  // At the limit, long lines: 16 MB of text, 32 MB as values (60 MB with
  // the sanitizer's share; the whole text read first took 160 MB).
  writeAll(file("Full.txt"), (QByteArray(kFileBytes / kLimit - 1, 'y') + '\n').repeated(kLimit));
  for (const QString reader : {"run", "card", "first", "append"}) {
    const SeriesReading own = readInItsOwnProgram(reader, folder, "Small", kLimit);
    EXPECT_EQ(own.lines, 1);
    for (const int length : {1, 8, 64}) {
      const SeriesReading many =
          readInItsOwnProgram(reader, folder, QStringLiteral("Lines%1").arg(length), kLimit);
      EXPECT_EQ(many.lines, 0) << reader.toStdString() << length;
      EXPECT_EQ(many.refused, reader != "first") << reader.toStdString() << length;
      EXPECT_LT(many.peakBytes, own.peakBytes + 8 * 1024 * 1024) << reader.toStdString() << length;
    }
    if (reader == "append") continue;
    const SeriesReading full = readInItsOwnProgram(reader, folder, "Full", kLimit);
    EXPECT_EQ(full.lines, reader == "first" ? 1 : kLimit);
    EXPECT_LT(full.peakBytes, own.peakBytes + (reader == "first" ? 8 << 20 : 5 * kFileBytes))
        << reader.toStdString();
  }
}

TEST_F(SeriesStoreTest, ListingIsSortedPlainFilesWithoutExtension) {
  writeAll(file("zeta.txt"), "");
  writeAll(file("Alpha.txt"), "");
  writeAll(file("beta.csv"), "");
  writeAll(file("archive.tar.gz"), "");
  writeAll(file("noext"), "");
  ASSERT_TRUE(QDir().mkpath(file("folder.txt")));
  DataSeriesStore store(folder);
  EXPECT_EQ(store.Get_datasheet_File_Name_Array(),
            (QStringList{"Alpha", "archive.tar", "beta", "noext", "zeta"}));
  // A series listed from another extension has no ".txt" file to read.
  EXPECT_FALSE(store.seriesExists("beta"));
  EXPECT_FALSE(DataSeriesStore::readSeriesLines(store.seriesFilePath("beta"), nullptr).has_value());

  EXPECT_TRUE(DataSeriesStore(root.path() + "/missing").Get_datasheet_File_Name_Array().isEmpty());
  writeAll(root.path() + "/plainfile", "");
  EXPECT_TRUE(DataSeriesStore(root.path() + "/plainfile").Get_datasheet_File_Name_Array().isEmpty());
}

class ThrowingDesign : public SeriesBindingSource {
 public:
  QList<SeriesBinding> frontBindings() const override { throw std::runtime_error("graphics went away"); }
  QList<SeriesBinding> backBindings() const override { return {}; }
  QString cardSides() const override { return "1"; }
};

TEST_F(SeriesStoreTest, InUseCheckLooksAtBoundTextsPicturesAndBarcodes) {
  DataSeriesStore store(folder);
  ASSERT_TRUE(store.writeSeries("Guests", {"a"}));
  const auto bound = [](const QString& kind, int type = 1, const QString& name = "Guests") {
    return SeriesBinding{kind, type, name};
  };
  const auto inUse = [&](QList<SeriesBinding> front, QList<SeriesBinding> back, const QString& sides) {
    return store.Check_Batch_File_In_Use_Validation("Guests", SeriesBindingList(front, back, sides));
  };

  EXPECT_TRUE(inUse({bound("SKTText")}, {}, "1"));
  EXPECT_TRUE(inUse({bound("SKTLine"), bound("SKTImage")}, {}, "1"));
  EXPECT_TRUE(inUse({bound("SKTBarcode")}, {}, "1"));
  // Other kinds, other sources, other names, and near names do not count.
  EXPECT_FALSE(inUse({bound("SKTLine"), bound("Shape_Control"), bound("SKTSignature")}, {}, "1"));
  EXPECT_FALSE(inUse({bound("SKTTextSubclass")}, {}, "1"));
  EXPECT_FALSE(inUse({bound("SKTText", 0), bound("SKTText", 2)}, {}, "1"));
  EXPECT_FALSE(inUse({bound("SKTText", 1, "guests"), bound("SKTText", 1, "Guests ")}, {}, "1"));
  // The back side counts only on a two-sided card.
  EXPECT_FALSE(inUse({}, {bound("SKTText")}, "1"));
  EXPECT_TRUE(inUse({}, {bound("SKTText")}, "2"));
  EXPECT_FALSE(inUse({}, {}, "2"));
  // A series whose file is gone is not in use, however it is bound.
  EXPECT_FALSE(store.Check_Batch_File_In_Use_Validation(
      "Gone", SeriesBindingList({bound("SKTText", 1, "Gone")}, {}, "1")));
  EXPECT_TRUE(host.messages().isEmpty());

  // A failure while walking the design is shown and answers no.
  EXPECT_FALSE(store.Check_Batch_File_In_Use_Validation("Guests", ThrowingDesign()));
  EXPECT_EQ(messages(), QStringList{"graphics went away"});
}

}  // namespace

// The listing takes the entries that exist and are no folders, under names
// the store accepts: a link that leads nowhere is no series, a link to a
// series file is one.
TEST_F(SeriesStoreTest, SeriesListingLeavesOutLinksThatLeadNowhere) {
  DataSeriesStore store(folder);
  ASSERT_TRUE(store.writeSeries("Real", {"v"}));
  ASSERT_TRUE(QFile::link(root.path() + "/gone.txt", folder + "/Dangling.txt"));
  ASSERT_TRUE(QFile::link(folder + "/Real.txt", folder + "/Alias.txt"));
  ASSERT_TRUE(QDir().mkpath(root.path() + "/elsewhere"));
  ASSERT_TRUE(QFile::link(root.path() + "/elsewhere", folder + "/FolderLink.txt"));
  // Names the store would refuse are not offered either.
  data_test::writeAll(folder + "/..txt", "dot");
  data_test::writeAll(folder + "/...txt", "dots");
  EXPECT_EQ(store.Get_datasheet_File_Name_Array(), (QStringList{"Alias", "Real"}));
  EXPECT_FALSE(store.seriesExists("Dangling"));
  EXPECT_EQ(store.readCardValues("Alias"), QStringList{"v"});
}
