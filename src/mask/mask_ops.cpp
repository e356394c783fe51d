#include "mask/mask_ops.h"

#include <algorithm>
#include <cstddef>

#include "core/canvas_geometry.h"
#include "core/engine.h"

namespace cvl {

namespace {

uint16_t* mask_row(const Engine& e, int32_t y) {
  return e.mask.get() + static_cast<size_t>(y) * static_cast<size_t>(e.canvas_width);
}

}  // namespace

void clear_mask(Engine& e, int32_t r, int32_t g, int32_t b) {
  if (!e.mask) return;
  // 64-bit sum so that wild arguments cannot overflow; in range it is the
  // plain signed mean.
  const int64_t a = (int64_t{r} + g + b) / 3;
  uint16_t m = 65535;
  if (a > 65280) {
    m = 0;
  } else if (a > 255) {
    m = static_cast<uint16_t>(65280 - a);
  }
  std::fill_n(e.mask.get(), e.canvas_pixels(), m);
}

void invert_mask(Engine& e) {
  if (!e.mask) return;
  uint16_t* m = e.mask.get();
  const size_t n = e.canvas_pixels();
  for (size_t i = 0; i < n; ++i) m[i] = static_cast<uint16_t>(65535 - m[i]);
}

int32_t mask_data_bytes(const Engine& e) {
  return e.mask ? static_cast<int32_t>(e.canvas_pixels() * 2) : 0;
}

void save_mask(const Engine& e, uint8_t* rgb, int32_t pitch) {
  if (!e.mask || !rgb) return;
  for (int32_t y = 0; y < e.canvas_height; ++y) {
    const uint16_t* m = mask_row(e, y);
    uint8_t* d = byte_row(rgb, pitch, y);
    for (int32_t x = 0; x < e.canvas_width; ++x, d += 3) {
      const uint8_t v = static_cast<uint8_t>(255 - (m[x] >> 8));
      d[0] = d[1] = d[2] = v;
    }
  }
}

void load_mask(Engine& e, const uint8_t* rgb, int32_t pitch, int32_t width, int32_t height) {
  if (!e.mask || !rgb) return;
  // A size past the canvas would write past the mask; the canvas bounds it.
  const int32_t cols = std::min(width, e.canvas_width), rows = std::min(height, e.canvas_height);
  for (int32_t y = 0; y < rows; ++y) {
    const uint8_t* s = byte_row(rgb, pitch, y);
    uint16_t* m = mask_row(e, y);
    for (int32_t x = 0; x < cols; ++x, s += 3) {
      const int32_t v = ((s[0] + s[1] + s[2]) / 3) * 256;
      m[x] = v < 255 ? uint16_t{65535} : static_cast<uint16_t>(65280 - v);
    }
  }
}

}  // namespace cvl
