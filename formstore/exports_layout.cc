// Field placements on the pages of an open form.
#include "common/model/text.h"
#include "formstore.h"
#include "formstore/field_layout.h"
#include "formstore/form.h"

using qs::Form;
using qs::PageData;
using qs::WithForm;

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetFieldLayoutCount(FormHandle* h) {
  return WithForm(h, [&](Form& f) { return f.layout().CountPlaced(); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetLayoutField(FormHandle* h, int32_t n,
                                                                 uint16_t* FieldId,
                                                                 uint32_t* LayoutNo) {
  if (FieldId == nullptr || LayoutNo == nullptr) return qs::kRefused;
  return WithForm(h, [&](Form& f) { return f.layout().GetLayoutField(n, FieldId, LayoutNo); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetLayoutField2(FormHandle* h, int32_t n,
                                                                  uint32_t entry, uint16_t row,
                                                                  uint16_t col, uint16_t* FieldId,
                                                                  uint32_t* LayoutNo) {
  if (FieldId == nullptr || LayoutNo == nullptr) return qs::kRefused;
  return WithForm(h, [&](Form& f) {
    return f.layout().GetLayoutField2(n, PageData::FromValue(entry), row, col, FieldId, LayoutNo);
  });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetFieldLayout(FormHandle* h, uint16_t FieldId,
                                                                 uint32_t LayoutNo, uint16_t* entry,
                                                                 uint16_t* row, uint16_t* col,
                                                                 LayoutPos* pos) {
  if (entry == nullptr || row == nullptr || col == nullptr || pos == nullptr) return qs::kRefused;
  return WithForm(h, [&](Form& f) {
    return f.layout().GetFieldLayout(FieldId, LayoutNo, entry, row, col, pos);
  });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutFieldLayout(FormHandle* h, uint16_t, uint32_t,
                                                                 uint32_t, uint16_t, uint16_t) {
  return WithForm(h, [&](Form& f) {
    f.CountChange();
    return qs::kOk;
  });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutFieldLayout2(FormHandle* h, uint16_t FieldId,
                                                                  uint32_t LayoutNo,
                                                                  const LayoutPos* pos) {
  return WithForm(h, [&](Form& f) -> int32_t {
    if (pos == nullptr) {
      f.CountChange();
      return qs::kRefused;
    }
    return f.layout().PutFieldLayout2(FieldId, LayoutNo, *pos);
  });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaAddFieldLayout(FormHandle* h, uint16_t FieldId,
                                                                 uint32_t entry, uint16_t row,
                                                                 uint16_t col, uint32_t* LayoutNo) {
  return WithForm(h, [&](Form& f) -> int32_t {
    uint32_t no = 0;
    const int32_t status = f.layout().Add(FieldId, PageData::FromValue(entry), row, col, &no);
    if (status == qs::kOk && LayoutNo != nullptr) *LayoutNo = no;
    return status;
  });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaCancelFieldLayout(FormHandle* h, uint16_t FieldId,
                                                                    uint32_t LayoutNo) {
  return WithForm(h, [&](Form& f) { return f.layout().Cancel(FieldId, LayoutNo); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaInitFieldLayout(FormHandle* h) {
  return WithForm(h, [&](Form& f) { return f.layout().Init(); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaCheckFieldLayout(int32_t) {
  return qs::LayoutChanged() ? 1 : 0;
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetLayoutCountInner(FormHandle* h) {
  return WithForm(h, [&](Form& f) { return f.layout().InnerCount(); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetLayoutInner(FormHandle* h, int32_t position,
                                                                 uint16_t* LayoutId,
                                                                 uint32_t* LayoutNo,
                                                                 uint16_t* entry, LayoutPos* pos) {
  if (LayoutId == nullptr || LayoutNo == nullptr || entry == nullptr || pos == nullptr)
    return qs::kRefused;
  return WithForm(
      h, [&](Form& f) { return f.layout().GetInner(position, LayoutId, LayoutNo, entry, pos); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutLayoutInner(FormHandle* h, uint16_t LayoutId,
                                                                 uint32_t LayoutNo,
                                                                 const LayoutPos* pos) {
  if (pos == nullptr) return qs::kRefused;
  return WithForm(h, [&](Form& f) { return f.layout().PutInner(LayoutId, LayoutNo, *pos); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetFieldLayoutOffSet(FormHandle* h,
                                                                       uint16_t FieldId,
                                                                       uint16_t* OffsetRow,
                                                                       uint16_t* OffsetCol) {
  if (OffsetRow == nullptr || OffsetCol == nullptr) return qs::kRefused;
  return WithForm(h, [&](Form& f) { return f.layout().GetOffset(FieldId, OffsetRow, OffsetCol); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaExistFieldLayout(FormHandle* h,
                                                                   uint16_t FieldId) {
  return WithForm(h, [&](Form& f) { return f.layout().Exist(FieldId); });
}

QSTORE_EXTERN_C QSTORE_API char* QSTORE_CALL QfaSubsStrRev(char* s) {
  return qs::ReverseSjisString(s);
}
