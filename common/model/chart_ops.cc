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

// One axis of a chart's grid: its rows, each running across the columns, or its columns, each
// running across the rows. Inserting and deleting is written once, for a line of the axis (a row
// or a column) at position i; k counts positions across it. A column view swaps the coordinates.
class GridAxis {
 public:
  GridAxis(ChartRec& chart, bool rows) : chart_(chart), rows_(rows) {}

  int count() const { return rows_ ? chart_.rows() : chart_.cols(); }
  bool InRange(int i) const { return i >= 1 && i <= count(); }
  int across() const { return rows_ ? chart_.cols() : chart_.rows(); }
  void set_count(int n) {
    if (rows_)
      chart_.inf.rows = uint16_t(n);
    else
      chart_.inf.cols = uint16_t(n);
  }
  // Height of row i or width of column i.
  uint16_t& size(int i) { return rows_ ? chart_.rhight[i - 1] : chart_.cwidth[i - 1]; }
  // Moves the bottom or the right edge of the chart.
  void MoveFarEdge(int64_t d) {
    if (rows_)
      chart_.inf.bottom = WrapAdd(chart_.inf.bottom, d);
    else
      chart_.inf.right = WrapAdd(chart_.inf.right, d);
  }
  void RecomputePos() {
    if (rows_)
      chart_.RecomputeRowPos();
    else
      chart_.RecomputeColPos();
  }

  uint16_t& attr(int i, int k) { return rows_ ? chart_.cell_attr[i][k] : chart_.cell_attr[k][i]; }
  uint16_t& text(int i, int k) { return rows_ ? chart_.cell_text[i][k] : chart_.cell_text[k][i]; }
  // The ruled line at boundary b (0..count) between two lines of the axis, at position k across.
  LineRec Edge(int b, int k) const {
    return rows_ ? chart_.hlines.Get(b, k) : chart_.vlines.Get(k, b);
  }
  void SetEdge(int b, int k, const LineRec& line) {
    if (rows_)
      chart_.hlines.Set(b, k, line);
    else
      chart_.vlines.Set(k, b, line);
  }
  // The ruled line along line i of the axis at boundary k (0..across) across it.
  LineRec Side(int i, int k) const {
    return rows_ ? chart_.vlines.Get(i, k) : chart_.hlines.Get(k, i);
  }
  void SetSide(int i, int k, const LineRec& line) {
    if (rows_)
      chart_.vlines.Set(i, k, line);
    else
      chart_.hlines.Set(k, i, line);
  }

  void CopyCell(int from, int to, int k) {
    attr(to, k) = attr(from, k);
    text(to, k) = text(from, k);
  }
  void ClearCell(int i, int k) { attr(i, k) = text(i, k) = 0; }
  void ReleaseCell(Page& page, int i, int k) {
    if (attr(i, k) != 0) page.cell_attrs.Free(&attr(i, k));
    if (text(i, k) != 0) page.strings.Free(&text(i, k));
    ClearCell(i, k);
  }

 private:
  ChartRec& chart_;
  const bool rows_;
};

// Opens line `at` (1..n+1) of an axis of n lines, `across` positions wide: the lines from `at` on
// move one on with their cells and ruled lines, and the new line gets `size`, no cells, and on both
// edges the line that was the near edge of the line it displaced.
void OpenLine(GridAxis g, int n, int across, int at, uint16_t size) {
  if (at == n + 1) {
    // A new last line: the new far edge takes the old far edge, and the old far edge takes the
    // line that lay before the old last line.
    for (int bnd = n; bnd >= n - 1 && bnd >= 0; --bnd)
      for (int k = 1; k <= across; ++k) g.SetEdge(bnd + 1, k, g.Edge(bnd, k));
    for (int k = 0; k <= across; ++k) g.SetSide(n + 1, k, g.Side(n, k));
  } else {
    for (int i = n; i >= at; --i) {
      g.size(i + 1) = g.size(i);
      for (int k = 1; k <= across; ++k) g.CopyCell(i, i + 1, k);
      for (int k = 0; k <= across; ++k) g.SetSide(i + 1, k, g.Side(i, k));
    }
    for (int j = n; j >= at - 1; --j)
      for (int k = 1; k <= across; ++k) g.SetEdge(j + 1, k, g.Edge(j, k));
  }
  g.MoveFarEdge(size);
  g.size(at) = size;
  for (int k = 1; k <= across; ++k) g.ClearCell(at, k);
  g.set_count(n + 1);
  g.RecomputePos();
}

// Closes line `at` (1..n) of an axis of n lines, freeing its cells in the page's pools.
void CloseLine(Page& page, GridAxis g, int n, int across, int at) {
  g.MoveFarEdge(-int64_t(g.size(at)));
  for (int k = 1; k <= across; ++k) g.ReleaseCell(page, at, k);
  for (int j = at + 1; j <= n; ++j) {
    g.size(j - 1) = g.size(j);
    for (int k = 1; k <= across; ++k) g.CopyCell(j, j - 1, k);
  }
  // The vacated last line must not keep ids that now belong to the line before it.
  for (int k = 1; k <= across; ++k) g.ClearCell(n, k);

  // When the last line goes and the chart has no line on its far edge, the edge before it simply
  // becomes the far edge; otherwise the lines move back and the deleted line's near edge takes its
  // far edge.
  bool bare_edge = at == n;
  for (int k = 1; k <= across && bare_edge; ++k) bare_edge = g.Edge(n, k).style == 0;
  if (!bare_edge) {
    for (int j = at + 1; j <= n; ++j)
      for (int k = 0; k <= across; ++k) g.SetSide(j - 1, k, g.Side(j, k));
    for (int i = at; i <= n; ++i)
      for (int k = 1; k <= across; ++k) g.SetEdge(i - 1, k, g.Edge(i, k));
  }
  g.set_count(n - 1);
  g.RecomputePos();
}

// A grid change moves an HR row number along with its row. 0 means "no row" and never moves.
void FollowRow(uint16_t* hr, int r, int d) {
  if (*hr != 0 && r <= *hr) *hr = uint16_t(*hr + d);
}

// The height of a row or the width of a column; 0 and kRefused outside the grid.
int GetLineSize(Binder& b, PageData chart, bool rows, uint16_t line, uint16_t* size) {
  ChartRec* rec = FindChart(b, chart);
  *size = 0;
  if (rec == nullptr) return kRefused;
  GridAxis g(*rec, rows);
  if (!g.InRange(line)) return kRefused;
  *size = g.size(line);
  return kOk;
}

// Sets the height of a row or the width of a column; the chart's far edge moves with it.
int PutLineSize(Binder& b, PageData chart, bool rows, uint16_t line, uint16_t size) {
  ChartRec* rec = FindChart(b, chart);
  if (rec == nullptr) return kRefused;
  GridAxis g(*rec, rows);
  if (!g.InRange(line)) return kRefused;
  RecordGridLine(b, ChartEntry(chart), rows, kSizeChanged, line);
  g.MoveFarEdge(int64_t(size) - g.size(line));
  g.size(line) = size;
  g.RecomputePos();
  b.CurrentPageChanged();
  return kOk;
}

// Inserts a row or column: before line `line`, or after it when `after` is 1.
int InsertGridLine(Binder& b, PageData chart, bool rows, uint8_t after, uint16_t line,
                   uint16_t size) {
  ChartRec* rec = FindChart(b, chart);
  if (rec == nullptr) return kRefused;
  GridAxis g(*rec, rows);
  const int at = after == 1 ? line + 1 : line;
  const int n = g.count();
  const int across = std::min(g.across(), rows ? kMaxChartCols : kMaxChartRows);
  if (n >= (rows ? kMaxChartRows : kMaxChartCols) || at < 1 || at > n + 1) return kRefused;
  ReserveGridLines(*rec, std::min(rec->rows(), kMaxChartRows) + 1,
                   std::min(rec->cols(), kMaxChartCols) + 1);
  if (FieldLayoutHooks* hooks = b.layout_hooks()) {
    if (rows)
      hooks->ChartRowInserting(b.current_page(), chart.no, at);
    else
      hooks->ChartColInserting(b.current_page(), chart.no, at);
  }
  if (rows) {
    FollowRow(&rec->hr1, at, +1);
    FollowRow(&rec->hr2, at, +1);
  }
  OpenLine(g, n, across, at, size);
  b.CurrentPageChanged();
  RecordGridLine(b, ChartEntry(chart), rows, kInserted, uint16_t(at));
  return kOk;
}

int DeleteGridLine(Binder& b, PageData chart, bool rows, uint16_t line) {
  Page* page = b.CurrentPage();
  ChartRec* rec = page ? page->charts.Get(chart.no) : nullptr;
  if (rec == nullptr) return kRefused;
  GridAxis g(*rec, rows);
  const int at = line;
  const int n = std::min(g.count(), rows ? kMaxChartRows : kMaxChartCols);
  const int across = std::min(g.across(), rows ? kMaxChartCols : kMaxChartRows);
  if (at < 1 || at > n) return kRefused;
  ReserveGridLines(*rec, std::min(rec->rows(), kMaxChartRows),
                   std::min(rec->cols(), kMaxChartCols));
  RecordGridLine(b, ChartEntry(chart), rows, kRemoved, line);
  if (FieldLayoutHooks* hooks = b.layout_hooks()) {
    if (rows)
      hooks->ChartRowDeleting(b.current_page(), chart.no, at);
    else
      hooks->ChartColDeleting(b.current_page(), chart.no, at);
  }
  if (rows) {
    FollowRow(&rec->hr1, at, -1);
    FollowRow(&rec->hr2, at, -1);
  }
  CloseLine(*page, g, n, across, at);
  b.CurrentPageChanged();
  return kOk;
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

ChartInfRec FromInterface(const Header& h, const ChartInf& in) {
  ChartInfRec rec{};
  rec.flag = in.Flag;
  rec.left = in.Left;
  rec.top = in.Top;
  rec.right = in.Right;
  rec.bottom = in.Bottom;
  rec.rows = in.Rows;
  rec.cols = in.Cols;
  rec.row_hight = in.RowHight;
  rec.line_style = in.LineStyle;
  rec.line_param = in.LineParam;
  rec.line_color = IndexOfColor(h, in.LineColor);
  return rec;
}

}  // namespace

ChartRec* FindChart(Binder& b, PageData chart) {
  Page* page = b.CurrentPage();
  return page ? page->charts.Get(chart.no) : nullptr;
}

std::unique_ptr<ChartRec> ChartFromHead(const ChartInfRec& head, ChartEdges edges) {
  // The grid holds 127 rows and columns plus their outer edges.
  const int rows = head.rows, cols = head.cols;
  if (rows < 1 || rows > kMaxChartRows || cols < 1 || cols > kMaxChartCols) return nullptr;
  auto chart = std::make_unique<ChartRec>();
  ChartInfRec& inf = chart->inf;
  inf = head;
  // Every column gets the same whole width.
  const int64_t width = (int64_t(head.right) - int64_t(head.left)) / cols;
  if (edges == ChartEdges::kFitted) {
    const uint16_t asked_hight = head.row_hight;  // never bind a reference to a packed member
    inf.row_hight = std::max(asked_hight, kMinRowHight);
    inf.right = WrapAdd(head.left, width * cols);
    inf.bottom = WrapAdd(head.top, int64_t(inf.row_hight) * rows);
  }
  const uint16_t height = inf.row_hight;
  std::fill(std::begin(chart->rhight), std::end(chart->rhight), height);
  std::fill(std::begin(chart->cwidth), std::end(chart->cwidth), uint16_t(width));
  chart->RecomputeRowPos();
  chart->RecomputeColPos();

  const LineRec line{inf.line_style, inf.line_param, inf.line_color};
  for (int r = 1; r <= rows; ++r)
    for (int c = 0; c <= cols; ++c) chart->vlines.Set(r, c, line);
  for (int r = 0; r <= rows; ++r)
    for (int c = 1; c <= cols; ++c) chart->hlines.Set(r, c, line);
  return chart;
}

int AddChart(Binder& b, const ChartInf* inf, uint16_t* out_entry) {
  Page* page = b.CurrentPage();
  if (page == nullptr) return kRefused;
  ChartInfRec head = FromInterface(b.header(), *inf);
  head.flag = 0;
  std::unique_ptr<ChartRec> chart = ChartFromHead(head, ChartEdges::kFitted);
  if (chart == nullptr) return kRefused;
  const int no = page->charts.LowestFree();
  if (no < 0) return kRefused;
  const PageData entry{kChart, uint8_t(no)};
  *out_entry = entry.value();
  if (page->data_count >= Page::kMaxData) return kRefused;

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
  rec->inf = FromInterface(b.header(), next);
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
  return GetLineSize(b, chart, true, row, height);
}

int PutChartRHight(Binder& b, PageData chart, uint16_t row, uint16_t height) {
  return PutLineSize(b, chart, true, row, height);
}

int GetChartCWidth(Binder& b, PageData chart, uint16_t col, uint16_t* width) {
  return GetLineSize(b, chart, false, col, width);
}

int PutChartCWidth(Binder& b, PageData chart, uint16_t col, uint16_t width) {
  return PutLineSize(b, chart, false, col, width);
}

int InsertChartR(Binder& b, PageData chart, uint8_t after, uint16_t row, uint16_t height) {
  return InsertGridLine(b, chart, true, after, row, height);
}

int DeleteChartR(Binder& b, PageData chart, uint16_t row) {
  return DeleteGridLine(b, chart, true, row);
}

int InsertChartC(Binder& b, PageData chart, uint8_t after, uint16_t col, uint16_t width) {
  return InsertGridLine(b, chart, false, after, col, width);
}

int DeleteChartC(Binder& b, PageData chart, uint16_t col) {
  return DeleteGridLine(b, chart, false, col);
}

void ReleaseChartCells(Page& page, ChartRec& chart) {
  const int rows = std::min(chart.rows(), kMaxChartRows);
  const int cols = std::min(chart.cols(), kMaxChartCols);
  for (int r = 1; r <= rows; ++r)
    for (int c = 1; c <= cols; ++c) GridAxis(chart, true).ReleaseCell(page, r, c);
}

}  // namespace qs
