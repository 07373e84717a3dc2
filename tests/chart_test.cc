// The chart grid: creation, information, sizes, HR pair, and rows and columns moving with their
// cells and ruled lines.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "common/model/chart_ops.h"
#include "common/model/page_ops.h"
#include "common/status.h"
#include "common/undo/undo_state.h"
#include "formstore/form.h"
#include "support/fake_binder.h"
#include "support/form_fixture.h"

namespace {

using qs::PageData;

ChartInf Inf(uint16_t rows, uint16_t cols, int32_t width = 100) {
  ChartInf inf{};
  inf.Left = 0;
  inf.Top = 0;
  inf.Right = width * cols;
  inf.Rows = rows;
  inf.Cols = cols;
  inf.RowHight = 10;
  inf.LineStyle = 1;
  return inf;
}

class ChartTest : public qs_test::FormTest {
 protected:
  qs::Page& Cur() { return *form().PageAt(h.CurPage + 1); }
  qs::ChartRec& Rec(uint32_t entry) { return *Cur().charts.Get(PageData::FromValue(entry).no); }

  uint32_t Add(const ChartInf& inf) {
    uint16_t entry = 0;
    EXPECT_EQ(QfaAddChart(&h, &inf, &entry), 0);
    return entry;
  }
  // A chart whose lines carry their position: horizontal boundary b has style 10 + b, the vertical
  // lines of row r style 50 + r, and (for columns) vertical boundary b param 100 + b, horizontal
  // lines of column c param 200 + c. Cell (r, c) gets text id r * 16 + c.
  uint32_t Marked(uint16_t rows, uint16_t cols) {
    const uint32_t e = Add(Inf(rows, cols));
    qs::ChartRec& rec = Rec(e);
    for (int r = 0; r <= rows; ++r)
      for (int c = 0; c <= cols; ++c) {
        if (c > 0) rec.hlines.Set(r, c, qs::LineRec{uint8_t(10 + r), uint16_t(200 + c), 0});
        if (r > 0) rec.vlines.Set(r, c, qs::LineRec{uint8_t(50 + r), uint16_t(100 + c), 0});
        if (r > 0 && c > 0) rec.cell_text[r][c] = uint16_t(r * 16 + c);
      }
    return e;
  }
  uint16_t Height(uint32_t e, uint16_t row) {
    uint16_t v = 0;
    QfaGetChartRHight(&h, e, row, &v);
    return v;
  }
  uint16_t Width(uint32_t e, uint16_t col) {
    uint16_t v = 0;
    QfaGetChartCWidth(&h, e, col, &v);
    return v;
  }
  ChartInf Get(uint32_t e) {
    ChartInf inf{};
    EXPECT_EQ(QfaGetChartInf(&h, e, &inf), 0);
    return inf;
  }
  uint32_t Changes() { return uint32_t(QfaQueryFormUpdate(&h)); }
  std::vector<int> HStyles(uint32_t e, int col) {
    std::vector<int> v;
    for (int b = 0; b <= Rec(e).rows(); ++b) v.push_back(Rec(e).hlines.Get(b, col).style);
    return v;
  }
  std::vector<int> VStyles(uint32_t e, int boundary) {
    std::vector<int> v;
    for (int r = 1; r <= Rec(e).rows(); ++r) v.push_back(Rec(e).vlines.Get(r, boundary).style);
    return v;
  }
  std::vector<int> VParams(uint32_t e, int row) {
    std::vector<int> v;
    for (int b = 0; b <= Rec(e).cols(); ++b) v.push_back(Rec(e).vlines.Get(row, b).param);
    return v;
  }
  std::vector<int> HParams(uint32_t e, int boundary) {
    std::vector<int> v;
    for (int c = 1; c <= Rec(e).cols(); ++c) v.push_back(Rec(e).hlines.Get(boundary, c).param);
    return v;
  }
  std::vector<int> ColumnTexts(uint32_t e, int col) {
    std::vector<int> v;
    for (int r = 1; r <= Rec(e).rows(); ++r) v.push_back(Rec(e).cell_text[r][col]);
    return v;
  }
  std::vector<int> RowTexts(uint32_t e, int row) {
    std::vector<int> v;
    for (int c = 1; c <= Rec(e).cols(); ++c) v.push_back(Rec(e).cell_text[row][c]);
    return v;
  }
};

using V = std::vector<int>;

// ---- Creation and information ----

TEST_F(ChartTest, AddNormalisesACopy) {
  ChartInf inf{};
  inf.Flag = 7;
  inf.Right = 1000;
  inf.Cols = 3;
  inf.Rows = 4;
  inf.RowHight = 5;
  inf.LineStyle = 2;
  inf.LineParam = 0x1234;
  inf.LineColor = 0x000000FF;  // entry 9 of the standard colours
  const ChartInf asked = inf;
  const uint32_t changes = Changes();
  uint16_t entry = 0;
  ASSERT_EQ(QfaAddChart(&h, &inf, &entry), 0);
  EXPECT_EQ(entry, PageData({qs::kChart, 1}).value());
  EXPECT_EQ(std::memcmp(&inf, &asked, sizeof inf), 0);
  EXPECT_EQ(Changes(), changes + 1);

  const ChartInf got = Get(entry);
  EXPECT_EQ(+got.Flag, 0);
  EXPECT_EQ(+got.Right, 999);
  EXPECT_EQ(+got.Bottom, 40);
  EXPECT_EQ(+got.RowHight, 10);
  EXPECT_EQ(+got.LineColor, 0x000000FFu);
  EXPECT_EQ(Width(entry, 3), 333);
  EXPECT_EQ(Height(entry, 4), 10);
  uint16_t hr1 = 9, hr2 = 9;
  ASSERT_EQ(QfaGetChartHR(&h, entry, &hr1, &hr2), 0);
  EXPECT_EQ(hr1 + hr2, 0);

  // Every boundary carries the default line, and nothing lies outside the grid.
  const qs::ChartRec& rec = Rec(entry);
  EXPECT_EQ(rec.colpos[2], 999);
  EXPECT_EQ(rec.rowpos[3], 40);
  EXPECT_EQ(rec.rowpos[4], 0);
  for (int r = 0; r <= 5; ++r)
    for (int c = 0; c <= 4; ++c) {
      const bool v_in = r >= 1 && r <= 4 && c <= 3, h_in = r <= 4 && c >= 1 && c <= 3;
      EXPECT_EQ(rec.vlines.Get(r, c).style, v_in ? 2 : 0) << r << "," << c;
      EXPECT_EQ(rec.hlines.Get(r, c).style, h_in ? 2 : 0) << r << "," << c;
      if (v_in) {
        EXPECT_EQ(+rec.vlines.Get(r, c).param, 0x1234);
        EXPECT_EQ(rec.vlines.Get(r, c).color, 9);
      }
    }
}

TEST_F(ChartTest, CountsOutsideOneTo127AreRefused) {
  uint16_t e = 0;
  for (auto [rows, cols] : {std::pair<int, int>{0, 1}, {1, 0}, {128, 1}, {1, 128}}) {
    const ChartInf inf = Inf(uint16_t(rows), uint16_t(cols));
    EXPECT_EQ(QfaAddChart(&h, &inf, &e), -1) << rows << "x" << cols;
  }
  EXPECT_EQ(Cur().charts.Count(), 0);
  EXPECT_EQ(QfaGetPageDataCount(&h), 0);
  const uint32_t big = Add(Inf(127, 127, 10));
  EXPECT_EQ(Rec(big).vlines.Get(127, 127).style, 1);
  EXPECT_EQ(Rec(big).hlines.Get(127, 127).style, 1);
}

TEST_F(ChartTest, ThirtyThirdChartIsRefusedAndNumbersAreReused) {
  for (int i = 1; i <= 32; ++i) EXPECT_EQ(PageData::FromValue(Add(Inf(1, 1))).no, i);
  uint16_t e = 0;
  const ChartInf inf = Inf(1, 1);
  EXPECT_EQ(QfaAddChart(&h, &inf, &e), -1);
  EXPECT_EQ(QfaGetPageDataCount(&h), 32);
  ASSERT_EQ(QfaDeletePageData(&h, PageData{qs::kChart, 5}.value()), 0);
  EXPECT_EQ(PageData::FromValue(Add(inf)).no, 5);
}

TEST_F(ChartTest, LineColoursGoThroughTheColourTableInUse) {
  ChartInf inf = Inf(1, 1);
  inf.LineColor = 0x00123456;  // in no table: index 0
  const uint32_t e = Add(inf);
  EXPECT_EQ(Rec(e).vlines.Get(1, 0).color, 0);
  EXPECT_EQ(+Get(e).LineColor, 0u);  // entry 0 of the standard table: black

  uint32_t table[16];
  for (int i = 0; i < 16; ++i) table[i] = 0x00010000u * uint32_t(i + 1);
  table[11] = table[4];  // the first equal entry wins
  table[0] = 0x00ABCDEF;
  ASSERT_EQ(QfaPutFormCColor(&h, table), 0);
  EXPECT_EQ(+Get(e).LineColor, 0x00ABCDEFu);

  inf.LineColor = table[11];
  const uint32_t e2 = Add(inf);
  EXPECT_EQ(Rec(e2).hlines.Get(1, 1).color, 4);
  EXPECT_EQ(+Get(e2).LineColor, table[4]);

  ChartInf put = Get(e);
  put.LineColor = table[9];
  ASSERT_EQ(QfaPutChartInf(&h, e, &put), 0);
  EXPECT_EQ(+Rec(e).inf.line_color, 9);
  put.LineColor = 0x00FFFFFF;  // standard white, not in this table
  ASSERT_EQ(QfaPutChartInf(&h, e, &put), 0);
  EXPECT_EQ(+Rec(e).inf.line_color, 0);
}

TEST_F(ChartTest, PutChartInfStoresAsGivenButKeepsTheShape) {
  const uint32_t e = Add(Inf(3, 2));
  ChartInf inf = Get(e);
  inf.Flag = 5;
  inf.Left = 40;
  inf.Top = -30;
  inf.Right = 7;
  inf.RowHight = 3;
  inf.LineStyle = 9;
  ASSERT_EQ(QfaPutChartInf(&h, e, &inf), 0);
  EXPECT_EQ(+Rec(e).inf.right, 7);  // as given, until read again
  const ChartInf got = Get(e);
  EXPECT_EQ(+got.Flag, 5);
  EXPECT_EQ(+got.Left, 40);
  EXPECT_EQ(+got.Right, 240);
  EXPECT_EQ(+got.Bottom, 0);
  EXPECT_EQ(+got.RowHight, 3);
  EXPECT_EQ(+got.LineStyle, 9);
  EXPECT_EQ(+Rec(e).inf.right, 240);

  const uint32_t changes = Changes();
  for (auto [rows, cols] : {std::pair<int, int>{4, 2}, {3, 1}, {0, 2}, {3, 200}}) {
    ChartInf other = got;
    other.Rows = uint16_t(rows);
    other.Cols = uint16_t(cols);
    other.Left = 999;
    EXPECT_EQ(QfaPutChartInf(&h, e, &other), -1);
  }
  EXPECT_EQ(+Get(e).Left, 40);
  EXPECT_EQ(Changes(), changes);
}

// ---- Heights, widths, HR pair ----

TEST_F(ChartTest, SizesMoveTheFarEdges) {
  const uint32_t e = Add(Inf(2, 2));
  ASSERT_EQ(QfaPutChartCWidth(&h, e, 2, 120), 0);
  EXPECT_EQ(+Get(e).Right, 220);
  ASSERT_EQ(QfaPutChartRHight(&h, e, 1, 4), 0);
  EXPECT_EQ(+Get(e).Bottom, 14);
  EXPECT_EQ(Rec(e).rowpos[1], 14);
  EXPECT_EQ(Rec(e).colpos[1], 220);
}

TEST_F(ChartTest, SizesOutsideTheGridAreRefusedWithZero) {
  const uint32_t e = Add(Inf(2, 3));
  const uint32_t changes = Changes();
  uint16_t v = 77;
  EXPECT_EQ(QfaGetChartRHight(&h, e, 0, &v), -1);
  EXPECT_EQ(v, 0);
  v = 77;
  EXPECT_EQ(QfaGetChartRHight(&h, e, 3, &v), -1);
  EXPECT_EQ(v, 0);
  v = 77;
  EXPECT_EQ(QfaGetChartCWidth(&h, e, 4, &v), -1);
  EXPECT_EQ(v, 0);
  EXPECT_EQ(QfaPutChartRHight(&h, e, 0, 5), -1);
  EXPECT_EQ(QfaPutChartRHight(&h, e, 3, 5), -1);
  EXPECT_EQ(QfaPutChartCWidth(&h, e, 0, 5), -1);
  EXPECT_EQ(QfaPutChartCWidth(&h, e, 4, 5), -1);
  EXPECT_EQ(Changes(), changes);
}

TEST_F(ChartTest, HrPairFollowsRowInsertsAndDeletes) {
  const uint32_t e = Add(Inf(5, 2));
  const uint32_t changes = Changes();
  ASSERT_EQ(QfaPutChartHR(&h, e, 2, 3), 0);
  EXPECT_EQ(Changes(), changes + 1);
  uint16_t hr1 = 0, hr2 = 0;
  ASSERT_EQ(QfaInsertChartR(&h, e, 0, 3, 10), 0);
  ASSERT_EQ(QfaGetChartHR(&h, e, &hr1, &hr2), 0);
  EXPECT_EQ(hr1, 2);
  EXPECT_EQ(hr2, 4);
  ASSERT_EQ(QfaDeleteChartR(&h, e, 2), 0);
  ASSERT_EQ(QfaGetChartHR(&h, e, &hr1, &hr2), 0);
  EXPECT_EQ(hr1, 1);
  EXPECT_EQ(hr2, 3);

  ASSERT_EQ(QfaPutChartHR(&h, e, 0, 1), 0);
  ASSERT_EQ(QfaInsertChartR(&h, e, 0, 1, 10), 0);
  ASSERT_EQ(QfaInsertChartC(&h, e, 0, 1, 10), 0);
  ASSERT_EQ(QfaDeleteChartC(&h, e, 1), 0);
  ASSERT_EQ(QfaGetChartHR(&h, e, &hr1, &hr2), 0);
  EXPECT_EQ(hr1, 0);
  EXPECT_EQ(hr2, 2);
  ASSERT_EQ(QfaDeleteChartR(&h, e, 1), 0);
  ASSERT_EQ(QfaDeleteChartR(&h, e, 1), 0);
  ASSERT_EQ(QfaGetChartHR(&h, e, &hr1, &hr2), 0);
  EXPECT_EQ(hr1, 0);
  EXPECT_EQ(hr2, 0);
}

// ---- Rows ----

TEST_F(ChartTest, InsertedRowBelowTakesNoCellsAndPushesTheRestDown) {
  const uint32_t e = Marked(3, 2);
  ASSERT_EQ(QfaPutChartRHight(&h, e, 3, 30), 0);
  const int32_t bottom = Get(e).Bottom;
  ASSERT_EQ(QfaInsertChartR(&h, e, 1, 2, 15), 0);
  EXPECT_EQ(Rec(e).rows(), 4);
  EXPECT_EQ(RowTexts(e, 3), (V{0, 0}));
  EXPECT_EQ(Rec(e).cell_attr[3][1], 0);
  EXPECT_EQ(RowTexts(e, 4), (V{3 * 16 + 1, 3 * 16 + 2}));
  EXPECT_EQ(RowTexts(e, 2), (V{2 * 16 + 1, 2 * 16 + 2}));
  EXPECT_EQ(Height(e, 3), 15);
  EXPECT_EQ(Height(e, 4), 30);
  EXPECT_EQ(+Get(e).Bottom, bottom + 15);
  EXPECT_EQ(Rec(e).rowpos[3], 10 + 10 + 15 + 30);
  // The new row keeps the vertical lines of the row it displaced; both its edges carry that row's
  // top edge.
  EXPECT_EQ(VStyles(e, 0), (V{51, 52, 53, 53}));
  EXPECT_EQ(HStyles(e, 1), (V{10, 11, 12, 12, 13}));
}

TEST_F(ChartTest, NewLastRowTakesTheBottomEdge) {
  // Thick outer bottom edge, thin inner edges.
  const uint32_t e = Add(Inf(3, 2));
  for (int c = 1; c <= 2; ++c) Rec(e).hlines.Set(3, c, qs::LineRec{2, 0, 0});
  ASSERT_EQ(QfaInsertChartR(&h, e, 1, 3, 10), 0);
  EXPECT_EQ(HStyles(e, 2), (V{1, 1, 1, 1, 2}));

  const uint32_t m = Marked(3, 2);
  ASSERT_EQ(QfaInsertChartR(&h, m, 0, 4, 12), 0);
  EXPECT_EQ(HStyles(m, 1), (V{10, 11, 12, 12, 13}));
  EXPECT_EQ(VStyles(m, 2), (V{51, 52, 53, 53}));
  EXPECT_EQ(RowTexts(m, 4), (V{0, 0}));
  EXPECT_EQ(Height(m, 4), 12);
}

TEST_F(ChartTest, DeletedRowGivesUpItsCellsAndLinesMoveUp) {
  const uint32_t e = Marked(3, 2);
  qs::Page& page = Cur();
  qs::ChartRec& rec = Rec(e);
  for (int r = 1; r <= 3; ++r)
    for (int c = 1; c <= 2; ++c) {
      rec.cell_text[r][c] = 0;
      ASSERT_EQ(page.strings.Put(&rec.cell_text[r][c], std::to_string(r)), 0);
      ASSERT_EQ(page.cell_attrs.Put(&rec.cell_attr[r][c], qs::CellAttr{}), 0);
    }
  const uint16_t moved = rec.cell_text[3][1];
  ASSERT_EQ(QfaPutChartRHight(&h, e, 2, 25), 0);
  ASSERT_EQ(QfaPutChartRHight(&h, e, 3, 35), 0);
  ASSERT_EQ(QfaDeleteChartR(&h, e, 2), 0);
  EXPECT_EQ(rec.rows(), 2);
  EXPECT_EQ(page.strings.LiveCount(), 4);
  EXPECT_EQ(page.cell_attrs.LiveCount(), 4);
  EXPECT_EQ(rec.cell_text[2][1], moved);
  EXPECT_EQ(page.strings.View(rec.cell_text[2][1]), "3");
  EXPECT_EQ(rec.cell_text[3][1], 0);  // nothing left behind the last row
  EXPECT_EQ(Height(e, 2), 35);
  EXPECT_EQ(+Get(e).Bottom, 45);
  EXPECT_EQ(VStyles(e, 1), (V{51, 53}));
  EXPECT_EQ(HStyles(e, 2), (V{10, 12, 13}));
}

TEST_F(ChartTest, DeletingLastRowWithoutBottomLineKeepsTheInnerEdge) {
  const uint32_t e = Marked(3, 2);
  for (int c = 1; c <= 2; ++c) Rec(e).hlines.Set(3, c, qs::LineRec{});
  ASSERT_EQ(QfaDeleteChartR(&h, e, 3), 0);
  EXPECT_EQ(HStyles(e, 1), (V{10, 11, 12}));

  const uint32_t lined = Marked(3, 2);  // with a bottom line the edge moves up as usual
  ASSERT_EQ(QfaDeleteChartR(&h, lined, 3), 0);
  EXPECT_EQ(HStyles(lined, 1), (V{10, 11, 13}));
}

TEST_F(ChartTest, RowLimitsAndRange) {
  const uint32_t e = Add(Inf(127, 1, 10));
  const uint32_t changes = Changes();
  EXPECT_EQ(QfaInsertChartR(&h, e, 0, 1, 10), -1);
  const uint32_t f = Add(Inf(3, 1));
  EXPECT_EQ(QfaInsertChartR(&h, f, 0, 0, 10), -1);
  EXPECT_EQ(QfaInsertChartR(&h, f, 0, 5, 10), -1);
  EXPECT_EQ(QfaInsertChartR(&h, f, 1, 4, 10), -1);
  EXPECT_EQ(QfaDeleteChartR(&h, f, 0), -1);
  EXPECT_EQ(QfaDeleteChartR(&h, f, 4), -1);
  EXPECT_EQ(Rec(f).rows(), 3);
  EXPECT_EQ(Changes(), changes + 1);
}

TEST_F(ChartTest, AChartCanLoseItsLastRowAndGrowAgain) {
  const uint32_t e = Add(Inf(1, 2));
  ASSERT_EQ(QfaDeleteChartR(&h, e, 1), 0);
  EXPECT_EQ(+Get(e).Rows, 0);
  EXPECT_EQ(QfaDeleteChartR(&h, e, 1), -1);
  ASSERT_EQ(QfaInsertChartR(&h, e, 0, 1, 20), 0);
  EXPECT_EQ(+Get(e).Rows, 1);
  EXPECT_EQ(+Get(e).Bottom, 20);
}

// ---- Columns ----

TEST_F(ChartTest, InsertedColumnTakesNoCellsAndPushesTheRestRight) {
  const uint32_t e = Marked(2, 3);
  const int32_t right = Get(e).Right;
  ASSERT_EQ(QfaInsertChartC(&h, e, 0, 2, 40), 0);
  EXPECT_EQ(Rec(e).cols(), 4);
  EXPECT_EQ(ColumnTexts(e, 2), (V{0, 0}));
  EXPECT_EQ(ColumnTexts(e, 3), (V{1 * 16 + 2, 2 * 16 + 2}));
  EXPECT_EQ(ColumnTexts(e, 4), (V{1 * 16 + 3, 2 * 16 + 3}));
  EXPECT_EQ(Width(e, 2), 40);
  EXPECT_EQ(Width(e, 3), 100);
  EXPECT_EQ(+Get(e).Right, right + 40);
  EXPECT_EQ(HParams(e, 0), (V{201, 202, 202, 203}));
  EXPECT_EQ(VParams(e, 1), (V{100, 101, 101, 102, 103}));
}

TEST_F(ChartTest, NewLastColumnTakesTheRightEdge) {
  const uint32_t e = Marked(2, 3);
  ASSERT_EQ(QfaInsertChartC(&h, e, 1, 3, 50), 0);
  EXPECT_EQ(VParams(e, 2), (V{100, 101, 102, 102, 103}));
  EXPECT_EQ(HParams(e, 1), (V{201, 202, 203, 203}));
  EXPECT_EQ(ColumnTexts(e, 4), (V{0, 0}));
  EXPECT_EQ(Width(e, 4), 50);
}

TEST_F(ChartTest, DeletedColumnGivesUpItsCellsAndLinesMoveLeft) {
  const uint32_t e = Marked(2, 3);
  qs::Page& page = Cur();
  qs::ChartRec& rec = Rec(e);
  for (int r = 1; r <= 2; ++r) {
    rec.cell_text[r][2] = 0;
    ASSERT_EQ(page.strings.Put(&rec.cell_text[r][2], "gone"), 0);
    ASSERT_EQ(page.cell_attrs.Put(&rec.cell_attr[r][2], qs::CellAttr{}), 0);
  }
  ASSERT_EQ(QfaPutChartCWidth(&h, e, 3, 70), 0);
  ASSERT_EQ(QfaDeleteChartC(&h, e, 2), 0);
  EXPECT_EQ(page.strings.LiveCount(), 0);
  EXPECT_EQ(page.cell_attrs.LiveCount(), 0);
  EXPECT_EQ(ColumnTexts(e, 2), (V{1 * 16 + 3, 2 * 16 + 3}));
  EXPECT_EQ(rec.cell_text[1][3], 0);
  EXPECT_EQ(Width(e, 2), 70);
  EXPECT_EQ(+Get(e).Right, 170);
  EXPECT_EQ(HParams(e, 2), (V{201, 203}));
  EXPECT_EQ(VParams(e, 1), (V{100, 102, 103}));
}

TEST_F(ChartTest, DeletingLastColumnWithoutRightLineKeepsTheInnerEdge) {
  const uint32_t e = Marked(2, 3);
  for (int r = 1; r <= 2; ++r) Rec(e).vlines.Set(r, 3, qs::LineRec{});
  ASSERT_EQ(QfaDeleteChartC(&h, e, 3), 0);
  EXPECT_EQ(VParams(e, 1), (V{100, 101, 102}));

  const uint32_t lined = Marked(2, 3);
  ASSERT_EQ(QfaDeleteChartC(&h, lined, 3), 0);
  EXPECT_EQ(VParams(lined, 1), (V{100, 101, 103}));
}

TEST_F(ChartTest, ColumnLimitsAndRange) {
  const uint32_t e = Add(Inf(1, 127, 10));
  EXPECT_EQ(QfaInsertChartC(&h, e, 0, 1, 10), -1);
  const uint32_t f = Add(Inf(1, 3));
  EXPECT_EQ(QfaInsertChartC(&h, f, 0, 0, 10), -1);
  EXPECT_EQ(QfaInsertChartC(&h, f, 0, 5, 10), -1);
  EXPECT_EQ(QfaDeleteChartC(&h, f, 0), -1);
  EXPECT_EQ(QfaDeleteChartC(&h, f, 4), -1);
  EXPECT_EQ(Rec(f).cols(), 3);
  ASSERT_EQ(QfaInsertChartC(&h, f, 1, 3, 10), 0);  // after the last column
  EXPECT_EQ(Rec(f).cols(), 4);
}

// ---- Entries and pages that name nothing ----

TEST_F(ChartTest, EntriesNamingNoChartAreRefused) {
  Add(Inf(2, 2));
  const uint32_t changes = Changes();
  ChartInf inf = Inf(2, 2);
  uint16_t a = 7, b = 7;
  for (uint32_t e : {PageData{qs::kChart, 2}.value(), PageData{qs::kChart, 0}.value(),
                     PageData{qs::kChart, 200}.value()}) {
    EXPECT_EQ(QfaGetChartInf(&h, e, &inf), -1);
    EXPECT_EQ(QfaPutChartInf(&h, e, &inf), -1);
    EXPECT_EQ(QfaGetChartHR(&h, e, &a, &b), -1);
    EXPECT_EQ(QfaPutChartHR(&h, e, 1, 1), -1);
    EXPECT_EQ(QfaGetChartRHight(&h, e, 1, &a), -1);
    EXPECT_EQ(a, 0);
    b = 7;
    EXPECT_EQ(QfaGetChartCWidth(&h, e, 1, &b), -1);
    EXPECT_EQ(b, 0);
    EXPECT_EQ(QfaPutChartRHight(&h, e, 1, 1), -1);
    EXPECT_EQ(QfaPutChartCWidth(&h, e, 1, 1), -1);
    EXPECT_EQ(QfaInsertChartR(&h, e, 0, 1, 1), -1);
    EXPECT_EQ(QfaDeleteChartR(&h, e, 1), -1);
    EXPECT_EQ(QfaInsertChartC(&h, e, 0, 1, 1), -1);
    EXPECT_EQ(QfaDeleteChartC(&h, e, 1), -1);
  }
  EXPECT_EQ(Changes(), changes);
  // Only the number of an entry counts.
  EXPECT_EQ(QfaGetChartInf(&h, PageData{0, 1}.value(), &inf), 0);
}

TEST_F(ChartTest, NoCurrentPageRefusesChartCalls) {
  const uint32_t e = Add(Inf(2, 2));
  ASSERT_EQ(QfaPutCurPage(&h, 2), 0);
  ChartInf inf{};
  uint16_t v = 7;
  EXPECT_EQ(QfaGetChartInf(&h, e, &inf), -1);
  EXPECT_EQ(QfaGetChartRHight(&h, e, 1, &v), -1);
  EXPECT_EQ(v, 0);
  EXPECT_EQ(QfaDeleteChartC(&h, e, 1), -1);
}

// ---- Side effects through the binder ----

TEST(ChartBinderTest, LayoutsHearOfChangesBeforeTheyHappen) {
  qs::test::FakeBinder b(qs::Form::kTraits);
  b.record_hooks = true;
  const ChartInf inf = Inf(3, 2);
  uint16_t raw = 0;
  ASSERT_EQ(qs::AddChart(b, &inf, &raw), 0);
  const PageData e = PageData::FromValue(raw);
  ASSERT_EQ(qs::InsertChartR(b, e, 1, 2, 10), 0);
  ASSERT_EQ(qs::DeleteChartR(b, e, 1), 0);
  ASSERT_EQ(qs::InsertChartC(b, e, 1, 2, 10), 0);
  ASSERT_EQ(qs::DeleteChartC(b, e, 3), 0);
  EXPECT_EQ(qs::InsertChartR(b, e, 0, 9, 10), -1);
  EXPECT_EQ(qs::DeleteChartC(b, e, 9), -1);

  qs::Page& page = *b.PageAt(1);
  auto cell = std::make_unique<qs::FreCellRec>();
  std::memset(cell.get(), 0, sizeof(qs::FreCellRec));
  ASSERT_EQ(page.fre_cells.Store(4, std::move(cell)), 4);
  ASSERT_EQ(page.AppendEntry(PageData{qs::kFreCell, 4}), 0);
  ASSERT_EQ(qs::DeletePageData(b, PageData{qs::kFreCell, 4}), 0);
  ASSERT_EQ(qs::DeletePageData(b, e), 0);

  EXPECT_EQ(b.calls,
            (std::vector<std::string>{"row+1/1/3 3x2", "row-1/1/1 4x2", "col+1/1/3 3x2",
                                      "col-1/1/3 3x3", "frecell-1/4/0", "chart-1/1/0 3x2"}));
  // Each change counted once, against the page it changed.
  EXPECT_EQ(b.changed_pages, std::vector<int>(7, 1));
  EXPECT_EQ(b.count_changes, 0);
}

}  // namespace
