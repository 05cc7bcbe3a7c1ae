#pragma once
// What a run's cards do not show of their design. A text draws the lines
// that fit its box and leaves the rest out; a value from a data row that is
// too long for its box is cut that way on the card, unlike the first row
// the canvas shows. A barcode is drawn at the size its value needs from the
// object's origin; a longer value than the canvas shows may run past the
// card's edge, where every output cuts it off. And a picture the design
// names by its path (the background of a side, a picture object) may be
// gone, so that no card shows it. A run collects these and its closing
// message says how many cards lost part of a bound text or barcode, names
// the first few cards and objects, and names the pictures that are missing.

#include <QSizeF>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "core/SKTDocument.h"
#include "core/render/SKTRenderingView.h"

namespace production {

// A barcode object as a card draws it: the size its picture covers from the
// object's origin, in points, and the value it shows.
struct DrawnBarcode {
  QSizeF size;
  QString value;
};
// How the card at hand draws a barcode object; none (or no answer): from the
// picture the object holds, showing the value of its settings.
using DrawnBarcodeOf = std::function<std::optional<DrawnBarcode>(const SKTGraphic&)>;

// What one filled side of a card loses, each as the closing message names it:
// - texts that take their value from a data source, are drawn on the card
//   (not "Screen only", not hidden) and do not show all their lines in their
//   box: "front text "<text shortened>" (<source>)";
// - barcodes bound to a data source, drawn on the card, whose picture runs
//   past the card's edge: "front barcode "<value shortened>" (<source>)";
// - the pictures the side names and shows none of (missingPictureLines).
// A source is a data series by its name, a column of the spreadsheet
// data-source table by its title. Any thread.
QStringList lostParts(const SKTGraphicList& side, CardSide which, const SidePaintContext& context,
                      const DrawnBarcodeOf& barcodes = {});

// The pictures a side names and does not show, one line each: its background
// picture (`missingBackground`, "" for none), then every picture object that
// takes no value from a data source, names a file and holds no picture:
//   The background picture "<path>" of the front was not found; the card shows no background.
//   The picture "<path>" of the picture object at 20, 35 mm on the back was not found; the card
//   shows no picture there.
// ("could not be read" in place of "was not found" for a file that is there).
QStringList missingPictureLines(const SKTGraphicList& side, CardSide which, const QString& missingBackground);

// What a run's closing message adds, card by card in the order the cards
// are made (row order). One thread adds; any thread may read a copy.
class CutTexts {
 public:
  // What card `row` (from 0) lost (lostParts); nothing for an empty list.
  // Both sides of a card may come one after the other: they count as one
  // card. A missing picture is named once, whichever cards lack it.
  void add(int row, const QStringList& parts);

  // Cards that lost part of a bound text or barcode.
  int cards() const { return cards_; }
  bool isEmpty() const { return cards_ == 0 && missing_.isEmpty(); }
  // What the closing message adds: the number of cards, a few "card n: ..."
  // lines and how many more, then the missing pictures; empty when nothing
  // was lost.
  QString note() const;

  // Texts and barcodes a note names at most.
  static constexpr int kNamed = 5;

 private:
  int cards_ = 0;
  int lastRow_ = -1;
  bool texts_ = false, barcodes_ = false;  // the kinds the cards lost part of
  QStringList named_;                      // "card n: <part>"
  int more_ = 0;
  QStringList missing_;  // the missing pictures, each once
};

}  // namespace production
