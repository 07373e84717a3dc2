// The five character groups of "prohibit.ini": which codes the check treats as half-width katakana
// and full-width alphanumerics, and what replaces each of them.
#ifndef QSTORE_DOCSTORE_CHECK_PROHIBIT_GROUPS_H_
#define QSTORE_DOCSTORE_CHECK_PROHIBIT_GROUPS_H_

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace qs {

class Env;

// One section of "prohibit.ini": the codes Start..End and, per code, a replacement entry of a
// fixed width in Replace.
struct ProhibitGroup {
  std::string name;      // kept, not used by the check
  uint16_t start = 0;    // first code of the range
  uint16_t end = 0;      // last code of the range
  std::string replace;   // one entry per code from start to end
  std::string back_spc;  // one-byte codes that combine with the character before them

  bool Contains(uint16_t code) const { return start <= code && code <= end; }
  // The `width`-byte replacement entry of a code in the range; empty when the entry would lie past
  // the end of Replace, so a short value never hands out bytes it does not hold.
  std::string_view Entry(uint16_t code, size_t width) const;
  bool Combines(uint8_t byte) const;
};

// The sections in the order they are read; a group's index gives its failure status.
enum GroupIndex {
  kSglKatakana = 0,
  kDblAlnum1 = 1,
  kDblAlnum2 = 2,
  kDblAlnum3 = 3,
  kSglAlnum = 4,
  kGroupCount = 5,
};
using ProhibitGroups = std::array<ProhibitGroup, kGroupCount>;

// Section names, indexed by GroupIndex.
extern const char* const kGroupSections[kGroupCount];

// Reads the five groups from the INI file at `path` in `env`. Returns kOk, or the status of the
// first group whose Start or End is empty or not hexadecimal (kCheckGroupSglKatakana + ... in
// reading order).
int ReadProhibitGroups(Env& env, const std::string& path, ProhibitGroups* groups);

}  // namespace qs

#endif  // QSTORE_DOCSTORE_CHECK_PROHIBIT_GROUPS_H_
