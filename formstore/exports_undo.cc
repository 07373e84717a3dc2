// Undo and redo of an open form.
#include "common/undo/undo_ops.h"
#include "common/undo/undo_replay.h"
#include "formstore.h"
#include "formstore/form.h"

using qs::Form;
using qs::WithForm;

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaUndoControlStart(FormHandle* h) {
  return WithForm(h, [&](Form& f) { return qs::UndoControlStart(f); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaUndoControlEnd(FormHandle* h) {
  return WithForm(h, [&](Form& f) { return qs::UndoControlEnd(f); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaUndoBlockStart(FormHandle* h) {
  return WithForm(h, [&](Form& f) { return qs::UndoBlockStart(f); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaUndoBlockEnd(FormHandle* h) {
  return WithForm(h, [&](Form& f) { return qs::UndoBlockEnd(f); });
}

// The counts are queries: a handle without a form has nothing to undo or redo.
QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaUndoCount(FormHandle* h) {
  Form* form = Form::FromHandle(h);
  return form != nullptr ? qs::UndoCount(*form) : 0;
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaRedoCount(FormHandle* h) {
  Form* form = Form::FromHandle(h);
  return form != nullptr ? qs::RedoCount(*form) : 0;
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaUndo(FormHandle* h) {
  return WithForm(h, [&](Form& f) { return qs::Undo(f); });
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QfaRedo(FormHandle* h) {
  return WithForm(h, [&](Form& f) { return qs::Redo(f); });
}
