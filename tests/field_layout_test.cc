// Placing fields: plain fields, record occurrences and table copies; their numbers, the table
// rectangle, refusals, cancelling, and how placements follow row, column, page-data and page
// edits; and a save/open round trip that keeps every placement.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "formstore.h"
#include "support/doc_records.h"
#include "support/field_fixture.h"

namespace {

using namespace qs_test;
using Cell = std::pair<int, int>;

class FieldLayoutTest : public FieldFormTest {};

TEST_F(FieldLayoutTest, PlainFieldMovesOnItsPageAndIsNumberedOneOnEach) {
  const uint16_t chart = AddChart(5, 5);
  uint32_t no = 0;
  ASSERT_EQ(Place(kPlain, chart, 2, 2, &no), 0);
  EXPECT_EQ(no, 1u);
  ASSERT_EQ(Place(kPlain, chart, 3, 4, &no), 0);
  EXPECT_EQ(no, 1u);
  EXPECT_EQ(QfaExistFieldLayout(&h, kPlain), 1);
  EXPECT_EQ(QfaGetLayoutCountInner(&h), 1);
  EXPECT_EQ(CellOf(kPlain, 1), Cell(3, 4));

  GoTo(2);
  const uint16_t cell = AddFreCell();
  ASSERT_EQ(Place(kPlain, cell, 7, 7, &no), 0);
  EXPECT_EQ(no, 1u);
  EXPECT_EQ(QfaExistFieldLayout(&h, kPlain), 2);
  EXPECT_EQ(CellOf(kPlain, 1), Cell(0, 0));  // a free cell has no row or column
  EXPECT_EQ(QfaExistFieldLayout(&h, kPlain2), 0);
  EXPECT_EQ(QfaExistFieldLayout(&h, 99), -1);
}

TEST_F(FieldLayoutTest, RecordOccurrencesAreNumberedAcrossPages) {
  GoTo(1);
  const uint16_t c1 = AddChart(5, 5);
  GoTo(2);
  const uint16_t c2 = AddChart(5, 5);
  // Pages 2, 1, 2: each add reports the number its occurrence ends up with.
  const struct {
    int page;
    uint16_t entry;
    uint16_t row;
    uint32_t no;
  } adds[] = {{2, c2, 1, 1}, {1, c1, 1, 1}, {2, c2, 2, 3}};
  for (const auto& a : adds) {
    GoTo(a.page);
    uint32_t no = 0;
    ASSERT_EQ(Place(kRecordA, a.entry, a.row, 1, &no), 0);
    EXPECT_EQ(no, a.no);
  }
  EXPECT_EQ(QfaExistFieldLayout(&h, kRecordA), 3);
  GoTo(1);
  EXPECT_EQ(CellOf(kRecordA, 1), Cell(1, 1));
  GoTo(2);
  EXPECT_EQ(CellOf(kRecordA, 2), Cell(1, 1));
  EXPECT_EQ(CellOf(kRecordA, 3), Cell(2, 1));

  // Cancelling the first occurrence renumbers the rest.
  GoTo(1);
  ASSERT_EQ(QfaCancelFieldLayout(&h, kRecordA, 1), 0);
  GoTo(2);
  EXPECT_EQ(CellOf(kRecordA, 1), Cell(1, 1));
  EXPECT_EQ(CellOf(kRecordA, 2), Cell(2, 1));
  EXPECT_EQ(QfaExistFieldLayout(&h, kRecordA), 2);
}

TEST_F(FieldLayoutTest, TableRectangleGrowsToTakeInEachField) {
  const uint16_t chart = AddChart(6, 6);
  ASSERT_EQ(Place(kTableA, chart, 3, 2), 0);
  ASSERT_EQ(Place(kTableB, chart, 2, 4), 0);
  uint16_t r = 0, c = 0;
  ASSERT_EQ(QfaGetFieldLayoutOffSet(&h, kTableA, &r, &c), 0);
  EXPECT_EQ(Cell(r, c), Cell(2, 1));
  ASSERT_EQ(QfaGetFieldLayoutOffSet(&h, kTableB, &r, &c), 0);
  EXPECT_EQ(Cell(r, c), Cell(1, 3));
  EXPECT_EQ(Inners(), (std::vector<Inner>{{kTable, 1, chart, 2, 2, 1, 2}}));
  EXPECT_EQ(CellOf(kTableA, 1), Cell(3, 2));
  EXPECT_EQ(CellOf(kTableB, 1), Cell(2, 4));
  EXPECT_EQ(QfaCheckFieldLayout(0), 0);
  EXPECT_EQ(QfaGetFieldLayoutOffSet(&h, kTableC, &r, &c), -1);  // not placed

  // A copy placed by field A at (5, 2) has its top-left at (4, 2); both fields show in it.
  uint32_t no = 0;
  ASSERT_EQ(Place(kTableA, chart, 5, 2, &no), 0);
  EXPECT_EQ(no, 2u);
  EXPECT_EQ(QfaExistFieldLayout(&h, kTableB), 2);
  EXPECT_EQ(CellOf(kTableB, 2), Cell(4, 4));
  uint16_t id = 0;
  ASSERT_EQ(QfaGetLayoutField2(&h, 1, chart, 4, 4, &id, &no), 0);
  EXPECT_EQ(id, kTableB);
  EXPECT_EQ(no, 2u);

  // Growing the table up moves every copy with it; with a copy 2 on the page that is reported.
  ASSERT_EQ(Place(kTableC, chart, 1, 3), 0);
  EXPECT_EQ(QfaCheckFieldLayout(0), 1);
  EXPECT_EQ(Inners(),
            (std::vector<Inner>{{kTable, 1, chart, 1, 2, 1, 3}, {kTable, 2, chart, 3, 2, 1, 2}}));
  EXPECT_EQ(CellOf(kTableA, 2), Cell(5, 2));
}

TEST_F(FieldLayoutTest, RefusalCodes) {
  const uint16_t chart = AddChart(4, 4);
  const uint16_t cell = AddFreCell();
  ASSERT_EQ(Place(kPlain, chart, 2, 2), 0);
  ASSERT_EQ(Place(kTableA, chart, 3, 3), 0);
  ASSERT_EQ(Place(kTableB, chart, 3, 4), 0);
  const struct {
    const char* what;
    uint16_t id;
    uint16_t entry;
    uint16_t row, col;
    int status;
  } cases[] = {
      {"no such field", 99, chart, 1, 1, -2},
      {"a field already shows there", kPlain2, chart, 2, 2, -3},
      {"a table field shows there", kRecordA, chart, 3, 4, -3},
      {"a sub-table field", kSubField, chart, 1, 1, -4},
      {"a table field in a free cell", kTableC, cell, 0, 0, -1},
      {"no such chart", kPlain2, uint16_t(chart + 0x0700), 1, 1, -1},
      {"outside the chart", kPlain2, chart, 5, 1, -1},
      {"a copy that leaves the chart", kTableB, chart, 4, 1, 106},
      {"a table field away from placement 1's chart", kTableC, AddChart(3, 3), 1, 1, 106},
  };
  for (const auto& c : cases) {
    const uint32_t changes = QfaQueryFormUpdate(&h);
    EXPECT_EQ(Place(c.id, c.entry, c.row, c.col), c.status) << c.what;
    EXPECT_EQ(uint32_t(QfaQueryFormUpdate(&h)), changes + 1) << c.what;
  }
  EXPECT_EQ(QfaExistFieldLayout(&h, kTableC), 0);
  EXPECT_EQ(QfaExistFieldLayout(&h, kTableB), 1);
}

TEST_F(FieldLayoutTest, CancellingTableFieldsShrinksAndFinallyRemovesTheTable) {
  const uint16_t chart = AddChart(6, 6);
  ASSERT_EQ(Place(kTableA, chart, 2, 2), 0);
  ASSERT_EQ(Place(kTableB, chart, 3, 4), 0);
  ASSERT_EQ(Place(kTableA, chart, 4, 2), 0);  // copy 2 at (4, 2)
  ASSERT_EQ(Place(kPlain, chart, 1, 1), 0);
  EXPECT_EQ(QfaCheckFieldLayout(0), 0);

  // Field A leaves: the rectangle shrinks to B, both copies move down and right.
  ASSERT_EQ(QfaCancelFieldLayout(&h, kTableA, 1), 0);
  EXPECT_EQ(QfaCheckFieldLayout(0), 1);
  EXPECT_EQ(QfaExistFieldLayout(&h, kTableA), 0);
  EXPECT_EQ(Inners(), (std::vector<Inner>{{kTable, 1, chart, 3, 4, 1, 2},
                                          {kTable, 2, chart, 5, 4, 1, 2},
                                          {kPlain, 1, chart, 1, 1, 0, 1}}));
  EXPECT_EQ(CellOf(kTableB, 2), Cell(5, 4));

  // Cancelling copy 1 of... the last field removes every copy; a plain add then clears the flag.
  ASSERT_EQ(QfaCancelFieldLayout(&h, kTableB, 2), 0);
  EXPECT_EQ(QfaExistFieldLayout(&h, kTableB), 1);
  ASSERT_EQ(QfaCancelFieldLayout(&h, kTableB, 1), 0);
  EXPECT_EQ(Inners(), (std::vector<Inner>{{kPlain, 1, chart, 1, 1, 0, 1}}));
  ASSERT_EQ(Place(kPlain2, chart, 6, 6), 0);
  EXPECT_EQ(QfaCheckFieldLayout(0), 0);
  EXPECT_EQ(QfaCancelFieldLayout(&h, kTableB, 1), -1);  // unplaced
  EXPECT_EQ(QfaCancelFieldLayout(&h, kPlain, 2), -1);   // no such placement
}

TEST_F(FieldLayoutTest, ListingPlacedFields) {
  const uint16_t chart = AddChart(6, 6);
  const uint16_t cell = AddFreCell();
  ASSERT_EQ(Place(kTableB, chart, 2, 3), 0);
  ASSERT_EQ(Place(kTableA, chart, 2, 2), 0);
  ASSERT_EQ(Place(kPlain, cell, 0, 0), 0);
  ASSERT_EQ(Place(kRecordA, chart, 5, 5), 0);
  ASSERT_EQ(QfaGetFieldLayoutCount(&h), 4);
  // Table fields in field-number order inside their placement, then the rest in list order.
  const std::pair<uint16_t, uint32_t> expected[] = {
      {kTableA, 1}, {kTableB, 1}, {kPlain, 1}, {kRecordA, 1}};
  for (int n = 1; n <= 4; ++n) {
    uint16_t id = 0;
    uint32_t no = 0;
    ASSERT_EQ(QfaGetLayoutField(&h, n, &id, &no), 0);
    EXPECT_EQ(std::make_pair(id, no), expected[n - 1]) << n;
  }
  uint16_t id = 0;
  uint32_t no = 0;
  EXPECT_EQ(QfaGetLayoutField(&h, 5, &id, &no), -1);
  EXPECT_EQ(QfaGetLayoutField(&h, 0, &id, &no), -1);
  ASSERT_EQ(QfaGetLayoutField2(&h, 1, cell, 9, 9, &id, &no), 0);  // the free cell alone decides
  EXPECT_EQ(id, kPlain);
  EXPECT_EQ(QfaGetLayoutField2(&h, 1, chart, 3, 3, &id, &no), -1);
}

TEST_F(FieldLayoutTest, MovingAndRewritingPlacements) {
  const uint16_t chart = AddChart(6, 6);
  ASSERT_EQ(Place(kTableA, chart, 1, 1), 0);
  ASSERT_EQ(Place(kTableB, chart, 2, 2), 0);
  ASSERT_EQ(Place(kPlain, chart, 6, 6), 0);
  ASSERT_EQ(Place(kRecordA, chart, 6, 5), 0);
  const struct {
    const char* what;
    uint16_t id;
    uint32_t no;
    LayoutPos pos;
    int status;
  } cases[] = {
      {"moves the table", kTableB, 1, {4, 3, 1, 2, 0}, 0},
      {"row 0", kTableA, 1, {0, 3, 1, 2, 0}, 106},
      {"rectangle below the chart", kTableA, 1, {6, 3, 1, 1, 0}, 106},
      {"extent below the chart", kTableA, 1, {4, 3, 1, 4, 0}, 106},
      {"rectangle right of the chart", kTableA, 1, {4, 6, 1, 2, 0}, 106},
      {"no such copy", kTableA, 2, {1, 1, 1, 2, 0}, -1},
      {"a plain field: nothing", kPlain, 1, {1, 1, 0, 1, 0}, 0},
      {"a record field", kRecordA, 1, {1, 1, 0, 1, 0}, -1},
      {"unplaced", kTableC, 1, {1, 1, 0, 1, 0}, -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(QfaPutFieldLayout2(&h, c.id, c.no, &c.pos), c.status) << c.what;
  }
  EXPECT_EQ(CellOf(kTableB, 1), Cell(5, 4));
  EXPECT_EQ(CellOf(kPlain, 1), Cell(6, 6));

  // The raw rewrite checks nothing and counts a change only when the placement exists.
  const LayoutPos raw = {9, 9, 7, 9, 3};
  uint32_t changes = QfaQueryFormUpdate(&h);
  ASSERT_EQ(QfaPutLayoutInner(&h, kPlain, 1, &raw), 0);
  EXPECT_EQ(uint32_t(QfaQueryFormUpdate(&h)), changes + 1);
  EXPECT_EQ(QfaPutLayoutInner(&h, kPlain, 2, &raw), -1);
  EXPECT_EQ(uint32_t(QfaQueryFormUpdate(&h)), changes + 1);
  uint16_t id = 0, entry = 0;
  uint32_t no = 0;
  LayoutPos pos{};
  ASSERT_EQ(QfaGetLayoutInner(&h, 2, &id, &no, &entry, &pos), 0);
  EXPECT_EQ(std::memcmp(&pos, &raw, sizeof pos), 0);
  EXPECT_EQ(QfaGetLayoutInner(&h, 4, &id, &no, &entry, &pos), -1);
  EXPECT_EQ(QfaPutFieldLayout(&h, kPlain, 1, chart, 1, 1), 0);

  ASSERT_EQ(QfaInitFieldLayout(&h), 0);
  EXPECT_EQ(QfaGetLayoutCountInner(&h), 0);
  EXPECT_EQ(QfaExistFieldLayout(&h, kTableA), 0);
}

TEST_F(FieldLayoutTest, RowAndColumnEditsMovePlacements) {
  // Each case starts from the same placements on a 6 x 6 chart: plain field at (2, 2), Plain2 at
  // (4, 1), a record occurrence at (5, 5) and a table (A at (3, 3), B at (3, 4)) with a copy 2
  // at (5, 3).
  struct Case {
    const char* what;
    int edit;  // 0 insert row, 1 delete row, 2 insert column, 3 delete column
    uint16_t at;
    std::vector<Inner> after;  // entry filled in below
    int changed;
  } cases[] = {
      {"row inserted before row 3",
       0,
       3,
       {{kPlain, 1, 0, 2, 2, 0, 1},
        {kPlain2, 1, 0, 5, 1, 0, 1},
        {kRecordA, 1, 0, 6, 5, 0, 1},
        {kTable, 1, 0, 4, 3, 1, 1},
        {kTable, 2, 0, 6, 3, 1, 1}},
       0},
      {"row 2 deleted: the plain field goes, the rest moves up",
       1,
       2,
       {{kPlain2, 1, 0, 3, 1, 0, 1},
        {kRecordA, 1, 0, 4, 5, 0, 1},
        {kTable, 1, 0, 2, 3, 1, 1},
        {kTable, 2, 0, 4, 3, 1, 1}},
       1},
      {"row 5 deleted: the copy goes alone",
       1,
       5,
       {{kPlain, 1, 0, 2, 2, 0, 1}, {kPlain2, 1, 0, 4, 1, 0, 1}, {kTable, 1, 0, 3, 3, 1, 1}},
       1},
      {"row 3 deleted: placement 1 goes with every copy, the scan goes on",
       1,
       3,
       {{kPlain, 1, 0, 2, 2, 0, 1}, {kPlain2, 1, 0, 3, 1, 0, 1}, {kRecordA, 1, 0, 4, 5, 0, 1}},
       1},
      {"column inserted before column 3",
       2,
       3,
       {{kPlain, 1, 0, 2, 2, 0, 1},
        {kPlain2, 1, 0, 4, 1, 0, 1},
        {kRecordA, 1, 0, 5, 6, 0, 1},
        {kTable, 1, 0, 3, 4, 1, 1},
        {kTable, 2, 0, 5, 4, 1, 1}},
       0},
      {"column 4 deleted: the table loses every copy",
       3,
       4,
       {{kPlain, 1, 0, 2, 2, 0, 1}, {kPlain2, 1, 0, 4, 1, 0, 1}, {kRecordA, 1, 0, 5, 4, 0, 1}},
       1},
      {"column 1 deleted",
       3,
       1,
       {{kPlain, 1, 0, 2, 1, 0, 1},
        {kRecordA, 1, 0, 5, 4, 0, 1},
        {kTable, 1, 0, 3, 2, 1, 1},
        {kTable, 2, 0, 5, 2, 1, 1}},
       1},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.what);
    QfaInitFieldLayout(&h);
    for (int n = QfaGetPageDataCount(&h); n >= 1; --n) {
      uint16_t e = 0;
      QfaGetPageData(&h, n, &e);
      QfaDeletePageData(&h, e);
    }
    const uint16_t chart = AddChart(6, 6);
    ASSERT_EQ(Place(kPlain, chart, 2, 2), 0);
    ASSERT_EQ(Place(kPlain2, chart, 4, 1), 0);
    ASSERT_EQ(Place(kRecordA, chart, 5, 5), 0);
    ASSERT_EQ(Place(kTableA, chart, 3, 3), 0);
    ASSERT_EQ(Place(kTableB, chart, 3, 4), 0);
    ASSERT_EQ(Place(kTableA, chart, 5, 3), 0);
    switch (c.edit) {
      case 0:
        ASSERT_EQ(QfaInsertChartR(&h, chart, 0, c.at, 10), 0);
        break;
      case 1:
        ASSERT_EQ(QfaDeleteChartR(&h, chart, c.at), 0);
        break;
      case 2:
        ASSERT_EQ(QfaInsertChartC(&h, chart, 0, c.at, 10), 0);
        break;
      case 3:
        ASSERT_EQ(QfaDeleteChartC(&h, chart, c.at), 0);
        break;
    }
    for (Inner& p : c.after) p.entry = chart;
    EXPECT_EQ(Inners(), c.after);
    if (c.edit % 2 == 1) {
      EXPECT_EQ(QfaCheckFieldLayout(0), c.changed);
    }
    // Counts follow: a field counts its placements, a table field its table's copies.
    int plain = 0, copies = 0;
    for (const Inner& p : c.after) {
      plain += p.id == kPlain;
      copies += p.id == kTable;
    }
    EXPECT_EQ(QfaExistFieldLayout(&h, kPlain), plain);
    EXPECT_EQ(QfaExistFieldLayout(&h, kTableB), copies);
  }
}

TEST_F(FieldLayoutTest, ExtentShrinksWhenADeletedRowLiesInItOnly) {
  const uint16_t chart = AddChart(6, 6);
  ASSERT_EQ(Place(kTableA, chart, 2, 2), 0);
  const LayoutPos tall = {2, 2, 1, 3, 0};
  ASSERT_EQ(QfaPutFieldLayout2(&h, kTableA, 1, &tall), 0);
  ASSERT_EQ(QfaDeleteChartR(&h, chart, 3), 0);
  EXPECT_EQ(Inners(), (std::vector<Inner>{{kTable, 1, chart, 2, 2, 1, 2}}));
  EXPECT_EQ(QfaCheckFieldLayout(0), 1);
}

TEST_F(FieldLayoutTest, PageDataAndPageDeletionDropPlacementsAndRenumber) {
  GoTo(1);
  const uint16_t c1 = AddChart(5, 5);
  const uint16_t cell = AddFreCell();
  ASSERT_EQ(Place(kTableA, c1, 1, 1), 0);
  ASSERT_EQ(Place(kRecordA, c1, 3, 3), 0);
  ASSERT_EQ(Place(kPlain, cell, 0, 0), 0);
  GoTo(2);
  const uint16_t c2 = AddChart(5, 5);
  ASSERT_EQ(Place(kTableA, c2, 2, 2), 0);  // copy 2
  ASSERT_EQ(Place(kRecordA, c2, 1, 1), 0);
  ASSERT_EQ(Place(kPlain, c2, 5, 5), 0);

  // The free cell goes with its plain field; no table placement: nothing reported.
  GoTo(1);
  ASSERT_EQ(QfaDeletePageData(&h, cell), 0);
  EXPECT_EQ(QfaCheckFieldLayout(0), 0);
  EXPECT_EQ(QfaExistFieldLayout(&h, kPlain), 1);
  // The chart goes with table copy 1 and the first occurrence: page 2's become number 1.
  ASSERT_EQ(QfaDeletePageData(&h, c1), 0);
  EXPECT_EQ(QfaCheckFieldLayout(0), 1);
  EXPECT_EQ(QfaExistFieldLayout(&h, kTableA), 1);
  EXPECT_EQ(QfaExistFieldLayout(&h, kRecordA), 1);
  GoTo(2);
  EXPECT_EQ(Inners(), (std::vector<Inner>{{kTable, 1, c2, 2, 2, 1, 1},
                                          {kRecordA, 1, c2, 1, 1, 0, 1},
                                          {kPlain, 1, c2, 5, 5, 0, 1}}));
  // Deleting the page takes every placement on it.
  ASSERT_EQ(QfaDeleteFormPage(&h), 0);
  for (uint16_t id : {kTableA, kRecordA, kPlain}) EXPECT_EQ(QfaExistFieldLayout(&h, id), 0);
  EXPECT_EQ(QfaGetLayoutCountInner(&h), 0);
}

TEST_F(FieldLayoutTest, ANewTemplateDropsEveryPlacement) {
  const uint16_t chart = AddChart(3, 3);
  ASSERT_EQ(Place(kPlain, chart, 1, 1), 0);
  FormInf inf{};
  QfaGetFormInf(&h, &inf);
  ASSERT_EQ(QfaPutFormInf(&h, &inf), 0);  // same name: kept
  EXPECT_EQ(QfaGetLayoutCountInner(&h), 1);
  site.WriteFile("base/QFT/OTHER.QFT", kFieldTemplate);
  std::strcpy(inf.TemplateName, "OTHER");
  ASSERT_EQ(QfaPutFormInf(&h, &inf), 0);
  EXPECT_EQ(QfaGetLayoutCountInner(&h), 0);
  EXPECT_EQ(QfaExistFieldLayout(&h, kPlain), 0);
}

// Everything a page shows of its placements and its fields' placement state.
struct Snapshot {
  std::vector<std::vector<Inner>> pages;
  std::vector<std::vector<int>> fields;  // id, count, offsets, FieldForm bytes
  bool operator==(const Snapshot& o) const { return pages == o.pages && fields == o.fields; }
};

void PrintTo(const Snapshot& s, std::ostream* os) {
  for (const auto& page : s.pages) {
    *os << "\n  page:";
    for (const Inner& p : page) {
      *os << " ";
      PrintTo(p, os);
    }
  }
  for (const auto& f : s.fields) {
    *os << "\n  field:";
    for (int v : f) *os << " " << v;
  }
}

class FieldRoundTripTest : public FieldFormTest {
 protected:
  // The file keeps the placements of each chart and free cell together, so the order of a
  // page's list is not kept; the presentation values of unplaced fields are not kept either, and
  // only a table field's offsets mean something.
  Snapshot Take() {
    Snapshot s;
    for (int page = 1; page <= QfaGetPageCount(&h); ++page) {
      QfaPutCurPage(&h, page);
      std::vector<Inner> list = Inners();
      std::sort(list.begin(), list.end());
      s.pages.push_back(list);
    }
    for (int n = 1; n <= QfaGetFieldCount(&h); ++n) {
      Field f{};
      QfaGetField(&h, n, &f);
      const int count = QfaExistFieldLayout(&h, f.FieldId);
      std::vector<int> row = {f.FieldId, count};
      uint16_t r = 0, c = 0;
      if (f.ParentId == kTable && QfaGetFieldLayoutOffSet(&h, f.FieldId, &r, &c) == 0)
        row.insert(row.end(), {r, c});
      FieldForm form{};
      QfaGetFieldForm(&h, f.FieldId, &form);
      if (count > 0)
        row.insert(row.end(),
                   {form.FormA, form.FormB, form.FormC, form.FormD, form.FormE, form.FormF});
      s.fields.push_back(row);
    }
    return s;
  }
  std::string Save() {
    const std::string path = site.flat() + "PLACED.QFD";
    std::vector<char> name(path.begin(), path.end());
    name.push_back('\0');
    EXPECT_EQ(QfaSaveForm(&h, name.data()), 0);
    return path;
  }
};

TEST_F(FieldRoundTripTest, SaveAndOpenKeepEveryPlacementCountAndOffset) {
  GoTo(1);
  const uint16_t c1 = AddChart(6, 6);
  const uint16_t cell = AddFreCell();
  ASSERT_EQ(Place(kTableB, c1, 2, 3), 0);
  ASSERT_EQ(Place(kTableA, c1, 3, 2), 0);
  ASSERT_EQ(Place(kTableA, c1, 5, 2), 0);
  ASSERT_EQ(Place(kPlain, cell, 0, 0), 0);
  ASSERT_EQ(Place(kRecordA, c1, 1, 6), 0);
  // FormC comes back as 1 whatever was saved: reading a placement marks its field so.
  const FieldForm form = {5, 2, 1, 0, 1, 2, 17};
  ASSERT_EQ(QfaPutFieldForm(&h, kTableA, &form), 0);
  ASSERT_EQ(QfaPutFieldForm(&h, kPlain, &form), 0);
  GoTo(2);
  const uint16_t c2 = AddChart(4, 4);
  ASSERT_EQ(Place(kTableA, c2, 2, 2), 0);
  ASSERT_EQ(Place(kRecordA, c2, 4, 4), 0);
  ASSERT_EQ(Place(kPlain, c2, 1, 4), 0);
  const LayoutPos tall = {1, 2, 1, 3, 0};
  ASSERT_EQ(QfaPutFieldLayout2(&h, kTableA, 3, &tall), 0);

  const Snapshot before = Take();
  const std::string path = Save();
  QfaCloseForm(&h);
  ASSERT_EQ(QfaOpenForm(&h, path.c_str()), 0);
  EXPECT_EQ(Take(), before);
  // Saving the opened form writes the same bytes.
  std::ifstream first(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(first)), {});
  Save();
  std::ifstream second(path, std::ios::binary);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(second)), {}), bytes);
}

TEST_F(FieldRoundTripTest, OlderAndForeignPlacementRecords) {
  GoTo(2);  // the last page, so that appended records follow its chart
  const uint16_t chart = AddChart(4, 4);
  const std::string path = Save();
  // Appended after the chart: an older 8-byte 'f' (no number; presentation bytes 0x9A, 0xC0),
  // an 'f' of a field the template lacks, an 'f' of a table's field outside its 't', and a 't'
  // whose 'f' records name a field of the table (twice) and a field outside it.
  auto record = [](char tag, std::vector<uint8_t> body) {
    return qs_test::Frame(tag, std::string(body.begin(), body.end()));
  };
  {
    std::ofstream out(path, std::ios::binary | std::ios::app);
    out << record('f', {2, 0, 3, 0, kPlain, 0, 0x9A, 0xC0})
        << record('f', {1, 0, 1, 0, 77, 0, 1, 0, 0, 0, 0, 0})
        << record('f', {3, 0, 3, 0, kTableC, 0, 1, 0, 0, 0, 0, 0})
        << record('t', {kTable, 0, 1, 0, 1, 0, 1, 0, 1, 2, 0, 0})
        << record('f', {1, 0, 2, 0, kTableB, 0, 1, 0, 0x20, 0, 0xFF, 0})
        << record('f', {1, 0, 4, 0, kTableB, 0, 1, 0, 0x20, 0, 0, 0})  // again: one copy
        << record('f', {1, 0, 3, 0, kPlain2, 0, 1, 0, 0x20, 0, 0, 0})
        << record('t', {kRecord, 0, 1, 0, 3, 0, 3, 0, 1, 1, 0, 0})  // no table: dropped
        << record('f', {1, 0, 1, 0, kRecordA, 0, 1, 0, 0x20, 0, 0, 0});
  }
  QfaCloseForm(&h);
  ASSERT_EQ(QfaOpenForm(&h, path.c_str()), 0);
  GoTo(2);
  EXPECT_EQ(Inners(),
            (std::vector<Inner>{{kPlain, 1, chart, 2, 3, 0, 1}, {kTable, 1, chart, 1, 1, 1, 2}}));
  FieldForm form{};
  QfaGetFieldForm(&h, kPlain, &form);
  EXPECT_EQ(form.FormA, 2);  // 0x9A: FormA 2, FormB 3, FormC forced to 1
  EXPECT_EQ(form.FormB, 3);
  EXPECT_EQ(form.FormC, 1);
  EXPECT_EQ(form.FormD, 3);
  EXPECT_EQ(CellOf(kTableB, 1), Cell(1, 2));
  EXPECT_EQ(QfaExistFieldLayout(&h, kTableB), 1);
  EXPECT_EQ(QfaExistFieldLayout(&h, kRecordA), 0);
  EXPECT_EQ(QfaExistFieldLayout(&h, kTableC), 0);
  EXPECT_EQ(QfaExistFieldLayout(&h, kPlain2), 0);
  QfaGetFieldForm(&h, kTableB, &form);
  EXPECT_EQ(form.FormE, 3);
  EXPECT_EQ(form.FormF, 63);
  // A placement record before any page is a damaged file.
  const std::string bad = site.flat() + "BAD.QFD";
  {
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    std::ofstream out(bad, std::ios::binary);
    out << bytes.substr(0, 6 + 288) << record('f', {1, 0, 1, 0, kPlain, 0, 1, 0, 0, 0, 0, 0});
  }
  FormHandle other{};
  EXPECT_EQ(QfaOpenForm(&other, bad.c_str()), 102);
  const std::string wrong = site.flat() + "WRONG.QFD";
  {
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    std::ofstream out(wrong, std::ios::binary);
    out << bytes << record('t', {kTable, 0, 1, 0});
  }
  EXPECT_EQ(QfaOpenForm(&other, wrong.c_str()), 102);
}

}  // namespace
