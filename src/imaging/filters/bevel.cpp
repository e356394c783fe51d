#include "imaging/filters/bevel.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace cvl::imaging {
namespace {

// Faces by their border: outward directions in (right, up) coordinates.
enum Face { kLeft, kRight, kTop, kBottom };
constexpr double kOutward[4][2] = {{-1, 0}, {1, 0}, {0, 1}, {0, -1}};

}  // namespace

bool shade_bevel_edge(const ImageView& image, const BevelSettings& s) {
  if (!image.data || image.width <= 0 || image.height <= 0 || (image.channels != 3 && image.channels != 4))
    return false;
  if (!std::isfinite(s.azimuth) || !std::isfinite(s.elevation) || !std::isfinite(s.highlight) ||
      !std::isfinite(s.shadow) || !std::isfinite(s.rounding))
    return false;
  const int32_t band = std::min({s.width, (image.width + 1) / 2, (image.height + 1) / 2});
  if (band <= 0) return true;
  const double lx = std::cos(s.azimuth) * std::cos(s.elevation), ly = std::sin(s.azimuth) * std::cos(s.elevation);
  const double lz = std::sin(s.elevation), rounding = std::clamp(s.rounding, 0.0, 1.0);
  // Per face and distance from the border: the change of light against a flat
  // surface, as a signed weight in 1/256ths toward white (> 0) or black (< 0).
  std::vector<int32_t> change(static_cast<size_t>(4) * band);
  for (int face = 0; face < 4; ++face)
    for (int32_t d = 0; d < band; ++d) {
      const double u = (d + 0.5) / band;
      const double tilt = (1 - rounding) * (3.14159265358979323846 / 4) + rounding * std::acos(u);
      const double out = s.sunken ? -std::sin(tilt) : std::sin(tilt);
      const double lit = (kOutward[face][0] * lx + kOutward[face][1] * ly) * out + std::cos(tilt) * lz;
      const double delta = lit - lz;
      const double weight = delta > 0 ? delta * std::clamp(s.highlight, 0.0, 1.0) : delta * std::clamp(s.shadow, 0.0, 1.0);
      change[static_cast<size_t>(face) * band + d] = static_cast<int32_t>(std::lround(std::clamp(weight, -1.0, 1.0) * 256));
    }
  const int32_t w = image.width, h = image.height, ch = image.channels;
  for (int32_t y = 0; y < h; ++y) {
    uint8_t* row = image.row(y);
    const int32_t dy = std::min(y, h - 1 - y);
    for (int32_t x = 0; x < w; ++x) {
      const int32_t dx = std::min(x, w - 1 - x);
      const int32_t d = std::min(dx, dy);
      if (d >= band) {
        // Skip the flat middle of the row.
        if (dy >= band && x < w - band) x = w - band - 1;
        continue;
      }
      const int face = dx <= dy ? (x < w - 1 - x ? kLeft : kRight) : (y < h - 1 - y ? kTop : kBottom);
      const int32_t k = change[static_cast<size_t>(face) * band + d];
      uint8_t* p = row + static_cast<ptrdiff_t>(x) * ch;
      for (int32_t c = 0; c < 3; ++c)
        p[c] = static_cast<uint8_t>(k > 0 ? p[c] + (((255 - p[c]) * k) >> 8) : p[c] + ((p[c] * k) >> 8));
    }
  }
  return true;
}

}  // namespace cvl::imaging
