#include "common/model/header.h"

#include <cstring>

#include "common/status.h"

namespace qs {

const char kDefaultFontName[] = "\x82\x6C\x82\x72\x20\x96\xBE\x92\xA9";

const ColorTable kDefaultColors = {
    0x00000000, 0x00000080, 0x00008000, 0x00008080, 0x00800000, 0x00800080, 0x00808000, 0x00808080,
    0x00C0C0C0, 0x000000FF, 0x0000FF00, 0x0000FFFF, 0x00FF0000, 0x00FF00FF, 0x00FFFF00, 0x00FFFFFF,
};

const ColorTable& ColorsInUse(const Header& h) {
  return h.ccolor ? *h.ccolor : kDefaultColors;
}

uint32_t ColorOfIndex(const Header& h, int index) {
  if (index < 0 || index >= kColorCount) return 0;
  return ColorsInUse(h)[index];
}

uint8_t IndexOfColor(const Header& h, uint32_t color) {
  const ColorTable& table = ColorsInUse(h);
  for (int i = 0; i < kColorCount; ++i)
    if (table[i] == color) return uint8_t(i);
  return 0;
}

int FontNameOfNumber(const Header& h, int number, char* out) {
  if (number < 1 || number > kFontSlots) {
    CopyBounded(out, kFontNameSize, kDefaultFontName);
    return kRefused;
  }
  CopyBounded(out, kFontNameSize, h.rec.font_names[number - 1]);
  return kOk;
}

void CopyBounded(char* dst, size_t size, const char* src) {
  if (size == 0) return;
  const size_t n = src ? strnlen(src, size - 1) : 0;
  if (n) std::memcpy(dst, src, n);
  std::memset(dst + n, 0, size - n);
}

size_t BoundedLength(const char* s, size_t size) {
  return strnlen(s, size);
}

}  // namespace qs
