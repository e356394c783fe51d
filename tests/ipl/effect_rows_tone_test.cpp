#include <gtest/gtest.h>

#include "support/canvas_fixture.h"

namespace cvl {
namespace {

using ToneRows = test::CanvasTest;

TEST_F(ToneRows, NegativeInvertsColourKeepsAlphaAndTwiceRestores) {
  test::give_slot_pixels(2, 0x1200, 0x8000, 0xF000, 0xFF00);
  CVL_SetLayer(2);
  ASSERT_NE(CVL_IPLAllocSrcBuffer32(), nullptr);
  ASSERT_NE(CVL_IPLAllocDstBuffer32(), nullptr);
  const auto negative = [] {
    CVL_IPLImageProcess(0, "Negative", 0, 500, 500, 500, 500, 500, 500, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "");
  };
  negative();
  EXPECT_EQ(test::read_pixel(e().slot(2), 3, 4), (test::Pixel{0xED00, 0x7F00, 0x0F00, 0xFF00}));
  negative();
  EXPECT_EQ(test::read_pixel(e().slot(2), 3, 4), (test::Pixel{0x1200, 0x8000, 0xF000, 0xFF00}));
}

}  // namespace
}  // namespace cvl
