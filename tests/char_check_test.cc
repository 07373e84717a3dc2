// The prohibited-character check over an open form, which runs the same page-model code as a
// document: every category, mask and failure, with the log compared byte for byte.
#include "docstore/check/char_check.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "common/model/cell_ops.h"
#include "common/model/chart_ops.h"
#include "common/model/content_ops.h"
#include "common/model/header_ops.h"
#include "common/model/page_ops.h"
#include "common/status.h"
#include "docstore/check/prohibit_groups.h"
#include "platform/env.h"
#include "support/fake_binder.h"
#include "support/form_fixture.h"
#include "support/scratch_dir.h"
#include "support/sjis.h"

namespace qs {
namespace {

using qs_test::Sjis;
using test::FakeBinder;
using test::ScopedEnvVar;
using EnvList = std::vector<std::unique_ptr<ScopedEnvVar>>;

const std::string kDataDir = std::string(QSTORE_SOURCE_DIR) + "/chargate/data/";
const std::string kPluginDir = std::string(QSTORE_BINARY_DIR) + "/lib/";
const std::string kFakePlugins = std::string(QSTORE_BINARY_DIR) + "/test-plugins/";

std::string FailLine(int status) {
  return Sjis("禁則文字チェックに失敗しました。(" + std::to_string(status) + ")\n");
}
std::string SpecialLine(const std::string& ch_sjis, const char* code, bool replaced) {
  return Sjis("外字・特殊文字“") + ch_sjis + "(0x" + code + ")" +
         Sjis(replaced ? "”を置換しました。\n" : "”が含まれています。\n");
}
const std::string kWideReplaced = Sjis("全角英数字を置換しました。\n");
const std::string kWidePresent = Sjis("全角英数字が含まれています。\n");
const std::string kKanaReplaced = Sjis("半角カタカナを置換しました。\n");
const std::string kKanaPresent = Sjis("半角カタカナが含まれています。\n");

std::string ReadFile(const std::string& path) {
  std::string text;
  return ReadWholeFile(Env::Default(), path, &text) ? text : "<missing>";
}

// A form with two pages, the shipped tables in a shared directory, a user directory that does not
// exist yet and the plug-in of this build.
class CharCheckTest : public qs_test::FormTest {
 public:
  CharCheckTest() : FormTest(2) {}

  void SetUp() override {
    FormTest::SetUp();
    ResetSettings();
  }

  // Fresh shared settings, no user table.
  void ResetSettings() {
    RemoveTree(dir.Sub("shared"));
    RemoveTree(dir.Sub("user"));
    dir.MakeDir("shared");
    Env* env = Env::Default();
    ASSERT_TRUE(env->CopyFile(kDataDir + "prohibit.ini", shared + "prohibit.ini"));
    ASSERT_TRUE(env->CopyFile(kDataDir + "pbrepl.csv", shared + "pbrepl.csv"));
  }

  int Check(int check, int replace, const char* table = nullptr) {
    return CheckReplaceText(form(), check, replace, log.c_str(), table);
  }
  std::string Log() const { return ReadFile(log); }

  std::string Write(const std::string& relative, const std::string& text) {
    const std::string path = dir.Sub(relative);
    EXPECT_TRUE(WriteWholeFile(Env::Default(), path, text));
    return path;
  }

  // Content on the current page.
  PageData AddTextBox(uint8_t kind, const std::string& text, bool fre_cell = false) {
    Text t{};
    t.Kind = kind;
    t.Right = 100;
    t.Bottom = 20;
    t.Font = qs_test::Font("Mincho");
    uint16_t entry = 0;
    const int r = fre_cell ? AddFreCell(form(), &t, text.c_str(), &entry)
                           : AddText(form(), &t, text.c_str(), &entry);
    EXPECT_EQ(r, kOk);
    return PageData::FromValue(entry);
  }
  PageData AddChartWith(const std::vector<std::string>& cells) {
    ChartInf inf{};
    inf.Rows = 1;
    inf.Cols = uint16_t(cells.size());
    inf.RowHight = 10;
    inf.Right = 100;
    inf.Bottom = 10;
    inf.LineStyle = 1;  // every ruled line present: each position is a cell
    uint16_t entry = 0;
    EXPECT_EQ(AddChart(form(), &inf, &entry), kOk);
    const PageData chart = PageData::FromValue(entry);
    for (size_t c = 0; c < cells.size(); ++c) {
      ChartCell cell{};
      cell.Kind = 1;
      cell.Font = qs_test::Font("Mincho");
      EXPECT_EQ(PutChartCell(form(), chart, 1, uint16_t(c + 1), &cell, cells[c].c_str()), kOk);
    }
    return chart;
  }
  std::string TextOf(PageData entry, uint8_t* kind = nullptr) {
    Text t{};
    char text[256] = {};
    int r = entry.kind == kFreCell ? GetFreCell(form(), entry, &t, text)
                                   : GetText(form(), entry, &t, text);
    EXPECT_EQ(r, kOk);
    if (kind != nullptr) *kind = t.Kind;
    return text;
  }
  std::string CellOf(PageData chart, uint16_t col) {
    ChartCell cell{};
    char text[256] = {};
    EXPECT_EQ(GetChartCell(form(), chart, 1, col, &cell, text), kOk);
    return text;
  }
  void SetTitle(const std::string& title) {
    FormInf inf{};
    GetInf(form(), &inf);
    CopyBounded(inf.Title, sizeof inf.Title, title.c_str());
    ASSERT_EQ(PutInf(form(), &inf), kOk);
  }
  std::string Title() { return form().header().rec.inf.Title; }
  // Removes all content of both pages and makes page 1 current.
  void ClearPages() {
    for (int p = 2; p >= 1; --p) {
      PutCurPage(form(), p);
      uint16_t entry = 0;
      while (GetPageDataCount(form()) > 0 && GetPageData(form(), 1, &entry) == kOk)
        ASSERT_EQ(DeletePageData(form(), PageData::FromValue(entry)), kOk);
    }
  }

  test::ScratchDir dir{"charcheck"};
  const std::string shared = dir.Sub("shared/");
  const std::string user = dir.Sub("user/settings/");
  const std::string log = dir.Sub("check.log");
  ScopedEnvVar shared_env{"SITEPATHS_SHARED_DIR", shared};
  ScopedEnvVar user_env{"SITEPATHS_USER_DIR", user};
  ScopedEnvVar plugin_env{"SITEPATHS_PLUGIN_DIR", kPluginDir};
};

// Page 1: a chart with a katakana cell and a plain one; page 2: a text with full-width letters and
// a special character, and a free cell with a combining katakana and the same special character.
struct Sample {
  PageData chart, text, fre_cell;
};

Sample MakeSample(CharCheckTest& t, Form& form) {
  Sample s;
  PutCurPage(form, 1);
  s.chart = t.AddChartWith({Sjis("ｱｲｳ"), "plain"});
  PutCurPage(form, 2);
  s.text = t.AddTextBox(0, Sjis("ａｂ①"));
  s.fre_cell = t.AddTextBox(0, Sjis("ｶﾞ①"), true);
  PutCurPage(form, 1);
  return s;
}

TEST_F(CharCheckTest, ReplacesEveryKindOfTextOnEveryPage) {
  const Sample s = MakeSample(*this, form());
  const uint32_t before = form().update_count();
  EXPECT_EQ(Check(14, 14), 14);
  EXPECT_EQ(form().current_page(), 2);  // the run ends on the last page
  EXPECT_EQ(form().update_count(), before + 3);
  EXPECT_EQ(Log(), SpecialLine(Sjis("①"), "8740", true) + kWideReplaced + kKanaReplaced);
  PutCurPage(form(), 1);
  EXPECT_EQ(CellOf(s.chart, 1), Sjis("<hwf>アイウ</hwf>"));
  EXPECT_EQ(CellOf(s.chart, 2), "plain");
  PutCurPage(form(), 2);
  EXPECT_EQ(TextOf(s.text), Sjis("ＡＢ(1)"));
  EXPECT_EQ(TextOf(s.fre_cell), Sjis("<hwf>カ</hwf>゛<bs/>(1)"));
  // A second check finds nothing left and appends nothing.
  EXPECT_EQ(Check(14, 14), 0);
  EXPECT_EQ(Log(), SpecialLine(Sjis("①"), "8740", true) + kWideReplaced + kKanaReplaced);
}

TEST_F(CharCheckTest, ReplaceMaskSelectsWhatChanges) {
  struct Row {
    int check, replace, result;
    const char *cell, *text, *fre_cell;
    std::string log;
  };
  const Row rows[] = {
      {14, 0, 14, "ｱｲｳ", "ａｂ①", "ｶﾞ①",
       SpecialLine(Sjis("①"), "8740", false) + kWidePresent + kKanaPresent},
      {14, 4, 14, "<hwf>アイウ</hwf>", "ａｂ①", "<hwf>カ</hwf>゛<bs/>①",
       SpecialLine(Sjis("①"), "8740", false) + kWidePresent + kKanaReplaced},
      {14, 10, 14, "ｱｲｳ", "ＡＢ(1)", "ｶﾞ(1)",
       SpecialLine(Sjis("①"), "8740", true) + kWideReplaced + kKanaPresent},
      {4, 14, 4, "<hwf>アイウ</hwf>", "ａｂ①", "<hwf>カ</hwf>゛<bs/>①", kKanaReplaced},
      {8, 0, 8, "ｱｲｳ", "ａｂ①", "ｶﾞ①", SpecialLine(Sjis("①"), "8740", false)},
      {0, 14, 0, "ｱｲｳ", "ａｂ①", "ｶﾞ①", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "check " << row.check << " replace " << row.replace);
    ClearPages();
    RemoveTree(log);
    const Sample s = MakeSample(*this, form());
    const uint32_t before = form().update_count();
    EXPECT_EQ(Check(row.check, row.replace), row.result);
    EXPECT_EQ(Log(), row.log);
    PutCurPage(form(), 1);
    EXPECT_EQ(CellOf(s.chart, 1), Sjis(row.cell));
    PutCurPage(form(), 2);
    EXPECT_EQ(TextOf(s.text), Sjis(row.text));
    EXPECT_EQ(TextOf(s.fre_cell), Sjis(row.fre_cell));
    if (row.replace == 0 || row.check == 0) {
      EXPECT_EQ(form().update_count(), before);
    }
  }
}

TEST_F(CharCheckTest, CheckMaskZeroStillRunsTheSetUp) {
  AddTextBox(0, Sjis("ｱ"));
  EXPECT_EQ(Check(0, 14), 0);
  EXPECT_EQ(Log(), "");
  EXPECT_TRUE(Env::Default()->Exists(user + "pbrepl.csv"));
  ASSERT_TRUE(Env::Default()->Delete(shared + "prohibit.ini"));
  EXPECT_EQ(Check(0, 14), kCheckNoIni);
  EXPECT_EQ(Log(), FailLine(kCheckNoIni));
}

TEST_F(CharCheckTest, ReplacementsAreJournalledLikeAnyEdit) {
  // One page only, so the run never changes page (which would empty the journals).
  ASSERT_EQ(QfaDeleteFormPage(&h), 0);
  const PageData text = AddTextBox(0, Sjis("ｱａ"));
  ASSERT_EQ(QfaUndoControlStart(&h), 0);
  ASSERT_EQ(QfaUndoBlockStart(&h), 0);
  EXPECT_EQ(Check(14, 14), 6);
  ASSERT_EQ(QfaUndoBlockEnd(&h), 0);
  EXPECT_EQ(TextOf(text), Sjis("<hwf>ア</hwf>Ａ"));
  ASSERT_EQ(QfaUndo(&h), 0);
  EXPECT_EQ(TextOf(text), Sjis("ｱａ"));
}

TEST_F(CharCheckTest, ASpecialCharacterIsLoggedAtItsFirstOccurrencePerCall) {
  std::string ten;
  for (int i = 0; i < 10; ++i) ten += Sjis("①") + "\xF0\x40";
  AddTextBox(0, ten, true);
  AddChartWith({Sjis("①"), "\xF0\x40"});
  const std::string once =
      SpecialLine(Sjis("①"), "8740", true) + SpecialLine("\xF0\x40", "F040", false);
  EXPECT_EQ(Check(14, 14), 8);
  EXPECT_EQ(Log(), once);
  // The next call opens the log again and logs its first occurrences again, after the first call's.
  EXPECT_EQ(Check(14, 0), 8);
  EXPECT_EQ(Log(), once + SpecialLine("\xF0\x40", "F040", false));
}

TEST_F(CharCheckTest, ATitleBoundTextKeepsItsBindingOnlyWhileTheTitleHoldsIt) {
  struct Row {
    const char* title;
    const char* want;
    bool stays_bound;
  };
  const Row rows[] = {
      {"ｱｲｳ", "<hwf>アイウ</hwf>", true},
      // 5 + 28 + 6 = 39 bytes: still a title.
      {"ｱｲｳｴｵｶｷｸｹｺｻｼｽｾ", "<hwf>アイウエオカキクケコサシスセ</hwf>", true},
      // 41 bytes: the text box becomes an ordinary one holding the new text.
      {"ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿ", "<hwf>アイウエオカキクケコサシスセソ</hwf>", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.title);
    ClearPages();
    SetTitle(Sjis(row.title));
    const PageData text = AddTextBox(1, "ignored");
    ASSERT_EQ(TextOf(text), Sjis(row.title));
    EXPECT_EQ(Check(14, 14), 4);
    PutCurPage(form(), 1);
    uint8_t kind = 0;
    EXPECT_EQ(TextOf(text, &kind), Sjis(row.want));
    EXPECT_EQ(kind, row.stays_bound ? 1 : 0);
    EXPECT_EQ(Title(), row.stays_bound ? Sjis(row.want) : Sjis(row.title));
  }
}

TEST_F(CharCheckTest, WithoutALogPathNothingIsWritten) {
  MakeSample(*this, form());
  ASSERT_EQ(CheckReplaceText(form(), 0, 0, nullptr, nullptr), 0);  // makes the user table
  std::vector<std::string> before, after;
  Env::Default()->ListDirectory(dir.path(), &before);
  for (const char* path : {static_cast<const char*>(nullptr), ""}) {
    EXPECT_EQ(CheckReplaceText(form(), 14, 0, path, nullptr), 14);
    ASSERT_TRUE(Env::Default()->Rename(user + "pbrepl.csv", dir.Sub("kept.csv")));
    ASSERT_TRUE(Env::Default()->Rename(shared + "pbrepl.csv", dir.Sub("master.csv")));
    EXPECT_EQ(CheckReplaceText(form(), 14, 0, path, nullptr), kCheckNoTable);
    ASSERT_TRUE(Env::Default()->Rename(dir.Sub("master.csv"), shared + "pbrepl.csv"));
    ASSERT_TRUE(Env::Default()->Rename(dir.Sub("kept.csv"), user + "pbrepl.csv"));
  }
  Env::Default()->ListDirectory(dir.path(), &after);
  EXPECT_EQ(after, before);
  EXPECT_EQ(Log(), "<missing>");
}

TEST_F(CharCheckTest, TheUserTableIsCreatedFromTheMasterWithItsDirectories) {
  const PageData text = AddTextBox(0, Sjis("①"));
  ASSERT_FALSE(Env::Default()->Exists(dir.Sub("user")));
  EXPECT_EQ(Check(14, 0), 8);
  EXPECT_EQ(ReadFile(user + "pbrepl.csv"), ReadFile(kDataDir + "pbrepl.csv"));

  // An existing user table is kept and used; a replacement table given by the caller wins when it
  // names a file.
  Write("user/settings/pbrepl.csv", "8740,USER\n");
  const std::string own = Write("own.csv", "8740,OWN\n");
  struct Row {
    const char* table;
    const char* want;
  };
  const Row rows[] = {{nullptr, "USER"},
                      {"", "USER"},
                      {"missing.csv", "USER"},
                      {"user", "USER"},  // a directory
                      {"own.csv", "OWN"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.table ? row.table : "null");
    PutCurPage(form(), 1);
    Text t{};
    t.Font = qs_test::Font("Mincho");
    ASSERT_EQ(PutText(form(), text, &t, Sjis("①").c_str()), kOk);
    const std::string table = row.table == nullptr ? "" : dir.Sub(row.table);
    EXPECT_EQ(Check(14, 14, row.table == nullptr ? nullptr : table.c_str()), 8);
    PutCurPage(form(), 1);
    EXPECT_EQ(TextOf(text), row.want);
  }
  EXPECT_EQ(ReadFile(user + "pbrepl.csv"), "8740,USER\n");
}

TEST_F(CharCheckTest, ATextThatWouldGrowPastItsLimitIsCutAtACharacterBoundary) {
  const std::string table = Write("wide.csv", "8740," + Sjis("ＡＢ") + "\n");
  std::string specials = "ab", kana;
  for (int i = 0; i < 126; ++i) specials += Sjis("①");
  for (int i = 0; i < 255; ++i) kana += Sjis("ｱ");
  const PageData fre_cell = AddTextBox(0, specials, true);
  const PageData chart = AddChartWith({kana});
  EXPECT_EQ(Check(14, 14, table.c_str()), 12);
  PutCurPage(form(), 1);
  std::string want_specials = "ab", want_kana = "<hwf>";
  for (int i = 0; i < 63; ++i) want_specials += Sjis("ＡＢ");
  for (int i = 0; i < 122; ++i) want_kana += Sjis("ア");
  want_kana += "</hwf>";
  EXPECT_EQ(TextOf(fre_cell), want_specials);  // 254 bytes: a 255th would split "Ａ"
  EXPECT_EQ(CellOf(chart, 1), want_kana);      // 255 bytes with the run closed
}

// Builds a "prohibit.ini" whose group `broken` has `start` as its Start value (nullptr: no Start).
std::string GroupsIni(int broken, const char* start) {
  std::string ini;
  for (int i = 0; i < kGroupCount; ++i) {
    ini += std::string("[") + kGroupSections[i] + "]\nName=g\nEnd=FFFF\nReplace=\n";
    if (i != broken) {
      ini += "Start=0\n";
    } else if (start != nullptr) {
      ini += std::string("Start=") + start + "\n";
    }
  }
  return ini;
}

TEST_F(CharCheckTest, EverySetUpFailureIsReportedAndLogged) {
  struct Row {
    std::string name;
    int status;
    std::function<void(CharCheckTest&, EnvList&)> prepare;
  };
  std::vector<Row> rows = {
      {"no tables", kCheckNoTable,
       [](CharCheckTest& t, EnvList&) { Env::Default()->Delete(t.shared + "pbrepl.csv"); }},
      {"user directory cannot be made", kCheckTableCopy,
       [](CharCheckTest& t, EnvList& env) {
         env.push_back(
             std::make_unique<ScopedEnvVar>("SITEPATHS_USER_DIR", t.Write("file", "x") + "/sub/"));
       }},
      {"no prohibit.ini", kCheckNoIni,
       [](CharCheckTest& t, EnvList&) { Env::Default()->Delete(t.shared + "prohibit.ini"); }},
      {"plug-in missing", kCheckPluginLoad,
       [](CharCheckTest& t, EnvList& env) {
         env.push_back(
             std::make_unique<ScopedEnvVar>("SITEPATHS_PLUGIN_DIR", t.dir.MakeDir("none")));
       }},
      {"plug-in not a library", kCheckPluginLoad,
       [](CharCheckTest& t, EnvList& env) {
         t.dir.MakeDir("bad");
         t.Write("bad/libchargate.so", "text");
         env.push_back(std::make_unique<ScopedEnvVar>("SITEPATHS_PLUGIN_DIR", t.dir.Sub("bad/")));
       }},
      {"plug-in lacks an entry point", kCheckPluginLoad,
       [](CharCheckTest&, EnvList& env) {
         env.push_back(
             std::make_unique<ScopedEnvVar>("SITEPATHS_PLUGIN_DIR", kFakePlugins + "incomplete/"));
       }},
      {"table unreadable", kCheckPluginInit,
       [](CharCheckTest& t, EnvList&) { t.dir.MakeDir("user/settings/pbrepl.csv"); }},
      {"plug-in refuses the groups", kCheckPluginGroups,
       [](CharCheckTest&, EnvList& env) {
         env.push_back(
             std::make_unique<ScopedEnvVar>("SITEPATHS_PLUGIN_DIR", kFakePlugins + "refusing/"));
       }},
  };
  for (int i = 0; i < kGroupCount; ++i) {
    for (const char* start : {static_cast<const char*>(nullptr), "", "XYZ", "g1"}) {
      rows.push_back({std::string(kGroupSections[i]) + " Start " + (start ? start : "missing"),
                      kCheckGroupSglKatakana - i, [i, start](CharCheckTest& t, EnvList&) {
                        t.Write("shared/prohibit.ini", GroupsIni(i, start));
                      }});
    }
  }
  AddTextBox(0, Sjis("ｱ①"));
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ResetSettings();
    RemoveTree(log);
    EnvList env;
    row.prepare(*this, env);
    const uint32_t before = form().update_count();
    EXPECT_EQ(Check(14, 14), row.status);
    EXPECT_EQ(Log(), FailLine(row.status));
    EXPECT_EQ(form().update_count(), before);
  }
}

TEST_F(CharCheckTest, GroupValuesAreReadAsHexadecimal) {
  for (const char* start : {"0", "a1", " A1", "0xA1", "+A1", "A1zz", "1234567"}) {
    SCOPED_TRACE(start);
    Write("shared/prohibit.ini", GroupsIni(0, start));
    EXPECT_EQ(Check(14, 14), 0);
  }
}

TEST_F(CharCheckTest, AnUnopenableLogStopsBeforeAnythingElse) {
  const PageData text = AddTextBox(0, Sjis("ｱ"));
  const std::string bad = dir.Sub("no/such/dir/check.log");
  EXPECT_EQ(CheckReplaceText(form(), 14, 14, bad.c_str(), nullptr), kCheckLogOpen);
  EXPECT_FALSE(Env::Default()->Exists(dir.Sub("user")));  // no set-up happened
  EXPECT_EQ(form().current_page(), 1);
  EXPECT_EQ(TextOf(text), Sjis("ｱ"));
}

TEST_F(CharCheckTest, TheFailingPlugInIsCalledInOrderWithTheTablePaths) {
  const std::string calls = dir.Sub("calls.txt");
  ScopedEnvVar fake_log("QSTORE_FAKE_GATE_LOG", calls);
  ScopedEnvVar plugin("SITEPATHS_PLUGIN_DIR", kFakePlugins + "refusing/");
  const std::string own = Write("own.csv", "");
  EXPECT_EQ(Check(14, 14), kCheckPluginGroups);
  EXPECT_EQ(Check(14, 14, own.c_str()), kCheckPluginGroups);
  const std::string ini = shared + "prohibit.ini";
  EXPECT_EQ(ReadFile(calls), "init " + user + "pbrepl.csv\ngroups " + ini + "\nfini -\n" + "init " +
                                 own + "\ngroups " + ini + "\nfini -\n");
}

TEST_F(CharCheckTest, EveryRunFailureIsReportedAndLogged) {
  ASSERT_EQ(QfaDeleteFormPage(&h), 0);  // one page
  const std::string long_title = Sjis("ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿ");
  struct Row {
    const char* name;
    std::function<void(CharCheckTest&)> build;
    // What losing the pages at each point of the run can give: never success with the text left.
    std::set<int> statuses;
  };
  const Row rows[] = {
      {"chart",
       [](CharCheckTest& t) { t.AddChartWith({Sjis("ｱ")}); },
       {4, kCheckPageData, kCheckChartInf, kCheckChartCell}},
      {"text",
       [](CharCheckTest& t) { t.AddTextBox(0, Sjis("ｱ")); },
       {4, kCheckPageData, kCheckTextRead, kCheckTextWrite}},
      {"free cell",
       [](CharCheckTest& t) { t.AddTextBox(0, Sjis("ｱ"), true); },
       {4, kCheckPageData, kCheckFreCellRead, kCheckFreCellWrite}},
      {"title-bound text too long for the title",
       [&](CharCheckTest& t) {
         t.SetTitle(long_title);
         t.AddTextBox(1, "");
       },
       {4, kCheckPageData, kCheckTextRead, kCheckUnboundText}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::set<int> seen;
    for (int loads = 0; loads < 100; ++loads) {
      ClearPages();
      row.build(*this);
      RemoveTree(log);
      FakeBinder faulty(form());
      faulty.page_loads_left = loads;
      const int status = CheckReplaceText(faulty, 14, 14, log.c_str(), nullptr);
      seen.insert(status);
      EXPECT_EQ(Log(), status < 0 ? FailLine(status) : status ? kKanaReplaced : "");
      if (status == 4) break;
    }
    EXPECT_EQ(seen, row.statuses);
  }
  // A failure part way keeps what was written before it, and every cell is either as it was or
  // wholly replaced.
  std::set<std::vector<std::string>> outcomes;
  for (int loads = 0; loads < 100; ++loads) {
    ClearPages();
    const PageData chart = AddChartWith({Sjis("ｱ"), Sjis("ｲ"), Sjis("ｳ")});
    FakeBinder faulty(form());
    faulty.page_loads_left = loads;
    const int status = CheckReplaceText(faulty, 14, 14, nullptr, nullptr);
    std::vector<std::string> cells;
    for (uint16_t col = 1; col <= 3; ++col) cells.push_back(CellOf(chart, col));
    outcomes.insert(cells);
    EXPECT_TRUE(status == 4 || status == kCheckChartCell || status == kCheckChartInf ||
                status == kCheckPageData);
    if (cells.back() != Sjis("ｳ")) break;  // all done
  }
  const std::string a = Sjis("ｱ"), b = Sjis("ｲ"), c = Sjis("ｳ");
  const std::string a2 = Sjis("<hwf>ア</hwf>"), b2 = Sjis("<hwf>イ</hwf>"),
                    c2 = Sjis("<hwf>ウ</hwf>");
  const std::set<std::vector<std::string>> want = {
      {a, b, c}, {a2, b, c}, {a2, b2, c}, {a2, b2, c2}};
  EXPECT_EQ(outcomes, want);

  // A title that cannot be stored.
  ClearPages();
  SetTitle(Sjis("ｱ"));
  AddTextBox(1, "");
  RemoveTree(log);
  FakeBinder no_header(form());
  no_header.refuse_header = true;
  EXPECT_EQ(CheckReplaceText(no_header, 14, 14, log.c_str(), nullptr), kCheckTitle);
  EXPECT_EQ(Log(), FailLine(kCheckTitle));
}

}  // namespace
}  // namespace qs
