// The card document: its three lists and undo of front-side changes.
#include <gtest/gtest.h>

#include "support/FakeCardHost.h"
#include "core/SKTDocument.h"
#include "core/SKTImage.h"
#include "core/SKTLine.h"
#include "core/SKTText.h"
#include "core/Shape_Control.h"

namespace {

class Document : public ::testing::Test {
 protected:
  testing_support::FakeCardHost host{testing_support::FakeCardHost::Preset::ModelWindow};
  ScopedCardHost installed{host};
  SKTDocument doc;

  static SKTGraphicPtr shape(double x) {
    auto g = std::make_shared<Shape_Control>();
    g->_bounds = QRectF(x, 0, 10, 10);
    return g;
  }
};

TEST_F(Document, NewDocumentHasThreeEmptyLists) {
  EXPECT_TRUE(doc.graphics().empty());
  EXPECT_TRUE(doc.graphics_back().empty());
  EXPECT_TRUE(doc.graphics_temp().empty());
  EXPECT_EQ(&doc.graphicsForKey("graphics_back"), &doc.graphics_back());
  EXPECT_FALSE(doc.isDocumentEdited());
  EXPECT_EQ(SKTDocument::canvasSize(false, QSizeF(300, 200)), QSizeF(300, 200));
  EXPECT_EQ(SKTDocument::canvasSize(true, QSizeF(300, 200)), QSizeF(243, 154));
}

TEST_F(Document, InsertUndoRedoKeepsIndexesAndObservation) {
  auto a = shape(1), b = shape(2), c = shape(3);
  doc.insertGraphics({c}, {0});
  {
    SKTUndoGroup group(doc.undoRecorder());
    doc.insertGraphics({a, b}, {0, 2});
  }
  ASSERT_EQ(doc.graphics(), (SKTGraphicList{a, c, b}));
  EXPECT_EQ(a->scriptingContainer(), &doc);
  doc.undo();
  EXPECT_EQ(doc.graphics(), (SKTGraphicList{c}));
  EXPECT_EQ(a->scriptingContainer(), nullptr);
  EXPECT_FALSE(a->hasObservers());
  doc.redo();
  ASSERT_EQ(doc.graphics(), (SKTGraphicList{a, c, b}));
  EXPECT_TRUE(a->hasObservers());
  EXPECT_EQ(b->scriptingContainer(), &doc);
  // Observed again: a change after redo is undoable.
  a->setValueForKey(SKTKeys::strokeWidth, 5.0);
  doc.undo();
  EXPECT_DOUBLE_EQ(a->strokeWidth(), 1.0);
}

TEST_F(Document, ChangesInOneGroupUndoTogetherToTheFirstOldValue) {
  auto g = shape(0);
  doc.insertGraphics({g}, {0});
  const QColor before = g->_fillColor;
  {
    SKTUndoGroup group(doc.undoRecorder());
    g->setValueForKey(SKTKeys::fillColor, QColor(Qt::red));
    g->setValueForKey(SKTKeys::fillColor, QColor(Qt::blue));
    g->setBounds(QRectF(50, 50, 5, 5));
    g->setValueForKey(SKTKeys::drawingStroke, false);
  }
  const int entries = doc.undoStack()->count();
  doc.undo();
  EXPECT_EQ(g->_fillColor, before);
  EXPECT_EQ(g->bounds(), QRectF(0, 0, 10, 10));
  EXPECT_TRUE(g->isDrawingStroke());
  doc.redo();
  EXPECT_EQ(g->_fillColor.rgb(), QColor(Qt::blue).rgb());
  EXPECT_EQ(g->bounds(), QRectF(50, 50, 5, 5));
  EXPECT_FALSE(g->isDrawingStroke());
  EXPECT_EQ(doc.undoStack()->count(), entries);
  EXPECT_TRUE(doc.undoStack()->undoText().isEmpty());  // no action names
}

TEST_F(Document, ChangeInTheGroupOfItsInsertionRecordsNothing) {
  auto g = shape(0);
  {
    SKTUndoGroup group(doc.undoRecorder());
    doc.insertGraphics({g}, {0});
    g->setValueForKey(SKTKeys::strokeWidth, 8.0);
  }
  EXPECT_EQ(doc.undoStack()->count(), 1);
  doc.undo();
  EXPECT_TRUE(doc.graphics().empty());
  doc.redo();
  ASSERT_EQ(doc.graphics().size(), 1u);
  EXPECT_DOUBLE_EQ(g->strokeWidth(), 8.0);
}

TEST_F(Document, EqualValueAndDirectWritesRecordNothing) {
  auto g = shape(0);
  doc.insertGraphics({g}, {0});
  const int entries = doc.undoStack()->count();
  g->setValueForKey(SKTKeys::strokeWidth, 1.0);  // already 1.0
  g->_strokeWidth = 3.0;                         // a panel's plain store
  g->Set_Ctrl_Is_Visible(false);
  EXPECT_EQ(doc.undoStack()->count(), entries);
}

TEST_F(Document, BackAndTempChangesRegisterNothing) {
  int changes = 0;
  QObject::connect(&doc, &SKTDocument::graphicsChanged, [&](CardSide) { ++changes; });
  auto back = shape(0), temp = shape(1);
  doc.insertGraphic(CardSide::Back, back, 0);
  doc.addInGraphics(CardSide::Temp, temp);
  back->setValueForKey(SKTKeys::fillColor, QColor(Qt::red));
  back->setBounds(QRectF(9, 9, 9, 9));
  doc.removeGraphicAtIndex(CardSide::Temp, 0);
  EXPECT_EQ(doc.undoStack()->count(), 0);
  EXPECT_FALSE(back->hasObservers());
  EXPECT_EQ(back->scriptingContainer(), nullptr);
  EXPECT_EQ(doc.graphics_back().size(), 1u);
  EXPECT_TRUE(doc.graphics_temp().empty());
  EXPECT_EQ(changes, 3);
}

TEST_F(Document, RemovedGraphicStaysAliveForUndo) {
  std::weak_ptr<SKTGraphic> watch;
  {
    auto g = shape(0);
    watch = g;
    doc.insertGraphics({g}, {0});
  }
  doc.removeGraphicAtIndex(CardSide::Front, 0);
  ASSERT_FALSE(watch.expired());
  doc.undo();
  ASSERT_EQ(doc.graphics().size(), 1u);
  EXPECT_EQ(doc.graphics()[0], watch.lock());
  doc.Clear_All_Undo_Redo();
  EXPECT_TRUE(doc.graphics().empty());
  EXPECT_EQ(doc.undoStack()->count(), 0);
  EXPECT_TRUE(watch.expired());
}

TEST_F(Document, RegistrationCanBeSwitchedOffAndNests) {
  auto g = shape(0);
  doc.Enable_Disable_Undo_Registraion(false);
  doc.Enable_Disable_Undo_Registraion(false);
  doc.insertGraphics({g}, {0});
  doc.Enable_Disable_Undo_Registraion(true);
  g->setValueForKey(SKTKeys::strokeWidth, 4.0);
  EXPECT_EQ(doc.undoStack()->count(), 0);
  doc.Enable_Disable_Undo_Registraion(true);
  g->setValueForKey(SKTKeys::strokeWidth, 6.0);
  EXPECT_EQ(doc.undoStack()->count(), 1);
  doc.undo();
  EXPECT_DOUBLE_EQ(g->strokeWidth(), 4.0);
}

TEST_F(Document, KindKeysAreObservedAndFollowTheirChanges) {
  auto image = std::make_shared<SKTImage>();
  auto line = std::make_shared<SKTLine>();
  auto text = std::make_shared<SKTText>();
  doc.insertGraphics({image, line, text}, {0, 1, 2});
  image->flipHorizontally();
  doc.undo();
  EXPECT_FALSE(image->isFlippedHorizontally());
  {
    SKTUndoGroup group(doc.undoRecorder());
    line->setBeginPoint(QPointF(0, 0));
    line->setEndPoint(QPointF(40, 30));
  }
  doc.undo();
  EXPECT_EQ(line->bounds(), QRectF());
  // While a text matches its height, "bounds" is not recorded.
  text->setBoundsBeingChangedToMatchContents(true);
  text->setBounds(QRectF(0, 0, 10, 99));
  text->setBoundsBeingChangedToMatchContents(false);
  const int entries = doc.undoStack()->index();
  text->setBounds(QRectF(1, 1, 10, 99));
  EXPECT_EQ(doc.undoStack()->index(), entries + 1);
  doc.undo();
  EXPECT_EQ(text->bounds(), QRectF(0, 0, 10, 99));
}

TEST_F(Document, BadIndexesChangeNothing) {
  auto g = shape(0);
  EXPECT_THROW(doc.insertGraphics({g}, {1}), std::out_of_range);
  EXPECT_THROW(doc.removeGraphicAtIndex(CardSide::Back, 0), std::out_of_range);
  EXPECT_THROW(doc.insertGraphics({g, g}, {0}), std::out_of_range);
  EXPECT_TRUE(doc.graphics().empty());
  EXPECT_EQ(doc.undoStack()->count(), 0);
}

TEST_F(Document, SnapshotIsIndependent) {
  auto g = shape(0);
  doc.insertGraphic(CardSide::Back, g, 0);
  SKTGraphicList snapshot = doc.snapshotOfSide(CardSide::Back);
  ASSERT_EQ(snapshot.size(), 1u);
  EXPECT_NE(snapshot[0], g);
  snapshot[0]->_bounds = QRectF(7, 7, 7, 7);
  EXPECT_EQ(g->bounds(), QRectF(0, 0, 10, 10));
}

}  // namespace
