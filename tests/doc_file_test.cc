// The document file: what the writer writes, byte for byte; what the reader takes, including the
// older layouts; what it refuses; and the direct header reader.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/model/header.h"
#include "docstore.h"
#include "docstore/document.h"
#include "formstore.h"
#include "platform/env.h"
#include "support/doc_records.h"
#include "support/doc_site.h"

namespace qs_test {
namespace {

ChartInf Chart(uint16_t rows, uint16_t cols) {
  ChartInf inf{};
  inf.Left = 10;
  inf.Top = 20;
  inf.Right = 10 + 100 * cols;
  inf.Bottom = 20 + 30 * rows;
  inf.Rows = rows;
  inf.Cols = cols;
  inf.RowHight = 30;
  inf.LineStyle = 1;
  return inf;
}

Text TextAt(int left) {
  Text t{};
  t.Left = left;
  t.Right = left + 50;
  t.Bottom = 40;
  std::strcpy(t.Font.FontName, "F1");
  return t;
}

class DocFileTest : public ::testing::Test {
 protected:
  void TearDown() override { QdaCloseDoc(&h); }
  std::string Path(const char* name) { return site.root() + name; }
  std::string Save(const char* name) {
    const std::string path = Path(name);
    EXPECT_EQ(QdaSaveDoc(&h, path.c_str()), 0);
    return path;
  }
  int32_t Open(const std::string& bytes) {
    QdaCloseDoc(&h);
    const std::string path = site.WriteFile("in.doc", bytes);
    return QdaOpenDoc(&h, path.c_str());
  }

  DocSite site;
  DocHandle h{};
};

TEST_F(DocFileTest, WriterOutputIsExact) {
  CreateDoc(&h, 1);
  uint16_t entry = 0;
  const ChartInf chart = Chart(3, 2);
  ASSERT_EQ(QdaAddChart(&h, &chart, &entry), 0);
  std::vector<Record> records = FileRecords(Save("chart.doc"));
  // Rows of the default height have no 'h'; every column has its 'w'; three vertical boundaries
  // of three rows, four horizontal ones of two columns.
  EXPECT_EQ(Outline(records), "H288 b360 P4 C31 w4 w4 l15 l15 l15 l11 l11 l11 l11");
  ASSERT_FALSE(records.empty());
  EXPECT_EQ(records[0].body[0], 2);                    // version
  EXPECT_EQ(records[0].body.substr(286), U16(1));      // page count
  EXPECT_EQ(records[1].body, std::string(360, '\0'));  // 'b' even without a block
  EXPECT_EQ(records[2].body, PageBody(1));

  // Colour table and memo when present; an empty memo is not written.
  uint32_t colors[16] = {1, 2, 3};
  ASSERT_EQ(QdaPutDocCColor(&h, colors), 0);
  ASSERT_EQ(QdaPutDocMemo(&h, "memo"), 0);
  EXPECT_EQ(Outline(FileRecords(Save("memo.doc"))).substr(0, 22), "H288 b360 a64 M4 P4 C3");
  // A text without string is left out; a free cell without text has no 's'.
  QdaCloseDoc(&h);
  CreateDoc(&h, 1);
  const Text text = TextAt(0);
  ASSERT_EQ(QdaAddText(&h, &text, "", &entry), 0);
  ASSERT_EQ(QdaAddFreCell(&h, &text, "", &entry), 0);
  ASSERT_EQ(QdaAddFreCell(&h, &text, "ab", &entry), 0);
  EXPECT_EQ(Outline(FileRecords(Save("texts.doc"))), "H288 b360 P4 D34 D34 s2");
}

// Everything saved comes back: header, blocks, pages and their content.
TEST_F(DocFileTest, SaveAndOpenRoundTrip) {
  DocInf inf{};
  std::strcpy(inf.Title, "Inf title");
  inf.ReadOrder = 3;
  CreateDoc(&h, 3, inf);
  ASSERT_EQ(QdaPutDocInf2(&h, &inf, "Doc title"), 0);
  uint32_t colors[16];
  for (int i = 0; i < 16; ++i) colors[i] = 0x010101u * uint32_t(i);
  ASSERT_EQ(QdaPutDocCColor(&h, colors), 0);
  uint8_t block[360];
  for (int i = 0; i < 360; ++i) block[i] = uint8_t(i);
  ASSERT_EQ(QdaPutDocHeaderFooter(&h, block), 0);
  ASSERT_EQ(QdaPutDocMemo(&h, "a memo"), 0);
  std::vector<std::string> pages;
  for (int n = 1; n <= 3; ++n) {
    ASSERT_EQ(QdaPutCurPage(&h, n), 0);
    uint16_t entry = 0;
    const ChartInf chart = Chart(uint16_t(n), 2);
    ASSERT_EQ(QdaAddChart(&h, &chart, &entry), 0);
    ChartCell cell{};
    std::strcpy(cell.Font.FontName, "F1");
    ASSERT_EQ(QdaPutChartCell(&h, entry, 1, 2, &cell, "cell"), 0);
    const Text text = TextAt(5 * n);
    ASSERT_EQ(QdaAddText(&h, &text, "text", &entry), 0);
    Figure figure{};
    figure.Shape = 2;
    ASSERT_EQ(QdaAddFigure(&h, &figure, &entry), 0);
    pages.push_back(PageRecords(&h, n));
  }
  const std::string path = Save("round.doc");
  QdaCloseDoc(&h);
  ASSERT_EQ(QdaOpenDoc(&h, path.c_str()), 0);
  DocInf got{};
  char title[41] = {};
  ASSERT_EQ(QdaGetDocInf2(&h, &got, title), 0);
  EXPECT_EQ(std::memcmp(&got, &inf, sizeof inf), 0);
  EXPECT_STREQ(title, "Doc title");
  uint32_t got_colors[16] = {};
  ASSERT_EQ(QdaGetDocCColor(&h, got_colors), 0);
  EXPECT_EQ(std::memcmp(got_colors, colors, sizeof colors), 0);
  uint8_t got_block[360] = {};
  ASSERT_EQ(QdaGetDocHeaderFooter(&h, got_block), 0);
  EXPECT_EQ(std::memcmp(got_block, block, sizeof block), 0);
  char memo[2048] = {};
  ASSERT_EQ(QdaGetDocMemo(&h, memo), 0);
  EXPECT_STREQ(memo, "a memo");
  EXPECT_EQ(qs::Document::FromHandle(&h)->header().rec.version, 2);
  for (int n = 1; n <= 3; ++n) EXPECT_EQ(PageRecords(&h, n), pages[size_t(n - 1)]) << n;
}

// The reader takes the older layouts: a 352-byte 'b', the 247- and 630-byte headers without a
// title, and version 1 with its packed-font flags.
TEST_F(DocFileTest, OlderLayouts) {
  const std::string page = Frame('P', PageBody(1));
  const std::string current = Frame('H', HeaderBody(2, "T", 1));

  ASSERT_EQ(Open(current + Frame('b', std::string(352, '\x11')) + page), 0);
  uint8_t block[360] = {};
  ASSERT_EQ(QdaGetDocHeaderFooter(&h, block), 0);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(block), 8), U32(80) + U32(80));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(block) + 8, 352), std::string(352, '\x11'));

  // 247 bytes: version, then header bytes 42..285, then the page count.
  std::string older = HeaderBody(2, "", 1).substr(42, 244);
  std::memcpy(&older[1], "Inf", 3);  // DocInf.Title
  ASSERT_EQ(Open(Frame('H', std::string(1, '\x02') + older + U16(1)) + page), 0);
  DocInf inf{};
  char title[41] = {'x'};
  ASSERT_EQ(QdaGetDocInf2(&h, &inf, title), 0);
  EXPECT_STREQ(inf.Title, "Inf");
  EXPECT_STREQ(title, "");
  EXPECT_EQ(QdaGetPageCount(&h), 1);

  // 630 bytes: as 247, the font names two bytes further on, and new times.
  std::string wide = std::string(1, '\x02') + older + U16(1);
  wide.resize(630);
  std::memcpy(&wide[1 + (115 - 42)], "Face", 5);
  const int32_t before = qs::NowSeconds();
  ASSERT_EQ(Open(Frame('H', wide) + page), 0);
  const qs::HeaderRecord& rec = qs::Document::FromHandle(&h)->header().rec;
  EXPECT_STREQ(rec.font_names[0], "Face");
  const int32_t created = rec.created;  // a packed member binds to no reference
  EXPECT_GE(created, before);

  // Version 1: bits 3 and 7 of packed fonts in cells, texts and free cells are cleared, and the
  // document is saved as version 2.
  QdaCloseDoc(&h);
  CreateDoc(&h, 1);
  uint16_t entry = 0;
  const ChartInf chart = Chart(1, 1);
  ASSERT_EQ(QdaAddChart(&h, &chart, &entry), 0);
  ChartCell cell{};
  std::strcpy(cell.Font.FontName, "F1");
  ASSERT_EQ(QdaPutChartCell(&h, entry, 1, 1, &cell, "c"), 0);
  const Text text = TextAt(0);
  ASSERT_EQ(QdaAddText(&h, &text, "t", &entry), 0);
  ASSERT_EQ(QdaAddFreCell(&h, &text, "f", &entry), 0);
  const std::string clean = PageRecords(&h, 1);
  std::vector<Record> records = FileRecords(Save("v2.doc"));
  records[0].body[0] = 1;
  int flagged = 0;
  for (Record& r : records) {
    if (r.tag == 'c') r.body[6] |= char(0x88), ++flagged;
    if (r.tag == 'T' || r.tag == 'D') r.body[17] |= char(0x88), ++flagged;
  }
  ASSERT_EQ(flagged, 3);
  ASSERT_EQ(Open(Frame(records)), 0);
  EXPECT_EQ(PageRecords(&h, 1), clean);
  EXPECT_EQ(FileRecords(Save("v1.doc"))[0].body[0], 2);
  // The same flags in a version 2 file are kept.
  records[0].body[0] = 2;
  ASSERT_EQ(Open(Frame(records)), 0);
  EXPECT_NE(PageRecords(&h, 1), clean);
}

TEST_F(DocFileTest, ReaderChecksTheFile) {
  const std::string h1 = Frame('H', HeaderBody(2, "", 1));
  const std::string p1 = Frame('P', PageBody(1));
  struct Case {
    const char* name;
    std::string bytes;
    int32_t status;
  };
  const std::vector<Case> cases = {
      {"minimal", h1 + p1, 0},
      {"empty", "", 102},
      {"page first", p1 + h1, 102},
      {"header only", h1, 102},
      {"header and block only", h1 + Frame('b', std::string(360, '\0')), 102},
      {"header cut short", h1.substr(0, 100), 102},
      {"header of odd length", Frame('H', HeaderBody(2, "", 1) + "x") + p1, 102},
      {"two headers", h1 + h1 + p1, 102},
      {"page 0", h1 + Frame('P', PageBody(0)), 102},
      {"page beyond count", h1 + Frame('P', PageBody(2)), 102},
      {"page twice", h1 + p1 + p1, 102},
      {"page missing", Frame('H', HeaderBody(2, "", 2)) + p1, 102},
      {"pages out of order", Frame('H', HeaderBody(2, "", 2)) + Frame('P', PageBody(2)) + p1, 0},
      {"short page record", h1 + Frame('P', "\x01"), 102},
      {"too many pages", Frame('H', HeaderBody(2, "", 10000)) + p1, -101},
      {"colours of odd length", h1 + Frame('a', std::string(10, '\0')) + p1, 102},
      {"memo too long", h1 + Frame('M', std::string(3000, 'm')) + p1, 102},
      {"block of odd length", h1 + Frame('b', std::string(100, '\x01')) + p1, 0},
      {"unknown before pages", h1 + Frame('Z', std::string(5000, 'z')) + p1, 0},
      {"content before pages", h1 + Frame('F', std::string(32, '\0')) + p1, 102},
      {"tag 0 in a page", h1 + p1 + Frame(0, "abc"), 0},
      {"unframed tail", h1 + p1 + "junk", 102},
      {"record cut short", h1 + p1 + Frame('F', std::string(32, '\0')).substr(0, 20), 102},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Open(c.bytes), c.status) << c.name;
    if (c.status == 0) {
      EXPECT_EQ(PageRecords(&h, 1), Frame('P', PageBody(1)) + Frame(0, "")) << c.name;
    }
  }
  // A block of no known length is kept as an empty one, which reads as absent.
  ASSERT_EQ(Open(h1 + Frame('b', std::string(100, '\x01')) + p1), 0);
  uint8_t block[360];
  EXPECT_EQ(QdaGetDocHeaderFooter(&h, block), -1);
}

// Page content is checked when the page is loaded: a damaged page cannot be used, its neighbours
// can, and the file is still saved as it came.
TEST_F(DocFileTest, DamagedPageFailsOnLoad) {
  const std::string bytes = Frame('H', HeaderBody(2, "", 2)) + Frame('P', PageBody(1, 4)) +
                            Frame('P', PageBody(2)) + Frame('h', U16(1) + U16(9));
  ASSERT_EQ(Open(bytes), 0);
  PageInf inf{};
  EXPECT_EQ(QdaGetPageInf(&h, &inf), 0);
  ASSERT_EQ(QdaPutCurPage(&h, 2), 0);
  EXPECT_EQ(QdaGetPageInf(&h, &inf), -1);
  EXPECT_EQ(LabelOf(&h, 1), 1);
  std::vector<Record> saved = FileRecords(Save("damaged.doc"));
  EXPECT_EQ(Outline(saved), "H288 b360 P4 P4 h4");
}

TEST_F(DocFileTest, DirectHeaderReader) {
  DocInf inf{};
  std::strcpy(inf.Title, "inf");
  inf.ReadOrder = 9;
  qs::HeaderRecord rec{};
  rec.version = 2;
  std::strcpy(rec.title, "The title");
  rec.inf = inf;
  const std::string body = std::string(reinterpret_cast<char*>(&rec), sizeof rec) + U16(1);
  const std::string h288 = Frame('H', body);
  struct Case {
    const char* name;
    std::string bytes;
    int32_t status;
  };
  const std::vector<Case> cases = {
      {"current", h288 + Frame('P', PageBody(1)), 0},
      {"after unknown records", Frame('Z', "zz") + Frame('b', std::string(360, '\0')) + h288, 0},
      {"empty", "", -1},
      {"older header", Frame('H', body.substr(0, 247)), -1},
      {"wide header", Frame('H', body + std::string(342, '\0')), -1},
      {"page first", Frame('P', PageBody(1)) + h288, -1},
      {"no mark", "\x1C" + h288.substr(1), -1},
      {"header cut short", h288.substr(0, 200), -1},
  };
  for (const Case& c : cases) {
    const std::string path = site.WriteFile("direct.doc", c.bytes);
    DocInf got{};
    char title[41] = {};
    EXPECT_EQ(QdaGetDocInfDirect(path.c_str(), &got, title), c.status) << c.name;
    if (c.status != 0) continue;
    EXPECT_EQ(std::memcmp(&got, &inf, sizeof inf), 0) << c.name;
    EXPECT_STREQ(title, "The title") << c.name;
  }
  DocInf got{};
  char title[41];
  EXPECT_EQ(QdaGetDocInfDirect((site.root() + "none.doc").c_str(), &got, title), 100);
}

// A form converted by the form library opens as a document with the same pages, and the filtered
// traversals stop at its entry cells only.
TEST_F(DocFileTest, ConvertedFormOpens) {
  FormHandle form{};
  const FormInf inf{};  // ReadOrder 0: down each column, then right
  ASSERT_EQ(QfaCreateForm(&form, &inf), 0);
  const PageInf page{};
  ASSERT_EQ(QfaInsertFormPage(&form, 0, &page), 0);
  uint16_t chart_entry = 0;
  const ChartInf chart = Chart(2, 3);
  ASSERT_EQ(QfaAddChart(&form, &chart, &chart_entry), 0);
  ChartCell cell{};
  std::strcpy(cell.Font.FontName, "F1");
  // Entry cells (empty or spaces only): (2, 1), (2, 2), (1, 3).
  const char* const texts[2][3] = {{"fixed", "label", ""}, {"  ", "", "abc"}};
  for (uint16_t r = 1; r <= 2; ++r) {
    for (uint16_t c = 1; c <= 3; ++c) {
      ASSERT_EQ(QfaPutChartCell(&form, chart_entry, r, c, &cell, texts[r - 1][c - 1]), 0);
    }
  }
  ASSERT_EQ(QfaInsertFormPage(&form, 1, &page), 0);
  const Text text = TextAt(0);
  uint16_t entry = 0;
  ASSERT_EQ(QfaAddText(&form, &text, "page two", &entry), 0);
  char name[256] = {};
  (site.flat() + "conv.QFD").copy(name, 255);
  ASSERT_EQ(QfaSaveForm(&form, name), 0);
  QfaCloseForm(&form);
  char path[256] = {};
  Path("conv.doc").copy(path, 255);
  ASSERT_EQ(QfaConvertToDoc("conv", path), 0);

  ASSERT_EQ(QdaOpenDoc(&h, path), 0);
  EXPECT_EQ(QdaGetPageCount(&h), 2);
  ChartCell got{};
  char got_text[256] = {};
  ASSERT_EQ(QdaGetChartCell(&h, chart_entry, 1, 1, &got, got_text), 0);
  EXPECT_STREQ(got_text, "fixed");
  EXPECT_EQ(got.Kind, 0);
  ASSERT_EQ(QdaGetChartCell(&h, chart_entry, 2, 2, &got, got_text), 0);
  EXPECT_EQ(got.Kind, 1);

  // Each step from (row, col), with the filter on unless `unfiltered`; dir 0 is reading order.
  struct Step {
    uint16_t row, col;
    uint8_t dir;
    int32_t status;
    int want;  // row * 10 + col
    bool unfiltered;
  };
  const Step steps[] = {
      {1, 1, 0, 0, 21, false}, {2, 1, 0, 0, 22, false}, {2, 2, 0, 0, 13, false},
      {1, 3, 0, -1, 0, false},  // (2, 3) is no entry cell: the search runs out
      {2, 1, 0, 0, 12, true},   // unfiltered, the next cell whatever its kind
      {1, 1, 4, 0, 13, false},  // right, past "label"
      {2, 2, 4, -2, 0, false},  // right: only "abc", then the edge
      {1, 2, 2, 0, 22, false},  // down
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(testing::Message() << s.row << "," << s.col << " dir " << int(s.dir));
    uint16_t r = 0, c = 0;
    const uint8_t filter = s.unfiltered ? 0 : 1;
    const int32_t status =
        s.dir == 0 ? QdaChartNextCell(&h, filter, chart_entry, s.row, s.col, &r, &c)
                   : QdaChartNextCellEx(&h, filter, chart_entry, s.row, s.col, s.dir, &r, &c);
    EXPECT_EQ(status, s.status);
    if (s.status == 0) {
      EXPECT_EQ(r * 10 + c, s.want);
    }
  }

  ASSERT_EQ(QdaPutCurPage(&h, 2), 0);
  Text got_rec{};
  ASSERT_EQ(QdaGetText(&h, entry, &got_rec, got_text), 0);
  EXPECT_STREQ(got_text, "page two");
}

// The fuzz targets' seeds are files the writer makes (and the older layouts, which it never
// writes). The committed corpus must match what the writer writes today; QSTORE_UPDATE_CORPUS=1
// rewrites it.
TEST_F(DocFileTest, SeedCorpusIsWhatTheWriterWrites) {
  struct Seed {
    const char* dir;
    const char* name;
    std::string bytes;
  };
  std::vector<Seed> seeds;
  auto saved = [&](const char* dir, const char* name) {
    seeds.push_back({dir, name, ""});
    qs::HeaderRecord& rec = qs::Document::FromHandle(&h)->header().rec;
    rec.created = rec.updated = 1234567890;  // the same seeds every day
    std::string bytes;
    const std::string path = Save("seed.doc");
    EXPECT_TRUE(qs::ReadWholeFile(qs::CurrentEnv(), path, &bytes));
    seeds.back().bytes = bytes;
  };
  CreateDoc(&h, 1);
  saved("doc", "minimal");
  saved("doc_inf", "minimal");
  uint32_t colors[16] = {7};
  ASSERT_EQ(QdaPutDocCColor(&h, colors), 0);
  ASSERT_EQ(QdaPutDocMemo(&h, "memo"), 0);
  uint8_t block[360] = {1, 2, 3};
  ASSERT_EQ(QdaPutDocHeaderFooter(&h, block), 0);
  saved("doc_inf", "blocks");
  uint16_t entry = 0;
  const ChartInf chart = Chart(2, 3);
  ASSERT_EQ(QdaAddChart(&h, &chart, &entry), 0);
  ChartCell cell{};
  std::strcpy(cell.Font.FontName, "F1");
  ASSERT_EQ(QdaPutChartCell(&h, entry, 2, 3, &cell, "cell"), 0);
  ASSERT_EQ(QdaPutChartRHight(&h, entry, 1, 45), 0);
  const Text text = TextAt(3);
  ASSERT_EQ(QdaAddText(&h, &text, "text", &entry), 0);
  ASSERT_EQ(QdaAddFreCell(&h, &text, "free", &entry), 0);
  Figure figure{};
  figure.Shape = 1;
  ASSERT_EQ(QdaAddFigure(&h, &figure, &entry), 0);
  char picture[256] = {};
  site.WriteFile("pic.bmp", "BM" + std::string(100, 'p')).copy(picture, 255);
  const InsFigure ins{};
  ASSERT_EQ(QdaAddInsFigure(&h, &ins, picture, &entry), 0);
  saved("doc", "every_kind");
  for (int i = 0; i < 3; ++i) ASSERT_EQ(QdaInsertPage(&h, 1), 0);
  ASSERT_EQ(QdaMovePage(&h, 1, 4), 0);
  saved("doc", "four_pages");

  const std::string page = Frame('P', PageBody(1)) + Frame('F', std::string(31, '\x01'));
  std::string older = HeaderBody(2, "", 1).substr(42, 244);
  std::string wide = std::string(1, '\x02') + older + U16(1);
  wide.resize(630);
  seeds.push_back({"doc", "older_layouts",
                   Frame('H', std::string(1, '\x01') + older + U16(1)) +
                       Frame('b', std::string(352, 'b')) + page});
  seeds.push_back({"doc", "wide_header", Frame('H', wide) + page});
  seeds.push_back(
      {"doc_inf", "after_unknown", Frame('Z', "z") + Frame('H', HeaderBody(2, "T", 1))});

  const bool update = std::getenv("QSTORE_UPDATE_CORPUS") != nullptr;
  for (const Seed& seed : seeds) {
    const std::string path =
        std::string(QSTORE_SOURCE_DIR) + "/fuzz/corpus/" + seed.dir + "/" + seed.name;
    if (update) {
      ASSERT_TRUE(qs::CurrentEnv()->CreateDirectories(std::string(QSTORE_SOURCE_DIR) +
                                                      "/fuzz/corpus/" + seed.dir));
      ASSERT_TRUE(qs::WriteWholeFile(qs::CurrentEnv(), path, seed.bytes));
    } else {
      std::string committed;
      EXPECT_TRUE(qs::ReadWholeFile(qs::CurrentEnv(), path, &committed)) << path;
      EXPECT_TRUE(committed == seed.bytes) << path;
    }
  }
}

}  // namespace
}  // namespace qs_test
