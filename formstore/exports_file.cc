// Opening and saving forms, and reading or patching a form file's header without opening it.
#include <cstring>
#include <string>

#include "common/contained.h"
#include "common/model/header.h"
#include "common/status.h"
#include "formstore.h"
#include "formstore/form.h"
#include "formstore/form_file.h"
#include "formstore/form_names.h"

using qs::Form;

namespace {

// Copies a caller's form name into a name buffer and resolves it as a form data file. A name that
// does not fit is not cut (that could name another file): it is not found.
bool ResolveFormName(const char* name, char (&path)[qs::kNameBufferSize]) {
  if (name == nullptr || strnlen(name, sizeof path) >= sizeof path) return false;
  std::strcpy(path, name);
  return qs::ResolveName(path, qs::NameKind::kFormData);
}

// Releases a form that could not be opened and clears the handle, so nothing of it can be used.
int32_t DiscardForm(FormHandle* handle, Form* form, int32_t status) {
  delete form;
  handle->State = nullptr;
  return status;
}

}  // namespace

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaOpenForm(FormHandle* handle, const char* name) {
  if (handle == nullptr) return qs::kRefused;
  return qs::Contained(qs::kNoMemory, [&]() -> int32_t {
    char path[qs::kNameBufferSize];
    if (!ResolveFormName(name, path)) return qs::kNotFound;
    Form* form = qs::Contained(
        [handle] {
          handle->State = nullptr;
          return nullptr;
        },
        [handle] { return Form::Make(handle); });
    if (form == nullptr) return qs::kNoMemory;
    handle->CurPage = 0;
    if (form->InsertPage(0) != qs::kOk) return DiscardForm(handle, form, qs::kRefused);
    const int32_t status =
        qs::Contained(qs::kNoMemory, [&]() -> int32_t { return qs::ReadFormFile(*form, path); });
    if (status != qs::kOk) return DiscardForm(handle, form, status);
    // Reading stores the header through the header-put step but changes nothing.
    form->reset_update_count();
    return qs::kOk;
  });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaSaveForm(FormHandle* handle, char* file_name) {
  if (file_name == nullptr) return qs::kRefused;
  return qs::WithForm(
      handle, [&](Form& f) -> int32_t { return qs::SaveFormAs(f, file_name); }, qs::kNoMemory);
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaGetFormInfDirect(const char* name, FormInf* info,
                                                                   char* title) {
  if (info == nullptr || title == nullptr) return qs::kRefused;
  const auto no_memory = [title] {
    title[0] = '\0';
    return int32_t(qs::kNoMemory);
  };
  return qs::Contained(no_memory, [&]() -> int32_t {
    char path[qs::kNameBufferSize];
    if (!ResolveFormName(name, path)) return qs::kNotFound;
    qs::Header header;
    const int32_t status = qs::ReadFormHeaderFile(path, &header);
    if (status != qs::kOk) {
      title[0] = '\0';
      return status;
    }
    *info = header.rec.inf;
    qs::CopyBounded(title, qs::kTitleSize, header.rec.title);
    return qs::kOk;
  });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaPutFormInfDirect(const char* name,
                                                                   const FormInf* info,
                                                                   const char* title) {
  if (info == nullptr) return qs::kRefused;
  return qs::Contained(qs::kRefused, [&]() -> int32_t {
    char path[qs::kNameBufferSize];
    if (!ResolveFormName(name, path)) return qs::kNotFound;
    return qs::PatchFormHeaderFile(path, *info, title);
  });
}
