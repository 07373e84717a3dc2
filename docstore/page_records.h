// The page reader and writer of the document library: one page record to and from the records of
// its work-file chain. A chain holds 'P' (number and page information), the page's content records
// in the layout of common/file/page_codec.h, and the end record: tag 0, length 0.
#ifndef QSTORE_DOCSTORE_PAGE_RECORDS_H_
#define QSTORE_DOCSTORE_PAGE_RECORDS_H_

#include <cstdint>
#include <string>
#include <vector>

#include "common/file/page_codec.h"
#include "common/file/record_codec.h"
#include "common/model/binder.h"
#include "common/model/page.h"
#include "common/status.h"

namespace qs {

// The tag of the record that ends a page's chain.
constexpr uint8_t kTagEnd = 0;
// A chain's first record must be 'P': the page reader's status otherwise.
constexpr int kNoPageRecord = -2;
// Chains up to this length are copied whole through memory when a document is written or
// concatenated; longer ones (pictures) go record by record.
constexpr size_t kWholeChainCopy = 65536;

// Copies the record whose head is in hand (body unread) from `in` to `out` unchanged, its body in
// pieces no larger than a record buffer, so a picture never needs memory of its own size; kDamaged
// when a read or a write fails.
int CopyWholeRecord(RecordReader& in, RecordWriter& out, const RecordHead& head);

// Writes page `number`'s records and the end record; picture files are read through `env`.
// kPictureCopy when an inserted figure's picture cannot be carried, kDamaged when a write fails,
// kRefused for an item that cannot be read.
int WritePageRecords(Env& env, RecordWriter& out, int number, const Page& page);

// Reads a page's records into an empty page record; pictures are extracted to fresh scratch files
// named by `b`. The reader takes a 'C' record only with its HR pair and an 'F' record of any length
// from 31 bytes on; records of unknown kinds and strings standing alone are skipped. kNoPageRecord
// when the first record is not 'P'; kDamaged for a record that does not fit the page; kRefused when
// the page cannot take an item; kPictureCopy when a picture cannot be written out.
//
// With `pictures`, the files it names are copies already holding the page's inserted pictures in
// the order of their records (see PageContentReader::set_known_pictures), taken instead of new
// ones where they still fit; on success it receives the files the page's pictures now name.
int ReadPageRecords(Binder& b, RecordReader& in, Page* page,
                    std::vector<std::string>* pictures = nullptr);

// The files of the inserted pictures WritePageRecords writes for `page`, in the order it writes
// them.
std::vector<std::string> PicturesOfPage(const Page& page);

// A chain's records read as a whole into memory, for code that copies a chain without building a
// page record: `visit(tag, body, length)` is called for every record from the 'P' on, the end
// record left out. True when the n bytes hold exactly what a chain holds: the 'P' record with its
// 4-byte body first, records of other kinds (none of tag 0 or 'P'), and the end record last, every
// head marked and every body within the bytes. The visitor may change bodies in place, not lengths;
// it returns false to stop the walk, which then returns false.
template <typename Visit>
bool ForEachChainRecord(uint8_t* bytes, size_t n, Visit&& visit) {
  size_t at = 0;
  for (bool first = true;; first = false) {
    RecordHead head;
    if (n - at < kRecordHeadSize || DecodeRecordHead(bytes + at, &head) != kOk) return false;
    const uint8_t tag = head.tag;
    const int32_t length = head.length;
    at += kRecordHeadSize;
    if (size_t(length) > n - at) return false;
    if (tag == kTagEnd && length == 0) return !first && at == n;
    if (first != (tag == kTagPage) || (first && size_t(length) != kPageBodySize) || tag == kTagEnd)
      return false;
    if (!visit(tag, bytes + at, size_t(length))) return false;
    at += size_t(length);
  }
}

}  // namespace qs

#endif  // QSTORE_DOCSTORE_PAGE_RECORDS_H_
