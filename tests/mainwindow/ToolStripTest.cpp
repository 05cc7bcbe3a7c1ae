// The tool strip, edit strip and commands of the main window, driven through
// the real window offscreen: the tools place their objects and fall back to
// the arrow, the keys of the Edit menu work (Undo and Redo while the front is
// shown), and the commands' messages and links go through the scripted host.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <functional>

#include "core/SKTGraphic.h"
#include "core/globals.h"
#include "core/render/SKTRenderingView.h"
#include "mainwindow/PictureLibrary.h"
#include "mainwindow/SKTWindowController.h"
#include "mainwindow/WindowTestSupport.h"
#include "mainwindow/globals.h"
#include "mainwindow/panels/DataSourceTab.h"
#include "mainwindow/panels/SignatureTab.h"
#include "mainwindow/panels/TextEditingTab.h"
#include "platform/ResourceFolder.h"
#include "platform/globals.h"
#include "support/EventLoop.h"
#include "support/ScriptedHost.h"
#include "support/WindowWait.h"

class ToolStrip : public ::testing::Test {
 protected:
  void SetUp() override {
    resources = window_test::useSeededResources(dir);
    window = std::make_unique<SKTWindowController>();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(testing_support::waitUntilActive(window.get()));
  }
  void TearDown() override {
    window.reset();
    Card_Front_Or_Back = 0;
  }
  QRectF boundsAt(int index) const { return window->document()->graphics().at(index)->bounds(); }

  QTemporaryDir dir;
  QString resources;
  testing_support::ScriptedHost host;
  std::unique_ptr<SKTWindowController> window;
};

TEST_F(ToolStrip, RectanglePressesCascadeEachBackToTheArrowAndCtrlZTakesTheLastBack) {
  QAction* rectangle = window->toolAction(DrawingTool::Rectangle);
  ASSERT_NE(rectangle, nullptr);
  EXPECT_FALSE(window->editAction("Undo")->isEnabled());  // nothing to take back in a new design
  EXPECT_FALSE(window->editAction("Redo")->isEnabled());
  const QPointF expected[] = {{30, 30}, {50, 50}, {70, 70}};
  for (int press = 0; press < 3; ++press) {
    rectangle->trigger();
    ASSERT_EQ(window->Get_Front_Control_Count(), press + 1);
    // New objects go in front (index 0).
    EXPECT_EQ(boundsAt(0), QRectF(expected[press], QSizeF(50, 50))) << press;
    EXPECT_EQ(window->document()->graphics().front()->Get_shape_type(), "R");
    EXPECT_EQ(window->Selected_Control_Tool(), DrawingTool::Arrow);
    EXPECT_TRUE(window->toolAction(DrawingTool::Arrow)->isChecked());
  }
  EXPECT_TRUE(window->editAction("Undo")->isEnabled());
  QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
  ASSERT_EQ(window->Get_Front_Control_Count(), 2);
  EXPECT_EQ(boundsAt(0).topLeft(), QPointF(50, 50));
  QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(window->Get_Front_Control_Count(), 3);
  // The history is the front's: while the back or the scratch side is shown,
  // Undo and Redo are greyed in the menu and on the strip, and neither their
  // keys nor a press there changes a side; back on the front they act again.
  QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
  ASSERT_EQ(window->Get_Front_Control_Count(), 2);
  auto* editStrip = window->findChild<QToolBar*>("Edit_Strip");
  const auto enabled = [&] {  // Undo, then Redo: in the menu, on the strip
    QString states;
    for (QAction* action : {window->editAction("Undo"), window->editAction("Redo")})
      states += QStringLiteral("%1%2")
                    .arg(action->isEnabled())
                    .arg(editStrip->widgetForAction(action)->isEnabled());
    return states;
  };
  const SKTGraphicList front = window->document()->graphics();
  const std::function<void()> presses[] = {
      [&] { QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier); },
      [&] { QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); },
      [&] { window->editAction("Undo")->trigger(); }, [&] { window->editAction("Redo")->trigger(); }};
  for (const char* side : {"Back_Card_Btn", "Temp_Card_Btn"}) {
    window->findChild<QPushButton*>(side)->click();
    rectangle->trigger();  // on the back
    EXPECT_EQ(enabled(), "0000") << side;
    for (const auto& press : presses) {
      press();
      EXPECT_EQ(window->document()->graphics(), front) << side;
    }
  }
  window->findChild<QPushButton*>("Front_Card_Btn")->click();
  EXPECT_EQ(enabled(), "1111");
  presses[1]();
  EXPECT_EQ(window->Get_Front_Control_Count(), 3);
  // Edit keys act on the selection of the current side.
  QTest::keyClick(window.get(), Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(window->graphicView()->selectionIndexes().size(), 3u);
  QTest::keyClick(window.get(), Qt::Key_C, Qt::ControlModifier);
  EXPECT_TRUE(window->editAction("Paste")->isEnabled());
  QTest::keyClick(window.get(), Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(window->Get_Front_Control_Count(), 6);
  QTest::keyClick(window.get(), Qt::Key_Delete);
  EXPECT_EQ(window->Get_Front_Control_Count(), 3);
}

TEST_F(ToolStrip, AToolButtonsAccessibleActionsPlaceItsObjectAsAClickDoes) {
  auto* strip = window->findChild<QToolBar*>("Tool_Strip");
  ASSERT_NE(strip, nullptr);
  auto button = [&](DrawingTool tool) {
    return qobject_cast<QAbstractButton*>(strip->widgetForAction(window->toolAction(tool)));
  };
  int expected = 0;
  for (DrawingTool tool : {DrawingTool::Rectangle, DrawingTool::Arrow}) {
    QAccessibleActionInterface* actions =
        QAccessible::queryAccessibleInterface(button(tool))->actionInterface();
    ASSERT_NE(actions, nullptr);
    // The action offered first, and the toggle that checkable buttons offer.
    for (const QString& name :
         {actions->actionNames().value(0), QAccessibleActionInterface::toggleAction()}) {
      actions->doAction(name);
      if (tool == DrawingTool::Rectangle) ++expected;
      EXPECT_EQ(window->Get_Front_Control_Count(), expected) << name.toStdString();
      EXPECT_EQ(window->Selected_Control_Tool(), DrawingTool::Arrow);
      EXPECT_TRUE(button(DrawingTool::Arrow)->isChecked()) << name.toStdString();
      EXPECT_FALSE(button(DrawingTool::Rectangle)->isChecked()) << name.toStdString();
    }
  }
}

TEST_F(ToolStrip, TheTabsFollowTheSelectionThroughPasteUndoAndRedo) {
  // Typing into the Text tab after each command reaches the object the
  // canvas shows selected, never one that is gone or was selected before.
  auto tabs = [&] {
    QStringList titles;
    for (int i = 0; i < window->settingsTabs()->count(); ++i) titles << window->settingsTabs()->tabText(i);
    return titles;
  };
  auto type = [&](const QString& text) { window->textEditingTab()->Text_value_Edit->setPlainText(text); };
  auto text = [&](int index) { return window->document()->graphics().at(index)->Text_contents()->string; };
  window->toolAction(DrawingTool::Text)->trigger();
  type(QStringLiteral("Original"));
  QTest::keyClick(window.get(), Qt::Key_C, Qt::ControlModifier);
  QTest::keyClick(window.get(), Qt::Key_V, Qt::ControlModifier);
  ASSERT_EQ(window->Get_Front_Control_Count(), 2);
  type(QStringLiteral("Pasted"));
  EXPECT_EQ(text(0), "Pasted");
  EXPECT_EQ(text(1), "Original");

  // The first undo takes the typing back, the second the pasted text: the
  // tabs show the card then, not the text that is gone.
  QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(text(0), "Original");
  QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
  ASSERT_EQ(window->Get_Front_Control_Count(), 1);
  EXPECT_EQ(tabs(), (QStringList{"Card", "Background", "Border"}));
  // Redo brings it back selected, and the tabs show its own text.
  QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  ASSERT_EQ(window->Get_Front_Control_Count(), 2);
  EXPECT_EQ(tabs().first(), "Text");
  EXPECT_EQ(window->textEditingTab()->Text_value_Edit->toPlainText(), text(0));
  type(QStringLiteral("Again"));
  EXPECT_EQ(text(0), "Again");
  EXPECT_EQ(text(1), "Original");
}

TEST_F(ToolStrip, TheEditCommandsFollowTheSelectionHoweverItIsMade) {
  for (int i = 0; i < 3; ++i) window->toolAction(DrawingTool::Rectangle)->trigger();
  window->Select_back_side();
  window->Select_front_side();  // the card tabs: nothing selected, nothing to cut
  EXPECT_FALSE(window->editAction("Cut")->isEnabled());
  // Select All, then the keys: the whole side is copied, cut and pasted back.
  QTest::keyClick(window.get(), Qt::Key_A, Qt::ControlModifier);
  for (const char* name : {"Cut", "Copy", "Delete", "Front", "Back", "Lock"})
    EXPECT_TRUE(window->editAction(name)->isEnabled()) << name;
  QTest::keyClick(window.get(), Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(window->Get_Front_Control_Count(), 0);
  EXPECT_FALSE(window->editAction("Delete")->isEnabled());
  QTest::keyClick(window.get(), Qt::Key_V, Qt::ControlModifier);
  ASSERT_EQ(window->Get_Front_Control_Count(), 3);

  // A selection the canvas makes while the card tabs show (as the marquee
  // does), one of them locked: only unlocking is offered; unlocked, they are
  // deleted together.
  SKTGraphicView* view = window->graphicView();
  view->changeSelectionIndexes({2});
  window->Lock_Clicked();
  window->Card_Prop_Clicked();
  EXPECT_FALSE(window->editAction("Unlock")->isEnabled());
  view->changeSelectionIndexes({0, 1, 2});
  EXPECT_TRUE(window->editAction("Unlock")->isEnabled());
  EXPECT_FALSE(window->editAction("Delete")->isEnabled());
  window->Unlock_Clicked();
  window->Card_Prop_Clicked();
  view->changeSelectionIndexes({0, 1, 2});
  EXPECT_TRUE(window->editAction("Delete")->isEnabled());
  window->editAction("Delete")->trigger();
  EXPECT_EQ(window->Get_Front_Control_Count(), 0);
}

TEST_F(ToolStrip, APictureCopiedInAnotherProgramPastesOntoTheCardAndIsThereAfterReopening) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  QImage picture(60, 40, QImage::Format_RGB32);
  picture.fill(qRgb(20, 140, 60));
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) picture.setPixel(x, y, qRgb(230, 30, 40));
  // File names are not pasted: Paste stays off for them.
  auto* files = new QMimeData;
  files->setUrls({QUrl::fromLocalFile(dir.filePath("photo.png"))});
  clipboard->setMimeData(files);
  EXPECT_FALSE(window->editAction("Paste")->isEnabled());
  clipboard->setImage(picture);
  ASSERT_TRUE(window->editAction("Paste")->isEnabled());
  QTest::keyClick(window.get(), Qt::Key_V, Qt::ControlModifier);
  ASSERT_EQ(window->Get_Front_Control_Count(), 1);
  const SKTGraphicPtr pasted = window->document()->graphics().front();
  EXPECT_EQ(pasted->kind(), GraphicKind::Image);
  EXPECT_EQ(pasted->bounds(), QRectF(50, 50, 60, 40));
  EXPECT_EQ(window->dataSourceTab()->Manual_image_path->text(), pasted->FilePath());
  EXPECT_TRUE(pasted->FilePath().startsWith(resources + "/LibraryImage/Pasted/"));

  // Saved, a new design, opened again: the same pixels on the card.
  const QString design = dir.filePath("pasted.dcard");
  host.queueSavePanel(design);
  window->SaveAs_Btn_Clicked();
  window->New_Project_Setting_Reset();
  ASSERT_EQ(window->Get_Front_Control_Count(), 0);
  ASSERT_EQ(window->Read_and_load_design_Log(design, "L"), 1);
  ASSERT_EQ(window->Get_Front_Control_Count(), 1);
  window->document()->graphics().front()->_isDrawingStroke = false;
  const QImage card = SKTRenderingView::image_From_Card_Graphics(window->document()->graphics(), false);
  EXPECT_EQ(card.pixel(55, 55), qRgb(230, 30, 40));
  EXPECT_EQ(card.pixel(100, 80), qRgb(20, 140, 60));

  // A locked object keeps Paste off whatever is copied meanwhile.
  window->graphicView()->changeSelectionIndexes({0});
  window->Lock_Clicked();
  clipboard->setImage(picture);
  EXPECT_FALSE(window->editAction("Paste")->isEnabled());
}

TEST_F(ToolStrip, ANewDesignForgetsCopiedCardObjectsButNotWhatAnotherProgramCopied) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->setText("Anna Meier, Hauptstrasse 1");
  window->New_Project_Setting_Reset();
  EXPECT_EQ(clipboard->text(), "Anna Meier, Hauptstrasse 1");
  window->toolAction(DrawingTool::Rectangle)->trigger();
  window->Copy_Clicked();
  ASSERT_TRUE(window->editAction("Paste")->isEnabled());
  window->New_Project_Setting_Reset();
  const QMimeData* left = clipboard->mimeData();
  EXPECT_TRUE(left == nullptr || !left->hasFormat(SKTGraphicViewPasteboardType));
  EXPECT_FALSE(window->editAction("Paste")->isEnabled());
}

TEST_F(ToolStrip, EditingKeysTypedInAReadOnlyFieldOfTheTabsNeverRemoveTheObject) {
  // The back side keeps no undo history: an object removed there is lost.
  window->Select_back_side();
  window->toolAction(DrawingTool::Signature)->trigger();
  const SKTGraphicList& back = window->document()->graphics_back();
  ASSERT_EQ(back.size(), 1u);
  QLineEdit* path = window->signatureTab()->Sign_image_path;
  ASSERT_TRUE(path->isReadOnly());
  path->setFocus();
  ASSERT_TRUE(testing_support::serveUntil([&] { return path->hasFocus(); }));
  QTest::keyClick(path, Qt::Key_Backspace);
  QTest::keyClick(path, Qt::Key_Delete);
  QTest::keyClick(path, Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(back.size(), 1u);
  // With the canvas in focus the keys still remove the selected object.
  window->graphicView_BACK()->setFocus();
  QTest::keyClick(window->graphicView_BACK(), Qt::Key_Backspace);
  EXPECT_TRUE(back.empty());
}

TEST_F(ToolStrip, EveryToolPlacesItsObjectOnTheCurrentSide) {
  // The picture tools ask for a file and for a library picture.
  const QString photo = dir.filePath(QStringLiteral("photo.png"));
  QImage picture(40, 30, QImage::Format_RGB32);
  picture.fill(Qt::darkGreen);
  ASSERT_TRUE(picture.save(photo));
  host.queueOpenPanel({photo});
  host.queueModal([](QDialog& dialog) {
    auto& library = dynamic_cast<Image_Library&>(dialog);
    EXPECT_EQ(library.windowTitle(), "Image Library");
    library.imageBrowser->setCurrentIndex(library.imageBrowser->model()->index(0, 0));
    library.OK_Clicked();
    return dialog.result();
  });
  window->Select_back_side();
  for (int tool = 0; tool < SKTWindowController::kToolCount; ++tool)
    window->toolAction(static_cast<DrawingTool>(tool))->trigger();
  EXPECT_TRUE(window->document()->graphics().empty());
  const SKTGraphicList& back = window->document()->graphics_back();
  ASSERT_EQ(back.size(), 15u);
  QStringList made;
  for (auto it = back.rbegin(); it != back.rend(); ++it) {
    const SKTGraphic& g = **it;
    QString name = graphicClassName(g.kind());
    if (g.kind() == GraphicKind::Shape) name += ":" + g.Get_shape_type();
    if (g.kind() == GraphicKind::Signature) name += ":" + g.sign_or_fingureprint;
    made << name;
  }
  EXPECT_EQ(made, (QStringList{"SKTLine", "SKTText", "Shape_Control:R", "Shape_Control:C", "Shape_Control:RR",
                               "Shape_Control:T", "Shape_Control:D", "SKTImage", "SKTImage", "SKTBarcode",
                               "SKTSignature:S", "SKTSignature:F", "Shape_Control:S", "Shape_Control:DS",
                               "Shape_Control:P"}));
  EXPECT_EQ(back.at(14 - 7)->_file_path, photo);
  EXPECT_TRUE(back.at(14 - 8)->_file_path.startsWith(resources + "/LibraryImage/"));
  // The barcode's frame holds the barcode the designer starts with.
  EXPECT_EQ(back.at(14 - 9)->bounds().size(), back.at(14 - 9)->_barcode_image.deviceIndependentSize());
  EXPECT_FALSE(back.at(14 - 9)->_barcode_image.isNull());
  EXPECT_EQ(window->Selected_Control_Tool(), DrawingTool::Arrow);

  // Cancelled panels place nothing.
  window->toolAction(DrawingTool::PictureFile)->trigger();
  window->toolAction(DrawingTool::LibraryPicture)->trigger();
  EXPECT_EQ(window->document()->graphics_back().size(), 15u);
}

TEST_F(ToolStrip, CommandMessagesAndLinksGoThroughTheHost) {
  window->Lock_Clicked();
  window->Unlock_Clicked();
  EXPECT_EQ(host.messages(),
            (QStringList{"\nPlease select a control to Lock.", "\nPlease select a control to Unlock."}));

  // Lock and unlock a selected object: the buttons and tabs follow.
  window->toolAction(DrawingTool::Oval)->trigger();
  window->Lock_Clicked();
  EXPECT_TRUE(window->document()->graphics().front()->ctrl_is_locked);
  EXPECT_FALSE(window->editAction("Delete")->isEnabled());
  EXPECT_TRUE(window->editAction("Unlock")->isEnabled());
  ASSERT_EQ(window->settingsTabs()->count(), 1);
  EXPECT_EQ(window->settingsTabs()->tabText(0), "Ellipse Properties");
  window->Unlock_Clicked();
  EXPECT_FALSE(window->document()->graphics().front()->ctrl_is_locked);
  EXPECT_TRUE(window->editAction("Delete")->isEnabled());

  // Help without and with the user guide; every link of the help and share
  // windows opens a placeholder address of this product.
  QFile::remove(resources + "/Help.pdf");
  host.clear();
  auto clickAll = [](QDialog& dialog) {
    for (QPushButton* button : dialog.findChildren<QPushButton*>())
      if (button->isFlat() || button->objectName() == "_Help_File_Label") button->click();
    return 1;
  };
  host.queueModal(clickAll);
  QTest::keyClick(window.get(), Qt::Key_F1);  // the usual key for help
  EXPECT_EQ(host.messages(), QStringList{"\nHelp file does not exist!"});
  QFile::copy(QStringLiteral(QUVO_SOURCE_DIR "/resources/Help.pdf"), resources + "/Help.pdf");
  host.queueModal(clickAll);
  window->Help_Button();
  host.queueModal(clickAll);
  window->Share_It_Button_Clicked();
  const QList<QUrl> urls = host.openedUrls();
  EXPECT_TRUE(urls.contains(QUrl::fromLocalFile(resources + "/Help.pdf")));
  EXPECT_GE(urls.size(), 14);
  for (const QUrl& url : urls) {
    if (url.isLocalFile()) continue;
    if (url.scheme() == "mailto")
      EXPECT_TRUE(url.path().endsWith("@example.com")) << url.toString().toStdString();
    else
      EXPECT_EQ(url.host(), "example.com") << url.toString().toStdString();
  }
  // Where the desktop opens nothing, each click says what could not be opened.
  host.clear();
  host.openUrlResult = false;
  host.queueModal(clickAll);
  window->Help_Button();
  ASSERT_GE(host.openedUrls().size(), 2);
  EXPECT_EQ(host.messages().size(), host.openedUrls().size());
  EXPECT_TRUE(host.messages().contains("\nNo application could open \"" + resources + "/Help.pdf\"."))
      << host.messages().join(" | ").toStdString();
  host.openUrlResult = true;

  // The data dialogs open from their buttons.
  int opened = 0;
  for (const char* name : {"Batch_Series_Button", "Import_Wizard_Button", "Create_Series_Button",
                           "User_Profile_Button_Clicked", "Card_Size_Clicked", "Template_Browser_Clicked",
                           "Export_As_Template_Clicked", "Export_Button", "Mail_Button", "Print_Button"}) {
    host.queueModal([&opened](QDialog&) {
      ++opened;
      return 0;
    });
    window->dialogAction(QLatin1String(name))->trigger();
  }
  EXPECT_EQ(opened, 10);
}

TEST_F(ToolStrip, EveryControlOfTheWindowHasAnAccessibleName) {
  // The parts a control is built of (the field of a spin box, the list of a
  // combo box, scroll bars) are named through their control.
  auto isPartOfAControl = [](const QWidget* w) {
    for (const QObject* p = w->parent(); p != nullptr; p = p->parent())
      if (p->inherits("QAbstractSpinBox") || p->inherits("QComboBox") || p->inherits("QAbstractScrollArea") ||
          p->inherits("QTabBar"))
        return true;
    return w->inherits("QScrollBar") || w->inherits("QTabBar") || w->inherits("QMenuBar") ||
           w->objectName() == "qt_toolbar_ext_button" || w->objectName() == "qt_menubar_ext_button";
  };
  QStringList unnamed;
  for (QWidget* widget : window->findChildren<QWidget*>()) {
    if (widget->focusPolicy() == Qt::NoFocus && !widget->inherits("QAbstractButton")) continue;
    if (isPartOfAControl(widget) || !widget->accessibleName().isEmpty()) continue;
    unnamed << QStringLiteral("%1 %2").arg(widget->metaObject()->className(), widget->objectName());
  }
  EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(", ").toStdString();
}
