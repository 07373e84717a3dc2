// The entries of an undo journal: what each kind of entry holds and where.
//
// An entry is a 20-byte header (five little-endian 32-bit fields: action, step, kind, offset of the
// previous entry, data length) followed by the data. Every data layout is packed and little-endian
// and begins with the item's page-data value; the records embedded are the caller-visible records
// exactly as the page model's getters return them. An inserted-figure entry of a deleted item is
// followed by the whole picture file, which its data length does not count.
#ifndef QSTORE_COMMON_UNDO_UNDO_ENTRY_H_
#define QSTORE_COMMON_UNDO_UNDO_ENTRY_H_

#include <cstddef>
#include <cstdint>

#include "common/file/little_endian.h"
#include "common/model/page_data.h"
#include "common/model/string_pool.h"
#include "qstore_records.h"

namespace qs {

// What happened to the item an entry describes.
enum JournalAction : int32_t {
  kAdded = 0,
  kChanged = 1,
  kDeleted = 2,
};

enum EntryKind : int32_t {
  kChartInfEntry = 11,   // page data, ChartInf
  kTextEntry = 12,       // page data, Text, text length u32, text
  kFreCellEntry = 13,    // page data, FreCell, text length u32, text
  kFigureEntry = 14,     // page data, Figure
  kInsFigureEntry = 15,  // page data, InsFigure, file size i32, name length u32, name
  kRHightEntry = 22,     // page data, row u16, height u32
  kRowInserted = 23,
  kRowDeleted = 24,
  kCWidthEntry = 25,  // page data, column u16, width u32
  kColInserted = 26,
  kColDeleted = 27,
  kChartCellEntry = 28,  // page data, row u16, column u16, ChartCell, text length u32, text
  kVlineEntry = 29,      // page data, row u16, boundary u16, ChartLine
  kHlineEntry = 30,      // page data, boundary u16, column u16, ChartLine
  // A grid position that held no cell attributes (page data, row u16, column u16): putting a cell
  // there is reversed by clearing the position again, which no put can do.
  kCellClearedEntry = 31,
  // A chart's HR pair (page data, HR1 u16, HR2 u16), which adding a chart clears and deleting the
  // row an HR names moves off that row; written ahead of such a deletion's content.
  kChartHREntry = 32,
};

// The entry kinds that describe a whole item of page content.
constexpr bool IsItemEntry(int32_t kind) {
  return kind >= kChartInfEntry && kind <= kInsFigureEntry;
}
// The entry kinds that describe part of a chart's grid.
constexpr bool IsGridEntry(int32_t kind) {
  return kind >= kRHightEntry && kind <= kChartHREntry;
}

// Which kind of item each item entry describes.
struct ItemEntry {
  int32_t entry;
  uint8_t item;
};
constexpr ItemEntry kItemEntries[] = {
    {kChartInfEntry, kChart}, {kTextEntry, kText},           {kFreCellEntry, kFreCell},
    {kFigureEntry, kFigure},  {kInsFigureEntry, kInsFigure},
};

// The kind of item an item entry describes; kNoKind for every other entry kind.
constexpr uint8_t ItemKindOfEntry(int32_t kind) {
  for (const ItemEntry& e : kItemEntries)
    if (e.entry == kind) return e.item;
  return kNoKind;
}

namespace entry_checks {
// Every item entry kind names a kind of item, and no two name the same.
constexpr bool ItemEntriesNameDistinctItems() {
  for (int32_t a = kChartInfEntry; a <= kInsFigureEntry; ++a) {
    if (ItemKindOfEntry(a) == kNoKind) return false;
    for (int32_t b = a + 1; b <= kInsFigureEntry; ++b)
      if (ItemKindOfEntry(a) == ItemKindOfEntry(b)) return false;
  }
  return true;
}
}  // namespace entry_checks
static_assert(entry_checks::ItemEntriesNameDistinctItems(),
              "each item entry kind maps to its own kind of item");

constexpr size_t kEntryHeaderSize = 20;
// The replay reads entry data into a buffer of this size and refuses longer entries. The longest
// entry, a text or free-cell entry with the longest text, leaves room for the zero that ends it.
constexpr size_t kMaxEntryData = 338;
// Room in which a recording assembles an entry.
constexpr size_t kEntryBufferSize = 344;
// Texts, cell texts and stored figure-file names are journalled with at most as many bytes as a
// page keeps of a text.
constexpr size_t kMaxEntryText = StringPool::kMaxLength;

// Data offsets shared by several kinds.
constexpr size_t kItemRecordAt = 2;  // the record behind the page data (kinds 11 to 15)
constexpr size_t kTextLengthAt = 2 + sizeof(Text);           // 78
constexpr size_t kTextAt = kTextLengthAt + 4;                // 82
constexpr size_t kFileSizeAt = 2 + sizeof(InsFigure);        // 39
constexpr size_t kNameLengthAt = kFileSizeAt + 4;            // 43
constexpr size_t kNameAt = kNameLengthAt + 4;                // 47
constexpr size_t kSizeEntryLength = 8;                       // kinds 22 to 27
constexpr size_t kCellRecordAt = 6;                          // kind 28
constexpr size_t kCellTextLengthAt = 6 + sizeof(ChartCell);  // 66
constexpr size_t kCellTextAt = kCellTextLengthAt + 4;        // 70
constexpr size_t kLineEntryLength = 6 + sizeof(ChartLine);   // 13
constexpr size_t kCellClearedLength = 6;
constexpr size_t kChartHRLength = 6;

static_assert(kTextAt + kMaxEntryText < kMaxEntryData, "a full text and its end fit the buffer");

struct EntryHeader {
  int32_t action = 0;
  int32_t step = 0;
  int32_t kind = 0;
  uint32_t prev_offset = 0;
  int32_t data_length = 0;
};

}  // namespace qs

#endif  // QSTORE_COMMON_UNDO_UNDO_ENTRY_H_
