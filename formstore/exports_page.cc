// The form library's own page operations. The page calls it shares with the document library are
// bound in exports_page_model.cc.
#include "formstore.h"
#include "formstore/form.h"
#include "formstore/page_list.h"

using qs::Form;
using qs::WithForm;

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaInsertFormPage(FormHandle* h, uint8_t After,
                                                                 const PageInf* inf) {
  return WithForm(h, [&](Form& f) { return qs::InsertFormPage(f, After, inf); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaDeleteFormPage(FormHandle* h) {
  return WithForm(h, [&](Form& f) { return qs::DeleteFormPage(f); });
}
