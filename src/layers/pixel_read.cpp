// Reading layers back into caller buffers, and point probes.
#include <algorithm>
#include <cstring>

#include "core/canvas_geometry.h"
#include "core/pixel_convert.h"
#include "imaging/parallel_bands.h"
#include "layers/layer_stack.h"
#include "layers/pixel_access.h"
#include "layers/rect_clip.h"

namespace cvl {

namespace {

int32_t narrow_layer(const Engine& e, uint8_t* dst, int32_t dst_stride, const Layer* layer, int channels) {
  if (!layer || !layer->has_pixels() || !dst) return 0;
  const CanvasPlane plane = canvas_plane(e, *layer);
  imaging::for_each_band(plane.height, plane.width, [&](int32_t first, int32_t end) {
    for (int32_t y = first; y < end; ++y)
      narrow_rgba64_rect(byte_row(dst, dst_stride, y), dst_stride, plane.row(y), plane.width * 8, plane.cols(y), 1,
                         channels);
  });
  return e.canvas_height;
}

// Clamps a probe position onto the canvas.
size_t clamped_index(const Engine& e, int32_t x, int32_t y) {
  x = std::clamp(x, 0, std::max(0, e.canvas_width - 1));
  y = std::clamp(y, 0, std::max(0, e.canvas_height - 1));
  return static_cast<size_t>(y) * static_cast<size_t>(e.canvas_width) + static_cast<size_t>(x);
}

bool on_canvas(const Engine& e, int32_t x, int32_t y) {
  return x >= 0 && y >= 0 && x < e.canvas_width && y < e.canvas_height;
}

}  // namespace

int32_t get_rgb24_layer(const Engine& e, uint8_t* dst, int32_t dst_stride, const Layer* layer) {
  return narrow_layer(e, dst, dst_stride, layer, 3);
}

int32_t get_rgba32_layer(const Engine& e, uint8_t* dst, int32_t dst_stride, const Layer* layer) {
  return narrow_layer(e, dst, dst_stride, layer, 4);
}

void get_rgb24_from_alpha(const Engine& e, uint8_t* dst, int32_t dst_stride) {
  const Layer* layer = current_layer_with_pixels(e);
  if (!layer || !dst) return;
  const CanvasPlane plane = canvas_plane(e, *layer);
  for (int32_t y = 0; y < plane.height; ++y) {
    const uint16_t* s = plane.row(y);
    uint8_t* d = byte_row(dst, dst_stride, y);
    for (int32_t x = 0, cols = plane.cols(y); x < cols; ++x, s += 4, d += 3)
      d[0] = d[1] = d[2] = static_cast<uint8_t>(s[3] >> 8);
  }
}

void get_rgba64_layer_rect(Engine& e, uint16_t* dst, int32_t dst_stride, int32_t slot, int32_t x, int32_t y,
                           int32_t width, int32_t height) {
  const Layer* layer = layer_with_pixels(e, slot);
  if (!layer || !dst) return;
  // Clip the rectangle to the canvas and to the layer's pixels so that a stray
  // rectangle never reads outside them; the destination keeps its origin at the
  // requested corner.
  const CanvasPlane plane = canvas_plane(e, *layer);
  const int32_t x0 = std::max(x, 0), y0 = std::max(y, 0);
  const int32_t x1 = end_within(x, width, plane.width), y1 = end_within(y, height, plane.height);
  for (int32_t row = y0; row < y1; ++row) {
    const int32_t end = std::min(x1, plane.cols(row));
    if (end > x0)
      std::memcpy(byte_row(dst, dst_stride, row - y) + static_cast<size_t>(x0 - x) * 4, plane.at(x0, row),
                  static_cast<size_t>(end - x0) * 8);
  }
}

void get_layer_data(Engine& e, uint16_t* dst, int32_t slot) {
  const Layer* layer = layer_with_pixels(e, slot);
  if (!layer || !dst) return;
  const size_t n = std::min(e.canvas_pixels(), layer->pixels.size() / 4);
  std::memcpy(dst, layer->data(), n * 8);
}

void find_data_extents(Engine& e, int32_t slot, int32_t* left, int32_t* top, int32_t* right, int32_t* bottom) {
  const Layer* layer = layer_with_pixels(e, slot);
  if (!layer || !left || !top || !right || !bottom) return;
  int32_t l = e.canvas_width, t = e.canvas_height, r = 0, b = 0;
  const CanvasPlane plane = canvas_plane(e, *layer);
  for (int32_t y = 0; y < plane.height; ++y) {
    // Only a row's first and last visible pixels matter: look in from both ends.
    const uint16_t* p = plane.row(y);
    int32_t first = 0, last = plane.cols(y) - 1;
    while (first <= last && p[first * 4 + 3] == 0) ++first;
    if (first > last) continue;
    while (p[last * 4 + 3] == 0) --last;
    l = std::min(l, first);
    t = std::min(t, y);
    r = std::max(r, last);
    b = y;
  }
  *left = l;
  *top = t;
  *right = r;
  *bottom = b;
}

int32_t get_channel64(const Engine& e, int32_t x, int32_t y, int channel) {
  const Layer* layer = current_layer_with_pixels(e);
  if (!layer) return 0;
  const CanvasPlane plane = canvas_plane(e, *layer);
  return plane.holds(x, y) ? plane.at(x, y)[channel] : 0;
}

int32_t get_mask64(const Engine& e, int32_t x, int32_t y) {
  if (!e.mask_active() || !on_canvas(e, x, y) || !current_layer_with_pixels(e)) return 0;
  return 65535 - e.mask[static_cast<size_t>(y) * static_cast<size_t>(e.canvas_width) + static_cast<size_t>(x)];
}

void get_mask_data16(const Engine& e, uint16_t* dst) {
  if (!dst || !e.mask) return;
  std::memcpy(dst, e.mask.get(), e.canvas_pixels() * 2);
}

void set_mask_data16(Engine& e, const uint16_t* src) {
  if (!src || !e.mask) return;
  std::memcpy(e.mask.get(), src, e.canvas_pixels() * 2);
}

namespace {

int32_t packed_rgba(const uint16_t* p) {
  const uint32_t packed = static_cast<uint32_t>(p[0] >> 8) << 24 | static_cast<uint32_t>(p[1] >> 8) << 16 |
                          static_cast<uint32_t>(p[2] >> 8) << 8 | static_cast<uint32_t>(p[3] >> 8);
  return static_cast<int32_t>(packed);
}

int32_t packed_colour(const uint16_t* p) {
  if ((p[3] >> 8) == 0) return -1;
  return (p[0] >> 8) << 16 | (p[1] >> 8) << 8 | (p[2] >> 8);
}

// The layer's pixel at the clamped probe position; a position past the pixels a
// smaller layer holds reads as transparent black.
const uint16_t* probed_pixel(const Engine& e, const Layer& layer, int32_t x, int32_t y) {
  static const uint16_t kNone[4] = {0, 0, 0, 0};
  x = std::clamp(x, 0, std::max(0, e.canvas_width - 1));
  y = std::clamp(y, 0, std::max(0, e.canvas_height - 1));
  const CanvasPlane plane = canvas_plane(e, layer);
  return plane.holds(x, y) ? plane.at(x, y) : kNone;
}

bool probeable(const Engine& e, const Layer* layer) { return layer && layer->has_pixels() && e.canvas_pixels() > 0; }

}  // namespace

int32_t get_rgba_at(const Engine& e, int32_t x, int32_t y, const uint16_t* image) {
  if (!image || e.canvas_pixels() == 0) return 0;
  return packed_rgba(image + clamped_index(e, x, y) * 4);
}

int32_t get_colour_at(const Engine& e, int32_t x, int32_t y, const uint16_t* image) {
  if (!image || e.canvas_pixels() == 0) return 0;
  return packed_colour(image + clamped_index(e, x, y) * 4);
}

int32_t get_rgba_at(const Engine& e, int32_t x, int32_t y, const Layer* layer) {
  return probeable(e, layer) ? packed_rgba(probed_pixel(e, *layer, x, y)) : 0;
}

int32_t get_colour_at(const Engine& e, int32_t x, int32_t y, const Layer* layer) {
  return probeable(e, layer) ? packed_colour(probed_pixel(e, *layer, x, y)) : 0;
}

}  // namespace cvl
