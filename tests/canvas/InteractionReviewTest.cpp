// Canvas interaction when its surroundings go away mid-drag: the canvas or
// its document destroyed while a drag waits for the mouse in its own event
// loop must neither crash nor leave a half-made graphic or an open undo group.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QClipboard>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <memory>

#include "core/CardHost.h"
#include "core/GraphicArchive.h"
#include "core/SKTDocument.h"
#include "canvas/SKTGraphicView.h"
#include "canvas/SKTGrid.h"
#include "core/globals.h"
#include "support/CanvasInput.h"
#include "support/FakeCardHost.h"
#include "support/ScriptedHost.h"

using namespace testing_support;

class InteractionReview : public ::testing::Test {
 protected:
  testing_support::ScriptedHost messages;
  FakeCardHost host;
  ScopedCardHost install{host};
  std::unique_ptr<SKTDocument> doc = std::make_unique<SKTDocument>();
  QPointer<SKTGraphicView> view = new SKTGraphicView;
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

TEST_F(InteractionReview, CanvasDestroyedDuringAMoveEndsTheDragSafely) {
  pressMoveThen({30, 30}, {50, 45}, [this] { delete view.data(); });
  EXPECT_TRUE(view.isNull());
  // The move made so far stays as one closed undo entry, and undo takes it back.
  EXPECT_EQ(a->bounds().topLeft(), QPointF(40, 35));
  EXPECT_EQ(doc->undoStack()->count(), 1);
  doc->undoStack()->undo();
  EXPECT_EQ(a->bounds().topLeft(), QPointF(20, 20));
}

TEST_F(InteractionReview, CanvasDestroyedDuringACreationLeavesNoGraphic) {
  host.graphicClass = GraphicKind::Shape;
  host.tool = 3;
  pressMoveThen({150, 100}, {190, 130}, [this] { delete view.data(); });
  EXPECT_TRUE(view.isNull());
  ASSERT_EQ(doc->graphics().size(), 1u);
  EXPECT_EQ(doc->graphics()[0], a);
  EXPECT_EQ(doc->undoStack()->count(), 0);
  // Undo registration is on again and no group stays open.
  doc->insertGraphics({shape({0, 0, 5, 5})}, {0});
  EXPECT_EQ(doc->undoStack()->count(), 1);
}

TEST_F(InteractionReview, DocumentDestroyedDuringADragIsSurvived) {
  host.graphicClass = GraphicKind::Shape;
  host.tool = 3;
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

TEST_F(InteractionReview, KeysDuringADragChangeNothing) {
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
TEST_F(InteractionReview, HostileClipboardDataPastesSafelyAndUndoesExactly) {
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
TEST_F(InteractionReview, OneUndoRestoresTheListAfterEachEdit) {
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
TEST_F(InteractionReview, AMoveWithoutTheButtonEndsADragWhoseReleaseWasLost) {
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
TEST_F(InteractionReview, PictureFromANamedPipeIsRefusedAtOnce) {
  QTemporaryDir dir;
  const QString pipe = dir.filePath(QStringLiteral("picture.png"));
  ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
  EXPECT_FALSE(view->makeNewImageFromContentsOfFile(pipe, {10, 10}));
  EXPECT_EQ(doc->graphics().size(), 1u);
}

// After a deletion nothing is selected: the graphics that slid into the
// deleted ones' indexes are not, so a second Delete removes nothing.
TEST_F(InteractionReview, SelectionFollowsItsGraphicsWhenTheListChanges) {
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
TEST_F(InteractionReview, CopyThenPasteAfterTheEventLoopRanStillCascades) {
  view->changeSelectionIndexes({0});
  view->copy();
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < 200) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  view->paste();
  ASSERT_EQ(doc->graphics().size(), 2u);
  EXPECT_EQ(view->pasteCascadeNumber(), 2);
  EXPECT_EQ(doc->graphics()[0]->bounds().topLeft(), QPointF(70, 40));
}
