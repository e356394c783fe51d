// Saving steps into the history, the under-layer buffer, and emptying the history.
#include <algorithm>
#include <utility>

#include "core/canvas_geometry.h"
#include "core/last_error.h"
#include "layers/pixel_access.h"
#include "layers/layer_stack.h"
#include "undo/rect_copy.h"
#include "undo/stroke_rect.h"
#include "undo/undo_records.h"
#include "undo/undo_store.h"

namespace cvl {

namespace {

// The rectangle a save covers: the stroke rectangle clamped into the area, or the
// whole area when it is empty or a single row or column wide.
PlaneRect saved_rect(const StrokeRect& s, int32_t area_width, int32_t area_height) {
  int32_t left = std::max(s.left, 0), top = std::max(s.top, 0);
  int32_t right = std::min(s.right, area_width - 1), bottom = std::min(s.bottom, area_height - 1);
  if (left >= right || top >= bottom) {
    left = top = 0;
    right = area_width - 1;
    bottom = area_height - 1;
  }
  return {left, top, right - left + 1, bottom - top + 1};
}

struct NewRecordBuffers {
  Buffer<uint16_t> pixels;
  Buffer<uint16_t> mask;
};

template <class T>
bool take_or_allocate(Engine& e, Buffer<T>& out, Buffer<T>& spare, size_t count, int32_t kib) {
  if (out) return true;
  out = spare ? std::move(spare) : Buffer<T>::try_allocate(count);
  if (out) raise_undo_memory(e, kib);
  return static_cast<bool>(out);
}

// Drops records from the oldest until the new one fits under the limit and its
// buffers can be allocated. The oldest record always goes; once only the newest
// remains the record is made even above the limit, so a single large step is kept.
bool allocate_record(Engine& e, int32_t width, int32_t height, bool want_pixels, bool want_mask,
                     NewRecordBuffers& out) {
  UndoStore& u = undo_store();
  const int64_t area = int64_t{width} * height;
  const int32_t estimate = charge_kib(area, 10);
  SpareBuffers spare{want_pixels ? static_cast<size_t>(area) * 4 : 0, want_mask ? static_cast<size_t>(area) : 0,
                     {}, {}};
  for (int32_t n = levels_in_use() - 1; n >= 0; --n) {
    release_record(e, u.records[static_cast<size_t>(n)], &spare);
    if (n != 0 && int64_t{e.undo_memory} + estimate >= u.undo_limit) continue;
    const bool pixels_ok =
        !want_pixels || take_or_allocate(e, out.pixels, spare.pixels, spare.pixel_words, charge_kib(area, 8));
    const bool mask_ok = !want_mask || take_or_allocate(e, out.mask, spare.mask, spare.mask_words, charge_kib(area, 2));
    if (pixels_ok && mask_ok) return true;
  }
  if (out.pixels) lower_undo_memory(e, charge_kib(area, 8));
  if (out.mask) lower_undo_memory(e, charge_kib(area, 2));
  out = {};
  return false;
}

// Makes record 0 from the new buffers, taking the before-state from the under-layer
// buffer and then bringing the under-layer up to date with the layer.
void push_record(const Engine& e, NewRecordBuffers& buffers, const PlaneRect& r, Layer* layer) {
  UndoStore& u = undo_store();
  const int32_t levels = levels_in_use();
  std::rotate(u.records.begin(), u.records.begin() + (levels - 1), u.records.begin() + levels);
  UndoRecord& record = u.records[0];
  record.pixels = std::move(buffers.pixels);
  record.mask_pixels = std::move(buffers.mask);
  record.mask_was_active = e.mask_active() ? 1 : 0;
  record.left = r.left;
  record.top = r.top;
  record.right = r.left + r.width - 1;
  record.bottom = r.top + r.height - 1;
  record.slot = e.current_layer_num;
  if (record.pixels) {
    const WordPlane packed = packed_plane(record.pixels.get(), r.width, 4);
    const WordPlane under = under_pixels_plane(e);
    for_each_band(r, [&](const PlaneRect& band, int32_t y) {
      copy_plane_rect(packed, 0, y, under, band.left, band.top, band.width, band.height);
      copy_same_rect(under, layer_plane(*layer), band);
    });
  }
  if (record.mask_pixels)
    copy_plane_rect(packed_plane(record.mask_pixels.get(), r.width, 1), 0, 0, under_mask_plane(e), r.left, r.top,
                    r.width, r.height);
}

}  // namespace

void save_undo_buffer(Engine& e, bool save_layer, bool save_mask) {
  UndoStore& u = undo_store();
  if (u.undo_paused) return;
  // Without a current layer, or an under-layer plane to take the before-state from,
  // there is nothing of that kind to record.
  Layer* layer = save_layer && e.under_layer.pixels ? current_layer_with_pixels(e) : nullptr;
  save_mask = save_mask && e.mask && e.under_layer.mask;
  int32_t area_width = e.canvas_width, area_height = e.canvas_height;
  if (layer) {
    area_width = std::min(area_width, layer->width);
    area_height = std::min(area_height, layer->height);
  }
  const StrokeRect stroke = stroke_rect();
  remove_abandoned_undo(e);
  const PlaneRect r = saved_rect(stroke, area_width, area_height);
  if (r.width < 1 || r.height < 1) return;
  recompute_undo_limit(e);

  NewRecordBuffers buffers;
  const bool wanted = (layer || save_mask) && levels_in_use() > 0;
  const bool recorded = wanted && allocate_record(e, r.width, r.height, layer != nullptr, save_mask, buffers);
  if (recorded) {
    push_record(e, buffers, r, layer);
  } else if (layer) {
    // No room for a record: still bring the under-layer up to date, so the next
    // save starts from the right before-state.
    copy_same_rect(under_pixels_plane(e), layer_plane(*layer), r);
  }
  if (save_mask) copy_same_rect(under_mask_plane(e), mask_plane(e), r);
  reset_stroke_rect(e);
  // The history gave up every record and still had no room: the step is lost.
  if (wanted && !recorded) set_last_error("SaveUndoBuf Excpt");
}

void save_undo_back_buffer(Engine& e, int32_t slot) {
  if (undo_store().undo_paused) return;
  if (const Layer* layer = layer_with_pixels(e, slot); layer && e.under_layer.pixels) {
    const LayerSpan span = canvas_span(e, *layer);
    copy_plane_rect(under_pixels_plane(e), 0, 0, layer_plane(*layer), 0, 0, span.cols, span.rows);
  }
  if (e.mask && e.under_layer.mask)
    copy_plane_rect(under_mask_plane(e), 0, 0, mask_plane(e), 0, 0, e.canvas_width, e.canvas_height);
}

void clear_undo(Engine& e) {
  UndoStore& u = undo_store();
  reset_stroke_rect(e);
  u.undo_paused = 0;
  u.redo_count = 0;
  for (UndoRecord& record : u.records) {
    release_record(e, record);
    record.slot = 0;
  }
  e.undo_memory = charge_kib(static_cast<int64_t>(e.canvas_pixels()), 10);
  if (e.current_layer) save_undo_back_buffer(e, e.current_layer_num);
  recompute_undo_limit(e);
}

int32_t set_undo_levels(Engine& e, int32_t levels) {
  clear_undo(e);
  undo_store().undo_levels = std::min(levels, kUndoRecords);
  return undo_store().undo_levels;
}

}  // namespace cvl
