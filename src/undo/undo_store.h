// The undo history: the engine-wide part that the canvas lifecycle and the
// pixel probes need. The full store lives beside this header.
#pragma once

#include <cstdint>

namespace cvl {

// Releases every record and empties the history.
void clear_undo();
// Stores the number of undo levels (capped at 500) after clearing the history.
int32_t set_undo_levels(int32_t levels);
// 1 while a step can be undone.
int32_t can_undo();
// Recounts the memory held by the history and the under-layer buffer, in KiB.
int32_t recount_undo_memory();

}  // namespace cvl
