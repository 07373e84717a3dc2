#include "common/file/header_codec.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "common/status.h"
#include "platform/env.h"

namespace qs {

namespace {

// What the older layouts carry: everything from the information block on.
constexpr size_t kOldBodyPayload = sizeof(HeaderRecord) - kHeaderInfOffset;  // 244 bytes
// The widest layout kept its font names two bytes further on.
constexpr size_t kFontNamesOffset = offsetof(HeaderRecord, font_names);
constexpr size_t kWideShiftedBytes = 161;

// The older header/footer block lacked two leading int32 values, which it took as 80.
constexpr size_t kOlderHeaderFooterSize = kHeaderFooterSize - 8;
constexpr uint32_t kOlderHeaderFooterMargin = 80;

static_assert(kOldBodyPayload + 1 <= kShortHeaderBodySize, "older header body holds its payload");

void TerminateStrings(HeaderRecord* rec) {
  rec->title[kTitleSize - 1] = '\0';
  for (auto& name : rec->font_names) name[kFontNameSize - 1] = '\0';
}

}  // namespace

int WriteHeaderRecords(RecordWriter& out, const Header& header, uint16_t page_count,
                       bool always_header_footer) {
  if (header.memo && header.memo->size() > kMaxRecordBody) return kRefused;
  uint8_t body[kHeaderBodySize];
  HeaderRecord rec = header.rec;
  rec.version = kHeaderVersion;
  std::memcpy(body, &rec, sizeof rec);
  PutU16(body + sizeof rec, page_count);
  int status = out.Write(kTagHeader, body, sizeof body);
  if (status != kOk) return status;

  if (header.header_footer) {
    status = out.Write(kTagHeaderFooter, header.header_footer->data(), kHeaderFooterSize);
  } else if (always_header_footer) {
    const HeaderFooterBlock zeros{};
    status = out.Write(kTagHeaderFooter, zeros.data(), zeros.size());
  }
  if (status != kOk) return status;

  if (header.ccolor) {
    uint8_t colors[kColorsBodySize];
    for (int i = 0; i < kColorCount; ++i) PutU32(colors + 4 * i, (*header.ccolor)[i]);
    status = out.Write(kTagColors, colors, sizeof colors);
    if (status != kOk) return status;
  }

  if (header.memo && !header.memo->empty())
    status = out.Write(kTagMemo, header.memo->data(), header.memo->size());
  return status;
}

int DecodeHeaderBody(const uint8_t* body, size_t n, HeaderRecord* out, uint16_t* page_count) {
  std::memset(out, 0, sizeof *out);
  uint8_t* bytes = reinterpret_cast<uint8_t*>(out);
  if (n == kHeaderBodySize) {
    std::memcpy(bytes, body, sizeof *out);
    *page_count = GetU16(body + sizeof *out);
  } else if (n == kShortHeaderBodySize || n == kWideHeaderBodySize) {
    out->version = body[0];
    std::memcpy(bytes + kHeaderInfOffset, body + 1, kOldBodyPayload);
    *page_count = GetU16(body + 1 + kOldBodyPayload);
    if (n == kWideHeaderBodySize) {
      std::memmove(bytes + kFontNamesOffset, bytes + kFontNamesOffset + 2, kWideShiftedBytes);
      out->created = out->updated = NowSeconds();
    }
  } else {
    return kDamaged;
  }
  TerminateStrings(out);
  return kOk;
}

int DecodeColors(const uint8_t* body, size_t n, ColorTable* out) {
  if (n != kColorsBodySize) return kDamaged;
  for (int i = 0; i < kColorCount; ++i) (*out)[i] = GetU32(body + 4 * i);
  return kOk;
}

std::string DecodeMemo(const uint8_t* body, size_t n) {
  // A memo is read back into 2048-byte buffers, so the text with its NUL must fit there.
  const char* text = reinterpret_cast<const char*>(body);
  return std::string(text, strnlen(text, std::min(n, kMaxMemoLength)));
}

int ReadColorsRecord(RecordReader& in, const RecordHead& head, ColorTable* out) {
  uint8_t body[kColorsBodySize];
  if (size_t(head.length) != sizeof body || in.ReadBody(body, sizeof body) != kOk) return kDamaged;
  return DecodeColors(body, sizeof body, out);
}

int ReadMemoRecord(RecordReader& in, const RecordHead& head, std::optional<std::string>* out) {
  if (size_t(head.length) > kMaxRecordBody) return kDamaged;
  if (head.length == 0) return kOk;
  uint8_t body[kMaxRecordBody];
  if (in.ReadBody(body, size_t(head.length)) != kOk) return kDamaged;
  std::string memo = DecodeMemo(body, size_t(head.length));
  if (!memo.empty()) *out = std::move(memo);
  return kOk;
}

int ReadHeaderFooterRecord(RecordReader& in, const RecordHead& head, bool older_layouts,
                           HeaderFooterBlock* out) {
  const size_t n = size_t(head.length);
  out->fill(0);
  if (n == kHeaderFooterSize) return in.ReadBody(out->data(), out->size());
  if (!older_layouts || n > kMaxRecordBody) return kDamaged;
  if (n == kOlderHeaderFooterSize) {
    PutU32(out->data(), kOlderHeaderFooterMargin);
    PutU32(out->data() + 4, kOlderHeaderFooterMargin);
    return in.ReadBody(out->data() + 8, n);
  }
  // A length no layout had: the body is passed over and the block stays empty.
  return kOk;
}

int ReadHeaderBody(RecordReader& in, const RecordHead& head, HeaderBody* out) {
  const size_t n = size_t(head.length);
  if (n != kHeaderBodySize && n != kShortHeaderBodySize && n != kWideHeaderBodySize)
    return kDamaged;
  uint8_t body[kWideHeaderBodySize];
  if (in.ReadBody(body, n) != kOk) return kDamaged;
  out->current_layout = n == kHeaderBodySize;
  return DecodeHeaderBody(body, n, &out->rec, &out->page_count);
}

bool IsHeaderTag(uint8_t tag) {
  return tag == kTagHeader || tag == kTagHeaderFooter || tag == kTagColors || tag == kTagMemo;
}

int ReadHeaderPart(RecordReader& in, const RecordHead& head, bool older_layouts, Header* header) {
  switch (head.tag) {
    case kTagHeaderFooter: {
      HeaderFooterBlock block;
      if (ReadHeaderFooterRecord(in, head, older_layouts, &block) != kOk) return kDamaged;
      header->header_footer = block;
      return kOk;
    }
    case kTagColors: {
      ColorTable colors;
      if (ReadColorsRecord(in, head, &colors) != kOk) return kDamaged;
      header->ccolor = colors;
      return kOk;
    }
    case kTagMemo:
      return ReadMemoRecord(in, head, &header->memo) == kOk ? kOk : kDamaged;
    default:
      return kDamaged;
  }
}

}  // namespace qs
