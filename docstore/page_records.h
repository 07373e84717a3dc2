// The page reader and writer of the document library: one page record to and from the records of
// its work-file chain. A chain holds 'P' (number and page information), the page's content records
// in the layout of common/file/page_codec.h, and the end record: tag 0, length 0.
#ifndef QSTORE_DOCSTORE_PAGE_RECORDS_H_
#define QSTORE_DOCSTORE_PAGE_RECORDS_H_

#include <cstdint>

#include "common/file/record_codec.h"
#include "common/model/binder.h"
#include "common/model/page.h"

namespace qs {

// The tag of the record that ends a page's chain.
constexpr uint8_t kTagEnd = 0;
// A chain's first record must be 'P': the page reader's status otherwise.
constexpr int kNoPageRecord = -2;

// Writes page `number`'s records and the end record. kPictureCopy when an inserted figure's
// picture cannot be carried, kDamaged when a write fails, kRefused for an item that cannot be read.
int WritePageRecords(RecordWriter& out, int number, const Page& page);

// Reads a page's records into an empty page record; pictures are extracted to fresh scratch files
// named by `b`. The reader takes a 'C' record only with its HR pair and an 'F' record of any length
// from 31 bytes on; records of unknown kinds and strings standing alone are skipped. kNoPageRecord
// when the first record is not 'P'; kDamaged for a record that does not fit the page; kRefused when
// the page cannot take an item; kPictureCopy when a picture cannot be written out.
int ReadPageRecords(Binder& b, RecordReader& in, Page* page);

}  // namespace qs

#endif  // QSTORE_DOCSTORE_PAGE_RECORDS_H_
