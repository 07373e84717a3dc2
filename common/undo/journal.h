// One undo or redo journal: a chain of entries in a scratch file, read back newest first.
//
// Entries are written back to back from offset 0; each names the one before it, so the newest step
// is read by following those links from the newest entry. Nothing is kept in memory but five
// counters. Emptying resets them and later entries overwrite the file from the start: the file is
// never shortened, and the journal never deletes it (the item's scratch-file sweep does).
#ifndef QSTORE_COMMON_UNDO_JOURNAL_H_
#define QSTORE_COMMON_UNDO_JOURNAL_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "common/undo/undo_entry.h"
#include "common/undo/undo_state.h"
#include "platform/env.h"

namespace qs {

class Journal {
 public:
  // Creates the journal file `path` in `env`, which must not exist yet. Null when it cannot be
  // created. The pictures entries carry are read and written back through `env` too.
  static std::unique_ptr<Journal> Create(Env& env, const std::string& path);

  Journal(Env& env, std::unique_ptr<File> file) : env_(env), file_(std::move(file)) {}
  Journal(const Journal&) = delete;
  Journal& operator=(const Journal&) = delete;

  // Number of complete steps held.
  int32_t step_count() const { return step_count_; }
  // Entries written since the outermost block opened.
  int32_t block_entries() const { return block_entries_; }
  int32_t block_depth() const { return block_depth_; }
  uint32_t last_offset() const { return last_offset_; }
  // Where the next entry goes; 0 when the journal is empty.
  uint32_t end_offset() const { return end_offset_; }

  // Appends an entry to the current step. The entry becomes part of the journal only once all of it
  // has been written, so a failed append is overwritten by the next. An inserted-figure entry whose
  // file size is above 0 is followed by that many bytes of the file it names. kRefused when no
  // block is open, the data is malformed or a write fails; kJournalPicture when the picture file
  // cannot be copied in.
  int Append(int32_t action, int32_t kind, const uint8_t* data, size_t length);

  // Reads and removes the newest entry of the current step into `header` and `data` (room for
  // `capacity` bytes). An inserted-figure entry carrying a picture writes it back to the file it
  // names. kOk when an entry was taken; kStepEnd when the step has no further entry; kRefused when
  // a read fails or the entry does not fit its place in the file; kJournalPicture when the picture
  // cannot be written back.
  int TakeBack(EntryHeader* header, uint8_t* data, size_t capacity);

  // Block brackets: only the outermost counts, and a block that journalled nothing adds no step.
  // A close with no block open does nothing.
  int OpenBlock();
  int CloseBlock();

  // Lowers the step count so that the newest step's entries are those TakeBack returns. kRefused
  // when the journal holds no step.
  int DropStep();

  void Empty() {
    step_count_ = block_entries_ = block_depth_ = 0;
    last_offset_ = end_offset_ = 0;
  }

 private:
  // Copies `size` bytes of the file `name` to the journal's current position.
  bool CopyFileIn(const std::string& name, uint32_t size);
  // Writes `size` bytes from the journal's current position to the file `name` (created or
  // replaced).
  bool CopyFileOut(const std::string& name, uint32_t size);

  Env& env_;
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

#endif  // QSTORE_COMMON_UNDO_JOURNAL_H_
