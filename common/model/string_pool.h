// The texts of one page (cell texts, texts, free cells) under 16-bit ids 1..16384.
//
// Slots live in blocks of 128 created on first use. A buffer grows in 32-byte steps and is kept
// when a shorter string replaces a longer one. Ids are handed out by a rising counter; freed ids
// are reused only once the counter has reached its limit.
#ifndef QSTORE_COMMON_MODEL_STRING_POOL_H_
#define QSTORE_COMMON_MODEL_STRING_POOL_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace qs {

class StringPool {
 public:
  static constexpr int kMaxId = 16384;
  static constexpr int kBlockSlots = 128;
  // The longest text a page keeps (cell texts, texts, free cells); every layer that takes, journals
  // or hands out a page's text cuts it here.
  static constexpr size_t kMaxLength = 255;

  StringPool();
  ~StringPool();
  StringPool(const StringPool&) = delete;
  StringPool& operator=(const StringPool&) = delete;

  // Copies the string of `id` into `out` (empty for id 0 or a free slot). kRefused for an id above
  // the counter.
  int Get(uint16_t id, std::string* out) const;
  // The string of `id` or "" when there is none.
  std::string_view View(uint16_t id) const;
  // Stores `s` (cut at kMaxLength bytes) under *id; when *id is 0 a new id is given out and written
  // back. kRefused when no id is free or *id lies outside 1..16384. Throws std::bad_alloc.
  int Put(uint16_t* id, std::string_view s);
  // Releases *id and sets it to 0. kRefused for id 0 or an id above the counter.
  int Free(uint16_t* id);

  uint16_t count() const { return count_; }
  // Size of the buffer behind `id` (0 when free); for tests of the sizing rule.
  size_t BufferSize(uint16_t id) const;
  // Number of ids that hold a string.
  int LiveCount() const;

 private:
  struct Slot {
    size_t size = 0;  // 0 = free
    std::unique_ptr<char[]> buffer;
  };
  Slot* SlotFor(uint16_t id) const;

  uint16_t count_ = 0;
  int scan_from_ = 1;  // lowest id that may be free once the counter is at its limit
  std::unique_ptr<Slot[]> blocks_[kMaxId / kBlockSlots];
};

}  // namespace qs

#endif  // QSTORE_COMMON_MODEL_STRING_POOL_H_
