#include "imaging/tone/histogram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "imaging/tone/lightness.h"

namespace cvl::imaging {
namespace {

// A 64 x 64 grey picture whose values crowd into 60..139, most of them bright.
std::vector<uint8_t> crowded_grey(uint8_t alpha = 255) {
  std::vector<uint8_t> px(64 * 64 * 4);
  for (int i = 0; i < 64 * 64; ++i) {
    const int v = 60 + int(80 * std::sqrt(i / 4096.0));
    for (int c = 0; c < 3; ++c) px[size_t(i) * 4 + c] = uint8_t(v);
    px[size_t(i) * 4 + 3] = alpha;
  }
  return px;
}
ImageView view64(std::vector<uint8_t>& px) { return {px.data(), 64, 64, 4, 64 * 4}; }

TEST(Histogram, StretchMapsDarkestAndBrightestToTheRangeEnds) {
  for (HistogramBasis basis : {HistogramBasis::Brightness, HistogramBasis::PerChannel}) {
    std::vector<uint8_t> px = crowded_grey();
    // Transparent pixels do not count, whatever colour they hold.
    px[0] = px[1] = px[2] = 0;
    px[3] = 0;
    ASSERT_TRUE(histogram_stretch(view64(px), 0, 255, basis));
    int lo = 255, hi = 0;
    for (size_t i = 4; i < px.size(); i += 4) {
      lo = std::min<int>(lo, px[i]);
      hi = std::max<int>(hi, px[i]);
      ASSERT_EQ(px[i + 3], 255) << "alpha must not be remapped";
    }
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 255);
  }
}

TEST(Histogram, EqualizeFlattensTheCumulativeCount) {
  std::vector<uint8_t> px = crowded_grey();
  ASSERT_TRUE(histogram_equalize(view64(px), 0, 255, HistogramBasis::Brightness));
  std::vector<int> counts(256);
  for (size_t i = 0; i < px.size(); i += 4) ++counts[px[i]];
  // The share of pixels at or below v follows v / 255 within the coarseness
  // of the input (about 80 distinct values).
  int cumulative = 0;
  for (int v = 0; v < 256; ++v) {
    cumulative += counts[v];
    if (counts[v]) {
      EXPECT_NEAR(cumulative / 4096.0, v / 255.0, 0.035) << v;
    }
  }
  EXPECT_GT(counts[0], 0);
  EXPECT_GT(counts[255], 0);
}

TEST(Histogram, PerChannelStretchesChannelsApartAndBrightnessTogether) {
  // Red spans 100..200, green 50..60, blue is constant.
  std::vector<uint8_t> px(4 * 4 * 4);
  for (int i = 0; i < 16; ++i) {
    px[size_t(i) * 4 + 0] = uint8_t(100 + i * 100 / 15);
    px[size_t(i) * 4 + 1] = uint8_t(50 + i * 10 / 15);
    px[size_t(i) * 4 + 2] = 30;
    px[size_t(i) * 4 + 3] = 255;
  }
  std::vector<uint8_t> apart = px;
  ASSERT_TRUE(histogram_stretch(ImageView{apart.data(), 4, 4, 4, 16}, 0, 255, HistogramBasis::PerChannel));
  EXPECT_EQ(apart[0], 0);
  EXPECT_EQ(apart[1], 0);
  EXPECT_EQ(apart[15 * 4], 255);
  EXPECT_EQ(apart[15 * 4 + 1], 255);
  EXPECT_EQ(apart[2], 30) << "a constant channel has nothing to stretch";
}

TEST(Histogram, LightnessStretchKeepsHueAndSpansTheRange) {
  std::vector<uint8_t> px(8 * 4);
  const uint8_t colours[8][3] = {{120, 80, 80}, {130, 90, 90}, {140, 100, 100}, {110, 70, 70},
                                 {100, 100, 120}, {90, 90, 110}, {125, 125, 125}, {105, 95, 85}};
  for (int i = 0; i < 8; ++i) {
    for (int c = 0; c < 3; ++c) px[size_t(i) * 4 + c] = colours[i][c];
    px[size_t(i) * 4 + 3] = 255;
  }
  ASSERT_TRUE(lightness_histogram_stretch(ImageView{px.data(), 8, 1, 4, 32}, 0, 255));
  double lo = 255, hi = 0;
  for (int i = 0; i < 8; ++i) {
    const uint8_t* p = &px[size_t(i) * 4];
    lo = std::min(lo, hsl_lightness(p));
    hi = std::max(hi, hsl_lightness(p));
  }
  EXPECT_LE(lo, 1);
  EXPECT_GE(hi, 254);
  // The reddish pixels stay reddish, the grey stays grey.
  EXPECT_GT(px[2 * 4], px[2 * 4 + 1]);
  EXPECT_EQ(px[6 * 4], px[6 * 4 + 1]);
  EXPECT_EQ(px[6 * 4 + 1], px[6 * 4 + 2]);
}

}  // namespace
}  // namespace cvl::imaging
