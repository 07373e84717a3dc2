// The document half of the demo: a long document built, edited, saved, opened again and compared;
// the converted form and the long document concatenated; the character check with its log.
#include <fmt/format.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "docstore.h"
#include "tools/qstore/demo.h"
#include "tools/qstore/os.h"
#include "tools/qstore/progress.h"
#include "tools/qstore/render.h"
#include "tools/qstore/status.h"
#include "tools/qstore/text.h"

namespace qstore::tool {

namespace {

constexpr int kLedgerPages = 300;

class Doc {
 public:
  Doc() = default;
  ~Doc() {
    if (handle_.State != nullptr) QdaCloseDoc(&handle_);
  }
  DocHandle* get() { return &handle_; }

 private:
  DocHandle handle_{};
};

void Ok(int32_t status, const char* file, const char* call) {
  Check(status, file, call);
}

// One ledger page: a 4 x 3 chart of entries, a page heading and a free cell with the page total.
void FillLedgerPage(DocHandle* doc, int n) {
  const char* file = "ledger";
  const ChartInf chart = DemoChart(100, 200, 1000, 4, 3, 45);
  uint16_t entry = 0;
  Ok(QdaAddChart(doc, &chart, &entry), file, "QdaAddChart");
  ChartCell cell{};
  cell.Font = DemoFont("ＭＳ 明朝");
  for (uint16_t r = 1; r <= 4; ++r) {
    const std::string texts[3] = {fmt::format("Entry {}-{}", n, r), std::to_string(n * 10 + r),
                                  r == 1 ? Sjis("支払") : Sjis("入金")};
    for (uint16_t c = 1; c <= 3; ++c)
      Ok(QdaPutChartCell(doc, entry, r, c, &cell, texts[c - 1].c_str()), file, "QdaPutChartCell");
  }
  const Text heading = DemoBox(100, 100, 1000, 160, "ＭＳ ゴシック");
  uint16_t text = 0;
  Ok(QdaAddText(doc, &heading, fmt::format("Ledger page {}", n).c_str(), &text), file,
     "QdaAddText");
  const FreCell total = DemoBox(600, 420, 1000, 470, "ＭＳ ゴシック");
  Ok(QdaAddFreCell(doc, &total, fmt::format("Total {}", n * 40 + 10).c_str(), &text), file,
     "QdaAddFreCell");
}

// Builds, edits and saves the ledger; returns its path.
std::string BuildLedger(DemoRun& run) {
  const std::string path = run.Path("ledger.QDD");
  DocInf inf{};
  std::snprintf(inf.Title, sizeof inf.Title, "%s", "Ledger");
  inf.ReadOrder = 1;
  Doc doc;
  Ok(QdaCreateDoc(doc.get(), &inf), "ledger", "QdaCreateDoc");
  {
    Progress progress("building the ledger", kLedgerPages);
    for (int n = 1; n <= kLedgerPages; ++n) {
      Ok(QdaInsertPage(doc.get(), 1), "ledger", "QdaInsertPage");
      FillLedgerPage(doc.get(), n);
      progress.Update(n);
    }
  }
  // Edits: a cell rewritten on page 150, page 7 deleted, the last page moved to the front, and an
  // edit on page 2 undone.
  Ok(QdaPutCurPage(doc.get(), 150), "ledger", "QdaPutCurPage");
  ChartCell cell{};
  char text[256] = {};
  Ok(QdaGetChartCell(doc.get(), 0x0101, 1, 1, &cell, text), "ledger", "QdaGetChartCell");
  Ok(QdaPutChartCell(doc.get(), 0x0101, 1, 1, &cell, "Corrected entry"), "ledger",
     "QdaPutChartCell");
  Ok(QdaPutCurPage(doc.get(), 7), "ledger", "QdaPutCurPage");
  Ok(QdaDeletePage(doc.get()), "ledger", "QdaDeletePage");
  const int pages = QdaGetPageCount(doc.get());
  Ok(QdaMovePage(doc.get(), pages, 1), "ledger", "QdaMovePage");
  Ok(QdaPutCurPage(doc.get(), 2), "ledger", "QdaPutCurPage");
  Ok(QdaUndoControlStart(doc.get()), "ledger", "QdaUndoControlStart");
  QdaUndoBlockStart(doc.get());
  Ok(QdaDeleteChartR(doc.get(), 0x0101, 2), "ledger", "QdaDeleteChartR");
  QdaUndoBlockEnd(doc.get());
  Ok(QdaUndo(doc.get()), "ledger", "QdaUndo");
  QdaUndoControlEnd(doc.get());
  fmt::print(
      "ledger: {} pages built; page 150 edited, page 7 deleted, the last page moved to the "
      "front, an edit undone\n",
      kLedgerPages);
  Ok(QdaSaveDoc(doc.get(), path.c_str()), path.c_str(), "QdaSaveDoc");
  run.Made("ledger.QDD", fmt::format("a document of {} pages", QdaGetPageCount(doc.get())));
  {
    std::unique_ptr<Reader> in_memory = ReaderOver("ledger", doc.get());
    std::unique_ptr<Reader> reopened = OpenReader(path, FileKind::kDocument);
    const bool same = SameContent(*in_memory, *reopened);
    fmt::print("ledger saved and opened again: {}\n",
               same ? "every page matches" : "CONTENT DIFFERS");
    run.ok = run.ok && same;
  }
  return path;
}

void Concatenate(DemoRun& run, const std::string& first, const std::string& second) {
  const std::string path = run.Path("combined.QDD");
  Doc target, source;
  Ok(QdaOpenDoc(target.get(), first.c_str()), first.c_str(), "QdaOpenDoc");
  Ok(QdaOpenDoc(source.get(), second.c_str()), second.c_str(), "QdaOpenDoc");
  const int expected = QdaGetPageCount(target.get()) + QdaGetPageCount(source.get());
  Ok(QdaConcatDoc(target.get(), source.get()), second.c_str(), "QdaConcatDoc");
  Ok(QdaSaveDoc(target.get(), path.c_str()), path.c_str(), "QdaSaveDoc");
  const int pages = QdaGetPageCount(target.get());
  fmt::print("concatenated: {} pages ({})\n", pages, pages == expected ? "as expected" : "WRONG");
  run.ok = run.ok && pages == expected;
  run.Made("combined.QDD", "the converted form followed by the ledger");
}

// The settings the check reads: prohibit.ini and the master replacement table.
void WriteCheckSettings(DemoRun& run) {
  std::filesystem::create_directories(run.Path("settings"));
  std::filesystem::create_directories(run.Path("user"));
  const std::string katakana = Sjis(
      "。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘ"
      "ホマミムメモヤユヨラリルレロワン゛゜");
  const std::string ini = fmt::format(
      "[SGLKATAKANA]\nName=half-width katakana\nStart=A1\nEnd=DF\nReplace={}\nBackSpc={}\n\n"
      "[DBLALPHANUMERIC1]\nName=full-width digits\nStart=824F\nEnd=8258\nReplace={}\n\n"
      "[DBLALPHANUMERIC2]\nName=full-width capitals\nStart=8260\nEnd=8279\nReplace={}\n\n"
      "[DBLALPHANUMERIC3]\nName=full-width small letters\nStart=8281\nEnd=829A\nReplace={}\n\n"
      "[SGLALPHANUMERIC]\nName=small "
      "letters\nStart=61\nEnd=7A\nReplace=abcdefghijklmnopqrstuvwxyz\n",
      katakana, "\xDE\xDF", Sjis("０１２３４５６７８９"),
      Sjis("ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹＺ"),
      Sjis("ａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖｗｘｙｚ"));
  WriteFile(run.Path("settings/prohibit.ini"), ini);
  WriteFile(run.Path("settings/pbrepl.csv"),
            "# user-defined characters: CODE,REPLACEMENT\nF040,(1)\n");
  run.Made("settings/", "prohibit.ini and pbrepl.csv for the character check");
  SetEnvironment("SITEPATHS_SHARED_DIR", run.Path("settings/"));
  SetEnvironment("SITEPATHS_USER_DIR", run.Path("user/"));
}

void RunCheckDemo(DemoRun& run, const std::string& path) {
  WriteCheckSettings(run);
  const std::string log = run.Path("check.log");
  std::filesystem::remove(log);
  Doc doc;
  Ok(QdaOpenDoc(doc.get(), path.c_str()), path.c_str(), "QdaOpenDoc");
  // Report full-width alphanumerics and half-width katakana, replace user-defined characters.
  const int32_t found = QdaCheckReplaceText2(doc.get(), 14, 8, log.c_str());
  if (found < 0) throw CallError(path, "QdaCheckReplaceText2", found);
  const std::string checked = run.Path("checked.QDD");
  Ok(QdaSaveDoc(doc.get(), checked.c_str()), checked.c_str(), "QdaSaveDoc");
  std::ifstream in(log, std::ios::binary);
  const std::string text(std::istreambuf_iterator<char>(in), {});
  fmt::print(
      "character check: result {} (2 full-width alphanumerics, 4 half-width katakana, "
      "8 user-defined), log:\n",
      found);
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    fmt::print("  {}\n", ShowText(text.substr(start, end - start)));
    start = end + 1;
  }
  run.ok = run.ok && found == 14;
  run.Made("check.log", "the character check's log (Shift-JIS)");
  run.Made("checked.QDD", "combined.QDD with its user-defined characters replaced");
}

}  // namespace

void RunDocumentDemo(DemoRun& run, const std::string& converted) {
  const std::string ledger = BuildLedger(run);
  {
    std::unique_ptr<Reader> reader = OpenReader(ledger, FileKind::kDocument);
    RenderPage(run, *reader, 1, "ledger-p1.svg");
  }
  {
    std::unique_ptr<Reader> reader = OpenReader(converted, FileKind::kDocument);
    fmt::print("converted document: {} pages\n", reader->PageCount());
    RenderPage(run, *reader, 1, "sample-doc-p1.svg");
  }
  Concatenate(run, converted, ledger);
  RunCheckDemo(run, run.Path("combined.QDD"));
}

}  // namespace qstore::tool
