#include "imaging/artistic/scribble.h"

#include <gtest/gtest.h>

#include "imaging/test_pictures.h"

namespace cvl::imaging {
namespace {

double mean(const test::Picture& p) {
  double s = 0;
  for (const uint8_t v : p.px) s += v;
  return s / p.px.size();
}

TEST(Scribble, InkFollowsDarkness) {
  const uint8_t greys[] = {255, 192, 128, 64, 0};
  double last = 256;
  for (const uint8_t g : greys) {
    test::Picture src = test::flat(48, 48, 3, g), dst = src;
    ASSERT_TRUE(scribble_image(src.view(), dst.view(), ScribbleInk::Black, true, 100));
    const double m = mean(dst);
    if (g == 255) {
      EXPECT_EQ(m, 255);  // no strokes on white
    }
    EXPECT_LT(m, last) << int(g);     // darker pictures, more ink
    last = m;
  }
}

TEST(Scribble, AmountZeroLeavesThePictureAndCrossingAddsInk) {
  test::Picture src = test::noise(30, 20, 3), dst = src;
  for (const ScribbleInk ink : {ScribbleInk::Black, ScribbleInk::Colour, ScribbleInk::Over}) {
    ASSERT_TRUE(scribble_image(src.view(), dst.view(), ink, true, 0));
    EXPECT_EQ(dst.px, src.px);
  }
  test::Picture dark = test::flat(30, 30, 3, 30), single = dark, crossed = dark;
  ASSERT_TRUE(scribble_image(dark.view(), single.view(), ScribbleInk::Black, false, 100));
  ASSERT_TRUE(scribble_image(dark.view(), crossed.view(), ScribbleInk::Black, true, 100));
  EXPECT_LT(mean(crossed), mean(single));
}

}  // namespace
}  // namespace cvl::imaging
