#include "common/file/record_codec.h"

#include <gtest/gtest.h>

#include <string>

#include "common/status.h"
#include "platform/memory_file.h"

namespace {

using qs::kDamaged;
using qs::kOk;
using qs::RecordHead;
using qs::RecordReader;
using qs::RecordWriter;

// A file in memory whose reads and writes can be made to fail, and which counts its reads.
class MemoryFile : public qs::MemoryFile {
 public:
  using qs::MemoryFile::MemoryFile;

  bool Read(void* buf, size_t n, size_t* got) override {
    ++reads_;
    return !fail_reads_ && qs::MemoryFile::Read(buf, n, got);
  }
  bool Write(const void* buf, size_t n) override {
    return !fail_writes_ && qs::MemoryFile::Write(buf, n);
  }

  int reads_ = 0;
  bool fail_reads_ = false;
  bool fail_writes_ = false;
};

std::string Head(char tag, int32_t length) {
  std::string s = {'\x1B', tag};
  for (int i = 0; i < 4; ++i) s += char(uint32_t(length) >> (8 * i));
  return s;
}

std::string Record(char tag, const std::string& body) {
  return Head(tag, int32_t(body.size())) + body;
}

TEST(RecordWriterTest, FramesEveryRecordWithMarkTagAndLittleEndianLength) {
  MemoryFile file;
  RecordWriter out(&file);
  ASSERT_EQ(out.Write('H', "abc", 3), kOk);
  ASSERT_EQ(out.Write('M', nullptr, 0), kOk);
  ASSERT_EQ(out.WriteHead('I', 0x01020304), kOk);
  ASSERT_EQ(out.Flush(), kOk);
  EXPECT_EQ(file.data(), std::string("\x1B"
                                     "H\x03\0\0\0abc"
                                     "\x1B"
                                     "M\0\0\0\0"
                                     "\x1B"
                                     "I\x04\x03\x02\x01",
                                     21));
}

TEST(RecordWriterTest, KeepsRecordsLargerThanItsBufferWhole) {
  MemoryFile file;
  RecordWriter out(&file);
  const std::string big(RecordWriter::kBufferSize * 2 + 17, 'x');
  ASSERT_EQ(out.Write('a', "12", 2), kOk);
  ASSERT_EQ(out.Write('b', big.data(), big.size()), kOk);
  ASSERT_EQ(out.Write('c', "3", 1), kOk);
  ASSERT_EQ(out.Flush(), kOk);
  EXPECT_EQ(file.data(), Record('a', "12") + Record('b', big) + Record('c', "3"));
}

TEST(RecordWriterTest, AFailedWriteFailsEveryLaterCall) {
  MemoryFile file;
  RecordWriter out(&file);
  ASSERT_EQ(out.Write('a', "12", 2), kOk);
  file.fail_writes_ = true;
  EXPECT_EQ(out.Flush(), kDamaged);
  file.fail_writes_ = false;
  EXPECT_EQ(out.Write('b', "3", 1), kDamaged);
  EXPECT_EQ(out.Flush(), kDamaged);
}

TEST(RecordWriterTest, RefusesALengthTheHeadCannotCarry) {
  MemoryFile file;
  RecordWriter out(&file);
  EXPECT_EQ(out.WriteHead('I', uint64_t(INT32_MAX) + 1), qs::kRefused);
  EXPECT_EQ(out.WriteHead('I', uint64_t(INT32_MAX)), kOk);
}

TEST(RecordReaderTest, ReadsHeadsAndBodiesAndSkipsUnreadBodies) {
  const std::string big(RecordReader::kBufferSize * 3 + 5, 'y');
  MemoryFile file(Record('H', "abcdef") + Record('z', big) + Record('\0', "zz") +
                  Record('M', std::string()) + Record('s', "tail"));
  RecordReader in(&file);
  RecordHead head;
  ASSERT_EQ(in.ReadHead(&head), kOk);
  EXPECT_FALSE(head.end);
  EXPECT_EQ(head.tag, 'H');
  EXPECT_EQ(head.length, 6);
  char part[3];
  ASSERT_EQ(in.ReadBody(part, 2), kOk);
  EXPECT_EQ(std::string(part, 2), "ab");
  EXPECT_EQ(in.body_left(), 4u);

  // The rest of 'H' and all of the large record are skipped.
  ASSERT_EQ(in.ReadHead(&head), kOk);
  EXPECT_EQ(head.tag, 'z');
  EXPECT_EQ(head.length, int32_t(big.size()));
  // A tag byte 0 is a record like any other, not the end.
  ASSERT_EQ(in.ReadHead(&head), kOk);
  EXPECT_FALSE(head.end);
  EXPECT_EQ(head.tag, 0);
  ASSERT_EQ(in.ReadHead(&head), kOk);
  EXPECT_EQ(head.tag, 'M');
  EXPECT_EQ(head.length, 0);
  ASSERT_EQ(in.ReadHead(&head), kOk);
  EXPECT_EQ(head.tag, 's');
  char tail[4];
  ASSERT_EQ(in.ReadBody(tail, 4), kOk);
  EXPECT_EQ(std::string(tail, 4), "tail");
  ASSERT_EQ(in.ReadHead(&head), kOk);
  EXPECT_TRUE(head.end);
  ASSERT_EQ(in.ReadHead(&head), kOk);
  EXPECT_TRUE(head.end);
}

TEST(RecordReaderTest, ReadsALargeBodyWhole) {
  std::string big(RecordReader::kBufferSize * 2 + 99, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = char(i * 7);
  MemoryFile file(Record('x', "1") + Record('I', big));
  RecordReader in(&file);
  RecordHead head;
  ASSERT_EQ(in.ReadHead(&head), kOk);
  ASSERT_EQ(in.ReadHead(&head), kOk);
  std::string got(big.size(), '\0');
  ASSERT_EQ(in.ReadBody(&got[0], 100), kOk);
  ASSERT_EQ(in.ReadBody(&got[100], big.size() - 100), kOk);
  EXPECT_EQ(got, big);
}

TEST(RecordReaderTest, AHeadPutBackComesAgainWithItsBody) {
  MemoryFile file(Record('c', "12345") + Record('w', "abcd"));
  RecordReader in(&file);
  RecordHead head;
  ASSERT_EQ(in.ReadHead(&head), kOk);
  ASSERT_EQ(in.ReadHead(&head), kOk);
  ASSERT_EQ(head.tag, 'w');
  in.PutBack(head);
  RecordHead again;
  ASSERT_EQ(in.ReadHead(&again), kOk);
  EXPECT_EQ(again.tag, 'w');
  EXPECT_EQ(again.length, 4);
  char body[4];
  ASSERT_EQ(in.ReadBody(body, 4), kOk);
  EXPECT_EQ(std::string(body, 4), "abcd");
}

TEST(RecordReaderTest, RejectsBrokenFraming) {
  struct Case {
    const char* what;
    std::string bytes;
  };
  const Case cases[] = {
      {"head cut short", Record('H', "ab") + std::string("\x1B"
                                                         "P\x04",
                                                         3)},
      {"missing mark", Record('H', "ab") + std::string("\x1C"
                                                       "P\x00\x00\x00\x00",
                                                       6)},
      {"negative length", Record('H', "ab") + Head('z', -1)},
      {"body beyond the end", Record('H', "ab") + Head('z', 10) + "abc"},
      {"large body beyond the end", Record('H', "ab") + Head('z', 100000) + "abc"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryFile file(c.bytes);
    RecordReader in(&file);
    RecordHead head;
    ASSERT_EQ(in.ReadHead(&head), kOk);
    int status = in.ReadHead(&head);
    // A body that is cut short shows when it is read or skipped.
    if (status == kOk) status = in.ReadHead(&head);
    EXPECT_EQ(status, kDamaged);
  }
}

TEST(RecordReaderTest, ABodyCannotBeReadPastItsLengthOrTheFile) {
  MemoryFile file(Record('s', "abc") + Head('t', 8) + "12");
  RecordReader in(&file);
  RecordHead head;
  ASSERT_EQ(in.ReadHead(&head), kOk);
  char body[8];
  EXPECT_EQ(in.ReadBody(body, 4), kDamaged);
  ASSERT_EQ(in.ReadBody(body, 3), kOk);
  ASSERT_EQ(in.ReadHead(&head), kOk);
  EXPECT_EQ(in.ReadBody(body, 8), kDamaged);
}

TEST(RecordReaderTest, AReadErrorIsDamage) {
  MemoryFile file(Record('s', "abc"));
  file.fail_reads_ = true;
  RecordReader in(&file);
  RecordHead head;
  EXPECT_EQ(in.ReadHead(&head), kDamaged);
}

TEST(RecordReaderTest, ReadsTheFileInLargePieces) {
  std::string bytes;
  for (int i = 0; i < 1000; ++i) bytes += Record('w', "abcd");
  MemoryFile file(bytes);
  RecordReader in(&file);
  RecordHead head;
  int records = 0;
  for (;;) {
    ASSERT_EQ(in.ReadHead(&head), kOk);
    if (head.end) break;
    char body[4];
    ASSERT_EQ(in.ReadBody(body, 4), kOk);
    ++records;
  }
  EXPECT_EQ(records, 1000);
  EXPECT_LE(file.reads_, 3);
}

}  // namespace
