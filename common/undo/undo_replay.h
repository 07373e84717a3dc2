// Undo and redo: a step is replayed by reading its entries back newest first and performing each
// reversal through the page model's own edit operations. Those journal their own reversal into the
// opposite journal, which turns an undone step into a redo step and back.
#ifndef QSTORE_COMMON_UNDO_UNDO_REPLAY_H_
#define QSTORE_COMMON_UNDO_UNDO_REPLAY_H_

#include <cstdint>

#include "common/model/binder.h"
#include "common/undo/undo_state.h"

namespace qs {

// Replays the newest step of the undo journal (kUndoing) or of the redo journal (kRedoing) on the
// current page. kRefused when that journal holds no step; otherwise 0, or the status of the edit
// that failed. The step is gone from its journal either way.
int Replay(Binder& b, UndoMode direction);

// 0 while journalling is off; otherwise as Replay.
int Undo(Binder& b);
int Redo(Binder& b);

}  // namespace qs

#endif  // QSTORE_COMMON_UNDO_UNDO_REPLAY_H_
