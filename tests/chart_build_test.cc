// Building a chart from its head, rows and columns as one grid seen along two axes, and reading a
// grid position whether or not it begins a cell.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>

#include "common/model/cell_ops.h"
#include "common/model/chart_ops.h"
#include "common/model/page_ops.h"
#include "common/status.h"
#include "support/form_fixture.h"

namespace {

using qs::ChartEdges;
using qs::ChartInfRec;
using qs::ChartRec;
using qs::PageData;

ChartInfRec Head(uint16_t rows, uint16_t cols, int32_t right, int32_t bottom, uint16_t height) {
  ChartInfRec head{};
  head.flag = 7;
  head.left = 10;
  head.top = 20;
  head.right = right;
  head.bottom = bottom;
  head.rows = rows;
  head.cols = cols;
  head.row_hight = height;
  head.line_style = 2;
  head.line_param = 3;
  head.line_color = 4;
  return head;
}

TEST(ChartFromHeadTest, ShapesEdgesAndSizes) {
  struct Case {
    const char* name;
    uint16_t rows, cols;
    int32_t right, bottom;
    uint16_t height;
    ChartEdges edges;
    bool made;
    int32_t want_right, want_bottom;
    uint16_t want_height, want_width;
  };
  const Case cases[] = {
      {"no rows", 0, 3, 310, 50, 12, ChartEdges::kAsGiven, false, 0, 0, 0, 0},
      {"no columns", 3, 0, 310, 50, 12, ChartEdges::kFitted, false, 0, 0, 0, 0},
      {"too many rows", 128, 1, 310, 50, 12, ChartEdges::kAsGiven, false, 0, 0, 0, 0},
      {"too many columns", 1, 128, 310, 50, 12, ChartEdges::kFitted, false, 0, 0, 0, 0},
      {"read: edges kept", 2, 3, 311, 50, 12, ChartEdges::kAsGiven, true, 311, 50, 12, 100},
      {"read: low rows kept", 2, 3, 310, 50, 4, ChartEdges::kAsGiven, true, 310, 50, 4, 100},
      {"added: right pulled in", 2, 3, 311, 50, 12, ChartEdges::kFitted, true, 310, 44, 12, 100},
      {"added: rows raised to 10", 2, 3, 310, 0, 4, ChartEdges::kFitted, true, 310, 40, 10, 100},
      {"largest grid", 127, 127, 10 + 127 * 5, 0, 10, ChartEdges::kFitted, true, 10 + 127 * 5,
       20 + 1270, 10, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::unique_ptr<ChartRec> chart =
        qs::ChartFromHead(Head(c.rows, c.cols, c.right, c.bottom, c.height), c.edges);
    ASSERT_EQ(chart != nullptr, c.made);
    if (!chart) continue;
    const ChartInfRec& inf = chart->inf;  // packed: its members are compared as values
    EXPECT_EQ(int32_t{inf.right}, c.want_right);
    EXPECT_EQ(int32_t{inf.bottom}, c.want_bottom);
    EXPECT_EQ(uint16_t{inf.row_hight}, c.want_height);
    EXPECT_EQ(int{inf.flag}, 7);  // an added chart's flag is the caller's to clear
    for (int k = 0; k < c.rows; ++k) EXPECT_EQ(chart->rhight[k], c.want_height) << "row " << k + 1;
    for (int k = 0; k < c.cols; ++k) EXPECT_EQ(chart->cwidth[k], c.want_width) << "col " << k + 1;
    EXPECT_EQ(chart->rowpos[c.rows - 1], uint16_t(c.rows * c.want_height));
    EXPECT_EQ(chart->colpos[c.cols - 1], uint16_t(c.cols * c.want_width));
    // Every line of the grid carries the head's line, and none lies outside it.
    for (int x = 0; x <= c.rows + 1 && x < qs::kChartGrid; ++x)
      for (int y = 0; y <= c.cols + 1 && y < qs::kChartGrid; ++y) {
        const bool v = x >= 1 && x <= c.rows && y <= c.cols;
        const bool h = x <= c.rows && y >= 1 && y <= c.cols;
        ASSERT_EQ(chart->vlines.Get(x, y).style, v ? 2 : 0) << x << "," << y;
        ASSERT_EQ(chart->hlines.Get(x, y).style, h ? 2 : 0) << x << "," << y;
        if (v) {
          ASSERT_EQ(chart->vlines.Get(x, y).color, 4);
        }
      }
    EXPECT_EQ(chart->cell_attr[1][1] | chart->cell_text[1][1], 0);
  }
}

class GridAxisTest : public qs_test::FormTest {
 protected:
  qs::Page& Cur() { return *form().PageAt(h.CurPage + 1); }
  ChartRec& Rec(PageData e) { return *Cur().charts.Get(e.no); }

  PageData Add(uint16_t rows, uint16_t cols) {
    ChartInf inf{};
    inf.Right = 10 * cols;
    inf.Rows = rows;
    inf.Cols = cols;
    inf.RowHight = 10;
    inf.LineStyle = 1;
    uint16_t entry = 0;
    EXPECT_EQ(qs::AddChart(form(), &inf, &entry), qs::kOk);
    return PageData::FromValue(entry);
  }

  // Gives every line, size and cell id of `a` a value of its own and `b` the same, transposed.
  void Mark(std::mt19937& rng, ChartRec& a, ChartRec& b) {
    auto line = [&] {
      return qs::LineRec{uint8_t(rng() % 3), uint16_t(rng() % 1000), uint8_t(rng() % 16)};
    };
    for (int x = 0; x <= a.rows(); ++x)
      for (int y = 0; y <= a.cols(); ++y) {
        const qs::LineRec h = line(), v = line();
        a.hlines.Set(x, y, h);
        b.vlines.Set(y, x, h);
        a.vlines.Set(x, y, v);
        b.hlines.Set(y, x, v);
        const uint16_t id = uint16_t(rng() % 3 == 0 ? 0 : 1 + rng() % 500);
        a.cell_text[x][y] = b.cell_text[y][x] = id;
      }
    for (int r = 0; r < a.rows(); ++r) a.rhight[r] = b.cwidth[r] = uint16_t(5 + rng() % 40);
    for (int c = 0; c < a.cols(); ++c) a.cwidth[c] = b.rhight[c] = uint16_t(5 + rng() % 40);
    a.RecomputeRowPos();
    a.RecomputeColPos();
    b.RecomputeRowPos();
    b.RecomputeColPos();
  }

  // The whole of `b` is `a` transposed.
  static void ExpectTransposed(const ChartRec& a, const ChartRec& b) {
    ASSERT_EQ(a.rows(), b.cols());
    ASSERT_EQ(a.cols(), b.rows());
    EXPECT_EQ(int64_t(a.inf.bottom) - a.inf.top, int64_t(b.inf.right) - b.inf.left);
    EXPECT_EQ(int64_t(a.inf.right) - a.inf.left, int64_t(b.inf.bottom) - b.inf.top);
    for (int k = 0; k < qs::kChartGrid; ++k) {
      ASSERT_EQ(a.rhight[k], b.cwidth[k]) << k;
      ASSERT_EQ(a.rowpos[k], b.colpos[k]) << k;
      ASSERT_EQ(a.colpos[k], b.rowpos[k]) << k;
    }
    for (int x = 0; x < qs::kChartGrid; ++x)
      for (int y = 0; y < qs::kChartGrid; ++y) {
        const qs::LineRec ah = a.hlines.Get(x, y), bv = b.vlines.Get(y, x);
        const qs::LineRec av = a.vlines.Get(x, y), bh = b.hlines.Get(y, x);
        ASSERT_TRUE(ah.style == bv.style && ah.param == bv.param && ah.color == bv.color)
            << "hline " << x << "," << y;
        ASSERT_TRUE(av.style == bh.style && av.param == bh.param && av.color == bh.color)
            << "vline " << x << "," << y;
        ASSERT_EQ(a.cell_text[x][y], b.cell_text[y][x]) << x << "," << y;
        ASSERT_EQ(a.cell_attr[x][y], b.cell_attr[y][x]) << x << "," << y;
      }
  }
};

// A row insert or delete on a chart does to it what the column insert or delete at the same place
// does to its transpose, wherever the line lies (first, inner, last, past the end) and whatever
// lines the edges have.
TEST_F(GridAxisTest, RowsAndColumnsMoveAlike) {
  std::mt19937 rng(16);
  for (int round = 0; round < 60; ++round) {
    const uint16_t rows = uint16_t(1 + rng() % 6), cols = uint16_t(1 + rng() % 6);
    SCOPED_TRACE("round " + std::to_string(round) + ": " + std::to_string(rows) + "x" +
                 std::to_string(cols));
    const PageData a = Add(rows, cols), b = Add(cols, rows);
    Mark(rng, Rec(a), Rec(b));
    for (int step = 0; step < 6; ++step) {
      const int n = Rec(a).rows();
      const uint16_t at = uint16_t(rng() % (n + 3));  // 0 and n + 1.. are refused or append
      const uint8_t after = uint8_t(rng() % 2);
      const uint16_t size = uint16_t(5 + rng() % 40);
      SCOPED_TRACE("step " + std::to_string(step) + " at " + std::to_string(at));
      if (rng() % 2 == 0 || n == 1) {
        ASSERT_EQ(qs::InsertChartR(form(), a, after, at, size),
                  qs::InsertChartC(form(), b, after, at, size));
      } else {
        ASSERT_EQ(qs::DeleteChartR(form(), a, at), qs::DeleteChartC(form(), b, at));
      }
      ExpectTransposed(Rec(a), Rec(b));
    }
    ASSERT_EQ(qs::DeletePageData(form(), a), qs::kOk);
    ASSERT_EQ(qs::DeletePageData(form(), b), qs::kOk);
  }
}

// A chart that reaches 127 rows refuses another, as the transposed one refuses a 128th column.
TEST_F(GridAxisTest, TheFullGridRefusesOnBothAxes) {
  const PageData a = Add(127, 2), b = Add(2, 127);
  EXPECT_EQ(qs::InsertChartR(form(), a, 1, 127, 10), qs::kRefused);
  EXPECT_EQ(qs::InsertChartC(form(), b, 1, 127, 10), qs::kRefused);
  ASSERT_EQ(qs::DeleteChartR(form(), a, 127), qs::kOk);
  ASSERT_EQ(qs::DeleteChartC(form(), b, 127), qs::kOk);
  EXPECT_EQ(qs::InsertChartR(form(), a, 1, 126, 10), qs::kOk);
  EXPECT_EQ(qs::InsertChartC(form(), b, 1, 126, 10), qs::kOk);
  ExpectTransposed(Rec(a), Rec(b));
}

using ReadCellTest = GridAxisTest;

// Every grid position reads the same through the journal's reader and the cell getter, except one
// that keeps attributes without beginning a cell: the getter refuses it, the reader reads it.
TEST_F(ReadCellTest, PositionsReadAlikeExceptWhereNoCellBegins) {
  const PageData e = Add(2, 3);
  ChartCell put{};
  put.Kind = 1;
  put.Font = qs_test::Font("Mincho");
  put.Attr[2] = 9;
  put.Mode = 3;
  ASSERT_EQ(qs::PutChartCell(form(), e, 1, 1, &put, "one"), qs::kOk);
  put.Attr[2] = 11;
  ASSERT_EQ(qs::PutChartCell(form(), e, 1, 2, &put, ""), qs::kOk);
  ASSERT_EQ(qs::PutChartCell(form(), e, 2, 3, &put, std::string(300, 'x').c_str()), qs::kOk);
  // Without the line between (1, 1) and (1, 2), the second position begins no cell.
  ChartLine none{};
  ASSERT_EQ(qs::PutChartVline(form(), e, 1, 1, &none), qs::kOk);

  struct Case {
    uint16_t row, col;
    qs::CellContent content;
    int get_status;  // kOk, kRefused or anything else (the not-an-origin status)
    uint16_t attr2;
    std::string text;
  };
  const Case cases[] = {
      {1, 1, qs::CellContent::kCell, qs::kOk, 9, "one"},
      {1, 2, qs::CellContent::kCell, -99, 11, ""},
      {2, 3, qs::CellContent::kCell, qs::kOk, 11, std::string(255, 'x')},
      {2, 2, qs::CellContent::kEmpty, qs::kRefused, 0, ""},
      {0, 1, qs::CellContent::kOutside, qs::kRefused, 0, ""},
      {3, 1, qs::CellContent::kOutside, qs::kRefused, 0, ""},
      {1, 4, qs::CellContent::kOutside, qs::kRefused, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.row) + "," + std::to_string(c.col));
    ChartCell read{}, got{};
    read.Kind = got.Kind = 0xEE;  // left alone unless a cell is read
    char read_text[256] = "untouched", got_text[256] = "untouched";
    ASSERT_EQ(qs::ReadCellAt(form(), e, c.row, c.col, &read, read_text), c.content);
    const int status = qs::GetChartCell(form(), e, c.row, c.col, &got, got_text);
    if (c.get_status == -99)
      EXPECT_TRUE(status != qs::kOk && status != qs::kRefused) << status;
    else
      EXPECT_EQ(status, c.get_status);
    if (c.content != qs::CellContent::kCell) {
      EXPECT_EQ(read.Kind, 0xEE);
      EXPECT_STREQ(read_text, "untouched");
      continue;
    }
    EXPECT_EQ(read.Kind, 1);
    EXPECT_EQ(uint16_t{read.Attr[2]}, c.attr2);  // packed: compared as a value
    EXPECT_EQ(read.Mode, 3);
    EXPECT_STREQ(read.Font.FontName, "Mincho");
    EXPECT_EQ(read_text, c.text);
    if (status == qs::kOk) {
      EXPECT_EQ(std::memcmp(&read, &got, sizeof read), 0);
      EXPECT_STREQ(read_text, got_text);
    }
  }
  EXPECT_EQ(qs::ReadCellAt(form(), PageData{qs::kChart, 30}, 1, 1, nullptr, nullptr),
            qs::CellContent::kOutside);
}

}  // namespace
