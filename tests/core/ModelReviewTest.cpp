// Second look at the card object model: dependent-key notification counts,
// undo of multi-key changes (lines, flips during a resize), removal and
// re-insertion, pasteboard data in either property-list form, archives whose
// root is none, and picture paths that are not plain files.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QTemporaryDir>

#include "support/FakeCardHost.h"
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

namespace {

class ModelReview : public ::testing::Test {
 protected:
  testing_support::FakeCardHost host{testing_support::FakeCardHost::Preset::ModelWindow};
  ScopedCardHost installed{host};
  QTemporaryDir dir;
};

class CountingObserver : public SKTGraphicObserver {
 public:
  QStringList keys;
  void observeValueForKey(SKTGraphic&, const QString& key, const QVariant&, const QVariant&, int) override {
    keys << key;
  }
};

TEST_F(ModelReview, EachDerivedKeyIsAnnouncedOncePerChange) {
  Shape_Control g;
  CountingObserver observer;
  for (const QString& key : {SKTKeys::bounds, SKTKeys::xPosition, SKTKeys::yPosition, SKTKeys::width,
                             SKTKeys::height, SKTKeys::drawingBounds})
    g.addObserver(&observer, key, 0);
  g.setXPosition(12);
  EXPECT_EQ(observer.keys.count("bounds"), 1);
  EXPECT_EQ(observer.keys.count("xPosition"), 1);
  EXPECT_EQ(observer.keys.count("drawingBounds"), 1);
  observer.keys.clear();
  SKTGraphic::translateGraphics({std::shared_ptr<SKTGraphic>(&g, [](SKTGraphic*) {})}, 1, 1);
  EXPECT_EQ(observer.keys.count("bounds"), 1);
  EXPECT_EQ(observer.keys.count("yPosition"), 1);
}

TEST_F(ModelReview, UndoAndRedoOfALineDragRestoreBothEnds) {
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

TEST_F(ModelReview, UndoOfAResizePastAnEdgeUnflipsThePicture) {
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

TEST_F(ModelReview, RemovalUndoRestoresOrderContainerAndObservation) {
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

TEST_F(ModelReview, ClearingUndoLeavesBackAndTempAndRegistrationOn) {
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

QByteArray pasteboardOf(const std::vector<QByteArray>& archives, bool xml) {
  platform::PlistArray items;
  for (const QByteArray& a : archives) items.push_back(platform::PlistValue::data(a));
  const platform::PlistValue root(std::move(items));
  return xml ? platform::toXmlPropertyList(root) : platform::toBinaryPropertyList(root);
}

TEST_F(ModelReview, PasteboardDataInXmlFormAndNoneRootsAreRead) {
  auto text = SKTGraphic::makeGraphic(GraphicKind::Text);
  text->Text_Value = "xml";
  platform::KeyedArchiveWriter none;
  auto& top = none.root("NSObject");
  (void)top;
  // An archive whose root refers to "$null" yields nothing and is skipped.
  platform::PlistValue nullRoot = *platform::parsePropertyList(none.finish());
  nullRoot.dict()->value("$top")->dict()->insert("root", platform::PlistValue::uid(0));
  const QByteArray nullArchive = platform::toBinaryPropertyList(nullRoot);
  const QByteArray data = pasteboardOf({archivedDataWithGraphic(*text), nullArchive}, true);
  ASSERT_TRUE(data.startsWith("<?xml"));
  SKTError error;
  auto graphics = graphicsWithPasteboardData(data, &error);
  ASSERT_TRUE(graphics.has_value());
  ASSERT_EQ(graphics->size(), 1u);
  EXPECT_EQ(graphics->front()->Text_Value, "xml");
}

TEST_F(ModelReview, OnlyPlainPictureObjectsAreReloadedFromTheirFile) {
  const QString path = dir.filePath("sig.png");
  QImage picture(7, 3, QImage::Format_ARGB32);
  picture.fill(Qt::black);
  ASSERT_TRUE(picture.save(path));
  auto signature = SKTGraphic::makeGraphic(GraphicKind::Signature);
  signature->_file_path = path;
  auto image = SKTGraphic::makeGraphic(GraphicKind::Image);
  image->_file_path = path;
  auto graphics = graphicsWithPasteboardData(pasteboardDataWithGraphics({signature, image}));
  ASSERT_TRUE(graphics && graphics->size() == 2);
  EXPECT_TRUE(static_cast<SKTSignature&>(*(*graphics)[0])._contents_img.isNull());
  EXPECT_EQ(static_cast<SKTImage&>(*(*graphics)[1])._contents.size(), QSize(7, 3));
}

TEST_F(ModelReview, PicturePathsThatAreNotPlainFilesLoadNothing) {
  // A named pipe with no writer would block a reader for ever; a folder is no picture.
  const QString fifo = dir.filePath("pipe.png");
  ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  EXPECT_TRUE(loadPictureFile(fifo).isNull());
  EXPECT_TRUE(loadPictureFile(dir.path()).isNull());
  auto image = SKTGraphic::makeGraphic(GraphicKind::Image);
  image->_file_path = fifo;
  auto graphics = graphicsWithPasteboardData(pasteboardDataWithGraphics({image}));
  ASSERT_TRUE(graphics && graphics->size() == 1);
  EXPECT_EQ(graphics->front()->FilePath(), fifo);
  EXPECT_TRUE(static_cast<SKTImage&>(*graphics->front())._contents.isNull());
}

TEST_F(ModelReview, UnionsOfBoundsAndDrawingBounds) {
  auto a = std::make_shared<Shape_Control>();
  auto b = std::make_shared<Shape_Control>();
  a->_bounds = QRectF(10, 10, 10, 10);
  b->_bounds = QRectF(40, 30, 5, 5);
  EXPECT_EQ(SKTGraphic::boundsOfGraphics({a}), QRectF(10, 10, 10, 10));
  EXPECT_EQ(SKTGraphic::boundsOfGraphics({a, b}), QRectF(10, 10, 35, 25));
  EXPECT_EQ(SKTGraphic::drawingBoundsOfGraphics({a, b}), QRectF(7, 7, 42, 32));
}

TEST_F(ModelReview, SetColorOnATextTurnsItsFillOnUndoably) {
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

TEST_F(ModelReview, PageSettingsHoldingNoneForAStringKeepTheNewValue) {
  platform::KeyedArchiveWriter writer;
  auto& root = writer.root("Card_Property");
  root.setNull("Card_Name");
  root.setInt("Card_Side", 2);  // wrong kind
  root.setNull("Card_fill_clr");
  auto p = cardPropertyWithArchivedData(writer.finish());
  ASSERT_TRUE(p.has_value());
  EXPECT_EQ(p->Card_Name, "Untitled");
  EXPECT_EQ(p->Card_Side, "2");
  EXPECT_FALSE(p->Card_fill_clr.isValid());
}

// A kind that lists a key for undo without a presentable name for it.
class UnnamedKeyShape : public Shape_Control {
 public:
  std::optional<QString> presentablePropertyNameForKey(const QString& key) const override {
    if (key == SKTKeys::strokeWidth) return std::nullopt;
    return Shape_Control::presentablePropertyNameForKey(key);
  }
};

TEST_F(ModelReview, UndoKeyWithoutPresentableNameIsReportedWithTheKnownText) {
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

TEST_F(ModelReview, MovingALineIsUndoneThroughItsEnds) {
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

class ChangeCountingObserver : public SKTGraphicObserver {
 public:
  int began = 0, ended = 0, notices = 0;
  void observeValueForKey(SKTGraphic&, const QString&, const QVariant&, const QVariant&, int) override {
    ++notices;
  }
  void graphicWillChange(SKTGraphic&) override { ++began; }
  void graphicDidChange(SKTGraphic&) override { ++ended; }
};

TEST_F(ModelReview, ObserversHearOneChangePerOperation) {
  SKTLine line;
  ChangeCountingObserver observer;
  for (const QString& key : {SKTKeys::beginPoint, SKTKeys::endPoint, SKTKeys::bounds})
    line.addObserver(&observer, key, 0);
  line.setBeginPoint(QPointF(3, 4));
  EXPECT_EQ(observer.began, 1);
  EXPECT_EQ(observer.ended, 1);
  EXPECT_EQ(observer.notices, 3);
  Shape_Control shape;
  shape._isDrawingFill = false;
  shape.addObserver(&observer, SKTKeys::drawingFill, 0);
  shape.addObserver(&observer, SKTKeys::fillColor, 0);
  shape.setColor(Qt::red);
  EXPECT_EQ(observer.began, 2);
  EXPECT_EQ(observer.ended, 2);
}

TEST_F(ModelReview, OneUndoTakesBackAWholeOperation) {
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

TEST_F(ModelReview, AnnouncementOfAnUnreadableKeyLeavesNothingOpen) {
  SKTDocument doc;
  auto text = std::make_shared<SKTText>();
  doc.insertGraphics({text}, {0});
  CountingObserver observer;
  const QString unreadable = QStringLiteral("noSuchKey");  // a key the text cannot read
  text->addObserver(&observer, unreadable, 0);
  EXPECT_THROW(text->willChangeValueForKey(unreadable), std::invalid_argument);
  EXPECT_EQ(doc.undoRecorder().groupingLevel(), 0);
  text->removeObserver(&observer, unreadable, 0);
  text->addObserver(&observer, SKTKeys::bounds, 0);
  text->setBounds(QRectF(1, 2, 3, 4));
  EXPECT_EQ(observer.keys, QStringList({"bounds"}));
  doc.undo();
  EXPECT_EQ(text->bounds(), QRectF());
}

}  // namespace
