#include "brush/brush_mix.h"

#include <gtest/gtest.h>

#include <array>
#include <utility>
#include <vector>

#include "core/rand.h"

namespace cvl {
namespace {

using Px = std::array<uint32_t, 4>;

MixContext full_strength() {
  MixContext c;
  c.strength = 256;
  c.keep = 0;
  c.banks[0][0] = 1000, c.banks[0][1] = 2000, c.banks[0][2] = 3000;
  c.banks[1][0] = 11000, c.banks[1][1] = 12000, c.banks[1][2] = 13000;
  c.banks[2][0] = 21000, c.banks[2][1] = 22000, c.banks[2][2] = 23000;
  c.banks[3][0] = 31000, c.banks[3][1] = 32000, c.banks[3][2] = 33000;
  return c;
}

Px mix(int32_t mode, const MixContext& c, Px s, uint32_t v, Px d) {
  const MixResult r = mix_pixel_generic(mode, c, s.data(), v, d.data());
  return {r.c[0], r.c[1], r.c[2], r.c[3]};
}

struct MixCase {
  const char* what;
  int32_t mode;
  Px s;
  uint32_t v;
  Px d;
  Px expected;
};

TEST(BrushMix, LowModesFollowTheirRules) {
  const MixContext c = full_strength();
  const MixCase cases[] = {
      {"normal on transparent keeps the source, alpha one short", 32, {1000, 2000, 3000, 65535}, 65535,
       {9, 9, 9, 0}, {1000, 2000, 3000, 65534}},
      {"normal on opaque loses one step per channel", 32, {40000, 1, 65535, 65535}, 65535,
       {10, 20, 30, 65535}, {39999, 0, 65534, 65535}},
      {"normal source without alpha leaves the colour's weight to the destination", 32, {65535, 65535, 65535, 0},
       65535, {20000, 20000, 20000, 65535}, {19999, 19999, 19999, 65535}},
      {"mode 33 multiplies", 33, {30000, 30000, 30000, 65535}, 65535, {20000, 20000, 20000, 65535},
       {9154, 9154, 9154, 65535}},
      {"negative numbers multiply too", -7, {30000, 30000, 30000, 65535}, 65535, {20000, 20000, 20000, 65535},
       {9154, 9154, 9154, 65535}},
  };
  for (const MixCase& m : cases) EXPECT_EQ(mix(m.mode, c, m.s, m.v, m.d), m.expected) << m.what;
}

TEST(BrushMix, BlendingAndErasingChangeTheLowRules) {
  MixContext c = full_strength();
  c.blending = true;
  EXPECT_EQ(mix(32, c, {50000, 50000, 50000, 65535}, 40000, {10000, 10000, 10000, 30000}),
            (Px{34414, 34414, 34414, 51688}));
  EXPECT_EQ(mix(32, c, {50000, 50000, 50000, 0}, 40000, {10000, 10000, 10000, 30000}).at(0), 10000u)
      << "a source without alpha keeps the destination colour";
  // Blending is the normal mode's alone; another low mode still multiplies.
  EXPECT_EQ(mix(0, c, {30000, 30000, 30000, 65535}, 65535, {20000, 20000, 20000, 65535}).at(0), 9154u);
  c.blending = false;
  c.erasing = true;
  EXPECT_EQ(mix(32, c, {65535, 65535, 65535, 0}, 40000, {10000, 20000, 30000, 30000}),
            (Px{10000, 20000, 30000, 11688}));
  EXPECT_EQ(mix(5, c, {65535, 65535, 65535, 0}, 65535, {1, 2, 3, 65535}), (Px{1, 2, 3, 0}));
}

TEST(BrushMix, HighModesAtFullStrengthAndCoverage) {
  const MixContext c = full_strength();
  const Px opaque{40000, 40000, 40000, 65535};
  const MixCase cases[] = {
      {"add saturates", 47, {40000, 40000, 40000, 65535}, 65535, opaque, {65535, 65535, 65535, 65535}},
      {"subtract", 48, {40000, 30000, 20000, 65535}, 65535, opaque, {14465, 4465, 0, 65535}},
      {"darken", 35, {1000, 50000, 40000, 65535}, 65535, opaque, {1000, 40000, 40000, 65535}},
      {"lighten", 36, {1000, 50000, 40000, 65535}, 65535, opaque, {40000, 50000, 40000, 65535}},
      {"difference", 37, {1000, 50000, 40000, 65535}, 65535, opaque, {39000, 10000, 0, 65535}},
      {"burn of a tiny source on black floors at zero", 44, {1, 0, 65535, 65535}, 65535, {0, 0, 0, 65535},
       {0, 0, 0, 65535}},
      {"dodge of a full source is full", 43, {65535, 0, 0, 65535}, 65535, opaque, {65535, 40000, 40000, 65535}},
      {"gradient at black is bank 0", 252, {0, 0, 0, 65535}, 65535, opaque, {1000, 2000, 3000, 65535}},
      {"two banks split at mid grey", 249, {40000, 40000, 40000, 65535}, 65535, opaque,
       {11000, 12000, 13000, 65535}},
      {"four banks: the third quarter", 251, {40000, 40000, 40000, 65535}, 65535, opaque,
       {21000, 22000, 23000, 65535}},
      {"posterise in four maps mid grey up", 261, {32767, 10921, 54613, 65535}, 65535, opaque,
       {43690, 0, 65535, 65535}},
      {"posterise in three", 262, {21844, 43689, 43690, 65535}, 65535, opaque, {0, 32767, 65535, 65535}},
      {"256 outside its window keeps the destination and its alpha", 256, {100, 100, 100, 65535}, 65535,
       {7, 8, 9, 65535}, {7, 8, 9, 65535}},
      {"259 inside its window paints bank 0", 259, {100, 100, 100, 30000}, 65535, opaque,
       {1000, 2000, 3000, 30000}},
      {"grey 340 takes the luminance as alpha", 340, {300, 600, 900, 65535}, 65535, opaque,
       {32767, 32767, 32767, 600}},
  };
  for (const MixCase& m : cases) EXPECT_EQ(mix(m.mode, c, m.s, m.v, m.d), m.expected) << m.what;
}

TEST(BrushMix, PartialCoverageAddsOneAndNeverWrapsAFullChannel) {
  const MixContext c = full_strength();
  EXPECT_EQ(mix(47, c, {40000, 40000, 40000, 65535}, 32768, {40000, 40000, 40000, 65535}),
            (Px{52768, 52768, 52768, 65535}));
  // Full colour over full colour at a coverage that divides evenly would carry to
  // 65536, which a 16-bit word keeps as black.
  for (uint32_t v : {256u, 32768u, 65280u})
    EXPECT_EQ(mix(47, c, {65535, 65535, 65535, 65535}, v, {65535, 65535, 65535, 65535}).at(0), 65535u) << v;
}

TEST(BrushMix, ThinDestinationsAreTintedTowardTheSource) {
  const MixContext c = full_strength();
  // Darken of a dark source over a half-transparent light pixel: the tint has
  // already pulled the destination almost all the way to the source.
  EXPECT_EQ(mix(35, c, {60000, 60000, 60000, 65535}, 65535, {1000, 1000, 1000, 32768}).at(0), 59999u);
  // A transparent destination is the source itself.
  EXPECT_EQ(mix(37, c, {60000, 60000, 60000, 65535}, 65535, {1000, 1000, 1000, 0}).at(0), 0u);
}

TEST(BrushMix, StrengthBlendsTheModeWithTheSource) {
  MixContext c = full_strength();
  c.strength = 128;
  c.keep = 128;
  // Half of the source (10000) and half of lighten (40000).
  EXPECT_EQ(mix(36, c, {10000, 10000, 10000, 65535}, 65535, {40000, 40000, 40000, 65535}).at(0), 25000u);
  // Erasing takes the source alpha away in the high modes.
  c.erasing = true;
  c.source_alpha_mask = 0;
  EXPECT_EQ(mix(36, c, {10000, 10000, 10000, 65535}, 65535, {40000, 40000, 40000, 65535}).at(3), 0u);
}

TEST(BrushMix, ShiftModeDropsLowBits) {
  MixContext c = full_strength();
  c.shift = 16;  // strength 255
  EXPECT_EQ(mix(295, c, {65535, 40000, 1, 65535}, 65535, {5, 5, 5, 65535}), (Px{0, 0, 0, 65535}));
  c.shift = 8;
  EXPECT_EQ(mix(295, c, {65535, 40000, 1, 65535}, 65535, {5, 5, 5, 65535}), (Px{65280, 39936, 0, 65535}));
}

TEST(BrushMix, RandomBankModesDrawOneNumberPerPixel) {
  const MixContext c = full_strength();
  for (int32_t mode : {253, 254}) {
    crt_srand(77);
    crt_rand();
    const int second = crt_rand();
    crt_srand(77);
    mix(mode, c, {100, 100, 100, 65535}, 65535, {5, 5, 5, 65535});
    EXPECT_EQ(crt_rand(), second) << mode;
  }
  EXPECT_EQ(mix(253, c, {100, 100, 100, 65535}, 65535, {5, 6, 7, 65535}), (Px{1000, 2000, 3000, 65535}));
  EXPECT_EQ(mix(253, c, {40000, 40000, 40000, 65535}, 65535, {5, 6, 7, 65535}), (Px{5, 6, 7, 65535}));
  EXPECT_EQ(mix(254, c, {40000, 40000, 40000, 65535}, 65535, {5, 6, 7, 65535}), (Px{1000, 2000, 3000, 65535}));
}

TEST(BrushMix, ReciprocalDivisionTruncatesLikeIntegerDivision) {
  // Every divisor, at the numerators where truncation could slip: exact
  // multiples and their neighbours, up to the top of the 32-bit range.
  for (uint32_t a = 1; a <= 65535; ++a) {
    const double inv = mix::reciprocal(a);
    const uint32_t top = 0xFFFFFFFFu / a;
    for (uint32_t m : {1u, 2u, 65535u / a + 1, top / 2, top}) {
      const uint32_t n = m * a;
      ASSERT_EQ(mix::divide(n, inv), m) << n << " / " << a;
      ASSERT_EQ(mix::divide(n - 1, inv), m - 1) << n - 1 << " / " << a;
      if (n <= 0xFFFFFFFFu - (a - 1)) {
        ASSERT_EQ(mix::divide(n + a - 1, inv), m) << n + a - 1 << " / " << a;
      }
    }
    // x * 65535 / a with the factor folded into the reciprocal, at the x where
    // the product is an exact multiple of a, and beside them.
    const double scaled = mix::reciprocal(a, 65535.0);
    uint32_t step = a;
    for (uint32_t g = 65535; g != 0;) std::swap(step, g), g %= step;  // step = gcd(a, 65535)
    step = a / step;
    for (uint32_t x : {step, step * (65535u / step), step - 1, 65535u / step * step - 1, a - 1}) {
      if (x == 0 || x > 65535) continue;
      ASSERT_EQ(mix::divide(x, scaled), x * 65535u / a) << x << " * 65535 / " << a;
    }
  }
}

}  // namespace
}  // namespace cvl
