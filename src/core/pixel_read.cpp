// Reading layers back into caller buffers, and point probes.
#include <algorithm>
#include <cstring>

#include "core/canvas_geometry.h"
#include "core/pixel_access.h"
#include "core/pixel_convert.h"
#include "layers/layer_stack.h"

namespace cvl {

namespace {

int32_t narrow_layer(uint8_t* dst, int32_t dst_stride, const Layer* layer, int channels) {
  if (!layer || !layer->has_pixels() || !dst) return 0;
  const LayerSpan span = canvas_span(*layer);
  narrow_rgba64_rect(dst, dst_stride, layer->data(), layer->rowStride * 2, span.cols, span.rows, channels);
  return engine().canvas_height;
}

// Clamps a probe position onto the canvas.
size_t clamped_index(int32_t x, int32_t y) {
  const Engine& e = engine();
  x = std::clamp(x, 0, std::max(0, e.canvas_width - 1));
  y = std::clamp(y, 0, std::max(0, e.canvas_height - 1));
  return static_cast<size_t>(y) * static_cast<size_t>(e.canvas_width) + static_cast<size_t>(x);
}

bool on_canvas(int32_t x, int32_t y) {
  const Engine& e = engine();
  return x >= 0 && y >= 0 && x < e.canvas_width && y < e.canvas_height;
}

}  // namespace

int32_t get_rgb24_layer(uint8_t* dst, int32_t dst_stride, const Layer* layer) {
  return narrow_layer(dst, dst_stride, layer, 3);
}

int32_t get_rgba32_layer(uint8_t* dst, int32_t dst_stride, const Layer* layer) {
  return narrow_layer(dst, dst_stride, layer, 4);
}

void get_rgb24_from_alpha(uint8_t* dst, int32_t dst_stride) {
  const Layer* layer = current_layer_with_pixels();
  if (!layer || !dst) return;
  const LayerSpan span = canvas_span(*layer);
  for (int32_t y = 0; y < span.rows; ++y) {
    const uint16_t* s = layer_row(*layer, y);
    uint8_t* d = byte_row(dst, dst_stride, y);
    for (int32_t x = 0; x < span.cols; ++x, s += 4, d += 3) d[0] = d[1] = d[2] = static_cast<uint8_t>(s[3] >> 8);
  }
}

void get_rgba64_layer_rect(uint16_t* dst, int32_t dst_stride, int32_t slot, int32_t x, int32_t y, int32_t width,
                           int32_t height) {
  const Layer* layer = layer_with_pixels(slot);
  if (!layer || !dst) return;
  // Clip the rectangle to the layer so that a stray rectangle never reads outside it;
  // the destination keeps its origin at the requested corner.
  const int32_t x0 = std::max(x, 0), y0 = std::max(y, 0);
  const int32_t x1 = std::min(x + width, layer->width), y1 = std::min(y + height, layer->height);
  if (x1 <= x0 || y1 <= y0) return;
  for (int32_t row = y0; row < y1; ++row)
    std::memcpy(byte_row(dst, dst_stride, row - y) + static_cast<size_t>(x0 - x) * 4,
                layer_row(*layer, row) + static_cast<size_t>(x0) * 4, static_cast<size_t>(x1 - x0) * 8);
}

void get_layer_data(uint16_t* dst, int32_t slot) {
  const Layer* layer = layer_with_pixels(slot);
  if (!layer || !dst) return;
  const size_t n = std::min(engine().canvas_pixels(), layer->pixels.size() / 4);
  std::memcpy(dst, layer->data(), n * 8);
}

void find_data_extents(int32_t slot, int32_t* left, int32_t* top, int32_t* right, int32_t* bottom) {
  const Layer* layer = layer_with_pixels(slot);
  if (!layer || !left || !top || !right || !bottom) return;
  int32_t l = engine().canvas_width, t = engine().canvas_height, r = 0, b = 0;
  const LayerSpan span = canvas_span(*layer);
  for (int32_t y = 0; y < span.rows; ++y) {
    const uint16_t* p = layer_row(*layer, y);
    for (int32_t x = 0; x < span.cols; ++x) {
      if (p[x * 4 + 3] == 0) continue;
      l = std::min(l, x);
      t = std::min(t, y);
      r = std::max(r, x);
      b = std::max(b, y);
    }
  }
  *left = l;
  *top = t;
  *right = r;
  *bottom = b;
}

int32_t get_channel64(int32_t x, int32_t y, int channel) {
  const Layer* layer = current_layer_with_pixels();
  if (!layer || !on_canvas(x, y) || x >= layer->width || y >= layer->height) return 0;
  return layer_row(*layer, y)[x * 4 + channel];
}

int32_t get_mask64(int32_t x, int32_t y) {
  const Engine& e = engine();
  if (!e.mask_active() || !on_canvas(x, y) || !current_layer_with_pixels()) return 0;
  return 65535 - e.mask[static_cast<size_t>(y) * static_cast<size_t>(e.canvas_width) + static_cast<size_t>(x)];
}

void get_mask_data16(uint16_t* dst) {
  const Engine& e = engine();
  if (!dst || !e.mask) return;
  std::memcpy(dst, e.mask.get(), e.canvas_pixels() * 2);
}

void set_mask_data16(const uint16_t* src) {
  Engine& e = engine();
  if (!src || !e.mask) return;
  std::memcpy(e.mask.get(), src, e.canvas_pixels() * 2);
}

int32_t get_rgba_at(int32_t x, int32_t y, const uint16_t* image) {
  if (!image || engine().canvas_pixels() == 0) return 0;
  const uint16_t* p = image + clamped_index(x, y) * 4;
  const uint32_t packed = static_cast<uint32_t>(p[0] >> 8) << 24 | static_cast<uint32_t>(p[1] >> 8) << 16 |
                          static_cast<uint32_t>(p[2] >> 8) << 8 | static_cast<uint32_t>(p[3] >> 8);
  return static_cast<int32_t>(packed);
}

int32_t get_color_at(int32_t x, int32_t y, const uint16_t* image) {
  if (!image || engine().canvas_pixels() == 0) return 0;
  const uint16_t* p = image + clamped_index(x, y) * 4;
  if ((p[3] >> 8) == 0) return -1;
  return (p[0] >> 8) << 16 | (p[1] >> 8) << 8 | (p[2] >> 8);
}

}  // namespace cvl
