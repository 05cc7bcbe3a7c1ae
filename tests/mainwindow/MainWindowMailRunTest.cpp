// A mail run renders the card from a snapshot on its worker thread while the
// user goes on working in the window: switching sides meanwhile changes
// neither the run's pictures nor is it undone by the run.
#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>
#include <cstdlib>
#include <future>
#include <mutex>
#include <thread>

#include "core/globals.h"
#include "mainwindow/SKTWindowController.h"
#include "platform/Messages.h"
#include "platform/globals.h"
#include "production/SnapshotMailCards.h"
#include "support/EventLoop.h"
#include "support/ScriptedHost.h"

using namespace production;

namespace {

SKTGraphicPtr filledRect(QRectF bounds, QColor fill) {
  auto g = SKTGraphic::makeGraphic(GraphicKind::Shape);
  g->_bounds = bounds;
  g->_fillColor = fill;
  g->_isDrawingStroke = false;
  return g;
}

// JPEG pictures come back within a few steps of the colours drawn.
bool near(QRgb pixel, QColor colour) {
  return std::abs(qRed(pixel) - colour.red()) <= 8 && std::abs(qGreen(pixel) - colour.green()) <= 8 &&
         std::abs(qBlue(pixel) - colour.blue()) <= 8;
}

// Keeps the pictures of every mail as they were when it was sent.
class PictureTransport : public MailTransport {
 public:
  bool send(const MailAccount&, const MailMessage& message) override {
    std::lock_guard lock(mutex);
    for (const QString& path : message.attachments) pictures.push_back(QImage(path));
    return true;
  }
  std::mutex mutex;
  std::vector<QImage> pictures;
};

// Before each side is written, the user turns the window to the other side
// (a queued call served by the GUI thread while the worker waits).
class SwitchingCards : public MailCardSource {
 public:
  SwitchingCards(MailCardSource& cards, SKTWindowController& window) : cards_(cards), window_(window) {}
  int prepareRows(bool series, bool excel) override { return cards_.prepareRows(series, excel); }
  bool writeSide(int side, const QString& path) override {
    platform::runOnGuiThread([this, side] {
      if (side == 1)
        window_.Select_front_side();
      else
        window_.Select_back_side();
    });
    return cards_.writeSide(side, path);
  }
  bool writeRowSide(int row, int side, const QString& path) override {
    return cards_.writeRowSide(row, side, path);
  }
  void restoreFirstRow() override { cards_.restoreFirstRow(); }

 private:
  MailCardSource& cards_;
  SKTWindowController& window_;
};

}  // namespace

TEST(MainWindowMailRun, SwitchingSidesWhileARunRendersChangesNeitherTheRunNorTheUsersSide) {
  testing_support::ScriptedHost messages;
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  Set_Resource_Path(QStringLiteral(QUVO_SOURCE_DIR "/resources"));
  Card_Front_Or_Back = 0;
  SKTWindowController window;
  window.SetDocumentCanvasSize({243, 154});
  window.document()->addInGraphics(CardSide::Front, filledRect({20, 20, 100, 60}, Qt::red));
  window.document()->addInGraphics(CardSide::Back, filledRect({20, 20, 100, 60}, Qt::blue));
  window.Select_front_side();

  SnapshotMailCards snapshot(window.cardSnapshot());
  SwitchingCards cards(snapshot, window);
  PictureTransport transport;
  MailRunRequest request;
  request.from = "me@example.com";
  request.to = "friend@example.org";
  request.cardSide = "BOTH";  // the back is written first, then the front
  request.tempFolder = dir.path();
  auto outcome = std::async(std::launch::async, [&] {
    Send_Mail_Run run(transport, &cards);
    return run.run(request, MailAccount{"me@example.com", "pw", "smtp.example.com", "25", "N"});
  });
  ASSERT_TRUE(testing_support::serveUntil(
      [&] { return outcome.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
      testing_support::kHangGuardMs));
  EXPECT_EQ(outcome.get(), MailRunOutcome::Sent);

  // The run's pictures: each side as it was, whatever side the window showed.
  ASSERT_EQ(transport.pictures.size(), 2u);
  const QImage& back = transport.pictures[0];
  const QImage& front = transport.pictures[1];
  ASSERT_EQ(front.size(), QSize(243, 154));
  EXPECT_TRUE(near(front.pixel(70, 50), Qt::red));
  EXPECT_TRUE(near(back.pixel(70, 50), Qt::blue));
  EXPECT_TRUE(near(front.pixel(200, 120), Qt::white));

  // The side the user chose last (the back, just before the front was
  // written) is still the side the window edits.
  EXPECT_EQ(window.frontBackLabelText(), "Back");
  EXPECT_EQ(Card_Front_Or_Back.load(), 1);
  EXPECT_EQ(window.currentSideView(), window.graphicView_BACK());
  Card_Front_Or_Back = 0;
}
