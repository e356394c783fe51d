#include "imaging/artistic/gradient_noise.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace cvl::imaging {
namespace {

constexpr int kW = 96, kH = 64;

std::vector<uint8_t> plane(const NoisePlaneSettings& s, uint32_t seed) {
  std::vector<uint8_t> p(kW * kH);
  EXPECT_TRUE(gradient_noise_plane(p.data(), kW, kH, kW, s, seed));
  return p;
}

TEST(GradientNoise, SeedDecidesThePictureAndCellsDecideItsGrain) {
  for (bool turbulence : {false, true}) {
    NoisePlaneSettings s;
    s.cell = 16;
    s.octaves = 1;
    s.turbulence = turbulence;
    if (turbulence) s.gain = 1.6, s.offset = 0;
    const std::vector<uint8_t> a = plane(s, 3);
    EXPECT_EQ(a, plane(s, 3));
    EXPECT_NE(a, plane(s, 4));
    const auto [lo, hi] = std::minmax_element(a.begin(), a.end());
    EXPECT_GT(*hi - *lo, 100) << "the noise spans a good part of the range";
    // One octave on 16-pixel cells is smooth: neighbours differ by little.
    int worst = 0;
    for (int y = 0; y < kH; ++y)
      for (int x = 1; x < kW; ++x) worst = std::max(worst, std::abs(a[y * kW + x] - a[y * kW + x - 1]));
    EXPECT_LT(worst, turbulence ? 72 : 32);
  }
}

TEST(GradientNoise, SignedNoiseIsMidGreyOnAverageAndZeroOnLatticePoints) {
  NoisePlaneSettings s;
  s.cell = 8;
  s.octaves = 1;
  const std::vector<uint8_t> a = plane(s, 11);
  double mean = 0;
  for (uint8_t v : a) mean += v;
  EXPECT_NEAR(mean / a.size(), 127.5, 12);
  // Lattice points (every 8 pixels, first octave unshifted) carry no noise.
  for (int y = 0; y < kH; y += 8)
    for (int x = 0; x < kW; x += 8) EXPECT_NEAR(a[y * kW + x], 128, 1) << x << "," << y;
}

}  // namespace
}  // namespace cvl::imaging
