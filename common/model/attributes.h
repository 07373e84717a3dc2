// Conversions between the caller's wide attributes (32-bit colours, 38-byte FontSpec) and the
// compact forms kept in page records (palette indexes, two-byte packed fonts), and the font-slot
// rule.
#ifndef QSTORE_COMMON_MODEL_ATTRIBUTES_H_
#define QSTORE_COMMON_MODEL_ATTRIBUTES_H_

#include <cstdint>

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

// The font numbers that the page's cell attribute records, texts and free cells use: bit k set for
// number k (0..7).
uint8_t PageFontNumbers(const Page& page);
// True when a cell attribute record, text or free cell of the page uses font number `number`.
bool PageUsesFontNumber(const Page& page, int number);

}  // namespace qs

#endif  // QSTORE_COMMON_MODEL_ATTRIBUTES_H_
