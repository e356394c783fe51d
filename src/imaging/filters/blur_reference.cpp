// The plain box passes: one line at a time through a scratch copy, each value
// clamped to the edges as it is read. Kept as the reference blur.cpp's passes
// are checked against, word for word.
#include <algorithm>
#include <cstddef>
#include <vector>

#include "imaging/filters/blur.h"

namespace cvl::imaging {
namespace {

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

void blur_plane8_reference(uint8_t* plane, int32_t width, int32_t height, int32_t stride, int32_t radius,
                           int32_t passes) {
  blur_plane(plane, width, height, stride, radius, passes);
}
void blur_plane16_reference(uint16_t* plane, int32_t width, int32_t height, int32_t stride, int32_t radius,
                            int32_t passes) {
  blur_plane(plane, width, height, stride, radius, passes);
}

}  // namespace cvl::imaging
