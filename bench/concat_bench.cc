// Concatenation of two documents of 5000 pages (the second 4999: a document holds at most 9999)
// and saving the result, against copying both document files with cp. Every figure is a
// throughput over the bytes of the two document files.
//
//   OpenConcatSave  open both files, append one to the other, save the result, close both
//   ConcatSave      the same with both documents already open: only the append and the save
//   ConcatOnly      the append alone
//   OpenBoth        opening both files (closing them is not timed)
//   CpBothFiles     cp of both files into another directory
//   WorkFileFloor   the file operations ConcatSave cannot do without, and nothing else: for every
//                   appended page one read of the source's block and one write of a new block of
//                   the target's work file; for every page of the result one read of its block,
//                   the result written out in 16 KiB pieces, synced. Chains of the documents'
//                   mean length, one block each, at the work file's places (block k at
//                   k * 16384). What ConcatSave spends beyond this is its own.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "docstore.h"
#include "docstore/document.h"
#include "docstore/work_file.h"
#include "platform/env.h"

namespace {

namespace fs = std::filesystem;

constexpr int kPages = 5000;
constexpr int kSecondPages = qs::Document::kMaxPages - kPages;

// A work directory of the benchmark's own, with the two document files made once.
class Site {
 public:
  static Site& Get() {
    static Site site;
    return site;
  }
  const std::string& first() const { return first_; }
  const std::string& second() const { return second_; }
  std::string Out(const char* name) const { return dir_ + name; }
  int64_t bytes() const { return int64_t(fs::file_size(first_) + fs::file_size(second_)); }

 private:
  Site() {
    dir_ = (fs::temp_directory_path() / ("qstore-concat-bench-" + std::to_string(::getpid())))
               .string() +
           "/";
    fs::create_directories(dir_ + "work");
    fs::create_directories(dir_ + "copies");
    setenv("SITEPATHS_WORK_DIR", (dir_ + "work/").c_str(), 1);
    qs::ReloadDocWorkDir();
    const std::string picture = dir_ + "picture.bmp";
    FILE* f = std::fopen(picture.c_str(), "wb");
    for (int i = 0; i < 12000; ++i) std::fputc(i * 31 % 251, f);
    std::fclose(f);
    first_ = dir_ + "first.qdd";
    second_ = dir_ + "second.qdd";
    Make(first_, kPages, "Mincho", picture);
    Make(second_, kSecondPages, "Gothic", picture);
  }
  ~Site() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  // Pages like a filled-in form: a 4 x 3 chart with a text in every cell, two texts, a free cell,
  // and a picture on every 50th page.
  static void Make(const std::string& path, int pages, const char* font,
                   const std::string& picture) {
    DocHandle h{};
    DocInf inf{};
    QdaCreateDoc(&h, &inf);
    ChartCell cell{};
    std::strcpy(cell.Font.FontName, font);
    Text text{};
    text.Right = 400;
    text.Bottom = 30;
    std::strcpy(text.Font.FontName, font);
    for (int n = 1; n <= pages; ++n) {
      QdaInsertPage(&h, 1);
      ChartInf chart{};
      chart.Top = 100;
      chart.Rows = 4;
      chart.Cols = 3;
      chart.RowHight = 20;
      chart.LineStyle = 1;
      uint16_t e = 0;
      QdaAddChart(&h, &chart, &e);
      for (uint16_t r = 1; r <= 4; ++r)
        for (uint16_t c = 1; c <= 3; ++c)
          QdaPutChartCell(&h, e, r, c, &cell,
                          ("cell " + std::to_string(n * 12 + r * 3 + c)).c_str());
      QdaAddText(&h, &text, "A heading of the page", &e);
      QdaAddText(&h, &text, ("page " + std::to_string(n)).c_str(), &e);
      QdaAddFreCell(&h, &text, "a free cell", &e);
      if (n % 50 == 0) {
        InsFigure ins{};
        char name[256] = {};
        std::strcpy(name, picture.c_str());
        QdaAddInsFigure(&h, &ins, name, &e);
      }
    }
    QdaSaveDoc(&h, path.c_str());
    QdaCloseDoc(&h);
  }

  std::string dir_, first_, second_;
};

void OpenBoth(DocHandle* a, DocHandle* b) {
  Site& site = Site::Get();
  if (QdaOpenDoc(a, site.first().c_str()) != 0 || QdaOpenDoc(b, site.second().c_str()) != 0)
    std::abort();
}

void BM_OpenConcatSave(benchmark::State& state) {
  Site& site = Site::Get();
  const std::string out = site.Out("joined.qdd");
  for (auto _ : state) {
    DocHandle a{}, b{};
    OpenBoth(&a, &b);
    if (QdaConcatDoc(&a, &b) != 0 || QdaSaveDoc(&a, out.c_str()) != 0)
      state.SkipWithError("failed");
    QdaCloseDoc(&a);
    QdaCloseDoc(&b);
  }
  state.SetBytesProcessed(state.iterations() * site.bytes());
}

void BM_ConcatSave(benchmark::State& state) {
  Site& site = Site::Get();
  const std::string out = site.Out("joined.qdd");
  for (auto _ : state) {
    state.PauseTiming();
    DocHandle a{}, b{};
    OpenBoth(&a, &b);
    state.ResumeTiming();
    if (QdaConcatDoc(&a, &b) != 0 || QdaSaveDoc(&a, out.c_str()) != 0)
      state.SkipWithError("failed");
    state.PauseTiming();
    QdaCloseDoc(&a);
    QdaCloseDoc(&b);
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * site.bytes());
}

void BM_ConcatOnly(benchmark::State& state) {
  Site& site = Site::Get();
  for (auto _ : state) {
    state.PauseTiming();
    DocHandle a{}, b{};
    OpenBoth(&a, &b);
    state.ResumeTiming();
    if (QdaConcatDoc(&a, &b) != 0) state.SkipWithError("failed");
    state.PauseTiming();
    QdaCloseDoc(&a);
    QdaCloseDoc(&b);
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * site.bytes());
}

void BM_OpenBoth(benchmark::State& state) {
  Site& site = Site::Get();
  for (auto _ : state) {
    DocHandle a{}, b{};
    OpenBoth(&a, &b);
    state.PauseTiming();
    QdaCloseDoc(&a);
    QdaCloseDoc(&b);
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * site.bytes());
}

// cp runs in a child process, whose processor time the CPU column does not see: it is reported
// as the counter child_cpu_ms.
double ChildCpuMs() {
  struct rusage usage;
  getrusage(RUSAGE_CHILDREN, &usage);
  return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

void BM_CpBothFiles(benchmark::State& state) {
  Site& site = Site::Get();
  const std::string command =
      "cp '" + site.first() + "' '" + site.second() + "' '" + site.Out("copies/") + "'";
  const double before = ChildCpuMs();
  for (auto _ : state)
    if (std::system(command.c_str()) != 0) state.SkipWithError("cp failed");
  state.SetBytesProcessed(state.iterations() * site.bytes());
  state.counters["child_cpu_ms"] =
      benchmark::Counter((ChildCpuMs() - before) / double(state.iterations()));
}

void BM_WorkFileFloor(benchmark::State& state) {
  Site& site = Site::Get();
  constexpr uint64_t kBlock = qs::WorkFile::kBlockSize;
  const size_t chain = size_t(site.bytes() / qs::Document::kMaxPages);
  std::vector<uint8_t> data(qs::WorkFile::kBlockSize, 0x5a);
  qs::Env* env = qs::CurrentEnv();
  for (auto _ : state) {
    state.PauseTiming();
    // Two fresh work files as opening the documents leaves them.
    auto source = env->Open(site.Out("work/floor-source"), qs::OpenMode::kCreate);
    auto target = env->Open(site.Out("work/floor-target"), qs::OpenMode::kCreate);
    auto out = env->Open(site.Out("floor.qdd"), qs::OpenMode::kCreate);
    if (!source || !target || !out) std::abort();
    for (uint64_t k = 1; k <= kSecondPages; ++k) source->WriteAt(k * kBlock, data.data(), chain);
    for (uint64_t k = 1; k <= kPages; ++k) target->WriteAt(k * kBlock, data.data(), chain);
    state.ResumeTiming();
    size_t got = 0;
    bool ok = true;
    for (uint64_t k = 1; k <= kSecondPages; ++k) {
      ok &= source->ReadAt(k * kBlock, data.data(), chain, &got);
      ok &= target->WriteAt((kPages + k) * kBlock, data.data(), chain);
    }
    std::vector<uint8_t> piece(16384);
    size_t used = 0;
    for (uint64_t k = 1; k <= qs::Document::kMaxPages; ++k) {
      ok &= target->ReadAt(k * kBlock, data.data(), chain, &got);
      if (used + chain > piece.size()) {
        ok &= out->Write(piece.data(), used);
        used = 0;
      }
      std::memcpy(piece.data() + used, data.data(), chain);
      used += chain;
    }
    ok &= out->Write(piece.data(), used) && out->Sync();
    if (!ok) state.SkipWithError("file operation failed");
    state.PauseTiming();
    source.reset();
    target.reset();
    out.reset();
    env->Delete(site.Out("work/floor-source"));
    env->Delete(site.Out("work/floor-target"));
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * site.bytes());
}

BENCHMARK(BM_OpenConcatSave)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ConcatSave)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ConcatOnly)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OpenBoth)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CpBothFiles)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WorkFileFloor)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
