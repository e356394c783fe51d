#include "imaging/artistic/add_noise.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace cvl::imaging {
namespace {

constexpr int kW = 128, kH = 128;
const NoiseDistribution kAll[] = {NoiseDistribution::Gaussian, NoiseDistribution::NegativeExponential,
                                  NoiseDistribution::Rayleigh, NoiseDistribution::Uniform};

std::vector<uint8_t> mid_grey() {
  std::vector<uint8_t> px(size_t(kW) * kH * 4, 128);
  for (size_t i = 3; i < px.size(); i += 4) px[i] = 200;
  return px;
}
ImageView view(std::vector<uint8_t>& px) { return {px.data(), kW, kH, 4, kW * 4}; }

TEST(Noise, NothingChangesAtZeroAndTheSameSeedDrawsTheSameGrain) {
  const uint8_t colour[3] = {10, 200, 30};
  for (NoiseDistribution d : kAll) {
    std::vector<uint8_t> a = mid_grey(), b = mid_grey();
    ASSERT_TRUE(add_noise(view(a), d, 0, false, 7, 9));
    EXPECT_EQ(a, mid_grey());
    ASSERT_TRUE(add_noise(view(a), d, 20, false, 7, 9));
    ASSERT_TRUE(add_noise(view(b), d, 20, false, 7, 9));
    EXPECT_EQ(a, b);
    b = mid_grey();
    ASSERT_TRUE(add_noise(view(b), d, 20, false, 7, 10));
    EXPECT_NE(a, b) << "another seed, other grain";
  }
  std::vector<uint8_t> a = mid_grey();
  ASSERT_TRUE(colour_noise(view(a), 0, true, colour, 3));
  EXPECT_EQ(a, mid_grey());
}

TEST(Noise, DistributionsHaveMeanZeroAndTheirSpread) {
  struct Case {
    NoiseDistribution d;
    double sd;  // standard deviation of the unit distribution
  };
  const Case cases[] = {{NoiseDistribution::Gaussian, 1},
                        {NoiseDistribution::NegativeExponential, 1},
                        {NoiseDistribution::Rayleigh, std::sqrt((4 - 3.14159265) / 2)},
                        {NoiseDistribution::Uniform, 1 / std::sqrt(3.0)}};
  for (const Case& c : cases) {
    // Spread 10 around 128 never clips for these except the exponential's rare tail.
    std::vector<uint8_t> px = mid_grey();
    ASSERT_TRUE(add_noise(view(px), c.d, 10, false, 7, 1));
    double sum = 0, squares = 0;
    int n = 0, alpha_changed = 0;
    for (size_t i = 0; i < px.size(); i += 4) {
      for (int ch = 0; ch < 3; ++ch, ++n) {
        const double v = px[i + ch] - 128.0;
        sum += v;
        squares += v * v;
      }
      alpha_changed += px[i + 3] != 200;
    }
    const double mean = sum / n, sd = std::sqrt(squares / n - mean * mean);
    EXPECT_NEAR(mean, 0, 0.3) << int(c.d);
    EXPECT_NEAR(sd, 10 * c.sd, 0.6) << int(c.d);
    EXPECT_EQ(alpha_changed, 0) << "alpha was not selected";
  }
}

TEST(Noise, MonochromeGrainMovesAllChannelsAlike) {
  std::vector<uint8_t> px = mid_grey();
  ASSERT_TRUE(add_noise(view(px), NoiseDistribution::Uniform, 30, true, 7, 4));
  int moved = 0;
  for (size_t i = 0; i < px.size(); i += 4) {
    ASSERT_EQ(px[i], px[i + 1]);
    ASSERT_EQ(px[i], px[i + 2]);
    moved += px[i] != 128;
    ASSERT_LE(std::abs(px[i] - 128), 30);
  }
  EXPECT_GT(moved, kW * kH * 9 / 10);
}

TEST(Noise, ColourNoiseDrawsShadesOfTheColour) {
  const uint8_t colour[3] = {200, 100, 0};
  std::vector<uint8_t> px = mid_grey();
  ASSERT_TRUE(colour_noise(view(px), 1, false, colour, 2));
  for (size_t i = 0; i < px.size(); i += 4) {
    ASSERT_EQ(px[i + 2], 0);
    ASSERT_NEAR(px[i + 1] * 2, px[i], 2) << "a shade keeps the colour's proportions";
    ASSERT_EQ(px[i + 3], 200);
  }
}

}  // namespace
}  // namespace cvl::imaging
