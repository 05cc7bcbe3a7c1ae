// The main window's canvases: three canvases in zooming scroll views, the side
// switch, zoom (the card centred at every zoom), the card background and its
// shapes, the temp side, the refresh rules, and the file commands while a
// drag on a canvas runs.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <thread>

#include "core/SKTLine.h"
#include "core/SKTText.h"
#include "core/globals.h"
#include "mainwindow/SKTWindowController.h"
#include "mainwindow/WindowTestSupport.h"
#include "mainwindow/globals.h"
#include "platform/globals.h"
#include "support/CanvasInput.h"
#include "support/ScriptedHost.h"

using testing_support::sendMouse;

namespace {

class PaintCounter : public QObject {
 public:
  int paints = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints;
    return false;
  }
};

SKTGraphicPtr shape(const QString& code, QRectF bounds, QColor fill) {
  auto g = SKTGraphic::makeGraphic(GraphicKind::Shape);
  g->Set_Shape_Type(code);
  g->_bounds = bounds;
  g->_fillColor = fill;
  return g;
}

}  // namespace

class MainWindowCanvas : public ::testing::Test {
 protected:
  void SetUp() override {
    // A new design creates the resource folders: a copy keeps them out of the source tree.
    window_test::useSeededResources(dir);
  }
  void TearDown() override {
    Card_Front_Or_Back = 0;
    Card_Shape = 0;
  }
  QTemporaryDir dir;
};

TEST_F(MainWindowCanvas, StartsWithTheCreditCardCanvasOnTheFrontSide) {
  SKTWindowController window;
  EXPECT_EQ(window.windowTitle(), "QUVO Gratulo");
  EXPECT_EQ(Main_App_wnd, &window);
  EXPECT_EQ(SKTWindowController::defaultInstance(), &window);
  EXPECT_EQ(&cardHost(), static_cast<CardHost*>(&window));
  EXPECT_EQ(window.graphicView()->bounds(), QRectF(0, 0, 243, 154));
  EXPECT_EQ(window.graphicView_BACK()->bounds(), QRectF(0, 0, 243, 154));
  EXPECT_EQ(window.graphicView_TEMP()->bounds(), QRectF(0, 0, 243, 154));
  EXPECT_EQ(window.frontCanvasBounds(), QRectF(0, 0, 243, 154));
  EXPECT_EQ(window.frontBackLabelText(), "Front");
  EXPECT_EQ(window.shownView(), window.graphicView());
  EXPECT_EQ(window.zoomFactor(), 1.0);
}

TEST_F(MainWindowCanvas, DefaultInstanceIsGoneWithTheWindow) {
  { SKTWindowController window; }
  EXPECT_EQ(SKTWindowController::defaultInstance(), nullptr);
  EXPECT_EQ(Main_App_wnd, nullptr);
}

TEST_F(MainWindowCanvas, SideSwitchAndTempAssign) {
  SKTWindowController window;
  window.document()->addInGraphics(CardSide::Front, shape("R", {10, 10, 30, 30}, Qt::red));
  window.Select_back_side();
  EXPECT_EQ(Card_Front_Or_Back.load(), 1);
  EXPECT_EQ(window.frontBackLabelText(), "Back");
  EXPECT_EQ(window.shownView(), window.graphicView_BACK());
  window.Select_front_side();
  window.Select_temp_design_side();
  EXPECT_EQ(Card_Front_Or_Back.load(), 0);  // the temp side leaves the current side alone
  EXPECT_EQ(window.frontBackLabelText(), "TEMP");
  window.Temp_Design_Control_Assign();
  ASSERT_EQ(window.document()->graphics_temp().size(), 1u);
  EXPECT_EQ(window.document()->graphics_temp()[0], window.document()->graphics()[0]);  // the same object
}

TEST_F(MainWindowCanvas, ZoomDrivesAllThreeScrollViews) {
  SKTWindowController window;
  window.resize(1000, 800);
  window.show();
  window.setZoomFactor(2.0);
  for (CardSide side : {CardSide::Front, CardSide::Back, CardSide::Temp}) {
    EXPECT_EQ(window.scrollView(side)->factor(), 2.0);
    EXPECT_EQ(window.scrollView(side)->factorPopUpButton()->currentText(), "200%");
  }
  // Choosing in one pop-up zooms every side.
  QComboBox* popup = window.scrollView(CardSide::Back)->factorPopUpButton();
  emit popup->activated(popup->findText("400%"));
  EXPECT_EQ(window.zoomFactor(), 4.0);
  EXPECT_EQ(window.scrollView(CardSide::Front)->factor(), 4.0);
  EXPECT_EQ(window.graphicView()->width(), 243 * 4);
  window.setZoomFactor(0.0);  // ignored
  EXPECT_EQ(window.zoomFactor(), 4.0);
}

TEST_F(MainWindowCanvas, CardCentredOnTheBackdropAtEveryZoom) {
  SKTWindowController window;
  window.resize(1700, 1000);  // room for the card at 400 % beside the panels
  window.show();
  for (double f : {0.10000000149011612, 0.5, 1.0, 2.0, 4.0}) {
    window.setZoomFactor(f);
    SWCenteringClipView* clip = window.scrollView(CardSide::Front)->clipView();
    const QRect g = window.graphicView()->geometry();
    // The centred origin is a whole number of card points: half a point of
    // rounding at the zoom, plus half a pixel.
    const double slack = std::max(2.0, f * 0.5 + 0.5);
    EXPECT_NEAR(g.center().x(), clip->width() / 2.0, slack) << f;
    EXPECT_NEAR(g.center().y(), clip->height() / 2.0, slack) << f;
  }
}

TEST_F(MainWindowCanvas, CardBackgroundFollowsTheCurrentSide) {
  SKTWindowController window;
  window.Front_card_Prop.Card_fill_chk = true;
  window.Front_card_Prop.Card_fill_clr = Qt::blue;
  window.Back_card_Prop.Card_fill_chk = true;
  window.Back_card_Prop.Card_fill_clr = Qt::green;
  QImage front = SKTRenderingView::image_From_Card_Graphics({}, false);
  ASSERT_EQ(front.size(), QSize(243, 154));
  EXPECT_EQ(front.pixel(100, 100), qRgb(0, 0, 255));
  Card_Front_Or_Back = 1;
  QImage back = SKTRenderingView::image_From_Card_Graphics(window.document()->graphics(), false);
  EXPECT_EQ(back.pixel(100, 100), qRgb(0, 255, 0));
  // A worker renders a snapshot context of the back side.
  const SidePaintContext context = window.sidePaintContext(CardSide::Back);
  window.Back_card_Prop.Card_fill_clr = Qt::red;  // later edits do not reach the snapshot
  QImage fromWorker;
  std::thread worker([&] { fromWorker = SKTRenderingView::image_From_Card_Graphics({}, context); });
  worker.join();
  EXPECT_EQ(fromWorker.pixel(100, 100), qRgb(0, 255, 0));
}

TEST_F(MainWindowCanvas, WorkerUsingTheHostBackgroundGetsACopy) {
  SKTWindowController window;
  window.Front_card_Prop.Card_fill_chk = true;
  window.Front_card_Prop.Card_fill_clr = Qt::blue;
  window.Refresh_Canvas();                         // whoever changes page settings asks for a redraw
  window.Front_card_Prop.Card_fill_clr = Qt::red;  // an edit while the worker runs: not seen by it
  QImage fromWorker;
  // The worker blocks on nothing of the GUI thread (this thread waits for it).
  std::thread worker([&] { fromWorker = SKTRenderingView::image_From_Card_Graphics({}, false); });
  worker.join();
  ASSERT_EQ(fromWorker.size(), QSize(243, 154));
  EXPECT_EQ(fromWorker.pixel(100, 100), qRgb(0, 0, 255));
}

TEST_F(MainWindowCanvas, DrawingDoesNotRepaintWithoutEnd) {
  SKTWindowController window;
  window.resize(900, 700);
  window.show();
  for (int i = 0; i < 3; ++i)
    window.document()->addInGraphics(CardSide::Front, shape("S", {20.0 + 40 * i, 30, 35, 35}, Qt::red));
  PaintCounter counter;
  window.graphicView()->installEventFilter(&counter);
  window.graphicView()->repaint();
  testing_support::wait(400);
  EXPECT_GE(counter.paints, 1);
  EXPECT_LE(counter.paints, 3);  // the kinds' refresh requests while drawing schedule nothing
  const int settled = counter.paints;
  window.Refresh_Canvas();  // an ordinary request outside drawing repaints once
  testing_support::wait(200);
  EXPECT_GE(counter.paints, settled + 1);
  EXPECT_LE(counter.paints, settled + 2);
}

TEST_F(MainWindowCanvas, RefreshFromAWorkerDoesNothing) {
  SKTWindowController window;
  window.show();
  testing_support::wait(100);
  PaintCounter counter;
  window.graphicView()->installEventFilter(&counter);
  std::thread worker([&] { window.Refresh_Canvas(); });
  worker.join();
  testing_support::wait(150);
  EXPECT_EQ(counter.paints, 0);
}

TEST_F(MainWindowCanvas, RefreshMarksTheCurrentSideNeverTheTemp) {
  SKTWindowController window;
  window.show();
  window.Select_temp_design_side();
  testing_support::wait(100);
  PaintCounter temp;
  window.graphicView_TEMP()->installEventFilter(&temp);
  window.Refresh_Canvas();
  testing_support::wait(150);
  EXPECT_EQ(temp.paints, 0);
}

TEST_F(MainWindowCanvas, SelectedGraphicNeverOutlivesItsPlaceInTheList) {
  SKTWindowController window;
  window.resize(900, 700);
  window.show();
  SKTGraphicView* view = window.graphicView();
  window.document()->addInGraphics(CardSide::Front, shape("R", {10, 10, 50, 50}, Qt::red));
  window.document()->addInGraphics(CardSide::Front, shape("C", {80, 10, 50, 50}, Qt::blue));
  view->changeSelectionIndexes({0, 1});
  view->grab();  // a full redraw
  // After a full redraw the current graphic is the front-most selected one.
  ASSERT_NE(view->Selected_Graphic(), nullptr);
  EXPECT_EQ(view->Selected_Graphic(), window.document()->graphics()[0]);
  SKTGraphicPtr keep = window.document()->graphics()[0];  // held elsewhere too (an undo entry, say)
  window.document()->removeGraphicAtIndex(CardSide::Front, 0);
  EXPECT_EQ(view->selectionIndexes(), (SKTIndexSet{0}));  // index 1 no longer exists
  // The current graphic is the one left selected, which the tabs show now.
  EXPECT_EQ(view->Selected_Graphic(), window.document()->graphics()[0]);
  EXPECT_TRUE(window.tabsShow(window.document()->graphics()[0].get()));
}

TEST_F(MainWindowCanvas, PlacementPointCascadesAndWraps) {
  SKTWindowController window;
  const QPointF a = window.Control_New_Point("F");
  const QPointF b = window.Control_New_Point("F");
  EXPECT_EQ(b - a, QPointF(20, 20));
  for (int i = 0; i < 20; ++i) {
    const QPointF p = window.Control_New_Point("F");
    EXPECT_LT(p.x() + 50, 243);
    EXPECT_LT(p.y() + 50, 154);
  }
}

// Shows a card with a few shapes, a line and a text; saves the window's picture
// when QUVO_SNAPSHOT_DIR is set (for looking at it).
TEST_F(MainWindowCanvas, WindowShowsACardWithObjects) {
  SKTWindowController window;
  window.resize(1000, 800);
  window.Front_card_Prop.Card_border_chk = true;
  window.Front_card_Prop.Card_bor_Stepper = 3;
  window.Front_card_Prop.Card_border_style = "DDD";
  window.Front_card_Prop.Card_bordr_clr = QColor(30, 60, 160);
  window.Front_card_Prop.Card_fill_chk = true;
  window.Front_card_Prop.Card_fill_style = "G";
  window.Front_card_Prop.Card_fill_Grd_1_clr = QColor(255, 250, 230);
  window.Front_card_Prop.Card_fill_Grd_2_clr = QColor(250, 220, 190);
  window.Front_card_Prop.Card_grad_Stepper = 90;
  Card_Shape = 1;
  SKTDocument* doc = window.document();
  auto star = shape("S", {15, 15, 50, 50}, QColor(240, 200, 40));
  auto oval = shape("C", {75, 20, 60, 40}, QColor(80, 160, 220));
  oval->_fill_type = "H";
  oval->_fill_htch_clr = QColor(200, 230, 255);
  oval->_fill_hatch_type = "Diagonal_Cross";
  auto tri = shape("T", {150, 15, 70, 50}, QColor(120, 200, 120));
  tri->_stroke_border_type = "DA";
  tri->_strokeWidth = 2;
  auto line = std::static_pointer_cast<SKTLine>(SKTGraphic::makeGraphic(GraphicKind::Line));
  line->setBeginPoint({15, 80});
  line->setEndPoint({228, 80});
  line->_strokeWidth = 3;
  line->_strokeColor = QColor(180, 40, 40);
  line->_line_cap_style = 1;
  auto text = std::static_pointer_cast<SKTText>(SKTGraphic::makeGraphic(GraphicKind::Text));
  text->_bounds = {15, 90, 213, 50};
  text->Text_contents()->string = "  happy birthday, anna!  ";
  text->text_transfrom_case = 3;
  text->text_alignmnet = 2;
  text->text_ctrl_font = CardFont{"TimesNewRomanPS-BoldItalicMT", 22};
  text->txt_clr = QColor(60, 30, 90);
  text->_isDrawingFill = false;
  text->_isDrawingStroke = false;
  for (const SKTGraphicPtr& g : SKTGraphicList{star, oval, tri, line, text})
    doc->addInGraphics(CardSide::Front, g);
  window.graphicView()->changeSelectionIndexes({0});
  window.setZoomFactor(2.0);
  window.show();
  testing_support::wait(200);
  const QImage shot = window.grab().toImage();
  const QImage canvas = window.graphicView()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(canvas.size(), QSize(486, 308));
  // The star's centre (40, 40) at 200 %.
  const QRgb c = canvas.pixel(80, 80);
  EXPECT_GT(qRed(c), 220);
  EXPECT_GT(qGreen(c), 180);
  EXPECT_LT(qBlue(c), 80);
  if (const char* dir = std::getenv("QUVO_SNAPSHOT_DIR")) {
    QDir().mkpath(dir);
    shot.save(QString::fromLocal8Bit(dir) + "/main_window.png");
    canvas.save(QString::fromLocal8Bit(dir) + "/front_canvas.png");
  }
}

namespace {

void saveSnapshot(const QImage& image, const QString& name) {
  if (const char* dir = std::getenv("QUVO_SNAPSHOT_DIR")) {
    QDir().mkpath(QString::fromLocal8Bit(dir));
    image.save(QString::fromLocal8Bit(dir) + "/" + name + ".png");
  }
}

}  // namespace

TEST_F(MainWindowCanvas, CardStaysCentredAtEveryZoomOfTheTable) {
  SKTWindowController window;
  window.resize(1700, 1000);  // room for the card at 400 % beside the panels
  window.show();
  testing_support::wait(50);
  SKTZoomingScrollView* scroll = window.scrollView(CardSide::Front);
  for (double factor : {0.10000000149011612, 0.25, 0.5, 1.0, 2.0, 4.0}) {
    window.setZoomFactor(factor);
    testing_support::wait(10);
    const QRect canvas = window.graphicView()->geometry();
    const QRect viewport = scroll->viewport()->rect();
    EXPECT_NEAR(canvas.width(), 243 * factor, 1) << factor;
    // The centred origin is a whole number of card points (half a point of rounding at the zoom).
    const double slack = std::max(1.5, factor * 0.5 + 0.5);
    EXPECT_NEAR(canvas.center().x(), viewport.center().x(), slack) << factor;
    EXPECT_NEAR(canvas.center().y(), viewport.center().y(), slack) << factor;
  }
}

TEST_F(MainWindowCanvas, EllipticCardShowsTheBackdropInItsCorners) {
  SKTWindowController window;
  window.resize(800, 600);
  Card_Shape = 2;
  window.Front_card_Prop.Card_fill_chk = true;
  window.Front_card_Prop.Card_fill_style = "H";
  window.Front_card_Prop.Card_hatch_bk_clr = QColor(255, 240, 200);
  window.Front_card_Prop.Card_hatch_style = "Dots";
  window.Front_card_Prop.Card_border_chk = true;
  window.Front_card_Prop.Card_bor_Stepper = 2;
  window.Front_card_Prop.Card_bordr_clr = QColor(160, 40, 40);
  window.show();
  testing_support::wait(50);
  const QImage shot = window.graphicView()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  // Centre: the hatch background colour (or a dot); the corner: not the card's white or hatch.
  const QRgb centre = shot.pixel(shot.width() / 2 + 3, shot.height() / 2 + 3);
  EXPECT_GT(qRed(centre), 150);
  const QRgb corner = shot.pixel(1, 1);
  EXPECT_NE(corner, qRgb(255, 255, 255));
  EXPECT_NE(corner, qRgb(255, 240, 200));
  saveSnapshot(window.grab().toImage(), "elliptic_card_window");
}

TEST_F(MainWindowCanvas, TempSideShowsTheCurrentSideObjectsOverItsBackground) {
  SKTWindowController window;
  window.resize(800, 600);
  window.Back_card_Prop.Card_fill_chk = true;
  window.Back_card_Prop.Card_fill_clr = QColor(20, 120, 20);
  auto g = SKTGraphic::makeGraphic(GraphicKind::Shape);
  g->_bounds = {20, 20, 60, 40};
  g->_fillColor = QColor(200, 20, 20);
  window.document()->addInGraphics(CardSide::Back, g);
  window.Select_back_side();
  window.Select_temp_design_side();
  window.Temp_Design_Control_Assign();
  window.show();
  testing_support::wait(50);
  EXPECT_EQ(window.frontBackLabelText(), "TEMP");
  EXPECT_EQ(Card_Front_Or_Back.load(), 1);
  ASSERT_EQ(window.shownView(), window.graphicView_TEMP());
  const QImage temp = window.graphicView_TEMP()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(temp.pixel(50, 40), qRgb(200, 20, 20));    // the back's object
  EXPECT_EQ(temp.pixel(150, 100), qRgb(20, 120, 20));  // over the back's background
  saveSnapshot(window.grab().toImage(), "temp_side_window");
}

namespace {

class MainWindowDuringDrag : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    Set_Resource_Path(dir.filePath(QStringLiteral("resources")));
    QDir().mkpath(dir.filePath(QStringLiteral("resources")));
    Card_Front_Or_Back = 0;
    Project_File_Name.clear();
    window = new SKTWindowController;
    window->SetDocumentCanvasSize({300, 200});
    graphic = testing_support::shape({20, 20, 40, 30});
    window->document()->insertGraphic(CardSide::Front, graphic, 0);
    window->document()->undoRecorder().removeAllActions();
    window->show();
    QCoreApplication::processEvents();
  }
  void TearDown() override {
    delete window.data();
    Card_Front_Or_Back = 0;
    Project_File_Name.clear();
  }
  // Presses on the graphic; after one mouse move the action runs inside the
  // drag's event loop, then the mouse is released (when the canvas is still there).
  template <typename Action>
  void dragWith(Action action) {
    QPointer<QWidget> canvas = window->graphicView();
    QTimer::singleShot(0, [canvas, action] {
      sendMouse(canvas, QEvent::MouseMove, {50, 45}, Qt::NoButton, Qt::LeftButton);
      QTimer::singleShot(0, [canvas, action] {
        action();
        if (canvas) sendMouse(canvas, QEvent::MouseButtonRelease, {50, 45}, Qt::LeftButton, Qt::NoButton);
      });
    });
    sendMouse(canvas, QEvent::MouseButtonPress, {30, 30}, Qt::LeftButton, Qt::LeftButton);
  }

  QTemporaryDir dir;
  testing_support::ScriptedHost host;
  QPointer<SKTWindowController> window;
  SKTGraphicPtr graphic;
};

}  // namespace

TEST_F(MainWindowDuringDrag, ClosingTheWindowDuringADragEndsTheDrag) {
  host.queueYesNo(false);
  dragWith([this] { EXPECT_TRUE(window->close()); });
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(graphic->bounds().topLeft(), QPointF(40, 35));
  EXPECT_EQ(window->document()->undoStack()->count(), 1);
}

TEST_F(MainWindowDuringDrag, WindowDestroyedDuringADragIsSurvived) {
  dragWith([this] { delete window.data(); });
  EXPECT_TRUE(window.isNull());
}

TEST_F(MainWindowDuringDrag, OpeningDuringADragKeepsTheUndoHistoryConsistent) {
  const QString file = dir.filePath(QStringLiteral("open.dcard"));
  Project_File_Name = file;
  ASSERT_TRUE(window->Save_project_file(false, false));
  host.queueYesNo(false);
  host.queueOpenPanel({file});
  dragWith([this] { window->Open_Btn_Clicked(); });
  // The design was reset and read by Open; whatever the drag did is not left
  // half in the cleared history: undo and redo stay usable.
  SKTDocument& doc = *window->document();
  ASSERT_EQ(doc.graphics().size(), 1u);
  const SKTGraphicList opened = doc.graphics();
  doc.insertGraphic(CardSide::Front, testing_support::shape({0, 0, 5, 5}), 0);
  EXPECT_TRUE(doc.undoRecorder().canUndo());
  doc.undo();
  EXPECT_EQ(doc.graphics(), opened);
}

// Yes to saving before Open, and the write fails: "fail" is shown with the reason, no open
// panel follows and the design stays as it was.
TEST_F(MainWindowDuringDrag, OpenStopsWhenTheWantedSaveCouldNotBeWritten) {
  Project_File_Name = dir.filePath(QStringLiteral("missing/folder/x.dcard"));
  host.queueYesNo(true);
  window->Open_Btn_Clicked();
  EXPECT_EQ(host.panelsShown(), 0);
  ASSERT_EQ(host.messages().size(), 1);
  EXPECT_EQ(host.messages().front(), "\nfail: \"" + dir.filePath(QStringLiteral("missing/folder/x.dcard")) +
                                         "\": no such file or directory");
  EXPECT_EQ(window->document()->graphics(), SKTGraphicList({graphic}));
  EXPECT_EQ(Project_File_Name, dir.filePath(QStringLiteral("missing/folder/x.dcard")));
}
