#include <gtest/gtest.h>

#include "support/canvas_fixture.h"

namespace cvl {
namespace {

using BlurRows = test::CanvasTest;

int32_t run(const char* name, int32_t s1, int32_t s2 = 500) {
  return CVL_IPLImageProcess(0, name, 0, s1, s2, 500, 500, 500, 500, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "");
}

// An opaque layer, black on the left half and white on the right.
void paint_step(Engine& e) {
  Layer& layer = e.slot(2);
  for (int y = 0; y < layer.height; ++y)
    for (int x = 0; x < layer.width; ++x) {
      uint16_t* p = test::pixel_at(layer, x, y);
      const uint16_t v = x < layer.width / 2 ? 0 : 0xFF00;
      p[0] = p[1] = p[2] = v, p[3] = 0xFF00;
    }
}

TEST_F(BlurRows, GaussianBlurSoftensAStepAndKeepsAFlatLayer) {
  make_canvas(40, 10, 32);
  test::give_slot_pixels(2, 0x4000, 0x8000, 0xC000, 0xFF00);
  CVL_SetLayer(2);
  ASSERT_NE(CVL_IPLAllocSrcBuffer32(), nullptr);
  ASSERT_NE(CVL_IPLAllocDstBuffer32(), nullptr);
  run("Gaussian Blur", 100);
  EXPECT_EQ(test::read_pixel(e().slot(2), 7, 3), (test::Pixel{0x4000, 0x8000, 0xC000, 0xFF00}));

  paint_step(e());
  run("Gaussian Blur", 50);  // sigma 2.6
  const test::Pixel left = test::read_pixel(e().slot(2), 19, 5), right = test::read_pixel(e().slot(2), 20, 5);
  EXPECT_GT(left[0], 0x1000);
  EXPECT_LT(right[0], 0xF000);
  EXPECT_EQ(test::read_pixel(e().slot(2), 0, 5)[0], 0);
  EXPECT_EQ(left[3], 0xFF00);
}

TEST_F(BlurRows, RadiantKeepsBlackAndWhiteFarFromTheEdgeAndTheLayerOpaque) {
  make_canvas(40, 10, 32);
  test::give_slot_pixels(2, 0, 0, 0, 0xFF00);
  CVL_SetLayer(2);
  ASSERT_NE(CVL_IPLAllocSrcBuffer32(), nullptr);
  ASSERT_NE(CVL_IPLAllocDstBuffer32(), nullptr);
  paint_step(e());
  run("Radiant", 50, 1000);
  // Overlay of the blur keeps black black and white white far from the edge,
  // and the layer stays opaque.
  EXPECT_EQ(test::read_pixel(e().slot(2), 0, 5)[0], 0);
  EXPECT_EQ(test::read_pixel(e().slot(2), 39, 5)[0] >> 8, 0xFF);
  EXPECT_GE(test::read_pixel(e().slot(2), 20, 5)[3], 0xFF00);
}

}  // namespace
}  // namespace cvl
