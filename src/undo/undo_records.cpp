#include "undo/undo_records.h"

#include <algorithm>
#include <limits>

#include "core/engine.h"

namespace cvl {

namespace {

UndoStore g_store;

size_t area_of(const UndoRecord& r) {
  return static_cast<size_t>(r.width()) * static_cast<size_t>(r.height());
}

template <class T>
void hand_on(Buffer<T>& from, Buffer<T>& to, size_t wanted) {
  if (from && !to && from.size() == wanted) to = std::move(from);
}

}  // namespace

UndoStore& undo_store() { return g_store; }

int32_t levels_in_use() { return std::clamp(g_store.undo_levels, 0, kUndoRecords); }

int32_t charge_kib(int64_t area, int32_t bytes_per_pixel) {
  const int64_t kib = area * bytes_per_pixel / 1024;
  return static_cast<int32_t>(std::min<int64_t>(kib, std::numeric_limits<int32_t>::max()));
}

int32_t record_charge(const UndoRecord& record) {
  const auto area = static_cast<int64_t>(area_of(record));
  int64_t kib = 0;
  if (record.pixels) kib += charge_kib(area, 8);
  if (record.mask_pixels) kib += charge_kib(area, 2);
  return static_cast<int32_t>(std::min<int64_t>(kib, std::numeric_limits<int32_t>::max()));
}

void raise_undo_memory(Engine& e, int32_t kib) {
  int32_t& m = e.undo_memory;
  m = static_cast<int32_t>(std::min<int64_t>(int64_t{m} + kib, std::numeric_limits<int32_t>::max()));
}

void lower_undo_memory(Engine& e, int32_t kib) {
  int32_t& m = e.undo_memory;
  m = std::max(0, m - kib);
}

void release_record(Engine& e, UndoRecord& record, SpareBuffers* spare) {
  if (record.holds_data()) {
    lower_undo_memory(e, record_charge(record));
    if (spare) {
      hand_on(record.pixels, spare->pixels, spare->pixel_words);
      hand_on(record.mask_pixels, spare->mask, spare->mask_words);
    }
    record.pixels.reset();
    record.mask_pixels.reset();
  }
  record.mask_was_active = e.mask_active() ? 1 : 0;
  record.left = record.top = record.right = record.bottom = 0;
}

int32_t remove_abandoned_undo(Engine& e) {
  UndoStore& u = g_store;
  const int32_t abandoned = std::clamp(u.redo_count, 0, kUndoRecords);
  int32_t released = 0;
  for (int32_t i = 0; i < abandoned; ++i) {
    released += u.records[static_cast<size_t>(i)].holds_data() ? 1 : 0;
    release_record(e, u.records[static_cast<size_t>(i)]);
  }
  // The emptied records go to the far end, behind the oldest steps.
  std::rotate(u.records.begin(), u.records.begin() + abandoned, u.records.end());
  u.redo_count = 0;
  return released;
}

}  // namespace cvl
