// Writing caller images and fills into layers.
#include <algorithm>
#include <cstring>

#include "core/canvas_geometry.h"
#include "core/pixel_convert.h"
#include "layers/pixel_access.h"
#include "core/selection_weight.h"
#include "layers/layer_stack.h"
#include "imaging/parallel_bands.h"

namespace cvl {

Layer* current_layer_with_pixels(const Engine& e) {
  Layer* layer = e.current_layer;
  return (layer && layer->has_pixels()) ? layer : nullptr;
}

void load_bgr(Engine& e, const uint8_t* src, int32_t src_stride, int32_t width, int32_t height) {
  Layer* layer = current_layer_with_pixels(e);
  if (!layer || !src) return;
  const CanvasPlane plane = canvas_plane(e, *layer);
  const int32_t rows = std::min(height, plane.height);
  for (int32_t y = 0; y < rows; ++y) {
    const uint8_t* s = byte_row(src, src_stride, y);
    uint16_t* d = plane.row(y);
    const int32_t cols = std::min(width, plane.cols(y));
    for (int32_t x = 0; x < cols; ++x, s += 3, d += 4) {
      d[0] = static_cast<uint16_t>(s[2] << 8);
      d[1] = static_cast<uint16_t>(s[1] << 8);
      d[2] = static_cast<uint16_t>(s[0] << 8);
      d[3] = 65535;
    }
  }
}

namespace {

// The selection weight of the RGB24 loaders at canvas pixel i; `rounded` picks
// the texture ramp, `word_mask` the full-word mask scaling.
struct Rgb24Selection {
  const uint8_t* texture = nullptr;
  const uint16_t* mask = nullptr;
  bool rounded = true;

  bool active() const { return texture || mask; }
  uint32_t weight(size_t i) const {
    uint32_t w = 65535;
    if (texture) w = rounded ? texture_weight_rounded(texture[i]) : texture_weight_plain(texture[i]);
    if (mask) w = rounded ? mask_weight_high_byte(w, mask[i]) : mask_weight_word(w, mask[i]);
    return w;
  }
};

Rgb24Selection selection_for(const Engine& e, bool use_selection, bool rounded) {
  Rgb24Selection sel;
  sel.rounded = rounded;
  if (!use_selection) return sel;
  sel.texture = e.texture_map.get();
  sel.mask = e.mask_active() ? e.mask.get() : nullptr;
  return sel;
}

inline uint16_t blend_in(uint32_t s, uint32_t w, uint16_t old) {
  return static_cast<uint16_t>((s * w + ((old * (65535u - w)) >> 8)) >> 8);
}

}  // namespace

namespace {

// Walks the current layer beside an RGB24 source, handing each pixel's source,
// destination and selection weight to `write`, and runs of pixels the selection
// lets through whole to `write_whole(s, d, count)`.
template <class Write, class WriteWhole>
void for_each_rgb24_pixel(const Engine& e, const uint8_t* src, int32_t src_stride, const Rgb24Selection& sel,
                          Write write, WriteWhole write_whole) {
  Layer* layer = current_layer_with_pixels(e);
  if (!layer || !src) return;
  const CanvasPlane plane = canvas_plane(e, *layer);
  const uint16_t threshold = sel.rounded ? kWholeHighByte : kWholeWord;
  imaging::for_each_band(plane.height, plane.width, [&](int32_t first, int32_t end) {
    for (int32_t y = first; y < end; ++y) {
      const uint8_t* s = byte_row(src, src_stride, y);
      uint16_t* d = plane.row(y);
      const size_t row_index = static_cast<size_t>(y) * static_cast<size_t>(plane.width);
      const int32_t cols = plane.cols(y);
      if (!sel.active()) {
        write_whole(s, d, cols);
        continue;
      }
      if (!sel.texture) {
        const uint16_t* m = sel.mask + row_index;
        for (int32_t x = 0; x < cols;) {
          const int32_t whole = mask_run(m + x, cols - x, threshold, true);
          write_whole(s, d, whole);
          x += whole, s += whole * 3, d += whole * 4;
          const int32_t part = mask_run(m + x, cols - x, threshold, false);
          for (const int32_t stop = x + part; x < stop; ++x, s += 3, d += 4)
            write(s, d, sel.weight(row_index + static_cast<size_t>(x)));
        }
        continue;
      }
      for (int32_t x = 0; x < cols; ++x, s += 3, d += 4) write(s, d, sel.weight(row_index + static_cast<size_t>(x)));
    }
  });
}

}  // namespace

void load_rgb24(Engine& e, const uint8_t* src, int32_t src_stride, bool use_selection) {
  for_each_rgb24_pixel(
      e, src, src_stride, selection_for(e, use_selection, true),
      [](const uint8_t* s, uint16_t* d, uint32_t w) {
        if (w == 65535) {
          for (int c = 0; c < 3; ++c) d[c] = static_cast<uint16_t>(s[c] << 8);
        } else if (w != 0) {
          for (int c = 0; c < 3; ++c) d[c] = blend_in(s[c], w, d[c]);
        }
      },
      [](const uint8_t* s, uint16_t* d, int32_t count) { widen_rgb24_row(d, s, count); });
}

void load_rgb24_to_alpha(Engine& e, const uint8_t* src, int32_t src_stride, bool use_selection) {
  // A transparent pixel never becomes visible.
  for_each_rgb24_pixel(
      e, src, src_stride, selection_for(e, use_selection, false),
      [](const uint8_t* s, uint16_t* d, uint32_t w) {
        if (d[3] == 0) return;
        if (w == 65535) {
          d[3] = static_cast<uint16_t>(s[0] << 8);
        } else if (w != 0) {
          d[3] = blend_in(s[0], w, d[3]);
        }
      },
      [](const uint8_t* s, uint16_t* d, int32_t count) {
        for (int32_t x = 0; x < count; ++x, s += 3, d += 4)
          if (d[3] != 0) d[3] = static_cast<uint16_t>(s[0] << 8);
      });
}

int32_t set_rgba64_layer(Engine& e, const uint16_t* src, int32_t src_stride, int32_t slot) {
  Layer* layer = layer_with_pixels(e, slot);
  if (!layer || !src) return 0;
  const CanvasPlane plane = canvas_plane(e, *layer);
  for (int32_t y = 0; y < plane.height; ++y)
    std::memcpy(plane.row(y), byte_row(src, src_stride, y), static_cast<size_t>(plane.cols(y)) * 8);
  return e.canvas_height;
}

void set_layer_data(Engine& e, const uint16_t* src, int32_t slot) {
  Layer* layer = layer_with_pixels(e, slot);
  if (!layer || !src) return;
  const size_t n = std::min(e.canvas_pixels(), layer->pixels.size() / 4);
  std::memcpy(layer->data(), src, n * 8);
}

void copy_layer_data(Engine& e, int32_t from, int32_t to) {
  Layer* a = layer_with_pixels(e, from);
  Layer* b = layer_with_pixels(e, to);
  if (!a || !b || a == b) return;
  const size_t n = std::min({e.canvas_pixels(), a->pixels.size() / 4, b->pixels.size() / 4});
  std::memcpy(b->data(), a->data(), n * 8);
}

void set_pixel_rgb24(const Engine& e, uint8_t* buffer, int32_t stride, int32_t x, int32_t y, uint16_t r, uint16_t g,
                     uint16_t b) {
  if (!buffer || x < 0 || y < 0 || x >= e.canvas_width || y >= e.canvas_height) return;
  uint8_t* p = buffer + static_cast<ptrdiff_t>(y) * stride + static_cast<ptrdiff_t>(x) * 3;
  p[0] = static_cast<uint8_t>(r >> 8);
  p[1] = static_cast<uint8_t>(g >> 8);
  p[2] = static_cast<uint8_t>(b >> 8);
}

void clear_current(Engine& e, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
  Layer* layer = current_layer_with_pixels(e);
  if (!layer) return;
  const CanvasPlane plane = canvas_plane(e, *layer);
  const uint16_t c[4] = {static_cast<uint16_t>(r << 8), static_cast<uint16_t>(g << 8), static_cast<uint16_t>(b << 8),
                         static_cast<uint16_t>(a << 8)};
  for (int32_t y = 0; y < plane.height; ++y) {
    uint16_t* d = plane.row(y);
    for (int32_t x = 0, cols = plane.cols(y); x < cols; ++x, d += 4) std::memcpy(d, c, 8);
  }
}

void clear_masked(Engine& e, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
  Layer* layer = current_layer_with_pixels(e);
  if (!layer) return;
  if (!e.mask_active()) {
    clear_current(e, r, g, b, a);
    return;
  }
  const CanvasPlane plane = canvas_plane(e, *layer);
  const uint32_t c[3] = {r, g, b};
  for (int32_t y = 0; y < plane.height; ++y) {
    uint16_t* d = plane.row(y);
    const uint16_t* m = e.mask.get() + static_cast<size_t>(y) * static_cast<size_t>(e.canvas_width);
    for (int32_t x = 0, cols = plane.cols(y); x < cols; ++x, d += 4) {
      const uint32_t mw = m[x];
      if (mw == 65535) {
        for (int k = 0; k < 3; ++k) d[k] = static_cast<uint16_t>(c[k] << 8);
        d[3] = static_cast<uint16_t>(a << 8);
      } else if (mw != 0) {
        for (int k = 0; k < 3; ++k) d[k] = static_cast<uint16_t>((c[k] * mw + (((65535u - mw) * d[k]) >> 8)) >> 8);
        d[3] = 65535;
      }
    }
  }
}

}  // namespace cvl
