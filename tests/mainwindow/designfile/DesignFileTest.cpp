// Writing and reading design files: layout checked by Python's plistlib,
// full round trips, files edited by hand, and saving through the panels.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>

#include "DesignFileTestSupport.h"
#include "core/SKTImage.h"
#include "core/globals.h"
#include "mainwindow/designfile/DesignFile.h"
#include "mainwindow/designfile/PlainDesignHost.h"
#include "mainwindow/globals.h"
#include "support/ScriptedHost.h"

namespace {

using designfile::PlainDesignHost;
using namespace designfile_test;

const QString kSavedBox = "\n" + designfile::kSavedMessage;
const QString kFailBox = QStringLiteral("\nfail");

class DesignFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    Project_File_Name.clear();
    Card_Shape = 0;
  }
  void TearDown() override { Project_File_Name.clear(); }

  QString path(const QString& name) const { return dir.filePath(name); }

  // Saves the host's design to a new path through the save panel.
  QString save(PlainDesignHost& host, const QString& name) {
    const QString target = path(name);
    messages.queueSavePanel(target);
    EXPECT_TRUE(designfile::Save_project_file(host, /*save_as=*/true, /*show_msg=*/false));
    return target;
  }

  QTemporaryDir dir;
  testing_support::ScriptedHost messages;
};

// Prints the elements of a design file as plistlib reads them, one line each:
// index, type, and the string value (or the archive's class for data).
const char* kDescribe = R"PY(
import plistlib, sys
with open(sys.argv[1], 'rb') as f:
    root = plistlib.load(f)
assert isinstance(root, list), type(root)
for i, e in enumerate(root):
    if isinstance(e, str):
        print(i, 'str', e)
    elif isinstance(e, bytes):
        a = plistlib.loads(e)
        assert a['$archiver'] == 'NSKeyedArchiver' and a['$version'] == 100000
        top = a['$objects'][a['$top']['root'].data]
        print(i, 'data', a['$objects'][top['$class'].data]['$classname'])
    elif isinstance(e, list):
        print(i, 'list', len(e), '|'.join(x if isinstance(x, str) else repr(sorted(x.items())) for x in e))
    else:
        print(i, type(e).__name__)
)PY";

QStringList describe(const QString& file) {
  return QString::fromUtf8(runPython(kDescribe, {file})).split('\n', Qt::SkipEmptyParts);
}

TEST_F(DesignFileTest, EmptyDesignHasTheLayoutPlistlibReads) {
  PlainDesignHost host;
  const QString file = save(host, "empty.dcard");
  EXPECT_TRUE(messages.messages().isEmpty());

  const QStringList lines = describe(file);
  ASSERT_EQ(lines.size(), 63) << lines.join('\n').toStdString();
  EXPECT_EQ(lines[0], "0 str QUVOCARDDESIGNLOGFILE");
  EXPECT_EQ(lines[15], "15 str F");
  EXPECT_EQ(lines[43], "43 str B");
  EXPECT_EQ(lines[57], "57 str N");
  EXPECT_EQ(lines[59], "59 list 1 " + DataSourceTable::kDefaultFirstTitle);
  EXPECT_EQ(lines[60], "60 list 0 ");
  EXPECT_EQ(lines[61], "61 str 0");
  EXPECT_EQ(lines[62], "62 str 0");
  // Item forms of one side: colours and the font as archives of one object,
  // numbers and geometry as text.
  for (int base : {0, 28}) {
    EXPECT_EQ(lines[base + 1], QString("%1 str N").arg(base + 1));
    for (int item : {2, 7, 8, 9, 12, 27})
      EXPECT_EQ(lines[base + item], QString("%1 data NSColor").arg(base + item));
    EXPECT_EQ(lines[base + 28], QString("%1 data NSFont").arg(base + 28));
    EXPECT_EQ(lines[base + 3], QString("%1 str 1").arg(base + 3));
    EXPECT_EQ(lines[base + 13], QString("%1 str 100.00").arg(base + 13));
    EXPECT_EQ(lines[base + 18], QString("%1 str {0, 0}").arg(base + 18));
    EXPECT_EQ(lines[base + 19], QString("%1 str {0, 0}").arg(base + 19));
    EXPECT_EQ(lines[base + 25], QString("%1 str ").arg(base + 25));
  }
  // And it reads back.
  PlainDesignHost reopened;
  EXPECT_EQ(designfile::Read_and_load_design_Log(reopened, file, "L"), 1);
  EXPECT_EQ(designFingerprint(reopened), designFingerprint(host));
}

TEST_F(DesignFileTest, FullDesignRoundTripsFieldByField) {
  PlainDesignHost original;
  fillFullDesign(original, QDir(dir.path()));
  const QString file = save(original, "full.dcard");
  // Saving empties the stale background path of a side not filled with a picture.
  EXPECT_EQ(original.back.Card_BG_Image_Path, "");
  EXPECT_FALSE(original.front.Card_BG_Image_Path.isEmpty());

  const QStringList lines = describe(file);
  ASSERT_EQ(lines.size(), 63 + 11 + 3);
  EXPECT_EQ(lines[61], "61 str 11");
  EXPECT_EQ(lines[62], "62 data SKTText");
  EXPECT_EQ(lines[63], "63 data SKTImage");
  EXPECT_EQ(lines[64], "64 data SKTLine");
  EXPECT_EQ(lines[65], "65 data Shape_Control");
  EXPECT_EQ(lines[73], "73 str 3");
  EXPECT_EQ(lines[74], "74 data SKTSignature");
  EXPECT_EQ(lines[75], "75 data SKTBarcode");
  EXPECT_EQ(lines[13], "13 str 0.37");
  EXPECT_EQ(lines[19], "19 str {297.6377952755906, 419.52755905511816}");
  EXPECT_EQ(lines[59], "59 list 3 Row|Name|City");

  PlainDesignHost reopened;
  reopened.table.addColumn("left over");
  ASSERT_EQ(designfile::Read_and_load_design_Log(reopened, file, "L"), 1);
  EXPECT_TRUE(messages.messages().isEmpty());
  EXPECT_EQ(designFingerprint(reopened), designFingerprint(original));

  // Field by field where the fingerprint cannot see.
  EXPECT_EQ(reopened.front, [&] {
    Card_Property expected = original.front;
    expected.Card_BG_Image = reopened.front.Card_BG_Image;
    return expected;
  }());
  EXPECT_EQ(reopened.front.Card_BG_Image.size(), QSize(30, 20));
  EXPECT_TRUE(reopened.back.Card_BG_Image.isNull());
  EXPECT_EQ(reopened.table.columnTitles(), (QStringList{"Row", "Name", "City"}));
  EXPECT_EQ(reopened.table.ColList()[2].identifier, "Column2");
  EXPECT_EQ(reopened.table.value(1, 2), "Z\u00fcrich");
  EXPECT_TRUE(reopened.excelUse);
  EXPECT_EQ(reopened.excelPath, "/home/user/guests.xlsx");
  EXPECT_EQ(reopened.cardSize, QSizeF(297.6377952755906, 419.52755905511816));

  const auto& front = reopened.doc.graphics();
  ASSERT_EQ(front.size(), 11u);
  for (size_t i = 0; i < front.size(); ++i) {
    EXPECT_EQ(front[i]->kind(), original.doc.graphics()[i]->kind()) << i;
    EXPECT_EQ(front[i]->_bounds, original.doc.graphics()[i]->_bounds) << i;
    EXPECT_EQ(front[i]->Text_Value, original.doc.graphics()[i]->Text_Value) << i;
  }
  ASSERT_TRUE(front[0]->_Text_contents);
  EXPECT_EQ(front[0]->_Text_contents->string, "Happy birthday,\nAnna!");
  EXPECT_EQ(front[4]->_shape_type, "C");
  EXPECT_EQ(front[10]->_shape_type, "P");
  // An exact picture object loads its picture again from its path.
  EXPECT_EQ(static_cast<SKTImage&>(*front[1])._contents.size(), QSize(16, 12));
  const auto& back = reopened.doc.graphics_back();
  ASSERT_EQ(back.size(), 3u);
  EXPECT_EQ(back[0]->sign_or_fingureprint, "F");
  EXPECT_EQ(back[1]->_barcode_image.size(), QSize(8, 4));
  EXPECT_EQ(back[1]->dpi_custom_val, "600");

  // The opened file is the current design file; its outline drives the painter.
  EXPECT_EQ(Project_File_Name, file);
  EXPECT_EQ(reopened.title, "QUVO Gratulo ( full.dcard )");
  EXPECT_EQ(Card_Shape, 2);
  EXPECT_FALSE(Not_Draw_Only_Prop_Change());
  // Loading is not undoable.
  EXPECT_EQ(reopened.doc.undoStack()->count(), 0);
  EXPECT_EQ(reopened.finishes, 1);
}

TEST_F(DesignFileTest, CardOutlineFollowsTheFrontSide) {
  for (const auto& [outline, code] :
       std::vector<std::pair<QString, int>>{{"RR", 1}, {"E", 2}, {"R", 0}, {"X", 0}}) {
    PlainDesignHost host;
    host.front.Card_Shape = outline;
    host.back.Card_Shape = "E";
    const QString file = save(host, "outline.dcard");
    Card_Shape = 7;
    PlainDesignHost reopened;
    ASSERT_EQ(designfile::Read_and_load_design_Log(reopened, file, "L"), 1);
    EXPECT_EQ(Card_Shape, code) << outline.toStdString();
  }
}

// A file edited with plistlib: a lower-case flag, extra elements at the end.
TEST_F(DesignFileTest, FileEditedByPlistlibStillOpens) {
  PlainDesignHost host;
  host.front.Card_border_chk = true;
  host.front.Card_alpha_Stepper = 0.5f;  // 50 % in the card panel
  host.back.Card_alpha_Stepper = 0.126f;
  const QString file = save(host, "edited.dcard");
  const char* edit = R"PY(
import plistlib, sys
with open(sys.argv[1], 'rb') as f:
    root = plistlib.load(f)
assert root[13] == '0.50', root[13]
assert root[41] == '0.13', root[41]
assert root[1] == 'Y'
root[1] = 'y'
root[29] = 'YES'
root.append('extra')
root.append(b'more')
with open(sys.argv[1], 'wb') as f:
    plistlib.dump(root, f)
print(len(root))
)PY";
  EXPECT_EQ(runPython(edit, {file}).trimmed(), "65");

  PlainDesignHost reopened;
  ASSERT_EQ(designfile::Read_and_load_design_Log(reopened, file, "L"), 1);
  EXPECT_FALSE(reopened.front.Card_border_chk);  // only exactly "Y" is yes
  EXPECT_FALSE(reopened.back.Card_border_chk);
  EXPECT_FLOAT_EQ(reopened.front.Card_alpha_Stepper, 0.5f);
  EXPECT_FLOAT_EQ(reopened.back.Card_alpha_Stepper, 0.13f);  // two decimals only
}

TEST_F(DesignFileTest, BinaryPropertyListOpensToo) {
  PlainDesignHost host;
  fillFullDesign(host, QDir(dir.path()));
  const QString file = save(host, "xml.dcard");
  const char* toBinary = R"PY(
import plistlib, sys
with open(sys.argv[1], 'rb') as f:
    root = plistlib.load(f)
with open(sys.argv[2], 'wb') as f:
    plistlib.dump(root, f, fmt=plistlib.FMT_BINARY)
)PY";
  const QString binary = path("binary.dcard");
  runPython(toBinary, {file, binary});
  PlainDesignHost reopened;
  ASSERT_EQ(designfile::Read_and_load_design_Log(reopened, binary, "L"), 1);
  EXPECT_EQ(designFingerprint(reopened), designFingerprint(host));
}

TEST_F(DesignFileTest, ColumnTitlesOfTheFileDecideTheTableColumns) {
  PlainDesignHost host;
  host.table.replaceContents({"Only"}, {});
  const QString single = save(host, "single.dcard");
  PlainDesignHost reopened;
  reopened.table.replaceContents({"Row", "A", "B"}, {DataSourceRow{{"Extension", "1"}}});
  ASSERT_EQ(designfile::Read_and_load_design_Log(reopened, single, "L"), 1);
  EXPECT_EQ(reopened.table.columnTitles(), QStringList{"Only"});
  EXPECT_FALSE(reopened.table.hasRows());

  // An empty title array (a hand-made file) leaves the columns as they are.
  const char* clearTitles = R"PY(
import plistlib, sys
with open(sys.argv[1], 'rb') as f:
    root = plistlib.load(f)
root[59] = []
with open(sys.argv[1], 'wb') as f:
    plistlib.dump(root, f)
)PY";
  runPython(clearTitles, {single});
  PlainDesignHost kept;
  kept.table.replaceContents({"Row", "A", "B"}, {});
  ASSERT_EQ(designfile::Read_and_load_design_Log(kept, single, "L"), 1);
  EXPECT_EQ(kept.table.columnTitles(), (QStringList{"Row", "A", "B"}));
}

TEST_F(DesignFileTest, TemplateModeLeavesTheDesignUntitled) {
  PlainDesignHost host;
  host.front.Card_Name = "From template";
  const QString file = save(host, "template.dcard");
  Project_File_Name = "/some/current.dcard";
  PlainDesignHost reopened;
  ASSERT_EQ(designfile::Read_and_load_design_Log(reopened, file, "T"), 1);
  EXPECT_EQ(reopened.front.Card_Name, "From template");
  EXPECT_EQ(Project_File_Name, "");
  EXPECT_EQ(reopened.title, "QUVO Gratulo");
}

TEST_F(DesignFileTest, SaveAskesOnlyWhenUntitledAndReportsTheOutcome) {
  PlainDesignHost host;
  // Untitled: the panel is asked; the extension is added when missing.
  messages.queueSavePanel(path("first"));
  EXPECT_TRUE(designfile::Save_project_file(host, false, true));
  EXPECT_EQ(Project_File_Name, path("first.dcard"));
  EXPECT_TRUE(QFileInfo(path("first.dcard")).isFile());
  EXPECT_EQ(messages.messages(), QStringList{kSavedBox});
  EXPECT_EQ(host.title, "QUVO Gratulo ( first.dcard )");
  EXPECT_EQ(messages.panelsShown(), 1);

  // Titled: written again without a panel.
  host.front.Card_Name = "Second";
  EXPECT_TRUE(designfile::Save_project_file(host, false, true));
  EXPECT_EQ(messages.panelsShown(), 1);
  PlainDesignHost reopened;
  ASSERT_EQ(designfile::Read_and_load_design_Log(reopened, path("first.dcard"), "L"), 1);
  EXPECT_EQ(reopened.front.Card_Name, "Second");

  // Save As cancelled: nothing written, path and title unchanged.
  messages.clear();
  host.title = "unchanged";
  EXPECT_FALSE(designfile::Save_project_file(host, true, true));
  EXPECT_EQ(Project_File_Name, path("first.dcard"));
  EXPECT_EQ(host.title, "unchanged");
  EXPECT_TRUE(messages.messages().isEmpty());

  // The exit command's save of an untitled design asks for a path, and shows nothing.
  Project_File_Name.clear();
  messages.queueSavePanel(path("on exit.dcard"));
  EXPECT_TRUE(designfile::Save_project_file(host, false, false));
  EXPECT_TRUE(QFileInfo(path("on exit.dcard")).isFile());
  EXPECT_TRUE(messages.messages().isEmpty());
}

// "fail" with the file and the reason: a folder that cannot be written to,
// even by root (a plain file in its place), and a folder in the file's place.
// The design keeps the file it had: a later Save asks again.
TEST_F(DesignFileTest, FailedWriteIsReportedAndNeverAsSaved) {
  PlainDesignHost host;
  ASSERT_TRUE(writeFile(path("not a folder"), "plain file"));
  const QString unwritable = path("not a folder/design.dcard");
  messages.queueSavePanel(unwritable);
  EXPECT_FALSE(designfile::Save_project_file(host, false, true));
  EXPECT_EQ(messages.messages(), QStringList{kFailBox + ": \"" + unwritable + "\": not a directory"});
  EXPECT_EQ(Project_File_Name, "");
  EXPECT_TRUE(host.title.isEmpty()) << "the title changes only after a written save";
  messages.clear();
  messages.queueSavePanel(path("asked again.dcard"));
  EXPECT_TRUE(designfile::Save_project_file(host, false, false));
  EXPECT_EQ(messages.panelsShown(), 1);
  EXPECT_EQ(Project_File_Name, path("asked again.dcard"));
  // A design saved, then saved as a folder: "fail", and the title and the
  // design's file stay those of the file saved.
  messages.clear();
  messages.queueSavePanel(path("named.dcard"));
  ASSERT_TRUE(designfile::Save_project_file(host, true, true));
  ASSERT_TRUE(QDir(dir.path()).mkdir("folder.dcard"));
  messages.queueSavePanel(path("folder.dcard"));
  EXPECT_FALSE(designfile::Save_project_file(host, true, true));
  EXPECT_EQ(messages.messages(), (QStringList{kSavedBox, kFailBox + ": \"" + path("folder.dcard") +
                                                             "\": filename refers to a directory"}));
  EXPECT_EQ(host.title, "QUVO Gratulo ( named.dcard )");
  EXPECT_EQ(Project_File_Name, path("named.dcard"));
  // A reason that names the file again (a read-only file replaced) names it once.
  EXPECT_EQ(designfile::failedMessage(unwritable, "Existing file " + unwritable + " is not writable"),
            designfile::kFailedMessage + ": \"" + unwritable + "\": existing file is not writable");
}

// A write that fails half way (the file size limit of the process) leaves the
// previous file exactly as it was and says "fail" with the reason: a design a little larger
// than the old file (its bytes fit in one write buffer) and a full one.
TEST_F(DesignFileTest, WriteFailingHalfWayKeepsThePreviousFile) {
  PlainDesignHost small;
  const QString file = save(small, "kept.dcard");
  const QByteArray before = readFile(file);
  ASSERT_FALSE(before.isEmpty());

  PlainDesignHost longer;
  longer.front.Card_Name = QString(400, 'n');
  PlainDesignHost full;
  fillFullDesign(full, QDir(dir.path()));
  for (PlainDesignHost* bigger : {&longer, &full}) {
    messages.clear();
    Project_File_Name = file;
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = static_cast<rlim_t>(before.size() + 100);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const bool written = designfile::Save_project_file(*bigger, false, true);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(messages.messages(), QStringList{kFailBox + ": \"" + file + "\": file too large"});
    EXPECT_EQ(readFile(file), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).filter("kept").size(), 1);  // no temporary left
  }
}

TEST_F(DesignFileTest, OpenPanelCancelledLoadsNothing) {
  PlainDesignHost host;
  EXPECT_EQ(designfile::Open_Log_File(host), 0);
  EXPECT_EQ(host.resets, 0);
  PlainDesignHost saved;
  saved.front.Card_Name = "Picked";
  const QString file = save(saved, "picked.dcard");
  messages.queueOpenPanel({file});
  EXPECT_EQ(designfile::Open_Log_File(host), 1);
  EXPECT_EQ(host.front.Card_Name, "Picked");
  EXPECT_EQ(Project_File_Name, file);
}

TEST_F(DesignFileTest, PicturePathsOfAFileLoadOnlyRegularFiles) {
  PlainDesignHost host;
  host.front.Card_fill_chk = true;
  host.front.Card_fill_style = "I";
  host.front.Card_BG_Image_Path = "/dev/zero";
  SKTGraphicPtr picture = SKTGraphic::makeGraphic(GraphicKind::Image);
  picture->_file_path = dir.path();  // a folder
  host.doc.setGraphicsOfSide(CardSide::Front, {picture});
  const QString file = save(host, "devices.dcard");
  PlainDesignHost reopened;
  ASSERT_EQ(designfile::Read_and_load_design_Log(reopened, file, "L"), 1);
  EXPECT_TRUE(reopened.front.Card_BG_Image.isNull());
  EXPECT_EQ(reopened.front.Card_BG_Image_Path, "/dev/zero");
  ASSERT_EQ(reopened.doc.graphics().size(), 1u);
  EXPECT_TRUE(static_cast<SKTImage&>(*reopened.doc.graphics()[0])._contents.isNull());
  EXPECT_EQ(reopened.doc.graphics()[0]->_file_path, dir.path());
  EXPECT_FALSE(designfile::isRegularPictureFile("/dev/zero"));
  EXPECT_FALSE(designfile::isRegularPictureFile(""));
}

TEST_F(DesignFileTest, TextWithControlCharactersStaysReadable) {
  PlainDesignHost host;
  host.front.Card_Name = QString::fromUtf8(
      "A\x01"
      "B\tC");
  host.excelPath = QString::fromUtf8("x\x0by");
  const QString file = save(host, "control.dcard");
  const QStringList lines = describe(file);
  ASSERT_EQ(lines.size(), 63);
  PlainDesignHost reopened;
  ASSERT_EQ(designfile::Read_and_load_design_Log(reopened, file, "L"), 1);
  // A character XML cannot hold is left out; the rest, the tab too, stays.
  EXPECT_EQ(reopened.front.Card_Name, "AB\tC");
  EXPECT_EQ(reopened.excelPath, "xy");
}
TEST_F(DesignFileTest, BuildFailureNamesHowFarItGotAndWritesNothing) {
  designfile::Design design;
  design.backGraphics = {SKTGraphic::makeGraphic(GraphicKind::Line), nullptr};
  try {
    designfile::designFileBytes(design);
    FAIL() << "a design with an empty object slot was built";
  } catch (const designfile::DesignBuildError& e) {
    // magic, 56 page-setting items, 4 table elements, front count, back count, one archive
    EXPECT_EQ(e.elements(), 64);
  }
  EXPECT_THROW(designfile::writeDesignFile(path("never.dcard"), design), designfile::DesignBuildError);
  EXPECT_FALSE(QFileInfo::exists(path("never.dcard")));
}

}  // namespace

namespace {

// The reactions a main window receives while a design is opened, in order,
// with the loading flag and undo registration as the window sees them.
class RecordingHost : public PlainDesignHost {
 public:
  QStringList calls;
  QString state() {
    return QStringLiteral("%1%2")
        .arg(Not_Draw_Only_Prop_Change() ? "loading" : "idle")
        .arg(doc.undoRecorder().isUndoRegistrationEnabled() ? "" : " no-undo");
  }
  void resetForLoading() override {
    PlainDesignHost::resetForLoading();
    calls << "reset " + state();
  }
  void setCardSize(QSizeF size) override {
    PlainDesignHost::setCardSize(size);
    calls << QStringLiteral("size %1x%2 ").arg(size.width()).arg(size.height()) + state();
  }
  void setExcelBinding(bool use) override {
    PlainDesignHost::setExcelBinding(use);
    calls << QStringLiteral("binding %1 ").arg(use) + state();
  }
  void setExcelSourcePath(const QString& path) override {
    PlainDesignHost::setExcelSourcePath(path);
    calls << "path " + path + " " + state();
  }
  void showCardProperties() override { calls << "panels " + state(); }
  void setBackgroundImage(CardSide side, const QString& path) override {
    PlainDesignHost::setBackgroundImage(side, path);
    calls << QStringLiteral("background %1 ").arg(side == CardSide::Back ? "back" : "front") + path + " " +
                 state();
  }
  void finishLoading() override {
    PlainDesignHost::finishLoading();
    calls << "finish " + state();
  }
  void setWindowTitle(const QString& text) override {
    PlainDesignHost::setWindowTitle(text);
    calls << "title " + text;
  }
};

}  // namespace

TEST(DesignFileOpen, HostReactionsOfAnOpenComeInOrder) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  testing_support::ScriptedHost messages;
  PlainDesignHost saved;
  saved.front.Card_Size = QSizeF(200, 100);
  saved.back.Card_Size = QSizeF(50, 60);  // stored only
  for (Card_Property* side : {&saved.front, &saved.back}) {
    side->Card_fill_chk = true;
    side->Card_fill_style = "I";
  }
  saved.front.Card_BG_Image_Path = "/nowhere/front.png";
  saved.back.Card_BG_Image_Path = "/nowhere/back.png";
  saved.excelUse = true;
  saved.excelPath = "/data/list.xlsx";
  const QString file = dir.filePath("order.dcard");
  Project_File_Name.clear();
  messages.queueSavePanel(file);
  ASSERT_TRUE(designfile::Save_project_file(saved, true, false));

  RecordingHost host;
  ASSERT_EQ(designfile::Read_and_load_design_Log(host, file, "L"), 1);
  Project_File_Name.clear();
  EXPECT_EQ(host.calls, (QStringList{
                            "reset idle no-undo",
                            "size 200x100 loading no-undo",
                            "binding 1 loading no-undo",
                            "path /data/list.xlsx loading no-undo",
                            "title QUVO Gratulo ( order.dcard )",
                            "panels idle no-undo",
                            "background back /nowhere/back.png idle no-undo",
                            "background front /nowhere/front.png idle no-undo",
                            "finish idle no-undo",
                        }));
  EXPECT_TRUE(host.doc.undoRecorder().isUndoRegistrationEnabled());
  EXPECT_EQ(host.back.Card_Size, QSizeF(50, 60));
  EXPECT_TRUE(messages.messages().isEmpty());
}
