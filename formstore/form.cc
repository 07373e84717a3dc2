#include "formstore/form.h"

#include <cstring>

#include "common/contained.h"
#include "common/file/item_registry.h"
#include "common/file/scratch_files.h"
#include "common/model/attributes.h"
#include "common/undo/journal.h"
#include "formstore/field_template.h"
#include "platform/env.h"

namespace qs {

const LibraryTraits Form::kTraits = {
    /*scratch_prefix=*/"QF",
    /*max_pages=*/kMaxPages,
    /*free_cell_keeps_kind=*/false,
    /*ins_figure_source_must_exist=*/false,
    /*zero_header_footer_is_absent=*/false,
    /*cursor_base=*/1,
};

namespace {

ItemRegistry& Registry() {
  static ItemRegistry registry("/formstore.fmshare");
  return registry;
}

SharedCounter* Counter() {
  return Registry().counter();
}

// Process attach: learn the work directory once.
__attribute__((constructor)) void AttachFormLibrary() {
  Registry().ReloadWorkDir();
}

}  // namespace

const std::string& FormWorkDir() {
  return Registry().work_dir();
}

void ReloadFormWorkDir() {
  Registry().ReloadWorkDir();
}

void UseFormCounterForTesting(const std::string& name) {
  Registry().UseCounter(name);
}

Form* Form::Make(FormHandle* handle, Env& env) {
  std::unique_ptr<Form> form(new Form(env));
  SharedCounter* counter = Counter();
  if (counter == nullptr) throw std::bad_alloc();
  form->form_no_ = counter->Increment();
  form->header_.rec.version = kHeaderVersion;
  form->header_.rec.created = form->header_.rec.updated = NowSeconds();
  SweepScratchFiles(env, FormWorkDir(), kTraits.scratch_prefix, form->form_no_);
  handle->State = form.get();
  handle->CurPage = 0;
  return form.release();
}

Form* Form::FromHandle(const FormHandle* handle) {
  if (handle == nullptr) return nullptr;
  return static_cast<Form*>(handle->State);
}

Form::~Form() {
  pages_.clear();
  SweepScratchFiles(env_, FormWorkDir(), kTraits.scratch_prefix, form_no_);
  if (SharedCounter* counter = Counter()) counter->GiveBack(form_no_);
}

int Form::InsertPage(int index) {
  if (page_count() >= kMaxPages) return kPageLimit;
  if (index < 0 || index > page_count()) return kRefused;
  std::unique_ptr<Page> page;
  const int made = Contained(kPageNoMemory, [&] {
    page.reset(new Page());
    pages_.reserve(kMaxPages);
    return kOk;
  });
  if (made != kOk) return made;
  pages_.insert(pages_.begin() + index, std::move(page));
  return kOk;
}

int Form::DeletePage(int index) {
  if (index < 0 || index >= page_count()) return kRefused;
  layout_.ForgetPage(pages_[index].get());
  pages_.erase(pages_.begin() + index);
  return kOk;
}

Page* Form::PageAt(int number) {
  if (number < 1 || number > page_count()) return nullptr;
  return pages_[number - 1].get();
}

int Form::StoreHeader(const Header& next) {
  // A new template name drops every placement and the old definitions and loads the new template;
  // the header is taken over whatever the loader reports.
  const size_t size = sizeof next.rec.inf.TemplateName;
  const std::string name(next.rec.inf.TemplateName, BoundedLength(next.rec.inf.TemplateName, size));
  const std::string old(header_.rec.inf.TemplateName,
                        BoundedLength(header_.rec.inf.TemplateName, size));
  int status = kOk;
  if (name != old) {
    layout_.ClearAll();
    fields_.Clear();
    if (!name.empty()) status = LoadFieldTemplate(env_, name.c_str(), &fields_);
    if (status != kOk) fields_.Clear();
  }
  header_ = next;
  return status;
}

std::string Form::FreshScratchName(std::string_view like) {
  return qs::FreshScratchName(env_, FormWorkDir(), kTraits.scratch_prefix, form_no_, &scratch_seq_,
                              like);
}

bool Form::FontNumberInUse(int number) {
  for (const auto& page : pages_)
    if (PageUsesFontNumber(*page, number)) return true;
  return false;
}

}  // namespace qs
