#pragma once
// The barcode picture of a barcode object for one data value, made from that
// object's own settings, at the resolution of the card it goes on, and its
// drawing pixel for pixel onto an exported picture. Pure: any thread, no
// widget, no shared state.

#include <QImage>
#include <QString>
#include <functional>

#include "core/SKTGraphic.h"

class QPainter;

namespace production {

// The picture of `value` in the object's symbology with its header and
// footer, at `dpi` pixels per inch (0: the object's own resolution); a null
// picture and a reason when the value cannot be encoded.
QImage renderBoundBarcode(const SKTGraphic& object, const QString& value, QString* reason, int dpi = 0);

// The same at one pixel per point, the resolution of the cards a mail
// carries: a finer picture would only be scaled down again when the card is drawn.
QImage renderBoundBarcodeForCard(const SKTGraphic& object, const QString& value, QString* reason);

using BarcodeRenderer =
    std::function<QImage(const SKTGraphic& object, const QString& value, QString* reason)>;

// Pictures for a card exported at `dpi`: every module of the symbol the same
// whole number of pixels there (barcode::sharpCardImage).
BarcodeRenderer sharpBarcodes(int dpi);

// Gives every barcode object of the list that holds a picture a new one made
// by sharpBarcodes(dpi) from its own settings and the value it shows, whether
// typed or bound to a data source (a run that fills a bound one from its rows
// draws over this picture; one that does not use the source shows it); an
// object whose value cannot be drawn keeps its picture, and one that holds
// none (never designed) keeps showing the sample picture, as the canvas does.
void sharpenBarcodes(const SKTGraphicList& graphics, int dpi);

// Draws a barcode object whose picture was made for the painter's resolution
// (its device pixel ratio is the painter's scale onto a raster) pixel for
// pixel, from the whole pixel nearest to its origin, so that no module is
// resampled. False for any other object or painter (drawn as usual then).
bool drawBarcodePixelForPixel(QPainter& painter, SKTGraphic& graphic);

}  // namespace production
