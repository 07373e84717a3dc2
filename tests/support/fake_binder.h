// A binder for tests of the shared page model. Either an item of its own (one library's traits,
// pages, header and undo state in memory) or a stand-in in front of a real form or document; in
// both it can note what the page model announces and fail where a real item may fail.
//
//   qs::test::FakeBinder b(qs::Document::kTraits, /*pages=*/3, dir.MakeDir("work"));
//   b.record_hooks = true;     // layout announcements go to b.calls
//   b.unloadable_page = 2;     // page 2 cannot be loaded
#ifndef QSTORE_TESTS_SUPPORT_FAKE_BINDER_H_
#define QSTORE_TESTS_SUPPORT_FAKE_BINDER_H_

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/model/binder.h"
#include "common/model/header.h"
#include "common/model/page.h"
#include "common/undo/undo_state.h"
#include "platform/env.h"

namespace qs {
namespace test {

class FakeBinder : public Binder, public FieldLayoutHooks {
 public:
  // The caller's handle as WithItem sees it.
  struct Handle {
    int32_t CurPage;
    FakeBinder* item;
  };
  static FakeBinder* FromHandle(const Handle* handle) { return handle->item; }

  // An item of its own: `pages` empty pages (each made when first visited), page 1 current, scratch
  // files in `work_dir` named with the traits' prefix and item number 7.
  explicit FakeBinder(const LibraryTraits& traits, int pages = 1, std::string work_dir = "");
  // In front of `inner`: pages, header, undo state and counts are its; only the faults are ours.
  explicit FakeBinder(Binder& inner);

  const LibraryTraits& traits() const override { return *traits_; }
  int page_count() const override { return inner_ ? inner_->page_count() : page_count_; }
  int current_page() const override { return inner_ ? inner_->current_page() : current_; }
  void set_current_page(int number) override {
    if (inner_)
      inner_->set_current_page(number);
    else
      current_ = number;
  }
  Page* PageAt(int number) override;
  void CountChange() override {
    if (inner_)
      inner_->CountChange();
    else
      ++count_changes;
  }
  void PageChanged(int number) override {
    if (inner_)
      inner_->PageChanged(number);
    else
      changed_pages.push_back(number);
  }
  Header& header() override { return inner_ ? inner_->header() : header_; }
  int StoreHeader(const Header& next) override;
  UndoState& undo() override { return inner_ ? inner_->undo() : undo_; }
  std::string FreshScratchName(std::string_view like) override;
  bool FontNumberInUse(int number) override;
  FieldLayoutHooks* layout_hooks() override {
    if (record_hooks) return this;
    return inner_ ? inner_->layout_hooks() : nullptr;
  }
  Env& env() override { return *env_; }

  // Each announcement is noted in `calls` as what, page, chart or free cell, row or column, and
  // the chart's shape at that moment ("row+1/1/3 3x2").
  void ChartDeleting(int page, int no) override { Note("chart-", page, no, 0); }
  void FreCellDeleting(int page, int no) override { Note("frecell-", page, no, 0); }
  void ChartRowInserting(int page, int no, int row) override { Note("row+", page, no, row); }
  void ChartRowDeleting(int page, int no, int row) override { Note("row-", page, no, row); }
  void ChartColInserting(int page, int no, int col) override { Note("col+", page, no, col); }
  void ChartColDeleting(int page, int no, int col) override { Note("col-", page, no, col); }

  // An own page, whether or not it can be loaded.
  Page& page(int number = 1);
  // CountChange and PageChanged calls together.
  int changes() const { return count_changes + int(changed_pages.size()); }

  // Faults: PageAt gives null once `page_loads_left` loads have been made (-1: never) and always
  // for page `unloadable_page`; StoreHeader refuses with kRefused when `refuse_header`.
  int page_loads_left = -1;
  int unloadable_page = 0;
  bool refuse_header = false;
  // layout_hooks() is this binder (otherwise none, or the inner item's).
  bool record_hooks = false;

  std::vector<std::string> calls;
  std::vector<int> changed_pages;
  int count_changes = 0;

 private:
  void Note(const char* what, int page, int no, int n);

  Binder* inner_ = nullptr;
  const LibraryTraits* traits_ = nullptr;
  int page_count_ = 0;
  int current_ = 1;
  std::map<int, std::unique_ptr<Page>> pages_;
  Header header_;
  UndoState undo_;
  std::string work_;
  uint32_t seq_ = 0;
  Env* env_ = CurrentEnv();
};

}  // namespace test
}  // namespace qs

#endif  // QSTORE_TESTS_SUPPORT_FAKE_BINDER_H_
