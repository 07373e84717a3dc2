// An open document: its number, header, page table, work file, two-page cache, undo journals and
// scratch-file sequence. It is the document library's implementation of the page model's Binder.
//
// A document holds up to 9999 pages, but only the two in the page cache are page records in
// memory; every other page is a chain of records in the work file (see work_file.h and
// page_cache.h). The page table maps page positions 1..page_count() to chains.
//
// Threads: a document is not locked. Its exports may be called from any thread, but never from two
// at once for one document; different documents may be used from different threads at the same
// time, their character checks included (each check loads the plug-in for itself and keeps the
// plug-in's table under a handle of its own). What the documents of a process share is
// process-wide: the library's item registry (the work directory, read when the library is loaded,
// and the machine-wide counter that numbers documents, mapped once and changed only atomically) and
// the current Env, which a document takes when it is made and keeps for all its file work.
// ReloadDocWorkDir(), UseDocCounterForTesting() and SetEnvForTesting() change that state unguarded:
// tests call them while no document call runs.
#ifndef QSTORE_DOCSTORE_DOCUMENT_H_
#define QSTORE_DOCSTORE_DOCUMENT_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/model/binder.h"
#include "common/model/header.h"
#include "common/model/page.h"
#include "common/model/with_item.h"
#include "common/status.h"
#include "common/undo/undo_state.h"
#include "docstore.h"
#include "docstore/page_cache.h"
#include "docstore/work_file.h"

namespace qs {

class RecordReader;
class RecordWriter;

class Document final : public Binder, private PageCache::Backing {
 public:
  static constexpr int kMaxPages = 9999;
  static const LibraryTraits kTraits;

  // Makes a document state: numbers it from the shared counter, sets the header's version and
  // times, sweeps leftovers of an earlier document of the same number and creates the work file
  // (the first fresh scratch name, extension ".QDw"). The document has no pages. Null with *status
  // kNoMemory when the state cannot be made, kCannotOpen when the work file cannot; in both cases
  // nothing is left behind (number given back, files swept). Every file operation of the document
  // goes through `env`, which must outlive it.
  static std::unique_ptr<Document> Make(Env& env, int* status);
  // The document behind a handle, or null.
  static Document* FromHandle(const DocHandle* handle);
  // Releases everything: cache, work file, scratch files; gives the number back.
  ~Document() override;

  uint32_t doc_no() const { return doc_no_; }
  uint32_t update_count() const { return update_count_; }
  void reset_update_count() { update_count_ = 0; }

  // ---- Page table (positions are 1-based). Each flushes the cache first so cached page numbers
  // never go stale; each returns kOk, kRefused for a position out of range or a full table, or the
  // flush's status.

  // Makes room for a new page at `position` (1..page_count()+1). The new page has no chain yet; it
  // is cached empty and clean under its number, so the next write-back gives it one.
  int InsertPageEntry(int position);
  // Removes the page at `position`. Its cached copy is dropped unwritten (so a page that cannot be
  // written back can still go) and its chain's blocks become free for reuse.
  int DeletePageEntry(int position);
  // Moves the page at `from` to `to` (both 1..page_count()).
  int MovePageEntry(int from, int to);

  // Appends `count` pages that have no chain yet, for a reader that gives each its chain with
  // WriteStoredPage. kRefused when the document would exceed 9999 pages.
  int AppendUnstoredPages(int count);
  // Takes the last `count` pages away again, writing nothing back (an append that failed part-way
  // is undone even when another cached page could not be written); their chains' blocks become
  // free.
  void DropLastPages(int count);

  // Writes every dirty cached page back to its chain and empties the cache. kOk or the first
  // write-back's status.
  int FlushPages();

  // ---- Stored pages, for code that moves a page's records without making it a page record (the
  // document file reader and writer, concatenation). A cached copy of the page is written back and
  // dropped first, so the chain is the only copy. Positions are 1..page_count().

  // Runs `read` on the records of the page's chain: 'P', the content records, the end record
  // (tag 0, length 0), after which the reader reports the end. kRefused when the page has no
  // chain yet or no such page exists; otherwise `read`'s status.
  int ReadStoredPage(int position, const std::function<int(RecordReader&)>& read);
  // Reads the page's whole chain into *bytes when it holds at most `most` bytes; *bytes is left
  // empty (and kOk returned) when it holds more. kRefused when the page has no chain yet or no
  // such page exists; kDamaged when the chain cannot be read.
  int ReadStoredBytes(int position, size_t most, std::vector<uint8_t>* bytes);
  // Replaces the page's chain by what `write` writes (which must end with the end record).
  // `fonts` is the set of font numbers the records use (bit k for number k; see
  // FontNumbersOfRecord), which the font-slot scan trusts for pages not in the cache. kRefused for
  // no such page or a chain that cannot be opened or finished; kDamaged when a write to it
  // failed; otherwise `write`'s status. A failed write leaves the page without a usable chain.
  int WriteStoredPage(int position, uint8_t fonts, const std::function<int(RecordWriter&)>& write);
  // Replaces the recorded font set of a stored page, for a writer of chains that learns it only
  // while writing. Nothing happens for a position out of range.
  void NoteStoredFonts(int position, uint8_t fonts);
  // The font numbers a page content record uses: bit (byte & 7) for the packed font of a 'c', 'T'
  // or 'D' record, 0 for every other record or a body too short to hold one.
  static uint8_t FontNumbersOfRecord(uint8_t tag, const uint8_t* body, size_t n);

  // Page `number` as cached: null when it is not in the cache (nothing is loaded). For tests.
  Page* CachedPage(int number);

  // Binder.
  const LibraryTraits& traits() const override { return kTraits; }
  int page_count() const override { return int(pages_.size()); }
  int current_page() const override { return current_; }
  void set_current_page(int number) override { current_ = number; }
  Page* PageAt(int number) override;
  void CountChange() override { ++update_count_; }
  void PageChanged(int number) override;
  Header& header() override { return header_; }
  int StoreHeader(const Header& next) override;
  UndoState& undo() override { return undo_; }
  Env& env() override { return env_; }
  // FreshName: a name no file has yet, with the extension of `like`.
  std::string FreshScratchName(std::string_view like) override;
  bool FontNumberInUse(int number) override;

 private:
  explicit Document(Env& env);

  // What the document keeps of each page that is not a record in memory.
  struct StoredPage {
    Chain chain;        // first_block 0: no chain yet
    uint8_t fonts = 0;  // font numbers the stored records use (bit k for number k)
    // Scratch files holding the chain's inserted pictures in the order of its records: the copies
    // the last load extracted, or the files the page named when it was last written back. Emptied
    // whenever anything else rewrites the chain. A load takes these copies (those that still
    // exist with their picture's size) instead of extracting the pictures again, so walking the
    // pages over and over does not pile up copies. Copies are never deleted while the document is
    // open: callers and undo journals may hold their names.
    std::vector<std::string> pictures;
  };

  // PageCache::Backing: the page reader and writer over the page's chain.
  int LoadPage(int number, Page* page) override;
  int StorePage(int number, const Page& page) override;
  // For the stored-page calls: kRefused for no such page, else writes back and drops a cached
  // copy of the page so its chain is the only copy (the flush's status).
  int UncachePage(int position);
  int ReadChain(int position, const std::function<int(RecordReader&)>& read);
  int WriteChain(int position, uint8_t fonts, const std::function<int(RecordWriter&)>& write);

  Env& env_;
  uint32_t doc_no_ = 0;
  Header header_;
  uint32_t update_count_ = 0;
  std::vector<StoredPage> pages_;  // pages_[n - 1] is page n
  std::unique_ptr<WorkFile> work_;
  std::unique_ptr<PageCache> cache_;
  UndoState undo_;
  // The last sequence number a scratch name took: work file, picture copies and undo journals.
  uint32_t scratch_seq_ = 0;
  int current_ = 0;  // 1-based page number of the call in progress
};

// The document library's side of the item registry (common/file/item_registry.h): the work
// directory every document's scratch files go to, a reload of it, and another counter for tests.
const std::string& DocWorkDir();
void ReloadDocWorkDir();
void UseDocCounterForTesting(const std::string& name);

// The With function of the document library's exports: the handle's CurPage is the page number
// itself (cursor base 0).
template <typename Body>
int32_t WithDocument(DocHandle* handle, Body&& body, int32_t on_no_memory = kRefused) {
  return WithItem<Document>(handle, std::forward<Body>(body), on_no_memory);
}

}  // namespace qs

#endif  // QSTORE_DOCSTORE_DOCUMENT_H_
