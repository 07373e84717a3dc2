// Field definitions of an open form, and the program settings of a template file.
#include <cstring>

#include "common/contained.h"
#include "formstore.h"
#include "formstore/field_defs.h"
#include "formstore/field_template.h"
#include "formstore/form.h"

using qs::FieldDefs;
using qs::FieldRec;
using qs::Form;
using qs::WithForm;

namespace {

// Copies a record found by number or id out; -1 when there is none.
template <typename Rec>
int32_t CopyOut(const Rec* rec, Rec* out) {
  if (rec == nullptr || out == nullptr) return qs::kRefused;
  *out = *rec;
  return qs::kOk;
}

const Field* Public(const FieldRec* rec) {
  return rec ? &rec->pub : nullptr;
}

}  // namespace

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetFieldControl(FormHandle* h,
                                                                  FieldControl* control) {
  return WithForm(h, [&](Form& f) -> int32_t {
    // Settings without fields are not reported, whatever the template set.
    if (control == nullptr || f.fields().field_count() == 0) return qs::kRefused;
    *control = f.fields().control();
    return qs::kOk;
  });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetFieldControlDirect(const char* name,
                                                                        FieldControl* control) {
  if (control == nullptr) return qs::kRefused;
  return qs::Contained(
      [control] {
        *control = qs::DefaultFieldControl();
        return int32_t(qs::kTemplateMissing);
      },
      [&]() -> int32_t { return qs::LoadFieldTemplateControl(name, control); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetFieldCount(FormHandle* h) {
  return WithForm(h, [&](Form& f) { return f.fields().field_count(); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetField(FormHandle* h, int32_t number,
                                                           Field* field) {
  return WithForm(h, [&](Form& f) { return CopyOut(Public(f.fields().FieldAt(number)), field); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetField2(FormHandle* h, uint16_t FieldId,
                                                            Field* field) {
  return WithForm(h,
                  [&](Form& f) { return CopyOut(Public(f.fields().FindField(FieldId)), field); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetFieldStructCount(FormHandle* h) {
  return WithForm(h, [&](Form& f) { return f.fields().struct_count(); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetFieldStruct(FormHandle* h, int32_t number,
                                                                 FieldStruct* out) {
  return WithForm(h, [&](Form& f) { return CopyOut(f.fields().StructAt(number), out); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetFieldStruct2(FormHandle* h, uint16_t StructId,
                                                                  FieldStruct* out) {
  return WithForm(h, [&](Form& f) { return CopyOut(f.fields().FindStruct(StructId), out); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetFieldForm(FormHandle* h, uint16_t FieldId,
                                                               FieldForm* form) {
  return WithForm(h, [&](Form& f) -> int32_t {
    const FieldRec* rec = f.fields().FindField(FieldId);
    if (rec == nullptr || form == nullptr) return qs::kRefused;
    // Byte 3 carries nothing and stays as the caller had it.
    const uint8_t reserved = form->Reserved;
    *form = qs::FieldFormOf(*rec);
    form->Reserved = reserved;
    return qs::kOk;
  });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutFieldForm(FormHandle* h, uint16_t FieldId,
                                                               const FieldForm* form) {
  return WithForm(h, [&](Form& f) -> int32_t {
    FieldDefs& defs = f.fields();
    FieldRec* rec = defs.FindField(FieldId);
    if (rec == nullptr || form == nullptr) return qs::kRefused;
    qs::SetFieldForm(rec, *form);
    f.CountChange();
    // FormE and FormF of a field directly inside a table belong to the table: every field of it
    // takes them.
    const FieldStruct* parent = rec->pub.ParentId ? defs.FindStruct(rec->pub.ParentId) : nullptr;
    if (parent != nullptr && parent->StructKind == qs::kStructTable) {
      for (FieldRec& other : defs.fields()) {
        if (other.pub.ParentId != rec->pub.ParentId) continue;
        other.form3 = rec->form3;
      }
    }
    return qs::kOk;
  });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetFieldDefForm(FormHandle* h, uint16_t FieldId) {
  return WithForm(h, [&](Form& f) -> int32_t {
    const FieldRec* rec = f.fields().FindField(FieldId);
    return rec ? int32_t(rec->def_form) : int32_t(qs::kRefused);
  });
}
