#include <gtest/gtest.h>

#include <string>

#include "ipl/layer_patterns.h"

namespace cvl {
namespace {

class PageResize : public test::CanvasTest {
 protected:
  void SetUp() override {
    make_canvas(10, 6, 16);
    test::give_coordinate_layer(1);
    test::give_coordinate_layer(2);
    CVL_SetLayerOptions(2, 1, 0, 100, "Normal");
  }
};

TEST_F(PageResize, EachAnchorPlacesTheOldPicture) {
  // Growing 10 x 6 to 15 x 9: dx = 5, dy = 3, halves truncated.
  struct Case {
    const char* anchor;
    int x, y;
  };
  const Case cases[] = {{"TL", 0, 0}, {"TC", 2, 0}, {"TR", 5, 0}, {"ML", 0, 1}, {"MC", 2, 1},
                        {"MR", 5, 1}, {"BL", 0, 3}, {"BC", 2, 3}, {"BR", 5, 3}, {"XX", 0, 0},
                        {"mc", 0, 0}, {"CM", 0, 0}};
  for (const Case& c : cases) {
    SetUp();
    CVL_IPLResizePage(15, 9, c.anchor);
    const Layer& layer = e().slot(2);
    ASSERT_EQ(layer.width, 15);
    ASSERT_EQ(layer.height, 9);
    EXPECT_EQ(test::origin_of(layer, c.x, c.y), (test::Origin{0, 0})) << c.anchor;
    EXPECT_EQ(test::origin_of(layer, c.x + 9, c.y + 5), (test::Origin{9, 5})) << c.anchor;
    EXPECT_EQ(test::read_pixel(layer, c.x + 9, c.y + 5)[3], 0xFF00) << c.anchor;
  }
}

TEST_F(PageResize, NewAreaIsWhitePaperOnTheBackgroundAndClearElsewhere) {
  CVL_IPLResizePage(16, 10, "MC");
  for (int slot : {1, 2}) {
    const Layer& layer = e().slot(slot);
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 16; ++x) {
        const bool old = x >= 3 && x < 13 && y >= 2 && y < 8;
        const test::Pixel p = test::read_pixel(layer, x, y);
        if (old)
          ASSERT_EQ(test::origin_of(layer, x, y), (test::Origin{x - 3, y - 2}));
        else if (slot == 1)
          ASSERT_EQ(p, (test::Pixel{0xFF00, 0xFF00, 0xFF00, 0xFF00})) << x << "," << y;
        else
          ASSERT_EQ(p, (test::Pixel{0, 0, 0, 0})) << x << "," << y;
      }
  }
}

TEST_F(PageResize, ShrinkingCutsAroundTheAnchor) {
  CVL_IPLResizePage(4, 2, "BR");  // dx = -6, dy = -4
  EXPECT_EQ(test::origin_of(e().slot(2), 0, 0), (test::Origin{6, 4}));
  EXPECT_EQ(test::origin_of(e().slot(2), 3, 1), (test::Origin{9, 5}));
}

}  // namespace
}  // namespace cvl
