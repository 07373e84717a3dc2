#include "common/model/page.h"

#include <cstring>

#include "common/status.h"

namespace qs {

Page::Page() = default;
Page::~Page() = default;

int Page::AppendEntry(PageData entry) {
  if (data_count >= kMaxData) return kRefused;
  data[data_count++] = entry;
  return kOk;
}

int Page::FindEntry(PageData entry) const {
  for (int i = 0; i < data_count; ++i)
    if (data[i] == entry) return i;
  return -1;
}

int Page::RemoveEntry(PageData entry) {
  const int at = FindEntry(entry);
  if (at < 0) return kRefused;
  std::memmove(&data[at], &data[at + 1], sizeof(PageData) * (data_count - at - 1));
  --data_count;
  return kOk;
}

bool Page::HasItem(PageData entry) const {
  switch (entry.kind) {
    case kChart:
      return charts.Has(entry.no);
    case kText:
      return texts.Has(entry.no);
    case kFreCell:
      return fre_cells.Has(entry.no);
    case kFigure:
      return figures.Has(entry.no);
    case kInsFigure:
      return ins_figures.Has(entry.no);
    default:
      return false;
  }
}

int Page::Renumber(uint8_t kind, int from, int to) {
  if (from == to && from != 0 && HasItem(PageData{kind, uint8_t(from)})) return kOk;
  int status;
  switch (kind) {
    case kChart:
      status = charts.Move(from, to);
      break;
    case kText:
      status = texts.Move(from, to);
      break;
    case kFreCell:
      status = fre_cells.Move(from, to);
      break;
    case kFigure:
      status = figures.Move(from, to);
      break;
    case kInsFigure:
      status = ins_figures.Move(from, to);
      break;
    default:
      return kRefused;
  }
  if (status != kOk) return kRefused;
  const int at = FindEntry(PageData{kind, uint8_t(from)});
  if (at >= 0) data[at] = PageData{kind, uint8_t(to)};
  return kOk;
}

}  // namespace qs
