// Pages, the page-data list, reading order and font slots of an open form.
#include "common/model/page.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "common/model/attributes.h"
#include "common/status.h"
#include "support/form_fixture.h"

namespace {

using qs::PageData;
using qs_test::FormTest;

PageInf Flags(uint8_t f1, uint8_t f2) {
  return PageInf{f1, f2};
}

class PageTest : public FormTest {
 protected:
  explicit PageTest(int pages = 1) : FormTest(pages) {}

  qs::Page& Page(int number) { return *form().PageAt(number); }
  qs::Page& Cur() { return Page(h.CurPage + 1); }
  int32_t CurPage() {
    int32_t page = -7;
    EXPECT_EQ(QfaGetCurPage(&h, &page), 0);
    return page;
  }
  std::vector<qs::Page*> Pages() {
    std::vector<qs::Page*> pages;
    for (int i = 1; i <= QfaGetPageCount(&h); ++i) pages.push_back(form().PageAt(i));
    return pages;
  }

  // A text or free cell made directly on the current page, as the content calls would leave it.
  PageData AddBox(uint8_t kind, int32_t left, int32_t top, int32_t right, int32_t bottom,
                  const char* text = nullptr, uint8_t font_no = 1) {
    qs::Page& page = Cur();
    auto rec = std::make_unique<qs::TextRec>();
    std::memset(rec.get(), 0, sizeof(qs::TextRec));
    rec->left = left;
    rec->top = top;
    rec->right = right;
    rec->bottom = bottom;
    rec->font.b0 = font_no;
    if (text) {
      uint16_t id = 0;
      EXPECT_EQ(page.strings.Put(&id, text), 0);
      rec->text_id = id;
    }
    auto& table = kind == qs::kText ? page.texts : page.fre_cells;
    const int no = table.Store(0, std::move(rec));
    const PageData entry{kind, uint8_t(no)};
    EXPECT_EQ(page.AppendEntry(entry), 0);
    return entry;
  }
  PageData AddFigure() {
    qs::Page& page = Cur();
    const int no = page.figures.Store(0, std::make_unique<qs::FigureRec>());
    const PageData entry{qs::kFigure, uint8_t(no)};
    EXPECT_EQ(page.AppendEntry(entry), 0);
    return entry;
  }
  PageData AddInsFigure(const std::string& file) {
    qs::Page& page = Cur();
    auto rec = std::make_unique<qs::InsFigureRec>();
    std::memset(rec.get(), 0, sizeof(qs::InsFigureRec));
    qs::CopyBounded(rec->file_name, sizeof rec->file_name, file.c_str());
    const int no = page.ins_figures.Store(0, std::move(rec));
    const PageData entry{qs::kInsFigure, uint8_t(no)};
    EXPECT_EQ(page.AppendEntry(entry), 0);
    return entry;
  }
  PageData AddChart(int32_t left, int32_t top, int32_t right, uint16_t rows = 1) {
    ChartInf inf{};
    inf.Left = left;
    inf.Top = top;
    inf.Right = right;
    inf.Rows = rows;
    inf.Cols = 1;
    inf.RowHight = 20;
    uint16_t entry = 0;
    EXPECT_EQ(QfaAddChart(&h, &inf, &entry), 0);
    return PageData::FromValue(entry);
  }
  std::vector<PageData> DataList() {
    std::vector<PageData> list;
    const int n = QfaGetPageDataCount(&h);
    for (int i = 1; i <= n; ++i) {
      uint16_t e = 0;
      EXPECT_EQ(QfaGetPageData(&h, i, &e), 0);
      list.push_back(PageData::FromValue(e));
    }
    return list;
  }
  std::vector<PageData> ReadingOrder(uint8_t read_order) {
    FormInf inf{};
    EXPECT_EQ(QfaGetFormInf(&h, &inf), 0);
    inf.ReadOrder = read_order;
    EXPECT_EQ(QfaPutFormInf(&h, &inf), 0);
    std::vector<PageData> order;
    uint16_t e = 0;
    while (QfaNextPageData(&h, &e) == 0 && order.size() <= 300)
      order.push_back(PageData::FromValue(e));
    return order;
  }
};

class NoPageTest : public PageTest {
 protected:
  NoPageTest() : PageTest(0) {}
};
class FivePageTest : public PageTest {
 protected:
  FivePageTest() : PageTest(5) {}
};

// ---- Page list and cursor ----

TEST_F(NoPageTest, FirstPageGoesInWithAfterZero) {
  EXPECT_EQ(QfaGetPageCount(&h), 0);
  const PageInf flags = Flags(1, 0);
  ASSERT_EQ(QfaInsertFormPage(&h, 0, &flags), 0);
  EXPECT_EQ(QfaGetPageCount(&h), 1);
  EXPECT_EQ(CurPage(), 1);
  PageInf got{};
  ASSERT_EQ(QfaGetPageInf(&h, &got), 0);
  EXPECT_EQ(got.Flag1, 1);
  EXPECT_EQ(got.Flag2, 0);
}

TEST_F(FivePageTest, InsertAfterCurrentPageBecomesNextAndCurrent) {
  const auto before = Pages();
  ASSERT_EQ(QfaPutCurPage(&h, 3), 0);
  const uint32_t changes = QfaQueryFormUpdate(&h);
  const PageInf flags = Flags(0xFF, 0xFE);  // only bit 0 of each byte counts
  ASSERT_EQ(QfaInsertFormPage(&h, 1, &flags), 0);
  EXPECT_EQ(CurPage(), 4);
  const auto after = Pages();
  ASSERT_EQ(after.size(), 6u);
  EXPECT_EQ(after[2], before[2]);
  EXPECT_EQ(after[4], before[3]);
  EXPECT_EQ(Cur().data_count, 0);
  PageInf got{};
  ASSERT_EQ(QfaGetPageInf(&h, &got), 0);
  EXPECT_EQ(got.Flag1, 1);
  EXPECT_EQ(got.Flag2, 0);
  EXPECT_GT(uint32_t(QfaQueryFormUpdate(&h)), changes);
}

TEST_F(FivePageTest, InsertBeforeCurrentPushesItDown) {
  const auto before = Pages();
  ASSERT_EQ(QfaPutCurPage(&h, 3), 0);
  const PageInf flags = Flags(0, 1);
  ASSERT_EQ(QfaInsertFormPage(&h, 0, &flags), 0);
  EXPECT_EQ(CurPage(), 3);
  const auto after = Pages();
  EXPECT_EQ(after[1], before[1]);
  EXPECT_EQ(after[3], before[2]);  // the old page 3 is now page 4
  EXPECT_NE(after[2], before[2]);
}

TEST_F(FivePageTest, TenPagesRefuseAnotherButAfterOneStillAdvances) {
  const PageInf flags{};
  for (int i = 0; i < 5; ++i) ASSERT_EQ(QfaInsertFormPage(&h, 1, &flags), 0);
  ASSERT_EQ(QfaGetPageCount(&h), 10);
  ASSERT_EQ(QfaPutCurPage(&h, 4), 0);
  const uint32_t changes = QfaQueryFormUpdate(&h);
  EXPECT_EQ(QfaInsertFormPage(&h, 0, &flags), -1);
  EXPECT_EQ(CurPage(), 4);
  EXPECT_EQ(QfaInsertFormPage(&h, 1, &flags), -1);
  EXPECT_EQ(CurPage(), 5);
  EXPECT_EQ(QfaGetPageCount(&h), 10);
  EXPECT_EQ(uint32_t(QfaQueryFormUpdate(&h)), changes);
}

TEST_F(FivePageTest, DeletingLastCurrentPageSelectsNewLastPage) {
  ASSERT_EQ(QfaPutCurPage(&h, 5), 0);
  ASSERT_EQ(QfaDeleteFormPage(&h), 0);
  EXPECT_EQ(QfaGetPageCount(&h), 4);
  EXPECT_EQ(CurPage(), 4);
}

TEST_F(FivePageTest, DeletingMiddlePageSelectsItsSuccessor) {
  const auto before = Pages();
  ASSERT_EQ(QfaPutCurPage(&h, 2), 0);
  ASSERT_EQ(QfaDeleteFormPage(&h), 0);
  EXPECT_EQ(CurPage(), 2);
  EXPECT_EQ(form().PageAt(2), before[2]);
}

TEST_F(PageTest, DeletingOnlyPageLeavesNoPageAndPageCallsRefuse) {
  ASSERT_EQ(QfaDeleteFormPage(&h), 0);
  EXPECT_EQ(QfaGetPageCount(&h), 0);
  EXPECT_EQ(CurPage(), 0);  // the page count: no page

  PageInf inf{};
  uint16_t e = 0;
  ChartInf chart{};
  chart.Rows = chart.Cols = 1;
  EXPECT_EQ(QfaGetPageInf(&h, &inf), -1);
  EXPECT_EQ(QfaPutPageInf(&h, &inf), -1);
  EXPECT_EQ(QfaGetPageDataCount(&h), 0);
  EXPECT_EQ(QfaGetPageData(&h, 1, &e), -1);
  EXPECT_EQ(QfaDeletePageData(&h, 0x0101), -1);
  EXPECT_EQ(QfaNextPageData(&h, &e), -1);
  EXPECT_EQ(QfaMoveTopPageData(&h, 0x0101), -1);
  EXPECT_EQ(QfaMoveBottomPageData(&h, 0x0101), -1);
  EXPECT_EQ(QfaAddChart(&h, &chart, &e), -1);
  EXPECT_EQ(QfaDeleteFormPage(&h), -1);

  // Before page 0 there is no place; after it, page 1.
  EXPECT_EQ(QfaInsertFormPage(&h, 0, &inf), -1);
  EXPECT_EQ(QfaGetPageCount(&h), 0);
  ASSERT_EQ(QfaInsertFormPage(&h, 1, &inf), 0);
  EXPECT_EQ(QfaGetPageCount(&h), 1);
  EXPECT_EQ(CurPage(), 1);
}

TEST_F(FivePageTest, CurrentPageBeyondCountIsRefusedNotTouched) {
  ASSERT_EQ(QfaPutCurPage(&h, 9), 0);
  EXPECT_EQ(CurPage(), 9);
  PageInf inf{};
  EXPECT_EQ(QfaGetPageInf(&h, &inf), -1);
  EXPECT_EQ(QfaDeleteFormPage(&h), -1);
  EXPECT_EQ(QfaGetPageCount(&h), 5);
  // Any number is taken; one that names no page leaves no current page, without overflow.
  for (int32_t number : {INT32_MIN, INT32_MAX, -5, 0}) {
    SCOPED_TRACE(number);
    EXPECT_EQ(QfaPutCurPage(&h, number), 0);
    EXPECT_EQ(QfaGetPageInf(&h, &inf), -1);
    EXPECT_EQ(QfaDeleteFormPage(&h), -1);
  }
  EXPECT_EQ(QfaGetPageCount(&h), 5);
}

TEST_F(PageTest, PictureFileStaysWithPageButGoesWithItsPageData) {
  const std::string kept = site.WriteFile("work/kept.bmp", "pic");
  const std::string dropped = site.WriteFile("work/dropped.bmp", "pic");
  const PageData drop = AddInsFigure(dropped);
  AddInsFigure(kept);
  ASSERT_EQ(QfaDeletePageData(&h, drop.value()), 0);
  EXPECT_FALSE(std::filesystem::exists(dropped));
  ASSERT_EQ(QfaDeleteFormPage(&h), 0);
  EXPECT_TRUE(std::filesystem::exists(kept));
}

// ---- Deleting page data ----

TEST_F(PageTest, DeletingTextFreesItsStringAndEntry) {
  const PageData a = AddBox(qs::kText, 0, 0, 10, 10, "first");
  const PageData b = AddBox(qs::kFreCell, 0, 0, 10, 10, "second");
  ASSERT_EQ(Cur().strings.LiveCount(), 2);
  ASSERT_EQ(QfaDeletePageData(&h, a.value()), 0);
  ASSERT_EQ(QfaDeletePageData(&h, b.value()), 0);
  EXPECT_EQ(Cur().strings.LiveCount(), 0);
  EXPECT_EQ(Cur().texts.Count() + Cur().fre_cells.Count(), 0);
  EXPECT_EQ(QfaGetPageDataCount(&h), 0);
}

TEST_F(PageTest, DeletingMissingTextOrFreCellChangesNothing) {
  for (uint8_t kind : {qs::kText, qs::kFreCell, qs::kChart}) {
    const PageData ghost{kind, 7};
    ASSERT_EQ(Cur().AppendEntry(ghost), 0);
    const uint32_t changes = QfaQueryFormUpdate(&h);
    EXPECT_EQ(QfaDeletePageData(&h, ghost.value()), -1) << int(kind);
    EXPECT_EQ(Cur().FindEntry(ghost), int(Cur().data_count) - 1);
    EXPECT_EQ(uint32_t(QfaQueryFormUpdate(&h)), changes);
  }
}

TEST_F(PageTest, EmptyFigureNumbersAndUnknownKindsOnlyLoseTheirEntry) {
  const PageData fig = AddFigure();
  const PageData empty_fig{qs::kFigure, 90};
  const PageData odd{9, 1};
  ASSERT_EQ(Cur().AppendEntry(empty_fig), 0);
  ASSERT_EQ(Cur().AppendEntry(odd), 0);
  EXPECT_EQ(QfaDeletePageData(&h, empty_fig.value()), 0);
  EXPECT_EQ(QfaDeletePageData(&h, odd.value()), 0);
  EXPECT_EQ(QfaDeletePageData(&h, odd.value()), -1);  // no longer listed
  EXPECT_EQ(DataList(), std::vector<PageData>{fig});
}

TEST_F(PageTest, DeletingChartReleasesItsCells) {
  const PageData chart = AddChart(0, 0, 100, 3);
  qs::Page& page = Cur();
  qs::ChartRec* rec = page.charts.Get(chart.no);
  qs::CellAttr attr{};
  for (int r = 1; r <= 3; ++r) {
    ASSERT_EQ(page.cell_attrs.Put(&rec->cell_attr[r][1], attr), 0);
    ASSERT_EQ(page.strings.Put(&rec->cell_text[r][1], "cell"), 0);
  }
  ASSERT_EQ(QfaDeletePageData(&h, chart.value()), 0);
  EXPECT_EQ(page.cell_attrs.LiveCount(), 0);
  EXPECT_EQ(page.strings.LiveCount(), 0);
  EXPECT_FALSE(page.charts.Has(chart.no));
  EXPECT_EQ(QfaGetPageDataCount(&h), 0);
}

// ---- Page-data list ----

TEST_F(PageTest, FullListRefusesAddsAndMovesKeepItFull) {
  qs::Page& page = Cur();
  for (int kind = 2; kind <= 6; ++kind) {
    const int n = kind == 6 ? 288 - 32 - 32 - 128 - 64 : qs::KindCapacity(uint8_t(kind));
    for (int no = 1; no <= n; ++no)
      ASSERT_EQ(page.AppendEntry(PageData{uint8_t(kind), uint8_t(no)}), 0);
  }
  ASSERT_EQ(QfaGetPageDataCount(&h), 288);
  const uint32_t changes = QfaQueryFormUpdate(&h);
  ChartInf inf{};
  inf.Rows = inf.Cols = 2;
  uint16_t e = 0;
  EXPECT_EQ(QfaAddChart(&h, &inf, &e), -1);
  EXPECT_EQ(page.charts.Count(), 0);
  EXPECT_EQ(uint32_t(QfaQueryFormUpdate(&h)), changes);

  const PageData last = page.data[287];
  const PageData first = page.data[0];
  ASSERT_EQ(QfaMoveTopPageData(&h, last.value()), 0);
  EXPECT_EQ(QfaGetPageDataCount(&h), 288);
  EXPECT_EQ(page.data[0], last);
  EXPECT_EQ(page.data[1], first);
  ASSERT_EQ(QfaMoveBottomPageData(&h, last.value()), 0);
  EXPECT_EQ(page.data[287], last);
  EXPECT_EQ(page.data[0], first);
}

TEST_F(PageTest, MoveTopAndBottomReorderOnlyListedEntries) {
  const PageData a = AddChart(0, 0, 10), b = AddChart(0, 0, 10), c = AddChart(0, 0, 10);
  const uint32_t changes = QfaQueryFormUpdate(&h);
  ASSERT_EQ(QfaMoveTopPageData(&h, c.value()), 0);
  EXPECT_EQ(DataList(), (std::vector<PageData>{c, a, b}));
  ASSERT_EQ(QfaMoveBottomPageData(&h, c.value()), 0);
  ASSERT_EQ(QfaMoveBottomPageData(&h, a.value()), 0);
  EXPECT_EQ(DataList(), (std::vector<PageData>{b, c, a}));
  EXPECT_EQ(uint32_t(QfaQueryFormUpdate(&h)), changes + 3);

  EXPECT_EQ(QfaMoveTopPageData(&h, PageData{qs::kChart, 9}.value()), -1);
  EXPECT_EQ(QfaMoveBottomPageData(&h, PageData{qs::kText, 1}.value()), -1);
  EXPECT_EQ(DataList(), (std::vector<PageData>{b, c, a}));
  EXPECT_EQ(uint32_t(QfaQueryFormUpdate(&h)), changes + 3);
}

TEST_F(PageTest, GetPageDataChecksPosition) {
  const PageData a = AddChart(0, 0, 10);
  uint16_t e = 0xBEEF;
  EXPECT_EQ(QfaGetPageData(&h, 0, &e), -1);
  EXPECT_EQ(QfaGetPageData(&h, 2, &e), -1);
  EXPECT_EQ(QfaGetPageData(&h, -5, &e), -1);
  EXPECT_EQ(e, 0xBEEF);
  ASSERT_EQ(QfaGetPageData(&h, 1, &e), 0);
  EXPECT_EQ(e, a.value());
}

// ---- Reading order ----

TEST_F(PageTest, ReadOrderZeroAndOneGoTopDownThenLeftToRight) {
  const PageData right = AddBox(qs::kText, 50, 10, 60, 20);
  const PageData left = AddBox(qs::kFreCell, 0, 10, 10, 20);
  const PageData top = AddChart(500, 0, 600);
  AddFigure();
  for (uint8_t order : {0, 1})
    EXPECT_EQ(ReadingOrder(order), (std::vector<PageData>{top, left, right})) << int(order);
}

TEST_F(PageTest, ReadOrderTwoAndThreeGoRightToLeftThenTopDown) {
  const PageData narrow = AddChart(0, 0, 300);
  const PageData low = AddChart(400, 100, 500);
  const PageData high = AddChart(0, 0, 500);
  // The right edge comes from the column widths, not from a stored Right.
  ChartInf inf{};
  ASSERT_EQ(QfaGetChartInf(&h, narrow.value(), &inf), 0);
  inf.Right = 100000;
  ASSERT_EQ(QfaPutChartInf(&h, narrow.value(), &inf), 0);
  for (uint8_t order : {2, 3})
    EXPECT_EQ(ReadingOrder(order), (std::vector<PageData>{high, low, narrow})) << int(order);
}

TEST_F(PageTest, OtherReadOrdersKeepPageOrder) {
  const PageData a = AddBox(qs::kText, 0, 50, 10, 60);
  const PageData b = AddBox(qs::kText, 0, 0, 10, 10);
  EXPECT_EQ(ReadingOrder(4), (std::vector<PageData>{a, b}));
}

TEST_F(PageTest, FullTiesKeepTheOrderTheExchangeSortLeaves) {
  // Pass 1 swaps c with a, which carries a behind b although a came first on the page.
  const PageData a = AddBox(qs::kText, 0, 10, 5, 20);
  const PageData b = AddBox(qs::kText, 0, 10, 5, 20);
  const PageData c = AddBox(qs::kText, 0, 5, 5, 20);
  EXPECT_EQ(ReadingOrder(0), (std::vector<PageData>{c, b, a}));
}

TEST_F(PageTest, NextPageDataEdges) {
  const PageData fig = AddFigure();
  uint16_t e = 0;
  EXPECT_EQ(QfaNextPageData(&h, &e), -1);  // figures take no part

  const PageData a = AddBox(qs::kText, 0, 0, 10, 10);
  const PageData b = AddBox(qs::kText, 0, 20, 10, 30);
  e = 0x0500;  // kind 0 starts at the front whatever the number
  ASSERT_EQ(QfaNextPageData(&h, &e), 0);
  EXPECT_EQ(e, a.value());
  ASSERT_EQ(QfaNextPageData(&h, &e), 0);
  EXPECT_EQ(e, b.value());
  EXPECT_EQ(QfaNextPageData(&h, &e), -1);
  e = fig.value();
  EXPECT_EQ(QfaNextPageData(&h, &e), 0);
  EXPECT_EQ(e, fig.value());
}

// ---- Font slots ----

TEST_F(PageTest, FontSlotsAreReusedOnlyWhenNoContentUsesThem) {
  const PageInf flags{};
  ASSERT_EQ(QfaInsertFormPage(&h, 1, &flags), 0);  // page 2, current
  const char* names[5] = {"Alpha", "Beta", "Gamma", "Delta", "Epsilon"};
  for (int i = 0; i < 5; ++i) ASSERT_EQ(qs::FontNumberForName(form(), names[i]), i + 1);
  EXPECT_EQ(qs::FontNumberForName(form(), "Gamma"), 3);

  // Fonts 1, 3 and 4 used on page 2, font 5 by a cell attribute on page 1; a freed attribute
  // record of font 2 does not hold its slot.
  AddBox(qs::kText, 0, 0, 1, 1, nullptr, 1);
  AddBox(qs::kFreCell, 0, 0, 1, 1, nullptr, 3);
  AddBox(qs::kText, 0, 0, 1, 1, nullptr, 4 | (7 << 3));
  qs::CellAttr attr{};
  attr.font.b0 = 5;
  uint16_t id = 0;
  ASSERT_EQ(Page(1).cell_attrs.Put(&id, attr), 0);
  attr.font.b0 = 2;
  uint16_t freed = 0;
  ASSERT_EQ(Page(1).cell_attrs.Put(&freed, attr), 0);
  ASSERT_EQ(Page(1).cell_attrs.Free(&freed), 0);

  FontSpec wanted = qs_test::Font("Zeta");
  wanted.Value5 = 9;
  qs::PackedFont packed{0xAB, 0xCD};
  ASSERT_EQ(qs::PackFont(form(), wanted, &packed), 0);
  EXPECT_EQ(packed.number(), 2);
  EXPECT_EQ(packed.b0 >> 3, 9);
  EXPECT_STREQ(form().header().rec.font_names[1], "Zeta");
  EXPECT_EQ(qs::FontNumberForName(form(), "Alpha"), 1);

  // Now every number is in use.
  AddBox(qs::kText, 0, 0, 1, 1, nullptr, 2);
  packed = qs::PackedFont{0xAB, 0xCD};
  EXPECT_EQ(qs::PackFont(form(), qs_test::Font("Eta"), &packed), qs::kNoFontSlot);
  EXPECT_EQ(packed.b0, 0xAB);
  for (int i = 0; i < 5; ++i) EXPECT_STRNE(form().header().rec.font_names[i], "Eta");
}

}  // namespace
