#include "common/model/string_pool.h"

#include <cstring>

#include "common/status.h"

namespace qs {

StringPool::StringPool() = default;
StringPool::~StringPool() = default;

StringPool::Slot* StringPool::SlotFor(uint16_t id) const {
  if (id == 0 || id > kMaxId) return nullptr;
  const auto& block = blocks_[(id - 1) / kBlockSlots];
  if (!block) return nullptr;
  return &block[(id - 1) % kBlockSlots];
}

int StringPool::Get(uint16_t id, std::string* out) const {
  out->clear();
  if (id > count_) return kRefused;
  out->assign(View(id));
  return kOk;
}

std::string_view StringPool::View(uint16_t id) const {
  const Slot* slot = SlotFor(id);
  if (slot == nullptr || slot->size == 0) return {};
  return std::string_view(slot->buffer.get());
}

int StringPool::Put(uint16_t* id, std::string_view s) {
  if (s.size() > kMaxLength) s = s.substr(0, kMaxLength);
  if (*id > kMaxId) return kRefused;
  uint16_t n = *id;
  bool scanned = false;  // ids from scan_from_ up to n were all found in use
  if (n == 0) {
    if (count_ < kMaxId) {
      n = uint16_t(count_ + 1);
    } else {
      // The first free id from 1; every id below scan_from_ is known to be in use.
      for (int i = scan_from_; i <= kMaxId && n == 0; ++i) {
        const Slot* slot = SlotFor(uint16_t(i));
        if (slot == nullptr || slot->size == 0) n = uint16_t(i);
      }
      if (n == 0) {
        scan_from_ = kMaxId + 1;
        return kRefused;
      }
      scanned = true;
    }
  }
  auto& block = blocks_[(n - 1) / kBlockSlots];
  if (!block) block.reset(new Slot[kBlockSlots]);
  Slot& slot = block[(n - 1) % kBlockSlots];
  const size_t needed = ((s.size() + 1) / 32 + 1) * 32;
  if (needed > slot.size) {
    std::unique_ptr<char[]> buffer(new char[needed]);
    slot.buffer = std::move(buffer);
    slot.size = needed;
  }
  std::memcpy(slot.buffer.get(), s.data(), s.size());
  slot.buffer[s.size()] = '\0';
  // The counter and the scan move only once the string is in, so a failed allocation gives out no
  // id and loses none.
  if (n > count_) count_ = n;
  if (scanned || n == scan_from_) scan_from_ = n + 1;
  *id = n;
  return kOk;
}

int StringPool::Free(uint16_t* id) {
  if (*id == 0 || *id > count_) return kRefused;
  if (Slot* slot = SlotFor(*id)) {
    slot->buffer.reset();
    slot->size = 0;
  }
  if (*id < scan_from_) scan_from_ = *id;
  *id = 0;
  return kOk;
}

size_t StringPool::BufferSize(uint16_t id) const {
  const Slot* slot = SlotFor(id);
  return slot ? slot->size : 0;
}

int StringPool::LiveCount() const {
  int live = 0;
  for (int i = 1; i <= count_; ++i) {
    const Slot* slot = SlotFor(uint16_t(i));
    if (slot && slot->size != 0) ++live;
  }
  return live;
}

}  // namespace qs
