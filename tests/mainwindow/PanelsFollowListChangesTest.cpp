// The property tabs and the barcode designer follow changes of the card's
// objects that no click made: a removal over the scripting interface, undo
// and redo. Driven through the real window offscreen, with the document's
// scripting object called in process.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "barcode/designer/GraphicBarcodeSettings.h"
#include "barcode/dialog/Barcode_Gen.h"
#include "mainwindow/PanelEdits.h"
#include "mainwindow/SKTWindowController.h"
#include "mainwindow/WindowTestSupport.h"
#include "mainwindow/panels/BarcodeTab.h"
#include "mainwindow/panels/TextEditingTab.h"
#include "mainwindow/scripting/DocumentBusObject.h"
#include "support/ScriptedHost.h"

using panel_edits::capture;

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
