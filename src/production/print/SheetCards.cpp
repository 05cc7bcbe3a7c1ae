#include "production/print/SheetCards.h"

#include <QThread>
#include <algorithm>
#include <exception>

#include "platform/QueueHandOver.h"

namespace production {

void paintCardSide(QPainter& painter, const SKTGraphicList& graphics, const SidePaintContext& context,
                   const QRectF& target, const BarcodeVectors& vectors) {
  const QRectF card(QPointF(0, 0), context.size);
  if (card.isEmpty()) return;
  painter.save();
  painter.translate(target.topLeft());
  painter.setClipRect(card, Qt::IntersectClip);
  const SKTRenderingView view(card, graphics);
  if (vectors.empty()) {
    view.drawRect(painter, card, context);
  } else {
    view.drawRect(painter, card, context, [&vectors](QPainter& p, SKTGraphic& graphic) {
      return drawBarcodeVector(p, graphic, vectors);
    });
  }
  painter.restore();
}

namespace {

// What a printed side loses, its barcodes drawn from their vector pictures.
QStringList lostOf(const SKTGraphicList& graphics, CardSide side, const SidePaintContext& context,
                   const BarcodeVectors& vectors) {
  return lostParts(graphics, side, context,
                   [&vectors](const SKTGraphic& object) { return drawnBarcodeVector(object, vectors); });
}

}  // namespace

DesignSheetCards::DesignSheetCards(std::shared_ptr<const ::CardSnapshot> design,
                                   const SheetRowFiller& asDesigned)
    : design_(std::move(design)),
      ownFront_(SKTGraphic::cloneGraphics(design_->front)),
      ownBack_(SKTGraphic::cloneGraphics(design_->back)),
      ownFrontVectors_(designBarcodeVectors(ownFront_)),
      ownBackVectors_(designBarcodeVectors(ownBack_)) {
  if (!asDesigned) return;
  asDesigned(ownFront_, -1, ownFrontVectors_, nullptr);
  asDesigned(ownBack_, -1, ownBackVectors_, nullptr);
}

DesignSheetCards::DesignSheetCards(std::shared_ptr<const ::CardSnapshot> design, std::int64_t rows,
                                   SheetRowFiller filler, bool front, bool back, int workers)
    : design_(std::move(design)),
      rows_(std::max<std::int64_t>(rows, 0)),
      filler_(std::move(filler)),
      front_(front),
      back_(back) {
  const int threads = workers > 0 ? workers : std::max(1, QThread::idealThreadCount());
  pool_.setMaxThreadCount(threads);
  // Enough cards in flight to keep every worker busy while the painter
  // draws, and few enough that memory does not grow with the job.
  window_ = threads * 8;
}

DesignSheetCards::~DesignSheetCards() {
  pool_.clear();
  pool_.waitForDone();
}

QSizeF DesignSheetCards::cardSize() const {
  return design_->frontContext.size;
}

void DesignSheetCards::cellsAhead(std::int64_t first, std::int64_t count) {
  if (!dataMode()) return;
  end_ = std::min(rows_, first + std::max<std::int64_t>(count, 0));
  for (std::int64_t cell = first; cell < end_ && cell < first + window_; ++cell) request(cell);
}

void DesignSheetCards::request(std::int64_t cell) {
  if (pending_.count(cell) != 0) return;
  auto promise = std::make_shared<std::promise<std::shared_ptr<const Filled>>>();
  pending_[cell].result = promise->get_future().share();
  const std::shared_ptr<const ::CardSnapshot> design = design_;
  const SheetRowFiller filler = filler_;
  const bool front = front_, back = back_;
  std::function<void()> fill = [promise, design, filler, front, back, cell] {
    platform::takeOver(platform::HandOver::SheetCardFill);
    auto filled = std::make_shared<Filled>();
    try {
      QString reason;
      if (front) {
        filled->front = SKTGraphic::cloneGraphics(design->front);
        filled->ok = filler(filled->front, cell, filled->frontVectors, &reason) && filled->ok;
      }
      if (back) {
        filled->back = SKTGraphic::cloneGraphics(design->back);
        filled->ok =
            filler(filled->back, cell, filled->backVectors, filled->ok ? &reason : nullptr) && filled->ok;
      }
      filled->reason = reason;
      if (front)
        filled->cut = lostOf(filled->front, CardSide::Front, design->frontContext, filled->frontVectors);
      if (back) filled->cut += lostOf(filled->back, CardSide::Back, design->backContext, filled->backVectors);
    } catch (const std::exception& e) {
      filled->ok = false;
      filled->reason = QString::fromUtf8(e.what());
    }
    promise->set_value(std::move(filled));
  };
  // The task is whole before the mark, so the fill thread sees it whole.
  platform::handOver(platform::HandOver::SheetCardFill);
  pool_.start(std::move(fill));
}

const DesignSheetCards::Filled& DesignSheetCards::filledFor(std::int64_t cell) {
  // Cells before this one are done with; the ones after it are asked for
  // ahead, up to the window.
  pending_.erase(pending_.begin(), pending_.lower_bound(cell));
  request(cell);
  for (std::int64_t next = cell + 1; next < end_ && next < cell + window_; ++next) request(next);
  Pending& pending = pending_[cell];
  const Filled& filled = *pending.result.get();
  if (!pending.counted) {
    pending.counted = true;
    cut_.add(static_cast<int>(cell), filled.cut);
    if (!filled.ok) {
      if (failures_ == 0) firstFailure_ = QStringLiteral("Card %1: %2").arg(cell + 1).arg(filled.reason);
      ++failures_;
    }
  }
  return filled;
}

void DesignSheetCards::paintCard(QPainter& painter, std::int64_t cell, CardSide side, const QRectF& target) {
  const bool back = side == CardSide::Back;
  const SidePaintContext& context = back ? design_->backContext : design_->frontContext;
  if (!dataMode()) {
    const SKTGraphicList& own = back ? ownBack_ : ownFront_;
    std::optional<QStringList>& designCut = designCut_[back ? 1 : 0];
    if (!designCut) designCut = lostOf(own, side, context, back ? ownBackVectors_ : ownFrontVectors_);
    cut_.add(static_cast<int>(cell), *designCut);
    paintCardSide(painter, own, context, target, back ? ownBackVectors_ : ownFrontVectors_);
    return;
  }
  const Filled& filled = filledFor(cell);
  // A cell whose row could not be filled completely still shows what was
  // filled (an unencodable barcode stays blank); the job reports it.
  paintCardSide(painter, back ? filled.back : filled.front, context, target,
                back ? filled.backVectors : filled.frontVectors);
}

}  // namespace production
