// The form data file: reading hand-made files of every layout and every damage, the exact bytes
// the writer produces, atomic saves and the direct header calls.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "common/file/page_codec.h"
#include "common/model/header.h"
#include "common/model/stored_records.h"
#include "common/status.h"
#include "formstore.h"
#include "formstore/form.h"
#include "platform/env.h"
#include "support/fault_env.h"
#include "support/form_fixture.h"
#include "support/scratch_dir.h"

namespace {

using qs::Form;
using qs::kPicturePiece;
using qs::Page;
using qs_test::TempSite;

// ---- Building files by hand ----

std::string U16(uint16_t v) {
  return std::string{char(v), char(v >> 8)};
}
std::string U32(uint32_t v) {
  return U16(uint16_t(v)) + U16(uint16_t(v >> 16));
}
template <typename T>
std::string Bytes(const T& rec, size_t n = sizeof(T)) {
  return std::string(reinterpret_cast<const char*>(&rec), n);
}
std::string Rec(char tag, const std::string& body) {
  return std::string{'\x1B', tag} + U32(uint32_t(body.size())) + body;
}

FormInf MakeInf(const char* title, uint8_t read_order = 0) {
  FormInf inf{};
  std::strcpy(inf.Title, title);
  inf.ReadOrder = read_order;
  inf.Reserved0 = 0x5A;
  inf.Reserved[8] = 0xA5;
  return inf;
}

qs::HeaderRecord MakeHeader(uint8_t version, const char* title, const char* inf_title) {
  qs::HeaderRecord rec{};
  rec.version = version;
  std::strcpy(rec.title, title);
  rec.inf = MakeInf(inf_title, 1);
  std::strcpy(rec.font_names[0], "Mincho");
  std::strcpy(rec.font_names[1], "Gothic");
  rec.created = 1000;
  rec.updated = 2000;
  return rec;
}

std::string H288(const qs::HeaderRecord& rec, uint16_t pages = 1) {
  return Rec('H', Bytes(rec) + U16(pages));
}
std::string H(uint8_t version = 2, const char* title = "Form title") {
  return H288(MakeHeader(version, title, "Plan"));
}
// The older layouts: version, then the header from the information block on.
std::string OldHeaderBody(const qs::HeaderRecord& rec) {
  return std::string(1, char(rec.version)) + Bytes(rec).substr(offsetof(qs::HeaderRecord, inf)) +
         U16(1);
}
std::string P(uint16_t number, uint16_t inf = 0) {
  return Rec('P', U16(number) + U16(inf));
}

qs::ChartInfRec ChartHead(uint16_t rows, uint16_t cols, uint16_t row_hight = 20,
                          int32_t width = 30) {
  qs::ChartInfRec head{};
  head.flag = 0;
  head.left = 100;
  head.top = 200;
  head.right = 100 + width * cols;
  head.bottom = 200 + row_hight * rows;
  head.rows = rows;
  head.cols = cols;
  head.row_hight = row_hight;
  head.line_style = 1;
  head.line_param = 7;
  head.line_color = 3;
  return head;
}
std::string C(const qs::ChartInfRec& head, uint16_t hr1 = 0, uint16_t hr2 = 0) {
  return Rec('C', Bytes(head) + U16(hr1) + U16(hr2));
}
std::string Size(char tag, uint16_t n, uint16_t size) {
  return Rec(tag, U16(n) + U16(size));
}
std::string Line(uint8_t style, uint16_t param, uint8_t color) {
  return std::string{char(style)} + U16(param) + std::string{char(color)};
}
std::string L(uint8_t direction, uint16_t boundary, int count, const std::string& line) {
  std::string body = std::string{char(direction)} + U16(boundary);
  for (int i = 0; i < count; ++i) body += line;
  return Rec('l', body);
}
qs::CellAttr Attr(uint8_t font_b0 = 1, uint8_t color = 4) {
  qs::CellAttr attr{};
  attr.kind = 1;
  attr.font.b0 = font_b0;
  attr.font.b1 = 0x21;
  for (int i = 0; i < 6; ++i) attr.attr[i] = uint16_t(100 + i);
  attr.color1 = color;
  attr.mode = 2;
  attr.color2 = 5;
  return attr;
}
std::string Cell(uint16_t row, uint16_t col, const qs::CellAttr& attr = Attr()) {
  return Rec('c', std::string(1, '\0') + U16(row) + U16(col) + Bytes(attr));
}
std::string S(const std::string& text) {
  return Rec('s', text);
}
qs::TextRec TextBody(uint8_t font_b0 = 2, uint8_t kind = 0) {
  qs::TextRec rec{};
  rec.kind = kind;
  rec.left = 10;
  rec.top = 20;
  rec.right = 300;
  rec.bottom = 60;
  rec.font.b0 = font_b0;
  rec.font.b1 = 0x12;
  rec.attr[0] = 9;
  rec.color1 = 6;
  rec.mode = 1;
  rec.color2 = 7;
  return rec;
}
std::string T(const qs::TextRec& rec) {
  return Rec('T', Bytes(rec, 34));
}
std::string D(const qs::TextRec& rec) {
  return Rec('D', Bytes(rec, 34));
}
qs::FigureRec FigureBody(uint8_t shape) {
  qs::FigureRec rec{};
  rec.shape = shape;
  rec.style = 2;
  rec.param = 0x0304;
  rec.color1 = 5;
  rec.fill = 1;
  rec.color2 = 9;
  for (int i = 0; i < 24; ++i) rec.geometry[i] = uint8_t(i + 1);
  return rec;
}
std::string F(const qs::FigureRec& rec) {
  return Rec('F', std::string(1, '\0') + Bytes(rec));
}
std::string I(const std::string& picture, uint8_t mode = 3) {
  std::string body;
  for (int i = 0; i < 9; ++i) body += U32(uint32_t(i * 10));
  body += char(mode);
  return Rec('I', body + picture);
}

// A chart's records exactly as the writer lays them out, with every line the head's line.
std::string FullChart(const qs::ChartInfRec& head, const std::string& cells = "",
                      const std::string& heights = "") {
  std::string s = C(head) + heights;
  const uint16_t width = uint16_t((head.right - head.left) / head.cols);
  for (int c = 1; c <= head.cols; ++c) s += Size('w', uint16_t(c), width);
  const std::string line = Line(head.line_style, head.line_param, head.line_color);
  for (int k = 0; k <= head.cols; ++k) s += L(0, uint16_t(k), head.rows, line);
  for (int k = 0; k <= head.rows; ++k) s += L(1, uint16_t(k), head.cols, line);
  return s + cells;
}

struct Record {
  char tag;
  std::string body;
};
std::vector<Record> Records(const std::string& bytes) {
  std::vector<Record> out;
  size_t at = 0;
  while (at + 6 <= bytes.size()) {
    uint32_t n = 0;
    for (int i = 0; i < 4; ++i) n |= uint32_t(uint8_t(bytes[at + 2 + i])) << (8 * i);
    out.push_back({bytes[at + 1], bytes.substr(at + 6, n)});
    at += 6 + n;
  }
  EXPECT_EQ(at, bytes.size());
  return out;
}

std::string ReadFile(const std::string& path) {
  std::string contents;
  EXPECT_TRUE(qs::ReadWholeFile(qs::CurrentEnv(), path, &contents)) << path;
  return contents;
}
bool FileExists(const std::string& path) {
  return qs::CurrentEnv()->Exists(path);
}

class FormFileTest : public ::testing::Test {
 protected:
  void TearDown() override { Close(); }

  // Writes `bytes` as a form file in the flat directory and opens it.
  int Open(const std::string& bytes, const std::string& name = "t.QFD") {
    Close();
    site.WriteFile("flat/" + name, bytes);
    return QfaOpenForm(&h, (site.flat() + name).c_str());
  }
  void Close() {
    if (h.State != nullptr) QfaCloseForm(&h);
    h.State = nullptr;
  }
  Form& form() { return *Form::FromHandle(&h); }
  Page& page(int number = 1) { return *form().PageAt(number); }
  // Saves the open form and returns the file's bytes.
  std::string SaveBytes(const std::string& name = "out.QFD") {
    std::string path = site.root() + name;
    EXPECT_EQ(QfaSaveForm(&h, &path[0]), 0);
    return ReadFile(path);
  }

  TempSite site;
  FormHandle h{};
};

// ---- Header records ----

TEST_F(FormFileTest, OpensTheHeaderAndItsBlocks) {
  uint8_t block[360];
  for (int i = 0; i < 360; ++i) block[i] = uint8_t(i);
  std::string colors;
  for (int i = 0; i < 16; ++i) colors += U32(0x00010203u * uint32_t(i));
  ASSERT_EQ(Open(H(1) + Rec('b', Bytes(block)) + Rec('a', colors) + Rec('M', "A memo") + P(1)), 0);

  FormInf inf;
  char title[41];
  ASSERT_EQ(QfaGetFormInf2(&h, &inf, title), 0);
  EXPECT_STREQ(title, "Form title");
  EXPECT_EQ(Bytes(inf), Bytes(MakeInf("Plan", 1)));
  EXPECT_EQ(form().header().rec.version, 1);  // kept as read; written back as 2
  EXPECT_STREQ(form().header().rec.font_names[1], "Gothic");
  EXPECT_EQ(int32_t{form().header().rec.created}, 1000);
  EXPECT_EQ(int32_t{form().header().rec.updated}, 2000);
  uint8_t got_block[360];
  ASSERT_EQ(QfaGetFormHeaderFooter(&h, got_block), 0);
  EXPECT_EQ(std::memcmp(got_block, block, 360), 0);
  uint32_t got_colors[16];
  ASSERT_EQ(QfaGetFormCColor(&h, got_colors), 0);
  EXPECT_EQ(got_colors[15], 0x00010203u * 15);
  char memo[2048];
  ASSERT_EQ(QfaGetFormMemo(&h, memo), 0);
  EXPECT_STREQ(memo, "A memo");
  EXPECT_EQ(QfaQueryFormUpdate(&h), 0);
  EXPECT_EQ(form().page_count(), 1);
}

TEST_F(FormFileTest, AnEmptyFormTitleBecomesTheInformationTitle) {
  ASSERT_EQ(Open(H(2, "") + P(1)), 0);
  EXPECT_STREQ(form().header().rec.title, "Plan");
}

TEST_F(FormFileTest, ReadsTheShortOlderHeader) {
  // The short layout is read whatever its version says.
  qs::HeaderRecord rec = MakeHeader(7, "", "Old plan");
  ASSERT_EQ(Open(Rec('H', OldHeaderBody(rec)) + P(1)), 0);
  const qs::HeaderRecord& got = form().header().rec;
  EXPECT_EQ(got.version, 7);
  EXPECT_STREQ(got.title, "Old plan");
  EXPECT_STREQ(got.font_names[0], "Mincho");
  EXPECT_EQ(int32_t{got.created}, 1000);
  EXPECT_EQ(int32_t{got.updated}, 2000);
}

TEST_F(FormFileTest, ReadsTheWideOlderHeaderWithItsFontNamesTwoBytesOn) {
  qs::HeaderRecord rec = MakeHeader(1, "", "Wide");
  // In this layout the font names started two bytes later.
  std::string body = OldHeaderBody(rec);
  const size_t fonts = 1 + offsetof(qs::HeaderRecord, font_names) - offsetof(qs::HeaderRecord, inf);
  body.insert(fonts, "\0\0", 2);
  body.resize(630, '\0');
  const int32_t before = qs::NowSeconds();
  ASSERT_EQ(Open(Rec('H', body) + P(1)), 0);
  const qs::HeaderRecord& got = form().header().rec;
  EXPECT_STREQ(got.title, "Wide");
  EXPECT_STREQ(got.font_names[0], "Mincho");
  EXPECT_STREQ(got.font_names[1], "Gothic");
  EXPECT_GE(int32_t{got.created}, before);
  EXPECT_EQ(int32_t{got.created}, int32_t{got.updated});
}

TEST_F(FormFileTest, AnEmptyMemoRecordGivesNoMemo) {
  ASSERT_EQ(Open(H() + Rec('M', "") + P(1)), 0);
  char memo[16] = "x";
  EXPECT_EQ(QfaGetFormMemo(&h, memo), -1);
  EXPECT_STREQ(memo, "");
}

TEST_F(FormFileTest, RejectsBrokenHeaders) {
  struct Case {
    const char* what;
    std::string bytes;
    int status;
  };
  const Case cases[] = {
      {"empty file", "", qs::kDamaged},
      {"first record a page", P(1) + H(), qs::kDamaged},
      {"version 3", H(3) + P(1), qs::kVersionTooNew},
      {"header of 250 bytes", Rec('H', std::string(250, '\0')) + P(1), qs::kDamaged},
      {"colour table of 60 bytes", H() + Rec('a', std::string(60, '\0')), qs::kDamaged},
      {"header/footer of 352 bytes", H() + Rec('b', std::string(352, '\0')), qs::kDamaged},
      {"memo beyond a record buffer", H() + Rec('M', std::string(2049, 'm')), qs::kDamaged},
      {"no mark", H() + "\x1C" + P(1).substr(1), qs::kDamaged},
      {"header cut short", H().substr(0, 100), qs::kDamaged},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Open(c.bytes), c.status);
    EXPECT_EQ(h.State, nullptr);
  }
}

TEST_F(FormFileTest, AFailedOpenGivesItsNumberBackAndLeavesNoScratchFile) {
  ASSERT_EQ(Open(H() + P(1)), 0);
  const uint32_t first = form().form_no();
  FormHandle failed{};
  // The second picture is cut short after the first has been extracted.
  site.WriteFile("flat/bad.QFD",
                 H() + P(1) + I("BMpicture") + I(std::string(100, 'x')).substr(0, 60));
  EXPECT_EQ(QfaOpenForm(&failed, (site.flat() + "bad.QFD").c_str()), qs::kPictureCopy);
  EXPECT_EQ(failed.State, nullptr);
  EXPECT_TRUE(site.WorkFiles().empty());
  FormHandle next{};
  ASSERT_EQ(QfaOpenForm(&next, (site.flat() + "t.QFD").c_str()), 0);
  EXPECT_EQ(Form::FromHandle(&next)->form_no(), first + 1);
  QfaCloseForm(&next);
}

TEST_F(FormFileTest, OpenResolvesBareNamesAndLeavesTheCallersStringAlone) {
  site.WriteFile("base/QFD/ABC.QFD", H() + P(1));
  const char name[] = "ABC";
  ASSERT_EQ(QfaOpenForm(&h, name), 0);
  EXPECT_STREQ(name, "ABC");
  Close();
  EXPECT_EQ(QfaOpenForm(&h, "missing"), qs::kNotFound);
  EXPECT_EQ(h.State, nullptr);
  // A name that does not fit a name buffer is not cut down to another name.
  EXPECT_EQ(QfaOpenForm(&h, (site.flat() + std::string(300, 'a')).c_str()), qs::kNotFound);
}

// ---- Pages ----

TEST_F(FormFileTest, PageRecordsMakeThePages) {
  ASSERT_EQ(Open(H() + P(3, 2) + Rec('z', "skipped")), 0);
  EXPECT_EQ(form().page_count(), 3);
  EXPECT_EQ(page(3).inf, 2);
  EXPECT_EQ(page(1).inf, 0);
  EXPECT_EQ(h.CurPage, 0);

  // Pages may come in any order but only once.
  EXPECT_EQ(Open(H() + P(2) + P(1) + P(3)), 0);
  EXPECT_EQ(Open(H() + P(1) + P(2) + P(1)), qs::kDamaged);
  EXPECT_EQ(Open(H() + P(0)), qs::kDamaged);
  EXPECT_EQ(Open(H() + Rec('P', U16(1) + U16(0) + "x")), qs::kDamaged);
  // Without any page record the form keeps the page it was opened with.
  ASSERT_EQ(Open(H()), 0);
  EXPECT_EQ(form().page_count(), 1);
}

TEST_F(FormFileTest, AnEleventhPageFailsWithThePageLimit) {
  std::string bytes = H();
  for (int i = 1; i <= 11; ++i) bytes += P(uint16_t(i));
  EXPECT_EQ(Open(bytes), qs::kPageLimit);
  EXPECT_EQ(h.State, nullptr);
  EXPECT_EQ(Open(H() + P(500)), qs::kPageLimit);
}

TEST_F(FormFileTest, ContentNeedsAPageAndAChartOfThatPage) {
  const qs::ChartInfRec head = ChartHead(3, 2);
  struct Case {
    const char* what;
    std::string bytes;
  };
  const Case cases[] = {
      {"chart before any page", H() + C(head)},
      {"figure before any page", H() + F(FigureBody(2))},
      {"row height without chart", H() + P(1) + Size('h', 1, 5)},
      {"column width without chart", H() + P(1) + Size('w', 1, 5)},
      {"lines without chart", H() + P(1) + L(0, 0, 3, Line(1, 0, 0))},
      {"cell without chart", H() + P(1) + Cell(1, 1)},
      {"chart of the page before", H() + P(1) + C(head) + P(2) + Size('w', 1, 5)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Open(c.bytes), qs::kDamaged);
    EXPECT_EQ(h.State, nullptr);
  }
}

// ---- Charts ----

TEST_F(FormFileTest, ReadsACompleteChart) {
  qs::ChartInfRec head = ChartHead(3, 2);
  head.flag = 9;
  const std::string cells = Cell(2, 1) + S("cell text") + Cell(3, 2, Attr(2, 7));
  ASSERT_EQ(Open(H() + P(1) + C(head, 2, 3) + Size('h', 2, 45) + Size('w', 1, 30) +
                 Size('w', 2, 55) + L(0, 1, 3, Line(4, 1, 2)) + L(1, 3, 2, Line(0, 0, 0)) + cells),
            0);
  const qs::ChartRec* chart = page().charts.Get(1);
  ASSERT_NE(chart, nullptr);
  ASSERT_EQ(page().data_count, 1);
  EXPECT_EQ(page().data[0], (qs::PageData{qs::kChart, 1}));
  EXPECT_EQ(chart->inf.flag, 9);
  EXPECT_EQ(chart->hr1, 2);
  EXPECT_EQ(chart->hr2, 3);
  EXPECT_EQ(chart->rhight[0], 20);
  EXPECT_EQ(chart->rhight[1], 45);
  EXPECT_EQ(chart->rowpos[2], 85);
  EXPECT_EQ(chart->cwidth[1], 55);
  EXPECT_EQ(chart->colpos[1], 85);
  EXPECT_EQ(chart->vlines.Get(2, 1).style, 4);
  EXPECT_EQ(chart->vlines.Get(2, 0).style, 1);  // the head's line where no record says otherwise
  EXPECT_EQ(chart->hlines.Get(3, 2).style, 0);
  EXPECT_EQ(uint16_t{chart->hlines.Get(2, 2).param}, 7);
  qs::CellAttr attr;
  ASSERT_EQ(page().cell_attrs.Get(chart->cell_attr[2][1], &attr), 0);
  EXPECT_EQ(Bytes(attr), Bytes(Attr()));
  EXPECT_EQ(page().strings.View(chart->cell_text[2][1]), "cell text");
  EXPECT_EQ(chart->cell_text[3][2], 0);
  EXPECT_NE(chart->cell_attr[3][2], 0);
  EXPECT_EQ(chart->cell_attr[1][1], 0);
}

TEST_F(FormFileTest, ACellFollowedByAnotherRecordHasNoTextAndTheRecordStillCounts) {
  const qs::ChartInfRec head = ChartHead(2, 2);
  ASSERT_EQ(Open(H() + P(1) + C(head) + Cell(1, 1) + Size('w', 2, 77)), 0);
  const qs::ChartRec* chart = page().charts.Get(1);
  EXPECT_NE(chart->cell_attr[1][1], 0);
  EXPECT_EQ(chart->cell_text[1][1], 0);
  EXPECT_EQ(chart->cwidth[1], 77);
}

TEST_F(FormFileTest, TheOlderChartHeadHasNoHrPair) {
  ASSERT_EQ(Open(H() + P(1) + Rec('C', Bytes(ChartHead(2, 2))) + Size('h', 1, 9)), 0);
  const qs::ChartRec* chart = page().charts.Get(1);
  EXPECT_EQ(chart->hr1, 0);
  EXPECT_EQ(chart->hr2, 0);
  EXPECT_EQ(chart->rhight[0], 9);
}

TEST_F(FormFileTest, RejectsWhatDoesNotFitTheChartsGrid) {
  const qs::ChartInfRec head = ChartHead(3, 2);
  const std::string start = H() + P(1) + C(head);
  struct Case {
    const char* what;
    std::string bytes;
  };
  const Case cases[] = {
      {"no rows", H() + P(1) + C(ChartHead(0, 2))},
      {"128 rows", H() + P(1) + C(ChartHead(128, 2))},
      {"128 columns", H() + P(1) + C(ChartHead(2, 128))},
      {"chart body of 30 bytes", H() + P(1) + Rec('C', Bytes(head) + "abc")},
      {"row 0", start + Size('h', 0, 5)},
      {"row beyond", start + Size('h', 4, 5)},
      {"column beyond", start + Size('w', 3, 5)},
      {"row height of 5 bytes", start + Rec('h', U16(1) + U16(5) + "x")},
      {"vertical boundary beyond", start + L(0, 3, 3, Line(1, 0, 0))},
      {"horizontal boundary beyond", start + L(1, 4, 2, Line(1, 0, 0))},
      {"vertical lines for 2 rows", start + L(0, 1, 2, Line(1, 0, 0))},
      {"horizontal lines for 3 columns", start + L(1, 1, 3, Line(1, 0, 0))},
      {"lines record of 2 bytes", start + Rec('l', "ab")},
      {"cell in row 4", start + Cell(4, 1)},
      {"cell in column 0", start + Cell(1, 0)},
      {"cell of 22 bytes", start + Rec('c', std::string(22, '\0'))},
      {"cell marked as a freed record", start + Cell(1, 1, Attr(0xFF)).replace(6 + 7, 1, "\xFF")},
      {"cell text of 256 bytes", start + Cell(1, 1) + S(std::string(256, 't'))},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Open(c.bytes), qs::kDamaged);
    EXPECT_EQ(h.State, nullptr);
  }
}

TEST_F(FormFileTest, APageTakesAtMost32Charts) {
  std::string bytes = H() + P(1);
  for (int i = 0; i < 32; ++i) bytes += C(ChartHead(1, 1));
  ASSERT_EQ(Open(bytes), 0);
  EXPECT_EQ(page().charts.Count(), 32);
  EXPECT_EQ(Open(bytes + C(ChartHead(1, 1))), qs::kRefused);
}

TEST_F(FormFileTest, ACellNamedTwiceKeepsTheLastAndLeavesNothingBehind) {
  ASSERT_EQ(Open(H() + P(1) + C(ChartHead(1, 1)) + Cell(1, 1) + S("first") + Cell(1, 1, Attr(3)) +
                 S("second") + Cell(1, 1, Attr(4))),
            0);
  const qs::ChartRec* chart = page().charts.Get(1);
  qs::CellAttr attr;
  ASSERT_EQ(page().cell_attrs.Get(chart->cell_attr[1][1], &attr), 0);
  EXPECT_EQ(attr.font.b0, 4);
  EXPECT_EQ(chart->cell_text[1][1], 0);
  EXPECT_EQ(page().cell_attrs.LiveCount(), 1);
  EXPECT_EQ(page().strings.LiveCount(), 0);
}

// ---- Texts, free cells, figures ----

TEST_F(FormFileTest, ReadsTextsAndFreeCells) {
  ASSERT_EQ(Open(H() + P(1) + T(TextBody()) + S("text one") + D(TextBody(3)) + S("free text") +
                 D(TextBody(4)) + T(TextBody(5)) + D(TextBody(1))),
            0);
  // The text without its string is dropped; the free cell after it still comes.
  ASSERT_EQ(page().data_count, 4);
  EXPECT_EQ(page().data[0], (qs::PageData{qs::kText, 1}));
  EXPECT_EQ(page().data[1], (qs::PageData{qs::kFreCell, 1}));
  EXPECT_EQ(page().data[2], (qs::PageData{qs::kFreCell, 2}));
  EXPECT_EQ(page().data[3], (qs::PageData{qs::kFreCell, 3}));
  const qs::TextRec* text = page().texts.Get(1);
  EXPECT_EQ(page().strings.View(text->text_id), "text one");
  EXPECT_EQ(Bytes(*text, 34), Bytes(TextBody(), 34));
  EXPECT_EQ(page().strings.View(page().fre_cells.Get(1)->text_id), "free text");
  EXPECT_EQ(uint16_t{page().fre_cells.Get(2)->text_id}, 0);
  EXPECT_EQ(page().fre_cells.Get(2)->font.b0, 4);
}

TEST_F(FormFileTest, VersionOneFilesLoseBitsThreeAndSevenOfTheFirstFontByte) {
  const std::string content =
      C(ChartHead(1, 1)) + Cell(1, 1, Attr(0xFF)) + T(TextBody(0xFF)) + S("t") + D(TextBody(0xFF));
  ASSERT_EQ(Open(H(1) + P(1) + content), 0);
  const qs::ChartRec* chart = page().charts.Get(1);
  qs::CellAttr attr;
  ASSERT_EQ(page().cell_attrs.Get(chart->cell_attr[1][1], &attr), 0);
  EXPECT_EQ(attr.font.b0, 0x77);
  EXPECT_EQ(attr.font.b1, 0x21);
  EXPECT_EQ(page().texts.Get(1)->font.b0, 0x77);
  EXPECT_EQ(page().fre_cells.Get(1)->font.b0, 0x77);

  // Version 2 keeps the bytes (a cell needs a font that is not the pool's free mark).
  ASSERT_EQ(Open(H(2) + P(1) + T(TextBody(0xFF)) + S("t") + D(TextBody(0x88))), 0);
  EXPECT_EQ(page().texts.Get(1)->font.b0, 0xFF);
  EXPECT_EQ(page().fre_cells.Get(1)->font.b0, 0x88);
}

TEST_F(FormFileTest, ReadsFiguresOfBothLayouts) {
  const qs::FigureRec two = FigureBody(2);
  const qs::FigureRec one = FigureBody(1);
  // The older layout has no leading byte; its shape 1 lacked two bytes before the geometry.
  const std::string old_two = Rec('F', Bytes(two));
  const std::string old_one = Rec('F', Bytes(one));
  ASSERT_EQ(Open(H() + P(1) + F(two) + old_two + old_one), 0);
  ASSERT_EQ(page().figures.Count(), 3);
  EXPECT_EQ(Bytes(*page().figures.Get(1)), Bytes(two));
  EXPECT_EQ(Bytes(*page().figures.Get(2)), Bytes(two));
  const qs::FigureRec& moved = *page().figures.Get(3);
  EXPECT_EQ(moved.shape, 1);
  EXPECT_EQ(moved.fill, 0);
  EXPECT_EQ(moved.color2, 0);
  EXPECT_EQ(moved.color1, one.color1);
  EXPECT_EQ(moved.geometry[0], one.fill);
  EXPECT_EQ(moved.geometry[1], one.color2);
  EXPECT_EQ(moved.geometry[2], one.geometry[0]);
  EXPECT_EQ(moved.geometry[23], one.geometry[21]);

  EXPECT_EQ(Open(H() + P(1) + Rec('F', std::string(33, '\0'))), qs::kDamaged);
  EXPECT_EQ(Open(H() + P(1) + Rec('F', std::string(30, '\0'))), qs::kDamaged);
}

TEST_F(FormFileTest, ExtractsPicturesIntoScratchFiles) {
  std::string bmp = "BM";
  for (int i = 0; i < 25000; ++i) bmp += char(i * 13);
  ASSERT_EQ(Open(H() + P(1) + I(bmp, 4) + I("plain bytes")), 0);
  ASSERT_EQ(page().ins_figures.Count(), 2);
  const qs::InsFigureRec& first = *page().ins_figures.Get(1);
  EXPECT_EQ(first.mode, 4);
  EXPECT_EQ(int32_t{first.geometry[8]}, 80);
  const std::string name = first.file_name;
  EXPECT_EQ(name.substr(0, site.work().size()), site.work());
  EXPECT_EQ(name.substr(name.size() - 4), ".bmp");
  EXPECT_EQ(ReadFile(name), bmp);
  EXPECT_EQ(ReadFile(page().ins_figures.Get(2)->file_name), "plain bytes");
  EXPECT_EQ(site.WorkFiles().size(), 2u);

  EXPECT_EQ(Open(H() + P(1) + Rec('I', std::string(37, '\0'))), qs::kDamaged);
  EXPECT_EQ(Open(H() + P(1) + I(bmp).substr(0, 20000)), qs::kPictureCopy);
  EXPECT_TRUE(site.WorkFiles().empty());
}

TEST_F(FormFileTest, APictureThatCannotBeWrittenFailsTheOpen) {
  const std::string file = H() + P(1) + I("BM" + std::string(kPicturePiece * 2, 'b'));
  qs::test::FaultEnv faults;
  qs::test::ScopedEnv use(&faults);
  faults.FailCreates(true);
  EXPECT_EQ(Open(file), qs::kPictureCopy);
  EXPECT_EQ(h.State, nullptr);
  faults.Reset();
  faults.FailWriteNumber(2);  // the picture's second piece
  EXPECT_EQ(Open(file), qs::kPictureCopy);
  EXPECT_EQ(faults.failures(), 1);
  EXPECT_EQ(h.State, nullptr);
  EXPECT_TRUE(site.WorkFiles().empty());
}

TEST_F(FormFileTest, SkipsRecordsItDoesNotKnow) {
  const std::string unknown = Rec('z', "abc") + Rec('\0', "") + Rec('\0', "zero tag") +
                              Rec('x', std::string(5000, 'x')) + S(std::string(3000, 's'));
  ASSERT_EQ(Open(H() + unknown + P(1) + C(ChartHead(2, 2)) + unknown + Size('w', 2, 66) +
                 T(TextBody()) + S("after")),
            0);
  EXPECT_EQ(page().charts.Get(1)->cwidth[1], 66);
  EXPECT_EQ(page().texts.Count(), 1);
  EXPECT_EQ(Open(H() + P(1) + Rec('z', "abc").substr(0, 8)), qs::kDamaged);
  EXPECT_EQ(Open(H() + P(1) + "\x1Bz\xFF\xFF\xFF\xFF"), qs::kDamaged);
}

// ---- Writing ----

// A canonical file of every kind of content; open-then-save must give it back byte for byte.
std::string CanonicalFile(const std::string& picture) {
  qs::ChartInfRec head = ChartHead(3, 2);
  std::string cells = Cell(1, 2) + S("one-two") + Cell(3, 1, Attr(2, 9));
  qs::TextRec text = TextBody();
  std::string colors;
  for (int i = 0; i < 16; ++i) colors += U32(0x00100000u + uint32_t(i));
  return H288(MakeHeader(2, "Title", "Plan"), 2) + Rec('b', std::string(360, 'b')) +
         Rec('a', colors) + Rec('M', "memo text") + P(1, 1) +
         FullChart(head, cells, Size('h', 3, 44)) + T(text) + S("text") + D(TextBody(3)) +
         F(FigureBody(1)) + I(picture) + D(TextBody(4)) + S("free") + P(2, 2) +
         FullChart(ChartHead(1, 1));
}

TEST_F(FormFileTest, SavingWhatWasReadGivesTheSameBytes) {
  const std::string file = CanonicalFile("BMpicture bytes");
  ASSERT_EQ(Open(file), 0);
  EXPECT_EQ(SaveBytes(), file);
}

TEST_F(FormFileTest, WritesAThreeByTwoChartAsItsRecords) {
  ASSERT_EQ(Open(H() + P(1) + C(ChartHead(3, 2))), 0);
  const std::vector<Record> records = Records(SaveBytes());
  std::string tags;
  for (const Record& r : records) tags += r.tag;
  EXPECT_EQ(tags, "HPCwwlllllll");
  EXPECT_EQ(records[0].body.size(), 288u);
  EXPECT_EQ(records[0].body[0], 2);
  EXPECT_EQ(records[2].body.size(), 31u);
  for (int i = 5; i < 8; ++i) {
    EXPECT_EQ(records[i].body.size(), 15u);
    EXPECT_EQ(records[i].body[0], 0);
    EXPECT_EQ(records[i].body[1], i - 5);
  }
  for (int i = 8; i < 12; ++i) {
    EXPECT_EQ(records[i].body.size(), 11u);
    EXPECT_EQ(records[i].body[0], 1);
    EXPECT_EQ(records[i].body[1], i - 8);
  }
}

TEST_F(FormFileTest, WritesVersionTwoAndThePageCount) {
  std::string bytes = H(1) + P(1) + P(2) + P(3);
  ASSERT_EQ(Open(bytes), 0);
  const std::vector<Record> records = Records(SaveBytes());
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(records[0].body[0], 2);
  EXPECT_EQ(records[0].body.substr(286), U16(3));
}

TEST_F(FormFileTest, AMemoIsWrittenWholeAndAnEmptyOneNotAtAll) {
  ASSERT_EQ(Open(H() + P(1)), 0);
  ASSERT_EQ(Records(SaveBytes()).size(), 2u);
  const std::string memo(100, 'm');
  ASSERT_EQ(QfaPutFormMemo(&h, memo.c_str()), 0);
  const std::vector<Record> records = Records(SaveBytes());
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[1].tag, 'M');
  EXPECT_EQ(records[1].body, memo);
  ASSERT_EQ(Open(SaveBytes()), 0);
  char back[2048];
  ASSERT_EQ(QfaGetFormMemo(&h, back), 0);
  EXPECT_EQ(back, memo);
}

TEST_F(FormFileTest, AFullMemoRecordStillFitsTheMemoBuffer) {
  // 2048 bytes without a NUL: what comes back is cut so that it and its NUL fit 2048 bytes.
  ASSERT_EQ(Open(H() + Rec('M', std::string(2048, 'q')) + P(1)), 0);
  char back[2049];
  back[2048] = 'X';
  ASSERT_EQ(QfaGetFormMemo(&h, back), 0);
  EXPECT_EQ(std::string(back), std::string(2047, 'q'));
  EXPECT_EQ(back[2048], 'X');
}

// ---- Round trips through the public calls ----

// Everything the public calls report about a form, in page and page-data order. Entry numbers are
// left out: a reopened form numbers its items afresh.
std::string Snapshot(FormHandle* h) {
  std::string out;
  FormInf inf;
  char title[41];
  EXPECT_EQ(QfaGetFormInf2(h, &inf, title), 0);
  out += Bytes(inf) + title + '|';
  uint32_t colors[16] = {};
  out += std::to_string(QfaGetFormCColor(h, colors)) + Bytes(colors);
  uint8_t block[360] = {};
  out += std::to_string(QfaGetFormHeaderFooter(h, block)) + Bytes(block);
  char memo[2048];
  out += std::to_string(QfaGetFormMemo(h, memo)) + memo + '|';
  FormDateTime created, updated;
  EXPECT_EQ(QfaGetFormDateTime(h, &created, &updated), 0);
  out += Bytes(created) + Bytes(updated);

  const int pages = QfaGetPageCount(h);
  for (int p = 1; p <= pages; ++p) {
    EXPECT_EQ(QfaPutCurPage(h, p), 0);
    PageInf page_inf;
    EXPECT_EQ(QfaGetPageInf(h, &page_inf), 0);
    out += "\nP" + Bytes(page_inf);
    const int count = QfaGetPageDataCount(h);
    for (int i = 1; i <= count; ++i) {
      uint16_t entry = 0;
      EXPECT_EQ(QfaGetPageData(h, i, &entry), 0);
      const uint8_t kind = uint8_t(entry);
      out += "\n" + std::to_string(kind) + ":";
      char text[256];
      switch (kind) {
        case qs::kChart: {
          ChartInf chart;
          EXPECT_EQ(QfaGetChartInf(h, entry, &chart), 0);
          uint16_t hr1, hr2;
          EXPECT_EQ(QfaGetChartHR(h, entry, &hr1, &hr2), 0);
          out += Bytes(chart) + U16(hr1) + U16(hr2);
          const int rows = chart.Rows, cols = chart.Cols;
          for (int r = 1; r <= rows; ++r) {
            uint16_t height;
            EXPECT_EQ(QfaGetChartRHight(h, entry, uint16_t(r), &height), 0);
            out += U16(height);
          }
          for (int c = 1; c <= cols; ++c) {
            uint16_t width;
            EXPECT_EQ(QfaGetChartCWidth(h, entry, uint16_t(c), &width), 0);
            out += U16(width);
          }
          ChartLine line;
          for (int r = 1; r <= rows; ++r)
            for (int k = 0; k <= cols; ++k) {
              EXPECT_EQ(QfaGetChartVline(h, entry, uint16_t(r), uint16_t(k), &line), 0);
              out += Bytes(line);
            }
          for (int k = 0; k <= rows; ++k)
            for (int c = 1; c <= cols; ++c) {
              EXPECT_EQ(QfaGetChartHline(h, entry, uint16_t(k), uint16_t(c), &line), 0);
              out += Bytes(line);
            }
          for (int r = 1; r <= rows; ++r)
            for (int c = 1; c <= cols; ++c) {
              ChartCell cell{};
              text[0] = '\0';
              out +=
                  std::to_string(QfaGetChartCell(h, entry, uint16_t(r), uint16_t(c), &cell, text));
              out += Bytes(cell) + text + '|';
            }
          break;
        }
        case qs::kText: {
          Text rec;
          EXPECT_EQ(QfaGetText(h, entry, &rec, text), 0);
          out += Bytes(rec) + text;
          break;
        }
        case qs::kFreCell: {
          FreCell rec;
          EXPECT_EQ(QfaGetFreCell(h, entry, &rec, text), 0);
          out += Bytes(rec) + text;
          break;
        }
        case qs::kFigure: {
          Figure rec;
          EXPECT_EQ(QfaGetFigure(h, entry, &rec), 0);
          out += Bytes(rec);
          break;
        }
        case qs::kInsFigure: {
          InsFigure rec;
          char name[256];
          EXPECT_EQ(QfaGetInsFigure(h, entry, &rec, name), 0);
          out += Bytes(rec) + ReadFile(name);
          break;
        }
      }
    }
  }
  return out;
}

Text MakeText(int32_t left, const char* font) {
  Text rec{};
  rec.Left = left;
  rec.Top = 40;
  rec.Right = left + 200;
  rec.Bottom = 90;
  rec.Font = qs_test::Font(font);
  rec.Font.Value5 = 17;
  rec.Font.ValueC = 1;
  rec.Attr[2] = 300;
  rec.Color1 = 0x000000FF;
  rec.Mode = 2;
  rec.Color2 = 0x00FF0000;
  return rec;
}

// A form with every kind of content, made through the public calls.
void BuildEveryKind(FormHandle* h, const std::string& picture) {
  FormInf inf = MakeInf("Plan", 1);
  ASSERT_EQ(QfaCreateForm(h, &inf), 0);
  ASSERT_EQ(QfaPutFormInf2(h, &inf, "Form title"), 0);
  uint32_t colors[16];
  for (int i = 0; i < 16; ++i) colors[i] = 0x00102030u * uint32_t(i + 1);
  ASSERT_EQ(QfaPutFormCColor(h, colors), 0);
  uint8_t block[360];
  for (int i = 0; i < 360; ++i) block[i] = uint8_t(i * 3);
  ASSERT_EQ(QfaPutFormHeaderFooter(h, block), 0);
  ASSERT_EQ(QfaPutFormMemo(h, "A memo of the form"), 0);

  PageInf first{1, 0};
  ASSERT_EQ(QfaInsertFormPage(h, 0, &first), 0);
  ChartInf chart{};
  chart.Left = 10;
  chart.Top = 20;
  chart.Right = 310;
  chart.Rows = 3;
  chart.Cols = 2;
  chart.RowHight = 25;
  chart.LineStyle = 1;
  chart.LineParam = 3;
  chart.LineColor = colors[4];
  uint16_t grid = 0;
  ASSERT_EQ(QfaAddChart(h, &chart, &grid), 0);
  ASSERT_EQ(QfaPutChartRHight(h, grid, 2, 45), 0);
  ASSERT_EQ(QfaPutChartCWidth(h, grid, 1, 77), 0);
  ASSERT_EQ(QfaInsertChartR(h, grid, 1, 1, 33), 0);
  ASSERT_EQ(QfaPutChartHR(h, grid, 2, 4), 0);
  ChartInf changed;
  ASSERT_EQ(QfaGetChartInf(h, grid, &changed), 0);
  changed.Flag = 5;
  changed.RowHight = 33;
  ASSERT_EQ(QfaPutChartInf(h, grid, &changed), 0);
  const ChartLine none{0, 0, 0};
  const ChartLine thick{3, 9, colors[7]};
  ASSERT_EQ(QfaPutChartVline(h, grid, 2, 1, &none), 0);
  ASSERT_EQ(QfaPutChartHline(h, grid, 4, 2, &thick), 0);
  ChartCell cell{};
  cell.Kind = 1;
  cell.Font = qs_test::Font("Gothic");
  cell.Font.Value3 = 5;
  cell.Attr[5] = 0xBEEF;
  cell.Color1 = colors[9];
  cell.Mode = 4;
  cell.Color2 = colors[2];
  ASSERT_EQ(QfaPutChartCell(h, grid, 1, 2, &cell, "one-two"), 0);
  cell.Font = qs_test::Font("Mincho");
  ASSERT_EQ(QfaPutChartCell(h, grid, 4, 1, &cell, ""), 0);
  ASSERT_EQ(QfaPutChartCell(h, grid, 2, 1, &cell, "merged"), 0);

  uint16_t entry = 0;
  const Text rec1 = MakeText(5, "Gothic");
  ASSERT_EQ(QfaAddText(h, &rec1, "a text", &entry), 0);
  Text titled = MakeText(6, "Mincho");
  titled.Kind = 1;
  ASSERT_EQ(QfaAddText(h, &titled, "ignored", &entry), 0);
  const Text rec2 = MakeText(7, "Gothic");
  ASSERT_EQ(QfaAddFreCell(h, &rec2, "free text", &entry), 0);
  const Text rec3 = MakeText(8, "Gothic");
  ASSERT_EQ(QfaAddFreCell(h, &rec3, "", &entry), 0);
  Figure figure{};
  figure.Shape = 1;
  figure.Style = 2;
  figure.Param = 0x1234;
  figure.Color1 = colors[3];
  figure.Fill = 1;
  figure.Color2 = colors[15];
  for (int i = 0; i < 24; ++i) figure.Geometry[i] = uint8_t(200 - i);
  uint16_t figure_entry = 0;
  ASSERT_EQ(QfaAddFigure(h, &figure, &figure_entry), 0);
  InsFigure placed{};
  for (int i = 0; i < 9; ++i) placed.Geometry[i] = -i * 1000;
  placed.Mode = 2;
  char path[256];
  std::snprintf(path, sizeof path, "%s", picture.c_str());
  ASSERT_EQ(QfaAddInsFigure(h, &placed, path, &entry), 0);
  ASSERT_EQ(QfaMoveTopPageData(h, figure_entry), 0);

  PageInf second{0, 1};
  ASSERT_EQ(QfaInsertFormPage(h, 1, &second), 0);
  PageInf third{1, 1};
  ASSERT_EQ(QfaInsertFormPage(h, 1, &third), 0);
  uint16_t gone = 0, kept = 0;
  chart.Rows = 1;
  chart.Cols = 4;
  ASSERT_EQ(QfaAddChart(h, &chart, &gone), 0);
  ASSERT_EQ(QfaAddChart(h, &chart, &kept), 0);
  ASSERT_EQ(QfaDeletePageData(h, gone), 0);  // the kept chart is number 2 until the file is read
  ASSERT_EQ(QfaPutCurPage(h, 1), 0);
}

TEST_F(FormFileTest, SaveThenOpenGivesBackEveryKindOfContent) {
  std::string picture = "\x89PNG";
  picture.resize(3 * kPicturePiece + 11, 'q');
  const std::string picture_path = site.WriteFile("picture.png", picture);
  BuildEveryKind(&h, picture_path);
  const std::string before = Snapshot(&h);
  const std::string saved = SaveBytes("every.QFD");

  FormHandle reopened{};
  ASSERT_EQ(QfaOpenForm(&reopened, (site.root() + "every.QFD").c_str()), 0);
  EXPECT_EQ(QfaQueryFormUpdate(&reopened), 0);
  EXPECT_EQ(QfaGetPageCount(&reopened), 3);
  EXPECT_EQ(Snapshot(&reopened), before);
  std::string again_path = site.root() + "again.QFD";
  ASSERT_EQ(QfaSaveForm(&reopened, &again_path[0]), 0);
  EXPECT_EQ(ReadFile(again_path), saved);
  QfaCloseForm(&reopened);
}

TEST_F(FormFileTest, TextsWithoutStringAreNotWrittenAndFreeCellsWithoutOneHaveNoString) {
  FormInf inf{};  // an empty title: a text bound to it has no string either
  ASSERT_EQ(QfaCreateForm(&h, &inf), 0);
  PageInf page_inf{};
  ASSERT_EQ(QfaInsertFormPage(&h, 0, &page_inf), 0);
  uint16_t entry;
  const Text rec4 = MakeText(1, "Gothic");
  ASSERT_EQ(QfaAddText(&h, &rec4, "", &entry), 0);
  Text titled = MakeText(2, "Gothic");
  titled.Kind = 1;
  ASSERT_EQ(QfaAddText(&h, &titled, "not the title", &entry), 0);
  const Text rec5 = MakeText(3, "Gothic");
  ASSERT_EQ(QfaAddFreCell(&h, &rec5, "", &entry), 0);
  const Text rec6 = MakeText(4, "Gothic");
  ASSERT_EQ(QfaAddText(&h, &rec6, "kept", &entry), 0);
  std::string tags;
  for (const Record& r : Records(SaveBytes())) tags += r.tag;
  EXPECT_EQ(tags, "HPDTs");
}

TEST_F(FormFileTest, AChartWhoseOnlyRowWasDeletedIsLeftOut) {
  FormInf inf{};
  ASSERT_EQ(QfaCreateForm(&h, &inf), 0);
  PageInf page_inf{};
  ASSERT_EQ(QfaInsertFormPage(&h, 0, &page_inf), 0);
  ChartInf chart{};
  chart.Right = 100;
  chart.Rows = 1;
  chart.Cols = 2;
  chart.RowHight = 20;
  uint16_t empty = 0, full = 0;
  ASSERT_EQ(QfaAddChart(&h, &chart, &empty), 0);
  ASSERT_EQ(QfaAddChart(&h, &chart, &full), 0);
  ASSERT_EQ(QfaDeleteChartR(&h, empty, 1), 0);
  const std::string saved = SaveBytes();
  ASSERT_EQ(Records(saved)[2].tag, 'C');
  ASSERT_EQ(Open(saved), 0);
  EXPECT_EQ(QfaGetPageDataCount(&h), 1);
}

// ---- Saving ----

TEST_F(FormFileTest, SaveAppendsTheExtensionAndResetsTheCount) {
  ASSERT_EQ(Open(H() + P(1)), 0);
  ASSERT_EQ(QfaPutFormMemo(&h, "changed"), 0);
  ASSERT_EQ(QfaQueryFormUpdate(&h), 1);
  char name[256];
  std::snprintf(name, sizeof name, "%ssaved", site.root().c_str());
  ASSERT_EQ(QfaSaveForm(&h, name), 0);
  EXPECT_EQ(std::string(name), site.root() + "saved.QFD");
  EXPECT_TRUE(FileExists(name));
  EXPECT_EQ(QfaQueryFormUpdate(&h), 0);
  // A name with a '.' anywhere keeps it as it is.
  std::snprintf(name, sizeof name, "%sdir.x/plan", site.root().c_str());
  qs::CurrentEnv()->CreateDirectories(site.root() + "dir.x");
  ASSERT_EQ(QfaSaveForm(&h, name), 0);
  EXPECT_TRUE(FileExists(site.root() + "dir.x/plan"));
}

TEST_F(FormFileTest, ASaveWithoutPagesWritesNothingAndKeepsTheCount) {
  FormInf inf{};
  ASSERT_EQ(QfaCreateForm(&h, &inf), 0);
  ASSERT_EQ(QfaPutFormMemo(&h, "memo"), 0);
  char name[256];
  std::snprintf(name, sizeof name, "%sempty", site.root().c_str());
  EXPECT_EQ(QfaSaveForm(&h, name), qs::kNoPages);
  EXPECT_EQ(std::string(name), site.root() + "empty.QFD");
  EXPECT_FALSE(FileExists(name));
  EXPECT_EQ(QfaQueryFormUpdate(&h), 1);
}

class FailedSaveTest : public FormFileTest {
 protected:
  void SetUp() override {
    // The picture is large enough for a save to take several writes.
    ASSERT_EQ(Open(CanonicalFile("BM" + std::string(40000, 'p'))), 0);
    target = site.root() + "kept.QFD";
    previous = "previous contents";
    site.WriteFile("kept.QFD", previous);
    ASSERT_EQ(QfaPutFormMemo(&h, "changed"), 0);
  }
  // The save failed: the previous file is as it was, no temporary file is left, and the form
  // still counts its change.
  void ExpectNothingChanged() {
    EXPECT_EQ(ReadFile(target), previous);
    std::vector<std::string> names;
    ASSERT_TRUE(qs::CurrentEnv()->ListDirectory(site.root(), &names));
    for (const std::string& n : names)
      EXPECT_TRUE(n == "kept.QFD" || n == "elsewhere.QFD" || n == "work" || n == "base" ||
                  n == "flat")
          << n;
    EXPECT_EQ(QfaQueryFormUpdate(&h), 1);
  }
  int Save() { return QfaSaveForm(&h, &target[0]); }

  std::string target, previous;
  qs::test::FaultEnv faults;
};

TEST_F(FailedSaveTest, IntoADirectoryThatDoesNotExist) {
  std::string path = site.root() + "missing/x.QFD";
  EXPECT_EQ(QfaSaveForm(&h, &path[0]), qs::kCannotOpen);
  EXPECT_FALSE(FileExists(site.root() + "missing"));
  ExpectNothingChanged();
}

TEST_F(FailedSaveTest, WhenAWriteFails) {
  qs::test::ScopedSwitch use(site.item_env(), &faults);
  std::string elsewhere = site.root() + "elsewhere.QFD";
  ASSERT_EQ(QfaSaveForm(&h, &elsewhere[0]), 0);
  ASSERT_EQ(QfaPutFormMemo(&h, "changed again"), 0);
  const int writes = faults.writes();
  ASSERT_GE(writes, 3);
  for (int n = 1; n <= writes; ++n) {
    SCOPED_TRACE(n);
    faults.Reset();
    faults.FailWriteNumber(n);
    EXPECT_EQ(Save(), qs::kDamaged);
    ExpectNothingChanged();
  }
}

TEST_F(FailedSaveTest, WhenTheFileCannotBeCreatedSyncedOrRenamed) {
  qs::test::ScopedSwitch use(site.item_env(), &faults);
  faults.FailCreates(true);
  EXPECT_EQ(Save(), qs::kCannotOpen);
  ExpectNothingChanged();
  faults.Reset();
  faults.FailSyncs(true);
  EXPECT_EQ(Save(), qs::kDamaged);
  ExpectNothingChanged();
  faults.Reset();
  faults.FailRenames(true);
  EXPECT_EQ(Save(), qs::kCannotOpen);
  ExpectNothingChanged();
  faults.Reset();
  EXPECT_EQ(Save(), 0);
  EXPECT_EQ(QfaQueryFormUpdate(&h), 0);
}

TEST_F(FailedSaveTest, WhenAPictureHasGone) {
  const std::string picture = page().ins_figures.Get(1)->file_name;
  ASSERT_TRUE(qs::CurrentEnv()->Delete(picture));
  EXPECT_EQ(Save(), qs::kPictureCopy);
  ExpectNothingChanged();
  // An empty picture could not be read back either.
  ASSERT_TRUE(qs::WriteWholeFile(qs::CurrentEnv(), picture, ""));
  EXPECT_EQ(Save(), qs::kPictureCopy);
  ExpectNothingChanged();
}

// ---- Truncated files ----

TEST_F(FormFileTest, EveryPrefixOfAFileOpensOrFailsCleanly) {
  std::string picture = "GIF89a";
  picture.resize(kPicturePiece + 500, 'p');  // extracted in two pieces
  const std::string file = CanonicalFile(picture);
  for (size_t n = 0; n <= file.size(); ++n) {
    const int status = Open(file.substr(0, n));
    // Ending inside a picture's bytes is a picture that could not be written out in full.
    ASSERT_TRUE(status == 0 || status == qs::kDamaged || status == qs::kPictureCopy)
        << "prefix " << n << ": " << status;
    ASSERT_EQ(h.State == nullptr, status != 0) << n;
    if (status != 0) {
      ASSERT_TRUE(site.WorkFiles().empty()) << n;
    }
  }
}

// ---- Direct header calls ----

TEST_F(FormFileTest, GetFormInfDirectReadsOnlyTheHeader) {
  site.WriteFile("base/QFD/direct.QFD", CanonicalFile("BMx"));
  FormInf inf{};
  char title[41];
  ASSERT_EQ(QfaGetFormInfDirect("direct", &inf, title), 0);
  EXPECT_STREQ(title, "Title");
  EXPECT_EQ(Bytes(inf), Bytes(MakeInf("Plan", 1)));
  EXPECT_TRUE(site.WorkFiles().empty());

  site.WriteFile("flat/old.QFD", Rec('H', OldHeaderBody(MakeHeader(1, "", "Older"))));
  ASSERT_EQ(QfaGetFormInfDirect("old", &inf, title), 0);
  EXPECT_STREQ(title, "Older");
}

TEST_F(FormFileTest, GetFormInfDirectReportsDamage) {
  FormInf inf = MakeInf("untouched");
  char title[41] = "x";
  EXPECT_EQ(QfaGetFormInfDirect("nothing", &inf, title), qs::kNotFound);
  struct Case {
    const char* what;
    std::string bytes;
    int status;
  };
  const Case cases[] = {
      {"version 3", H(3) + P(1), qs::kVersionTooNew},
      {"empty", "", qs::kDamaged},
      {"page first", P(1), qs::kDamaged},
      {"colour table of 63 bytes", H() + Rec('a', std::string(63, '\0')), qs::kDamaged},
      {"header/footer cut short", H() + Rec('b', std::string(360, '\0')).substr(0, 100),
       qs::kDamaged},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    site.WriteFile("flat/bad.QFD", c.bytes);
    std::strcpy(title, "x");
    EXPECT_EQ(QfaGetFormInfDirect("bad", &inf, title), c.status);
    EXPECT_STREQ(title, "");
    EXPECT_STREQ(inf.Title, "untouched");
  }
  // The scan stops at the first record that is not a header record; what follows is not read.
  site.WriteFile("flat/bad.QFD", H() + P(1) + Rec('a', "short"));
  EXPECT_EQ(QfaGetFormInfDirect("bad", &inf, title), 0);
}

TEST_F(FormFileTest, PutFormInfDirectPatchesOnlyTheInformationAndTitle) {
  const std::string original = CanonicalFile("BMx");
  const std::string path = site.WriteFile("base/QFD/patch.QFD", original);
  const FormInf inf = MakeInf("New plan", 3);
  const std::string long_title = "A new title that is longer than forty bytes";
  ASSERT_EQ(QfaPutFormInfDirect("patch", &inf, long_title.c_str()), 0);
  std::string expected = original;
  const size_t title_at = 6 + offsetof(qs::HeaderRecord, title);
  expected.replace(title_at, 41, long_title.substr(0, 40) + '\0');
  expected.replace(6 + offsetof(qs::HeaderRecord, inf), sizeof inf, Bytes(inf));
  EXPECT_EQ(ReadFile(path), expected);

  FormInf got;
  char got_title[41];
  ASSERT_EQ(QfaGetFormInfDirect("patch", &got, got_title), 0);
  EXPECT_EQ(got_title, long_title.substr(0, 40));
  EXPECT_EQ(Bytes(got), Bytes(inf));
}

TEST_F(FormFileTest, PutFormInfDirectNeedsTheCurrentHeaderLayout) {
  const std::string old = Rec('H', OldHeaderBody(MakeHeader(1, "", "Old"))) + P(1);
  const std::string path = site.WriteFile("flat/old.QFD", old);
  const FormInf inf = MakeInf("New");
  EXPECT_EQ(QfaPutFormInfDirect("old", &inf, "t"), qs::kRefused);
  EXPECT_EQ(ReadFile(path), old);
  EXPECT_EQ(QfaPutFormInfDirect("nothing", &inf, "t"), qs::kNotFound);
  site.WriteFile("flat/short.QFD", H().substr(0, 200));
  EXPECT_EQ(QfaPutFormInfDirect("short", &inf, "t"), qs::kRefused);
}

// ---- The fuzz targets' seed corpus ----

// The seeds are files the writer makes (plus the older header layouts, which it never writes). The
// committed corpus must match what the writer writes today; QSTORE_UPDATE_CORPUS=1 rewrites it.
TEST_F(FormFileTest, SeedCorpusIsWhatTheWriterWrites) {
  struct Seed {
    const char* name;
    std::string source;  // opened and saved again, or taken as it is when `as_is`
    bool as_is = false;
  };
  std::string ten_pages = H();
  for (int i = 10; i >= 1; --i) ten_pages += P(uint16_t(i), uint16_t(i % 4)) + F(FigureBody(3));
  qs::ChartInfRec wide = ChartHead(2, 5, 12, 40);
  std::string wide_body = OldHeaderBody(MakeHeader(1, "", "Wide"));
  wide_body.resize(630, '\0');
  const Seed form_seeds[] = {
      {"minimal", H() + P(1)},
      {"every_kind", CanonicalFile("BM" + std::string(300, '\x42'))},
      {"version1_fonts", H(1) + P(1) + C(ChartHead(1, 1)) + Cell(1, 1, Attr(0xFF)) +
                             T(TextBody(0xFF)) + S("t") + D(TextBody(0xFE))},
      {"ten_pages", ten_pages},
      // Read in three pieces; the fuzzer needs -max_len above the default 4096 to keep it.
      {"large_picture", H() + P(1) + I("BM" + std::string(2 * kPicturePiece + 100, 'p'))},
      {"older_records", H() + P(1) + Rec('C', Bytes(wide)) + Rec('F', Bytes(FigureBody(1))) +
                            Cell(2, 5) + S("old") + Rec('z', "unknown")},
      {"short_header", Rec('H', OldHeaderBody(MakeHeader(2, "", "Short"))) + P(1), true},
      {"wide_header", Rec('H', wide_body) + P(1), true},
  };
  const Seed header_seeds[] = {
      {"minimal", H() + P(1)},
      {"blocks", H(2, "") + Rec('b', std::string(360, 'h')) + Rec('a', std::string(64, 'c')) +
                     Rec('M', "memo") + P(1)},
      {"short_header", Rec('H', OldHeaderBody(MakeHeader(2, "", "Short"))), true},
      {"wide_header", Rec('H', wide_body), true},
  };
  const bool update = std::getenv("QSTORE_UPDATE_CORPUS") != nullptr;
  auto check = [&](const char* dir, const Seed& seed) {
    SCOPED_TRACE(seed.name);
    std::string bytes = seed.source;
    if (!seed.as_is) {
      ASSERT_EQ(Open(seed.source), 0);
      bytes = SaveBytes();
    }
    const std::string path =
        std::string(QSTORE_SOURCE_DIR) + "/fuzz/corpus/" + dir + "/" + seed.name;
    if (update) {
      ASSERT_TRUE(qs::WriteWholeFile(qs::CurrentEnv(), path, bytes));
    } else {
      EXPECT_EQ(ReadFile(path), bytes);
    }
  };
  for (const Seed& seed : form_seeds) check("form", seed);
  for (const Seed& seed : header_seeds) check("header", seed);
}

// ---- Answers callers branch on ----

// Each call answers as the interface says, also where a refusal would have been the safer-looking
// answer; the safety stays (nothing overflows, a refused add takes no font slot).
TEST_F(FormFileTest, GivesTheInterfacesAnswers) {
  PageInf inf{};
  uint16_t entry = 0;
  auto add = [&](bool text, const char* font) {
    Text t{};
    t.Font = qs_test::Font(font);
    return text ? QfaAddText(&h, &t, font, &entry) : QfaAddFreCell(&h, &t, font, &entry);
  };
  // Fills the text or free-cell table, every slot's font in use; then adds one more.
  auto full_table = [&](bool text, const char* font) {
    const char* fonts[] = {"F1", "F2", "F3", "F4", "F5"};
    for (int i = 0; i < 32; ++i) EXPECT_EQ(add(text, fonts[i % 5]), 0);
    const int status = add(text, font);
    for (const auto& name : form().header().rec.font_names) EXPECT_STRNE(name, "F6");
    return status;
  };
  auto full_list = [&](const char* font) {
    for (const char* f : {"F1", "F2", "F3", "F4", "F5"}) EXPECT_EQ(add(true, f), 0);
    while (page().data_count < Page::kMaxData) page().AppendEntry(qs::PageData{});
    return add(true, font);
  };
  // Deletes the only page, then inserts one; `pages` is the count expected afterwards.
  auto insert_on_no_page = [&](uint8_t after, int pages) {
    EXPECT_EQ(QfaDeleteFormPage(&h), 0);
    const int status = QfaInsertFormPage(&h, after, &inf);
    EXPECT_EQ(QfaGetPageCount(&h), pages);
    return status;
  };
  auto exist2_by_default = [&](bool exist2) {
    qs::test::ScopedEnvVar base("SITEPATHS_BASE_DIR", ""), flat("SITEPATHS_FLAT_DIR", "");
    char name[256];
    std::snprintf(name, sizeof name, "%s", (site.flat() + "t.QFD").c_str());
    return exist2 ? QfaFormExist2(name) : QfaFormExist(name);
  };
  const std::string picture = std::string("BM") + std::string(3 * kPicturePiece, 'p');
  struct Case {
    const char* what;
    std::function<int()> call;
    int want;
  };
  const Case cases[] = {
      {"deleting the only page leaves page 0 current",
       [&] {
         EXPECT_EQ(QfaDeleteFormPage(&h), 0);
         int32_t current = -1;
         EXPECT_EQ(QfaGetCurPage(&h, &current), 0);
         return current;
       },
       0},
      {"then After 1 inserts page 1", [&] { return insert_on_no_page(1, 1); }, 0},
      {"and After 0 is refused", [&] { return insert_on_no_page(0, 0); }, -1},
      {"a full path under the default (empty) directories", [&] { return exist2_by_default(true); },
       1},
      {"which QfaFormExist reports as found", [&] { return exist2_by_default(false); }, 0},
      {"a sixth font on a full text table", [&] { return full_table(true, "F6"); }, 104},
      {"a sixth font on a full free-cell table", [&] { return full_table(false, "F6"); }, 104},
      {"a sixth font on a full page-data list", [&] { return full_list("F6"); }, 104},
      {"a known font on a full text table", [&] { return full_table(true, "F1"); }, -1},
      {"a known font on a full page-data list", [&] { return full_list("F1"); }, -1},
      {"QfaPutCurPage(INT32_MIN)",
       [&] {
         const int status = QfaPutCurPage(&h, INT32_MIN);
         EXPECT_EQ(QfaGetPageInf(&h, &inf), -1);  // no current page
         return status;
       },
       0},
      {"a free cell's Kind read from a file",
       [&] {
         EXPECT_EQ(Open(H() + P(1) + D(TextBody(2, 5)) + S("cell")), 0);
         const std::vector<Record> saved = Records(SaveBytes());
         EXPECT_EQ(saved.back().tag, 's');
         EXPECT_EQ(saved[saved.size() - 2].body[0], '\0');
         return int(page().fre_cells.Get(1)->kind);
       },
       0},
      {"a file cut inside a picture's bytes",
       [&] { return Open(H() + P(1) + I(picture).substr(0, 6 + 37 + 2 * kPicturePiece)); },
       qs::kPictureCopy},
      {"a file cut inside a picture's first piece",
       [&] { return Open(H() + P(1) + I(picture).substr(0, 6 + 37 + 10)); }, qs::kPictureCopy},
      {"a file cut inside an 'I' record's first 37 bytes",
       [&] { return Open(H() + P(1) + I(picture).substr(0, 6 + 30)); }, qs::kDamaged},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(Open(H() + P(1)), 0);
    EXPECT_EQ(c.call(), c.want);
  }
  EXPECT_TRUE(site.WorkFiles().empty());  // cut pictures leave no partial copy
}

}  // namespace
