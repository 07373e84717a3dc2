// The recording side of undo: each journalled page-model edit calls one of these, before the edit
// for changes and deletions and after it for additions and insertions. They read the item's current
// state through the page model's own getters and append the entries that reverse the edit to the
// journal the current mode names. Nothing is written when journalling is off or no block is open;
// the edits ignore the results, and a failure of any kind (memory included) is only a result.
#ifndef QSTORE_COMMON_UNDO_UNDO_RECORD_H_
#define QSTORE_COMMON_UNDO_UNDO_RECORD_H_

#include <cstdint>

#include "common/model/binder.h"
#include "common/model/page_data.h"
#include "common/undo/undo_entry.h"

namespace qs {

enum LineDirection { kVertical = 0, kHorizontal = 1 };
enum GridAction { kSizeChanged = 0, kInserted = 1, kRemoved = 2 };

// A chart cell as it is now (attributes and text).
int RecordCell(Binder& b, PageData chart, uint16_t row, uint16_t col);
// A ruled line as it is now: vertical (row, boundary) or horizontal (boundary, column).
int RecordLine(Binder& b, PageData chart, LineDirection direction, uint16_t first, uint16_t second);
// A row's height (`rows`) or a column's width; for a removal first the row's or the column's lines
// and cells.
int RecordGridLine(Binder& b, PageData chart, bool rows, GridAction action, uint16_t line);
// An item of page content; for a chart being deleted first its whole content.
int RecordPageData(Binder& b, PageData item, JournalAction action);

}  // namespace qs

#endif  // QSTORE_COMMON_UNDO_UNDO_RECORD_H_
