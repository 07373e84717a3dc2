// Feeds arbitrary texts to the conversion of one text, with the shipped groups and replacement
// table. The first three bytes choose the check mask, the replace mask and the length limit. The
// result must respect the limit, keep every character whole and close every run it opens; with
// nothing to replace it must be the text itself.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "chargate/replace_table.h"
#include "common/status.h"
#include "docstore/check/prohibit_groups.h"
#include "docstore/check/text_convert.h"
#include "platform/env.h"

namespace {

const std::string kDataDir = std::string(QSTORE_SOURCE_DIR) + "/chargate/data/";

struct Tables final : qs::SpecialChars {
  bool Judge(std::string_view ch, std::string* replacement) override {
    const uint16_t code =
        ch.size() == 2 ? uint16_t(uint8_t(ch[0]) * 256 + uint8_t(ch[1])) : uint8_t(ch[0]);
    if (const std::string* found = table.Find(code)) {
      *replacement = *found;
      return true;
    }
    if (!qs::IsUserDefinedCode(code)) return false;
    replacement->assign(ch);
    return true;
  }
  qs::ProhibitGroups groups;
  qs::ReplaceTable table;
};

Tables* tables;

size_t Count(const std::string& s, std::string_view what) {
  size_t n = 0;
  for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1)) ++n;
  return n;
}

bool WholeCharacters(const std::string& s) {
  return qs::SjisWholePrefix(s, s.size()) == s.size();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  tables = new Tables;
  std::string csv;
  if (qs::ReadProhibitGroups(*qs::CurrentEnv(), kDataDir + "prohibit.ini", &tables->groups) !=
          qs::kOk ||
      !qs::ReadWholeFile(qs::CurrentEnv(), kDataDir + "pbrepl.csv", &csv))
    std::abort();
  tables->table.Parse(csv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const int check = data[0] & 14;
  const int replace = data[1] & 14;
  const size_t limit = data[2];
  const std::string in(reinterpret_cast<const char*>(data + 3), size - 3);
  qs::TextConverter converter(tables->groups, check, replace, tables, nullptr);
  std::string out;
  const bool replaced = converter.Convert(in, limit, &out);
  if (out.size() > limit) std::abort();
  if (in.find('<') == std::string::npos && Count(out, "<hwf>") != Count(out, "</hwf>"))
    std::abort();
  if (converter.found_mask() & ~check) std::abort();
  if (!replaced && in.size() <= limit && out != in) std::abort();
  // Characters of the text stay whole, unless the text itself ends inside one.
  if (WholeCharacters(in) && !WholeCharacters(out)) std::abort();
  return 0;
}
