// Feeds arbitrary bytes to the reader of the plug-in's replacement table, then looks at every
// entry. Every replacement must be a C string of at most 255 bytes that does not
// end inside a character; reading the same text twice must give the same table.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "chargate/replace_table.h"
#include "platform/env.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  qs::ReplaceTable table, again;
  table.Parse(text);
  again.Parse(text);
  again.Parse(text);
  if (table.size() != again.size()) std::abort();
  table.ForEach([&](uint16_t code, const std::string& r) {
    if (r.size() > qs::ReplaceTable::kMaxReplacement) std::abort();
    if (r.find('\0') != std::string::npos) std::abort();
    size_t i = 0;
    while (i < r.size()) i += qs::IsSjisLeadByte(uint8_t(r[i])) ? 2 : 1;
    if (i != r.size()) std::abort();
    const std::string* other = again.Find(code);
    if (other == nullptr || *other != r) std::abort();
  });
  return 0;
}
