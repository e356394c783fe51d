#include "imaging/mix_views.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "imaging/lcg15.h"
#include "imaging/parallel_bands.h"

namespace cvl::imaging {
namespace {

// One channel pair at a time: the weight in 1/256ths, and a difference rounded
// half away from zero on either side of the original.
TEST(MixViews, MixTowardRoundsTheDifferenceHalfAwayFromZero) {
  struct Case {
    uint8_t original, filtered;
    double weight;
    uint8_t want;
  };
  const Case kCases[] = {
      {100, 200, 0.5, 150}, {200, 100, 0.5, 150}, {10, 11, 0.5, 11}, {11, 10, 0.5, 10},
      {0, 255, 0.25, 64},   {255, 0, 0.25, 191},  {50, 90, 0.0, 50}, {50, 90, 1.0, 90},
      {50, 90, -3, 50},     {50, 90, 7, 90},      {7, 7, 0.3, 7},
  };
  for (const Case& c : kCases) {
    uint8_t o[4] = {c.original, c.original, c.original, c.original};
    uint8_t d[4] = {c.filtered, c.filtered, c.filtered, c.filtered};
    mix_toward(ImageView{o, 1, 1, 4, 4}, ImageView{d, 1, 1, 4, 4}, c.weight);
    EXPECT_EQ(d[0], c.want) << int(c.original) << " -> " << int(c.filtered) << " at " << c.weight;
    EXPECT_EQ(d[3], c.want);
  }
}

// Every original against every filtered byte at every weight the 1/256ths take.
TEST(MixViews, MixTowardRoundsEveryPairAtEveryWeight) {
  std::vector<uint8_t> original(256 * 256), filtered(original.size());
  for (int32_t y = 0; y < 256; ++y)
    for (int32_t x = 0; x < 256; ++x)
      original[size_t(y) * 256 + x] = uint8_t(x), filtered[size_t(y) * 256 + x] = uint8_t(y);
  for (int32_t w = 0; w <= 256; ++w) {
    std::vector<uint8_t> out = filtered;
    mix_toward(ImageView{original.data(), 256, 256, 1, 256}, ImageView{out.data(), 256, 256, 1, 256}, w / 256.0);
    for (int32_t y = 0; y < 256; ++y)
      for (int32_t x = 0; x < 256; ++x) {
        const int32_t want = x + int32_t(std::round((y - x) * w / 256.0));
        ASSERT_EQ(out[size_t(y) * 256 + x], want) << x << " -> " << y << " at " << w << "/256";
      }
  }
}

TEST(MixViews, MixTowardGivesTheSameBytesAtAnyThreadCount) {
  constexpr int32_t kW = 301, kH = 263;
  std::vector<uint8_t> original(size_t(kW) * kH * 4), filtered(original.size());
  Lcg15 rng(3);
  for (uint8_t& v : original) v = uint8_t(rng.next());
  for (uint8_t& v : filtered) v = uint8_t(rng.next());
  std::vector<std::vector<uint8_t>> results;
  for (int threads : {1, 2, 3}) {
    set_thread_count(threads);
    std::vector<uint8_t> out = filtered;
    mix_toward(ImageView{original.data(), kW, kH, 4, kW * 4}, ImageView{out.data(), kW, kH, 4, kW * 4}, 0.37);
    results.push_back(std::move(out));
  }
  set_thread_count(0);
  EXPECT_NE(results[0], filtered);
  EXPECT_EQ(results[1], results[0]);
  EXPECT_EQ(results[2], results[0]);
}

}  // namespace
}  // namespace cvl::imaging
