#include "common/model/cell_ops.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "common/model/attributes.h"
#include "common/model/caller_values.h"
#include "common/model/chart_ops.h"
#include "common/status.h"
#include "common/undo/undo_record.h"

namespace qs {

namespace {

enum Direction : uint8_t { kUp = 1, kDown = 2, kLeft = 3, kRight = 4 };

struct Pos {
  uint16_t row;
  uint16_t col;
};

bool VlineInGrid(const ChartRec& chart, int row, int boundary) {
  return chart.RowInRange(row) && boundary >= 0 && boundary <= chart.cols();
}

bool HlineInGrid(const ChartRec& chart, int boundary, int col) {
  return boundary >= 0 && boundary <= chart.rows() && chart.ColInRange(col);
}

// A line outside the grid is never present: the traversals probe row 0 and column 0 when they
// start from there, and the line tables may still hold lines of rows or columns deleted since.
bool VlinePresent(const ChartRec& chart, int row, int boundary) {
  return VlineInGrid(chart, row, boundary) && chart.vlines.Get(row, boundary).style != 0;
}

bool HlinePresent(const ChartRec& chart, int boundary, int col) {
  return HlineInGrid(chart, boundary, col) && chart.hlines.Get(boundary, col).style != 0;
}

bool InGrid(const ChartRec& chart, int row, int col) {
  return chart.RowInRange(row) && chart.ColInRange(col);
}

// A position is a cell's origin when lines close it on the left and on the top and some line
// closes it further right and further down.
bool IsOrigin(const ChartRec& chart, int r, int c) {
  if (!InGrid(chart, r, c)) return false;
  if (!VlinePresent(chart, r, c - 1) || !HlinePresent(chart, r - 1, c)) return false;
  bool closed_right = false;
  for (int b = c; b <= chart.cols() && !closed_right; ++b) closed_right = VlinePresent(chart, r, b);
  if (!closed_right) return false;
  for (int b = r; b <= chart.rows(); ++b)
    if (HlinePresent(chart, b, c)) return true;
  return false;
}

// Walks left along the row and up along the column until a line stops each walk. The two walks
// start from the position given, not from each other's result.
Pos CoveringOrigin(const ChartRec& chart, Pos p) {
  int a = p.col;
  while (a >= 2 && !VlinePresent(chart, p.row, a - 1)) --a;
  int b = p.row;
  while (b > 1 && !HlinePresent(chart, b - 1, p.col)) --b;
  return Pos{uint16_t(b), uint16_t(a)};
}

// The first column from `col` on, below the last one, closed on the right in `row`; else the last.
int LastColumnFrom(const ChartRec& chart, int row, int col) {
  for (int i = col; i < chart.cols(); ++i)
    if (VlinePresent(chart, row, i)) return i;
  return chart.cols();
}

int LastRowFrom(const ChartRec& chart, int row, int col) {
  for (int j = row; j < chart.rows(); ++j)
    if (HlinePresent(chart, j, col)) return j;
  return chart.rows();
}

// The far corner of the cell covering a position.
Pos CellArea(const ChartRec& chart, Pos p) {
  const Pos o = CoveringOrigin(chart, p);
  return Pos{uint16_t(LastRowFrom(chart, o.row, o.col)),
             uint16_t(LastColumnFrom(chart, o.row, o.col))};
}

// The first k from `begin` towards `end` (inclusive, either way) for which (row_of(k), col_of(k))
// is an origin; 0 when there is none.
template <typename RowOf, typename ColOf>
int FirstOrigin(const ChartRec& chart, int begin, int end, RowOf row_of, ColOf col_of) {
  const int delta = begin <= end ? 1 : -1;
  for (int k = begin; delta > 0 ? k <= end : k >= end; k += delta)
    if (IsOrigin(chart, row_of(k), col_of(k))) return k;
  return 0;
}

// One step from `from` in a direction: kOk with *to the origin of the cell found, kEdge when
// `from` already lies at the chart's edge that way, kNoCell when no origin lies that way. Down and
// right start behind the far edge of the cell covering `from`.
int Step(const ChartRec& chart, Pos from, uint8_t dir, Pos* to) {
  const int r = from.row;
  const int c = from.col;
  auto same_row = [r](int) { return r; };
  auto same_col = [c](int) { return c; };
  auto k_itself = [](int k) { return k; };
  Pos found = from;
  int k = 0;
  switch (dir) {
    case kUp:
      if (r <= 1) return kEdge;
      k = found.row = uint16_t(FirstOrigin(chart, r - 1, 1, k_itself, same_col));
      break;
    case kDown:
      if (r >= chart.rows()) return kEdge;
      if (const int e = CellArea(chart, from).row; e < chart.rows())
        k = found.row = uint16_t(FirstOrigin(chart, e + 1, chart.rows(), k_itself, same_col));
      break;
    case kLeft:
      if (c < 2) return kEdge;
      k = found.col = uint16_t(FirstOrigin(chart, c - 1, 1, same_row, k_itself));
      break;
    case kRight:
      if (c >= chart.cols()) return kEdge;
      if (const int e = CellArea(chart, from).col; e < chart.cols())
        k = found.col = uint16_t(FirstOrigin(chart, e + 1, chart.cols(), same_row, k_itself));
      break;
    default:
      return kNoCell;
  }
  if (k == 0) return kNoCell;
  *to = CoveringOrigin(chart, found);
  return kOk;
}

// The next cell in reading order: a first step and, when it fails, a second one from the start of
// the next column or row.
struct ReadingRule {
  uint8_t first;
  uint8_t second;
  bool restart_row;  // the second step starts in row 1; otherwise in the column below
};

int ReadingStep(const ChartRec& chart, uint8_t read_order, Pos from, Pos* to) {
  static constexpr ReadingRule kRules[] = {
      {kDown, kRight, true},   // 0: columns top to bottom, moving right
      {kRight, kDown, false},  // 1: rows left to right, moving down
      {kDown, kLeft, true},    // 2: columns top to bottom, moving left
      {kLeft, kDown, false},   // 3: rows right to left, moving down
  };
  if (read_order >= sizeof kRules / sizeof kRules[0]) return kRefused;
  const ReadingRule& rule = kRules[read_order];
  if (Step(chart, from, rule.first, to) == kOk) return kOk;
  Pos restart = from;
  if (rule.restart_row)
    restart.row = 1;
  else
    restart.col = rule.first == kRight ? 1 : uint16_t(chart.cols());
  return Step(chart, restart, rule.second, to) == kOk ? kOk : kRefused;
}

// What a non-zero filter accepts: an origin without attributes, or one whose Kind is 1.
bool FilterAccepts(const Page& page, const ChartRec& chart, Pos p) {
  if (!IsOrigin(chart, p.row, p.col)) return false;
  const uint16_t id = chart.cell_attr[p.row][p.col];
  if (id == 0) return true;
  CellAttr rec;
  if (page.cell_attrs.Get(id, &rec) != kOk) return true;
  return rec.kind == 1;
}

// Repeats `step` from each cell found until the filter accepts one or a step fails. Every step
// after the first moves strictly on through the grid; the bound only guards against a line pattern
// that would not.
template <typename StepFn>
int Traverse(const Page& page, const ChartRec& chart, uint8_t filter, Pos from, StepFn step,
             int none, Pos* out) {
  constexpr int kMaxSteps = 2 * kChartGrid * kChartGrid;
  Pos at = from;
  for (int i = 0; i < kMaxSteps; ++i) {
    Pos next = at;
    const int status = step(at, &next);
    if (status != kOk) return status;
    if (filter == 0 || FilterAccepts(page, chart, next)) {
      *out = next;
      return kOk;
    }
    at = next;
  }
  return none;
}

void ToCellAttr(Binder& b, const ChartCell& in, const PackedFont& font, CellAttr* out) {
  out->kind = in.Kind;
  StoreLook(b.header(), in, font, out);
}

void ToChartCell(Binder& b, const CellAttr& in, ChartCell* out) {
  ChartCell cell{};
  cell.Kind = in.kind;
  GiveLook(b.header(), in, &cell);
  *out = cell;
}

LineRec ToLineRec(Binder& b, const ChartLine& in) {
  LineRec rec{};
  rec.style = in.Style;
  rec.param = in.Param;
  rec.color = IndexOfColor(b.header(), in.Color);
  return rec;
}

void ToChartLine(Binder& b, const LineRec& in, ChartLine* out) {
  ChartLine line{};
  line.Style = in.style;
  line.Param = in.param;
  line.Color = ColorOfIndex(b.header(), in.color);
  *out = line;
}

// The table that holds a vertical line (row, boundary) or a horizontal one (boundary, column) of a
// chart the entry names; null when there is no such chart or the line lies outside its grid.
LineTable* LinesAt(Binder& b, PageData entry, LineDirection direction, int first, int second) {
  ChartRec* chart = FindChart(b, entry);
  if (chart == nullptr) return nullptr;
  if (direction == kVertical) return VlineInGrid(*chart, first, second) ? &chart->vlines : nullptr;
  return HlineInGrid(*chart, first, second) ? &chart->hlines : nullptr;
}

int GetLine(Binder& b, PageData entry, LineDirection direction, uint16_t first, uint16_t second,
            ChartLine* line) {
  const LineTable* lines = LinesAt(b, entry, direction, first, second);
  if (lines == nullptr) return kRefused;
  ToChartLine(b, lines->Get(first, second), line);
  return kOk;
}

int PutLine(Binder& b, PageData entry, LineDirection direction, uint16_t first, uint16_t second,
            const ChartLine* line) {
  LineTable* lines = LinesAt(b, entry, direction, first, second);
  if (lines == nullptr) return kRefused;
  RecordLine(b, entry, direction, first, second);
  lines->Set(first, second, ToLineRec(b, *line));
  b.CurrentPageChanged();
  return kOk;
}

}  // namespace

CellContent ReadCellAt(Binder& b, PageData entry, uint16_t row, uint16_t col, ChartCell* cell,
                       char* text256) {
  const Page* page = b.CurrentPage();
  const ChartRec* chart = FindChart(b, entry);
  if (chart == nullptr || !InGrid(*chart, row, col)) return CellContent::kOutside;
  const uint16_t attr_id = chart->cell_attr[row][col];
  CellAttr rec;
  if (attr_id == 0 || page->cell_attrs.Get(attr_id, &rec) != kOk) return CellContent::kEmpty;
  ToChartCell(b, rec, cell);
  const std::string_view text = page->strings.View(chart->cell_text[row][col]);
  const size_t n = std::min(text.size(), StringPool::kMaxLength);
  if (n != 0) std::memcpy(text256, text.data(), n);
  text256[n] = '\0';
  return CellContent::kCell;
}

int GetChartCell(Binder& b, PageData entry, uint16_t row, uint16_t col, ChartCell* cell,
                 char* text256) {
  const ChartRec* chart = FindChart(b, entry);
  if (chart == nullptr || !InGrid(*chart, row, col) || chart->cell_attr[row][col] == 0)
    return kRefused;
  if (!IsOrigin(*chart, row, col)) return kNotAnOrigin;
  return ReadCellAt(b, entry, row, col, cell, text256) == CellContent::kCell ? kOk : kRefused;
}

int PutChartCell(Binder& b, PageData entry, uint16_t row, uint16_t col, const ChartCell* cell,
                 const char* text) {
  Page* page = b.CurrentPage();
  ChartRec* chart = FindChart(b, entry);
  // A position outside the grid has no place for its ids; storing records there would leave them
  // unreachable in the pools.
  if (chart == nullptr || !InGrid(*chart, row, col)) return kRefused;

  // The font is packed before anything changes, so a refused slot leaves the cell as it was.
  PackedFont font;
  if (PackFont(b, cell->Font, &font) != kOk) return kNoFontSlot;
  CellAttr rec;
  ToCellAttr(b, *cell, font, &rec);

  RecordCell(b, entry, row, col);

  uint16_t attr_id = chart->cell_attr[row][col];
  uint16_t text_id = chart->cell_text[row][col];
  const uint16_t old_attr_id = attr_id;
  CellAttr old_rec{};
  if (old_attr_id != 0 && page->cell_attrs.Get(old_attr_id, &old_rec) != kOk) attr_id = 0;
  if (page->cell_attrs.Put(&attr_id, rec) != kOk) return kRefused;

  // Puts the attributes back as they were when the text cannot be stored.
  auto restore_attr = [&] {
    if (attr_id != old_attr_id)
      page->cell_attrs.Free(&attr_id);
    else
      page->cell_attrs.Put(&attr_id, old_rec);
  };
  const std::string_view s = CallerText(text);
  if (s.empty()) {
    if (text_id != 0) page->strings.Free(&text_id);
  } else {
    int status;
    try {
      status = page->strings.Put(&text_id, s);
    } catch (...) {
      restore_attr();
      throw;
    }
    if (status != kOk) {
      restore_attr();
      return kRefused;
    }
  }
  chart->cell_attr[row][col] = attr_id;
  chart->cell_text[row][col] = text_id;
  b.CurrentPageChanged();
  return kOk;
}

int GetChartVline(Binder& b, PageData entry, uint16_t row, uint16_t boundary, ChartLine* line) {
  return GetLine(b, entry, kVertical, row, boundary, line);
}

int PutChartVline(Binder& b, PageData entry, uint16_t row, uint16_t boundary,
                  const ChartLine* line) {
  return PutLine(b, entry, kVertical, row, boundary, line);
}

int GetChartHline(Binder& b, PageData entry, uint16_t boundary, uint16_t col, ChartLine* line) {
  return GetLine(b, entry, kHorizontal, boundary, col, line);
}

int PutChartHline(Binder& b, PageData entry, uint16_t boundary, uint16_t col,
                  const ChartLine* line) {
  return PutLine(b, entry, kHorizontal, boundary, col, line);
}

int ChartGetExistCell(Binder& b, PageData entry, uint16_t* row, uint16_t* col) {
  const ChartRec* chart = FindChart(b, entry);
  // No cell covers a position outside the grid.
  if (chart == nullptr || !InGrid(*chart, *row, *col)) return kRefused;
  const Pos o = CoveringOrigin(*chart, Pos{*row, *col});
  *row = o.row;
  *col = o.col;
  return IsOrigin(*chart, o.row, o.col) ? kOk : kRefused;
}

int ChartCellArea(Binder& b, PageData entry, uint16_t row, uint16_t col, uint16_t* last_row,
                  uint16_t* last_col) {
  const ChartRec* chart = FindChart(b, entry);
  if (chart == nullptr || !InGrid(*chart, row, col)) return kRefused;
  const Pos far = CellArea(*chart, Pos{row, col});
  *last_row = far.row;
  *last_col = far.col;
  return kOk;
}

int ChartCellRect(Binder& b, PageData entry, uint16_t row, uint16_t col, int32_t* left,
                  int32_t* top, int32_t* right, int32_t* bottom) {
  const ChartRec* chart = FindChart(b, entry);
  // Outside the grid there are no widths or heights to sum.
  if (chart == nullptr || !InGrid(*chart, row, col)) return kRefused;
  // colpos[k] / rowpos[k] hold the 16-bit sum over columns / rows 1..k+1.
  *left = col < 2 ? 0 : chart->colpos[col - 2];
  *top = row < 2 ? 0 : chart->rowpos[row - 2];
  *right = chart->colpos[LastColumnFrom(*chart, row, col) - 1];
  *bottom = chart->rowpos[LastRowFrom(*chart, row, col) - 1];
  return kOk;
}

int ChartNextCell(Binder& b, uint8_t filter, PageData entry, uint16_t row, uint16_t col,
                  uint16_t* next_row, uint16_t* next_col) {
  const Page* page = b.CurrentPage();
  const ChartRec* chart = FindChart(b, entry);
  if (chart == nullptr) return kRefused;
  const uint8_t order = b.header().rec.inf.ReadOrder;
  Pos out{row, col};
  const int status = Traverse(
      *page, *chart, filter, Pos{row, col},
      [&](Pos from, Pos* to) { return ReadingStep(*chart, order, from, to); }, kRefused, &out);
  *next_row = out.row;
  *next_col = out.col;
  return status;
}

int ChartNextCellEx(Binder& b, uint8_t filter, PageData entry, uint16_t row, uint16_t col,
                    uint8_t dir, uint16_t* next_row, uint16_t* next_col) {
  const Page* page = b.CurrentPage();
  const ChartRec* chart = FindChart(b, entry);
  if (chart == nullptr) return kRefused;
  Pos out{row, col};
  const int status = Traverse(
      *page, *chart, filter, Pos{row, col},
      [&](Pos from, Pos* to) { return Step(*chart, from, dir, to); }, kNoCell, &out);
  *next_row = out.row;
  *next_col = out.col;
  return status;
}

}  // namespace qs
