#include "imaging/tone/colour_balance.h"

#include <gtest/gtest.h>

#include "imaging/tone/lightness.h"

namespace cvl::imaging {
namespace {

TEST(ColourBalance, ShiftsTheChosenTonesMostAndCanKeepLightness) {
  // Dark, middle and light greys.
  uint8_t px[3 * 3] = {30, 30, 30, 128, 128, 128, 230, 230, 230};
  ColourBalance b;
  b.cyan_red = 1;
  b.yellow_blue = -1;
  b.tone = 0.5;
  ASSERT_TRUE(adjust_colour_balance(ImageView{px, 3, 1, 3, 9}, b));
  EXPECT_EQ(px[3 + 1], 128) << "green not asked to move";
  EXPECT_GT(px[3], 128 + 90) << "mid tones move the most toward red";
  EXPECT_LT(px[3 + 2], 128 - 90) << "and away from blue";
  EXPECT_LT(px[0] - 30, px[3] - 128) << "shadows move less";
  EXPECT_LT(px[6] - 230, px[3] - 128) << "highlights move less";

  uint8_t kept[4] = {90, 120, 150, 7};
  const double before = hsl_lightness(kept);
  b.keep_lightness = true;
  ASSERT_TRUE(adjust_colour_balance(ImageView{kept, 1, 1, 4, 4}, b));
  EXPECT_GT(kept[0], 90);
  EXPECT_NEAR(hsl_lightness(kept), before, 1);
  EXPECT_EQ(kept[3], 7);
}

}  // namespace
}  // namespace cvl::imaging
