#include "common/undo_record.h"

#include "common/journal.h"
#include "common/status.h"

namespace qs {

// Until entries are written, every recording finds no journal to write to.
int RecordCell(Binder& b, PageData, uint16_t, uint16_t) {
  return JournalForMode(b.undo()) ? kRefused : kRefused;
}
int RecordLine(Binder& b, PageData, LineDirection, uint16_t, uint16_t) {
  return JournalForMode(b.undo()) ? kRefused : kRefused;
}
int RecordRow(Binder& b, PageData, GridAction, uint16_t) {
  return JournalForMode(b.undo()) ? kRefused : kRefused;
}
int RecordColumn(Binder& b, PageData, GridAction, uint16_t) {
  return JournalForMode(b.undo()) ? kRefused : kRefused;
}
int RecordPageData(Binder& b, PageData, JournalAction) {
  return JournalForMode(b.undo()) ? kRefused : kRefused;
}

}  // namespace qs
