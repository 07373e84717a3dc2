#include "common/model/chart_ops.h"

#include <algorithm>
#include <memory>

#include "common/model/caller_values.h"
#include "common/status.h"
#include "common/undo/undo_record.h"

namespace qs {

namespace {

constexpr uint16_t kMinRowHight = 10;

// The entry the journal and the layout hooks see: only the number of the caller's entry counts.
PageData ChartEntry(PageData chart) {
  return PageData{kChart, chart.no};
}

// Creates every line block that positions x0..x1 (first index) by y0..y1 (second index) lie in,
// leaving the lines as they are. Done before a grid change moves lines, so that running out of
// memory leaves the chart as it was rather than half moved.
void ReserveLines(LineTable& table, int x0, int x1, int y0, int y1) {
  constexpr int kBlock = LineTable::kBlock;
  x0 = std::max(x0, 0);
  y0 = std::max(y0, 0);
  x1 = std::min(x1, kChartGrid - 1);
  y1 = std::min(y1, kChartGrid - 1);
  for (int bx = x0 / kBlock; bx <= x1 / kBlock && x0 <= x1; ++bx)
    for (int by = y0 / kBlock; by <= y1 / kBlock && y0 <= y1; ++by)
      table.Set(bx * kBlock, by * kBlock, table.Get(bx * kBlock, by * kBlock));
}

void ReserveGridLines(ChartRec& chart, int rows_to, int cols_to) {
  ReserveLines(chart.vlines, 0, rows_to, 0, cols_to);
  ReserveLines(chart.hlines, 0, rows_to, 0, cols_to);
}

void ReleaseCell(Page& page, ChartRec& chart, int r, int c) {
  uint16_t& attr = chart.cell_attr[r][c];
  uint16_t& text = chart.cell_text[r][c];
  if (attr != 0) page.cell_attrs.Free(&attr);
  if (text != 0) page.strings.Free(&text);
  attr = text = 0;
}

void CopyCell(ChartRec& chart, int from_r, int from_c, int to_r, int to_c) {
  chart.cell_attr[to_r][to_c] = chart.cell_attr[from_r][from_c];
  chart.cell_text[to_r][to_c] = chart.cell_text[from_r][from_c];
}

void ClearCell(ChartRec& chart, int r, int c) {
  chart.cell_attr[r][c] = 0;
  chart.cell_text[r][c] = 0;
}

// A grid change moves an HR row number along with its row. 0 means "no row" and never moves.
void FollowInsertedRow(uint16_t* hr, int r) {
  if (*hr != 0 && r <= *hr) ++*hr;
}
void FollowDeletedRow(uint16_t* hr, int r) {
  if (*hr != 0 && r <= *hr) --*hr;
}

ChartInf ToInterface(const Header& h, const ChartInfRec& rec) {
  ChartInf out{};
  out.Flag = rec.flag;
  out.Left = rec.left;
  out.Top = rec.top;
  out.Right = rec.right;
  out.Bottom = rec.bottom;
  out.Rows = rec.rows;
  out.Cols = rec.cols;
  out.RowHight = rec.row_hight;
  out.LineStyle = rec.line_style;
  out.LineParam = rec.line_param;
  out.LineColor = ColorOfIndex(h, rec.line_color);
  return out;
}

}  // namespace

ChartRec* FindChart(Binder& b, PageData chart) {
  Page* page = b.CurrentPage();
  return page ? page->charts.Get(chart.no) : nullptr;
}

int AddChart(Binder& b, const ChartInf* inf, uint16_t* out_entry) {
  Page* page = b.CurrentPage();
  if (page == nullptr) return kRefused;
  const ChartInf in = *inf;
  // The grid holds 127 rows and columns plus their outer edges.
  if (in.Rows < 1 || in.Rows > kMaxChartRows || in.Cols < 1 || in.Cols > kMaxChartCols)
    return kRefused;
  const int no = page->charts.LowestFree();
  if (no < 0) return kRefused;
  const PageData entry{kChart, uint8_t(no)};
  *out_entry = entry.value();
  if (page->data_count >= Page::kMaxData) return kRefused;

  // Every column gets the same whole width; the chart's right edge is pulled in to match.
  const int64_t width = (int64_t(in.Right) - in.Left) / in.Cols;
  const uint16_t asked_hight = in.RowHight;
  const uint16_t row_hight = std::max(asked_hight, kMinRowHight);

  auto chart = std::make_unique<ChartRec>();
  ChartInfRec& rec = chart->inf;
  rec.flag = 0;
  rec.left = in.Left;
  rec.top = in.Top;
  rec.right = WrapAdd(in.Left, width * in.Cols);
  rec.bottom = WrapAdd(in.Top, int64_t(row_hight) * in.Rows);
  rec.rows = in.Rows;
  rec.cols = in.Cols;
  rec.row_hight = row_hight;
  rec.line_style = in.LineStyle;
  rec.line_param = in.LineParam;
  rec.line_color = IndexOfColor(b.header(), in.LineColor);
  for (int k = 0; k < kChartGrid; ++k) {
    chart->rhight[k] = row_hight;
    chart->cwidth[k] = uint16_t(width);
  }
  chart->RecomputeRowPos();
  chart->RecomputeColPos();

  const LineRec line{rec.line_style, rec.line_param, rec.line_color};
  for (int r = 1; r <= in.Rows; ++r)
    for (int c = 0; c <= in.Cols; ++c) chart->vlines.Set(r, c, line);
  for (int r = 0; r <= in.Rows; ++r)
    for (int c = 1; c <= in.Cols; ++c) chart->hlines.Set(r, c, line);

  page->charts.Store(no, std::move(chart));
  page->AppendEntry(entry);  // room was checked above
  b.CurrentPageChanged();
  RecordPageData(b, entry, kAdded);
  return kOk;
}

int GetChartInf(Binder& b, PageData chart, ChartInf* out) {
  ChartRec* rec = FindChart(b, chart);
  if (rec == nullptr) return kRefused;
  rec->inf.right = WrapAdd(rec->inf.left, rec->SumWidths());
  rec->inf.bottom = WrapAdd(rec->inf.top, rec->SumHeights());
  *out = ToInterface(b.header(), rec->inf);
  return kOk;
}

int PutChartInf(Binder& b, PageData chart, const ChartInf* in) {
  ChartRec* rec = FindChart(b, chart);
  if (rec == nullptr) return kRefused;
  const ChartInf next = *in;
  // The shape changes only through row and column inserts and deletes, which move cells and lines
  // with it; counts that disagree with the grid would expose or orphan cells.
  if (next.Rows != rec->inf.rows || next.Cols != rec->inf.cols) return kRefused;
  RecordPageData(b, ChartEntry(chart), kChanged);
  ChartInfRec& inf = rec->inf;
  inf.flag = next.Flag;
  inf.left = next.Left;
  inf.top = next.Top;
  inf.right = next.Right;
  inf.bottom = next.Bottom;
  inf.row_hight = next.RowHight;
  inf.line_style = next.LineStyle;
  inf.line_param = next.LineParam;
  inf.line_color = IndexOfColor(b.header(), next.LineColor);
  b.CurrentPageChanged();
  return kOk;
}

int GetChartHR(Binder& b, PageData chart, uint16_t* hr1, uint16_t* hr2) {
  const ChartRec* rec = FindChart(b, chart);
  if (rec == nullptr) return kRefused;
  *hr1 = rec->hr1;
  *hr2 = rec->hr2;
  return kOk;
}

int PutChartHR(Binder& b, PageData chart, uint16_t hr1, uint16_t hr2) {
  ChartRec* rec = FindChart(b, chart);
  if (rec == nullptr) return kRefused;
  rec->hr1 = hr1;
  rec->hr2 = hr2;
  b.CurrentPageChanged();
  return kOk;
}

int GetChartRHight(Binder& b, PageData chart, uint16_t row, uint16_t* height) {
  const ChartRec* rec = FindChart(b, chart);
  *height = 0;
  if (rec == nullptr || !rec->RowInRange(row)) return kRefused;
  *height = rec->rhight[row - 1];
  return kOk;
}

int PutChartRHight(Binder& b, PageData chart, uint16_t row, uint16_t height) {
  ChartRec* rec = FindChart(b, chart);
  if (rec == nullptr || !rec->RowInRange(row)) return kRefused;
  RecordRow(b, ChartEntry(chart), kSizeChanged, row);
  rec->inf.bottom = WrapAdd(rec->inf.bottom, int64_t(height) - rec->rhight[row - 1]);
  rec->rhight[row - 1] = height;
  rec->RecomputeRowPos();
  b.CurrentPageChanged();
  return kOk;
}

int GetChartCWidth(Binder& b, PageData chart, uint16_t col, uint16_t* width) {
  const ChartRec* rec = FindChart(b, chart);
  *width = 0;
  if (rec == nullptr || !rec->ColInRange(col)) return kRefused;
  *width = rec->cwidth[col - 1];
  return kOk;
}

int PutChartCWidth(Binder& b, PageData chart, uint16_t col, uint16_t width) {
  ChartRec* rec = FindChart(b, chart);
  if (rec == nullptr || !rec->ColInRange(col)) return kRefused;
  RecordColumn(b, ChartEntry(chart), kSizeChanged, col);
  rec->inf.right = WrapAdd(rec->inf.right, int64_t(width) - rec->cwidth[col - 1]);
  rec->cwidth[col - 1] = width;
  rec->RecomputeColPos();
  b.CurrentPageChanged();
  return kOk;
}

int InsertChartR(Binder& b, PageData chart, uint8_t after, uint16_t row, uint16_t height) {
  ChartRec* rec = FindChart(b, chart);
  if (rec == nullptr) return kRefused;
  const int r = after == 1 ? row + 1 : row;
  const int rows = rec->rows();
  const int cols = std::min(rec->cols(), kMaxChartCols);
  if (rows >= kMaxChartRows || r < 1 || r > rows + 1) return kRefused;
  ReserveGridLines(*rec, rows + 1, cols + 1);
  if (FieldLayoutHooks* hooks = b.layout_hooks())
    hooks->ChartRowInserting(b.current_page(), chart.no, r);

  FollowInsertedRow(&rec->hr1, r);
  FollowInsertedRow(&rec->hr2, r);
  if (r == rows + 1) {
    // A new last row: the new bottom edge takes the old bottom edge, and the old bottom edge takes
    // the line that lay above the old last row.
    for (int bnd = rows; bnd >= rows - 1 && bnd >= 0; --bnd)
      for (int c = 1; c <= cols; ++c) rec->hlines.Set(bnd + 1, c, rec->hlines.Get(bnd, c));
    for (int c = 0; c <= cols; ++c) rec->vlines.Set(rows + 1, c, rec->vlines.Get(rows, c));
  } else {
    for (int i = rows; i >= r; --i) {
      rec->rhight[i] = rec->rhight[i - 1];
      for (int c = 1; c <= cols; ++c) CopyCell(*rec, i, c, i + 1, c);
      for (int c = 0; c <= cols; ++c) rec->vlines.Set(i + 1, c, rec->vlines.Get(i, c));
    }
    // Both edges of the new row carry the line that was the top edge of the row it displaced.
    for (int j = rows; j >= r - 1; --j)
      for (int c = 1; c <= cols; ++c) rec->hlines.Set(j + 1, c, rec->hlines.Get(j, c));
  }
  rec->inf.bottom = WrapAdd(rec->inf.bottom, height);
  rec->rhight[r - 1] = height;
  for (int c = 1; c <= cols; ++c) ClearCell(*rec, r, c);
  rec->inf.rows = uint16_t(rows + 1);
  rec->RecomputeRowPos();
  b.CurrentPageChanged();
  RecordRow(b, ChartEntry(chart), kInserted, uint16_t(r));
  return kOk;
}

int DeleteChartR(Binder& b, PageData chart, uint16_t row) {
  Page* page = b.CurrentPage();
  ChartRec* rec = page ? page->charts.Get(chart.no) : nullptr;
  if (rec == nullptr) return kRefused;
  const int r = row;
  const int rows = std::min(rec->rows(), kMaxChartRows);
  const int cols = std::min(rec->cols(), kMaxChartCols);
  if (r < 1 || r > rows) return kRefused;
  ReserveGridLines(*rec, rows, cols);
  RecordRow(b, ChartEntry(chart), kRemoved, row);
  if (FieldLayoutHooks* hooks = b.layout_hooks())
    hooks->ChartRowDeleting(b.current_page(), chart.no, r);

  FollowDeletedRow(&rec->hr1, r);
  FollowDeletedRow(&rec->hr2, r);
  rec->inf.bottom = WrapAdd(rec->inf.bottom, -int64_t(rec->rhight[r - 1]));
  for (int c = 1; c <= cols; ++c) ReleaseCell(*page, *rec, r, c);
  for (int j = r + 1; j <= rows; ++j) {
    rec->rhight[j - 2] = rec->rhight[j - 1];
    for (int c = 1; c <= cols; ++c) CopyCell(*rec, j, c, j - 1, c);
  }
  // The vacated last row must not keep ids that now belong to the row above it.
  for (int c = 1; c <= cols; ++c) ClearCell(*rec, rows, c);

  // When the last row goes and the chart has no bottom line, the edge above it simply becomes the
  // bottom edge; otherwise the lines move up and the deleted row's top edge takes its bottom edge.
  bool bare_bottom = r == rows;
  for (int c = 1; c <= cols && bare_bottom; ++c) bare_bottom = rec->hlines.Get(rows, c).style == 0;
  if (!bare_bottom) {
    for (int j = r + 1; j <= rows; ++j)
      for (int c = 0; c <= cols; ++c) rec->vlines.Set(j - 1, c, rec->vlines.Get(j, c));
    for (int i = r; i <= rows; ++i)
      for (int c = 1; c <= cols; ++c) rec->hlines.Set(i - 1, c, rec->hlines.Get(i, c));
  }
  rec->inf.rows = uint16_t(rows - 1);
  rec->RecomputeRowPos();
  b.CurrentPageChanged();
  return kOk;
}

int InsertChartC(Binder& b, PageData chart, uint8_t after, uint16_t col, uint16_t width) {
  ChartRec* rec = FindChart(b, chart);
  if (rec == nullptr) return kRefused;
  const int c = after == 1 ? col + 1 : col;
  const int rows = std::min(rec->rows(), kMaxChartRows);
  const int cols = rec->cols();
  if (cols >= kMaxChartCols || c < 1 || c > cols + 1) return kRefused;
  ReserveGridLines(*rec, rows + 1, cols + 1);
  if (FieldLayoutHooks* hooks = b.layout_hooks())
    hooks->ChartColInserting(b.current_page(), chart.no, c);

  if (c == cols + 1) {
    // A new last column: the new right edge takes the old right edge, and the old right edge takes
    // the line left of the old last column.
    for (int bnd = cols; bnd >= cols - 1 && bnd >= 0; --bnd)
      for (int r = 1; r <= rows; ++r) rec->vlines.Set(r, bnd + 1, rec->vlines.Get(r, bnd));
    for (int r = 0; r <= rows; ++r) rec->hlines.Set(r, cols + 1, rec->hlines.Get(r, cols));
  } else {
    for (int i = cols; i >= c; --i) {
      rec->cwidth[i] = rec->cwidth[i - 1];
      for (int r = 1; r <= rows; ++r) CopyCell(*rec, r, i, r, i + 1);
      for (int r = 0; r <= rows; ++r) rec->hlines.Set(r, i + 1, rec->hlines.Get(r, i));
    }
    for (int j = cols; j >= c - 1; --j)
      for (int r = 1; r <= rows; ++r) rec->vlines.Set(r, j + 1, rec->vlines.Get(r, j));
  }
  rec->inf.right = WrapAdd(rec->inf.right, width);
  rec->cwidth[c - 1] = width;
  for (int r = 1; r <= rows; ++r) ClearCell(*rec, r, c);
  rec->inf.cols = uint16_t(cols + 1);
  rec->RecomputeColPos();
  b.CurrentPageChanged();
  RecordColumn(b, ChartEntry(chart), kInserted, uint16_t(c));
  return kOk;
}

int DeleteChartC(Binder& b, PageData chart, uint16_t col) {
  Page* page = b.CurrentPage();
  ChartRec* rec = page ? page->charts.Get(chart.no) : nullptr;
  if (rec == nullptr) return kRefused;
  const int c = col;
  const int rows = std::min(rec->rows(), kMaxChartRows);
  const int cols = std::min(rec->cols(), kMaxChartCols);
  if (c < 1 || c > cols) return kRefused;
  ReserveGridLines(*rec, rows, cols);
  RecordColumn(b, ChartEntry(chart), kRemoved, col);
  if (FieldLayoutHooks* hooks = b.layout_hooks())
    hooks->ChartColDeleting(b.current_page(), chart.no, c);

  rec->inf.right = WrapAdd(rec->inf.right, -int64_t(rec->cwidth[c - 1]));
  for (int r = 1; r <= rows; ++r) ReleaseCell(*page, *rec, r, c);
  for (int j = c + 1; j <= cols; ++j) {
    rec->cwidth[j - 2] = rec->cwidth[j - 1];
    for (int r = 1; r <= rows; ++r) CopyCell(*rec, r, j, r, j - 1);
  }
  for (int r = 1; r <= rows; ++r) ClearCell(*rec, r, cols);

  bool bare_right = c == cols;
  for (int r = 1; r <= rows && bare_right; ++r) bare_right = rec->vlines.Get(r, cols).style == 0;
  if (!bare_right) {
    for (int j = c + 1; j <= cols; ++j)
      for (int r = 0; r <= rows; ++r) rec->hlines.Set(r, j - 1, rec->hlines.Get(r, j));
    for (int i = c; i <= cols; ++i)
      for (int r = 1; r <= rows; ++r) rec->vlines.Set(r, i - 1, rec->vlines.Get(r, i));
  }
  rec->inf.cols = uint16_t(cols - 1);
  rec->RecomputeColPos();
  b.CurrentPageChanged();
  return kOk;
}

void ReleaseChartCells(Page& page, ChartRec& chart) {
  const int rows = std::min(chart.rows(), kMaxChartRows);
  const int cols = std::min(chart.cols(), kMaxChartCols);
  for (int r = 1; r <= rows; ++r)
    for (int c = 1; c <= cols; ++c) ReleaseCell(page, chart, r, c);
}

}  // namespace qs
