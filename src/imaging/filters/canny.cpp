#include "imaging/filters/canny.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "imaging/filters/gaussian_blur.h"
#include "imaging/filters/sobel.h"

namespace cvl::imaging {
namespace {

enum : uint8_t { kNone = 0, kWeak = 1, kStrong = 2 };

}  // namespace

bool canny_edges(const uint8_t* grey, int32_t grey_stride, int32_t width, int32_t height,
                 const CannySettings& settings, uint8_t* out, int32_t out_stride) {
  if (!grey || !out || width <= 0 || height <= 0 || grey_stride < width || out_stride < width) return false;
  if (!std::isfinite(settings.sigma) || !std::isfinite(settings.low) || !std::isfinite(settings.high)) return false;
  const size_t n = static_cast<size_t>(width) * height;
  std::vector<uint8_t> smooth(n);
  for (int32_t y = 0; y < height; ++y)
    std::memcpy(&smooth[static_cast<size_t>(y) * width], grey + static_cast<ptrdiff_t>(y) * grey_stride, width);
  const ImageView plane{smooth.data(), width, height, 1, width};
  gaussian_blur(plane, plane, float(settings.sigma), 1);

  // Gradient magnitudes and the direction class of each pixel: 0 across
  // columns, 1 along the falling diagonal, 2 across rows, 3 along the rising one.
  std::vector<float> magnitude(n);
  std::vector<uint8_t> direction(n);
  const float kTan22 = 0.41421356f, kTan67 = 2.41421356f;
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      int32_t gx, gy;
      sobel_at(smooth.data(), width, width, height, x, y, gx, gy);
      const size_t i = static_cast<size_t>(y) * width + x;
      magnitude[i] = std::sqrt(float(gx * gx + gy * gy));
      const float ax = float(std::abs(gx)), ay = float(std::abs(gy));
      direction[i] = ay <= kTan22 * ax ? 0 : ay >= kTan67 * ax ? 2 : ((gx > 0) == (gy > 0) ? 1 : 3);
    }

  // Keep ridge pixels: larger than the neighbour behind along the gradient and
  // not smaller than the one ahead, so a two-pixel plateau keeps one pixel.
  const float low = float(std::min(settings.low, settings.high) * 4), high = float(std::max(settings.low, settings.high) * 4);
  static constexpr int32_t kStep[4][2] = {{1, 0}, {1, 1}, {0, 1}, {1, -1}};
  std::vector<uint8_t> klass(n, kNone);
  std::vector<int32_t> stack;
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      const size_t i = static_cast<size_t>(y) * width + x;
      const float m = magnitude[i];
      if (m <= 0 || m < low) continue;
      const int32_t dx = kStep[direction[i]][0], dy = kStep[direction[i]][1];
      auto at = [&](int32_t px, int32_t py) {
        px = std::clamp(px, 0, width - 1);
        py = std::clamp(py, 0, height - 1);
        return magnitude[static_cast<size_t>(py) * width + px];
      };
      if (!(m > at(x - dx, y - dy) && m >= at(x + dx, y + dy))) continue;
      // A diagonal step leaves a plateau two pixels wide whose halves touch
      // along a row or column, not along the diagonal; the half whose row or
      // column neighbour behind is as strong gives way.
      if (dx && dy && !(m > at(x - dx, y) && m > at(x, y - dy))) continue;
      klass[i] = m >= high ? kStrong : kWeak;
      if (klass[i] == kStrong) stack.push_back(static_cast<int32_t>(i));
    }

  // Hysteresis: weak ridge pixels touching a strong one (8-connected) become strong.
  while (!stack.empty()) {
    const int32_t i = stack.back();
    stack.pop_back();
    const int32_t x = i % width, y = i / width;
    for (int32_t ny = std::max(y - 1, 0); ny <= std::min(y + 1, height - 1); ++ny)
      for (int32_t nx = std::max(x - 1, 0); nx <= std::min(x + 1, width - 1); ++nx) {
        const size_t j = static_cast<size_t>(ny) * width + nx;
        if (klass[j] != kWeak) continue;
        klass[j] = kStrong;
        stack.push_back(static_cast<int32_t>(j));
      }
  }
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* o = out + static_cast<ptrdiff_t>(y) * out_stride;
    const uint8_t* k = &klass[static_cast<size_t>(y) * width];
    for (int32_t x = 0; x < width; ++x) o[x] = k[x] == kStrong ? 255 : 0;
  }
  return true;
}

}  // namespace cvl::imaging
