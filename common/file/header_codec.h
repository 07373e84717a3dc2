// The records at the start of form and document files: 'H' (the header), 'b' (header/footer
// block), 'a' (colour table) and 'M' (memo).
#ifndef QSTORE_COMMON_FILE_HEADER_CODEC_H_
#define QSTORE_COMMON_FILE_HEADER_CODEC_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "common/file/record_codec.h"
#include "common/model/header.h"
#include "common/status.h"

namespace qs {

constexpr uint8_t kTagHeader = 'H';
constexpr uint8_t kTagHeaderFooter = 'b';
constexpr uint8_t kTagColors = 'a';
constexpr uint8_t kTagMemo = 'M';

// 'H' bodies: the current layout (header bytes 0..285 and the page count) and two older ones that
// lack the title.
constexpr size_t kHeaderBodySize = 288;
constexpr size_t kShortHeaderBodySize = 247;
constexpr size_t kWideHeaderBodySize = 630;
constexpr size_t kColorsBodySize = 64;
// A current 'H' body begins with header bytes 0..285; the title and the information block lie
// there.
constexpr size_t kHeaderTitleOffset = offsetof(HeaderRecord, title);
constexpr size_t kHeaderInfOffset = offsetof(HeaderRecord, inf);

// Writes 'H' (Version 2, the page count), 'b' when the header has a block (or 360 zero bytes when
// `always_header_footer`), 'a' when it has a colour table, and 'M' when the memo is not empty.
// kRefused for a memo too long for a record buffer.
int WriteHeaderRecords(RecordWriter& out, const Header& header, uint16_t page_count,
                       bool always_header_footer);

// Turns an 'H' body of any of the three layouts into header bytes 0..285 and the page count it
// announces. The older layouts get an empty title (and the widest one the current time as both
// times). Titles and font names are cut to their fields. kDamaged for any other length.
int DecodeHeaderBody(const uint8_t* body, size_t n, HeaderRecord* out, uint16_t* page_count);

// 'a' body (16 little-endian colours) to a colour table; kDamaged for any length but 64.
int DecodeColors(const uint8_t* body, size_t n, ColorTable* out);

// 'M' body to the memo text: the bytes up to the first NUL.
std::string DecodeMemo(const uint8_t* body, size_t n);

// Read the body of a record whose head is in hand. kDamaged for a body that is cut short or
// longer than a record buffer.
// 'a': kDamaged for any length but 64.
int ReadColorsRecord(RecordReader& in, const RecordHead& head, ColorTable* out);
// 'M': an empty memo (or one that starts with NUL) leaves *out alone.
int ReadMemoRecord(RecordReader& in, const RecordHead& head, std::optional<std::string>* out);
// 'b': the 360-byte block. With `older_layouts`, a 352-byte body is an older block that lacks its
// first eight bytes (they become the int32 values 80 and 80), and a body of any other length gives
// an all-zero block; without, any length but 360 is kDamaged.
int ReadHeaderFooterRecord(RecordReader& in, const RecordHead& head, bool older_layouts,
                           HeaderFooterBlock* out);

// An 'H' record read and decoded.
struct HeaderBody {
  HeaderRecord rec{};
  uint16_t page_count = 0;      // the pages the header announces
  bool current_layout = false;  // the 288-byte layout, the only one that carries a title
};

// Reads the 'H' body whose head is in hand and decodes it as DecodeHeaderBody does. kDamaged for a
// length of none of the three layouts or a body cut short.
int ReadHeaderBody(RecordReader& in, const RecordHead& head, HeaderBody* out);

// True for the tags of the header records: 'H', 'b', 'a' and 'M'.
bool IsHeaderTag(uint8_t tag);

// Reads the 'b', 'a' or 'M' record whose head is in hand into its part of *header ('b' with
// `older_layouts` as ReadHeaderFooterRecord takes it); a part that cannot be read is left as it
// was. kDamaged for a body that does not fit and for a tag of another kind.
int ReadHeaderPart(RecordReader& in, const RecordHead& head, bool older_layouts, Header* header);

// Reads the header record whose head is in hand into *header. An 'H' body, once read, goes to
// `take_head(const HeaderBody&, Header*)`, which makes of it what the library makes of a header
// (and returns its status); the other header records go through ReadHeaderPart.
template <typename TakeHead>
int ReadHeaderRecord(RecordReader& in, const RecordHead& head, bool older_layouts, Header* header,
                     TakeHead&& take_head) {
  if (head.tag != kTagHeader) return ReadHeaderPart(in, head, older_layouts, header);
  HeaderBody body;
  if (ReadHeaderBody(in, head, &body) != kOk) return kDamaged;
  return take_head(body, header);
}

// Reads the header records from the one whose head is in *head on, as ReadHeaderRecord does, up to
// the first record of another kind or the end of the input; *head then holds that record's head.
template <typename TakeHead>
int ReadHeaderRecords(RecordReader& in, RecordHead* head, bool older_layouts, Header* header,
                      TakeHead&& take_head) {
  while (!head->end && IsHeaderTag(head->tag)) {
    const int status = ReadHeaderRecord(in, *head, older_layouts, header, take_head);
    if (status != kOk) return status;
    if (in.ReadHead(head) != kOk) return kDamaged;
  }
  return kOk;
}

}  // namespace qs

#endif  // QSTORE_COMMON_FILE_HEADER_CODEC_H_
