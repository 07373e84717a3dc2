#include "docstore/page_cache.h"

#include <utility>

#include "common/status.h"

namespace qs {

int PageCache::WriteBack(Slot& slot) {
  if (slot.number == 0 || !slot.dirty) return kOk;
  const int status = backing_.StorePage(slot.number, *slot.page);
  if (status == kOk) slot.dirty = false;
  return status;
}

Page* PageCache::Get(int number, int* status) {
  if (status) *status = kOk;
  if (Page* page = Find(number)) return page;

  Slot& taken = slots_[0];
  int result = WriteBack(taken);
  if (result == kOk) {
    // The page is read into a record of its own first, so a failed load leaves the slot's page
    // (now clean) where it was.
    std::unique_ptr<Page> loaded(new Page());
    result = backing_.LoadPage(number, loaded.get());
    if (result == kOk) {
      taken.number = number;
      taken.dirty = false;
      taken.page = std::move(loaded);
      std::swap(slots_[0], slots_[1]);
      return slots_[1].page.get();
    }
  }
  if (status) *status = result;
  return nullptr;
}

Page* PageCache::Find(int number) const {
  if (number == 0) return nullptr;
  for (const Slot& slot : slots_)
    if (slot.number == number) return slot.page.get();
  return nullptr;
}

bool PageCache::MarkDirty(int number) {
  for (Slot& slot : slots_) {
    if (number != 0 && slot.number == number) {
      slot.dirty = true;
      return true;
    }
  }
  return false;
}

bool PageCache::IsDirty(int number) const {
  for (const Slot& slot : slots_)
    if (number != 0 && slot.number == number) return slot.dirty;
  return false;
}

int PageCache::Flush(int discard) {
  for (Slot& slot : slots_) {
    if (discard != 0 && slot.number == discard) continue;
    const int status = WriteBack(slot);
    if (status != kOk) return status;
  }
  for (Slot& slot : slots_) slot = Slot();
  return kOk;
}

void PageCache::Discard(int number) {
  if (number == 0) return;
  if (slots_[1].number == number) std::swap(slots_[0], slots_[1]);
  if (slots_[0].number == number) slots_[0] = Slot();  // an empty slot stays first
}

void PageCache::PlaceEmpty(int number) {
  std::unique_ptr<Page> page(new Page());
  slots_[0] = std::move(slots_[1]);
  slots_[1].number = number;
  slots_[1].dirty = false;
  slots_[1].page = std::move(page);
}

}  // namespace qs
