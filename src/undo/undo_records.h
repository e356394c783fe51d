// The table of undo records and the state of the history.
//
// A record holds the other state of one rectangle of one layer (and optionally of
// the mask): before a step is undone it holds the before-state, afterwards the
// after-state, so undo and redo are the same exchange. Index 0 is the most recent
// record; records 0 .. redo_count - 1 are undone steps that can be redone.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/buffer.h"

namespace cvl {

struct Engine;

constexpr int32_t kUndoRecords = 500;

struct UndoRecord {
  Buffer<uint16_t> pixels;      // width x height RGBA64, stride width * 4 words, or empty
  Buffer<uint16_t> mask_pixels;  // width x height mask words, or empty
  uint8_t mask_was_active = 0;
  int32_t left = 0, top = 0, right = 0, bottom = 0;  // inclusive canvas bounds
  int32_t slot = 0;                                  // the layer slot the record belongs to

  int32_t width() const { return right - left + 1; }
  int32_t height() const { return bottom - top + 1; }
  bool holds_data() const { return pixels || mask_pixels; }
};

struct UndoStore {
  std::array<UndoRecord, kUndoRecords> records;
  int32_t undo_levels = 0;  // records in use, at most 500
  int32_t redo_count = 0;
  int32_t undo_limit = 0;  // KiB
  // The limit follows free memory until the host fixes one.
  uint8_t undo_auto_limit = 1;
  uint8_t undo_paused = 0;
};

UndoStore& undo_store();

// undo_levels as a usable record count (a negative setting uses none).
int32_t levels_in_use();

// KiB charged for `area` pixels of `bytes_per_pixel` bytes, truncated.
int32_t charge_kib(int64_t area, int32_t bytes_per_pixel);
// KiB charged for what a record holds: 8 bytes a pixel for colour, 2 for mask words.
int32_t record_charge(const UndoRecord& record);
// Adds to or takes from undo_memory; it never goes below 0.
void raise_undo_memory(Engine& e, int32_t kib);
void lower_undo_memory(Engine& e, int32_t kib);

// Buffers a released record may hand on to a new record of the same size, which
// spares a large free and allocation when a full history turns over.
struct SpareBuffers {
  size_t pixel_words = 0;
  size_t mask_words = 0;
  Buffer<uint16_t> pixels;
  Buffer<uint16_t> mask;
};

// Frees the record's buffers (or hands them to `spare`), lowers undo_memory by its
// charge, clears its rectangle and gives it the present mask state.
void release_record(Engine& e, UndoRecord& record, SpareBuffers* spare = nullptr);

// Frees the redo records and moves the rest down so that record 0 is the next
// step to undo. Returns how many records held data.
int32_t remove_abandoned_undo(Engine& e);

}  // namespace cvl
