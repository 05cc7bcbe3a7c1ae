#pragma once
// Shared pieces of the printing tests: a card design, print jobs into PDF
// files, and what the PDF tools say about them.

#include <QImage>
#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "production/print/SheetCards.h"
#include "production/print/SheetLayout.h"

namespace print_testing {

// A 200 x 120 point card: a light front with a text (and a Code 128 barcode
// of "PRINT-1" when asked), a grey back with a text.
std::shared_ptr<CardSnapshot> sampleDesign(bool withBarcode = true);

// Sets a barcode object's value and picture, in its own symbology.
void drawBarcodeValue(SKTGraphic& code, const QString& value);

// Letter paper, 18-point margins, cells of the design's card size.
production::SheetLayout letterLayout(int rows, int columns, int total);

// Prints `pages` pages of the job into a PDF file (all of them by default);
// the file's path.
QString printToPdf(const QString& path, const production::SheetLayout& layout, production::SheetCards& cards,
                   std::int64_t pages = -1);

// What pdfinfo says under "Pages:" and "Page size:".
int pdfPageCount(const QString& path);
QString pdfPageSize(const QString& path);
// The lines of `pdfimages -list` below its header (one per image).
QStringList pdfImages(const QString& path);
// Page `page` (from 1) rendered by pdftoppm at `dpi`.
QImage pdfPage(const QString& path, int page, int dpi);
// The text pdftotext finds on the pages in the order it was drawn, without
// white space.
QString pdfText(const QString& path);

// Pixels of two renderings of a page that differ by more than anti-aliasing
// does: by more than a quarter of the grey scale, away from every edge of
// `reference` (a pixel beside one of another shade).
int differencesBeyondAntialiasing(const QImage& reference, const QImage& page);

// A filler (or none, for the design itself) whose barcodes draw their own
// vector pictures, one fill and one outline after the other, as a card
// draws them on any painter: the rendering printed sheets must keep.
production::SheetRowFiller drawnAsPictures(production::SheetRowFiller filler = nullptr);

// A 200 x 120 point card whose QR Code takes each data row's value, and the
// filler that writes "Row <n>" (n from 1) into it, as vector pictures.
std::shared_ptr<CardSnapshot> qrDesign();
production::SheetRowFiller rowNumberFiller();

// The text of the barcode zxing-cpp reads in the part `rect` (points) of a
// page rendered at `dpi`; empty when it reads none.
QStringList decodeArea(const QImage& page, const QRectF& rect, int dpi);

}  // namespace print_testing
