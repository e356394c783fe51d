#include <gtest/gtest.h>

#include "core/engine.h"
#include "effects/inhouse_fixture.h"

namespace cvl {
namespace {

using test::Px;

class InhouseDetail : public test::InhouseTest {
 protected:
  void SetUp() override { canvas(3, 3); }
  // A 3 x 3 source: the centre, and the left, right, above, below neighbours;
  // the corners take `corner`.
  void cross(Px centre, Px left, Px right, Px above, Px below, Px corner) {
    source({corner, above, corner, left, centre, right, corner, below, corner});
  }
  static Px grey(int g) { return {g, g, g, 255}; }
  void expect_border_is_copy() {
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 3; ++x)
        if (x != 1 || y != 1) EXPECT_EQ(dst(x, y), src(x, y)) << x << "," << y;
  }
};

TEST_F(InhouseDetail, AdaptiveBlurClassifiesByTheFirstNeighbourPastTheEdge) {
  struct Case {
    Px centre, left, right, above, below;
    std::initializer_list<int> sliders;
    Px expected;
  } cases[] = {
      // Bright: left is 100 darker; 0.5 of the way to the mean (100 + 0 + 0 + 20) / 4 = 30.
      {grey(200), grey(100), grey(0), grey(0), grey(20), {800, 500, 0}, {115, 115, 115, 255}},
      // Dark: left is 100 brighter; weight P3 = 0.25 gives trunc(7.5).
      {grey(0), grey(100), grey(0), grey(0), grey(20), {800, 0, 250}, {7, 7, 7, 255}},
      // Left decides before right: bright with weight 1, not dark with weight 0.
      {grey(100), grey(0), grey(200), grey(0), grey(0), {800, 1000, 0}, {50, 50, 50, 255}},
      // Nothing past the edge of 51: unchanged.
      {grey(100), grey(60), grey(140), grey(100), grey(100), {800, 1000, 1000}, grey(100)},
  };
  for (const Case& c : cases) {
    cross(c.centre, c.left, c.right, c.above, c.below, grey(33));
    ASSERT_EQ(run("Adaptive Blur", c.sliders), 1);
    EXPECT_EQ(dst(1, 1), c.expected);
    expect_border_is_copy();
  }
}

TEST_F(InhouseDetail, DetailBlurReplacesPixelsFarFromTheirNeighbourhoodMean) {
  const Px black{0, 0, 0, 255};
  cross({90, 180, 45, 255}, black, black, black, black, black);  // luminance 105, mean 11
  ASSERT_EQ(run("Detail Blur", {100}), 1);
  EXPECT_EQ(dst(1, 1), (Px{10, 20, 5, 255}));
  expect_border_is_copy();
  ASSERT_EQ(run("Detail Blur", {400}), 1);  // 94 is not above 102
  EXPECT_EQ(dst(1, 1), (Px{90, 180, 45, 255}));
}

TEST_F(InhouseDetail, DetailBlurReadingItsOwnWritesSeesTheNewPixels) {
  // With the copy flag set the blur reads the destination, so the second
  // interior pixel's window holds the first one's new value.
  canvas(4, 3);
  std::vector<Px> px(12, Px{0, 0, 0, 255});
  px[5] = {180, 180, 180, 255};
  px[6] = {90, 90, 90, 255};
  source(px);
  std::memcpy(ipl_buffer(engine(), IplBuffer::Dst32), ipl_buffer(engine(), IplBuffer::Src32), 12 * 4);
  ASSERT_EQ(run("Detail Blur", {100}, {}, 0, 1), 1);
  EXPECT_EQ(dst(1, 1)[0], 30);  // (180 + 90) / 9
  EXPECT_EQ(dst(2, 1)[0], 13);  // (30 + 90) / 9, not (180 + 90) / 9
}

TEST_F(InhouseDetail, LineArtCleanerWhitensDarkDotsInLightSurroundings) {
  struct Case {
    int lift;
    int expected;
  } cases[] = {{500, 255}, {900, 0}};  // the mean is 226 above the dot
  for (const Case& c : cases) {
    SetUp();
    cross({30, 30, 30, 255}, grey(220), grey(220), grey(220), grey(220), grey(220));
    ASSERT_EQ(run("Line Art Cleaner", {500, c.lift}), 1);
    EXPECT_EQ(dst(1, 1), (Px{c.expected, c.expected, c.expected, 255}));
    // The threshold step was loaded into the layer and became the source.
    EXPECT_EQ(src(0, 0), grey(255));
    EXPECT_EQ(src(1, 1), grey(0));
    EXPECT_EQ(test::read_pixel(e().slot(2), 1, 1)[0], 0);
    EXPECT_EQ(test::read_pixel(e().slot(2), 0, 0)[0] >> 8, 255);
  }
}

TEST_F(InhouseDetail, MaskDetailMarksOnlyPixelsStandingOutOnBothSidesOfAnAxis) {
  ASSERT_TRUE(e().mask);
  struct Case {
    Px left, right, above, below;
    bool detail;
  } cases[] = {
      {grey(0), grey(0), grey(100), grey(100), true},     // differs across
      {grey(100), grey(100), grey(0), grey(0), true},     // differs up and down
      {grey(0), grey(100), grey(0), grey(100), false},    // one side of each axis
      {{100, 100, 0, 255}, {100, 100, 0, 255}, grey(100), grey(100), true},  // blue alone
      {grey(90), grey(90), grey(90), grey(90), false},    // 10 is not above 25
  };
  for (const Case& c : cases) {
    for (size_t i = 0; i < 9; ++i) e().mask.get()[i] = 1234;
    cross(grey(100), c.left, c.right, c.above, c.below, grey(0));
    ASSERT_EQ(run("Mask Detail", {100, 250}), 1);
    EXPECT_EQ(e().mask.get()[4], c.detail ? 49151 : 1234);
    for (size_t i = 0; i < 9; ++i)
      if (i != 4) EXPECT_EQ(e().mask.get()[i], 1234) << i;
    EXPECT_EQ(dst(1, 1), grey(100)) << "the image is left as the copy";
  }
}

}  // namespace
}  // namespace cvl
