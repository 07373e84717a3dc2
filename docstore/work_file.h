// The work file of an open document: where every page that is not in the page cache keeps its
// records while the document is open.
//
// Invariants:
// - The file is an array of 16384-byte blocks. Block k (k >= 1) lies at offset k * 16384, so offset
//   0 never starts a block and a link or first-block offset of 0 means "none".
// - A block holds 16380 data bytes followed by a 4-byte little-endian link: the offset of the next
//   block of the same chain, 0 in the chain's last block. A chain's last block is written only up
//   to the end of the chain's data, and its link; the bytes between are whatever the block held
//   before (zero in a block never written whole: the file may be sparse). Every other block of a
//   chain is written whole.
// - A chain holds one page's record stream ('P', the content records, the end record) in the data
//   bytes of its blocks, in order. The owner keeps the chain's first block and its length in bytes;
//   data bytes past the length are stale and never read, and a read takes only the data bytes up
//   to the length.
// - The file grows in steps of whole blocks, ahead of the blocks taken: a block never written
//   lies in a hole of the file and reads as zeros, its link 0.
// - The work file keeps a copy in memory of every block's link, equal to the link on disk, so
//   following or freeing a chain reads nothing from the file and a link already on disk is not
//   written again. The links on disk are written all the same: the file is complete without the
//   copy.
// - A block belongs to at most one chain. Rewriting a chain reuses its blocks in place; when the
//   new stream is longer it takes more, when shorter its surplus blocks become free. An abandoned
//   chain (a deleted page) frees all its blocks. A chain that needs a block takes a free one before
//   the file grows.
// - Chains are written and read through ChainWriter and ChainReader, which present one chain as a
//   File, so the record codec reads and writes chains as it does files.
#ifndef QSTORE_DOCSTORE_WORK_FILE_H_
#define QSTORE_DOCSTORE_WORK_FILE_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/env.h"

namespace qs {

// Where a chain lies: the offset of its first block (0 = no chain) and its length in bytes.
struct Chain {
  uint32_t first_block = 0;
  uint32_t length = 0;
};

class WorkFile {
 public:
  static constexpr uint32_t kBlockSize = 16384;
  static constexpr uint32_t kBlockData = kBlockSize - 4;
  // Links are 32-bit offsets: the file never grows past this many blocks (4 GiB).
  static constexpr uint32_t kMaxBlocks = uint32_t((uint64_t(1) << 32) / kBlockSize) - 1;

  // Creates (or truncates) the file at `path` in `env`; null when it cannot.
  static std::unique_ptr<WorkFile> Create(Env& env, const std::string& path);
  ~WorkFile();
  WorkFile(const WorkFile&) = delete;
  WorkFile& operator=(const WorkFile&) = delete;

  // Frees every block of the chain for reuse. False when a link could not be read or the free
  // list could not grow (the blocks past that point are then lost to reuse, which costs space,
  // never data). Never throws.
  bool Abandon(const Chain& chain);

  // Blocks the file holds, and how many of them are free.
  uint32_t block_count() const { return block_count_; }
  size_t free_count() const { return free_.size(); }

 private:
  friend class ChainWriter;
  friend class ChainReader;
  explicit WorkFile(std::unique_ptr<File> file) : file_(std::move(file)) {}

  // A block for a chain: a free one, else a new one at the end. 0 when the file is full.
  uint32_t TakeBlock();
  // The block's link; false for an offset that is no block of the file or a block whose last
  // write failed.
  bool ReadLink(uint32_t block, uint32_t* link) const;
  // Puts a block on the free list; false when the list cannot grow. Never throws.
  bool Free(uint32_t block);
  // Frees `block` and every block its links reach.
  bool FreeFrom(uint32_t block);
  // Reads the first `n` data bytes of a block (n <= kBlockData).
  bool ReadData(uint32_t block, uint8_t* data, size_t n);
  // Writes the first `n` data bytes of a block (n <= kBlockData) and its link; one write when the
  // data fill the block or the link on disk is already `link`.
  bool WriteBlock(uint32_t block, uint8_t* data, size_t n, uint32_t link);

  // In links_, a block whose last write failed: no offset of a block is odd.
  static constexpr uint32_t kUnknownLink = 1;
  // Blocks by which the file grows at a time.
  static constexpr uint32_t kGrowthBlocks = 64;

  std::unique_ptr<File> file_;
  uint32_t block_count_ = 0;
  uint32_t extent_ = 0;          // blocks the file's size covers (>= block_count_)
  std::vector<uint32_t> free_;   // offsets of free blocks
  std::vector<uint32_t> links_;  // links_[k]: block k's link as last written (links_[0] unused)
};

// Writes a chain from its start. Writes go to a block buffer; a full block is written out with its
// link, and Finish() writes the last one and frees the old chain's surplus blocks. Until Finish()
// succeeds, `*chain` is unchanged (but its old blocks may already hold new data); a writer
// destroyed unfinished frees the whole chain and empties `*chain`.
class ChainWriter final : public File {
 public:
  ChainWriter(WorkFile& work, Chain* chain);
  ~ChainWriter() override;

  // kOk, or kRefused when a block could not be read, written or taken.
  int Finish();

  bool Read(void*, size_t, size_t*) override { return false; }
  bool Write(const void* buf, size_t n) override;
  bool Seek(uint64_t) override { return false; }
  bool Tell(uint64_t* offset) override;
  bool Size(uint64_t* size) override { return Tell(size); }
  bool Sync() override { return true; }
  bool Close() override { return true; }

 private:
  // Moves on to the next block of the chain (an old one or a taken one).
  bool NextBlock();

  WorkFile& work_;
  Chain* const chain_;
  std::unique_ptr<uint8_t[]> block_;
  uint32_t first_ = 0;
  uint32_t current_ = 0;   // block in the buffer
  uint32_t old_next_ = 0;  // the old chain's block after current_, 0 when it ends there
  size_t pos_ = 0;         // data bytes in the buffer
  uint64_t written_ = 0;
  bool failed_ = false;
};

// Reads a chain as a file of `chain.length` bytes.
class ChainReader final : public File {
 public:
  ChainReader(WorkFile& work, const Chain& chain);
  ~ChainReader() override;

  bool Read(void* buf, size_t n, size_t* got) override;
  bool Write(const void*, size_t) override { return false; }
  bool Seek(uint64_t offset) override;
  bool Tell(uint64_t* offset) override {
    *offset = pos_;
    return true;
  }
  bool Size(uint64_t* size) override {
    *size = chain_.length;
    return true;
  }
  bool Sync() override { return true; }
  bool Close() override { return true; }

 private:
  WorkFile& work_;
  const Chain chain_;
  std::unique_ptr<uint8_t[]> block_;  // made on first use
  uint32_t current_ = 0;              // block last read, 0 before the first read
  bool in_buffer_ = false;    // current_'s data are in block_ (not read straight to a caller)
  uint64_t block_start_ = 0;  // stream offset of the buffer's first data byte
  uint64_t pos_ = 0;          // stream offset of the next byte to read
};

}  // namespace qs

#endif  // QSTORE_DOCSTORE_WORK_FILE_H_
