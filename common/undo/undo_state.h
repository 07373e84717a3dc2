// The journalling members of an open form or document: the two journals and the mode that says
// which of them the edit operations write to.
#ifndef QSTORE_COMMON_UNDO_UNDO_STATE_H_
#define QSTORE_COMMON_UNDO_UNDO_STATE_H_

#include <cstdint>
#include <memory>

namespace qs {

class Journal;

enum UndoMode : int32_t {
  kIdle = 0,
  kRecording = 1,
  kUndoing = 11,
  kRedoing = 12,
};

struct UndoState {
  UndoState();
  ~UndoState();
  UndoState(const UndoState&) = delete;
  UndoState& operator=(const UndoState&) = delete;

  std::unique_ptr<Journal> undo_journal;  // null while journalling is off
  std::unique_ptr<Journal> redo_journal;
  int32_t mode = kIdle;
};

// Empties both journals when both exist (page changes, page insertion and deletion).
void EmptyBothJournals(UndoState& state);

}  // namespace qs

#endif  // QSTORE_COMMON_UNDO_UNDO_STATE_H_
