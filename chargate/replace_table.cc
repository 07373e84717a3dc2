#include "chargate/replace_table.h"

#include "platform/env.h"

namespace qs {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// One to four hexadecimal digits, blanks around them allowed.
bool ParseCode(std::string_view s, uint16_t* code) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  if (s.empty() || s.size() > 4) return false;
  unsigned value = 0;
  for (char c : s) {
    const int d = HexDigit(c);
    if (d < 0) return false;
    value = value * 16 + unsigned(d);
  }
  *code = static_cast<uint16_t>(value);
  return true;
}

// The replacement as a C string can carry it: up to a NUL, at most kMaxReplacement bytes, and never
// ending in the first byte of a two-byte character.
std::string_view FitReplacement(std::string_view s) {
  s = s.substr(0, s.find('\0'));
  return s.substr(0, SjisWholePrefix(s, ReplaceTable::kMaxReplacement));
}

}  // namespace

void ReplaceTable::Parse(std::string_view text) {
  while (!text.empty()) {
    const size_t newline = text.find('\n');
    std::string_view line = text.substr(0, newline);
    text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == '#' || line.front() == ';') continue;
    const size_t comma = line.find(',');
    uint16_t code = 0;
    if (comma == std::string_view::npos || !ParseCode(line.substr(0, comma), &code)) continue;
    entries_[code] = std::string(FitReplacement(line.substr(comma + 1)));
  }
}

const std::string* ReplaceTable::Find(uint16_t code) const {
  auto it = entries_.find(code);
  return it == entries_.end() ? nullptr : &it->second;
}

}  // namespace qs
