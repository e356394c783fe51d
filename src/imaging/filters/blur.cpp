#include "imaging/filters/blur.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cstddef>
#include <vector>

namespace cvl::imaging {
namespace {

// One box pass over `count` values `step` apart, edges clamped, through a scratch copy.
template <class T>
void box_line(T* line, int32_t count, ptrdiff_t step, int32_t radius, std::vector<T>& scratch) {
  scratch.resize(size_t(count));
  for (int32_t i = 0; i < count; ++i) scratch[size_t(i)] = line[i * step];
  const auto at = [&](int32_t i) -> uint64_t { return scratch[size_t(std::clamp(i, 0, count - 1))]; };
  const uint64_t window = 2 * uint64_t(radius) + 1;
  uint64_t sum = 0;
  for (int32_t i = -radius; i <= radius; ++i) sum += at(i);
  for (int32_t i = 0; i < count; ++i) {
    line[i * step] = static_cast<T>((sum + window / 2) / window);
    sum += at(i + radius + 1);
    sum -= at(i - radius);
  }
}

template <class T>
void blur_plane(T* plane, int32_t width, int32_t height, int32_t stride, int32_t radius, int32_t passes) {
  if (!plane || width <= 0 || height <= 0 || radius <= 0 || passes <= 0) return;
  std::vector<T> scratch;
  for (int32_t p = 0; p < passes; ++p) {
    for (int32_t y = 0; y < height; ++y) box_line(plane + ptrdiff_t(y) * stride, width, 1, radius, scratch);
    for (int32_t x = 0; x < width; ++x) box_line(plane + x, height, stride, radius, scratch);
  }
}

}  // namespace

void blur_plane8(uint8_t* plane, int32_t width, int32_t height, int32_t stride, int32_t radius, int32_t passes) {
  blur_plane(plane, width, height, stride, radius, passes);
}
void blur_plane16(uint16_t* plane, int32_t width, int32_t height, int32_t stride, int32_t radius, int32_t passes) {
  blur_plane(plane, width, height, stride, radius, passes);
}

int32_t box_radius_for_sigma(double sigma) {
  if (!(sigma > 0.0)) return 0;
  const double r = (std::sqrt(1.0 + 4.0 * sigma * sigma) - 1.0) / 2.0;
  return r >= 1e6 ? 1000000 : static_cast<int32_t>(std::lround(r));
}

void gaussian_blur_plane8(const uint8_t* src, int32_t src_stride, uint8_t* dst, int32_t dst_stride, int32_t width,
                          int32_t height, double sigma) {
  if (!src || !dst || width <= 0 || height <= 0) return;
  for (int32_t y = 0; y < height; ++y) {
    std::memcpy(dst + ptrdiff_t(y) * dst_stride, src + ptrdiff_t(y) * src_stride, size_t(width));
  }
  // A radius past the plane's size blurs no further than the plane's extent does.
  const int32_t radius = std::min(box_radius_for_sigma(sigma), std::max(width, height));
  blur_plane8(dst, width, height, dst_stride, radius, 3);
}

}  // namespace cvl::imaging
