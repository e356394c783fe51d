// The artistic rows through the dispatcher: sizes and flags reach the filters
// as the sliders say.
#include <gtest/gtest.h>

#include "ipl/layer_patterns.h"
#include "support/canvas_fixture.h"

namespace cvl {
namespace {

class ArtisticRows : public test::CoordinateLayerTest {
 protected:
  int32_t run(const char* name, int32_t s1, int32_t s2 = 500, int32_t f1 = 0, int32_t f2 = 0) {
    return CVL_IPLImageProcess(0, name, 0, s1, s2, 500, 500, 500, 500, 0, 0, f1, f2, 0, 0, 0, 0, 0, 0, 0, "");
  }
  test::Pixel at(int x, int y) { return test::read_pixel(e().slot(2), x, y); }
};

TEST_F(ArtisticRows, MosaicTilesTheLayerInCellsOfHalfTheSlider) {
  start(20, 14);
  run("Mosaic", 80);  // cells of 4
  for (int y = 0; y < 14; ++y)
    for (int x = 0; x < 20; ++x) ASSERT_EQ(at(x, y), at(x / 4 * 4, y / 4 * 4)) << x << "," << y;
  // The first tile's red is the mean of x = 0..3 (as high bytes), rounded: 1.5 -> 2.
  EXPECT_EQ(at(0, 0)[0], 0x0200);
  EXPECT_NE(at(0, 0), at(4, 0));
  EXPECT_EQ(at(5, 5)[3], 0xFF00);
}

TEST_F(ArtisticRows, OilPaintKeepsAUniformLayerForEveryFlag) {
  for (const int32_t f : {0, 1}) {
    start(16, 12);
    test::give_slot_pixels(2, 0x3000, 0x9000, 0xC000, 0xFF00);
    run("Oil Paint", 1000, 0, f, f);  // widest brush; no levels counts as one
    EXPECT_EQ(at(8, 6), (test::Pixel{0x3000, 0x9000, 0xC000, 0xFF00})) << f;
    EXPECT_EQ(at(0, 0), (test::Pixel{0x3000, 0x9000, 0xC000, 0xFF00})) << f;
  }
}

TEST_F(ArtisticRows, WatercolorAndInkRunsItsRecipeAndKeepsTheLayerSize) {
  start(24, 16);
  EXPECT_EQ(run("Watercolor and Ink", 500, 500, 0, 1), 1);
  EXPECT_EQ(e().slot(2).width, 24);
  EXPECT_GE(at(10, 10)[3], 0xFF00);
}

}  // namespace
}  // namespace cvl
