#include "tools/qstore/model_json.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "tools/qstore/show.h"
#include "tools/qstore/text.h"

namespace qstore::tool {

namespace {

Json FontJson(const FontSpec& font) {
  return Json{{"name", Shown(font.FontName, sizeof font.FontName)},
              {"value5", +font.Value5},
              {"value3", +font.Value3},
              {"value_a", +font.ValueA},
              {"value_b", +font.ValueB},
              {"value_c", +font.ValueC}};
}

// Attr of a cell, text or free cell, copied out of the packed record before use.
template <typename Record>
Json AttrJson(const Record& record) {
  uint16_t attr[6];
  std::memcpy(attr, reinterpret_cast<const char*>(&record) + offsetof(Record, Attr), sizeof attr);
  Json a = Json::array();
  for (const uint16_t v : attr) a.push_back(v);
  return a;
}

Json LineJson(const ChartLine& line) {
  return Json{{"style", +line.Style}, {"param", +line.Param}, {"color", ColorHex(+line.Color)}};
}

// `json` followed by the members a cell shares with texts and free cells: its font on.
template <typename Record>
Json WithLook(Json json, const Record& r, const std::string& text) {
  json["font"] = FontJson(r.Font);
  json["attr"] = AttrJson(r);
  json["color1"] = ColorHex(+r.Color1);
  json["mode"] = +r.Mode;
  json["color2"] = ColorHex(+r.Color2);
  json["text"] = ShowText(text);
  return json;
}

Json CellJson(const CellInfo& cell) {
  return WithLook(Json{{"row", cell.row},
                       {"col", cell.col},
                       {"last_row", cell.last_row},
                       {"last_col", cell.last_col},
                       {"kind", +cell.attr.Kind}},
                  cell.attr, cell.text);
}

// vlines by row, hlines by boundary.
Json LinesJson(const std::vector<std::vector<ChartLine>>& grid) {
  Json out = Json::array();
  for (const auto& row : grid) {
    Json lines = Json::array();
    for (const ChartLine& line : row) lines.push_back(LineJson(line));
    out.push_back(std::move(lines));
  }
  return out;
}

Json ChartJson(const ChartInfo& chart) {
  const ChartInf& inf = chart.inf;
  Json cells = Json::array();
  for (const CellInfo& cell : chart.cells) cells.push_back(CellJson(cell));
  return Json{{"no", chart.entry >> 8},
              {"flag", +inf.Flag},
              {"left", +inf.Left},
              {"top", +inf.Top},
              {"right", +inf.Right},
              {"bottom", +inf.Bottom},
              {"rows", +inf.Rows},
              {"cols", +inf.Cols},
              {"row_height", +inf.RowHight},
              {"default_line", LineJson(ChartLine{inf.LineStyle, inf.LineParam, inf.LineColor})},
              {"hr", Json::array({chart.hr1, chart.hr2})},
              {"row_heights", chart.heights},
              {"col_widths", chart.widths},
              {"vlines", LinesJson(chart.vlines)},
              {"hlines", LinesJson(chart.hlines)},
              {"cells", std::move(cells)}};
}

Json TextJson(const TextInfo& text) {
  const Text& r = text.rec;
  return WithLook(Json{{"no", text.entry >> 8},
                       {"kind", +r.Kind},
                       {"left", +r.Left},
                       {"top", +r.Top},
                       {"right", +r.Right},
                       {"bottom", +r.Bottom}},
                  r, text.text);
}

Json FigureJson(const FigureInfo& figure) {
  const Figure& f = figure.rec;
  Json geometry = Json::array();
  for (size_t i = 0; i < sizeof f.Geometry; i += 4) {
    int32_t v;
    std::memcpy(&v, f.Geometry + i, 4);
    geometry.push_back(v);
  }
  return Json{{"no", figure.entry >> 8},
              {"shape", +f.Shape},
              {"style", +f.Style},
              {"param", +f.Param},
              {"color1", ColorHex(+f.Color1)},
              {"fill", +f.Fill},
              {"color2", ColorHex(+f.Color2)},
              {"geometry", std::move(geometry)}};
}

Json PictureJson(const PictureInfo& picture) {
  Json geometry = Json::array();
  int32_t values[9];
  std::memcpy(values, picture.rec.Geometry, sizeof values);
  for (const int32_t v : values) geometry.push_back(v);
  // The library's copy of the picture lives only while the file is open, so its name is left out.
  return Json{{"no", picture.entry >> 8},
              {"geometry", std::move(geometry)},
              {"mode", +picture.rec.Mode},
              {"format", picture.format},
              {"size", picture.size}};
}

Json PlacementJson(const PlacementInfo& p) {
  return Json{{"id", p.layout_id},        {"no", p.layout_no},      {"table", p.table},
              {"in", EntryName(p.entry)}, {"row", +p.pos.Row},      {"col", +p.pos.Col},
              {"mode", +p.pos.Mode},      {"extent", +p.pos.Extent}};
}

}  // namespace

std::string PrettyJson(const Json& json, int indent) {
  if (!json.is_structured() || json.empty()) return json.dump();
  const bool flat = std::none_of(json.begin(), json.end(),
                                 [](const Json& member) { return member.is_structured(); });
  const bool object = json.is_object();
  std::string out(1, object ? '{' : '[');
  bool first = true;
  for (auto it = json.begin(); it != json.end(); ++it) {
    out += first ? "" : ",";
    first = false;
    if (flat)
      out += out.size() > 1 ? " " : "";
    else
      out += "\n" + std::string(indent + 2, ' ');
    if (object) out += Json(it.key()).dump() + ": ";
    out += PrettyJson(*it, indent + 2);
  }
  if (!flat) out += "\n" + std::string(indent, ' ');
  return out + (object ? '}' : ']');
}

Json HeaderJson(const HeaderInfo& header) {
  const FormInf& inf = header.inf;
  Json colors = Json::array();
  for (const uint32_t c : header.colors) colors.push_back(ColorHex(c));
  return Json{{"title", Shown(inf.Title, sizeof inf.Title)},
              {"name", ShowText(header.title)},
              {"template", Shown(inf.TemplateName, sizeof inf.TemplateName)},
              {"read_order", +inf.ReadOrder},
              {"memo", ShowText(header.memo)},
              {"created", DateText(header.created)},
              {"updated", DateText(header.updated)},
              {"colors", Json{{"own", header.own_colors}, {"table", std::move(colors)}}},
              {"header_footer", header.has_header_footer}};
}

Json PageJson(const PageInfo& page) {
  Json entries = Json::array(), charts = Json::array(), texts = Json::array(),
       free_cells = Json::array(), figures = Json::array(), pictures = Json::array();
  for (const uint16_t e : page.order) entries.push_back(EntryName(e));
  for (const ChartInfo& c : page.charts) charts.push_back(ChartJson(c));
  for (const TextInfo& t : page.texts) texts.push_back(TextJson(t));
  for (const TextInfo& t : page.free_cells) free_cells.push_back(TextJson(t));
  for (const FigureInfo& f : page.figures) figures.push_back(FigureJson(f));
  for (const PictureInfo& p : page.pictures) pictures.push_back(PictureJson(p));
  Json json{
      {"number", page.number},         {"flags", Json::array({+page.inf.Flag1, +page.inf.Flag2})},
      {"entries", std::move(entries)}, {"charts", std::move(charts)},
      {"texts", std::move(texts)},     {"free_cells", std::move(free_cells)},
      {"figures", std::move(figures)}, {"pictures", std::move(pictures)}};
  if (!page.placements.empty()) {
    Json placements = Json::array();
    for (const PlacementInfo& p : page.placements) placements.push_back(PlacementJson(p));
    json["placements"] = std::move(placements);
  }
  return json;
}

Json FieldsJson(const FieldSet& set) {
  Json structs = Json::array(), fields = Json::array();
  for (const FieldStruct& s : set.structs)
    structs.push_back(Json{{"id", +s.StructId},
                           {"name", Shown(s.StructName, sizeof s.StructName)},
                           {"kind", +s.StructKind},
                           {"parent", +s.ParentId},
                           {"top", +s.TopId}});
  for (const FieldInfo& f : set.fields) {
    const FieldForm& form = f.form;
    fields.push_back(Json{{"id", +f.field.FieldId},
                          {"name", Shown(f.field.FieldName, sizeof f.field.FieldName)},
                          {"type", +f.field.DataType},
                          {"size", +f.field.FieldSize},
                          {"parent", +f.field.ParentId},
                          {"top", +f.field.TopId},
                          {"form", Json::array({+form.FormA, +form.FormB, +form.FormC, +form.FormD,
                                                +form.FormE, +form.FormF})},
                          {"default_form", f.def_form},
                          {"placements", f.layout_count},
                          {"offset", Json::array({f.offset_row, f.offset_col})}});
  }
  const FieldControl& c = set.control;
  Json control = set.has_control ? Json{{"program", Shown(c.PrgName, sizeof c.PrgName)},
                                        {"title", Shown(c.PrgTitle, sizeof c.PrgTitle)},
                                        {"kind", +c.PrgKind},
                                        {"user_mode", +c.UserMode},
                                        {"page_mode", +c.PageMode}}
                                 : Json(nullptr);
  return Json{{"control", std::move(control)},
              {"structures", std::move(structs)},
              {"fields", std::move(fields)}};
}

}  // namespace qstore::tool
