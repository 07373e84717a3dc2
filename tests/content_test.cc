// Free cells, texts, figures and inserted pictures: records and their strings, the title-bound
// text, the free-cell Kind rule of each library, capacity refusals that leave nothing behind, and
// the picture copies in the work directory.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "common/file/scratch_files.h"
#include "common/model/attributes.h"
#include "common/model/content_ops.h"
#include "common/status.h"
#include "common/undo/undo_state.h"
#include "docstore/document.h"
#include "formstore.h"
#include "formstore/form.h"
#include "platform/env.h"
#include "support/fake_binder.h"
#include "support/fault_env.h"
#include "support/form_fixture.h"
#include "support/scratch_dir.h"

namespace {

using qs::PageData;

Text MakeText(uint8_t kind, const char* font = "Mincho") {
  Text t{};
  t.Kind = kind;
  t.Left = -5;
  t.Top = 10;
  t.Right = 200;
  t.Bottom = 70000;
  std::strncpy(t.Font.FontName, font, sizeof t.Font.FontName - 1);
  t.Font.Value5 = 17;
  t.Font.ValueC = 1;
  const uint16_t attrs[6] = {1, 2, 3, 4, 5, 0xFFFF};
  std::memcpy(t.Attr, attrs, sizeof attrs);
  t.Color1 = 0x00008000;  // green, index 2
  t.Mode = 4;
  t.Color2 = 0x00FFFFFF;  // white, index 15
  return t;
}

std::string FileContents(const std::string& path) {
  std::string contents;
  EXPECT_TRUE(qs::ReadWholeFile(qs::CurrentEnv(), path, &contents)) << path;
  return contents;
}

// Copies write half of the bytes and then fail, as on a full disk.
class PartialCopyEnv : public qs::test::FaultEnv {
 public:
  bool CopyFile(const std::string& from, const std::string& to) override {
    std::string bytes;
    if (!qs::ReadWholeFile(qs::Env::Default(), from, &bytes)) return false;
    qs::WriteWholeFile(qs::Env::Default(), to, bytes.substr(0, bytes.size() / 2));
    return false;
  }
};

// A form with one page, in a private work directory, and a picture to insert.
class ContentTest : public qs_test::FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    picture_ = site.WriteFile("a.bmp", "BM-picture-bytes");
  }

  qs::Page& page() { return *form().PageAt(1); }

  void SetTitle(const char* title) {
    FormInf inf{};
    ASSERT_EQ(QfaGetFormInf(&h, &inf), 0);
    std::strncpy(inf.Title, title, sizeof inf.Title - 1);
    ASSERT_EQ(QfaPutFormInf(&h, &inf), 0);
  }
  std::string CopyName(uint32_t seq) const {
    char name[64];
    std::snprintf(name, sizeof name, "QF%03u%04u.bmp", unsigned(form_no()), unsigned(seq));
    return name;
  }
  uint32_t form_no() const { return qs::Form::FromHandle(&h)->form_no(); }

  // Adds an inserted figure from the test picture; returns the status, the entry and the path.
  int AddPicture(uint16_t* entry, std::string* path = nullptr, const std::string& source = "") {
    char buffer[256] = {};
    std::strncpy(buffer, (source.empty() ? picture_ : source).c_str(), sizeof buffer - 1);
    InsFigure fig{};
    fig.Geometry[0] = 11;
    fig.Mode = 2;
    const int status = QfaAddInsFigure(&h, &fig, buffer, entry);
    if (path) *path = buffer;
    return status;
  }

  std::string picture_;
};

TEST_F(ContentTest, TextAndFreeCellRecordsRoundTrip) {
  const Text in = MakeText(0);
  uint16_t text_entry = 0, cell_entry = 0;
  const int changes = QfaQueryFormUpdate(&h);
  ASSERT_EQ(QfaAddText(&h, &in, "hello", &text_entry), 0);
  ASSERT_EQ(QfaAddFreCell(&h, &in, "cell", &cell_entry), 0);
  EXPECT_EQ(text_entry, PageData({qs::kText, 1}).value());
  EXPECT_EQ(cell_entry, PageData({qs::kFreCell, 1}).value());
  EXPECT_EQ(QfaQueryFormUpdate(&h), changes + 2);
  EXPECT_EQ(page().data_count, 2);

  Text out{};
  char text[256];
  ASSERT_EQ(QfaGetText(&h, text_entry, &out, text), 0);
  EXPECT_STREQ(text, "hello");
  EXPECT_EQ(std::memcmp(&out, &in, sizeof out), 0);
  ASSERT_EQ(QfaGetFreCell(&h, cell_entry, &out, text), 0);
  EXPECT_STREQ(text, "cell");
  EXPECT_EQ(std::memcmp(&out, &in, sizeof out), 0);

  // An empty string frees the text's string.
  Text moved = in;
  moved.Left = 42;
  ASSERT_EQ(QfaPutText(&h, text_entry, &moved, ""), 0);
  EXPECT_EQ(QfaQueryFormUpdate(&h), changes + 3);
  EXPECT_EQ(page().strings.LiveCount(), 1);
  ASSERT_EQ(QfaGetText(&h, text_entry, &out, text), 0);
  EXPECT_STREQ(text, "");
  EXPECT_EQ(int32_t(out.Left), 42);

  // Strings over 255 bytes are cut there.
  const std::string long_text(400, 'y');
  ASSERT_EQ(QfaPutFreCell(&h, cell_entry, &in, long_text.c_str()), 0);
  ASSERT_EQ(QfaGetFreCell(&h, cell_entry, &out, text), 0);
  EXPECT_EQ(std::string(text), long_text.substr(0, 255));
}

TEST_F(ContentTest, TitleBoundTextFollowsTheTitle) {
  SetTitle("First");
  const Text bound = MakeText(1);
  uint16_t entry = 0;
  ASSERT_EQ(QfaAddText(&h, &bound, "abc", &entry), 0);
  const qs::TextRec* rec = page().texts.Get(1);
  ASSERT_NE(rec, nullptr);
  EXPECT_EQ(page().strings.View(rec->text_id), "First");

  Text out{};
  char text[256];
  ASSERT_EQ(QfaGetText(&h, entry, &out, text), 0);
  EXPECT_STREQ(text, "First");
  EXPECT_EQ(out.Kind, 1);

  SetTitle("Second");
  ASSERT_EQ(QfaGetText(&h, entry, &out, text), 0);
  EXPECT_STREQ(text, "Second");

  // A put stores the title of the moment, whatever the caller passes.
  ASSERT_EQ(QfaPutText(&h, entry, &bound, "zzz"), 0);
  EXPECT_EQ(page().strings.View(page().texts.Get(1)->text_id), "Second");

  // Once unbound, the caller's string counts again.
  const Text plain = MakeText(0);
  ASSERT_EQ(QfaPutText(&h, entry, &plain, "plain"), 0);
  SetTitle("Third");
  ASSERT_EQ(QfaGetText(&h, entry, &out, text), 0);
  EXPECT_STREQ(text, "plain");
}

TEST_F(ContentTest, FormFreeCellsKeepKindZero) {
  const Text five = MakeText(5);
  uint16_t entry = 0;
  ASSERT_EQ(QfaAddFreCell(&h, &five, "", &entry), 0);
  EXPECT_EQ(page().fre_cells.Get(1)->kind, 0);
  Text out{};
  char text[256];
  ASSERT_EQ(QfaGetFreCell(&h, entry, &out, text), 0);
  EXPECT_EQ(out.Kind, 0);
  ASSERT_EQ(QfaPutFreCell(&h, entry, &five, ""), 0);
  EXPECT_EQ(page().fre_cells.Get(1)->kind, 0);
  ASSERT_EQ(QfaGetFreCell(&h, entry, &out, text), 0);
  EXPECT_EQ(out.Kind, 0);
}

TEST_F(ContentTest, CapacityRefusalsLeaveNothingBehind) {
  const Text in = MakeText(0);
  uint16_t entry = 0;
  for (int i = 0; i < 32; ++i) ASSERT_EQ(QfaAddText(&h, &in, "t", &entry), 0);
  for (int i = 0; i < 32; ++i) ASSERT_EQ(QfaAddFreCell(&h, &in, "f", &entry), 0);
  const uint16_t strings = page().strings.count();
  const int changes = QfaQueryFormUpdate(&h);
  entry = 0xBEEF;
  // A new font name must not take a slot for an add that is refused.
  const Text fresh = MakeText(0, "Fresh");
  EXPECT_EQ(QfaAddText(&h, &fresh, "33rd", &entry), -1);
  EXPECT_EQ(QfaAddFreCell(&h, &fresh, "33rd", &entry), -1);
  EXPECT_EQ(entry, 0xBEEF);
  EXPECT_EQ(page().strings.count(), strings);
  EXPECT_EQ(page().strings.LiveCount(), 64);
  EXPECT_EQ(page().data_count, 64);
  EXPECT_EQ(QfaQueryFormUpdate(&h), changes);
  for (const auto& name : form().header().rec.font_names) EXPECT_STRNE(name, "Fresh");

  const Figure fig{};
  for (int i = 0; i < 128; ++i) ASSERT_EQ(QfaAddFigure(&h, &fig, &entry), 0);
  EXPECT_EQ(entry, PageData({qs::kFigure, 128}).value());
  EXPECT_EQ(QfaAddFigure(&h, &fig, &entry), -1);
  EXPECT_EQ(page().figures.Count(), 128);
  EXPECT_EQ(page().data_count, 192);
}

TEST_F(ContentTest, FullPageDataListRefusesEveryAdd) {
  for (int i = 0; i < qs::Page::kMaxData; ++i)
    ASSERT_EQ(page().AppendEntry(PageData{qs::kChart, uint8_t(i + 1)}), qs::kOk);
  const Text in = MakeText(0);
  const Figure fig{};
  uint16_t entry = 0;
  EXPECT_EQ(QfaAddText(&h, &in, "x", &entry), -1);
  EXPECT_EQ(QfaAddFreCell(&h, &in, "x", &entry), -1);
  EXPECT_EQ(QfaAddFigure(&h, &fig, &entry), -1);
  EXPECT_EQ(AddPicture(&entry), -1);
  EXPECT_EQ(page().strings.count(), 0);
  EXPECT_EQ(page().texts.Count() + page().fre_cells.Count() + page().figures.Count() +
                page().ins_figures.Count(),
            0);
  // The copy made before the list was found full is not left behind.
  EXPECT_TRUE(site.WorkFiles().empty());
}

TEST_F(ContentTest, NoFontSlotRefusesAddAndPut) {
  const char* names[5] = {"F1", "F2", "F3", "F4", "F5"};
  uint16_t entry = 0;
  for (const char* name : names) {
    const Text t = MakeText(0, name);
    ASSERT_EQ(QfaAddText(&h, &t, name, &entry), 0);
  }
  const int changes = QfaQueryFormUpdate(&h);
  const Text sixth = MakeText(0, "F6");
  EXPECT_EQ(QfaAddText(&h, &sixth, "six", &entry), 104);
  EXPECT_EQ(QfaAddFreCell(&h, &sixth, "six", &entry), 104);
  EXPECT_EQ(page().texts.Count(), 5);
  EXPECT_EQ(page().strings.LiveCount(), 5);

  const uint32_t first = PageData{qs::kText, 1}.value();
  EXPECT_EQ(QfaPutText(&h, first, &sixth, "six"), 104);
  Text out{};
  char text[256];
  ASSERT_EQ(QfaGetText(&h, first, &out, text), 0);
  EXPECT_STREQ(out.Font.FontName, "F1");
  EXPECT_STREQ(text, "F1");
  EXPECT_EQ(QfaQueryFormUpdate(&h), changes);

  // Once no content uses slot 2 any more, the sixth name takes it.
  const Text f1 = MakeText(0, "F1");
  ASSERT_EQ(QfaPutText(&h, PageData{qs::kText, 2}.value(), &f1, "was F2"), 0);
  EXPECT_EQ(QfaAddText(&h, &sixth, "six", &entry), 0);
  EXPECT_STREQ(form().header().rec.font_names[1], "F6");
}

TEST_F(ContentTest, FiguresRoundTrip) {
  Figure fig{};
  fig.Shape = 3;
  fig.Style = 2;
  fig.Param = 0x1234;
  fig.Color1 = 0x00800000;  // navy, index 4
  fig.Fill = 1;
  fig.Color2 = 0x00ABCDEF;  // in no table: black
  for (int i = 0; i < 24; ++i) fig.Geometry[i] = uint8_t(i * 7);
  uint16_t entry = 0;
  ASSERT_EQ(QfaAddFigure(&h, &fig, &entry), 0);
  Figure out{};
  ASSERT_EQ(QfaGetFigure(&h, entry, &out), 0);
  Figure expected = fig;
  expected.Color2 = 0;
  EXPECT_EQ(std::memcmp(&out, &expected, sizeof out), 0);

  fig.Shape = 9;
  const int changes = QfaQueryFormUpdate(&h);
  ASSERT_EQ(QfaPutFigure(&h, entry, &fig), 0);
  EXPECT_EQ(QfaQueryFormUpdate(&h), changes + 1);
  ASSERT_EQ(QfaGetFigure(&h, entry, &out), 0);
  EXPECT_EQ(out.Shape, 9);
}

TEST_F(ContentTest, MissingNumbersAndMissingPageAreRefused) {
  const uint32_t two = PageData{qs::kText, 2}.value();
  Text t = MakeText(0);
  Figure fig{};
  InsFigure ins{};
  char text[256];
  EXPECT_EQ(QfaGetText(&h, two, &t, text), -1);
  EXPECT_EQ(QfaPutText(&h, two, &t, "x"), -1);
  EXPECT_EQ(QfaGetFreCell(&h, two, &t, text), -1);
  EXPECT_EQ(QfaPutFreCell(&h, two, &t, "x"), -1);
  EXPECT_EQ(QfaGetFigure(&h, two, &fig), -1);
  EXPECT_EQ(QfaPutFigure(&h, two, &fig), -1);
  EXPECT_EQ(QfaGetInsFigure(&h, two, &ins, text), -1);
  EXPECT_EQ(QfaPutInsFigure(&h, two, &ins), -1);
  EXPECT_EQ(page().strings.count(), 0);

  ASSERT_EQ(QfaDeleteFormPage(&h), 0);
  uint16_t entry = 0;
  EXPECT_EQ(QfaAddText(&h, &t, "x", &entry), -1);
  EXPECT_EQ(QfaAddFigure(&h, &fig, &entry), -1);
  EXPECT_EQ(AddPicture(&entry), -1);
  EXPECT_EQ(QfaGetText(&h, PageData{qs::kText, 1}.value(), &t, text), -1);
}

TEST_F(ContentTest, PictureCopiesAreNamedInSequence) {
  uint16_t entry = 0;
  std::string path;
  ASSERT_EQ(AddPicture(&entry, &path), 0);
  EXPECT_EQ(entry, PageData({qs::kInsFigure, 1}).value());
  EXPECT_EQ(path, site.work() + CopyName(1));
  EXPECT_EQ(FileContents(path), "BM-picture-bytes");
  ASSERT_EQ(AddPicture(&entry, &path), 0);
  EXPECT_EQ(path, site.work() + CopyName(2));

  InsFigure out{};
  char name[256];
  ASSERT_EQ(QfaGetInsFigure(&h, entry, &out, name), 0);
  EXPECT_EQ(std::string(name), site.work() + CopyName(2));
  EXPECT_EQ(int32_t(out.Geometry[0]), 11);
  EXPECT_EQ(out.Mode, 2);
}

TEST_F(ContentTest, PictureCopySkipsANameAlreadyTaken) {
  ASSERT_TRUE(qs::WriteWholeFile(qs::CurrentEnv(), site.work() + CopyName(1), "someone else's"));
  uint16_t entry = 0;
  std::string path;
  ASSERT_EQ(AddPicture(&entry, &path), 0);
  EXPECT_EQ(path, site.work() + CopyName(2));
  EXPECT_EQ(FileContents(site.work() + CopyName(1)), "someone else's");
}

TEST_F(ContentTest, PutInsFigureKeepsTheFile) {
  uint16_t entry = 0;
  std::string path;
  ASSERT_EQ(AddPicture(&entry, &path), 0);
  InsFigure moved{};
  for (int i = 0; i < 9; ++i) moved.Geometry[i] = 100 + i;
  moved.Mode = 7;
  const int changes = QfaQueryFormUpdate(&h);
  ASSERT_EQ(QfaPutInsFigure(&h, entry, &moved), 0);
  EXPECT_EQ(QfaQueryFormUpdate(&h), changes + 1);
  InsFigure out{};
  char name[256];
  ASSERT_EQ(QfaGetInsFigure(&h, entry, &out, name), 0);
  EXPECT_EQ(std::string(name), path);
  EXPECT_EQ(int32_t(out.Geometry[8]), 108);
  EXPECT_EQ(out.Mode, 7);
  EXPECT_EQ(site.WorkFiles(), std::vector<std::string>{CopyName(1)});
}

TEST_F(ContentTest, DeletingThePictureDeletesItsCopyButDeletingThePageDoesNot) {
  uint16_t first = 0, second = 0;
  std::string first_path, second_path;
  ASSERT_EQ(AddPicture(&first, &first_path), 0);
  ASSERT_EQ(AddPicture(&second, &second_path), 0);
  ASSERT_EQ(QfaDeletePageData(&h, first), 0);
  EXPECT_FALSE(qs::CurrentEnv()->Exists(first_path));
  EXPECT_TRUE(qs::CurrentEnv()->Exists(second_path));
  ASSERT_EQ(QfaDeleteFormPage(&h), 0);
  EXPECT_EQ(FileContents(second_path), "BM-picture-bytes");
}

TEST_F(ContentTest, SixtyFifthPictureIsRefusedWithoutACopy) {
  uint16_t entry = 0;
  for (int i = 0; i < 64; ++i) ASSERT_EQ(AddPicture(&entry), 0);
  std::string path;
  EXPECT_EQ(AddPicture(&entry, &path), -1);
  EXPECT_EQ(path, picture_);  // the caller's path is left as it was
  EXPECT_EQ(page().ins_figures.Count(), 64);
  EXPECT_EQ(page().data_count, 64);
  EXPECT_EQ(site.WorkFiles().size(), 64u);
}

TEST_F(ContentTest, PictureThatCannotBeCopied) {
  uint16_t entry = 0;
  std::string path;
  const int changes = QfaQueryFormUpdate(&h);
  EXPECT_EQ(AddPicture(&entry, &path, site.root() + "missing.bmp"), 301);
  EXPECT_EQ(path, site.root() + "missing.bmp");

  // A copy that breaks off half-way leaves no partial file.
  PartialCopyEnv env;
  qs::test::ScopedEnv use(&env);
  EXPECT_EQ(AddPicture(&entry), 301);
  EXPECT_EQ(page().ins_figures.Count(), 0);
  EXPECT_EQ(page().data_count, 0);
  EXPECT_TRUE(site.WorkFiles().empty());
  EXPECT_EQ(QfaQueryFormUpdate(&h), changes);
}

TEST(DocLikeContentTest, FreeCellsKeepTheKindPut) {
  qs::test::ScratchDir dir("doc-content");
  qs::test::FakeBinder b(qs::Document::kTraits, 1, dir.MakeDir("work"));
  const Text five = MakeText(5);
  uint16_t out_entry = 0;
  ASSERT_EQ(qs::AddFreCell(b, &five, "", &out_entry), 0);
  const PageData entry = PageData::FromValue(out_entry);
  Text out{};
  char text[256];
  ASSERT_EQ(qs::GetFreCell(b, entry, &out, text), 0);
  EXPECT_EQ(out.Kind, 0);  // an add stores 0 in both libraries
  ASSERT_EQ(qs::PutFreCell(b, entry, &five, "x"), 0);
  ASSERT_EQ(qs::GetFreCell(b, entry, &out, text), 0);
  EXPECT_EQ(out.Kind, 5);
  EXPECT_EQ(b.changes(), 2);
}

TEST(DocLikeContentTest, MissingPictureSourceIsNotFound) {
  qs::test::ScratchDir dir("doc-content");
  const std::string work = dir.MakeDir("work");
  qs::test::FakeBinder b(qs::Document::kTraits, 1, work);
  InsFigure fig{};
  uint16_t entry = 0;
  char path[256] = {};
  std::strncpy(path, dir.Sub("missing.bmp").c_str(), sizeof path - 1);
  EXPECT_EQ(qs::AddInsFigure(b, &fig, path, &entry), 100);
  EXPECT_EQ(b.page().ins_figures.Count(), 0);

  ASSERT_TRUE(qs::WriteWholeFile(qs::CurrentEnv(), dir.Sub("a.bmp"), "pic"));
  std::strncpy(path, dir.Sub("a.bmp").c_str(), sizeof path - 1);
  ASSERT_EQ(qs::AddInsFigure(b, &fig, path, &entry), 0);
  EXPECT_EQ(std::string(path), work + "QD0070001.bmp");
}

}  // namespace
