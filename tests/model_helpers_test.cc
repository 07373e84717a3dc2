// The small shared helpers of the page model, the page records and the journal: caller texts cut at
// the page's limit, wrapping coordinate sums, where a record keeps its packed font, and the mapping
// from journal entry kinds to the items they describe.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

#include "common/file/page_codec.h"
#include "common/model/caller_values.h"
#include "common/model/page_data.h"
#include "common/model/string_pool.h"
#include "common/undo/undo_entry.h"

namespace {

using qs::StringPool;

constexpr size_t kLimit = StringPool::kMaxLength;

// Texts come from callers in buffers that need not hold a NUL within the limit; the buffer here is
// exactly as long as the row says, so a read past it shows under the address sanitizer.
TEST(CallerTextTest, StopsAtTheFirstNulOrThePageLimit) {
  struct Case {
    const char* name;
    std::string bytes;  // the caller's buffer, NUL included where the caller wrote one
    size_t expected;
  };
  const Case cases[] = {
      {"empty", std::string(1, '\0'), 0},
      {"short", std::string("abc") + '\0', 3},
      {"NUL inside", std::string("ab\0cd", 5) + '\0', 2},
      {"one under the limit", std::string(kLimit - 1, 'x') + '\0', kLimit - 1},
      {"at the limit, ended", std::string(kLimit, 'x') + '\0', kLimit},
      {"at the limit, no end", std::string(kLimit, 'x'), kLimit},
      {"over the limit, no end", std::string(kLimit + 40, 'x'), kLimit},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<char[]> buffer(new char[c.bytes.size()]);
    std::memcpy(buffer.get(), c.bytes.data(), c.bytes.size());
    const std::string_view text = qs::CallerText(buffer.get());
    EXPECT_EQ(text.size(), c.expected);
    EXPECT_EQ(text, std::string_view(c.bytes).substr(0, c.expected));
  }
  EXPECT_TRUE(qs::CallerText(nullptr).empty());
}

TEST(WrapAddTest, SumsWrapAroundThirtyTwoBits) {
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
  struct Case {
    int32_t a;
    int64_t d;
    int32_t expected;
  };
  const Case cases[] = {
      {5, -7, -2},
      {kMax, 1, kMin},
      {kMin, -1, kMax},
      {kMax, int64_t(kMax) + 1, -1},
      {0, int64_t(1) << 32, 0},
      {100, -(int64_t(1) << 32) + 3, 103},
      {kMin, int64_t(127) * 0xFFFF, kMin + 127 * 0xFFFF},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.a << " + " << c.d);
    EXPECT_EQ(qs::WrapAdd(c.a, c.d), c.expected);
  }
}

TEST(EntryKindTest, ItemEntriesNameTheirItemsAndNoOtherKindDoes) {
  struct Case {
    int32_t entry;
    uint8_t item;
  };
  const Case cases[] = {
      {qs::kChartInfEntry, qs::kChart},      {qs::kTextEntry, qs::kText},
      {qs::kFreCellEntry, qs::kFreCell},     {qs::kFigureEntry, qs::kFigure},
      {qs::kInsFigureEntry, qs::kInsFigure},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.entry);
    EXPECT_EQ(qs::ItemKindOfEntry(c.entry), c.item);
    EXPECT_TRUE(qs::IsItemEntry(c.entry));
    EXPECT_FALSE(qs::IsGridEntry(c.entry));
  }
  // Every other value, grid kinds included, names no item; no value is both kinds of entry.
  for (int32_t kind = -1; kind <= 64; ++kind) {
    SCOPED_TRACE(kind);
    EXPECT_EQ(qs::ItemKindOfEntry(kind) != qs::kNoKind, qs::IsItemEntry(kind));
    EXPECT_FALSE(qs::IsItemEntry(kind) && qs::IsGridEntry(kind));
  }
  for (int32_t kind : {qs::kRHightEntry, qs::kRowInserted, qs::kColDeleted, qs::kChartCellEntry,
                       qs::kChartHREntry}) {
    SCOPED_TRACE(kind);
    EXPECT_TRUE(qs::IsGridEntry(kind));
  }
}

// Readers of every library find a record's packed font here; a body too short to hold it has none.
TEST(FontByteTest, OnlyCellTextAndFreeCellBodiesLongEnoughHaveOne) {
  struct Case {
    uint8_t tag;
    size_t length;
    size_t at;
  };
  const Case cases[] = {
      {qs::kTagCell, qs::kCellBodySize, qs::kFontByteOfCell},
      {qs::kTagCell, qs::kFontByteOfCell + 1, qs::kFontByteOfCell},
      {qs::kTagCell, qs::kFontByteOfCell, 0},
      {qs::kTagText, qs::kTextBodySize, qs::kFontByteOfText},
      {qs::kTagFreCell, qs::kTextBodySize, qs::kFontByteOfText},
      {qs::kTagFreCell, qs::kFontByteOfText, 0},
      {qs::kTagText, 0, 0},
      {qs::kTagChart, 100, 0},
      {qs::kTagString, 100, 0},
      {qs::kTagFigure, 100, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << char(c.tag) << " of " << c.length);
    EXPECT_EQ(qs::FontByteOf(c.tag, c.length), c.at);
  }
  // Version 1's flag bits are dropped, and only for version 1.
  for (uint8_t version : {0, 1, 2, 3}) {
    SCOPED_TRACE(int(version));
    EXPECT_EQ(qs::CurrentFontByte(version, 0xFF), version == 1 ? 0x77 : 0xFF);
    EXPECT_EQ(qs::CurrentFontByte(version, 0x05), 0x05);
  }
}

}  // namespace
