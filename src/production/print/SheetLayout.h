#pragma once
// The sheet layout: how cards sit on a sheet of paper, as one value. The
// print dialog fits it to the paper; the printed sheets, the print preview
// and the on-screen sample sheet all read their geometry from it, so they
// can never disagree.
//
// Lengths are points (1/72 inch) in single precision, as the dialog holds
// them. Geometry is answered in paper coordinates with the origin at the
// sheet's top-left corner and y growing downwards; the block of cells is
// worked out from the bottom up and turned over in one place (flipY).

#include <QRectF>
#include <QSizeF>
#include <QString>
#include <cstdint>

namespace production {

// Millimetres and points, each worked in double precision and held in single.
float Points_to_MM_Convert(float points);
float MM_to_Points_Convert(float millimetres);

struct SheetLayout {
  // Paper size and the unprintable margins of the printer.
  float paperWidth = 612, paperHeight = 792;
  float Left_Mar = 0, Rite_Mar = 0, Top_Mar = 0, Bot_Mar = 0;
  // One cell: one card, or both sides of a card for side "BOTH".
  float label_width = 0, label_hight = 0;
  // Gaps between columns and between rows (with auto-centre, the equal spacing).
  float horz_mar = 0, vert_mar = 0;
  int Print_Row = 1, Print_Col = 1;
  // 1 top-left ... 9 bottom-right, row by row.
  int label_align_val = 1;
  bool auto_center_flag = false;
  // "F", "B" or "BOTH".
  QString Print_Card_Side = QStringLiteral("F");
  // With "BOTH": "U" front above back, anything else front left of back.
  QString Print_Card_Algn = QStringLiteral("U");
  // Cards of the job.
  int Total_Label = 1;

  // Rows and columns as the drawing uses them (never below 1) and the total
  // (never below 0).
  int rows() const { return Print_Row < 1 ? 1 : Print_Row; }
  int columns() const { return Print_Col < 1 ? 1 : Print_Col; }
  int cellsPerPage() const;
  std::int64_t total() const { return Total_Label < 0 ? 0 : Total_Label; }
  // Sheets of the job: the total over the cells of a sheet, rounded up.
  std::int64_t pageCount() const;
  // Index (from 0) of the first cell of page `page` (from 1) in the job.
  std::int64_t firstCellOfPage(std::int64_t page) const;

  bool bothSides() const { return Print_Card_Side == QLatin1String("BOTH"); }
  bool backOnly() const { return !bothSides() && Print_Card_Side != QLatin1String("F"); }
  bool stacked() const { return Print_Card_Algn == QLatin1String("U"); }

  // The cell of row `row` and column `column` (from 1) of every sheet.
  QRectF cellRect(int row, int column) const;
  // The part of a cell that holds the front (or the only side).
  QRectF firstPart(const QRectF& cell) const;
  // Where a card of `card` size goes in a cell: centred where the cell is
  // larger, never scaled; a card larger than its cell starts at the cell's
  // bottom-left corner and reaches up and to the right.
  struct Placement {
    QRectF front;  // also the back of a back-only sheet
    QRectF back;   // the back beside the front; empty unless "BOTH"
  };
  Placement placeCard(const QRectF& cell, const QSizeF& card) const;

  // Whether one cell with its margins and one gap is wider or taller than
  // the paper (the question asked before a job).
  bool cellExceedsPaper() const;

  // A y of the bottom-up block as a top-down y of an object `height` tall.
  float flipY(float bottomUpY, float height) const { return paperHeight - bottomUpY - height; }
};

// What the dialog's fields say, in the units it shows them.
struct SheetFitting {
  float cardWidthMm = 0, cardHeightMm = 0;
  float gapXMm = 0, gapYMm = 0;
  int rows = 1, columns = 1;
  bool autoCentre = false;
  // With a data source in use the total is the data row count and stays.
  bool dataMode = false;
};

// The layout fitting: the cell from the card size (doubled for "BOTH"), the
// gaps, and the largest row and column counts that fit the printable area,
// lowering what does not fit. Keeps the layout's paper, margins, side,
// arrangement and alignment; without data the total becomes rows x columns.
// Single-precision arithmetic throughout.
struct FittedSheet {
  SheetLayout layout;
  bool rowsLowered = false;
  bool columnsLowered = false;
};
FittedSheet Check_Max_Cell_Value(const SheetLayout& layout, const SheetFitting& fields);

}  // namespace production
