// The header record every form and document carries: version, title, the caller's information
// block, five font-name slots, creation and update times, and three optional owned blocks.
#ifndef QSTORE_COMMON_MODEL_HEADER_H_
#define QSTORE_COMMON_MODEL_HEADER_H_

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "qstore_records.h"

namespace qs {

constexpr int kFontSlots = 5;
constexpr int kFontNameSize = 33;
constexpr int kTitleSize = 41;
constexpr int kHeaderFooterSize = 360;
constexpr int kColorCount = 16;
// The header version written, and the newest a form file may carry.
constexpr uint8_t kHeaderVersion = 2;
// Longest memo a saved file can carry back.
constexpr size_t kMaxMemoLength = 2047;

// "ＭＳ 明朝" in Shift-JIS: the face of a font whose number names no slot.
extern const char kDefaultFontName[];

#pragma pack(push, 1)
// Bytes 0..285 of the header; also the body of a file's 'H' record.
struct HeaderRecord {
  uint8_t version;
  char title[kTitleSize];
  FormInf inf;
  char font_names[kFontSlots][kFontNameSize];
  int32_t created;
  int32_t updated;
};
#pragma pack(pop)
static_assert(sizeof(HeaderRecord) == 286, "header record is 286 bytes");

using ColorTable = std::array<uint32_t, kColorCount>;
using HeaderFooterBlock = std::array<uint8_t, kHeaderFooterSize>;

struct Header {
  HeaderRecord rec{};
  std::optional<ColorTable> ccolor;
  std::optional<HeaderFooterBlock> header_footer;
  std::optional<std::string> memo;
};

// The 16 standard VGA colours used when a header has no colour table.
extern const ColorTable kDefaultColors;

const ColorTable& ColorsInUse(const Header& h);
// Entry `index` of the colour table in use; 0 for an index outside 0..15.
uint32_t ColorOfIndex(const Header& h, int index);
// The first index whose entry equals `color`; 0 when none does.
uint8_t IndexOfColor(const Header& h, uint32_t color);

// Name of font slot 1..5 into out[33]; kRefused and the default name for any other number.
int FontNameOfNumber(const Header& h, int number, char* out);

// Copies at most `size` - 1 bytes of `src` into `dst` and terminates it; the rest of `dst` is
// zeroed.
void CopyBounded(char* dst, size_t size, const char* src);
// Length of a NUL-terminated string held in a fixed field, never reading past the field.
size_t BoundedLength(const char* s, size_t size);

}  // namespace qs

#endif  // QSTORE_COMMON_MODEL_HEADER_H_
