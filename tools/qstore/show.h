// Small formatting helpers shared by info, dump, render and demo.
#ifndef QSTORE_TOOLS_QSTORE_SHOW_H_
#define QSTORE_TOOLS_QSTORE_SHOW_H_

#include <cstdint>
#include <functional>
#include <string>

#include "qstore_records.h"
#include "tools/qstore/reader.h"

namespace qstore::tool {

// "#RRGGBB" of a 0x00BBGGRR colour.
std::string ColorHex(uint32_t color);
// "2026-12-08T08:40:00Z".
std::string DateText(const FormDateTime& t);
// "chart 3", "text 1", "free cell 2", "figure 1", "picture 4".
std::string EntryName(uint16_t entry);
const char* KindWord(int kind);
// "table", "sub-table", "record", "case", "tag".
const char* StructWord(uint8_t kind);
// "ST", "CH", "IT", "RL", "AR", "FF", "DT".
const char* TypeCode(uint8_t type);
// Every distinct font face the page uses, in order of first use (UTF-8).
void CollectFonts(const PageInfo& page, std::vector<std::string>* fonts);
// Reads pages first..last one at a time and hands each to `use`; a progress bar shows when the
// reading takes long.
void ForEachPage(Reader& reader, int first, int last, const char* label,
                 const std::function<void(const PageInfo&)>& use);

}  // namespace qstore::tool

#endif  // QSTORE_TOOLS_QSTORE_SHOW_H_
