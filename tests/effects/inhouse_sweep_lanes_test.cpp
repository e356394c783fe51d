// The eight-lane step of the smoothing sweeps against the blend tables it
// replaces: every (current, neighbour) byte pair for weights where the double
// arithmetic rounds every way, and the choice of which pixels blend.
#include "effects/inhouse_sweep_lanes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "effects/inhouse_sweeps.h"

namespace cvl::inhouse_sweeps {
namespace {

uint32_t pack(int r, int g, int b, int a) {
  return uint32_t(r) | uint32_t(g) << 8 | uint32_t(b) << 16 | uint32_t(a) << 24;
}
int byte_of(uint32_t v, int c) { return int(v >> (8 * c) & 255); }

TEST(InhouseSweepLanes, BlendEqualsTheTableForEveryBytePair) {
  if (!sweep_lanes_available()) GTEST_SKIP() << "no lanes on this processor";
  const double weights[] = {0.0,   0.001, 0.1,  0.25, 0.3,   0.5,      0.7, 0.9,         0.999,  1.0,
                            0.123, 0.6,   0.75, 1.5,  -0.25, -2147.48, 2.0, 2147483.647, 0.9995, 0.0005};
  // Every (cur, nb) pair once in red; green, blue and alpha carry other pairs.
  std::vector<uint32_t> cur(65536), nb(65536), before(65536);
  for (int a = 0; a < 256; ++a)
    for (int b = 0; b < 256; ++b) {
      cur[size_t(a * 256 + b)] = pack(a, 255 - a, b, (a * 7) & 255);
      before[size_t(a * 256 + b)] = pack(b, a, (b * 13) & 255, 255 - b);
    }
  for (const double w : weights) {
    const BlendTable table(w);
    // Within 255 every pixel blends.
    const LaneRule rule{LaneTest::LuminanceWithin, {w, 0, 0}, {255, 0, 0}};
    nb = before;
    lane_steps_for_test(rule, cur.data(), nb.data(), 65536);
    for (size_t i = 0; i < cur.size(); ++i)
      for (int c = 0; c < 4; ++c)
        ASSERT_EQ(byte_of(nb[i], c), table(uint8_t(byte_of(cur[i], c)), uint8_t(byte_of(before[i], c))))
            << "w " << w << " channel " << c << " cur " << byte_of(cur[i], c) << " nb " << byte_of(before[i], c);
  }
}

// The whole-number form exists for blends the doubles make exactly and for
// some others, never outside 0..1; where it exists it is the table's.
TEST(InhouseSweepLanes, WholeNumberBlendOnlyWhereItMatchesEveryPair) {
  const struct {
    double w;
    bool exists;
  } cases[] = {{0.5, true}, {0.75, true}, {0.25, true}, {0.3, false}, {0.0, false}, {1.5, false}, {-0.25, false}};
  for (const auto& c : cases) {
    int32_t packed = 0;
    ASSERT_EQ(whole_number_blend(c.w, packed), c.exists) << c.w;
    if (!c.exists) continue;
    const int64_t p = packed & 0xFFFF, q = packed >> 16;
    const BlendTable table(c.w);
    for (int64_t a = 0; a < 256; ++a)
      for (int64_t b = 0; b < 256; ++b) ASSERT_EQ((a * p + b * q) >> 15, table(uint8_t(a), uint8_t(b))) << c.w;
  }
}

// Which lanes change: luminance steps of exactly 2 and 3 for Value Blur, the
// limit itself for the noise reductions, alpha left alone per channel.
TEST(InhouseSweepLanes, BlendsOnlyThePairsTheTestSelects) {
  if (!sweep_lanes_available()) GTEST_SKIP() << "no lanes on this processor";
  struct Case {
    LaneRule rule;
    uint32_t cur, nb, expected;
  };
  const uint32_t grey100 = pack(100, 100, 100, 200);
  const Case cases[] = {
      // Luminance 100 against 98 (difference 2): stays; against 97: darker
      // weight 0.5 gives (100 + 97) / 2 = 98 in colour, (200 + 10) / 2 alpha.
      {{LaneTest::DarkerOrLighter, {0.5, 0.0, 0}, {}}, grey100, pack(98, 98, 98, 10), pack(98, 98, 98, 10)},
      {{LaneTest::DarkerOrLighter, {0.5, 0.0, 0}, {}}, grey100, pack(97, 97, 97, 10), pack(98, 98, 98, 105)},
      // Lighter by 3 takes the second weight: w = 0 moves it all the way.
      {{LaneTest::DarkerOrLighter, {0.5, 0.0, 0}, {}}, grey100, pack(103, 103, 103, 0), pack(100, 100, 100, 200)},
      // (99 + 100 + 103) / 3 = 100: no step at all.
      {{LaneTest::DarkerOrLighter, {0.0, 0.0, 0}, {}}, grey100, pack(99, 100, 103, 0), pack(99, 100, 103, 0)},
      // Noise Reduction: a difference of 4 blends under limit 4, not under 3.
      {{LaneTest::LuminanceWithin, {0.5, 0, 0}, {4}}, grey100, pack(104, 104, 104, 0), pack(102, 102, 102, 100)},
      {{LaneTest::LuminanceWithin, {0.5, 0, 0}, {3}}, grey100, pack(104, 104, 104, 0), pack(104, 104, 104, 0)},
      // Limit -1 (a threshold of 0 or less) never blends, not even equal pixels.
      {{LaneTest::LuminanceWithin, {0.0, 0, 0}, {-1}}, grey100, grey100, grey100},
      // Per channel: red within, green not, blue within at its own weight;
      // alpha is never touched.
      {{LaneTest::ChannelsWithin, {0.5, 0.5, 0.0}, {10, 10, 255}},
       pack(100, 100, 100, 0),
       pack(110, 111, 0, 77),
       pack(105, 111, 100, 77)},
      // The same in whole numbers: blue's weight 1 keeps the neighbour's blue.
      {{LaneTest::ChannelsWithin, {0.5, 0.75, 1.0}, {10, 10, 255}},
       pack(100, 100, 100, 0),
       pack(110, 111, 0, 77),
       pack(105, 111, 0, 77)},
      {{LaneTest::ChannelsWithin, {0.5, 0.75, 0.5}, {10, 11, -1}},
       pack(100, 100, 100, 0),
       pack(110, 111, 0, 77),
       pack(105, 108, 0, 77)},  // green: 25 + 83.25
  };
  for (const Case& c : cases) {
    uint32_t cur[8], nb[8];
    for (int k = 0; k < 8; ++k) cur[k] = c.cur, nb[k] = c.nb;
    lane_steps_for_test(c.rule, cur, nb, 8);
    for (int k = 0; k < 8; ++k) ASSERT_EQ(nb[k], c.expected) << std::hex << c.cur << " " << c.nb << " lane " << k;
  }
}

// The whole-number stand-ins for the double thresholds: d < threshold is
// d <= largest_below, d > rise is d > whole_floor, for every whole d a
// difference of luminances can take.
TEST(InhouseSweepLanes, WholeThresholdsDecideAsTheDoublesDo) {
  const double thresholds[] = {-1e300, -300, -2.5, -2, -0.5, 0, 0.0001, 1, 2, 2.5, 254.9, 255, 255.5, 1e300};
  for (const double t : thresholds) {
    const int32_t below = largest_below(t), floor = whole_floor(t);
    for (int32_t d = -255; d <= 255; ++d) {
      if (d >= 0) {
        ASSERT_EQ(d <= below, d < t) << "d " << d << " below " << t;
      }
      ASSERT_EQ(d > floor, d > t) << "d " << d << " above " << t;
    }
  }
  const double nan = std::nan("");
  EXPECT_EQ(largest_below(nan), -1);  // nothing is below NaN ...
  EXPECT_EQ(whole_floor(nan), 1000);  // ... nor above it
}

}  // namespace
}  // namespace cvl::inhouse_sweeps
