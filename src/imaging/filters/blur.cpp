#include "imaging/filters/blur.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cstddef>
#include <vector>

#include "imaging/filters/exact_divide.h"
#include "imaging/filters/window_filters_reference.h"
#include "imaging/parallel_bands.h"

namespace cvl::imaging {
namespace {

// The box passes run a row at a time: along a row through a padded copy of it
// (the clamped edge values laid out beyond both ends, so the running sum needs
// no tests), and down the columns with one running sum per column, updated by
// the row entering the window and the row leaving it, so every step reads and
// writes whole rows. Each pass's rows are independent, so both run in bands.
template <class T>
void box_rows(const T* from, ptrdiff_t from_stride, T* to, ptrdiff_t to_stride, int32_t width, int32_t first,
              int32_t end, int32_t radius, const ExactDivider& divide) {
  const uint32_t window = 2 * uint32_t(radius) + 1, half = window / 2;
  std::vector<T> padded(size_t(width) + window);
  for (int32_t y = first; y < end; ++y) {
    const T* line = from + ptrdiff_t(y) * from_stride;
    std::fill_n(padded.begin(), radius, line[0]);
    std::copy_n(line, width, padded.begin() + radius);
    std::fill_n(padded.begin() + radius + width, radius + 1, line[width - 1]);
    const T* p = padded.data();
    uint32_t sum = 0;
    for (uint32_t i = 0; i < window; ++i) sum += p[i];
    T* out = to + ptrdiff_t(y) * to_stride;
    for (int32_t x = 0; x < width; ++x) {
      out[x] = static_cast<T>(divide(sum + half));
      sum += uint32_t(p[x + window]) - p[x];
    }
  }
}

template <class T>
void box_columns(const T* from, ptrdiff_t from_stride, T* to, ptrdiff_t to_stride, int32_t width, int32_t height,
                 int32_t first, int32_t end, int32_t radius, const ExactDivider& divide) {
  const uint32_t half = uint32_t(radius);
  const auto row = [&](int32_t y) { return from + ptrdiff_t(std::clamp(y, 0, height - 1)) * from_stride; };
  std::vector<uint32_t> sums(size_t(width), 0);
  uint32_t* s = sums.data();
  for (int32_t j = first - radius; j <= first + radius; ++j) {
    const T* r = row(j);
    for (int32_t x = 0; x < width; ++x) s[x] += r[x];
  }
  for (int32_t y = first; y < end; ++y) {
    T* out = to + ptrdiff_t(y) * to_stride;
    const T* in = row(y + radius + 1);
    const T* gone = row(y - radius);
    for (int32_t x = 0; x < width; ++x) {
      out[x] = static_cast<T>(divide(s[x] + half));
      s[x] += uint32_t(in[x]) - gone[x];
    }
  }
}

template <class T>
void blur_plane(T* plane, int32_t width, int32_t height, int32_t stride, int32_t radius, int32_t passes) {
  if (!plane || width <= 0 || height <= 0 || radius <= 0 || passes <= 0) return;
  // Sums of a window this wide could pass 2^31; such radii blur no further than
  // the plane's own extent, and the plain filter takes them.
  const uint64_t window = 2 * uint64_t(radius) + 1;
  if (window * 0xFFFFu + radius >= ExactDivider::kLimit) {
    if constexpr (sizeof(T) == 1) blur_plane8_reference(plane, width, height, stride, radius, passes);
    else blur_plane16_reference(plane, width, height, stride, radius, passes);
    return;
  }
  const ExactDivider divide(static_cast<uint32_t>(window));
  std::vector<T> across(size_t(width) * size_t(height));
  const int64_t work = int64_t(width) * 2;
  for (int32_t p = 0; p < passes; ++p) {
    for_each_band(height, work, [&](int first, int end) {
      box_rows<T>(plane, stride, across.data(), width, width, first, end, radius, divide);
    });
    for_each_band(height, work, [&](int first, int end) {
      box_columns<T>(across.data(), width, plane, stride, width, height, first, end, radius, divide);
    });
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
