// Field definitions read from templates: the statement syntax, nesting, limits, the program
// settings (with and without a form), presentation values, and reloading on a new template name.
#include "formstore/field_defs.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "formstore.h"
#include "formstore/field_template.h"
#include "platform/memory_file.h"
#include "support/form_fixture.h"

namespace {

struct FieldRow {
  uint16_t id;
  std::string name;
  uint8_t type, size;
  uint16_t parent, top;
  int def_form;
};
struct StructRow {
  uint16_t id;
  std::string name;
  uint8_t kind;
  uint16_t parent, top;
};

class FieldDefsTest : public qs_test::FormTest {
 protected:
  // Writes base/QFT/<name>.QFT and gives the form that template name.
  int UseTemplate(const std::string& name, const std::string& text) {
    site.WriteFile("base/QFT/" + name + ".QFT", text);
    return SetTemplateName(name);
  }
  int SetTemplateName(const std::string& name) {
    FormInf inf{};
    QfaGetFormInf(&h, &inf);
    std::memset(inf.TemplateName, 0, sizeof inf.TemplateName);
    std::strncpy(inf.TemplateName, name.c_str(), sizeof inf.TemplateName - 1);
    return QfaPutFormInf(&h, &inf);
  }
  std::vector<FieldRow> Fields() {
    std::vector<FieldRow> rows;
    for (int n = 1; n <= QfaGetFieldCount(&h); ++n) {
      Field f{};
      EXPECT_EQ(QfaGetField(&h, n, &f), 0);
      rows.push_back({f.FieldId, f.FieldName, f.DataType, f.FieldSize, f.ParentId, f.TopId,
                      QfaGetFieldDefForm(&h, f.FieldId)});
    }
    return rows;
  }
  std::vector<StructRow> Structs() {
    std::vector<StructRow> rows;
    for (int n = 1; n <= QfaGetFieldStructCount(&h); ++n) {
      FieldStruct s{};
      EXPECT_EQ(QfaGetFieldStruct(&h, n, &s), 0);
      rows.push_back({s.StructId, s.StructName, s.StructKind, s.ParentId, s.TopId});
    }
    return rows;
  }
};

bool operator==(const FieldRow& a, const FieldRow& b) {
  return a.id == b.id && a.name == b.name && a.type == b.type && a.size == b.size &&
         a.parent == b.parent && a.top == b.top && a.def_form == b.def_form;
}
bool operator==(const StructRow& a, const StructRow& b) {
  return a.id == b.id && a.name == b.name && a.kind == b.kind && a.parent == b.parent &&
         a.top == b.top;
}
void PrintTo(const FieldRow& f, std::ostream* os) {
  *os << "{" << f.id << ",'" << f.name << "'," << int(f.type) << "," << int(f.size) << ","
      << f.parent << "," << f.top << "," << f.def_form << "}";
}
void PrintTo(const StructRow& s, std::ostream* os) {
  *os << "{" << s.id << ",'" << s.name << "'," << int(s.kind) << "," << s.parent << "," << s.top
      << "}";
}

std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

std::string NumberedLines(const char* format, int n) {
  std::string out;
  char line[128];
  for (int i = 1; i <= n; ++i) {
    std::snprintf(line, sizeof line, format, i, i);
    out += line;
  }
  return out;
}

TEST_F(FieldDefsTest, TemplateStatements) {
  const std::string deep =
      "$TABLE=x,1,A\n$SUBTBL=x,2,B\n$CASE=x,3,C\n$TAG=x,4,D\n$TAG=x,5,E\n"
      "$TAG=x,6,TooDeep\n$FIELD=x,60,Lost,ST,1\n$/TAG\n"
      "$FIELD=x,50,Fifth,ST,1\n$/TAG\n$/TAG\n$/CASE\n$/SUBTBL\n$/TABLE\n"
      "$FIELD=x,70,Top,ST,1\n";
  struct Case {
    const char* what;
    std::string text;
    std::vector<StructRow> structs;
    std::vector<FieldRow> fields;
  } cases[] = {
      {"lower case keyword and type, quoted name",
       "$field=x,12,\"Amount\",rl,8\n",
       {},
       {{12, "Amount", 4, 8, 0, 0, 0}}},
      {"four values are too few", "$FIELD=x,3,Name,ST\n", {}, {}},
      {"nesting ids and the record's fourth value",
       "$TABLE=x,1,T\n$RECORD=x,2,R,5\n$FIELD=x,3,F,IT,4\n$/RECORD\n$/TABLE\n",
       {{1, "T", 1, 0, 1}, {2, "R", 3, 1, 5}},
       {{3, "F", 3, 4, 2, 1, 0}}},
      {"comments, blanks, unknown keywords and type codes are skipped",
       ";$FIELD=x,1,A,ST,1\n\n$FOO=1\n$FIELD=x,2,B,XX,1\n$FIELD=x,3,C,dt,300,7\n",
       {},
       {{3, "C", 7, 300 & 0xFF, 0, 0, 7}}},
      {"separator runs count once, spaces and quotes go, tabs stay",
       "$FIELD = x ,, 4 ,\" Spaced \",ch,=2\n$FIELD=x,5,\tTab,ST,1\n",
       {},
       {{4, "Spaced", 2, 2, 0, 0, 0}, {5, "\tTab", 1, 1, 0, 0, 0}}},
      {"names are cut to their fields",
       "$TAG=x,9," + Repeat("N", 40) + "\n$FIELD=x,1," + Repeat("F", 40) + ",ST,1\n",
       {{9, Repeat("N", 32), 5, 0, 9}},
       {{1, Repeat("F", 32), 1, 1, 9, 9, 0}}},
      {"a sixth open structure is skipped with what it holds",
       deep,
       {{1, "A", 1, 0, 1},
        {2, "B", 2, 1, 1},
        {3, "C", 4, 2, 1},
        {4, "D", 5, 3, 1},
        {5, "E", 5, 4, 1}},
       {{50, "Fifth", 1, 1, 5, 1, 0}, {70, "Top", 1, 1, 0, 0, 0}}},
      {"a closer with nothing open is skipped",
       "$/TABLE\n$/TAG\n$FIELD=x,1,A,ST,1\n",
       {},
       {{1, "A", 1, 1, 0, 0, 0}}},
      {"a record without its fourth value is skipped",
       "$RECORD=x,2,R\n$FIELD=x,3,F,ST,1\n$/RECORD\n",
       {},
       {{3, "F", 1, 1, 0, 0, 0}}},
      {"CR LF line ends",
       "$FIELD=x,1,A,ST,1\r\n$FIELD=x,2,B,ST,2,9\r\n",
       {},
       {{1, "A", 1, 1, 0, 0, 0}, {2, "B", 1, 2, 0, 0, 9}}},
      {"a line longer than 254 characters is read as two",
       "$FIELD=x,7,B,ST,1" + Repeat(" ", 240) + "$FIELD=x,8,C,ST,1\n",
       {},
       {{7, "B", 1, 1, 0, 0, 0}, {8, "C", 1, 1, 0, 0, 0}}},
      {"the 26th structure ends the load",
       NumberedLines("$TAG=x,%d,T%d\n$/TAG\n", 26) + "$FIELD=x,900,After,ST,1\n",
       {},
       {}},
  };
  // The 26-structure case lists its 25 structures here rather than above.
  for (int i = 1; i <= 25; ++i)
    cases[11].structs.push_back({uint16_t(i), "T" + std::to_string(i), 5, 0, uint16_t(i)});

  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(UseTemplate("T" + std::to_string(n++), c.text), 0);
    EXPECT_EQ(Structs(), c.structs);
    EXPECT_EQ(Fields(), c.fields);
  }
}

TEST_F(FieldDefsTest, TheFieldTableHolds576Fields) {
  ASSERT_EQ(UseTemplate("MANY", NumberedLines("$FIELD=x,%d,F%d,ST,1\n", 600)), 0);
  EXPECT_EQ(QfaGetFieldCount(&h), 576);
  Field f{};
  EXPECT_EQ(QfaGetField(&h, 576, &f), 0);
  EXPECT_EQ(f.FieldId, 576);
}

TEST_F(FieldDefsTest, LookupsOutOfRangeReturnMinusOne) {
  ASSERT_EQ(UseTemplate("ONE", "$TABLE=x,1,T\n$FIELD=x,2,A,ST,1\n$/TABLE\n"), 0);
  Field f{};
  FieldStruct s{};
  FieldForm form{};
  EXPECT_EQ(QfaGetField(&h, 0, &f), -1);
  EXPECT_EQ(QfaGetField(&h, 2, &f), -1);
  EXPECT_EQ(QfaGetField2(&h, 1, &f), -1);  // a structure's id is no field's
  EXPECT_EQ(QfaGetField2(&h, 2, &f), 0);
  EXPECT_EQ(QfaGetFieldStruct(&h, 0, &s), -1);
  EXPECT_EQ(QfaGetFieldStruct(&h, 2, &s), -1);
  EXPECT_EQ(QfaGetFieldStruct2(&h, 2, &s), -1);
  EXPECT_EQ(QfaGetFieldStruct2(&h, 1, &s), 0);
  EXPECT_EQ(QfaGetFieldForm(&h, 9, &form), -1);
  EXPECT_EQ(QfaPutFieldForm(&h, 9, &form), -1);
  EXPECT_EQ(QfaGetFieldDefForm(&h, 9), -1);
}

TEST_F(FieldDefsTest, ProgramSettingsWithAndWithoutAForm) {
  const std::string settings =
      "$PRGNAME=ORDERS\n$prgtitle=\"Order entry\"\n$PRGKIND=7\n$USERMODE=2\n$PAGEMODE=0\n";
  // Settings alone: the form reports none, the file read directly has them.
  ASSERT_EQ(UseTemplate("CTRL", settings), 0);
  FieldControl c{};
  EXPECT_EQ(QfaGetFieldControl(&h, &c), -1);
  ASSERT_EQ(QfaGetFieldControlDirect("CTRL", &c), 0);
  EXPECT_STREQ(c.PrgName, "ORDERS");
  EXPECT_STREQ(c.PrgTitle, "Order entry");
  EXPECT_EQ(c.PrgKind, 7);
  EXPECT_EQ(c.UserMode, 2);
  EXPECT_EQ(c.PageMode, 0);

  // The direct read stops at the first structure, field or closer line; the form reads on.
  ASSERT_EQ(UseTemplate("CTRL2", "$PRGKIND=3\n$FIELD=x,1,A,ST,1\n$PAGEMODE=4\n$USERMODE=5\n"), 0);
  ASSERT_EQ(QfaGetFieldControlDirect("CTRL2.QFT", &c), 0);
  EXPECT_EQ(c.PrgKind, 3);
  EXPECT_EQ(c.PageMode, 1);
  EXPECT_EQ(c.UserMode, 0);
  ASSERT_EQ(QfaGetFieldControl(&h, &c), 0);
  EXPECT_EQ(c.PrgKind, 3);
  EXPECT_EQ(c.PageMode, 4);
  EXPECT_EQ(c.UserMode, 5);
  EXPECT_STREQ(c.PrgName, "");

  // A missing template: 105, and the record holds the values before loading.
  std::memset(&c, 0x55, sizeof c);
  EXPECT_EQ(QfaGetFieldControlDirect("NOSUCH", &c), 105);
  EXPECT_STREQ(c.PrgName, "");
  EXPECT_EQ(c.PrgKind, 0);
  EXPECT_EQ(c.PageMode, 1);
  EXPECT_EQ(QfaGetFieldControlDirect((site.base() + "QFT/CTRL.QFT").c_str(), &c), 0);
  EXPECT_EQ(QfaGetFieldControlDirect((site.base() + "QFT").c_str(), &c), 105);  // a directory
}

TEST_F(FieldDefsTest, PresentationValues) {
  ASSERT_EQ(UseTemplate("FORMS",
                        "$FIELD=x,1,Plain,ST,1\n$TABLE=x,10,T\n$FIELD=x,2,A,ST,1\n"
                        "$FIELD=x,3,B,ST,1\n$/TABLE\n$RECORD=x,20,R,0\n$FIELD=x,4,C,ST,1\n"),
            0);
  FieldForm form{};
  form.Reserved = 0xAB;
  ASSERT_EQ(QfaGetFieldForm(&h, 1, &form), 0);
  EXPECT_EQ(form.FormC, 1);  // as loaded
  EXPECT_EQ(form.Reserved, 0xAB);

  // Values are cut to their widths.
  const FieldForm wide = {9, 5, 7, 0, 6, 7, 65};
  const uint32_t changes = QfaQueryFormUpdate(&h);
  ASSERT_EQ(QfaPutFieldForm(&h, 1, &wide), 0);
  EXPECT_EQ(uint32_t(QfaQueryFormUpdate(&h)), changes + 1);
  ASSERT_EQ(QfaGetFieldForm(&h, 1, &form), 0);
  EXPECT_EQ(form.FormA, 1);
  EXPECT_EQ(form.FormB, 1);
  EXPECT_EQ(form.FormC, 7);
  EXPECT_EQ(form.FormD, 2);
  EXPECT_EQ(form.FormE, 3);
  EXPECT_EQ(form.FormF, 1);

  // FormE and FormF of a table field are the table's: every field of it takes them; the other
  // values stay the field's own.
  const FieldForm put = {4, 2, 3, 0, 1, 2, 33};
  ASSERT_EQ(QfaPutFieldForm(&h, 2, &put), 0);
  FieldForm a{}, b{}, c{};
  QfaGetFieldForm(&h, 2, &a);
  QfaGetFieldForm(&h, 3, &b);
  QfaGetFieldForm(&h, 4, &c);
  EXPECT_EQ(a.FormA, 4);
  EXPECT_EQ(a.FormD, 1);
  EXPECT_EQ(b.FormE, 2);
  EXPECT_EQ(b.FormF, 33);
  EXPECT_EQ(b.FormA, 0);
  EXPECT_EQ(b.FormC, 1);
  EXPECT_EQ(c.FormE, 0);  // a record field shares nothing
  EXPECT_EQ(c.FormF, 0);
}

TEST_F(FieldDefsTest, ANewTemplateNameReloadsAndTheSameNameKeeps) {
  ASSERT_EQ(UseTemplate("FIRST", "$FIELD=x,1,A,ST,1\n"), 0);
  const FieldForm put = {3, 0, 0, 0, 0, 0, 0};
  ASSERT_EQ(QfaPutFieldForm(&h, 1, &put), 0);
  // The same name changes nothing, even when the file changed.
  site.WriteFile("base/QFT/FIRST.QFT", "$FIELD=x,1,A,ST,1\n$FIELD=x,2,B,ST,1\n");
  ASSERT_EQ(SetTemplateName("FIRST"), 0);
  EXPECT_EQ(QfaGetFieldCount(&h), 1);
  FieldForm form{};
  QfaGetFieldForm(&h, 1, &form);
  EXPECT_EQ(form.FormA, 3);

  // A missing template: 105, no fields, but the name is taken over.
  EXPECT_EQ(SetTemplateName("GONE"), 105);
  EXPECT_EQ(QfaGetFieldCount(&h), 0);
  FormInf inf{};
  QfaGetFormInf(&h, &inf);
  EXPECT_STREQ(inf.TemplateName, "GONE");
  // An empty name: no fields, no error.
  ASSERT_EQ(SetTemplateName("FIRST"), 0);
  EXPECT_EQ(QfaGetFieldCount(&h), 2);
  EXPECT_EQ(SetTemplateName(""), 0);
  EXPECT_EQ(QfaGetFieldCount(&h), 0);
}

TEST(FieldDefsLifecycle, AMissingTemplateFailsCreateButNotTheFormAndFailsOpen) {
  qs_test::TempSite site;
  site.WriteFile("base/QFT/KEEP.QFT", "$FIELD=x,1,A,ST,1\n");
  FormInf inf{};
  std::strcpy(inf.TemplateName, "NOSUCH");
  FormHandle h{};
  EXPECT_EQ(QfaCreateForm(&h, &inf), 105);
  ASSERT_NE(h.State, nullptr);  // left open for the caller to close
  EXPECT_EQ(QfaGetFieldCount(&h), 0);
  QfaCloseForm(&h);

  std::strcpy(inf.TemplateName, "KEEP");
  ASSERT_EQ(QfaCreateForm(&h, &inf), 0);
  EXPECT_EQ(QfaGetFieldCount(&h), 1);
  PageInf page{};
  ASSERT_EQ(QfaInsertFormPage(&h, 0, &page), 0);
  char path[300];
  std::snprintf(path, sizeof path, "%sKEEP.QFD", site.flat().c_str());
  ASSERT_EQ(QfaSaveForm(&h, path), 0);
  QfaCloseForm(&h);

  FormHandle opened{};
  ASSERT_EQ(QfaOpenForm(&opened, path), 0);
  EXPECT_EQ(QfaGetFieldCount(&opened), 1);
  QfaCloseForm(&opened);
  std::remove((site.base() + "QFT/KEEP.QFT").c_str());
  EXPECT_EQ(QfaOpenForm(&opened, path), 105);
  EXPECT_EQ(opened.State, nullptr);
}

// A template file whose reads fail after the first `good` of them.
class FailingFile final : public qs::MemoryFile {
 public:
  FailingFile(std::string text, int good) : MemoryFile(std::move(text)), good_(good) {}
  bool Read(void* buf, size_t n, size_t* got) override {
    *got = 0;
    return good_-- > 0 && MemoryFile::Read(buf, n, got);
  }

 private:
  int good_;
};

TEST(FieldTemplateRead, AReadErrorIsNoEndOfTheTemplate) {
  // Long enough to need more than one read.
  std::string text;
  for (int id = 1; id <= 400; ++id) text += "$FIELD=x," + std::to_string(id) + ",F,ST,1\n";
  const struct {
    int good_reads;
    bool whole;
  } cases[] = {{1000, true}, {1, false}, {0, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.good_reads);
    FailingFile file(text, c.good_reads);
    qs::FieldDefs defs;
    EXPECT_EQ(qs::ReadFieldTemplate(file, &defs), c.whole);
    if (c.whole) {
      EXPECT_EQ(defs.field_count(), 400);
    }
    // The settings reader stops at the first field: only a failure before it counts.
    FailingFile settings(std::string(5000, '\n') + text, c.good_reads);
    FieldControl control;
    EXPECT_EQ(qs::ReadFieldTemplateControl(settings, &control), c.whole);
    FailingFile settings_then_fields(text, c.good_reads);
    EXPECT_EQ(qs::ReadFieldTemplateControl(settings_then_fields, &control), c.good_reads > 0);
  }
}

TEST(SubsStrRev, ReversesByCharacter) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"", ""},
      {"abc", "cba"},
      {"\x82\xa0\x82\xa2", "\x82\xa2\x82\xa0"},  // two double-byte characters
      {"a\x82\xa0"
       "b",
       "b\x82\xa0"
       "a"},                             // mixed
      {"\x81\x40x", "x\x81\x40"},        // a trail byte in the ASCII range
      {"\x82\x82\xa0", "\xa0\x82\x82"},  // a lead byte as trail byte
      {"ab\x82",
       "\x82"
       "ba"},                    // a lead byte with nothing after it
      {"\xa0\xdf", "\xdf\xa0"},  // single-byte katakana
  };
  for (const auto& c : cases) {
    char buffer[16];
    std::strcpy(buffer, c.in);
    EXPECT_EQ(QfaSubsStrRev(buffer), buffer);
    EXPECT_STREQ(buffer, c.out) << "input " << c.in;
  }
  EXPECT_EQ(QfaSubsStrRev(nullptr), nullptr);
}

}  // namespace
