#include "docstore/concat.h"

#include <cstring>
#include <string>
#include <vector>

#include "common/contained.h"
#include "common/file/page_codec.h"
#include "common/file/record_codec.h"
#include "common/model/attributes.h"
#include "common/model/header.h"
#include "common/status.h"
#include "common/undo/undo_state.h"
#include "docstore/page_records.h"
#include "platform/memory_file.h"

namespace qs {

namespace {

// Offsets in the DocInf record of the two bytes that must agree, and of the title.
constexpr size_t kLayoutByte1 = 55;
constexpr size_t kLayoutByte2 = 60;
// A text whose Kind is this shows the document's title instead of a text of its own.
constexpr uint8_t kTitleBound = 1;
// Internal: a page holds a record too large to be rewritten in memory.
constexpr int kRecordTooLarge = 1;

// A file that takes every write and keeps nothing.
class Discard final : public MemoryFile {
 public:
  bool Write(const void*, size_t) override { return true; }
};

const uint8_t* InfBytes(Document& d) {
  return reinterpret_cast<const uint8_t*>(&d.header().rec.inf);
}

// The target seen by the font-slot rule while pages are being appended: numbers given to the
// source's fonts count as in use from the moment they are given, before any appended page that
// uses them is stored, so two new names never share one reused slot.
class AppendingTarget final : public Binder {
 public:
  explicit AppendingTarget(Document& target) : t_(target) {}
  void Reserve(int number) { reserved_ |= uint8_t(1u << number); }

  const LibraryTraits& traits() const override { return t_.traits(); }
  int page_count() const override { return t_.page_count(); }
  int current_page() const override { return t_.current_page(); }
  void set_current_page(int number) override { t_.set_current_page(number); }
  Page* PageAt(int number) override { return t_.PageAt(number); }
  void CountChange() override { t_.CountChange(); }
  void PageChanged(int number) override { t_.PageChanged(number); }
  Header& header() override { return t_.header(); }
  int StoreHeader(const Header& next) override { return t_.StoreHeader(next); }
  UndoState& undo() override { return t_.undo(); }
  Env& env() override { return t_.env(); }
  std::string FreshScratchName(std::string_view like) override { return t_.FreshScratchName(like); }
  bool FontNumberInUse(int number) override {
    return (number >= 0 && number <= 7 && ((reserved_ >> number) & 1)) ||
           t_.FontNumberInUse(number);
  }

 private:
  Document& t_;
  uint8_t reserved_ = 0;
};

class Concatenation {
 public:
  Concatenation(Document& target, Document& source)
      : target_(target), source_(source), appending_(target) {
    const char* t = target.header().rec.inf.Title;
    const char* s = source.header().rec.inf.Title;
    const size_t size = sizeof target.header().rec.inf.Title;
    titles_differ_ = strncmp(t, s, size) != 0;
    source_title_.assign(s, BoundedLength(s, size));
  }

  // Appends source page `from` as target page `to` (already inserted, no chain yet). The target's
  // chain is written with the set of font numbers its records use, which is known only once the
  // records have been rewritten: a page is rewritten into memory first, then stored. A page with a
  // record too large for that (a picture) is read twice instead, once for its fonts and once to be
  // copied, so a picture never needs memory of its own size.
  int CopyPage(int from, int to) {
    // Most pages are copied as bytes: the source's chain read whole, its page number and fonts
    // rewritten in place, and written as the target's chain. Longer chains (pictures) and pages
    // with a text to unbind take the record-by-record way.
    uint8_t fonts = 0;
    int status = source_.ReadStoredBytes(from, kWholeChainCopy, &chain_);
    if (status != kOk) return status;
    if (!chain_.empty() && RewriteInPlace(to, &fonts)) {
      return target_.WriteStoredPage(to, fonts, [&](RecordWriter& out) {
        return out.WriteBytes(chain_.data(), chain_.size());
      });
    }
    fonts = 0;
    MemoryFile memory;
    {
      RecordWriter out(&memory);
      status = source_.ReadStoredPage(from, [&](RecordReader& in) {
        return Copy(in, out, to, &fonts, /*whole_records_only=*/true);
      });
      if (status == kOk) status = out.Flush();
    }
    if (status == kOk) {
      return target_.WriteStoredPage(to, fonts, [&](RecordWriter& out) {
        return out.WriteBytes(memory.data().data(), memory.data().size());
      });
    }
    if (status != kRecordTooLarge) return status;
    fonts = 0;
    Discard nowhere;
    RecordWriter discard(&nowhere);
    status = source_.ReadStoredPage(from, [&](RecordReader& in) {
      return Copy(in, discard, to, &fonts, /*whole_records_only=*/false);
    });
    if (status != kOk) return status;
    return target_.WriteStoredPage(to, fonts, [&](RecordWriter& out) {
      return source_.ReadStoredPage(from, [&](RecordReader& in) {
        uint8_t same_fonts = 0;
        return Copy(in, out, to, &same_fonts, /*whole_records_only=*/false);
      });
    });
  }

 private:
  // The target's font number for the source's font number `k`. Numbers that name no slot (0, 6,
  // 7) stay; a name the target has no slot for becomes the default font 0.
  uint8_t TargetFont(uint8_t k) {
    if (k < 1 || k > kFontSlots) return k;
    if (map_[k] < 0) {
      const int number = FontNumberForName(appending_, source_.header().rec.font_names[k - 1]);
      map_[k] = number == kNoFontSlot ? 0 : int8_t(number & 0x07);
      appending_.Reserve(map_[k]);
    }
    return uint8_t(map_[k]);
  }
  uint8_t Renumbered(uint8_t b0) { return uint8_t((b0 & ~0x07) | TargetFont(b0 & 0x07)); }

  // Rewrites the chain in chain_ for target page `to`, collecting its font numbers. False when
  // the chain is not framed as a chain or holds a text to unbind (whose length changes).
  bool RewriteInPlace(int to, uint8_t* fonts) {
    return ForEachChainRecord(chain_.data(), chain_.size(),
                              [&](uint8_t tag, uint8_t* body, size_t length) {
                                if (RewriteBody(tag, body, length, to)) return false;
                                *fonts |= Document::FontNumbersOfRecord(tag, body, length);
                                return true;
                              });
  }

  // Rewrites a record's body for target page `to`: the page number of 'P' and the number of a
  // packed font. True when the record is a title-bound text to unbind, which takes more than its
  // body: its string changes too.
  bool RewriteBody(uint8_t tag, uint8_t* body, size_t length, int to) {
    if (tag == kTagPage && length >= 2) PutU16(body, uint16_t(to));
    if (const size_t at = FontByteOf(tag, length)) body[at] = Renumbered(body[at]);
    return tag == kTagText && length > 0 && body[0] == kTitleBound && titles_differ_;
  }

  // Copies a page's records, rewriting page number, fonts and title-bound texts, and collects the
  // font numbers of what it writes. With `whole_records_only`, a record whose body does not fit a
  // record buffer stops the copy with kRecordTooLarge; otherwise such bodies are streamed.
  int Copy(RecordReader& in, RecordWriter& out, int to, uint8_t* fonts, bool whole_records_only) {
    RecordHead head;
    uint8_t body[kMaxRecordBody];
    for (;;) {
      int status = in.ReadHead(&head);
      if (status != kOk) return status;
      if (head.end) return kDamaged;  // a chain ends with its end record
      if (size_t(head.length) > sizeof body) {
        if (whole_records_only) return kRecordTooLarge;
        // A body larger than a record buffer (a picture) is copied unchanged.
        if ((status = CopyWholeRecord(in, out, head)) != kOk) return status;
        continue;
      }
      if ((status = in.ReadBody(body, size_t(head.length))) != kOk) return status;
      if (RewriteBody(head.tag, body, size_t(head.length), to)) {
        status = CopyUnbound(in, out, head, body, fonts);
      } else {
        *fonts |= Document::FontNumbersOfRecord(head.tag, body, size_t(head.length));
        status = out.Write(head.tag, body, size_t(head.length));
      }
      if (status != kOk || head.tag == 0) return status;
    }
  }

  // A title-bound text: Kind 0 and, in place of its string, the source's title.
  int CopyUnbound(RecordReader& in, RecordWriter& out, const RecordHead& text, uint8_t* body,
                  uint8_t* fonts) {
    RecordHead next;
    int status = in.ReadHead(&next);
    if (status != kOk) return status;
    if (next.end || next.tag != kTagString) {
      // Without its string the text is not read back; it goes as it came.
      in.PutBack(next);
      *fonts |= Document::FontNumbersOfRecord(text.tag, body, size_t(text.length));
      return out.Write(text.tag, body, size_t(text.length));
    }
    // Unbound with an empty title the text would have no text, and a text without text is not
    // kept: it is left out.
    if (source_title_.empty()) return kOk;
    body[0] = 0;
    *fonts |= Document::FontNumbersOfRecord(text.tag, body, size_t(text.length));
    status = out.Write(text.tag, body, size_t(text.length));
    if (status != kOk) return status;
    return out.Write(kTagString, source_title_.data(), source_title_.size());
  }

  Document& target_;
  Document& source_;
  AppendingTarget appending_;
  bool titles_differ_ = false;
  std::string source_title_;
  int8_t map_[kFontSlots + 1] = {-1, -1, -1, -1, -1, -1};
  std::vector<uint8_t> chain_;  // the chain being copied, for the byte-wise way
};

}  // namespace

int ConcatDoc(Document& target, Document& source) {
  if (&target == &source) return kRefused;
  const uint8_t* t = InfBytes(target);
  const uint8_t* s = InfBytes(source);
  if (t[kLayoutByte1] != s[kLayoutByte1] || t[kLayoutByte2] != s[kLayoutByte2]) return kInfDiffers;

  const int first = target.page_count() + 1;
  const int count = source.page_count();
  if (count > Document::kMaxPages - target.page_count()) return kRefused;
  if (source.FlushPages() != kOk) return kRefused;

  char fonts_before[kFontSlots][kFontNameSize];
  std::memcpy(fonts_before, target.header().rec.font_names, sizeof fonts_before);
  int inserted = 0;
  int status = kOk;
  status = Contained(kNoMemory, [&] {
    Concatenation concatenation(target, source);
    while (inserted < count && status == kOk) {
      // Appended at the end, the new page changes no other page's number and needs no cached
      // copy: it has no chain until CopyPage gives it one.
      status = target.AppendUnstoredPages(1);
      if (status != kOk) break;
      ++inserted;
      status = concatenation.CopyPage(inserted, first + inserted - 1);
    }
    return status;
  });
  if (status != kOk) {
    // Back to the target as it was: the appended pages go (their chains are freed) and so do the
    // names the source's fonts were given.
    target.DropLastPages(inserted);
    std::memcpy(target.header().rec.font_names, fonts_before, sizeof fonts_before);
    return kRefused;
  }
  target.CountChange();
  EmptyBothJournals(target.undo());
  return kOk;
}

}  // namespace qs
