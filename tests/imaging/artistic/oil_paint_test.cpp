#include "imaging/artistic/oil_paint.h"

#include <gtest/gtest.h>

#include <cstring>

#include "imaging/test_pictures.h"

namespace cvl::imaging {
namespace {

constexpr uint32_t kAllFlags[] = {0, kOilRound, kOilPerChannel, kOilRound | kOilPerChannel};

TEST(OilPaint, KeepsAUniformPictureForEveryBrushAndLevelCount) {
  for (const uint32_t flags : kAllFlags)
    for (const int32_t levels : {1, 7, 255})
      for (const int32_t radius : {0, 2, 12}) {
        test::Picture src = test::flat(15, 9, 3, 0), dst = test::flat(15, 9, 3, 1);
        for (size_t i = 0; i < src.px.size(); ++i) src.px[i] = uint8_t(40 + 60 * (i % 3));
        ASSERT_TRUE(oil_paint(src.view(), dst.view(), radius, levels, flags));
        EXPECT_EQ(dst.px, src.px) << flags << " " << levels << " " << radius;
      }
}

TEST(OilPaint, KeepsAStepSharpAndTakesTheCommonColour) {
  // Left of x = 7 dark red, right light blue; one stray grey pixel in the dark half.
  test::Picture src = test::flat(14, 9, 3, 0), dst = src;
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 14; ++x) {
      uint8_t* p = src.at(x, y);
      p[0] = x < 7 ? 120 : 20, p[1] = x < 7 ? 10 : 200, p[2] = x < 7 ? 10 : 240;
    }
  src.at(3, 4)[0] = src.at(3, 4)[1] = src.at(3, 4)[2] = 128;
  for (const uint32_t flags : kAllFlags) {
    ASSERT_TRUE(oil_paint(src.view(), dst.view(), 2, 32, flags));
    for (int y = 0; y < 9; ++y)
      for (int x = 0; x < 14; ++x) {
        const uint8_t* want = src.at(x < 7 ? 0 : 13, y);
        ASSERT_EQ(0, std::memcmp(dst.at(x, y), want, 3)) << flags << " at " << x << "," << y;
      }
  }
}

}  // namespace
}  // namespace cvl::imaging
