// Chart cells and ruled lines: cells arising from lines, merges, rectangles, traversal in every
// reading order and direction, the filter, and the cell and line get/put rules.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "common/model/cell_ops.h"
#include "common/status.h"
#include "formstore.h"
#include "formstore/form.h"
#include "support/form_fixture.h"

namespace {

using qs::PageData;

class CellTest : public qs_test::FormTest {
 protected:
  qs::Page& page() { return *form().PageAt(1); }

  // A chart with every ruled line present: each grid position is a cell of its own.
  uint32_t AddGrid(const std::vector<uint16_t>& heights, const std::vector<uint16_t>& widths) {
    ChartInf inf{};
    inf.Rows = uint16_t(heights.size());
    inf.Cols = uint16_t(widths.size());
    inf.Right = 10 * inf.Cols;
    inf.RowHight = 10;
    inf.LineStyle = 1;
    uint16_t entry = 0;
    EXPECT_EQ(QfaAddChart(&h, &inf, &entry), 0);
    for (size_t i = 0; i < heights.size(); ++i)
      EXPECT_EQ(QfaPutChartRHight(&h, entry, uint16_t(i + 1), heights[i]), 0);
    for (size_t i = 0; i < widths.size(); ++i)
      EXPECT_EQ(QfaPutChartCWidth(&h, entry, uint16_t(i + 1), widths[i]), 0);
    return entry;
  }
  uint32_t AddGrid(int rows, int cols) {
    return AddGrid(std::vector<uint16_t>(rows, 10), std::vector<uint16_t>(cols, 10));
  }

  void RemoveVline(uint32_t chart, uint16_t row, uint16_t boundary) {
    const ChartLine none{};
    ASSERT_EQ(QfaPutChartVline(&h, chart, row, boundary, &none), 0);
  }
  void RemoveHline(uint32_t chart, uint16_t boundary, uint16_t col) {
    const ChartLine none{};
    ASSERT_EQ(QfaPutChartHline(&h, chart, boundary, col, &none), 0);
  }
  void SetReadOrder(uint8_t order) {
    FormInf inf{};
    ASSERT_EQ(QfaGetFormInf(&h, &inf), 0);
    inf.ReadOrder = order;
    ASSERT_EQ(QfaPutFormInf(&h, &inf), 0);
  }
  bool IsOrigin(uint32_t chart, uint16_t row, uint16_t col) {
    uint16_t r = row, c = col;
    return QfaChartGetExistCell(&h, chart, &r, &c) == 0 && r == row && c == col;
  }
  // "row,col" of the next cell in reading order, or the status when there is none.
  std::string Next(uint32_t chart, uint16_t row, uint16_t col) {
    uint16_t r = 0, c = 0;
    const int status = QfaChartNextCell(&h, chart, row, col, &r, &c);
    if (status != 0) return std::to_string(status);
    return std::to_string(r) + "," + std::to_string(c);
  }
  std::string Step(uint32_t chart, uint16_t row, uint16_t col, uint8_t dir) {
    uint16_t r = 0, c = 0;
    const int status = QfaChartNextCellEx(&h, chart, row, col, dir, &r, &c);
    if (status != 0) return std::to_string(status);
    return std::to_string(r) + "," + std::to_string(c);
  }
  ChartCell Cell(uint8_t kind, const char* font = "Mincho") {
    ChartCell cell{};
    cell.Kind = kind;
    cell.Font = qs_test::Font(font);
    return cell;
  }
};

enum : uint8_t { kUp = 1, kDown = 2, kLeft = 3, kRight = 4 };

TEST_F(CellTest, FullGridMakesEveryPositionACell) {
  const uint32_t chart = AddGrid(3, 3);
  for (uint16_t r = 1; r <= 3; ++r)
    for (uint16_t c = 1; c <= 3; ++c) EXPECT_TRUE(IsOrigin(chart, r, c)) << r << "," << c;
  uint16_t last_row = 0, last_col = 0;
  EXPECT_EQ(QfaChartCellArea(&h, chart, 2, 2, &last_row, &last_col), 0);
  EXPECT_EQ(last_row, 2);
  EXPECT_EQ(last_col, 2);
}

TEST_F(CellTest, RemovingALineMergesCells) {
  const uint32_t chart = AddGrid(3, 3);
  RemoveVline(chart, 1, 1);
  uint16_t r = 1, c = 2;
  EXPECT_EQ(QfaChartGetExistCell(&h, chart, &r, &c), 0);
  EXPECT_EQ(r, 1);
  EXPECT_EQ(c, 1);
  uint16_t last_row = 0, last_col = 0;
  EXPECT_EQ(QfaChartCellArea(&h, chart, 1, 2, &last_row, &last_col), 0);
  EXPECT_EQ(last_row, 1);
  EXPECT_EQ(last_col, 2);
  // The row below is untouched.
  EXPECT_TRUE(IsOrigin(chart, 2, 2));

  // Removing the line under (1, 3) as well merges down: (2, 3) now belongs to (1, 3).
  RemoveHline(chart, 1, 3);
  r = 2, c = 3;
  EXPECT_EQ(QfaChartGetExistCell(&h, chart, &r, &c), 0);
  EXPECT_EQ(r, 1);
  EXPECT_EQ(c, 3);
  EXPECT_EQ(QfaChartCellArea(&h, chart, 2, 3, &last_row, &last_col), 0);
  EXPECT_EQ(last_row, 2);
  EXPECT_EQ(last_col, 3);
}

TEST_F(CellTest, CoveringOriginThatIsNoOriginGivesMinusOne) {
  const uint32_t chart = AddGrid(2, 2);
  // Without the chart's left edge in row 1, the walk ends at (1, 1), which is not closed on the
  // left.
  RemoveVline(chart, 1, 0);
  uint16_t r = 1, c = 1;
  EXPECT_EQ(QfaChartGetExistCell(&h, chart, &r, &c), -1);
  EXPECT_EQ(r, 1);
  EXPECT_EQ(c, 1);
}

TEST_F(CellTest, RectanglesFollowMerges) {
  const uint32_t chart = AddGrid({40, 30, 20}, {100, 70, 60});
  int32_t left, top, right, bottom;
  EXPECT_EQ(QfaChartCellRect(&h, chart, 1, 1, &left, &top, &right, &bottom), 0);
  EXPECT_EQ(std::vector<int32_t>({left, top, right, bottom}),
            std::vector<int32_t>({0, 0, 100, 40}));

  ASSERT_EQ(QfaPutChartCWidth(&h, chart, 2, 50), 0);
  RemoveVline(chart, 1, 1);
  EXPECT_EQ(QfaChartCellRect(&h, chart, 1, 1, &left, &top, &right, &bottom), 0);
  EXPECT_EQ(std::vector<int32_t>({left, top, right, bottom}),
            std::vector<int32_t>({0, 0, 150, 40}));

  EXPECT_EQ(QfaChartCellRect(&h, chart, 3, 3, &left, &top, &right, &bottom), 0);
  EXPECT_EQ(std::vector<int32_t>({left, top, right, bottom}),
            std::vector<int32_t>({150, 70, 210, 90}));

  // Merged downwards: the rectangle of (2, 2) reaches the bottom of row 3.
  RemoveHline(chart, 2, 2);
  EXPECT_EQ(QfaChartCellRect(&h, chart, 2, 2, &left, &top, &right, &bottom), 0);
  EXPECT_EQ(std::vector<int32_t>({left, top, right, bottom}),
            std::vector<int32_t>({100, 40, 150, 90}));
}

TEST_F(CellTest, RectanglesUseSixteenBitRunningSums) {
  const uint32_t chart = AddGrid({10}, {40000, 40000});
  int32_t left, top, right, bottom;
  EXPECT_EQ(QfaChartCellRect(&h, chart, 1, 2, &left, &top, &right, &bottom), 0);
  EXPECT_EQ(left, 40000);
  EXPECT_EQ(right, (80000 & 0xFFFF));
}

TEST_F(CellTest, PositionsOutsideTheGridHaveNoCell) {
  const uint32_t chart = AddGrid(2, 2);
  int32_t v[4] = {7, 7, 7, 7};
  EXPECT_EQ(QfaChartCellRect(&h, chart, 0, 1, &v[0], &v[1], &v[2], &v[3]), -1);
  EXPECT_EQ(QfaChartCellRect(&h, chart, 1, 3, &v[0], &v[1], &v[2], &v[3]), -1);
  EXPECT_EQ(QfaChartCellRect(&h, chart, 300, 300, &v[0], &v[1], &v[2], &v[3]), -1);
  EXPECT_EQ(v[0], 7);

  uint16_t last_row = 9, last_col = 9;
  EXPECT_EQ(QfaChartCellArea(&h, chart, 3, 1, &last_row, &last_col), -1);
  EXPECT_EQ(QfaChartCellArea(&h, chart, 0, 0, &last_row, &last_col), -1);
  EXPECT_EQ(last_row, 9);
  // Walking left and up from here would otherwise land on (1, 1).
  uint16_t r = 200, c = 200;
  EXPECT_EQ(QfaChartGetExistCell(&h, chart, &r, &c), -1);
  EXPECT_EQ(r, 200);
  EXPECT_EQ(c, 200);
}

TEST_F(CellTest, ReadingOrdersOnTwoByTwo) {
  const uint32_t chart = AddGrid(2, 2);
  SetReadOrder(0);  // columns top to bottom, moving right
  EXPECT_EQ(Next(chart, 1, 1), "2,1");
  EXPECT_EQ(Next(chart, 2, 1), "1,2");
  EXPECT_EQ(Next(chart, 1, 2), "2,2");
  EXPECT_EQ(Next(chart, 2, 2), "-1");
  // Starting before the first cell finds the first cell.
  EXPECT_EQ(Next(chart, 0, 0), "1,1");

  SetReadOrder(1);  // rows left to right, moving down
  EXPECT_EQ(Next(chart, 1, 1), "1,2");
  EXPECT_EQ(Next(chart, 1, 2), "2,1");
  EXPECT_EQ(Next(chart, 2, 1), "2,2");
  EXPECT_EQ(Next(chart, 2, 2), "-1");

  SetReadOrder(2);  // columns top to bottom, moving left
  EXPECT_EQ(Next(chart, 1, 2), "2,2");
  EXPECT_EQ(Next(chart, 2, 2), "1,1");
  EXPECT_EQ(Next(chart, 1, 1), "2,1");
  EXPECT_EQ(Next(chart, 2, 1), "-1");

  SetReadOrder(3);  // rows right to left, moving down
  EXPECT_EQ(Next(chart, 1, 2), "1,1");
  EXPECT_EQ(Next(chart, 1, 1), "2,2");
  EXPECT_EQ(Next(chart, 2, 2), "2,1");
  EXPECT_EQ(Next(chart, 2, 1), "-1");

  SetReadOrder(4);
  EXPECT_EQ(Next(chart, 1, 1), "-1");
}

TEST_F(CellTest, ReadingOrderSkipsMergedPositions) {
  const uint32_t chart = AddGrid(3, 3);
  RemoveVline(chart, 1, 1);  // (1, 1) spans columns 1 and 2
  RemoveHline(chart, 1, 3);  // (1, 3) spans rows 1 and 2
  SetReadOrder(1);
  EXPECT_EQ(Next(chart, 1, 1), "1,3");
  EXPECT_EQ(Next(chart, 1, 3), "2,1");
  EXPECT_EQ(Next(chart, 2, 2), "3,1");  // (2, 3) is covered by (1, 3)
  SetReadOrder(0);
  EXPECT_EQ(Next(chart, 1, 3), "3,3");
}

TEST_F(CellTest, StepsInEachDirection) {
  const uint32_t chart = AddGrid(3, 3);
  EXPECT_EQ(Step(chart, 3, 2, kUp), "2,2");
  EXPECT_EQ(Step(chart, 1, 2, kDown), "2,2");
  EXPECT_EQ(Step(chart, 2, 3, kLeft), "2,2");
  EXPECT_EQ(Step(chart, 2, 1, kRight), "2,2");

  // At each edge.
  EXPECT_EQ(Step(chart, 1, 2, kUp), "-2");
  EXPECT_EQ(Step(chart, 3, 2, kDown), "-2");
  EXPECT_EQ(Step(chart, 2, 1, kLeft), "-2");
  EXPECT_EQ(Step(chart, 2, 3, kRight), "-2");

  EXPECT_EQ(Step(chart, 2, 2, 0), "-3");
  EXPECT_EQ(Step(chart, 2, 2, 5), "-3");
}

TEST_F(CellTest, StepsPassOverMergedCells) {
  const uint32_t chart = AddGrid(3, 3);
  RemoveVline(chart, 2, 1);  // (2, 1) spans columns 1 and 2
  EXPECT_EQ(Step(chart, 2, 1, kRight), "2,3");
  // From inside the merged cell the step starts at the cell's far edge.
  EXPECT_EQ(Step(chart, 2, 2, kRight), "2,3");
  EXPECT_EQ(Step(chart, 2, 3, kLeft), "2,1");
  // Column 2 has no origin in row 2 any more: up from row 3 meets row 1.
  EXPECT_EQ(Step(chart, 3, 2, kUp), "1,2");

  // Column 3 merged over all three rows: nothing lies below its only cell.
  RemoveHline(chart, 1, 3);
  RemoveHline(chart, 2, 3);
  EXPECT_EQ(Step(chart, 1, 3, kDown), "-3");
  EXPECT_EQ(Step(chart, 3, 3, kUp), "1,3");
}

TEST_F(CellTest, FilterSkipsKindZeroCells) {
  const uint32_t chart = AddGrid(2, 3);
  SetReadOrder(1);
  const ChartCell kind0 = Cell(0), kind1 = Cell(1);
  ASSERT_EQ(QfaPutChartCell(&h, chart, 1, 2, &kind0, ""), 0);
  ASSERT_EQ(QfaPutChartCell(&h, chart, 1, 3, &kind1, ""), 0);
  ASSERT_EQ(QfaPutChartCell(&h, chart, 2, 2, &kind0, ""), 0);
  ASSERT_EQ(QfaPutChartCell(&h, chart, 2, 3, &kind0, ""), 0);
  const PageData entry = PageData::FromValue(chart);

  uint16_t r = 0, c = 0;
  // Unfiltered, every cell is found.
  EXPECT_EQ(qs::ChartNextCell(form(), 0, entry, 1, 1, &r, &c), 0);
  EXPECT_EQ(r * 10 + c, 12);
  // Filtered: (1, 2) has Kind 0 and is passed over; (1, 3) has Kind 1.
  EXPECT_EQ(qs::ChartNextCell(form(), 1, entry, 1, 1, &r, &c), 0);
  EXPECT_EQ(r * 10 + c, 13);
  // A cell without attributes is accepted.
  EXPECT_EQ(qs::ChartNextCell(form(), 1, entry, 1, 3, &r, &c), 0);
  EXPECT_EQ(r * 10 + c, 21);
  // Only Kind 0 cells remain: the search runs out.
  EXPECT_EQ(qs::ChartNextCell(form(), 1, entry, 2, 1, &r, &c), -1);

  // The same rule in one direction, ending with the failure of the last step.
  EXPECT_EQ(qs::ChartNextCellEx(form(), 1, entry, 1, 1, kRight, &r, &c), 0);
  EXPECT_EQ(r * 10 + c, 13);
  EXPECT_EQ(qs::ChartNextCellEx(form(), 1, entry, 2, 1, kRight, &r, &c), -2);
  EXPECT_EQ(qs::ChartNextCellEx(form(), 0, entry, 2, 1, kRight, &r, &c), 0);
  EXPECT_EQ(r * 10 + c, 22);
}

TEST_F(CellTest, CellPutAndGet) {
  const uint32_t chart = AddGrid(3, 3);
  ChartCell out{};
  char text[256] = "untouched";
  EXPECT_EQ(QfaGetChartCell(&h, chart, 2, 2, &out, text), -1);

  ChartCell cell = Cell(1, "Gothic");
  cell.Font.Value5 = 31;
  cell.Font.Value3 = 7;
  cell.Font.ValueA = 3;
  cell.Font.ValueB = 2;
  cell.Font.ValueC = 1;
  const uint16_t attrs[6] = {1, 2, 3, 65535, 5, 6};
  std::memcpy(cell.Attr, attrs, sizeof attrs);
  cell.Color1 = 0x000000FF;  // red: in the default table
  cell.Color2 = 0x00123456;  // in no table: stored as index 0, black
  cell.Mode = 9;
  ASSERT_EQ(QfaPutChartCell(&h, chart, 2, 2, &cell, "abc"), 0);
  ASSERT_EQ(QfaGetChartCell(&h, chart, 2, 2, &out, text), 0);
  EXPECT_STREQ(text, "abc");
  EXPECT_EQ(out.Kind, 1);
  EXPECT_STREQ(out.Font.FontName, "Gothic");
  EXPECT_EQ(out.Font.Value5, 31);
  EXPECT_EQ(out.Font.Value3, 7);
  EXPECT_EQ(out.Font.ValueA, 3);
  EXPECT_EQ(out.Font.ValueB, 2);
  EXPECT_EQ(out.Font.ValueC, 1);
  EXPECT_EQ(std::memcmp(out.Attr, attrs, sizeof attrs), 0);
  EXPECT_EQ(uint32_t(out.Color1), 0x000000FFu);
  EXPECT_EQ(uint32_t(out.Color2), 0u);
  EXPECT_EQ(out.Mode, 9);

  // Putting again reuses both ids; an empty text frees the string.
  ASSERT_EQ(QfaPutChartCell(&h, chart, 2, 2, &cell, ""), 0);
  EXPECT_EQ(page().cell_attrs.count(), 1);
  EXPECT_EQ(page().strings.LiveCount(), 0);
  ASSERT_EQ(QfaGetChartCell(&h, chart, 2, 2, &out, text), 0);
  EXPECT_STREQ(text, "");

  // A text over 255 bytes is cut there.
  const std::string long_text(300, 'x');
  ASSERT_EQ(QfaPutChartCell(&h, chart, 2, 2, &cell, long_text.c_str()), 0);
  ASSERT_EQ(QfaGetChartCell(&h, chart, 2, 2, &out, text), 0);
  EXPECT_EQ(std::string(text), long_text.substr(0, 255));
}

TEST_F(CellTest, AttributesOffTheOriginGiveMinusTwo) {
  const uint32_t chart = AddGrid(3, 3);
  const ChartCell cell = Cell(0);
  // Attributes are stored wherever the caller puts them, origin or not.
  ASSERT_EQ(QfaPutChartCell(&h, chart, 1, 2, &cell, "x"), 0);
  RemoveVline(chart, 1, 1);
  ChartCell out{};
  char text[256];
  EXPECT_EQ(QfaGetChartCell(&h, chart, 1, 2, &out, text), -2);
  EXPECT_EQ(QfaGetChartCell(&h, chart, 1, 1, &out, text), -1);
}

TEST_F(CellTest, CellPutOutsideTheGridStoresNothing) {
  const uint32_t chart = AddGrid(2, 2);
  const ChartCell cell = Cell(0);
  const int changes = QfaQueryFormUpdate(&h);
  EXPECT_EQ(QfaPutChartCell(&h, chart, 3, 1, &cell, "x"), -1);
  EXPECT_EQ(QfaPutChartCell(&h, chart, 1, 0, &cell, "x"), -1);
  EXPECT_EQ(QfaPutChartCell(&h, chart, 200, 200, &cell, "x"), -1);
  EXPECT_EQ(page().cell_attrs.LiveCount(), 0);
  EXPECT_EQ(page().strings.LiveCount(), 0);
  EXPECT_EQ(QfaQueryFormUpdate(&h), changes);
}

TEST_F(CellTest, NoFontSlotLeavesTheCellUnchanged) {
  const uint32_t chart = AddGrid(2, 3);
  const char* names[5] = {"F1", "F2", "F3", "F4", "F5"};
  int i = 0;
  for (uint16_t r = 1; r <= 2; ++r)
    for (uint16_t c = 1; c <= 3 && i < 5; ++c, ++i) {
      const ChartCell cell = Cell(0, names[i]);
      ASSERT_EQ(QfaPutChartCell(&h, chart, r, c, &cell, names[i]), 0);
    }
  const int changes = QfaQueryFormUpdate(&h);
  const ChartCell sixth = Cell(1, "F6");
  EXPECT_EQ(QfaPutChartCell(&h, chart, 1, 1, &sixth, "new"), 104);
  ChartCell out{};
  char text[256];
  ASSERT_EQ(QfaGetChartCell(&h, chart, 1, 1, &out, text), 0);
  EXPECT_STREQ(out.Font.FontName, "F1");
  EXPECT_EQ(out.Kind, 0);
  EXPECT_STREQ(text, "F1");
  EXPECT_EQ(QfaQueryFormUpdate(&h), changes);
  // The sixth name may go to a cell without attributes only when a slot is free.
  EXPECT_EQ(QfaPutChartCell(&h, chart, 2, 3, &sixth, "new"), 104);
  EXPECT_EQ(QfaGetChartCell(&h, chart, 2, 3, &out, text), -1);
}

TEST_F(CellTest, LinesInsideAndOutsideTheGrid) {
  const uint32_t chart = AddGrid(2, 3);
  const ChartLine line{3, 0x1234, 0x00FF0000};  // blue: index 12
  int changes = QfaQueryFormUpdate(&h);
  EXPECT_EQ(QfaPutChartVline(&h, chart, 2, 3, &line), 0);
  EXPECT_EQ(QfaPutChartHline(&h, chart, 2, 3, &line), 0);
  EXPECT_EQ(QfaQueryFormUpdate(&h), changes + 2);
  ChartLine out{};
  EXPECT_EQ(QfaGetChartVline(&h, chart, 2, 3, &out), 0);
  EXPECT_EQ(out.Style, 3);
  EXPECT_EQ(uint32_t(out.Param), 0x1234u);
  EXPECT_EQ(uint32_t(out.Color), 0x00FF0000u);
  EXPECT_EQ(page().charts.Get(1)->vlines.Get(2, 3).color, 12);
  EXPECT_EQ(QfaGetChartHline(&h, chart, 2, 3, &out), 0);
  EXPECT_EQ(out.Style, 3);

  changes = QfaQueryFormUpdate(&h);
  // Vertical: row 1..2, boundary 0..3. Horizontal: boundary 0..2, column 1..3.
  EXPECT_EQ(QfaPutChartVline(&h, chart, 0, 1, &line), -1);
  EXPECT_EQ(QfaPutChartVline(&h, chart, 3, 1, &line), -1);
  EXPECT_EQ(QfaPutChartVline(&h, chart, 1, 4, &line), -1);
  EXPECT_EQ(QfaPutChartHline(&h, chart, 3, 1, &line), -1);
  EXPECT_EQ(QfaPutChartHline(&h, chart, 1, 0, &line), -1);
  EXPECT_EQ(QfaPutChartHline(&h, chart, 1, 4, &line), -1);
  EXPECT_EQ(QfaPutChartHline(&h, chart, 65535, 65535, &line), -1);
  EXPECT_EQ(QfaGetChartVline(&h, chart, 1, 4, &out), -1);
  EXPECT_EQ(QfaGetChartHline(&h, chart, 0, 0, &out), -1);
  EXPECT_EQ(QfaQueryFormUpdate(&h), changes);
  EXPECT_EQ(QfaGetChartVline(&h, chart, 1, 0, &out), 0);
  EXPECT_EQ(QfaGetChartHline(&h, chart, 0, 1, &out), 0);
}

TEST_F(CellTest, EntryNamingNoChartIsRefused) {
  AddGrid(2, 2);
  const uint32_t missing = PageData{qs::kChart, 2}.value();
  const uint32_t beyond = PageData{qs::kChart, 33}.value();
  ChartCell cell = Cell(0);
  char text[256];
  ChartLine line{};
  uint16_t r = 1, c = 1;
  int32_t v[4];
  for (uint32_t entry : {missing, beyond}) {
    EXPECT_EQ(QfaGetChartCell(&h, entry, 1, 1, &cell, text), -1);
    EXPECT_EQ(QfaPutChartCell(&h, entry, 1, 1, &cell, "x"), -1);
    EXPECT_EQ(QfaGetChartVline(&h, entry, 1, 1, &line), -1);
    EXPECT_EQ(QfaPutChartHline(&h, entry, 1, 1, &line), -1);
    EXPECT_EQ(QfaChartGetExistCell(&h, entry, &r, &c), -1);
    EXPECT_EQ(QfaChartCellArea(&h, entry, 1, 1, &r, &c), -1);
    EXPECT_EQ(QfaChartCellRect(&h, entry, 1, 1, &v[0], &v[1], &v[2], &v[3]), -1);
    EXPECT_EQ(QfaChartNextCell(&h, entry, 1, 1, &r, &c), -1);
    EXPECT_EQ(QfaChartNextCellEx(&h, entry, 1, 1, kRight, &r, &c), -1);
  }
  // And with no page at all.
  const uint32_t chart = PageData{qs::kChart, 1}.value();
  ASSERT_EQ(QfaDeleteFormPage(&h), 0);
  EXPECT_EQ(QfaGetChartCell(&h, chart, 1, 1, &cell, text), -1);
  EXPECT_EQ(QfaPutChartVline(&h, chart, 1, 1, &line), -1);
  EXPECT_EQ(QfaChartNextCell(&h, chart, 1, 1, &r, &c), -1);
}

TEST_F(CellTest, AnEmptyFaceNameKeepsItsSlotFromLaterNames) {
  // A cell put with a zeroed font names an empty slot; a name that comes later must not move into
  // that slot and so rename the cell's face behind the caller's back.
  const uint32_t chart = AddGrid(1, 2);
  const ChartCell plain = Cell(0, "");
  ASSERT_EQ(QfaPutChartCell(&h, chart, 1, 1, &plain, "a"), 0);
  const ChartCell gothic = Cell(0, "Gothic");
  ASSERT_EQ(QfaPutChartCell(&h, chart, 1, 2, &gothic, "b"), 0);
  ChartCell out{};
  char text[256];
  ASSERT_EQ(QfaGetChartCell(&h, chart, 1, 1, &out, text), 0);
  EXPECT_STREQ(out.Font.FontName, "");
  ASSERT_EQ(QfaGetChartCell(&h, chart, 1, 2, &out, text), 0);
  EXPECT_STREQ(out.Font.FontName, "Gothic");
}

}  // namespace
