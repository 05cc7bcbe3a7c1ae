#include "ProductionTestSupport.h"

#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPainter>

#include "barcode/designer/BarcodeSettings.h"
#include "barcode/designer/CardBarcodePicture.h"
#include "barcode/designer/GraphicBarcodeSettings.h"
#include "production/globals.h"

namespace production_testing {

SidePaintContext FakeDesign::sidePaintContext(CardSide side) {
  SidePaintContext context;
  context.size = size;
  const QColor colour = side == CardSide::Back ? backColour : frontColour;
  context.cardBase = [colour](QPainter& painter, const QRectF& rect) { painter.fillRect(rect, colour); };
  return context;
}

void FakeDesign::Open_Export_File_Box() {
  finishedBoxes.append(Export_File_Message.get() + "|" + Export_File_Path.get());
}

SKTGraphicPtr boundText(int sourceType, const QString& series, int column, QRectF bounds) {
  auto text = SKTGraphic::makeGraphic(GraphicKind::Text);
  text->setBounds(bounds);
  text->data_source_type = sourceType;
  text->batch_list_name = series;
  text->excel_col_indx = column;
  text->Text_Value = "typed";
  return text;
}

SKTGraphicPtr boundBarcode(const QString& series, bool qr, QPointF origin) {
  auto code = SKTGraphic::makeGraphic(GraphicKind::Barcode);
  code->setBounds(QRectF(origin, QSizeF(60, 40)));
  code->data_source_type = 1;
  code->batch_list_name = series;
  // Modules of two points or more: wide enough to read back from a card
  // drawn at one pixel per point.
  code->linear_or_2d = qr ? 1 : 0;
  code->barcode_font_index = barcode::symbologyNames().indexOf(qr ? "QR Code" : "Code 128");
  code->linear_width_val = 30.0f;
  code->qr_size_val = 66;
  // As the designer leaves an object it binds: the picture of the value its settings show.
  code->Set_Barcode_image(barcode::cardPictureOf(*code, barcode::barcodeSettingsOf(*code).value()));
  return code;
}

QStringList fileNames(const QString& folder) {
  QStringList names = QDir(folder).entryList(QDir::Files, QDir::Name);
  names.sort();
  return names;
}

QStringList decodeBarcodes(const QImage& picture) {
  const QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
  const ZXing::ImageView view(grey.constBits(), grey.width(), grey.height(), ZXing::ImageFormat::Lum,
                              static_cast<int>(grey.bytesPerLine()));
  ZXing::DecodeHints hints;
  hints.setFormats(ZXing::BarcodeFormat::Code128 | ZXing::BarcodeFormat::QRCode);
  hints.setTryRotate(false);
  QStringList found;
  for (const ZXing::Result& result : ZXing::ReadBarcodes(view, hints))
    found.append(QString::fromStdString(ZXing::ToString(result.format())) + ":" +
                 QString::fromStdString(result.text()));
  found.sort();
  return found;
}

}  // namespace production_testing
