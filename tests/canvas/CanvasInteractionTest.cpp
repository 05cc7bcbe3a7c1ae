// Canvas mouse interaction: click and shift-click selection, marquee, moves
// with the 2-point threshold, handle resizing, locked and hidden graphics,
// creation by the mouse and at a place, filling by control ID, arrow keys;
// and a canvas in a window whose surroundings go away mid-drag, clipboard
// data that cannot be trusted, and undo of each edit as a whole.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAction>
#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <memory>

#include "canvas/SKTGraphicView.h"
#include "canvas/SKTGrid.h"
#include "canvas/SKTRulerView.h"
#include "core/CardHost.h"
#include "core/GraphicArchive.h"
#include "core/SKTDocument.h"
#include "core/globals.h"
#include "support/CanvasInput.h"
#include "support/FakeCardHost.h"
#include "support/ScriptedHost.h"

using namespace testing_support;

class CanvasInteraction : public ::testing::Test {
 protected:
  testing_support::ScriptedHost messages;
  FakeCardHost host;
  ScopedCardHost install{host};
  SKTDocument doc;
  SKTGraphicView view{host};
  SKTGraphicPtr a, b;  // a at index 0 (front-most), b at index 1
  void SetUp() override {
    host.nextPoint = {70, 40};
    Card_Front_Or_Back = 0;
    view.setFrameSizePoints({243, 154});
    view.bindGraphics(SKTGraphicViewGraphicsBindingName, &doc, CardSide::Front);
    a = shape({20, 20, 40, 30});
    b = shape({100, 60, 40, 30});
    doc.insertGraphics({a, b}, {0, 1});
    doc.undoRecorder().removeAllActions();
  }
  void click(QPointF p, std::vector<SKTCanvasMouseEvent> rest, bool shift = false, int clicks = 1) {
    view.queueTrackingEvents(rest);
    view.mouseDown(down(p, shift, clicks));
  }
};

TEST_F(CanvasInteraction, ClickShiftClickAndHitTesting) {
  click({30, 30}, {up({30, 30})});
  EXPECT_EQ(view.selectionIndexes(), SKTIndexSet({0}));
  EXPECT_EQ(view.Selected_Graphic(), a);
  EXPECT_EQ(host.lastShown, a.get());
  click({110, 70}, {up({110, 70})}, true);
  EXPECT_EQ(view.selectionIndexes(), SKTIndexSet({0, 1}));
  // Shift-click on a selected graphic removes it and swallows the drag.
  click({110, 70}, {drag({130, 90}), up({130, 90})}, true);
  EXPECT_EQ(view.selectionIndexes(), SKTIndexSet({0}));
  EXPECT_EQ(b->bounds(), QRectF(100, 60, 40, 30));
  // Out arguments are written only on a hit.
  int index = -7, handle = -7;
  bool selected = true;
  EXPECT_EQ(view.graphicUnderPoint({5, 5}, &index, &selected, &handle), nullptr);
  EXPECT_EQ(index, -7);
  EXPECT_EQ(view.graphicUnderPoint({20, 20}, &index, &selected, &handle), a);
  EXPECT_EQ(index, 0);
  EXPECT_TRUE(selected);
  EXPECT_EQ(handle, SKTGraphicUpperLeftHandle);
  // A click on empty canvas clears the selection and tells the panels none.
  click({200, 10}, {up({200, 10})});
  EXPECT_TRUE(view.selectionIndexes().empty());
  EXPECT_EQ(host.lastShown, nullptr);
}

TEST_F(CanvasInteraction, MoveStartsAtTwoPointsAndIsOneUndoEntry) {
  click({30, 30}, {drag({31.9, 30}), up({31.9, 30})});
  EXPECT_EQ(a->bounds(), QRectF(20, 20, 40, 30));
  EXPECT_FALSE(view.isHidingHandles());
  EXPECT_FALSE(doc.undoRecorder().canUndo());
  click({30, 30}, {drag({31, 30}), drag({32, 30}), drag({40, 35}), up({40, 35})});
  EXPECT_EQ(a->bounds(), QRectF(30, 25, 40, 30));
  EXPECT_FALSE(view.isHidingHandles());
  EXPECT_EQ(doc.undoStack()->count(), 1);
  view.undo();
  EXPECT_EQ(a->bounds(), QRectF(20, 20, 40, 30));
  EXPECT_EQ(view.selectionIndexes(), SKTIndexSet({0}));
}

TEST_F(CanvasInteraction, MoveSnapsTheUnionOriginToTheGrid) {
  SKTGrid grid;
  grid.setSpacing(10);
  grid.setConstraining(true);
  view.setGrid(&grid);
  click({30, 30}, {drag({36, 33}), up({36, 33})});
  EXPECT_EQ(a->bounds().topLeft(), QPointF(30, 20));
  view.setGrid(nullptr);
}

TEST_F(CanvasInteraction, LockedAndHiddenGraphics) {
  a->ctrl_is_locked = true;
  click({30, 30}, {drag({60, 60}), up({60, 60})});
  EXPECT_EQ(view.selectionIndexes(), SKTIndexSet({0}));
  EXPECT_EQ(a->bounds(), QRectF(20, 20, 40, 30));
  // A handle drag of a locked graphic is ignored.
  click({20, 20}, {drag({0, 0}), up({0, 0})});
  EXPECT_EQ(a->bounds(), QRectF(20, 20, 40, 30));
  b->ctrl_is_visible = false;
  const int shows = host.shows;
  click({110, 70}, {up({110, 70})});
  EXPECT_EQ(view.selectionIndexes(), SKTIndexSet({0}));
  EXPECT_EQ(view.Selected_Graphic(), b);
  EXPECT_EQ(host.shows, shows);
}

TEST_F(CanvasInteraction, HandleDragResizesAndCrossesTheEdge) {
  view.changeSelectionIndexes({0});
  click({60, 50}, {drag({80, 60}), up({80, 60})});  // lower right handle
  EXPECT_EQ(a->bounds(), QRectF(20, 20, 60, 40));
  click({80, 60}, {drag({10, 60}), up({10, 60})});
  EXPECT_EQ(a->bounds(), QRectF(10, 20, 10, 40));
  EXPECT_EQ(doc.undoStack()->count(), 2);
}

TEST_F(CanvasInteraction, MarqueeTogglesAndKeepsTheLastTouchedSelection) {
  click({5, 5}, {drag({150, 100}), drag({10, 10}), up({10, 10})});
  EXPECT_EQ(view.selectionIndexes(), SKTIndexSet({0, 1}));
  EXPECT_TRUE(view.marqueeSelectionBounds().isNull());
  EXPECT_GE(host.refreshes, 1);
  // With shift the marquee toggles against the selection that was there.
  click({90, 55}, {drag({150, 100}), up({150, 100})}, true);
  EXPECT_EQ(view.selectionIndexes(), SKTIndexSet({0}));
}

TEST_F(CanvasInteraction, DoubleClickOpensTheBarcodeDesignerUnlessLocked) {
  auto code = SKTGraphic::makeGraphic(GraphicKind::Barcode);
  code->_bounds = QRectF(150, 10, 50, 50);
  doc.insertGraphics({code}, {0});
  click({170, 30}, {}, false, 2);
  EXPECT_EQ(host.barcodeWindows, 1);
  EXPECT_EQ(view.Selected_Graphic(), code);
  code->ctrl_is_locked = true;
  click({170, 30}, {}, false, 2);
  EXPECT_EQ(host.barcodeWindows, 1);
}

TEST_F(CanvasInteraction, CreationByTheMouse) {
  host.graphicClass = GraphicKind::Shape;
  host.tool = DrawingTool::Oval;
  // A click without a drag creates nothing and leaves no undo trace.
  click({200, 100}, {up({200, 100})});
  EXPECT_EQ(doc.graphics().size(), 2u);
  EXPECT_FALSE(doc.undoRecorder().canUndo());
  EXPECT_FALSE(doc.undoRecorder().canRedo());
  EXPECT_EQ(view.Selected_Graphic(), nullptr);
  // A drag makes an oval of the dragged size, one undo entry.
  click({150, 100}, {drag({170, 110}), drag({190, 130}), up({190, 130})});
  ASSERT_EQ(doc.graphics().size(), 3u);
  const SKTGraphicPtr made = doc.graphics()[0];
  EXPECT_EQ(made->kind(), GraphicKind::Shape);
  EXPECT_EQ(made->Get_shape_type(), QStringLiteral("C"));
  EXPECT_EQ(made->bounds(), QRectF(150, 100, 40, 30));
  EXPECT_EQ(view.selectionIndexes(), SKTIndexSet({0}));
  EXPECT_EQ(view.Selected_Graphic(), nullptr);  // the panels were told none
  EXPECT_EQ(view.creatingGraphic(), nullptr);
  EXPECT_EQ(doc.undoStack()->count(), 1);
  view.undo();
  EXPECT_EQ(doc.graphics().size(), 2u);
  view.redo();
  ASSERT_EQ(doc.graphics().size(), 3u);
  EXPECT_EQ(doc.graphics()[0]->bounds(), QRectF(150, 100, 40, 30));
  // A line dragged straight down counts as a graphic.
  host.graphicClass = GraphicKind::Line;
  host.tool = DrawingTool::Line;
  click({10, 100}, {drag({10, 140}), up({10, 140})});
  EXPECT_EQ(doc.graphics().size(), 4u);
}

TEST_F(CanvasInteraction, ZeroSizeCreationOnTheBackLeavesNothing) {
  view.bindGraphics(SKTGraphicViewGraphicsBindingName_back, &doc, CardSide::Back);
  host.graphicClass = GraphicKind::Shape;
  host.tool = DrawingTool::Rectangle;
  click({200, 100}, {up({200, 100})});
  EXPECT_TRUE(doc.graphics_back().empty());
}

TEST_F(CanvasInteraction, CreationAtAPlaceAndByTheWizard) {
  host.tool = DrawingTool::Rectangle;
  view.createGraphicOfClass(GraphicKind::Shape, nullptr, true, QRectF(5, 5, 120, 60), QStringLiteral("F"), "",
                            "");
  ASSERT_EQ(doc.graphics().size(), 3u);
  EXPECT_EQ(doc.graphics()[0]->bounds(), QRectF(70, 40, 120, 60));
  EXPECT_EQ(host.placementSides, QStringList({"F"}));
  EXPECT_EQ(view.Selected_Graphic(), doc.graphics()[0]);
  view.createGraphicOfClass(GraphicKind::Shape, nullptr, false, QRectF(), QStringLiteral("B"), "", "");
  EXPECT_EQ(doc.graphics()[0]->bounds(), QRectF(70, 40, 50, 50));
  EXPECT_EQ(host.placementSides.last(), QStringLiteral("B"));

  host.tool = DrawingTool::Text;
  view.createGraphicOfClass(GraphicKind::Text, nullptr, true, QRectF(10, 12, 200, 30), "F", "Happy Day",
                            "PARTY_TITLE");
  const SKTGraphicPtr title = doc.graphics()[0];
  EXPECT_EQ(title->kind(), GraphicKind::Text);
  EXPECT_EQ(title->bounds(), QRectF(10, 12, 200, 30));
  EXPECT_EQ(title->Text_Value, QStringLiteral("Happy Day"));
  EXPECT_EQ(title->text_alignmnet, 2);
  EXPECT_EQ(title->text_ctrl_font, CardFont({"TimesNewRomanPS-BoldItalicMT", 18.0}));
  EXPECT_FALSE(title->_isDrawingFill);
  EXPECT_FALSE(title->_isDrawingStroke);
  EXPECT_EQ(title->control_ID, QStringLiteral("PARTY_TITLE"));
  view.createGraphicOfClass(GraphicKind::Text, nullptr, true, QRectF(10, 50, 200, 30), "F", "Anna",
                            "PARTY_FROM");
  EXPECT_EQ(doc.graphics()[0]->text_alignmnet, 1);
}

TEST_F(CanvasInteraction, GridConstrainsPlacedOriginAndCorner) {
  SKTGrid grid;
  grid.setSpacing(10);
  grid.setConstraining(true);
  view.setGrid(&grid);
  host.tool = DrawingTool::Rectangle;
  host.nextPoint = {73, 41};
  view.createGraphicOfClass(GraphicKind::Shape, nullptr, false, QRectF(), "F", "", "");
  EXPECT_EQ(doc.graphics()[0]->bounds(), QRectF(70, 40, 50, 50));
  view.setGrid(nullptr);
}

TEST_F(CanvasInteraction, ReplaceGraphicTextFillsOrCreates) {
  host.tool = DrawingTool::Text;
  view.ReplaceGraphicText(GraphicKind::Text, nullptr, true, QRectF(10, 10, 100, 20), "F", "Anna", "Fup_Name");
  ASSERT_EQ(doc.graphics().size(), 3u);
  const SKTGraphicPtr name = doc.graphics()[0];
  EXPECT_EQ(name->bounds(), QRectF(10, 10, 100, 20));
  EXPECT_EQ(view.Selcect_Ctrl_With_ID("Fup_Name"), name);
  name->Set_Ctrl_Is_Visible(false);
  view.ReplaceGraphicText(GraphicKind::Text, nullptr, true, QRectF(0, 0, 5, 5), "F", "", "Fup_Name");
  EXPECT_FALSE(name->ctrl_is_visible);
  EXPECT_EQ(name->Text_Value, QStringLiteral("Anna"));
  view.ReplaceGraphicText(GraphicKind::Text, nullptr, true, QRectF(0, 0, 5, 5), "F", "Bert", "Fup_Name");
  EXPECT_TRUE(name->ctrl_is_visible);
  EXPECT_EQ(name->Text_contents()->string, QStringLiteral("Bert"));
  EXPECT_EQ(name->bounds(), QRectF(10, 10, 100, 20));
  EXPECT_EQ(doc.graphics().size(), 3u);
  EXPECT_EQ(view.Selected_Graphic(), name);
  // Only texts and pictures are found by ID.
  a->control_ID = QStringLiteral("Fup_Title");
  EXPECT_EQ(view.Selcect_Ctrl_With_ID("Fup_Title"), nullptr);
}

TEST_F(CanvasInteraction, ArrowKeysMoveUnlockedSelectedGraphics) {
  view.changeSelectionIndexes({0, 1});
  b->ctrl_is_locked = true;
  keyClick(&view, Qt::Key_Right);
  keyClick(&view, Qt::Key_Down);
  EXPECT_EQ(a->bounds().topLeft(), QPointF(21, 21));
  EXPECT_EQ(b->bounds().topLeft(), QPointF(100, 60));
  EXPECT_TRUE(view.isHidingHandles());
  view.moveLeft();
  view.moveUp();
  EXPECT_EQ(a->bounds().topLeft(), QPointF(20, 20));
}

// No command takes an object further than 100,000 points from the card's
// corner, or makes it larger than that: a design file keeps nothing beyond.
// A group stops as a whole where its first object meets the limit, and
// follows the mouse again once the mouse is back where it stopped.
TEST_F(CanvasInteraction, MovesAndSizesStopAtTheLimitOfTheCardSpace) {
  a->_bounds = {99950, 20, 40, 30};
  view.changeSelectionIndexes({0, 1});
  click({110, 70}, {drag({150, 70}), drag({210, 70}), drag({180, 70}), drag({130, 70}), up({130, 70})});
  EXPECT_EQ(a->bounds(), QRectF(99970, 20, 40, 30));
  EXPECT_EQ(b->bounds(), QRectF(120, 60, 40, 30));
  EXPECT_EQ(doc.undoStack()->count(), 1);

  // Nudges stop at the limit; one there does nothing, not even an undo entry.
  view.changeSelectionIndexes({0});
  for (int i = 0; i < 40; ++i) view.moveRight();
  EXPECT_EQ(a->bounds(), QRectF(100000, 20, 40, 30));
  EXPECT_EQ(doc.undoStack()->count(), 31);

  // A handle dragged far away.
  view.changeSelectionIndexes({1});
  click({160, 90}, {drag({300000, -250000}), up({300000, -250000})});  // lower right handle
  EXPECT_EQ(b->bounds(), QRectF(120, -100000, 100000, 100000));

  // Objects pasted from elsewhere with positions beyond the limit land at it.
  auto far = shape({-250000, 400000, 250000, 30});
  auto data = new QMimeData;
  data->setData(SKTGraphicViewPasteboardType, pasteboardDataWithGraphics({far}));
  QGuiApplication::clipboard()->setMimeData(data);
  view.paste();
  ASSERT_EQ(doc.graphics().size(), 3u);
  EXPECT_EQ(doc.graphics()[0]->bounds(), QRectF(-100000, 100000, 100000, 30));
}

TEST_F(CanvasInteraction, RealMouseEventsDriveTheTrackingLoop) {
  view.show();
  QCoreApplication::processEvents();
  ASSERT_TRUE(view.isVisible());
  // Mouse moves and the release arrive while the press handler tracks.
  QTimer::singleShot(0, &view, [this] {
    sendMouse(&view, QEvent::MouseMove, {50, 45}, Qt::NoButton, Qt::LeftButton);
    QTimer::singleShot(0, &view, [this] {
      sendMouse(&view, QEvent::MouseButtonRelease, {50, 45}, Qt::LeftButton, Qt::NoButton);
    });
  });
  sendMouse(&view, QEvent::MouseButtonPress, {30, 30}, Qt::LeftButton, Qt::LeftButton);
  EXPECT_EQ(a->bounds().topLeft(), QPointF(40, 35));
}

TEST(CanvasInteractionScroll, DragEchoesToRulersAndScrollsTheCardIntoView) {
  FakeCardHost host;
  ScopedCardHost install{host};
  SKTDocument doc;
  SKTZoomingScrollView scroll;
  auto* canvas = new SKTGraphicView(host);
  canvas->setFrameSizePoints({800, 600});
  scroll.setDocumentView(canvas, canvas);
  canvas->bindGraphics(SKTGraphicViewGraphicsBindingName, &doc, CardSide::Front);
  scroll.resize(200, 150);
  scroll.show();
  QCoreApplication::processEvents();
  canvas->showOrHideRulers();
  auto g = shape({20, 20, 40, 30});
  doc.insertGraphics({g}, {0});
  QAction item;
  EXPECT_TRUE(canvas->validateMenuItem("showOrHideRulers:", &item));
  EXPECT_EQ(item.text(), QStringLiteral("Hide Ruler"));
  const int before = scroll.horizontalScrollBar()->value();
  canvas->queueTrackingEvents({drag({400, 30}), drag({700, 30}), up({700, 30})});
  canvas->mouseDown(down({30, 30}));
  EXPECT_EQ(g->bounds(), QRectF(690, 20, 40, 30));
  EXPECT_GT(scroll.horizontalScrollBar()->value(), before);
  EXPECT_TRUE(scroll.horizontalRulerView()->markerLocations().empty());  // the echo ended
}

TEST_F(CanvasInteraction, PictureToolsMakeTheirKinds) {
  const QString saved = Library_Selected_Image.get();
  Library_Selected_Image.set(QStringLiteral("/nonexistent/picture.png"));
  host.tool = DrawingTool::PictureFile;  // a missing file gives the placeholder picture
  view.createGraphicOfClass(GraphicKind::Image, nullptr, true, QRectF(0, 0, 30, 20), "F", "", "");
  EXPECT_EQ(doc.graphics()[0]->kind(), GraphicKind::Image);
  EXPECT_EQ(doc.graphics()[0]->bounds(), QRectF(70, 40, 30, 20));
  host.tool = DrawingTool::Signature;
  view.createGraphicOfClass(std::nullopt, nullptr, true, QRectF(0, 0, 30, 20), "F", "", "");
  EXPECT_EQ(doc.graphics()[0]->kind(), GraphicKind::Signature);
  EXPECT_EQ(doc.graphics()[0]->Sign_Or_FP_Val(), QStringLiteral("S"));
  host.tool = DrawingTool::Fingerprint;
  view.createGraphicOfClass(GraphicKind::Shape, nullptr, true, QRectF(0, 0, 30, 20), "F", "", "");
  EXPECT_EQ(doc.graphics()[0]->Sign_Or_FP_Val(), QStringLiteral("F"));
  host.tool = DrawingTool::Barcode;
  view.createGraphicOfClass(GraphicKind::Text, nullptr, true, QRectF(0, 0, 30, 20), "F", "", "");
  EXPECT_EQ(doc.graphics()[0]->kind(), GraphicKind::Barcode);
  EXPECT_EQ(doc.graphics().size(), 6u);
  // The arrow tool with no class makes nothing.
  host.tool = DrawingTool::Arrow;
  view.createGraphicOfClass(std::nullopt, nullptr, true, QRectF(0, 0, 30, 20), "F", "", "");
  EXPECT_EQ(doc.graphics().size(), 6u);
  EXPECT_EQ(view.Selected_Graphic(), nullptr);

  // Filling a picture by ID with a path that does not exist changes nothing.
  const SKTGraphicPtr photo = doc.graphics()[3];
  photo->control_ID = QStringLiteral("Fup_Photo");
  const QString path = photo->_file_path;
  view.ReplaceGraphicText(GraphicKind::Image, nullptr, true, QRectF(), "F", "/nonexistent/other.png",
                          "Fup_Photo");
  EXPECT_EQ(photo->_file_path, path);
  EXPECT_EQ(view.Selected_Graphic(), photo);
  Library_Selected_Image.set(saved);
}

TEST_F(CanvasInteraction, PictureFromAFile) {
  const QString file =
      QDir::temp().filePath(QStringLiteral("canvas-picture-%1.png").arg(QCoreApplication::applicationPid()));
  QImage picture(40, 30, QImage::Format_RGB32);
  picture.fill(Qt::green);
  ASSERT_TRUE(picture.save(file));
  EXPECT_TRUE(view.makeNewImageFromContentsOfFile(file, {100, 80}));
  EXPECT_EQ(doc.graphics()[0]->kind(), GraphicKind::Image);
  EXPECT_EQ(view.selectionIndexes(), SKTIndexSet({0}));
  EXPECT_FALSE(view.makeNewImageFromContentsOfFile(file + ".txt", {100, 80}));
  QFile::remove(file);
  EXPECT_EQ(doc.graphics().size(), 3u);
}

TEST_F(CanvasInteraction, HidingTheCanvasEndsARunningDrag) {
  view.show();
  QCoreApplication::processEvents();
  QTimer::singleShot(0, &view, [this] {
    sendMouse(&view, QEvent::MouseMove, {50, 45}, Qt::NoButton, Qt::LeftButton);
    QTimer::singleShot(0, &view, [this] { view.hide(); });
  });
  sendMouse(&view, QEvent::MouseButtonPress, {30, 30}, Qt::LeftButton, Qt::LeftButton);
  EXPECT_EQ(a->bounds().topLeft(), QPointF(40, 35));
  EXPECT_EQ(doc.undoStack()->count(), 1);
}

namespace {

class CanvasInWindow : public ::testing::Test {
 protected:
  testing_support::ScriptedHost messages;
  FakeCardHost host;
  ScopedCardHost install{host};
  std::unique_ptr<SKTDocument> doc = std::make_unique<SKTDocument>();
  QPointer<SKTGraphicView> view = new SKTGraphicView(host);
  SKTGraphicPtr a;
  void SetUp() override {
    host.nextPoint = {70, 40};
    Card_Front_Or_Back = 0;
    view->setFrameSizePoints({243, 154});
    view->bindGraphics(SKTGraphicViewGraphicsBindingName, doc.get(), CardSide::Front);
    a = shape({20, 20, 40, 30});
    doc->insertGraphics({a}, {0});
    doc->undoRecorder().removeAllActions();
    view->show();
    QCoreApplication::processEvents();
  }
  void TearDown() override { delete view.data(); }
  // Presses at p; after one mouse move the action runs inside the drag's loop.
  template <typename Action>
  void pressMoveThen(QPointF p, QPointF moved, Action action) {
    QWidget* w = view;
    QTimer::singleShot(0, [w, moved, action] {
      sendMouse(w, QEvent::MouseMove, moved, Qt::NoButton, Qt::LeftButton);
      QTimer::singleShot(0, action);
    });
    sendMouse(w, QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
  }
};

}  // namespace

TEST_F(CanvasInWindow, CanvasDestroyedDuringAMoveEndsTheDragSafely) {
  pressMoveThen({30, 30}, {50, 45}, [this] { delete view.data(); });
  EXPECT_TRUE(view.isNull());
  // The move made so far stays as one closed undo entry, and undo takes it back.
  EXPECT_EQ(a->bounds().topLeft(), QPointF(40, 35));
  EXPECT_EQ(doc->undoStack()->count(), 1);
  doc->undoStack()->undo();
  EXPECT_EQ(a->bounds().topLeft(), QPointF(20, 20));
}

TEST_F(CanvasInWindow, CanvasDestroyedDuringACreationLeavesNoGraphic) {
  host.graphicClass = GraphicKind::Shape;
  host.tool = DrawingTool::Rectangle;
  pressMoveThen({150, 100}, {190, 130}, [this] { delete view.data(); });
  EXPECT_TRUE(view.isNull());
  ASSERT_EQ(doc->graphics().size(), 1u);
  EXPECT_EQ(doc->graphics()[0], a);
  EXPECT_EQ(doc->undoStack()->count(), 0);
  // Undo registration is on again and no group stays open.
  doc->insertGraphics({shape({0, 0, 5, 5})}, {0});
  EXPECT_EQ(doc->undoStack()->count(), 1);
}

TEST_F(CanvasInWindow, DocumentDestroyedDuringADragIsSurvived) {
  host.graphicClass = GraphicKind::Shape;
  host.tool = DrawingTool::Rectangle;
  QWidget* w = view;
  QTimer::singleShot(0, [this, w] {
    sendMouse(w, QEvent::MouseMove, {190, 130}, Qt::NoButton, Qt::LeftButton);
    QTimer::singleShot(0, [this, w] {
      doc.reset();
      sendMouse(w, QEvent::MouseButtonRelease, {200, 140}, Qt::LeftButton, Qt::NoButton);
    });
  });
  sendMouse(w, QEvent::MouseButtonPress, {150, 100}, Qt::LeftButton, Qt::LeftButton);
  ASSERT_FALSE(view.isNull());
  EXPECT_FALSE(view->hasGraphicsBinding());
  EXPECT_TRUE(view->graphics().empty());
  EXPECT_FALSE(view->Selected_Graphic());
}

TEST_F(CanvasInWindow, KeysDuringADragChangeNothing) {
  QWidget* w = view;
  QTimer::singleShot(0, [w] {
    sendMouse(w, QEvent::MouseMove, {50, 45}, Qt::NoButton, Qt::LeftButton);
    QTimer::singleShot(0, [w] {
      QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
      QCoreApplication::sendEvent(w, &del);
      QKeyEvent left(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
      QCoreApplication::sendEvent(w, &left);
      sendMouse(w, QEvent::MouseButtonRelease, {50, 45}, Qt::LeftButton, Qt::NoButton);
    });
  });
  sendMouse(w, QEvent::MouseButtonPress, {30, 30}, Qt::LeftButton, Qt::LeftButton);
  ASSERT_EQ(doc->graphics().size(), 1u);
  EXPECT_EQ(a->bounds().topLeft(), QPointF(40, 35));
  EXPECT_EQ(doc->undoStack()->count(), 1);
  doc->undoStack()->undo();
  EXPECT_EQ(a->bounds().topLeft(), QPointF(20, 20));
}

// Clipboard data from elsewhere may be anything: damaged own-type data never
// crashes the paste, and every paste that inserts is taken back whole by one undo.
TEST_F(CanvasInWindow, HostileClipboardDataPastesSafelyAndUndoesExactly) {
  auto text = SKTGraphic::makeGraphic(GraphicKind::Text);
  text->setBounds({5, 5, 60, 20});
  const QByteArray good = pasteboardDataWithGraphics({shape({1, 2, 30, 40}), text});
  std::vector<QByteArray> samples;
  for (int i = 0; i < good.size(); i += 5) {
    QByteArray flipped = good;
    flipped[i] = static_cast<char>(flipped[i] ^ 0x5a);
    samples.push_back(flipped);
    samples.push_back(good.left(i));
  }
  samples.push_back(QByteArray(1 << 16, '\xff'));
  int inserted = 0;
  for (const QByteArray& bytes : samples) {
    auto data = new QMimeData;
    data->setData(SKTGraphicViewPasteboardType, bytes);
    QGuiApplication::clipboard()->setMimeData(data);
    const SKTGraphicList before = doc->graphics();
    const int undoCount = doc->undoStack()->index();
    view->paste();
    if (doc->graphics().size() == before.size()) {
      EXPECT_EQ(doc->undoStack()->index(), undoCount);
      continue;
    }
    ++inserted;
    EXPECT_EQ(doc->undoStack()->index(), undoCount + 1);
    doc->undoStack()->undo();
    EXPECT_EQ(doc->graphics(), before);
  }
  EXPECT_GT(inserted, 0);

  // A picture whose header claims a giant size is no picture.
  QByteArray png = QByteArray::fromHex("89504e470d0a1a0a0000000d49484452") +
                   QByteArray::fromHex("7fffffff7fffffff0806000000");
  auto picture = new QMimeData;
  picture->setData(QStringLiteral("image/png"), png);
  QGuiApplication::clipboard()->setMimeData(picture);
  const std::size_t count = doc->graphics().size();
  view->paste();
  EXPECT_EQ(doc->graphics().size(), count);
}

// Each list edit is one undo entry that restores the list exactly, order included.
TEST_F(CanvasInWindow, OneUndoRestoresTheListAfterEachEdit) {
  doc->insertGraphics(
      {shape({70, 10, 10, 10}), shape({90, 10, 10, 10}), shape({110, 10, 10, 10}), shape({130, 10, 10, 10})},
      {1, 2, 3, 4});
  doc->undoRecorder().removeAllActions();
  const SKTGraphicList original = doc->graphics();
  const std::vector<std::function<void()>> edits = {[this] { view->delete_(); }, [this] { view->cut(); },
                                                    [this] { view->bringToFront(); },
                                                    [this] { view->sendToBack(); }};
  for (const auto& edit : edits) {
    view->changeSelectionIndexes({1, 3});
    const int index = doc->undoStack()->index();
    edit();
    EXPECT_NE(doc->graphics(), original);
    EXPECT_EQ(doc->undoStack()->index(), index + 1);
    view->undo();
    EXPECT_EQ(doc->graphics(), original);
    EXPECT_EQ(view->selectionIndexes(), SKTIndexSet({1, 3}));
  }
  // A locked graphic in the selection: the message, nothing changes, no entry.
  original[3]->ctrl_is_locked = true;
  for (const auto& edit : edits) {
    view->changeSelectionIndexes({1, 3});
    const int index = doc->undoStack()->index();
    edit();
    EXPECT_EQ(doc->graphics(), original);
    EXPECT_EQ(doc->undoStack()->index(), index);
  }
  EXPECT_EQ(messages.messages().size(), 4);
  for (const QString& text : messages.messages()) EXPECT_TRUE(text.endsWith("Selected control is locked."));
}

// The release of a drag can go elsewhere (a message box took the mouse): the
// next move without the button ends the drag instead of leaving it stuck.
TEST_F(CanvasInWindow, AMoveWithoutTheButtonEndsADragWhoseReleaseWasLost) {
  QWidget* w = view;
  bool rescued = false;
  QTimer::singleShot(0, w, [w, &rescued] {
    sendMouse(w, QEvent::MouseMove, {50, 45}, Qt::NoButton, Qt::LeftButton);
    QTimer::singleShot(0, w, [w, &rescued] {
      sendMouse(w, QEvent::MouseMove, {60, 55}, Qt::NoButton, Qt::NoButton);
      QTimer::singleShot(200, w, [w, &rescued] {
        rescued = true;
        sendMouse(w, QEvent::MouseButtonRelease, {60, 55}, Qt::LeftButton, Qt::NoButton);
      });
    });
  });
  sendMouse(w, QEvent::MouseButtonPress, {30, 30}, Qt::LeftButton, Qt::LeftButton);
  EXPECT_FALSE(rescued);
  EXPECT_EQ(a->bounds().topLeft(), QPointF(50, 45));
  EXPECT_EQ(doc->undoStack()->count(), 1);
}

// A picture file that is a named pipe would block the reader for ever.
TEST_F(CanvasInWindow, PictureFromANamedPipeIsRefusedAtOnce) {
  QTemporaryDir dir;
  const QString pipe = dir.filePath(QStringLiteral("picture.png"));
  ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
  EXPECT_FALSE(view->makeNewImageFromContentsOfFile(pipe, {10, 10}));
  EXPECT_EQ(doc->graphics().size(), 1u);
}

// After a deletion nothing is selected: the graphics that slid into the
// deleted ones' indexes are not, so a second Delete removes nothing.
TEST_F(CanvasInWindow, SelectionFollowsItsGraphicsWhenTheListChanges) {
  const SKTGraphicPtr b = shape({70, 10, 10, 10}), c = shape({90, 10, 10, 10});
  doc->insertGraphics({b, c}, {1, 2});
  view->changeSelectionIndexes({0});
  view->delete_();
  EXPECT_TRUE(view->selectionIndexes().empty());
  view->delete_();
  EXPECT_EQ(doc->graphics(), SKTGraphicList({b, c}));
  // A graphic inserted in front shifts the selected one: it stays selected.
  view->changeSelectionIndexes({1});
  doc->insertGraphics({shape({0, 0, 5, 5})}, {0});
  EXPECT_EQ(view->selectionIndexes(), SKTIndexSet({2}));
  EXPECT_EQ(view->selectedGraphics(), SKTGraphicList({c}));
}

// The clipboard may report its own change later (the display server tells the
// program it owns the selection): a paste after that still counts as a paste
// of this canvas's copy and goes to the next placement point.
TEST_F(CanvasInWindow, CopyThenPasteAfterTheEventLoopRanStillCascades) {
  view->changeSelectionIndexes({0});
  const qint64 changes = SKTGraphicView::generalPasteboardChangeCount();
  view->copy();
  ASSERT_TRUE(serveUntil([&] { return SKTGraphicView::generalPasteboardChangeCount() > changes; }));
  QCoreApplication::processEvents();
  view->paste();
  ASSERT_EQ(doc->graphics().size(), 2u);
  EXPECT_EQ(view->pasteCascadeNumber(), 2);
  EXPECT_EQ(doc->graphics()[0]->bounds().topLeft(), QPointF(70, 40));
}
