// The directional pass set of the pairwise smoothing effects (a step reads the
// current pixel and its neighbour and writes only the neighbour) on eight
// independent pixels at once, for processors with AVX2.
//
// A horizontal sweep never carries anything from one row to another, and a
// vertical one never from one column to another, so the four horizontal sweeps
// run on strips of eight rows turned on their side (lane k holds row k), each
// strip through all four while it sits in cache, and the vertical ones a row
// at a time, eight columns a step. The blend is worked out either in double
// lanes with the very products and sum the blend tables are built from, or,
// for weights that have one, in a whole-number form checked against every
// pair of bytes; either way the bytes are the tables' bytes.
#pragma once

#include <cstdint>

namespace cvl::inhouse_sweeps {

// Which pixels a step blends.
enum class LaneTest {
  // Value Blur: the neighbour is darker by more than 2 (weight[0]) or lighter
  // by more than 2 (weight[1]) in luminance; otherwise it stays.
  DarkerOrLighter,
  // Noise Reduction: |luminance difference| <= within[0] blends every channel
  // with weight[0].
  LuminanceWithin,
  // Noise Reduction RGB: channel c (red, green, blue) blends with weight[c]
  // when |channel difference| <= within[c]; alpha stays.
  ChannelsWithin,
};

struct LaneRule {
  LaneTest test = LaneTest::DarkerOrLighter;
  double weight[3] = {};   // w of trunc((1 - w) * cur + w * neighbour)
  int32_t within[3] = {};  // largest difference that still blends (-1: none)
};

// The largest whole difference d >= 0 with d < threshold, -1 when none is, up
// to 255 (no difference of bytes is larger).
int32_t largest_below(double threshold);

// The whole-number form of the blend with weight w: P | Q << 16 such that
// (a * P + b * Q) >> 15 is trunc((1 - w) * a + w * b) for every pair of
// bytes, found by trying the nearest P and Q against all pairs. Many weights
// have one (every one whose blend the doubles give exactly, like 0.5 and
// 0.75, and about half of the thousandths); the others return false and the
// sweeps blend in doubles.
bool whole_number_blend(double w, int32_t& packed);

// True when this processor runs the lane sweeps and tests have not turned
// them off (use_portable_sweeps), so the table passes run instead.
bool sweep_lanes_available();
void use_portable_sweeps(bool on);

// The eight sweeps of kSweeps over the RGBA image in place, in bands. Only
// when sweep_lanes_available().
void run_lane_pass_set(uint8_t* image, int32_t width, int32_t height, const LaneRule& rule);

// Anti Alias: a neighbour blends darker (weight[0]) when v - u > rise_floor
// and t >= v, else lighter (weight[1]) when u - v > fall_floor and t <= v,
// with v, u and t the luminances of the current pixel, the neighbour and the
// third pixel beside the neighbour one line on.
struct AntiAliasRule {
  double weight[2] = {};
  int32_t rise_floor = 0, fall_floor = 0;  // the largest whole numbers not above rise and fall
};
// The largest whole number not above v, held to -1000..1000 (NaN: 1000, so
// no difference of luminances is above it).
int32_t whole_floor(double v);

// The eight sweeps of Anti Alias over the RGBA image in place. Only when
// sweep_lanes_available().
void run_anti_alias_lanes(uint8_t* image, int32_t width, int32_t height, const AntiAliasRule& rule);

// One step of the rule on n pixel pairs, eight at a time (cur, nb as packed
// RGBA words; n a multiple of 8): the neighbours as the step leaves them. For
// tests of the lane arithmetic.
void lane_steps_for_test(const LaneRule& rule, const uint32_t* cur, uint32_t* nb, int32_t n);

}  // namespace cvl::inhouse_sweeps
