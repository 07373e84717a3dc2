// The undo brackets and counters: starting and ending journalling, grouping edits into steps, and
// how many steps can be undone and redone. Undo and redo themselves are in undo_replay.h.
#ifndef QSTORE_COMMON_UNDO_UNDO_OPS_H_
#define QSTORE_COMMON_UNDO_UNDO_OPS_H_

#include "common/model/binder.h"

namespace qs {

// Creates the undo journal and then the redo journal as fresh ".BUF" scratch files; kRefused when
// one cannot be created (the caller ends journalling before starting again). Journals already open
// are closed first.
int UndoControlStart(Binder& b);
// Closes both journals; their files stay until the item's scratch files are swept.
int UndoControlEnd(Binder& b);
// Opens a step: empties the redo journal, journals edits into the undo journal from now on, and
// opens a (nestable) block. kRefused when journalling is off.
int UndoBlockStart(Binder& b);
// Closes a block; the outermost close completes the step. kRefused when journalling is off.
int UndoBlockEnd(Binder& b);
// Steps held by each journal; 0 while journalling is off.
int UndoCount(Binder& b);
int RedoCount(Binder& b);

}  // namespace qs

#endif  // QSTORE_COMMON_UNDO_UNDO_OPS_H_
