#pragma once
// The cards of a print job, painted as vectors (texts and shapes as
// outlines, barcodes as rectangles, pictures as pictures) from a copy of
// the design taken when the job starts.
//
// Without data every cell shows the design as it is. In data mode each cell
// shows its own data row: a pool of workers fills copies of the design with
// the rows of the cells that come next, a few pages ahead of the painter,
// and the one painting thread draws them in any order it asks for them.
// Memory stays within that window whatever the number of rows.

#include <QString>
#include <QThreadPool>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <optional>

#include "core/render/CardSnapshot.h"
#include "core/render/SKTRenderingView.h"
#include "production/print/SheetDrawing.h"
#include "production/print/VectorBarcodes.h"

namespace production {

// A side's objects drawn into `target` (the card's top-left at the target's,
// one point per point), over the card itself, clipped to the card; barcode
// objects from their vector pictures where `vectors` has them.
void paintCardSide(QPainter& painter, const SKTGraphicList& graphics, const SidePaintContext& context,
                   const QRectF& target, const BarcodeVectors& vectors = {});

// Writes data row `row` into copies of a side's objects, the vector
// pictures of its barcodes into `vectors`; false with a reason when an
// object could not take its value. Called on workers.
using SheetRowFiller = std::function<bool(const SKTGraphicList& graphics, std::int64_t row,
                                          BarcodeVectors& vectors, QString* reason)>;

class DesignSheetCards : public SheetCards {
 public:
  // The design alone: the same card in every cell. `asDesigned`, when given,
  // fills the design's row -1 first: the objects a run leaves empty.
  explicit DesignSheetCards(std::shared_ptr<const ::CardSnapshot> design,
                            const SheetRowFiller& asDesigned = nullptr);
  // Data mode: `rows` data rows filled by `filler`, the sides the layout
  // shows, prepared by `workers` threads (0: one per core).
  DesignSheetCards(std::shared_ptr<const ::CardSnapshot> design, std::int64_t rows, SheetRowFiller filler,
                   bool front, bool back, int workers = 0);
  ~DesignSheetCards() override;

  QSizeF cardSize() const override;
  bool dataMode() const override { return static_cast<bool>(filler_); }
  std::int64_t dataRows() const override { return rows_; }
  void cellsAhead(std::int64_t first, std::int64_t count) override;
  void paintCard(QPainter& painter, std::int64_t cell, CardSide side, const QRectF& target) override;
  int failures() const override { return failures_; }
  QString firstFailure() const override { return firstFailure_; }
  CutTexts cutTexts() const override { return cut_; }

  // Filled cells kept ahead of the painter at most.
  int window() const { return window_; }

 private:
  struct Filled {
    SKTGraphicList front, back;
    BarcodeVectors frontVectors, backVectors;
    bool ok = true;
    QString reason;
    QStringList cut;  // what the cell does not show of the design (lostParts), the front's first
  };
  struct Pending {
    std::shared_future<std::shared_ptr<const Filled>> result;
    bool counted = false;
  };
  void request(std::int64_t cell);
  const Filled& filledFor(std::int64_t cell);

  std::shared_ptr<const ::CardSnapshot> design_;
  SKTGraphicList ownFront_, ownBack_;  // the painter's copies of the design
  BarcodeVectors ownFrontVectors_, ownBackVectors_;
  std::int64_t rows_ = 0;
  SheetRowFiller filler_;
  bool front_ = true, back_ = true;
  int window_ = 0;
  std::int64_t end_ = 0;  // cells past this are never asked for ahead
  std::map<std::int64_t, Pending> pending_;
  QThreadPool pool_;
  int failures_ = 0;
  QString firstFailure_;
  // What the design itself does not show, by side (found on first use).
  std::optional<QStringList> designCut_[2];
  CutTexts cut_;
};

}  // namespace production
