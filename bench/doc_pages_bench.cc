// Opening a document of 9999 pages and walking every page through the two-page cache, against an
// empty document: time, and the peak resident memory each adds to the process. The document's
// memory is meant to stay bounded whatever its size (goal: within 16 MiB of the empty one's).
//
// The 9999-page file is built in a child process, so the memory that building takes is never part
// of this process; peaks are measured from /proc/self/status after resetting the high-water mark.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "docstore.h"
#include "docstore/document.h"
#include "platform/env.h"

namespace {

namespace fs = std::filesystem;

long StatusKiB(const char* key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const size_t n = std::strlen(key);
  while (std::getline(status, line))
    if (line.compare(0, n, key) == 0) return std::atol(line.c_str() + n + 1);
  return -1;
}

// Resets the process's peak resident size to its current size; false when the kernel cannot.
bool ResetPeak() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
  return bool(clear.flush());
}

class Site {
 public:
  Site() {
    dir_ = fs::temp_directory_path() / ("qstore-docbench-" + std::to_string(::getpid()));
    fs::create_directories(dir_ / "work");
    setenv("SITEPATHS_WORK_DIR", (dir_ / "work").string().append("/").c_str(), 1);
    qs::ReloadDocWorkDir();
  }
  ~Site() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  std::string Path(const char* name) const { return (dir_ / name).string(); }

 private:
  fs::path dir_;
};

// A document of `pages` pages, each with a 5 by 5 chart whose cells all hold a text, and a text.
int BuildDocument(const std::string& path, int pages) {
  DocHandle h{};
  const DocInf inf{};
  if (QdaCreateDoc(&h, &inf) != 0) return 1;
  for (int n = 1; n <= pages; ++n) {
    if (QdaInsertPage(&h, 1) != 0) return 2;
    ChartInf chart{};
    chart.Right = 500;
    chart.Bottom = 150;
    chart.Rows = chart.Cols = 5;
    chart.RowHight = 30;
    chart.LineStyle = 1;
    uint16_t entry = 0;
    if (QdaAddChart(&h, &chart, &entry) != 0) return 3;
    ChartCell cell{};
    std::strcpy(cell.Font.FontName, "Mincho");
    for (uint16_t r = 1; r <= 5; ++r)
      for (uint16_t c = 1; c <= 5; ++c) QdaPutChartCell(&h, entry, r, c, &cell, "cell text");
    Text text{};
    text.Right = text.Bottom = 100;
    uint16_t text_entry = 0;
    QdaAddText(&h, &text, "a text on every page", &text_entry);
  }
  const int status = QdaSaveDoc(&h, path.c_str());
  QdaCloseDoc(&h);
  return status == 0 ? 0 : 4;
}

const Site& TheSite() {
  static Site site;
  return site;
}

const std::string& File(int pages) {
  static std::string files[2];
  std::string& path = files[pages > 1];
  if (path.empty()) {
    path = TheSite().Path(pages > 1 ? "big.doc" : "small.doc");
    std::unique_ptr<qs::ChildProcess> child =
        qs::ChildProcess::Start([&] { return BuildDocument(path, pages); });
    if (!child || child->Wait() != 0) std::abort();
  }
  return path;
}

// Opens the document, makes every page current and reads it, closes the document.
void OpenAndWalk(benchmark::State& state) {
  const int pages = int(state.range(0));
  const std::string& path = File(pages);
  long peak = 0;
  for (auto _ : state) {
    const bool reset = ResetPeak();
    const long base = StatusKiB("VmRSS:");
    DocHandle h{};
    if (QdaOpenDoc(&h, path.c_str()) != 0) {
      state.SkipWithError("open failed");
      break;
    }
    for (int n = 1; n <= pages; ++n) {
      PageInf inf{};
      QdaPutCurPage(&h, n);
      benchmark::DoNotOptimize(QdaGetPageInf(&h, &inf));
    }
    QdaCloseDoc(&h);
    if (reset) peak = std::max(peak, StatusKiB("VmHWM:") - base);
  }
  state.counters["peak_rss_kib"] = double(peak);
  state.counters["pages"] = pages;
}
BENCHMARK(OpenAndWalk)->Arg(1)->Arg(9999)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
