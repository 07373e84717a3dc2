#include "common/model/attributes.h"

#include <cstring>

#include "common/status.h"

namespace qs {

namespace {

// The name as it will stand in a slot: at most 32 bytes.
void SlotName(const char* name, char* out) {
  CopyBounded(out, kFontNameSize, name);
}

}  // namespace

namespace {

// The font number a name would get under the slot rule, without naming any slot. *naming tells
// whether the slot must take the name first (an empty or unused slot rather than one holding it).
int ChooseFontNumber(Binder& b, const char* wanted, bool* naming) {
  *naming = false;
  const auto& slots = b.header().rec.font_names;
  for (int i = 0; i < kFontSlots; ++i)
    if (strncmp(slots[i], wanted, kFontNameSize) == 0) return i + 1;
  *naming = true;
  for (int i = 0; i < kFontSlots; ++i) {
    // Content put with an empty face name names an empty slot; naming that slot now would rename
    // the face of that content behind its owner's back.
    if (b.header().rec.font_names[i][0] == '\0' && !b.FontNumberInUse(i + 1)) return i + 1;
  }
  for (int n = 1; n <= kFontSlots; ++n)
    if (!b.FontNumberInUse(n)) return n;
  return kNoFontSlot;
}

}  // namespace

int FontNumberForName(Binder& b, const char* name) {
  char wanted[kFontNameSize];
  SlotName(name, wanted);
  bool naming = false;
  const int number = ChooseFontNumber(b, wanted, &naming);
  // The scan may have visited other pages; take the slots afresh.
  if (number != kNoFontSlot && naming)
    std::memcpy(b.header().rec.font_names[number - 1], wanted, kFontNameSize);
  return number;
}

bool FontSlotAvailable(Binder& b, const FontSpec& wanted) {
  char name[kFontNameSize];
  SlotName(wanted.FontName, name);
  bool naming = false;
  return ChooseFontNumber(b, name, &naming) != kNoFontSlot;
}

int PackFont(Binder& b, const FontSpec& wanted, PackedFont* out) {
  char name[kFontNameSize];
  CopyBounded(name, sizeof name, wanted.FontName);
  const int number = FontNumberForName(b, name);
  if (number == kNoFontSlot) return kNoFontSlot;
  out->b0 = uint8_t((number & 0x07) | ((wanted.Value5 & 0x1F) << 3));
  out->b1 = uint8_t((wanted.Value3 & 0x07) | ((wanted.ValueA & 0x03) << 3) |
                    ((wanted.ValueB & 0x03) << 5) | ((wanted.ValueC & 0x01) << 7));
  return kOk;
}

void UnpackFont(const Header& h, PackedFont font, FontSpec* out) {
  FontNameOfNumber(h, font.number(), out->FontName);
  out->Value5 = uint8_t(font.b0 >> 3);
  out->Value3 = uint8_t(font.b1 & 0x07);
  out->ValueA = uint8_t((font.b1 >> 3) & 0x03);
  out->ValueB = uint8_t((font.b1 >> 5) & 0x03);
  out->ValueC = uint8_t(font.b1 >> 7);
}

uint8_t PageFontNumbers(const Page& page) {
  uint8_t used = 0;
  const CellAttrPool& pool = page.cell_attrs;
  for (int id = 1; id <= pool.count(); ++id) {
    CellAttr rec;
    if (!pool.IsFree(uint16_t(id)) && pool.Get(uint16_t(id), &rec) == kOk)
      used |= uint8_t(1u << rec.font.number());
  }
  for (int no = 1; no <= 32; ++no) {
    if (const TextRec* t = page.texts.Get(no)) used |= uint8_t(1u << t->font.number());
    if (const FreCellRec* f = page.fre_cells.Get(no)) used |= uint8_t(1u << f->font.number());
  }
  return used;
}

bool PageUsesFontNumber(const Page& page, int number) {
  return number >= 0 && number <= 7 && (PageFontNumbers(page) >> number) & 1;
}

}  // namespace qs
