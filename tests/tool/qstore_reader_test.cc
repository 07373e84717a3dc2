// The reader, the JSON form and the SVG picture against forms built through the public interface:
// every drawn line and cell text of random charts appears, lines of style 0 do not, merged cells
// show once, figures and pictures take the element their kind asks for.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <regex>
#include <string>

#include "docstore.h"
#include "formstore.h"
#include "tools/qstore/demo.h"
#include "tools/qstore/model_json.h"
#include "tools/qstore/reader.h"
#include "tools/qstore/render.h"
#include "tools/qstore/text.h"

namespace qstore::tool {
namespace {

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// What a parser would reject first: a stray '&' or '<' in text, unbalanced text elements.
void ExpectWellFormedText(const std::string& svg) {
  EXPECT_EQ(Count(svg, "<text"), Count(svg, "</text>"));
  static const std::regex kStrayAmpersand("&(?!(amp|lt|gt|quot|apos);)");
  EXPECT_FALSE(std::regex_search(svg, kStrayAmpersand));
  static const std::regex kTagInText(">[^<]*<(?![/a-zA-Z?])");
  EXPECT_FALSE(std::regex_search(svg, kTagInText));
}

class ToolReader : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    dir_ =
        std::filesystem::temp_directory_path() / ("qstore-reader-test-" + std::to_string(random()));
    std::filesystem::create_directories(dir_);
    FormInf inf{};
    std::snprintf(inf.Title, sizeof inf.Title, "%s", "Test <form> & co");
    ASSERT_EQ(QfaCreateForm(&form_, &inf), 0);
    PageInf page{};
    ASSERT_EQ(QfaInsertFormPage(&form_, 0, &page), 0);
  }
  void TearDown() override {
    QfaCloseForm(&form_);
    std::error_code error;
    std::filesystem::remove_all(dir_, error);
  }
  PageInfo ReadPage() { return ReaderOver("test form", &form_)->Page(1); }

  std::filesystem::path dir_;
  FormHandle form_{};
};

std::string RandomText(std::mt19937& random) {
  static const std::string kPieces[] = {"Item",       "<a&b>",    "\"q\"",
                                        Sjis("品名"), Sjis("ｶﾅ"), std::string("\xF0\x40", 2),
                                        "12",         "\x81",     "\\"};
  std::string text;
  for (int n = static_cast<int>(random() % 4); n > 0; --n) text += kPieces[random() % 9];
  return text;
}

TEST_F(ToolReader, RandomChartsShowEveryDrawnLineAndCellText) {
  std::mt19937 random(2026);
  size_t listed_cells = 0;
  for (int round = 0; round < 40; ++round) {
    uint16_t old_entry = 0;
    if (QfaGetPageData(&form_, 1, &old_entry) == 0) {
      ASSERT_EQ(QfaDeletePageData(&form_, old_entry), 0);
    }
    const uint16_t rows = 1 + random() % 8, cols = 1 + random() % 6;
    ChartInf inf = DemoChart(static_cast<int32_t>(random() % 200), 50, 900, rows, cols,
                             static_cast<uint16_t>(20 + random() % 40));
    uint16_t entry = 0;
    ASSERT_EQ(QfaAddChart(&form_, &inf, &entry), 0);
    for (uint16_t c = 1; c <= cols; ++c)
      QfaPutChartCWidth(&form_, entry, c, static_cast<uint16_t>(30 + random() % 200));
    int drawn_v = 0, drawn_h = 0;
    for (uint16_t r = 1; r <= rows; ++r)
      for (uint16_t b = 0; b <= cols; ++b) {
        ChartLine line{static_cast<uint8_t>(random() % 3 == 0 ? 0 : 1 + random() % 5), 0,
                       0x000000FF};
        ASSERT_EQ(QfaPutChartVline(&form_, entry, r, b, &line), 0);
        drawn_v += line.Style != 0;
      }
    for (uint16_t b = 0; b <= rows; ++b)
      for (uint16_t c = 1; c <= cols; ++c) {
        ChartLine line{static_cast<uint8_t>(random() % 3 == 0 ? 0 : 1), 0, 0};
        ASSERT_EQ(QfaPutChartHline(&form_, entry, b, c, &line), 0);
        drawn_h += line.Style != 0;
      }
    ChartCell cell{};
    for (int n = 0; n < 6; ++n)
      QfaPutChartCell(&form_, entry, 1 + random() % rows, 1 + random() % cols, &cell,
                      RandomText(random).c_str());

    const PageInfo page = ReadPage();
    ASSERT_EQ(page.charts.size(), 1u);
    const ChartInfo& chart = page.charts[0];
    const Json json = PageJson(page);
    for (uint16_t r = 1; r <= rows; ++r)
      for (uint16_t b = 0; b <= cols; ++b) {
        ChartLine line{};
        QfaGetChartVline(&form_, entry, r, b, &line);
        ASSERT_EQ(chart.vlines[r - 1][b].Style, line.Style);
        ASSERT_EQ(json["charts"][0]["vlines"][r - 1][b]["style"], +line.Style);
      }
    // Every origin with attributes is listed, each with the library's far corner and text.
    size_t origins = 0;
    for (uint16_t r = 1; r <= rows; ++r)
      for (uint16_t c = 1; c <= cols; ++c) {
        ChartCell attr{};
        char text[256];
        origins += QfaGetChartCell(&form_, entry, r, c, &attr, text) == 0;
      }
    ASSERT_EQ(chart.cells.size(), origins) << round;
    listed_cells += origins;
    for (const CellInfo& c : chart.cells) {
      ChartCell attr{};
      char text[256];
      ASSERT_EQ(QfaGetChartCell(&form_, entry, c.row, c.col, &attr, text), 0);
      uint16_t last_row = 0, last_col = 0;
      QfaChartCellArea(&form_, entry, c.row, c.col, &last_row, &last_col);
      ASSERT_EQ(c.last_row, last_row);
      ASSERT_EQ(c.last_col, last_col);
      ASSERT_EQ(c.text, text);
    }
    const std::string svg = RenderSvg(page, 800);
    ASSERT_EQ(Count(svg, "class=\"vline\""), static_cast<size_t>(drawn_v)) << round;
    ASSERT_EQ(Count(svg, "class=\"hline\""), static_cast<size_t>(drawn_h)) << round;
    for (const CellInfo& c : chart.cells) {
      if (!c.text.empty()) {
        EXPECT_NE(svg.find(">" + XmlEscape(ShowText(c.text)) + "<"), std::string::npos);
      }
    }
    ExpectWellFormedText(svg);
  }
  EXPECT_GT(listed_cells, 40u);  // the cell checks above ran
}

TEST_F(ToolReader, MergedCellShowsOnceWithoutItsLine) {
  ChartInf inf = DemoChart(0, 0, 200, 2, 2, 40);
  uint16_t entry = 0;
  ASSERT_EQ(QfaAddChart(&form_, &inf, &entry), 0);
  ChartLine none{};
  ASSERT_EQ(QfaPutChartVline(&form_, entry, 1, 1, &none), 0);
  ChartCell cell{};
  ASSERT_EQ(QfaPutChartCell(&form_, entry, 1, 1, &cell, "wide"), 0);
  ASSERT_EQ(QfaPutChartCell(&form_, entry, 1, 2, &cell, "hidden"), 0);  // under the merge
  const PageInfo page = ReadPage();
  ASSERT_EQ(page.charts[0].cells.size(), 1u);
  EXPECT_EQ(page.charts[0].cells[0].last_col, 2);
  const std::string svg = RenderSvg(page, 400);
  EXPECT_EQ(Count(svg, "data-row=\"1\" data-boundary=\"1\""), 0u);
  EXPECT_EQ(Count(svg, "data-row=\"2\" data-boundary=\"1\""), 1u);
  EXPECT_EQ(Count(svg, ">wide<"), 1u);
  EXPECT_EQ(Count(svg, "hidden"), 0u);
}

// RenderSvg takes any PageInfo: a cell or line the chart's own sizes do not reach is left out
// rather than read past the running sums.
TEST(RenderSvg, DrawsOnlyWhatTheChartSizesReach) {
  struct Case {
    const char* name;
    uint16_t row, col, last_row, last_col;
    size_t vline_boundaries, hline_boundaries;
    size_t cells_drawn, vlines_drawn, hlines_drawn;
  };
  const Case cases[] = {
      {"consistent", 1, 1, 2, 2, 3, 3, 1, 6, 6},
      {"cell at row 0", 0, 1, 1, 1, 3, 3, 0, 6, 6},
      {"cell at column 0", 1, 0, 1, 1, 3, 3, 0, 6, 6},
      {"cell past the last column", 1, 1, 1, 3, 3, 3, 0, 6, 6},
      {"cell past the last row", 2, 1, 3, 1, 3, 3, 0, 6, 6},
      {"more boundaries than columns and rows", 1, 1, 1, 1, 9, 9, 1, 6, 6},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ChartInfo chart;
    chart.inf = DemoChart(0, 0, 100, 2, 2, 20);
    chart.heights = {20, 20};
    chart.widths = {50, 50};
    const ChartLine ruled{1, 0, 0};
    chart.vlines.assign(2, std::vector<ChartLine>(c.vline_boundaries, ruled));
    chart.hlines.assign(c.hline_boundaries, std::vector<ChartLine>(2, ruled));
    CellInfo cell;
    cell.row = c.row;
    cell.col = c.col;
    cell.last_row = c.last_row;
    cell.last_col = c.last_col;
    cell.text = "shown";
    chart.cells.push_back(cell);
    PageInfo page;
    page.order = {1};
    page.charts.push_back(chart);
    const std::string svg = RenderSvg(page, 400);
    EXPECT_EQ(Count(svg, ">shown<"), c.cells_drawn);
    EXPECT_EQ(Count(svg, "class=\"vline\""), c.vlines_drawn);
    EXPECT_EQ(Count(svg, "class=\"hline\""), c.hlines_drawn);
  }
}

TEST_F(ToolReader, FiguresTakeTheElementOfTheirShape) {
  struct Case {
    uint8_t shape, style, fill;
    const char* element;
    const char* also;
  };
  const Case cases[] = {
      {1, 1, 0, "<line class=\"figure\"", "stroke=\"#0000FF\""},
      {2, 2, 0, "<rect class=\"figure\"", "fill=\"none\""},
      {3, 1, 1, "<ellipse class=\"figure\"", "fill=\"#00FF00\""},
      {4, 3, 0, "<rect class=\"figure\"", "rx=\""},
      {9, 0, 0, "<rect class=\"figure\"", "stroke=\"none\""},
  };
  for (const Case& c : cases) {
    uint16_t old_entry = 0;
    if (QfaGetPageData(&form_, 1, &old_entry) == 0) QfaDeletePageData(&form_, old_entry);
    Figure figure{};
    figure.Shape = c.shape;
    figure.Style = c.style;
    figure.Fill = c.fill;
    figure.Color1 = 0x00FF0000;
    figure.Color2 = 0x0000FF00;
    const int32_t box[4] = {10, 20, 110, 70};
    std::memcpy(figure.Geometry, box, sizeof box);
    uint16_t entry = 0;
    ASSERT_EQ(QfaAddFigure(&form_, &figure, &entry), 0);
    const std::string svg = RenderSvg(ReadPage(), 800);
    EXPECT_NE(svg.find(c.element), std::string::npos) << int(c.shape);
    EXPECT_NE(svg.find(c.also), std::string::npos) << int(c.shape);
  }
}

TEST_F(ToolReader, PicturesEmbedWhatBrowsersShowAndFrameTheRest) {
  const std::pair<std::string, std::string> cases[] = {
      {std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "data:image/png;base64,iVBORw0KGgo"},
      {"GIF89a\x01\x00\x01\x00", "data:image/gif;base64,R0lGODlh"},
      {"not a picture at all", "picture 1 (20 bytes)"},
  };
  for (const auto& [bytes, expected] : cases) {
    uint16_t old_entry = 0;
    if (QfaGetPageData(&form_, 1, &old_entry) == 0) QfaDeletePageData(&form_, old_entry);
    const std::string source = (dir_ / "picture.bin").string();
    std::ofstream(source, std::ios::binary) << bytes;
    InsFigure picture{};
    picture.Geometry[2] = 320;
    picture.Geometry[3] = 240;
    char path[256];
    std::snprintf(path, sizeof path, "%s", source.c_str());
    uint16_t entry = 0;
    ASSERT_EQ(QfaAddInsFigure(&form_, &picture, path, &entry), 0);
    const PageInfo page = ReadPage();
    ASSERT_EQ(page.pictures.size(), 1u);
    EXPECT_EQ(page.pictures[0].size, static_cast<long long>(bytes.size()));
    EXPECT_NE(RenderSvg(page, 800).find(expected), std::string::npos) << expected;
  }
}

TEST_F(ToolReader, WidthScalesEveryCoordinate) {
  ChartInf inf = DemoChart(100, 100, 500, 1, 1, 50);
  uint16_t entry = 0;
  ASSERT_EQ(QfaAddChart(&form_, &inf, &entry), 0);
  const PageInfo page = ReadPage();
  auto first_x = [](const std::string& svg) {
    std::smatch m;
    std::regex_search(svg, m, std::regex("class=\"vline\"[^>]* x1=\"([0-9.]+)\""));
    return std::stod(m[1]);
  };
  const std::string narrow = RenderSvg(page, 400), wide = RenderSvg(page, 800);
  EXPECT_NE(narrow.find("width=\"400\""), std::string::npos);
  EXPECT_NE(wide.find("width=\"800\""), std::string::npos);
  EXPECT_NEAR(first_x(wide), 2 * first_x(narrow), 0.02);
}

TEST_F(ToolReader, HeaderJsonShowsTextsInUtf8AndColours) {
  FormInf inf{};
  QfaGetFormInf(&form_, &inf);
  ASSERT_EQ(QfaPutFormInf2(&form_, &inf, Sjis("月次").c_str()), 0);
  ASSERT_EQ(QfaPutFormMemo(&form_, std::string("memo \xF0\x40").c_str()), 0);
  Json header = HeaderJson(ReaderOver("test form", &form_)->Header());
  EXPECT_EQ(header["title"], "Test <form> & co");
  EXPECT_EQ(header["name"], "月次");
  EXPECT_EQ(header["memo"], "memo \\xF0\\x40");
  EXPECT_EQ(header["colors"]["own"], false);
  EXPECT_EQ(header["colors"]["table"][9], "#FF0000");
  uint32_t colors[16] = {};
  colors[9] = 0x00123456;
  ASSERT_EQ(QfaPutFormCColor(&form_, colors), 0);
  header = HeaderJson(ReaderOver("test form", &form_)->Header());
  EXPECT_EQ(header["colors"]["own"], true);
  EXPECT_EQ(header["colors"]["table"][9], "#563412");
}

// One call sequence through either library: P is Qfa or Qda.
#define QSTORE_TEST_BUILD_PAGE(P, handle, seed)                                       \
  do {                                                                                \
    std::mt19937 random(seed);                                                        \
    const uint16_t rows = 1 + random() % 6, cols = 1 + random() % 5;                  \
    ChartInf inf = DemoChart(50, 60, 700, rows, cols, 30);                            \
    uint16_t entry = 0;                                                               \
    ASSERT_EQ(P##AddChart(handle, &inf, &entry), 0);                                  \
    for (uint16_t r = 1; r <= rows; ++r)                                              \
      for (uint16_t b = 0; b <= cols; ++b) {                                          \
        ChartLine line{static_cast<uint8_t>(random() % 3), 0, 0x00808080};            \
        P##PutChartVline(handle, entry, r, b, &line);                                 \
      }                                                                               \
    ChartCell cell{};                                                                 \
    cell.Color1 = 0x000000FF;                                                         \
    for (int n = 0; n < 5; ++n)                                                       \
      P##PutChartCell(handle, entry, 1 + random() % rows, 1 + random() % cols, &cell, \
                      RandomText(random).c_str());                                    \
    Text text = DemoBox(10, 10, 300, 40, "ＭＳ 明朝");                                \
    ASSERT_EQ(P##AddText(handle, &text, RandomText(random).c_str(), &entry), 0);      \
    ASSERT_EQ(P##AddFreCell(handle, &text, RandomText(random).c_str(), &entry), 0);   \
    Figure figure{};                                                                  \
    figure.Shape = static_cast<uint8_t>(random() % 5);                                \
    ASSERT_EQ(P##AddFigure(handle, &figure, &entry), 0);                              \
  } while (0)

// The reader is one template over both libraries: the same content reads back the same, and a
// document saved and opened again reads back as it was.
TEST_F(ToolReader, FormAndDocumentReadTheSameContentAlike) {
  DocInf inf{};
  DocHandle doc{};
  ASSERT_EQ(QdaCreateDoc(&doc, &inf), 0);
  for (unsigned seed = 1; seed <= 12; ++seed) {
    ASSERT_EQ(QdaInsertPage(&doc, 1), 0);
    uint16_t entry = 0;
    while (QfaGetPageData(&form_, 1, &entry) == 0) QfaDeletePageData(&form_, entry);
    QSTORE_TEST_BUILD_PAGE(Qfa, &form_, seed);
    QSTORE_TEST_BUILD_PAGE(Qda, &doc, seed);
    const Json from_form = PageJson(ReadPage());
    Json from_doc = PageJson(ReaderOver("doc", &doc)->Page(static_cast<int>(seed)));
    from_doc["number"] = 1;
    ASSERT_EQ(from_form["entries"].size(), 4u) << seed;  // chart, text, free cell, figure
    ASSERT_EQ(from_form, from_doc) << seed;
  }
  const std::string path = (dir_ / "pages.QDD").string();
  ASSERT_EQ(QdaSaveDoc(&doc, path.c_str()), 0);
  std::unique_ptr<Reader> in_memory = ReaderOver("doc", &doc);
  std::unique_ptr<Reader> reopened = OpenReader(path, FileKind::kDocument);
  ASSERT_EQ(reopened->PageCount(), 12);
  for (int n = 1; n <= 12; ++n)
    EXPECT_EQ(PageJson(in_memory->Page(n)), PageJson(reopened->Page(n)));
  reopened.reset();
  QdaCloseDoc(&doc);
}

}  // namespace
}  // namespace qstore::tool
