#pragma once
// Barcodes on printed sheets: each barcode object is drawn from its vector
// picture (bars as rectangles, texts as text), made from the object's own
// settings and value, instead of from the raster picture a card keeps for
// the screen. Sharp at any printer resolution and small in a PDF.

#include <QImage>
#include <QString>
#include <unordered_map>

#include "barcode/BarcodePicture.h"
#include "core/SKTGraphic.h"
#include "production/CutTexts.h"
#include "production/print/SolidFills.h"

class QPainter;

namespace production {

// The vector picture of one barcode, with its fills gathered for a
// compact document when it is made of solid fills only.
struct PrintedBarcode {
  barcode::BarcodePicture picture;
  std::optional<SolidFills> fills;
  QString value;  // the value it shows
};
// The vector pictures of one card side's barcode objects, by object.
using BarcodeVectors = std::unordered_map<const SKTGraphic*, PrintedBarcode>;

// Makes the vector picture of `value` for a barcode object, with its own
// settings, header and footer, and keeps it in `into`. Answers a stand-in
// picture for the object (a null one with a reason when the value cannot
// be drawn), so that it can serve as the barcode renderer of a filling.
QImage recordBarcodeVector(const SKTGraphic& object, const QString& value, QString* reason,
                           BarcodeVectors& into);

// The vector pictures of the barcode objects of a list as designed (the
// value their settings show); objects whose value cannot be drawn keep
// their raster picture, and those that hold none (never designed) the
// sample picture the canvas shows for them.
BarcodeVectors designBarcodeVectors(const SKTGraphicList& graphics);

// A barcode object as drawn from its vector picture (size and value); none
// when it has none.
std::optional<DrawnBarcode> drawnBarcodeVector(const SKTGraphic& graphic, const BarcodeVectors& vectors);

// Draws a visible barcode object from its vector picture, at its own size
// from the object's origin; false when it has none (drawn as usual then).
bool drawBarcodeVector(QPainter& painter, const SKTGraphic& graphic, const BarcodeVectors& vectors);

}  // namespace production
