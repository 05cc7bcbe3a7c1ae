// Printing of the front list to a PDF file, read back with pdfinfo and pdftoppm.
#include <gtest/gtest.h>

#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "core/render/CardBackground.h"
#include "core/render/RenderFixture.h"
#include "production/DocumentPrinting.h"

using namespace render_test;

using DocumentPrinting = SampleDocumentTest;

TEST_F(DocumentPrinting, PrintsTheFrontSideWithTheFileNameAsTitle) {
  EXPECT_EQ(production::printJobTitle(doc, "/some/where/Birthday card.dcard"), "Birthday card");
  EXPECT_EQ(production::printJobTitle(doc, ""), doc.displayName());
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  const QString out = dir.filePath("print.pdf");
  printer.setOutputFileName(out);
  printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
  ASSERT_TRUE(production::printFrontSide(doc, printer, "/x/Birthday card.dcard",
                                         sidePaintContextForPage(Card_Property(), 0, {243, 154}, QString())));
  int code = -1;
  const QString info = runTool("pdfinfo", {out}, &code);
  EXPECT_EQ(code, 0);
  EXPECT_TRUE(info.contains(QRegularExpression("Title:\\s+Birthday card"))) << info.toStdString();
  // The star is on the page: rasterise and look at its centre (35, 35 points from the page's corner).
  runTool("pdftoppm", {"-r", "72", "-png", "-singlefile", out, dir.filePath("print")}, &code);
  const QImage page(dir.filePath("print.png"));
  ASSERT_FALSE(page.isNull());
  const QRgb c = page.pixel(35, 35);
  EXPECT_GT(qRed(c), 200);
  EXPECT_LT(qGreen(c), 80);
}
