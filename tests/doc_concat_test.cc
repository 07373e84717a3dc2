// Appending one document to another: fonts found or added in the target's slots, the layout
// check, title-bound texts, pictures, page numbers at save, failure part-way, and a large
// concatenation checked page by page.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/model/header.h"
#include "common/model/page.h"
#include "docstore.h"
#include "docstore/document.h"
#include "support/doc_records.h"
#include "support/doc_site.h"
#include "support/fault_env.h"
#include "support/form_fixture.h"

namespace {

using qs_test::Font;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// What page `number` holds, record by record, with each font named rather than numbered: what a
// page must still say after it has been appended to another document, whatever its font numbers
// became there. Pictures travel inside their records.
std::string PageDigest(DocHandle* h, int number) {
  const qs::Header& header = qs::Document::FromHandle(h)->header();
  std::string digest;
  for (qs_test::Record r : qs_test::ParseRecords(qs_test::PageRecords(h, number))) {
    const size_t at = r.tag == 'c' ? 6 : r.tag == 'T' || r.tag == 'D' ? 17 : 0;
    if (at != 0 && r.body.size() > at) {
      char name[33];
      qs::FontNameOfNumber(header, r.body[at] & 7, name);
      r.body[at] = char(r.body[at] & ~7);
      r.body += name;
    }
    digest += qs_test::Frame(r.tag, r.body);
  }
  return digest;
}

Text TextAt(int32_t top, const char* font, uint8_t kind = 0) {
  Text t{};
  t.Kind = kind;
  t.Top = top;
  t.Right = 100;
  t.Bottom = top + 10;
  t.Font = Font(font);
  t.Font.Value5 = 21;
  t.Font.ValueC = 1;
  return t;
}

uint16_t AddText(DocHandle* h, int32_t top, const char* font, const char* text, uint8_t kind = 0) {
  const Text t = TextAt(top, font, kind);
  uint16_t e = 0;
  EXPECT_EQ(QdaAddText(h, &t, text, &e), 0);
  return e;
}

DocInf InfWithTitle(const char* title) {
  DocInf inf{};
  std::strncpy(inf.Title, title, sizeof inf.Title - 1);
  return inf;
}

class ConcatTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (DocHandle* h : {&target, &source})
      if (h->State) QdaCloseDoc(h);
  }
  qs::Document& doc(DocHandle* h) { return *qs::Document::FromHandle(h); }
  std::string Slot(DocHandle* h, int n) { return doc(h).header().rec.font_names[n - 1]; }

  // What must not change when a concatenation is refused or fails.
  struct Snapshot {
    int pages, updates, undo;
    std::string fonts;
    std::vector<std::string> digests;
    bool operator==(const Snapshot& o) const {
      return pages == o.pages && updates == o.updates && undo == o.undo && fonts == o.fonts &&
             digests == o.digests;
    }
  };
  Snapshot Take(DocHandle* h) {
    Snapshot s{QdaGetPageCount(h), QdaQueryDocUpdate(h), QdaUndoCount(h), {}, {}};
    s.fonts.assign(&doc(h).header().rec.font_names[0][0], sizeof doc(h).header().rec.font_names);
    for (int n = 1; n <= s.pages; ++n) s.digests.push_back(PageDigest(h, n));
    return s;
  }

  qs_test::DocSite site;
  // Documents keep the Env they were made with until TearDown closes them.
  qs::test::FaultEnv faults;
  DocHandle target{};
  DocHandle source{};
};

TEST_F(ConcatTest, SourceFontsFoundOrAddedInTargetSlotsAndRecordsRenumbered) {
  qs_test::CreateDoc(&target, 1);
  AddText(&target, 0, "B", "target text");
  qs_test::CreateDoc(&source, 1);
  AddText(&source, 0, "A", "in A");
  AddText(&source, 20, "B", "in B");
  FreCell fre = TextAt(40, "A");
  uint16_t fre_entry = 0;
  ASSERT_EQ(QdaAddFreCell(&source, &fre, "free", &fre_entry), 0);
  ChartInf chart{};
  chart.Rows = 1;
  chart.Cols = 2;
  chart.RowHight = 10;
  chart.LineStyle = 1;
  uint16_t chart_entry = 0;
  ASSERT_EQ(QdaAddChart(&source, &chart, &chart_entry), 0);
  ChartCell cell{};
  cell.Font = Font("B");
  ASSERT_EQ(QdaPutChartCell(&source, chart_entry, 1, 1, &cell, "b"), 0);
  cell.Font = Font("A");
  ASSERT_EQ(QdaPutChartCell(&source, chart_entry, 1, 2, &cell, "a"), 0);
  ASSERT_EQ(Slot(&source, 1), "A");
  ASSERT_EQ(Slot(&source, 2), "B");
  const std::string before = PageDigest(&source, 1);

  ASSERT_EQ(QdaConcatDoc(&target, &source), 0);
  EXPECT_EQ(Slot(&target, 1), "B");
  EXPECT_EQ(Slot(&target, 2), "A");
  EXPECT_EQ(PageDigest(&target, 2), before);

  // The stored numbers: "A" (source 1) is now 2, "B" (source 2) is now 1; the other bits stay.
  qs::Page* page = doc(&target).PageAt(2);
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(page->texts.Get(1)->font.number(), 2);
  EXPECT_EQ(page->texts.Get(2)->font.number(), 1);
  EXPECT_EQ(page->fre_cells.Get(1)->font.b0 >> 3, 21);
  EXPECT_EQ(page->fre_cells.Get(1)->font.number(), 2);
  const qs::ChartRec* rec = page->charts.Get(chart_entry >> 8);
  qs::CellAttr attr;
  ASSERT_EQ(page->cell_attrs.Get(rec->cell_attr[1][1], &attr), 0);
  EXPECT_EQ(attr.font.number(), 1);
  ASSERT_EQ(page->cell_attrs.Get(rec->cell_attr[1][2], &attr), 0);
  EXPECT_EQ(attr.font.number(), 2);
}

TEST_F(ConcatTest, FullTargetSlotsAreReusedOnlyWhenUnusedAndNeverTwice) {
  qs_test::CreateDoc(&target, 1);
  const char* names[] = {"T1", "T2", "T3", "T4", "T5"};
  for (int i = 0; i < 5; ++i) AddText(&target, 10 * i, names[i], "x");
  // Free slots 2 and 4: nothing uses them any more.
  ASSERT_EQ(QdaDeletePageData(&target, 0x0202), 0);
  ASSERT_EQ(QdaDeletePageData(&target, 0x0402), 0);
  qs_test::CreateDoc(&source, 1);
  AddText(&source, 0, "X", "x");
  AddText(&source, 10, "Y", "y");
  AddText(&source, 20, "Z", "z");

  ASSERT_EQ(QdaConcatDoc(&target, &source), 0);
  EXPECT_EQ(Slot(&target, 2), "X");
  EXPECT_EQ(Slot(&target, 4), "Y");
  // No slot left for "Z": its text falls back to the default font.
  qs::Page* page = doc(&target).PageAt(2);
  EXPECT_EQ(page->texts.Get(1)->font.number(), 2);
  EXPECT_EQ(page->texts.Get(2)->font.number(), 4);
  EXPECT_EQ(page->texts.Get(3)->font.number(), 0);
}

TEST_F(ConcatTest, InformationBytes55And60MustAgree) {
  struct Row {
    size_t byte;
    int expected;
  } rows[] = {{55, 501}, {60, 501}, {54, 0}, {61, 0}, {1, 0}};
  for (const Row& row : rows) {
    DocInf inf{};
    qs_test::CreateDoc(&target, 1, inf);
    AddText(&target, 0, "B", "kept");
    reinterpret_cast<uint8_t*>(&inf)[row.byte] = 7;
    qs_test::CreateDoc(&source, 2, inf);
    AddText(&source, 0, "A", "a");
    const Snapshot before = Take(&target);
    EXPECT_EQ(QdaConcatDoc(&target, &source), row.expected) << "byte " << row.byte;
    if (row.expected != 0) {
      EXPECT_TRUE(Take(&target) == before) << "byte " << row.byte;
    } else {
      EXPECT_EQ(QdaGetPageCount(&target), 3);
      EXPECT_EQ(QdaQueryDocUpdate(&target), before.updates + 1);
    }
    QdaCloseDoc(&target);
    QdaCloseDoc(&source);
    target = source = DocHandle{};
  }
}

// The texts of the current page in page order, as "Kind:text".
std::vector<std::string> Texts(DocHandle* h) {
  std::vector<std::string> texts;
  for (int i = 1; i <= QdaGetPageDataCount(h); ++i) {
    uint16_t e = 0;
    Text t{};
    char text[256] = {};
    if (QdaGetPageData(h, i, &e) == 0 && (e & 0xFF) == 2 && QdaGetText(h, e, &t, text) == 0)
      texts.push_back(std::to_string(t.Kind) + ":" + text + ":" + t.Font.FontName);
  }
  return texts;
}

TEST_F(ConcatTest, TitleBoundTextsTakeTheSourceTitleWhenTitlesDiffer) {
  struct Row {
    const char* target_title;
    const char* source_title;
    uint8_t kind;
    std::vector<std::string> texts;  // on the appended page
  } rows[] = {
      // Unbound, with the source's title as its text.
      {"Target", "Source", 1, {"0:Source:A", "0:other:A"}},
      // Titles agree: still bound, and showing the title.
      {"Same", "Same", 1, {"1:Same:A", "0:other:A"}},
      // Not bound: untouched.
      {"Target", "Source", 0, {"0:own text:A", "0:other:A"}},
      // No title to show: a text without text is not kept.
      {"Target", "", 1, {"0:other:A"}},
  };
  for (const Row& row : rows) {
    qs_test::CreateDoc(&target, 1, InfWithTitle(row.target_title));
    qs_test::CreateDoc(&source, 1, InfWithTitle(row.source_title));
    AddText(&source, 0, "A", "own text", row.kind);
    AddText(&source, 20, "A", "other");
    ASSERT_EQ(QdaConcatDoc(&target, &source), 0);
    ASSERT_EQ(QdaPutCurPage(&target, 2), 0);
    EXPECT_EQ(Texts(&target), row.texts) << row.target_title << " " << int(row.kind);
    QdaCloseDoc(&target);
    QdaCloseDoc(&source);
    target = source = DocHandle{};
  }
}

TEST_F(ConcatTest, PicturesAreCarriedAndOutliveTheSource) {
  // Pictures below and above the size up to which chains are copied whole through memory; each
  // is appended, saved with the target, reopened and read back.
  for (int size : {40000, 70000, 300000}) {
    SCOPED_TRACE(size);
    std::string bytes;
    for (int i = 0; i < size; ++i) bytes += char(i * 7 + (i >> 8));
    const std::string picture = site.WriteFile("pictures/p.bmp", bytes);
    qs_test::CreateDoc(&target, 1);
    qs_test::CreateDoc(&source, 2);
    InsFigure ins{};
    ins.Geometry[2] = 30;
    char path[256] = {};
    std::strcpy(path, picture.c_str());
    uint16_t e = 0;
    ASSERT_EQ(QdaAddInsFigure(&source, &ins, path, &e), 0);
    ASSERT_EQ(QdaConcatDoc(&target, &source), 0);
    ASSERT_EQ(QdaCloseDoc(&source), 0);
    source = DocHandle{};
    const std::string saved = site.root() + "joined.qdd";
    for (int round = 0; round < 2; ++round) {
      ASSERT_EQ(QdaPutCurPage(&target, 2), 0);
      InsFigure out{};
      char copy[256] = {};
      ASSERT_EQ(QdaGetInsFigure(&target, e, &out, copy), 0);
      EXPECT_EQ(out.Geometry[2], 30);
      EXPECT_NE(std::string(copy), picture);
      EXPECT_EQ(ReadFile(copy), bytes);
      if (round == 0) {
        ASSERT_EQ(QdaSaveDoc(&target, saved.c_str()), 0);
        ASSERT_EQ(QdaCloseDoc(&target), 0);
        target = DocHandle{};
        ASSERT_EQ(QdaOpenDoc(&target, saved.c_str()), 0);
      }
    }
    ASSERT_EQ(QdaCloseDoc(&target), 0);
    target = DocHandle{};
  }
}

// The 'P' numbers of a saved file, in file order.
std::vector<int> PageNumbersInFile(const std::string& path) {
  std::vector<int> numbers;
  for (const qs_test::Record& r : qs_test::FileRecords(path))
    if (r.tag == 'P') numbers.push_back(uint8_t(r.body[0]) | uint8_t(r.body[1]) << 8);
  return numbers;
}

TEST_F(ConcatTest, SavingWritesTheAppendedPagesUnderTheirNewNumbers) {
  qs_test::CreateDoc(&target, 2);
  qs_test::CreateDoc(&source, 3);
  std::vector<std::string> expected;
  for (int n = 1; n <= 2; ++n) {
    ASSERT_EQ(QdaPutCurPage(&target, n), 0);
    AddText(&target, n, "T", ("target " + std::to_string(n)).c_str());
    expected.push_back(PageDigest(&target, n));
  }
  for (int n = 1; n <= 3; ++n) {
    ASSERT_EQ(QdaPutCurPage(&source, n), 0);
    AddText(&source, n, "S", ("source " + std::to_string(n)).c_str());
    expected.push_back(PageDigest(&source, n));
  }
  ASSERT_EQ(QdaConcatDoc(&target, &source), 0);
  const std::string path = site.root() + "joined.qdd";
  ASSERT_EQ(QdaSaveDoc(&target, path.c_str()), 0);
  EXPECT_EQ(PageNumbersInFile(path), (std::vector<int>{1, 2, 3, 4, 5}));

  DocHandle reopened{};
  ASSERT_EQ(QdaOpenDoc(&reopened, path.c_str()), 0);
  for (int n = 1; n <= 5; ++n) EXPECT_EQ(PageDigest(&reopened, n), expected[n - 1]) << n;
  QdaCloseDoc(&reopened);
}

TEST_F(ConcatTest, ItselfIsRefusedAndAnEmptySourceAppendsNothing) {
  qs_test::CreateDoc(&target, 1);
  AddText(&target, 0, "A", "a");
  const Snapshot before = Take(&target);
  EXPECT_EQ(QdaConcatDoc(&target, &target), -1);
  EXPECT_TRUE(Take(&target) == before);
  qs_test::CreateDoc(&source, 0);
  EXPECT_EQ(QdaConcatDoc(&target, &source), 0);
  EXPECT_EQ(QdaGetPageCount(&target), 1);
}

TEST_F(ConcatTest, FailurePartWayLeavesTheTargetAsItWas) {
  qs::test::FaultEnv& env = faults;
  qs::test::ScopedEnv use(&env);
  qs_test::CreateDoc(&target, 1);
  AddText(&target, 0, "B", "target");
  qs_test::CreateDoc(&source, 4);
  for (int n = 1; n <= 4; ++n) {
    ASSERT_EQ(QdaPutCurPage(&source, n), 0);
    AddText(&source, 0, n % 2 ? "A" : "C", "source");
  }
  ASSERT_EQ(doc(&source).FlushPages(), 0);
  ASSERT_EQ(QdaPutCurPage(&target, 1), 0);
  const Snapshot before = Take(&target);

  // Fail each write of the concatenation in turn, until one runs through.
  int failures = 0, status = -1;
  for (int n = 1; status != 0 && n < 50; ++n) {
    env.FailWriteNumber(n);
    status = QdaConcatDoc(&target, &source);
    env.FailWriteNumber(0);
    if (status == 0) break;
    ++failures;
    ASSERT_EQ(status, -1);
    ASSERT_TRUE(Take(&target) == before) << "write " << n;
  }
  EXPECT_GE(failures, 3);
  ASSERT_EQ(status, 0);
  ASSERT_EQ(QdaGetPageCount(&target), 5);
  EXPECT_EQ(PageDigest(&target, 1), before.digests[0]);
  for (int n = 1; n <= 4; ++n) EXPECT_EQ(PageDigest(&target, n + 1), PageDigest(&source, n));
}

// The appended pages go again even when the target's own cached page cannot be written back (its
// picture is gone), since undoing the append writes nothing back.
TEST_F(ConcatTest, FailurePartWayUndoesTheAppendWhateverTheCachedPages) {
  qs::test::FaultEnv& env = faults;
  qs::test::ScopedEnv use(&env);
  qs_test::CreateDoc(&target, 1);
  char path[256] = {};
  std::strcpy(path, site.WriteFile("pictures/gone.bmp", std::string(100, 'x')).c_str());
  uint16_t e = 0;
  InsFigure ins{};
  ASSERT_EQ(QdaAddInsFigure(&target, &ins, path, &e), 0);
  ASSERT_EQ(std::remove(path), 0);  // the add left the copy's name in `path`: the copy is gone
  qs_test::CreateDoc(&source, 3);
  ASSERT_EQ(doc(&source).FlushPages(), 0);
  env.FailWriteNumber(2);
  EXPECT_EQ(QdaConcatDoc(&target, &source), -1);
  env.FailWriteNumber(0);
  EXPECT_EQ(QdaGetPageCount(&target), 1);
}

// A seeded page of varied content: texts in three fonts, a chart on every third page, a free cell
// on every seventh.
void FillPage(DocHandle* h, int seed, const char* const fonts[3]) {
  AddText(h, 0, fonts[seed % 3], ("text " + std::to_string(seed)).c_str());
  if (seed % 3 == 0) {
    ChartInf chart{};
    chart.Rows = 2;
    chart.Cols = 2;
    chart.RowHight = 10;
    chart.LineStyle = 1;
    uint16_t e = 0;
    ASSERT_EQ(QdaAddChart(h, &chart, &e), 0);
    ChartCell cell{};
    cell.Kind = uint8_t(seed & 1);
    cell.Font = Font(fonts[(seed + 1) % 3]);
    ASSERT_EQ(QdaPutChartCell(h, e, 1 + seed % 2, 2, &cell, std::to_string(seed).c_str()), 0);
  }
  if (seed % 7 == 0) {
    FreCell fre = TextAt(50, fonts[(seed + 2) % 3]);
    uint16_t e = 0;
    ASSERT_EQ(QdaAddFreCell(h, &fre, "", &e), 0);
  }
  const PageInf inf{uint8_t(seed & 1), uint8_t((seed >> 1) & 1)};
  ASSERT_EQ(QdaPutPageInf(h, &inf), 0);
}

TEST_F(ConcatTest, ThousandPagesOntoThousandPages) {
  constexpr int kPages = 1000;
  const char* target_fonts[3] = {"F1", "F2", "F3"};
  const char* source_fonts[3] = {"F3", "G1", "F1"};
  qs_test::CreateDoc(&target, 0);
  qs_test::CreateDoc(&source, 0);
  for (int n = 1; n <= kPages; ++n) {
    ASSERT_EQ(QdaInsertPage(&target, 1), 0);
    FillPage(&target, n, target_fonts);
    ASSERT_EQ(QdaInsertPage(&source, 1), 0);
    FillPage(&source, 5 * n + 1, source_fonts);
  }
  std::vector<std::string> expected;
  for (int n = 1; n <= kPages; ++n) expected.push_back(PageDigest(&target, n));
  for (int n = 1; n <= kPages; ++n) expected.push_back(PageDigest(&source, n));

  ASSERT_EQ(QdaConcatDoc(&target, &source), 0);
  ASSERT_EQ(QdaGetPageCount(&target), 2 * kPages);
  for (int n = 1; n <= 2 * kPages; ++n) ASSERT_EQ(PageDigest(&target, n), expected[n - 1]) << n;

  const std::string path = site.root() + "big.qdd";
  ASSERT_EQ(QdaSaveDoc(&target, path.c_str()), 0);
  DocHandle reopened{};
  ASSERT_EQ(QdaOpenDoc(&reopened, path.c_str()), 0);
  for (int n = 1; n <= 2 * kPages; n += 37)
    EXPECT_EQ(PageDigest(&reopened, n), expected[n - 1]) << n;
  QdaCloseDoc(&reopened);
}

}  // namespace
