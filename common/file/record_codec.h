// The record framing of form files, document files and work-file chains: every record is a 6-byte
// head (the mark 0x1B, a tag byte, a signed 32-bit little-endian body length) followed by its body.
//
// RecordReader and RecordWriter move records through a File with a buffer of their own, so files
// are read and written in large pieces and two readers or writers never share state.
#ifndef QSTORE_COMMON_FILE_RECORD_CODEC_H_
#define QSTORE_COMMON_FILE_RECORD_CODEC_H_

#include <cstddef>
#include <cstdint>
#include <memory>

#include "common/file/little_endian.h"
#include "platform/env.h"

namespace qs {

constexpr uint8_t kRecordMark = 0x1B;
constexpr size_t kRecordHeadSize = 6;
// Largest body a record other than an inserted picture may have: what one record buffer holds.
constexpr size_t kMaxRecordBody = 2048;

struct RecordHead {
  // True at the end of the input, which is only reached exactly at a record boundary. A record
  // whose tag byte is 0 is an ordinary record.
  bool end = false;
  uint8_t tag = 0;
  int32_t length = 0;
};

// Parses the kRecordHeadSize bytes of a record head. kDamaged (nothing written) for a missing mark
// or a negative length.
int DecodeRecordHead(const uint8_t* raw, RecordHead* head);

class RecordReader {
 public:
  static constexpr size_t kBufferSize = 16384;

  // Reads from the file's current position on. The file must outlive the reader, and nothing else
  // may move its position while the reader is in use.
  explicit RecordReader(File* file);
  ~RecordReader();
  RecordReader(const RecordReader&) = delete;
  RecordReader& operator=(const RecordReader&) = delete;

  // The next record head: the one put back, if any, else the one after the current record (the
  // unread rest of the current body is skipped first). kDamaged for a head cut short, a missing
  // mark, a negative length, a body that ends before its length or a read error.
  int ReadHead(RecordHead* head);
  // Hands `head`, just returned by ReadHead and with its body still unread, back: the next ReadHead
  // returns it again.
  void PutBack(const RecordHead& head);

  // Reads the next n bytes of the current body; kDamaged when the body or the file is shorter.
  int ReadBody(void* out, size_t n);
  // Bytes of the current body not read yet.
  uint64_t body_left() const { return body_left_; }

 private:
  // Reads exactly n bytes from the file through the buffer; *got receives what was read.
  bool Fill(void* out, size_t n, size_t* got);
  int SkipBody();

  File* const file_;
  std::unique_ptr<uint8_t[]> buffer_;
  size_t buffered_ = 0;  // bytes in buffer_
  size_t next_ = 0;      // first unread byte in buffer_
  uint64_t body_left_ = 0;
  bool have_pending_ = false;
  RecordHead pending_;
  bool failed_ = false;
};

class RecordWriter {
 public:
  static constexpr size_t kBufferSize = 16384;

  // Writes at the file's current position. Call Flush() before the file is closed.
  explicit RecordWriter(File* file);
  ~RecordWriter();
  RecordWriter(const RecordWriter&) = delete;
  RecordWriter& operator=(const RecordWriter&) = delete;

  // A whole record. kRefused for a body that the length cannot express.
  int Write(uint8_t tag, const void* body, size_t n);
  // A head whose body follows in WriteBytes() calls.
  int WriteHead(uint8_t tag, uint64_t length);
  int WriteBytes(const void* data, size_t n);
  // Writes out what is buffered. Every call after a failed write reports kDamaged.
  int Flush();

 private:
  File* const file_;
  std::unique_ptr<uint8_t[]> buffer_;
  size_t used_ = 0;
  bool failed_ = false;
};

}  // namespace qs

#endif  // QSTORE_COMMON_FILE_RECORD_CODEC_H_
