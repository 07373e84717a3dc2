// Shift-JIS to UTF-8 for display, with every undisplayable byte kept visible.
#include "tools/qstore/text.h"

#include <fmt/format.h>

#include <cstring>
#include <memory>

#include "tools/qstore/os.h"

namespace qstore::tool {

namespace {

bool IsLeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
bool IsTrailByte(unsigned char b) {
  return b >= 0x40 && b <= 0xFC && b != 0x7F;
}
bool IsUserDefinedLead(unsigned char b) {
  return b >= 0xF0 && b <= 0xF9;
}

void Escape(std::string_view bytes, std::string* out) {
  for (const char c : bytes) out->append(fmt::format("\\x{:02X}", static_cast<unsigned char>(c)));
}

CharsetConverter* FromSjis() {
  // One converter per thread: iconv descriptors carry state between calls.
  thread_local std::unique_ptr<CharsetConverter> converter =
      CharsetConverter::Make("UTF-8", "CP932");
  return converter.get();
}

}  // namespace

std::string ShowText(std::string_view sjis) {
  std::string out;
  out.reserve(sjis.size() * 2);
  CharsetConverter* converter = FromSjis();
  size_t i = 0;
  while (i < sjis.size()) {
    const unsigned char b = static_cast<unsigned char>(sjis[i]);
    if (b == '\\') {
      out += "\\\\";
      ++i;
    } else if (b == '\t' || b == '\n' || (b >= 0x20 && b < 0x7F)) {
      out += static_cast<char>(b);
      ++i;
    } else if (IsLeadByte(b)) {
      if (i + 1 >= sjis.size() || !IsTrailByte(static_cast<unsigned char>(sjis[i + 1]))) {
        Escape(sjis.substr(i, 1), &out);
        ++i;
        continue;
      }
      const std::string_view ch = sjis.substr(i, 2);
      std::string converted;
      if (IsUserDefinedLead(b) || converter == nullptr || converter->Convert(ch, &converted) != 2)
        Escape(ch, &out);
      else
        out += converted;
      i += 2;
    } else if (b >= 0xA1 && b <= 0xDF && converter != nullptr) {
      std::string converted;
      if (converter->Convert(sjis.substr(i, 1), &converted) == 1)
        out += converted;
      else
        Escape(sjis.substr(i, 1), &out);
      ++i;
    } else {
      Escape(sjis.substr(i, 1), &out);
      ++i;
    }
  }
  return out;
}

std::optional<std::string> ToSjis(std::string_view utf8) {
  std::unique_ptr<CharsetConverter> converter = CharsetConverter::Make("CP932", "UTF-8");
  if (converter == nullptr) return std::nullopt;
  std::string out;
  if (converter->Convert(utf8, &out) != utf8.size()) return std::nullopt;
  return out;
}

std::string XmlEscape(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (const char c : utf8) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&apos;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string FromBuffer(const char* buffer, size_t size) {
  return std::string(buffer, strnlen(buffer, size));
}

std::string Shown(const char* buffer, size_t size) {
  return ShowText(FromBuffer(buffer, size));
}

}  // namespace qstore::tool
