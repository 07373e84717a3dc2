// Pages and page data of an open form.
#include <climits>

#include "common/model/page_ops.h"
#include "formstore.h"
#include "formstore/form.h"
#include "formstore/page_list.h"

using qs::Form;
using qs::PageData;
using qs::WithForm;

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetPageCount(FormHandle* h) {
  return WithForm(h, [&](Form& f) { return qs::GetPageCount(f); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetCurPage(FormHandle* h, int32_t* page) {
  return WithForm(h, [&](Form& f) { return qs::GetCurPage(f, page); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutCurPage(FormHandle* h, int32_t page) {
  return WithForm(h, [&](Form& f) { return qs::PutCurPage(f, page); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetPageInf(FormHandle* h, PageInf* inf) {
  return WithForm(h, [&](Form& f) { return qs::GetPageInf(f, inf); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutPageInf(FormHandle* h, const PageInf* inf) {
  return WithForm(h, [&](Form& f) { return qs::PutPageInf(f, inf); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaInsertFormPage(FormHandle* h, uint8_t After,
                                                                 const PageInf* inf) {
  return WithForm(h, [&](Form& f) { return qs::InsertFormPage(f, After, inf); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaDeleteFormPage(FormHandle* h) {
  return WithForm(h, [&](Form& f) { return qs::DeleteFormPage(f); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetPageDataCount(FormHandle* h) {
  return WithForm(h, [&](Form& f) { return qs::GetPageDataCount(f); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetPageData(FormHandle* h, int32_t position,
                                                              uint16_t* entry) {
  return WithForm(h, [&](Form& f) { return qs::GetPageData(f, position, entry); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaDeletePageData(FormHandle* h, uint32_t entry) {
  return WithForm(h, [&](Form& f) { return qs::DeletePageData(f, PageData::FromValue(entry)); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaNextPageData(FormHandle* h, uint16_t* entry) {
  return WithForm(h, [&](Form& f) { return qs::NextPageData(f, entry); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaMoveTopPageData(FormHandle* h, uint32_t entry) {
  return WithForm(h, [&](Form& f) { return qs::MoveTopPageData(f, PageData::FromValue(entry)); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaMoveBottomPageData(FormHandle* h,
                                                                     uint32_t entry) {
  return WithForm(h,
                  [&](Form& f) { return qs::MoveBottomPageData(f, PageData::FromValue(entry)); });
}
