#include "effects/effect_rows_inhouse.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "ipl/layer_patterns.h"

namespace cvl {
namespace {

class EffectRowsInhouse : public test::CanvasTest {
 protected:
  void SetUp() override {
    test::CanvasTest::SetUp();
    test::give_coordinate_layer(1);
    test::give_coordinate_layer(2);
    CVL_SetLayer(2);
    ASSERT_NE(CVL_IPLAllocSrcBuffer32(), nullptr);
    ASSERT_NE(CVL_IPLAllocDstBuffer32(), nullptr);
  }
  int32_t run(const char* name, std::array<int32_t, 6> s = {}, int32_t option = 0, std::array<int32_t, 6> f = {}) {
    return CVL_IPLImageProcess(0, name, 0, s[0], s[1], s[2], s[3], s[4], s[5], option, 0, f[0], f[1], f[2], f[3],
                               f[4], f[5], 0, 0, 0, "");
  }
};

TEST(LevelsTables, FullRangeRisesInTwoLinearHalvesAndANarrowRangeJumps) {
  uint8_t t[256];
  levels_input_table(0.0f, 100.0f, t);  // lo 0, hi 255, mid 127
  for (int j = 0; j < 127; ++j) ASSERT_EQ(t[j], j) << j;
  EXPECT_EQ(t[127], 127);
  EXPECT_EQ(t[254], 253);  // 127 + 127 x 127/128, truncated
  EXPECT_EQ(t[255], 255);
  for (int j = 128; j < 255; ++j) ASSERT_LE(t[j] - t[j - 1], 1) << j;

  levels_input_table(40.0f, 40.4f, t);  // lo 102, hi 103: the middle stretch is empty
  for (int j = 0; j <= 102; ++j) ASSERT_EQ(t[j], 0) << j;
  for (int j = 103; j < 256; ++j) ASSERT_EQ(t[j], 255) << j;

  levels_output_table(0.0f, 100.0f, t);  // identity
  for (int j = 0; j < 256; ++j) ASSERT_EQ(t[j], j) << j;
  levels_output_table(50.0f, 50.0f, t);  // flat at trunc(50 x 2.559)
  EXPECT_EQ(std::count(t, t + 256, 127), 256);
}

TEST_F(EffectRowsInhouse, LevelsChangesOnlyTheFlaggedChannels) {
  run("Levels", {0, 1000, 0, 1000}, 0, {0, 1, 0, 0});
  uint8_t t[256];
  levels_input_table(0.0f, 100.0f, t);
  const Layer& layer = e().slot(2);
  for (int y = 0; y < layer.height; ++y)
    for (int x = 0; x < layer.width; ++x) {
      const test::Pixel p = test::read_pixel(layer, x, y);
      ASSERT_EQ(p[0] >> 8, x);
      ASSERT_EQ(p[1] >> 8, t[y]);
      ASSERT_EQ(p[2] >> 8, 2);
      ASSERT_EQ(p[3] >> 8, 0xFF);
    }
}

TEST_F(EffectRowsInhouse, FlipsMirrorOnlyTheCurrentLayer) {
  const int w = e().canvas_width, h = e().canvas_height;
  run("Horizontal Flip");
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      ASSERT_EQ(test::origin_of(e().slot(2), x, y), (test::Origin{w - 1 - x, y}));
      ASSERT_EQ(test::origin_of(e().slot(1), x, y), (test::Origin{x, y}));
    }
  run("Horizontal Flip");
  run("Vertical Flip");
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      ASSERT_EQ(test::origin_of(e().slot(2), x, y), (test::Origin{x, h - 1 - y}));
      ASSERT_EQ(test::origin_of(e().slot(1), x, y), (test::Origin{x, y}));
    }
}

TEST_F(EffectRowsInhouse, WriteBackFollowsTheMask) {
  const int w = e().canvas_width, h = e().canvas_height;
  CVL_EnableMask(1);
  ASSERT_TRUE(e().mask);
  for (int y = 0; y < h; ++y)  // top half selected, bottom half protected
    std::fill_n(e().mask.get() + y * w, w, uint16_t(y < h / 2 ? 65535 : 0));
  run("Horizontal Flip");
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const test::Origin expected = y < h / 2 ? test::Origin{w - 1 - x, y} : test::Origin{x, y};
      ASSERT_EQ(test::origin_of(e().slot(2), x, y), expected) << x << "," << y;
    }
}

TEST_F(EffectRowsInhouse, MaskGenerateHslAddsToTheMaskOrStartsFromAnOpenOne) {
  const int w = e().canvas_width, h = e().canvas_height;
  // Left half pure red, right half pure blue.
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint16_t* p = test::pixel_at(e().slot(2), x, y);
      p[0] = x < w / 2 ? 0xFF00 : 0;
      p[1] = 0;
      p[2] = x < w / 2 ? 0 : 0xFF00;
      p[3] = 0xFF00;
    }
  CVL_IPLUpdateSrcBuffer32();
  CVL_EnableMask(1);
  const std::array<int32_t, 6> red_key = {0, 20, 1000, 20, 500, 20};  // hue 0, full saturation, lightness 0.5
  for (int32_t open_first : {0, 1}) {
    std::fill_n(e().mask.get(), e().canvas_pixels(), uint16_t{1234});
    run("Mask Generate HSL", red_key, 0, {open_first, 0, 0, 0, 0, 0});
    const uint16_t matched = e().mask[0];
    EXPECT_NE(matched, 1234);
    const uint16_t untouched = open_first ? uint16_t{65535} : uint16_t{1234};
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        ASSERT_EQ(e().mask[y * w + x], x < w / 2 ? matched : untouched) << open_first << " " << x << "," << y;
  }
}

}  // namespace
}  // namespace cvl
