// Undo and redo through the form library's calls: brackets and counts, what empties the journals,
// and the round trip of every journalled edit.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "common/undo/journal.h"
#include "common/undo/undo_entry.h"
#include "formstore.h"
#include "formstore/form.h"
#include "platform/env.h"
#include "support/form_fixture.h"
#include "support/page_dump.h"

namespace {

using qs_test::DescribeDifference;
using qs_test::DumpPage;
using qs_test::Font;
using qs_test::PageDump;

ChartInf ChartOf(int rows, int cols, int left = 0) {
  ChartInf inf{};
  inf.Left = left;
  inf.Right = left + 100 * cols;
  inf.Rows = uint16_t(rows);
  inf.Cols = uint16_t(cols);
  inf.RowHight = 20;
  inf.LineStyle = 1;
  inf.LineParam = 2;
  return inf;
}

ChartCell CellOf(const char* font) {
  ChartCell cell{};
  cell.Font = Font(font);
  cell.Attr[0] = 7;
  cell.Color1 = 0x0000FF;
  cell.Mode = 1;
  return cell;
}

Text TextOf(int left, const char* font = "Gothic") {
  Text rec{};
  rec.Left = left;
  rec.Top = 10;
  rec.Right = left + 50;
  rec.Bottom = 30;
  rec.Font = Font(font);
  rec.Attr[2] = 3;
  return rec;
}

ChartLine LineOf(uint8_t style, uint16_t param = 0, uint32_t color = 0) {
  ChartLine line{};
  line.Style = style;
  line.Param = param;
  line.Color = color;
  return line;
}

class UndoTest : public qs_test::FormTest {
 protected:
  explicit UndoTest(int pages = 1) : FormTest(pages) {}
  void SetUp() override {
    FormTest::SetUp();
    ASSERT_EQ(QfaUndoControlStart(&h), 0);
  }

  uint16_t AddChart(int rows, int cols) {
    const ChartInf inf = ChartOf(rows, cols);
    uint16_t entry = 0;
    EXPECT_EQ(QfaAddChart(&h, &inf, &entry), 0);
    return entry;
  }
  // Gives every cell of a chart a text naming its position, so that moved cells show.
  void FillCells(uint16_t chart, int rows, int cols) {
    const ChartCell cell = CellOf("Mincho");
    for (int r = 1; r <= rows; ++r)
      for (int c = 1; c <= cols; ++c) {
        const std::string text = "r" + std::to_string(r) + "c" + std::to_string(c);
        ASSERT_EQ(QfaPutChartCell(&h, chart, uint16_t(r), uint16_t(c), &cell, text.c_str()), 0);
      }
  }
  std::string CellText(uint16_t chart, int row, int col) {
    ChartCell cell{};
    char text[256] = {};
    const int status = QfaGetChartCell(&h, chart, uint16_t(row), uint16_t(col), &cell, text);
    return status == 0 ? std::string(text) : "status " + std::to_string(status);
  }
  uint16_t AddText(const char* s, int left = 0) {
    const Text rec = TextOf(left);
    uint16_t entry = 0;
    EXPECT_EQ(QfaAddText(&h, &rec, s, &entry), 0);
    return entry;
  }
  // Runs `edit` as one step, then checks that undo gives back the page as it was, redo the page
  // as the edit left it, and that both can be repeated.
  void ExpectRoundTrip(const std::function<void()>& edit) {
    const PageDump before = DumpPage(&h);
    const int steps = QfaUndoCount(&h);
    ASSERT_EQ(QfaUndoBlockStart(&h), 0);
    edit();
    ASSERT_EQ(QfaUndoBlockEnd(&h), 0);
    const PageDump after = DumpPage(&h);
    ASSERT_NE(before, after) << "the edit changed nothing";
    ASSERT_EQ(QfaUndoCount(&h), steps + 1);
    for (int round = 0; round < 2; ++round) {
      ASSERT_EQ(QfaUndo(&h), 0);
      EXPECT_EQ(DescribeDifference(before, DumpPage(&h)), "") << "after undo " << round;
      EXPECT_EQ(QfaUndoCount(&h), steps);
      EXPECT_EQ(QfaRedoCount(&h), 1);
      ASSERT_EQ(QfaRedo(&h), 0);
      EXPECT_EQ(DescribeDifference(after, DumpPage(&h)), "") << "after redo " << round;
      EXPECT_EQ(QfaUndoCount(&h), steps + 1);
      EXPECT_EQ(QfaRedoCount(&h), 0);
    }
  }
  qs::Journal& UndoJournal() { return *form().undo().undo_journal; }
  qs::Journal& RedoJournal() { return *form().undo().redo_journal; }
  // The newest entry of the undo journal, read from its file (the journal is the older of the
  // two ".BUF" files).
  qs::EntryHeader NewestUndoEntry(std::string* data) {
    std::string file;
    std::string name;
    for (const std::string& n : site.WorkFiles())
      if (n.size() > 4 && n.substr(n.size() - 4) == ".BUF") {
        name = n;
        break;
      }
    EXPECT_TRUE(qs::ReadWholeFile(qs::Env::Default(), site.work() + name, &file));
    const auto* p = reinterpret_cast<const uint8_t*>(file.data()) + UndoJournal().last_offset();
    qs::EntryHeader header;
    header.action = int32_t(qs::GetU32(p));
    header.kind = int32_t(qs::GetU32(p + 8));
    header.data_length = int32_t(qs::GetU32(p + 16));
    data->assign(reinterpret_cast<const char*>(p + 20), size_t(header.data_length));
    return header;
  }
};

// ---- Brackets and counts ----

TEST_F(UndoTest, NothingHappensBeforeJournallingStarts) {
  ASSERT_EQ(QfaUndoControlEnd(&h), 0);
  const uint16_t chart = AddChart(2, 2);
  EXPECT_EQ(QfaUndoCount(&h), 0);
  EXPECT_EQ(QfaRedoCount(&h), 0);
  EXPECT_EQ(QfaUndoBlockStart(&h), -1);
  ASSERT_EQ(QfaDeletePageData(&h, chart), 0);
  EXPECT_EQ(QfaUndoBlockEnd(&h), -1);
  EXPECT_EQ(QfaUndo(&h), 0);
  EXPECT_EQ(QfaRedo(&h), 0);
  EXPECT_EQ(QfaGetPageDataCount(&h), 0);
}

TEST_F(UndoTest, OnlyBlocksWithJournalledEditsCount) {
  ASSERT_EQ(QfaUndoBlockStart(&h), 0);
  ASSERT_EQ(QfaUndoBlockEnd(&h), 0);
  EXPECT_EQ(QfaUndoCount(&h), 0);

  ASSERT_EQ(QfaUndoBlockStart(&h), 0);
  AddText("a");
  AddText("b");
  AddText("c");
  ASSERT_EQ(QfaUndoBlockEnd(&h), 0);
  EXPECT_EQ(QfaUndoCount(&h), 1);

  // Between blocks nothing is journalled.
  AddText("d");
  EXPECT_EQ(QfaUndoCount(&h), 1);
  ASSERT_EQ(QfaUndo(&h), 0);
  EXPECT_EQ(QfaGetPageDataCount(&h), 1);  // "d" stays
}

TEST_F(UndoTest, NestedBlocksAreOneStep) {
  const uint16_t text = AddText("old");
  ASSERT_EQ(QfaUndoBlockStart(&h), 0);
  ASSERT_EQ(QfaUndoBlockStart(&h), 0);
  const Text rec = TextOf(0);
  ASSERT_EQ(QfaPutText(&h, text, &rec, "new"), 0);
  ASSERT_EQ(QfaUndoBlockEnd(&h), 0);
  EXPECT_EQ(QfaUndoCount(&h), 0);
  AddText("second");
  ASSERT_EQ(QfaUndoBlockEnd(&h), 0);
  EXPECT_EQ(QfaUndoCount(&h), 1);

  ASSERT_EQ(QfaUndo(&h), 0);
  EXPECT_EQ(QfaGetPageDataCount(&h), 1);
  Text out{};
  char s[256] = {};
  ASSERT_EQ(QfaGetText(&h, text, &out, s), 0);
  EXPECT_STREQ(s, "old");
}

TEST_F(UndoTest, UndoWithNothingToUndo) {
  EXPECT_EQ(QfaUndo(&h), -1);
  EXPECT_EQ(QfaRedo(&h), -1);
  ASSERT_EQ(QfaUndoBlockStart(&h), 0);
  AddText("a");
  ASSERT_EQ(QfaUndoBlockEnd(&h), 0);
  ASSERT_EQ(QfaUndo(&h), 0);
  EXPECT_EQ(QfaUndo(&h), -1);
  EXPECT_EQ(QfaUndoCount(&h), 0);
  EXPECT_EQ(QfaRedoCount(&h), 1);
}

TEST_F(UndoTest, ANewBlockMakesUndoneStepsUnreachable) {
  ASSERT_EQ(QfaUndoBlockStart(&h), 0);
  AddText("a");
  ASSERT_EQ(QfaUndoBlockEnd(&h), 0);
  ASSERT_EQ(QfaUndo(&h), 0);
  ASSERT_EQ(QfaRedoCount(&h), 1);
  ASSERT_EQ(QfaUndoBlockStart(&h), 0);
  EXPECT_EQ(QfaRedoCount(&h), 0);
  ASSERT_EQ(QfaUndoBlockEnd(&h), 0);
  EXPECT_EQ(QfaRedo(&h), -1);
  EXPECT_EQ(QfaGetPageDataCount(&h), 0);
}

TEST_F(UndoTest, ASurplusBlockEndDoesNotStopJournalling) {
  ASSERT_EQ(QfaUndoBlockStart(&h), 0);
  AddText("a");
  ASSERT_EQ(QfaUndoBlockEnd(&h), 0);
  EXPECT_EQ(QfaUndoBlockEnd(&h), 0);
  EXPECT_EQ(QfaUndoCount(&h), 1);

  ASSERT_EQ(QfaUndoBlockStart(&h), 0);
  AddText("b");
  ASSERT_EQ(QfaUndoBlockEnd(&h), 0);
  EXPECT_EQ(QfaUndoCount(&h), 2);
  ASSERT_EQ(QfaUndo(&h), 0);
  ASSERT_EQ(QfaUndo(&h), 0);
  EXPECT_EQ(QfaGetPageDataCount(&h), 0);
}

class UndoPagesTest : public UndoTest {
 protected:
  UndoPagesTest() : UndoTest(2) {}
};

TEST_F(UndoPagesTest, ChangingThePageEmptiesBothJournals) {
  ASSERT_EQ(QfaUndoBlockStart(&h), 0);
  AddText("a");
  ASSERT_EQ(QfaUndoBlockEnd(&h), 0);
  ASSERT_EQ(QfaUndoBlockStart(&h), 0);
  AddText("b");
  ASSERT_EQ(QfaUndoBlockEnd(&h), 0);
  ASSERT_EQ(QfaUndo(&h), 0);
  ASSERT_EQ(QfaPutCurPage(&h, 1), 0);
  EXPECT_EQ(QfaUndoCount(&h), 1);
  EXPECT_EQ(QfaRedoCount(&h), 1);
  ASSERT_EQ(QfaPutCurPage(&h, 2), 0);
  EXPECT_EQ(QfaUndoCount(&h), 0);
  EXPECT_EQ(QfaRedoCount(&h), 0);
}

// ---- Round trips of each journalled edit ----

TEST_F(UndoTest, PutCellTextRoundTrip) {
  const uint16_t chart = AddChart(2, 2);
  const ChartCell cell = CellOf("Mincho");
  ASSERT_EQ(QfaPutChartCell(&h, chart, 1, 1, &cell, "old"), 0);
  ExpectRoundTrip([&] { ASSERT_EQ(QfaPutChartCell(&h, chart, 1, 1, &cell, "new"), 0); });
  ASSERT_EQ(QfaUndo(&h), 0);
  EXPECT_EQ(CellText(chart, 1, 1), "old");
}

TEST_F(UndoTest, ACellPutWhereNoneWasIsTakenAwayAgain) {
  const uint16_t chart = AddChart(2, 2);
  const ChartCell cell = CellOf("Mincho");
  ExpectRoundTrip([&] { ASSERT_EQ(QfaPutChartCell(&h, chart, 2, 1, &cell, "first"), 0); });
  ASSERT_EQ(QfaUndo(&h), 0);
  EXPECT_EQ(CellText(chart, 2, 1), "status -1");
}

TEST_F(UndoTest, ACellPutBesideAnOriginComesBack) {
  const uint16_t chart = AddChart(2, 2);
  const ChartCell cell = CellOf("Mincho");
  ASSERT_EQ(QfaPutChartCell(&h, chart, 1, 2, &cell, "kept"), 0);
  const ChartLine none = LineOf(0);
  ASSERT_EQ(QfaPutChartVline(&h, chart, 1, 1, &none), 0);  // (1, 2) is no longer an origin
  ASSERT_EQ(CellText(chart, 1, 2), "status -2");
  ExpectRoundTrip([&] { ASSERT_EQ(QfaPutChartCell(&h, chart, 1, 2, &cell, "replaced"), 0); });
  ASSERT_EQ(QfaUndo(&h), 0);
  const ChartLine line = LineOf(1);
  ASSERT_EQ(QfaPutChartVline(&h, chart, 1, 1, &line), 0);  // outside a block: not journalled
  EXPECT_EQ(CellText(chart, 1, 2), "kept");
}

TEST_F(UndoTest, LineRoundTrips) {
  const uint16_t chart = AddChart(3, 3);
  const ChartLine line = LineOf(3, 9, 0xFF0000);
  ExpectRoundTrip([&] {
    ASSERT_EQ(QfaPutChartVline(&h, chart, 2, 3, &line), 0);
    ASSERT_EQ(QfaPutChartHline(&h, chart, 0, 1, &line), 0);
  });
}

TEST_F(UndoTest, ChartInformationRoundTrip) {
  const uint16_t chart = AddChart(2, 3);
  ChartInf inf{};
  ASSERT_EQ(QfaGetChartInf(&h, chart, &inf), 0);
  inf.Flag = 4;
  inf.Left = 70;
  inf.LineStyle = 2;
  ExpectRoundTrip([&] { ASSERT_EQ(QfaPutChartInf(&h, chart, &inf), 0); });
}

TEST_F(UndoTest, HeightAndWidthRoundTrip) {
  const uint16_t chart = AddChart(3, 3);
  ExpectRoundTrip([&] {
    ASSERT_EQ(QfaPutChartRHight(&h, chart, 2, 55), 0);
    ASSERT_EQ(QfaPutChartCWidth(&h, chart, 3, 140), 0);
  });
  ASSERT_EQ(QfaUndo(&h), 0);
  ChartInf inf{};
  ASSERT_EQ(QfaGetChartInf(&h, chart, &inf), 0);
  EXPECT_EQ(int32_t{inf.Bottom}, 60);
  EXPECT_EQ(int32_t{inf.Right}, 300);
}

TEST_F(UndoTest, AddedItemsGoAgain) {
  ExpectRoundTrip([&] {
    AddChart(2, 2);
    AddText("text");
    const FreCell cell = TextOf(5);
    uint16_t entry = 0;
    ASSERT_EQ(QfaAddFreCell(&h, &cell, "free", &entry), 0);
    Figure figure{};
    figure.Shape = 2;
    ASSERT_EQ(QfaAddFigure(&h, &figure, &entry), 0);
  });
}

TEST_F(UndoTest, ContentPutsRoundTrip) {
  const uint16_t text = AddText("text");
  const FreCell cell = TextOf(5);
  uint16_t free_cell = 0, figure_entry = 0, ins_entry = 0;
  ASSERT_EQ(QfaAddFreCell(&h, &cell, "free", &free_cell), 0);
  Figure figure{};
  figure.Shape = 2;
  ASSERT_EQ(QfaAddFigure(&h, &figure, &figure_entry), 0);
  char path[256] = {};
  std::strcpy(path, site.WriteFile("pic.bmp", "picture").c_str());
  InsFigure ins{};
  ins.Geometry[0] = 1;
  ASSERT_EQ(QfaAddInsFigure(&h, &ins, path, &ins_entry), 0);

  ExpectRoundTrip([&] {
    const Text rec = TextOf(40, "Mincho");
    ASSERT_EQ(QfaPutText(&h, text, &rec, std::string(255, 'x').c_str()), 0);
    ASSERT_EQ(QfaPutFreCell(&h, free_cell, &rec, ""), 0);
    Figure f = figure;
    f.Geometry[3] = 9;
    f.Color2 = 0x00FF00;
    ASSERT_EQ(QfaPutFigure(&h, figure_entry, &f), 0);
    InsFigure g = ins;
    g.Mode = 3;
    ASSERT_EQ(QfaPutInsFigure(&h, ins_entry, &g), 0);
  });
}

TEST_F(UndoTest, DeletedChartComesBackUnderItsNumberWithItsContent) {
  AddChart(1, 1);
  AddChart(1, 1);
  const uint16_t chart = AddChart(3, 2);
  ASSERT_EQ(chart, 1 | (3 << 8));
  FillCells(chart, 3, 2);
  const ChartLine thick = LineOf(4, 3, 0x0000FF), none = LineOf(0, 5);
  ASSERT_EQ(QfaPutChartVline(&h, chart, 2, 1, &thick), 0);
  ASSERT_EQ(QfaPutChartVline(&h, chart, 3, 2, &none), 0);
  ASSERT_EQ(QfaPutChartHline(&h, chart, 1, 2, &none), 0);
  ASSERT_EQ(QfaPutChartHline(&h, chart, 3, 1, &thick), 0);
  ASSERT_EQ(QfaPutChartRHight(&h, chart, 2, 35), 0);
  ASSERT_EQ(QfaPutChartCWidth(&h, chart, 1, 120), 0);
  ChartInf inf{};
  ASSERT_EQ(QfaGetChartInf(&h, chart, &inf), 0);
  inf.Flag = 6;
  inf.RowHight = 4;
  ASSERT_EQ(QfaPutChartInf(&h, chart, &inf), 0);
  ASSERT_EQ(QfaPutChartHR(&h, chart, 3, 1), 0);
  const PageDump before = DumpPage(&h);

  ASSERT_EQ(QfaUndoBlockStart(&h), 0);
  ASSERT_EQ(QfaDeletePageData(&h, 1 | (1 << 8)), 0);
  ASSERT_EQ(QfaUndoBlockEnd(&h), 0);
  ASSERT_EQ(QfaUndoBlockStart(&h), 0);
  ASSERT_EQ(QfaDeletePageData(&h, chart), 0);
  ASSERT_EQ(QfaUndoBlockEnd(&h), 0);
  const PageDump after = DumpPage(&h);

  ASSERT_EQ(QfaUndo(&h), 0);
  PageDump expected = before;
  expected.erase(1 | (1 << 8));
  expected[0] = "2: 1/2 1/3";
  EXPECT_EQ(DescribeDifference(expected, DumpPage(&h)), "");
  // The chart came back last in the page order, and the redo journal holds only its addition.
  uint16_t last = 0;
  ASSERT_EQ(QfaGetPageData(&h, 2, &last), 0);
  EXPECT_EQ(last, chart);
  EXPECT_EQ(QfaRedoCount(&h), 1);
  EXPECT_EQ(RedoJournal().end_offset(), qs::kEntryHeaderSize + 2 + sizeof(ChartInf));

  ASSERT_EQ(QfaRedo(&h), 0);
  EXPECT_EQ(DescribeDifference(after, DumpPage(&h)), "");
  ASSERT_EQ(QfaUndo(&h), 0);
  ASSERT_EQ(QfaUndo(&h), 0);
  EXPECT_EQ(DescribeDifference(before, DumpPage(&h)), "");
}

// The chart comes back and goes again within one replay; its second going must be journalled for
// the way back.
TEST_F(UndoTest, AChartAddedAndDeletedInOneStep) {
  AddText("kept");
  ExpectRoundTrip([&] {
    const uint16_t chart = AddChart(2, 2);
    FillCells(chart, 2, 2);
    ASSERT_EQ(QfaDeletePageData(&h, chart), 0);
    ASSERT_EQ(QfaDeletePageData(&h, 2 | (1 << 8)), 0);
  });
}

TEST_F(UndoTest, DeletedRowComesBack) {
  const uint16_t chart = AddChart(3, 3);
  FillCells(chart, 3, 3);
  const ChartLine thick = LineOf(4, 1, 0xFF), dotted = LineOf(2, 8);
  ASSERT_EQ(QfaPutChartHline(&h, chart, 1, 2, &thick), 0);
  ASSERT_EQ(QfaPutChartHline(&h, chart, 2, 3, &dotted), 0);
  ASSERT_EQ(QfaPutChartVline(&h, chart, 2, 0, &dotted), 0);
  ASSERT_EQ(QfaPutChartRHight(&h, chart, 2, 44), 0);
  // An HR on the deleted row moves up with the deletion; the undo moves it back.
  ASSERT_EQ(QfaPutChartHR(&h, chart, 2, 3), 0);
  ExpectRoundTrip([&] { ASSERT_EQ(QfaDeleteChartR(&h, chart, 2), 0); });
  // Now the last row, whose bottom edge has lines.
  ExpectRoundTrip([&] { ASSERT_EQ(QfaDeleteChartR(&h, chart, 2), 0); });
}

TEST_F(UndoTest, DeletedColumnComesBack) {
  const uint16_t chart = AddChart(2, 3);
  FillCells(chart, 2, 3);
  const ChartLine thick = LineOf(4, 1, 0xFF);
  ASSERT_EQ(QfaPutChartVline(&h, chart, 1, 1, &thick), 0);
  ASSERT_EQ(QfaPutChartHline(&h, chart, 0, 1, &thick), 0);
  ExpectRoundTrip([&] { ASSERT_EQ(QfaDeleteChartC(&h, chart, 1), 0); });
}

TEST_F(UndoTest, AColumnInsertedAfterColumnThreeIsJournalledAsColumnFour) {
  const uint16_t chart = AddChart(2, 4);
  FillCells(chart, 2, 4);
  const PageDump before = DumpPage(&h);
  ASSERT_EQ(QfaUndoBlockStart(&h), 0);
  ASSERT_EQ(QfaInsertChartC(&h, chart, 1, 3, 50), 0);
  ASSERT_EQ(QfaUndoBlockEnd(&h), 0);
  std::string data;
  const qs::EntryHeader newest = NewestUndoEntry(&data);
  EXPECT_EQ(newest.kind, qs::kColInserted);
  ASSERT_EQ(data.size(), qs::kSizeEntryLength);
  EXPECT_EQ(qs::GetU16(reinterpret_cast<const uint8_t*>(data.data()) + 2), 4);
  EXPECT_EQ(qs::GetU32(reinterpret_cast<const uint8_t*>(data.data()) + 4), 50u);
  EXPECT_EQ(CellText(chart, 1, 5), "r1c4");
  ASSERT_EQ(QfaUndo(&h), 0);
  EXPECT_EQ(CellText(chart, 1, 4), "r1c4");
  EXPECT_EQ(DescribeDifference(before, DumpPage(&h)), "");
}

TEST_F(UndoTest, InsertedRowsAndColumnsGoAgain) {
  const uint16_t chart = AddChart(3, 3);
  FillCells(chart, 3, 3);
  ExpectRoundTrip([&] {
    ASSERT_EQ(QfaInsertChartR(&h, chart, 0, 1, 15), 0);
    ASSERT_EQ(QfaInsertChartR(&h, chart, 1, 2, 25), 0);
    ASSERT_EQ(QfaInsertChartC(&h, chart, 0, 2, 35), 0);
  });
}

// Deleting the last row keeps the edge above it when the chart's bottom edge has no line; a row
// added at the end of such a chart must still go without changing that edge.
TEST_F(UndoTest, ARowAddedBelowABareBottomEdgeGoesCleanly) {
  const uint16_t chart = AddChart(3, 2);
  const ChartLine bare = LineOf(0, 6), inner = LineOf(2, 1);
  for (uint16_t c = 1; c <= 2; ++c) {
    ASSERT_EQ(QfaPutChartHline(&h, chart, 3, c, &bare), 0);
    ASSERT_EQ(QfaPutChartHline(&h, chart, 2, c, &inner), 0);
  }
  ExpectRoundTrip([&] { ASSERT_EQ(QfaInsertChartR(&h, chart, 1, 3, 30), 0); });
}

TEST_F(UndoTest, AColumnAddedBesideABareRightEdgeGoesCleanly) {
  const uint16_t chart = AddChart(2, 3);
  const ChartLine bare = LineOf(0, 6), inner = LineOf(2, 1);
  for (uint16_t r = 1; r <= 2; ++r) {
    ASSERT_EQ(QfaPutChartVline(&h, chart, r, 3, &bare), 0);
    ASSERT_EQ(QfaPutChartVline(&h, chart, r, 2, &inner), 0);
  }
  ExpectRoundTrip([&] { ASSERT_EQ(QfaInsertChartC(&h, chart, 0, 4, 30), 0); });
}

TEST_F(UndoTest, DeletedTextsComeBackUnderTheirNumbers) {
  AddText("one");
  AddText("two");
  const uint16_t third = AddText("three", 30);
  ASSERT_EQ(QfaUndoBlockStart(&h), 0);
  ASSERT_EQ(QfaDeletePageData(&h, 2 | (1 << 8)), 0);
  ASSERT_EQ(QfaUndoBlockEnd(&h), 0);
  ASSERT_EQ(QfaUndoBlockStart(&h), 0);
  ASSERT_EQ(QfaDeletePageData(&h, third), 0);
  ASSERT_EQ(QfaUndoBlockEnd(&h), 0);

  ASSERT_EQ(QfaUndo(&h), 0);
  Text rec{};
  char s[256] = {};
  ASSERT_EQ(QfaGetText(&h, third, &rec, s), 0);
  EXPECT_STREQ(s, "three");
  EXPECT_EQ(int32_t{rec.Left}, 30);
  EXPECT_EQ(QfaGetText(&h, 2 | (1 << 8), &rec, s), -1);
  ASSERT_EQ(QfaRedo(&h), 0);
  EXPECT_EQ(QfaGetText(&h, third, &rec, s), -1);
  ASSERT_EQ(QfaGetPageDataCount(&h), 1);
}

TEST_F(UndoTest, DeletedContentRoundTrips) {
  AddText("text");
  const FreCell cell = TextOf(5);
  uint16_t free_cell = 0, figure_entry = 0;
  ASSERT_EQ(QfaAddFreCell(&h, &cell, "free", &free_cell), 0);
  Figure figure{};
  figure.Shape = 2;
  figure.Geometry[0] = 8;
  ASSERT_EQ(QfaAddFigure(&h, &figure, &figure_entry), 0);
  ExpectRoundTrip([&] {
    ASSERT_EQ(QfaDeletePageData(&h, free_cell), 0);
    ASSERT_EQ(QfaDeletePageData(&h, figure_entry), 0);
  });
}

TEST_F(UndoTest, ADeletedInsertedFigureTravelsInTheJournal) {
  std::string picture(30000, '\0');
  for (size_t i = 0; i < picture.size(); ++i) picture[i] = char(i % 253);
  char path[256] = {};
  std::strcpy(path, site.WriteFile("photo.bmp", picture).c_str());
  InsFigure ins{};
  ins.Geometry[4] = 12;
  uint16_t entry = 0;
  ASSERT_EQ(QfaAddInsFigure(&h, &ins, path, &entry), 0);
  const std::string copy = path;

  const uint32_t end = UndoJournal().end_offset();
  ExpectRoundTrip([&] {
    ASSERT_EQ(QfaDeletePageData(&h, entry), 0);
    EXPECT_FALSE(qs::Env::Default()->Exists(copy));
    EXPECT_EQ(UndoJournal().end_offset(), end + 20 + 47 + copy.size() + picture.size());
  });

  ASSERT_EQ(QfaUndo(&h), 0);
  // The picture was written back under its old name and copied to a new copy, which the figure
  // now names.
  std::string back;
  ASSERT_TRUE(qs::ReadWholeFile(qs::Env::Default(), copy, &back));
  EXPECT_EQ(back, picture);
  InsFigure out{};
  char name[256] = {};
  ASSERT_EQ(QfaGetInsFigure(&h, entry, &out, name), 0);
  EXPECT_NE(std::string(name), copy);
  ASSERT_TRUE(qs::ReadWholeFile(qs::Env::Default(), name, &back));
  EXPECT_EQ(back, picture);
  ASSERT_EQ(QfaRedo(&h), 0);
  EXPECT_FALSE(qs::Env::Default()->Exists(name));
}

// ---- Failures ----

TEST_F(UndoTest, AFailingEditEndsTheReplayWithItsStatus) {
  // The text's old font loses its slot while the step waits: putting it back finds no slot.
  const Text first = TextOf(0, "F1");
  uint16_t text = 0;
  ASSERT_EQ(QfaAddText(&h, &first, "t", &text), 0);
  const uint16_t other = AddText("a", 50);
  ASSERT_EQ(QfaUndoBlockStart(&h), 0);
  const uint16_t older = AddText("older step");
  ASSERT_EQ(QfaUndoBlockEnd(&h), 0);
  ASSERT_EQ(QfaUndoBlockStart(&h), 0);
  const Text rec = TextOf(50);
  ASSERT_EQ(QfaPutText(&h, other, &rec, "b"), 0);
  const Text second = TextOf(0, "F2");
  ASSERT_EQ(QfaPutText(&h, text, &second, "t"), 0);
  ASSERT_EQ(QfaUndoBlockEnd(&h), 0);
  for (const char* name : {"F3", "F4", "F5"}) {
    const Text other = TextOf(100, name);
    uint16_t e = 0;
    ASSERT_EQ(QfaAddText(&h, &other, "o", &e), 0);
  }
  ASSERT_EQ(QfaUndoCount(&h), 2);
  EXPECT_EQ(QfaUndo(&h), 104);
  EXPECT_EQ(QfaUndoCount(&h), 1);
  Text out{};
  char s[256] = {};
  ASSERT_EQ(QfaGetText(&h, other, &out, s), 0);
  EXPECT_STREQ(s, "b");

  // The entry left over now carries the step number the older step had, and hides that step: the
  // next undo finds nothing of its own and replays nothing.
  EXPECT_EQ(QfaUndo(&h), 0);
  EXPECT_EQ(QfaUndoCount(&h), 0);
  EXPECT_EQ(QfaGetText(&h, older, &out, s), 0);
  ASSERT_EQ(QfaGetText(&h, other, &out, s), 0);
  EXPECT_STREQ(s, "b");
}

TEST_F(UndoTest, ADamagedJournalEndsTheReplay) {
  const uint16_t text = AddText("old");
  ASSERT_EQ(QfaUndoBlockStart(&h), 0);
  const Text rec = TextOf(0);
  ASSERT_EQ(QfaPutText(&h, text, &rec, "new"), 0);
  ASSERT_EQ(QfaUndoBlockEnd(&h), 0);
  // The text length claims more than the entry holds.
  std::string name;
  for (const std::string& n : site.WorkFiles())
    if (n.size() > 4 && n.substr(n.size() - 4) == ".BUF") {
      name = site.work() + n;
      break;
    }
  std::string file;
  ASSERT_TRUE(qs::ReadWholeFile(qs::Env::Default(), name, &file));
  const size_t at = UndoJournal().last_offset() + 20 + qs::kTextLengthAt;
  file[at] = char(200);
  ASSERT_TRUE(qs::WriteWholeFile(qs::Env::Default(), name, file));

  EXPECT_EQ(QfaUndo(&h), 0);
  EXPECT_EQ(QfaUndoCount(&h), 0);
  Text out{};
  char s[256] = {};
  ASSERT_EQ(QfaGetText(&h, text, &out, s), 0);
  EXPECT_STREQ(s, "new");
}

}  // namespace
