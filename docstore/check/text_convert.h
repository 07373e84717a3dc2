// The conversion of one text: finds full-width alphanumerics, half-width katakana and user-defined
// or special characters and replaces those whose category is to be replaced.
//
// Replaced half-width katakana in a row are wrapped as one run, "<hwf>" ... "</hwf>", so that a
// reader can still show them at half width; a katakana that combines with the character before it
// (a voiced-sound mark) ends the run and follows it as its replacement and "<bs/>".
#ifndef QSTORE_DOCSTORE_CHECK_TEXT_CONVERT_H_
#define QSTORE_DOCSTORE_CHECK_TEXT_CONVERT_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "docstore/check/prohibit_groups.h"

namespace qs {

// Category bits of the check and replace masks and of the found mask.
enum CheckCategory : int {
  kCategoryWide = 2,     // full-width alphanumerics
  kCategoryKana = 4,     // half-width katakana
  kCategorySpecial = 8,  // user-defined and special characters
};

// Judges user-defined and special characters (the character-check plug-in).
class SpecialChars {
 public:
  virtual ~SpecialChars() = default;
  // True when `ch` (one character, 1 or 2 bytes) is a user-defined or special character;
  // *replacement then holds what replaces it.
  virtual bool Judge(std::string_view ch, std::string* replacement) = 0;
};

// Told of every user-defined or special character met, replaced or only reported.
class SpecialCharSink {
 public:
  virtual ~SpecialCharSink() = default;
  // `code` is lead byte * 256 + trail byte for a two-byte character, else the byte.
  virtual void SpecialMet(std::string_view ch, uint16_t code, bool replaced) = 0;
};

class TextConverter {
 public:
  // `special` and `sink` may be null (nothing is judged special; nothing is told).
  TextConverter(const ProhibitGroups& groups, int check_mask, int replace_mask,
                SpecialChars* special, SpecialCharSink* sink)
      : groups_(groups),
        check_mask_(check_mask),
        replace_mask_(replace_mask),
        special_(special),
        sink_(sink) {}

  // Converts `in` into *out. Returns true when at least one character was replaced. The output
  // never exceeds `limit` bytes: when it would, it ends before the first piece that does not fit,
  // so no character is cut in two and an open run is always closed. Every character of `in` is
  // still examined (found categories, special characters told to the sink).
  bool Convert(std::string_view in, size_t limit, std::string* out);

  // The categories met by every conversion so far.
  int found_mask() const { return found_mask_; }

 private:
  const ProhibitGroups& groups_;
  int check_mask_;
  int replace_mask_;
  SpecialChars* special_;
  SpecialCharSink* sink_;
  int found_mask_ = 0;
};

}  // namespace qs

#endif  // QSTORE_DOCSTORE_CHECK_TEXT_CONVERT_H_
