// Emboss, bevel and fingerprint: relief drawn by light and contours.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "imaging/filters/bevel.h"
#include "imaging/filters/emboss.h"
#include "imaging/artistic/fingerprint.h"

namespace cvl::imaging {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kW = 24, kH = 16;

std::vector<uint8_t> uniform_rgba(uint8_t v, uint8_t alpha = 99) {
  std::vector<uint8_t> px(kW * kH * 4, v);
  for (size_t i = 3; i < px.size(); i += 4) px[i] = alpha;
  return px;
}
ImageView view(std::vector<uint8_t>& px) { return {px.data(), kW, kH, 4, kW * 4}; }

TEST(Emboss, FlatReliefUnderOverheadLightKeepsTheColourAndSlopesFacingTheLightAreBrighter) {
  std::vector<uint8_t> src = uniform_rgba(180), dst(src.size());
  std::vector<uint8_t> height(kW * kH, 0);
  ASSERT_TRUE(emboss(height.data(), kW, view(src), view(dst), 0, kPi / 2, 20));
  EXPECT_EQ(dst, src);
  // Heights rise to the right: light from the right (azimuth 0) meets the slope
  // face on more than light from the left.
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) height[y * kW + x] = uint8_t(x * 10);
  std::vector<uint8_t> from_right(src.size()), from_left(src.size());
  ASSERT_TRUE(emboss(height.data(), kW, view(src), view(from_right), 0, kPi / 4, 20));
  ASSERT_TRUE(emboss(height.data(), kW, view(src), view(from_left), kPi, kPi / 4, 20));
  const size_t middle = (8 * kW + 12) * 4;
  EXPECT_LT(from_right[middle], from_left[middle]);
  EXPECT_EQ(from_left[middle + 3], 99) << "alpha copied";
  // Depth 0 is a flat surface lit by sin(elevation) everywhere.
  ASSERT_TRUE(emboss(height.data(), kW, view(src), view(dst), 0, kPi / 6, 0));
  EXPECT_EQ(dst[middle], 90);
}

TEST(Bevel, RaisedTileLitFromTopLeftHasBrightTopLeftAndDarkBottomRightBorders) {
  for (bool sunken : {false, true}) {
    std::vector<uint8_t> px = uniform_rgba(128);
    BevelSettings s;
    s.width = 4;
    s.azimuth = 3 * kPi / 4;
    s.elevation = kPi / 4;
    s.sunken = sunken;
    ASSERT_TRUE(shade_bevel_edge(view(px), s));
    const auto at = [&](int x, int y) { return px[(size_t(y) * kW + x) * 4]; };
    EXPECT_EQ(at(12, 8), 128) << "the middle is flat";
    if (!sunken) {
      EXPECT_GT(at(1, 8), 128);
      EXPECT_GT(at(12, 1), 128);
      EXPECT_LT(at(kW - 2, 8), 128);
      EXPECT_LT(at(12, kH - 2), 128);
    } else {
      EXPECT_LT(at(1, 8), 128);
      EXPECT_GT(at(kW - 2, 8), 128);
    }
    EXPECT_EQ(px[3], 99);
  }
  std::vector<uint8_t> px = uniform_rgba(128);
  BevelSettings none;
  none.width = 0;
  ASSERT_TRUE(shade_bevel_edge(view(px), none));
  EXPECT_EQ(px, uniform_rgba(128));
}

TEST(Fingerprint, ARampShowsTheChosenNumberOfRidges) {
  for (int bands : {3, 6}) {
    std::vector<uint8_t> grey(256), out(256);
    for (int x = 0; x < 256; ++x) grey[x] = uint8_t(x);
    ASSERT_TRUE(fingerprint(grey.data(), 256, 256, 1, bands, 0, false, out.data(), 256));
    int ridges = 0;  // dark minima inside the ramp
    for (int x = 1; x < 255; ++x) ridges += out[x] < 20 && out[x] <= out[x - 1] && out[x] < out[x + 1];
    EXPECT_EQ(ridges, bands);
    EXPECT_EQ(out[0], 255);
    ASSERT_TRUE(fingerprint(grey.data(), 256, 256, 1, bands, 0, true, out.data(), 256));
    EXPECT_EQ(out[0], 0);
  }
}

}  // namespace
}  // namespace cvl::imaging
