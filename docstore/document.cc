#include "docstore/document.h"

#include <algorithm>
#include <cstring>

#include "common/contained.h"
#include "common/file/item_registry.h"
#include "common/file/page_codec.h"
#include "common/file/scratch_files.h"
#include "common/model/attributes.h"
#include "common/undo/journal.h"
#include "docstore/page_records.h"
#include "platform/env.h"

namespace qs {

const LibraryTraits Document::kTraits = {
    /*scratch_prefix=*/"QD",
    /*max_pages=*/kMaxPages,
    /*free_cell_keeps_kind=*/true,
    /*ins_figure_source_must_exist=*/true,
    /*zero_header_footer_is_absent=*/true,
};

namespace {

ItemRegistry& Registry() {
  static ItemRegistry registry("/docstore.dcshare");
  return registry;
}

SharedCounter* Counter() {
  return Registry().counter();
}

// Process attach: learn the work directory once.
__attribute__((constructor)) void AttachDocLibrary() {
  Registry().ReloadWorkDir();
}

}  // namespace

const std::string& DocWorkDir() {
  return Registry().work_dir();
}

void ReloadDocWorkDir() {
  Registry().ReloadWorkDir();
}

void UseDocCounterForTesting(const std::string& name) {
  Registry().UseCounter(name);
}

Document::Document(Env& env) : env_(env) {}

std::unique_ptr<Document> Document::Make(Env& env, int* status) {
  *status = kOk;
  const auto no_memory = [status] {
    *status = kNoMemory;
    return nullptr;
  };
  return Contained(no_memory, [&]() -> std::unique_ptr<Document> {
    std::unique_ptr<Document> doc(new Document(env));
    SharedCounter* counter = Counter();
    if (counter == nullptr) {
      *status = kNoMemory;
      return nullptr;
    }
    doc->doc_no_ = counter->Increment();
    doc->header_.rec.version = kHeaderVersion;
    doc->header_.rec.created = doc->header_.rec.updated = NowSeconds();
    SweepScratchFiles(env, DocWorkDir(), kTraits.scratch_prefix, doc->doc_no_);
    doc->cache_.reset(new PageCache(*doc));
    doc->work_ = WorkFile::Create(env, doc->FreshScratchName("poi.QDw"));
    if (!doc->work_) {
      *status = kCannotOpen;
      return nullptr;  // the destructor gives the number back and sweeps
    }
    return doc;
  });
}

Document* Document::FromHandle(const DocHandle* handle) {
  if (handle == nullptr) return nullptr;
  return static_cast<Document*>(handle->State);
}

Document::~Document() {
  cache_.reset();
  work_.reset();
  undo_.undo_journal.reset();
  undo_.redo_journal.reset();
  if (doc_no_ == 0) return;
  SweepScratchFiles(env_, DocWorkDir(), kTraits.scratch_prefix, doc_no_);
  if (SharedCounter* counter = Counter()) counter->GiveBack(doc_no_);
}

int Document::InsertPageEntry(int position) {
  if (page_count() >= kMaxPages || position < 1 || position > page_count() + 1) return kRefused;
  const int status = FlushPages();
  if (status != kOk) return status;
  // The table grows by doubling, so appending page after page costs no copying of the table per
  // page; nothing changes when it cannot grow.
  if (pages_.size() == pages_.capacity())
    pages_.reserve(std::min<size_t>(std::max<size_t>(2 * pages_.size(), 16), kMaxPages));
  cache_->PlaceEmpty(position);
  pages_.insert(pages_.begin() + (position - 1), StoredPage());
  return kOk;
}

int Document::DeletePageEntry(int position) {
  if (position < 1 || position > page_count()) return kRefused;
  // The page's own changes go with it: a page that could not be written back (its picture is
  // gone) can still be deleted. Every other page's are written back first, so a delete that fails
  // loses no change of the page it leaves in place.
  const int status = cache_->Flush(position);
  if (status != kOk) return status;
  work_->Abandon(pages_[position - 1].chain);
  pages_.erase(pages_.begin() + (position - 1));
  return kOk;
}

int Document::MovePageEntry(int from, int to) {
  if (from < 1 || from > page_count() || to < 1 || to > page_count()) return kRefused;
  const int status = FlushPages();
  if (status != kOk) return status;
  const auto first = pages_.begin();
  if (to < from)
    std::rotate(first + (to - 1), first + (from - 1), first + from);
  else
    std::rotate(first + (from - 1), first + from, first + to);
  return kOk;
}

int Document::AppendUnstoredPages(int count) {
  if (count < 0 || count > kMaxPages - page_count()) return kRefused;
  pages_.resize(pages_.size() + size_t(count));
  return kOk;
}

void Document::DropLastPages(int count) {
  for (; count > 0 && !pages_.empty(); --count) {
    cache_->Discard(page_count());
    work_->Abandon(pages_.back().chain);
    pages_.pop_back();
  }
}

void Document::NoteStoredFonts(int position, uint8_t fonts) {
  if (position >= 1 && position <= page_count()) pages_[position - 1].fonts = fonts;
}

int Document::FlushPages() {
  return cache_->Flush();
}

Page* Document::PageAt(int number) {
  if (number < 1 || number > page_count()) return nullptr;
  return cache_->Get(number);
}

Page* Document::CachedPage(int number) {
  return cache_->Find(number);
}

void Document::PageChanged(int number) {
  ++update_count_;
  cache_->MarkDirty(number);
}

int Document::StoreHeader(const Header& next) {
  header_ = next;
  return kOk;
}

std::string Document::FreshScratchName(std::string_view like) {
  return qs::FreshScratchName(env_, DocWorkDir(), kTraits.scratch_prefix, doc_no_, &scratch_seq_,
                              like);
}

bool Document::FontNumberInUse(int number) {
  if (number < 0 || number > 7) return false;
  // Cached pages are asked directly (they may differ from their stored copies); every other page
  // answers from the font set its last write-back recorded, so the scan loads nothing and the
  // page an edit works on stays in the cache.
  for (int n = 1; n <= page_count(); ++n) {
    const Page* page = cache_->Find(n);
    const uint8_t used = page ? PageFontNumbers(*page) : pages_[n - 1].fonts;
    if ((used >> number) & 1) return true;
  }
  return false;
}

uint8_t Document::FontNumbersOfRecord(uint8_t tag, const uint8_t* body, size_t n) {
  const size_t at = FontByteOf(tag, n);
  return at != 0 ? uint8_t(1u << (body[at] & 7)) : 0;
}

int Document::ReadChain(int position, const std::function<int(RecordReader&)>& read) {
  const Chain chain = pages_[position - 1].chain;
  if (chain.first_block == 0) return kRefused;
  ChainReader file(*work_, chain);
  RecordReader in(&file);
  return read(in);
}

int Document::WriteChain(int position, uint8_t fonts,
                         const std::function<int(RecordWriter&)>& write) {
  StoredPage& stored = pages_[position - 1];
  Chain chain = stored.chain;
  int status;
  try {
    // The writer abandons the chain (leaving `chain` empty) unless it is finished. Either way the
    // chain's pictures may change, so its known copies no longer stand for them; a caller that
    // vouches for copies puts them back after this.
    stored.pictures.clear();
    ChainWriter file(*work_, &chain);
    RecordWriter out(&file);
    status = write(out);
    if (status == kOk) status = out.Flush();
    if (status == kOk) status = file.Finish();
  } catch (...) {
    // The writer has abandoned the chain; the page must not keep naming its blocks.
    stored.chain = chain;
    stored.fonts = 0;
    throw;
  }
  stored.chain = chain;
  stored.fonts = status == kOk ? fonts : 0;
  return status;
}

int Document::UncachePage(int position) {
  if (position < 1 || position > page_count()) return kRefused;
  return cache_->Find(position) ? FlushPages() : int(kOk);
}

int Document::ReadStoredPage(int position, const std::function<int(RecordReader&)>& read) {
  const int status = UncachePage(position);
  return status == kOk ? ReadChain(position, read) : status;
}

int Document::ReadStoredBytes(int position, size_t most, std::vector<uint8_t>* bytes) {
  if (const int status = UncachePage(position); status != kOk) return status;
  const Chain chain = pages_[position - 1].chain;
  if (chain.first_block == 0) return kRefused;
  if (chain.length > most) {
    bytes->clear();
    return kOk;
  }
  bytes->resize(chain.length);  // a buffer used before is not filled again
  ChainReader file(*work_, chain);
  size_t got = 0;
  if (!file.Read(bytes->data(), bytes->size(), &got) || got != bytes->size()) {
    bytes->clear();
    return kDamaged;
  }
  return kOk;
}

int Document::WriteStoredPage(int position, uint8_t fonts,
                              const std::function<int(RecordWriter&)>& write) {
  const int status = UncachePage(position);
  return status == kOk ? WriteChain(position, fonts, write) : status;
}

int Document::LoadPage(int number, Page* page) {
  // The known copies are read in place; they are replaced only when the load succeeds.
  std::vector<std::string>& pictures = pages_[number - 1].pictures;
  return ReadChain(number,
                   [&](RecordReader& in) { return ReadPageRecords(*this, in, page, &pictures); });
}

int Document::StorePage(int number, const Page& page) {
  // The chain about to be written carries exactly the pictures of these files, in this order.
  std::vector<std::string> pictures = PicturesOfPage(page);
  const int status = WriteChain(number, PageFontNumbers(page), [&](RecordWriter& out) {
    return WritePageRecords(env_, out, number, page);
  });
  if (status == kOk) pages_[number - 1].pictures.swap(pictures);
  return status;
}

}  // namespace qs
