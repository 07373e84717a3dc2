#include "formstore/page_list.h"

#include <climits>

#include "common/model/page_ops.h"
#include "common/undo/undo_state.h"

namespace qs {

int InsertFormPage(Form& f, uint8_t after, const PageInf* inf) {
  if (after == 1) {
    if (f.current_page() == INT_MAX) return kRefused;
    f.set_current_page(f.current_page() + 1);
  }
  // Page creation reports its own statuses (limit, memory, position); the call only refuses.
  if (f.InsertPage(f.current_page() - 1) != kOk) return kRefused;
  // Journal entries carry no page and replay on the current one, so none may outlive a change of
  // the page list.
  EmptyBothJournals(f.undo());
  f.CountChange();
  return PutPageInf(f, inf);
}

int DeleteFormPage(Form& f) {
  const int number = f.current_page();
  if (f.CurrentPage() == nullptr) return kRefused;
  if (FieldLayoutHooks* hooks = f.layout_hooks()) hooks->PageDeleting(number);
  f.DeletePage(number - 1);
  EmptyBothJournals(f.undo());
  f.CountChange();
  // The last page stays current. Without pages the cursor is 0 (no page): an insert with After 1
  // then makes page 1, and one with After 0 is refused.
  if (number > f.page_count()) f.set_current_page(f.page_count());
  return kOk;
}

}  // namespace qs
