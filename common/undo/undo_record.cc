#include "common/undo/undo_record.h"

#include <cstring>
#include <iterator>
#include <string>

#include "common/contained.h"
#include "common/model/cell_ops.h"
#include "common/model/chart_ops.h"
#include "common/model/content_ops.h"
#include "common/status.h"
#include "common/undo/journal.h"
#include "common/undo/undo_state.h"
#include "platform/env.h"

namespace qs {

namespace {

// An entry being assembled. It lives on the recording call's stack, so journalled edits of
// different forms or documents may run on different threads.
class EntryBuilder {
 public:
  explicit EntryBuilder(PageData item) { U16(item.value()); }

  EntryBuilder& U16(uint16_t v) {
    PutU16(buf_ + n_, v);
    n_ += 2;
    return *this;
  }
  EntryBuilder& U32(uint32_t v) {
    PutU32(buf_ + n_, v);
    n_ += 4;
    return *this;
  }
  template <typename Record>
  EntryBuilder& Rec(const Record& r) {
    std::memcpy(buf_ + n_, &r, sizeof r);
    n_ += sizeof r;
    return *this;
  }
  // A string of a 256-byte buffer, with its length in front and without its end.
  EntryBuilder& Text(const char* s) {
    const size_t length = strnlen(s, kMaxEntryText);
    U32(uint32_t(length));
    std::memcpy(buf_ + n_, s, length);
    n_ += length;
    return *this;
  }

  int AppendTo(Journal& journal, int32_t action, int32_t kind) const {
    return journal.Append(action, kind, buf_, n_);
  }

 private:
  uint8_t buf_[kEntryBufferSize];
  size_t n_ = 0;
};

// The entries that reverse a grid action on a row and on a column.
struct GridEntries {
  GridAction action;
  int32_t row;
  int32_t column;
};
constexpr GridEntries kGridEntries[] = {
    {kSizeChanged, kRHightEntry, kCWidthEntry},
    {kInserted, kRowInserted, kColInserted},
    {kRemoved, kRowDeleted, kColDeleted},
};

constexpr const GridEntries& GridEntriesOf(GridAction action) {
  for (const GridEntries& e : kGridEntries)
    if (e.action == action) return e;
  return kGridEntries[0];
}

// Every action has its entries, all grid entries the replay tells apart.
constexpr bool GridEntriesDistinct() {
  int32_t kinds[2 * std::size(kGridEntries)] = {};
  size_t n = 0;
  for (GridAction a : {kSizeChanged, kInserted, kRemoved}) {
    if (GridEntriesOf(a).action != a) return false;
    kinds[n++] = GridEntriesOf(a).row;
    kinds[n++] = GridEntriesOf(a).column;
  }
  for (size_t i = 0; i < n; ++i) {
    if (!IsGridEntry(kinds[i])) return false;
    for (size_t j = i + 1; j < n; ++j)
      if (kinds[i] == kinds[j]) return false;
  }
  return true;
}
static_assert(GridEntriesDistinct(), "each grid action has entry kinds of its own");

// The journal an entry goes to, or null when nothing would be taken: no journal for the mode, or
// no block open on it. Checked first so that an edit made outside a block reads nothing.
Journal* OpenJournal(Binder& b) {
  Journal* journal = JournalForMode(b.undo());
  return journal != nullptr && journal->block_depth() > 0 ? journal : nullptr;
}

// `keep_empty`: an empty position is journalled as such (a put there is reversed by clearing it);
// content written ahead of a removal leaves empty positions out, as the row, column or chart that
// comes back has none.
int AppendCell(Journal& journal, Binder& b, PageData chart, uint16_t row, uint16_t col,
               bool keep_empty) {
  ChartCell cell;
  char text[kMaxEntryText + 1] = {};
  // A position that keeps attributes without being a cell's origin is journalled too: a put there
  // must be reversible as well.
  switch (ReadCellAt(b, chart, row, col, &cell, text)) {
    case CellContent::kCell:
      return EntryBuilder(chart).U16(row).U16(col).Rec(cell).Text(text).AppendTo(journal, kChanged,
                                                                                 kChartCellEntry);
    case CellContent::kEmpty:
      if (!keep_empty) return kOk;
      return EntryBuilder(chart).U16(row).U16(col).AppendTo(journal, kChanged, kCellClearedEntry);
    case CellContent::kOutside:
      break;
  }
  return kRefused;
}

int AppendLine(Journal& journal, Binder& b, PageData chart, LineDirection direction, uint16_t first,
               uint16_t second) {
  ChartLine line;
  const int status = direction == kVertical ? GetChartVline(b, chart, first, second, &line)
                                            : GetChartHline(b, chart, first, second, &line);
  if (status != kOk) return kRefused;
  return EntryBuilder(chart).U16(first).U16(second).Rec(line).AppendTo(
      journal, kChanged, direction == kVertical ? kVlineEntry : kHlineEntry);
}

// A row's height or a column's width, as an entry of `kind`.
int AppendLineSize(Journal& journal, Binder& b, PageData chart, bool rows, int32_t kind,
                   uint16_t line) {
  uint16_t size = 0;
  const int status =
      rows ? GetChartRHight(b, chart, line, &size) : GetChartCWidth(b, chart, line, &size);
  if (status != kOk) return kRefused;
  return EntryBuilder(chart).U16(line).U32(size).AppendTo(journal, kChanged, kind);
}

// The HR pair, when `needed` says that the replay cannot get it back otherwise.
void AppendHR(Journal& journal, Binder& b, PageData chart,
              bool (*needed)(uint16_t hr, uint16_t row), uint16_t row) {
  uint16_t hr1 = 0, hr2 = 0;
  if (GetChartHR(b, chart, &hr1, &hr2) != kOk || !(needed(hr1, row) || needed(hr2, row))) return;
  EntryBuilder(chart).U16(hr1).U16(hr2).AppendTo(journal, kChanged, kChartHREntry);
}

// Everything a deleted chart needs to come back as it was, in the order the replay undoes it
// backwards: HR pair, cells, vertical lines, horizontal lines, column widths, row heights.
void AppendChartContent(Journal& journal, Binder& b, PageData chart, int rows, int cols) {
  // A chart is added again with an HR pair of 0.
  AppendHR(
      journal, b, chart, [](uint16_t hr, uint16_t) { return hr != 0; }, 0);
  for (int r = 1; r <= rows; ++r)
    for (int c = 1; c <= cols; ++c) AppendCell(journal, b, chart, r, c, false);
  for (int boundary = 0; boundary <= cols; ++boundary)
    for (int r = 1; r <= rows; ++r) AppendLine(journal, b, chart, kVertical, r, boundary);
  for (int boundary = 0; boundary <= rows; ++boundary)
    for (int c = 1; c <= cols; ++c) AppendLine(journal, b, chart, kHorizontal, boundary, c);
  for (int c = 1; c <= cols; ++c) AppendLineSize(journal, b, chart, false, kCWidthEntry, c);
  for (int r = 1; r <= rows; ++r) AppendLineSize(journal, b, chart, true, kRHightEntry, r);
}

// Size of a picture file as found on disk; 0 when it cannot be opened or is too large to carry.
int32_t PictureSize(Env& env, const char* name) {
  if (name[0] == '\0') return 0;
  std::unique_ptr<File> file = env.Open(name, OpenMode::kRead);
  uint64_t size = 0;
  if (!file || !file->Size(&size) || size > uint64_t(INT32_MAX)) return 0;
  return int32_t(size);
}

}  // namespace

namespace {

int UnguardedRecordCell(Binder& b, PageData chart, uint16_t row, uint16_t col) {
  if (!b.undo().undo_journal) return kOk;
  Journal* journal = OpenJournal(b);
  if (journal == nullptr) return kRefused;
  return AppendCell(*journal, b, chart, row, col, true);
}

int UnguardedRecordLine(Binder& b, PageData chart, LineDirection direction, uint16_t first,
                        uint16_t second) {
  if (!b.undo().undo_journal) return kOk;
  Journal* journal = OpenJournal(b);
  if (journal == nullptr) return kRefused;
  return AppendLine(*journal, b, chart, direction, first, second);
}

// What a removed row needs to come back: the HR pair when an HR lies on it, its lines, its cells.
void AppendRowContent(Journal& journal, Binder& b, PageData chart, int cols, uint16_t row) {
  // An HR on the row itself drops to the row above, and inserting the row again leaves it there.
  AppendHR(
      journal, b, chart, [](uint16_t hr, uint16_t r) { return hr == r; }, row);
  for (int boundary = 0; boundary <= cols; ++boundary)
    AppendLine(journal, b, chart, kVertical, row, boundary);
  for (int c = 1; c <= cols; ++c) AppendLine(journal, b, chart, kHorizontal, row - 1, c);
  for (int c = 1; c <= cols; ++c) AppendLine(journal, b, chart, kHorizontal, row, c);
  for (int c = 1; c <= cols; ++c) AppendCell(journal, b, chart, row, c, false);
}

// What a removed column needs to come back: its lines and its cells.
void AppendColumnContent(Journal& journal, Binder& b, PageData chart, int rows, uint16_t col) {
  for (int r = 1; r <= rows; ++r) AppendLine(journal, b, chart, kVertical, r, col - 1);
  for (int r = 1; r <= rows; ++r) AppendLine(journal, b, chart, kVertical, r, col);
  for (int boundary = 0; boundary <= rows; ++boundary)
    AppendLine(journal, b, chart, kHorizontal, boundary, col);
  for (int r = 1; r <= rows; ++r) AppendCell(journal, b, chart, r, col, false);
}

// A row's or a column's size, and for a removal first its content.
int UnguardedRecordGridLine(Binder& b, PageData chart, bool rows, GridAction action,
                            uint16_t line) {
  if (!b.undo().undo_journal) return kOk;
  Journal* journal = OpenJournal(b);
  ChartInf inf;
  if (journal == nullptr || GetChartInf(b, chart, &inf) != kOk || line < 1 ||
      line > (rows ? inf.Rows : inf.Cols))
    return kRefused;
  if (action == kRemoved) {
    if (rows)
      AppendRowContent(*journal, b, chart, inf.Cols, line);
    else
      AppendColumnContent(*journal, b, chart, inf.Rows, line);
  }
  const int32_t kind = rows ? GridEntriesOf(action).row : GridEntriesOf(action).column;
  return AppendLineSize(*journal, b, chart, rows, kind, line);
}

int UnguardedRecordPageData(Binder& b, PageData item, JournalAction action) {
  if (!b.undo().undo_journal) return kOk;
  Journal* journal = OpenJournal(b);
  if (journal == nullptr) return kRefused;
  char text[kMaxEntryText + 1] = {};
  switch (item.kind) {
    case kChart: {
      ChartInf inf;
      if (GetChartInf(b, item, &inf) != kOk) return kRefused;
      if (action == kDeleted) AppendChartContent(*journal, b, item, inf.Rows, inf.Cols);
      return EntryBuilder(item).Rec(inf).AppendTo(*journal, action, kChartInfEntry);
    }
    case kText: {
      Text rec;
      if (GetText(b, item, &rec, text) != kOk) return kRefused;
      return EntryBuilder(item).Rec(rec).Text(text).AppendTo(*journal, action, kTextEntry);
    }
    case kFreCell: {
      FreCell rec;
      if (GetFreCell(b, item, &rec, text) != kOk) return kRefused;
      return EntryBuilder(item).Rec(rec).Text(text).AppendTo(*journal, action, kFreCellEntry);
    }
    case kFigure: {
      Figure rec;
      if (GetFigure(b, item, &rec) != kOk) return kRefused;
      return EntryBuilder(item).Rec(rec).AppendTo(*journal, action, kFigureEntry);
    }
    case kInsFigure: {
      InsFigure rec;
      if (GetInsFigure(b, item, &rec, text) != kOk) return kRefused;
      // Only a deleted inserted figure takes its picture along: its file goes with the deletion.
      if (action != kDeleted)
        return EntryBuilder(item).Rec(rec).U32(0).U32(0).AppendTo(*journal, action,
                                                                  kInsFigureEntry);
      return EntryBuilder(item)
          .Rec(rec)
          .U32(uint32_t(PictureSize(b.env(), text)))
          .Text(text)
          .AppendTo(*journal, action, kInsFigureEntry);
    }
    default:
      return kOk;
  }
}

}  // namespace

// Recording never stops an edit: whatever goes wrong while an entry is made, running out of memory
// included, costs only that entry.
int RecordCell(Binder& b, PageData chart, uint16_t row, uint16_t col) {
  return Contained(kRefused, [&] { return UnguardedRecordCell(b, chart, row, col); });
}

int RecordLine(Binder& b, PageData chart, LineDirection direction, uint16_t first,
               uint16_t second) {
  return Contained(kRefused,
                   [&] { return UnguardedRecordLine(b, chart, direction, first, second); });
}

int RecordGridLine(Binder& b, PageData chart, bool rows, GridAction action, uint16_t line) {
  return Contained(kRefused, [&] { return UnguardedRecordGridLine(b, chart, rows, action, line); });
}

int RecordPageData(Binder& b, PageData item, JournalAction action) {
  return Contained(kRefused, [&] { return UnguardedRecordPageData(b, item, action); });
}

}  // namespace qs
