// Feeds arbitrary bytes to the document reader. Whatever it takes must survive a walk over every
// page through the cache, be written again by the document writer, and that file must read back
// into a document that writes the very same bytes.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "common/status.h"
#include "docstore/document.h"
#include "docstore/document_file.h"
#include "fuzz/fuzz_site.h"
#include "platform/memory_file.h"

namespace {

std::unique_ptr<qs::Document> NewDocument() {
  int status = qs::kOk;
  std::unique_ptr<qs::Document> doc = qs::Document::Make(*qs::CurrentEnv(), &status);
  if (!doc) std::abort();
  return doc;
}

std::string Write(qs::Document& doc) {
  qs::MemoryFile out;
  if (doc.FlushPages() != qs::kOk || qs::WriteDocument(doc, out) != qs::kOk) std::abort();
  return out.data();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  qs_fuzz::SetUpSite();
  qs::ReloadDocWorkDir();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::unique_ptr<qs::Document> first = NewDocument();
  qs::MemoryFile input(data, size);
  if (qs::ReadDocument(*first, input) != qs::kOk) return 0;
  // Pages whose content the page reader refuses stay unusable, but never break the walk.
  for (int n = 1; n <= first->page_count(); ++n) first->PageAt(n);
  const std::string written = Write(*first);

  std::unique_ptr<qs::Document> second = NewDocument();
  qs::MemoryFile again(reinterpret_cast<const uint8_t*>(written.data()), written.size());
  if (qs::ReadDocument(*second, again) != qs::kOk) std::abort();
  if (Write(*second) != written) std::abort();
  return 0;
}
