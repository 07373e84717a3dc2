// The character-check plug-in: its table reader, and its entry points as the check loads them.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "chargate/replace_table.h"
#include "docstore/check/char_gate.h"
#include "platform/env.h"
#include "support/scratch_dir.h"
#include "support/sjis.h"

namespace qs {
namespace {

using qs_test::Sjis;

const std::string kPlugin = std::string(QSTORE_BINARY_DIR) + "/lib/libchargate.so";
const std::string kMasterTable = std::string(QSTORE_SOURCE_DIR) + "/chargate/data/pbrepl.csv";

struct TableCase {
  const char* name;
  std::string text;
  uint16_t code;
  std::optional<std::string> want;
};

TEST(ReplaceTableTest, ReadsOneCharacterALine) {
  const std::string kanji = Sjis("漢");
  const TableCase cases[] = {
      {"plain", "8740,(1)\n", 0x8740, "(1)"},
      {"last line without newline", "8740,(1)", 0x8740, "(1)"},
      {"crlf", "8740,(1)\r\n", 0x8740, "(1)"},
      {"lower-case hex and blanks", " 87a0 ,x\n", 0x87A0, "x"},
      {"one-byte code", "A6,wo\n", 0xA6, "wo"},
      {"empty replacement", "8740,\n", 0x8740, ""},
      {"commas after the first kept", "8740,a,b\n", 0x8740, "a,b"},
      {"later line wins", "8740,a\n8740,b\n", 0x8740, "b"},
      {"comment #", "#8740,a\n", 0x8740, std::nullopt},
      {"comment ;", ";8740,a\n", 0x8740, std::nullopt},
      {"no comma", "8740\n", 0x8740, std::nullopt},
      {"not hexadecimal", "87G0,a\n", 0x87, std::nullopt},
      {"five digits", "18740,a\n", 0x8740, std::nullopt},
      {"empty code", ",a\n", 0, std::nullopt},
      {"bad line skipped, next read", "zz\n8740,ok\n", 0x8740, "ok"},
      {"nul ends the text", std::string("8740,ab\0cd\n", 11), 0x8740, "ab"},
      {"cut to 255 bytes", "8740," + std::string(300, 'x') + "\n", 0x8740, std::string(255, 'x')},
      {"cut before a split character", "8740," + std::string(254, 'x') + kanji + "\n", 0x8740,
       std::string(254, 'x')},
      {"trailing lead byte dropped", "8740,ab\x82\n", 0x8740, "ab"},
  };
  for (const TableCase& c : cases) {
    SCOPED_TRACE(c.name);
    ReplaceTable table;
    table.Parse(c.text);
    const std::string* got = table.Find(c.code);
    ASSERT_EQ(got != nullptr, c.want.has_value());
    if (got != nullptr) {
      EXPECT_EQ(*got, *c.want);
    }
  }
}

TEST(ReplaceTableTest, MasterTableParsesEveryLine) {
  std::string text;
  ASSERT_TRUE(ReadWholeFile(Env::Default(), kMasterTable, &text));
  size_t lines = 0;
  for (size_t at = 0; at < text.size();) {
    const size_t end = text.find('\n', at);
    const std::string line = text.substr(at, end - at);
    if (!line.empty() && line != "\r" && line[0] != '#') ++lines;
    at = end == std::string::npos ? text.size() : end + 1;
  }
  ReplaceTable table;
  table.Parse(text);
  EXPECT_EQ(table.size(), lines);
  EXPECT_GT(lines, 100u);
  ASSERT_NE(table.Find(0x8740), nullptr);
  EXPECT_EQ(*table.Find(0x8740), "(1)");
  EXPECT_EQ(*table.Find(0x878A), Sjis("(株)"));
}

class ChargateTest : public ::testing::Test {
 protected:
  std::string Write(const char* name, const std::string& text) {
    const std::string path = dir.Sub(name);
    EXPECT_TRUE(WriteWholeFile(Env::Default(), path, text));
    return path;
  }
  // The plug-in's answer for one character: nullopt when it is ordinary.
  std::optional<std::string> Ask(const std::string& ch) {
    char* text = nullptr;
    const int r = gate.CheckSubst(ch.c_str(), &text);
    if (r <= 0) return std::nullopt;
    return text == nullptr ? std::string("<null>") : std::string(text);
  }

  test::ScratchDir dir{"chargate"};
  CharGate gate;
};

TEST_F(ChargateTest, AnswersFromTheTableAndTheUserDefinedArea) {
  ASSERT_TRUE(gate.Load(*CurrentEnv(), kPlugin));
  ASSERT_NE(gate.Init(Write("t.csv", "8740,(1)\nA6,wo\nF041,X\n")), nullptr);
  EXPECT_EQ(gate.GroupLoad(Write("prohibit.ini", "")), 0);
  EXPECT_NE(gate.GroupLoad(dir.Sub("missing.ini")), 0);
  EXPECT_EQ(Ask(Sjis("①")), "(1)");
  EXPECT_EQ(Ask("\xA6"), "wo");
  EXPECT_EQ(Ask("\xF0\x40"), "\xF0\x40");  // user-defined: itself
  EXPECT_EQ(Ask("\xF9\xFC"), "\xF9\xFC");
  EXPECT_EQ(Ask("\xF0\x41"), "X");           // the table wins
  EXPECT_EQ(Ask("\xFA\x40"), std::nullopt);  // outside the area, not in the table
  EXPECT_EQ(Ask("A"), std::nullopt);
  EXPECT_EQ(Ask(Sjis("漢")), std::nullopt);
  std::string replacement;
  EXPECT_TRUE(gate.Judge(Sjis("①"), &replacement));
  EXPECT_EQ(replacement, "(1)");
  EXPECT_FALSE(gate.Judge("A", &replacement));
}

TEST_F(ChargateTest, InitFailsWithoutAReadableTable) {
  ASSERT_TRUE(gate.Load(*CurrentEnv(), kPlugin));
  EXPECT_EQ(gate.Init(dir.Sub("missing.csv")), nullptr);
  EXPECT_EQ(gate.Init(dir.path()), nullptr);  // a directory
}

TEST_F(ChargateTest, WrappersAnswerWithoutAPlugin) {
  EXPECT_FALSE(gate.Load(*CurrentEnv(), dir.Sub("libchargate.so")));
  EXPECT_FALSE(gate.Load(*CurrentEnv(), Write("libchargate.so", "not a library")));
  EXPECT_FALSE(gate.Load(
      *CurrentEnv(), std::string(QSTORE_BINARY_DIR) + "/test-plugins/incomplete/libchargate.so"));
  EXPECT_EQ(gate.Init(kMasterTable), nullptr);
  EXPECT_EQ(gate.GroupLoad("x"), CharGate::kNotLoaded);
  char* text = nullptr;
  EXPECT_EQ(gate.CheckSubst("a", &text), CharGate::kNotLoaded);
  EXPECT_EQ(gate.Fini(), CharGate::kNotLoaded);
  std::string replacement;
  EXPECT_FALSE(gate.Judge("a", &replacement));
}

}  // namespace
}  // namespace qs
