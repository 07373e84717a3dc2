// Random page-model edits on a form with placed fields, each checked against a small model of
// where every placement must be and which number it must carry.
//
// The model keeps each placement's page, chart or free cell, cell and the order in which it came;
// numbers follow from that order (page by page, older first), which is what renumbering keeps.
// Edits: row and column inserts and deletes, page-data deletes, page deletes, adding and
// cancelling placements of plain fields, record fields and table copies.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <random>
#include <tuple>
#include <vector>

#include "formstore.h"
#include "support/field_fixture.h"

namespace {

using namespace qs_test;

constexpr int kPages = 2;

struct Placed {
  int page;
  uint16_t entry;
  int row, col;  // a table's top-left cell; 0, 0 in a free cell
  uint16_t id;   // kTable for a table copy
  long seq;      // order of arrival
};

// What the page shows: (page, entry, row, col, id, number).
using Key = std::tuple<int, uint16_t, int, int, uint16_t, uint32_t>;

class Model {
 public:
  std::vector<Placed> all;
  long next_seq = 0;

  std::vector<Key> Keys() const {
    std::map<uint16_t, std::vector<const Placed*>> by_id;
    for (const Placed& p : all) by_id[p.id].push_back(&p);
    std::vector<Key> keys;
    for (auto& [id, list] : by_id) {
      std::sort(list.begin(), list.end(), [](const Placed* a, const Placed* b) {
        return std::tie(a->page, a->seq) < std::tie(b->page, b->seq);
      });
      uint32_t no = 1;
      for (const Placed* p : list)
        keys.emplace_back(p->page, p->entry, p->row, p->col, id,
                          id == kPlain || id == kPlain2 ? 1 : no++);
    }
    std::sort(keys.begin(), keys.end());
    return keys;
  }
  int Count(uint16_t id) const {
    return int(std::count_if(all.begin(), all.end(), [id](const Placed& p) { return p.id == id; }));
  }
  // The placement whose number is 1: the oldest on the first page that has one.
  const Placed* FirstOf(uint16_t id) const {
    const Placed* first = nullptr;
    for (const Placed& p : all)
      if (p.id == id && (!first || std::tie(p.page, p.seq) < std::tie(first->page, first->seq)))
        first = &p;
    return first;
  }
  // True when some field shows at that cell (any cell of a free cell).
  bool Occupied(int page, uint16_t entry, int row, int col) const {
    const bool fre_cell = (entry & 0xFF) == 3;
    for (const Placed& p : all) {
      if (p.page != page || p.entry != entry) continue;
      if (fre_cell) return true;
      if (p.id != kTable && p.row == row && p.col == col) return true;
      if (p.id == kTable && ((p.row == row && (p.col == col || p.col + 1 == col)) ||
                             (p.row + 1 == row && p.col == col)))
        return true;
    }
    return false;
  }
  void Add(int page, uint16_t entry, int row, int col, uint16_t id) {
    all.push_back({page, entry, row, col, id, next_seq++});
  }
  void RemoveIf(const std::function<bool(const Placed&)>& gone) {
    all.erase(std::remove_if(all.begin(), all.end(), gone), all.end());
  }
  void InsertLine(int page, uint16_t entry, int at, bool rows) {
    for (Placed& p : all) {
      int& v = rows ? p.row : p.col;
      if (p.page == page && p.entry == entry && v >= at) ++v;
    }
  }
  void DeleteLine(int page, uint16_t entry, int at, bool rows) {
    const Placed* first = FirstOf(kTable);
    const long first_seq = first ? first->seq : -1;
    bool table_gone = false;
    std::vector<Placed> kept;
    for (Placed p : all) {
      int& v = rows ? p.row : p.col;
      if (p.page != page || p.entry != entry) {
        kept.push_back(p);
        continue;
      }
      const int span = p.id == kTable ? 2 : 1;  // every table is 2 x 2
      if (v <= at && at <= v + span - 1) {
        if (p.id == kTable && p.seq == first_seq) table_gone = true;
        continue;
      }
      if (v > at) --v;
      kept.push_back(p);
    }
    all = kept;
    if (table_gone) RemoveIf([](const Placed& p) { return p.id == kTable; });
  }
};

class FieldLayoutPropertyTest : public FieldFormTest {
 protected:
  FieldLayoutPropertyTest() : FieldFormTest(kPages) {}

  void Fill(int page) {
    GoTo(page);
    AddChart(8, 8);
    AddChart(8, 8);
    AddFreCell();
  }
  std::vector<uint16_t> Entries(uint8_t kind) {
    std::vector<uint16_t> out;
    for (int n = 1; n <= QfaGetPageDataCount(&h); ++n) {
      uint16_t e = 0;
      QfaGetPageData(&h, n, &e);
      if ((e & 0xFF) == kind) out.push_back(e);
    }
    return out;
  }
  std::pair<int, int> Size(uint16_t chart) {
    ChartInf inf{};
    QfaGetChartInf(&h, chart, &inf);
    return {int(inf.Rows), int(inf.Cols)};
  }
  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }
  template <typename T>
  T PickOf(const std::vector<T>& v) {
    return v[size_t(Pick(int(v.size())))];
  }

  std::vector<Key> Actual() {
    std::vector<Key> keys;
    for (int page = 1; page <= QfaGetPageCount(&h); ++page) {
      GoTo(page);
      for (const Inner& p : Inners()) keys.emplace_back(page, p.entry, p.row, p.col, p.id, p.no);
    }
    std::sort(keys.begin(), keys.end());
    return keys;
  }

  // One random edit; the model follows what it must do.
  void Step() {
    const int page = 1 + Pick(QfaGetPageCount(&h));
    GoTo(page);
    const std::vector<uint16_t> charts = Entries(1), cells = Entries(3);
    const int what = Pick(12);
    if (what <= 3) {  // a row or column inserted or deleted
      const uint16_t chart = PickOf(charts);
      const bool rows = what % 2 == 0, insert = what < 2;
      const auto [nrows, ncols] = Size(chart);
      const int lines = rows ? nrows : ncols;
      if (insert && lines < 14) {
        const int at = 1 + Pick(lines + 1);
        ASSERT_EQ(rows ? QfaInsertChartR(&h, chart, 0, uint16_t(at), 10)
                       : QfaInsertChartC(&h, chart, 0, uint16_t(at), 10),
                  0);
        model.InsertLine(page, chart, at, rows);
      } else if (!insert && lines > 3) {
        const int at = 1 + Pick(lines);
        ASSERT_EQ(rows ? QfaDeleteChartR(&h, chart, uint16_t(at))
                       : QfaDeleteChartC(&h, chart, uint16_t(at)),
                  0);
        model.DeleteLine(page, chart, at, rows);
      }
    } else if (what == 4) {  // page data deleted and made anew
      const bool chart = Pick(4) == 0;
      const uint16_t entry = chart ? PickOf(charts) : PickOf(cells);
      ASSERT_EQ(QfaDeletePageData(&h, entry), 0);
      model.RemoveIf([&](const Placed& p) { return p.page == page && p.entry == entry; });
      chart ? AddChart(8, 8) : AddFreCell();
    } else if (what == 5 && Pick(5) == 0) {  // the page deleted and a fresh one added
      ASSERT_EQ(QfaDeleteFormPage(&h), 0);
      model.RemoveIf([&](const Placed& p) { return p.page == page; });
      for (Placed& p : model.all)
        if (p.page > page) --p.page;
      GoTo(QfaGetPageCount(&h));
      PageInf inf{};
      ASSERT_EQ(QfaInsertFormPage(&h, 1, &inf), 0);
      Fill(QfaGetPageCount(&h));
    } else if (what == 6) {  // a plain or record placement cancelled
      std::vector<Placed> here;
      for (const Placed& p : model.all)
        if (p.page == page && p.id != kTable) here.push_back(p);
      if (here.empty()) return;
      const Placed p = PickOf(here);
      uint32_t no = 0;
      for (const Key& k : model.Keys())
        if (k == Key(p.page, p.entry, p.row, p.col, p.id, std::get<5>(k))) no = std::get<5>(k);
      ASSERT_EQ(QfaCancelFieldLayout(&h, p.id, no), 0);
      model.RemoveIf([&](const Placed& q) { return q.seq == p.seq; });
    } else {
      PlaceRandom(page, charts, cells);
    }
  }

  void PlaceRandom(int page, const std::vector<uint16_t>& charts,
                   const std::vector<uint16_t>& cells) {
    static const uint16_t kIds[] = {kPlain, kPlain2, kRecordA, kRecordB, kTableA};
    const uint16_t id = kIds[Pick(5)];
    const bool in_cell = id != kTableA && Pick(4) == 0;
    const uint16_t entry = in_cell ? PickOf(cells) : PickOf(charts);
    const auto [rows, cols] = in_cell ? std::make_pair(0, 0) : Size(entry);
    const int row = in_cell ? 0 : 1 + Pick(rows), col = in_cell ? 0 : 1 + Pick(cols);
    const bool occupied = model.Occupied(page, entry, row, col);
    if (id == kTableA && model.Count(kTable) == 0) {
      // The table is placed anew: field A, then B right of it and C below it.
      if (row + 1 > rows || col + 1 > cols || occupied ||
          model.Occupied(page, entry, row, col + 1) || model.Occupied(page, entry, row + 1, col))
        return;
      ASSERT_EQ(Place(kTableA, entry, row, col), 0);
      ASSERT_EQ(Place(kTableB, entry, row, col + 1), 0);
      ASSERT_EQ(Place(kTableC, entry, row + 1, col), 0);
      model.Add(page, entry, row, col, kTable);
      return;
    }
    int expected = 0;
    if (occupied)
      expected = -3;
    else if (id == kTableA && (row + 1 > rows || col + 1 > cols))
      expected = 106;
    uint32_t no = 0;
    ASSERT_EQ(Place(id, entry, uint16_t(row), uint16_t(col), &no), expected)
        << "field " << id << " at " << row << "," << col;
    if (expected != 0) return;
    if (id == kPlain || id == kPlain2) {
      for (Placed& p : model.all)
        if (p.page == page && p.id == id) {
          p.entry = entry;
          p.row = row;
          p.col = col;
          return;
        }
    }
    const uint16_t shown = id == kTableA ? uint16_t(kTable) : id;
    model.Add(page, entry, row, col, shown);
    // The number reported is the one the new placement carries.
    for (const Key& k : model.Keys()) {
      if (std::get<0>(k) == page && std::get<1>(k) == entry && std::get<2>(k) == row &&
          std::get<3>(k) == col && std::get<4>(k) == shown) {
        EXPECT_EQ(no, std::get<5>(k));
      }
    }
  }

  void Check() {
    ASSERT_EQ(Actual(), model.Keys());
    for (uint16_t id : {kPlain, kPlain2, kRecordA, kRecordB})
      ASSERT_EQ(QfaExistFieldLayout(&h, id), model.Count(id)) << "field " << id;
    for (uint16_t id : {kTableA, kTableB, kTableC})
      ASSERT_EQ(QfaExistFieldLayout(&h, id), model.Count(kTable)) << "field " << id;
  }

  std::mt19937 rng;
  Model model;
};

TEST_F(FieldLayoutPropertyTest, PlacementsFollowRandomEdits) {
  for (uint32_t seed = 1; seed <= 12; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    rng.seed(seed);
    model = Model();
    ASSERT_EQ(QfaInitFieldLayout(&h), 0);
    for (int page = 1; page <= kPages; ++page) {
      GoTo(page);
      for (int n = QfaGetPageDataCount(&h); n >= 1; --n) {
        uint16_t e = 0;
        QfaGetPageData(&h, n, &e);
        QfaDeletePageData(&h, e);
      }
      Fill(page);
    }
    for (int step = 0; step < 300; ++step) {
      SCOPED_TRACE("step " + std::to_string(step));
      ASSERT_NO_FATAL_FAILURE(Step());
      ASSERT_NO_FATAL_FAILURE(Check());
    }
  }
}

}  // namespace
