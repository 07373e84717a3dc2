// Header information of an open form.
#include "common/model/header_ops.h"
#include "formstore.h"
#include "formstore/form.h"

using qs::Form;
using qs::WithForm;

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetFormInf(FormHandle* h, FormInf* info) {
  return WithForm(h, [&](Form& f) { return qs::GetInf(f, info); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetFormInf2(FormHandle* h, FormInf* info,
                                                              char* title) {
  return WithForm(h, [&](Form& f) { return qs::GetInf2(f, info, title); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutFormInf(FormHandle* h, const FormInf* info) {
  return WithForm(h, [&](Form& f) { return qs::PutInf(f, info); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutFormInf2(FormHandle* h, const FormInf* info,
                                                              const char* title) {
  return WithForm(h, [&](Form& f) { return qs::PutInf2(f, info, title); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetFormCColor(FormHandle* h, uint32_t* colors) {
  return WithForm(h, [&](Form& f) { return qs::GetCColor(f, colors); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutFormCColor(FormHandle* h,
                                                                const uint32_t* colors) {
  return WithForm(h, [&](Form& f) { return qs::PutCColor(f, colors); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetFormHeaderFooter(FormHandle* h, void* block) {
  return WithForm(h, [&](Form& f) { return qs::GetHeaderFooter(f, static_cast<uint8_t*>(block)); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutFormHeaderFooter(FormHandle* h,
                                                                      const void* block) {
  return WithForm(
      h, [&](Form& f) { return qs::PutHeaderFooter(f, static_cast<const uint8_t*>(block)); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetFormMemo(FormHandle* h, char* memo) {
  return WithForm(h, [&](Form& f) { return qs::GetMemo(f, memo); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutFormMemo(FormHandle* h, const char* memo) {
  return WithForm(h, [&](Form& f) { return qs::PutMemo(f, memo); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetWorkInf(FormHandle* h, int32_t, int32_t) {
  return WithForm(h, [&](Form& f) { return qs::GetWorkInf(f); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutWorkInf(FormHandle* h, int32_t, int32_t) {
  return WithForm(h, [&](Form& f) { return qs::PutWorkInf(f); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetFormDateTime(FormHandle* h,
                                                                  FormDateTime* created,
                                                                  FormDateTime* updated) {
  return WithForm(h, [&](Form& f) { return qs::GetDateTime(f, created, updated); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaResetFormDateTime(FormHandle* h) {
  return WithForm(h, [&](Form& f) { return qs::ResetDateTime(f); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaUpdateFormDateTime(FormHandle* h) {
  return WithForm(h, [&](Form& f) { return qs::UpdateDateTime(f); });
}
