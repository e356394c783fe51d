#include "draw/smooth_ellipse.h"

#include <algorithm>
#include <cmath>

namespace cvl::imaging {
namespace {

// Coverage (0..255) of the pixel centred at (dx, dy) from the centre, from its
// signed distance to the edge, approximated by the implicit function over its
// gradient.
uint32_t coverage(double dx, double dy, double inv_rx2, double inv_ry2) {
  const double f = dx * dx * inv_rx2 + dy * dy * inv_ry2;
  const double gx = dx * inv_rx2, gy = dy * inv_ry2;
  const double gradient = 2.0 * std::sqrt(gx * gx + gy * gy);
  if (gradient == 0.0) return 255;
  const double cover = 0.5 - (f - 1.0) / gradient;
  if (cover <= 0.0) return 0;
  if (cover >= 1.0) return 255;
  return static_cast<uint32_t>(std::lround(cover * 255.0));
}

}  // namespace

bool fill_smooth_ellipse(const ImageView& image, int64_t cx, int64_t cy, int64_t rx, int64_t ry,
                         const Colour& colour) {
  if (!image.data || image.width <= 0 || image.height <= 0 || !supported_channels(image.channels)) return false;
  if (rx < 1 || ry < 1) return false;
  const double inv_rx2 = 1.0 / (static_cast<double>(rx) * static_cast<double>(rx));
  const double inv_ry2 = 1.0 / (static_cast<double>(ry) * static_cast<double>(ry));
  const int64_t top = std::max<int64_t>(cy - ry - 1, 0), bottom = std::min<int64_t>(cy + ry + 1, image.height - 1);
  const int64_t left = std::max<int64_t>(cx - rx - 1, 0), right = std::min<int64_t>(cx + rx + 1, image.width - 1);
  const int32_t ch = image.channels;
  for (int64_t y = top; y <= bottom; ++y) {
    uint8_t* row = image.row(static_cast<int32_t>(y));
    const double dy = static_cast<double>(y - cy);
    for (int64_t x = left; x <= right; ++x) {
      const uint32_t weight = coverage(static_cast<double>(x - cx), dy, inv_rx2, inv_ry2);
      // Coverage depends on dx squared only: a full pixel left of the centre
      // means the whole run up to its mirror image is full.
      if (weight == 255 && x < cx) {
        const int64_t mirror = std::min(2 * cx - x, right);
        fill_span(row + x * ch, static_cast<int32_t>(mirror - x + 1), ch, colour);
        x = mirror;
      } else if (weight > 0) {
        blend_span(row + x * ch, 1, ch, colour, weight);
      }
    }
  }
  return true;
}

}  // namespace cvl::imaging
