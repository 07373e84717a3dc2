// Creating, closing and asking about forms.
#include "common/contained.h"
#include "common/model/header_ops.h"
#include "formstore.h"
#include "formstore/form.h"
#include "formstore/form_names.h"

using qs::Form;

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaCreateForm(FormHandle* handle,
                                                             const FormInf* info) {
  if (handle == nullptr || info == nullptr) return qs::kRefused;
  const Form* made = qs::Contained(
      [handle] {
        handle->State = nullptr;
        return nullptr;
      },
      [handle] { return Form::Make(handle); });
  if (made == nullptr) return qs::kRefused;
  // The create record goes in through the header-put step, so a template name loads its fields. A
  // failure there leaves the form open for the caller to close.
  return qs::WithForm(handle, [&](Form& f) {
    qs::Header next = f.header();
    next.rec.inf = *info;
    return f.StoreHeader(next);
  });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaCloseForm(FormHandle* handle) {
  delete Form::FromHandle(handle);
  return qs::kOk;
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaQueryFormUpdate(FormHandle* handle) {
  const Form* form = Form::FromHandle(handle);
  return form ? int32_t(form->update_count()) : 0;
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaFormExist2(char* name) {
  if (name == nullptr) return 0;
  return qs::Contained(0, [name] { return qs::FormExist2(name); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaFormExist(char* name) {
  return QfaFormExist2(name) != 0 ? qs::kOk : qs::kRefused;
}
