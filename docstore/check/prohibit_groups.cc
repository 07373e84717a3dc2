#include "docstore/check/prohibit_groups.h"

#include <cstdio>
#include <cstring>

#include "common/status.h"
#include "platform/env.h"

namespace qs {

namespace {

// Values are read through buffers of these sizes, so longer ones are cut as the settings reader
// cuts them.
constexpr size_t kValueSize = 256;
constexpr size_t kCodeSize = 8;

std::string ReadValue(Env& env, const std::string& path, const char* section, const char* key) {
  char buf[kValueSize];
  const size_t n = IniGetString(env, path, section, key, "", buf, sizeof buf);
  return std::string(buf, n);
}

// A code written in hexadecimal ("%X": blanks, a sign and a "0x" prefix allowed). At most seven
// characters arrive, so the value always fits an unsigned int; it is kept in 16 bits.
bool ReadCode(Env& env, const std::string& path, const char* section, const char* key,
              uint16_t* code) {
  char buf[kCodeSize];
  IniGetString(env, path, section, key, "", buf, sizeof buf);
  unsigned value = 0;
  if (std::sscanf(buf, "%X", &value) != 1) return false;
  *code = static_cast<uint16_t>(value);
  return true;
}

}  // namespace

const char* const kGroupSections[kGroupCount] = {
    "SGLKATAKANA", "DBLALPHANUMERIC1", "DBLALPHANUMERIC2", "DBLALPHANUMERIC3", "SGLALPHANUMERIC",
};

std::string_view ProhibitGroup::Entry(uint16_t code, size_t width) const {
  if (!Contains(code)) return {};
  const size_t offset = size_t(code - start) * width;
  if (offset + width > replace.size()) return {};
  return std::string_view(replace).substr(offset, width);
}

bool ProhibitGroup::Combines(uint8_t byte) const {
  return byte != 0 && back_spc.find(static_cast<char>(byte)) != std::string::npos;
}

int ReadProhibitGroups(Env& env, const std::string& path, ProhibitGroups* groups) {
  for (int i = 0; i < kGroupCount; ++i) {
    const char* section = kGroupSections[i];
    ProhibitGroup& g = (*groups)[i];
    g.name = ReadValue(env, path, section, "Name");
    if (!ReadCode(env, path, section, "Start", &g.start) ||
        !ReadCode(env, path, section, "End", &g.end))
      return kCheckGroupSglKatakana - i;
    g.replace = ReadValue(env, path, section, "Replace");
    g.back_spc = ReadValue(env, path, section, "BackSpc");
  }
  return kOk;
}

}  // namespace qs
