// The prohibited-character check through the document library's exports, on a document of several
// pages (more than the page cache holds), with the shipped tables and the plug-in of this build.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "docstore.h"
#include "platform/env.h"
#include "support/doc_site.h"
#include "support/scratch_dir.h"
#include "support/sjis.h"

namespace qs_test {
namespace {

using qs::test::ScopedEnvVar;

constexpr int kPages = 5;
// The first entry of a page, by kind.
constexpr uint32_t kChartEntry = 1 | 1 << 8;
constexpr uint32_t kTextEntry = 2 | 1 << 8;
constexpr uint32_t kFreCellEntry = 3 | 1 << 8;

std::string ReadFile(const std::string& path) {
  std::string text;
  return qs::ReadWholeFile(qs::CurrentEnv(), path, &text) ? text : "<missing>";
}

std::string SpecialLine(bool replaced) {
  return Sjis(replaced ? "外字・特殊文字“①(0x8740)”を置換しました。\n"
                       : "外字・特殊文字“①(0x8740)”が含まれています。\n");
}

class DocCheckTest : public ::testing::Test {
 protected:
  void TearDown() override { QdaCloseDoc(&h); }

  // Page 1 a chart cell, page 2 a text, page 3 a free cell, page 4 nothing and page 5 a text,
  // each holding `text`; page 2 current.
  void MakeDocument(const std::string& text) {
    CreateDoc(&h, kPages);
    Text rec{};
    rec.Right = 200;
    rec.Bottom = 20;
    std::strcpy(rec.Font.FontName, "Mincho");
    uint16_t entry = 0;
    ASSERT_EQ(QdaPutCurPage(&h, 1), 0);
    ChartInf chart{};
    chart.Rows = chart.Cols = 1;
    chart.RowHight = 10;
    chart.Right = 100;
    chart.Bottom = 10;
    chart.LineStyle = 1;
    ASSERT_EQ(QdaAddChart(&h, &chart, &entry), 0);
    ChartCell cell{};
    std::strcpy(cell.Font.FontName, "Mincho");
    ASSERT_EQ(QdaPutChartCell(&h, entry, 1, 1, &cell, text.c_str()), 0);
    for (int page : {2, 5}) {
      ASSERT_EQ(QdaPutCurPage(&h, page), 0);
      ASSERT_EQ(QdaAddText(&h, &rec, text.c_str(), &entry), 0);
    }
    ASSERT_EQ(QdaPutCurPage(&h, 3), 0);
    ASSERT_EQ(QdaAddFreCell(&h, &rec, text.c_str(), &entry), 0);
    ASSERT_EQ(QdaPutCurPage(&h, 2), 0);
  }

  // The checked text of pages 1, 2, 3 and 5, which must all be the same; "<differs>" otherwise.
  std::string Texts() {
    std::string first;
    for (int page : {1, 2, 3, 5}) {
      EXPECT_EQ(QdaPutCurPage(&h, page), 0);
      char text[256] = {};
      Text rec{};
      ChartCell cell{};
      const int r = page == 1   ? QdaGetChartCell(&h, kChartEntry, 1, 1, &cell, text)
                    : page == 3 ? QdaGetFreCell(&h, kFreCellEntry, &rec, text)
                                : QdaGetText(&h, kTextEntry, &rec, text);
      EXPECT_EQ(r, 0) << "page " << page;
      if (page == 1) first = text;
      if (first != text) return "<differs>";
    }
    return first;
  }
  // The first text of the current page.
  std::string FirstText() {
    char text[256] = {};
    Text rec{};
    EXPECT_EQ(QdaGetText(&h, kTextEntry, &rec, text), 0);
    return text;
  }

  DocSite site;
  DocHandle h{};
  const std::string log = site.root() + "check.log";
  const std::string user = site.root() + "user/";
  ScopedEnvVar plugin_env{"SITEPATHS_PLUGIN_DIR", std::string(QSTORE_BINARY_DIR) + "/lib/"};
  ScopedEnvVar shared_env{"SITEPATHS_SHARED_DIR",
                          std::string(QSTORE_SOURCE_DIR) + "/chargate/data/"};
  ScopedEnvVar user_env{"SITEPATHS_USER_DIR", user};
};

TEST_F(DocCheckTest, EveryVariantChecksEveryPageAndSavesItsReplacements) {
  const std::string own = site.WriteFile("own.csv", "8740,OWN\n");
  using Call = std::function<int32_t(DocHandle*, const char*)>;
  struct Row {
    const char* name;
    Call call;
    bool with_log;
    int32_t result;
    const char* want;  // "ｱａ①" checked
    std::string log;
  };
  const Row rows[] = {
      {"QdaCheckReplaceText (all categories)",
       [](DocHandle* d, const char* l) { return QdaCheckReplaceText(d, 14, l); }, true, 14,
       "<hwf>ア</hwf>Ａ(1)",
       SpecialLine(true) + Sjis("全角英数字を置換しました。\n半角カタカナを置換しました。\n")},
      {"QdaCheckReplaceText2 (katakana only, no log)",
       [](DocHandle* d, const char*) { return QdaCheckReplaceText2(d, 4, 14, nullptr); }, false, 4,
       "<hwf>ア</hwf>ａ①", "<missing>"},
      {"QdaCheckReplaceTextAp (own table, specials replaced)",
       [&](DocHandle* d, const char* l) { return QdaCheckReplaceTextAp(d, 8, l, own.c_str()); },
       true, 14, "ｱａOWN",
       SpecialLine(true) + Sjis("全角英数字が含まれています。\n半角カタカナが含まれています。\n")},
      {"QdaCheckReplaceTextAp2 (no katakana, no such table: the user's)",
       [](DocHandle* d, const char* l) { return QdaCheckReplaceTextAp2(d, 10, 10, l, "none.csv"); },
       true, 10, "ｱＡ(1)", SpecialLine(true) + Sjis("全角英数字を置換しました。\n")},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    QdaCloseDoc(&h);
    qs::CurrentEnv()->Delete(log);
    MakeDocument(Sjis("ｱａ①"));
    ASSERT_EQ(QdaUndoControlStart(&h), 0);
    const int32_t before = QdaQueryDocUpdate(&h);

    ASSERT_EQ(QdaUndoBlockStart(&h), 0);
    EXPECT_EQ(row.call(&h, row.with_log ? log.c_str() : nullptr), row.result);
    ASSERT_EQ(QdaUndoBlockEnd(&h), 0);
    EXPECT_EQ(h.CurPage, kPages);  // the run ends on the last page
    EXPECT_EQ(ReadFile(log), row.log);
    EXPECT_EQ(ReadFile(user + "pbrepl.csv"),
              ReadFile(std::string(QSTORE_SOURCE_DIR) + "/chargate/data/pbrepl.csv"));
    EXPECT_EQ(QdaQueryDocUpdate(&h), before + 4);  // one put per replaced text
    // The run's page changes emptied the journals and closed the caller's block.
    EXPECT_EQ(QdaUndoCount(&h), 0);
    const std::string path = site.root() + "checked.doc";
    ASSERT_EQ(QdaSaveDoc(&h, path.c_str()), 0);
    QdaCloseDoc(&h);
    ASSERT_EQ(QdaOpenDoc(&h, path.c_str()), 0);
    EXPECT_EQ(Texts(), Sjis(row.want));
  }

  // On a document of one page the run stays on it, and its replacements are one undoable step.
  QdaCloseDoc(&h);
  CreateDoc(&h, 1);
  Text rec{};
  std::strcpy(rec.Font.FontName, "Mincho");
  uint16_t entry = 0;
  ASSERT_EQ(QdaAddText(&h, &rec, Sjis("ｱａ①").c_str(), &entry), 0);
  ASSERT_EQ(QdaUndoControlStart(&h), 0);
  ASSERT_EQ(QdaUndoBlockStart(&h), 0);
  EXPECT_EQ(QdaCheckReplaceTextAp(&h, 14, nullptr, own.c_str()), 14);
  ASSERT_EQ(QdaUndoBlockEnd(&h), 0);
  EXPECT_EQ(FirstText(), Sjis("<hwf>ア</hwf>ＡOWN"));
  ASSERT_EQ(QdaUndo(&h), 0);
  EXPECT_EQ(FirstText(), Sjis("ｱａ①"));
  ASSERT_EQ(QdaRedo(&h), 0);
  EXPECT_EQ(FirstText(), Sjis("<hwf>ア</hwf>ＡOWN"));
}

TEST_F(DocCheckTest, SubsStrRevKeepsDoubleByteCharactersWhole) {
  std::string text = Sjis("ab①ｱ");
  EXPECT_EQ(QdaSubsStrRev(text.data()), text.data());
  EXPECT_EQ(text, Sjis("ｱ①ba"));
  EXPECT_EQ(QdaSubsStrRev(nullptr), nullptr);
}

}  // namespace
}  // namespace qs_test
