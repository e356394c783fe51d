#include "imaging/artistic/gauzy.h"

#include <gtest/gtest.h>

#include "imaging/test_pictures.h"

namespace cvl::imaging {
namespace {

TEST(Gauzy, KeepsAUniformPictureUnlessLifted) {
  for (const GauzyBlend blend : {GauzyBlend::Lighten, GauzyBlend::Darken}) {
    test::Picture src = test::flat(20, 12, 3, 90), dst = src;
    ASSERT_TRUE(gauzy_image(src.view(), dst.view(), 4, 1, 0, blend));
    EXPECT_EQ(dst.px, src.px);
  }
  test::Picture src = test::flat(20, 12, 3, 90), dst = src;
  ASSERT_TRUE(gauzy_image(src.view(), dst.view(), 4, 0.5f, 1, GauzyBlend::Lighten));
  EXPECT_EQ(dst.at(5, 5)[0], 135);  // halfway to the doubled 180
}

TEST(Gauzy, GlowsIntoTheDarkAndStrengthZeroChangesNothing) {
  // A bright square on black.
  test::Picture src = test::flat(30, 30, 3, 0), dst = src;
  for (int y = 10; y < 20; ++y)
    for (int x = 10; x < 20; ++x) src.at(x, y)[0] = src.at(x, y)[1] = src.at(x, y)[2] = 250;
  ASSERT_TRUE(gauzy_image(src.view(), dst.view(), 3, 1, 0, GauzyBlend::Screen));
  EXPECT_GT(dst.at(8, 15)[0], 20);         // light spills out
  EXPECT_GE(dst.at(15, 15)[0], 250);       // and the square keeps its light
  ASSERT_TRUE(gauzy_image(src.view(), dst.view(), 3, 0, 1, GauzyBlend::Screen));
  EXPECT_EQ(dst.px, src.px);
}

}  // namespace
}  // namespace cvl::imaging
