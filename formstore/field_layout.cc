#include "formstore/field_layout.h"

#include <algorithm>
#include <atomic>

#include "common/model/page.h"
#include "common/status.h"

namespace qs {

namespace {

std::atomic<bool> g_layout_changed{false};

LayoutPos PosOf(const LayoutInner& p) {
  LayoutPos pos{};
  pos.Row = p.row;
  pos.Col = p.col;
  pos.Mode = p.mode;
  pos.Extent = p.extent;
  pos.Reserved = p.reserved;
  return pos;
}

void SetPos(LayoutInner* p, const LayoutPos& pos) {
  p->row = pos.Row;
  p->col = pos.Col;
  p->mode = pos.Mode;
  p->extent = pos.Extent;
  p->reserved = pos.Reserved;
}

}  // namespace

bool LayoutChanged() {
  return g_layout_changed.load();
}

void SetLayoutChanged(bool changed) {
  g_layout_changed.store(changed);
}

PlacementList* FieldLayout::ListOf(int page) {
  const Page* p = b_.PageAt(page);
  return p ? &lists_[p] : nullptr;
}

void FieldLayout::ForgetPage(const Page* page) {
  lists_.erase(page);
}

const ChartRec* FieldLayout::ChartOf(int page, uint16_t where) {
  const PageData entry = PageData::FromValue(where);
  const Page* p = b_.PageAt(page);
  if (p == nullptr || entry.kind != kChart) return nullptr;
  return p->charts.Get(entry.no);
}

LayoutInner* FieldLayout::Find(PlacementList& list, uint16_t id, uint32_t no) {
  for (LayoutInner& p : list)
    if (p.layout_id == id && p.layout_no == no) return &p;
  return nullptr;
}

std::vector<FieldRec*> FieldLayout::PlacedFieldsOf(uint16_t table) {
  std::vector<FieldRec*> placed;
  for (FieldRec& f : defs_.fields())
    if (f.pub.ParentId == table && f.layout_count > 0) placed.push_back(&f);
  return placed;
}

FieldLayout::Size FieldLayout::TableSize(uint16_t table) {
  Size s;
  for (const FieldRec* f : PlacedFieldsOf(table)) {
    s.rows = std::max<int>(s.rows, f->offset_row);
    s.cols = std::max<int>(s.cols, f->offset_col);
  }
  return s;
}

void FieldLayout::Unplace(uint16_t id, int times, std::set<uint16_t>* involved) {
  for (FieldRec& f : defs_.fields()) {
    if (f.layout_count == 0 || (f.pub.FieldId != id && f.pub.ParentId != id)) continue;
    f.layout_count = uint16_t(std::max(0, f.layout_count - times));
    involved->insert(uint16_t(f.pub.ParentId));  // a copy: the member is packed
  }
}

void FieldLayout::RenumberId(uint16_t id) {
  uint16_t next = 1;
  for (int page = 1; page <= b_.page_count(); ++page) {
    PlacementList* list = ListOf(page);
    if (list == nullptr) continue;
    std::vector<LayoutInner*> mine;
    for (LayoutInner& p : *list)
      if (p.layout_id == id) mine.push_back(&p);
    std::stable_sort(mine.begin(), mine.end(), [](const LayoutInner* a, const LayoutInner* b) {
      return a->layout_no < b->layout_no;
    });
    for (LayoutInner* p : mine) p->layout_no = next++;
  }
}

void FieldLayout::Renumber(const std::set<uint16_t>& involved) {
  for (uint16_t id : involved) {
    const FieldStruct* s = id ? defs_.FindStruct(id) : nullptr;
    if (s == nullptr) continue;
    if (s->StructKind == kStructTable) {
      RenumberId(id);
    } else if (s->StructKind == kStructRecord) {
      for (const FieldRec& f : defs_.fields())
        if (f.pub.ParentId == id) RenumberId(f.pub.FieldId);
    }
  }
}

int FieldLayout::RemoveEverywhere(uint16_t table) {
  int removed = 0;
  for (int page = 1; page <= b_.page_count(); ++page) {
    PlacementList* list = ListOf(page);
    if (list == nullptr) continue;
    const size_t before = list->size();
    list->erase(std::remove_if(list->begin(), list->end(),
                               [table](const LayoutInner& p) { return p.layout_id == table; }),
                list->end());
    removed += int(before - list->size());
  }
  return removed;
}

int FieldLayout::CountPlaced() {
  PlacementList* list = CurrentList();
  if (list == nullptr) return 0;
  int count = 0;
  for (LayoutInner& p : *list) {
    p.tally = IsFieldPlacement(p) ? 1 : uint16_t(PlacedFieldsOf(p.layout_id).size());
    count += p.tally;
  }
  return count;
}

int FieldLayout::GetLayoutField(int n, uint16_t* id, uint32_t* no) {
  PlacementList* list = CurrentList();
  if (list == nullptr || n < 1) return kRefused;
  for (const LayoutInner& p : *list) {
    if (n > p.tally) {
      n -= p.tally;
      continue;
    }
    if (IsFieldPlacement(p)) {
      *id = p.layout_id;
    } else {
      // Tallies may be stale: the table may hold fewer fields by now.
      const std::vector<FieldRec*> placed = PlacedFieldsOf(p.layout_id);
      if (size_t(n) > placed.size()) return kRefused;
      *id = placed[size_t(n - 1)]->pub.FieldId;
    }
    *no = p.layout_no;
    return kOk;
  }
  return kRefused;
}

int FieldLayout::GetLayoutField2(int n, PageData where, uint16_t row, uint16_t col, uint16_t* id,
                                 uint32_t* no) {
  PlacementList* list = CurrentList();
  if (list == nullptr || n < 1) return kRefused;
  const bool anywhere = where.kind == kFreCell;  // a free cell is one place
  for (const LayoutInner& p : *list) {
    if (p.page_data != where.value()) continue;
    if (IsFieldPlacement(p)) {
      if ((anywhere || (p.row == row && p.col == col)) && --n == 0) {
        *id = p.layout_id;
        *no = p.layout_no;
        return kOk;
      }
      continue;
    }
    for (const FieldRec* f : PlacedFieldsOf(p.layout_id)) {
      const bool here = p.row + f->offset_row - 1 == row && p.col + f->offset_col - 1 == col;
      if ((anywhere || here) && --n == 0) {
        *id = f->pub.FieldId;
        *no = p.layout_no;
        return kOk;
      }
    }
  }
  return kRefused;
}

int FieldLayout::GetFieldLayout(uint16_t id, uint32_t no, uint16_t* where, uint16_t* row,
                                uint16_t* col, LayoutPos* pos) {
  const FieldRec* f = defs_.FindField(id);
  PlacementList* list = CurrentList();
  if (f == nullptr || f->layout_count == 0 || list == nullptr) return kRefused;
  const Placing placing = defs_.PlacingOf(*f);
  if (placing == Placing::kNone) return kRefused;
  const bool table = placing == Placing::kTable;
  const LayoutInner* p = Find(*list, table ? f->pub.ParentId : id, no);
  if (p == nullptr) return kRefused;
  *where = p->page_data;
  *row = table ? uint16_t(p->row + f->offset_row - 1) : p->row;
  *col = table ? uint16_t(p->col + f->offset_col - 1) : p->col;
  *pos = PosOf(*p);
  return kOk;
}

int FieldLayout::PutFieldLayout2(uint16_t id, uint32_t no, const LayoutPos& pos) {
  b_.CountChange();
  const FieldRec* f = defs_.FindField(id);
  if (f == nullptr || f->layout_count == 0) return kRefused;
  const Placing placing = defs_.PlacingOf(*f);
  if (placing == Placing::kPlain) return kOk;
  PlacementList* list = CurrentList();
  LayoutInner* p = list && placing == Placing::kTable ? Find(*list, f->pub.ParentId, no) : nullptr;
  if (p == nullptr) return kRefused;
  const ChartRec* chart = ChartOf(b_.current_page(), p->page_data);
  if (chart == nullptr) return kPlacementLeaves;
  const Size size = TableSize(f->pub.ParentId);
  const int covered = std::max<int>(size.rows, pos.Extent);
  if (pos.Row == 0 || pos.Col == 0 || pos.Row + covered - 1 > chart->rows() ||
      pos.Col + size.cols - 1 > chart->cols())
    return kPlacementLeaves;
  SetPos(p, pos);
  return kOk;
}

int FieldLayout::Add(uint16_t id, PageData where, uint16_t row, uint16_t col, uint32_t* no) {
  b_.CountChange();
  SetLayoutChanged(false);
  FieldRec* f = defs_.FindField(id);
  if (f == nullptr) return kNoSuchField;
  PlacementList* list = CurrentList();
  Page* page = b_.CurrentPage();
  if (list == nullptr || page == nullptr) return kRefused;
  // The place must exist: a cell of a chart of this page, or a free cell of it.
  const bool in_fre_cell = where.kind == kFreCell;
  if (in_fre_cell) {
    if (!page->fre_cells.Has(where.no)) return kRefused;
  } else {
    const ChartRec* chart = where.kind == kChart ? page->charts.Get(where.no) : nullptr;
    if (chart == nullptr || !chart->RowInRange(row) || !chart->ColInRange(col)) return kRefused;
  }
  uint16_t shown_id;
  uint32_t shown_no;
  if (GetLayoutField2(1, where, row, col, &shown_id, &shown_no) == kOk) return kPlaceTaken;

  LayoutInner p;
  p.layout_id = id;
  p.layout_no = 1;
  p.page_data = where.value();
  p.row = in_fre_cell ? 0 : row;
  p.col = in_fre_cell ? 0 : col;
  switch (defs_.PlacingOf(*f)) {
    case Placing::kPlain:
      *no = 1;
      if (LayoutInner* old = Find(*list, id, 1)) {
        *old = p;  // the field moves on this page
        return kOk;
      }
      if (list->size() >= kMaxPlacements) return kPlacementsFull;
      list->push_back(p);
      ++f->layout_count;
      return kOk;
    case Placing::kRecord:
      if (list->size() >= kMaxPlacements) return kRefused;
      // Counted once it is stored: a list that cannot grow leaves the count as it was.
      p.layout_no = uint16_t(f->layout_count + 1);
      list->push_back(p);
      ++f->layout_count;
      Renumber({f->pub.ParentId});
      *no = list->back().layout_no;
      return kOk;
    case Placing::kTable:
      if (in_fre_cell) return kRefused;
      return AddTable(f, where, row, col, no);
    case Placing::kNone:
      break;
  }
  return kFieldNotPlaceable;
}

int FieldLayout::AddTable(FieldRec* f, PageData where, uint16_t row, uint16_t col, uint32_t* no) {
  const uint16_t table = f->pub.ParentId;
  const int page = b_.current_page();
  PlacementList& list = *ListOf(page);
  const std::vector<FieldRec*> placed = PlacedFieldsOf(table);

  if (f->layout_count == 0 && placed.empty()) {
    // The table's first placement, holding this field in its top-left cell.
    if (list.size() >= kMaxPlacements) return kRefused;
    LayoutInner p;
    p.layout_id = table;
    p.layout_no = 1;
    p.page_data = where.value();
    p.row = row;
    p.col = col;
    p.mode = 1;
    list.push_back(p);
    f->layout_count = 1;
    f->offset_row = f->offset_col = 1;
    *no = 1;
    return kOk;
  }

  if (f->layout_count == 0) {
    // One more field of a placed table: the rectangle grows to take in its cell, and every copy
    // of the table grows the same way.
    LayoutInner* first = Find(list, table, 1);
    if (first == nullptr || first->page_data != where.value()) return kPlacementLeaves;
    const Size size = TableSize(table);
    int top = first->row, left = first->col, rows = size.rows, cols = size.cols;
    int up = 0, back = 0;  // how far the top and left edges move
    if (row < top) {
      up = top - row;
      rows += up;
    } else if (row > top + rows - 1) {
      rows = row - top + 1;
    }
    if (col < left) {
      back = left - col;
      cols += back;
    } else if (col > left + cols - 1) {
      cols = col - left + 1;
    }
    for (int pg = 1; pg <= b_.page_count(); ++pg) {
      for (const LayoutInner& p : *ListOf(pg)) {
        if (p.layout_id != table) continue;
        const ChartRec* chart = ChartOf(pg, p.page_data);
        const int r = p.row - up, c = p.col - back;
        if (chart == nullptr || r < 1 || c < 1 || r + rows - 1 > chart->rows() ||
            c + cols - 1 > chart->cols())
          return kPlacementLeaves;
      }
    }
    if (rows > first->extent) first->extent = uint16_t(rows);
    if (up > 0 || back > 0) {
      for (FieldRec* other : placed) {
        other->offset_row = uint16_t(other->offset_row + up);
        other->offset_col = uint16_t(other->offset_col + back);
      }
      for (int pg = 1; pg <= b_.page_count(); ++pg)
        for (LayoutInner& p : *ListOf(pg))
          if (p.layout_id == table) {
            p.row = uint16_t(p.row - up);
            p.col = uint16_t(p.col - back);
          }
      if (Find(list, table, 2)) SetLayoutChanged(true);
    }
    f->layout_count = placed.front()->layout_count;
    f->offset_row = uint16_t(row - (top - up) + 1);
    f->offset_col = uint16_t(col - (left - back) + 1);
    *no = 1;
    return kOk;
  }

  // A further copy of the table, placed so that this field lands in the given cell.
  const Size size = TableSize(table);
  const int top = row - f->offset_row + 1, left = col - f->offset_col + 1;
  const ChartRec* chart = ChartOf(page, where.value());
  if (chart == nullptr || top < 1 || left < 1 || top + size.rows - 1 > chart->rows() ||
      left + size.cols - 1 > chart->cols())
    return kPlacementLeaves;
  const LayoutInner* first = nullptr;
  for (int pg = 1; pg <= b_.page_count() && first == nullptr; ++pg)
    first = Find(*ListOf(pg), table, 1);
  if (first == nullptr) return kPlacementNoFirst;
  if (list.size() >= kMaxPlacements) return kRefused;
  const uint16_t number = uint16_t(f->layout_count + 1);
  LayoutInner p;
  p.layout_id = table;
  p.layout_no = number;
  p.page_data = where.value();
  p.row = uint16_t(top);
  p.col = uint16_t(left);
  p.mode = first->mode;
  p.extent = uint16_t(p.mode <= 1 ? size.rows : size.cols);
  list.push_back(p);
  for (FieldRec* other : placed) ++other->layout_count;
  RenumberId(table);
  *no = list.back().layout_no;
  if (*no != number) SetLayoutChanged(true);
  return kOk;
}

int FieldLayout::Cancel(uint16_t id, uint32_t no) {
  b_.CountChange();
  SetLayoutChanged(false);
  FieldRec* f = defs_.FindField(id);
  if (f == nullptr || f->layout_count == 0) return kRefused;
  PlacementList* list = CurrentList();
  auto remove = [list](uint16_t layout_id, uint32_t layout_no) {
    if (list == nullptr) return false;
    for (auto it = list->begin(); it != list->end(); ++it)
      if (it->layout_id == layout_id && it->layout_no == layout_no) {
        list->erase(it);
        return true;
      }
    return false;
  };
  const uint16_t parent = f->pub.ParentId;
  switch (defs_.PlacingOf(*f)) {
    case Placing::kPlain:
    case Placing::kRecord:
      if (!remove(id, no)) return kRefused;
      --f->layout_count;
      Renumber({parent});
      return kOk;
    case Placing::kTable: {
      SetLayoutChanged(true);
      if (no != 1) {
        if (!remove(parent, no)) return kRefused;
        for (FieldRec* other : PlacedFieldsOf(parent)) --other->layout_count;
        RenumberId(parent);
        return kOk;
      }
      // The field leaves its table; the rectangle shrinks to the fields that stay.
      f->layout_count = 0;
      const std::vector<FieldRec*> rest = PlacedFieldsOf(parent);
      if (rest.empty()) {
        RemoveEverywhere(parent);
        return kOk;
      }
      int down = INT32_MAX, right = INT32_MAX;
      for (const FieldRec* other : rest) {
        down = std::min<int>(down, other->offset_row - 1);
        right = std::min<int>(right, other->offset_col - 1);
      }
      down = std::max(down, 0);
      right = std::max(right, 0);
      if (down == 0 && right == 0) return kOk;
      for (FieldRec* other : rest) {
        other->offset_row = uint16_t(other->offset_row - down);
        other->offset_col = uint16_t(other->offset_col - right);
      }
      for (int pg = 1; pg <= b_.page_count(); ++pg)
        for (LayoutInner& p : *ListOf(pg))
          if (p.layout_id == parent) {
            p.row = uint16_t(p.row + down);
            p.col = uint16_t(p.col + right);
          }
      return kOk;
    }
    case Placing::kNone:
      break;
  }
  return kRefused;
}

int FieldLayout::Init() {
  b_.CountChange();
  ClearAll();
  for (FieldRec& f : defs_.fields()) f.layout_count = f.offset_row = f.offset_col = 0;
  return kOk;
}

int FieldLayout::InnerCount() {
  PlacementList* list = CurrentList();
  return list ? int(list->size()) : 0;
}

int FieldLayout::GetInner(int position, uint16_t* id, uint32_t* no, uint16_t* where,
                          LayoutPos* pos) {
  PlacementList* list = CurrentList();
  if (list == nullptr || position < 1 || size_t(position) > list->size()) return kRefused;
  const LayoutInner& p = (*list)[size_t(position - 1)];
  *id = p.layout_id;
  *no = p.layout_no;
  *where = p.page_data;
  *pos = PosOf(p);
  return kOk;
}

int FieldLayout::PutInner(uint16_t id, uint32_t no, const LayoutPos& pos) {
  PlacementList* list = CurrentList();
  LayoutInner* p = list ? Find(*list, id, no) : nullptr;
  if (p == nullptr) return kRefused;
  b_.CountChange();
  SetPos(p, pos);
  return kOk;
}

int FieldLayout::GetOffset(uint16_t id, uint16_t* row, uint16_t* col) {
  const FieldRec* f = defs_.FindField(id);
  if (f == nullptr || f->layout_count == 0) return kRefused;
  *row = f->offset_row;
  *col = f->offset_col;
  return kOk;
}

int FieldLayout::Exist(uint16_t id) {
  const FieldRec* f = defs_.FindField(id);
  return f ? int(f->layout_count) : int(kRefused);
}

void FieldLayout::PageDeleting(int page) {
  PlacementList* list = ListOf(page);
  if (list == nullptr) return;
  std::set<uint16_t> involved;
  for (const LayoutInner& p : *list) Unplace(p.layout_id, 1, &involved);
  list->clear();
  Renumber(involved);
}

void FieldLayout::ChartDeleting(int page, int chart_no) {
  PageDataDeleting(page, PageData{kChart, uint8_t(chart_no)});
}

void FieldLayout::FreCellDeleting(int page, int fre_cell_no) {
  PageDataDeleting(page, PageData{kFreCell, uint8_t(fre_cell_no)});
}

void FieldLayout::PageDataDeleting(int page, PageData where) {
  SetLayoutChanged(false);
  PlacementList* list = ListOf(page);
  if (list == nullptr) return;
  std::set<uint16_t> involved;
  for (size_t i = list->size(); i-- > 0;) {
    const LayoutInner p = (*list)[i];
    if (p.page_data != where.value()) continue;
    if (!IsFieldPlacement(p)) SetLayoutChanged(true);
    Unplace(p.layout_id, 1, &involved);
    list->erase(list->begin() + long(i));
  }
  Renumber(involved);
}

void FieldLayout::ChartRowInserting(int page, int chart_no, int row) {
  LineInserting(page, chart_no, row, true);
}

void FieldLayout::ChartColInserting(int page, int chart_no, int col) {
  LineInserting(page, chart_no, col, false);
}

void FieldLayout::ChartRowDeleting(int page, int chart_no, int row) {
  LineDeleting(page, chart_no, row, true);
}

void FieldLayout::ChartColDeleting(int page, int chart_no, int col) {
  LineDeleting(page, chart_no, col, false);
}

void FieldLayout::LineInserting(int page, int chart_no, int line, bool rows) {
  PlacementList* list = ListOf(page);
  if (list == nullptr) return;
  const uint16_t where = PageData{kChart, uint8_t(chart_no)}.value();
  for (LayoutInner& p : *list) {
    uint16_t& at = rows ? p.row : p.col;
    if (p.page_data == where && at >= line) ++at;
  }
}

void FieldLayout::LineDeleting(int page, int chart_no, int line, bool rows) {
  SetLayoutChanged(false);
  PlacementList* list = ListOf(page);
  if (list == nullptr) return;
  const uint16_t where = PageData{kChart, uint8_t(chart_no)}.value();
  std::set<uint16_t> involved;
  for (size_t i = list->size(); i-- > 0;) {
    LayoutInner& p = (*list)[i];
    if (p.page_data != where) continue;
    uint16_t& at = rows ? p.row : p.col;
    if (IsFieldPlacement(p)) {
      if (at == line) {
        Unplace(p.layout_id, 1, &involved);
        list->erase(list->begin() + long(i));
      } else if (at > line) {
        --at;
      }
      continue;
    }
    const uint16_t table = p.layout_id;
    const Size size = TableSize(table);
    const int span = rows ? size.rows : size.cols;
    if (at <= line && line <= at + span - 1) {
      SetLayoutChanged(true);
      if (p.layout_no != 1) {
        Unplace(table, 1, &involved);
        list->erase(list->begin() + long(i));
        continue;
      }
      // The first placement goes with every copy of the table. The scan goes on over the
      // placements before it, which may have moved down the list.
      size_t before = 0;
      for (size_t j = 0; j < i; ++j)
        if ((*list)[j].layout_id == table) ++before;
      Unplace(table, RemoveEverywhere(table), &involved);
      involved.insert(table);
      i -= before;
    } else if (at > line) {
      --at;
      SetLayoutChanged(true);
    } else if (rows && at <= line && line <= at + p.extent - 1) {
      --p.extent;
      SetLayoutChanged(true);
    }
  }
  Renumber(involved);
}

}  // namespace qs
