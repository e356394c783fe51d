#include <gtest/gtest.h>

#include "ipl/layer_patterns.h"
#include "layers/layer_stack.h"

namespace cvl {
namespace {

class Orientation : public test::CanvasTest {
 protected:
  void SetUp() override {
    make_canvas(30, 20, 16);
    test::give_coordinate_layer(1);
    test::give_coordinate_layer(2);
    test::give_coordinate_layer(0);  // the trace layer is never touched
    CVL_SetLayerOptions(2, 1, 0, 100, "Normal");  // makes slot 2 the top layer
  }
};

TEST_F(Orientation, QuarterTurnsSwapTheLayerSizeAndMovePixelsExactly) {
  struct Case {
    void (*turn)();
    // Where the pixel now at (x, y) of the 20 x 30 result came from.
    test::Origin (*from)(int x, int y);
  };
  const Case cases[] = {
      {CVL_IPLRotateRight, [](int x, int y) { return test::Origin{y, 19 - x}; }},
      {CVL_IPLRotateLeft, [](int x, int y) { return test::Origin{29 - y, x}; }},
  };
  for (const Case& c : cases) {
    SetUp();
    c.turn();
    for (int slot : {1, 2}) {
      const Layer& layer = e().slot(slot);
      ASSERT_EQ(layer.width, 20);
      ASSERT_EQ(layer.height, 30);
      ASSERT_EQ(layer.row_stride, 80);
      for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 20; ++x) ASSERT_EQ(test::origin_of(layer, x, y), c.from(x, y)) << slot << " " << x << "," << y;
    }
    EXPECT_EQ(e().slot(0).width, 30);
    EXPECT_EQ(test::origin_of(e().slot(0), 3, 4), (test::Origin{3, 4}));
    EXPECT_EQ(e().canvas_width, 30);  // the host resizes the canvas itself
  }
}

TEST_F(Orientation, TurnsOfATallCanvasKeepEveryPixel) {
  make_canvas(300, 200, 16);
  test::give_coordinate_layer(1);
  CVL_IPLRotateLeft();
  EXPECT_EQ(e().slot(1).width, 200);
  EXPECT_EQ(e().slot(1).height, 300);
  EXPECT_EQ(test::origin_of(e().slot(1), 0, 0), (test::Origin{299 & 0xFF, 0}));
  EXPECT_EQ(test::origin_of(e().slot(1), 199, 299), (test::Origin{0, 199}));
}

TEST_F(Orientation, FlipsMirrorEveryLayerButTheTraceLayer) {
  CVL_IPLFlipHorizontal();
  EXPECT_EQ(test::origin_of(e().slot(1), 0, 5), (test::Origin{29, 5}));
  EXPECT_EQ(test::origin_of(e().slot(2), 29, 19), (test::Origin{0, 19}));
  CVL_IPLFlipVertical();
  EXPECT_EQ(test::origin_of(e().slot(2), 29, 19), (test::Origin{0, 0}));
  EXPECT_EQ(test::origin_of(e().slot(0), 0, 0), (test::Origin{0, 0}));
}

TEST_F(Orientation, FlipsKeepLockedAlphaInPlaceWhileTurnsCarryIt) {
  // Alpha marks the left column only.
  for (int slot : {1, 2})
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 30; ++x) test::pixel_at(e().slot(slot), x, y)[3] = x == 0 ? 0xFF00 : 0x1000;
  e().slot(2).lockAlpha = 1;
  CVL_IPLFlipHorizontal();
  EXPECT_EQ(test::pixel_at(e().slot(2), 0, 3)[3], 0xFF00);  // locked: alpha stayed
  EXPECT_EQ(test::origin_of(e().slot(2), 0, 3).x, 29);      // but colour moved
  EXPECT_EQ(test::pixel_at(e().slot(1), 29, 3)[3], 0xFF00);  // unlocked: alpha moved
  CVL_IPLRotateRight();
  // A right turn takes the left column to the top row, alpha with it, and the lock comes back.
  EXPECT_EQ(test::pixel_at(e().slot(2), 5, 0)[3], 0xFF00);
  EXPECT_EQ(test::pixel_at(e().slot(2), 5, 1)[3], 0x1000);
  EXPECT_EQ(e().slot(2).lockAlpha, 1);
}

TEST_F(Orientation, ALayerThatCannotBeMadeAgainLeavesItsSlotEmpty) {
  fail_next_layer_allocations(1);
  CVL_IPLRotateRight();
  EXPECT_FALSE(e().slot(1).has_pixels());
  EXPECT_EQ(e().slot(2).width, 20);
  EXPECT_EQ(test::origin_of(e().slot(2), 19, 0), (test::Origin{0, 0}));
}

}  // namespace
}  // namespace cvl
