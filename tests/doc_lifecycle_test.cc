// Creating, opening, saving and closing documents; the page sequence calls; the update count.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "docstore.h"
#include "docstore/document.h"
#include "platform/env.h"
#include "support/doc_records.h"
#include "support/doc_site.h"
#include "support/fault_env.h"

namespace qs_test {
namespace {

class DocLifecycleTest : public ::testing::Test {
 protected:
  void TearDown() override { QdaCloseDoc(&h); }
  qs::Document& doc() { return *qs::Document::FromHandle(&h); }
  // A document of `n` pages labelled 1..n, page 1 current.
  void MakeLabelled(int n) {
    CreateDoc(&h, n);
    for (int i = 1; i <= n; ++i) LabelPage(&h, i, i);
  }
  std::vector<std::string> FilesOf(const char* prefix) {
    std::vector<std::string> found;
    for (const std::string& name : site.WorkFiles())
      if (name.rfind(prefix, 0) == 0) found.push_back(name);
    return found;
  }

  DocSite site;
  DocHandle h{};
};

TEST_F(DocLifecycleTest, NewDocumentHasNoPagesAndIsNotSaved) {
  DocInf inf{};
  inf.ReadOrder = 7;
  ASSERT_EQ(QdaCreateDoc(&h, &inf), 0);
  EXPECT_EQ(QdaGetPageCount(&h), 0);
  EXPECT_EQ(h.CurPage, 0);
  EXPECT_EQ(QdaQueryDocUpdate(&h), 0);
  EXPECT_EQ(doc().header().rec.inf.ReadOrder, 7);
  EXPECT_EQ(doc().header().rec.version, 2);
  const std::string path = site.WriteFile("old.doc", "previous");
  EXPECT_EQ(QdaSaveDoc(&h, path.c_str()), 108);
  std::string kept;
  ASSERT_TRUE(qs::ReadWholeFile(qs::CurrentEnv(), path, &kept));
  EXPECT_EQ(kept, "previous");
}

TEST_F(DocLifecycleTest, NumbersScratchNamesAndSweep) {
  DocHandle a{}, b{}, c{};
  const DocInf inf{};
  ASSERT_EQ(QdaCreateDoc(&a, &inf), 0);
  ASSERT_EQ(QdaCreateDoc(&b, &inf), 0);
  EXPECT_EQ(qs::Document::FromHandle(&a)->doc_no(), 1u);
  EXPECT_EQ(qs::Document::FromHandle(&b)->doc_no(), 2u);
  EXPECT_EQ(FilesOf("QD001"), std::vector<std::string>{"QD0010001.QDw"});
  const std::string picture = site.WriteFile("pic.bmp", "BMpicture");
  ASSERT_EQ(QdaInsertPage(&a, 1), 0);
  char path[256] = {};
  picture.copy(path, sizeof path - 1);
  uint16_t entry = 0;
  const InsFigure figure{};
  ASSERT_EQ(QdaAddInsFigure(&a, &figure, path, &entry), 0);
  EXPECT_EQ(std::string(path), site.work() + "QD0010002.bmp");

  // Closing the first leaves the counter at 2, so the next document is 3; closing 3 and 2 brings
  // it back to 1.
  EXPECT_EQ(QdaCloseDoc(&a), 0);
  EXPECT_EQ(a.State, nullptr);
  EXPECT_TRUE(FilesOf("QD001").empty());
  ASSERT_EQ(QdaCreateDoc(&c, &inf), 0);
  EXPECT_EQ(qs::Document::FromHandle(&c)->doc_no(), 3u);
  QdaCloseDoc(&c);
  QdaCloseDoc(&b);
  ASSERT_EQ(QdaCreateDoc(&c, &inf), 0);
  EXPECT_EQ(qs::Document::FromHandle(&c)->doc_no(), 2u);
  QdaCloseDoc(&c);
  EXPECT_TRUE(site.WorkFiles().empty());
}

TEST_F(DocLifecycleTest, OpenMakesPageOneCurrentAndCached) {
  MakeLabelled(3);
  const std::string path = site.root() + "three.doc";
  ASSERT_EQ(QdaSaveDoc(&h, path.c_str()), 0);
  QdaCloseDoc(&h);
  ASSERT_EQ(QdaOpenDoc(&h, path.c_str()), 0);
  EXPECT_EQ(h.CurPage, 1);
  EXPECT_NE(doc().CachedPage(1), nullptr);
  EXPECT_EQ(doc().PageAt(4), nullptr);
  EXPECT_EQ(Labels(&h), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(QdaQueryDocUpdate(&h), 0);
}

// Each modifying call counts once; the count is 0 again after a successful save only.
TEST_F(DocLifecycleTest, UpdateCount) {
  MakeLabelled(2);
  const int32_t base = QdaQueryDocUpdate(&h);
  const PageInf inf{1, 0};
  ASSERT_EQ(QdaPutPageInf(&h, &inf), 0);
  EXPECT_EQ(QdaQueryDocUpdate(&h), base + 1);
  ASSERT_EQ(QdaMovePage(&h, 1, 2), 0);
  EXPECT_EQ(QdaQueryDocUpdate(&h), base + 2);
  ASSERT_EQ(QdaInsertPage(&h, 0), 0);
  EXPECT_EQ(QdaQueryDocUpdate(&h), base + 3);
  ASSERT_EQ(QdaDeletePage(&h), 0);
  EXPECT_EQ(QdaQueryDocUpdate(&h), base + 4);
  EXPECT_EQ(QdaMovePage(&h, 1, 3), -1);  // refused: counts nothing
  EXPECT_EQ(QdaQueryDocUpdate(&h), base + 4);

  qs::test::FaultEnv faults;
  {
    qs::test::ScopedSwitch use(site.item_env(), &faults);
    faults.FailRenames(true);
    EXPECT_NE(QdaSaveDoc(&h, (site.root() + "x.doc").c_str()), 0);
  }
  EXPECT_EQ(QdaQueryDocUpdate(&h), base + 4);
  ASSERT_EQ(QdaSaveDoc(&h, (site.root() + "x.doc").c_str()), 0);
  EXPECT_EQ(QdaQueryDocUpdate(&h), 0);
}

// A save that fails leaves the file that was there as it was and the document open and whole.
TEST_F(DocLifecycleTest, FailedSaveKeepsOldFile) {
  MakeLabelled(40);
  const std::string path = site.root() + "kept.doc";
  ASSERT_EQ(QdaSaveDoc(&h, path.c_str()), 0);
  std::string before;
  ASSERT_TRUE(qs::ReadWholeFile(qs::CurrentEnv(), path, &before));
  LabelPage(&h, 1, 99);
  qs::test::FaultEnv faults;
  for (int fault = 0; fault < 3; ++fault) {
    qs::test::ScopedSwitch use(site.item_env(), &faults);
    faults.Reset();
    if (fault == 0) faults.FailWriteNumber(1);
    if (fault == 1) faults.FailSyncs(true);
    if (fault == 2) faults.FailRenames(true);
    EXPECT_NE(QdaSaveDoc(&h, path.c_str()), 0) << fault;
  }
  std::string after;
  ASSERT_TRUE(qs::ReadWholeFile(qs::CurrentEnv(), path, &after));
  EXPECT_TRUE(after == before);
  std::vector<std::string> root_files;
  ASSERT_TRUE(qs::CurrentEnv()->ListDirectory(site.root(), &root_files));
  for (const std::string& name : root_files) EXPECT_EQ(name.find(".tmp"), std::string::npos);
  std::vector<int> expected;
  for (int i = 1; i <= 40; ++i) expected.push_back(i == 1 ? 99 : i);
  EXPECT_EQ(Labels(&h), expected);
}

// A picture that has gone missing fails the save with 301 and keeps the old file; the page that
// holds it can still be deleted, and then the document saves.
TEST_F(DocLifecycleTest, MissingPictureFailsSaveUntilItsPageGoes) {
  MakeLabelled(3);
  const std::string path = site.root() + "pictures.doc";
  ASSERT_EQ(QdaSaveDoc(&h, path.c_str()), 0);
  std::string before;
  ASSERT_TRUE(qs::ReadWholeFile(qs::CurrentEnv(), path, &before));
  ASSERT_EQ(QdaPutCurPage(&h, 2), 0);
  char picture[256] = {};
  site.WriteFile("pic.bmp", "BMbytes").copy(picture, 255);
  const InsFigure figure{};
  uint16_t entry = 0;
  ASSERT_EQ(QdaAddInsFigure(&h, &figure, picture, &entry), 0);
  ASSERT_TRUE(qs::CurrentEnv()->Delete(picture));  // the copy the page names
  EXPECT_EQ(QdaSaveDoc(&h, path.c_str()), 301);
  std::string after;
  ASSERT_TRUE(qs::ReadWholeFile(qs::CurrentEnv(), path, &after));
  EXPECT_TRUE(after == before);
  // Page 2 cannot leave the cache, so page 3 cannot come in.
  EXPECT_EQ(Labels(&h), (std::vector<int>{1, 2, -1}));
  // Nor can page 1 be deleted; it keeps the change it had when the delete failed.
  ASSERT_EQ(QdaPutCurPage(&h, 1), 0);
  LabelPage(&h, 1, 7);
  EXPECT_EQ(QdaDeletePage(&h), 301);
  EXPECT_EQ(LabelOf(&h, 1), 7);
  LabelPage(&h, 1, 1);
  ASSERT_EQ(QdaPutCurPage(&h, 2), 0);
  ASSERT_EQ(QdaDeletePage(&h), 0);
  EXPECT_EQ(Labels(&h), (std::vector<int>{1, 3}));
  EXPECT_EQ(QdaSaveDoc(&h, path.c_str()), 0);
}

// Opens that fail release everything: no state, no scratch files, the number given back.
TEST_F(DocLifecycleTest, FailedOpenReleasesEverything) {
  struct Case {
    const char* name;
    std::string bytes;
    int32_t status;
  };
  const std::vector<Case> cases = {
      {"empty", "", 102},
      {"no header", Frame('P', PageBody(1)), 102},
      {"too many pages", Frame('H', HeaderBody(2, "", 10000)), -101},
      {"page out of range", Frame('H', HeaderBody(2, "", 1)) + Frame('P', PageBody(2)), 102},
  };
  for (const Case& c : cases) {
    const std::string path = site.WriteFile(std::string(c.name) + ".doc", c.bytes);
    h.State = &h;  // whatever was there
    EXPECT_EQ(QdaOpenDoc(&h, path.c_str()), c.status) << c.name;
    EXPECT_EQ(h.State, nullptr) << c.name;
    EXPECT_TRUE(site.WorkFiles().empty()) << c.name;
  }
  EXPECT_EQ(QdaOpenDoc(&h, (site.root() + "missing.doc").c_str()), 100);
  const DocInf inf{};
  ASSERT_EQ(QdaCreateDoc(&h, &inf), 0);
  EXPECT_EQ(doc().doc_no(), 1u);
}

TEST_F(DocLifecycleTest, InsertPlacesAndRefuses) {
  CreateDoc(&h, 0);
  EXPECT_EQ(QdaInsertPage(&h, 0), -1);  // no current page to insert before
  EXPECT_EQ(QdaGetPageCount(&h), 0);
  ASSERT_EQ(QdaInsertPage(&h, 1), 0);
  EXPECT_EQ(h.CurPage, 1);
  EXPECT_EQ(QdaGetPageCount(&h), 1);
  QdaCloseDoc(&h);

  // Insert before page 3 of 5: the new page is page 3 and current, the old page 3 is page 4.
  MakeLabelled(5);
  h.CurPage = 3;
  ASSERT_EQ(QdaInsertPage(&h, 0), 0);
  EXPECT_EQ(h.CurPage, 3);
  EXPECT_EQ(Labels(&h), (std::vector<int>{1, 2, 0, 3, 4, 5}));
  ASSERT_EQ(QdaInsertPage(&h, 1), 0);
  EXPECT_EQ(h.CurPage, 4);
  EXPECT_EQ(Labels(&h), (std::vector<int>{1, 2, 0, 0, 3, 4, 5}));
  // Positions outside 1..count+1 change nothing.
  for (int32_t cur : {0, 9, -4}) {
    h.CurPage = cur;
    EXPECT_EQ(QdaInsertPage(&h, cur == 0 ? 0 : 1), -1) << cur;
    EXPECT_EQ(h.CurPage, cur);
  }
  EXPECT_EQ(QdaGetPageCount(&h), 7);
}

TEST_F(DocLifecycleTest, InsertStopsAtPageLimit) {
  CreateDoc(&h, 0);
  ASSERT_EQ(doc().AppendUnstoredPages(qs::Document::kMaxPages - 1), 0);
  h.CurPage = qs::Document::kMaxPages - 1;
  ASSERT_EQ(QdaInsertPage(&h, 1), 0);
  EXPECT_EQ(QdaGetPageCount(&h), 9999);
  EXPECT_EQ(QdaInsertPage(&h, 1), -1);
  EXPECT_EQ(QdaInsertPage(&h, 0), -1);
  EXPECT_EQ(QdaGetPageCount(&h), 9999);
}

TEST_F(DocLifecycleTest, DeleteAndMove) {
  struct Case {
    const char* name;
    int pages, cur;
    int from, to;  // 0: delete the current page instead
    int32_t status;
    std::vector<int> labels;
    int cur_after;
  };
  const std::vector<Case> cases = {
      {"delete last", 4, 4, 0, 0, 0, {1, 2, 3}, 3},
      {"delete middle", 4, 2, 0, 0, 0, {1, 3, 4}, 2},
      {"delete only", 1, 1, 0, 0, 0, {}, 0},
      {"delete none", 3, 0, 0, 0, -1, {1, 2, 3}, 0},
      {"delete beyond", 3, 4, 0, 0, -1, {1, 2, 3}, 4},
      {"move 1 to 3", 3, 1, 1, 3, 0, {2, 3, 1}, 1},
      {"move 3 to 1", 3, 1, 3, 1, 0, {3, 1, 2}, 1},
      {"move in place", 3, 2, 2, 2, 0, {1, 2, 3}, 2},
      {"move from 0", 3, 1, 0, 2, -1, {1, 2, 3}, 1},
      {"move to 4", 3, 1, 1, 4, -1, {1, 2, 3}, 1},
  };
  for (const Case& c : cases) {
    MakeLabelled(c.pages);
    h.CurPage = c.cur;
    const bool del = c.from == 0 && c.to == 0;
    EXPECT_EQ(del ? QdaDeletePage(&h) : QdaMovePage(&h, c.from, c.to), c.status) << c.name;
    EXPECT_EQ(h.CurPage, c.cur_after) << c.name;
    EXPECT_EQ(Labels(&h), c.labels) << c.name;
    QdaCloseDoc(&h);
  }
}

// Pages keep their content through moves and deletes, and the file gets their new numbers.
TEST_F(DocLifecycleTest, SavedPagesCarryTheirNewNumbers) {
  MakeLabelled(4);
  ASSERT_EQ(QdaMovePage(&h, 4, 1), 0);
  h.CurPage = 3;
  ASSERT_EQ(QdaDeletePage(&h), 0);  // the page labelled 2
  const std::string path = site.root() + "moved.doc";
  ASSERT_EQ(QdaSaveDoc(&h, path.c_str()), 0);
  std::vector<int> numbers, labels;
  for (const Record& r : FileRecords(path)) {
    if (r.tag != 'P') continue;
    numbers.push_back(uint8_t(r.body[0]) | uint8_t(r.body[1]) << 8);
    labels.push_back((uint8_t(r.body[2]) | uint8_t(r.body[3]) << 8) >> 2);
  }
  EXPECT_EQ(numbers, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(labels, (std::vector<int>{4, 1, 3}));
}

// Page insertion and deletion empty both journals; a move empties them only when another page
// now stands at the current position.
TEST_F(DocLifecycleTest, PageSequenceCallsEmptyJournals) {
  struct Case {
    const char* name;
    int32_t (*call)(DocHandle*);
    bool empties;
  };
  const std::vector<Case> cases = {
      {"insert", [](DocHandle* d) { return QdaInsertPage(d, 1); }, true},
      {"delete", [](DocHandle* d) { return QdaDeletePage(d); }, true},
      {"move across current", [](DocHandle* d) { return QdaMovePage(d, 1, 3); }, true},
      {"move elsewhere", [](DocHandle* d) { return QdaMovePage(d, 3, 4); }, false},
      {"save", [](DocHandle* d) { return QdaSaveDoc(d, "/nonexistent-dir/x.doc"); }, true},
  };
  for (const Case& c : cases) {
    MakeLabelled(4);
    h.CurPage = 2;
    ASSERT_EQ(QdaUndoControlStart(&h), 0);
    ASSERT_EQ(QdaUndoBlockStart(&h), 0);
    const PageInf inf{1, 1};
    ASSERT_EQ(QdaPutPageInf(&h, &inf), 0);
    uint16_t entry = 0;
    ChartInf chart{};
    chart.Rows = chart.Cols = 2;
    chart.Right = chart.Bottom = 100;
    chart.RowHight = 50;
    ASSERT_EQ(QdaAddChart(&h, &chart, &entry), 0);
    ASSERT_EQ(QdaUndoBlockEnd(&h), 0);
    ASSERT_EQ(QdaUndoCount(&h), 1) << c.name;
    c.call(&h);
    EXPECT_EQ(QdaUndoCount(&h), c.empties ? 0 : 1) << c.name;
    QdaCloseDoc(&h);
  }
}

}  // namespace
}  // namespace qs_test
