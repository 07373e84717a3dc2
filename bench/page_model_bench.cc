// The page model through the form library's interface: filling a chart, moving rows, and the
// journal's cost of deleting a whole chart and undoing it.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "formstore.h"
#include "formstore/form.h"

namespace {

namespace fs = std::filesystem;

// A work directory of the benchmark's own, and one form with one page.
class Bench {
 public:
  Bench() {
    dir_ = fs::temp_directory_path() / ("qstore-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    setenv("SITEPATHS_WORK_DIR", (dir_.string() + "/").c_str(), 1);
    qs::ReloadFormWorkDir();
    FormInf inf{};
    QfaCreateForm(&h, &inf);
    PageInf page{};
    QfaInsertFormPage(&h, 0, &page);
  }
  ~Bench() {
    QfaCloseForm(&h);
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  uint16_t AddChart(int rows, int cols) {
    ChartInf chart{};
    chart.Right = 100 * cols;
    chart.Rows = uint16_t(rows);
    chart.Cols = uint16_t(cols);
    chart.RowHight = 20;
    chart.LineStyle = 1;
    uint16_t entry = 0;
    QfaAddChart(&h, &chart, &entry);
    return entry;
  }
  void FillCells(uint16_t entry, int rows, int cols) {
    ChartCell cell{};
    std::strcpy(cell.Font.FontName, "Mincho");
    for (uint16_t r = 1; r <= rows; ++r)
      for (uint16_t c = 1; c <= cols; ++c) QfaPutChartCell(&h, entry, r, c, &cell, "cell text");
  }

  std::string dir() const { return dir_.string() + "/"; }

  FormHandle h{};

 private:
  fs::path dir_;
};

void BM_FillChart(benchmark::State& state) {
  const int n = int(state.range(0));
  Bench bench;
  for (auto _ : state) {
    const uint16_t entry = bench.AddChart(n, n);
    bench.FillCells(entry, n, n);
    QfaDeletePageData(&bench.h, entry);
  }
  state.SetItemsProcessed(state.iterations() * n * n);
}
BENCHMARK(BM_FillChart)->Arg(10)->Arg(50)->Arg(127);

void BM_InsertDeleteRow(benchmark::State& state) {
  const int n = int(state.range(0));
  Bench bench;
  const uint16_t entry = bench.AddChart(n, n);
  bench.FillCells(entry, n, n);
  for (auto _ : state) {
    QfaInsertChartR(&bench.h, entry, 0, 1, 20);
    QfaDeleteChartR(&bench.h, entry, 1);
  }
}
BENCHMARK(BM_InsertDeleteRow)->Arg(10)->Arg(100);

// Deleting a chart journals every cell and line; undo puts them all back.
void BM_DeleteChartUndoRedo(benchmark::State& state) {
  const int n = int(state.range(0));
  Bench bench;
  const uint16_t entry = bench.AddChart(n, n);
  bench.FillCells(entry, n, n);
  QfaUndoControlStart(&bench.h);
  for (auto _ : state) {
    QfaUndoBlockStart(&bench.h);
    QfaDeletePageData(&bench.h, entry);
    QfaUndoBlockEnd(&bench.h);
    QfaUndo(&bench.h);
  }
  QfaUndoControlEnd(&bench.h);
  state.SetItemsProcessed(state.iterations() * n * n);
}
BENCHMARK(BM_DeleteChartUndoRedo)->Arg(10)->Arg(30);

// A page with one filled chart written to a form file and read back.
void BM_SaveOpen(benchmark::State& state) {
  const int n = int(state.range(0));
  Bench bench;
  const uint16_t entry = bench.AddChart(n, n);
  bench.FillCells(entry, n, n);
  char path[256];
  std::snprintf(path, sizeof path, "%s", (bench.dir() + "bench.QFD").c_str());
  for (auto _ : state) {
    QfaSaveForm(&bench.h, path);
    FormHandle opened{};
    QfaOpenForm(&opened, path);
    QfaCloseForm(&opened);
  }
  state.SetItemsProcessed(state.iterations() * n * n);
}
BENCHMARK(BM_SaveOpen)->Arg(10)->Arg(50)->Arg(127);

}  // namespace
