// The property tabs and the barcode designer follow changes of the card's
// objects that no click made: a removal or a change of the shown object over
// the scripting interface, undo and redo. Driven through the real window
// offscreen, with the document's scripting objects called in process.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "barcode/designer/GraphicBarcodeSettings.h"
#include "barcode/dialog/Barcode_Gen.h"
#include "mainwindow/PanelEdits.h"
#include "mainwindow/SKTWindowController.h"
#include "mainwindow/WindowTestSupport.h"
#include "mainwindow/panels/BarcodeTab.h"
#include "mainwindow/panels/TextEditingTab.h"
#include "mainwindow/panels/TextPropertiesTab.h"
#include "mainwindow/scripting/DocumentBusObject.h"
#include "mainwindow/scripting/GraphicBusObject.h"
#include "platform/widgets/ColorWell.h"
#include "support/CanvasInput.h"
#include "support/ScriptedHost.h"

using panel_edits::capture;

namespace {

// Long texts compared by their length and first difference, not printed whole.
::testing::AssertionResult sameText(const QString& actual, const QString& expected) {
  if (actual == expected) return ::testing::AssertionSuccess();
  qsizetype at = 0;
  while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
  return ::testing::AssertionFailure() << actual.size() << " characters instead of " << expected.size()
                                       << ", the first difference at " << at;
}

}  // namespace

class PanelsFollowListChanges : public ::testing::Test {
 protected:
  void SetUp() override {
    window_test::useSeededResources(dir);
    window = std::make_unique<SKTWindowController>();
    bus = std::make_unique<DocumentBusObject>(*window->document(), *window,
                                              QDBusConnection(QStringLiteral("not connected")));
  }
  void TearDown() override {
    bus.reset();
    window.reset();
  }
  QString firstTab() const { return window->settingsTabs()->tabText(0); }
  // A click on the front canvas, as the mouse gives it.
  void click(QPointF point) {
    SKTGraphicView* view = window->graphicView();
    view->queueTrackingEvents({testing_support::up(point)});
    view->mouseDown(testing_support::down(point));
  }
  void undo() { window->editAction(QStringLiteral("Undo"))->trigger(); }
  QPlainTextEdit* editor() const { return window->textEditingTab()->Text_value_Edit; }
  int undoSteps() const { return window->document()->undoStack()->count(); }

  QTemporaryDir dir;
  testing_support::ScriptedHost host;
  std::unique_ptr<SKTWindowController> window;
  std::unique_ptr<DocumentBusObject> bus;
};

TEST_F(PanelsFollowListChanges, AScriptedRemovalTakesTheTextOutOfTheTabsAndUndoBringsItBackUnchanged) {
  window->toolAction(DrawingTool::Text)->trigger();
  const SKTGraphicPtr text = window->document()->graphics().at(0);
  ASSERT_EQ(firstTab(), "Text");
  const auto before = capture(*text);
  bus->Remove(QStringLiteral("textAreas"), 0);
  ASSERT_TRUE(window->document()->graphics().empty());
  EXPECT_EQ(firstTab(), "Card");
  // Typing where the text's characters were changes no object and adds no step.
  const int steps = undoSteps();
  window->textEditingTab()->Text_value_Edit->setPlainText(QStringLiteral("typed after the removal"));
  EXPECT_EQ(capture(*text), before);
  EXPECT_EQ(undoSteps(), steps);
  // Undo brings the text back as it was, selected and shown in the tabs.
  window->editAction(QStringLiteral("Undo"))->trigger();
  ASSERT_EQ(window->document()->graphics(), SKTGraphicList{text});
  EXPECT_EQ(firstTab(), "Text");
  EXPECT_EQ(window->textEditingTab()->Text_value_Edit->toPlainText(), "Text here");
}

TEST_F(PanelsFollowListChanges, TheBarcodeDesignerWritesNothingIntoABarcodeRemovedWhileItIsOpen) {
  QDir().mkpath(Data_Folder_Path());
  QFile series(Data_Folder_Path() + "/Guests.txt");
  ASSERT_TRUE(series.open(QIODevice::WriteOnly) && series.write("Ann\nBob\n") > 0);
  series.close();
  window->toolAction(DrawingTool::Barcode)->trigger();
  const SKTGraphicPtr barcode = window->document()->graphics().at(0);
  ASSERT_EQ(firstTab(), "Barcode Properties");
  const barcode::BarcodeSettings settings = barcode::barcodeSettingsOf(*barcode);
  const auto fields = capture(*barcode);  // the data binding among them
  const QRectF bounds = barcode->bounds();
  int stepsAfterRemoval = -1;
  host.queueModal([&](QDialog& d) {
    auto& dialog = static_cast<Barcode_Gen&>(d);
    dialog.dataText->setText(QStringLiteral("Table 7"));
    bus->Remove(QStringLiteral("graphics"), 0);
    stepsAfterRemoval = undoSteps();
    // A series chosen afterwards is not bound to the removed object either.
    dialog.Data_source_type->setCurrentIndex(1);
    emit dialog.Data_source_type->activated(1);
    dialog.Batch_Series->setCurrentIndex(dialog.Batch_Series->findText(QStringLiteral("Guests")));
    emit dialog.Batch_Series->activated(dialog.Batch_Series->currentIndex());
    dialog.ok_button->click();
    return dialog.result();
  });
  window->barcodeTab()->View_barcode_prop_btn->click();
  EXPECT_EQ(host.messages(), QStringList{"The barcode was removed from the card while the designer was "
                                         "open; nothing was changed."});
  EXPECT_EQ(undoSteps(), stepsAfterRemoval);
  EXPECT_EQ(barcode::barcodeSettingsOf(*barcode), settings);
  EXPECT_EQ(capture(*barcode), fields);
  EXPECT_EQ(barcode->bounds(), bounds);
  EXPECT_EQ(firstTab(), "Card");
}

TEST_F(PanelsFollowListChanges, UndoAndRedoOfAnInsertionMoveTheTabsWhateverRouteTheyTake) {
  window->toolAction(DrawingTool::Line)->trigger();
  window->toolAction(DrawingTool::Text)->trigger();
  const SKTGraphicPtr text = window->document()->graphics().at(0);
  ASSERT_EQ(firstTab(), "Text");
  // Through the document's own history rather than the window's buttons
  // (which ToolStrip's tests drive).
  window->document()->undo();
  ASSERT_EQ(window->document()->graphics().size(), 1u);
  EXPECT_EQ(firstTab(), "Card");
  window->document()->redo();
  ASSERT_EQ(window->document()->graphics().at(0), text);
  EXPECT_EQ(firstTab(), "Card");  // brought back, but not selected
}

TEST_F(PanelsFollowListChanges, TheTabsShowWhatAScriptWritesIntoTheShownTextAndTheNextEditStartsThere) {
  window->toolAction(DrawingTool::Text)->trigger();
  const SKTGraphicPtr text = window->document()->graphics().at(0);
  ASSERT_EQ(editor()->toPlainText(), "Text here");
  GraphicBusObject script(text, *window);
  const int steps = undoSteps();

  // The characters show at once; following them is no edit of the card.
  script.SetContents(QStringLiteral("Happy Birthday"));
  EXPECT_EQ(editor()->toPlainText(), "Happy Birthday");
  EXPECT_EQ(undoSteps(), steps + 1);
  QTest::keyClicks(editor(), QStringLiteral("!"));
  EXPECT_EQ(text->Text_contents()->string, "Happy Birthday!");

  // So does a fill, and a change of another control keeps it.
  TextPropertiesTab* look = window->textPropertiesTab();
  script.SetFillColor(QByteArray::fromHex("ffff00000000"));
  EXPECT_EQ(look->Text_fill_clr->color().rgb(), QColor(Qt::red).rgb());
  look->Text_align_combo->setCurrentIndex(2);
  EXPECT_EQ(text->text_alignmnet, 2);
  EXPECT_TRUE(text->_isDrawingFill);
  EXPECT_EQ(text->_fillColor.rgb(), QColor(Qt::red).rgb());
  EXPECT_EQ(text->Text_contents()->string, "Happy Birthday!");

  // Each change undoes on its own, the tabs showing what it put back.
  undo();
  undo();
  EXPECT_EQ(look->Text_fill_clr->color().rgb(), QColor(Qt::white).rgb());
  undo();
  EXPECT_EQ(editor()->toPlainText(), "Happy Birthday");
  undo();
  EXPECT_EQ(text->Text_contents()->string, "Text here");
  EXPECT_EQ(editor()->toPlainText(), "Text here");
}

TEST_F(PanelsFollowListChanges, ALongTextAScriptWroteIsNotCutByTypingButDeletesAndUndoes) {
  window->toolAction(DrawingTool::Text)->trigger();
  const SKTGraphicPtr text = window->document()->graphics().at(0);
  // As many characters as a script may write, without a blank.
  QString chars;
  for (int i = 0; i < 100000; ++i) chars += QChar(char16_t(u'a' + i % 26));
  // Written while the card's tabs show, then the text is chosen.
  click(QPointF(300, 200));
  ASSERT_EQ(firstTab(), "Card");
  GraphicBusObject(text, *window).SetContents(chars);
  click(text->bounds().center());
  ASSERT_EQ(firstTab(), "Text");
  // The editor is given one part of it; the tab holds all of it.
  TextEditingTab* tab = window->textEditingTab();
  EXPECT_EQ(editor()->document()->characterCount() - 1, TextEditingTab::kPartLength);
  EXPECT_EQ(tab->partShown->text(), "Characters 1 to 10,000 of 100,000");
  ASSERT_TRUE(sameText(tab->text(), chars));
  const int steps = undoSteps();

  // A keystroke at the end of the part is refused: nothing of the text is
  // lost, and the tab says why.
  EXPECT_TRUE(tab->limitNote->isHidden());
  editor()->moveCursor(QTextCursor::End);
  QTest::keyClicks(editor(), QStringLiteral("x"));
  EXPECT_TRUE(sameText(text->Text_contents()->string, chars));
  EXPECT_TRUE(sameText(tab->text(), chars));
  EXPECT_EQ(undoSteps(), steps);
  EXPECT_FALSE(tab->limitNote->isHidden());
  // In the next part, deleting takes just that character, and undo puts it
  // back; the part shown stays.
  tab->nextPart->click();
  EXPECT_EQ(tab->partShown->text(), "Characters 10,001 to 20,000 of 100,000");
  EXPECT_TRUE(sameText(editor()->toPlainText(), chars.mid(10000, 10000)));
  editor()->moveCursor(QTextCursor::End);
  QTest::keyClick(editor(), Qt::Key_Backspace);
  const QString deleted = chars.left(19999) + chars.mid(20000);
  EXPECT_TRUE(sameText(text->Text_contents()->string, deleted));
  EXPECT_TRUE(sameText(tab->text(), deleted));
  EXPECT_EQ(tab->partShown->text(), "Characters 10,001 to 19,999 of 99,999");
  EXPECT_EQ(undoSteps(), steps + 1);
  undo();
  EXPECT_TRUE(sameText(text->Text_contents()->string, chars));
  EXPECT_TRUE(sameText(tab->text(), chars));
  EXPECT_EQ(tab->partShown->text(), "Characters 10,001 to 20,000 of 100,000");
  // A change of another control keeps every character.
  window->textPropertiesTab()->Text_align_combo->setCurrentIndex(2);
  EXPECT_TRUE(sameText(text->Text_contents()->string, chars));
}
