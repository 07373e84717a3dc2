// The replacement table of the character-check plug-in, "pbrepl.csv": one character a line,
// "CODE,REPLACEMENT". CODE is hexadecimal (lead byte * 256 + trail byte for a two-byte character,
// the byte for a one-byte character); REPLACEMENT is the rest of the line, Shift-JIS bytes, at
// most 255 of them, possibly none. Blank lines, lines beginning with '#' or ';' and lines that do
// not parse are skipped; a later line for the same code wins.
#ifndef QSTORE_CHARGATE_REPLACE_TABLE_H_
#define QSTORE_CHARGATE_REPLACE_TABLE_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace qs {

class ReplaceTable {
 public:
  static constexpr size_t kMaxReplacement = 255;

  // Reads the lines of `text` into the table (on top of what it holds).
  void Parse(std::string_view text);
  // The replacement of a code, or null when the table has none.
  const std::string* Find(uint16_t code) const;
  size_t size() const { return entries_.size(); }
  // Calls fn(code, replacement) for every entry, in no particular order.
  template <typename Fn>
  void ForEach(Fn fn) const {
    for (const auto& [code, replacement] : entries_) fn(code, replacement);
  }

 private:
  std::unordered_map<uint16_t, std::string> entries_;
};

// True for a code of the user-defined area, which is special whether or not the table names it.
inline bool IsUserDefinedCode(uint16_t code) {
  return code >= 0xF040 && code <= 0xF9FC;
}

}  // namespace qs

#endif  // QSTORE_CHARGATE_REPLACE_TABLE_H_
