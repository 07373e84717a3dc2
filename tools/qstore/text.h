// Texts are Shift-JIS (code page 932) in the files and UTF-8 wherever the tool shows them.
#ifndef QSTORE_TOOLS_QSTORE_TEXT_H_
#define QSTORE_TOOLS_QSTORE_TEXT_H_

#include <optional>
#include <string>
#include <string_view>

namespace qstore::tool {

// The UTF-8 form of a Shift-JIS byte string. Nothing is dropped: a byte that starts no character of
// the code page, a lead byte without a trail byte, a character of the user-defined area
// (F040..F9FC) and control bytes other than tab and newline are shown as \xNN for each of their
// bytes, and a backslash as \\, so the result always tells the stored bytes apart.
std::string ShowText(std::string_view sjis);

// The Shift-JIS bytes of a UTF-8 string; nothing when a character has no Shift-JIS form.
std::optional<std::string> ToSjis(std::string_view utf8);

// Escapes &, <, >, " and ' for XML text and attribute values.
std::string XmlEscape(std::string_view utf8);

// The bytes of a NUL-terminated buffer of the given size, without the NUL.
std::string FromBuffer(const char* buffer, size_t size);
// ShowText of such a buffer.
std::string Shown(const char* buffer, size_t size);

}  // namespace qstore::tool

#endif  // QSTORE_TOOLS_QSTORE_TEXT_H_
