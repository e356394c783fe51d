#include "effects/effect_frames.h"

#include <gtest/gtest.h>

#include "core/engine.h"
#include "core/tool_settings.h"
#include "support/canvas_fixture.h"

namespace cvl {
namespace {

class EffectFrames : public test::CanvasTest {
 protected:
  void SetUp() override {
    test::CanvasTest::SetUp();
    // Alpha with a non-zero low byte: an 8-bit round trip would lose it.
    test::give_slot_pixels(2, 0x4000, 0x8000, 0xC000, 0x80AB);
    CVL_SetLayer(2);
    call.width = e().canvas_width;
    call.height = e().canvas_height;
    call.canvas = &e();
    call.tool = &tool();
    call.src = CVL_IPLAllocSrcBuffer32();
    call.dst = CVL_IPLAllocDstBuffer32();
    ASSERT_TRUE(call.src && call.dst);
  }
  // Writes (10, 20, 30, 40) into every pixel of `image`, 3 or 4 bytes each.
  void fill(uint8_t* image, int channels) {
    for (size_t i = 0; i < e().canvas_pixels(); ++i)
      for (int c = 0; c < channels; ++c) image[i * channels + c] = uint8_t(10 * (c + 1));
  }
  void expect_layer(uint16_t r, uint16_t a) {
    const Layer& layer = e().slot(2);
    for (int y = 0; y < layer.height; ++y)
      for (int x = 0; x < layer.width; ++x) {
        const test::Pixel p = test::read_pixel(layer, x, y);
        ASSERT_EQ(p[0], r) << x << "," << y;
        ASSERT_EQ(p[3], a) << x << "," << y;
      }
  }
  EffectCall call;
};

TEST_F(EffectFrames, Frame24ChangesColourAndKeepsAlphaBitForBit) {
  frame_24(call, true, [&](Rgb24Pair pair) {
    fill(pair.dst, 3);
    return pair.dst;
  });
  expect_layer(10 * 256, 0x80AB);
  EXPECT_FALSE(e().ipl.src24);
  EXPECT_FALSE(e().ipl.dst24);
}

TEST_F(EffectFrames, FramesPAndRWriteAlpha) {
  frame_r(call, [&] {
    fill(call.dst, 4);
    return true;
  });
  expect_layer(10 * 256, 40 * 256);
  test::give_slot_pixels(2, 0x4000, 0x8000, 0xC000, 0x80AB);
  frame_p(call, [&] {
    fill(call.dst, 4);
    call.dst[3] = 40;
    return true;
  });
  // The destination is un-premultiplied before loading: colour 10 at alpha 40 grows.
  EXPECT_EQ(test::read_pixel(e().slot(2), 1, 1)[3], 40 * 256);
  EXPECT_GT(test::read_pixel(e().slot(2), 1, 1)[0], 10 * 256);
}

TEST_F(EffectFrames, AFailedOperationLeavesTheLayerAlone) {
  frame_r(call, [&] {
    fill(call.dst, 4);
    return false;
  });
  frame_l(call, [&] {
    fill(call.src, 4);
    return false;
  });
  frame_24(call, true, [&](Rgb24Pair pair) -> const uint8_t* {
    fill(pair.dst, 3);
    return nullptr;
  });
  expect_layer(0x4000, 0x80AB);
}

TEST(EffectSliderMappings, RecurringConventions) {
  EXPECT_EQ(slider_angle(0.0f), -180);
  EXPECT_EQ(slider_angle(50.0f), 0);
  EXPECT_EQ(slider_angle(100.0f), 180);
  EXPECT_EQ(slider_offset(0.0f, 640), -640);
  EXPECT_EQ(slider_offset(50.0f, 640), 0);
  EXPECT_EQ(slider_offset(100.0f, 640), 640);
  EXPECT_DOUBLE_EQ(warp_corner_shift(200, 50.0f), 0.0);
  EXPECT_DOUBLE_EQ(warp_corner_shift(200, 0.0f), 100.0);
  EXPECT_DOUBLE_EQ(warp_corner_shift(200, 100.0f, 0.04), -400.0);
  const int32_t remap[][2] = {{0, 12}, {1, 0}, {12, 11}, {13, 13}, {-1, -1}};
  for (const auto& r : remap) EXPECT_EQ(generator_i2(r[0]), r[1]) << r[0];
  EXPECT_DOUBLE_EQ(saturation_factor(0.0f), -2.0);
  EXPECT_DOUBLE_EQ(saturation_factor(50.0f), 1.0);
  EXPECT_DOUBLE_EQ(saturation_factor(100.0f), 3.0);
  EffectCall call;
  call.width = 400;
  call.height = 300;
  call.s[0] = 10.0f;
  EXPECT_NEAR(gaussian_sigma(call), 4.6, 1e-9);
  call.f[0] = 1;
  EXPECT_NEAR(gaussian_sigma(call), 2.0, 1e-9);
}

}  // namespace
}  // namespace cvl
