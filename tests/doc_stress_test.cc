// A document of 2000 pages edited in random page order through the two-page cache, saved, opened
// again, its pages moved and deleted, and its last edits undone and redone, checked against a
// model of what each page must hold at every stage.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "docstore.h"
#include "docstore/document.h"
#include "support/doc_records.h"
#include "support/doc_site.h"

namespace qs_test {
namespace {

constexpr int kPages = 2000;
constexpr int kRows = 3, kCols = 3;
constexpr uint32_t kChartEntry = 1 | 1 << 8;  // the page's only chart
constexpr uint32_t kTextEntry = 2 | 1 << 8;   // and only text
const char* const kFaces[] = {"F1", "F2", "F3"};

struct Cell {
  std::string text;
  int face;
  bool operator==(const Cell& o) const { return text == o.text && face == o.face; }
};

struct PageModel {
  int label = 0;
  std::map<std::pair<int, int>, Cell> cells;
  std::string text;
};

class DocStressTest : public ::testing::Test {
 protected:
  void TearDown() override { QdaCloseDoc(&h); }

  void Build() {
    CreateDoc(&h, kPages);
    model.resize(kPages);
    for (int n = 1; n <= kPages; ++n) {
      ASSERT_EQ(QdaPutCurPage(&h, n), 0);
      ChartInf chart{};
      chart.Right = 300;
      chart.Bottom = 90;
      chart.Rows = kRows;
      chart.Cols = kCols;
      chart.RowHight = 30;
      chart.LineStyle = 1;  // ruled: every position is a cell of its own
      uint16_t entry = 0;
      ASSERT_EQ(QdaAddChart(&h, &chart, &entry), 0);
      ASSERT_EQ(entry, kChartEntry);
      Text text{};
      text.Right = text.Bottom = 50;
      model[size_t(n - 1)].text = "page " + std::to_string(n);
      ASSERT_EQ(QdaAddText(&h, &text, model[size_t(n - 1)].text.c_str(), &entry), 0);
      ASSERT_EQ(entry, kTextEntry);
      model[size_t(n - 1)].label = n;
      LabelPage(&h, n, n);
      PutCell(n, 1, 1, "first", 0);
    }
  }

  void PutCell(int n, int row, int col, const std::string& text, int face) {
    ChartCell cell{};
    std::strcpy(cell.Font.FontName, kFaces[face]);
    ASSERT_EQ(QdaPutChartCell(&h, kChartEntry, uint16_t(row), uint16_t(col), &cell, text.c_str()),
              0);
    model[size_t(n - 1)].cells[{row, col}] = Cell{text, face};
  }

  // One random edit of a random page: a cell, the text, or the label.
  void Edit(int step) {
    const int n = int(random() % uint32_t(model.size())) + 1;
    ASSERT_EQ(QdaPutCurPage(&h, n), 0);
    const std::string text = "s" + std::to_string(step);
    switch (random() % 3) {
      case 0:
        PutCell(n, int(random() % kRows) + 1, int(random() % kCols) + 1, text, int(random() % 3));
        break;
      case 1: {
        Text rec{};
        char old[256] = {};
        ASSERT_EQ(QdaGetText(&h, kTextEntry, &rec, old), 0);
        ASSERT_EQ(QdaPutText(&h, kTextEntry, &rec, text.c_str()), 0);
        model[size_t(n - 1)].text = text;
        break;
      }
      default:
        LabelPage(&h, n, step % 16000 + 1);
        model[size_t(n - 1)].label = step % 16000 + 1;
    }
  }

  // What page `n` holds, against its model.
  void CheckPage(int n) {
    const PageModel& m = model[size_t(n - 1)];
    ASSERT_EQ(QdaPutCurPage(&h, n), 0);
    ASSERT_EQ(LabelOf(&h, n), m.label) << "page " << n;
    Text rec{};
    char text[256] = {};
    ASSERT_EQ(QdaGetText(&h, kTextEntry, &rec, text), 0) << "page " << n;
    ASSERT_EQ(text, m.text) << "page " << n;
    for (int r = 1; r <= kRows; ++r) {
      for (int c = 1; c <= kCols; ++c) {
        ChartCell cell{};
        char cell_text[256] = {};
        const int32_t status =
            QdaGetChartCell(&h, kChartEntry, uint16_t(r), uint16_t(c), &cell, cell_text);
        const auto it = m.cells.find({r, c});
        if (it == m.cells.end()) {
          ASSERT_EQ(status, -1) << "page " << n << " cell " << r << "," << c;
          continue;
        }
        ASSERT_EQ(status, 0) << "page " << n << " cell " << r << "," << c;
        ASSERT_EQ((Cell{cell_text, int(std::find_if(std::begin(kFaces), std::end(kFaces),
                                                    [&](const char* f) {
                                                      return std::strcmp(f, cell.Font.FontName) ==
                                                             0;
                                                    }) -
                                       std::begin(kFaces))}),
                  it->second)
            << "page " << n << " cell " << r << "," << c;
      }
    }
  }

  void CheckAll(const char* stage) {
    ASSERT_EQ(QdaGetPageCount(&h), int32_t(model.size())) << stage;
    for (int n = 1; n <= int(model.size()); ++n) {
      CheckPage(n);
      if (HasFatalFailure()) {
        ADD_FAILURE() << stage;
        return;
      }
    }
  }

  void SaveAndReopen() {
    const std::string path = site.root() + "stress.doc";
    ASSERT_EQ(QdaSaveDoc(&h, path.c_str()), 0);
    ASSERT_EQ(QdaCloseDoc(&h), 0);
    ASSERT_EQ(QdaOpenDoc(&h, path.c_str()), 0);
  }

  DocSite site;
  DocHandle h{};
  std::vector<PageModel> model;  // in page order
  std::mt19937 random{20261208};
};

TEST_F(DocStressTest, ThousandsOfPagesThroughTheCache) {
  Build();
  if (HasFatalFailure()) return;
  for (int step = 0; step < 6000; ++step) {
    Edit(step);
    if (HasFatalFailure()) return;
  }
  CheckAll("edited");
  SaveAndReopen();
  CheckAll("reopened");

  // Moves and deletes in random order; pages carry their content to their new places.
  for (int step = 0; step < 600; ++step) {
    const int count = int(model.size());
    if (random() % 3 == 0) {
      const int n = int(random() % uint32_t(count)) + 1;
      ASSERT_EQ(QdaPutCurPage(&h, n), 0);
      ASSERT_EQ(QdaDeletePage(&h), 0);
      model.erase(model.begin() + (n - 1));
    } else {
      const int from = int(random() % uint32_t(count)) + 1,
                to = int(random() % uint32_t(count)) + 1;
      ASSERT_EQ(QdaMovePage(&h, from, to), 0);
      PageModel moved = std::move(model[size_t(from - 1)]);
      model.erase(model.begin() + (from - 1));
      model.insert(model.begin() + (to - 1), std::move(moved));
    }
    if (step % 50 == 0) Edit(step);  // pages visited between the moves
  }
  CheckAll("moved and deleted");

  // The last steps undone and redone on one page.
  const int n = int(model.size()) / 2;
  ASSERT_EQ(QdaPutCurPage(&h, n), 0);
  ASSERT_EQ(QdaUndoControlStart(&h), 0);
  std::vector<PageModel> states{model[size_t(n - 1)]};
  for (int step = 0; step < 5; ++step) {
    ASSERT_EQ(QdaUndoBlockStart(&h), 0);
    PutCell(n, step % kRows + 1, (step + 1) % kCols + 1, "u" + std::to_string(step), step % 3);
    ASSERT_EQ(QdaUndoBlockEnd(&h), 0);
    states.push_back(model[size_t(n - 1)]);
    // Other pages pass through the cache between the steps (the page changes they would make
    // through the handle would empty the journals), so page n is written back and read again.
    qs::Document* doc = qs::Document::FromHandle(&h);
    ASSERT_NE(doc->PageAt(n - 1), nullptr);
    ASSERT_NE(doc->PageAt(n + 1), nullptr);
    ASSERT_EQ(doc->CachedPage(n), nullptr);
  }
  for (int back = 1; back <= 3; ++back) {
    ASSERT_EQ(QdaUndo(&h), 0);
    model[size_t(n - 1)] = states[size_t(5 - back)];
    CheckPage(n);
  }
  for (int again = 1; again <= 2; ++again) {
    ASSERT_EQ(QdaRedo(&h), 0);
    model[size_t(n - 1)] = states[size_t(2 + again)];
    CheckPage(n);
  }
  EXPECT_EQ(QdaUndoCount(&h), 4);
  EXPECT_EQ(QdaRedoCount(&h), 1);
  SaveAndReopen();
  CheckAll("saved after undo");
}

}  // namespace
}  // namespace qs_test
