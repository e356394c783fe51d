// Sobel gradients of an 8-bit plane, shared by the relief and edge filters.
#pragma once

#include <cstddef>
#include <cstdint>

namespace cvl::imaging {

// The gradients at (x, y), edges repeating the border: gx grows to the right,
// gy downward, each in -1020..1020 (a step of v between neighbours gives 4v).
inline void sobel_at(const uint8_t* plane, int32_t stride, int32_t width, int32_t height, int32_t x, int32_t y,
                     int32_t& gx, int32_t& gy) {
  const int32_t xl = x > 0 ? x - 1 : 0, xr = x + 1 < width ? x + 1 : x;
  const uint8_t* up = plane + static_cast<ptrdiff_t>(y > 0 ? y - 1 : 0) * stride;
  const uint8_t* mid = plane + static_cast<ptrdiff_t>(y) * stride;
  const uint8_t* down = plane + static_cast<ptrdiff_t>(y + 1 < height ? y + 1 : y) * stride;
  gx = (up[xr] + 2 * mid[xr] + down[xr]) - (up[xl] + 2 * mid[xl] + down[xl]);
  gy = (down[xl] + 2 * down[x] + down[xr]) - (up[xl] + 2 * up[x] + up[xr]);
}

}  // namespace cvl::imaging
