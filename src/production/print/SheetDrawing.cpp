#include "production/print/SheetDrawing.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPagedPaintDevice>
#include <algorithm>

namespace production {

namespace {

const QColor kGray(128, 128, 128);
const QColor kDarkGray(85, 85, 85);
const QColor kRed(255, 0, 0);

QFont labelFont() {
  QFont font = QGuiApplication::font();
  font.setBold(true);
  // One unit of the sheet is one point: the size is given in those units so
  // that paper and screen show the same 11 points.
  font.setPixelSize(11);
  return font;
}

void outline(QPainter& painter, const QRectF& rect) {
  painter.save();
  painter.setPen(QPen(kDarkGray, 1.0));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(rect);
  painter.restore();
}

}  // namespace

void Draw_Label_String(QPainter& painter, const QRectF& rect, const QString& text, const QColor& colour) {
  painter.save();
  const QFont font = labelFont();
  painter.setFont(font);
  painter.setPen(colour);
  const QFontMetricsF metrics(font, painter.device());
  const QSizeF size(metrics.horizontalAdvance(text), metrics.height());
  const QPointF origin(rect.x() + (rect.width() - size.width()) / 2,
                       rect.y() + (rect.height() - size.height()) / 2);
  painter.drawText(QRectF(origin, size), Qt::AlignCenter, text);
  painter.restore();
}

void drawSheetPage(QPainter& painter, const SheetLayout& layout, std::int64_t page, SheetCards& cards) {
  painter.save();
  painter.fillRect(QRectF(0, 0, layout.paperWidth, layout.paperHeight), Qt::white);
  const QSizeF card = cards.cardSize();
  const bool data = cards.dataMode();
  const std::int64_t rowsOfData = data ? cards.dataRows() : 0;
  const std::int64_t total = layout.total();
  std::int64_t cell = layout.firstCellOfPage(page);
  for (int r = 1; r <= layout.rows() && cell < total; ++r) {
    for (int c = 1; c <= layout.columns() && cell < total; ++c, ++cell) {
      // Data rows used up: the cell stays free.
      if (data && cell >= rowsOfData) continue;
      const SheetLayout::Placement place = layout.placeCard(layout.cellRect(r, c), card);
      if (card.isEmpty()) {
        if (!data) Draw_Label_String(painter, place.front, QStringLiteral("Invalid Data"), kRed);
        continue;
      }
      if (layout.backOnly()) {
        cards.paintCard(painter, cell, CardSide::Back, place.front);
        continue;
      }
      cards.paintCard(painter, cell, CardSide::Front, place.front);
      if (layout.bothSides()) cards.paintCard(painter, cell, CardSide::Back, place.back);
    }
  }
  painter.restore();
}

void drawSampleSheet(QPainter& painter, const SheetLayout& layout, const QSizeF& card, bool outlines) {
  painter.save();
  painter.fillRect(QRectF(0, 0, layout.paperWidth, layout.paperHeight), Qt::white);
  const bool hasCard = !card.isEmpty();
  for (int r = 1; r <= layout.rows(); ++r) {
    for (int c = 1; c <= layout.columns(); ++c) {
      const QRectF cell = layout.cellRect(r, c);
      const QRectF first = layout.firstPart(cell);
      if (!hasCard) {
        Draw_Label_String(painter, first, QStringLiteral("Invalid Data"), kRed);
        if (outlines) outline(painter, first);
        continue;
      }
      const int number = (r - 1) * layout.columns() + c;
      const QString word = layout.backOnly() ? QStringLiteral("Back") : QStringLiteral("Card");
      Draw_Label_String(painter, first, QStringLiteral("%1 %2").arg(word).arg(number), kGray);
      if (outlines) outline(painter, first);
      if (layout.bothSides()) {
        const QRectF back = layout.placeCard(cell, card).back;
        Draw_Label_String(painter, back, QStringLiteral("Back %1").arg(number), kGray);
        if (outlines) outline(painter, back);
      }
    }
  }
  painter.restore();
}

SheetJobResult paintSheetJob(QPagedPaintDevice& device, const SheetLayout& layout, SheetCards& cards,
                             std::int64_t lastPage,
                             const std::function<bool(std::int64_t, std::int64_t)>& progress) {
  QPainter painter;
  if (!painter.begin(&device)) return {};
  SheetJobResult result = paintSheetJob(painter, device, layout, cards, lastPage, progress);
  painter.end();
  return result;
}

SheetJobResult paintSheetJob(QPainter& painter, QPagedPaintDevice& device, const SheetLayout& layout,
                             SheetCards& cards, std::int64_t lastPage,
                             const std::function<bool(std::int64_t, std::int64_t)>& progress) {
  SheetJobResult result;
  result.started = painter.isActive();
  if (!result.started) return result;
  const std::int64_t pages = std::min(lastPage, layout.pageCount());
  const double sx = device.logicalDpiX() / 72.0, sy = device.logicalDpiY() / 72.0;
  const std::int64_t first = layout.firstCellOfPage(1);
  cards.cellsAhead(first, std::min(layout.total(), pages * layout.cellsPerPage()) - first);
  for (std::int64_t page = 1; page <= pages; ++page) {
    if (page > 1 && !device.newPage()) break;
    painter.save();
    painter.scale(sx, sy);
    drawSheetPage(painter, layout, page, cards);
    painter.restore();
    result.pagesDone = page;
    if (progress && !progress(page, pages)) {
      result.stopped = page < pages;
      break;
    }
  }
  return result;
}

}  // namespace production
