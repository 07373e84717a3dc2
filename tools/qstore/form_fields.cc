// Reads a form's field definitions and placements.
#include "tools/qstore/form_fields.h"

#include "tools/qstore/status.h"

namespace qstore::tool {

FieldSet ReadFormFields(FormHandle* form) {
  FieldSet set;
  set.has_control = QfaGetFieldControl(form, &set.control) == 0;
  const int32_t structs = QfaGetFieldStructCount(form);
  for (int32_t i = 1; i <= structs; ++i) {
    FieldStruct s{};
    if (QfaGetFieldStruct(form, i, &s) == 0) set.structs.push_back(s);
  }
  const int32_t fields = QfaGetFieldCount(form);
  for (int32_t i = 1; i <= fields; ++i) {
    FieldInfo info;
    if (QfaGetField(form, i, &info.field) != 0) continue;
    const uint16_t id = info.field.FieldId;
    QfaGetFieldForm(form, id, &info.form);
    info.def_form = QfaGetFieldDefForm(form, id);
    info.layout_count = QfaExistFieldLayout(form, id);
    // Offsets place a table's fields inside the table's rectangle; other fields have none.
    FieldStruct parent{};
    const bool in_table = info.field.ParentId != 0 &&
                          QfaGetFieldStruct2(form, +info.field.ParentId, &parent) == 0 &&
                          parent.StructKind == 1;
    if (in_table && info.layout_count > 0)
      QfaGetFieldLayoutOffSet(form, id, &info.offset_row, &info.offset_col);
    set.fields.push_back(info);
  }
  return set;
}

std::vector<PlacementInfo> ReadFormPlacements(FormHandle* form, const std::string& path) {
  std::vector<PlacementInfo> placements;
  const int32_t count = QfaGetLayoutCountInner(form);
  for (int32_t i = 1; i <= count; ++i) {
    PlacementInfo p;
    const int32_t status = QfaGetLayoutInner(form, i, &p.layout_id, &p.layout_no, &p.entry, &p.pos);
    if (status != 0) throw CallError(path, "QfaGetLayoutInner", status);
    Field field{};
    p.table = QfaGetField2(form, p.layout_id, &field) != 0;
    placements.push_back(p);
  }
  return placements;
}

FieldControl ReadTemplateControl(const std::string& template_name) {
  FieldControl control{};
  const int32_t status = QfaGetFieldControlDirect(template_name.c_str(), &control);
  if (status != 0) throw CallError(template_name, "QfaGetFieldControlDirect", status);
  return control;
}

}  // namespace qstore::tool
