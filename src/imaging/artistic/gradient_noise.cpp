#include "imaging/artistic/gradient_noise.h"

#include <algorithm>
#include <cstddef>
#include <cmath>
#include <vector>

#include "imaging/lcg15.h"
#include "imaging/parallel_bands.h"

namespace cvl::imaging {
namespace {

constexpr int kPeriod = 256;  // the lattice repeats every 256 cells

float fade(float t) { return t * t * t * (t * (t * 6 - 15) + 10); }

// A shuffled lattice of unit gradients, one per cell corner of a 256 x 256 tile.
struct Lattice {
  uint8_t perm[2 * kPeriod];
  float gx[kPeriod], gy[kPeriod];

  explicit Lattice(Lcg15& random) {
    for (int i = 0; i < kPeriod; ++i) perm[i] = static_cast<uint8_t>(i);
    for (int i = kPeriod - 1; i > 0; --i) {
      const int j = static_cast<int>(((static_cast<uint32_t>(random.next()) << 15) | random.next()) % (i + 1));
      std::swap(perm[i], perm[j]);
    }
    for (int i = 0; i < kPeriod; ++i) perm[kPeriod + i] = perm[i];
    for (int i = 0; i < kPeriod; ++i) {
      const double a = 2 * 3.14159265358979323846 * (i + 0.5) / kPeriod;
      gx[i] = static_cast<float>(std::cos(a));
      gy[i] = static_cast<float>(std::sin(a));
    }
  }
  int corner(int x, int y) const { return perm[perm[x & (kPeriod - 1)] + (y & (kPeriod - 1))]; }
};

// Adds weight x noise (or |noise|) of one octave along a row, a cell at a time:
// the corner gradients are looked up once per cell and the pixels inside it
// form a loop without carried state.
void add_octave_row(const Lattice& lattice, float* sum, int32_t width, double y, double scale, double shift,
                    float weight, bool fold) {
  const double gy = y * scale + shift;
  const double fyi = std::floor(gy);
  const int yi = static_cast<int>(static_cast<int64_t>(fyi) & (kPeriod - 1));
  const float fy = static_cast<float>(gy - fyi), v = fade(fy);
  const float step = static_cast<float>(scale);
  int32_t x = 0;
  while (x < width) {
    const double gx = x * scale + shift, cell = std::floor(gx);
    // The first pixel past this cell; at least one pixel moves on.
    const int32_t end = std::clamp(static_cast<int32_t>(std::ceil((cell + 1 - shift) / scale)), x + 1, width);
    const int xi = static_cast<int>(static_cast<int64_t>(cell) & (kPeriod - 1));
    const int a = lattice.corner(xi, yi), b = lattice.corner(xi + 1, yi);
    const int d = lattice.corner(xi, yi + 1), e = lattice.corner(xi + 1, yi + 1);
    // Row-constant parts of the four corner dot products.
    const float ax = lattice.gx[a], bx = lattice.gx[b], dx = lattice.gx[d], ex = lattice.gx[e];
    const float ay = lattice.gy[a] * fy, by = lattice.gy[b] * fy;
    const float dy = lattice.gy[d] * (fy - 1), ey = lattice.gy[e] * (fy - 1);
    const float start = static_cast<float>(gx - cell);
    for (int32_t i = x; i < end; ++i) {
      const float fx = start + static_cast<float>(i - x) * step, u = fade(fx);
      const float n00 = ax * fx + ay, n10 = bx * (fx - 1) + by;
      const float n01 = dx * fx + dy, n11 = ex * (fx - 1) + ey;
      const float top = n00 + (n10 - n00) * u, bottom = n01 + (n11 - n01) * u;
      const float n = (top + (bottom - top) * v) * 1.41421356f;
      sum[i] += weight * (fold ? std::abs(n) : n);
    }
    x = end;
  }
}

}  // namespace

bool gradient_noise_plane(uint8_t* plane, int32_t width, int32_t height, int32_t stride, const NoisePlaneSettings& s,
                          uint32_t seed) {
  if (!plane || width <= 0 || height <= 0 || stride < width) return false;
  if (!std::isfinite(s.cell) || !std::isfinite(s.persistence) || !std::isfinite(s.gain) || !std::isfinite(s.offset))
    return false;
  Lcg15 random(seed);
  const Lattice lattice(random);
  const int32_t octaves = std::clamp(s.octaves, 1, 16);
  std::vector<double> scale(octaves), shift(octaves);
  std::vector<float> weight(octaves);
  double w = 1, total = 0, sc = 1 / std::max(s.cell, 1.0);
  for (int32_t o = 0; o < octaves; ++o) {
    scale[o] = sc;
    // Octaves start at different lattice places so they do not share a grid.
    shift[o] = o * 17.13;
    weight[o] = static_cast<float>(w);
    total += w;
    w *= s.persistence;
    sc *= 2;
  }
  const float norm = static_cast<float>(255 * s.gain / total), base = static_cast<float>(255 * s.offset);
  // The lattice drew every number it needs up front, so rows are independent
  // and go in bands.
  for_each_band(height, int64_t(width) * octaves * 4, [&](int32_t first, int32_t end) {
    std::vector<float> sum(static_cast<size_t>(width));
    for (int32_t y = first; y < end; ++y) {
      std::fill(sum.begin(), sum.end(), 0.0f);
      for (int32_t o = 0; o < octaves; ++o)
        add_octave_row(lattice, sum.data(), width, y, scale[o], shift[o], weight[o], s.turbulence);
      uint8_t* row = plane + static_cast<ptrdiff_t>(y) * stride;
      for (int32_t x = 0; x < width; ++x)
        row[x] = static_cast<uint8_t>(std::clamp(base + norm * sum[x] + 0.5f, 0.0f, 255.0f));
    }
  });
  return true;
}

}  // namespace cvl::imaging
