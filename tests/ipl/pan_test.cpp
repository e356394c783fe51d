#include <gtest/gtest.h>

#include "ipl/layer_patterns.h"

namespace cvl {
namespace {

class Pan : public test::CanvasTest {
 protected:
  void SetUp() override {
    make_canvas(8, 4, 16);
    test::give_coordinate_layer(2);
    CVL_SetLayer(2);
  }
  void with_buffers() {
    CVL_IPLAllocSrcBuffer32();
    CVL_IPLAllocDstBuffer32();
    // Panning composites over the layer, so start from a clear one.
    for (size_t i = 0; i < e().canvas_pixels() * 4; ++i) e().slot(2).data()[i] = 0;
  }
};

TEST_F(Pan, NeedsBothWorkingImages) {
  CVL_IPLAllocSrcBuffer32();
  CVL_IPLPan(1, 0, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(test::origin_of(e().slot(2), 5, 1), (test::Origin{5, 1}));
}

TEST_F(Pan, EdgeModesShiftWrapRepeatOrFill) {
  struct Case {
    int32_t mode;
    test::Pixel left_column;  // what lands in column 0 after a shift of 2 to the right
  };
  const Case cases[] = {
      {0, {0, 0, 0, 0}},                      // uncovered and transparent
      {1, {6 << 8, 1 << 8, 2 << 8, 0xFF00}},  // wrapped from column 6
      {2, {0, 1 << 8, 2 << 8, 0xFF00}},       // column 0 repeated
      {3, {10 << 8, 20 << 8, 30 << 8, 0xFF00}},
  };
  for (const Case& c : cases) {
    SetUp();
    with_buffers();
    CVL_IPLPan(2, 0, c.mode, 10, 20, 30, 255, 0);
    EXPECT_EQ(test::read_pixel(e().slot(2), 0, 1), c.left_column) << c.mode;
    EXPECT_EQ(test::origin_of(e().slot(2), 5, 1), (test::Origin{3, 1})) << c.mode;
  }
}

TEST_F(Pan, AnUnknownEdgeModeChangesNothing) {
  with_buffers();
  CVL_IPLPan(2, 0, 7, 10, 20, 30, 255, 0);
  EXPECT_EQ(test::read_pixel(e().slot(2), 4, 1), (test::Pixel{0, 0, 0, 0}));
}

}  // namespace
}  // namespace cvl
