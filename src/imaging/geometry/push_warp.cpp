#include "imaging/geometry/push_warp.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "imaging/overlay.h"

namespace cvl::imaging {
namespace {

// Premultiplied bilinear tap, clamped to the image edge.
void sample_clamped(const ImageView& src, double sx, double sy, uint8_t* out) {
  sx = std::clamp(sx, 0.0, double(src.width - 1));
  sy = std::clamp(sy, 0.0, double(src.height - 1));
  const int32_t x0 = static_cast<int32_t>(sx), y0 = static_cast<int32_t>(sy);
  const int32_t x1 = std::min(x0 + 1, src.width - 1), y1 = std::min(y0 + 1, src.height - 1);
  const double ax = sx - x0, ay = sy - y0;
  const uint8_t* p00 = src.row(y0) + x0 * 4;
  const uint8_t* p01 = src.row(y0) + x1 * 4;
  const uint8_t* p10 = src.row(y1) + x0 * 4;
  const uint8_t* p11 = src.row(y1) + x1 * 4;
  for (int c = 0; c < 4; ++c) {
    const double top = p00[c] + (p01[c] - p00[c]) * ax;
    const double bottom = p10[c] + (p11[c] - p10[c]) * ax;
    out[c] = static_cast<uint8_t>(top + (bottom - top) * ay + 0.5);
  }
}

}  // namespace

bool push_image(const ImageView& src, const ImageView& dst, int32_t from_x, int32_t from_y, int32_t to_x,
                int32_t to_y) {
  if (!src.data || !dst.data || src.channels != 4 || dst.channels != 4 || src.width != dst.width ||
      src.height != dst.height || src.width <= 0 || src.height <= 0)
    return false;
  copy_rect(dst.data, dst.stride, src.data, src.stride, src.width, src.height, 4);
  const double mx = double(to_x) - from_x, my = double(to_y) - from_y;
  const double length = std::sqrt(mx * mx + my * my);
  if (length == 0) return true;
  const double radius = std::max(2 * length, 8.0);
  const int32_t left = std::max(0, static_cast<int32_t>(std::floor(to_x - radius)));
  const int32_t right = std::min(src.width - 1, static_cast<int32_t>(std::ceil(to_x + radius)));
  const int32_t top = std::max(0, static_cast<int32_t>(std::floor(to_y - radius)));
  const int32_t bottom = std::min(src.height - 1, static_cast<int32_t>(std::ceil(to_y + radius)));
  const double inv_r2 = 1.0 / (radius * radius);
  for (int32_t y = top; y <= bottom; ++y) {
    uint8_t* out = dst.row(y);
    for (int32_t x = left; x <= right; ++x) {
      const double dx = x - to_x, dy = y - to_y;
      const double r2 = (dx * dx + dy * dy) * inv_r2;
      if (r2 >= 1) continue;
      // (1 - r^2)^2: full displacement at the target, flat at the rim, so the
      // warped patch meets the untouched image without a seam.
      const double w = (1 - r2) * (1 - r2);
      sample_clamped(src, x - mx * w, y - my * w, out + static_cast<ptrdiff_t>(x) * 4);
    }
  }
  return true;
}

}  // namespace cvl::imaging
