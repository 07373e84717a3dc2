// Form to document conversion: entry cells, the header it resets, the names it takes and writes,
// and what it refuses.
#include "formstore/convert.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include "common/status.h"
#include "formstore.h"
#include "formstore/form.h"
#include "platform/env.h"
#include "support/form_fixture.h"

namespace {

struct CellCase {
  const char* what;
  const char* text;  // nullptr: the position gets no attribute
  int kind;          // after conversion; -1 for no attribute
};
const CellCase kCells[] = {
    {"text", "abc", 0},
    {"spaces only", "   ", 1},
    {"empty", "", 1},
    {"spaces around text", " a ", 0},
    {"a tab is no space", "\t", 0},
    {"no attribute", nullptr, -1},
};
constexpr int kColumns = sizeof kCells / sizeof kCells[0];

class ConvertTest : public qs_test::FormTest {
 protected:
  // The fixture's form gets a one-row chart holding kCells, whose attributes all start with Kind 7,
  // and a header/footer block; it is saved as `name` in the flat directory.
  void SetUp() override {
    FormTest::SetUp();
    ChartInf inf{};
    inf.Rows = 1;
    inf.Cols = kColumns;
    inf.Right = 10 * kColumns;
    inf.RowHight = 10;
    inf.LineStyle = 1;  // ruled, so that every position is a cell's origin
    ASSERT_EQ(QfaAddChart(&h, &inf, &chart), 0);
    for (int c = 0; c < kColumns; ++c) {
      ChartCell cell{};
      cell.Kind = 7;
      cell.Font = qs_test::Font("Mincho");
      if (kCells[c].text) {
        ASSERT_EQ(QfaPutChartCell(&h, chart, 1, c + 1, &cell, kCells[c].text), 0);
      }
    }
    uint8_t block[360];
    std::memset(block, 0xAB, sizeof block);
    ASSERT_EQ(QfaPutFormHeaderFooter(&h, block), 0);
    FormInf info{};
    std::strcpy(info.Title, "Plan");
    std::strcpy(info.TemplateName, "OLD");
    TemplateFor("OLD");
    ASSERT_EQ(QfaPutFormInf(&h, &info), 0);
  }
  // A form opens only when its template exists; an empty one defines no fields.
  void TemplateFor(const std::string& name) {
    site.WriteFile("base/QFT/" + name + (name.find('.') == std::string::npos ? ".QFT" : ""), "");
  }
  std::string SaveAs(const std::string& name) {
    std::string path = site.flat() + name;
    EXPECT_EQ(QfaSaveForm(&h, &path[0]), 0);
    return path;
  }
  // Opens a converted file as a form; both libraries read the format.
  qs::Form& Open(const std::string& path) {
    EXPECT_EQ(QfaOpenForm(&doc, path.c_str()), 0);
    return *qs::Form::FromHandle(&doc);
  }
  void TearDown() override {
    if (doc.State) QfaCloseForm(&doc);
    FormTest::TearDown();
  }
  std::string Read(const std::string& path) {
    std::string s;
    EXPECT_TRUE(qs::ReadWholeFile(qs::CurrentEnv(), path, &s)) << path;
    return s;
  }

  uint16_t chart = 0;
  FormHandle doc{};
};

TEST_F(ConvertTest, MarksEntryCellsAndResetsTheHeader) {
  const std::string source = SaveAs("SRC.QFD");
  const std::string before_bytes = Read(source);
  char path[256];
  std::snprintf(path, sizeof path, "%sdoc", site.root().c_str());
  const int32_t before = qs::NowSeconds();
  ASSERT_EQ(QfaConvertToDoc("SRC", path), 0);
  const int32_t after = qs::NowSeconds();
  TemplateFor("SRC");
  EXPECT_EQ(std::string(path), site.root() + "doc.QFD");  // appended in the caller's buffer
  EXPECT_EQ(Read(source), before_bytes);

  qs::Form& f = Open(path);
  for (int c = 0; c < kColumns; ++c) {
    SCOPED_TRACE(kCells[c].what);
    ChartCell cell{};
    char text[256];
    const int status = QfaGetChartCell(&doc, chart, 1, uint16_t(c + 1), &cell, text);
    if (kCells[c].kind < 0) {
      EXPECT_EQ(status, -1);  // still no attribute
    } else {
      ASSERT_EQ(status, 0);
      EXPECT_EQ(cell.Kind, kCells[c].kind);
      EXPECT_STREQ(text, kCells[c].text);
    }
  }
  uint8_t block[360];
  ASSERT_EQ(QfaGetFormHeaderFooter(&doc, block), 0);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(block), 360), std::string(360, '\0'));
  const qs::HeaderRecord& rec = f.header().rec;
  EXPECT_STREQ(rec.inf.TemplateName, "SRC");
  EXPECT_STREQ(rec.inf.Title, "Plan");
  EXPECT_GE(int32_t{rec.created}, before);
  EXPECT_LE(int32_t{rec.created}, after);
  EXPECT_EQ(int32_t{rec.updated}, int32_t{rec.created});
  EXPECT_EQ(site.WorkFiles().size(), 0u);
}

TEST_F(ConvertTest, TheTemplateNameIsTheFileNameAsGivenCutToFit) {
  const std::string two_byte =
      "\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0"
      "n\x82\xa0.QFD";  // the 18th byte is a lead byte
  struct Case {
    const char* what;
    std::string file, given, template_name;
  };
  const Case cases[] = {
      {"a bare name", "SRC.QFD", "SRC", "SRC"},
      {"a full path", "SRC.QFD", site.flat() + "SRC.QFD", "SRC.QFD"},
      {"a name longer than 18 bytes", "ABCDEFGHIJKLMNOPQRSTU.QFD", "ABCDEFGHIJKLMNOPQRSTU",
       "ABCDEFGHIJKLMNOPQR"},
      {"a cut inside a two-byte character", two_byte, site.flat() + two_byte,
       two_byte.substr(0, 17)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SaveAs(c.file);
    char path[256];
    std::snprintf(path, sizeof path, "%sdoc.QFD", site.root().c_str());
    ASSERT_EQ(QfaConvertToDoc(c.given.c_str(), path), 0);
    TemplateFor(c.template_name);
    EXPECT_EQ(std::string(Open(path).header().rec.inf.TemplateName), c.template_name);
    QfaCloseForm(&doc);
    doc.State = nullptr;
  }
}

TEST_F(ConvertTest, WritesNothingWhenItCannot) {
  FormHandle empty{};
  FormInf info{};
  ASSERT_EQ(QfaCreateForm(&empty, &info), 0);
  struct Case {
    const char* what;
    std::function<int(char*)> convert;
    std::string path, written_as;
    int status;
  };
  const Case cases[] = {
      {"a form without pages",
       [&](char* p) { return qs::ConvertToDocument(*qs::Form::FromHandle(&empty), "E", p); },
       site.root() + "empty", site.root() + "empty.QFD", qs::kNoPages},
      {"a form that does not exist", [&](char* p) { return QfaConvertToDoc("MISSING", p); },
       site.root() + "missing.QFD", site.root() + "missing.QFD", qs::kNotFound},
      {"a directory that does not exist",
       [&](char* p) {
         SaveAs("SRC.QFD");
         return QfaConvertToDoc("SRC", p);
       },
       site.root() + "no/doc.QFD", site.root() + "no/doc.QFD", qs::kCannotOpen},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    char path[256];
    std::snprintf(path, sizeof path, "%s", c.path.c_str());
    EXPECT_EQ(c.convert(path), c.status);
    EXPECT_EQ(std::string(path), c.written_as);
    EXPECT_FALSE(qs::CurrentEnv()->Exists(path));
  }
  QfaCloseForm(&empty);
}

}  // namespace
