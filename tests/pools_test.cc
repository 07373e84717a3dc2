// The two per-page pools: strings and chart-cell attribute records.
#include <gtest/gtest.h>

#include <string>

#include "common/model/cell_attr_pool.h"
#include "common/model/string_pool.h"

namespace {

using qs::CellAttr;
using qs::CellAttrPool;
using qs::StringPool;

TEST(StringPoolTest, BuffersGrowInStepsAndAreKeptWhenShorter) {
  StringPool pool;
  uint16_t id = 0;
  ASSERT_EQ(pool.Put(&id, std::string(30, 'a')), 0);
  EXPECT_EQ(pool.BufferSize(id), 32u);
  ASSERT_EQ(pool.Put(&id, std::string(31, 'b')), 0);
  EXPECT_EQ(pool.BufferSize(id), 64u);
  ASSERT_EQ(pool.Put(&id, "ten bytes!"), 0);
  EXPECT_EQ(pool.BufferSize(id), 64u);
  EXPECT_EQ(pool.View(id), "ten bytes!");
  ASSERT_EQ(pool.Put(&id, std::string(300, 'c')), 0);  // cut at 255
  EXPECT_EQ(pool.View(id).size(), 255u);
  EXPECT_EQ(pool.BufferSize(id), 288u);  // (255 + 1) / 32 + 1 steps
}

TEST(StringPoolTest, FreeChecksIdAndClearsIt) {
  StringPool pool;
  uint16_t id = 0;
  ASSERT_EQ(pool.Put(&id, "x"), 0);
  uint16_t zero = 0, beyond = 2;
  EXPECT_EQ(pool.Free(&zero), -1);
  EXPECT_EQ(pool.Free(&beyond), -1);
  EXPECT_EQ(beyond, 2);
  ASSERT_EQ(pool.Free(&id), 0);
  EXPECT_EQ(id, 0);
  std::string out = "junk";
  EXPECT_EQ(pool.Get(1, &out), 0);
  EXPECT_EQ(out, "");
  EXPECT_EQ(pool.Get(2, &out), -1);
}

TEST(StringPoolTest, FreedIdsComeBackOnlyAtTheLimit) {
  StringPool pool;
  uint16_t ids[3] = {};
  for (auto& id : ids) ASSERT_EQ(pool.Put(&id, "s"), 0);
  uint16_t second = ids[1];
  ASSERT_EQ(pool.Free(&second), 0);
  uint16_t next = 0;
  ASSERT_EQ(pool.Put(&next, "t"), 0);
  EXPECT_EQ(next, 4);

  while (pool.count() < StringPool::kMaxId) {
    uint16_t id = 0;
    ASSERT_EQ(pool.Put(&id, "u"), 0);
  }
  uint16_t seven = 7, nine = 9;
  ASSERT_EQ(pool.Free(&nine), 0);
  ASSERT_EQ(pool.Free(&seven), 0);
  uint16_t a = 0, b = 0, c = 0, d = 0;
  ASSERT_EQ(pool.Put(&a, "v"), 0);
  ASSERT_EQ(pool.Put(&b, "v"), 0);
  ASSERT_EQ(pool.Put(&c, "v"), 0);
  EXPECT_EQ(a, 2);  // freed before the limit, reused now
  EXPECT_EQ(b, 7);
  EXPECT_EQ(c, 9);
  EXPECT_EQ(pool.Put(&d, "v"), -1);
  EXPECT_EQ(d, 0);
  // The search always starts from the lowest id, whatever was found before.
  uint16_t twelve = 12, three = 3;
  ASSERT_EQ(pool.Free(&twelve), 0);
  ASSERT_EQ(pool.Put(&d, "w"), 0);
  EXPECT_EQ(d, 12);
  ASSERT_EQ(pool.Free(&three), 0);
  uint16_t e = 0;
  ASSERT_EQ(pool.Put(&e, "w"), 0);
  EXPECT_EQ(e, 3);
}

CellAttr Attr(uint8_t kind) {
  CellAttr rec{};
  rec.kind = kind;
  rec.font.b0 = 1;
  return rec;
}

TEST(CellAttrPoolTest, GetAndFreeCheckIds) {
  CellAttrPool pool;
  uint16_t id = 0;
  ASSERT_EQ(pool.Put(&id, Attr(3)), 0);
  CellAttr out{};
  EXPECT_EQ(pool.Get(0, &out), -1);
  EXPECT_EQ(pool.Get(2, &out), -1);
  ASSERT_EQ(pool.Get(1, &out), 0);
  EXPECT_EQ(out.kind, 3);
  ASSERT_EQ(pool.Free(&id), 0);
  EXPECT_EQ(id, 0);
  ASSERT_EQ(pool.Get(1, &out), 0);  // the record stays readable, marked free
  EXPECT_EQ(out.font.b0, 0xFF);
  EXPECT_EQ(out.font.b1, 0xFF);
  EXPECT_TRUE(pool.IsFree(1));
}

TEST(CellAttrPoolTest, FreedIdsComeBackOnlyAtTheLimit) {
  CellAttrPool pool;
  uint16_t id = 0, first = 0;
  ASSERT_EQ(pool.Put(&first, Attr(1)), 0);
  ASSERT_EQ(pool.Free(&first), 0);
  ASSERT_EQ(pool.Put(&id, Attr(2)), 0);
  EXPECT_EQ(id, 2);
  while (pool.count() < CellAttrPool::kMaxId) {
    uint16_t n = 0;
    ASSERT_EQ(pool.Put(&n, Attr(4)), 0);
  }
  uint16_t victim = 300;
  ASSERT_EQ(pool.Free(&victim), 0);
  uint16_t a = 0, b = 0, c = 0;
  ASSERT_EQ(pool.Put(&a, Attr(5)), 0);
  ASSERT_EQ(pool.Put(&b, Attr(5)), 0);
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 300);
  EXPECT_EQ(pool.Put(&c, Attr(5)), -1);
  EXPECT_EQ(c, 0);
  uint16_t high = 60000, low = 40;
  ASSERT_EQ(pool.Free(&high), 0);
  ASSERT_EQ(pool.Free(&low), 0);
  ASSERT_EQ(pool.Put(&c, Attr(6)), 0);
  EXPECT_EQ(c, 40);
  // A record that carries the free mark counts as free again.
  CellAttr marked = Attr(7);
  marked.font.b0 = marked.font.b1 = 0xFF;
  uint16_t ten = 10;
  ASSERT_EQ(pool.Put(&ten, marked), 0);
  uint16_t f = 0;
  ASSERT_EQ(pool.Put(&f, Attr(6)), 0);
  EXPECT_EQ(f, 10);
}

// A freed record is marked in both bytes of its packed font; a record marked in one is in use.
TEST(CellAttrPoolTest, TheFreeMarkTakesBothFontBytes) {
  const struct {
    uint8_t b0, b1;
    bool freed;
  } cases[] = {{0xFF, 0xFF, true}, {0xFF, 0x00, false}, {0x00, 0xFF, false}, {0xFF, 0xFE, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.b0) << " " << int(c.b1));
    CellAttr rec = Attr(2);
    rec.font.b0 = c.b0;
    rec.font.b1 = c.b1;
    EXPECT_EQ(CellAttrPool::IsFreedRecord(rec), c.freed);
  }
}

}  // namespace
