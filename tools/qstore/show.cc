#include "tools/qstore/show.h"

#include <fmt/format.h>

#include <algorithm>

#include "tools/qstore/progress.h"
#include "tools/qstore/text.h"

namespace qstore::tool {

std::string ColorHex(uint32_t color) {
  return fmt::format("#{:02X}{:02X}{:02X}", color & 0xFF, (color >> 8) & 0xFF,
                     (color >> 16) & 0xFF);
}

std::string DateText(const FormDateTime& t) {
  return fmt::format("{:04}-{:02}-{:02}T{:02}:{:02}:{:02}Z", +t.Year, +t.Month, +t.Day, +t.Hour,
                     +t.Minute, +t.Second);
}

const char* KindWord(int kind) {
  switch (kind) {
    case 1:
      return "chart";
    case 2:
      return "text";
    case 3:
      return "free cell";
    case 4:
      return "figure";
    case 5:
      return "picture";
    default:
      return "unknown";
  }
}

const char* StructWord(uint8_t kind) {
  switch (kind) {
    case 1:
      return "table";
    case 2:
      return "sub-table";
    case 3:
      return "record";
    case 4:
      return "case";
    case 5:
      return "tag";
    default:
      return "structure";
  }
}

const char* TypeCode(uint8_t type) {
  static const char* const kCodes[] = {"??", "ST", "CH", "IT", "RL", "AR", "FF", "DT"};
  return type < 8 ? kCodes[type] : "??";
}

std::string EntryName(uint16_t entry) {
  return fmt::format("{} {}", KindWord(entry & 0xFF), entry >> 8);
}

void CollectFonts(const PageInfo& page, std::vector<std::string>* fonts) {
  auto add = [fonts](const FontSpec& font) {
    const std::string name = Shown(font.FontName, sizeof font.FontName);
    if (!name.empty() && std::find(fonts->begin(), fonts->end(), name) == fonts->end())
      fonts->push_back(name);
  };
  for (const ChartInfo& chart : page.charts)
    for (const CellInfo& cell : chart.cells) add(cell.attr.Font);
  for (const TextInfo& text : page.texts) add(text.rec.Font);
  for (const TextInfo& cell : page.free_cells) add(cell.rec.Font);
}

void ForEachPage(Reader& reader, int first, int last, const char* label,
                 const std::function<void(const PageInfo&)>& use) {
  Progress progress(label, last - first + 1);
  for (int n = first; n <= last; ++n) {
    use(reader.Page(n));
    progress.Update(n - first + 1);
  }
}

}  // namespace qstore::tool
