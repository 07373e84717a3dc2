// qstore info and qstore dump: what a form or document holds, as text or as JSON.
#include <fmt/format.h>

#include <cstdio>
#include <cstring>
#include <sstream>

#include "tools/qstore/commands.h"
#include "tools/qstore/model_json.h"
#include "tools/qstore/show.h"
#include "tools/qstore/status.h"
#include "tools/qstore/text.h"

namespace qstore::tool {

FileKind FileOptions::Kind() const {
  if (as_form) return FileKind::kForm;
  if (as_doc) return FileKind::kDocument;
  return KindFromPath(path);
}

namespace {

void PrintHeader(const std::string& path, FileKind kind, const HeaderInfo& h) {
  fmt::print("{}: {}\n", path, KindName(kind));
  fmt::print("  title       \"{}\"\n", Shown(h.inf.Title, sizeof h.inf.Title));
  fmt::print("  name        \"{}\"\n", ShowText(h.title));
  fmt::print("  template    \"{}\"\n", Shown(h.inf.TemplateName, sizeof h.inf.TemplateName));
  fmt::print("  read order  {}\n", +h.inf.ReadOrder);
  fmt::print("  memo        \"{}\"\n", ShowText(h.memo));
  fmt::print("  created     {}\n", DateText(h.created));
  fmt::print("  updated     {}\n", DateText(h.updated));
  fmt::print("  colours     {}:", h.own_colors ? "own table" : "default table");
  for (const uint32_t c : h.colors) fmt::print(" {}", ColorHex(c));
  fmt::print("\n  header/footer block {}\n", h.has_header_footer ? "present" : "none");
}

int CheckedPage(int page, int count, const std::string& path) {
  if (page < 0 || page > count)
    throw ToolError(fmt::format("{}: no page {} (the file has {} pages)", path, page, count));
  return page;
}

void PrintLines(const char* what, const std::vector<std::vector<ChartLine>>& lines) {
  fmt::print("    {} line styles:\n", what);
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string row;
    for (const ChartLine& line : lines[i]) row += fmt::format(" {}", +line.Style);
    fmt::print("      {:3}:{}\n", i + (what[0] == 'v' ? 1 : 0), row);
  }
}

void PrintTextRecord(const char* what, const TextInfo& t) {
  const Text& r = t.rec;
  fmt::print("  {} {} kind {} at ({},{})-({},{}) font \"{}\" colour {}: \"{}\"\n", what,
             t.entry >> 8, +r.Kind, +r.Left, +r.Top, +r.Right, +r.Bottom,
             Shown(r.Font.FontName, sizeof r.Font.FontName), ColorHex(+r.Color1), ShowText(t.text));
}

void PrintPage(const PageInfo& page) {
  fmt::print("page {} (flags {} {}): {} entries\n", page.number, +page.inf.Flag1, +page.inf.Flag2,
             page.order.size());
  for (const ChartInfo& chart : page.charts) {
    const ChartInf& inf = chart.inf;
    fmt::print("  chart {} at ({},{})-({},{}), {} rows x {} columns, HR {} {}\n", chart.entry >> 8,
               +inf.Left, +inf.Top, +inf.Right, +inf.Bottom, +inf.Rows, +inf.Cols, chart.hr1,
               chart.hr2);
    fmt::print("    row heights   {}\n", fmt::join(chart.heights, " "));
    fmt::print("    column widths {}\n", fmt::join(chart.widths, " "));
    PrintLines("vertical", chart.vlines);
    PrintLines("horizontal", chart.hlines);
    for (const CellInfo& cell : chart.cells)
      fmt::print("    cell ({},{})-({},{}) kind {} font \"{}\" colour {}: \"{}\"\n", cell.row,
                 cell.col, cell.last_row, cell.last_col, +cell.attr.Kind,
                 Shown(cell.attr.Font.FontName, sizeof cell.attr.Font.FontName),
                 ColorHex(+cell.attr.Color1), ShowText(cell.text));
  }
  for (const TextInfo& t : page.texts) PrintTextRecord("text", t);
  for (const TextInfo& t : page.free_cells) PrintTextRecord("free cell", t);
  for (const FigureInfo& f : page.figures) {
    const Box b = FigureBox(f.rec);
    fmt::print("  figure {} shape {} style {} at ({},{})-({},{}) line {} fill {} {}\n",
               f.entry >> 8, +f.rec.Shape, +f.rec.Style, b.left, b.top, b.right, b.bottom,
               ColorHex(+f.rec.Color1), +f.rec.Fill, ColorHex(+f.rec.Color2));
  }
  for (const PictureInfo& p : page.pictures) {
    const Box b = PictureBox(p.rec);
    fmt::print("  picture {} at ({},{})-({},{}) mode {}: {} bytes, {}\n", p.entry >> 8, b.left,
               b.top, b.right, b.bottom, +p.rec.Mode, p.size,
               p.format.empty() ? "format not shown by browsers" : p.format);
  }
  for (const PlacementInfo& p : page.placements)
    fmt::print("  placement of {} {} no {} in {} at ({},{}) extent {}\n",
               p.table ? "table" : "field", p.layout_id, p.layout_no, EntryName(p.entry),
               +p.pos.Row, +p.pos.Col, +p.pos.Extent);
}

void PrintFields(const FieldSet& set) {
  if (set.fields.empty() && set.structs.empty()) return;
  fmt::print("  fields      {} in {} structures\n", set.fields.size(), set.structs.size());
  for (const FieldStruct& s : set.structs)
    fmt::print("    {} {} \"{}\" in {}\n", StructWord(s.StructKind), +s.StructId,
               Shown(s.StructName, sizeof s.StructName), +s.ParentId);
  for (const FieldInfo& f : set.fields)
    fmt::print("    field {} \"{}\" {}({}) in {}, placed {}x\n", +f.field.FieldId,
               Shown(f.field.FieldName, sizeof f.field.FieldName), TypeCode(f.field.DataType),
               +f.field.FieldSize, +f.field.ParentId, f.layout_count);
}

}  // namespace

int RunInfo(const InfoOptions& options) {
  std::unique_ptr<Reader> reader = OpenReader(options.file.path, options.file.Kind());
  PrintHeader(options.file.path, reader->kind(), reader->Header());
  const int count = reader->PageCount();
  std::vector<std::string> fonts;
  std::vector<std::string> lines;
  ForEachPage(*reader, 1, count, "reading", [&](const PageInfo& page) {
    CollectFonts(page, &fonts);
    size_t cells = 0;
    for (const ChartInfo& c : page.charts) cells += c.cells.size();
    lines.push_back(fmt::format(
        "  page {:4}: {} charts ({} cells), {} texts, {} free cells, {} figures, {} pictures{}",
        page.number, page.charts.size(), cells, page.texts.size(), page.free_cells.size(),
        page.figures.size(), page.pictures.size(),
        page.placements.empty() ? "" : fmt::format(", {} placements", page.placements.size())));
  });
  fmt::print("  fonts       {}\n",
             fonts.empty() ? "none" : fmt::format("{}", fmt::join(fonts, ", ")));
  const FieldSet fields = reader->Fields();
  if (!fields.fields.empty() || !fields.structs.empty())
    fmt::print("  fields      {} in {} structures\n", fields.fields.size(), fields.structs.size());
  fmt::print("{} pages\n", count);
  for (const std::string& line : lines) fmt::print("{}\n", line);
  return kExitOk;
}

int RunDump(const DumpOptions& options) {
  std::unique_ptr<Reader> reader = OpenReader(options.file.path, options.file.Kind());
  const int count = reader->PageCount();
  const int page = CheckedPage(options.page, count, options.file.path);
  const int first = page == 0 ? 1 : page, last = page == 0 ? count : page;
  const HeaderInfo header = reader->Header();
  if (!options.json) {
    PrintHeader(options.file.path, reader->kind(), header);
    if (reader->kind() == FileKind::kForm) PrintFields(reader->Fields());
    fmt::print("{} pages\n", count);
    ForEachPage(*reader, first, last, "dumping", PrintPage);
    return kExitOk;
  }
  // Written piece by piece so that a document of thousands of pages is never held whole.
  fmt::print("{{\n  \"file\": {},\n  \"kind\": \"{}\",\n", Json(options.file.path).dump(),
             KindName(reader->kind()));
  fmt::print("  \"header\": {},\n  \"page_count\": {},\n", PrettyJson(HeaderJson(header), 2),
             count);
  if (reader->kind() == FileKind::kForm)
    fmt::print("  \"fields\": {},\n", PrettyJson(FieldsJson(reader->Fields()), 2));
  fmt::print("  \"pages\": [");
  bool first_page = true;
  ForEachPage(*reader, first, last, "dumping", [&](const PageInfo& p) {
    fmt::print("{}\n    {}", first_page ? "" : ",", PrettyJson(PageJson(p), 4));
    first_page = false;
  });
  fmt::print("{}]\n}}\n", first_page ? "" : "\n  ");
  return kExitOk;
}

}  // namespace qstore::tool
