#include "formstore/field_defs.h"

#include <cstddef>

#include "common/contained.h"

namespace qs {

FieldControl DefaultFieldControl() {
  FieldControl c{};
  c.PageMode = 1;
  return c;
}

FieldForm FieldFormOf(const FieldRec& f) {
  FieldForm form{};
  form.FormA = f.form1 & 0x07;
  form.FormB = (f.form1 >> 3) & 0x03;
  form.FormC = (f.form1 >> 5) & 0x07;
  form.FormD = (f.form2 >> 6) & 0x03;
  form.FormE = f.form3 & 0x03;
  form.FormF = (f.form3 >> 2) & 0x3F;
  return form;
}

void SetFieldForm(FieldRec* f, const FieldForm& form) {
  f->form1 = uint8_t((form.FormA & 0x07) | (form.FormB & 0x03) << 3 | (form.FormC & 0x07) << 5);
  f->form2 = uint8_t((f->form2 & 0x3F) | (form.FormD & 0x03) << 6);
  f->form3 = uint8_t((form.FormE & 0x03) | (form.FormF & 0x3F) << 2);
}

void FieldDefs::Clear() {
  std::vector<FieldStruct>().swap(structs_);
  std::vector<FieldRec>().swap(fields_);
}

const FieldStruct* FieldDefs::StructAt(int number) const {
  if (number < 1 || number > struct_count()) return nullptr;
  return &structs_[size_t(number - 1)];
}

FieldRec* FieldDefs::FieldAt(int number) {
  if (number < 1 || number > field_count()) return nullptr;
  return &fields_[size_t(number - 1)];
}

const FieldRec* FieldDefs::FieldAt(int number) const {
  return const_cast<FieldDefs*>(this)->FieldAt(number);
}

const FieldStruct* FieldDefs::FindStruct(uint16_t id) const {
  for (const FieldStruct& s : structs_)
    if (s.StructId == id) return &s;
  return nullptr;
}

FieldRec* FieldDefs::FindField(uint16_t id) {
  for (FieldRec& f : fields_)
    if (f.pub.FieldId == id) return &f;
  return nullptr;
}

const FieldRec* FieldDefs::FindField(uint16_t id) const {
  return const_cast<FieldDefs*>(this)->FindField(id);
}

bool FieldDefs::AppendStruct(const FieldStruct& s) {
  if (struct_count() >= kMaxStructs) return false;
  return Contained(false, [&] {
    structs_.push_back(s);
    return true;
  });
}

bool FieldDefs::AppendField(const FieldRec& f) {
  if (field_count() >= kMaxFields) return false;
  return Contained(false, [&] {
    fields_.push_back(f);
    return true;
  });
}

Placing FieldDefs::PlacingOf(const FieldRec& f) const {
  if (f.pub.ParentId == 0) return Placing::kPlain;
  const FieldStruct* parent = FindStruct(f.pub.ParentId);
  if (parent == nullptr) return Placing::kNone;
  if (parent->StructKind == kStructRecord) return Placing::kRecord;
  if (parent->StructKind == kStructTable) return Placing::kTable;
  return Placing::kNone;
}

}  // namespace qs
