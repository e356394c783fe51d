#include "mask/selection_shapes.h"

#include <gtest/gtest.h>

#include "support/canvas_fixture.h"

namespace cvl {
namespace {

class SelectionShapes : public test::CanvasTest {
 protected:
  uint16_t mask(int x, int y) { return e().mask[size_t(y) * e().canvas_width + x]; }
  int count(uint16_t word) {
    int n = 0;
    for (size_t i = 0; i < e().canvas_pixels(); ++i) n += e().mask[i] == word;
    return n;
  }
};

TEST_F(SelectionShapes, RectangleStrengthSetsTheWordInsideBothCorners) {
  struct Case {
    int strength;
    uint16_t inside;
  } cases[] = {{100, 0}, {50, 32768}, {0, 65535}, {1, 65280 - 2 * 256}};
  for (const Case& c : cases) {
    CVL_ClearMask(0, 0, 0);
    CVL_IPLMaskRectangle(9, 7, 3, 2, c.strength);  // corners in either order, both included
    EXPECT_EQ(mask(3, 2), c.inside) << c.strength;
    EXPECT_EQ(mask(9, 7), c.inside);
    EXPECT_EQ(mask(2, 2), 65535);
    EXPECT_EQ(mask(10, 7), 65535);
    EXPECT_EQ(mask(3, 8), 65535);
    EXPECT_EQ(count(c.inside), c.inside == 65535 ? 16 * 12 : 7 * 6);
  }
}

TEST_F(SelectionShapes, TheRoundTripRoundsTheRestOfTheMask) {
  e().mask[0] = 12345;   // saved as grey 207, loaded back as 65280 - 207 * 256
  e().mask[1] = 300;
  e().mask[2] = 65280;   // grey 0: back fully open
  CVL_IPLMaskRectangle(-5, -5, -1, -1, 100);  // off the canvas: draws nothing, still round-trips
  EXPECT_EQ(e().mask[0], 12288);
  EXPECT_EQ(e().mask[1], 256);
  EXPECT_EQ(e().mask[2], 65535);
  EXPECT_EQ(e().mask[3], 65535);
}

TEST_F(SelectionShapes, NarrowEllipseStillHasRadiusTwo) {
  CVL_IPLMaskEllipse(6, 5, 5, 5, 100);  // a 2 x 1 box: radii raised to 2, centre (7, 7)
  EXPECT_EQ(count(0), 13);
  EXPECT_EQ(mask(7, 7), 0);
  EXPECT_EQ(mask(9, 7), 0);
  EXPECT_EQ(mask(7, 5), 0);
  EXPECT_EQ(mask(9, 8), 65535);
  EXPECT_EQ(mask(5, 5), 65535);

  CVL_ClearMask(0, 0, 0);
  CVL_IPLMaskEllipse(0, 0, 15, 11, 100);  // radii 7 and 5 about (7, 5)
  EXPECT_EQ(mask(0, 5), 0);
  EXPECT_EQ(mask(14, 5), 0);
  EXPECT_EQ(mask(15, 5), 65535);
  EXPECT_EQ(mask(7, 0), 0);
  EXPECT_EQ(mask(0, 0), 65535);
}

}  // namespace
}  // namespace cvl
