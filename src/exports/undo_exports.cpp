// The undo history.
#include "corvel/corvel.h"
#include "core/engine.h"
#include "core/engine.h"
#include "core/guard.h"
#include "undo/undo_store.h"

using namespace cvl;

extern "C" {

CVL_API void CVL_CALL CVL_SaveUndoBuffer(int32_t save_layer, int32_t save_mask) {
  guarded("SaveUndoBuf Excpt", [&] {
    save_undo_buffer(engine(), static_cast<uint8_t>(save_layer) != 0, static_cast<uint8_t>(save_mask) != 0);
  });
}

CVL_API void CVL_CALL CVL_SaveUndoBackBuffer(int32_t slot) {
  guarded("SaveUndoBackBuffer Excpt", [&] { save_undo_back_buffer(engine(), slot); });
}

CVL_API void CVL_CALL CVL_Undo(void) {
  guarded("Undo Excpt", [] { undo(engine()); });
}

CVL_API void CVL_CALL CVL_Redo(void) {
  guarded("Redo Excpt", [] { redo(engine()); });
}

CVL_API int32_t CVL_CALL CVL_CanUndo(void) { return can_undo(); }
CVL_API int32_t CVL_CALL CVL_CanRedo(void) { return can_redo(); }
CVL_API int32_t CVL_CALL CVL_GetRedoCount(void) { return redo_count(); }
CVL_API int32_t CVL_CALL CVL_GetUndoCount(void) { return undo_count(); }

CVL_API void CVL_CALL CVL_ClearUndo(void) {
  guarded("ClearUndo Excpt", [] { clear_undo(engine()); });
}

CVL_API void CVL_CALL CVL_ReduceUndo(int32_t kib) {
  guarded("ReduceUndo Excpt", [&] { reduce_undo(engine(), kib); });
}

CVL_API void CVL_CALL CVL_PauseUndo(void) { pause_undo(); }
CVL_API void CVL_CALL CVL_ResumeUndo(void) { resume_undo(); }

CVL_API void CVL_CALL CVL_SetUndoMB(int32_t mb) {
  guarded("SetUndoMB Excpt", [&] { set_undo_mb(engine(), mb); });
}

}  // extern "C"
