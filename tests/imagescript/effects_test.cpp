#include <gtest/gtest.h>

#include <vector>

#include "imagescript/imagescript.h"

namespace cvl::imagescript {
namespace {

// A w x h RGBA image whose every pixel is distinct and opaque.
std::vector<uint8_t> numbered(int w, int h) {
  std::vector<uint8_t> px(size_t(w) * h * 4);
  for (int i = 0; i < w * h; ++i) px[size_t(i) * 4] = uint8_t(i), px[size_t(i) * 4 + 1] = uint8_t(i * 7), px[size_t(i) * 4 + 2] = 9, px[size_t(i) * 4 + 3] = 255;
  return px;
}

const uint8_t* at(const std::vector<uint8_t>& px, int w, int x, int y) { return &px[(size_t(y) * w + x) * 4]; }

TEST(Rotate, QuarterTurnsMovePixelsExactly) {
  const int w = 4, h = 4;
  const auto original = numbered(w, h);
  auto turned = original;
  ASSERT_TRUE(rotate_in_place(turned.data(), w, h, 90));
  // Counter-clockwise on screen: the pixel right of centre goes above it, so (x, y) lands at (y, w - 1 - x).
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      for (int c = 0; c < 4; ++c) ASSERT_EQ(at(turned, w, y, w - 1 - x)[c], at(original, w, x, y)[c]) << x << "," << y;

  auto half = original;
  ASSERT_TRUE(rotate_in_place(half.data(), w, h, 180));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) ASSERT_EQ(at(half, w, w - 1 - x, h - 1 - y)[0], at(original, w, x, y)[0]);

  auto negative = original, positive = original;
  rotate_in_place(negative.data(), w, h, -90);
  rotate_in_place(positive.data(), w, h, 270);
  EXPECT_EQ(negative, positive);
  auto full = original;
  rotate_in_place(full.data(), w, h, 720);
  EXPECT_EQ(full, original);
}

TEST(Rotate, OddAnglesKeepSizeColourAndClearUncoveredCorners) {
  const int w = 21, h = 15;
  std::vector<uint8_t> px(size_t(w) * h * 4);
  for (size_t i = 0; i < px.size(); i += 4) px[i] = 200, px[i + 1] = 10, px[i + 2] = 60, px[i + 3] = 255;
  for (int degrees : {30, 45, -17, 333}) {
    auto turned = px;
    ASSERT_TRUE(rotate_in_place(turned.data(), w, h, degrees));
    EXPECT_EQ(at(turned, w, 0, 0)[3], 0) << degrees;
    EXPECT_EQ(at(turned, w, w - 1, h - 1)[3], 0) << degrees;
    EXPECT_EQ(at(turned, w, w / 2, h / 2)[3], 255) << degrees;
    // Edge pixels fade in alpha only; the colour stays that of the picture.
    for (size_t i = 0; i < turned.size(); i += 4) {
      if (turned[i + 3]) {
        ASSERT_TRUE(turned[i] == 200 && turned[i + 1] == 10 && turned[i + 2] == 60) << degrees;
      }
    }
  }
}

TEST(Effects, NumberedDispatchRunsRotationAndRefusesUnknownNumbers) {
  const int w = 6, h = 4;
  const auto original = numbered(w, h);
  auto by_effect = original, direct = original;
  const int32_t values[] = {90, 100};  // values 3 and 4
  ASSERT_TRUE(run_effect(51, values, 2, by_effect.data(), w, h));
  rotate_in_place(direct.data(), w, h, 90);
  EXPECT_EQ(by_effect, direct);

  auto untouched = original;
  EXPECT_FALSE(run_effect(9999, values, 2, untouched.data(), w, h));
  EXPECT_FALSE(run_effect(51, values, 2, nullptr, w, h));
  EXPECT_FALSE(run_effect(51, values, 2, untouched.data(), 0, h));
  EXPECT_EQ(untouched, original);
}

TEST(Effects, RotationScaleShrinksThePictureAboutTheCentre) {
  const int w = 20, h = 20;
  std::vector<uint8_t> px(size_t(w) * h * 4, 255);
  const int32_t values[] = {0, 50};
  ASSERT_TRUE(run_effect(51, values, 2, px.data(), w, h));
  EXPECT_EQ(at(px, w, 10, 10)[3], 255);
  EXPECT_EQ(at(px, w, 1, 1)[3], 0);
  EXPECT_EQ(at(px, w, 18, 10)[3], 0);
}

}  // namespace
}  // namespace cvl::imagescript
