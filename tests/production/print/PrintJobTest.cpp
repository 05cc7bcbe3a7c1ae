// Print jobs into PDF files, read back by the PDF tools: page counts for a
// total on a grid, the preview's cap against the full job, paper size and
// orientation, and cards drawn as vectors (no raster image for barcodes),
// rendered as the barcodes' own pictures draw them, captions as text (also
// in a Type 1 face), and captions in a face that has to be made up as the
// export draws them.
#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QTemporaryDir>
#include <tuple>

#include "PrintTestSupport.h"
#include "barcode/designer/GraphicBarcodeSettings.h"
#include "production/CardFill.h"

using namespace print_testing;

namespace {

// The sample design whose Code 128 shows only its caption, in `face` at 14
// points, under the bars.
std::shared_ptr<CardSnapshot> captionDesign(const QString& face) {
  auto design = sampleDesign();
  SKTGraphic& code = *design->front.back();
  code.header_val.clear();
  code.footer_val.clear();
  barcode::BarcodeSettings settings = barcode::barcodeSettingsOf(code);
  settings.value_font_val = {face, 14};
  barcode::setBarcodeSettings(code, settings);
  drawBarcodeValue(code, "PRINT-1");
  return design;
}

// The caption's ink on that card at 300 dpi: the dark pixels of the last
// rows of ink in the barcode's frame, and the box of each glyph (the
// caption's letters stand apart).
struct CaptionInk {
  int dark = 0;
  QList<QRect> glyphs;
};

CaptionInk captionInk(const QImage& card) {
  const QImage grey = card.convertToFormat(QImage::Format_Grayscale8);
  const QRect frame(44, 169, 746, 288);  // inside the frame (10, 40, 180, 70) points at 300 dpi
  const auto dark = [&](int x, int y) { return grey.constScanLine(y)[x] < 128; };
  int top = 0, bottom = -1;
  bool inked = false;
  for (int y = frame.top(); y <= frame.bottom(); ++y) {
    bool row = false;
    for (int x = frame.left(); x <= frame.right() && !row; ++x) row = dark(x, y);
    if (row && !inked) top = y;
    if (row) bottom = y;
    inked = row;
  }
  CaptionInk ink;
  bool inGlyph = false;
  for (int x = frame.left(); x <= frame.right(); ++x) {
    QRect column;
    for (int y = top; y <= bottom; ++y) {
      if (!dark(x, y)) continue;
      column |= QRect(x, y, 1, 1);
      ++ink.dark;
    }
    if (!column.isEmpty()) {
      if (!inGlyph) ink.glyphs.append(column);
      ink.glyphs.back() |= column;
    }
    inGlyph = !column.isEmpty();
  }
  return ink;
}

std::string box(const QRect& r) {
  return QString::asprintf("%d,%d to %d,%d", r.left(), r.top(), r.right(), r.bottom()).toStdString();
}

}  // namespace

TEST(PrintJob, PageCountsPaperAndOrientation) {
  QTemporaryDir dir;
  // Counting sheets needs no barcodes.
  production::DesignSheetCards cards(sampleDesign(false));

  // 7 cards on 2 x 3: two sheets of letter paper.
  const QString seven = printToPdf(dir.filePath("seven.pdf"), letterLayout(2, 3, 7), cards);
  EXPECT_EQ(pdfPageCount(seven), 2);
  EXPECT_EQ(pdfPageSize(seven), "612 x 792 pts (letter)");

  // 301 cards: the full job has 51 sheets, a preview stops at 50.
  const auto many = letterLayout(2, 3, 301);
  EXPECT_EQ(pdfPageCount(printToPdf(dir.filePath("full.pdf"), many, cards)), 51);
  EXPECT_EQ(
      pdfPageCount(printToPdf(dir.filePath("preview.pdf"), many, cards, production::kPreviewSheetLimit)), 50);

  // Landscape paper.
  auto wide = letterLayout(2, 2, 4);
  std::swap(wide.paperWidth, wide.paperHeight);
  const QString landscape = printToPdf(dir.filePath("landscape.pdf"), wide, cards);
  EXPECT_EQ(pdfPageCount(landscape), 1);
  EXPECT_EQ(pdfPageSize(landscape), "792 x 612 pts (letter)");
}

TEST(PrintJob, CardsAreVectorsAndLandInTheirCells) {
  QTemporaryDir dir;
  auto layout = letterLayout(2, 2, 3);
  layout.Print_Card_Side = "BOTH";
  layout.Print_Card_Algn = "U";
  layout.label_hight = 240;
  production::DesignSheetCards cards(sampleDesign());
  const QString pdf = printToPdf(dir.filePath("vector.pdf"), layout, cards);
  EXPECT_EQ(pdfPageCount(pdf), 1);
  EXPECT_TRUE(pdfImages(pdf).isEmpty()) << pdfImages(pdf).join('\n').toStdString();

  // At 72 dpi one pixel is one point: the three cards' fronts and backs show
  // their colours where the layout puts them; the fourth cell and the space
  // between cells stay white.
  const QImage page = pdfPage(pdf, 1, 72);
  ASSERT_EQ(page.size(), QSize(612, 792));
  const auto colourAt = [&](QPointF p) { return page.pixelColor(p.toPoint()).rgb(); };
  for (int cell = 0; cell < 4; ++cell) {
    const auto place = layout.placeCard(layout.cellRect(cell / 2 + 1, cell % 2 + 1), QSizeF(200, 120));
    const QPointF frontCorner = place.front.bottomRight() - QPointF(4, 4);
    const QPointF backCorner = place.back.bottomRight() - QPointF(4, 4);
    if (cell < 3) {
      EXPECT_EQ(colourAt(frontCorner), QColor(250, 250, 235).rgb()) << cell;
      EXPECT_EQ(colourAt(backCorner), QColor(225, 225, 225).rgb()) << cell;
    } else {
      EXPECT_EQ(colourAt(frontCorner), QColor(Qt::white).rgb());
    }
  }
  EXPECT_EQ(colourAt(QPointF(223, 100)), QColor(Qt::white).rgb());
  // The barcode of the design reads back from every printed front.
  const QImage fine = pdfPage(pdf, 1, 300);
  for (int cell = 0; cell < 3; ++cell) {
    const auto place = layout.placeCard(layout.cellRect(cell / 2 + 1, cell % 2 + 1), QSizeF(200, 120));
    EXPECT_EQ(decodeArea(fine, place.front, 300), QStringList{"PRINT-1"}) << cell;
  }
  // The page looks as it does with every barcode drawing its own picture,
  // and each caption is text that a reader finds.
  production::DesignSheetCards pictures(sampleDesign(), drawnAsPictures());
  const QString reference = printToPdf(dir.filePath("pictures.pdf"), layout, pictures);
  EXPECT_EQ(differencesBeyondAntialiasing(pdfPage(reference, 1, 200), pdfPage(pdf, 1, 200)), 0);
  EXPECT_EQ(pdfText(pdf).count("PRINT-1"), 3) << pdfText(pdf).toStdString();
}

TEST(PrintJob, CaptionsInAMadeUpFacePrintAsTheExportDrawsThem) {
  // DejaVu Math TeX Gyre has only its regular face: its bold and italic are
  // made up (thickened, slanted). Z003 has only a medium italic and Standard
  // Symbols PS only a regular face, in Type 1 files without the tables that
  // tell a face's weight and slant: Z003 asked for as regular or italic is
  // the file's own face, its bold and the symbols' italic are made up. Every
  // caption prints as the export draws it, to a pixel at 300 dpi (two across
  // for the hairline swashes of Z003 printed as text); the faces that fonts
  // hold print as text.
  ASSERT_EQ(QFontDatabase::styles("DejaVu Math TeX Gyre").join(", ").toStdString(), "Regular")
      << "from fonts-dejavu-extra";
  ASSERT_EQ(QFontDatabase::styles("Z003").join(", ").toStdString(), "Medium Italic")
      << "from fonts-urw-base35";
  ASSERT_EQ(QFontDatabase::styles("Standard Symbols PS").join(", ").toStdString(), "Regular");
  QTemporaryDir dir;
  const auto layout = letterLayout(1, 1, 1);
  const QRectF card = layout.placeCard(layout.cellRect(1, 1), QSizeF(200, 120)).front;
  // The face, whether it is made up, how many pixels across a glyph may lie
  // apart. "[urw]" names the Type 1 files of a family that fonts-urw-base35
  // also installs as OpenType.
  const std::tuple<QString, bool, int> faces[] = {{"DejaVuMathTeXGyre", false, 1},
                                                  {"DejaVuSerif-BoldItalic", false, 1},
                                                  {"DejaVuMathTeXGyre-Bold", true, 1},
                                                  {"DejaVuMathTeXGyre-Italic", true, 1},
                                                  {"Z003", false, 2},
                                                  {"Z003 [urw]-Italic", false, 2},
                                                  {"Z003 [urw]-Bold", true, 1},
                                                  {"Standard Symbols PS [urw]-Italic", true, 1}};
  for (const auto& [face, madeUp, across] : faces) {
    SCOPED_TRACE(face.toStdString());
    const auto design = captionDesign(face);
    production::DesignSheetCards cards(design);
    const QString pdf = printToPdf(dir.filePath(face + ".pdf"), layout, cards);
    const QRectF pixels(card.topLeft() * 300 / 72, card.size() * 300 / 72);
    const CaptionInk printed = captionInk(pdfPage(pdf, 1, 300).copy(pixels.toAlignedRect()));
    production::RunSnapshot run;
    run.card = *design;
    const CaptionInk exported =
        captionInk(production::exportedSide(*production::exportSnapshot(run, 300), -1, CardSide::Front, 300));
    EXPECT_NEAR(printed.dark, exported.dark, exported.dark * 0.05);
    ASSERT_EQ(exported.glyphs.size(), 7);
    ASSERT_EQ(printed.glyphs.size(), 7);
    // Each glyph within `across` pixels across and two up or down.
    for (int g = 0; g < 7; ++g) {
      const QRect a = printed.glyphs[g], b = exported.glyphs[g];
      EXPECT_TRUE(std::abs(a.left() - b.left()) <= across && std::abs(a.right() - b.right()) <= across &&
                  std::abs(a.top() - b.top()) <= 2 && std::abs(a.bottom() - b.bottom()) <= 2)
          << "glyph " << g << ": printed " << box(a) << ", exported " << box(b);
    }
    EXPECT_EQ(pdfText(pdf).contains("PRINT-1"), !madeUp) << pdfText(pdf).toStdString();
  }
}

TEST(PrintJob, DataRowsRunOnAcrossPagesAndLeaveSpareCellsEmpty) {
  // 10 data rows, a total of 12 on 2 x 3: page 1 holds rows 1-6, page 2
  // rows 7-10 and two empty cells; zxing-cpp reads each cell of the PDF.
  QTemporaryDir dir;
  const auto layout = letterLayout(2, 3, 12);
  production::DesignSheetCards cards(qrDesign(), 10, rowNumberFiller(), true, false, 3);
  const QString pdf = printToPdf(dir.filePath("rows.pdf"), layout, cards);
  ASSERT_EQ(pdfPageCount(pdf), 2);
  EXPECT_EQ(cards.failures(), 0);
  EXPECT_TRUE(pdfImages(pdf).isEmpty());
  for (int page = 1; page <= 2; ++page) {
    const QImage sheet = pdfPage(pdf, page, 150);
    for (int cell = 0; cell < 6; ++cell) {
      const int row = (page - 1) * 6 + cell + 1;
      const QStringList expected = row <= 10 ? QStringList{QStringLiteral("Row %1").arg(row)} : QStringList{};
      EXPECT_EQ(decodeArea(sheet, layout.cellRect(cell / 3 + 1, cell % 3 + 1), 150), expected)
          << "page " << page << " cell " << cell;
    }
  }
  // The same page painted again, alone and out of order, holds the same rows.
  const QString again = printToPdf(dir.filePath("again.pdf"), layout, cards, 2);
  const QImage second = pdfPage(again, 2, 150);
  EXPECT_EQ(decodeArea(second, layout.cellRect(2, 1), 150), QStringList{"Row 10"});
  // Both pages look as they do with every symbol drawing its own picture.
  production::DesignSheetCards pictures(qrDesign(), 10, drawnAsPictures(rowNumberFiller()), true, false, 3);
  const QString reference = printToPdf(dir.filePath("pictures.pdf"), layout, pictures);
  for (int page = 1; page <= 2; ++page)
    EXPECT_EQ(differencesBeyondAntialiasing(pdfPage(reference, page, 200), pdfPage(pdf, page, 200)), 0)
        << "page " << page;
}
