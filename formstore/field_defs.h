// The field definitions of a form, read from its template: the program settings, up to 25
// structures (tables, sub-tables, records, cases, tags) and up to 576 fields. Of a field only the
// presentation values change after loading; its placement members belong to the field layout.
#ifndef QSTORE_FORMSTORE_FIELD_DEFS_H_
#define QSTORE_FORMSTORE_FIELD_DEFS_H_

#include <cstdint>
#include <vector>

#include "qstore_records.h"

namespace qs {

enum StructKind : uint8_t {
  kStructTable = 1,
  kStructSubTable = 2,
  kStructRecord = 3,
  kStructCase = 4,
  kStructTag = 5,
};

#pragma pack(push, 1)
// A field as the form keeps it: what the getters return, then the presentation and placement
// members.
struct FieldRec {
  Field pub;
  uint8_t form1;  // bits 0-2 FormA, 3-4 FormB, 5-7 FormC
  uint8_t form2;  // bits 6-7 FormD; bits 0-5 kept, never exchanged
  uint8_t form3;  // bits 0-1 FormE, 2-7 FormF
  uint8_t reserved;
  uint16_t layout_count;  // placements of the field (of its table, for a table field)
  uint16_t offset_row;    // 1-based position of a table field inside its table
  uint16_t offset_col;
  uint8_t def_form;
};
#pragma pack(pop)
static_assert(sizeof(FieldRec) == 52, "a kept field is 52 bytes");

// How a field is placed, by the kind of structure that directly encloses it.
enum class Placing { kPlain, kRecord, kTable, kNone };

FieldControl DefaultFieldControl();
FieldForm FieldFormOf(const FieldRec& f);
// Sets the seven values, each cut to its width; bits that carry none stay.
void SetFieldForm(FieldRec* f, const FieldForm& form);

class FieldDefs {
 public:
  static constexpr int kMaxStructs = 25;
  static constexpr int kMaxFields = 576;

  FieldDefs() : control_(DefaultFieldControl()) {}

  // Frees both tables; the program settings stay.
  void Clear();

  FieldControl& control() { return control_; }
  const FieldControl& control() const { return control_; }

  int struct_count() const { return int(structs_.size()); }
  int field_count() const { return int(fields_.size()); }
  // 1-based numbers; null out of range.
  const FieldStruct* StructAt(int number) const;
  FieldRec* FieldAt(int number);
  const FieldRec* FieldAt(int number) const;
  // The first record with the id, or null.
  const FieldStruct* FindStruct(uint16_t id) const;
  FieldRec* FindField(uint16_t id);
  const FieldRec* FindField(uint16_t id) const;

  // False when the table is full (or no memory): the record is not added.
  bool AppendStruct(const FieldStruct& s);
  bool AppendField(const FieldRec& f);

  Placing PlacingOf(const FieldRec& f) const;

  std::vector<FieldRec>& fields() { return fields_; }
  const std::vector<FieldRec>& fields() const { return fields_; }

 private:
  FieldControl control_;
  std::vector<FieldStruct> structs_;
  std::vector<FieldRec> fields_;
};

}  // namespace qs

#endif  // QSTORE_FORMSTORE_FIELD_DEFS_H_
