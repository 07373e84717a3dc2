#include "support/fake_binder.h"

#include <utility>

#include "common/file/scratch_files.h"
#include "common/model/attributes.h"
#include "common/status.h"

namespace qs {
namespace test {

FakeBinder::FakeBinder(const LibraryTraits& traits, int pages, std::string work_dir)
    : traits_(&traits), page_count_(pages), work_(std::move(work_dir)) {}

FakeBinder::FakeBinder(Binder& inner) : inner_(&inner), traits_(&inner.traits()) {}

Page* FakeBinder::PageAt(int number) {
  if (page_loads_left == 0 || number == unloadable_page) return nullptr;
  if (page_loads_left > 0) --page_loads_left;
  if (inner_) return inner_->PageAt(number);
  return number >= 1 && number <= page_count_ ? &page(number) : nullptr;
}

int FakeBinder::StoreHeader(const Header& next) {
  if (refuse_header) return kRefused;
  if (inner_) return inner_->StoreHeader(next);
  header_ = next;
  return kOk;
}

std::string FakeBinder::FreshScratchName(std::string_view like) {
  if (inner_) return inner_->FreshScratchName(like);
  return qs::FreshScratchName(work_, traits_->scratch_prefix, 7, &seq_, like);
}

bool FakeBinder::FontNumberInUse(int number) {
  if (inner_) return inner_->FontNumberInUse(number);
  for (const auto& entry : pages_)
    if (PageUsesFontNumber(*entry.second, number)) return true;
  return false;
}

Page& FakeBinder::page(int number) {
  std::unique_ptr<Page>& slot = pages_[number];
  if (!slot) slot = std::make_unique<Page>();
  return *slot;
}

void FakeBinder::Note(const char* what, int page_no, int no, int n) {
  std::string shape;
  const Page* p = inner_ ? inner_->PageAt(page_no) : &page(page_no);
  if (const ChartRec* c = p ? p->charts.Get(no) : nullptr)
    shape = " " + std::to_string(c->rows()) + "x" + std::to_string(c->cols());
  calls.push_back(what + std::to_string(page_no) + "/" + std::to_string(no) + "/" +
                  std::to_string(n) + shape);
}

}  // namespace test
}  // namespace qs
