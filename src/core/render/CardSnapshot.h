#pragma once
// Both sides of a card as they are at one moment: deep copies of each side's
// graphics and render contexts holding copies of each side's page settings.
// Taken on the GUI thread; any thread may then render either side from it,
// whatever side the user turns to meanwhile.

#include <QImage>

#include "core/SKTDocument.h"
#include "core/render/SKTRenderingView.h"

struct CardSnapshot {
  SKTGraphicList front, back;
  SidePaintContext frontContext, backContext;

  // Copies the graphics (the contexts already hold copies of their pages).
  static CardSnapshot take(const SKTGraphicList& front, const SKTGraphicList& back,
                           SidePaintContext frontContext, SidePaintContext backContext);

  // The side's picture (the temp side counts as the front), one pixel per
  // point, on white where the card leaves the picture open (outside a
  // rounded or elliptic card), as a picture file without transparency shows it.
  QImage sideImage(CardSide side) const;
};
