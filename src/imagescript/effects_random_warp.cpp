// Seeded displacements. The random draws depend on the seed and the picture size
// only, never on the pixels, so running an effect twice with the same values (once
// on colour, once on an alpha plane) moves both identically.
#include <cmath>

#include "imagescript/effect_runners.h"
#include "imagescript/noise_fields.h"

namespace cvl::imagescript {

// 39: value 3 the seed, 4 the size of the glass's ripples in tenths of a pixel, 5 how
// far in pixels it bends the view; 0 leaves the picture.
bool run_glass(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  const double strength = v(5);
  if (strength == 0) return true;
  const double cell = std::max(v(4, 100) * 0.1, 1.0);
  Lcg random(v(3));
  const int32_t cols = static_cast<int32_t>(w / cell) + 2, rows = static_cast<int32_t>(h / cell) + 2;
  const ValueNoise across(random, cols, rows), down(random, cols, rows);
  const double inv = 1.0 / cell;
  // Both fields share one lattice shape, so where each column and row falls on it
  // is worked out once for the whole picture rather than twice a pixel; the blend
  // is ValueNoise::at's, step for step.
  struct Cell {
    int32_t i0 = 0, i1 = 0;
    double t = 0;
  };
  std::vector<Cell> column(static_cast<size_t>(w)), row(static_cast<size_t>(h));
  for (int32_t x = 0; x < w; ++x)
    across.cell_x(x * inv, column[size_t(x)].i0, column[size_t(x)].i1, column[size_t(x)].t);
  for (int32_t y = 0; y < h; ++y) across.cell_y(y * inv, row[size_t(y)].i0, row[size_t(y)].i1, row[size_t(y)].t);
  auto at = [](const ValueNoise& noise, const Cell& c, const Cell& r) {
    const float* r0 = noise.lattice_row(r.i0);
    const float* r1 = noise.lattice_row(r.i1);
    const double top = r0[c.i0] + (r0[c.i1] - r0[c.i0]) * c.t, bottom = r1[c.i0] + (r1[c.i1] - r1[c.i0]) * c.t;
    return top + (bottom - top) * r.t;
  };
  remap(rgba, w, h, Edge::Clamp, [&](int32_t x, int32_t y, double& sx, double& sy) {
    const Cell &c = column[size_t(x)], &r = row[size_t(y)];
    sx = x + strength * (at(across, c, r) * 2 - 1);
    sy = y + strength * (at(down, c, r) * 2 - 1);
  });
  return true;
}

// 56: value 3 the seed, 4 the number of scratches, 5 their length in pixels, 6 their
// direction in degrees, 7 = 1 gives every scratch its own direction, 9 = 1 makes them
// two pixels wide. A scratch drags the colour of its starting pixel along its path,
// fading into the picture toward its end.
bool run_scratch(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  const int32_t count = std::min(v(4), 100000), length = std::min(v(5), 4 * std::max(w, h));
  if (count <= 0 || length <= 0) return true;
  const double base_angle = v(6) * (kPi / 180.0);
  const bool any_angle = v(7) == 1, wide = v(9) == 1;
  const std::vector<uint8_t> src(rgba, rgba + size_t(w) * h * 4);
  Lcg random(v(3));
  for (int32_t i = 0; i < count; ++i) {
    const double x0 = random.range(0, w), y0 = random.range(0, h);
    const double a = any_angle ? random.range(0, 2 * kPi) : base_angle + random.range(-0.05, 0.05);
    const double len = length * random.range(0.5, 1.0);
    const double dx = std::cos(a), dy = -std::sin(a);
    const uint8_t* from = &src[(size_t(y0) * w + size_t(x0)) * 4];
    const int32_t steps = static_cast<int32_t>(len);
    for (int32_t s = 1; s <= steps; ++s) {
      const int32_t px = static_cast<int32_t>(std::floor(x0 + dx * s)), py = static_cast<int32_t>(std::floor(y0 + dy * s));
      // Strong at the start, gone at the end.
      const int32_t keep = 256 - s * 256 / (steps + 1);
      for (int32_t t = 0; t <= (wide ? 1 : 0); ++t) {
        const int32_t qx = px + (std::fabs(dy) >= std::fabs(dx) ? t : 0), qy = py + (std::fabs(dy) < std::fabs(dx) ? t : 0);
        if (qx < 0 || qy < 0 || qx >= w || qy >= h) continue;
        uint8_t* out = rgba + (size_t(qy) * w + qx) * 4;
        for (int k = 0; k < 4; ++k) out[k] = static_cast<uint8_t>((from[k] * keep + out[k] * (256 - keep) + 128) >> 8);
      }
    }
  }
  return true;
}

}  // namespace cvl::imagescript
