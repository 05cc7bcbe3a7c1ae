#include "production/print/SheetLayout.h"

#include <cmath>
#include <limits>

namespace production {

float Points_to_MM_Convert(float points) {
  return static_cast<float>(static_cast<double>(points) * 0.3527777777778);
}

float MM_to_Points_Convert(float millimetres) {
  return static_cast<float>(static_cast<double>(millimetres) * 2.834645669291);
}

int SheetLayout::cellsPerPage() const {
  const std::int64_t cells = static_cast<std::int64_t>(rows()) * columns();
  return cells > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max() : static_cast<int>(cells);
}

std::int64_t SheetLayout::pageCount() const {
  const std::int64_t cells = cellsPerPage();
  return total() / cells + (total() % cells != 0 ? 1 : 0);
}

std::int64_t SheetLayout::firstCellOfPage(std::int64_t page) const {
  return (page < 1 ? 0 : page - 1) * cellsPerPage();
}

QRectF SheetLayout::cellRect(int row, int column) const {
  const float lw = label_width, lh = label_hight, hg = horz_mar, vg = vert_mar;
  const float pw = paperWidth, ph = paperHeight;
  const int R = rows(), C = columns();
  const float PW = pw - Left_Mar - Rite_Mar;
  const float PH = ph - Top_Mar - Bot_Mar;
  const float BW = static_cast<float>(C) * lw + static_cast<float>(C - 1) * hg;
  const float BH = static_cast<float>(R) * lh + static_cast<float>(R - 1) * vg;

  // Bottom edge of row 1, counted from the paper's bottom edge.
  float y;
  if (auto_center_flag) {
    y = BH - lh + vg + Bot_Mar;
  } else if (label_align_val >= 4 && label_align_val <= 6) {
    y = (PH - BH) / 2 + Bot_Mar + BH - lh;
  } else if (label_align_val >= 7 && label_align_val <= 9) {
    y = BH - lh + Bot_Mar;
  } else {
    y = ph - lh - Top_Mar;
  }
  for (int r = 2; r <= row; ++r) y = y - lh - vg;

  // Left edge of column 1.
  float x;
  if (auto_center_flag) {
    x = Left_Mar + hg;
  } else if (label_align_val == 2 || label_align_val == 5 || label_align_val == 8) {
    x = Left_Mar + (PW - BW) / 2;
  } else if (label_align_val == 3 || label_align_val == 6 || label_align_val == 9) {
    x = pw - BW - Rite_Mar;
  } else {
    x = Left_Mar;
  }
  for (int c = 2; c <= column; ++c) x = x + lw + hg;

  return QRectF(x, flipY(y, lh), lw, lh);
}

QRectF SheetLayout::firstPart(const QRectF& cell) const {
  if (!bothSides()) return cell;
  if (stacked()) return QRectF(cell.x(), cell.y(), cell.width(), cell.height() / 2);
  return QRectF(cell.x(), cell.y(), cell.width() / 2, cell.height());
}

SheetLayout::Placement SheetLayout::placeCard(const QRectF& cell, const QSizeF& card) const {
  const float lw = static_cast<float>(cell.width()), lh = static_cast<float>(cell.height());
  const float iw = static_cast<float>(card.width()), ih = static_cast<float>(card.height());
  const float cellBottom = static_cast<float>(cell.bottom());
  // Bottom-up: y' is the bottom edge of the front.
  float x = static_cast<float>(cell.x());
  float y = paperHeight - cellBottom;
  Placement placed;
  if (!bothSides()) {
    if (lw > iw) x += (lw - iw) / 2;
    if (lh > ih) y += (lh - ih) / 2;
    placed.front = QRectF(x, flipY(y, ih), iw, ih);
    return placed;
  }
  if (stacked()) {
    // The front starts in the upper half, so a tall cell holds the pair
    // against its top edge.
    y += lh / 2;
    if (lw > iw) x += (lw - iw) / 2;
    if (lh > 2 * ih) y += (lh - 2 * ih) / 2;
    placed.front = QRectF(x, flipY(y, ih), iw, ih);
    placed.back = QRectF(x, flipY(y - ih, ih), iw, ih);
    return placed;
  }
  if (lw > 2 * iw) x += (lw - 2 * iw) / 2;
  if (lh > ih) y += (lh - ih) / 2;
  placed.front = QRectF(x, flipY(y, ih), iw, ih);
  placed.back = QRectF(x + iw, flipY(y, ih), iw, ih);
  return placed;
}

bool SheetLayout::cellExceedsPaper() const {
  const float across = label_width + Left_Mar + Rite_Mar + horz_mar;
  const float down = label_hight + Top_Mar + Bot_Mar + vert_mar;
  return static_cast<double>(across) > static_cast<double>(paperWidth) ||
         static_cast<double>(down) > static_cast<double>(paperHeight);
}

namespace {

// The whole part of a quotient as a count of at least 1. A quotient that is
// not a number, infinite or below 1 (a card of no size, a printable area of
// none) gives 1; a huge one is held at a count no field can exceed.
int countFrom(float quotient) {
  constexpr float kMost = 1000000.0f;
  if (!(quotient >= 1.0f)) return 1;
  if (quotient >= kMost) return static_cast<int>(kMost);
  return static_cast<int>(quotient);
}

struct AxisFit {
  int count;
  float gap;
  bool lowered;
};

// One direction of the fitting: `area` printable, `paper` with its two
// margins, cells of `cell` size, `count` asked for, manual gap `gap`.
AxisFit fitAxis(float area, float paper, float marginA, float marginB, float cell, int count, float gap,
                bool autoCentre) {
  const int asked = count;
  const float used = static_cast<float>(count) * cell;
  if (autoCentre) {
    const float spacing = (area - used) / static_cast<float>(count + 1);
    if (spacing > 0) return {count, spacing, false};
    const int most = countFrom(area / cell);
    if (count > most) count = most;
    return {count, 0.0f, count != asked};
  }
  const float spacing = (area - used - static_cast<float>(count - 1) * gap) / static_cast<float>(count + 1);
  if (spacing > 0) return {count, gap, false};
  const int most = countFrom(std::floor((paper + gap - marginA - marginB) / (cell + gap)));
  if (count > most) count = most;
  return {count, gap, count < asked};
}

}  // namespace

FittedSheet Check_Max_Cell_Value(const SheetLayout& layout, const SheetFitting& fields) {
  FittedSheet fitted{layout};
  SheetLayout& out = fitted.layout;
  float w = MM_to_Points_Convert(fields.cardWidthMm);
  float h = MM_to_Points_Convert(fields.cardHeightMm);
  if (layout.bothSides()) {
    if (layout.stacked())
      h = 2 * h;
    else
      w = 2 * w;
  }
  out.label_width = w;
  out.label_hight = h;
  const float gx = MM_to_Points_Convert(fields.gapXMm);
  const float gy = MM_to_Points_Convert(fields.gapYMm);
  const float PW = layout.paperWidth, PH = layout.paperHeight;
  const float L = layout.Left_Mar, R = layout.Rite_Mar, T = layout.Top_Mar, B = layout.Bot_Mar;
  const float AW = PW - L - R, AH = PH - T - B;
  // Counts below 1 are never asked for: the fields start at 1.
  const int c = fields.columns < 1 ? 1 : fields.columns;
  const int r = fields.rows < 1 ? 1 : fields.rows;

  const AxisFit across = fitAxis(AW, PW, L, R, w, c, gx, fields.autoCentre);
  const AxisFit down = fitAxis(AH, PH, T, B, h, r, gy, fields.autoCentre);
  out.Print_Col = across.count;
  out.horz_mar = across.gap;
  out.Print_Row = down.count;
  out.vert_mar = down.gap;
  out.auto_center_flag = fields.autoCentre;
  fitted.columnsLowered = across.lowered;
  fitted.rowsLowered = down.lowered;
  if (!fields.dataMode) out.Total_Label = out.Print_Row * out.Print_Col;
  return fitted;
}

}  // namespace production
