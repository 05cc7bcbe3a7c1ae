#pragma once
// Bound texts that a run's cards do not show whole. A text draws the lines
// that fit its box and leaves the rest out; a value from a data row that is
// too long for its box is cut that way on the card, unlike the first row
// the canvas shows. A run collects such cards and its closing message says
// how many there were and names the first few cards and texts.

#include <QString>
#include <QStringList>

#include "core/SKTDocument.h"

namespace production {

// The texts of one filled side of a card that take their value from a data
// source, are drawn on the card (not "Screen only", not hidden) and do not
// show all their lines in their box; each as the closing message names it:
// its side, its text shortened, its source (a data series by its name, a
// column of the spreadsheet data-source table by its title). Any thread.
QStringList cutBoundTexts(const SKTGraphicList& side, CardSide which);

// The cut texts of one run, card by card in the order the cards are made
// (row order). One thread adds; any thread may read a copy.
class CutTexts {
 public:
  // The cut texts of card `row` (from 0); nothing for an empty list. Both
  // sides of a card may come one after the other: they count as one card.
  void add(int row, const QStringList& texts);

  int cards() const { return cards_; }
  bool isEmpty() const { return cards_ == 0; }
  // What the closing message adds: the number of cards, a few "card n: ..."
  // lines, and how many more; empty when nothing was cut.
  QString note() const;

  // Texts a note names at most.
  static constexpr int kNamed = 5;

 private:
  int cards_ = 0;
  int lastRow_ = -1;
  QStringList named_;  // "card n: <text>"
  int more_ = 0;
};

}  // namespace production
