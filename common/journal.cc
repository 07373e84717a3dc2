#include "common/journal.h"

namespace qs {

UndoState::UndoState() = default;
UndoState::~UndoState() = default;

void EmptyBothJournals(UndoState& state) {
  if (state.undo_journal && state.redo_journal) {
    state.undo_journal->Empty();
    state.redo_journal->Empty();
  }
}

Journal* JournalForMode(UndoState& state) {
  switch (state.mode) {
    case kRecording:
    case kRedoing:
      return state.undo_journal.get();
    case kUndoing:
      return state.redo_journal.get();
    default:
      return nullptr;
  }
}

}  // namespace qs
