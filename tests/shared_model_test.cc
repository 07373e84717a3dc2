// The shared page model under both libraries' traits: each behaviour runs once with the form
// library's and once with the document library's, so a difference between them is stated in one
// row and a change that breaks either shows up here.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "common/model/cell_ops.h"
#include "common/model/chart_ops.h"
#include "common/model/content_ops.h"
#include "common/model/header_ops.h"
#include "common/model/page_ops.h"
#include "common/model/with_item.h"
#include "common/status.h"
#include "common/undo/undo_ops.h"
#include "common/undo/undo_replay.h"
#include "docstore/document.h"
#include "formstore/form.h"
#include "platform/env.h"
#include "support/fake_binder.h"
#include "support/scratch_dir.h"

namespace qs {
namespace {

using test::FakeBinder;

class SharedModelTest : public ::testing::TestWithParam<const LibraryTraits*> {
 protected:
  // A row's expectation for the library under test.
  template <typename T>
  T Pick(T form, T doc) const {
    return GetParam() == &Document::kTraits ? doc : form;
  }

  test::ScratchDir dir{"shared-model"};
  const std::string work = dir.MakeDir("work");
  FakeBinder b{*GetParam(), 1, work};
};

TEST_P(SharedModelTest, HeaderFooterBlockPresence) {
  // Never put, or put with only its last or only its first byte set.
  const int kNeverPut = -1;
  for (const int set_byte : {kNeverPut, 359, 0}) {
    SCOPED_TRACE(set_byte);
    b.header() = Header();
    uint8_t block[360] = {};
    if (set_byte != kNeverPut) {
      block[set_byte] = 0x5A;
      ASSERT_EQ(PutHeaderFooter(b, block), kOk);
    }
    uint8_t out[360];
    std::memset(out, 0xEE, sizeof out);
    EXPECT_EQ(GetHeaderFooter(b, out), set_byte == kNeverPut ? kRefused : kOk);
    if (set_byte != kNeverPut) {
      EXPECT_EQ(std::memcmp(out, block, sizeof out), 0);
    }
  }
}

// A missing source: the form library tries the copy (using up a scratch name), the document library
// looks first. Neither leaves a file behind.
TEST_P(SharedModelTest, InsertedFigureSource) {
  ASSERT_TRUE(WriteWholeFile(CurrentEnv(), dir.Sub("a.bmp"), "pic"));
  struct Row {
    const char* source;
    int form, doc;
    const char *form_copy, *doc_copy;  // the copy's name after the work directory
  };
  const Row rows[] = {
      {"missing.bmp", kPictureCopy, kNotFound, "", ""},
      {"a.bmp", kOk, kOk, "QF0070002.bmp", "QD0070001.bmp"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.source);
    InsFigure fig{};
    char path[256] = {};
    const std::string source = dir.Sub(row.source);
    std::strncpy(path, source.c_str(), sizeof path - 1);
    uint16_t entry = 0;
    const int want = Pick(row.form, row.doc);
    EXPECT_EQ(AddInsFigure(b, &fig, path, &entry), want);
    EXPECT_EQ(b.page().ins_figures.Count(), want == kOk ? 1 : 0);
    const std::string copy = Pick(row.form_copy, row.doc_copy);
    EXPECT_EQ(std::string(path), want == kOk ? work + copy : source);
    std::vector<std::string> files;
    ASSERT_TRUE(CurrentEnv()->ListDirectory(work, &files));
    EXPECT_EQ(files, want == kOk ? std::vector<std::string>{copy} : std::vector<std::string>{});
  }
}

TEST_P(SharedModelTest, HandleCursorTranslation) {
  struct Row {
    const char* name;
    int32_t cursor;
    bool moves;
    int chosen;  // the page the body makes current when it moves
    int form_seen, doc_seen;
    int32_t form_cursor, doc_cursor;
  };
  const Row rows[] = {
      {"body moves to page 3", 0, true, 3, 1, 0, 2, 3},
      {"largest cursor", INT32_MAX, false, 0, 0, INT32_MAX, -1, INT32_MAX},
      {"negative cursor", -4, false, 0, -3, -4, -4, -4},
      {"page with no cursor", 0, true, INT_MIN, 1, 0, INT32_MAX, INT32_MIN},
  };
  for (const Row& row : rows) {
    for (bool throws : {false, true}) {
      SCOPED_TRACE(std::string(row.name) + (throws ? ", body throws" : ""));
      FakeBinder::Handle handle{row.cursor, &b};
      int seen = -99;
      const int32_t status = WithItem<FakeBinder>(
          &handle,
          [&](FakeBinder& item) {
            seen = item.current_page();
            if (row.moves) item.set_current_page(row.chosen);
            if (throws) throw std::bad_alloc();
            return 7;
          },
          -9);
      EXPECT_EQ(status, throws ? -9 : 7);
      EXPECT_EQ(seen, Pick(row.form_seen, row.doc_seen));
      EXPECT_EQ(handle.CurPage, Pick(row.form_cursor, row.doc_cursor));
    }
  }
  FakeBinder::Handle no_item{0, nullptr};
  EXPECT_EQ(WithItem<FakeBinder>(
                &no_item, [](FakeBinder&) { return 7; }, -9),
            kRefused);
}

TEST_P(SharedModelTest, PageCallsReachEveryPageUpToTheLimit) {
  const int max = GetParam()->max_pages;
  FakeBinder full(*GetParam(), max, work);
  full.unloadable_page = max - 1;
  EXPECT_EQ(GetPageCount(full), max);
  struct Row {
    int page;
    int status;
  };
  for (const Row& row : {Row{max, kOk}, Row{max + 1, kRefused}, Row{max - 1, kRefused}}) {
    SCOPED_TRACE(row.page);
    ASSERT_EQ(PutCurPage(full, row.page), kOk);
    PageInf inf{};
    EXPECT_EQ(GetPageInf(full, &inf), row.status);
    uint16_t raw = 0;
    const Figure fig{};
    EXPECT_EQ(AddFigure(full, &fig, &raw), row.status);
  }
}

// A non-zero filter passes over cells of any Kind but 1, up to the edge.
TEST_P(SharedModelTest, CellTraversalFilter) {
  const ChartInf inf{0, 0, 0, 400, 0, 1, 4, 10, 1, 0, 0};  // one row, four columns
  uint16_t raw = 0;
  ASSERT_EQ(AddChart(b, &inf, &raw), kOk);
  const PageData chart = PageData::FromValue(raw);
  const uint8_t kinds[] = {0, 2, 1, 0};
  for (uint16_t col = 2; col <= 4; ++col) {
    ChartCell cell{};
    cell.Kind = kinds[col - 1];
    ASSERT_EQ(PutChartCell(b, chart, 1, col, &cell, "x"), kOk);
  }
  uint16_t r = 0, c = 0;
  EXPECT_EQ(ChartNextCellEx(b, 1, chart, 1, 1, /*right*/ 4, &r, &c), kOk);
  EXPECT_EQ(c, 3);
  EXPECT_EQ(ChartNextCellEx(b, 1, chart, 1, 3, /*right*/ 4, &r, &c), kEdge);
}

// Undo and redo of a free cell put restore the Kind the library keeps, through the item's journals.
TEST_P(SharedModelTest, UndoAndRedoOfAFreeCellPut) {
  Text fre{};
  fre.Kind = 4;
  uint16_t raw = 0;
  ASSERT_EQ(AddFreCell(b, &fre, "a", &raw), kOk);
  const PageData entry = PageData::FromValue(raw);
  ASSERT_EQ(PutFreCell(b, entry, &fre, "a"), kOk);
  auto state = [&] {
    Text out{};
    char text[256] = "";
    GetFreCell(b, entry, &out, text);
    return std::string(text) + "/" + std::to_string(out.Kind);
  };
  const std::string before = Pick<std::string>("a/0", "a/4"),
                    after = Pick<std::string>("c/0", "c/6");
  EXPECT_EQ(state(), before);
  ASSERT_EQ(UndoControlStart(b), kOk);
  ASSERT_EQ(UndoBlockStart(b), kOk);
  fre.Kind = 6;
  ASSERT_EQ(PutFreCell(b, entry, &fre, "c"), kOk);
  ASSERT_EQ(UndoBlockEnd(b), kOk);
  EXPECT_EQ(state(), after);
  ASSERT_EQ(Undo(b), kOk);
  EXPECT_EQ(state(), before);
  EXPECT_EQ(RedoCount(b), 1);
  ASSERT_EQ(Redo(b), kOk);
  EXPECT_EQ(state(), after);
  EXPECT_TRUE(CurrentEnv()->Exists(work + GetParam()->scratch_prefix + "0070001.BUF"));
}

INSTANTIATE_TEST_SUITE_P(BothLibraries, SharedModelTest,
                         ::testing::Values(&Form::kTraits, &Document::kTraits),
                         [](const ::testing::TestParamInfo<const LibraryTraits*>& info) {
                           return std::string(info.param == &Form::kTraits ? "Form" : "Document");
                         });

}  // namespace
}  // namespace qs
