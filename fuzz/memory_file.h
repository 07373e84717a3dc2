// A file held in memory, so the fuzz targets read their input without touching the disk.
#ifndef QSTORE_FUZZ_MEMORY_FILE_H_
#define QSTORE_FUZZ_MEMORY_FILE_H_

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/env.h"

namespace qs_fuzz {

class MemoryFile : public qs::File {
 public:
  MemoryFile() = default;
  MemoryFile(const uint8_t* data, size_t size) : data_(reinterpret_cast<const char*>(data), size) {}

  bool Read(void* buf, size_t n, size_t* got) override {
    *got = pos_ < data_.size() ? std::min(n, data_.size() - pos_) : 0;
    if (*got) std::memcpy(buf, data_.data() + pos_, *got);
    pos_ += *got;
    return true;
  }
  bool Write(const void* buf, size_t n) override {
    if (data_.size() < pos_ + n) data_.resize(pos_ + n);
    std::memcpy(&data_[pos_], buf, n);
    pos_ += n;
    return true;
  }
  bool Seek(uint64_t offset) override {
    pos_ = size_t(offset);
    return true;
  }
  bool Tell(uint64_t* offset) override {
    *offset = pos_;
    return true;
  }
  bool Size(uint64_t* size) override {
    *size = data_.size();
    return true;
  }
  bool Sync() override { return true; }
  bool Close() override { return true; }

  const std::string& data() const { return data_; }

 private:
  std::string data_;
  size_t pos_ = 0;
};

}  // namespace qs_fuzz

#endif  // QSTORE_FUZZ_MEMORY_FILE_H_
