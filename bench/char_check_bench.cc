// The prohibited-character check: converting one text, and a whole check of ten full pages, each
// with a 20 x 10 chart of mixed text, with the shipped tables and plug-in.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "chargate/replace_table.h"
#include "common/status.h"
#include "docstore/check/char_check.h"
#include "docstore/check/prohibit_groups.h"
#include "docstore/check/text_convert.h"
#include "formstore.h"
#include "formstore/form.h"
#include "platform/env.h"

namespace {

namespace fs = std::filesystem;

const std::string kDataDir = std::string(QSTORE_SOURCE_DIR) + "/chargate/data/";

// Half-width katakana with voiced marks, full-width letters, circled numbers and plain text:
// "ｶﾞｲﾄﾞ ａｂｃ ① abc" in Shift-JIS, repeated to 60 bytes.
std::string MixedText() {
  const std::string piece = "\xB6\xDE\xB2\xC4\xDE \x82\x81\x82\x82\x82\x83 \x87\x40 abc ";
  std::string text;
  while (text.size() + piece.size() <= 60) text += piece;
  return text;
}

class TableJudge final : public qs::SpecialChars {
 public:
  TableJudge() {
    std::string csv;
    qs::ReadWholeFile(qs::CurrentEnv(), kDataDir + "pbrepl.csv", &csv);
    table_.Parse(csv);
  }
  bool Judge(std::string_view ch, std::string* out) override {
    const uint16_t code =
        ch.size() == 2 ? uint16_t(uint8_t(ch[0]) * 256 + uint8_t(ch[1])) : uint8_t(ch[0]);
    const std::string* r = table_.Find(code);
    if (r == nullptr) return false;
    *out = *r;
    return true;
  }

 private:
  qs::ReplaceTable table_;
};

void BM_ConvertText(benchmark::State& state) {
  qs::ProhibitGroups groups;
  if (qs::ReadProhibitGroups(*qs::CurrentEnv(), kDataDir + "prohibit.ini", &groups) != qs::kOk)
    std::abort();
  TableJudge judge;
  const std::string text = MixedText();
  std::string out;
  for (auto _ : state) {
    qs::TextConverter converter(groups, 14, 14, &judge, nullptr);
    benchmark::DoNotOptimize(converter.Convert(text, 255, &out));
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(BM_ConvertText);

// Ten pages of a form, each a 20 x 10 chart of mixed text, checked and replaced in full each time.
void BM_CheckTenPages(benchmark::State& state) {
  const fs::path dir = fs::temp_directory_path() / ("qstore-bench-" + std::to_string(::getpid()));
  fs::create_directories(dir / "shared");
  fs::copy_file(kDataDir + "prohibit.ini", dir / "shared/prohibit.ini");
  fs::copy_file(kDataDir + "pbrepl.csv", dir / "shared/pbrepl.csv");
  setenv("SITEPATHS_WORK_DIR", (dir.string() + "/").c_str(), 1);
  setenv("SITEPATHS_SHARED_DIR", (dir.string() + "/shared/").c_str(), 1);
  setenv("SITEPATHS_USER_DIR", (dir.string() + "/user/").c_str(), 1);
  setenv("SITEPATHS_PLUGIN_DIR", QSTORE_PLUGIN_DIR, 1);
  qs::ReloadFormWorkDir();

  const std::string text = MixedText();
  for (auto _ : state) {
    state.PauseTiming();
    FormHandle h{};
    FormInf inf{};
    QfaCreateForm(&h, &inf);
    for (int p = 0; p < 10; ++p) {
      PageInf page{};
      QfaInsertFormPage(&h, p == 0 ? 0 : 1, &page);
      QfaPutCurPage(&h, p + 1);
      ChartInf chart{};
      chart.Right = 1000;
      chart.Rows = 20;
      chart.Cols = 10;
      chart.RowHight = 20;
      chart.LineStyle = 1;
      uint16_t entry = 0;
      QfaAddChart(&h, &chart, &entry);
      ChartCell cell{};
      std::strcpy(cell.Font.FontName, "Mincho");
      for (uint16_t r = 1; r <= 20; ++r)
        for (uint16_t c = 1; c <= 10; ++c) QfaPutChartCell(&h, entry, r, c, &cell, text.c_str());
    }
    state.ResumeTiming();
    const int found = qs::CheckReplaceText(*qs::Form::FromHandle(&h), 14, 14, nullptr, nullptr);
    state.PauseTiming();
    QfaCloseForm(&h);
    state.ResumeTiming();
    // A check that cannot start returns at once: its time would pass for a fast check.
    if (found <= 0) {
      state.SkipWithError("the check found nothing or failed");
      break;
    }
  }
  std::error_code ec;
  fs::remove_all(dir, ec);
}
BENCHMARK(BM_CheckTenPages)->Unit(benchmark::kMillisecond);

}  // namespace
