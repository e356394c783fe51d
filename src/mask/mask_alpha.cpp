#include "mask/mask_alpha.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>

#include "core/canvas_geometry.h"
#include "core/selection_weight.h"
#include "mask/mask_state.h"

namespace cvl {

void apply_mask_to_alpha_rect(const Engine& e, uint8_t* rgba, int32_t pitch, int32_t x0, int32_t y0, int32_t x1,
                              int32_t y1) {
  if (!e.mask || !rgba) return;
  // The mask is read at canvas positions only; the caller's buffer keeps its
  // own layout for the columns and rows that are skipped.
  const int32_t left = std::max(x0, 0), right = std::min(x1, e.canvas_width - 1);
  const int32_t top = std::max(y0, 0), bottom = std::min(y1, e.canvas_height - 1);
  for (int32_t y = top; y <= bottom; ++y) {
    const uint16_t* m = e.mask.get() + static_cast<size_t>(y) * static_cast<size_t>(e.canvas_width);
    uint8_t* alpha = byte_row(rgba, pitch, y - y0) + static_cast<ptrdiff_t>(left - x0) * 4 + 3;
    for (int32_t x = left; x <= right; ++x, alpha += 4)
      *alpha = static_cast<uint8_t>(mask_weight_high_byte(*alpha, m[x]));
  }
}

void apply_mask_to_alpha(const Engine& e, uint8_t* rgba) {
  apply_mask_to_alpha_rect(e, rgba, e.canvas_width * 4, 0, 0, e.canvas_width - 1, e.canvas_height - 1);
}

void replace_from_rgba_alpha_range(const Engine& e, uint8_t* rgba, int32_t alpha, int32_t tol_percent, int32_t r,
                                   int32_t g, int32_t b, int32_t a) {
  if (!rgba) return;
  const int32_t t = byte_tolerance(tol_percent);
  const uint8_t colour[4] = {static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b),
                             static_cast<uint8_t>(a)};
  const size_t n = e.canvas_pixels();
  for (size_t i = 0; i < n; ++i, rgba += 4) {
    if (std::abs(rgba[3] - alpha) <= t) std::copy(colour, colour + 4, rgba);
  }
}

}  // namespace cvl
