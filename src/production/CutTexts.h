#pragma once
// What a run's cards do not show of their design. A text draws the lines
// that fit its box and leaves the rest out; a value from a data row that is
// too long for its box is cut that way on the card, unlike the first row
// the canvas shows. A character that no installed font has is drawn as an
// empty box. A barcode is drawn at the size its value needs from the
// object's origin; a longer value than the canvas shows may run past the
// card's edge, where every output cuts it off. A picture bound to a data
// source names a file per row, which may be missing, damaged or no picture.
// And a picture the design names by its path (the background of a side, a
// picture object) may be gone, so that no card shows it. A run collects
// these and its closing message says how many cards lost part of what was
// asked, names the first few cards and their parts, and names the pictures
// that are missing.

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

// What one filled side of a card loses, each as the closing message names it
// (only objects drawn on the card: not "Screen only", not hidden):
// - texts that take their value from a data source and do not show all
//   their lines in their box: "front text "<text shortened>" (<source>)";
// - texts, bound or not, with characters that no installed font has
//   (text_look::charactersWithoutFont): "front text "<text shortened>"
//   [(<source>)]: no installed font has 王, 小, 明" (after a source: "...:
//   does not fit its box, and no installed font has ..." when it is cut too);
// - barcodes bound to a data source whose picture runs past the card's edge,
//   by their kind: "front Code 128 barcode "<value>" (<source>)", "front QR
//   Code "<value>" (<source>)";
// - pictures bound to a data source whose file the card cannot show, with
//   the picture check's reason (pictureFileProblem; no decoding):
//   "front picture "<path>" (<source>): no such file or directory";
// - the pictures the side names and shows none of (missingPictureLines).
// A source is a data series by its name, a column of the spreadsheet
// data-source table by its title. Any thread.
QStringList lostParts(const SKTGraphicList& side, CardSide which, const SidePaintContext& context,
                      const DrawnBarcodeOf& barcodes = {});

// The pictures a side names and does not show, one line each: its background
// picture (`missingBackground`, "" for none), then every picture object that
// names a file and holds no picture (a bound one: card 1's file, which the
// canvas shows):
//   The background picture "<path>" of the front was not found; the card shows no background.
//   The picture "<path>" of the picture object at 20, 35 mm on the back was not found; the card
//   shows no picture there.
//   The picture "<path>" that card 1 takes from spreadsheet column "Photo" for the picture object
//   at 20, 35 mm on the front was not found; the card shows no picture there.
// ("could not be read" in place of "was not found" for a file that is there).
QStringList missingPictureLines(const SKTGraphicList& side, CardSide which, const QString& missingBackground);

// What a run's closing message adds, card by card in the order the cards
// are made (row order). One thread adds; any thread may read a copy.
class CutTexts {
 public:
  // What card `row` (from 0) lost (lostParts); nothing for an empty list.
  // Both sides of a card may come one after the other: they count as one
  // card, and a part is named once. A missing picture is named once,
  // whichever cards lack it.
  void add(int row, const QStringList& parts);

  // Cards that lost part of what was asked.
  int cards() const { return cards_; }
  bool isEmpty() const { return cards_ == 0 && missing_.isEmpty(); }
  // What the closing message adds: the number of cards, one line per card
  // for the first few ("card n: <part>; <part>") and how many more cards,
  // then the missing pictures; empty when nothing was lost.
  QString note() const;

  // Cards a note names at most.
  static constexpr int kNamed = 5;

 private:
  int cards_ = 0;
  int lastRow_ = -1;
  // The kinds the cards lost part of.
  bool texts_ = false, barcodes_ = false, pictures_ = false, glyphs_ = false;
  QStringList named_;       // "card n: <part>; <part>", the first kNamed cards
  QStringList lastParts_;   // the parts of card lastRow_
  bool lastNamed_ = false;  // card lastRow_ has a line in named_
  QStringList missing_;     // the missing pictures, each once
};

}  // namespace production
