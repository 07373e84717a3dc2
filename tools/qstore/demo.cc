// qstore demo: builds a sample form through the public interface, saves it, reads it back and
// compares, then goes on to whatever else this build can show (fields, documents, the check).
#include "tools/qstore/demo.h"

#include <fmt/format.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "tools/qstore/commands.h"
#include "tools/qstore/model_json.h"
#include "tools/qstore/os.h"
#include "tools/qstore/render.h"
#include "tools/qstore/show.h"
#include "tools/qstore/status.h"
#include "tools/qstore/text.h"

namespace qstore::tool {

std::string Sjis(const char* utf8) {
  std::optional<std::string> sjis = ToSjis(utf8);
  if (!sjis) throw ToolError(fmt::format("\"{}\" has no Shift-JIS form", utf8));
  return *sjis;
}

bool SameContent(Reader& a, Reader& b) {
  Json ha = HeaderJson(a.Header()), hb = HeaderJson(b.Header());
  for (const char* date : {"created", "updated"}) {
    ha.erase(date);
    hb.erase(date);
  }
  if (ha != hb) {
    fmt::print("  headers differ:\n    {}\n    {}\n", ha.dump(), hb.dump());
    return false;
  }
  if (a.PageCount() != b.PageCount()) {
    fmt::print("  page counts differ: {} and {}\n", a.PageCount(), b.PageCount());
    return false;
  }
  for (int n = 1; n <= a.PageCount(); ++n) {
    Json pa = PageJson(a.Page(n)), pb = PageJson(b.Page(n));
    // A file keeps placements grouped by the chart or free cell that holds them, so the order of
    // the page's list may change on the way through a file; the placements themselves may not.
    for (Json* page : {&pa, &pb})
      if (page->contains("placements"))
        std::sort((*page)["placements"].begin(), (*page)["placements"].end());
    if (pa != pb) {
      const Json patch = Json::diff(pa, pb);
      fmt::print("  page {} differs: {}\n", n, patch.empty() ? "" : patch.front().dump());
      return false;
    }
  }
  return true;
}

void RenderPage(DemoRun& run, Reader& reader, int page, const std::string& name) {
  WriteFile(run.Path(name), RenderSvg(reader.Page(page), 800));
  run.Made(name, fmt::format("page {} of {} as SVG", page, reader.path()));
}

ChartInf DemoChart(int32_t left, int32_t top, int32_t right, uint16_t rows, uint16_t cols,
                   uint16_t row_height, uint32_t line_color) {
  ChartInf chart{};
  chart.Left = left;
  chart.Top = top;
  chart.Right = right;
  chart.Rows = rows;
  chart.Cols = cols;
  chart.RowHight = row_height;
  chart.LineStyle = 1;
  chart.LineColor = line_color;
  return chart;
}

FontSpec DemoFont(const char* utf8_name) {
  FontSpec font{};
  const std::string name = Sjis(utf8_name);
  std::snprintf(font.FontName, sizeof font.FontName, "%s", name.c_str());
  return font;
}

Text DemoBox(int32_t left, int32_t top, int32_t right, int32_t bottom, const char* utf8_font) {
  Text box{};
  box.Left = left;
  box.Top = top;
  box.Right = right;
  box.Bottom = bottom;
  box.Font = DemoFont(utf8_font);
  return box;
}

namespace {

void Ok(int32_t status, const char* call) {
  Check(status, "sample form", call);
}

// A figure without fill whose geometry starts with the box it lies in.
Figure DemoFigure(uint8_t shape, uint8_t style, uint32_t color, int32_t left, int32_t top,
                  int32_t right, int32_t bottom) {
  Figure figure{};
  figure.Shape = shape;
  figure.Style = style;
  figure.Color1 = color;
  const int32_t box[4] = {left, top, right, bottom};
  std::memcpy(figure.Geometry, box, sizeof box);
  return figure;
}

// A small 24-bit bitmap: a blue-to-orange gradient that any browser shows.
std::string GradientBitmap(int width, int height) {
  const int stride = (width * 3 + 3) / 4 * 4;
  const uint32_t pixels = static_cast<uint32_t>(stride * height), size = 54 + pixels;
  std::string bmp(size, '\0');
  auto put32 = [&bmp](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bmp[at + i] = static_cast<char>(v >> (8 * i));
  };
  bmp[0] = 'B';
  bmp[1] = 'M';
  put32(2, size);
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(width));
  put32(22, static_cast<uint32_t>(height));
  bmp[26] = 1;
  bmp[28] = 24;
  put32(34, pixels);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      char* p = &bmp[54 + y * stride + x * 3];
      p[0] = static_cast<char>(255 - 200 * x / width);  // blue
      p[1] = static_cast<char>(80 + 100 * y / height);  // green
      p[2] = static_cast<char>(40 + 215 * x / width);   // red
    }
  return bmp;
}

uint16_t AddPicture(DemoRun& run, FormHandle* form, const std::string& name,
                    const std::string& bytes, int32_t left, int32_t top, int32_t right,
                    int32_t bottom) {
  WriteFile(run.Path(name), bytes);
  InsFigure picture{};
  picture.Geometry[0] = left;
  picture.Geometry[1] = top;
  picture.Geometry[2] = right;
  picture.Geometry[3] = bottom;
  char path[256];
  std::snprintf(path, sizeof path, "%s", run.Path(name).c_str());
  uint16_t entry = 0;
  Check(QfaAddInsFigure(form, &picture, path, &entry), run.Path(name), "QfaAddInsFigure");
  return entry;
}

// Page 1: a chart with merged cells, the title, a signed-by free cell, figures and pictures.
void BuildFirstPage(DemoRun& run, FormHandle* form, uint16_t* chart_entry, uint16_t* cell_entry) {
  PageInf page{};
  Ok(QfaInsertFormPage(form, 0, &page), "QfaInsertFormPage");
  const ChartInf chart = DemoChart(100, 200, 1000, 4, 3, 40);
  uint16_t entry = 0;
  Ok(QfaAddChart(form, &chart, &entry), "QfaAddChart");
  Ok(QfaInsertChartR(form, entry, 1, 2, 60), "QfaInsertChartR");
  Ok(QfaPutChartCWidth(form, entry, 1, 360), "QfaPutChartCWidth");
  Ok(QfaPutChartCWidth(form, entry, 2, 270), "QfaPutChartCWidth");
  Ok(QfaPutChartCWidth(form, entry, 3, 270), "QfaPutChartCWidth");
  // The outer frame drawn thick.
  ChartLine thick{2, 0, 0x00000000};
  ChartInf now{};
  Ok(QfaGetChartInf(form, entry, &now), "QfaGetChartInf");
  for (uint16_t c = 1; c <= now.Cols; ++c) {
    Ok(QfaPutChartHline(form, entry, 0, c, &thick), "QfaPutChartHline");
    Ok(QfaPutChartHline(form, entry, +now.Rows, c, &thick), "QfaPutChartHline");
  }
  for (uint16_t r = 1; r <= now.Rows; ++r) {
    Ok(QfaPutChartVline(form, entry, r, 0, &thick), "QfaPutChartVline");
    Ok(QfaPutChartVline(form, entry, r, +now.Cols, &thick), "QfaPutChartVline");
  }
  ChartCell head{};
  head.Font = DemoFont("ＭＳ ゴシック");
  head.Color1 = 0x00800000;  // navy
  const char* heads[] = {"品名", "数量", "備考"};
  for (uint16_t c = 1; c <= 3; ++c)
    Ok(QfaPutChartCell(form, entry, 1, c, &head, Sjis(heads[c - 1]).c_str()), "QfaPutChartCell");
  ChartCell body{};
  body.Font = DemoFont("ＭＳ 明朝");
  const std::string seal = "Seal " + std::string("\xF0\x40", 2) + " stamp";  // user-defined char
  const std::string texts[][3] = {{"Paper A4 (500 sheets)", "12", Sjis("ＡＢＣ１２３ order")},
                                  {"Toner cartridge", "2", Sjis("ｶﾀｶﾅ note")},
                                  {seal, "1", ""}};
  for (uint16_t r = 0; r < 3; ++r)
    for (uint16_t c = 0; c < 3; ++c)
      Ok(QfaPutChartCell(form, entry, r + 2, c + 1, &body, texts[r][c].c_str()), "QfaPutChartCell");
  // The last row's first two cells merged by taking their line away: a total across both.
  ChartLine none{};
  Ok(QfaPutChartVline(form, entry, 5, 1, &none), "QfaPutChartVline");
  ChartCell total = body;
  total.Color1 = 0x000000FF;
  Ok(QfaPutChartCell(form, entry, 5, 1, &total, Sjis("合計（税込）").c_str()), "QfaPutChartCell");
  Ok(QfaPutChartCell(form, entry, 5, 3, &total, "15"), "QfaPutChartCell");

  Text title = DemoBox(100, 80, 1000, 150, "ＭＳ ゴシック");
  title.Kind = 1;  // shows the form's title
  uint16_t text_entry = 0;
  Ok(QfaAddText(form, &title, "", &text_entry), "QfaAddText");
  FreCell signed_by = DemoBox(600, 520, 1000, 580, "ＭＳ 明朝");
  signed_by.Color2 = 0x00F0C080;  // from the form's own colour table
  uint16_t free_entry = 0;
  Ok(QfaAddFreCell(form, &signed_by, Sjis("承認者：").c_str(), &free_entry), "QfaAddFreCell");

  const Figure underline = DemoFigure(1, 2, 0x00808080, 100, 160, 1000, 160);
  const Figure stamp = DemoFigure(3, 1, 0x000000FF, 880, 600, 980, 700);
  const Figure frame = DemoFigure(2, 3, 0x00808080, 60, 40, 1040, 760);
  uint16_t figure_entry = 0;
  for (const Figure* f : {&underline, &stamp, &frame})
    Ok(QfaAddFigure(form, f, &figure_entry), "QfaAddFigure");

  AddPicture(run, form, "logo.bmp", GradientBitmap(64, 48), 100, 560, 260, 680);
  run.Made("logo.bmp", "a picture the form embeds (shown in the SVG)");
  AddPicture(run, form, "scan.tif", std::string("II*\0\x08\0\0\0", 8) + std::string(64, '\0'), 300,
             560, 460, 680);
  run.Made("scan.tif", "a picture in a format browsers do not show (a labelled frame)");

  char shown[256] = {};
  Text back{};
  Ok(QfaGetText(form, text_entry, &back, shown), "QfaGetText");
  fmt::print(
      "page 1: chart {} ({} rows x {} columns), title text \"{}\", free cell {}, 3 figures, "
      "2 pictures\n",
      entry >> 8, +now.Rows, +now.Cols, Shown(shown, sizeof shown), free_entry >> 8);
  *chart_entry = entry;
  *cell_entry = free_entry;
}

// Page 2: the line-item chart that the record and the table are placed into.
uint16_t BuildSecondPage(FormHandle* form) {
  PageInf page{};
  Ok(QfaInsertFormPage(form, 1, &page), "QfaInsertFormPage");
  const ChartInf chart = DemoChart(100, 100, 1000, 6, 3, 50, 0x00800000);
  uint16_t entry = 0;
  Ok(QfaAddChart(form, &chart, &entry), "QfaAddChart");
  ChartCell cell{};
  cell.Font = DemoFont("ＭＳ ゴシック");
  const char* heads[] = {"Item", "Amount", "Note"};
  for (uint16_t c = 1; c <= 3; ++c)
    Ok(QfaPutChartCell(form, entry, 1, c, &cell, heads[c - 1]), "QfaPutChartCell");
  // Dotted lines between the item rows, none inside the last row's label area.
  ChartLine dotted{4, 0, 0x00808080};
  for (uint16_t b = 2; b <= 4; ++b)
    for (uint16_t c = 1; c <= 3; ++c)
      Ok(QfaPutChartHline(form, entry, b, c, &dotted), "QfaPutChartHline");
  fmt::print("page 2: chart {} for the line items (6 rows x 3 columns, dotted inner rules)\n",
             entry >> 8);
  return entry;
}

void BuildThirdPage(FormHandle* form) {
  PageInf page{1, 0};
  Ok(QfaInsertFormPage(form, 1, &page), "QfaInsertFormPage");
  const Text note = DemoBox(100, 100, 1000, 160, "ＭＳ 明朝");
  uint16_t entry = 0;
  Ok(QfaAddText(form, &note, Sjis("備考：月末締め、翌月10日払い").c_str(), &entry), "QfaAddText");
  Figure box = DemoFigure(4, 1, 0x00008000, 100, 200, 600, 400);
  box.Fill = 1;
  box.Color2 = 0x00C0C0C0;
  Ok(QfaAddFigure(form, &box, &entry), "QfaAddFigure");
  fmt::print("page 3: a note and a filled rounded box (page flags 1 0)\n");
}

// An edit undone and redone: a cell text rewritten and a row deleted, as one step.
void ShowUndo(FormHandle* form, uint16_t entry) {
  Ok(QfaPutCurPage(form, 1), "QfaPutCurPage");
  Ok(QfaUndoControlStart(form), "QfaUndoControlStart");
  QfaUndoBlockStart(form);
  ChartCell cell{};
  char text[256] = {};
  Ok(QfaGetChartCell(form, entry, 1, 1, &cell, text), "QfaGetChartCell");
  Ok(QfaPutChartCell(form, entry, 1, 1, &cell, Sjis("品目").c_str()), "QfaPutChartCell");
  ChartInf inf{};
  QfaGetChartInf(form, entry, &inf);
  QfaInsertChartR(form, entry, 1, +inf.Rows, 40);
  QfaUndoBlockEnd(form);
  auto show = [&](const char* when) {
    char head[256] = {};
    ChartCell back{};
    ChartInf now{};
    QfaGetChartCell(form, entry, 1, 1, &back, head);
    QfaGetChartInf(form, entry, &now);
    fmt::print("  {:<6} \"{}\", {} rows (undo {}, redo {})\n", when, Shown(head, sizeof head),
               +now.Rows, QfaUndoCount(form), QfaRedoCount(form));
  };
  fmt::print("undo and redo of one step (a cell rewritten, a row added):\n");
  show("edited");
  Ok(QfaUndo(form), "QfaUndo");
  show("undone");
  Ok(QfaRedo(form), "QfaRedo");
  show("redone");
  Ok(QfaUndo(form), "QfaUndo");
  show("undone");
  QfaUndoControlEnd(form);
}

bool SameBytes(const std::string& a, const std::string& b) {
  std::ifstream fa(a, std::ios::binary), fb(b, std::ios::binary);
  if (!fa || !fb) return false;
  return std::string(std::istreambuf_iterator<char>(fa), {}) ==
         std::string(std::istreambuf_iterator<char>(fb), {});
}

}  // namespace

int RunDemo(const DemoOptions& options) {
  std::error_code error;
  std::filesystem::create_directories(options.dir, error);
  if (!std::filesystem::is_directory(options.dir))
    throw ToolError(fmt::format("{}: cannot make the directory", options.dir));
  DemoRun run;
  run.dir = LibraryPath(options.dir);
  if (run.dir.back() != '/') run.dir += '/';
  fmt::print("qstore demo in {}\n", run.dir);

  FormInf inf{};
  std::snprintf(inf.Title, sizeof inf.Title, "%s", "Monthly report");
  inf.ReadOrder = 1;
  const std::string template_name = WriteDemoTemplate(run);
  std::snprintf(inf.TemplateName, sizeof inf.TemplateName, "%s", template_name.c_str());
  FormHandle form{};
  Ok(QfaCreateForm(&form, &inf), "QfaCreateForm");
  struct Closer {
    FormHandle* form;
    ~Closer() { QfaCloseForm(form); }
  } closer{&form};
  Ok(QfaPutFormInf2(&form, &inf, Sjis("月次報告書").c_str()), "QfaPutFormInf2");
  Ok(QfaPutFormMemo(&form, Sjis("経理課が保管する。Kept by the accounts office.").c_str()),
     "QfaPutFormMemo");
  // An own colour table: the default one with a light blue in place of aqua.
  uint32_t colors[16] = {0x00000000, 0x00000080, 0x00008000, 0x00008080, 0x00800000, 0x00800080,
                         0x00808000, 0x00808080, 0x00C0C0C0, 0x000000FF, 0x0000FF00, 0x0000FFFF,
                         0x00FF0000, 0x00FF00FF, 0x00F0C080, 0x00FFFFFF};
  Ok(QfaPutFormCColor(&form, colors), "QfaPutFormCColor");
  fmt::print("form created: \"{}\", template \"{}\"\n", inf.Title, inf.TemplateName);

  uint16_t chart1 = 0, free_cell = 0;
  BuildFirstPage(run, &form, &chart1, &free_cell);
  const uint16_t chart2 = BuildSecondPage(&form);
  BuildThirdPage(&form);
  ShowUndo(&form, chart1);
  PlaceDemoFields(&form, chart1, free_cell, chart2);

  // Saved, opened again and compared item by item; then saved again: the same bytes.
  const std::string form_path = run.Path("sample.QFD");
  char save_name[256];
  std::snprintf(save_name, sizeof save_name, "%s", form_path.c_str());
  Check(QfaSaveForm(&form, save_name), form_path, "QfaSaveForm");
  run.Made("sample.QFD", fmt::format("the sample form, {} pages", QfaGetPageCount(&form)));
  fmt::print("saved as sample.QFD (changes now {})\n", QfaQueryFormUpdate(&form));
  {
    std::unique_ptr<Reader> in_memory = ReaderOver("sample form", &form);
    std::unique_ptr<Reader> reopened = OpenReader(form_path, FileKind::kForm);
    const bool same = SameContent(*in_memory, *reopened);
    fmt::print("opened again: {}\n", same ? "every item matches" : "CONTENT DIFFERS");
    run.ok = run.ok && same;
  }
  FormHandle again{};
  Check(QfaOpenForm(&again, form_path.c_str()), form_path, "QfaOpenForm");
  const std::string again_path = run.Path("sample-again.QFD");
  std::snprintf(save_name, sizeof save_name, "%s", again_path.c_str());
  const int32_t saved = QfaSaveForm(&again, save_name);
  QfaCloseForm(&again);
  Check(saved, again_path, "QfaSaveForm");
  const bool same_bytes = SameBytes(form_path, again_path);
  std::filesystem::remove(again_path, error);
  fmt::print("saved again: {}\n", same_bytes ? "the same bytes" : "DIFFERENT BYTES");
  run.ok = run.ok && same_bytes;
  {
    std::unique_ptr<Reader> reader = OpenReader(form_path, FileKind::kForm);
    RenderPage(run, *reader, 1, "sample-p1.svg");
  }

  const std::string converted = run.Path("sample.QDD");
  char doc_name[256];
  std::snprintf(doc_name, sizeof doc_name, "%s", converted.c_str());
  Check(QfaConvertToDoc(form_path.c_str(), doc_name), form_path, "QfaConvertToDoc");
  run.Made("sample.QDD", "the sample form converted to a document");
  fmt::print("converted to the document sample.QDD\n");
  RunDocumentDemo(run, converted);

  fmt::print("made in {}:\n", run.dir);
  for (const auto& [name, what] : run.made) fmt::print("  {:<18} {}\n", name, what);
  if (!run.ok) fmt::print(stderr, "qstore demo: a read-back did not match\n");
  return run.ok ? kExitOk : kExitFailed;
}

}  // namespace qstore::tool
