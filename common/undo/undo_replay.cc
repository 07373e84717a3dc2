#include "common/undo/undo_replay.h"

#include <cstring>

#include "common/model/cell_ops.h"
#include "common/model/chart_ops.h"
#include "common/model/content_ops.h"
#include "common/model/page_ops.h"
#include "common/status.h"
#include "common/undo/journal.h"
#include "common/undo/undo_entry.h"
#include "common/undo/undo_record.h"

namespace qs {

namespace {

// An entry taken back from a journal, decoded and checked.
struct Entry {
  int32_t action = 0;
  int32_t kind = 0;
  PageData item;
  uint16_t first = 0;   // row, column or boundary
  uint16_t second = 0;  // column or boundary
  uint16_t size = 0;    // row height or column width
  ChartInf chart{};
  Text text_rec{};  // also a free cell
  Figure figure{};
  InsFigure ins_figure{};
  ChartCell cell{};
  ChartLine line{};
  char text[kMaxEntryText + 1] = {};  // text, cell text or figure-file name, ended by a zero
  bool replayable = false;            // false: a kind this action does nothing with
};

template <typename Record>
void ReadRecord(const uint8_t* data, size_t at, Record* out) {
  std::memcpy(out, data + at, sizeof *out);
}

// A string stored with its length in front: it must fill the rest of the data exactly.
bool ReadText(const uint8_t* data, size_t length, size_t length_at, char* out) {
  if (length < length_at + 4) return false;
  const uint32_t n = GetU32(data + length_at);
  if (n > kMaxEntryText || length_at + 4 + n != length) return false;
  std::memcpy(out, data + length_at + 4, n);
  out[n] = '\0';
  return true;
}

bool ReadSize(const uint8_t* data, size_t length, Entry* e) {
  if (length != kSizeEntryLength) return false;
  const uint32_t size = GetU32(data + 4);
  if (size > 0xFFFF) return false;
  e->first = GetU16(data + 2);
  e->size = uint16_t(size);
  return true;
}

// Decodes the data of one of the item kinds (11 to 15), whose page data names an item of the
// matching kind.
bool DecodeItem(const uint8_t* data, size_t length, Entry* e) {
  if (e->item.kind != ItemKindOfEntry(e->kind)) return false;
  switch (e->kind) {
    case kChartInfEntry:
      if (length != 2 + sizeof(ChartInf)) return false;
      ReadRecord(data, kItemRecordAt, &e->chart);
      return true;
    case kTextEntry:
    case kFreCellEntry:
      if (!ReadText(data, length, kTextLengthAt, e->text)) return false;
      ReadRecord(data, kItemRecordAt, &e->text_rec);
      return true;
    case kFigureEntry:
      if (length != 2 + sizeof(Figure)) return false;
      ReadRecord(data, kItemRecordAt, &e->figure);
      return true;
    case kInsFigureEntry:
      if (!ReadText(data, length, kNameLengthAt, e->text)) return false;
      ReadRecord(data, kItemRecordAt, &e->ins_figure);
      return true;
    default:
      return false;
  }
}

// Decodes a Changed entry of the grid kinds (22 to 32), which name a chart.
bool DecodeGrid(const uint8_t* data, size_t length, Entry* e) {
  if (e->item.kind != kChart) return false;
  switch (e->kind) {
    case kRHightEntry:
    case kRowInserted:
    case kRowDeleted:
    case kCWidthEntry:
    case kColInserted:
    case kColDeleted:
      return ReadSize(data, length, e);
    case kChartCellEntry:
      if (!ReadText(data, length, kCellTextLengthAt, e->text)) return false;
      break;
    case kVlineEntry:
    case kHlineEntry:
      if (length != kLineEntryLength) return false;
      ReadRecord(data, kCellRecordAt, &e->line);
      break;
    case kCellClearedEntry:
      if (length != kCellClearedLength) return false;
      break;
    case kChartHREntry:
      if (length != kChartHRLength) return false;
      break;
    default:
      return false;
  }
  e->first = GetU16(data + 2);
  e->second = GetU16(data + 4);
  if (e->kind == kChartCellEntry) ReadRecord(data, kCellRecordAt, &e->cell);
  return true;
}

// False when the entry does not hold together: a damaged journal ends the step like a read failure.
bool Decode(const EntryHeader& h, const uint8_t* data, Entry* e) {
  const size_t length = size_t(h.data_length);
  if (length < 2) return false;
  e->action = h.action;
  e->kind = h.kind;
  e->item = PageData::FromValue(GetU16(data));
  const bool item_kind = IsItemEntry(h.kind);
  const bool grid_kind = IsGridEntry(h.kind);
  switch (h.action) {
    case kAdded:
      e->replayable = true;
      return true;
    case kChanged:
      e->replayable = item_kind || grid_kind;
      if (item_kind) return DecodeItem(data, length, e);
      if (grid_kind) return DecodeGrid(data, length, e);
      return true;
    case kDeleted:
      e->replayable = item_kind;
      return !item_kind || DecodeItem(data, length, e);
    default:
      return true;
  }
}

// Reverses a row or column insertion. Deleting the last row keeps the edge above it as the chart's
// bottom edge when the bottom edge has no line; but when that row was added at the end, the edge
// above it is a copy and the old bottom edge is the one below. Put it back, so that inserting a row
// at the end of a chart whose bottom edge has no line is undone exactly; the same for a column
// added at the right end of a chart whose right edge has no line.
int RemoveInsertedLine(Binder& b, PageData chart, bool rows, uint16_t at) {
  // The line of edge `bnd` at position k across it: under column k, or beside row k.
  auto get_edge = [&](int bnd, int k, ChartLine* line) {
    return rows ? GetChartHline(b, chart, bnd, k, line) : GetChartVline(b, chart, k, bnd, line);
  };
  auto put_edge = [&](int bnd, int k, const ChartLine* line) {
    return rows ? PutChartHline(b, chart, bnd, k, line) : PutChartVline(b, chart, k, bnd, line);
  };
  ChartInf inf{};
  ChartLine edge[kChartGrid];
  bool bare_edge =
      GetChartInf(b, chart, &inf) == kOk && at == (rows ? inf.Rows : inf.Cols) && at >= 1;
  const int across = rows ? inf.Cols : inf.Rows;
  for (int k = 1; bare_edge && k <= across; ++k)
    bare_edge = get_edge(at, k, &edge[k]) == kOk && edge[k].Style == 0;
  const int status = rows ? DeleteChartR(b, chart, at) : DeleteChartC(b, chart, at);
  if (status != kOk || !bare_edge) return status;
  for (int k = 1; k <= across; ++k) {
    const int put = put_edge(at - 1, k, &edge[k]);
    if (put != kOk) return put;
  }
  return kOk;
}

// Takes the attributes and text away from a grid position, as it was before a cell was first put
// there. Journalled like a put.
int ClearCell(Binder& b, PageData chart, uint16_t row, uint16_t col) {
  Page* page = b.CurrentPage();
  ChartRec* rec = FindChart(b, chart);
  if (page == nullptr || rec == nullptr || !rec->RowInRange(row) || !rec->ColInRange(col))
    return kRefused;
  RecordCell(b, chart, row, col);
  if (rec->cell_attr[row][col] != 0) page->cell_attrs.Free(&rec->cell_attr[row][col]);
  if (rec->cell_text[row][col] != 0) page->strings.Free(&rec->cell_text[row][col]);
  b.CurrentPageChanged();
  return kOk;
}

int ReplayChanged(Binder& b, const Entry& e) {
  switch (e.kind) {
    case kChartInfEntry:
      return PutChartInf(b, e.item, &e.chart);
    case kTextEntry:
      return PutText(b, e.item, &e.text_rec, e.text);
    case kFreCellEntry:
      return PutFreCell(b, e.item, &e.text_rec, e.text);
    case kFigureEntry:
      return PutFigure(b, e.item, &e.figure);
    case kInsFigureEntry:
      return PutInsFigure(b, e.item, &e.ins_figure);
    case kRHightEntry:
      return PutChartRHight(b, e.item, e.first, e.size);
    case kRowInserted:
      return RemoveInsertedLine(b, e.item, true, e.first);
    case kRowDeleted:
      // Inserted before the row that took the old number, so the new row gets that number back.
      return InsertChartR(b, e.item, 0, e.first, e.size);
    case kCWidthEntry:
      return PutChartCWidth(b, e.item, e.first, e.size);
    case kColInserted:
      return RemoveInsertedLine(b, e.item, false, e.first);
    case kColDeleted:
      return InsertChartC(b, e.item, 0, e.first, e.size);
    case kChartCellEntry:
      return PutChartCell(b, e.item, e.first, e.second, &e.cell, e.text);
    case kVlineEntry:
      return PutChartVline(b, e.item, e.first, e.second, &e.line);
    case kHlineEntry:
      return PutChartHline(b, e.item, e.first, e.second, &e.line);
    case kCellClearedEntry:
      return ClearCell(b, e.item, e.first, e.second);
    case kChartHREntry:
      // The HR pair is not journalled: the row deletion or chart addition just replayed sets it
      // again on the way back.
      return PutChartHR(b, e.item, e.first, e.second);
    default:
      return kOk;
  }
}

// Adds a deleted item again and gives it back its old number. The addition is journalled after
// the renumbering, so that its entry names the item under the number it ends up with and replaying
// that entry deletes this very item.
int ReAdd(Binder& b, Entry& e) {
  UndoState& undo = b.undo();
  const int32_t mode = undo.mode;
  undo.mode = kIdle;
  uint16_t out = 0;
  int status = kRefused;
  switch (e.kind) {
    case kChartInfEntry:
      status = AddChart(b, &e.chart, &out);
      break;
    case kTextEntry:
      status = AddText(b, &e.text_rec, e.text, &out);
      break;
    case kFreCellEntry:
      status = AddFreCell(b, &e.text_rec, e.text, &out);
      break;
    case kFigureEntry:
      status = AddFigure(b, &e.figure, &out);
      break;
    case kInsFigureEntry:
      // The picture was written back under the name the entry holds; the addition copies it again.
      status = AddInsFigure(b, &e.ins_figure, e.text, &out);
      break;
  }
  const bool added = status == kOk;
  PageData now = PageData::FromValue(out);
  if (added) {
    Page* page = b.CurrentPage();
    status = page != nullptr ? page->Renumber(e.item.kind, now.no, e.item.no) : kRefused;
    if (status == kOk) now = e.item;
  }
  if (status == kOk && e.kind == kChartInfEntry) {
    // Adding a chart clears its Flag and raises a low row height; both come back as they were.
    ChartInf added;
    if (GetChartInf(b, now, &added) == kOk &&
        (added.Flag != e.chart.Flag || added.RowHight != e.chart.RowHight))
      status = PutChartInf(b, now, &e.chart);
  }
  undo.mode = mode;
  if (added) RecordPageData(b, now, kAdded);
  return status;
}

}  // namespace

int Replay(Binder& b, UndoMode direction) {
  UndoState& undo = b.undo();
  Journal* source = direction == kUndoing ? undo.undo_journal.get() : undo.redo_journal.get();
  Journal* target = direction == kUndoing ? undo.redo_journal.get() : undo.undo_journal.get();
  undo.mode = direction;
  if (source == nullptr || source->DropStep() != kOk) return kRefused;
  if (target != nullptr) target->OpenBlock();
  // Closes the target's block and ends the replay's mode however the replay ends: an edit that runs
  // out of memory must not leave a block open, or no later block would ever count as a step.
  struct EndOfReplay {
    UndoState& undo;
    Journal* target;
    ~EndOfReplay() {
      if (target != nullptr) target->CloseBlock();
      undo.mode = kIdle;
    }
  } end_of_replay{undo, target};

  // While the content of a chart that came back is put into it, nothing is journalled: the
  // addition's own entry deletes the whole chart on the way back. Any other entry ends that window,
  // even one for the same chart: a chart added and deleted within one step is deleted again here,
  // and that deletion must be journalled, or the way back would look for a chart that is gone.
  PageData refilled;
  int result = kOk;
  EntryHeader header;
  uint8_t data[kMaxEntryData];
  while (source->TakeBack(&header, data, sizeof data) == kOk) {
    Entry e;
    if (!Decode(header, data, &e)) break;
    if (undo.mode == kIdle && (e.item != refilled || e.action != kChanged)) undo.mode = direction;
    if (!e.replayable) continue;
    switch (e.action) {
      case kAdded:
        result = DeletePageData(b, e.item);
        break;
      case kChanged:
        result = ReplayChanged(b, e);
        break;
      case kDeleted:
        result = ReAdd(b, e);
        if (result == kOk && e.kind == kChartInfEntry) {
          undo.mode = kIdle;
          refilled = e.item;
        }
        break;
    }
    if (result != kOk) break;
  }
  return result;
}

int Undo(Binder& b) {
  return b.undo().undo_journal ? Replay(b, kUndoing) : kOk;
}

int Redo(Binder& b) {
  return b.undo().redo_journal ? Replay(b, kRedoing) : kOk;
}

}  // namespace qs
