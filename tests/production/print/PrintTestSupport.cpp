#include "PrintTestSupport.h"

#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>

#include "barcode/designer/BarcodeRenderer.h"
#include "barcode/designer/GraphicBarcodeSettings.h"
#include "core/SKTText.h"
#include "production/ProductionTestSupport.h"
#include "support/TestFiles.h"

namespace print_testing {

namespace {
QString pdfinfoField(const QString& path, const QString& field) {
  const auto info = testing_support::runProgram("pdfinfo", {path});
  EXPECT_EQ(info.exitCode, 0) << info.err.toStdString();
  const QRegularExpression line("^" + field + ":\\s*(.*)$", QRegularExpression::MultilineOption);
  return line.match(QString::fromUtf8(info.out)).captured(1).trimmed();
}

SidePaintContext context(const QColor& colour) {
  SidePaintContext side;
  side.size = QSizeF(200, 120);
  side.cardBase = [colour](QPainter& painter, const QRectF& rect) { painter.fillRect(rect, colour); };
  return side;
}

SKTGraphicPtr text(const QString& value, QPointF at) {
  auto object = SKTGraphic::makeGraphic(GraphicKind::Text);
  object->setBounds(QRectF(at, QSizeF(150, 24)));
  object->Text_contents()->string = value;
  return object;
}
}  // namespace

void drawBarcodeValue(SKTGraphic& code, const QString& value) {
  // As the barcode designer leaves an object: the value in its settings, the picture of it.
  barcode::BarcodeSettings settings = barcode::barcodeSettingsOf(code);
  (settings.isTwoD() ? settings.two_d_font_val : settings.linear_font_val) = value;
  barcode::setBarcodeSettings(code, settings);
  const barcode::BarcodeRender rendered = barcode::render(settings, value, code.header_val, code.footer_val);
  ASSERT_TRUE(rendered.ok()) << rendered.error.toStdString();
  code.Set_Barcode_image(barcode::cardImage(rendered.picture, barcode::resolutionDpi(settings)));
}

std::shared_ptr<CardSnapshot> sampleDesign(bool withBarcode) {
  auto design = std::make_shared<CardSnapshot>();
  design->frontContext = context(QColor(250, 250, 235));
  design->backContext = context(QColor(225, 225, 225));
  auto code = SKTGraphic::makeGraphic(GraphicKind::Barcode);
  code->setBounds(QRectF(10, 40, 180, 70));
  code->linear_or_2d = 0;
  code->barcode_font_index = barcode::symbologyNames().indexOf("Code 128");
  code->linear_width_val = 20.0f;
  drawBarcodeValue(*code, "PRINT-1");
  design->front = {text("Front of the card", {10, 8})};
  if (withBarcode) design->front.push_back(code);
  design->back = {text("Back of the card", {10, 8})};
  return design;
}

production::SheetLayout letterLayout(int rows, int columns, int total) {
  production::SheetLayout layout;  // letter paper
  layout.Left_Mar = layout.Rite_Mar = layout.Top_Mar = layout.Bot_Mar = 18;
  layout.label_width = 200;
  layout.label_hight = 120;
  layout.horz_mar = layout.vert_mar = 10;
  layout.Print_Row = rows;
  layout.Print_Col = columns;
  layout.Total_Label = total;
  return layout;
}

QString printToPdf(const QString& path, const production::SheetLayout& layout, production::SheetCards& cards,
                   std::int64_t pages) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(path);
  printer.setFullPage(true);
  const bool landscape = layout.paperWidth > layout.paperHeight;
  printer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter),
                                    landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF()));
  const auto result =
      production::paintSheetJob(printer, layout, cards, pages < 0 ? layout.pageCount() : pages);
  EXPECT_TRUE(result.started);
  return path;
}

int pdfPageCount(const QString& path) {
  return pdfinfoField(path, "Pages").toInt();
}

QString pdfPageSize(const QString& path) {
  return pdfinfoField(path, "Page size");
}

QStringList pdfImages(const QString& path) {
  const auto list = testing_support::runProgram("pdfimages", {"-list", path});
  EXPECT_EQ(list.exitCode, 0) << list.err.toStdString();
  QStringList lines = QString::fromUtf8(list.out).split('\n', Qt::SkipEmptyParts);
  return lines.mid(2);  // the column titles and the rule under them
}

QImage pdfPage(const QString& path, int page, int dpi) {
  const QString prefix = path + QStringLiteral("-page");
  const auto run = testing_support::runProgram(
      "pdftoppm", {"-png", "-r", QString::number(dpi), "-f", QString::number(page), "-l",
                   QString::number(page), "-singlefile", path, prefix});
  EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
  return QImage(prefix + QStringLiteral(".png"));
}

QString pdfText(const QString& path) {
  const auto run = testing_support::runProgram("pdftotext", {"-raw", path, "-"});
  EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
  return QString::fromUtf8(run.out).remove(QRegularExpression("\\s"));
}

int differencesBeyondAntialiasing(const QImage& reference, const QImage& page) {
  const QImage a = reference.convertToFormat(QImage::Format_Grayscale8);
  const QImage b = page.convertToFormat(QImage::Format_Grayscale8);
  if (a.size() != b.size()) return a.width() * a.height() + 1;
  const auto grey = [&a](int x, int y) {
    return a.constScanLine(std::clamp(y, 0, a.height() - 1))[std::clamp(x, 0, a.width() - 1)];
  };
  int beyond = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      if (std::abs(grey(x, y) - b.constScanLine(y)[x]) <= 64) continue;
      bool edge = false;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) edge = edge || grey(x + dx, y + dy) != grey(x, y);
      if (!edge) ++beyond;
    }
  return beyond;
}

production::SheetRowFiller drawnAsPictures(production::SheetRowFiller filler) {
  return [filler](const SKTGraphicList& graphics, std::int64_t row, production::BarcodeVectors& vectors,
                  QString* reason) {
    const bool filled = !filler || filler(graphics, row, vectors, reason);
    for (auto& [object, printed] : vectors) printed.fills.reset();
    return filled;
  };
}

std::shared_ptr<CardSnapshot> qrDesign() {
  auto design = sampleDesign(false);
  // Wholly on the card, its footer too (87 x 95 points).
  design->front.push_back(production_testing::boundBarcode("Rows", true, QPointF(60, 20)));
  return design;
}

production::SheetRowFiller rowNumberFiller() {
  return [](const SKTGraphicList& graphics, std::int64_t row, production::BarcodeVectors& vectors,
            QString* reason) {
    for (const SKTGraphicPtr& object : graphics) {
      if (object->data_source_type != 1) continue;
      const QImage standIn =
          production::recordBarcodeVector(*object, QStringLiteral("Row %1").arg(row + 1), reason, vectors);
      if (standIn.isNull()) return false;
      object->Set_Barcode_image(standIn);
    }
    return true;
  };
}

QStringList decodeArea(const QImage& page, const QRectF& rect, int dpi) {
  const double scale = dpi / 72.0;
  const QRect pixels = QRectF(rect.topLeft() * scale, rect.size() * scale).toAlignedRect();
  const QImage grey = page.copy(pixels).convertToFormat(QImage::Format_Grayscale8);
  const ZXing::ImageView view(grey.constBits(), grey.width(), grey.height(), ZXing::ImageFormat::Lum,
                              static_cast<int>(grey.bytesPerLine()));
  ZXing::DecodeHints hints;
  hints.setFormats(ZXing::BarcodeFormat::QRCode | ZXing::BarcodeFormat::Code128);
  hints.setTryRotate(false);
  // One barcode an area: this version of the library cannot list several
  // readings of one linear symbol.
  const ZXing::Result result = ZXing::ReadBarcode(view, hints);
  if (!result.isValid()) return {};
  return {QString::fromStdString(result.text())};
}

}  // namespace print_testing
