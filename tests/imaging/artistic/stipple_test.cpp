#include "imaging/artistic/stipple.h"

#include <gtest/gtest.h>

#include "imaging/test_pictures.h"

namespace cvl::imaging {
namespace {

int dots(const test::Picture& p, uint8_t paper) {
  int n = 0;
  for (size_t i = 0; i < p.px.size(); i += 3) n += p.px[i] != paper;
  return n;
}

TEST(Stipple, DotsFollowDarknessAndDensity) {
  const struct {
    uint8_t grey;
    int32_t density;
    StippleInk ink;
    int lo, hi;  // dots of 400
  } cases[] = {
      {255, 50, StippleInk::Black, 0, 0},     {0, 50, StippleInk::Black, 400, 400},
      {0, 0, StippleInk::Black, 0, 0},        {128, 50, StippleInk::Black, 160, 240},
      {64, 100, StippleInk::Black, 400, 400}, {255, 50, StippleInk::White, 400, 400},
  };
  for (const auto& c : cases) {
    test::Picture src = test::flat(20, 20, 3, c.grey), dst = src;
    ASSERT_TRUE(stipple_image(src.view(), dst.view(), c.density, c.ink, 9));
    const int n = dots(dst, c.ink == StippleInk::White ? 0 : 255);
    EXPECT_GE(n, c.lo) << int(c.grey) << " " << c.density;
    EXPECT_LE(n, c.hi) << int(c.grey) << " " << c.density;
  }
}

TEST(Stipple, SameSeedSameDots) {
  test::Picture src = test::noise(20, 20, 3), a = src, b = src, c = src;
  ASSERT_TRUE(stipple_image(src.view(), a.view(), 50, StippleInk::Colour, 4));
  ASSERT_TRUE(stipple_image(src.view(), b.view(), 50, StippleInk::Colour, 4));
  ASSERT_TRUE(stipple_image(src.view(), c.view(), 50, StippleInk::Colour, 5));
  EXPECT_EQ(a.px, b.px);
  EXPECT_NE(a.px, c.px);
}

}  // namespace
}  // namespace cvl::imaging
