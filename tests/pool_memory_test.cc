// The string pool and the field layout when memory runs out part-way through an edit.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "common/model/string_pool.h"
#include "support/field_fixture.h"

namespace {
bool fail_next_allocation = false;

void* Allocate(std::size_t size) {
  if (fail_next_allocation) {
    fail_next_allocation = false;
    throw std::bad_alloc();
  }
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
}  // namespace

// Every allocation of this test program goes through here, so one of them can be made to fail.
void* operator new(std::size_t size) {
  return Allocate(size);
}
void* operator new[](std::size_t size) {
  return Allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return Allocate(size);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
  return operator new(size, tag);
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete[](void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  std::free(p);
}

namespace {

TEST(StringPoolMemoryTest, AFailedPutAtTheLimitLosesNoFreeId) {
  qs::StringPool pool;
  for (int i = 0; i < qs::StringPool::kMaxId; ++i) {
    uint16_t id = 0;
    ASSERT_EQ(pool.Put(&id, "s"), 0);
  }
  uint16_t five = 5, ten = 10;
  ASSERT_EQ(pool.Free(&five), 0);
  ASSERT_EQ(pool.Free(&ten), 0);

  uint16_t id = 0;
  bool threw = false;
  try {
    fail_next_allocation = true;
    pool.Put(&id, "lost");
  } catch (const std::bad_alloc&) {
    threw = true;
  }
  fail_next_allocation = false;
  ASSERT_TRUE(threw);
  EXPECT_EQ(id, 0);
  // The id the failed put had picked is still the first free one.
  ASSERT_EQ(pool.Put(&id, "kept"), 0);
  EXPECT_EQ(id, 5);
  uint16_t next = 0;
  ASSERT_EQ(pool.Put(&next, "then"), 0);
  EXPECT_EQ(next, 10);
}

// A record field's placement that cannot be stored leaves the field's count as it was.
class LayoutMemoryTest : public qs_test::FieldFormTest {};

TEST_F(LayoutMemoryTest, AFailedRecordPlacementCountsNoPlacement) {
  const uint16_t chart = AddChart(3, 3);
  ASSERT_EQ(Place(qs_test::kRecordA, chart, 1, 1), 0);
  fail_next_allocation = true;  // the list must grow for the second placement
  EXPECT_NE(Place(qs_test::kRecordA, chart, 2, 1), 0);
  fail_next_allocation = false;
  EXPECT_EQ(Inners().size(), 1u);
  EXPECT_EQ(QfaExistFieldLayout(&h, qs_test::kRecordA), 1);
}

}  // namespace
