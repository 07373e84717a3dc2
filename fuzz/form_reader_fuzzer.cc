// Feeds arbitrary bytes to the form reader. Whatever it takes must be written again by the form
// writer, and that file must read back into a form that writes the very same bytes.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "common/status.h"
#include "formstore/form.h"
#include "formstore/form_file.h"
#include "fuzz/fuzz_site.h"
#include "platform/memory_file.h"

namespace {

// An open form as QfaOpenForm makes it before reading: one empty page.
struct OpenForm {
  OpenForm() : form(qs::Form::Make(&handle, *qs::CurrentEnv())) {
    if (form->InsertPage(0) != qs::kOk) std::abort();
  }
  ~OpenForm() { delete form; }

  FormHandle handle{};
  qs::Form* form;
};

std::string Write(qs::Form& form) {
  qs::MemoryFile out;
  if (qs::WriteForm(form, out) != qs::kOk) std::abort();
  return out.data();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  qs_fuzz::SetUpSite();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  OpenForm first;
  qs::MemoryFile input(data, size);
  if (qs::ReadForm(*first.form, input) != qs::kOk) return 0;
  const std::string written = Write(*first.form);

  OpenForm second;
  qs::MemoryFile again(reinterpret_cast<const uint8_t*>(written.data()), written.size());
  if (qs::ReadForm(*second.form, again) != qs::kOk) std::abort();
  if (Write(*second.form) != written) std::abort();
  return 0;
}
