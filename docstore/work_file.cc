#include "docstore/work_file.h"

#include <algorithm>
#include <cstring>

#include "common/contained.h"
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
  if (block_count_ == extent_) {
    // The file grows by a step: the zero link written at its new end leaves the blocks before it
    // a hole, which reads as zeros.
    const uint32_t extent = std::min(kMaxBlocks, extent_ + kGrowthBlocks);
    const uint8_t zero[4] = {0, 0, 0, 0};
    // No room for the links is as good as a full file.
    if (!Contained(false, [&] {
          links_.resize(size_t(extent) + 1);  // links_[0] is no block's
          return true;
        }))
      return 0;
    if (!file_->WriteAt(uint64_t(extent) * kBlockSize + kBlockData, zero, sizeof zero)) return 0;
    extent_ = extent;
  }
  ++block_count_;
  return block_count_ * kBlockSize;
}

bool WorkFile::ReadLink(uint32_t block, uint32_t* link) const {
  const uint32_t k = block / kBlockSize;
  if (block % kBlockSize != 0 || k < 1 || k > block_count_) return false;
  if (links_[k] == kUnknownLink) return false;
  *link = links_[k];
  return true;
}

bool WorkFile::Free(uint32_t block) {
  // A block that cannot be listed is lost to reuse: space, never data.
  return Contained(false, [&] {
    free_.push_back(block);
    return true;
  });
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

bool WorkFile::ReadData(uint32_t block, uint8_t* data, size_t n) {
  size_t got = 0;
  return n <= kBlockData && file_->ReadAt(block, data, n, &got) && got == n;
}

bool WorkFile::WriteBlock(uint32_t block, uint8_t* data, size_t n, uint32_t link) {
  if (n > kBlockData) return false;
  uint32_t& on_disk = links_[block / kBlockSize];
  bool written;
  if (n == kBlockData) {
    PutU32(data + kBlockData, link);
    written = file_->WriteAt(block, data, kBlockSize);
  } else {
    uint8_t raw[4];
    PutU32(raw, link);
    written = file_->WriteAt(block, data, n) &&
              (on_disk == link || file_->WriteAt(uint64_t(block) + kBlockData, raw, sizeof raw));
  }
  // After a failed write the link on disk is not known; such a block is never followed.
  on_disk = written ? link : kUnknownLink;
  return written;
}

ChainWriter::ChainWriter(WorkFile& work, Chain* chain)
    : work_(work), chain_(chain), block_(new uint8_t[WorkFile::kBlockSize]) {
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
  if (!work_.WriteBlock(current_, block_.get(), WorkFile::kBlockData, next)) {
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
  if (!work_.WriteBlock(current_, block_.get(), pos_, 0)) {
    failed_ = true;
    return kRefused;
  }
  // The old chain's blocks past the new end are free now.
  if (old_next_ != 0) work_.FreeFrom(old_next_);
  *chain_ = Chain{first_, uint32_t(written_)};
  first_ = 0;
  return kOk;
}

ChainReader::ChainReader(WorkFile& work, const Chain& chain) : work_(work), chain_(chain) {}

ChainReader::~ChainReader() = default;

bool ChainReader::Read(void* buf, size_t n, size_t* got) {
  uint8_t* p = static_cast<uint8_t*>(buf);
  *got = 0;
  while (n > 0 && pos_ < chain_.length) {
    // Bring the block that holds pos_ into the buffer, following links from the buffered block
    // (or from the first block after a seek backwards).
    if (current_ == 0 || pos_ >= block_start_ + WorkFile::kBlockData) {
      uint32_t block = chain_.first_block;
      if (current_ == 0) {
        block_start_ = 0;
      } else {
        if (!work_.ReadLink(current_, &block)) block = 0;
        block_start_ += WorkFile::kBlockData;
      }
      while (block != 0 && pos_ >= block_start_ + WorkFile::kBlockData) {
        if (!work_.ReadLink(block, &block)) block = 0;
        block_start_ += WorkFile::kBlockData;
      }
      // Only the data bytes up to the chain's length are read. A chain shorter than its length is
      // damage, not an end.
      const size_t want =
          size_t(std::min<uint64_t>(WorkFile::kBlockData, chain_.length - block_start_));
      // A caller who takes the block's whole data gets them without the buffer; the position is
      // then at the block's end or the chain's.
      const bool direct = pos_ == block_start_ && n >= want;
      if (!direct && !block_) block_.reset(new uint8_t[WorkFile::kBlockSize]);
      if (block == 0 || !work_.ReadData(block, direct ? p : block_.get(), want)) {
        current_ = 0;
        return false;
      }
      current_ = block;
      in_buffer_ = !direct;
      if (direct) {
        p += want;
        n -= want;
        *got += want;
        pos_ += want;
        continue;
      }
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
  if (offset < block_start_ || !in_buffer_) current_ = 0;  // links lead forwards only
  pos_ = offset;
  return true;
}

}  // namespace qs
