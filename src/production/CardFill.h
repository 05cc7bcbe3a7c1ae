#pragma once
// Filling a data row into a card side and rendering it, from a snapshot of
// the design taken on the GUI thread. Workers render from the snapshot: each
// call fills its own copies of the objects, so any number of threads may
// render rows of one snapshot at once, and the live card is never touched.

#include <QImage>
#include <QString>
#include <memory>

#include "core/SKTDocument.h"
#include "core/render/CardSnapshot.h"
#include "core/render/SKTRenderingView.h"
#include "production/BarcodeFill.h"
#include "production/DataBinding.h"

namespace production {

// Everything a run renders from, copied when the run starts: both sides
// (objects and page settings) and the data rows.
struct RunSnapshot {
  CardSnapshot card;
  std::shared_ptr<const BindingRows> rows = std::make_shared<BindingRows>();
  // What fills bound barcodes; none: the barcode renderer, at one pixel per
  // point (renderBoundBarcodeForCard), or for an export at its resolution.
  BarcodeRenderer barcodes;

  const SKTGraphicList& graphics(CardSide side) const {
    return side == CardSide::Back ? card.back : card.front;
  }
  const SidePaintContext& context(CardSide side) const {
    return side == CardSide::Back ? card.backContext : card.frontContext;
  }
};

// Writes row `row` into every bound object of the list, in list order: a
// text's characters, a picture's file, a barcode's picture. Objects of a
// source the run does not use keep their content. False with a reason when
// an object could not take its value (the filling still visits every object).
bool Assign_Batch_Values_To_Control(const SKTGraphicList& graphics, const BindingRows& rows, int row,
                                    const BarcodeRenderer& barcodes, QString* reason = nullptr);

// The side of card `row` (from 0; -1: as designed, without data but for the
// objects the rows leave empty) as a picture, one pixel per point. A null
// picture with a reason when the row could not be filled or rendered.
// `cut` gets what the picture does not show of the design (lostParts).
QImage Set_data_table_value_to_card(const RunSnapshot& snapshot, int row, CardSide side,
                                    QString* reason = nullptr, QStringList* cut = nullptr);

// A copy of the snapshot ready for an export at `dpi` (its own copies of the
// graphics): every barcode carries a picture of the value it shows made for
// that resolution, and bound ones the run fills are filled so (sharpBarcodes)
// unless the snapshot names a renderer.
std::shared_ptr<const RunSnapshot> exportSnapshot(const RunSnapshot& snapshot, int dpi);

// The side of card `row` (from 0; -1: as designed, as above) of an
// exportSnapshot as an exported file holds it: dpi / 72 pixels per point, the
// resolution recorded, and every barcode made for it put pixel for pixel, so
// that its bars and cells stay whole pixels wide. A null picture with a
// reason when the row could not be filled or the side rendered; `cut` as above.
QImage exportedSide(const RunSnapshot& snapshot, int row, CardSide side, int dpi, QString* reason = nullptr,
                    QStringList* cut = nullptr);

}  // namespace production
