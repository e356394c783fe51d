#include "imaging/geometry/distort.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <vector>

#include "imaging/geometry/inverse_map.h"
#include "imaging/lcg15.h"

namespace cvl::imaging {
namespace {

constexpr int32_t kW = 37, kH = 29;
const Colour kFill{9, 8, 7, 0};

// A picture of random bytes: any misplaced pixel shows.
std::vector<uint8_t> noise_picture() {
  std::vector<uint8_t> px(size_t(kW) * kH * 4);
  Lcg15 rng(5);
  for (uint8_t& v : px) v = uint8_t(rng.next());
  return px;
}
// R = x, G = y: every pixel says where it came from.
std::vector<uint8_t> coordinate_picture() {
  std::vector<uint8_t> px(size_t(kW) * kH * 4);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      uint8_t* p = &px[(size_t(y) * kW + x) * 4];
      p[0] = uint8_t(x), p[1] = uint8_t(y), p[2] = 100, p[3] = 255;
    }
  return px;
}
ImageView view_of(std::vector<uint8_t>& px) { return {px.data(), kW, kH, 4, kW * 4}; }
const uint8_t* at(const std::vector<uint8_t>& px, int x, int y) { return &px[(size_t(y) * kW + x) * 4]; }

using Transform = std::function<bool(const ImageView&, const ImageView&)>;
const Centre kMiddle{18, 14};

TEST(Distort, EveryTransformAtItsNeutralSettingCopiesTheImage) {
  const struct {
    const char* name;
    Transform run;
  } cases[] = {
      {"elliptical", [](auto& s, auto& d) { return elliptical_image(s, d, kFill, kMiddle, 0, 10, false); }},
      {"lens", [](auto& s, auto& d) { return lens_image(s, d, kFill, kMiddle, 0); }},
      {"marble", [](auto& s, auto& d) { return marble_image(s, d, kFill, 10, 0, 2); }},
      {"pinch", [](auto& s, auto& d) { return pinch_image(s, d, kFill, kMiddle, 0, 12); }},
      {"ripple", [](auto& s, auto& d) { return ripple_image(s, d, kFill, kMiddle, 0, 6, 30, false); }},
      {"ripple turning", [](auto& s, auto& d) { return ripple_image(s, d, kFill, kMiddle, 0, 6, 0, true); }},
      {"spin", [](auto& s, auto& d) { return spin_image(s, d, kFill, kMiddle, 0, 20); }},
      {"spin wave", [](auto& s, auto& d) { return spin_wave_image(s, d, kFill, kMiddle, 0, 5, 20); }},
      {"wave", [](auto& s, auto& d) { return wave_image(s, d, kFill, 0, 8, WaveAxis::Both); }},
      {"wow", [](auto& s, auto& d) { return wow_image(s, d, kFill, kMiddle, 0, 5); }},
      {"zig zag", [](auto& s, auto& d) { return zig_zag_image(s, d, kFill, kMiddle, 0, 8, ZigZagStyle::Rings); }},
      {"frost", [](auto& s, auto& d) { return frost_image(s, d, kFill, 0, 3); }},
  };
  std::vector<uint8_t> src = noise_picture();
  for (const auto& c : cases) {
    std::vector<uint8_t> dst(src.size(), 0xAA);
    ASSERT_TRUE(c.run(view_of(src), view_of(dst))) << c.name;
    EXPECT_EQ(dst, src) << c.name;
  }
}

TEST(Distort, MidSettingsMoveThePicture) {
  const struct {
    const char* name;
    Transform run;
  } cases[] = {
      {"elliptical", [](auto& s, auto& d) { return elliptical_image(s, d, kFill, kMiddle, 15, 12, false); }},
      {"elliptical pinch", [](auto& s, auto& d) { return elliptical_image(s, d, kFill, kMiddle, 15, 12, true); }},
      {"lens", [](auto& s, auto& d) { return lens_image(s, d, kFill, kMiddle, 12); }},
      {"marble", [](auto& s, auto& d) { return marble_image(s, d, kFill, 10, 2, 1); }},
      {"pinch", [](auto& s, auto& d) { return pinch_image(s, d, kFill, kMiddle, 0.5f, 12); }},
      {"bulge", [](auto& s, auto& d) { return pinch_image(s, d, kFill, kMiddle, -0.5f, 12); }},
      {"ripple", [](auto& s, auto& d) { return ripple_image(s, d, kFill, kMiddle, 2, 6, 0, false); }},
      {"ripple turning", [](auto& s, auto& d) { return ripple_image(s, d, kFill, kMiddle, 2, 6, 0, true); }},
      {"spin", [](auto& s, auto& d) { return spin_image(s, d, kFill, kMiddle, 90, 12); }},
      {"spin wave", [](auto& s, auto& d) { return spin_wave_image(s, d, kFill, kMiddle, 45, 5, 12); }},
      {"wave", [](auto& s, auto& d) { return wave_image(s, d, kFill, 2, 8, WaveAxis::Vertical); }},
      {"wow", [](auto& s, auto& d) { return wow_image(s, d, kFill, kMiddle, 0.2f, 5); }},
      {"zig zag", [](auto& s, auto& d) { return zig_zag_image(s, d, kFill, kMiddle, 2, 8, ZigZagStyle::Columns); }},
      {"frost", [](auto& s, auto& d) { return frost_image(s, d, kFill, 2, 3); }},
  };
  std::vector<uint8_t> src = noise_picture();
  for (const auto& c : cases) {
    std::vector<uint8_t> dst(src.size(), 0xAA);
    ASSERT_TRUE(c.run(view_of(src), view_of(dst))) << c.name;
    EXPECT_NE(dst, src) << c.name;
  }
}

TEST(Distort, WholePixelShiftsReadExactlyAndUncoverTheFill) {
  std::vector<uint8_t> src = coordinate_picture(), dst(src.size());
  // Row 0 of a zig zag of amplitude 5 reads 5 pixels to the right, exactly.
  ASSERT_TRUE(zig_zag_image(view_of(src), view_of(dst), kFill, kMiddle, 5, 8, ZigZagStyle::Rows));
  EXPECT_EQ(at(dst, 0, 0)[0], 5);
  EXPECT_EQ(at(dst, 0, 0)[1], 0);
  for (int c = 0; c < 4; ++c) EXPECT_EQ(at(dst, kW - 1, 0)[c], kFill[c]) << c;
  // A quarter wavelength along, a horizontal wave is at its crest.
  ASSERT_TRUE(wave_image(view_of(src), view_of(dst), kFill, 3, 4, WaveAxis::Horizontal));
  EXPECT_EQ(at(dst, 10, 1)[0], 13);
}

TEST(Distort, TurnsAndLensesKeepTheirCentreAndMagnifyIt) {
  std::vector<uint8_t> src = coordinate_picture(), dst(src.size());
  ASSERT_TRUE(spin_image(view_of(src), view_of(dst), kFill, kMiddle, 180, 14));
  EXPECT_EQ(at(dst, 18, 14)[0], 18);
  EXPECT_EQ(at(dst, 18, 14)[1], 14);
  // Near the middle of the spin the turn is almost half a circle.
  EXPECT_EQ(at(dst, 19, 14)[0], 17);
  // Outside the radius nothing moves.
  EXPECT_EQ(at(dst, 0, 0)[0], 0);

  ASSERT_TRUE(lens_image(view_of(src), view_of(dst), kFill, kMiddle, 14));
  EXPECT_EQ(at(dst, 18, 14)[0], 18);
  EXPECT_EQ(at(dst, 22, 14)[0], 20);  // 4 pixels out shows what was about 2 out
  EXPECT_EQ(at(dst, 2, 2)[0], 2);
}

TEST(Distort, FrostIsReproducibleForASeedAndStaysWithinItsSpread) {
  std::vector<uint8_t> src = coordinate_picture(), a(src.size()), b(src.size()), c(src.size());
  ASSERT_TRUE(frost_image(view_of(src), view_of(a), kFill, 3, 42));
  ASSERT_TRUE(frost_image(view_of(src), view_of(b), kFill, 3, 42));
  ASSERT_TRUE(frost_image(view_of(src), view_of(c), kFill, 3, 43));
  EXPECT_EQ(a, b);
  EXPECT_NE(a, c);
  int moved = 0;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const uint8_t* p = at(a, x, y);
      if (p[3] == 0) {  // off the picture: only near the border
        EXPECT_TRUE(x < 3 || y < 3 || x >= kW - 3 || y >= kH - 3) << x << "," << y;
        continue;
      }
      EXPECT_LE(std::abs(p[0] - x), 3);
      EXPECT_LE(std::abs(p[1] - y), 3);
      moved += p[0] != x || p[1] != y;
    }
  EXPECT_GT(moved, kW * kH / 2);
}

// Waves look their sines up by column and row: the picture is the per-pixel formula's.
TEST(Distort, WavesGiveThePerPixelFormula) {
  std::vector<uint8_t> src = noise_picture();
  for (WaveAxis axis : {WaveAxis::Vertical, WaveAxis::Horizontal, WaveAxis::Both})
    for (float amplitude : {0.0f, 2.5f, -7.0f}) {
      std::vector<uint8_t> got(src.size()), want(src.size());
      ASSERT_TRUE(wave_image(view_of(src), view_of(got), kFill, amplitude, 6.5f, axis));
      const float w = 6.28318530717958f / 6.5f;
      ASSERT_TRUE(inverse_map<Sampling::Bilinear>(view_of(src), view_of(want), kFill,
                                                  [&](int32_t x, int32_t y, float& sx, float& sy) {
                                                    if (amplitude == 0) return true;
                                                    if (axis != WaveAxis::Horizontal) sy = y + amplitude * std::sin(w * x);
                                                    if (axis != WaveAxis::Vertical) sx = x + amplitude * std::sin(w * y);
                                                    return true;
                                                  }));
      EXPECT_EQ(got, want) << int(axis) << " " << amplitude;
    }
}

TEST(Distort, RefusesViewsItCannotWorkOn) {
  std::vector<uint8_t> src = noise_picture(), dst(src.size());
  ImageView small = view_of(dst);
  small.width = kW - 1;
  EXPECT_FALSE(spin_image(view_of(src), small, kFill, kMiddle, 10, 5));
  ImageView three = view_of(dst);
  three.channels = 3;
  EXPECT_FALSE(wave_image(view_of(src), three, kFill, 1, 5, WaveAxis::Both));
}

}  // namespace
}  // namespace cvl::imaging
