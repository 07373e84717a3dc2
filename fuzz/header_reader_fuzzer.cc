// Feeds arbitrary bytes to the direct header reader and writer. Patching the information block and
// title changes only those bytes, and a patched file reads as before, with the new values where
// its first header is the one that counts.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/model/header.h"
#include "common/status.h"
#include "formstore/form_file.h"
#include "fuzz/fuzz_site.h"
#include "platform/memory_file.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  qs_fuzz::SetUpSite();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qs::Header header;
  qs::MemoryFile input(data, size);
  const int status = qs::ReadFormHeader(input, &header);

  FormInf inf{};
  std::strcpy(inf.Title, "patched plan");
  inf.ReadOrder = 2;
  const char title[] = "patched title";
  qs::MemoryFile patched(data, size);
  if (qs::PatchFormHeader(patched, inf, title) != qs::kOk) return 0;

  // Body bytes 1..41 are the title, 42..112 the information block; the head is 6 bytes.
  const std::string& after = patched.data();
  const std::string before(reinterpret_cast<const char*>(data), size);
  if (after.size() != before.size() || after.compare(0, 7, before, 0, 7) != 0 ||
      after.compare(6 + 113, std::string::npos, before, 6 + 113, std::string::npos) != 0)
    std::abort();

  // A later 'H' replaces the first, so the patched values show only where the file has one.
  qs::Header reread;
  qs::MemoryFile again(reinterpret_cast<const uint8_t*>(after.data()), after.size());
  if (qs::ReadFormHeader(again, &reread) != status) std::abort();
  if (status != qs::kOk) return 0;
  const bool title_ok = std::strcmp(reread.rec.title, title) == 0 ||
                        std::strcmp(reread.rec.title, header.rec.title) == 0;
  const bool inf_ok = std::memcmp(&reread.rec.inf, &inf, sizeof inf) == 0 ||
                      std::memcmp(&reread.rec.inf, &header.rec.inf, sizeof inf) == 0;
  qs::HeaderRecord x = reread.rec, y = header.rec;
  std::memset(x.title, 0, sizeof x.title);
  std::memset(y.title, 0, sizeof y.title);
  x.inf = y.inf = FormInf{};
  x.created = x.updated = y.created = y.updated = 0;  // the widest older layout takes the clock
  if (!title_ok || !inf_ok || std::memcmp(&x, &y, sizeof x) != 0 || reread.memo != header.memo ||
      reread.ccolor != header.ccolor || reread.header_footer != header.header_footer)
    std::abort();
  return 0;
}
