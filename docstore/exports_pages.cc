// Inserting, deleting and moving whole pages of a document. These work on the page table and the
// pages' chains, never on page records, except the page information the inserted page is given.
#include "common/model/page_ops.h"
#include "common/status.h"
#include "common/undo/undo_state.h"
#include "docstore.h"
#include "docstore/document.h"

using qs::Document;
using qs::WithDocument;

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaInsertPage(DocHandle* handle, int32_t After) {
  return WithDocument(handle, [&](Document& d) {
    // The new page takes the current position (After 0) or the one after it (After 1).
    const int position = d.current_page() + (After == 1 ? 1 : 0);
    int status = d.InsertPageEntry(position);
    if (status != qs::kOk) return status;
    d.set_current_page(position);
    qs::EmptyBothJournals(d.undo());
    // The page information write marks the new page dirty, so it gets its chain when it leaves
    // the cache, and counts the change.
    const PageInf blank{};
    return qs::PutPageInf(d, &blank);
  });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaDeletePage(DocHandle* handle) {
  return WithDocument(handle, [&](Document& d) {
    const int position = d.current_page();
    const int status = d.DeletePageEntry(position);
    if (status != qs::kOk) return status;
    qs::EmptyBothJournals(d.undo());
    // Deleting the last page makes its predecessor current (0 when none is left).
    if (d.page_count() < position) d.set_current_page(position - 1);
    d.CountChange();
    return int(qs::kOk);
  });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaMovePage(DocHandle* handle, int32_t from,
                                                           int32_t to) {
  return WithDocument(handle, [&](Document& d) {
    const int status = d.MovePageEntry(from, to);
    if (status != qs::kOk) return status;
    // The journals name content by its entry on the current page only: when another page now
    // stands at the current position, what they hold belongs to a different page.
    const int cur = d.current_page();
    const int low = from < to ? from : to, high = from < to ? to : from;
    if (from != to && cur >= low && cur <= high) qs::EmptyBothJournals(d.undo());
    d.CountChange();
    return int(qs::kOk);
  });
}
