// Building a chart from its head, rows and columns as one grid seen along two axes, and the
// journal's reader of a grid position.
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
using qs::ChartRec;
using qs::PageData;

// Rows: the head's rows, columns, row height, right and bottom edges; how its edges are taken; what
// the chart keeps (a zero height for a shape that makes no chart) and each column's width.
TEST(ChartFromHeadTest, ShapesEdgesAndSizes) {
  using E = ChartEdges;
  struct Case {
    const char* name;
    uint16_t rows, cols, height;
    int32_t right, bottom;
    E edges;
    int32_t want_right, want_bottom;
    uint16_t want_height, want_width;
  };
  const Case cases[] = {
      {"no rows", 0, 3, 12, 310, 50, E::kAsGiven, 0, 0, 0, 0},
      {"128 columns", 1, 128, 12, 310, 50, E::kFitted, 0, 0, 0, 0},
      {"read: edges, low rows kept", 2, 3, 4, 311, 50, E::kAsGiven, 311, 50, 4, 100},
      {"added: edges fitted, rows raised", 2, 3, 4, 311, 0, E::kFitted, 310, 40, 10, 100},
      {"largest grid", 127, 127, 10, 645, 0, E::kFitted, 645, 1290, 10, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const qs::ChartInfRec head{7, 10, 20, c.right, c.bottom, c.rows, c.cols, c.height, 2, 0, 4};
    const std::unique_ptr<ChartRec> chart = qs::ChartFromHead(head, c.edges);
    ASSERT_EQ(chart != nullptr, c.want_height != 0);
    if (!chart) continue;
    const qs::ChartInfRec& inf = chart->inf;  // packed: its members are compared as values
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
        ASSERT_TRUE(!v || chart->vlines.Get(x, y).color == 4) << x << "," << y;
      }
  }
}

class GridAxisTest : public qs_test::FormTest {
 protected:
  ChartRec& Rec(PageData e) { return *form().PageAt(h.CurPage + 1)->charts.Get(e.no); }

  PageData Add(uint16_t rows, uint16_t cols) {
    const ChartInf inf{0, 0, 0, 10 * cols, 0, rows, cols, 10, 1, 0, 0};
    uint16_t entry = 0;
    EXPECT_EQ(qs::AddChart(form(), &inf, &entry), qs::kOk);
    return PageData::FromValue(entry);
  }

  // The whole of `b` is `a` transposed.
  static void ExpectTransposed(const ChartRec& a, const ChartRec& b) {
    ASSERT_TRUE(a.rows() == b.cols() && a.cols() == b.rows());
    EXPECT_EQ(int64_t(a.inf.bottom) - a.inf.top, int64_t(b.inf.right) - b.inf.left);
    EXPECT_EQ(int64_t(a.inf.right) - a.inf.left, int64_t(b.inf.bottom) - b.inf.top);
    auto same = [](qs::LineRec p, qs::LineRec q) {
      return p.style == q.style && p.param == q.param && p.color == q.color;
    };
    for (int x = 0; x < qs::kChartGrid; ++x) {
      ASSERT_TRUE(a.rhight[x] == b.cwidth[x] && a.rowpos[x] == b.colpos[x] &&
                  a.colpos[x] == b.rowpos[x])
          << x;
      for (int y = 0; y < qs::kChartGrid; ++y)
        ASSERT_TRUE(same(a.hlines.Get(x, y), b.vlines.Get(y, x)) &&
                    same(a.vlines.Get(x, y), b.hlines.Get(y, x)) &&
                    a.cell_text[x][y] == b.cell_text[y][x] &&
                    a.cell_attr[x][y] == b.cell_attr[y][x])
            << x << "," << y;
    }
  }
};

// A row insert or delete on a chart does to it what the column insert or delete at the same place
// does to its transpose, wherever the line lies (first, inner, last, past the end) and whatever
// lines, sizes and cells the chart has.
TEST_F(GridAxisTest, RowsAndColumnsMoveAlike) {
  std::mt19937 rng(16);
  for (int round = 0; round < 60; ++round) {
    const uint16_t rows = uint16_t(1 + rng() % 6), cols = uint16_t(1 + rng() % 6);
    SCOPED_TRACE(testing::Message() << "round " << round << ": " << rows << "x" << cols);
    const PageData pa = Add(rows, cols), pb = Add(cols, rows);
    ChartRec &a = Rec(pa), &b = Rec(pb);
    for (int x = 0; x <= rows; ++x)
      for (int y = 0; y <= cols; ++y) {
        const qs::LineRec h{uint8_t(rng() % 3), uint16_t(rng() % 1000), uint8_t(rng() % 16)};
        const qs::LineRec v{uint8_t(rng() % 3), uint16_t(rng() % 1000), uint8_t(rng() % 16)};
        a.hlines.Set(x, y, h);
        b.vlines.Set(y, x, h);
        a.vlines.Set(x, y, v);
        b.hlines.Set(y, x, v);
        a.cell_text[x][y] = b.cell_text[y][x] = uint16_t(rng() % 3 == 0 ? 0 : 1 + rng() % 500);
      }
    for (int r = 0; r < rows; ++r) a.rhight[r] = b.cwidth[r] = uint16_t(5 + rng() % 40);
    for (int c = 0; c < cols; ++c) a.cwidth[c] = b.rhight[c] = uint16_t(5 + rng() % 40);
    for (ChartRec* chart : {&a, &b}) chart->RecomputeRowPos(), chart->RecomputeColPos();
    for (int step = 0; step < 6; ++step) {
      const int n = a.rows();
      const uint16_t at = uint16_t(rng() % (n + 3));  // 0 and n + 1.. are refused or append
      const uint8_t after = uint8_t(rng() % 2);
      const uint16_t size = uint16_t(5 + rng() % 40);
      SCOPED_TRACE(testing::Message() << "step " << step << " at " << at);
      if (rng() % 2 == 0 || n == 1)
        ASSERT_EQ(qs::InsertChartR(form(), pa, after, at, size),
                  qs::InsertChartC(form(), pb, after, at, size));
      else
        ASSERT_EQ(qs::DeleteChartR(form(), pa, at), qs::DeleteChartC(form(), pb, at));
      ExpectTransposed(a, b);
    }
    ASSERT_EQ(qs::DeletePageData(form(), pa), qs::kOk);
    ASSERT_EQ(qs::DeletePageData(form(), pb), qs::kOk);
  }
}

// The journal's reader and the cell getter read a cell alike; where no cell is kept the reader
// writes nothing (here, to no buffer at all).
TEST_F(GridAxisTest, ReadCellAtReadsACellAsTheGetterDoes) {
  const PageData e = Add(2, 3);
  ChartCell put{}, read{}, got{};
  put.Kind = 1;
  put.Font = qs_test::Font("Mincho");
  put.Attr[2] = 9;
  ASSERT_EQ(qs::PutChartCell(form(), e, 1, 1, &put, "one"), qs::kOk);
  char read_text[256], got_text[256];
  ASSERT_EQ(qs::ReadCellAt(form(), e, 1, 1, &read, read_text), qs::CellContent::kCell);
  ASSERT_EQ(qs::GetChartCell(form(), e, 1, 1, &got, got_text), qs::kOk);
  EXPECT_EQ(std::memcmp(&read, &got, sizeof read), 0);
  EXPECT_STREQ(read_text, "one");
  EXPECT_STREQ(got_text, "one");
  EXPECT_EQ(qs::ReadCellAt(form(), e, 2, 2, nullptr, nullptr), qs::CellContent::kEmpty);
  EXPECT_EQ(qs::ReadCellAt(form(), e, 3, 1, nullptr, nullptr), qs::CellContent::kOutside);
  EXPECT_EQ(qs::ReadCellAt(form(), PageData{qs::kChart, 30}, 1, 1, nullptr, nullptr),
            qs::CellContent::kOutside);
}

}  // namespace
