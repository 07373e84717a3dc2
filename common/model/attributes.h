// Conversions between the caller's wide attributes (32-bit colours, 38-byte FontSpec) and the
// compact forms kept in page records (palette indexes, two-byte packed fonts), and the font-slot
// rule.
#ifndef QSTORE_COMMON_MODEL_ATTRIBUTES_H_
#define QSTORE_COMMON_MODEL_ATTRIBUTES_H_

#include <cstdint>
#include <cstring>

#include "common/model/binder.h"
#include "common/model/header.h"
#include "common/model/page.h"
#include "common/model/stored_records.h"
#include "qstore_records.h"

namespace qs {

// The font number (1..5) for a face name: a slot holding that name, else the first empty slot
// (which takes the name), else the first slot whose number no content of any page uses (which is
// reused). kNoFontSlot when none can be had. Names are cut at 32 bytes.
int FontNumberForName(Binder& b, const char* name);

// True when a font of that face could be packed now; names no slot.
bool FontSlotAvailable(Binder& b, const FontSpec& wanted);

// Packs a FontSpec; kNoFontSlot (nothing packed) when no slot can be had.
int PackFont(Binder& b, const FontSpec& wanted, PackedFont* out);
// Widens a packed font; a number outside 1..5 reads as the default face.
void UnpackFont(const Header& h, PackedFont font, FontSpec* out);

// Chart cells, texts and free cells share one look: a packed font, six attribute words, a mode and
// two colours. StoreLook takes it from a caller's record (ChartCell, Text) into a stored one
// (CellAttr, TextRec) with its font already packed; GiveLook widens it back.
template <typename Stored, typename Given>
void StoreLook(const Header& h, const Given& in, const PackedFont& font, Stored* out) {
  static_assert(sizeof out->attr == sizeof in.Attr, "six attribute words on both sides");
  out->font = font;
  std::memcpy(out->attr, in.Attr, sizeof out->attr);
  out->color1 = IndexOfColor(h, in.Color1);
  out->mode = in.Mode;
  out->color2 = IndexOfColor(h, in.Color2);
}

template <typename Given, typename Stored>
void GiveLook(const Header& h, const Stored& in, Given* out) {
  static_assert(sizeof out->Attr == sizeof in.attr, "six attribute words on both sides");
  UnpackFont(h, in.font, &out->Font);
  std::memcpy(out->Attr, in.attr, sizeof out->Attr);
  out->Color1 = ColorOfIndex(h, in.color1);
  out->Mode = in.mode;
  out->Color2 = ColorOfIndex(h, in.color2);
}

// The font numbers that the page's cell attribute records, texts and free cells use: bit k set for
// number k (0..7).
uint8_t PageFontNumbers(const Page& page);
// True when a cell attribute record, text or free cell of the page uses font number `number`.
bool PageUsesFontNumber(const Page& page, int number);

}  // namespace qs

#endif  // QSTORE_COMMON_MODEL_ATTRIBUTES_H_
