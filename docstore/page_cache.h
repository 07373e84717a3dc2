// The page cache of an open document: the only page records of the document held in memory.
//
// Invariants:
// - There are two slots. Each is empty or holds the page record of one page, under that page's
//   number; the two numbers differ.
// - The slots are kept in loading order, empty slots first: slot 0 was filled before slot 1. A
//   request for a page neither slot holds takes slot 0 (an empty one, else the page loaded first,
//   however recently it was used), loads the page into it and moves it behind the other. A request
//   for a cached page changes nothing.
// - A slot is dirty when its page record may differ from the page's stored copy. A dirty page is
//   written back before its record is dropped (eviction, flush); a clean one is dropped as it is.
// - A failed write-back or load leaves both slots as they were: the cache never holds a page it
//   did not read in full and never drops a page it could not write back.
// - The owner flushes the cache before page numbers change (insertion, deletion, moves), so a
//   slot's number always names the page it holds.
#ifndef QSTORE_DOCSTORE_PAGE_CACHE_H_
#define QSTORE_DOCSTORE_PAGE_CACHE_H_

#include <memory>

#include "common/model/page.h"

namespace qs {

class PageCache {
 public:
  // Where pages come from and go to: the document's work file.
  class Backing {
   public:
    virtual ~Backing() = default;
    // Reads page `number` into an empty page record; kOk or a failure status.
    virtual int LoadPage(int number, Page* page) = 0;
    // Writes page `number`'s record to its stored copy; kOk or a failure status.
    virtual int StorePage(int number, const Page& page) = 0;
  };

  explicit PageCache(Backing& backing) : backing_(backing) {}

  // The record of page `number` (which the caller has checked exists), loaded if need be. Null when
  // the eviction's write-back or the load failed; *status then holds that failure.
  Page* Get(int number, int* status = nullptr);
  // The record of page `number` if it is cached; nothing is loaded.
  Page* Find(int number) const;
  // Marks a cached page as differing from its stored copy; false when it is not cached.
  bool MarkDirty(int number);
  bool IsDirty(int number) const;
  // Writes back every dirty slot and empties both. Page `discard` (0: none), which is being
  // deleted, is dropped unwritten. On a failure nothing is dropped, the slots not yet written back
  // stay as they were, and the first failure's status is returned.
  int Flush(int discard = 0);
  // Drops page `number` from the cache without writing it back (the page is being deleted).
  void Discard(int number);
  // Puts a new page, not stored yet, into the cache under `number` as the most recently loaded:
  // an empty record, clean. The cache must be empty (flushed).
  void PlaceEmpty(int number);
  // Page numbers in the slots in loading order (0 = empty), for tests.
  int slot_number(int slot) const { return slots_[slot].number; }

 private:
  struct Slot {
    int number = 0;  // 0: empty
    bool dirty = false;
    std::unique_ptr<Page> page;
  };
  int WriteBack(Slot& slot);

  Backing& backing_;
  Slot slots_[2];
};

}  // namespace qs

#endif  // QSTORE_DOCSTORE_PAGE_CACHE_H_
