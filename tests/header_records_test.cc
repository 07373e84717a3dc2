// The one reader of record heads and of the header records at the start of form and document files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/file/header_codec.h"
#include "common/file/record_codec.h"
#include "common/status.h"
#include "platform/memory_file.h"

namespace {

using qs::kDamaged;
using qs::kOk;
using qs::RecordHead;

std::string Head(char tag, int32_t length) {
  std::string s = {'\x1B', tag};
  for (int i = 0; i < 4; ++i) s += char(uint32_t(length) >> (8 * i));
  return s;
}

std::string Record(char tag, const std::string& body) {
  return Head(tag, int32_t(body.size())) + body;
}

// A current-layout 'H' body: version 2, a title, and the page count last.
std::string HeaderBody(uint16_t pages, const char* title = "T") {
  std::string body(qs::kHeaderBodySize, '\0');
  body[0] = 2;
  body.replace(1, std::string(title).size(), title);
  body[qs::kHeaderBodySize - 2] = char(pages);
  body[qs::kHeaderBodySize - 1] = char(pages >> 8);
  return body;
}

TEST(DecodeRecordHeadTest, MarkAndLength) {
  struct Case {
    const char* name;
    std::string raw;
    int status;
    uint8_t tag;
    int32_t length;
  };
  const Case cases[] = {
      {"ordinary", Head('H', 288), kOk, 'H', 288},
      {"tag 0, empty", Head('\0', 0), kOk, 0, 0},
      {"largest length", Head('I', 0x7FFFFFFF), kOk, 'I', 0x7FFFFFFF},
      {"negative length", Head('I', -1), kDamaged, 0, 0},
      {"no mark", "\x1CH" + Head('H', 4).substr(2), kDamaged, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordHead head;
    head.tag = 0x55;
    ASSERT_EQ(qs::DecodeRecordHead(reinterpret_cast<const uint8_t*>(c.raw.data()), &head),
              c.status);
    if (c.status != kOk) {
      EXPECT_EQ(head.tag, 0x55);  // nothing written
      continue;
    }
    EXPECT_FALSE(head.end);
    EXPECT_EQ(head.tag, c.tag);
    EXPECT_EQ(head.length, c.length);
  }
}

TEST(ReadHeaderRecordsTest, ReadsTheHeaderRecordsUpToTheFirstOtherOne) {
  const std::string colors(64, '\x01');
  const std::string block(360, '\x02');
  const std::string old_block(352, '\x03');
  struct Case {
    const char* name;
    std::string file;
    bool older_layouts;
    int take_status;  // what the library's 'H' handler answers
    int status;
    std::string stop;  // tag of the record that ended the scan; "end" at the end of the input
    int heads_taken;
    uint16_t pages;
    std::string memo;  // "-" for none
    bool has_colors, has_block;
    uint32_t block_first;
  };
  const std::string h = Record('H', HeaderBody(3));
  const Case cases[] = {
      {"header alone, then a page", h + Record('P', "1234"), false, kOk, kOk, "P", 1, 3, "-", false,
       false, 0},
      {"every header record, then an unknown one",
       h + Record('M', "memo") + Record('a', colors) + Record('b', block) + Record('X', "") +
           Record('M', "late"),
       false, kOk, kOk, "X", 1, 3, "memo", true, true, 0x02020202},
      {"header records to the end", h + Record('M', std::string("m\0junk", 6)), false, kOk, kOk,
       "end", 1, 3, "m", false, false, 0},
      {"an empty memo is no memo", h + Record('M', ""), false, kOk, kOk, "end", 1, 3, "-", false,
       false, 0},
      {"older block taken", h + Record('b', old_block), true, kOk, kOk, "end", 1, 3, "-", false,
       true, 80},
      {"older block refused", h + Record('b', old_block), false, kOk, kDamaged, "", 1, 3, "-",
       false, false, 0},
      {"colours of the wrong length", h + Record('a', colors + "x"), false, kOk, kDamaged, "", 1, 3,
       "-", false, false, 0},
      {"header of no layout", Record('H', std::string(100, '\0')), false, kOk, kDamaged, "", 0, 0,
       "-", false, false, 0},
      {"older header layout", Record('H', std::string(qs::kShortHeaderBodySize, '\0')), false, kOk,
       kOk, "end", 1, 0, "-", false, false, 0},
      {"header refused by the library", h + Record('M', "memo"), false, qs::kVersionTooNew,
       qs::kVersionTooNew, "", 1, 3, "-", false, false, 0},
      {"a second header goes to the library too", h + Record('H', HeaderBody(5)), false, kOk, kOk,
       "end", 2, 5, "-", false, false, 0},
      {"cut short after a header record", h + "\x1B", false, kOk, kDamaged, "", 1, 3, "-", false,
       false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    qs::MemoryFile file(c.file);
    qs::RecordReader in(&file);
    RecordHead head;
    ASSERT_EQ(in.ReadHead(&head), kOk);
    qs::Header header;
    int taken = 0;
    uint16_t pages = 0;
    const int status =
        qs::ReadHeaderRecords(in, &head, c.older_layouts, &header,
                              [&](const qs::HeaderBody& body, qs::Header* out) -> int {
                                ++taken;
                                pages = body.page_count;
                                if (c.take_status != kOk) return c.take_status;
                                *out = qs::Header();
                                out->rec = body.rec;
                                return kOk;
                              });
    ASSERT_EQ(status, c.status);
    EXPECT_EQ(taken, c.heads_taken);
    EXPECT_EQ(pages, c.pages);
    if (status != kOk) continue;
    EXPECT_EQ(head.end ? std::string("end") : std::string(1, char(head.tag)), c.stop);
    EXPECT_EQ(header.memo ? *header.memo : std::string("-"), c.memo);
    EXPECT_EQ(header.ccolor.has_value(), c.has_colors);
    if (c.has_colors) {
      EXPECT_EQ((*header.ccolor)[15], 0x01010101u);
    }
    ASSERT_EQ(header.header_footer.has_value(), c.has_block);
    if (c.has_block) {
      EXPECT_EQ(qs::GetU32(header.header_footer->data()), c.block_first);
    }
  }
}

TEST(ReadHeaderRecordsTest, OnlyHeaderTagsAreHeaderRecords) {
  for (int tag = 0; tag < 256; ++tag) {
    SCOPED_TRACE(tag);
    const bool header = tag == 'H' || tag == 'b' || tag == 'a' || tag == 'M';
    EXPECT_EQ(qs::IsHeaderTag(uint8_t(tag)), header);
    if (header) continue;
    // A record of another kind is no header part: refused and left unread.
    qs::MemoryFile file(Record(char(tag), "abcd"));
    qs::RecordReader in(&file);
    RecordHead head;
    ASSERT_EQ(in.ReadHead(&head), kOk);
    qs::Header header_rec;
    EXPECT_EQ(qs::ReadHeaderPart(in, head, true, &header_rec), kDamaged);
    EXPECT_EQ(in.body_left(), 4u);
  }
}

}  // namespace
