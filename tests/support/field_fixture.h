// A form whose template defines plain fields, a table, a record and a sub-table, with helpers to
// add charts and free cells and to read the placements of a page.
#ifndef QSTORE_TESTS_SUPPORT_FIELD_FIXTURE_H_
#define QSTORE_TESTS_SUPPORT_FIELD_FIXTURE_H_

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "formstore.h"
#include "support/form_fixture.h"

namespace qs_test {

// Field and structure ids of the template.
enum : uint16_t {
  kPlain = 1,
  kPlain2 = 2,
  kTable = 10,
  kTableA = 11,
  kTableB = 12,
  kTableC = 13,
  kRecord = 20,
  kRecordA = 21,
  kRecordB = 22,
  kSubTable = 30,
  kSubField = 31,
};

constexpr const char kFieldTemplate[] =
    "$PRGNAME=FIELDS\n"
    "$FIELD=x,1,Plain,ST,10\n"
    "$FIELD=x,2,Plain2,IT,4\n"
    "$TABLE=x,10,Items\n"
    "$FIELD=x,11,Code,CH,6\n"
    "$FIELD=x,12,Amount,RL,8\n"
    "$FIELD=x,13,Note,ST,20\n"
    "$/TABLE\n"
    "$RECORD=x,20,Lines,3\n"
    "$FIELD=x,21,Item,ST,10\n"
    "$FIELD=x,22,Qty,IT,3\n"
    "$/RECORD\n"
    "$SUBTBL=x,30,Sub\n"
    "$FIELD=x,31,Inner,ST,1\n"
    "$/SUBTBL\n";

// One placement as QfaGetLayoutInner reports it.
struct Inner {
  uint16_t id;
  uint32_t no;
  uint16_t entry;
  uint16_t row, col;
  uint8_t mode;
  uint16_t extent;
  bool operator==(const Inner& o) const {
    return std::tie(id, no, entry, row, col, mode, extent) ==
           std::tie(o.id, o.no, o.entry, o.row, o.col, o.mode, o.extent);
  }
  bool operator<(const Inner& o) const {
    return std::tie(id, no, entry, row, col, mode, extent) <
           std::tie(o.id, o.no, o.entry, o.row, o.col, o.mode, o.extent);
  }
};

inline void PrintTo(const Inner& p, std::ostream* os) {
  *os << "{id " << p.id << " no " << p.no << " entry " << std::hex << p.entry << std::dec << " at "
      << p.row << "," << p.col << " mode " << int(p.mode) << " extent " << p.extent << "}";
}

class FieldFormTest : public FormTest {
 protected:
  explicit FieldFormTest(int pages = 2) : FormTest(pages) {}

  void SetUp() override {
    FormTest::SetUp();
    site.WriteFile("base/QFT/FIELDS.QFT", kFieldTemplate);
    FormInf inf{};
    QfaGetFormInf(&h, &inf);
    std::strcpy(inf.TemplateName, "FIELDS");
    ASSERT_EQ(QfaPutFormInf(&h, &inf), 0);
  }

  void GoTo(int page) { ASSERT_EQ(QfaPutCurPage(&h, page), 0); }

  uint16_t AddChart(uint16_t rows, uint16_t cols) {
    ChartInf inf{};
    inf.Right = 100 * cols;
    inf.Rows = rows;
    inf.Cols = cols;
    inf.RowHight = 10;
    uint16_t entry = 0;
    EXPECT_EQ(QfaAddChart(&h, &inf, &entry), 0);
    return entry;
  }
  uint16_t AddFreCell() {
    FreCell cell{};
    cell.Right = cell.Bottom = 50;
    uint16_t entry = 0;
    EXPECT_EQ(QfaAddFreCell(&h, &cell, "cell", &entry), 0);
    return entry;
  }

  // Adds a placement; returns the status, the number in *no.
  int Place(uint16_t id, uint16_t entry, uint16_t row, uint16_t col, uint32_t* no = nullptr) {
    uint32_t got = 0;
    const int status = QfaAddFieldLayout(&h, id, entry, row, col, &got);
    if (no) *no = got;
    return status;
  }

  // The placements of the current page in list order.
  std::vector<Inner> Inners() {
    std::vector<Inner> list;
    for (int n = 1; n <= QfaGetLayoutCountInner(&h); ++n) {
      Inner p{};
      LayoutPos pos{};
      EXPECT_EQ(QfaGetLayoutInner(&h, n, &p.id, &p.no, &p.entry, &pos), 0);
      p.row = pos.Row;
      p.col = pos.Col;
      p.mode = pos.Mode;
      p.extent = pos.Extent;
      list.push_back(p);
    }
    return list;
  }

  // Where the field's placement `no` shows on the current page: {row, col}, or {-1, -1}.
  std::pair<int, int> CellOf(uint16_t id, uint32_t no) {
    uint16_t entry = 0, row = 0, col = 0;
    LayoutPos pos{};
    if (QfaGetFieldLayout(&h, id, no, &entry, &row, &col, &pos) != 0) return {-1, -1};
    return {row, col};
  }
};

}  // namespace qs_test

#endif  // QSTORE_TESTS_SUPPORT_FIELD_FIXTURE_H_
