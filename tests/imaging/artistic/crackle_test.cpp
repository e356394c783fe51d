#include "imaging/artistic/crackle.h"

#include <gtest/gtest.h>

#include "imaging/test_pictures.h"

namespace cvl::imaging {
namespace {

TEST(Crackle, CracksDarkenOrLightenThinLinesAndLeaveTheTiles) {
  for (const bool light : {false, true}) {
    test::Picture src = test::flat(64, 48, 3, 128), dst = src;
    ASSERT_TRUE(crackle_image(src.view(), dst.view(), 16, light, false));
    int cracked = 0, kept = 0;
    for (size_t i = 0; i < dst.px.size(); i += 3) {
      if (dst.px[i] == 128) {
        ++kept;
        continue;
      }
      ++cracked;
      if (light)
        ASSERT_GT(dst.px[i], 128);
      else
        ASSERT_LT(dst.px[i], 128);
    }
    // The network is thin: a few pixels in every tile, most left alone.
    EXPECT_GT(cracked, 64 * 48 / 20) << light;
    EXPECT_GT(kept, 64 * 48 / 2) << light;
  }
}

TEST(Crackle, IsTheSameEveryTimeAndShadingOnlyDarkens) {
  test::Picture src = test::noise(40, 30, 3), a = src, b = src, shaded = src;
  ASSERT_TRUE(crackle_image(src.view(), a.view(), 10, false, false));
  ASSERT_TRUE(crackle_image(src.view(), b.view(), 10, false, false));
  EXPECT_EQ(a.px, b.px);
  ASSERT_TRUE(crackle_image(src.view(), shaded.view(), 10, false, true));
  for (size_t i = 0; i < a.px.size(); ++i) ASSERT_LE(shaded.px[i], a.px[i]);
  EXPECT_NE(shaded.px, a.px);
  EXPECT_FALSE(crackle_image(src.view(), a.view(), 1, false, false));
}

}  // namespace
}  // namespace cvl::imaging
