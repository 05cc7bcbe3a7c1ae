// The main window as a user sees it: the card centred on the backdrop at
// every zoom, an elliptic card showing the backdrop in its corners, and the
// temp side showing the current side's objects over its background.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include "core/globals.h"
#include "mainwindow/SKTWindowController.h"
#include "mainwindow/WindowTestSupport.h"
#include "mainwindow/globals.h"
#include "platform/globals.h"

namespace {

void processEventsFor(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

void saveSnapshot(const QImage& image, const QString& name) {
  if (const char* dir = std::getenv("QUVO_SNAPSHOT_DIR")) {
    QDir().mkpath(QString::fromLocal8Bit(dir));
    image.save(QString::fromLocal8Bit(dir) + "/" + name + ".png");
  }
}

class MainWindowReview : public ::testing::Test {
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

}  // namespace

TEST_F(MainWindowReview, CardStaysCentredAtEveryZoomOfTheTable) {
  SKTWindowController window;
  window.resize(1700, 1000);  // room for the card at 400 % beside the panels
  window.show();
  processEventsFor(50);
  SKTZoomingScrollView* scroll = window.scrollView(CardSide::Front);
  for (double factor : {0.10000000149011612, 0.25, 0.5, 1.0, 2.0, 4.0}) {
    window.setZoomFactor(factor);
    processEventsFor(10);
    const QRect canvas = window.graphicView()->geometry();
    const QRect viewport = scroll->viewport()->rect();
    EXPECT_NEAR(canvas.width(), 243 * factor, 1) << factor;
    // The centred origin is a whole number of card points (half a point of rounding at the zoom).
    const double slack = std::max(1.5, factor * 0.5 + 0.5);
    EXPECT_NEAR(canvas.center().x(), viewport.center().x(), slack) << factor;
    EXPECT_NEAR(canvas.center().y(), viewport.center().y(), slack) << factor;
  }
}

TEST_F(MainWindowReview, EllipticCardShowsTheBackdropInItsCorners) {
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
  processEventsFor(50);
  const QImage shot = window.graphicView()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  // Centre: the hatch background colour (or a dot); the corner: not the card's white or hatch.
  const QRgb centre = shot.pixel(shot.width() / 2 + 3, shot.height() / 2 + 3);
  EXPECT_GT(qRed(centre), 150);
  const QRgb corner = shot.pixel(1, 1);
  EXPECT_NE(corner, qRgb(255, 255, 255));
  EXPECT_NE(corner, qRgb(255, 240, 200));
  saveSnapshot(window.grab().toImage(), "elliptic_card_window");
}

TEST_F(MainWindowReview, TempSideShowsTheCurrentSideObjectsOverItsBackground) {
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
  processEventsFor(50);
  EXPECT_EQ(window.frontBackLabelText(), "TEMP");
  EXPECT_EQ(Card_Front_Or_Back.load(), 1);
  ASSERT_EQ(window.shownView(), window.graphicView_TEMP());
  const QImage temp = window.graphicView_TEMP()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(temp.pixel(50, 40), qRgb(200, 20, 20));    // the back's object
  EXPECT_EQ(temp.pixel(150, 100), qRgb(20, 120, 20));  // over the back's background
  saveSnapshot(window.grab().toImage(), "temp_side_window");
}
