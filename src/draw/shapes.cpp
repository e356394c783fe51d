#include "draw/shapes.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace cvl::imaging {
namespace {

bool drawable(const ImageView& image) {
  return image.data && image.width > 0 && image.height > 0 && supported_channels(image.channels);
}

uint32_t opacity_weight(double opacity) {
  if (!(opacity > 0.0)) return 0;  // also NaN
  if (opacity >= 1.0) return 255;
  return static_cast<uint32_t>(opacity * 255.0 + 0.5);
}

// Columns x0..x1 (inclusive) of row y, clipped to the image.
void span(const ImageView& image, int32_t y, int64_t x0, int64_t x1, const Colour& colour, uint32_t weight) {
  if (y < 0 || y >= image.height) return;
  const int64_t left = std::max<int64_t>(x0, 0), right = std::min<int64_t>(x1, image.width - 1);
  if (left > right) return;
  blend_span(image.row(y) + left * image.channels, static_cast<int32_t>(right - left + 1), image.channels, colour,
             weight);
}

// The largest dx >= 0 with dx^2 * b <= limit (b > 0, limit >= 0): a square
// root in doubles, then nudged so rounding cannot let a pixel in or out.
int64_t widest(int64_t limit, int64_t b) {
  int64_t dx = static_cast<int64_t>(std::sqrt(static_cast<double>(limit) / static_cast<double>(b)));
  while (dx > 0 && dx * dx * b > limit) --dx;
  while ((dx + 1) * (dx + 1) * b <= limit) ++dx;
  return dx;
}

}  // namespace

bool fill_rect(const ImageView& image, const Rect& rect, const Colour& colour, double opacity) {
  if (!drawable(image)) return false;
  const uint32_t weight = opacity_weight(opacity);
  const int32_t top = std::max(rect.top, 0), bottom = std::min(rect.bottom, image.height - 1);
  for (int32_t y = top; y <= bottom; ++y) span(image, y, rect.left, rect.right, colour, weight);
  return true;
}

bool fill_ellipse(const ImageView& image, int32_t cx, int32_t cy, int32_t rx, int32_t ry, const Colour& colour,
                  double opacity) {
  if (!drawable(image) || rx < 0 || ry < 0) return false;
  const uint32_t weight = opacity_weight(opacity);
  if (ry == 0) {
    span(image, cy, int64_t{cx} - rx, int64_t{cx} + rx, colour, weight);
    return true;
  }
  // Row dy holds the dx with dx^2 * ry^2 + dy^2 * rx^2 <= rx^2 * ry^2, i.e.
  // dx^2 * ry^2 <= rx^2 * (ry^2 - dy^2), exact in 64 bits for radii up to
  // kExactRadius (far beyond any canvas); larger ellipses are only ever seen
  // through a window and are close enough in doubles.
  constexpr int32_t kExactRadius = 32767;
  const bool exact = rx <= kExactRadius && ry <= kExactRadius;
  const int64_t rx2 = int64_t{rx} * rx, ry2 = int64_t{ry} * ry;
  const int64_t dy_first = std::max<int64_t>(-int64_t{ry}, -int64_t{cy});
  const int64_t dy_last = std::min<int64_t>(ry, int64_t{image.height} - 1 - cy);
  for (int64_t dy = dy_first; dy <= dy_last; ++dy) {
    int64_t hw;
    if (exact) {
      hw = widest(rx2 * (ry2 - dy * dy), ry2);
    } else {
      const double f = static_cast<double>(dy) / ry;
      hw = static_cast<int64_t>(std::min(rx * std::sqrt(std::max(0.0, 1.0 - f * f)), 1e12));
    }
    span(image, static_cast<int32_t>(cy + dy), int64_t{cx} - hw, int64_t{cx} + hw, colour, weight);
  }
  return true;
}

}  // namespace cvl::imaging
