#include "common/model/chart_rec.h"

namespace qs {

LineRec LineTable::Get(int x, int y) const {
  if (!InRange(x, y)) return LineRec{};
  const auto& block = blocks_[x / kBlock][y / kBlock];
  if (!block) return LineRec{};
  return block[(x % kBlock) * kBlock + (y % kBlock)];
}

void LineTable::Set(int x, int y, const LineRec& line) {
  if (!InRange(x, y)) return;
  auto& block = blocks_[x / kBlock][y / kBlock];
  if (!block) block.reset(new LineRec[kBlock * kBlock]());
  block[(x % kBlock) * kBlock + (y % kBlock)] = line;
}

void ChartRec::RecomputeRowPos() {
  uint16_t sum = 0;
  for (int k = 0; k < kChartGrid; ++k) {
    if (k < inf.rows) {
      sum = uint16_t(sum + rhight[k]);
      rowpos[k] = sum;
    } else {
      rowpos[k] = 0;
    }
  }
}

void ChartRec::RecomputeColPos() {
  uint16_t sum = 0;
  for (int k = 0; k < kChartGrid; ++k) {
    if (k < inf.cols) {
      sum = uint16_t(sum + cwidth[k]);
      colpos[k] = sum;
    } else {
      colpos[k] = 0;
    }
  }
}

int32_t ChartRec::SumWidths() const {
  int32_t sum = 0;
  for (int c = 0; c < inf.cols && c < kChartGrid; ++c) sum += cwidth[c];
  return sum;
}

int32_t ChartRec::SumHeights() const {
  int32_t sum = 0;
  for (int r = 0; r < inf.rows && r < kChartGrid; ++r) sum += rhight[r];
  return sum;
}

}  // namespace qs
