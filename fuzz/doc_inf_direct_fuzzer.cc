// Feeds arbitrary bytes to the direct header reader of document files. What it reports must be
// what the document reader finds in the same file whenever that reader takes the file.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "common/status.h"
#include "docstore/document.h"
#include "docstore/document_file.h"
#include "fuzz/fuzz_site.h"
#include "platform/memory_file.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  qs_fuzz::SetUpSite();
  qs::ReloadDocWorkDir();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  DocInf inf{};
  char title[41];
  std::memset(title, 'x', sizeof title);
  qs::MemoryFile input(data, size);
  const int status = qs::ReadDocInf(input, &inf, title);
  if (status != qs::kOk && status != qs::kRefused) std::abort();
  if (status == qs::kOk && std::memchr(title, '\0', sizeof title) == nullptr) std::abort();

  int made = qs::kOk;
  std::unique_ptr<qs::Document> doc = qs::Document::Make(*qs::CurrentEnv(), &made);
  if (!doc) std::abort();
  qs::MemoryFile again(data, size);
  if (qs::ReadDocument(*doc, again) != qs::kOk) return 0;
  // A file the reader takes starts with a current-layout header or an older one.
  const qs::HeaderRecord& rec = doc->header().rec;
  if (status == qs::kOk &&
      (std::memcmp(&inf, &rec.inf, sizeof inf) != 0 || std::strcmp(title, rec.title) != 0))
    std::abort();
  return 0;
}
