#include <gtest/gtest.h>

#include "ipl/layer_patterns.h"

namespace cvl {
namespace {

using SeamCarving = test::CanvasTest;

TEST_F(SeamCarving, SelectedPixelsAreKeptWhileTheMaskIsEnabled) {
  // A flat layer whose columns are told apart only by a faint blue ramp: with
  // the left half selected, every seam goes through the right half.
  test::give_slot_pixels(1, 0x8000, 0x8000, 0, 0xFF00);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 16; ++x) test::pixel_at(e().slot(1), x, y)[2] = uint16_t(x << 8);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 16; ++x) e().mask[size_t(y) * 16 + x] = x < 8 ? 65535 : 0;
  CVL_IPLSeamCarvingRGBA(11, 14, 0);
  const Layer& layer = e().slot(1);
  ASSERT_EQ(layer.width, 11);
  ASSERT_EQ(layer.height, 14);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 8; ++x) ASSERT_EQ(test::read_pixel(layer, x, y)[2], x << 8);
  // Rows below the carved picture are transparent.
  EXPECT_EQ(test::read_pixel(layer, 4, 13), (test::Pixel{0, 0, 0, 0}));
}

TEST_F(SeamCarving, ALayerShorterThanThePictureTakesItsTopRows) {
  test::give_coordinate_layer(1);
  CVL_EnableMask(0);
  CVL_IPLSeamCarvingRGBA(16, 5, 0);
  EXPECT_EQ(e().slot(1).height, 5);
  EXPECT_EQ(test::origin_of(e().slot(1), 3, 4), (test::Origin{3, 4}));
}

}  // namespace
}  // namespace cvl
