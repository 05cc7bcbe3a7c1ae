// The card document: its three lists and undo of front-side changes.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QTemporaryDir>

#include "core/Card_Property.h"
#include "core/GraphicArchive.h"
#include "core/PictureFile.h"
#include "core/SKTDocument.h"
#include "core/SKTImage.h"
#include "core/SKTLine.h"
#include "core/SKTSignature.h"
#include "core/SKTText.h"
#include "core/Shape_Control.h"
#include "platform/KeyedArchive.h"
#include "platform/PropertyList.h"
#include "support/FakeCardHost.h"

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

namespace {

// A kind that lists a key for undo without a presentable name for it.
class UnnamedKeyShape : public Shape_Control {
 public:
  std::optional<QString> presentablePropertyNameForKey(const QString& key) const override {
    if (key == SKTKeys::strokeWidth) return std::nullopt;
    return Shape_Control::presentablePropertyNameForKey(key);
  }
};

}  // namespace

TEST_F(Document, UndoAndRedoOfALineDragRestoreBothEnds) {
  SKTDocument doc;
  auto line = std::make_shared<SKTLine>();
  line->setBeginPoint(QPointF(10, 10));
  line->setEndPoint(QPointF(110, 60));
  doc.insertGraphics({line}, {0});
  {
    SKTUndoGroup group(doc.undoRecorder());
    EXPECT_EQ(line->resizeByMovingHandle(1, QPointF(200, 100)), 1);  // past the end point
  }
  EXPECT_EQ(line->beginPoint(), QPointF(200, 100));
  EXPECT_EQ(line->endPoint(), QPointF(110, 60));
  doc.undo();
  EXPECT_EQ(line->beginPoint(), QPointF(10, 10));
  EXPECT_EQ(line->endPoint(), QPointF(110, 60));
  EXPECT_TRUE(line->_pointsRight);
  doc.redo();
  EXPECT_EQ(line->beginPoint(), QPointF(200, 100));
  EXPECT_EQ(line->endPoint(), QPointF(110, 60));
  EXPECT_FALSE(line->_pointsRight);
  doc.undo();
  EXPECT_EQ(line->beginPoint(), QPointF(10, 10));
}

TEST_F(Document, UndoOfAResizePastAnEdgeUnflipsThePicture) {
  SKTDocument doc;
  auto image = std::make_shared<SKTImage>();
  image->_bounds = QRectF(10, 10, 100, 50);
  doc.insertGraphics({image}, {0});
  {
    SKTUndoGroup group(doc.undoRecorder());
    EXPECT_EQ(image->resizeByMovingHandle(8, QPointF(0, 0)), 1);
  }
  EXPECT_TRUE(image->isFlippedHorizontally());
  EXPECT_TRUE(image->isFlippedVertically());
  EXPECT_EQ(image->bounds(), QRectF(0, 0, 10, 10));
  doc.undo();
  EXPECT_FALSE(image->isFlippedHorizontally());
  EXPECT_FALSE(image->isFlippedVertically());
  EXPECT_EQ(image->bounds(), QRectF(10, 10, 100, 50));
}

TEST_F(Document, RemovalUndoRestoresOrderContainerAndObservation) {
  SKTDocument doc;
  SKTGraphicList all;
  for (int i = 0; i < 4; ++i) {
    auto g = std::make_shared<Shape_Control>();
    g->_bounds = QRectF(i, 0, 5, 5);
    all.push_back(g);
  }
  doc.insertGraphics(all, {0, 1, 2, 3});
  doc.removeGraphicsAtIndexes({3, 1, 1});  // unsorted, repeated
  ASSERT_EQ(doc.graphics(), (SKTGraphicList{all[0], all[2]}));
  EXPECT_EQ(all[1]->scriptingContainer(), nullptr);
  EXPECT_FALSE(all[3]->hasObservers());
  // A change of a removed graphic is not the document's business.
  const int entries = doc.undoStack()->count();
  all[1]->setValueForKey(SKTKeys::strokeWidth, 7.0);
  EXPECT_EQ(doc.undoStack()->count(), entries);
  doc.undo();
  ASSERT_EQ(doc.graphics(), all);
  EXPECT_EQ(all[3]->scriptingContainer(), &doc);
  all[3]->setValueForKey(SKTKeys::strokeWidth, 3.0);
  doc.undo();
  EXPECT_DOUBLE_EQ(all[3]->strokeWidth(), 1.0);
}

TEST_F(Document, ClearingUndoLeavesBackAndTempAndRegistrationOn) {
  SKTDocument doc;
  auto front = std::make_shared<Shape_Control>();
  auto back = std::make_shared<Shape_Control>();
  doc.insertGraphics({front}, {0});
  doc.insertGraphic(CardSide::Back, back, 0);
  doc.Clear_All_Undo_Redo();
  EXPECT_TRUE(doc.graphics().empty());
  EXPECT_EQ(doc.graphics_back().size(), 1u);
  EXPECT_FALSE(front->hasObservers());
  EXPECT_FALSE(doc.undoRecorder().canUndo());
  doc.insertGraphics({front}, {0});
  EXPECT_TRUE(doc.undoRecorder().canUndo());
}

TEST_F(Document, SetColorOnATextTurnsItsFillOnUndoably) {
  SKTDocument doc;
  auto text = std::make_shared<SKTText>();
  text->_isDrawingFill = false;
  doc.insertGraphics({text}, {0});
  {
    SKTUndoGroup group(doc.undoRecorder());
    text->setColor(QColor(Qt::yellow));
  }
  EXPECT_TRUE(text->isDrawingFill());
  doc.undo();
  EXPECT_FALSE(text->isDrawingFill());
  EXPECT_EQ(text->_fillColor.rgb(), QColor(Qt::white).rgb());
}

TEST_F(Document, UndoKeyWithoutPresentableNameIsReportedWithTheKnownText) {
  SKTDocument doc;
  auto g = std::make_shared<UnnamedKeyShape>();
  doc.insertGraphics({g}, {0});
  try {
    g->setValueForKey(SKTKeys::strokeWidth, 2.0);
    FAIL() << "expected an exception";
  } catch (const std::logic_error& e) {
    EXPECT_STREQ(
        e.what(),
        "[[Shape_Control class] keysForValuesToObserveForUndo] returns a set that includes "
        "@\"strokeWidth\", but [[Shape_Control class] presentablePropertyNameForKey:@\"strokeWidth\"] "
        "returns nil.");
  }
  // The graphic is still usable afterwards: no announcement is left open.
  g->setValueForKey(SKTKeys::fillColor, QColor(Qt::red));
  doc.undo();
  EXPECT_EQ(g->_fillColor.rgb(), QColor(Qt::white).rgb());
}

TEST_F(Document, MovingALineIsUndoneThroughItsEnds) {
  SKTDocument doc;
  auto line = std::make_shared<SKTLine>();
  line->setBeginPoint(QPointF(100, 0));
  line->setEndPoint(QPointF(0, 40));
  doc.insertGraphics({line}, {0});
  SKTGraphic::translateGraphics({line}, 5, 7);  // outside any group: an entry of its own
  EXPECT_EQ(line->beginPoint(), QPointF(105, 7));
  doc.undo();
  EXPECT_EQ(line->beginPoint(), QPointF(100, 0));
  EXPECT_EQ(line->endPoint(), QPointF(0, 40));
  doc.redo();
  EXPECT_EQ(line->endPoint(), QPointF(5, 47));
}

TEST_F(Document, OneUndoTakesBackAWholeOperation) {
  SKTDocument doc;
  auto a = std::make_shared<Shape_Control>();
  auto b = std::make_shared<Shape_Control>();
  auto image = std::make_shared<SKTImage>();
  a->_isDrawingFill = false;
  b->_bounds = QRectF(50, 50, 10, 10);
  image->_bounds = QRectF(10, 10, 100, 50);
  image->_contents = QImage(30, 20, QImage::Format_ARGB32);
  doc.insertGraphics({a, b, image}, {0, 1, 2});

  const int entries = doc.undoStack()->count();
  a->setColor(Qt::red);  // fill on, then its colour
  EXPECT_EQ(doc.undoStack()->count(), entries + 1);
  doc.undo();
  EXPECT_FALSE(a->isDrawingFill());
  EXPECT_EQ(a->_fillColor.rgb(), QColor(Qt::white).rgb());

  SKTGraphic::translateGraphics({a, b}, 5, 5);  // a move of the selection
  EXPECT_EQ(doc.undoStack()->index(), entries + 1);
  doc.undo();
  EXPECT_EQ(a->bounds(), QRectF());
  EXPECT_EQ(b->bounds(), QRectF(50, 50, 10, 10));

  image->resizeByMovingHandle(8, QPointF(0, 0));  // bounds and both flips
  doc.undo();
  EXPECT_EQ(image->bounds(), QRectF(10, 10, 100, 50));
  EXPECT_FALSE(image->isFlippedHorizontally());
  EXPECT_FALSE(image->isFlippedVertically());

  image->setFlippedHorizontally(true);
  image->makeNaturalSize();  // the picture's size and no flips
  EXPECT_EQ(image->bounds(), QRectF(10, 10, 30, 20));
  doc.undo();
  EXPECT_EQ(image->bounds(), QRectF(10, 10, 100, 50));
  EXPECT_TRUE(image->isFlippedHorizontally());
}
