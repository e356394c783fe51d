#include "mask/mask_builders.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "support/canvas_fixture.h"

namespace cvl {
namespace {

class MaskBuilders : public test::CanvasTest {
 protected:
  static constexpr int W = 8, H = 4;
  void SetUp() override {
    make_canvas(W, H, 16);
    image.assign(W * H * 4, 0);
  }
  void set(int i, uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) {
    const uint8_t px[4] = {r, g, b, a};
    std::memcpy(&image[i * 4], px, 4);
  }
  uint16_t mask(int i) { return e().mask[i]; }
  std::vector<uint8_t> image;
};

TEST_F(MaskBuilders, StrengthSetsTheWordWrittenOnMatches) {
  struct Case {
    int strength;
    uint16_t word;
  } cases[] = {{0, 65280}, {1, 65024}, {128, 32512}, {254, 256}, {255, 0}};
  set(5, 10, 20, 30);
  for (const Case& c : cases) {
    CVL_ClearMask(0, 0, 0);
    EXPECT_EQ(CVL_CreateMaskFromRGBAImageColor(image.data(), 10, 20, 30, c.strength), 1);
    EXPECT_EQ(mask(5), c.word) << c.strength;
    EXPECT_EQ(mask(4), 65535);  // non-matching pixels stay as they were
  }
  // A pixel "unprotected" by strength 0 still reads as slightly protected.
  CVL_ClearMask(65280, 65280, 65280);
  test::give_slot_pixels(2, 0, 0, 0, 65535);
  CVL_SetLayer(2);
  CVL_CreateMaskFromRGBAImageColor(image.data(), 10, 20, 30, 0);
  EXPECT_EQ(CVL_GetMask64(5, 0), 255);
  EXPECT_EQ(CVL_GetMask64(4, 0), 65535);
}

TEST_F(MaskBuilders, ExactColourMatchesOnFourAndThreeBytePixels) {
  set(1, 10, 20, 30, 0);  // alpha plays no part
  set(2, 10, 20, 31);
  set(3, 11, 20, 30);
  EXPECT_EQ(CVL_CreateMaskFromRGBAImageColor(image.data(), 10, 20, 30, 255), 1);
  EXPECT_EQ(mask(1), 0);
  EXPECT_EQ(mask(2), 65535);

  std::vector<uint8_t> rgb(W * H * 3, 0);
  rgb[6 * 3] = 10, rgb[6 * 3 + 1] = 20, rgb[6 * 3 + 2] = 30;
  CVL_ClearMask(0, 0, 0);
  EXPECT_EQ(CVL_CreateMaskFromRGB24ImageColor(rgb.data(), 10, 20, 30, 255), 1);
  EXPECT_EQ(mask(6), 0);
  EXPECT_EQ(mask(5), 65535);
}

TEST_F(MaskBuilders, ColourRangeToleranceScalesBy256Hundredths) {
  set(0, 0, 0, 0);
  set(1, 255, 255, 255);
  set(2, 100, 110, 90);   // 10 away from the key in two channels
  set(3, 100, 100, 111);  // 11 away
  set(4, 100, 100, 100);
  struct Case {
    int tol;
    int matched;  // of the 5 set pixels plus the 27 black ones
  } cases[] = {
      {0, 1},            // exact only
      {3, 1},            // t = 7
      {4, 2},            // t = 10
      {5, 3},            // t = 12
      {100, 32},         // t = 256: everything
      {2000000000, 32},  // no overflow in the scaling
      {-1, 0},
  };
  for (const Case& c : cases) {
    CVL_ClearMask(0, 0, 0);
    EXPECT_EQ(CVL_CreateMaskFromRGBAImageColorRange(image.data(), 100, 100, 100, c.tol, 255), c.matched) << c.tol;
  }
}

TEST_F(MaskBuilders, AlphaAndLuminanceRanges) {
  for (int i = 0; i < W * H; ++i) set(i, 0, 0, 0, static_cast<uint8_t>(i * 8));
  // tol 10 % -> 25: alpha 100 +- 25 covers 80, 88, 96, 104, 112, 120.
  EXPECT_EQ(CVL_CreateMaskFromRGBAImageAlphaRange(image.data(), 100, 10, 255), 6);
  EXPECT_EQ(mask(10), 0);
  EXPECT_EQ(mask(9), 65535);

  CVL_ClearMask(0, 0, 0);
  set(0, 2, 2, 1);  // mean 1 (5 / 3)
  set(1, 3, 3, 3);  // mean 3
  set(2, 9, 0, 0);  // mean 3
  // Key (2, 2, 2) has mean 2; tolerance 0 matches mean 2 only, tolerance 1 (t = 2) all.
  EXPECT_EQ(CVL_CreateMaskFromRGBAImageLuminanceRange(image.data(), 2, 2, 2, 0, 255), 0);
  EXPECT_EQ(CVL_CreateMaskFromRGBAImageLuminanceRange(image.data(), 2, 2, 2, 1, 255), W * H);
  // The two means are truncated separately: key (1, 1, 2) has mean 1, so pixel 0 matches at 0 %.
  CVL_ClearMask(0, 0, 0);
  EXPECT_EQ(CVL_CreateMaskFromRGBAImageLuminanceRange(image.data(), 1, 1, 2, 0, 255), 1);
  EXPECT_EQ(mask(0), 0);
}

TEST_F(MaskBuilders, HueRangeWrapsAroundTheCircle) {
  // Hues: 0 red, 5, 350, 30, 180, and a grey.
  set(0, 255, 0, 0);
  set(1, 255, 21, 0);                                 // about 4.9 degrees
  set(2, 255, 0, 42);                                 // about 350 degrees
  set(3, 255, 127, 0);                                // about 30
  set(4, 0, 255, 255);                                // 180
  set(5, 90, 90, 90);                                 // grey: hue -1
  for (int i = 6; i < W * H; ++i) set(i, 0, 0, 255);  // 240
  struct Case {
    uint8_t key[3];
    int tol;
    std::vector<int> matches;
  } cases[] = {
      {{255, 0, 42}, 10, {0, 1, 2, 5}},  // 350 +- 18 reaches 5 across 0 (and the grey's -1)
      {{255, 21, 0}, 10, {0, 1, 2, 5}},  // 5 +- 18 reaches 350 the other way
      {{255, 21, 0}, 0, {1}},
      {{255, 127, 0}, 5, {3}},  // +- 9
      {{0, 255, 255}, 100, {0, 1, 2, 3, 4, 5}},
  };
  for (const Case& c : cases) {
    CVL_ClearMask(0, 0, 0);
    CVL_CreateMaskFromRGBAImageHueRange(image.data(), c.key[0], c.key[1], c.key[2], c.tol, 255);
    std::vector<int> got;
    for (int i = 0; i < 6; ++i) {
      if (mask(i) == 0) got.push_back(i);
    }
    EXPECT_EQ(got, c.matches) << int(c.key[0]) << ' ' << int(c.key[1]) << ' ' << int(c.key[2]) << " tol " << c.tol;
    EXPECT_EQ(mask(W * H - 1) == 0, c.tol == 100);
  }
}

TEST_F(MaskBuilders, HslRangeNeedsHueSaturationAndLightnessTogether) {
  set(0, 255, 0, 0);      // h 0, s 1, l 0.5
  set(1, 191, 64, 64);    // h 0, s ~0.5, l 0.5
  set(2, 127, 0, 0);      // h 0, s 1, l ~0.25
  set(3, 255, 0, 42);     // h ~350, s 1, l 0.5
  set(4, 128, 128, 128);  // grey: h 0, s 0
  struct Case {
    double hue, sat, light;
    std::vector<int> matches;
  } cases[] = {
      {0.0, 0.0, 0.0, {0}},        {0.1, 0.0, 0.0, {0, 3}},  // 18 degrees, across 0
      {0.0, 0.6, 0.0, {0, 1}},     {0.0, 0.0, 0.3, {0, 2}},
      {0.0, 1.0, 0.01, {0, 1, 4}},  // the grey has hue 0 and lightness 128 / 255
  };
  for (const Case& c : cases) {
    CVL_ClearMask(0, 0, 0);
    CVL_CreateMaskFromRGBAImageHSLRange(image.data(), 255, 0, 0, c.hue, c.sat, c.light, 128);
    std::vector<int> got;
    for (int i = 0; i < 5; ++i) {
      if (mask(i) == 32512) got.push_back(i);
    }
    EXPECT_EQ(got, c.matches) << c.hue << ' ' << c.sat << ' ' << c.light;
  }
}

TEST_F(MaskBuilders, FloodMapAndImageDifference) {
  std::vector<uint8_t> flood(W * H, 0);
  flood[3] = 1;
  flood[4] = 2;  // only the byte 1 marks the region
  EXPECT_EQ(CVL_CreateMaskFromFloodMask(flood.data(), 200), 1);
  EXPECT_EQ(mask(3), 55 * 256);
  EXPECT_EQ(mask(4), 65535);

  std::vector<uint8_t> other = image;
  other[7 * 4 + 3] = 1;  // alpha differs
  other[9 * 4 + 0] = 1;  // red differs
  CVL_ClearMask(0, 0, 0);
  EXPECT_EQ(CVL_CreateMaskFromDiff_RGBA32(image.data(), other.data(), 0x12345), 2);
  EXPECT_EQ(mask(7), 0x2345);  // the low 16 bits of the value
  EXPECT_EQ(mask(9), 0x2345);
  EXPECT_EQ(mask(8), 65535);
}

}  // namespace
}  // namespace cvl
