// The one process-wide record of the canvas and its per-canvas buffers.
//
// Every subsystem reads and writes these fields directly; there is one canvas per
// process and the host calls from one thread. Field names follow the engine's
// published data model so that the code reads like the model.
#pragma once

#include <array>
#include <cstdint>

#include "core/buffer.h"

namespace cvl {

constexpr int kLayerSlots = 64;
constexpr int kTraceSlot = 0;
constexpr int kBackgroundSlot = 1;
constexpr int kGritBuffers = 20;
constexpr int kMaxCanvasEdge = 10000;
constexpr uint32_t kRandTableLength = 1000000;

// One layer slot (also the shape of the paint layer). Pixels are R, G, B, A
// 16-bit words, not premultiplied, row stride exactly width * 4 words.
struct Layer {
  Buffer<uint16_t> pixels;  // empty when the slot has no layer
  int32_t width = 0;
  int32_t height = 0;
  int32_t row_stride = 0;  // in 16-bit words
  uint8_t visible = 0;
  uint8_t lockAlpha = 0;
  uint16_t opacity = 0;  // 0..256
  char mode_name[52] = {};
  int32_t mixMode = 0;
  // Area painted since the last clear; used by the paint layer only.
  int32_t changed_left = 0;
  int32_t changed_top = 0;
  int32_t changed_right = 0;
  int32_t changed_bottom = 0;

  bool has_pixels() const { return static_cast<bool>(pixels); }
  uint16_t* data() const { return pixels.get(); }
};

// A table of random bytes, rebuilt only when its length, modulus or seed change.
struct RandArrayByte {
  Buffer<uint8_t> data;
  int32_t modulus = 0;
  int32_t seed = 0;
  uint32_t length = 0;
};

// The smudge/blend scratch patch: brush_capacity^2 RGBA64 pixels.
struct BlendBuffer {
  Buffer<uint16_t> pixels;
  int32_t row_stride = 0;  // in 16-bit words: brush_capacity * 4
};

// Copy of the current layer and of the mask taken at the last save; the undo
// store takes a new record's before-state from here.
struct UnderLayer {
  Buffer<uint16_t> pixels;  // canvas_width * canvas_height RGBA64
  Buffer<uint16_t> mask;    // canvas_width * canvas_height mask words
};

// The four 8-bit working images of the image-processing functions.
struct IplBuffers {
  Buffer<uint8_t> src32, dst32, src24, dst24;
  void reset() {
    src32.reset();
    dst32.reset();
    src24.reset();
    dst24.reset();
  }
};

struct Engine {
  void* owner_window = nullptr;
  int32_t canvas_width = 0;
  int32_t canvas_height = 0;
  int32_t row_stride32 = 0;  // canvas_width * 4
  int32_t brush_capacity = 0;
  int32_t brush_capacity_stride = 0;  // brush_capacity * 4
  int32_t reserved_arg = 0;

  int32_t view_scale_x = 1, view_scale_y = 1;
  int32_t view_offset_x = 0, view_offset_y = 0;
  int32_t view_width = 0, view_height = 0;

  std::array<Layer, kLayerSlots> layer_slots;
  Layer* current_layer = nullptr;
  int32_t current_layer_num = 0;
  int32_t top_layer = 1;

  std::array<Buffer<uint8_t>, kGritBuffers> grit_buffers;
  int32_t drawing_length = 0;
  Buffer<uint16_t> brush_alpha;        // brush_capacity^2 coverage values
  Buffer<uint8_t> brush_shape_image;   // tip image kept by the brush-shape builder
  Buffer<uint8_t> texture_map;         // one byte per canvas pixel, or empty

  BlendBuffer blend_buffer;
  Layer paint_layer;

  Buffer<uint16_t> mask;  // canvas_width * canvas_height, 65535 = selected
  int32_t mask_stride = 0;  // canvas_width * 2 (bytes per mask row)
  uint8_t mask_enabled = 0;
  uint8_t tracing_mode = 0;
  Layer* trace_layer = nullptr;

  UnderLayer under_layer;
  int32_t undo_memory = 0;  // KiB held by the undo history and the under-layer buffer

  RandArrayByte rand_255, rand_254;
  RandArrayByte pix_lum_vary_table, pix_color_vary_table;
  int32_t random_seed = 0;

  IplBuffers ipl;

  uint8_t display_changed = 0;
  char last_error[512] = {};
  char start_dir[1024] = {};

  size_t canvas_pixels() const {
    return static_cast<size_t>(canvas_width) * static_cast<size_t>(canvas_height);
  }
  Layer& slot(int n) { return layer_slots[static_cast<size_t>(n)]; }
  // The mask takes part only while it exists and is enabled.
  bool mask_active() const { return mask_enabled != 0 && mask; }
};

Engine& engine();

}  // namespace cvl
