// The shared page model under both libraries' traits: each behaviour runs once with the form
// library's and once with the document library's, so a difference between them is stated in one
// row and a change that breaks either shows up here.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
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
  bool document() const { return GetParam() == &Document::kTraits; }
  // A row's expectation for the library under test.
  template <typename T>
  T Pick(T form, T doc) const {
    return document() ? doc : form;
  }

  // A chart of rows x cols cells, each holding the text "<row><col>".
  PageData AddGrid(uint16_t rows, uint16_t cols) {
    // Flag, left, top, right, bottom, rows, cols, row height, line style.
    const ChartInf inf{0, 0, 0, 100 * cols, 0, rows, cols, 10, 1, 0, 0};
    uint16_t raw = 0;
    EXPECT_EQ(AddChart(b, &inf, &raw), kOk);
    const PageData chart = PageData::FromValue(raw);
    for (uint16_t r = 1; r <= rows; ++r)
      for (uint16_t c = 1; c <= cols; ++c) PutCell(chart, r, c, 0, std::to_string(r * 10 + c));
    return chart;
  }
  void PutCell(PageData chart, uint16_t row, uint16_t col, uint8_t kind, const std::string& text) {
    ChartCell cell{};
    cell.Kind = kind;
    EXPECT_EQ(PutChartCell(b, chart, row, col, &cell, text.c_str()), kOk);
  }
  // The texts of a chart's first column, top to bottom, and its shape ("11 21 | 2x1").
  std::string Column(PageData chart) {
    ChartInf inf{};
    if (GetChartInf(b, chart, &inf) != kOk) return "no chart";
    std::string out;
    for (uint16_t r = 1; r <= inf.Rows; ++r) {
      ChartCell cell{};
      char text[256] = "";
      GetChartCell(b, chart, r, 1, &cell, text);
      out += std::string(text) + " ";
    }
    return out + "| " + std::to_string(inf.Rows) + "x" + std::to_string(inf.Cols);
  }

  test::ScratchDir dir{"shared-model"};
  const std::string work = dir.MakeDir("work");
  FakeBinder b{*GetParam(), 1, work};
};

TEST_P(SharedModelTest, FreeCellKindIsKeptOnlyWhereTheLibraryKeepsIt) {
  struct Row {
    const char* name;
    bool fre_cell;
    uint8_t added, put;       // Kind given to the add, then to the put
    uint8_t form[2], doc[2];  // Kind read back after each
  };
  const Row rows[] = {
      {"free cell", true, 5, 5, {0, 0}, {0, 5}},
      {"text", false, 5, 6, {5, 6}, {5, 6}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Text in{};
    in.Kind = row.added;
    uint16_t raw = 0;
    ASSERT_EQ((row.fre_cell ? AddFreCell : AddText)(b, &in, "x", &raw), kOk);
    const PageData entry = PageData::FromValue(raw);
    const auto get = row.fre_cell ? GetFreCell : GetText;
    Text out{};
    char text[256];
    ASSERT_EQ(get(b, entry, &out, text), kOk);
    EXPECT_EQ(out.Kind, Pick(row.form[0], row.doc[0]));
    in.Kind = row.put;
    ASSERT_EQ((row.fre_cell ? PutFreCell : PutText)(b, entry, &in, "y"), kOk);
    ASSERT_EQ(get(b, entry, &out, text), kOk);
    EXPECT_EQ(out.Kind, Pick(row.form[1], row.doc[1]));
    EXPECT_STREQ(text, "y");
  }
}

TEST_P(SharedModelTest, HeaderFooterBlockPresence) {
  struct Row {
    const char* name;
    int set_byte;  // -1: never put; otherwise the put block's only non-zero byte (or none at 360)
    int form, doc;
  };
  const Row rows[] = {
      {"never put", -1, kRefused, kRefused},
      {"all zero", 360, kOk, kRefused},
      {"last byte set", 359, kOk, kOk},
      {"first byte set", 0, kOk, kOk},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    b.header() = Header();
    uint8_t block[360] = {};
    if (row.set_byte >= 0) {
      if (row.set_byte < 360) block[row.set_byte] = 0x5A;
      ASSERT_EQ(PutHeaderFooter(b, block), kOk);
    }
    uint8_t out[360];
    std::memset(out, 0xEE, sizeof out);
    EXPECT_EQ(GetHeaderFooter(b, out), Pick(row.form, row.doc));
    if (Pick(row.form, row.doc) == kOk) {
      EXPECT_EQ(std::memcmp(out, block, sizeof out), 0);
    }
  }
}

TEST_P(SharedModelTest, InsertedFigureSource) {
  ASSERT_TRUE(WriteWholeFile(CurrentEnv(), dir.Sub("a.bmp"), "pic"));
  struct Row {
    const char* name;
    const char* source;
    int form, doc;
    // The copy's name after the work directory: the form library's failed copy used up a name.
    const char* form_copy;
    const char* doc_copy;
  };
  const Row rows[] = {
      {"missing", "missing.bmp", kPictureCopy, kNotFound, "", ""},
      {"present", "a.bmp", kOk, kOk, "QF0070002.bmp", "QD0070001.bmp"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
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
      {"first cursor", 0, false, 0, 1, 0, 0, 0},
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
    const char* name;
    int page;
    int status;
  };
  const Row rows[] = {
      {"first", 1, kOk},
      {"last", max, kOk},
      {"beyond the last", max + 1, kRefused},
      {"none", 0, kRefused},
      {"one that cannot be loaded", max - 1, kRefused},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ASSERT_EQ(PutCurPage(full, row.page), kOk);
    PageInf inf{};
    EXPECT_EQ(GetPageInf(full, &inf), row.status);
    uint16_t raw = 0;
    const Figure fig{};
    EXPECT_EQ(AddFigure(full, &fig, &raw), row.status);
  }
}

TEST_P(SharedModelTest, CellTraversalFilter) {
  const PageData chart = AddGrid(1, 4);
  PutCell(chart, 1, 2, 2, "kind 2");
  PutCell(chart, 1, 3, 1, "kind 1");
  PutCell(chart, 1, 4, 0, "kind 0");
  struct Row {
    uint8_t filter;
    uint16_t from;
    int status;
    uint16_t col;
  };
  const Row rows[] = {
      {0, 1, kOk, 2}, {1, 1, kOk, 3}, {0, 3, kOk, 4}, {1, 3, kEdge, 4}, {0, 4, kEdge, 4},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.filter) + " from " + std::to_string(row.from));
    uint16_t r = 0, c = 0;
    EXPECT_EQ(ChartNextCellEx(b, row.filter, chart, 1, row.from, /*right*/ 4, &r, &c), row.status);
    if (row.status == kOk) {
      EXPECT_EQ(c, row.col);
    }
  }
}

TEST_P(SharedModelTest, UndoAndRedoOfAPut) {
  const PageData chart = AddGrid(1, 1);
  Text fre{};
  fre.Kind = 4;
  uint16_t raw = 0;
  ASSERT_EQ(AddFreCell(b, &fre, "a", &raw), kOk);
  const PageData fre_cell = PageData::FromValue(raw);
  ASSERT_EQ(PutFreCell(b, fre_cell, &fre, "a"), kOk);  // Kind 4 where it is kept
  auto state = [&] {
    ChartCell cell{};
    char text[256] = "", fre_text[256] = "";
    GetChartCell(b, chart, 1, 1, &cell, text);
    Text out{};
    GetFreCell(b, fre_cell, &out, fre_text);
    return std::string(text) + "/" + std::to_string(cell.Kind) + " " + fre_text + "/" +
           std::to_string(out.Kind);
  };
  const std::string kept = Pick<std::string>("0", "4"), changed = Pick<std::string>("0", "6");
  struct Row {
    const char* name;
    std::function<void()> edit;
    std::string after;
  };
  const Row rows[] = {
      {"cell put", [&] { PutCell(chart, 1, 1, 1, "b"); }, "b/1 a/" + kept},
      {"free cell put",
       [&] {
         Text next{};
         next.Kind = 6;
         ASSERT_EQ(PutFreCell(b, fre_cell, &next, "c"), kOk);
       },
       "11/0 c/" + changed},
  };
  ASSERT_EQ(UndoControlStart(b), kOk);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string before = state();
    ASSERT_EQ(UndoBlockStart(b), kOk);
    row.edit();
    ASSERT_EQ(UndoBlockEnd(b), kOk);
    EXPECT_EQ(state(), row.after);
    ASSERT_EQ(Undo(b), kOk);
    EXPECT_EQ(state(), before);
    EXPECT_EQ(RedoCount(b), 1);
    ASSERT_EQ(Redo(b), kOk);
    EXPECT_EQ(state(), row.after);
    ASSERT_EQ(Undo(b), kOk);
  }
  // The journals are the item's scratch files.
  EXPECT_TRUE(CurrentEnv()->Exists(work + GetParam()->scratch_prefix + "0070001.BUF"));
}

TEST_P(SharedModelTest, ChartRowsMoveWithTheirCells) {
  struct Row {
    const char* name;
    bool insert;
    uint8_t after;
    uint16_t row;
    const char* column;  // texts of column 1 afterwards, and the shape
    const char* calls;
  };
  const Row rows[] = {
      {"insert before row 1", true, 0, 1, " 11 21 31 | 4x2", "row+1/1/1 3x2"},
      {"insert after row 3", true, 1, 3, "11 21 31  | 4x2", "row+1/1/4 3x2"},
      {"insert after row 4", true, 1, 4, "11 21 31 | 3x2", ""},
      {"delete row 2", false, 0, 2, "11 31 | 2x2", "row-1/1/2 3x2"},
      {"delete row 4", false, 0, 4, "11 21 31 | 3x2", ""},
  };
  b.record_hooks = true;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const PageData chart = AddGrid(3, 2);
    b.calls.clear();
    const int status = row.insert ? InsertChartR(b, chart, row.after, row.row, 12)
                                  : DeleteChartR(b, chart, row.row);
    EXPECT_EQ(status, *row.calls ? kOk : kRefused);
    EXPECT_EQ(Column(chart), row.column);
    EXPECT_EQ(b.calls,
              *row.calls ? std::vector<std::string>{row.calls} : std::vector<std::string>{});
    ASSERT_EQ(DeletePageData(b, chart), kOk);
  }
}

INSTANTIATE_TEST_SUITE_P(BothLibraries, SharedModelTest,
                         ::testing::Values(&Form::kTraits, &Document::kTraits),
                         [](const ::testing::TestParamInfo<const LibraryTraits*>& info) {
                           return std::string(info.param == &Form::kTraits ? "Form" : "Document");
                         });

}  // namespace
}  // namespace qs
