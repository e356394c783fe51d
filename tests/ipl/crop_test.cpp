#include <gtest/gtest.h>

#include "ipl/layer_patterns.h"

namespace cvl {
namespace {

using Crop = test::CanvasTest;

TEST_F(Crop, CutsTheRectangleOutOfEveryLayer) {
  test::give_coordinate_layer(1);
  test::give_coordinate_layer(3, 0x80);
  e().slot(3).lockAlpha = 1;
  CVL_SetLayerOptions(3, 1, 1, 100, "Normal");
  CVL_IPLCrop(2, 3, 12, 7);
  for (int slot : {1, 3}) {
    const Layer& layer = e().slot(slot);
    ASSERT_EQ(layer.width, 10);
    ASSERT_EQ(layer.height, 4);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 10; ++x) ASSERT_EQ(test::origin_of(layer, x, y), (test::Origin{x + 2, y + 3}));
  }
  EXPECT_EQ(test::pixel_at(e().slot(3), 0, 0)[3], 0x8000);
  EXPECT_EQ(e().slot(3).lockAlpha, 1);
}

TEST_F(Crop, ARectangleOffTheCanvasOrEmptyChangesNothing) {
  test::give_coordinate_layer(1);
  const int rects[][4] = {{-1, 0, 5, 5}, {0, 0, 17, 5}, {0, 0, 5, 13}, {4, 4, 4, 8}, {6, 2, 3, 8}};
  for (const auto& r : rects) {
    CVL_IPLCrop(r[0], r[1], r[2], r[3]);
    EXPECT_EQ(e().slot(1).width, 16);
    EXPECT_EQ(e().slot(1).height, 12);
  }
}

}  // namespace
}  // namespace cvl
