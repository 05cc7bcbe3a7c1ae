// The card object model: new values, handles, resizing with flips, drawing
// bounds, square size, colour getters, paste placement, key-value
// notification and deep copies.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <stdexcept>

#include "core/Card_Property.h"
#include "core/GraphicArchive.h"
#include "core/PictureFile.h"
#include "core/SKTBarcode.h"
#include "core/SKTDocument.h"
#include "core/SKTGraphic.h"
#include "core/SKTImage.h"
#include "core/SKTLine.h"
#include "core/SKTSignature.h"
#include "core/SKTText.h"
#include "core/Shape_Control.h"
#include "core/globals.h"
#include "platform/KeyedArchive.h"
#include "platform/PropertyList.h"
#include "support/FakeCardHost.h"

namespace {

class GraphicModel : public ::testing::Test {
 protected:
  testing_support::FakeCardHost host{testing_support::FakeCardHost::Preset::ModelWindow};
  ScopedCardHost installed{host};
};

// Counts flips so that resize tests can check them.
class FlipCountingGraphic : public SKTGraphic {
 public:
  int horizontalFlips = 0;
  int verticalFlips = 0;
  void flipHorizontally() override { ++horizontalFlips; }
  void flipVertically() override { ++verticalFlips; }
};

struct Notice {
  QString key;
  QVariant oldValue, newValue;
};

class RecordingObserver : public SKTGraphicObserver {
 public:
  std::vector<Notice> notices;
  void observeValueForKey(SKTGraphic&, const QString& key, const QVariant& oldValue, const QVariant& newValue,
                          int) override {
    notices.push_back({key, oldValue, newValue});
  }
  QStringList keys() const {
    QStringList k;
    for (const auto& n : notices) k << n.key;
    return k;
  }
};

TEST_F(GraphicModel, NewGraphicHoldsTheNewValues) {
  Shape_Control g;
  EXPECT_EQ(g.bounds(), QRectF(0, 0, 0, 0));
  EXPECT_TRUE(g.isDrawingFill());
  EXPECT_EQ(g._fillColor, QColor(Qt::white));
  EXPECT_TRUE(g.isDrawingStroke());
  EXPECT_EQ(g._strokeColor, QColor(Qt::black));
  EXPECT_DOUBLE_EQ(g.strokeWidth(), 1.0);
  EXPECT_EQ(g.Text_Value, "Text here");
  EXPECT_EQ(g.Get_shape_type(), "R");
  EXPECT_EQ(g.FilePath(), host.resourcePath + "/no.png");
  EXPECT_TRUE(g.ctrl_is_visible);
  EXPECT_FALSE(g.Is_Control_Locked());
  EXPECT_EQ(g.print_object, 0);
  EXPECT_EQ(g.text_ctrl_font, host.textFont);
  EXPECT_EQ(g.txt_clr, host.textColor);
  EXPECT_FLOAT_EQ(g.img_trnsp_val, 100.0f);
  EXPECT_FLOAT_EQ(g.alpha_val, 100.0f);
  EXPECT_FLOAT_EQ(g.cor_rad_val_val, 10.0f);
  EXPECT_EQ(g.sign_or_fingureprint, "S");
  EXPECT_EQ(g.linear_font_val, "0123");
  EXPECT_EQ(g.header_val, "HEADER");
  EXPECT_EQ(g.align_hdr_index, 1);
  EXPECT_FLOAT_EQ(g.linear_height_val, 0.6f);
  EXPECT_EQ(g.qr_size_val, 60);
  EXPECT_EQ(g.pdf_ec_val, 2);
  EXPECT_EQ(g.dm_module_val, 2);
  EXPECT_EQ(g.value_font_val, (CardFont{"Times New Roman", 10.0}));
  EXPECT_EQ(g.barcode_back_clr_val, QColor(Qt::white));
  EXPECT_EQ(g.dpi_custom_val, "0");
  EXPECT_EQ(g.barcode_unit_val, 1);
  EXPECT_EQ(g.double_star_type, 1);
  EXPECT_EQ(g.polygon_type, 1);
  EXPECT_EQ(g._Text_contents, nullptr);
  EXPECT_EQ(g.scriptingContainer(), nullptr);
}

TEST_F(GraphicModel, TextStorageIsMadeOnFirstUse) {
  SKTText t;
  t.Text_Value = "Hello";
  const SKTTextStoragePtr storage = t.Text_contents();
  ASSERT_TRUE(storage);
  EXPECT_EQ(storage->string, "Hello");
  EXPECT_EQ(storage->font, (CardFont{"TimesNewRomanPS-ItalicMT", 14.0}));
  EXPECT_EQ(storage->foregroundColor, QColor(Qt::black));
  EXPECT_EQ(t.Text_contents(), storage);
}

TEST_F(GraphicModel, HandlesAreFoundByTheirHalfOpenSquares) {
  SKTGraphic g;
  g._bounds = QRectF(10, 10, 100, 50);
  EXPECT_EQ(g.handleUnderPoint(QPointF(10, 10)), 1);
  EXPECT_EQ(g.handleUnderPoint(QPointF(60, 10)), 2);
  EXPECT_EQ(g.handleUnderPoint(QPointF(110, 60)), 8);
  EXPECT_EQ(g.handleUnderPoint(QPointF(10, 35)), 4);
  // Left and top edges belong to the square, right and bottom ones do not.
  EXPECT_EQ(g.handleUnderPoint(QPointF(7.0, 10)), 1);
  EXPECT_EQ(g.handleUnderPoint(QPointF(13.0, 10)), 0);
  EXPECT_EQ(g.handleUnderPoint(QPointF(10, 13.0)), 0);
  EXPECT_EQ(g.handleUnderPoint(QPointF(60, 40)), 0);
  // Handles 1 and 2 overlap on a graphic 4 points wide: 1 wins.
  g._bounds = QRectF(0, 0, 4, 40);
  EXPECT_EQ(g.handleUnderPoint(QPointF(1, 0)), 1);
  g.ctrl_is_locked = true;
  EXPECT_EQ(g.handleUnderPoint(QPointF(1, 0)), 1);
}

TEST_F(GraphicModel, ResizingFlipsPastTheOppositeEdge) {
  FlipCountingGraphic g;
  g._bounds = QRectF(10, 10, 100, 50);
  EXPECT_EQ(g.resizeByMovingHandle(8, QPointF(0, 80)), 6);
  EXPECT_EQ(g.bounds(), QRectF(0, 10, 10, 70));
  EXPECT_EQ(g.horizontalFlips, 1);
  EXPECT_EQ(g.verticalFlips, 0);

  FlipCountingGraphic v;
  v._bounds = QRectF(10, 10, 100, 50);
  EXPECT_EQ(v.resizeByMovingHandle(2, QPointF(50, 100)), 7);
  EXPECT_EQ(v.bounds(), QRectF(10, 60, 100, 40));
  EXPECT_EQ(v.verticalFlips, 1);
  EXPECT_EQ(v.horizontalFlips, 0);

  FlipCountingGraphic z;
  z._bounds = QRectF(10, 10, 100, 50);
  EXPECT_EQ(z.resizeByMovingHandle(1, QPointF(110, 60)), 1);
  EXPECT_EQ(z.bounds(), QRectF(110, 60, 0, 0));
  EXPECT_EQ(z.horizontalFlips + z.verticalFlips, 0);

  // Both at once: handle 1 dragged past the lower right corner becomes 8.
  FlipCountingGraphic both;
  both._bounds = QRectF(10, 10, 100, 50);
  EXPECT_EQ(both.resizeByMovingHandle(1, QPointF(130, 80)), 8);
  EXPECT_EQ(both.bounds(), QRectF(110, 60, 20, 20));
  // An unknown handle code changes nothing.
  FlipCountingGraphic none;
  none._bounds = QRectF(10, 10, 100, 50);
  EXPECT_EQ(none.resizeByMovingHandle(42, QPointF(0, 0)), 0);
  EXPECT_EQ(none.bounds(), QRectF(10, 10, 100, 50));
}

TEST_F(GraphicModel, PictureFlipsToggleItsFlags) {
  SKTImage image;
  image._bounds = QRectF(10, 10, 100, 50);
  image.resizeByMovingHandle(8, QPointF(0, 0));
  EXPECT_TRUE(image.isFlippedHorizontally());
  EXPECT_TRUE(image.isFlippedVertically());
  image.flipHorizontally();
  EXPECT_FALSE(image.isFlippedHorizontally());
}

TEST_F(GraphicModel, DrawingBoundsOutsetByHandleOrHalfStroke) {
  SKTGraphic g;
  g._bounds = QRectF(0, 0, 10, 10);
  g._strokeWidth = 10;
  EXPECT_EQ(g.drawingBounds(), QRectF(-5, -5, 21, 21));
  g._isDrawingStroke = false;
  EXPECT_EQ(g.drawingBounds(), QRectF(-3, -3, 17, 17));
  // Kinds that never stroke use the handle outset whatever the width (a
  // barcode's picture lies within its frame here).
  SKTBarcode b;
  b._bounds = QRectF(0, 0, 10, 10);
  b._strokeWidth = 10;
  b.Set_Barcode_image(QImage(8, 8, QImage::Format_ARGB32));
  EXPECT_EQ(b.drawingBounds(), QRectF(-3, -3, 17, 17));
  SKTText t;
  t._bounds = QRectF(0, 0, 10, 10);
  EXPECT_EQ(t.drawingBounds(), QRectF(-3, -3, 17, 17));
}

TEST_F(GraphicModel, NaturalSizeMakesSquare) {
  SKTGraphic g;
  g._bounds = QRectF(5, 5, 30, 20);
  EXPECT_TRUE(g.canMakeNaturalSize());
  g.makeNaturalSize();
  EXPECT_EQ(g.bounds(), QRectF(5, 5, 20, 20));
  EXPECT_FALSE(g.canMakeNaturalSize());
  g._bounds = QRectF(5, 5, 20, 40);
  g.makeNaturalSize();
  EXPECT_EQ(g.bounds(), QRectF(5, 5, 20, 20));

  SKTImage image;
  image._contents = QImage(40, 30, QImage::Format_ARGB32);
  image._bounds = QRectF(1, 2, 5, 5);
  image.setFlippedHorizontally(true);
  image.makeNaturalSize();
  EXPECT_EQ(image.bounds(), QRectF(1, 2, 40, 30));
  EXPECT_FALSE(image.isFlippedHorizontally());
  image.ctrl_is_locked = true;
  image._bounds = QRectF(1, 2, 5, 5);
  image.makeNaturalSize();
  EXPECT_EQ(image.bounds(), QRectF(1, 2, 5, 5));
  SKTLine line;
  line._bounds = QRectF(0, 0, 10, 20);
  EXPECT_FALSE(line.canMakeNaturalSize());
}

TEST_F(GraphicModel, ColourGettersApplyTheOpacityAndKeepIt) {
  SKTGraphic g;
  g._fillColor = QColor(200, 100, 50);
  EXPECT_EQ(g.fillColor().alpha(), 255);  // 100.0 means opaque
  g.alpha_val = 0.5f;
  const QColor half = g.fillColor();
  EXPECT_NEAR(half.alphaF(), 0.5, 0.001);
  EXPECT_EQ(half.red(), 200);
  EXPECT_NEAR(g._fillColor.alphaF(), 0.5, 0.001);  // stored back
  g._strokeColor = QColor(1, 2, 3);
  g.alpha_val_stroke = 0.25f;
  EXPECT_NEAR(g.strokeColor().alphaF(), 0.25, 0.001);
  EXPECT_NEAR(g.fill_Grad_clr1().alphaF(), 0.5, 0.001);
  EXPECT_NEAR(g.fill_Grad_clr2().alphaF(), 0.5, 0.001);
  EXPECT_NEAR(g.fill_hatch_bk_clr().alphaF(), 0.5, 0.001);
  g.alpha_val = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(g.fillColor().alpha(), 255);
  g.alpha_val = -3.0f;
  EXPECT_EQ(g.fillColor().alpha(), 0);
}

TEST_F(GraphicModel, PastePlacementSkipsLockedButStillAdvances) {
  SKTGraphicList list;
  for (int i = 0; i < 3; ++i) {
    auto g = std::make_shared<Shape_Control>();
    g->_bounds = QRectF(500, 500, 20 + i, 30 + i);
    list.push_back(g);
  }
  list[1]->ctrl_is_locked = true;
  SKTGraphic::Paste_Location_Of_Graphics(list, 5, 6, "B");
  EXPECT_EQ(list[0]->bounds(), QRectF(5, 6, 20, 30));
  EXPECT_EQ(list[1]->bounds(), QRectF(500, 500, 21, 31));
  EXPECT_EQ(list[2]->bounds(), QRectF(110, 110, 22, 32));  // the second point obtained
  EXPECT_EQ(host.placementSides, QStringList({"B", "B"}));
  SKTGraphic::Paste_Location_Of_Graphics({}, 5, 6, "F");
  EXPECT_EQ(host.placementSides.size(), 2);
}

TEST_F(GraphicModel, ListOperations) {
  EXPECT_EQ(SKTGraphic::boundsOfGraphics({}), QRectF());
  EXPECT_EQ(SKTGraphic::drawingBoundsOfGraphics({}), host.canvasBounds);
  auto a = std::make_shared<Shape_Control>();
  auto b = std::make_shared<SKTLine>();
  a->_bounds = QRectF(0, 0, 10, 10);
  b->_bounds = QRectF(20, 5, 10, 0);  // a horizontal line still counts
  EXPECT_EQ(SKTGraphic::boundsOfGraphics({a, b}), QRectF(0, 0, 30, 10));
  b->ctrl_is_locked = true;
  SKTGraphic::translateGraphics({a, b}, 3, 4);
  EXPECT_EQ(a->bounds(), QRectF(3, 4, 10, 10));
  EXPECT_EQ(b->bounds(), QRectF(20, 5, 10, 0));
}

TEST_F(GraphicModel, KeyValueSettingNotifiesTheKeyAndItsDependents) {
  Shape_Control g;
  RecordingObserver observer;
  for (const QString& key : {SKTKeys::bounds, SKTKeys::width, SKTKeys::drawingBounds, SKTKeys::fillColor,
                             SKTKeys::drawingContents, SKTKeys::strokeWidth})
    g.addObserver(&observer, key, 7);
  g.setValueForKey(SKTKeys::width, 42.0);
  ASSERT_EQ(observer.keys(), QStringList({"bounds", "width", "drawingBounds"}));
  EXPECT_EQ(observer.notices[0].oldValue.toRectF(), QRectF());
  EXPECT_EQ(observer.notices[0].newValue.toRectF(), QRectF(0, 0, 42, 0));
  EXPECT_EQ(observer.notices[1].newValue.toDouble(), 42.0);
  observer.notices.clear();
  g.setValueForKey(SKTKeys::fillColor, QColor(Qt::red));
  EXPECT_EQ(observer.keys(), QStringList({"fillColor", "drawingContents"}));
  EXPECT_EQ(observer.notices[0].newValue.value<QColor>(), QColor(Qt::red));
  observer.notices.clear();
  g.setValueForKey(SKTKeys::strokeWidth, 4.0);
  EXPECT_EQ(observer.keys(), QStringList({"strokeWidth", "drawingBounds"}));
  // Direct field writes notify nobody.
  observer.notices.clear();
  g._strokeWidth = 9;
  g.Set_Ctrl_Is_Visible(false);
  EXPECT_TRUE(observer.notices.empty());
  g.removeObserver(&observer, SKTKeys::fillColor, 7);
  g.setValueForKey(SKTKeys::fillColor, QColor(Qt::blue));
  EXPECT_EQ(observer.keys(), QStringList({"drawingContents"}));
  EXPECT_THROW(g.setValueForKey("noSuchKey", 1), std::invalid_argument);
}

TEST_F(GraphicModel, SetColorTurnsFillOnWhereAFillCanBeSet) {
  Shape_Control shape;
  shape._isDrawingFill = false;
  shape.setColor(Qt::green);
  EXPECT_TRUE(shape.isDrawingFill());
  EXPECT_EQ(shape._fillColor.rgb(), QColor(Qt::green).rgb());
  SKTImage image;
  image.setColor(Qt::green);
  EXPECT_EQ(image._fillColor, QColor(Qt::white));
  SKTLine line;
  line.setColor(Qt::green);
  EXPECT_EQ(line._strokeColor.rgb(), QColor(Qt::green).rgb());
}

TEST_F(GraphicModel, BaseWithoutOutlineRaises) {
  SKTGraphic g;
  try {
    g.bezierPathForDrawing();
    FAIL() << "expected an exception";
  } catch (const std::logic_error& e) {
    EXPECT_STREQ(e.what(), "Neither -drawContentsInView: nor -bezierPathForDrawing has been overridden.");
  }
}

TEST_F(GraphicModel, LineGeometry) {
  SKTLine line;
  EXPECT_EQ(line.creationSizingHandle(), 2);
  line.setBeginPoint(QPointF(10, 10));
  line.setEndPoint(QPointF(110, 60));
  EXPECT_EQ(line.bounds(), QRectF(10, 10, 100, 50));
  EXPECT_TRUE(line._pointsRight);
  EXPECT_TRUE(line._pointsDown);
  EXPECT_EQ(line.beginPoint(), QPointF(10, 10));
  EXPECT_EQ(line.endPoint(), QPointF(110, 60));
  line.setBeginPoint(QPointF(110, 10));
  line.setEndPoint(QPointF(10, 60));
  EXPECT_FALSE(line._pointsRight);
  EXPECT_EQ(line.beginPoint(), QPointF(110, 10));
  // Dragging the begin handle past the end turns the line round.
  EXPECT_EQ(line.resizeByMovingHandle(1, QPointF(0, 70)), 1);
  EXPECT_EQ(line.beginPoint(), QPointF(0, 70));
  EXPECT_EQ(line.endPoint(), QPointF(10, 60));
  EXPECT_EQ(line.handleUnderPoint(QPointF(0, 70)), 1);
  // Horizontal line of width 1: hit up to 2.5 above or below.
  SKTLine flat;
  flat.setBeginPoint(QPointF(0, 50));
  flat.setEndPoint(QPointF(100, 50));
  EXPECT_TRUE(flat.isContentsUnderPoint(QPointF(50, 52.5)));
  EXPECT_TRUE(flat.isContentsUnderPoint(QPointF(50, 47.5)));
  EXPECT_FALSE(flat.isContentsUnderPoint(QPointF(50, 52.6)));
  SKTLine upright;
  upright.setBeginPoint(QPointF(50, 0));
  upright.setEndPoint(QPointF(50, 100));
  EXPECT_TRUE(upright.isContentsUnderPoint(QPointF(52.5, 50)));
  EXPECT_FALSE(upright.isContentsUnderPoint(QPointF(52.6, 50)));
  // A short line: the begin handle wins where both overlap.
  SKTLine tiny;
  tiny.setBeginPoint(QPointF(0, 0));
  tiny.setEndPoint(QPointF(2, 2));
  EXPECT_EQ(tiny.handleUnderPoint(QPointF(1, 1)), 1);
  EXPECT_FALSE(tiny.keysForValuesToObserveForUndo().contains("bounds"));
  EXPECT_TRUE(tiny.keysForValuesToObserveForUndo().contains("beginPoint"));
}

TEST_F(GraphicModel, CopyTakesOnlyGeometryFillAndStroke) {
  SKTLine line;
  line.setBeginPoint(QPointF(100, 0));
  line.setEndPoint(QPointF(0, 50));
  line._fill_hatch_type = "dots";
  line.control_ID = "PARTY_TITLE";
  line.alpha_val = 0.3f;
  const SKTGraphicPtr copy = line.copyWithZone();
  ASSERT_EQ(copy->kind(), GraphicKind::Line);
  const auto& c = static_cast<const SKTLine&>(*copy);
  EXPECT_EQ(c.bounds(), line.bounds());
  EXPECT_EQ(c._fill_hatch_type, "dots");
  EXPECT_EQ(c.control_ID, "");
  EXPECT_FLOAT_EQ(c.alpha_val, 100.0f);
  EXPECT_EQ(c.beginPoint(), line.beginPoint());
}

TEST_F(GraphicModel, CloneIsDeepAndUnobserved) {
  SKTText text;
  text.Text_Value = "Dear Ann";
  text._bounds = QRectF(1, 2, 3, 4);
  text.control_ID = "Fup_Name";
  text.hue_val = 0.25f;
  text.qr_ec_index = 3;
  text.contents();
  text.contents();  // now shares the base storage
  RecordingObserver observer;
  text.addObserver(&observer, SKTKeys::bounds, 0);
  const SKTGraphicPtr copy = text.clone();
  ASSERT_EQ(copy->kind(), GraphicKind::Text);
  auto& c = static_cast<SKTText&>(*copy);
  EXPECT_EQ(c.bounds(), text.bounds());
  EXPECT_EQ(c.control_ID, "Fup_Name");
  EXPECT_FLOAT_EQ(c.hue_val, 0.25f);
  EXPECT_EQ(c.qr_ec_index, 3);
  ASSERT_TRUE(c._Text_contents);
  EXPECT_NE(c._Text_contents, text._Text_contents);
  EXPECT_EQ(c.contents_val, c._Text_contents);
  c._Text_contents->string = "changed";
  EXPECT_EQ(text._Text_contents->string, "Dear Ann");
  EXPECT_FALSE(c.hasObservers());
  c.setBounds(QRectF(0, 0, 1, 1));
  EXPECT_TRUE(observer.notices.empty());

  SKTBarcode barcode;
  barcode._barcode_image = QImage(8, 8, QImage::Format_RGB32);
  barcode.barcode_clr_val = Qt::blue;
  auto barcodeCopy = barcode.clone();
  EXPECT_EQ(barcodeCopy->kind(), GraphicKind::Barcode);
  EXPECT_EQ(barcodeCopy->barcode_clr_val, QColor(Qt::blue));
  EXPECT_EQ(barcodeCopy->_barcode_image.size(), QSize(8, 8));
}

TEST_F(GraphicModel, KindsAnswerTheirCapabilities) {
  SKTImage image;
  EXPECT_FALSE(image.isDrawingFill());
  EXPECT_FALSE(image.canSetDrawingFill());
  EXPECT_TRUE(image.keysForValuesToObserveForUndo().contains("flippedHorizontally"));
  EXPECT_EQ(image.presentablePropertyNameForKey("flippedVertically").value(), "Vertical Flipping");
  SKTLine line;
  line._isDrawingStroke = false;
  EXPECT_TRUE(line.isDrawingStroke());
  EXPECT_FALSE(line.isDrawingFill());
  SKTText text;
  EXPECT_FALSE(text.canSetDrawingStroke());
  EXPECT_TRUE(text.canSetDrawingFill());
  SKTBarcode barcode;
  EXPECT_FALSE(barcode.isDrawingStroke());
  EXPECT_EQ(barcode.className(), "SKTBarcode");
  EXPECT_EQ(Shape_Control().className(), "Shape_Control");
  EXPECT_EQ(graphicKindForClassName("SKTGraphic"), std::nullopt);
  EXPECT_EQ(graphicKindForClassName("SKTSignature"), GraphicKind::Signature);
}

TEST_F(GraphicModel, SignatureDefaultPathMeansTheSampleOfItsKind) {
  SKTSignature sig;
  sig.Set_Sign_Or_FP("F");
  sig.setFilePath("Default");
  EXPECT_EQ(sig.FilePath(), host.resourcePath + "/fingerprints.png");
  EXPECT_EQ(sig.file_path, sig.FilePath());
  sig.Set_Sign_Or_FP("S");
  sig.setFilePath("Default");
  EXPECT_EQ(sig.FilePath(), host.resourcePath + "/sign_sample.png");
  auto made = SKTSignature::initWithPosition(QPointF(50, 50), QImage(20, 10, QImage::Format_RGB32), "F");
  EXPECT_EQ(made->bounds(), QRectF(40, 45, 20, 10));
  EXPECT_EQ(made->file_path, host.resourcePath + "/fingerprints.png");
  EXPECT_EQ(made->FilePath(), made->file_path);  // the sample stays shown
  EXPECT_EQ(host.resetImageControls, 1);
}

TEST(CoreGlobals, NotDrawOnlyPropChangeIsClearedEvenByAnException) {
  EXPECT_FALSE(Not_Draw_Only_Prop_Change());
  try {
    ScopedNotDrawOnlyPropChange outer;
    EXPECT_TRUE(Not_Draw_Only_Prop_Change());
    { ScopedNotDrawOnlyPropChange inner; }
    EXPECT_TRUE(Not_Draw_Only_Prop_Change());  // the outer load is still running
    throw std::runtime_error("load failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_FALSE(Not_Draw_Only_Prop_Change());
  Card_Front_Or_Back = 1;
  EXPECT_EQ(currentCardSideCode(), "B");
  Card_Front_Or_Back = 0;
  EXPECT_EQ(currentCardSideCode(), "F");
}

}  // namespace

namespace {

TEST_F(GraphicModel, PropertyDictionaryRoundTripsAndIgnoresWrongTypes) {
  Shape_Control shape;
  shape._bounds = QRectF(1.5, 2, 30, 40);
  shape._isDrawingFill = false;
  shape._fillColor = QColor(1, 2, 3, 4);
  shape._strokeWidth = 2.5;
  const QVariantMap p = shape.properties();
  EXPECT_EQ(p.value("bounds").toString(), "{{1.5, 2}, {30, 40}}");
  auto back = SKTGraphic::graphicWithProperties(GraphicKind::Shape, p);
  EXPECT_EQ(back->bounds(), shape.bounds());
  EXPECT_FALSE(back->_isDrawingFill);
  EXPECT_EQ(back->_fillColor, QColor(1, 2, 3, 4));
  EXPECT_DOUBLE_EQ(back->strokeWidth(), 2.5);
  EXPECT_FALSE(shape.description().isEmpty());

  QVariantMap wrong{{"bounds", 5}, {"drawingFill", "no"}, {"fillColor", "red"}, {"strokeWidth", "wide"}};
  auto ignored = SKTGraphic::graphicWithProperties(GraphicKind::Shape, wrong);
  EXPECT_EQ(ignored->bounds(), QRectF());
  EXPECT_TRUE(ignored->_isDrawingFill);
  EXPECT_EQ(ignored->_fillColor, QColor(Qt::white));
  EXPECT_DOUBLE_EQ(ignored->strokeWidth(), 1.0);

  SKTLine line;
  line.setBeginPoint(QPointF(50, 0));
  line.setEndPoint(QPointF(0, 20));
  const QVariantMap lp = line.properties();
  EXPECT_FALSE(lp.contains("bounds"));
  auto lineBack = SKTGraphic::graphicWithProperties(GraphicKind::Line, lp);
  EXPECT_EQ(static_cast<SKTLine&>(*lineBack).beginPoint(), QPointF(50, 0));
  EXPECT_EQ(static_cast<SKTLine&>(*lineBack).endPoint(), QPointF(0, 20));

  SKTImage image;
  image._contents = QImage(3, 2, QImage::Format_ARGB32);
  image._contents.fill(Qt::red);
  image._isFlippedVertically = true;
  auto imageBack = SKTGraphic::graphicWithProperties(GraphicKind::Image, image.properties());
  EXPECT_EQ(static_cast<SKTImage&>(*imageBack)._contents.size(), QSize(3, 2));
  EXPECT_TRUE(imageBack->isFlippedVertically());
}

}  // namespace

namespace {

class CountingObserver : public SKTGraphicObserver {
 public:
  QStringList keys;
  void observeValueForKey(SKTGraphic&, const QString& key, const QVariant&, const QVariant&, int) override {
    keys << key;
  }
};

class ChangeCountingObserver : public SKTGraphicObserver {
 public:
  int began = 0, ended = 0, notices = 0;
  void observeValueForKey(SKTGraphic&, const QString&, const QVariant&, const QVariant&, int) override {
    ++notices;
  }
  void graphicWillChange(SKTGraphic&) override { ++began; }
  void graphicDidChange(SKTGraphic&) override { ++ended; }
};

}  // namespace

TEST_F(GraphicModel, EachDerivedKeyIsAnnouncedOncePerChange) {
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

TEST_F(GraphicModel, UnionsOfBoundsAndDrawingBounds) {
  auto a = std::make_shared<Shape_Control>();
  auto b = std::make_shared<Shape_Control>();
  a->_bounds = QRectF(10, 10, 10, 10);
  b->_bounds = QRectF(40, 30, 5, 5);
  EXPECT_EQ(SKTGraphic::boundsOfGraphics({a}), QRectF(10, 10, 10, 10));
  EXPECT_EQ(SKTGraphic::boundsOfGraphics({a, b}), QRectF(10, 10, 35, 25));
  EXPECT_EQ(SKTGraphic::drawingBoundsOfGraphics({a, b}), QRectF(7, 7, 42, 32));
}

TEST_F(GraphicModel, ObserversHearOneChangePerOperation) {
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

TEST_F(GraphicModel, AnnouncementOfAnUnreadableKeyLeavesNothingOpen) {
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
