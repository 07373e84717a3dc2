// Page-level calls shared by both libraries: the current page, page information and the page-data
// list. Every operation works on the binder's current page and returns kRefused when there is none.
#ifndef QSTORE_COMMON_MODEL_PAGE_OPS_H_
#define QSTORE_COMMON_MODEL_PAGE_OPS_H_

#include <cstdint>

#include "common/model/binder.h"
#include "common/model/page_data.h"
#include "qstore_records.h"

namespace qs {

// Number of pages (a count, not a status).
int GetPageCount(Binder& b);
// The current page's 1-based number.
int GetCurPage(Binder& b, int32_t* out);
// Makes `number` current; a change of page empties both undo journals first. The number is not
// compared with the page count (later page calls refuse a page that does not exist).
int PutCurPage(Binder& b, int32_t number);
int GetPageInf(Binder& b, PageInf* out);
int PutPageInf(Binder& b, const PageInf* in);
// DataCount of the current page (0 when there is no page).
int GetPageDataCount(Binder& b);
int GetPageData(Binder& b, int32_t position, uint16_t* out);
// Deletes the item an entry names (journalled first) and its entry.
int DeletePageData(Binder& b, PageData entry);
int NextPageData(Binder& b, uint16_t* entry);
int MoveTopPageData(Binder& b, PageData entry);
int MoveBottomPageData(Binder& b, PageData entry);

}  // namespace qs

#endif  // QSTORE_COMMON_MODEL_PAGE_OPS_H_
