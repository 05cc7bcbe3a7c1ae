#pragma once
// Drawing sheets of cards from a sheet layout.
//
// The page loop is a pure function of the layout, the page number and the
// cards: page p holds the cells (p - 1) x rows x columns onwards, so any page
// can be drawn at any time, in any order, any number of times (the print
// preview repaints pages as it likes) and always shows the same cards. In
// data mode cell k of the job takes data row k.

#include <QPainter>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <cstdint>
#include <functional>

#include "core/SKTDocument.h"
#include "production/CutTexts.h"
#include "production/print/SheetLayout.h"

class QPagedPaintDevice;

namespace production {

// The cards a job puts into its cells. One thread paints; an implementation
// may prepare cells ahead on workers when told which cells come next.
class SheetCards {
 public:
  virtual ~SheetCards() = default;
  // Size of one card side in points; empty when the design gave none.
  virtual QSizeF cardSize() const = 0;
  // True when every cell takes its own data row.
  virtual bool dataMode() const { return false; }
  // Data rows there are (data mode); cells past them stay empty.
  virtual std::int64_t dataRows() const { return 0; }
  // The cells [first, first + count) are about to be painted, page after
  // page from here on: a chance to prepare them.
  virtual void cellsAhead(std::int64_t /*first*/, std::int64_t /*count*/) {}
  // Paints one side of the card of `cell` (from 0 in the job) into `target`,
  // one point per point. Data mode fills the cell's data row first.
  virtual void paintCard(QPainter& painter, std::int64_t cell, CardSide side, const QRectF& target) = 0;
  // Cells whose data row could not be filled completely, and the first reason.
  virtual int failures() const { return 0; }
  virtual QString firstFailure() const { return {}; }
  // The cards painted so far whose bound texts do not show whole.
  virtual CutTexts cutTexts() const { return {}; }
};

// Paints page `page` (from 1) of the job onto a white sheet: every cell of
// the page up to the job's total.
void drawSheetPage(QPainter& painter, const SheetLayout& layout, std::int64_t page, SheetCards& cards);

// The sample sheet of the dialog: the cells of one sheet numbered "Card n"
// and "Back n" (or "Invalid Data" without a card of `card` size), with
// their outlines when asked; no card is drawn.
void drawSampleSheet(QPainter& painter, const SheetLayout& layout, const QSizeF& card, bool outlines);

// A text centred on a rectangle in the bold system font of size 11.
void Draw_Label_String(QPainter& painter, const QRectF& rect, const QString& text, const QColor& colour);

// Most sheets a preview shows, and what it says when a job has more.
inline constexpr std::int64_t kPreviewSheetLimit = 50;
inline const QString kPreviewLimitMessage = QStringLiteral(
    "For Qualitative and Performance reason, previewer shows print previews of only first 50 sheets. "
    "However, "
    "printing has no such restriction.");

// The pages [1, lastPage] of a job painted onto a paged device (a printer
// or a PDF writer), one point of the layout on one point of paper; the
// device's page is the layout's paper. `progress` is told each page done
// and may stop the job by answering false.
struct SheetJobResult {
  std::int64_t pagesDone = 0;
  bool started = false;
  bool stopped = false;
};
SheetJobResult paintSheetJob(QPagedPaintDevice& device, const SheetLayout& layout, SheetCards& cards,
                             std::int64_t lastPage,
                             const std::function<bool(std::int64_t done, std::int64_t pages)>& progress = {});
// The same onto a painter already begun on the device (the print preview's).
SheetJobResult paintSheetJob(QPainter& painter, QPagedPaintDevice& device, const SheetLayout& layout,
                             SheetCards& cards, std::int64_t lastPage,
                             const std::function<bool(std::int64_t done, std::int64_t pages)>& progress = {});

}  // namespace production
