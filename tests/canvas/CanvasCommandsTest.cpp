// Canvas edit commands: clipboard with the paste cascade, delete and undo
// reselection, lock refusals, restacking, alignment, sizes, the print flag,
// menu validation and the bulk operations by control ID.
#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>

#include "canvas/SKTGraphicView.h"
#include "canvas/SKTGrid.h"
#include "core/CardHost.h"
#include "core/GraphicArchive.h"
#include "core/SKTDocument.h"
#include "core/SKTImage.h"
#include "core/globals.h"
#include "support/CanvasInput.h"
#include "support/FakeCardHost.h"
#include "support/ScriptedHost.h"

using namespace testing_support;

namespace {

const QString kLocked = QStringLiteral("Selected control is locked.");

}  // namespace

class CanvasCommands : public ::testing::Test {
 protected:
  testing_support::ScriptedHost messages;
  FakeCardHost host;
  ScopedCardHost install{host};
  SKTDocument doc;
  SKTGraphicView front{host}, back{host};
  void SetUp() override {
    host.nextPoint = {70, 40};
    host.canvasBounds = {0, 0, 240, 150};
    Card_Front_Or_Back = 0;
    front.setFrameSizePoints({240, 150});
    back.setFrameSizePoints({240, 150});
    front.bindGraphics(SKTGraphicViewGraphicsBindingName, &doc, CardSide::Front);
    back.bindGraphics(SKTGraphicViewGraphicsBindingName_back, &doc, CardSide::Back);
  }
  void TearDown() override { Card_Front_Or_Back = 0; }
  SKTGraphicList addFront(int n) {
    SKTGraphicList list;
    for (int i = 0; i < n; ++i) list.push_back(shape({10.0 + 20 * i, 10.0 + 5 * i, 15, 10}));
    doc.insertGraphics(list, indexRange(0, n));
    doc.undoRecorder().removeAllActions();
    return list;
  }
};

TEST_F(CanvasCommands, CopyAndPasteOnTheSameCanvasCascade) {
  const SKTGraphicList g = addFront(2);
  front.changeSelectionIndexes({1});
  front.copy();
  EXPECT_EQ(host.pasteButtons, 1);
  EXPECT_EQ(front.pasteCascadeNumber(), 1);
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(data->formats().value(0), QStringLiteral("QUVO Card graphics pasteboard type"));
  EXPECT_TRUE(data->data("application/pdf").startsWith("%PDF"));
  EXPECT_TRUE(data->hasFormat("image/tiff"));

  front.paste();
  ASSERT_EQ(doc.graphics().size(), 3u);
  EXPECT_EQ(doc.graphics()[0]->bounds(), QRectF(70, 40, 15, 10));
  EXPECT_EQ(front.selectionIndexes(), SKTIndexSet({0}));
  EXPECT_EQ(front.pasteCascadeNumber(), 2);
  EXPECT_EQ(host.placementSides, QStringList({"F"}));
  EXPECT_GE(host.undoButtons, 1);
  // One paste is one undo entry.
  EXPECT_EQ(doc.undoStack()->count(), 1);
  front.undo();
  EXPECT_EQ(doc.graphics().size(), 2u);
}

TEST_F(CanvasCommands, PasteOnAnotherCanvasKeepsStoredPositionsFirst) {
  addFront(1);
  front.selectAll();
  front.copy();
  Card_Front_Or_Back = 1;
  back.paste();
  ASSERT_EQ(doc.graphics_back().size(), 1u);
  EXPECT_EQ(doc.graphics_back()[0]->bounds(), QRectF(10, 10, 15, 10));
  EXPECT_TRUE(host.placementSides.isEmpty());
  back.paste();
  ASSERT_EQ(doc.graphics_back().size(), 2u);
  EXPECT_EQ(doc.graphics_back()[0]->bounds(), QRectF(70, 40, 15, 10));
  EXPECT_EQ(host.placementSides, QStringList({"B"}));
  EXPECT_FALSE(doc.undoRecorder().canUndo());  // the back list has no undo
}

TEST_F(CanvasCommands, PasteOfFileNamesPicturesAndBrokenData) {
  addFront(1);
  auto urls = new QMimeData;
  urls->setUrls({QUrl::fromLocalFile("/tmp/x.png")});
  QGuiApplication::clipboard()->setMimeData(urls);
  front.paste();
  EXPECT_EQ(doc.graphics().size(), 1u);

  // A picture from another program: without a resource folder to keep it
  // in, a message and nothing pasted.
  QImage picture(80, 100, QImage::Format_ARGB32);
  picture.fill(Qt::blue);
  picture.setPixel(3, 4, qRgb(250, 10, 20));
  QGuiApplication::clipboard()->setImage(picture);
  front.paste();
  EXPECT_EQ(doc.graphics().size(), 1u);
  ASSERT_EQ(messages.messages().size(), 1);
  EXPECT_TRUE(messages.messages()[0].contains("The pasted picture could not be saved: "));
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);  // the busy cursor is gone again

  // With one, a picture object on the card, its top-left corner at (50, 50),
  // showing a file of the library's "Pasted" folder with the pasted pixels;
  // the same picture pasted again names the same file.
  QTemporaryDir resources;
  host.resourcePath = resources.path();
  front.paste();
  ASSERT_EQ(doc.graphics().size(), 2u);
  const SKTGraphicPtr pasted = doc.graphics()[0];
  EXPECT_EQ(pasted->kind(), GraphicKind::Image);
  EXPECT_EQ(pasted->bounds(), QRectF(50, 50, 80, 100));
  EXPECT_EQ(front.selectionIndexes(), SKTIndexSet({0}));
  EXPECT_EQ(QFileInfo(pasted->FilePath()).dir().path(), resources.filePath("LibraryImage/Pasted"));
  const QImage kept(pasted->FilePath());
  ASSERT_EQ(kept.size(), picture.size());
  EXPECT_EQ(kept.pixel(3, 4), qRgb(250, 10, 20));
  EXPECT_EQ(kept.pixel(79, 99), picture.pixel(79, 99));
  front.paste();
  ASSERT_EQ(doc.graphics().size(), 3u);
  EXPECT_EQ(doc.graphics()[0]->FilePath(), pasted->FilePath());
  EXPECT_EQ(QDir(resources.filePath("LibraryImage/Pasted")).entryList(QDir::Files).size(), 1);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

  // Own-type data that is not a list of graphic archives: a message, nothing pasted.
  const qint64 before = front.pasteboardChangeCount();
  auto broken = new QMimeData;
  broken->setData(SKTGraphicViewPasteboardType, "not a property list");
  QGuiApplication::clipboard()->setMimeData(broken);
  front.paste();
  EXPECT_EQ(doc.graphics().size(), 3u);
  ASSERT_EQ(messages.messages().size(), 2);
  EXPECT_EQ(front.pasteboardChangeCount(), before);

  // An empty list pastes nothing and does not count as a paste.
  auto empty = new QMimeData;
  empty->setData(SKTGraphicViewPasteboardType, pasteboardDataWithGraphics({}));
  QGuiApplication::clipboard()->setMimeData(empty);
  front.paste();
  EXPECT_EQ(doc.graphics().size(), 3u);
  EXPECT_EQ(front.pasteCascadeNumber(), 0);
}

TEST_F(CanvasCommands, LockedSelectionRefusesRemovingCopyingAndRestacking) {
  const SKTGraphicList g = addFront(3);
  g[2]->ctrl_is_locked = true;
  front.changeSelectionIndexes({1, 2});
  const qint64 count = SKTGraphicView::generalPasteboardChangeCount();
  front.copy();
  front.cut();
  front.delete_();
  front.bringToFront();
  front.sendToBack();
  EXPECT_EQ(messages.messages().size(), 5);
  for (const QString& m : messages.messages()) EXPECT_TRUE(m.contains(kLocked)) << m.toStdString();
  EXPECT_EQ(doc.graphics(), g);
  EXPECT_EQ(SKTGraphicView::generalPasteboardChangeCount(), count);
  EXPECT_FALSE(doc.undoRecorder().canUndo());
}

TEST_F(CanvasCommands, DeleteAndUndoReselects) {
  const SKTGraphicList g = addFront(3);
  front.changeSelectionIndexes({0, 2});
  QKeyEvent key(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
  QCoreApplication::sendEvent(&front, &key);
  EXPECT_EQ(doc.graphics(), SKTGraphicList({g[1]}));
  EXPECT_EQ(host.lastShown, nullptr);
  EXPECT_EQ(doc.undoStack()->count(), 1);
  front.changeSelectionIndexes({});
  front.undo();
  EXPECT_EQ(doc.graphics(), g);
  EXPECT_EQ(front.selectionIndexes(), SKTIndexSet({0, 2}));
  front.redo();
  EXPECT_EQ(doc.graphics(), SKTGraphicList({g[1]}));
}

TEST_F(CanvasCommands, CutCopiesThenDeletes) {
  const SKTGraphicList g = addFront(2);
  front.changeSelectionIndexes({0});
  front.cut();
  EXPECT_EQ(doc.graphics(), SKTGraphicList({g[1]}));
  front.paste();
  ASSERT_EQ(doc.graphics().size(), 2u);
  EXPECT_EQ(doc.graphics()[0]->bounds(), QRectF(70, 40, 15, 10));
}

TEST_F(CanvasCommands, BringToFrontAndSendToBackKeepOrder) {
  const SKTGraphicList g = addFront(6);
  front.changeSelectionIndexes({3, 5});
  front.bringToFront();
  EXPECT_EQ(doc.graphics()[0], g[3]);
  EXPECT_EQ(doc.graphics()[1], g[5]);
  EXPECT_EQ(front.selectionIndexes(), SKTIndexSet({0, 1}));
  EXPECT_EQ(doc.undoStack()->count(), 1);
  front.sendToBack();
  EXPECT_EQ(doc.graphics()[4], g[3]);
  EXPECT_EQ(doc.graphics()[5], g[5]);
  EXPECT_EQ(front.selectionIndexes(), SKTIndexSet({4, 5}));
  front.undo();
  front.undo();
  EXPECT_EQ(doc.graphics(), g);
}

TEST_F(CanvasCommands, AlignmentReferenceAndLocks) {
  const SKTGraphicList g = addFront(3);
  g[0]->ctrl_is_locked = true;
  front.changeSelectionIndexes({0, 1});
  front.alignLeftEdges();
  EXPECT_EQ(g[1]->bounds().x(), 10);
  EXPECT_EQ(g[0]->bounds(), QRectF(10, 10, 15, 10));
  front.alignBottomEdges();
  EXPECT_EQ(g[1]->bounds().bottom(), 20);
  front.alignHorizontalCenters();
  EXPECT_EQ(g[1]->bounds().center().x(), g[0]->bounds().center().x());
  // One locked graphic alone: nothing changes.
  front.changeSelectionIndexes({0});
  for (auto command :
       {&SKTGraphicView::alignLeftEdges, &SKTGraphicView::alignRightEdges, &SKTGraphicView::alignTopEdges,
        &SKTGraphicView::alignBottomEdges, &SKTGraphicView::alignHorizontalCenters,
        &SKTGraphicView::alignVerticalCenters, &SKTGraphicView::alignformCenter})
    (front.*command)();
  EXPECT_EQ(g[0]->bounds(), QRectF(10, 10, 15, 10));
  // One unlocked graphic aligns to the card.
  front.changeSelectionIndexes({2});
  front.alignRightEdges();
  EXPECT_EQ(g[2]->bounds().x(), 240 - 15);
  front.alignVerticalCenters();
  EXPECT_EQ(g[2]->bounds().y(), 75 - 5);
  // Centre on the card: every unlocked selected graphic.
  g[0]->ctrl_is_locked = false;
  front.selectAll();
  front.alignformCenter();
  for (const auto& x : g) EXPECT_EQ(x->bounds().center(), QPointF(120, 75));
}

TEST_F(CanvasCommands, AlignmentOfGraphicsInPlaceAddsNoUndo) {
  const SKTGraphicList g = addFront(2);
  g[1]->setBounds({10, 50, 15, 10});
  doc.undoRecorder().removeAllActions();
  front.selectAll();
  front.alignLeftEdges();
  EXPECT_FALSE(doc.undoRecorder().canUndo());
}

TEST_F(CanvasCommands, SizesGridAndPrintFlag) {
  const SKTGraphicList g = addFront(3);
  g[1]->setBounds({40, 15, 30, 40});
  g[2]->ctrl_is_locked = true;
  front.changeSelectionIndexes({0});
  const int buttons = host.undoButtons;
  front.makeSameWidth();
  EXPECT_EQ(host.undoButtons, buttons + 1);
  front.selectAll();
  front.makeSameWidth();
  front.makeSameHeight();
  EXPECT_EQ(g[1]->bounds(), QRectF(40, 15, 15, 10));
  EXPECT_EQ(g[2]->bounds().size(), QSizeF(15, 10));
  front.print_contol_or_not(1);
  EXPECT_EQ(g[0]->print_object, 1);
  EXPECT_EQ(g[2]->print_object, 0);

  SKTGrid grid;
  grid.setSpacing(10);
  front.setGrid(&grid);
  g[0]->setBounds({13, 17, 15, 10});
  front.changeSelectionIndexes({0});
  front.alignWithGrid();
  EXPECT_EQ(g[0]->bounds(), grid.alignedRect(QRectF(13, 17, 15, 10)));
  front.setGrid(nullptr);
}

TEST_F(CanvasCommands, MenuValidation) {
  addFront(2);
  QAction item;
  EXPECT_FALSE(front.validateMenuItem("copy:"));
  EXPECT_TRUE(front.validateMenuItem("paste:"));
  EXPECT_TRUE(front.validateMenuItem("alignformCenter:"));
  front.changeSelectionIndexes({0});
  EXPECT_TRUE(front.validateMenuItem("delete:"));
  EXPECT_FALSE(front.validateMenuItem("alignLeftEdges:"));
  EXPECT_FALSE(front.validateMenuItem("alignWithGrid:"));
  front.selectAll();
  EXPECT_TRUE(front.validateMenuItem("makeSameHeight:"));
  EXPECT_TRUE(front.validateMenuItem("showOrHideRulers:", &item));
  EXPECT_EQ(item.text(), QStringLiteral("Show Ruler"));
  EXPECT_FALSE(front.Get_Menu_Status("undo:"));
}

TEST_F(CanvasCommands, ProfileFieldsAndBulkRemoval) {
  auto text = SKTGraphic::makeGraphic(GraphicKind::Text);
  text->control_ID = QStringLiteral("Fup_Name");
  auto other = SKTGraphic::makeGraphic(GraphicKind::Text);
  other->control_ID = QStringLiteral("Greeting");
  auto photo = SKTGraphic::makeGraphic(GraphicKind::Image);
  photo->control_ID = QStringLiteral("Fup_Photo");
  auto box = shape({0, 0, 5, 5});
  box->control_ID = QStringLiteral("Fup_Title");
  doc.insertGraphics({text, other, photo, box}, {0, 1, 2, 3});
  front.Hide_all_Text_control_FUP_Control();
  EXPECT_FALSE(text->ctrl_is_visible);
  EXPECT_TRUE(other->ctrl_is_visible);
  EXPECT_FALSE(photo->ctrl_is_visible);
  EXPECT_TRUE(box->ctrl_is_visible);
  front.delete_all_Text_control();
  EXPECT_EQ(doc.graphics(), SKTGraphicList({box}));
  front.delete_all_control();
  EXPECT_TRUE(doc.graphics().empty());
}
