// The tool's own building blocks: Shift-JIS shown as UTF-8 without losing a byte, picture formats,
// file kinds and status meanings.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>

#include "tools/qstore/model_json.h"
#include "tools/qstore/page_reader.h"
#include "tools/qstore/reader.h"
#include "tools/qstore/status.h"
#include "tools/qstore/text.h"

namespace qstore::tool {
namespace {

struct ShowCase {
  std::string sjis;
  std::string shown;
};

TEST(ShowText, ConvertsOrEscapesEveryByte) {
  const ShowCase cases[] = {
      {"", ""},
      {"Plain ASCII 123", "Plain ASCII 123"},
      {"\x95\x69\x96\xBC", "品名"},
      {"\x82\x60\x82\x61\x82\x50", "ＡＢ１"},
      {"\xB6\xC0\xB6\xC5", "ｶﾀｶﾅ"},  // half-width katakana
      {"tab\tand\nnewline", "tab\tand\nnewline"},
      {"a\\b", "a\\\\b"},                                     // a backslash stays unambiguous
      {"\xF0\x40", "\\xF0\\x40"},                             // user-defined area
      {"x\x81", "x\\x81"},                                    // lead byte at the end
      {"\x81\x0A", "\\x81\n"},                                // lead byte without a trail byte
      {std::string("\x01\x1B\x7F", 3), "\\x01\\x1B\\x7F"},    // control bytes
      {"\x80\xA0\xFD\xFE\xFF", "\\x80\\xA0\\xFD\\xFE\\xFF"},  // bytes that start no character
      {"\x85\x40", "\\x85\\x40"},                             // a code the code page leaves empty
  };
  for (const ShowCase& c : cases) EXPECT_EQ(ShowText(c.sjis), c.shown) << c.shown;
}

// Reverses ShowText: escapes back to bytes, everything else back to Shift-JIS.
std::string Unshow(const std::string& shown) {
  std::string bytes, run;
  auto flush = [&] {
    std::optional<std::string> sjis = ToSjis(run);
    bytes += sjis ? *sjis : std::string("<unconvertible>");
    run.clear();
  };
  for (size_t i = 0; i < shown.size(); ++i) {
    if (shown[i] == '\\' && i + 1 < shown.size() && shown[i + 1] == '\\') {
      flush();
      bytes += '\\';
      ++i;
    } else if (shown[i] == '\\' && i + 3 < shown.size() && shown[i + 1] == 'x') {
      flush();
      bytes += static_cast<char>(std::stoi(shown.substr(i + 2, 2), nullptr, 16));
      i += 3;
    } else {
      run += shown[i];
    }
  }
  flush();
  return bytes;
}

bool ValidUtf8(const std::string& s) {
  for (size_t i = 0; i < s.size();) {
    const unsigned char b = static_cast<unsigned char>(s[i]);
    const size_t n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    for (size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += n;
  }
  return true;
}

TEST(ShowText, RandomBytesComeOutAsUtf8AndBackUnchanged) {
  std::mt19937 random(14);
  // Bytes drawn mostly from the ranges where Shift-JIS characters live.
  const std::pair<int, int> ranges[] = {{0x20, 0x7E}, {0x81, 0x9F}, {0xE0, 0xFC},
                                        {0x40, 0xFC}, {0xA1, 0xDF}, {0x00, 0xFF}};
  for (int round = 0; round < 20000; ++round) {
    std::string sjis;
    const int length = static_cast<int>(random() % 24);
    bool duplicates = false;  // codes the code page maps to the same character as another code
    for (int i = 0; i < length; ++i) {
      const auto& [low, high] = ranges[random() % 6];
      const int b = low + static_cast<int>(random() % (high - low + 1));
      duplicates = duplicates || b == 0x87 || b == 0xED || b == 0xEE || b >= 0xFA;
      sjis += static_cast<char>(b);
    }
    const std::string shown = ShowText(sjis);
    ASSERT_TRUE(ValidUtf8(shown)) << shown;
    const std::string back = Unshow(shown);
    ASSERT_EQ(back.size(), sjis.size()) << shown;  // nothing dropped, nothing added
    if (!duplicates) {
      ASSERT_EQ(back, sjis) << shown;
    }
  }
}

TEST(Text, XmlEscapeAndBuffers) {
  EXPECT_EQ(XmlEscape("a<b>&\"c'"), "a&lt;b&gt;&amp;&quot;c&apos;");
  const char buffer[4] = {'a', 'b', 'c', 'd'};  // no NUL: the size bounds the string
  EXPECT_EQ(FromBuffer(buffer, sizeof buffer), "abcd");
  EXPECT_EQ(FromBuffer("ab\0cd", 5), "ab");
  EXPECT_FALSE(ToSjis("\xF0\x9F\x98\x80").has_value());  // an emoji has no Shift-JIS form
}

TEST(PictureFormat, FromFirstBytes) {
  std::string bmp(64, '\0');
  bmp[0] = 'B';
  bmp[1] = 'M';
  bmp[10] = 54;
  bmp[14] = 40;
  std::string short_bmp = bmp;
  short_bmp[10] = static_cast<char>(200);  // pixels said to start past the end
  const std::pair<std::string, std::string> cases[] = {
      {std::string("\x89PNG\r\n\x1a\n....", 12), "png"},
      {"\xFF\xD8\xFF\xE0rest", "jpeg"},
      {"GIF89a....", "gif"},
      {std::string("RIFF\x10\x00\x00\x00WEBPVP8 ", 16), "webp"},
      {bmp, "bmp"},
      {short_bmp, ""},
      {"BM demo picture", ""},
      {"  <?xml version='1.0'?><svg/>", "svg"},
      {std::string("II*\0\x08\0\0\0", 8), ""},  // TIFF: no browser shows it
      {"", ""},
  };
  for (const auto& [bytes, format] : cases) EXPECT_EQ(PictureFormat(bytes), format) << format;
}

TEST(KindFromPath, ExtensionDecides) {
  const std::pair<const char*, FileKind> cases[] = {
      {"a.QFD", FileKind::kForm},     {"dir/a.qfd", FileKind::kForm},
      {"a", FileKind::kForm},         {"old.forms/plan", FileKind::kForm},
      {"a.QDD", FileKind::kDocument}, {"dir/a.doc", FileKind::kDocument},
  };
  for (const auto& [path, kind] : cases) EXPECT_EQ(KindFromPath(path), kind) << path;
}

TEST(StatusMeaning, DependsOnTheCallWhereNumbersDo) {
  const std::tuple<const char*, int32_t, const char*> cases[] = {
      {"QfaOpenForm", 100, "file not found"},
      {"QdaOpenDoc", 102, "damaged file or short record"},
      {"QdaOpenDoc", -2, "document state cannot be made"},
      {"QfaAddFieldLayout", -3, "a field is already placed at that cell"},
      {"QfaChartNextCellEx", -3, "refused: no cell that way"},
      {"QdaConcatDoc", 501, "the documents' information differs"},
      {"QdaCheckReplaceText2", -2009,
       "prohibit.ini not found in the shared directory (SITEPATHS_SHARED_DIR)"},
      {"QdaCheckReplaceText", -4242, "the character check failed"},
      {"QfaOpenForm", 999, "unknown status"},
  };
  for (const auto& [call, status, meaning] : cases)
    EXPECT_EQ(StatusMeaning(call, status), meaning) << call << " " << status;
  EXPECT_STREQ(CallError("f.QFD", "QfaOpenForm", 100).what(),
               "f.QFD: QfaOpenForm returned 100 (file not found)");
}

// Messages name the export that failed; only the calls on the whole item carry its name.
TEST(CallName, NamesTheExport) {
  const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
      {"Qfa", "Form", "Open", "QfaOpenForm"},
      {"Qda", "Doc", "GetInf2", "QdaGetDocInf2"},
      {"Qfa", "Form", "GetDateTime", "QfaGetFormDateTime"},
      {"Qda", "Doc", "GetChartHR", "QdaGetChartHR"},
      {"Qfa", "Form", "GetInsFigure", "QfaGetInsFigure"},
  };
  for (const auto& [prefix, item, call, name] : cases)
    EXPECT_EQ(CallName(prefix, item, call), name);
}

TEST(PrettyJson, PlainMembersOnOneLineAndParsesBack) {
  const Json line = Json{{"style", 1}, {"param", 0}, {"color", "#000000"}};
  EXPECT_EQ(PrettyJson(line), R"({"style": 1, "param": 0, "color": "#000000"})");
  EXPECT_EQ(PrettyJson(Json{{"rows", Json::array({1, 2})}, {"no", Json::array()}}, 2),
            "{\n    \"rows\": [1, 2],\n    \"no\": []\n  }");
  // Nested values of every kind come back unchanged, keys in the same order.
  std::mt19937 random(7);
  std::function<Json(int)> make = [&](int depth) -> Json {
    switch (depth > 3 ? random() % 4 : random() % 6) {
      case 0:
        return Json(static_cast<int>(random() % 1000) - 500);
      case 1:
        return Json("s\"\\" + std::to_string(random() % 9) + "品");
      case 2:
        return Json(random() % 2 == 0);
      case 3:
        return Json(nullptr);
      case 4: {
        Json a = Json::array();
        for (int n = random() % 4; n > 0; --n) a.push_back(make(depth + 1));
        return a;
      }
      default: {
        Json o = Json::object();
        for (int n = random() % 4; n > 0; --n)
          o["k" + std::to_string(random() % 50)] = make(depth + 1);
        return o;
      }
    }
  };
  for (int round = 0; round < 500; ++round) {
    const Json value = make(0);
    const std::string text = PrettyJson(value, 4);
    ASSERT_EQ(Json::parse(text), value) << text;
    ASSERT_EQ(Json::parse(text).dump(), value.dump()) << text;  // key order kept
  }
}

}  // namespace
}  // namespace qstore::tool
