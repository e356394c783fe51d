// What crackle_image and its plain twin share: the scattered points and the
// crack measured at each pixel of a row. The twin differs only in running rows
// one after another and rounding through the library.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "imaging/image_view.h"
#include "imaging/lcg15.h"

namespace cvl::imaging::crackle_detail {

struct Crackle {
  int32_t cell, cols;
  std::vector<float> px, py;  // one point per cell, row by row
  float width;                // half-width of a crack in pixels
  float target, depth = 0.7f;
  bool shade;

  // One point per cell, with a ring of cells round the picture so edge tiles close.
  Crackle(int32_t w, int32_t h, int32_t cell_size, bool light, bool shaded)
      : cell(cell_size),
        cols(w / cell_size + 3),
        width(0.6f + cell_size / 24.0f),
        target(light ? 255.0f : 0.0f),
        shade(shaded) {
    const int32_t rows = h / cell + 3;
    px.resize(size_t(cols) * rows), py.resize(px.size());
    Lcg15 rng(1);
    for (int32_t j = 0; j < rows; ++j)
      for (int32_t i = 0; i < cols; ++i) {
        px[size_t(j) * cols + i] = (i - 1 + 0.15f + 0.7f * rng.unit()) * cell;
        py[size_t(j) * cols + i] = (j - 1 + 0.15f + 0.7f * rng.unit()) * cell;
      }
  }

  // Row y of src cracked into dst; `round(float)` gives the nearest whole number.
  template <class Round>
  void row(const ImageView& src, const ImageView& dst, int32_t y, Round round) const {
    // Locals, since the bytes written may alias the members as far as the compiler knows.
    const int32_t cell = this->cell, cols = this->cols;
    const float *px = this->px.data(), *py = this->py.data();
    const float width = this->width, target = this->target, depth = this->depth;
    const bool shade = this->shade;
    const uint8_t* p = src.row(y);
    uint8_t* out = dst.row(y);
    const int32_t cj = y / cell + 1;
    for (int32_t x = 0; x < src.width; ++x, p += 3, out += 3) {
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
        out[c] = uint8_t(round(std::clamp(v * keep + target * crack, 0.0f, 255.0f)));
      }
    }
  }
};

}  // namespace cvl::imaging::crackle_detail
