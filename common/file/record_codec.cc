#include "common/file/record_codec.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "common/status.h"

namespace qs {

int DecodeRecordHead(const uint8_t* raw, RecordHead* head) {
  const int32_t length = int32_t(GetU32(raw + 2));
  if (raw[0] != kRecordMark || length < 0) return kDamaged;
  *head = RecordHead{};
  head->tag = raw[1];
  head->length = length;
  return kOk;
}

RecordReader::RecordReader(File* file) : file_(file), buffer_(new uint8_t[kBufferSize]) {}

RecordReader::~RecordReader() = default;

bool RecordReader::Fill(void* out, size_t n, size_t* got) {
  // Most reads (every record head, most bodies) lie in the buffer whole.
  if (n <= buffered_ - next_) {
    std::memcpy(out, buffer_.get() + next_, n);
    next_ += n;
    *got = n;
    return true;
  }
  uint8_t* p = static_cast<uint8_t*>(out);
  *got = 0;
  while (*got < n) {
    if (next_ == buffered_) {
      if (failed_) return false;
      size_t filled = 0;
      // Large reads bypass the buffer.
      if (n - *got >= kBufferSize) {
        failed_ = !file_->Read(p + *got, n - *got, &filled);
        *got += filled;
        return !failed_;
      }
      failed_ = !file_->Read(buffer_.get(), kBufferSize, &filled);
      buffered_ = failed_ ? 0 : filled;
      next_ = 0;
      if (failed_) return false;
      if (filled == 0) return true;  // end of file
    }
    const size_t take = std::min(n - *got, buffered_ - next_);
    std::memcpy(p + *got, buffer_.get() + next_, take);
    next_ += take;
    *got += take;
  }
  return true;
}

int RecordReader::SkipBody() {
  const size_t in_buffer = buffered_ - next_;
  if (body_left_ <= in_buffer) {
    next_ += size_t(body_left_);
    body_left_ = 0;
    return kOk;
  }
  // The rest lies beyond the buffer: seek over it, after checking that the file holds it.
  const uint64_t rest = body_left_ - in_buffer;
  next_ = buffered_ = 0;
  body_left_ = 0;
  uint64_t at = 0, size = 0;
  if (failed_ || !file_->Tell(&at) || !file_->Size(&size) || size < at || size - at < rest ||
      !file_->Seek(at + rest)) {
    failed_ = true;
    return kDamaged;
  }
  return kOk;
}

int RecordReader::ReadHead(RecordHead* head) {
  if (have_pending_) {
    have_pending_ = false;
    *head = pending_;
    return kOk;
  }
  *head = RecordHead{};
  if (body_left_ > 0 && SkipBody() != kOk) return kDamaged;
  uint8_t raw[kRecordHeadSize];
  size_t got = 0;
  if (!Fill(raw, sizeof raw, &got)) return kDamaged;
  if (got == 0) {
    head->end = true;
    return kOk;
  }
  if (got < sizeof raw || DecodeRecordHead(raw, head) != kOk) return kDamaged;
  body_left_ = uint64_t(head->length);
  return kOk;
}

void RecordReader::PutBack(const RecordHead& head) {
  pending_ = head;
  have_pending_ = true;
}

int RecordReader::ReadBody(void* out, size_t n) {
  if (n > body_left_) return kDamaged;
  size_t got = 0;
  if (!Fill(out, n, &got) || got < n) {
    body_left_ = 0;
    failed_ = true;
    return kDamaged;
  }
  body_left_ -= n;
  return kOk;
}

RecordWriter::RecordWriter(File* file) : file_(file), buffer_(new uint8_t[kBufferSize]) {}

RecordWriter::~RecordWriter() = default;

int RecordWriter::WriteHead(uint8_t tag, uint64_t length) {
  if (length > uint64_t(std::numeric_limits<int32_t>::max())) return kRefused;
  uint8_t raw[kRecordHeadSize];
  raw[0] = kRecordMark;
  raw[1] = tag;
  PutU32(raw + 2, uint32_t(length));
  return WriteBytes(raw, sizeof raw);
}

int RecordWriter::Write(uint8_t tag, const void* body, size_t n) {
  int status = WriteHead(tag, n);
  if (status == kOk && n > 0) status = WriteBytes(body, n);
  return status;
}

int RecordWriter::WriteBytes(const void* data, size_t n) {
  if (failed_) return kDamaged;
  const uint8_t* p = static_cast<const uint8_t*>(data);
  if (used_ + n > kBufferSize) {
    if (Flush() != kOk) return kDamaged;
    if (n >= kBufferSize) {
      if (!file_->Write(p, n)) {
        failed_ = true;
        return kDamaged;
      }
      return kOk;
    }
  }
  std::memcpy(buffer_.get() + used_, p, n);
  used_ += n;
  return kOk;
}

int RecordWriter::Flush() {
  if (failed_) return kDamaged;
  if (used_ > 0 && !file_->Write(buffer_.get(), used_)) failed_ = true;
  used_ = 0;
  return failed_ ? kDamaged : kOk;
}

}  // namespace qs
