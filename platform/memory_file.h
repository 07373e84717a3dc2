// A file held in memory: the readers and writers run on it where no disk is wanted (fuzz targets,
// tests). Seeking past the end and writing there fills the gap with zero bytes.
#ifndef QSTORE_PLATFORM_MEMORY_FILE_H_
#define QSTORE_PLATFORM_MEMORY_FILE_H_

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>

#include "platform/env.h"

namespace qs {

class MemoryFile : public File {
 public:
  explicit MemoryFile(std::string data = "") : data_(std::move(data)) {}
  MemoryFile(const uint8_t* data, size_t size) : data_(reinterpret_cast<const char*>(data), size) {}

  bool Read(void* buf, size_t n, size_t* got) override {
    *got = std::min(n, data_.size() - std::min(pos_, data_.size()));
    if (*got) data_.copy(static_cast<char*>(buf), *got, pos_);
    pos_ += *got;
    return true;
  }
  bool Write(const void* buf, size_t n) override {
    if (data_.size() < pos_ + n) data_.resize(pos_ + n);
    data_.replace(pos_, n, static_cast<const char*>(buf), n);
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

}  // namespace qs

#endif  // QSTORE_PLATFORM_MEMORY_FILE_H_
