#include "common/model/page_ops.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "common/model/caller_values.h"
#include "common/model/chart_ops.h"
#include "common/status.h"
#include "common/undo/undo_record.h"
#include "common/undo/undo_state.h"
#include "platform/env.h"

namespace qs {

namespace {

// A page-data entry with the rectangle of its content, for the reading order.
struct Placed {
  PageData entry;
  int32_t left = 0, top = 0, right = 0, bottom = 0;
};

Placed PlaceOf(const Page& page, PageData entry) {
  Placed p;
  p.entry = entry;
  const TextRec* rec = nullptr;
  switch (entry.kind) {
    case kChart:
      if (const ChartRec* chart = page.charts.Get(entry.no)) {
        p.left = chart->inf.left;
        p.top = chart->inf.top;
        p.right = WrapAdd(chart->inf.left, chart->SumWidths());
        p.bottom = WrapAdd(chart->inf.top, chart->SumHeights());
      }
      return p;
    case kText:
      rec = page.texts.Get(entry.no);
      break;
    case kFreCell:
      rec = page.fre_cells.Get(entry.no);
      break;
    default:
      break;
  }
  if (rec != nullptr) {
    p.left = rec->left;
    p.top = rec->top;
    p.right = rec->right;
    p.bottom = rec->bottom;
  }
  return p;
}

// The two keys of a reading order and the direction in which each runs.
struct OrderKeys {
  int32_t (*first)(const Placed&);
  bool first_descending;
  int32_t (*second)(const Placed&);
  bool second_descending;
};

bool Before(int32_t a, int32_t b, bool descending) {
  return descending ? a > b : a < b;
}

// Orders `list` in two passes: an exchange sort on the first key, then an exchange sort on the
// second key within each run of equal first keys. The exchange sort is not stable: entries equal in
// both keys keep the order the passes leave them in, which need not be their page order.
void TwoPassOrder(std::vector<Placed>& list, const OrderKeys& keys) {
  const size_t n = list.size();
  for (size_t i = 0; i + 1 < n; ++i)
    for (size_t j = i + 1; j < n; ++j)
      if (Before(keys.first(list[j]), keys.first(list[i]), keys.first_descending))
        std::swap(list[i], list[j]);
  for (size_t i = 0; i < n; ++i)
    for (size_t j = i + 1; j < n && keys.first(list[j]) == keys.first(list[i]); ++j)
      if (Before(keys.second(list[j]), keys.second(list[i]), keys.second_descending))
        std::swap(list[i], list[j]);
}

int32_t LeftOf(const Placed& p) {
  return p.left;
}
int32_t TopOf(const Placed& p) {
  return p.top;
}
int32_t RightOf(const Placed& p) {
  return p.right;
}

// Deletes the record an entry names. kRefused when a text or free cell (or chart) is missing, in
// which case nothing has been touched.
int DeleteContent(Binder& b, Page& page, PageData entry) {
  FieldLayoutHooks* hooks = b.layout_hooks();
  const int page_no = b.current_page();
  switch (entry.kind) {
    case kChart: {
      ChartRec* chart = page.charts.Get(entry.no);
      if (chart == nullptr) return kRefused;
      if (hooks) hooks->ChartDeleting(page_no, entry.no);
      ReleaseChartCells(page, *chart);
      page.charts.Free(entry.no);
      return kOk;
    }
    case kText:
    case kFreCell: {
      auto& table = entry.kind == kText ? page.texts : page.fre_cells;
      TextRec* rec = table.Get(entry.no);
      if (rec == nullptr) return kRefused;
      uint16_t text_id = rec->text_id;
      if (text_id != 0) page.strings.Free(&text_id);
      if (entry.kind == kFreCell && hooks) hooks->FreCellDeleting(page_no, entry.no);
      table.Free(entry.no);
      return kOk;
    }
    case kFigure:
      page.figures.Free(entry.no);  // an empty number is passed over
      return kOk;
    case kInsFigure:
      if (const InsFigureRec* rec = page.ins_figures.Get(entry.no)) {
        // The copy belongs to this item alone; deleting the item deletes the picture.
        const std::string file(rec->file_name,
                               BoundedLength(rec->file_name, sizeof rec->file_name));
        if (!file.empty()) b.env().Delete(file);
        page.ins_figures.Free(entry.no);
      }
      return kOk;
    default:
      return kOk;
  }
}

}  // namespace

int GetPageCount(Binder& b) {
  return b.page_count();
}

int GetCurPage(Binder& b, int32_t* out) {
  *out = b.current_page();
  return kOk;
}

int PutCurPage(Binder& b, int32_t number) {
  if (number != b.current_page()) EmptyBothJournals(b.undo());
  b.set_current_page(number);
  return kOk;
}

int GetPageInf(Binder& b, PageInf* out) {
  const Page* page = b.CurrentPage();
  if (page == nullptr) return kRefused;
  out->Flag1 = uint8_t(page->inf & 1);
  out->Flag2 = uint8_t((page->inf >> 1) & 1);
  return kOk;
}

int PutPageInf(Binder& b, const PageInf* in) {
  Page* page = b.CurrentPage();
  if (page == nullptr) return kRefused;
  // Only the two flags are defined; other bits a file may carry are kept.
  page->inf = uint16_t((page->inf & ~3u) | (in->Flag1 & 1u) | ((in->Flag2 & 1u) << 1));
  b.CurrentPageChanged();
  return kOk;
}

int GetPageDataCount(Binder& b) {
  const Page* page = b.CurrentPage();
  return page ? page->data_count : 0;
}

int GetPageData(Binder& b, int32_t position, uint16_t* out) {
  const Page* page = b.CurrentPage();
  if (page == nullptr || position < 1 || position > page->data_count) return kRefused;
  *out = page->data[position - 1].value();
  return kOk;
}

int DeletePageData(Binder& b, PageData entry) {
  Page* page = b.CurrentPage();
  if (page == nullptr) return kRefused;
  RecordPageData(b, entry, kDeleted);
  if (DeleteContent(b, *page, entry) != kOk) return kRefused;
  b.CurrentPageChanged();
  return page->RemoveEntry(entry);
}

int NextPageData(Binder& b, uint16_t* entry) {
  const Page* page = b.CurrentPage();
  if (page == nullptr) return kRefused;

  std::vector<Placed> list;
  list.reserve(page->data_count);
  for (int i = 0; i < page->data_count; ++i) {
    const PageData e = page->data[i];
    if (e.kind == kFigure || e.kind == kInsFigure) continue;  // pictures are not read
    list.push_back(PlaceOf(*page, e));
  }
  if (list.empty()) return kRefused;

  switch (b.header().rec.inf.ReadOrder) {
    case 0:
    case 1:  // top to bottom, each line left to right
      TwoPassOrder(list, OrderKeys{TopOf, false, LeftOf, false});
      break;
    case 2:
    case 3:  // right to left, each column top to bottom
      TwoPassOrder(list, OrderKeys{RightOf, true, TopOf, false});
      break;
    default:
      break;
  }

  const PageData from = PageData::FromValue(*entry);
  if (from.kind == kNoKind) {
    *entry = list.front().entry.value();
    return kOk;
  }
  for (size_t i = 0; i < list.size(); ++i) {
    if (list[i].entry != from) continue;
    if (i + 1 == list.size()) return kRefused;
    *entry = list[i + 1].entry.value();
    return kOk;
  }
  return kOk;  // not in the reading order (a picture, or no content): left as it was
}

int MoveTopPageData(Binder& b, PageData entry) {
  Page* page = b.CurrentPage();
  if (page == nullptr || page->RemoveEntry(entry) != kOk) return kRefused;
  std::memmove(&page->data[1], &page->data[0], sizeof(PageData) * page->data_count);
  page->data[0] = entry;
  ++page->data_count;
  b.CurrentPageChanged();
  return kOk;
}

int MoveBottomPageData(Binder& b, PageData entry) {
  Page* page = b.CurrentPage();
  if (page == nullptr || page->RemoveEntry(entry) != kOk) return kRefused;
  page->AppendEntry(entry);  // cannot fail: the entry's own place was just freed
  b.CurrentPageChanged();
  return kOk;
}

}  // namespace qs
