#pragma once
// The barcode picture of a bound barcode object for one data value, made from
// that object's own settings. Pure: any thread, no widget, no shared state.

#include <QImage>
#include <QString>
#include <functional>

class SKTGraphic;

namespace production {

// The picture of `value` in the object's symbology with its header and
// footer, at `dpi` pixels per inch (0: the object's own resolution); a null
// picture and a reason when the value cannot be encoded.
QImage renderBoundBarcode(const SKTGraphic& object, const QString& value, QString* reason, int dpi = 0);

// The same at one pixel per point, the resolution exported cards have: a
// finer picture would only be scaled down again when the card is drawn.
QImage renderBoundBarcodeForCard(const SKTGraphic& object, const QString& value, QString* reason);

using BarcodeRenderer =
    std::function<QImage(const SKTGraphic& object, const QString& value, QString* reason)>;

}  // namespace production
