// One page of a form or document: the page-data list (the page order of its content), the kind
// tables that own the content records, and the two pools that hold cell attributes and strings.
#ifndef QSTORE_COMMON_MODEL_PAGE_H_
#define QSTORE_COMMON_MODEL_PAGE_H_

#include <cstdint>
#include <memory>

#include "common/model/cell_attr_pool.h"
#include "common/model/chart_rec.h"
#include "common/model/page_data.h"
#include "common/model/stored_records.h"
#include "common/model/string_pool.h"
#include "common/status.h"

namespace qs {

// Records of one kind under numbers 1..N; an empty number holds no record.
template <typename Rec, int N>
class KindTable {
 public:
  static constexpr int kCapacity = N;

  Rec* Get(int no) const { return InRange(no) ? items_[no - 1].get() : nullptr; }
  bool Has(int no) const { return Get(no) != nullptr; }
  // The lowest empty number, or -1 when the table is full.
  int LowestFree() const {
    for (int i = 0; i < N; ++i)
      if (!items_[i]) return i + 1;
    return -1;
  }
  // Stores `rec` under `no` (replacing what was there) or, for `no` 0, under the lowest empty
  // number. Returns the number used, or -1 when the table is full or `no` is out of range.
  int Store(int no, std::unique_ptr<Rec> rec) {
    if (no == 0) no = LowestFree();
    if (!InRange(no)) return -1;
    items_[no - 1] = std::move(rec);
    return no;
  }
  // Removes and returns the record of `no` (null when empty).
  std::unique_ptr<Rec> Take(int no) {
    if (!InRange(no)) return nullptr;
    return std::move(items_[no - 1]);
  }
  int Free(int no) { return Take(no) ? kOk : kRefused; }
  // Moves the record from `from` to `to`: kOk when equal; kRefused when `from` is out of range or
  // empty or `to` is out of range or taken.
  int Move(int from, int to) {
    if (!InRange(from) || !items_[from - 1]) return kRefused;
    if (from == to) return kOk;
    if (!InRange(to) || items_[to - 1]) return kRefused;
    items_[to - 1] = std::move(items_[from - 1]);
    return kOk;
  }
  int Count() const {
    int n = 0;
    for (const auto& item : items_)
      if (item) ++n;
    return n;
  }
  static bool InRange(int no) { return no >= 1 && no <= N; }

 private:
  std::unique_ptr<Rec> items_[N];
};

struct Page {
  static constexpr int kMaxData = 288;

  Page();
  ~Page();
  Page(const Page&) = delete;
  Page& operator=(const Page&) = delete;

  uint16_t inf = 0;  // bit 0 Flag1, bit 1 Flag2
  uint16_t data_count = 0;
  PageData data[kMaxData];

  KindTable<ChartRec, 32> charts;
  KindTable<TextRec, 32> texts;
  KindTable<FreCellRec, 32> fre_cells;
  KindTable<FigureRec, 128> figures;
  KindTable<InsFigureRec, 64> ins_figures;

  CellAttrPool cell_attrs;
  StringPool strings;

  // Appends an entry; -1 when the list holds 288 entries.
  int AppendEntry(PageData entry);
  // Removes the first entry equal to `entry`; -1 when there is none.
  int RemoveEntry(PageData entry);
  // Position (0-based) of the first entry equal to `entry`, or -1.
  int FindEntry(PageData entry) const;
  // True when an item of that kind holds the entry's number.
  bool HasItem(PageData entry) const;
  // Moves the record of `kind` from number `from` to `to`, rewriting its page-data entry in place.
  int Renumber(uint8_t kind, int from, int to);
  // The lowest empty number of the kind table of `kind`; -1 when it is full or there is no such
  // kind.
  int LowestFree(uint8_t kind) const {
    return WithTable(*this, kind, -1, [](const auto& table) { return table.LowestFree(); });
  }

 private:
  // Calls `f` with the kind table of `kind` of `page` and returns its result; `none` for a kind
  // without a table.
  template <typename P, typename R, typename F>
  static R WithTable(P& page, uint8_t kind, R none, F&& f) {
    switch (kind) {
      case kChart:
        return f(page.charts);
      case kText:
        return f(page.texts);
      case kFreCell:
        return f(page.fre_cells);
      case kFigure:
        return f(page.figures);
      case kInsFigure:
        return f(page.ins_figures);
      default:
        return none;
    }
  }
};

}  // namespace qs

#endif  // QSTORE_COMMON_MODEL_PAGE_H_
