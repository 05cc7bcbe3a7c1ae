// The graphic archive and the graphic pasteboard data: round trips of every
// kind with every field, readers that never trust their input, and the
// independent readers (Python's plistlib, GNUstep's NSKeyedUnarchiver).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>

#include "core/Card_Property.h"
#include "core/GraphicArchive.h"
#include "core/PictureFile.h"
#include "core/SKTDocument.h"
#include "core/SKTImage.h"
#include "core/SKTLine.h"
#include "core/SKTSignature.h"
#include "core/SKTText.h"
#include "core/Shape_Control.h"
#include "core/globals.h"
#include "platform/KeyedArchive.h"
#include "platform/PropertyList.h"
#include "support/FakeCardHost.h"
#include "support/GnustepOracle.h"
#include "support/TestFiles.h"

namespace {

const GraphicKind kAllKinds[] = {GraphicKind::Text,  GraphicKind::Image,     GraphicKind::Line,
                                 GraphicKind::Shape, GraphicKind::Signature, GraphicKind::Barcode};

QImage samplePicture() {
  QImage image(6, 4, QImage::Format_ARGB32);
  image.fill(QColor(10, 200, 30, 255));
  image.setPixelColor(1, 1, QColor(250, 0, 0));
  return image;
}

// Every field set to a value unlike its new value (floats that a 32-bit float
// cannot hold exactly for the two narrowed doubles).
void fillEveryField(SKTGraphic& g) {
  g._bounds = QRectF(10.5, -20.25, 123.75, 0.5);
  g._isDrawingFill = false;
  g._fillColor = QColor::fromRgbF(0.1f, 0.2f, 0.3f, 0.4f);
  g._isDrawingStroke = false;
  g._strokeColor = QColor(1, 2, 3, 4);
  g._strokeWidth = 1.1;
  g._stroke_border_type = "DDD";
  g._fill_type = "H";
  g._fill_Grad_clr1 = QColor(5, 6, 7);
  g._fill_Grad_clr2 = QColor(8, 9, 10);
  g._fill_grad_angle = 33.3;
  g._fill_htch_clr = QColor(11, 12, 13);
  g._fill_hatch_type = "Checks";
  g._isFlippedHorizontally = true;
  g._isFlippedVertically = true;
  g.invert_clr = true;
  g.gray_Scale = true;
  g.Sepia = true;
  g.img_trnsp_val = 55.5f;
  g.hue_val = 0.7f;
  g.sat_val = 1.3f;
  g.brt_val = -0.2f;
  g.con_val = 2.5f;
  g.srp_val = 0.9f;
  g.ev_val = -1.5f;
  g.blr_val = 4.25f;
  g.data_source_type = 2;
  g.rotate_image = 90.5f;
  g._file_path = "/pictures/grüße.png";
  g.sign_or_fingureprint = "F";
  g.batch_list_name = "Guests";
  g.batch_list_index = 4;
  g._line_ori = 3;
  g._line_cap_style = 2;
  g.cor_rad_val_val = 12.5f;
  g.alpha_val = 0.35f;
  g.alpha_val_stroke = 0.65f;
  g.text_ctrl_font = {"ArialMT", 13.5};
  g.txt_clr = QColor(200, 100, 0);
  g._Text_contents = std::make_shared<SKTTextStorage>(
      SKTTextStorage{"Happy birthday, Ann", CardFont{"TimesNewRomanPS-BoldMT", 24}, QColor(0, 0, 255)});
  g._shape_type = "DS";
  g._barcode_image = samplePicture();
  g.linear_or_2d = 1;
  g.barcode_font_index = 7;
  g.linear_font_val = "5901234123457";
  g.two_d_font_val = "https://example.org/card";
  g.header_val = "Top";
  g.footer_val = "Bottom";
  g.show_hide_hdr = 1;
  g.show_hide_ftr = 1;
  g.show_hide_val = 1;
  g.show_val_on_top = 1;
  g.align_hdr_index = 2;
  g.align_ftr_index = 0;
  g.linear_height_val = 0.85f;
  g.linear_width_val = 30.5f;
  g.qr_size_val = 120;
  g.qr_version_index = 5;
  g.qr_ec_index = 3;
  g.pdf_hgt_val = 25;
  g.pdf_wdt_val = 140;
  g.pdf_ec_val = 5;
  g.dm_module_val = 4;
  g.dm_format_index = 9;
  g.dm_encoding_index = 2;
  g.hdr_margin_val = 0.2f;
  g.ftr_margin_val = 0.3f;
  g.val_margin_val = 0.4f;
  g.TB_marging_val = 0.5f;
  g.LR_margin_val = 0.6f;
  g.value_font_val = {"CourierNewPSMT", 9};
  g.header_font_val = {"Arial-BoldMT", 11};
  g.footer_font_val = {"Arial-ItalicMT", 12};
  g.barcode_hdr_clr_val = QColor(20, 21, 22);
  g.barcode_ftr_clr_val = QColor(23, 24, 25);
  g.barcode_val_clr_val = QColor(26, 27, 28);
  g.barcode_back_clr_val = QColor(29, 30, 31);
  g.barcode_clr_val = QColor(32, 33, 34);
  g.dpi_val_index = 3;
  g.dpi_custom_val = "600";
  g.barcode_unit_val = 0;
  g.ctrl_is_locked = true;
  g.text_alignmnet = 2;
  g.text_transfrom_case = 3;
  g.text_kerning = 1.25f;
  g.print_object = 1;
  g.control_ID = "Fup_Name";
  g.excel_binding = true;
  g.excel_col_indx = 6;
  g.Text_Value = "Dear Ann";
  g.ctrl_is_visible = false;
  g.double_star_type = 4;
  g.polygon_type = 9;
}

// Every field as text, to compare two graphics field by field.
QStringList dump(const SKTGraphic& g) {
  QStringList out;
  auto color = [](const QColor& c) {
    return c.isValid() ? QString("%1,%2,%3,%4").arg(c.redF()).arg(c.greenF()).arg(c.blueF()).arg(c.alphaF())
                       : QString("none");
  };
  auto font = [](const CardFont& f) {
    return f.isNull() ? QString("none") : f.name + "@" + QString::number(f.size);
  };
  auto num = [](double v) { return QString::number(v, 'g', 17); };
#define F(name, text) out << QString(#name "=") + (text)
  F(_bounds, QString("%1 %2 %3 %4")
                 .arg(g._bounds.x())
                 .arg(g._bounds.y())
                 .arg(g._bounds.width())
                 .arg(g._bounds.height()));
  F(ctrl_is_locked, num(g.ctrl_is_locked));
  F(_isDrawingFill, num(g._isDrawingFill));
  F(_fillColor, color(g._fillColor));
  F(_isDrawingStroke, num(g._isDrawingStroke));
  F(_strokeColor, color(g._strokeColor));
  F(_strokeWidth, num(g._strokeWidth));
  F(_stroke_border_type, g._stroke_border_type);
  F(_fill_type, g._fill_type);
  F(_fill_Grad_clr1, color(g._fill_Grad_clr1));
  F(_fill_Grad_clr2, color(g._fill_Grad_clr2));
  F(_fill_grad_angle, num(g._fill_grad_angle));
  F(_fill_htch_clr, color(g._fill_htch_clr));
  F(_fill_hatch_type, g._fill_hatch_type);
  F(_isFlippedHorizontally, num(g._isFlippedHorizontally));
  F(_isFlippedVertically, num(g._isFlippedVertically));
  F(invert_clr, num(g.invert_clr));
  F(gray_Scale, num(g.gray_Scale));
  F(Sepia, num(g.Sepia));
  F(img_trnsp_val, num(g.img_trnsp_val));
  F(hue_val, num(g.hue_val));
  F(sat_val, num(g.sat_val));
  F(brt_val, num(g.brt_val));
  F(con_val, num(g.con_val));
  F(srp_val, num(g.srp_val));
  F(ev_val, num(g.ev_val));
  F(blr_val, num(g.blr_val));
  F(data_source_type, num(g.data_source_type));
  F(rotate_image, num(g.rotate_image));
  F(_file_path, g._file_path);
  F(sign_or_fingureprint, g.sign_or_fingureprint);
  F(batch_list_name, g.batch_list_name);
  F(batch_list_index, num(g.batch_list_index));
  F(_line_ori, num(g._line_ori));
  F(_line_cap_style, num(g._line_cap_style));
  F(alpha_val, num(g.alpha_val));
  F(alpha_val_stroke, num(g.alpha_val_stroke));
  F(text_ctrl_font, font(g.text_ctrl_font));
  F(txt_clr, color(g.txt_clr));
  F(_Text_contents, g._Text_contents ? g._Text_contents->string + "|" + font(g._Text_contents->font) + "|" +
                                           color(g._Text_contents->foregroundColor)
                                     : QString("none"));
  F(_shape_type, g._shape_type);
  F(cor_rad_val_val, num(g.cor_rad_val_val));
  F(_barcode_image, g._barcode_image.isNull()
                        ? QString("none")
                        : QString("%1x%2 %3")
                              .arg(g._barcode_image.width())
                              .arg(g._barcode_image.height())
                              .arg(g._barcode_image.pixelColor(1, 1).name(QColor::HexArgb)));
  F(linear_or_2d, num(g.linear_or_2d));
  F(barcode_font_index, num(g.barcode_font_index));
  F(linear_font_val, g.linear_font_val);
  F(two_d_font_val, g.two_d_font_val);
  F(header_val, g.header_val);
  F(footer_val, g.footer_val);
  F(show_hide_hdr, num(g.show_hide_hdr));
  F(show_hide_ftr, num(g.show_hide_ftr));
  F(show_hide_val, num(g.show_hide_val));
  F(show_val_on_top, num(g.show_val_on_top));
  F(align_hdr_index, num(g.align_hdr_index));
  F(align_ftr_index, num(g.align_ftr_index));
  F(linear_height_val, num(g.linear_height_val));
  F(linear_width_val, num(g.linear_width_val));
  F(qr_size_val, num(g.qr_size_val));
  F(qr_version_index, num(g.qr_version_index));
  F(qr_ec_index, num(g.qr_ec_index));
  F(pdf_hgt_val, num(g.pdf_hgt_val));
  F(pdf_wdt_val, num(g.pdf_wdt_val));
  F(pdf_ec_val, num(g.pdf_ec_val));
  F(dm_module_val, num(g.dm_module_val));
  F(dm_format_index, num(g.dm_format_index));
  F(dm_encoding_index, num(g.dm_encoding_index));
  F(hdr_margin_val, num(g.hdr_margin_val));
  F(ftr_margin_val, num(g.ftr_margin_val));
  F(val_margin_val, num(g.val_margin_val));
  F(TB_marging_val, num(g.TB_marging_val));
  F(LR_margin_val, num(g.LR_margin_val));
  F(value_font_val, font(g.value_font_val));
  F(header_font_val, font(g.header_font_val));
  F(footer_font_val, font(g.footer_font_val));
  F(barcode_hdr_clr_val, color(g.barcode_hdr_clr_val));
  F(barcode_ftr_clr_val, color(g.barcode_ftr_clr_val));
  F(barcode_val_clr_val, color(g.barcode_val_clr_val));
  F(barcode_back_clr_val, color(g.barcode_back_clr_val));
  F(barcode_clr_val, color(g.barcode_clr_val));
  F(dpi_val_index, num(g.dpi_val_index));
  F(dpi_custom_val, g.dpi_custom_val);
  F(barcode_unit_val, num(g.barcode_unit_val));
  F(text_alignmnet, num(g.text_alignmnet));
  F(text_transfrom_case, num(g.text_transfrom_case));
  F(text_kerning, num(g.text_kerning));
  F(print_object, num(g.print_object));
  F(control_ID, g.control_ID);
  F(excel_binding, num(g.excel_binding));
  F(excel_col_indx, num(g.excel_col_indx));
  F(Text_Value, g.Text_Value);
  F(ctrl_is_visible, num(g.ctrl_is_visible));
  F(double_star_type, num(g.double_star_type));
  F(polygon_type, num(g.polygon_type));
#undef F
  return out;
}

class GraphicArchive : public ::testing::Test {
 protected:
  testing_support::FakeCardHost host{testing_support::FakeCardHost::Preset::ModelWindow};
  ScopedCardHost installed{host};
  QTemporaryDir dir;
};

TEST_F(GraphicArchive, HasTheNinetyThreeKeysInOrder) {
  const auto& keys = graphicArchiveKeys();
  ASSERT_EQ(keys.size(), 93u);
  EXPECT_EQ(keys.front(), "_bounds");
  EXPECT_EQ(keys[39], "_Text_contents");
  EXPECT_EQ(keys[42], "_barcode_image");
  EXPECT_EQ(keys.back(), "polygon_type");
  // The dump above covers every key.
  SKTGraphic g;
  EXPECT_EQ(dump(g).size(), 93);
}

TEST_F(GraphicArchive, EveryKindRoundTripsEveryField) {
  for (GraphicKind kind : kAllKinds) {
    SKTGraphicPtr original = SKTGraphic::makeGraphic(kind);
    fillEveryField(*original);
    original->_file_path = dir.filePath("missing.png");  // picture objects try to reload it
    const QByteArray archive = archivedDataWithGraphic(*original);
    SKTGraphicPtr back;
    QString why;
    ASSERT_EQ(graphicWithArchivedData(archive, &back, &why), GraphicArchiveResult::Graphic)
        << why.toStdString();
    ASSERT_EQ(back->kind(), kind) << original->className().toStdString();
    // The two doubles come back as the nearest 32-bit floats.
    EXPECT_EQ(back->_strokeWidth, static_cast<double>(1.1f));
    EXPECT_NE(back->_strokeWidth, 1.1);
    EXPECT_EQ(back->_fill_grad_angle, static_cast<double>(33.3f));
    SKTGraphicPtr expected = original->clone();
    expected->_strokeWidth = static_cast<float>(expected->_strokeWidth);
    expected->_fill_grad_angle = static_cast<float>(expected->_fill_grad_angle);
    EXPECT_EQ(dump(*back), dump(*expected)) << original->className().toStdString();
    EXPECT_EQ(back->scriptingContainer(), nullptr);
  }
}

TEST_F(GraphicArchive, NewGraphicRoundTripsAndLineKeepsItsDirection) {
  for (GraphicKind kind : kAllKinds) {
    SKTGraphicPtr original = SKTGraphic::makeGraphic(kind);
    SKTGraphicPtr back;
    ASSERT_EQ(graphicWithArchivedData(archivedDataWithGraphic(*original), &back),
              GraphicArchiveResult::Graphic);
    EXPECT_EQ(dump(*back), dump(*original));
  }
  SKTLine line;
  line.setBeginPoint(QPointF(0, 50));
  line.setEndPoint(QPointF(80, 0));  // "/" : right and up
  SKTGraphicPtr back;
  ASSERT_EQ(graphicWithArchivedData(archivedDataWithGraphic(line), &back), GraphicArchiveResult::Graphic);
  const auto& l = static_cast<const SKTLine&>(*back);
  EXPECT_EQ(l.beginPoint(), QPointF(0, 50));
  EXPECT_EQ(l.endPoint(), QPointF(80, 0));
}

// Writes an archive of the given class with only some keys.
QByteArray partialArchive(const QString& className,
                          const std::function<void(platform::KeyedObjectWriter&)>& fill) {
  platform::KeyedArchiveWriter writer;
  fill(writer.root(className, {className, "SKTGraphic", "NSObject"}));
  return writer.finish();
}

TEST_F(GraphicArchive, MissingOrMistypedKeysGiveTheNewValue) {
  const QByteArray archive = partialArchive("Shape_Control", [](platform::KeyedObjectWriter& o) {
    o.setRect("_bounds", QRectF(1, 2, 3, 4));
    o.setString("ctrl_is_visible", "no");  // wrong kind
    o.setInt("qr_size_val", 1LL << 40);    // beyond 32 bits
    o.setFloat("alpha_val", std::numeric_limits<float>::quiet_NaN());
    o.setString("_fillColor", "red");
    o.setNull("_strokeColor");  // explicitly none
    o.setString("Text_Value", "");
  });
  SKTGraphicPtr g;
  ASSERT_EQ(graphicWithArchivedData(archive, &g), GraphicArchiveResult::Graphic);
  EXPECT_EQ(g->bounds(), QRectF(1, 2, 3, 4));
  EXPECT_TRUE(g->ctrl_is_visible);
  EXPECT_EQ(g->Get_shape_type(), "R");
  EXPECT_EQ(g->qr_size_val, 60);
  EXPECT_FLOAT_EQ(g->alpha_val, 100.0f);
  EXPECT_EQ(g->_fillColor, QColor(Qt::white));
  EXPECT_FALSE(g->_strokeColor.isValid());
  EXPECT_EQ(g->Text_Value, "");
  EXPECT_EQ(g->text_ctrl_font, host.textFont);
  EXPECT_EQ(g->value_font_val, (CardFont{"Times New Roman", 10}));
  EXPECT_EQ(g->FilePath(), host.resourcePath + "/no.png");
  // Geometry that is not finite is refused.
  const QByteArray huge = partialArchive(
      "SKTText", [](platform::KeyedObjectWriter& o) { o.setRect("_bounds", QRectF(0, 0, 1e300, 5)); });
  ASSERT_EQ(graphicWithArchivedData(huge, &g), GraphicArchiveResult::Graphic);
  EXPECT_EQ(g->bounds(), QRectF());
}

TEST_F(GraphicArchive, OnlyTheSixKindsAreCreated) {
  for (const char* name : {"SKTGraphic", "NSObject", "SKTGraphicView", "NSString", ""}) {
    SKTGraphicPtr g;
    QString why;
    EXPECT_EQ(graphicWithArchivedData(partialArchive(name, [](auto&) {}), &g, &why),
              GraphicArchiveResult::Failed)
        << name;
    EXPECT_EQ(g, nullptr);
  }
}

// The pictures of one reading share a budget: admitted by their headers
// before any is decoded, each is counted again as it decodes (by its own
// format's size), and one whose header says it would pass what is left is
// refused before it is decoded, failing the reading.
TEST_F(GraphicArchive, PicturesOfOneReadingShareABudget) {
  const auto png = [](int side, QImage::Format format) {
    QImage image(side, side, format);
    image.fill(Qt::darkGray);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, "PNG"));
    return bytes;
  };
  const auto barcodeWith = [](const QByteArray& picture) {
    return partialArchive("SKTBarcode", [&](platform::KeyedObjectWriter& o) {
      o.setImage("_barcode_image", platform::KeyedImage{picture, QSizeF(100, 100)});
    });
  };
  const QByteArray colourPicture = png(300, QImage::Format_ARGB32);  // 360,000 bytes decoded
  const QByteArray colour = barcodeWith(colourPicture);
  const QByteArray grey = barcodeWith(png(400, QImage::Format_Grayscale8));  // 160,000 bytes
  // Measured by their headers alone, before any is decoded.
  PictureBudget headers(1024 * 1024);
  std::vector<bool> admitted;
  for (const QByteArray& picture : {colourPicture, colourPicture, QByteArray("no picture"), colourPicture})
    admitted.push_back(headers.admit(picture));
  EXPECT_EQ(admitted, (std::vector<bool>{true, true, true, false}));  // the third: 1,080,000 bytes
  EXPECT_TRUE(headers.exceeded());
  EXPECT_EQ(headers.used(), 0);
  PictureBudget budget(1024 * 1024);
  SKTGraphicPtr g;
  QString why;
  for (const QByteArray* archive : {&colour, &colour, &grey}) {
    ASSERT_EQ(graphicWithArchivedData(*archive, &g, &why, &budget), GraphicArchiveResult::Graphic);
    EXPECT_FALSE(g->_barcode_image.isNull());
  }
  EXPECT_EQ(budget.used(), 880000);
  EXPECT_EQ(graphicWithArchivedData(colour, &g, &why, &budget), GraphicArchiveResult::Failed);
  EXPECT_EQ(why, "its pictures would take more than 1 MB of memory");
  EXPECT_TRUE(budget.exceeded());
  EXPECT_EQ(budget.used(), 880000);
}

platform::PlistValue archivePlist(const QByteArray& archive) {
  auto v = platform::parsePropertyList(archive);
  EXPECT_TRUE(v.has_value());
  return v ? *v : platform::PlistValue();
}

TEST_F(GraphicArchive, PasteboardDataRoundTripsInOrder) {
  auto text = SKTGraphic::makeGraphic(GraphicKind::Text);
  text->Text_Value = "first";
  auto image = SKTGraphic::makeGraphic(GraphicKind::Image);
  image->_file_path = dir.filePath("gone.png");
  auto barcode = SKTGraphic::makeGraphic(GraphicKind::Barcode);
  const QByteArray data = pasteboardDataWithGraphics({text, image, barcode});
  ASSERT_TRUE(data.startsWith("bplist00"));
  SKTError error;
  error.code = -1;
  auto graphics = graphicsWithPasteboardData(data, &error);
  ASSERT_TRUE(graphics.has_value());
  ASSERT_EQ(graphics->size(), 3u);
  EXPECT_EQ((*graphics)[0]->Text_Value, "first");
  EXPECT_EQ((*graphics)[1]->kind(), GraphicKind::Image);
  EXPECT_EQ((*graphics)[1]->FilePath(), dir.filePath("gone.png"));  // kept although missing
  EXPECT_TRUE(static_cast<SKTImage&>(*(*graphics)[1])._contents.isNull());
  EXPECT_EQ((*graphics)[2]->kind(), GraphicKind::Barcode);
  EXPECT_EQ(error.code, -1);  // untouched

  auto empty = graphicsWithPasteboardData(pasteboardDataWithGraphics({}), &error);
  ASSERT_TRUE(empty.has_value());
  EXPECT_TRUE(empty->empty());
}

TEST_F(GraphicArchive, PictureObjectsReloadAnExistingFile) {
  const QString path = dir.filePath("photo.png");
  ASSERT_TRUE(samplePicture().save(path));
  auto image = SKTGraphic::makeGraphic(GraphicKind::Image);
  image->_file_path = path;
  auto graphics = graphicsWithPasteboardData(pasteboardDataWithGraphics({image}));
  ASSERT_TRUE(graphics && graphics->size() == 1);
  EXPECT_EQ(static_cast<SKTImage&>(*graphics->front())._contents.size(), QSize(6, 4));
}

TEST_F(GraphicArchive, BadPasteboardDataGivesErrorTwoAndNoGraphics) {
  auto good = SKTGraphic::makeGraphic(GraphicKind::Shape);
  const QByteArray goodData = pasteboardDataWithGraphics({good, good});
  const QByteArray goodArchive = archivedDataWithGraphic(*good);

  platform::PlistDict dict;
  dict.insert("graphics",
              platform::PlistValue(platform::PlistArray{platform::PlistValue::data(goodArchive)}));
  const QByteArray dictionaryRoot = platform::toBinaryPropertyList(platform::PlistValue(std::move(dict)));

  const QByteArray notData = platform::toBinaryPropertyList(
      platform::PlistValue(platform::PlistArray{platform::PlistValue::string("SKTText")}));
  const QByteArray garbageElement = platform::toBinaryPropertyList(
      platform::PlistValue(platform::PlistArray{platform::PlistValue::data("not an archive at all")}));
  const QByteArray unknownClass = platform::toBinaryPropertyList(platform::PlistValue(
      platform::PlistArray{platform::PlistValue::data(partialArchive("NSWindow", [](auto&) {}))}));

  // An archive whose root refers past the end of $objects.
  platform::PlistValue dangling = archivePlist(goodArchive);
  dangling.dict()->value("$top")->dict()->insert("root", platform::PlistValue::uid(100000));
  const QByteArray danglingData = platform::toBinaryPropertyList(platform::PlistValue(
      platform::PlistArray{platform::PlistValue::data(platform::toBinaryPropertyList(dangling))}));

  // An archive whose graphic's class reference dangles.
  platform::PlistValue badClass = archivePlist(goodArchive);
  {
    platform::PlistArray* objects = badClass.dict()->value("$objects")->array();
    const quint64 root = *badClass.dict()->dict("$top")->value("root")->toUid();
    (*objects)[root].dict()->insert("$class", platform::PlistValue::uid(99999));
  }
  const QByteArray badClassData = platform::toBinaryPropertyList(platform::PlistValue(
      platform::PlistArray{platform::PlistValue::data(platform::toBinaryPropertyList(badClass))}));

  const std::pair<const char*, QByteArray> cases[] = {
      {"dictionary root", dictionaryRoot},
      {"garbage", QByteArray("\x00\x01garbage\xff", 10)},
      {"empty", QByteArray()},
      {"truncated", goodData.left(goodData.size() / 2)},
      {"element not data", notData},
      {"element not an archive", garbageElement},
      {"unknown class", unknownClass},
      {"dangling root", danglingData},
      {"dangling class", badClassData},
  };
  for (const auto& [name, data] : cases) {
    SKTError error;
    auto graphics = graphicsWithPasteboardData(data, &error);
    EXPECT_FALSE(graphics.has_value()) << name;
    EXPECT_EQ(error.code, 2) << name;
    EXPECT_EQ(error.domain, "CardDrawingErrorDomain") << name;
    EXPECT_FALSE(error.localizedDescription.isEmpty());
    // Without a place for the error it still fails cleanly.
    EXPECT_FALSE(graphicsWithPasteboardData(data).has_value()) << name;
  }
  EXPECT_EQ(SKTErrorWithCode(3).code, 3);
  EXPECT_EQ(SKTErrorWithCode(3).localizedFailureReason, "An unknown error occurred.");
}

using testing_support::runPython;

TEST_F(GraphicArchive, PythonPlistlibReadsThePasteboardData) {
  auto text = SKTGraphic::makeGraphic(GraphicKind::Text);
  fillEveryField(*text);
  auto shape = SKTGraphic::makeGraphic(GraphicKind::Shape);
  const QString path = dir.filePath("pasteboard.plist");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(pasteboardDataWithGraphics({text, shape}));
  file.close();
  const char* script = R"PY(
import plistlib, sys
with open(sys.argv[1], 'rb') as f:
    items = plistlib.load(f)
assert isinstance(items, list), type(items)
out = []
for item in items:
    assert isinstance(item, bytes), type(item)
    a = plistlib.loads(item)
    objs = a['$objects']
    root = objs[a['$top']['root'].data]
    cls = objs[root['$class'].data]
    out.append('%s %s %d %s %s' % (a['$archiver'], cls['$classname'], a['$version'],
               root['ctrl_is_visible'], objs[root['Text_Value'].data]))
print(len(items))
print('\n'.join(out))
)PY";
  const QByteArray out = runPython(script, {path});
  EXPECT_EQ(QString::fromUtf8(out).trimmed().toStdString(),
            "2\nNSKeyedArchiver SKTText 100000 False Dear Ann\nNSKeyedArchiver Shape_Control 100000 True "
            "Text here");
}

TEST_F(GraphicArchive, GnustepFoundationDecodesOurArchive) {
  const char* source = R"OBJC(
#import <Foundation/Foundation.h>
#include <stdio.h>
@interface Probe : NSObject <NSCoding> { @public NSString* text; }
@end
@implementation Probe
- (void)encodeWithCoder:(NSCoder*)coder {}
- (id)initWithCoder:(NSCoder*)coder {
  self = [super init];
  NSRect r = [coder decodeRectForKey:@"_bounds"];
  text = [[NSString stringWithFormat:@"bounds=%g %g %g %g visible=%d locked=%d qr=%d alpha=%.9g stroke=%.9g text=%@ ctrl=%@",
      r.origin.x, r.origin.y, r.size.width, r.size.height,
      (int)[coder decodeBoolForKey:@"ctrl_is_visible"], (int)[coder decodeBoolForKey:@"ctrl_is_locked"],
      [coder decodeIntForKey:@"qr_size_val"], [coder decodeFloatForKey:@"alpha_val"],
      [coder decodeFloatForKey:@"_strokeWidth"], [coder decodeObjectForKey:@"Text_Value"],
      [coder decodeObjectForKey:@"control_ID"]] retain];
  return self;
}
@end
int main(int argc, char** argv) {
  NSAutoreleasePool* pool = [NSAutoreleasePool new];
  NSData* data = [NSData dataWithContentsOfFile:[NSString stringWithUTF8String:argv[1]]];
  NSDictionary* plist = [NSPropertyListSerialization propertyListWithData:data options:0 format:NULL error:NULL];
  NSArray* objects = [plist objectForKey:@"$objects"];
  printf("archiver=%s version=%d\n", [[plist objectForKey:@"$archiver"] UTF8String],
         [[plist objectForKey:@"$version"] intValue]);
  NSKeyedUnarchiver* u = [[NSKeyedUnarchiver alloc] initForReadingWithData:data];
  NSArray* kinds = [NSArray arrayWithObjects:@"SKTText", @"SKTImage", @"SKTLine", @"Shape_Control",
                                             @"SKTSignature", @"SKTBarcode", nil];
  for (NSString* kind in kinds) [u setClass:[Probe class] forClassName:kind];
  Probe* root = [u decodeObjectForKey:@"root"];
  [u finishDecoding];
  printf("objects=%d probe=%d\n", (int)([objects count] > 10), (int)[root isKindOfClass:[Probe class]]);
  printf("%s\n", [root->text UTF8String]);
  [pool release];
  return 0;
}
)OBJC";
  ASSERT_TRUE(testing_support::gnustepAvailable())
      << "GNUstep Foundation (gobjc, gnustep-config) is required";
  auto text = SKTGraphic::makeGraphic(GraphicKind::Text);
  fillEveryField(*text);
  const QString path = dir.filePath("graphic.archive");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(archivedDataWithGraphic(*text));
  file.close();
  const auto run = testing_support::runGnustepProgram(source, {path});
  ASSERT_TRUE(run.ok) << run.problem.toStdString() << run.err.toStdString();
  EXPECT_EQ(QString::fromUtf8(run.out).trimmed().toStdString(),
            "archiver=NSKeyedArchiver version=100000\nobjects=1 probe=1\n"
            "bounds=10.5 -20.25 123.75 0.5 visible=0 locked=1 qr=120 alpha=0.349999994 stroke=1.10000002 "
            "text=Dear Ann ctrl=Fup_Name");
  // The class name GNUstep saw is the kind's.
  platform::KeyedArchiveReader reader;
  ASSERT_TRUE(reader.load(archivedDataWithGraphic(*text)));
  EXPECT_EQ(reader.rootClassName(), "SKTText");
  EXPECT_TRUE(reader.root().isKindOf("SKTGraphic"));
}

TEST_F(GraphicArchive, PageSettingsKeyedFormRoundTrips) {
  Card_Property fresh;
  EXPECT_EQ(fresh.Card_Side, "2");
  EXPECT_EQ(fresh.Card_Create_Mode, "W");
  EXPECT_FLOAT_EQ(fresh.Card_alpha_Stepper, 100.0f);
  EXPECT_EQ(fresh.Card_Size, QSizeF(0, 0));
  EXPECT_EQ(fresh.Card_Content_font, (CardFont{"TimesNewRomanPS-ItalicMT", 14.0}));
  EXPECT_EQ(fresh.Card_Sub_Category, "CR80-Credit Card Size");

  Card_Property p;
  p.setCard_border_chk(true);
  p.setCard_fill_chk(true);
  p.setCard_bordr_clr(QColor(1, 2, 3));
  p.setCard_fill_clr(QColor(4, 5, 6));
  p.setCard_fill_Grd_1_clr(QColor(7, 8, 9));
  p.setCard_fill_Grd_2_clr(QColor(10, 11, 12));
  p.setCard_hatch_bk_clr(QColor(13, 14, 15));
  p.setCard_bor_Stepper(3);
  p.setCard_grad_Stepper(45);
  p.setCard_Cat_index(-1);
  p.setCard_alpha_Stepper(0.5f);
  p.setCard_border_style("XYZ");  // stored unchanged
  p.setCard_fill_style("I");
  p.setCard_hatch_style("Dots");
  p.setCard_Side("1");
  p.setCard_Side_Name("B");
  p.setCard_Shape("E");
  p.setCard_Name("Wedding");
  p.setCard_Preset("Vertical");
  p.setCard_Category("Paper");
  p.setCard_Sub_Category("A6");
  p.setCard_Create_Mode("L");
  p.setCard_BG_Image_Path("/bg.png");
  p.setCard_BG_Image_Layout("Tile");
  p.setCard_BG_Image(samplePicture());
  p.setCard_Location(QPointF(1.5, 2.5));
  p.setCard_Size(QSizeF(243, 154));
  p.setCard_Content_clr(QColor(99, 98, 97));
  p.setCard_Content_font({"ArialMT", 18});
  auto back = cardPropertyWithArchivedData(archivedDataWithCardProperty(p));
  ASSERT_TRUE(back.has_value());
  back->Card_BG_Image = back->Card_BG_Image.convertToFormat(p.Card_BG_Image.format());
  EXPECT_TRUE(*back == p);

  // A copy is independent.
  Card_Property copy = p.copy();
  copy.Card_fill_clr = Qt::red;
  EXPECT_EQ(p.Card_fill_clr, QColor(4, 5, 6));

  // A key that is missing keeps the new record's value.
  platform::KeyedArchiveWriter writer;
  writer.root("Card_Property").setBool("Card_border_chk", true);
  auto partial = cardPropertyWithArchivedData(writer.finish());
  ASSERT_TRUE(partial.has_value());
  EXPECT_TRUE(partial->Card_border_chk);
  EXPECT_EQ(partial->Card_Name, "Untitled");
  EXPECT_FLOAT_EQ(partial->Card_alpha_Stepper, 100.0f);
  EXPECT_FALSE(cardPropertyWithArchivedData("garbage").has_value());
}

}  // namespace

namespace {

// Damaged copies of real pasteboard data (bytes flipped, cut, or spliced) are
// read without a crash: either graphics or error 2.
TEST_F(GraphicArchive, DamagedPasteboardDataNeverCrashes) {
  auto text = SKTGraphic::makeGraphic(GraphicKind::Text);
  fillEveryField(*text);
  auto line = SKTGraphic::makeGraphic(GraphicKind::Line);
  const QByteArray good = pasteboardDataWithGraphics({text, line});
  quint32 seed = 12345;
  auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return seed >> 8;
  };
  int failures = 0, successes = 0;
  for (int round = 0; round < 400; ++round) {
    QByteArray damaged = good;
    switch (round % 3) {
      case 0:
        for (int i = 0; i < 1 + int(next() % 4); ++i) damaged[int(next() % damaged.size())] = char(next());
        break;
      case 1:
        damaged.truncate(int(next() % damaged.size()));
        break;
      case 2: {
        const int at = int(next() % damaged.size());
        damaged.insert(at, good.mid(int(next() % good.size()), int(next() % 64)));
        break;
      }
    }
    SKTError error;
    auto graphics = graphicsWithPasteboardData(damaged, &error);
    if (graphics) {
      ++successes;
      for (const auto& g : *graphics) ASSERT_TRUE(g != nullptr);
    } else {
      ++failures;
      ASSERT_EQ(error.code, 2);
    }
  }
  EXPECT_GT(failures, 100);
}

}  // namespace

namespace {

QByteArray pasteboardOf(const std::vector<QByteArray>& archives, bool xml) {
  platform::PlistArray items;
  for (const QByteArray& a : archives) items.push_back(platform::PlistValue::data(a));
  const platform::PlistValue root(std::move(items));
  return xml ? platform::toXmlPropertyList(root) : platform::toBinaryPropertyList(root);
}

}  // namespace

TEST_F(GraphicArchive, PasteboardDataInXmlFormAndNoneRootsAreRead) {
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

TEST_F(GraphicArchive, OnlyPlainPictureObjectsAreReloadedFromTheirFile) {
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

TEST_F(GraphicArchive, PicturePathsThatAreNotPlainFilesLoadNothing) {
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

TEST_F(GraphicArchive, PageSettingsHoldingNoneForAStringKeepTheNewValue) {
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
