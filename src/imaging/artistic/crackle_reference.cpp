// Crackle as first written, one pixel after another on the calling thread.
// Kept as the reference crackle_image is checked against, byte for byte.
#include "imaging/artistic/crackle.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "imaging/lcg15.h"

namespace cvl::imaging {

bool crackle_image_reference(const ImageView& src, const ImageView& dst, int32_t cell, bool light, bool shade) {
  const int32_t w = src.width, h = src.height;
  if (!rgb24_pair(src, dst) || cell < 2) return false;
  // One point per cell, with a ring of cells round the picture so edge tiles close.
  const int32_t cols = w / cell + 3, rows = h / cell + 3;
  std::vector<float> px(size_t(cols) * rows), py(px.size());
  Lcg15 rng(1);
  for (int32_t j = 0; j < rows; ++j)
    for (int32_t i = 0; i < cols; ++i) {
      px[size_t(j) * cols + i] = (i - 1 + 0.15f + 0.7f * rng.unit()) * cell;
      py[size_t(j) * cols + i] = (j - 1 + 0.15f + 0.7f * rng.unit()) * cell;
    }
  const float width = 0.6f + cell / 24.0f;  // half-width of a crack in pixels
  const float target = light ? 255.0f : 0.0f, depth = 0.7f;
  for (int32_t y = 0; y < h; ++y) {
    const uint8_t* p = src.row(y);
    uint8_t* out = dst.row(y);
    const int32_t cj = y / cell + 1;
    for (int32_t x = 0; x < w; ++x, p += 3, out += 3) {
      const int32_t ci = x / cell + 1;
      // Nearest and second nearest points among the 3 x 3 cells round this one.
      float d1 = 1e30f, d2 = 1e30f;
      int32_t n1 = 0, n2 = 0;
      for (int32_t j = cj - 1; j <= cj + 1; ++j)
        for (int32_t i = ci - 1; i <= ci + 1; ++i) {
          const int32_t k = j * cols + i;
          const float dx = px[size_t(k)] - x, dy = py[size_t(k)] - y, d = dx * dx + dy * dy;
          if (d < d1) d2 = d1, n2 = n1, d1 = d, n1 = k;
          else if (d < d2) d2 = d, n2 = k;
        }
      // Distance to the bisector between the two points: the crack's centre line.
      const float sx = px[size_t(n2)] - px[size_t(n1)], sy = py[size_t(n2)] - py[size_t(n1)];
      const float edge = (d2 - d1) / (2 * std::sqrt(sx * sx + sy * sy));
      const float crack = std::clamp(1 - (edge - width) / 1.0f, 0.0f, 1.0f) * depth;  // 1 px soft edge
      float keep = 1 - crack, shade_factor = 1;
      if (shade) shade_factor = 1 - 0.25f * std::clamp(1 - edge / (cell * 0.5f), 0.0f, 1.0f);
      for (int c = 0; c < 3; ++c) {
        const float v = p[c] * shade_factor;
        out[c] = uint8_t(std::lround(std::clamp(v * keep + target * crack, 0.0f, 255.0f)));
      }
    }
  }
  return true;
}

}  // namespace cvl::imaging
