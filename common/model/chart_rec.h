// A chart (ruled table) as kept on its page: the information block, the HR pair, row heights and
// column widths with their running sums, the two ruled-line tables and the per-position grids of
// cell-attribute and cell-text ids.
#ifndef QSTORE_COMMON_MODEL_CHART_REC_H_
#define QSTORE_COMMON_MODEL_CHART_REC_H_

#include <cstdint>
#include <memory>

#include "common/model/stored_records.h"

namespace qs {

constexpr int kMaxChartRows = 127;
constexpr int kMaxChartCols = 127;
constexpr int kChartGrid = 128;

// 128 x 128 ruled lines kept as 4 x 4 blocks of 32 x 32, a block created when a line in it is first
// written. Reading a line whose block does not exist gives an empty line (style 0).
class LineTable {
 public:
  static constexpr int kBlock = 32;
  static constexpr int kBlocks = kChartGrid / kBlock;

  LineRec Get(int x, int y) const;
  // Throws std::bad_alloc when a block must be created and cannot be.
  void Set(int x, int y, const LineRec& line);
  static bool InRange(int x, int y) { return x >= 0 && y >= 0 && x < kChartGrid && y < kChartGrid; }

 private:
  std::unique_ptr<LineRec[]> blocks_[kBlocks][kBlocks];
};

struct ChartRec {
  ChartInfRec inf{};
  uint16_t hr1 = 0;
  uint16_t hr2 = 0;
  uint16_t rhight[kChartGrid] = {};  // height of row r at r-1
  uint16_t cwidth[kChartGrid] = {};  // width of column c at c-1
  uint16_t rowpos[kChartGrid] = {};  // entry k = sum of heights of rows 1..k+1 (k < rows), 0 beyond
  uint16_t colpos[kChartGrid] = {};
  LineTable vlines;                                 // (row 1..rows, boundary 0..cols)
  LineTable hlines;                                 // (boundary 0..rows, column 1..cols)
  uint16_t cell_attr[kChartGrid][kChartGrid] = {};  // [row][col], 1-based positions
  uint16_t cell_text[kChartGrid][kChartGrid] = {};

  int rows() const { return inf.rows; }
  int cols() const { return inf.cols; }
  bool RowInRange(int r) const { return r >= 1 && r <= inf.rows; }
  bool ColInRange(int c) const { return c >= 1 && c <= inf.cols; }
  // Recomputes the 16-bit running sums (they wrap above 65535).
  void RecomputeRowPos();
  void RecomputeColPos();
  int32_t SumWidths() const;
  int32_t SumHeights() const;
};

}  // namespace qs

#endif  // QSTORE_COMMON_MODEL_CHART_REC_H_
