#include "canvas/canvas.h"

#include <algorithm>
#include <cstring>

#include "core/buffer.h"
#include "core/engine.h"
#include "core/rand_array.h"
#include "layers/layer_stack.h"
#include "undo/undo_store.h"

namespace cvl {

namespace {

int32_t clamp_edge(int32_t v) { return (v < 0 || v > kMaxCanvasEdge) ? 100 : v; }

size_t square(int64_t edge) { return static_cast<size_t>(edge * edge); }

// Per-brush and per-canvas buffers, sized once per canvas so painting never allocates.
void allocate_canvas_buffers(Engine& e) {
  const int64_t k = e.brush_capacity;
  for (auto& grit : e.grit_buffers) grit = Buffer<uint8_t>(square(k + 25));
  e.brush_alpha = Buffer<uint16_t>(square(k));
  e.blend_buffer.pixels = Buffer<uint16_t>(square(k) * 4);
  e.blend_buffer.row_stride = static_cast<int32_t>(k * 4);

  const size_t n = e.canvas_pixels();
  e.mask = Buffer<uint16_t>(n);
  std::fill_n(e.mask.get(), n, uint16_t{65535});
  e.mask_stride = e.canvas_width * 2;
  e.mask_enabled = 1;
  e.tracing_mode = 0;

  e.under_layer.pixels = Buffer<uint16_t>(n * 4);
  e.under_layer.mask = Buffer<uint16_t>(n);

  clear_undo(e);
  e.undo_memory = static_cast<int32_t>(static_cast<int64_t>(n) * 10 / 1024);
}

void make_rand_tables(Engine& e) {
  make_rand_array_byte(e.rand_255, 255, kRandTableLength, e.random_seed);
  make_rand_array_byte(e.rand_254, 254, kRandTableLength, e.random_seed);
}

void store_brush_capacity(Engine& e, int32_t brush_capacity, int32_t reserved) {
  e.row_stride32 = e.canvas_width * 4;
  e.brush_capacity = brush_capacity;
  e.brush_capacity_stride = brush_capacity * 4;
  e.reserved_arg = reserved;
  e.view_scale_x = e.view_scale_y = 1;
  e.view_offset_x = e.view_offset_y = 0;
}

void release_brush_buffers(Engine& e) {
  e.blend_buffer.pixels.reset();
  e.paint_layer.pixels.reset();
  e.brush_alpha.reset();
  e.brush_shape_image.reset();
  for (auto& grit : e.grit_buffers) grit.reset();
}

void release_canvas_planes(Engine& e) {
  e.mask.reset();
  e.texture_map.reset();
  e.under_layer.pixels.reset();
  e.under_layer.mask.reset();
  clear_undo(e);
  e.undo_memory = 0;
}

}  // namespace

void create_image(Engine& e, void* owner, int32_t width, int32_t height, int32_t brush_capacity, int32_t reserved) {
  e.canvas_width = clamp_edge(width);
  e.canvas_height = clamp_edge(height);
  e.owner_window = owner;
  store_brush_capacity(e, brush_capacity, reserved);
  for (auto& layer : e.layer_slots) layer.pixels.reset();
  e.current_layer = nullptr;
  allocate_canvas_buffers(e);
  // The blend buffer starts with its first quarter cleared; callers clear it before use.
  std::memset(e.blend_buffer.pixels.get(), 0, square(e.brush_capacity) * 2);
  e.trace_layer = &e.slot(kTraceSlot);
  make_rand_tables(e);
  e.ipl.reset();
}

void new_size(Engine& e, void* owner, int32_t width, int32_t height, int32_t brush_capacity, int32_t reserved) {
  e.canvas_height = clamp_edge(height);
  e.owner_window = owner;
  e.canvas_width = clamp_edge(width);
  release_canvas_planes(e);
  release_brush_buffers(e);
  e.ipl.reset();
  store_brush_capacity(e, brush_capacity, reserved);
  allocate_canvas_buffers(e);
  make_rand_tables(e);
}

void delete_image(Engine& e) {
  release_canvas_planes(e);
  release_brush_buffers(e);
  for (int32_t i = 0; i < kLayerSlots; ++i) delete_layer(e, i);
  e.ipl.reset();
  imaging::release_kept_blocks();
}

}  // namespace cvl
