// Damaged design files: every one is refused with the same message, which
// gives the reader's reason, and the design that was open stays exactly as it
// was. A file that cannot be read is refused so too, but named with the reason.

#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <QTemporaryDir>

#include "DesignFileTestSupport.h"
#include "core/globals.h"
#include "mainwindow/designfile/DesignFile.h"
#include "mainwindow/designfile/PlainDesignHost.h"
#include "mainwindow/globals.h"
#include "support/PipeWatchdog.h"
#include "support/ScriptedHost.h"

namespace {

using designfile::PlainDesignHost;
using namespace designfile_test;

// Edits a saved design with plistlib; the python snippet works on `root`
// (the element list) and may use `archive(i)` / `store(i, a)` to change the
// keyed archive held by element i.
const char* kEditPrefix = R"PY(
import plistlib, sys
with open(sys.argv[1], 'rb') as f:
    root = plistlib.load(f)
def archive(i):
    return plistlib.loads(root[i])
def store(i, a):
    root[i] = plistlib.dumps(a, fmt=plistlib.FMT_BINARY)
)PY";
const char* kEditSuffix = R"PY(
with open(sys.argv[2], 'wb') as f:
    plistlib.dump(root, f)
)PY";

class DesignFileCorruptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    fillFullDesign(source, QDir(dir.path()));
    Project_File_Name.clear();
    good = dir.filePath("good.dcard");
    messages.queueSavePanel(good);
    ASSERT_TRUE(designfile::Save_project_file(source, true, false));

    // The design that is open when the damaged file is read.
    current.front.Card_Name = "Open design";
    current.front.Card_Shape = "RR";
    current.table.replaceContents({"Nr", "Guest"}, {DataSourceRow{{"Extension", "1"}, {"Column1", "Eve"}}});
    current.doc.setGraphicsOfSide(CardSide::Front, {SKTGraphic::makeGraphic(GraphicKind::Text)});
    current.title = "QUVO Gratulo ( open.dcard )";
    Project_File_Name = "/designs/open.dcard";
    Card_Shape = 1;
    before = designFingerprint(current);
    messages.clear();
  }
  void TearDown() override { Project_File_Name.clear(); }

  QString edited(const QString& name, const QString& snippet) {
    const QString out = dir.filePath(name);
    runPython(QString::fromUtf8(kEditPrefix) + snippet + QString::fromUtf8(kEditSuffix), {good, out});
    return out;
  }

  // The message of a corrupt file with the reader's reason.
  static QString corrupt(const QString& reason) { return designfile::kCorruptMessage + "\n\n" + reason; }

  // Reads the file into `current` and checks the refusal (the given message,
  // or the corrupt file's with some reason) left it untouched.
  void expectRefused(const QString& file, const QString& message = QString()) {
    SCOPED_TRACE(file.toStdString());
    EXPECT_EQ(designfile::Read_and_load_design_Log(current, file, "L"), 0);
    if (message.isEmpty()) {
      ASSERT_EQ(messages.messages().size(), 1);
      EXPECT_TRUE(messages.messages()[0].startsWith("\n" + corrupt("")))
          << messages.messages()[0].toStdString();
      EXPECT_GT(messages.messages()[0].size(), corrupt("").size() + 10);
    } else {
      EXPECT_EQ(messages.messages(), QStringList{"\n" + message});
    }
    EXPECT_EQ(designFingerprint(current), before);
    EXPECT_EQ(current.resets, 0);
    EXPECT_EQ(current.title, "QUVO Gratulo ( open.dcard )");
    EXPECT_EQ(Project_File_Name, "/designs/open.dcard");
    EXPECT_EQ(Card_Shape, 1);
    EXPECT_FALSE(Not_Draw_Only_Prop_Change());
    messages.clear();
  }

  QTemporaryDir dir;
  testing_support::ScriptedHost messages;
  PlainDesignHost source;
  PlainDesignHost current;
  QString good;
  QByteArray before;
};

TEST_F(DesignFileCorruptTest, GoodFileOpensSoTheEditsBelowAreWhatBreaksThem) {
  const QString copy = edited("copy.dcard", "");
  PlainDesignHost host;
  EXPECT_EQ(designfile::Read_and_load_design_Log(host, copy, "L"), 1);
  EXPECT_EQ(designFingerprint(host), designFingerprint(source));
}

TEST_F(DesignFileCorruptTest, BytesThatAreNoDesign) {
  const QByteArray whole = readFile(good);
  QByteArray noise(4096, '\0');
  QRandomGenerator random(42);
  for (auto& c : noise) c = static_cast<char>(random.generate());
  ASSERT_TRUE(writeFile(dir.filePath("random.dcard"), noise));
  expectRefused(dir.filePath("random.dcard"), corrupt("Not a property list."));

  ASSERT_TRUE(writeFile(dir.filePath("truncated.dcard"), whole.left(whole.size() / 2)));
  expectRefused(dir.filePath("truncated.dcard"));

  ASSERT_TRUE(writeFile(dir.filePath("empty file.dcard"), QByteArray()));
  expectRefused(dir.filePath("empty file.dcard"));

  // Files that cannot be read, a pipe and a device never read from.
  const auto unreadable = [](const QString& file, const char* why) {
    return QString("The file \"%1\" could not be read: %2.").arg(file, why);
  };
  const QString pipe = dir.filePath("pipe.dcard");
  ASSERT_TRUE(testing_support::makePipe(pipe));
  testing_support::PipeWatchdog watchdog({pipe});
  for (const auto& [file, why] : {std::pair{dir.filePath("missing.dcard"), "no such file or directory"},
                                  {dir.path(), "it is a folder"},
                                  {pipe, "it is a named pipe, not a file"},
                                  {QString("/dev/zero"), "it is a device, not a file"}})
    expectRefused(file, unreadable(file, why));
  EXPECT_TRUE(watchdog.freed().isEmpty());
}

TEST_F(DesignFileCorruptTest, WrongRootOrMark) {
  expectRefused(edited("magic.dcard", "root[0] = 'QUVOCARDDESIGNLOGFILX'"));
  expectRefused(edited("dict.dcard", "root = {'a': root[0]}"));
  expectRefused(edited("nothing.dcard", "root = []"));
  expectRefused(edited("string.dcard", "root = root[0]"));
  expectRefused(
      edited("deep.dcard", "nested = []\nfor i in range(300): nested = [nested]\nroot[59] = nested"),
      corrupt("Not a property list: property list is nested too deeply."));
}

TEST_F(DesignFileCorruptTest, ShortFilesAndElementsOfTheWrongKind) {
  expectRefused(edited("older layout.dcard", "root = root[:40]"));
  expectRefused(edited("no counts.dcard", "root = root[:61]"));
  expectRefused(edited("colour as text.dcard", "root[2] = 'black'"),
                corrupt("The front page settings: the border colour is not data."));
  expectRefused(edited("flag as data.dcard", "root[1] = b'Y'"));
  expectRefused(edited("titles as text.dcard", "root[59] = 'Row'"));
  expectRefused(edited("row as text.dcard", "root[60] = ['1']"));
  expectRefused(edited("archive as text.dcard", "root[62] = 'SKTText'"));
  expectRefused(edited("colour of a font.dcard", "root[2] = root[28]"));
  expectRefused(edited("size.dcard", "root[19] = '{nan, 3}'"));
  expectRefused(edited("huge size.dcard", "root[47] = '{1e300, 3}'"));
  expectRefused(edited("negative size.dcard", "root[19] = '{-5, 3}'"));
  expectRefused(edited("opacity.dcard", "root[13] = '1e999'"));
  // A value quoted from the file is cut to its start and end.
  expectRefused(edited("long size.dcard", "root[19] = '{' + '9' * 5000 + ', 3}'"),
                corrupt("The front page settings: the card size \"{" + QString(39, '9') + "\u2026" +
                        QString(36, '9') + ", 3}\" is no size of at most 14400 points a side."));
}

TEST_F(DesignFileCorruptTest, CountsLargerThanWhatFollows) {
  expectRefused(edited("front count.dcard", "root[61] = '5000000000'"));
  expectRefused(edited("back count.dcard", "root[73] = '4'"),
                corrupt("The back object count: 4 back objects announced, 3 elements follow."));
  expectRefused(edited("negative count.dcard", "root[61] = '-1'"));
  // One object fewer than announced on the back side.
  expectRefused(edited("missing object.dcard", "root = root[:-1]"));
}

TEST_F(DesignFileCorruptTest, ArchivesOfUnknownClassesOrBroken) {
  expectRefused(edited("unknown class.dcard", R"PY(
a = archive(62)
top = a['$objects'][a['$top']['root'].data]
a['$objects'][top['$class'].data]['$classname'] = 'NSWindow'
store(62, a)
)PY"),
                corrupt("Front object 1: not a card object: \"NSWindow\"."));
  expectRefused(edited("base class.dcard", R"PY(
a = archive(74)
top = a['$objects'][a['$top']['root'].data]
a['$objects'][top['$class'].data]['$classname'] = 'SKTGraphic'
store(74, a)
)PY"));
  expectRefused(edited("null root.dcard", R"PY(
a = archive(63)
a['$top']['root'] = plistlib.UID(0)
store(63, a)
)PY"));
  expectRefused(edited("dangling.dcard", R"PY(
a = archive(64)
a['$top']['root'] = plistlib.UID(100000)
store(64, a)
)PY"));
  expectRefused(edited("missing reference.dcard", R"PY(
a = archive(62)
a['$objects'][a['$top']['root'].data]['_fillColor'] = plistlib.UID(99999)
store(62, a)
)PY"),
                corrupt("Front object 1: keyed archive refers to a missing object."));
  expectRefused(edited("garbage archive.dcard", "root[65] = b'bplist00garbage'"));
}

// An object beyond what the model keeps is refused, never cut back to it.
TEST_F(DesignFileCorruptTest, ObjectsBeyondTheLimitsOfTheModel) {
  const char* setBounds = R"PY(
a = archive(62)
top = a['$objects'][a['$top']['root'].data]
a['$objects'][top['_bounds'].data] = '{{%1, 10}, {50, %2}}'
store(62, a)
)PY";
  expectRefused(edited("far.dcard", QString::fromLatin1(setBounds).arg("100001").arg("30")));
  expectRefused(edited("tall.dcard", QString::fromLatin1(setBounds).arg("10").arg("100000.5")));
  expectRefused(edited("wide stroke.dcard", R"PY(
a = archive(63)
a['$objects'][a['$top']['root'].data]['_strokeWidth'] = 1001.0
store(63, a)
)PY"));
  PlainDesignHost host;
  EXPECT_EQ(
      designfile::Read_and_load_design_Log(
          host, edited("at the limit.dcard", QString::fromLatin1(setBounds).arg("-100000").arg("100000")),
          "L"),
      1);
  EXPECT_EQ(host.doc.graphics().front()->bounds(), QRectF(-100000, 10, 50, 100000));
}

TEST_F(DesignFileCorruptTest, ExtraElementsAfterTheBackObjectsAreIgnored) {
  const QString file = edited("extra.dcard", "root += ['1', b'x', [], {'k': 'v'}]");
  PlainDesignHost host;
  EXPECT_EQ(designfile::Read_and_load_design_Log(host, file, "L"), 1);
  EXPECT_TRUE(messages.messages().isEmpty());
  EXPECT_EQ(designFingerprint(host), designFingerprint(source));
}

}  // namespace
