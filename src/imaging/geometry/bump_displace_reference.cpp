#include "imaging/geometry/bump_displace.h"

#include <algorithm>
#include <cmath>

namespace cvl::imaging {
namespace {

struct Bump {
  const uint8_t* data;
  int32_t width, height;
  int32_t at(int32_t x, int32_t y) const {
    x = std::clamp(x, 0, width - 1);
    y = std::clamp(y, 0, height - 1);
    return data[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
  }
};

// One tap of the bilinear sample: the source pixel, or the fill colour off the image.
inline const uint8_t* tap(const ImageView& src, int64_t x, int64_t y, const uint8_t* fill) {
  if (x < 0 || y < 0 || x >= src.width || y >= src.height) return fill;
  return src.row(static_cast<int32_t>(y)) + x * 4;
}

}  // namespace

bool bump_displace_reference(const ImageView& src, const ImageView& dst, const uint8_t* bump, int32_t bump_width,
                             int32_t bump_height, float depth, const Colour& fill) {
  if (!src.data || !dst.data || !bump || src.channels != 4 || dst.channels != 4 || src.width != dst.width ||
      src.height != dst.height || src.width <= 0 || src.height <= 0 || bump_width <= 0 || bump_height <= 0 ||
      !std::isfinite(depth))
    return false;
  const Bump map{bump, bump_width, bump_height};
  const float scale = depth / 255.0f;
  for (int32_t y = 0; y < dst.height; ++y) {
    uint8_t* out = dst.row(y);
    for (int32_t x = 0; x < dst.width; ++x, out += 4) {
      const float sx = static_cast<float>(x) + scale * static_cast<float>(map.at(x + 1, y) - map.at(x - 1, y));
      const float sy = static_cast<float>(y) + scale * static_cast<float>(map.at(x, y + 1) - map.at(x, y - 1));
      const float fx = std::floor(sx), fy = std::floor(sy);
      const auto x0 = static_cast<int64_t>(fx), y0 = static_cast<int64_t>(fy);
      const float wx = sx - fx, wy = sy - fy;
      const uint8_t* p00 = tap(src, x0, y0, fill.data());
      const uint8_t* p10 = tap(src, x0 + 1, y0, fill.data());
      const uint8_t* p01 = tap(src, x0, y0 + 1, fill.data());
      const uint8_t* p11 = tap(src, x0 + 1, y0 + 1, fill.data());
      for (int c = 0; c < 4; ++c) {
        const float top = p00[c] + (p10[c] - p00[c]) * wx;
        const float bottom = p01[c] + (p11[c] - p01[c]) * wx;
        out[c] = static_cast<uint8_t>(std::clamp(top + (bottom - top) * wy + 0.5f, 0.0f, 255.0f));
      }
    }
  }
  return true;
}

}  // namespace cvl::imaging
