// The main window's file commands while a drag on a canvas runs: closing,
// destroying the window and opening a design mid-drag neither hang nor crash
// nor leave the undo history inconsistent.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>

#include "core/globals.h"
#include "mainwindow/SKTWindowController.h"
#include "mainwindow/globals.h"
#include "platform/globals.h"
#include "support/ScriptedHost.h"

namespace {

void sendMouse(QWidget* w, QEvent::Type type, QPointF p, Qt::MouseButton button, Qt::MouseButtons buttons) {
  QMouseEvent e(type, p, w->mapToGlobal(p), button, buttons, Qt::NoModifier);
  QCoreApplication::sendEvent(w, &e);
}

SKTGraphicPtr shape(QRectF bounds) {
  auto g = SKTGraphic::makeGraphic(GraphicKind::Shape);
  g->_bounds = bounds;
  return g;
}

}  // namespace

class WiringReview : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    Set_Resource_Path(dir.filePath(QStringLiteral("resources")));
    QDir().mkpath(dir.filePath(QStringLiteral("resources")));
    Card_Front_Or_Back = 0;
    Project_File_Name.clear();
    window = new SKTWindowController;
    window->SetDocumentCanvasSize({300, 200});
    graphic = shape({20, 20, 40, 30});
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

TEST_F(WiringReview, ClosingTheWindowDuringADragEndsTheDrag) {
  host.queueYesNo(false);
  dragWith([this] { EXPECT_TRUE(window->close()); });
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(graphic->bounds().topLeft(), QPointF(40, 35));
  EXPECT_EQ(window->document()->undoStack()->count(), 1);
}

TEST_F(WiringReview, WindowDestroyedDuringADragIsSurvived) {
  dragWith([this] { delete window.data(); });
  EXPECT_TRUE(window.isNull());
}

TEST_F(WiringReview, OpeningDuringADragKeepsTheUndoHistoryConsistent) {
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
  doc.insertGraphic(CardSide::Front, shape({0, 0, 5, 5}), 0);
  EXPECT_TRUE(doc.undoRecorder().canUndo());
  doc.undo();
  EXPECT_EQ(doc.graphics(), opened);
}

// Yes to saving before Open, and the write fails: "fail" is shown, no open
// panel follows and the design stays as it was.
TEST_F(WiringReview, OpenStopsWhenTheWantedSaveCouldNotBeWritten) {
  Project_File_Name = dir.filePath(QStringLiteral("missing/folder/x.dcard"));
  host.queueYesNo(true);
  window->Open_Btn_Clicked();
  EXPECT_EQ(host.panelsShown(), 0);
  ASSERT_EQ(host.messages().size(), 1);
  EXPECT_TRUE(host.messages().front().endsWith(QStringLiteral("fail")));
  EXPECT_EQ(window->document()->graphics(), SKTGraphicList({graphic}));
  EXPECT_EQ(Project_File_Name, dir.filePath(QStringLiteral("missing/folder/x.dcard")));
}
