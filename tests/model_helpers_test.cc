// The small shared helpers of the page model, the page records and the journal.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <tuple>

#include "common/file/page_codec.h"
#include "common/model/caller_values.h"
#include "common/model/page_data.h"
#include "common/model/string_pool.h"
#include "common/undo/undo_entry.h"

namespace {

using namespace qs;

// Each caller buffer is exactly as long as its row, so a read past a missing NUL shows under ASan.
TEST(CallerTextTest, StopsAtTheFirstNulOrThePageLimit) {
  const size_t n = StringPool::kMaxLength;
  const std::pair<std::string, size_t> cases[] = {{std::string(1, '\0'), 0},
                                                  {std::string("ab\0cd", 5) + '\0', 2},
                                                  {std::string(n, 'x') + '\0', n},
                                                  {std::string(n, 'x'), n},
                                                  {std::string(n + 40, 'x'), n}};
  for (const auto& [bytes, expected] : cases) {
    SCOPED_TRACE(bytes.size());
    std::unique_ptr<char[]> buffer(new char[bytes.size()]);
    std::memcpy(buffer.get(), bytes.data(), bytes.size());
    EXPECT_EQ(CallerText(buffer.get()), std::string_view(bytes).substr(0, expected));
  }
  EXPECT_TRUE(CallerText(nullptr).empty());
}

TEST(WrapAddTest, SumsWrapAroundThirtyTwoBits) {
  constexpr int32_t kMax = INT32_MAX, kMin = INT32_MIN;
  const std::tuple<int32_t, int64_t, int32_t> cases[] = {
      {5, -7, -2},       {kMax, 1, kMin},
      {kMin, -1, kMax},  {kMax, int64_t(kMax) + 1, -1},
      {0, 1LL << 32, 0}, {100, 3 - (1LL << 32), 103}};
  for (auto [a, d, expected] : cases) EXPECT_EQ(WrapAdd(a, d), expected) << a << " + " << d;
}

// Only the item entries name an item, each its own; grid entries are never item entries.
TEST(EntryKindTest, ItemEntriesNameTheirItemsAndNoOtherKindDoes) {
  const std::pair<int32_t, uint8_t> items[] = {{kChartInfEntry, kChart},
                                               {kTextEntry, kText},
                                               {kFreCellEntry, kFreCell},
                                               {kFigureEntry, kFigure},
                                               {kInsFigureEntry, kInsFigure}};
  for (auto [entry, item] : items) EXPECT_EQ(ItemKindOfEntry(entry), item) << entry;
  for (int32_t kind = -1; kind <= 64; ++kind) {
    EXPECT_EQ(ItemKindOfEntry(kind) != kNoKind, IsItemEntry(kind)) << kind;
    EXPECT_FALSE(IsItemEntry(kind) && IsGridEntry(kind)) << kind;
  }
  for (int32_t kind : {kRHightEntry, kRowInserted, kColDeleted, kChartCellEntry, kChartHREntry})
    EXPECT_TRUE(IsGridEntry(kind)) << kind;
}

// Only cell, text and free-cell bodies long enough to hold it have a packed font.
TEST(FontByteTest, OnlyCellTextAndFreeCellBodiesLongEnoughHaveOne) {
  const std::tuple<uint8_t, size_t, size_t> cases[] = {
      {kTagCell, kFontByteOfCell + 1, kFontByteOfCell},
      {kTagCell, kFontByteOfCell, 0},
      {kTagText, kTextBodySize, kFontByteOfText},
      {kTagFreCell, kFontByteOfText, 0},
      {kTagText, 0, 0},
      {kTagChart, 100, 0}};
  for (auto [tag, length, at] : cases)
    EXPECT_EQ(FontByteOf(tag, length), at) << tag << " of " << length;
}

}  // namespace
