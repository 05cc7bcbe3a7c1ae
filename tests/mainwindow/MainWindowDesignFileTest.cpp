// The main window with the design file: Save, Save As and Open through the
// File commands, the reset before opening, and the save question on closing.
#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include "core/SKTImage.h"
#include "core/SKTLine.h"
#include "core/globals.h"
#include "data/DataSourceTable.h"
#include "mainwindow/SKTWindowController.h"
#include "mainwindow/designfile/DesignFileTestSupport.h"
#include "mainwindow/globals.h"
#include "mainwindow/panels/CardBorderTab.h"
#include "mainwindow/panels/CardSettingsTab.h"
#include "platform/globals.h"
#include "platform/widgets/Open_Export_Log.h"
#include "production/ExportWindow.h"
#include "production/print/Print_Wnd.h"
#include "production/print/Printers.h"
#include "support/ScriptedHost.h"
#include "support/TestFiles.h"
#include "support/WindowWait.h"

// Readable failures for texts.
static void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace {

using designfile::PlainDesignHost;

// The texts of the message boxes shown (a box puts a line break before its text).
QStringList shown(const testing_support::ScriptedHost& host) {
  QStringList texts;
  for (const QString& text : host.messages())
    texts << (text.startsWith(QLatin1Char('\n')) ? text.mid(1) : text);
  return texts;
}

const QString kSaved = QStringLiteral("Greeting Card Design Log has been saved successfully.");
const QString kOpenQuestion = QStringLiteral("Do you want to save changes before opening document?");
const QString kCloseQuestion = QStringLiteral("Do you want to save changes before closing?");

SKTGraphicPtr shape(const QString& code, QRectF bounds) {
  auto g = SKTGraphic::makeGraphic(GraphicKind::Shape);
  g->Set_Shape_Type(code);
  g->_bounds = bounds;
  return g;
}

// A small design directly in the window: two objects on the front, one on the back.
void fillWindow(SKTWindowController& window) {
  SKTDocument& doc = *window.document();
  doc.insertGraphic(CardSide::Front, shape(QStringLiteral("R"), {10, 10, 50, 30}), 0);
  doc.insertGraphic(CardSide::Front, shape(QStringLiteral("C"), {60, 40, 20, 20}), 0);
  doc.insertGraphic(CardSide::Back, shape(QStringLiteral("S"), {5, 5, 40, 40}), 0);
  window.Front_card_Prop.Card_Shape = QStringLiteral("E");
  window.Front_card_Prop.Card_Size = QSizeF(300, 200);
  window.Front_card_Prop.Card_Name = QStringLiteral("Birthday");
  window.Back_card_Prop.Card_Name = QStringLiteral("Birthday back");
  window.SetDocumentCanvasSize({300, 200});
}

QByteArray fingerprintOfFile(const QString& path) {
  PlainDesignHost host;
  EXPECT_EQ(designfile::Read_and_load_design_Log(host, path, QStringLiteral("L")), 1) << path.toStdString();
  return designfile_test::designFingerprint(host);
}

}  // namespace

class MainWindowDesignFile : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    // The reset creates the resource folders: keep them out of the source tree.
    Set_Resource_Path(dir.filePath(QStringLiteral("resources")));
    QDir().mkpath(dir.filePath(QStringLiteral("resources")));
    Card_Front_Or_Back = 0;
    Card_Shape = 0;
    Project_File_Name.clear();
    Excel_Binding_Use = false;
    Excel_Source_Path.clear();
    Data_From_Excel_Table().replaceContents({QStringLiteral("Column0")}, {});
  }
  void TearDown() override {
    Card_Front_Or_Back = 0;
    Card_Shape = 0;
    Project_File_Name.clear();
    Excel_Binding_Use = false;
    Excel_Source_Path.clear();
  }
  QString path(const QString& name) const { return dir.filePath(name); }
  // A window holding the small design, saved to "card.dcard"; answers the file's bytes.
  QByteArray saveSmallDesign(SKTWindowController& window) {
    fillWindow(window);
    host.queueSavePanel(path(QStringLiteral("card.dcard")));
    window.Save_Btn_Clicked();
    return designfile_test::readFile(path(QStringLiteral("card.dcard")));
  }

  QTemporaryDir dir;
  testing_support::ScriptedHost host;
};

TEST_F(MainWindowDesignFile, SaveAsksForAPathOnceThenWritesThereAndTitlesTheWindow) {
  SKTWindowController window;
  fillWindow(window);
  const QString file = path(QStringLiteral("birthday.dcard"));

  host.queueSavePanel(file);
  window.Save_Btn_Clicked();
  EXPECT_EQ(host.panelsShown(), 1);
  EXPECT_EQ(shown(host), QStringList{kSaved});
  EXPECT_EQ(Project_File_Name, file);
  EXPECT_EQ(window.windowTitle(), "QUVO Gratulo ( birthday.dcard )");
  ASSERT_TRUE(QFileInfo(file).isFile());

  // A second save writes to the same file without a panel.
  window.document()->insertGraphic(CardSide::Back, shape(QStringLiteral("T"), {1, 1, 9, 9}), 0);
  window.Save_Btn_Clicked();
  EXPECT_EQ(host.panelsShown(), 1);
  PlainDesignHost reread;
  ASSERT_EQ(designfile::Read_and_load_design_Log(reread, file, QStringLiteral("L")), 1);
  EXPECT_EQ(reread.doc.graphics().size(), 2u);
  EXPECT_EQ(reread.doc.graphics_back().size(), 2u);
  EXPECT_EQ(reread.front.Card_Name, "Birthday");
  EXPECT_EQ(reread.back.Card_Name, "Birthday back");

  // Save As cancelled: nothing written, path and title kept.
  const QByteArray before = designfile_test::readFile(file);
  host.clear();
  host.queueSavePanel(QString());
  window.SaveAs_Btn_Clicked();
  EXPECT_EQ(host.panelsShown(), 1);
  EXPECT_TRUE(host.messages().isEmpty());
  EXPECT_EQ(Project_File_Name, file);
  EXPECT_EQ(window.windowTitle(), "QUVO Gratulo ( birthday.dcard )");
  EXPECT_EQ(designfile_test::readFile(file), before);

  // Save As to a new name (the extension is added) makes it the current file.
  host.queueSavePanel(path(QStringLiteral("copy")));
  window.SaveAs_Btn_Clicked();
  EXPECT_EQ(Project_File_Name, path(QStringLiteral("copy.dcard")));
  EXPECT_EQ(window.windowTitle(), "QUVO Gratulo ( copy.dcard )");
  EXPECT_EQ(fingerprintOfFile(path(QStringLiteral("copy.dcard"))), fingerprintOfFile(file));

  // A name typed without the extension whose design file exists: replacing
  // it is asked first (the panel asked about the name as typed). No writes
  // nothing and keeps the current file; Yes replaces it.
  window.document()->insertGraphic(CardSide::Front, shape(QStringLiteral("P"), {2, 2, 9, 9}), 0);
  const QString replaceQuestion =
      QStringLiteral("\"birthday.dcard\" already exists. Do you want to replace it?");
  host.clear();
  host.queueSavePanel(path(QStringLiteral("birthday")));
  host.queueYesNo(false);
  window.SaveAs_Btn_Clicked();
  EXPECT_EQ(host.questions(), QStringList{replaceQuestion});
  EXPECT_TRUE(host.messages().isEmpty());
  EXPECT_EQ(designfile_test::readFile(file), before);
  EXPECT_EQ(Project_File_Name, path(QStringLiteral("copy.dcard")));
  EXPECT_EQ(window.windowTitle(), "QUVO Gratulo ( copy.dcard )");
  host.queueSavePanel(path(QStringLiteral("birthday")));
  host.queueYesNo(true);
  window.SaveAs_Btn_Clicked();
  EXPECT_EQ(shown(host), QStringList{kSaved});
  EXPECT_EQ(Project_File_Name, file);
  PlainDesignHost replaced;
  ASSERT_EQ(designfile::Read_and_load_design_Log(replaced, file, QStringLiteral("L")), 1);
  EXPECT_EQ(replaced.doc.graphics().size(), 3u);
}

// Limits of design files lowered for one test, put back afterwards.
class LoweredDesignLimits {
 public:
  LoweredDesignLimits(qint64 bytes, qint64 values) {
    Design_File_Byte_Limit = bytes;
    Design_File_Value_Limit = values;
  }
  ~LoweredDesignLimits() {
    Design_File_Byte_Limit = designfile::kMaxDesignFileBytes;
    Design_File_Value_Limit = designfile::kMaxDesignFileValues;
  }
  LoweredDesignLimits(const LoweredDesignLimits&) = delete;
  LoweredDesignLimits& operator=(const LoweredDesignLimits&) = delete;
};

// Whatever the window saves opens again. A design that the reader would
// refuse (beyond the byte or the value limit of design files, lowered here)
// is not written: one message says why and names what makes it large, and
// the earlier file and the current path stay. Writer and reader meet at
// exactly the same limit.
TEST_F(MainWindowDesignFile, ADesignThatCouldNotBeOpenedAgainIsNotSaved) {
  SKTWindowController window;
  const QByteArray before = saveSmallDesign(window);
  const QString file = path(QStringLiteral("card.dcard"));

  // A long text on the front.
  auto text = SKTGraphic::makeGraphic(GraphicKind::Text);
  text->_Text_contents =
      std::make_shared<SKTTextStorage>(SKTTextStorage{QStringLiteral("Happy birthday! ").repeated(1000),
                                                      CardFont{QStringLiteral("ArialMT"), 12.0}, Qt::black});
  text->_bounds = QRectF(0, 0, 200, 100);
  window.document()->insertGraphic(CardSide::Front, text, 0);
  const qint64 size = designfile::designFileBytes(designfile::currentDesign(window.designHost())).size();
  ASSERT_GT(size, before.size() + 16000);

  const QString bigger = path(QStringLiteral("bigger.dcard"));
  {
    LoweredDesignLimits limits(size - 1, designfile::kMaxDesignFileValues);
    host.clear();
    host.queueSavePanel(bigger);
    window.SaveAs_Btn_Clicked();
    host.queueSavePanel(file);
    window.SaveAs_Btn_Clicked();
    window.Save_Btn_Clicked();
    const QLocale english(QLocale::English);
    const QStringList refused = shown(host);
    ASSERT_EQ(refused.size(), 3);
    EXPECT_EQ(refused.value(2), refused.value(0));
    EXPECT_TRUE(refused.value(0).startsWith(
        QStringLiteral(
            "The design was not saved: its file would take %1 bytes, more than the %2 bytes a design "
            "file can hold, and could not be opened again.\n\nWhat makes it large:\n\u2022 front object "
            "1, text \u201cHappy birthday! Happy bi\u2026\u201d (16000 characters): ")
            .arg(english.toString(size), english.toString(size - 1))))
        << refused.value(0).toStdString();
    EXPECT_FALSE(QFileInfo::exists(bigger));
    EXPECT_EQ(designfile_test::readFile(file), before);
    EXPECT_EQ(Project_File_Name, file);
    EXPECT_EQ(window.windowTitle(), "QUVO Gratulo ( card.dcard )");

    // Quitting with Yes: the refusal is said once, and the window stays.
    host.clear();
    host.queueYesNo(true);
    EXPECT_FALSE(window.close());
    EXPECT_EQ(shown(host), QStringList{refused.value(0)});
    EXPECT_TRUE(host.exitStatuses().isEmpty());
    EXPECT_EQ(designfile_test::readFile(file), before);
  }
  {
    // At exactly its size the design is written, and reads back whole.
    LoweredDesignLimits limits(size, designfile::kMaxDesignFileValues);
    host.clear();
    host.queueSavePanel(bigger);
    window.SaveAs_Btn_Clicked();
    EXPECT_EQ(shown(host), QStringList{kSaved});
    EXPECT_EQ(QFileInfo(bigger).size(), size);
    PlainDesignHost saved;
    ASSERT_EQ(designfile::Read_and_load_design_Log(saved, bigger, QStringLiteral("L")), 1);
    ASSERT_EQ(saved.doc.graphics().size(), 3u);
    ASSERT_TRUE(saved.doc.graphics()[0]->_Text_contents);
    EXPECT_EQ(saved.doc.graphics()[0]->_Text_contents->string, text->_Text_contents->string);
  }
  {
    // One byte less, the reader refuses that file as the writer did.
    LoweredDesignLimits limits(size - 1, designfile::kMaxDesignFileValues);
    host.clear();
    EXPECT_EQ(window.Read_and_load_design_Log(bigger, QStringLiteral("L")), 0);
    EXPECT_EQ(shown(host),
              QStringList{QStringLiteral("The file \"%1\" could not be read: it is larger than %2 bytes.")
                              .arg(bigger)
                              .arg(size - 1)});
  }

  // Too many values: 100 rows of two cells are 500 of them (a row, and a key
  // and a text a cell), 501 with their array.
  window.document()->removeGraphicAtIndex(CardSide::Front, 0);
  const QByteArray written = designfile_test::readFile(bigger);
  QList<DataSourceRow> rows;
  for (int i = 0; i < 100; ++i)
    rows.append(
        {{QStringLiteral("Column0"), QString::number(i)}, {QStringLiteral("Column1"), QStringLiteral("x")}});
  Data_From_Excel_Table().replaceContents({QStringLiteral("Column0"), QStringLiteral("Name")}, rows);
  {
    LoweredDesignLimits limits(designfile::kMaxDesignFileBytes, 500);
    host.clear();
    window.Save_Btn_Clicked();
    const QString refused = shown(host).value(0);
    EXPECT_TRUE(refused.startsWith("The design was not saved: its file would hold "));
    EXPECT_TRUE(refused.contains(" values, more than the 500 a design file can hold"));
    EXPECT_TRUE(refused.contains("What makes it large:\n\u2022 spreadsheet rows (100): 501 values\n"))
        << refused.toStdString();
    EXPECT_EQ(designfile_test::readFile(bigger), written);
  }
}

// Within the limits of size, the writer reads what it is about to write back
// with the reader itself: whatever the reader would refuse (here objects no
// command makes, changed in memory) is not written, and one message names
// the object and the reason. The earlier file and the current path stay.
TEST_F(MainWindowDesignFile, AnObjectTheReaderWouldRefuseIsNotSavedAndTheMessageNamesIt) {
  SKTWindowController window;
  const QByteArray before = saveSmallDesign(window);
  const QString file = path(QStringLiteral("card.dcard"));
  const QString notSaved = QStringLiteral("The design was not saved: it could not be opened again.\n\n");

  const SKTGraphicPtr back = window.document()->graphics_back().front();
  back->_bounds = QRectF(5, 150000.5, 40, 40);
  host.clear();
  window.Save_Btn_Clicked();
  EXPECT_EQ(
      shown(host),
      QStringList{notSaved + QStringLiteral("Back object 1, shape: its y position, 150,000.5 points, is "
                                            "beyond the 100,000 points an object can lie from the card's "
                                            "corner.")});
  EXPECT_EQ(designfile_test::readFile(file), before);
  EXPECT_EQ(Project_File_Name, file);

  back->_bounds = QRectF(5, 5, 40, 40);
  const SKTGraphicPtr circle = window.document()->graphics().at(0);
  circle->_strokeWidth = 1500;
  const QString other = path(QStringLiteral("other.dcard"));
  host.clear();
  host.queueSavePanel(other);
  window.SaveAs_Btn_Clicked();
  EXPECT_EQ(shown(host),
            QStringList{notSaved + QStringLiteral("Front object 1, shape: its line width, 1,500 points, is "
                                                  "beyond the 1,000 points a line can have.")});
  EXPECT_FALSE(QFileInfo::exists(other));
  EXPECT_EQ(Project_File_Name, file);

  circle->_strokeWidth = 1000;
  host.clear();
  window.Save_Btn_Clicked();
  EXPECT_EQ(shown(host), QStringList{kSaved});
  PlainDesignHost saved;
  ASSERT_EQ(designfile::Read_and_load_design_Log(saved, file, QStringLiteral("L")), 1);
  EXPECT_EQ(saved.doc.graphics().at(0)->strokeWidth(), 1000);
}

TEST_F(MainWindowDesignFile, OpenReplacesTheWholeDesignAndSavesItBackUnchanged) {
  // A full design (every kind of object, pictures, spreadsheet table) made elsewhere.
  PlainDesignHost source;
  designfile_test::fillFullDesign(source, QDir(dir.path()));
  const QString original = path(QStringLiteral("full.dcard"));
  ASSERT_TRUE(designfile::writeDesignFile(original, designfile::currentDesign(source)));
  PlainDesignHost expected;
  ASSERT_EQ(designfile::Read_and_load_design_Log(expected, original, QStringLiteral("L")), 1);
  Project_File_Name.clear();

  SKTWindowController window;
  fillWindow(window);
  window.document()->insertGraphic(CardSide::Temp, shape(QStringLiteral("D"), {0, 0, 5, 5}), 0);
  window.document()->undoStack()->push(new QUndoCommand(QStringLiteral("edit")));
  window.setZoomFactor(2.0);

  host.queueYesNo(false);
  host.queueOpenPanel({original});
  window.Open_Btn_Clicked();
  EXPECT_EQ(host.questions(), QStringList{kOpenQuestion});
  // Card 1's picture, from the column "City", is no file.
  ASSERT_EQ(host.messages().size(), 1);
  EXPECT_TRUE(host.messages()[0].contains(
      "The picture \"Oslo\" that card 1 takes from spreadsheet column \"City\" for the picture object at 4, "
      "8 mm on the front was not found; the card shows no picture there."));
  host.clear();

  // Lists, page settings, binding and table are the file's.
  SKTDocument& doc = *window.document();
  EXPECT_EQ(doc.graphics().size(), expected.doc.graphics().size());
  EXPECT_EQ(doc.graphics_back().size(), expected.doc.graphics_back().size());
  EXPECT_EQ(doc.graphics_temp().size(), 1u);  // the temp side is not part of a design
  EXPECT_EQ(doc.undoStack()->count(), 0);
  EXPECT_EQ(window.Front_card_Prop.Card_Name, expected.front.Card_Name);
  EXPECT_EQ(window.Front_card_Prop.Card_Size, expected.front.Card_Size);
  EXPECT_EQ(window.Back_card_Prop.Card_Side_Name, "B");
  EXPECT_EQ(window.Back_card_Prop.Card_Shape, expected.back.Card_Shape);
  EXPECT_EQ(Excel_Binding_Use.load(), expected.excelUse);
  EXPECT_EQ(Excel_Source_Path, expected.excelPath);
  EXPECT_EQ(Data_From_Excel_Table().columnTitles(), expected.table.columnTitles());
  EXPECT_EQ(Data_From_Excel_Table().tableRowCount(), expected.table.tableRowCount());
  // Background pictures of "I" sides are loaded again from their files.
  EXPECT_EQ(window.Front_card_Prop.Card_BG_Image.isNull(), expected.front.Card_BG_Image.isNull());
  EXPECT_EQ(window.Back_card_Prop.Card_BG_Image.isNull(), expected.back.Card_BG_Image.isNull());
  EXPECT_EQ(window.Front_card_Prop.Card_BG_Image.size(), expected.front.Card_BG_Image.size());

  // The canvases take the front size; the outline follows the front; the zoom stays.
  const QSizeF size = expected.front.Card_Size;
  EXPECT_EQ(window.graphicView()->bounds().size(), size);
  EXPECT_EQ(window.graphicView_BACK()->bounds().size(), size);
  EXPECT_EQ(window.frontCanvasBounds().size(), size);
  EXPECT_EQ(Card_Shape.load(), designfile::cardShapeCode(expected.front.Card_Shape));
  EXPECT_EQ(window.zoomFactor(), 2.0);
  EXPECT_EQ(Card_Front_Or_Back.load(), 0);
  EXPECT_EQ(window.Selected_Control_Tool(), DrawingTool::Arrow);

  EXPECT_EQ(Project_File_Name, original);
  EXPECT_EQ(window.windowTitle(), "QUVO Gratulo ( full.dcard )");

  // The tabs show the opened card; showing it stores the canvas's own place
  // in the front page settings, as every showing of the card tabs does.
  EXPECT_EQ(window.settingsTabs()->tabText(0), "Card");
  EXPECT_EQ(window.Front_card_Prop.Card_Location, QPointF(0, 0));
  expected.front.Card_Location = QPointF(0, 0);

  // Objects bound to a column show card 1's value as the run takes it (the
  // picture bound to "City" takes "Oslo" as its file); one bound to a series
  // that is not there keeps what it showed.
  const SKTGraphicPtr picture = doc.graphics().at(1);
  EXPECT_EQ(picture->FilePath(), "Oslo");
  EXPECT_EQ(doc.graphics().at(0)->Text_contents()->string,
            expected.doc.graphics().at(0)->Text_contents()->string);
  expected.doc.graphics().at(1)->_file_path = QStringLiteral("Oslo");

  // Saving from the window gives the same design back.
  const QString resaved = path(QStringLiteral("resaved.dcard"));
  host.queueSavePanel(resaved);
  window.SaveAs_Btn_Clicked();
  EXPECT_EQ(shown(host), QStringList{kSaved});
  EXPECT_EQ(fingerprintOfFile(resaved), designfile_test::designFingerprint(expected));
}

// A design keeps where its pictures are, not the pictures: one whose files
// were moved names them all in one message when it opens through File >
// Open, and its export and print name them in their closing message.
TEST_F(MainWindowDesignFile, ADesignWhosePicturesAreGoneNamesThemWhenOpenedExportedAndPrinted) {
  QDir().mkpath(path("pictures"));
  const QString background = path("pictures/meadow.png"), photo = path("pictures/photo.png");
  QImage green(30, 20, QImage::Format_RGB32);
  green.fill(Qt::darkGreen);
  ASSERT_TRUE(green.save(background) && green.save(photo));
  SKTWindowController window;
  host.queueOpenPanel({background});
  window.Card_Image_Browse_Btn();  // Background tab, Choose File…
  auto picture = SKTImage::initWithPath({50, 50}, photo);
  picture->setBounds(QRectF(36, 72, 40, 30));
  window.document()->addInGraphics(CardSide::Back, picture);
  host.queueSavePanel(path("card.dcard"));
  window.SaveAs_Btn_Clicked();
  const QList<QAction*> actions = window.findChildren<QAction*>();
  QAction* open =
      *std::find_if(actions.begin(), actions.end(), [](QAction* a) { return a->text() == "&Open…"; });
  const auto openAgain = [&] {
    host.clear();
    host.queueYesNo(false);
    host.queueOpenPanel({path("card.dcard")});
    open->trigger();
    return shown(host);
  };
  const QString lines =
      "The background picture \"" + background +
      "\" of the front was not found; the card shows no background.\nThe picture \"" + photo +
      "\" of the picture object at 13, 25 mm on the back %1; the card shows no picture there.";
  const QString keeps =
      "\n\nA design file keeps only where its pictures are: put them back there and open the design again, "
      "or choose them anew.";

  ASSERT_TRUE(QDir().rename(path("pictures"), path("moved")));
  EXPECT_EQ(openAgain(), QStringList{lines.arg("was not found") + keeps});
  EXPECT_EQ(window.Front_card_Prop.Card_BG_Image_Path, background);

  // An export of both sides into one file.
  host.clear();
  host.queueModal([](QDialog& d) {
    static_cast<ExportWindow&>(d).export_card_side_CellClick(0);
    return 1;
  });
  host.queueSavePanel(path("card.PNG"));
  QString closing;
  host.queueModal([&closing](QDialog& d) {
    closing = static_cast<Open_Export_Log&>(d)._open_log_message->text();
    return 0;
  });
  window.Export_Button();
  EXPECT_EQ(closing, "Card has been exported successfully.\n\n" + lines.arg("was not found"));

  // A print of both sides into a PDF file.
  host.clear();
  production::setPrinterNamesForTesting([] { return QStringList{production::kPdfFilePrinter}; });
  host.queueModal([this](QDialog&) {
    Print_Wnd& dialog = Print_Wnd::defaultInstance();
    dialog.matrix_card_side->button(0)->click();
    host.queueSavePanel(path("cards.pdf"));
    dialog.printButton->click();
    return 0;
  });
  window.dialogAction(QStringLiteral("Print_Button"))->trigger();
  production::setPrinterNamesForTesting(nullptr);
  EXPECT_EQ(shown(host), QStringList{"The cards have been printed.\n\n" + lines.arg("was not found")});

  // A file in the picture's place that is no picture cannot be read.
  ASSERT_TRUE(testing_support::writeFile(photo, "no picture at all"));
  EXPECT_EQ(openAgain(), QStringList{lines.arg("could not be read") + keeps});
}

TEST_F(MainWindowDesignFile, TheOutlineChosenOnEitherSideIsTheCardsOutlineWhenReopened) {
  SKTWindowController window;
  QButtonGroup* outline = window.cardSettingsTab()->matrix_card_shape;
  for (const auto& [back, row] : {std::pair{true, 2}, std::pair{false, 1}}) {
    if (back) window.findChild<QAction*>(QStringLiteral("Back_Side_Action"))->trigger();  // Side > Back
    outline->button(row)->click();
    const QString file = path(QStringLiteral("outline%1.dcard").arg(row));
    host.queueSavePanel(file);
    window.SaveAs_Btn_Clicked();
    outline->button(0)->click();
    host.queueYesNo(false);
    host.queueOpenPanel({file});
    window.Open_Btn_Clicked();
    EXPECT_EQ(Card_Shape.load(), row) << back;
    EXPECT_TRUE(outline->button(row)->isChecked()) << back;
    EXPECT_EQ(window.Back_card_Prop.Card_Shape, window.Front_card_Prop.Card_Shape) << back;
  }
}

TEST_F(MainWindowDesignFile, OpenCommandSavesFirstOnYesAndResetsOnlyForAFileRead) {
  SKTWindowController window;
  fillWindow(window);
  const QString file = path(QStringLiteral("first.dcard"));
  host.queueSavePanel(file);
  window.Save_Btn_Clicked();
  host.clear();

  // Yes: the titled design is saved (with its message), then the panel is
  // cancelled: the design stays as it was, titled.
  window.document()->insertGraphic(CardSide::Front, shape(QStringLiteral("P"), {2, 2, 8, 8}), 0);
  window.grid()->setAlwaysShown(true);
  window.Select_back_side();
  const QPointF firstPlacement = window.Control_New_Point(QStringLiteral("B"));
  window.Control_New_Point(QStringLiteral("B"));
  host.queueYesNo(true);
  host.queueOpenPanel({});
  window.Open_Btn_Clicked();
  EXPECT_EQ(shown(host), QStringList{kSaved});
  EXPECT_EQ(host.panelsShown(), 1);
  EXPECT_EQ(window.document()->graphics().size(), 3u);
  EXPECT_EQ(window.document()->graphics_back().size(), 1u);
  EXPECT_EQ(Project_File_Name, file);
  EXPECT_EQ(window.Front_card_Prop.Card_Name, "Birthday");
  EXPECT_FALSE(Not_Draw_Only_Prop_Change());
  EXPECT_TRUE(window.grid()->isAlwaysShown());
  EXPECT_EQ(Card_Front_Or_Back.load(), 1);
  PlainDesignHost saved;
  ASSERT_EQ(designfile::Read_and_load_design_Log(saved, file, QStringLiteral("L")), 1);
  EXPECT_EQ(saved.doc.graphics().size(), 3u);

  // A damaged file leaves it as it was too.
  const QString damaged = path(QStringLiteral("damaged.dcard"));
  QFile bad(damaged);
  ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
  bad.write("<?xml version=\"1.0\"?><plist><array><string>x</string>");
  bad.close();
  host.clear();
  host.queueYesNo(false);
  host.queueOpenPanel({damaged});
  window.Open_Btn_Clicked();
  EXPECT_EQ(shown(host), QStringList{designfile::kCorruptMessage + "\n\nNot a property list."});
  EXPECT_EQ(window.document()->graphics().size(), 3u);
  EXPECT_EQ(Project_File_Name, file);

  // Opening the saved file resets the window before it loads. The tabs
  // showed an object and the outline of the design before; they show the
  // opened card after.
  window.Front_card_Prop.Card_Name = QStringLiteral("Changed");
  Card_Shape = 0;
  window.Select_front_side();
  window.graphicView()->changeSelectionIndexes({0});
  window.Show_RHS_Properties(window.document()->graphics().front().get());
  ASSERT_NE(window.settingsTabs()->tabText(0), "Card");
  host.clear();
  host.queueYesNo(false);
  host.queueOpenPanel({file});
  window.Open_Btn_Clicked();
  QStringList tabs;
  for (int i = 0; i < window.settingsTabs()->count(); ++i) tabs << window.settingsTabs()->tabText(i);
  EXPECT_EQ(tabs, (QStringList{"Card", "Background", "Border"}));
  EXPECT_EQ(window.cardSettingsTab()->card_name->text(), "Birthday");
  EXPECT_EQ(window.cardSettingsTab()->matrix_card_shape->checkedId(), 2);
  EXPECT_EQ(window.document()->graphics().size(), 3u);
  EXPECT_EQ(window.document()->graphics_back().size(), 1u);
  EXPECT_EQ(window.Front_card_Prop.Card_Name, "Birthday");
  EXPECT_EQ(Card_Shape.load(), 2);
  EXPECT_EQ(window.graphicView()->bounds().size(), QSizeF(300, 200));
  EXPECT_FALSE(window.grid()->isAlwaysShown());
  EXPECT_EQ(Card_Front_Or_Back.load(), 0);
  EXPECT_EQ(window.shownView(), window.graphicView());
  EXPECT_EQ(window.Control_New_Point(QStringLiteral("B")), firstPlacement);  // placement starts again
}

TEST_F(MainWindowDesignFile, OpenAndNewStopWhenTheWantedSaveWasNotMade) {
  SKTWindowController window;
  fillWindow(window);
  auto designKept = [&] {
    EXPECT_EQ(window.document()->graphics().size(), 2u);
    EXPECT_EQ(window.document()->graphics_back().size(), 1u);
    EXPECT_EQ(window.Front_card_Prop.Card_Name, "Birthday");
  };
  // Yes to saving an untitled design, then the save panel is cancelled: the
  // design is kept and no open panel follows.
  host.queueYesNo(true);
  host.queueSavePanel(QString());
  window.Open_Btn_Clicked();
  EXPECT_EQ(host.panelsShown(), 1);
  designKept();

  // New likewise: no reset and no start window after a cancelled panel ...
  int startWindows = 0;
  auto countStartWindow = [&](QDialog&) { return ++startWindows, 0; };
  host.clear();
  host.queueModal(countStartWindow);
  host.queueYesNo(true);
  host.queueSavePanel(QString());
  window.New_Btn_Clicked();
  EXPECT_EQ(host.panelsShown(), 1);
  EXPECT_EQ(startWindows, 0);
  designKept();

  // ... nor after a write that failed ("fail" is said, with the reason); the path is kept.
  const QString unwritable = path(QStringLiteral("missing/folder/x.dcard"));
  Project_File_Name = unwritable;
  host.clear();
  host.queueModal(countStartWindow);
  host.queueYesNo(true);
  window.New_Btn_Clicked();
  EXPECT_EQ(shown(host), QStringList{"fail: \"" + unwritable + "\": no such file or directory"});
  EXPECT_EQ(startWindows, 0);
  EXPECT_EQ(Project_File_Name, unwritable);
  designKept();
}

// A Save As that could not be written (a folder that is gone) says which
// file, and leaves the design with the file it had: the title and a later
// File > Save, which asks for a path while the design is untitled and
// writes to the design's own file otherwise.
TEST_F(MainWindowDesignFile, AFailedSaveAsKeepsTheFileTheDesignBelongsTo) {
  SKTWindowController window;
  fillWindow(window);
  QMenu* file = nullptr;
  for (QAction* action : window.menuBar()->actions())
    if (action->text() == "&File") file = action->menu();
  ASSERT_NE(file, nullptr);
  const auto command = [&](const QString& text) {
    for (QAction* action : file->actions())
      if (action->text() == text) return action->trigger();
    ADD_FAILURE() << text.toStdString();
  };
  const QString untitled = window.windowTitle();
  const QString gone = path(QStringLiteral("gone/card.dcard"));
  host.queueSavePanel(gone);
  command(QStringLiteral("Save &As…"));
  EXPECT_EQ(shown(host), QStringList{"fail: \"" + gone + "\": no such file or directory"});
  EXPECT_EQ(window.windowTitle(), untitled);
  EXPECT_EQ(Project_File_Name, QString());
  host.clear();
  host.queueSavePanel(path(QStringLiteral("card.dcard")));
  command(QStringLiteral("&Save"));
  EXPECT_EQ(host.panelsShown(), 1);
  EXPECT_EQ(shown(host), QStringList{kSaved});
  EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("gone"))));

  // Titled: the failed Save As keeps the title and the file Save writes to.
  const QByteArray saved = designfile_test::readFile(path(QStringLiteral("card.dcard")));
  host.clear();
  host.queueSavePanel(gone);
  command(QStringLiteral("Save &As…"));
  EXPECT_EQ(window.windowTitle(), "QUVO Gratulo ( card.dcard )");
  window.Front_card_Prop.Card_Name = QStringLiteral("Renamed");
  command(QStringLiteral("&Save"));
  EXPECT_EQ(host.panelsShown(), 1);
  EXPECT_EQ(shown(host), (QStringList{"fail: \"" + gone + "\": no such file or directory", kSaved}));
  EXPECT_NE(designfile_test::readFile(path(QStringLiteral("card.dcard"))), saved);
}

// What is still being typed into a field (no Return, the field not left)
// is saved with the design, as the field shows it.
TEST_F(MainWindowDesignFile, SaveTakesTheValueStillBeingTyped) {
  SKTWindowController window;
  fillWindow(window);
  window.show();
  window.activateWindow();
  ASSERT_TRUE(testing_support::waitUntilActive(&window));
  auto savedFront = [&](const QString& file) {
    PlainDesignHost reread;
    EXPECT_EQ(designfile::Read_and_load_design_Log(reread, file, QStringLiteral("L")), 1);
    return reread.front;
  };

  QLineEdit* name = window.cardSettingsTab()->card_name;
  window.settingsTabs()->setCurrentIndex(0);
  name->setFocus();
  name->selectAll();
  QTest::keyClicks(name, QStringLiteral("Hochzeit"));
  const QString file = path(QStringLiteral("typed.dcard"));
  host.queueSavePanel(file);
  window.Save_Btn_Clicked();
  EXPECT_EQ(shown(host), QStringList{kSaved});
  EXPECT_EQ(savedFront(file).Card_Name, "Hochzeit");

  QSpinBox* width = window.cardBorderTab()->Card_bor_Stepper;
  window.settingsTabs()->setCurrentIndex(2);
  width->setFocus();
  width->selectAll();
  QTest::keyClicks(width, QStringLiteral("9"));
  window.Save_Btn_Clicked();
  EXPECT_EQ(savedFront(file).Card_bor_Stepper, 9);
  EXPECT_EQ(window.Front_card_Prop.Card_bor_Stepper, 9);
}

TEST_F(MainWindowDesignFile, CorruptFileLeavesTheDesignUntouched) {
  SKTWindowController window;
  fillWindow(window);
  const QString file = path(QStringLiteral("kept.dcard"));
  host.queueSavePanel(file);
  window.Save_Btn_Clicked();
  host.clear();

  for (const QByteArray& bytes :
       {QByteArray("not a design"),
        QByteArray(
            "<?xml version=\"1.0\"?><plist version=\"1.0\"><array><string>OTHER</string></array></plist>"),
        designfile_test::readFile(file).left(400)}) {
    const QString bad = path(QStringLiteral("bad.dcard"));
    ASSERT_TRUE(designfile_test::writeFile(bad, bytes));
    EXPECT_EQ(window.Read_and_load_design_Log(bad, QStringLiteral("L")), 0);
    EXPECT_TRUE(shown(host).value(0).startsWith("File is corrupt and cannot be opened.\n\n"))
        << shown(host).value(0).toStdString();
    host.clear();
    EXPECT_EQ(window.document()->graphics().size(), 2u);
    EXPECT_EQ(window.document()->graphics_back().size(), 1u);
    EXPECT_EQ(window.Front_card_Prop.Card_Name, "Birthday");
    EXPECT_EQ(window.graphicView()->bounds().size(), QSizeF(300, 200));
    EXPECT_EQ(Project_File_Name, file);
    EXPECT_EQ(window.windowTitle(), "QUVO Gratulo ( kept.dcard )");
  }
}

TEST_F(MainWindowDesignFile, TemplateModeLeavesTheDesignUntitled) {
  SKTWindowController window;
  fillWindow(window);
  const QString file = path(QStringLiteral("tpl.dcard"));
  host.queueSavePanel(file);
  window.Save_Btn_Clicked();
  window.New_Project_Setting_Reset();
  EXPECT_EQ(window.windowTitle(), "QUVO Gratulo");
  EXPECT_EQ(window.Read_and_load_design_Log(file, QStringLiteral("T")), 1);
  EXPECT_EQ(window.document()->graphics().size(), 2u);
  EXPECT_TRUE(Project_File_Name.isEmpty());
  EXPECT_EQ(window.windowTitle(), "QUVO Gratulo");
}

TEST_F(MainWindowDesignFile, ClosingAsksToSaveAndSavesWithoutAMessage) {
  {
    // Cancel keeps the window open; No shows the review request and ends the program.
    using Answer = platform::MessageHost::Answer;
    SKTWindowController window;
    window.show();
    host.queueYesNoCancel(Answer::Cancel);
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(host.exitStatuses().isEmpty());
    QStringList modals;
    host.queueModal([&](QDialog& dialog) {
      modals << dialog.windowTitle();
      return 0;
    });
    host.queueYesNoCancel(Answer::No);
    EXPECT_TRUE(window.close());
    EXPECT_EQ(modals, QStringList{"Thank You"});
    EXPECT_EQ(host.exitStatuses(), QList<int>{0});
    EXPECT_EQ(host.questions(), QStringList(2, kCloseQuestion));
  }
  host.clear();
  {
    // No: closes without saving.
    SKTWindowController window;
    host.queueYesNo(false);
    EXPECT_TRUE(window.close());
    EXPECT_EQ(host.questions(), QStringList{kCloseQuestion});
    EXPECT_EQ(host.panelsShown(), 0);
  }
  host.clear();
  {
    // Yes on an untitled design: a path is asked for, the file written, no message.
    SKTWindowController window;
    fillWindow(window);
    const QString file = path(QStringLiteral("onexit.dcard"));
    host.queueYesNo(true);
    host.queueSavePanel(file);
    EXPECT_TRUE(window.close());
    EXPECT_EQ(host.panelsShown(), 1);
    EXPECT_TRUE(host.messages().isEmpty());
    PlainDesignHost saved;
    ASSERT_EQ(designfile::Read_and_load_design_Log(saved, file, QStringLiteral("L")), 1);
    EXPECT_EQ(saved.doc.graphics().size(), 2u);
  }
  host.clear();
  Project_File_Name.clear();
  {
    // Yes, then the save panel cancelled: the window stays open.
    SKTWindowController window;
    window.show();
    host.queueYesNo(true);
    host.queueSavePanel(QString());
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(host.messages().isEmpty());
    // A failed write says so and keeps the window open too.
    Project_File_Name = path(QStringLiteral("missing/folder/x.dcard"));
    host.queueYesNo(true);
    EXPECT_FALSE(window.close());
    EXPECT_EQ(shown(host), QStringList{"fail: \"" + Project_File_Name + "\": no such file or directory"});
    host.queueYesNo(false);
    EXPECT_TRUE(window.close());
  }
}

TEST_F(MainWindowDesignFile, FileMenuHasTheDesignCommandsWithStandardShortcuts) {
  SKTWindowController window;
  QMenu* file = nullptr;
  for (QAction* action : window.menuBar()->actions())
    if (action->menu() && action->text() == "&File") file = action->menu();
  ASSERT_NE(file, nullptr);
  QStringList texts;
  QList<QKeySequence> keys;
  for (QAction* action : file->actions())
    if (!action->isSeparator()) {
      texts << action->text();
      keys << action->shortcut();
    }
  EXPECT_EQ(texts,
            (QStringList{"&New", "&Open…", "&Save", "Save &As…", "Export…", "Print…", "E-mail…", "&Quit"}));
  EXPECT_EQ(keys.value(0), QKeySequence(QKeySequence::New));
  EXPECT_EQ(keys.value(1), QKeySequence(QKeySequence::Open));
  EXPECT_EQ(keys.value(2), QKeySequence(QKeySequence::Save));
  EXPECT_EQ(keys.value(3), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  EXPECT_EQ(keys.value(5), QKeySequence(QKeySequence::Print));
  EXPECT_EQ(keys.value(7), QKeySequence(Qt::CTRL | Qt::Key_Q));

  // Save from the menu goes through the same writer.
  host.queueSavePanel(path(QStringLiteral("menu.dcard")));
  file->actions().value(2)->trigger();
  EXPECT_TRUE(QFileInfo(path(QStringLiteral("menu.dcard"))).isFile());
}
