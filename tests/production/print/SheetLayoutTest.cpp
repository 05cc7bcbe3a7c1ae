// The sheet layout: fitting rows and columns to the printable area, the
// page count, where each cell and card goes, and page content that does not
// depend on the order pages are painted in.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <map>
#include <vector>

#include "production/print/SheetDrawing.h"
#include "production/print/SheetLayout.h"

using production::Check_Max_Cell_Value;
using production::SheetFitting;
using production::SheetLayout;

namespace {

// Letter paper with 18-point margins on every side.
SheetLayout letter() {
  SheetLayout layout;
  layout.paperWidth = 612;
  layout.paperHeight = 792;
  layout.Left_Mar = layout.Rite_Mar = layout.Top_Mar = layout.Bot_Mar = 18;
  return layout;
}

// 88.9 mm x 50.8 mm: a 252 x 144 point card.
SheetFitting card(int rows, int columns, float gapMm = 0, bool autoCentre = false) {
  SheetFitting fields;
  fields.cardWidthMm = 88.9f;
  fields.cardHeightMm = 50.8f;
  fields.gapXMm = gapMm;
  fields.gapYMm = gapMm;
  fields.rows = rows;
  fields.columns = columns;
  fields.autoCentre = autoCentre;
  return fields;
}

}  // namespace

TEST(SheetFitting, ColumnsAndGapsOnLetterPaper) {
  // Manual gap 0: three columns of 252 points do not fit 576, two do.
  auto fitted = Check_Max_Cell_Value(letter(), card(1, 3));
  EXPECT_EQ(fitted.layout.Print_Col, 2);
  EXPECT_TRUE(fitted.columnsLowered);
  EXPECT_FLOAT_EQ(fitted.layout.label_width, 252.0f);
  fitted = Check_Max_Cell_Value(letter(), card(1, 2));
  EXPECT_EQ(fitted.layout.Print_Col, 2);
  EXPECT_FALSE(fitted.columnsLowered);

  // Manual gap of 18 points (6.35 mm): two stay, three fall to two; the gap stays.
  fitted = Check_Max_Cell_Value(letter(), card(1, 2, 6.35f));
  EXPECT_EQ(fitted.layout.Print_Col, 2);
  EXPECT_NEAR(fitted.layout.horz_mar, 18.0f, 1e-4);
  fitted = Check_Max_Cell_Value(letter(), card(1, 3, 6.35f));
  EXPECT_EQ(fitted.layout.Print_Col, 2);

  // Auto-centre: two columns spread (576 - 504) / 3 = 24 points; three fall
  // to two with no gap in that pass, and the next fitting spreads them.
  fitted = Check_Max_Cell_Value(letter(), card(1, 2, 0, true));
  EXPECT_FLOAT_EQ(fitted.layout.horz_mar, 24.0f);
  fitted = Check_Max_Cell_Value(letter(), card(1, 3, 0, true));
  EXPECT_EQ(fitted.layout.Print_Col, 2);
  EXPECT_FLOAT_EQ(fitted.layout.horz_mar, 0.0f);
  fitted = Check_Max_Cell_Value(fitted.layout, card(1, fitted.layout.Print_Col, 0, true));
  EXPECT_FLOAT_EQ(fitted.layout.horz_mar, 24.0f);
  // Each card 24 points from its neighbour and 42 points from the paper's edge.
  SheetLayout spread = fitted.layout;
  EXPECT_FLOAT_EQ(spread.cellRect(1, 1).left(), 42.0f);
  EXPECT_FLOAT_EQ(spread.cellRect(1, 2).left() - spread.cellRect(1, 1).right(), 24.0f);
  EXPECT_FLOAT_EQ(612.0f - spread.cellRect(1, 2).right(), 42.0f);

  // Rows: six rows of 144 points do not fit 756, five do.
  fitted = Check_Max_Cell_Value(letter(), card(6, 1));
  EXPECT_EQ(fitted.layout.Print_Row, 5);
  // Without data the total is rows x columns; with data it stays.
  EXPECT_EQ(fitted.layout.Total_Label, 5);
  SheetLayout withData = letter();
  withData.Total_Label = 37;
  SheetFitting dataFields = card(3, 2);
  dataFields.dataMode = true;
  EXPECT_EQ(Check_Max_Cell_Value(withData, dataFields).layout.Total_Label, 37);
}

TEST(SheetFitting, SidesDoubleTheCellAndOversizedCardsGiveOneCell) {
  SheetLayout both = letter();
  both.Print_Card_Side = "BOTH";
  both.Print_Card_Algn = "U";
  auto fitted = Check_Max_Cell_Value(both, card(3, 2));
  EXPECT_FLOAT_EQ(fitted.layout.label_width, 252.0f);
  EXPECT_FLOAT_EQ(fitted.layout.label_hight, 288.0f);
  EXPECT_EQ(fitted.layout.Print_Row, 2);
  both.Print_Card_Algn = "L";
  fitted = Check_Max_Cell_Value(both, card(3, 2));
  EXPECT_FLOAT_EQ(fitted.layout.label_width, 504.0f);
  EXPECT_EQ(fitted.layout.Print_Col, 1);

  // A card wider and taller than the paper: one cell, never a negative
  // layout, and the paper-size question before a job.
  for (bool autoCentre : {false, true}) {
    SheetFitting huge = card(4, 4, 0, autoCentre);
    huge.cardWidthMm = 400;
    huge.cardHeightMm = 400;
    fitted = Check_Max_Cell_Value(letter(), huge);
    EXPECT_EQ(fitted.layout.Print_Col, 1);
    EXPECT_EQ(fitted.layout.Print_Row, 1);
    EXPECT_GE(fitted.layout.horz_mar, 0.0f);
    EXPECT_GE(fitted.layout.vert_mar, 0.0f);
    EXPECT_TRUE(fitted.layout.cellExceedsPaper());
  }
  EXPECT_FALSE(Check_Max_Cell_Value(letter(), card(1, 1)).layout.cellExceedsPaper());

  // A card of no size and counts below 1 neither divide by zero nor wrap.
  SheetFitting nothing = card(0, -5);
  nothing.cardWidthMm = 0;
  nothing.cardHeightMm = 0;
  fitted = Check_Max_Cell_Value(letter(), nothing);
  EXPECT_GE(fitted.layout.Print_Col, 1);
  EXPECT_GE(fitted.layout.Print_Row, 1);
}

TEST(SheetLayoutGeometry, PageCountsNeverWrapAround) {
  SheetLayout layout = letter();
  layout.Print_Row = 2;
  layout.Print_Col = 3;
  layout.Total_Label = 7;
  EXPECT_EQ(layout.pageCount(), 2);
  layout.Total_Label = 301;
  EXPECT_EQ(layout.pageCount(), 51);
  layout.Total_Label = 6;
  EXPECT_EQ(layout.pageCount(), 1);
  layout.Total_Label = -13;
  EXPECT_EQ(layout.pageCount(), 0);
  layout.Total_Label = 0;
  EXPECT_EQ(layout.pageCount(), 0);
  layout.Print_Row = 0;
  layout.Print_Col = -4;
  layout.Total_Label = 5;
  EXPECT_EQ(layout.pageCount(), 5);
  layout.Print_Row = layout.Print_Col = 100000;
  layout.Total_Label = 2147483647;
  EXPECT_EQ(layout.pageCount(), 1);
}

TEST(SheetLayoutGeometry, AlignmentsAndCardPlacement) {
  SheetLayout layout = letter();
  layout.label_width = 200;
  layout.label_hight = 100;
  layout.horz_mar = 10;
  layout.vert_mar = 20;
  layout.Print_Row = 2;
  layout.Print_Col = 2;
  // 1: from the top-left margins.
  EXPECT_EQ(layout.cellRect(1, 1), QRectF(18, 18, 200, 100));
  EXPECT_EQ(layout.cellRect(2, 2), QRectF(228, 138, 200, 100));
  // 9: the block's right edge on the right margin, its bottom row on the bottom margin.
  layout.label_align_val = 9;
  EXPECT_FLOAT_EQ(layout.cellRect(1, 2).right(), 612 - 18);
  EXPECT_FLOAT_EQ(layout.cellRect(2, 1).bottom(), 792 - 18);
  // 5: the block centred within the margins.
  layout.label_align_val = 5;
  const QRectF block = layout.cellRect(1, 1).united(layout.cellRect(2, 2));
  EXPECT_FLOAT_EQ(block.center().x(), 306);
  EXPECT_FLOAT_EQ(block.center().y(), 396);
  // Auto-centre: one gap before the first column, the bottom row one gap
  // above the bottom margin.
  layout.auto_center_flag = true;
  EXPECT_FLOAT_EQ(layout.cellRect(1, 1).left(), 18 + 10);
  EXPECT_FLOAT_EQ(layout.cellRect(2, 1).bottom(), 792 - 18 - 20);

  // A card smaller than its cell is centred; a larger one starts at the
  // cell's bottom-left corner and reaches up and to the right.
  layout.auto_center_flag = false;
  layout.label_align_val = 1;
  const QRectF cell = layout.cellRect(1, 1);
  EXPECT_EQ(layout.placeCard(cell, QSizeF(100, 50)).front, QRectF(68, 43, 100, 50));
  EXPECT_EQ(layout.placeCard(cell, QSizeF(300, 150)).front, QRectF(18, -32, 300, 150));
  // Both sides side by side: the pair centred both ways.
  layout.Print_Card_Side = "BOTH";
  layout.Print_Card_Algn = "L";
  auto pair = layout.placeCard(cell, QSizeF(80, 50));
  EXPECT_EQ(pair.front, QRectF(38, 43, 80, 50));
  EXPECT_EQ(pair.back, QRectF(118, 43, 80, 50));
  // One above the other: centred across, held against the cell's top edge.
  layout.Print_Card_Algn = "U";
  pair = layout.placeCard(cell, QSizeF(80, 30));
  EXPECT_EQ(pair.front, QRectF(78, 18, 80, 30));
  EXPECT_EQ(pair.back, QRectF(78, 48, 80, 30));
}

namespace {

// Cards that record what each cell was asked to show, in data mode.
class RecordingCards : public production::SheetCards {
 public:
  QSizeF cardSize() const override { return {100, 60}; }
  bool dataMode() const override { return true; }
  std::int64_t dataRows() const override { return 10; }
  void paintCard(QPainter& painter, std::int64_t cell, CardSide side, const QRectF& target) override {
    painted[page].push_back({cell, side == CardSide::Back, target});
    painter.fillRect(target, Qt::black);
  }
  struct Shown {
    std::int64_t cell;
    bool back;
    QRectF where;
    bool operator==(const Shown&) const = default;
  };
  std::int64_t page = 0;
  std::map<std::int64_t, std::vector<Shown>> painted;
};

}  // namespace

TEST(SheetDrawing, PageContentDoesNotDependOnPaintOrder) {
  SheetLayout layout = letter();
  layout.label_width = 220;
  layout.label_hight = 70;
  layout.Print_Row = 2;
  layout.Print_Col = 2;  // 4 cells a page, 10 data rows: pages 1-3 hold rows, pages 4-5 none
  layout.Total_Label = 18;
  layout.Print_Card_Side = "BOTH";
  layout.Print_Card_Algn = "L";
  QImage sheet(612, 792, QImage::Format_RGB32);
  const auto paint = [&](RecordingCards& cards, std::vector<std::int64_t> order) {
    for (std::int64_t page : order) {
      QPainter painter(&sheet);
      cards.page = page;
      cards.painted[page].clear();
      production::drawSheetPage(painter, layout, page, cards);
    }
  };
  RecordingCards inOrder, shuffled;
  paint(inOrder, {1, 2, 3, 4, 5});
  paint(shuffled, {4, 2, 5, 1, 3, 2});
  for (std::int64_t page = 1; page <= 5; ++page) EXPECT_EQ(inOrder.painted[page], shuffled.painted[page]);
  // Page 1: cells 0-3 left to right, then top to bottom, front then back.
  ASSERT_EQ(inOrder.painted[1].size(), 8u);
  EXPECT_EQ(inOrder.painted[1][0].cell, 0);
  EXPECT_FALSE(inOrder.painted[1][0].back);
  EXPECT_TRUE(inOrder.painted[1][1].back);
  EXPECT_EQ(inOrder.painted[1][6].cell, 3);
  // Page 3: rows 8 and 9, then two free cells; past the rows nothing.
  ASSERT_EQ(inOrder.painted[3].size(), 4u);
  EXPECT_EQ(inOrder.painted[3][3].cell, 9);
  EXPECT_TRUE(inOrder.painted[4].empty());
  EXPECT_TRUE(inOrder.painted[5].empty());
}
