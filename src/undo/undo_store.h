// The undo history: what the rest of the engine and the exports call.
//
// Each save records the rectangle a step changed in the current layer (and the
// mask), taking the before-state from the under-layer buffer, a canvas-sized copy
// of the current layer and the mask as they were at the last save. Memory is
// bounded by a limit in KiB and by a number of levels; the oldest records go first.
#pragma once

#include <cstdint>

namespace cvl {

struct Engine;

// Releases every record and empties the history; refreshes the under-layer buffer.
void clear_undo(Engine& e);
// Stores the number of undo levels (capped at 500) after clearing the history.
int32_t set_undo_levels(Engine& e, int32_t levels);

// Records the changed rectangle (the stroke rectangle) of the current layer and/or
// the mask as a new step, discarding the redo records first.
void save_undo_buffer(Engine& e, bool save_layer, bool save_mask);
// Copies the slot's pixels and the mask into the under-layer buffer.
void save_undo_back_buffer(Engine& e, int32_t slot);

void undo(Engine& e);
void redo(Engine& e);
// 1 while a step can be undone / redone.
int32_t can_undo();
int32_t can_redo();
int32_t redo_count();
// Records holding data, redo records included.
int32_t undo_count();

void pause_undo();
void resume_undo();

// Frees records oldest first until at least `kib` KiB are released; records that
// hold only mask pixels are passed over. Returns how many records were released,
// abandoned redo records included.
int32_t reduce_undo(Engine& e, int32_t kib);
// 0 selects the limit derived from free memory; otherwise the limit is mb MiB.
void set_undo_mb(const Engine& e, int32_t mb);
// Re-derives the limit from free memory while the automatic limit is on.
void recompute_undo_limit(const Engine& e);
// Recomputes the limit and returns it in KiB: the total the history may hold.
int32_t recount_undo_memory(const Engine& e);
// The limit in KiB as it stands.
int32_t undo_limit();

}  // namespace cvl
