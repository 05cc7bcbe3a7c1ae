// Print jobs into PDF files, read back by the PDF tools: page counts for a
// total on a grid, the preview's cap against the full job, paper size and
// orientation, and cards drawn as vectors (no raster image for barcodes),
// rendered as the barcodes' own pictures draw them, captions as text.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "PrintTestSupport.h"

using namespace print_testing;

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
