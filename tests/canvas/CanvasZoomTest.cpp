// The zooming scroll view: centring, clamping, the zoom table and the pop-up.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QScrollBar>

#include "canvas/SKTZoomingScrollView.h"
#include "canvas/ZoomGeometry.h"

namespace {

class FixedDocument : public QWidget, public ZoomableDocument {
 public:
  explicit FixedDocument(QSizeF size) : size_(size) {}
  QSizeF documentSize() const override { return size_; }
  void setDisplayFactor(double f) override { factor = f; }
  void resizeDocument(QSizeF s) {
    size_ = s;
    if (onFrameChanged) onFrameChanged();
  }
  double factor = 0;

 private:
  QSizeF size_;
};

}  // namespace

TEST(CanvasZoom, CentresASmallCanvasAndClampsALargeOne) {
  const QSizeF doc(600, 400);
  // 100 %: 800 x 700 visible, canvas centred at (-100, -150).
  EXPECT_EQ(zoom::centerDocument({0, 0}, doc, zoom::visibleSizeForFactor({800, 700}, 1.0)),
            QPointF(-100, -150));
  // 200 %: 400 x 350 points visible; scrolling clamps to 0..200 and 0..50.
  const QSizeF v2 = zoom::visibleSizeForFactor({800, 700}, 2.0);
  EXPECT_EQ(v2, QSizeF(400, 350));
  EXPECT_EQ(zoom::constrainScrollPoint({500, 500}, doc, v2), QPointF(200, 50));
  EXPECT_EQ(zoom::constrainScrollPoint({-30, -1}, doc, v2), QPointF(0, 0));
  EXPECT_EQ(zoom::constrainScrollPoint({120.4, 20.6}, doc, v2), QPointF(120, 21));
}

TEST(CanvasZoom, SmallAxisIgnoresScrollRequestsAndHalvesRoundAway) {
  // Width fits (ignored proposal), height scrolls.
  EXPECT_EQ(zoom::constrainScrollPoint({40, 30}, {100, 400}, {300, 200}), QPointF(-100, 30));
  // Difference -101 centres at round(-50.5) = -51.
  EXPECT_EQ(zoom::constrainScrollPoint({0, 0}, {100, 100}, {201, 100}).x(), -51);
  EXPECT_EQ(zoom::roundHalfAway(2.5), 3);
  EXPECT_EQ(zoom::roundHalfAway(-2.5), -3);
}

TEST(CanvasZoom, ZoomTableHasElevenEntries) {
  ASSERT_EQ(zoom::kZoomTable.size(), 11u);
  EXPECT_STREQ(zoom::kZoomTable[0].label, "10%");
  EXPECT_EQ(zoom::kZoomTable[0].factor, 0.10000000149011612);
  EXPECT_STREQ(zoom::kZoomTable[10].label, "1600%");
  EXPECT_EQ(zoom::kZoomTable[10].factor, 16.0);
  EXPECT_EQ(zoom::kZoomTable[4].factor, 1.0);
}

TEST(CanvasZoom, ScrollViewKeepsTheCardCentredAtEveryZoom) {
  SKTZoomingScrollView view;
  auto* doc = new FixedDocument(QSizeF(243, 154));
  view.setDocumentView(doc, doc);
  view.resize(820, 720);
  view.show();
  auto* clip = view.clipView();
  ASSERT_GT(clip->width(), 300);
  for (const auto& entry : zoom::kZoomTable) {
    view.setFactor(entry.factor);
    EXPECT_EQ(doc->factor, entry.factor);
    const QSizeF visible = clip->boundsSize();
    if (visible.width() > 243) {
      // The card's centre sits at the clip view's centre (within a pixel of rounding).
      const QRect g = doc->geometry();
      EXPECT_NEAR(g.center().x(), clip->width() / 2.0, 1.5 + entry.factor) << entry.label;
      EXPECT_NEAR(g.width(), 243 * entry.factor, 1.0) << entry.label;
    } else {
      EXPECT_GE(clip->boundsOrigin().x(), 0) << entry.label;
      EXPECT_LE(clip->boundsOrigin().x(), 243 - visible.width() + 0.5) << entry.label;
      EXPECT_GT(view.horizontalScrollBar()->maximum(), 0) << entry.label;
    }
  }
}

TEST(CanvasZoom, ScrollBarMovesTheCardAndStopsAtTheEdge) {
  SKTZoomingScrollView view;
  auto* doc = new FixedDocument(QSizeF(243, 154));
  view.setDocumentView(doc, doc);
  view.resize(500, 400);
  view.show();
  view.setFactor(8.0);
  QScrollBar* h = view.horizontalScrollBar();
  h->setValue(h->maximum());
  const QSizeF visible = view.clipView()->boundsSize();
  EXPECT_NEAR(view.clipView()->boundsOrigin().x(), 243 - visible.width(), 1.0);
  // The card's right edge is at the clip view's right edge.
  EXPECT_NEAR(doc->geometry().right() + 1, view.clipView()->width(), 8.5);
  h->setValue(0);
  EXPECT_EQ(view.clipView()->boundsOrigin().x(), 0);
  EXPECT_EQ(doc->geometry().left(), 0);
}

TEST(CanvasZoom, PopUpChoiceIsReportedAndFollowsTheFactor) {
  SKTZoomingScrollView view;
  QComboBox* popup = view.factorPopUpButton();
  ASSERT_NE(popup, nullptr);
  ASSERT_EQ(popup->count(), 11);
  EXPECT_EQ(popup->itemText(0), "10%");
  EXPECT_EQ(popup->currentText(), "100%");
  double chosen = 0;
  QObject::connect(&view, &SKTZoomingScrollView::factorChosen, [&](double f) { chosen = f; });
  emit popup->activated(7);
  EXPECT_EQ(chosen, 2.0);
  view.setFactor(4.0);
  EXPECT_EQ(popup->currentText(), "400%");
}

TEST(CanvasZoom, DocumentResizeRecentres) {
  SKTZoomingScrollView view;
  auto* doc = new FixedDocument(QSizeF(243, 154));
  view.setDocumentView(doc, doc);
  view.resize(820, 720);
  view.show();
  doc->resizeDocument(QSizeF(400, 300));
  EXPECT_NEAR(doc->geometry().center().x(), view.clipView()->width() / 2.0, 1.5);
  EXPECT_EQ(doc->geometry().width(), 400);
}

TEST(CanvasZoom, SilhouetteFollowsTheCardOutline) {
  int shape = 0;
  SKTZoomingScrollView view;
  view.clipView()->setCardShapeProvider([&] { return shape; });
  auto* doc = new FixedDocument(QSizeF(200, 100));
  doc->setAttribute(Qt::WA_DontShowOnScreen);
  view.setDocumentView(doc, doc);
  view.resize(600, 400);
  view.show();
  doc->hide();  // look at the silhouette the canvas would cover
  const QRect card = doc->geometry();
  auto cornerIsSilhouette = [&] {
    const QImage img = view.clipView()->grab().toImage();
    const QColor corner = img.pixelColor(card.left() + 2, card.top() + 2);
    const QColor middle = img.pixelColor(card.center());
    return corner == middle;
  };
  EXPECT_TRUE(cornerIsSilhouette());  // rectangle: the corner is part of it
  shape = 2;                          // ellipse: the corner shows the backdrop
  EXPECT_FALSE(cornerIsSilhouette());
  shape = 1;  // rounded rectangle (radius 10)
  EXPECT_FALSE(cornerIsSilhouette());
  // The shadow falls below and to the right of the card, darker than the backdrop far away.
  const QImage img = view.clipView()->grab().toImage();
  EXPECT_LT(qGray(img.pixel(card.center().x(), card.bottom() + 4)),
            qGray(img.pixel(card.center().x(), card.bottom() + 60)));
}
