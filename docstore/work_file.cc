#include "docstore/work_file.h"

#include <algorithm>
#include <cstring>

#include "common/file/record_codec.h"
#include "common/status.h"

namespace qs {

std::unique_ptr<WorkFile> WorkFile::Create(const std::string& path) {
  std::unique_ptr<File> file = CurrentEnv()->Open(path, OpenMode::kCreate);
  if (!file) return nullptr;
  return std::unique_ptr<WorkFile>(new WorkFile(std::move(file)));
}

WorkFile::~WorkFile() {
  file_->Close();
}

uint32_t WorkFile::TakeBlock() {
  if (!free_.empty()) {
    const uint32_t block = free_.back();
    free_.pop_back();
    return block;
  }
  if (block_count_ >= kMaxBlocks) return 0;
  ++block_count_;
  return block_count_ * kBlockSize;
}

bool WorkFile::ReadLink(uint32_t block, uint32_t* link) {
  uint8_t raw[4];
  size_t got = 0;
  if (!file_->Seek(uint64_t(block) + kBlockData) || !file_->Read(raw, sizeof raw, &got) ||
      got != sizeof raw)
    return false;
  *link = GetU32(raw);
  return true;
}

bool WorkFile::Free(uint32_t block) {
  try {
    free_.push_back(block);
    return true;
  } catch (...) {
    return false;  // the block is lost to reuse: space, never data
  }
}

bool WorkFile::FreeFrom(uint32_t block) {
  // A chain never holds more blocks than the file; a longer walk would be a cycle.
  for (uint32_t steps = 0; block != 0 && steps <= block_count_; ++steps) {
    if (!Free(block) || !ReadLink(block, &block)) return false;
  }
  return block == 0;
}

bool WorkFile::Abandon(const Chain& chain) {
  return FreeFrom(chain.first_block);
}

bool WorkFile::ReadBlock(uint32_t block, uint8_t* data) {
  size_t got = 0;
  return file_->Seek(block) && file_->Read(data, kBlockSize, &got) && got == kBlockSize;
}

bool WorkFile::WriteBlock(uint32_t block, const uint8_t* data) {
  return file_->Seek(block) && file_->Write(data, kBlockSize);
}

ChainWriter::ChainWriter(WorkFile& work, Chain* chain)
    : work_(work), chain_(chain), block_(new uint8_t[WorkFile::kBlockSize]()) {
  first_ = chain->first_block;
  if (first_ != 0) {
    failed_ = !work_.ReadLink(first_, &old_next_);
  } else {
    first_ = work_.TakeBlock();
    failed_ = first_ == 0;
  }
  current_ = first_;
}

ChainWriter::~ChainWriter() {
  if (first_ == 0) return;  // finished, or nothing was ever taken
  // Not finished: the old content is partly overwritten, so the whole chain goes. Blocks already
  // written carry links this writer chose; the block in the buffer still has its old link on disk,
  // which leads on through the old chain.
  uint32_t block = first_;
  for (uint32_t steps = 0; block != 0 && block != current_ && steps <= work_.block_count_;
       ++steps) {
    work_.Free(block);
    if (!work_.ReadLink(block, &block)) block = 0;
  }
  work_.Free(current_);
  if (old_next_ != 0) work_.FreeFrom(old_next_);
  *chain_ = Chain{};
}

bool ChainWriter::NextBlock() {
  uint32_t next = old_next_, after = 0;
  if (next != 0) {
    if (!work_.ReadLink(next, &after)) return false;
  } else {
    next = work_.TakeBlock();
    if (next == 0) return false;
  }
  PutU32(block_.get() + WorkFile::kBlockData, next);
  if (!work_.WriteBlock(current_, block_.get())) {
    // A taken block is not linked from disk yet; the destructor would not find it.
    if (old_next_ == 0) work_.Free(next);
    return false;
  }
  current_ = next;
  old_next_ = after;
  pos_ = 0;
  return true;
}

bool ChainWriter::Write(const void* buf, size_t n) {
  if (failed_ || n > uint64_t(UINT32_MAX) - written_) return failed_ = true, false;
  const uint8_t* p = static_cast<const uint8_t*>(buf);
  while (n > 0) {
    if (pos_ == WorkFile::kBlockData && !NextBlock()) return failed_ = true, false;
    const size_t take = std::min(n, WorkFile::kBlockData - pos_);
    std::memcpy(block_.get() + pos_, p, take);
    pos_ += take;
    p += take;
    n -= take;
    written_ += take;
  }
  return true;
}

bool ChainWriter::Tell(uint64_t* offset) {
  *offset = written_;
  return true;
}

int ChainWriter::Finish() {
  if (failed_ || first_ == 0) return kRefused;
  PutU32(block_.get() + WorkFile::kBlockData, 0);
  if (!work_.WriteBlock(current_, block_.get())) {
    failed_ = true;
    return kRefused;
  }
  // The old chain's blocks past the new end are free now.
  if (old_next_ != 0) work_.FreeFrom(old_next_);
  *chain_ = Chain{first_, uint32_t(written_)};
  first_ = 0;
  return kOk;
}

ChainReader::ChainReader(WorkFile& work, const Chain& chain)
    : work_(work), chain_(chain), block_(new uint8_t[WorkFile::kBlockSize]) {}

ChainReader::~ChainReader() = default;

bool ChainReader::Read(void* buf, size_t n, size_t* got) {
  uint8_t* p = static_cast<uint8_t*>(buf);
  *got = 0;
  while (n > 0 && pos_ < chain_.length) {
    // Bring the block that holds pos_ into the buffer, following links from the buffered block
    // (or from the first block after a seek backwards).
    if (current_ == 0 || pos_ >= block_start_ + WorkFile::kBlockData) {
      uint32_t block =
          current_ == 0 ? chain_.first_block : GetU32(block_.get() + WorkFile::kBlockData);
      if (current_ == 0)
        block_start_ = 0;
      else
        block_start_ += WorkFile::kBlockData;
      while (block != 0 && pos_ >= block_start_ + WorkFile::kBlockData) {
        if (!work_.ReadLink(block, &block)) return false;
        block_start_ += WorkFile::kBlockData;
      }
      // A chain shorter than its length is damage, not an end.
      if (block == 0 || !work_.ReadBlock(block, block_.get())) {
        current_ = 0;
        return false;
      }
      current_ = block;
    }
    const uint64_t in_block = block_start_ + WorkFile::kBlockData - pos_;
    const size_t take =
        size_t(std::min<uint64_t>({uint64_t(n), in_block, uint64_t(chain_.length) - pos_}));
    std::memcpy(p, block_.get() + (pos_ - block_start_), take);
    p += take;
    n -= take;
    *got += take;
    pos_ += take;
  }
  return true;
}

bool ChainReader::Seek(uint64_t offset) {
  if (offset > chain_.length) return false;
  if (offset < block_start_) current_ = 0;  // links lead forwards only
  pos_ = offset;
  return true;
}

}  // namespace qs
