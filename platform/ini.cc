// A reader for INI files with the lookup rules of the Windows profile functions, over the Env.
//
// Names and values are Shift-JIS byte strings: a trail byte may look like an ASCII letter or like
// ']', so the scans below step over double-byte characters whole.
#include <cstring>

#include "platform/env.h"

namespace qs {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool IsLeadAt(std::string_view s, size_t i) {
  return i + 1 < s.size() && IsSjisLeadByte(static_cast<uint8_t>(s[i]));
}

char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Equal ignoring the case of one-byte letters; double-byte characters must match exactly.
bool NamesEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (IsLeadAt(a, i)) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
    } else if (AsciiLower(a[i]) != AsciiLower(b[i])) {
      return false;
    }
  }
  return true;
}

// Position of the one-byte character c in s, never a trail byte; npos when absent.
size_t FindChar(std::string_view s, char c) {
  for (size_t i = 0; i < s.size(); ++i) {
    if (IsLeadAt(s, i)) {
      ++i;
    } else if (s[i] == c) {
      return i;
    }
  }
  return std::string_view::npos;
}

// The value of key in section, from the first line of any section of that name that has the key.
bool FindValue(std::string_view text, std::string_view section, std::string_view key,
               std::string_view* value) {
  bool in_section = false;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = Trim(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      std::string_view name = line.substr(1);
      name = name.substr(0, FindChar(name, ']'));
      in_section = NamesEqual(Trim(name), section);
      continue;
    }
    if (!in_section) continue;
    size_t eq = FindChar(line, '=');
    if (eq == std::string_view::npos || !NamesEqual(Trim(line.substr(0, eq)), key)) continue;
    std::string_view v = Trim(line.substr(eq + 1));
    // The profile functions drop one pair of matching quotes, which lets a value keep blanks at
    // its ends.
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
      v = v.substr(1, v.size() - 2);
    }
    *value = v.substr(0, v.find('\0'));  // the caller receives a C string
    return true;
  }
  return false;
}

}  // namespace

size_t IniGetString(Env& env, const std::string& path, const char* section, const char* key,
                    const char* default_value, char* out, size_t size) {
  if (out == nullptr || size == 0) return 0;
  std::string text;
  std::string_view value = default_value != nullptr ? default_value : "";
  std::string_view found;
  if (section != nullptr && key != nullptr && ReadWholeFile(&env, path, &text) &&
      FindValue(text, section, key, &found)) {
    value = found;
  }
  size_t n = value.size();
  // Cut before a double-byte character that no longer fits whole.
  if (n > size - 1) n = SjisWholePrefix(value, size - 1);
  std::memcpy(out, value.data(), n);
  out[n] = '\0';
  return n;
}

}  // namespace qs
