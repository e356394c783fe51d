// Edge-preserving smoothing: each pixel averaged with the neighbours of its own
// brightness.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/image_view.h"

namespace cvl::imaging {

// dst = src smoothed over the (2 radius + 1)^2 window, each neighbour weighted
// by exp(-d^2 / (2 range_sigma^2)) for the difference d of its brightness from
// the pixel's own (0..255 levels; brightness = (77 R + 150 G + 29 B) / 256), so
// edges steeper than a few range_sigma stay sharp. 3- or 4-channel views of the
// same shape (the fourth channel is copied), not overlapping. The weights are
// taken at up to 16 brightness levels, each a box-window sum, and interpolated
// between the two levels about each pixel's brightness: the cost per pixel does
// not grow with the radius. Radius 0 copies.
bool bilateral_filter(const ImageView& src, const ImageView& dst, int32_t radius, double range_sigma);

// What bilateral_filter shares with its plain twin in window_filters_reference.cpp.
namespace bilateral_detail {

// The most brightness levels the weights are taken at.
inline constexpr int32_t kMaxLevels = 16;
// Weights in 1/256ths: a window of kMaxBoxRadius would overflow the sums, so the
// bilateral radius is held lower.
inline constexpr int32_t kMaxRadius = 60;

inline std::vector<uint8_t> brightness(const ImageView& v) {
  std::vector<uint8_t> g(size_t(v.width) * v.height);
  for (int32_t y = 0; y < v.height; ++y) {
    const uint8_t* p = v.row(y);
    uint8_t* o = g.data() + size_t(y) * v.width;
    for (int32_t x = 0; x < v.width; ++x, p += v.channels) o[x] = uint8_t((77 * p[0] + 150 * p[1] + 29 * p[2]) >> 8);
  }
  return g;
}

}  // namespace bilateral_detail

}  // namespace cvl::imaging
