#include <gtest/gtest.h>

#include "support/canvas_fixture.h"

namespace cvl {
namespace {

using ReliefRows = test::CanvasTest;

TEST_F(ReliefRows, Edge2DrawsAStepAsOneWhiteColumnAndKeepsAlpha) {
  make_canvas(24, 16, 32);
  test::give_slot_pixels(2, 0x3000, 0x3000, 0x3000, 0x8000);
  Layer& layer = e().slot(2);
  for (int y = 0; y < 16; ++y)
    for (int x = 12; x < 24; ++x) test::pixel_at(layer, x, y)[1] = 0xF000;
  CVL_SetLayer(2);
  ASSERT_NE(CVL_IPLAllocSrcBuffer32(), nullptr);
  ASSERT_NE(CVL_IPLAllocDstBuffer32(), nullptr);
  CVL_IPLImageProcess(0, "Edge2", 0, 250, 200, 500, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "");
  for (int y = 2; y < 14; ++y) {
    int white = 0;
    for (int x = 0; x < 24; ++x) {
      const test::Pixel p = test::read_pixel(e().slot(2), x, y);
      ASSERT_EQ(p[0], p[1]);
      ASSERT_EQ(p[1], p[2]);
      ASSERT_EQ(p[3], 0x8000) << "alpha kept";
      if (p[0]) {
        ++white;
        EXPECT_TRUE(x == 11 || x == 12) << x;
      }
    }
    EXPECT_EQ(white, 1) << "row " << y;
  }
}

}  // namespace
}  // namespace cvl
