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
  return WithTable(*this, entry.kind, false,
                   [&](const auto& table) { return table.Has(entry.no); });
}

int Page::Renumber(uint8_t kind, int from, int to) {
  if (from == to && from != 0 && HasItem(PageData{kind, uint8_t(from)})) return kOk;
  const int status =
      WithTable(*this, kind, int(kRefused), [&](auto& table) { return table.Move(from, to); });
  if (status != kOk) return kRefused;
  const int at = FindEntry(PageData{kind, uint8_t(from)});
  if (at >= 0) data[at] = PageData{kind, uint8_t(to)};
  return kOk;
}

}  // namespace qs
