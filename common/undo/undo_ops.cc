#include "common/undo/undo_ops.h"

#include "common/status.h"
#include "common/undo/journal.h"
#include "common/undo/undo_state.h"

namespace qs {

int UndoControlStart(Binder& b) {
  UndoState& undo = b.undo();
  undo.undo_journal.reset();
  undo.redo_journal.reset();
  undo.undo_journal = Journal::Create(b.env(), b.FreshScratchName("UNDO.BUF"));
  if (!undo.undo_journal) return kRefused;
  undo.redo_journal = Journal::Create(b.env(), b.FreshScratchName("REDO.BUF"));
  if (!undo.redo_journal) {
    // Journalling is on with both journals or not at all: an undo journal alone would not be
    // emptied when the page changes (that empties both or neither), and its steps would then be
    // replayed onto another page. Its file stays for the scratch-file sweep.
    undo.undo_journal.reset();
    return kRefused;
  }
  return kOk;
}

int UndoControlEnd(Binder& b) {
  UndoState& undo = b.undo();
  undo.undo_journal.reset();
  undo.redo_journal.reset();
  return kOk;
}

int UndoBlockStart(Binder& b) {
  UndoState& undo = b.undo();
  if (!undo.undo_journal) return kRefused;
  // A new step makes the undone ones unreachable.
  if (undo.redo_journal) undo.redo_journal->Empty();
  undo.mode = kRecording;
  return undo.undo_journal->OpenBlock();
}

int UndoBlockEnd(Binder& b) {
  UndoState& undo = b.undo();
  if (!undo.undo_journal) return kRefused;
  return undo.undo_journal->CloseBlock();
}

int UndoCount(Binder& b) {
  const UndoState& undo = b.undo();
  return undo.undo_journal ? undo.undo_journal->step_count() : 0;
}

int RedoCount(Binder& b) {
  const UndoState& undo = b.undo();
  return undo.redo_journal ? undo.redo_journal->step_count() : 0;
}

}  // namespace qs
