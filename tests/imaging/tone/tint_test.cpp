#include "imaging/tone/tint.h"

#include <gtest/gtest.h>

#include <vector>

namespace cvl::imaging {
namespace {

TEST(Tint, TurnsHuesAroundTheGreyAxisAndLeavesGreys) {
  struct Case {
    int degrees;
    uint8_t in[3], out[3];
  };
  const Case cases[] = {
      {0, {200, 30, 90}, {200, 30, 90}},    {120, {255, 0, 0}, {0, 255, 0}},  {-120, {255, 0, 0}, {0, 0, 255}},
      {240, {0, 255, 0}, {255, 0, 0}},      {77, {128, 128, 128}, {128, 128, 128}},
      {180, {255, 255, 0}, {85, 85, 255}},  // the sum R + G + B stays
  };
  for (const Case& c : cases) {
    uint8_t px[4] = {c.in[0], c.in[1], c.in[2], 42};
    ASSERT_TRUE(adjust_tint(ImageView{px, 1, 1, 4, 4}, c.degrees));
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(px[k], c.out[k], 1) << c.degrees << " channel " << k;
    EXPECT_EQ(px[3], 42);
  }
}

}  // namespace
}  // namespace cvl::imaging
