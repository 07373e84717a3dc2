// How an export reaches the open form or document behind the caller's handle. Both libraries'
// With functions (WithForm, WithDocument) are this one, so every export of either library
// translates the handle's cursor and contains exceptions the same way.
#ifndef QSTORE_COMMON_MODEL_WITH_ITEM_H_
#define QSTORE_COMMON_MODEL_WITH_ITEM_H_

#include <climits>
#include <cstdint>

#include "common/contained.h"
#include "common/status.h"

namespace qs {

// Runs `body` on the item behind `handle` (Item::FromHandle): hands it the handle's cursor as the
// page model's 1-based page number (the library's LibraryTraits::cursor_base apart; a cursor
// beyond any page number names no page), and the body's choice of page back to the handle.
// Whatever it throws becomes `on_no_memory`. A handle without an item gives kRefused.
template <typename Item, typename Handle, typename Body>
int32_t WithItem(Handle* handle, Body&& body, int32_t on_no_memory) {
  Item* item = Item::FromHandle(handle);
  if (item == nullptr) return kRefused;
  const int64_t base = item->traits().cursor_base;
  const int64_t number = int64_t(handle->CurPage) + base;
  item->set_current_page(number <= INT_MAX ? int(number) : 0);
  const int32_t status = Contained(on_no_memory, [&]() -> int32_t { return body(*item); });
  // A page number with no cursor of its own (INT_MIN in the form library) names no page, and
  // neither does INT_MAX.
  const int64_t cursor = int64_t(item->current_page()) - base;
  handle->CurPage = cursor >= INT32_MIN ? int32_t(cursor) : INT32_MAX;
  return status;
}

}  // namespace qs

#endif  // QSTORE_COMMON_MODEL_WITH_ITEM_H_
