#pragma once
// The one barcode renderer: a barcode settings record and a value in, the
// picture a barcode card object shows out. The designer's preview, the card
// object's picture and batch filling all call it.
//
//   const barcode::BarcodeRender r =
//       barcode::render(settings, value, settings.header_val, settings.footer_val);
//   if (r.ok()) graphic.Set_Barcode_image(barcode::cardImage(r.picture, barcode::resolutionDpi(settings)));
//   else        show r.error
//
// It is a pure function of its arguments: it reads no widget, no window and
// no global the dialog writes, so any number of threads may call it at once
// (each with its own record). Nothing here includes a widget header.
//
// Sizes follow the designer's rules: heights and margins of the record are
// centimetres (1 cm = 0.393701 x 72 points), the module width is in
// thousandths of an inch; a linear picture is max(header, footer, bars) wide
// plus twice the left/right margin (plus 15 points when that margin is above
// 0) and as high as the bars plus the printed texts, their margins and twice
// the top/bottom margin; a 2D picture is framed the same way, with the value
// text taking no room.

#include <QImage>
#include <QString>

#include "barcode/BarcodeDrawingState.h"
#include "barcode/BarcodePicture.h"
#include "barcode/designer/BarcodeSettings.h"

namespace barcode {

struct BarcodeRender {
  // Vector picture in points; null when the value could not be drawn.
  BarcodePicture picture;
  // Why there is no picture ("" when there is one).
  QString error;
  // One module of the symbol in the picture, in points: the narrowest bar or
  // space of a linear symbol (given as high as it is wide), a cell of a 2D
  // one. Empty when there is no picture.
  QSizeF module;
  bool ok() const { return !picture.isNull(); }
};

// The picture of a value with the record's settings, framed with the given
// header and footer texts (shown unless the record hides them). QR Code and
// DataMatrix encode the value's UTF-8 bytes, PDF417 its Latin-1 bytes where
// every character has one and its UTF-8 bytes otherwise. A value the
// symbology refuses, an empty value, or a symbol too large to draw gives no
// picture and an error text that says why (the characters a linear symbology
// cannot take, the room a 2D value needs); nothing of an earlier render is
// ever returned.
// The record is bounded (boundedSettings) before use.
BarcodeRender render(const BarcodeSettings& settings, const QString& value, const QString& header,
                     const QString& footer);

// The raster a card object keeps: the picture at dpi pixels per inch, marked
// with a device pixel ratio of dpi / 72 so that its device-independent size is
// the picture's size in points. A picture too large for the allocation limit
// at that resolution is made at the highest resolution that fits. Null for a
// null picture.
QImage cardImage(const BarcodePicture& picture, int dpi);

// The raster for a card drawn at dpi pixels per inch in which every module is
// the same whole number of pixels (the nearest to its exact width there, at
// least one), so that bars and cells keep hard, even edges: the picture is
// drawn larger or smaller by the ratio of that number to the exact one, across
// and down alike for a linear symbol (its texts keep their shape), down by the
// cell height's own ratio for a 2D one. Marked with a device pixel ratio of
// dpi / 72 as cardImage's raster is. A render without a module, or one too
// large for the allocation limit, gives cardImage's raster instead.
QImage sharpCardImage(const BarcodeRender& render, int dpi);

// The drawing state the record describes, with the margins converted to
// points and the margins of texts that are not printed set to 0.
BarcodeDrawingState drawingStateFor(const BarcodeSettings& settings);

// A length of the record (centimetres) in points: value x 0.393701 x 72,
// computed in double precision and rounded to float after each step. Unit 2
// reads millimetres, any other unit but 1 inches.
float toPoints(float value, int unit = 1);

}  // namespace barcode
