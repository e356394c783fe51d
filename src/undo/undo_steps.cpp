// Stepping through the history. A record always holds the other state of its
// rectangle, so undo and redo are the same exchange between the record, the live
// plane and the under-layer plane.
#include "layers/pixel_access.h"
#include "layers/layer_stack.h"
#include "undo/rect_copy.h"
#include "undo/undo_records.h"
#include "undo/undo_store.h"

namespace cvl {

namespace {

void exchange(const WordPlane& live, const WordPlane& under, const WordPlane& record, const PlaneRect& r) {
  for_each_band(r, [&](const PlaneRect& band, int32_t y) {
    copy_plane_rect(live, band.left, band.top, record, 0, y, band.width, band.height);
    copy_plane_rect(record, 0, y, under, band.left, band.top, band.width, band.height);
    copy_same_rect(under, live, band);
  });
}

// The record's layer, made current; null when its slot no longer holds a layer
// that covers the rectangle (deleted or re-created smaller), which is then left alone.
Layer* layer_of(Engine& e, const UndoRecord& record) {
  if (record.slot < 0 || record.slot >= kLayerSlots) return nullptr;
  Layer* owner = &e.slot(record.slot);
  if (e.current_layer != owner) set_layer(e, record.slot);
  Layer* layer = current_layer_with_pixels(e);
  if (layer != owner) return nullptr;
  const bool covers = record.right < layer->width && record.bottom < layer->height &&
                      record.right < e.canvas_width && record.bottom < e.canvas_height;
  return covers ? layer : nullptr;
}

void exchange_record(Engine& e, UndoRecord& record) {
  const PlaneRect r{record.left, record.top, record.width(), record.height()};
  Layer* layer = layer_of(e, record);
  if (record.pixels && layer && e.under_layer.pixels)
    exchange(layer_plane(*layer), under_pixels_plane(e), packed_plane(record.pixels.get(), r.width, 4), r);
  if (record.mask_pixels && e.mask && e.under_layer.mask)
    exchange(mask_plane(e), under_mask_plane(e), packed_plane(record.mask_pixels.get(), r.width, 1), r);
}

}  // namespace

void undo(Engine& e) {
  UndoStore& u = undo_store();
  if (u.undo_paused || !can_undo()) return;
  exchange_record(e, u.records[static_cast<size_t>(u.redo_count)]);
  ++u.redo_count;
}

void redo(Engine& e) {
  UndoStore& u = undo_store();
  if (u.undo_paused || u.redo_count <= 0) return;
  --u.redo_count;
  exchange_record(e, u.records[static_cast<size_t>(u.redo_count)]);
}

int32_t can_undo() {
  const UndoStore& u = undo_store();
  return u.redo_count >= 0 && u.redo_count < levels_in_use() && u.records[static_cast<size_t>(u.redo_count)].holds_data()
             ? 1
             : 0;
}

int32_t can_redo() { return undo_store().redo_count > 0 ? 1 : 0; }

int32_t redo_count() { return undo_store().redo_count; }

int32_t undo_count() {
  int32_t n = 0;
  for (const UndoRecord& record : undo_store().records) n += record.holds_data() ? 1 : 0;
  return n;
}

void pause_undo() { undo_store().undo_paused = 1; }
void resume_undo() { undo_store().undo_paused = 0; }

}  // namespace cvl
