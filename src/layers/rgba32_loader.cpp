#include "layers/rgba32_loader.h"

#include <algorithm>

#include "core/canvas_geometry.h"
#include "core/pixel_convert.h"
#include "core/selection_weight.h"
#include "imaging/parallel_bands.h"
#include "layers/filter_prep.h"
#include "layers/layer_stack.h"
#include "layers/merge.h"
#include "layers/pixel_access.h"
#include "layers/rect_clip.h"

namespace cvl {

namespace {

inline uint16_t widen(uint8_t v) { return static_cast<uint16_t>(v << 8); }

// A source pixel let through with weight w (0..65535).
inline void write_weighted(uint16_t* d, const uint8_t* s, uint32_t w, bool locked) {
  if (w == 0) return;
  const uint32_t e = 65535 - w;
  if (w == 65535) {
    d[0] = widen(s[0]);
    d[1] = widen(s[1]);
    d[2] = widen(s[2]);
    if (!locked) d[3] = widen(s[3]);
  } else if (d[3] == 0) {
    d[0] = widen(s[0]);
    d[1] = widen(s[1]);
    d[2] = widen(s[2]);
    if (!locked) d[3] = static_cast<uint16_t>((s[3] * 256u * w) >> 16);
  } else if (s[3] == 0) {
    if (!locked) d[3] = static_cast<uint16_t>((d[3] * e) >> 16);
  } else {
    for (int c = 0; c < 3; ++c) d[c] = static_cast<uint16_t>((s[c] * w + ((d[c] * e) >> 8)) >> 8);
    if (!locked) d[3] = static_cast<uint16_t>((s[3] * w + ((d[3] * e) >> 8)) >> 8);
  }
}

}  // namespace

int32_t load_rgba32_layer(Engine& e, const uint8_t* src, int32_t src_stride, int32_t slot, int32_t x, int32_t y,
                          int32_t width, int32_t height, bool use_selection) {
  Layer* layer = layer_with_pixels(e, slot);
  if (!layer || !src) return 0;
  const uint8_t* texture = use_selection ? e.texture_map.get() : nullptr;
  const uint16_t* mask = use_selection && e.mask_active() ? e.mask.get() : nullptr;
  const bool weighted = texture || mask;
  // The layer is addressed as a canvas-sized image like every pixel export, so
  // the rectangle is held to the canvas as well as to the layer's size and
  // pixels.
  const CanvasPlane plane = canvas_plane(e, *layer);
  const int32_t right = end_within(x, width, std::min(layer->width, plane.width));
  const int32_t bottom = end_within(y, height, std::min(layer->height, plane.height));
  const int32_t left = std::max(x, 0), top = std::max(y, 0);
  if (right <= left || bottom <= top) return 0;
  const bool locked = layer->lockAlpha != 0;
  imaging::for_each_band(bottom - top, right - left, [&](int32_t first, int32_t stop) {
    for (int32_t row = top + first; row < top + stop; ++row) {
      const uint8_t* s = src + static_cast<ptrdiff_t>(row - y) * src_stride + static_cast<ptrdiff_t>(left - x) * 4;
      const int32_t end = std::min(right, plane.cols(row));
      if (end <= left) break;  // past the pixels of a smaller layer: so is every later row
      uint16_t* d = plane.at(left, row);
      if (!weighted) {
        widen_rgba32_row(d, s, end - left, locked ? Widen::KeepAlpha : Widen::ClearTransparent);
        continue;
      }
      const size_t at = static_cast<size_t>(row) * static_cast<size_t>(e.canvas_width);
      if (!texture) {
        // The mask alone: fully selected runs are plain rows at full weight.
        const uint16_t* m = mask + at;
        for (int32_t col = left; col < end;) {
          const int32_t whole = mask_run(m + col, end - col, kWholeHighByte, true);
          widen_rgba32_row(d, s, whole, locked ? Widen::KeepAlpha : Widen::AllWords);
          col += whole, s += whole * 4, d += whole * 4;
          const int32_t part = mask_run(m + col, end - col, kWholeHighByte, false);
          for (const int32_t stop = col + part; col < stop; ++col, s += 4, d += 4)
            write_weighted(d, s, mask_weight_high_byte(65535, m[col]), locked);
        }
        continue;
      }
      for (int32_t col = left; col < end; ++col, s += 4, d += 4) {
        uint32_t w = texture_weight_rounded(texture[at + static_cast<size_t>(col)]);
        if (mask) w = mask_weight_high_byte(w, mask[at + static_cast<size_t>(col)]);
        write_weighted(d, s, w, locked);
      }
    }
  });
  return end_within(y, height, layer->height);
}

void load_rgba32_whole_layer(Engine& e, const uint8_t* src, int32_t src_stride, int32_t slot) {
  Layer* layer = layer_with_pixels(e, slot);
  if (!layer || !src) return;
  const bool locked = layer->lockAlpha != 0;
  for (int32_t row = 0; row < layer->height; ++row) {
    const uint8_t* s = src + static_cast<ptrdiff_t>(row) * src_stride;
    widen_rgba32_row(layer_row(*layer, row), s, layer->width, locked ? Widen::KeepAlpha : Widen::ClearTransparent);
  }
}

int32_t load_rgba32(Engine& e, const uint8_t* src, int32_t src_stride, bool use_selection) {
  const Layer* layer = current_layer_with_pixels(e);
  if (!layer) return 0;
  const int32_t slot = static_cast<int32_t>(layer - e.layer_slots.data());
  return load_rgba32_layer(e, src, src_stride, slot, 0, 0, layer->width, layer->height, use_selection);
}

void load_rgba32_layer_bad(Engine& e, uint8_t* image, int32_t slot, int32_t width, int32_t height, bool use_selection) {
  Layer* layer = layer_with_pixels(e, slot);
  if (!layer || !image) return;
  if (use_selection) adjust_rgba32_by_mask_and_texture(e, image, width, height);
  clear_masked(e, 0, 0, 0, 0);
  merge_rgba32_into_layer(e, image, *layer, 0, 0, 255, layer->lockAlpha != 0);
}

int32_t clear_masked_alpha(Engine& e, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
  if (!e.mask_active()) {
    clear_current(e, r, g, b, a);
    return 1;
  }
  Buffer<uint8_t> scratch = Buffer<uint8_t>::try_allocate(e.canvas_pixels() * 4);
  if (!scratch) return 0;
  uint8_t* p = scratch.get();
  for (size_t i = 0; i < e.canvas_pixels(); ++i, p += 4) {
    p[0] = r;
    p[1] = g;
    p[2] = b;
    p[3] = a;
  }
  load_rgba32(e, scratch.get(), e.canvas_width * 4, true);
  return 1;
}

}  // namespace cvl
