// Rectangle copies between the planes the undo history works on: layers, the
// mask, the two under-layer planes and the records' packed rectangles. Every copy
// is one byte-exact rectangle overlay, so undo and redo restore bits, not values.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/engine.h"

namespace cvl {

// A plane of 16-bit words: `words_per_pixel` is 4 for RGBA64 pixels, 1 for mask words.
struct WordPlane {
  uint16_t* data = nullptr;
  int32_t stride_words = 0;
  int32_t words_per_pixel = 0;

  uint16_t* at(int32_t x, int32_t y) const {
    return data + static_cast<ptrdiff_t>(y) * stride_words + static_cast<ptrdiff_t>(x) * words_per_pixel;
  }
  explicit operator bool() const { return data != nullptr; }
};

struct PlaneRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t width = 0;
  int32_t height = 0;
};

WordPlane layer_plane(const Layer& layer);
WordPlane mask_plane(const Engine& e);
WordPlane under_pixels_plane(const Engine& e);
WordPlane under_mask_plane(const Engine& e);
// A packed rectangle of `width` pixels per row, as a record holds it.
WordPlane packed_plane(uint16_t* data, int32_t width, int32_t words_per_pixel);

// Calls f(band, first_row) for bands of rows of the rectangle, top to bottom. When a
// step makes several copies of one rectangle, making them band by band keeps the
// band's rows in the core's cache from one copy to the next.
template <class F>
void for_each_band(const PlaneRect& r, F&& f) {
  constexpr int32_t kBandRows = 16;
  for (int32_t y = 0; y < r.height; y += kBandRows) {
    const int32_t rows = r.height - y < kBandRows ? r.height - y : kBandRows;
    f(PlaneRect{r.left, r.top + y, r.width, rows}, y);
  }
}

// Copies the rectangle from (sx, sy) of src to (dx, dy) of dst.
void copy_plane_rect(const WordPlane& dst, int32_t dx, int32_t dy, const WordPlane& src, int32_t sx, int32_t sy,
                     int32_t width, int32_t height);

// The same rectangle of two canvas-aligned planes.
void copy_same_rect(const WordPlane& dst, const WordPlane& src, const PlaneRect& r);

}  // namespace cvl
