// One undo or redo journal: a chain of entries in a scratch file, read back newest first.
#ifndef QSTORE_COMMON_JOURNAL_H_
#define QSTORE_COMMON_JOURNAL_H_

#include <cstdint>
#include <memory>

#include "common/undo_state.h"
#include "platform/env.h"

namespace qs {

class Journal {
 public:
  explicit Journal(std::unique_ptr<File> file) : file_(std::move(file)) {}

  int32_t step_count() const { return step_count_; }
  void Empty() { step_count_ = block_entries_ = block_depth_ = 0, last_offset_ = end_offset_ = 0; }

 private:
  std::unique_ptr<File> file_;
  int32_t step_count_ = 0;
  int32_t block_entries_ = 0;
  int32_t block_depth_ = 0;
  uint32_t last_offset_ = 0;
  uint32_t end_offset_ = 0;
};

// The journal the edits write to in the current mode: the undo journal while recording or redoing,
// the redo journal while undoing, none otherwise.
Journal* JournalForMode(UndoState& state);

}  // namespace qs

#endif  // QSTORE_COMMON_JOURNAL_H_
