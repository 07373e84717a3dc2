// The one reader of the header records at the start of form and document files.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "common/file/header_codec.h"
#include "common/file/record_codec.h"
#include "common/status.h"
#include "platform/memory_file.h"
#include "support/doc_records.h"

namespace {

using qs::kDamaged;
using qs::kOk;
using qs::RecordHead;
using qs_test::Frame;

// What a scan kept: the record it stopped at ("end" at the end of the input) and the header parts.
std::string Kept(const RecordHead& head, const qs::Header& header) {
  std::ostringstream s;
  s << (head.end ? std::string("end") : std::string(1, char(head.tag))) << std::hex;
  if (header.memo) s << " memo=" << *header.memo;
  if (header.ccolor) s << " colours=" << (*header.ccolor)[15];
  if (header.header_footer) s << " block=" << qs::GetU32(header.header_footer->data());
  return s.str();
}

TEST(ReadHeaderRecordsTest, ReadsTheHeaderRecordsUpToTheFirstOtherOne) {
  auto header = [](uint16_t pages) {  // a current-layout 'H': version 2, the page count last
    std::string body(qs::kHeaderBodySize, '\0');
    body[0] = 2;
    body[qs::kHeaderBodySize - 2] = char(pages);
    body[qs::kHeaderBodySize - 1] = char(pages >> 8);
    return Frame('H', body);
  };
  const std::string h = header(3);
  struct Case {
    const char* name;
    std::string file;
    bool older_layouts;
    int take_status;  // what the library's 'H' handler answers
    int status, heads_taken, pages;
    std::string kept;  // compared only when the scan succeeds
  };
  const Case cases[] = {
      {"every header record, then an unknown one",
       h + Frame('M', "memo") + Frame('a', std::string(64, '\x01')) +
           Frame('b', std::string(360, '\x02')) + Frame('X', "") + Frame('M', "late"),
       false, kOk, kOk, 1, 3, "X memo=memo colours=1010101 block=2020202"},
      {"to the end, the memo cut at its NUL", h + Frame('M', std::string("m\0junk", 6)), false, kOk,
       kOk, 1, 3, "end memo=m"},
      {"older block taken", h + Frame('b', std::string(352, '\x03')), true, kOk, kOk, 1, 3,
       "end block=50"},
      {"colours of the wrong length", h + Frame('a', std::string(65, '\x01')), false, kOk, kDamaged,
       1, 3, ""},
      {"header of no layout", Frame('H', std::string(100, '\0')), false, kOk, kDamaged, 0, 0, ""},
      {"older header layout", Frame('H', std::string(qs::kShortHeaderBodySize, '\0')), false, kOk,
       kOk, 1, 0, "end"},
      {"header refused by the library", h + Frame('M', "memo"), false, qs::kVersionTooNew,
       qs::kVersionTooNew, 1, 3, ""},
      {"a second header goes to the library too", h + header(5), false, kOk, kOk, 2, 5, "end"},
      {"cut short after a header record", h + "\x1B", false, kOk, kDamaged, 1, 3, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    qs::MemoryFile file(c.file);
    qs::RecordReader in(&file);
    RecordHead head;
    ASSERT_EQ(in.ReadHead(&head), kOk);
    qs::Header kept;
    int taken = 0, pages = 0;
    ASSERT_EQ(qs::ReadHeaderRecords(in, &head, c.older_layouts, &kept,
                                    [&](const qs::HeaderBody& body, qs::Header* out) -> int {
                                      ++taken;
                                      pages = body.page_count;
                                      if (c.take_status != kOk) return c.take_status;
                                      *out = qs::Header();
                                      out->rec = body.rec;
                                      return kOk;
                                    }),
              c.status);
    EXPECT_EQ(taken, c.heads_taken);
    EXPECT_EQ(pages, c.pages);
    if (c.status != kOk) continue;
    EXPECT_EQ(Kept(head, kept), c.kept);
  }
}

// Only the header parts' tags are header records; ReadHeaderPart refuses another and leaves it
// unread.
TEST(ReadHeaderRecordsTest, OnlyHeaderTagsAreHeaderRecords) {
  for (int tag = 0; tag < 256; ++tag)
    EXPECT_EQ(qs::IsHeaderTag(uint8_t(tag)), tag == 'H' || tag == 'b' || tag == 'a' || tag == 'M')
        << tag;
  qs::MemoryFile file(Frame('P', "abcd"));
  qs::RecordReader in(&file);
  RecordHead head;
  ASSERT_EQ(in.ReadHead(&head), kOk);
  qs::Header kept;
  EXPECT_EQ(qs::ReadHeaderPart(in, head, true, &kept), kDamaged);
  EXPECT_EQ(in.body_left(), 4u);
}

}  // namespace
