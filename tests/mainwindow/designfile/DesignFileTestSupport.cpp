#include "DesignFileTestSupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>

#include "barcode/designer/BarcodeSettings.h"
#include "core/GraphicArchive.h"
#include "core/SKTImage.h"
#include "core/SKTLine.h"
#include "core/Shape_Control.h"

namespace designfile_test {

using designfile::PlainDesignHost;

namespace {

QString writePicture(const QDir& folder, const QString& name, QColor color, QSize size) {
  QImage image(size, QImage::Format_ARGB32);
  image.fill(color);
  const QString path = folder.filePath(name);
  EXPECT_TRUE(image.save(path, "PNG")) << path.toStdString();
  return path;
}

void pageSettings(Card_Property& p, const QString& side, const QString& shape, const QString& picture) {
  p.Card_border_chk = true;
  p.Card_fill_chk = true;
  p.Card_bordr_clr = QColor(200, 10, 20);
  p.Card_fill_clr = QColor(1, 2, 3, 128);
  p.Card_fill_Grd_1_clr = QColor(250, 240, 0);
  p.Card_fill_Grd_2_clr = QColor(0, 128, 255);
  p.Card_hatch_bk_clr = QColor(77, 88, 99);
  p.Card_bor_Stepper = 7;
  p.Card_grad_Stepper = -45;
  p.Card_Cat_index = -1;
  p.Card_alpha_Stepper = 0.37f;
  p.Card_border_style = QStringLiteral("DDD");
  p.Card_fill_style = picture.isEmpty() ? QStringLiteral("H") : QStringLiteral("I");
  p.Card_hatch_style = QStringLiteral("Cross Hatch");
  p.Card_Side = QStringLiteral("2");
  p.Card_Side_Name = side;
  p.Card_Shape = shape;
  p.Card_Name = QStringLiteral("Anniversary \u00e9t\u00e9 <&> card");
  p.Card_Preset = QStringLiteral("Vertical");
  p.Card_Category = QStringLiteral("Paper");
  p.Card_Sub_Category = QStringLiteral("A6");
  p.Card_Create_Mode = QStringLiteral("T");
  p.Card_BG_Image_Path = picture.isEmpty() ? QStringLiteral("/stale/picture.png") : picture;
  p.Card_BG_Image_Layout = QStringLiteral("Tile");
  p.Card_Location = QPointF(0.5, -12.25);
  p.Card_Size = QSizeF(297.6377952755906, 419.52755905511816);
  p.Card_Content_clr = QColor(10, 100, 200);
  p.Card_Content_font = CardFont{QStringLiteral("ArialMT"), 17.5};
}

// Gives every kind-independent field a value of its own, different per object.
void distinctFields(SKTGraphic& g, int n) {
  g._bounds = QRectF(10 + n, 20 + 2 * n, 100.5 + n, 40.25);
  g.ctrl_is_locked = n % 2 == 0;
  g._isDrawingFill = n % 2 == 1;
  g._fillColor = QColor(n * 10, 20, 30);
  g._strokeColor = QColor(40, n * 10, 60, 200);
  g._strokeWidth = 2.5 + n;
  g._stroke_border_type = QStringLiteral("DA");
  g._fill_type = QStringLiteral("G");
  g._fill_Grad_clr1 = Qt::red;
  g._fill_Grad_clr2 = Qt::blue;
  g._fill_grad_angle = 30.0 + n;
  g._fill_hatch_type = QStringLiteral("Dots");
  g.invert_clr = true;
  g.hue_val = 0.25f * n;
  g.data_source_type = n % 3;
  g.batch_list_name = QStringLiteral("Guests %1").arg(n);
  g.batch_list_index = n;
  g.alpha_val = 0.5f;
  g.alpha_val_stroke = 0.75f;
  g.text_ctrl_font = CardFont{QStringLiteral("TimesNewRomanPS-BoldItalicMT"), 11.0 + n};
  g.txt_clr = QColor(5, 6, 7);
  g.control_ID = QStringLiteral("PARTY_MSG");
  g.excel_binding = n % 2 == 0;
  g.excel_col_indx = n;
  g.print_object = n % 2;
  g.Text_Value = QStringLiteral("Value %1").arg(n);
}

SKTGraphicPtr make(GraphicKind kind, int n) {
  SKTGraphicPtr g = SKTGraphic::makeGraphic(kind);
  distinctFields(*g, n);
  return g;
}

}  // namespace

void fillFullDesign(PlainDesignHost& host, const QDir& folder) {
  const QString background = writePicture(folder, "background.png", Qt::darkGreen, QSize(30, 20));
  const QString photo = writePicture(folder, "photo.png", Qt::magenta, QSize(16, 12));

  pageSettings(host.front, "F", "E", background);
  pageSettings(host.back, "B", "RR", QString());
  host.back.Card_Name = QStringLiteral("Back side");
  host.back.Card_Size = QSizeF(100, 50);
  host.front.Card_BG_Image = QImage(background);
  host.cardSize = host.front.Card_Size;

  SKTGraphicList front;
  SKTGraphicPtr text = make(GraphicKind::Text, 1);
  text->_Text_contents = std::make_shared<SKTTextStorage>(SKTTextStorage{
      QStringLiteral("Happy birthday,\nAnna!"), CardFont{QStringLiteral("ArialMT"), 22.0}, Qt::red});
  text->text_alignmnet = 2;
  text->text_kerning = 1.5f;
  front.push_back(text);
  SKTGraphicPtr image = make(GraphicKind::Image, 2);
  image->_file_path = photo;
  image->rotate_image = 90.0f;
  image->gray_Scale = true;
  front.push_back(image);
  SKTGraphicPtr line = make(GraphicKind::Line, 3);
  line->_line_ori = 2;
  line->_line_cap_style = 1;
  front.push_back(line);
  const char* shapes[] = {"R", "C", "RR", "T", "D", "S", "DS", "P"};
  int n = 4;
  for (const char* code : shapes) {
    SKTGraphicPtr shape = make(GraphicKind::Shape, n++);
    shape->_shape_type = QString::fromLatin1(code);
    shape->cor_rad_val_val = 14.0f;
    shape->double_star_type = 3;
    shape->polygon_type = 6;
    front.push_back(shape);
  }
  host.doc.setGraphicsOfSide(CardSide::Front, front);

  SKTGraphicList back;
  SKTGraphicPtr signature = make(GraphicKind::Signature, 20);
  signature->sign_or_fingureprint = QStringLiteral("F");
  signature->_file_path = photo;
  back.push_back(signature);
  SKTGraphicPtr barcode = make(GraphicKind::Barcode, 21);
  barcode->linear_or_2d = 1;
  barcode->barcode_font_index =
      static_cast<int>(barcode::symbologyNames().indexOf(QStringLiteral("QR Code")));
  barcode->qr_version_index = 5;
  barcode->header_val = QStringLiteral("Head");
  barcode->value_font_val = CardFont{QStringLiteral("CourierNewPSMT"), 9.0};
  barcode->barcode_back_clr_val = QColor(250, 250, 200);
  barcode->dpi_custom_val = QStringLiteral("600");
  QImage bars(8, 4, QImage::Format_ARGB32);
  bars.fill(Qt::black);
  barcode->_barcode_image = bars;
  back.push_back(barcode);
  back.push_back(make(GraphicKind::Text, 22));
  host.doc.setGraphicsOfSide(CardSide::Back, back);

  host.excelUse = true;
  host.excelPath = QStringLiteral("/home/user/guests.xlsx");
  host.table.replaceContents(
      {"Row", "Name", "City"},
      {DataSourceRow{{"Extension", "1"}, {"Column1", "Ann"}, {"Column2", "Oslo"}},
       DataSourceRow{{"Extension", "2"}, {"Column1", ""}, {"Column2", "Z\u00fcrich"}}});
}

QByteArray designFingerprint(PlainDesignHost& host) {
  designfile::Design design = designfile::currentDesign(host);
  // The page settings as the file stores them, plus what the file cannot carry
  // (the loaded background picture) through its presence only.
  QByteArray out;
  for (const Card_Property* p : {&design.front, &design.back}) {
    Card_Property copy = *p;
    out += QByteArray("bg-picture:") + (copy.Card_BG_Image.isNull() ? "none" : "loaded") + "\n";
    copy.Card_BG_Image = QImage();
    out += archivedDataWithCardProperty(copy).toBase64() + "\n";
  }
  for (const SKTGraphicList* side : {&design.frontGraphics, &design.backGraphics}) {
    out += "side " + QByteArray::number(static_cast<qulonglong>(side->size())) + "\n";
    for (const auto& g : *side) out += archivedDataWithGraphic(*g).toBase64() + "\n";
  }
  out += design.excelBindingUse ? "Y\n" : "N\n";
  out += design.excelSourcePath.toUtf8() + "\n";
  out += design.columnTitles.join('|').toUtf8() + "\n";
  for (const auto& row : design.rows)
    for (auto it = row.cbegin(); it != row.cend(); ++it) out += (it.key() + '=' + it.value() + ';').toUtf8();
  out += "\ncard size " + QByteArray::number(host.cardSize.width()) + "x" +
         QByteArray::number(host.cardSize.height()) + "\n";
  return out;
}

}  // namespace designfile_test
