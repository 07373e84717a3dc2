// An open form: its number, header, pages (at most 10, all in memory), undo journals and
// scratch-file sequence. It is the form library's implementation of the page model's Binder.
//
// Threads: a form is not locked. Its exports may be called from any thread, but never from two at
// once for one form; different forms may be used from different threads at the same time. What the
// forms of a process share is process-wide: the library's item registry (the work directory, read
// when the library is loaded, and the machine-wide counter that numbers forms, mapped once and
// changed only atomically), the field-layout change flag (atomic) and the current Env, which a form
// takes when it is made and keeps for all its file work. ReloadFormWorkDir(),
// UseFormCounterForTesting() and SetEnvForTesting() change that state unguarded: tests call them
// while no form call runs.
#ifndef QSTORE_FORMSTORE_FORM_H_
#define QSTORE_FORMSTORE_FORM_H_

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/model/binder.h"
#include "common/model/header.h"
#include "common/model/page.h"
#include "common/model/with_item.h"
#include "common/status.h"
#include "common/undo/undo_state.h"
#include "formstore.h"
#include "formstore/field_defs.h"
#include "formstore/field_layout.h"

namespace qs {

class Form final : public Binder {
 public:
  static constexpr int kMaxPages = 10;
  static const LibraryTraits kTraits;

  // Makes a form state: numbers it, sets the header's version and times, sweeps leftovers of an
  // earlier form of the same number. Stores it in the handle (CurPage 0). Every file operation of
  // the form goes through `env`, which must outlive it. Throws std::bad_alloc.
  static Form* Make(FormHandle* handle, Env& env);
  // The form behind a handle, or null.
  static Form* FromHandle(const FormHandle* handle);
  // Releases everything the form owns, sweeps its scratch files and gives its number back.
  ~Form() override;

  uint32_t form_no() const { return form_no_; }
  uint32_t update_count() const { return update_count_; }
  void reset_update_count() { update_count_ = 0; }

  // Inserts an empty page at 0-based `index` (0..page count): kPageLimit with 10 pages,
  // kPageNoMemory when it cannot be allocated, kRefused for an index out of range.
  int InsertPage(int index);
  // Destroys the page at 0-based `index` with all its content; kRefused when there is none.
  int DeletePage(int index);

  // Binder.
  const LibraryTraits& traits() const override { return kTraits; }
  int page_count() const override { return int(pages_.size()); }
  int current_page() const override { return current_; }
  void set_current_page(int number) override { current_ = number; }
  Page* PageAt(int number) override;
  void CountChange() override { ++update_count_; }
  void PageChanged(int) override { ++update_count_; }
  Header& header() override { return header_; }
  int StoreHeader(const Header& next) override;
  UndoState& undo() override { return undo_; }
  Env& env() override { return env_; }
  std::string FreshScratchName(std::string_view like) override;
  bool FontNumberInUse(int number) override;
  FieldLayoutHooks* layout_hooks() override { return &layout_; }

  // The field definitions of the form's template and the fields' placements on its pages.
  FieldDefs& fields() { return fields_; }
  FieldLayout& layout() { return layout_; }

 private:
  explicit Form(Env& env) : env_(env) {}

  Env& env_;
  uint32_t form_no_ = 0;
  Header header_;
  uint32_t update_count_ = 0;
  std::vector<std::unique_ptr<Page>> pages_;
  UndoState undo_;
  // The last sequence number a scratch name took: picture copies and undo journals alike.
  uint32_t scratch_seq_ = 0;
  int current_ = 0;  // 1-based page number of the call in progress
  FieldDefs fields_;
  FieldLayout layout_{*this, fields_};
};

// The work directory of this process (ends in '/'), asked of the directory service when the library
// is loaded.
const std::string& FormWorkDir();
// Asks the directory service again; for tests that change the work directory.
void ReloadFormWorkDir();
// Numbers forms from a counter of the given shared name instead of the machine-wide one, so tests
// running side by side see numbers of their own.
void UseFormCounterForTesting(const std::string& name);

// Runs an export's body on the form behind the handle: translates the handle's 0-based CurPage to
// the page model's 1-based page number and back, and turns exceptions into `on_no_memory`. A handle
// without a form gives kRefused.
template <typename Body>
int32_t WithForm(FormHandle* handle, Body&& body, int32_t on_no_memory = kRefused) {
  return WithItem<Form>(handle, std::forward<Body>(body), on_no_memory);
}

}  // namespace qs

#endif  // QSTORE_FORMSTORE_FORM_H_
