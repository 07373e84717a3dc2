// The character-check plug-in's entry points.
#include "chargate/chargate.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "chargate/replace_table.h"
#include "common/contained.h"
#include "platform/env.h"

namespace {

struct Gate {
  qs::ReplaceTable table;
  std::string answer;  // the character itself, for a user-defined one the table lacks
};

Gate* GateOf(PsHandle handle) {
  return static_cast<Gate*>(handle);
}

// The plug-in reads its files with the C library alone: it is loaded and unloaded for every check,
// and anything the platform layer keeps for the life of a process would be lost at each unload.
bool ReadTable(const char* path, std::string* text) {
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path, "rb"), std::fclose);
  if (!f) return false;
  char buf[16384];
  size_t got = 0;
  while ((got = std::fread(buf, 1, sizeof buf, f.get())) > 0) text->append(buf, got);
  return std::ferror(f.get()) == 0;
}

bool FileExists(const char* path) {
  std::FILE* f = std::fopen(path, "rb");
  if (f == nullptr) return false;
  std::fclose(f);
  return true;
}

}  // namespace

extern "C" {

CHARGATE_API PsHandle CHARGATE_CALL PsInit(const char* table_path) {
  if (table_path == nullptr) return nullptr;
  return qs::Contained(nullptr, [table_path]() -> PsHandle {
    std::string text;
    if (!ReadTable(table_path, &text)) return nullptr;
    std::unique_ptr<Gate> gate(new Gate);
    gate->table.Parse(text);
    return gate.release();
  });
}

CHARGATE_API int CHARGATE_CALL PsGroupLoad(PsHandle handle, const char* ini_path) {
  if (handle == nullptr || ini_path == nullptr) return 1;
  return qs::Contained(1, [ini_path] { return FileExists(ini_path) ? 0 : 1; });
}

CHARGATE_API int CHARGATE_CALL PsCheckSubst(PsHandle handle, const char* ch, char** replacement) {
  if (handle == nullptr || ch == nullptr || ch[0] == '\0') return 0;
  Gate* gate = GateOf(handle);
  const uint8_t b0 = static_cast<uint8_t>(ch[0]);
  const uint8_t b1 = static_cast<uint8_t>(ch[1]);
  const size_t length = qs::IsSjisLeadByte(b0) && b1 != 0 ? 2 : 1;
  const uint16_t code = length == 2 ? static_cast<uint16_t>(b0 * 256 + b1) : b0;
  const char* answer = nullptr;
  if (const std::string* found = gate->table.Find(code)) {
    answer = found->c_str();
  } else if (qs::IsUserDefinedCode(code)) {
    if (!qs::Contained(false, [&] {
          gate->answer.assign(ch, length);
          return true;
        }))
      return 0;
    answer = gate->answer.c_str();
  } else {
    return 0;
  }
  if (replacement != nullptr) *replacement = const_cast<char*>(answer);
  return 1;
}

CHARGATE_API int CHARGATE_CALL PsFini(PsHandle handle) {
  delete GateOf(handle);
  return 0;
}

}  // extern "C"
