// The conversion of one text, with the groups of the shipped "prohibit.ini" and a stand-in for the
// plug-in.
#include "docstore/check/text_convert.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "common/status.h"
#include "docstore/check/prohibit_groups.h"
#include "platform/env.h"
#include "support/sjis.h"

namespace qs {
namespace {

using qs_test::Sjis;

const std::string kMasterIni = std::string(QSTORE_SOURCE_DIR) + "/chargate/data/prohibit.ini";

// Judges the characters of a fixed map special.
class FakeSpecials : public SpecialChars {
 public:
  explicit FakeSpecials(std::map<std::string, std::string> table) : table_(std::move(table)) {}
  bool Judge(std::string_view ch, std::string* replacement) override {
    auto it = table_.find(std::string(ch));
    if (it == table_.end()) return false;
    *replacement = it->second;
    return true;
  }

 private:
  std::map<std::string, std::string> table_;
};

struct Met {
  std::string ch;
  uint16_t code;
  bool replaced;
  bool operator==(const Met& o) const {
    return ch == o.ch && code == o.code && replaced == o.replaced;
  }
};

class RecordingSink : public SpecialCharSink {
 public:
  void SpecialMet(std::string_view ch, uint16_t code, bool replaced) override {
    met.push_back({std::string(ch), code, replaced});
  }
  std::vector<Met> met;
};

ProhibitGroups MasterGroups() {
  ProhibitGroups groups;
  EXPECT_EQ(ReadProhibitGroups(*CurrentEnv(), kMasterIni, &groups), kOk);
  return groups;
}

FakeSpecials MasterlikeSpecials() {
  return FakeSpecials({{Sjis("①"), "(1)"},
                       {Sjis("㈱"), Sjis("(株)")},
                       {"\xF0\x40", "\xF0\x40"},  // user-defined, no replacement of its own
                       {"~", ""}});
}

struct ConvertCase {
  const char* name;
  const char* in;  // UTF-8, or raw bytes when `raw`
  int check;
  int replace;
  const char* want;  // UTF-8 (raw when `raw`)
  bool replaced;
  int found;
  bool raw = false;
};

TEST(TextConvertTest, ConvertsByCategoryAndMask) {
  const ConvertCase cases[] = {
      {"kana run", "ｱｲｳ", 14, 14, "<hwf>アイウ</hwf>", true, 4},
      {"kana between plain", "aｱｲb", 14, 14, "a<hwf>アイ</hwf>b", true, 4},
      {"combining ends run", "ｱｲｶﾞ", 14, 14, "<hwf>アイカ</hwf>゛<bs/>", true, 4},
      {"run after combining", "ﾊﾟｿｺﾝ", 14, 14, "<hwf>ハ</hwf>゜<bs/><hwf>ソコン</hwf>", true, 4},
      {"combining alone", "ﾞ", 14, 14, "゛<bs/>", true, 4},
      {"kana reported", "ｱｲｳ", 14, 0, "ｱｲｳ", false, 4},
      {"kana not checked", "ｱｲｳ", 10, 14, "ｱｲｳ", false, 0},
      {"wide letters", "ａｂｃ１", 14, 14, "ＡＢＣ１", true, 2},
      {"greek and cyrillic", "αωая", 14, 14, "ΑΩАЯ", true, 2},
      {"wide reported", "ａ", 14, 12, "ａ", false, 2},
      {"special replaced", "x①y", 14, 14, "x(1)y", true, 8},
      {"special reported", "①", 14, 6, "①", false, 8},
      {"special not checked", "①", 6, 14, "①", false, 0},
      {"special same as itself", "\xF0\x40", 14, 14, "\xF0\x40", false, 8, true},
      {"special to nothing", "a~b", 14, 14, "ab", true, 8},
      {"special closes run", "ｱ①ｲ", 14, 14, "<hwf>ア</hwf>(1)<hwf>イ</hwf>", true, 12},
      {"reported special closes run", "ｱ①ｲ", 14, 4, "<hwf>ア</hwf>①<hwf>イ</hwf>", true, 12},
      {"all categories", "ａｱ㈱", 14, 14, "Ａ<hwf>ア</hwf>(株)", true, 14},
      {"nothing at all", "abc漢字", 14, 14, "abc漢字", false, 0},
      {"check mask zero", "ａｱ①", 0, 14, "ａｱ①", false, 0},
      {"lone lead byte at end", "a\x82", 14, 14, "a\x82", false, 0, true},
      {"trail byte in kana range", "\x83\xB1", 14, 14, "\x83\xB1", false, 0, true},
  };
  const ProhibitGroups groups = MasterGroups();
  for (const ConvertCase& c : cases) {
    SCOPED_TRACE(c.name);
    FakeSpecials specials = MasterlikeSpecials();
    TextConverter converter(groups, c.check, c.replace, &specials, nullptr);
    std::string out;
    const std::string in = c.raw ? c.in : Sjis(c.in);
    EXPECT_EQ(converter.Convert(in, 255, &out), c.replaced);
    EXPECT_EQ(out, c.raw ? c.want : Sjis(c.want));
    EXPECT_EQ(converter.found_mask(), c.found);
  }
}

TEST(TextConvertTest, TellsEverySpecialCharacterWithItsCode) {
  const ProhibitGroups groups = MasterGroups();
  FakeSpecials specials = MasterlikeSpecials();
  RecordingSink sink;
  TextConverter converter(groups, 14, 14, &specials, &sink);
  std::string out;
  converter.Convert(Sjis("①a①") + "\xF0\x40~", 255, &out);
  const std::vector<Met> want = {{Sjis("①"), 0x8740, true},
                                 {Sjis("①"), 0x8740, true},
                                 {"\xF0\x40", 0xF040, false},
                                 {"~", 0x7E, true}};
  EXPECT_EQ(sink.met, want);
}

TEST(TextConvertTest, AShortReplaceValueReportsWithoutReplacing) {
  ProhibitGroups groups = MasterGroups();
  // Entries for 0xA1..0xA3 only: 0xB1 (ｱ) lies in the range but has no entry.
  groups[kSglKatakana].replace.resize(6);
  groups[kDblAlnum1].replace.resize(1);  // half an entry for ａ
  FakeSpecials specials = MasterlikeSpecials();
  TextConverter converter(groups, 14, 14, &specials, nullptr);
  std::string out;
  EXPECT_TRUE(converter.Convert(Sjis("｡ｱ｡ａ"), 255, &out));
  // The reported katakana closes the run before it, so the text keeps its order.
  EXPECT_EQ(out, Sjis("<hwf>。</hwf>ｱ<hwf>。</hwf>ａ"));
  EXPECT_EQ(converter.found_mask(), 6);
}

// True when a text does not end inside a character.
bool WholeCharacters(const std::string& s) {
  return SjisWholePrefix(s, s.size()) == s.size();
}

size_t Count(const std::string& s, const std::string& what) {
  size_t n = 0;
  for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1)) ++n;
  return n;
}

TEST(TextConvertTest, GrowthPastTheLimitCutsWholePiecesAndClosesTheRun) {
  const ProhibitGroups groups = MasterGroups();
  FakeSpecials specials({{Sjis("①"), Sjis("ＡＢ")}, {Sjis("②"), std::string(40, '#')}});
  const std::vector<std::string> alphabet = {"a",       Sjis("ｱ"), Sjis("ﾞ"), Sjis("ａ"),
                                             Sjis("①"), Sjis("②"), Sjis("漢")};
  std::mt19937 rng(1234);
  for (int round = 0; round < 2000; ++round) {
    std::string in;
    for (;;) {
      const std::string& ch = alphabet[rng() % alphabet.size()];
      if (in.size() + ch.size() > 255) break;
      in += ch;
    }
    const size_t limit = rng() % 256;
    TextConverter full(groups, 14, 14, &specials, nullptr);
    TextConverter cut(groups, 14, 14, &specials, nullptr);
    std::string whole, part;
    full.Convert(in, std::string::npos, &whole);
    cut.Convert(in, limit, &part);
    SCOPED_TRACE(in + " -> " + part);
    ASSERT_LE(part.size(), limit);
    ASSERT_TRUE(WholeCharacters(part));
    ASSERT_EQ(Count(part, "<hwf>"), Count(part, "</hwf>"));
    ASSERT_EQ(full.found_mask(), cut.found_mask());
    if (whole.size() <= limit) {
      ASSERT_EQ(part, whole);
      continue;
    }
    // Apart from a run closed early, the cut text is the start of the whole one.
    std::string core = part;
    const std::string close = "</hwf>";
    if (core.size() >= close.size() &&
        core.compare(core.size() - close.size(), close.size(), close) == 0 &&
        whole.compare(core.size() - close.size(), close.size(), close) != 0) {
      core.resize(core.size() - close.size());
    }
    ASSERT_EQ(whole.compare(0, core.size(), core), 0);
    ASSERT_TRUE(WholeCharacters(whole.substr(0, core.size())));
  }
}

TEST(ProhibitGroupsTest, MasterFileHoldsAnEntryForEveryCode) {
  const ProhibitGroups groups = MasterGroups();
  const size_t widths[kGroupCount] = {2, 2, 2, 2, 1};
  for (int i = 0; i < kGroupCount; ++i) {
    SCOPED_TRACE(kGroupSections[i]);
    const ProhibitGroup& g = groups[i];
    ASSERT_LE(g.start, g.end);
    EXPECT_FALSE(g.name.empty());
    EXPECT_EQ(g.replace.size(), size_t(g.end - g.start + 1) * widths[i]);
  }
  EXPECT_EQ(groups[kSglKatakana].back_spc, Sjis("ﾞﾟ"));
}

}  // namespace
}  // namespace qs
