#include "imaging/geometry/rotate.h"

#include <gtest/gtest.h>

#include <vector>

namespace cvl::imaging {
namespace {

TEST(RotateImage, BoxOfATurnedImage) {
  const struct {
    double degrees;
    int w, h, want_w, want_h;
  } cases[] = {{90, 300, 200, 200, 300}, {180, 300, 200, 300, 200}, {360, 7, 5, 7, 5}, {45, 10, 10, 15, 15}};
  for (const auto& c : cases) {
    int32_t rw = 0, rh = 0;
    rotated_pixel_size(static_cast<float>(c.degrees * 0.0174532925), c.w, c.h, rw, rh);
    EXPECT_EQ(rw, c.want_w) << c.degrees;
    EXPECT_EQ(rh, c.want_h) << c.degrees;
  }
}

TEST(RotateImage, QuarterTurnMovesPixelsWithoutBlurAndAlphaFollowsColour) {
  const int w = 3, h = 2;
  std::vector<uint8_t> src(w * h * 4);
  for (int i = 0; i < w * h; ++i) src[i * 4] = uint8_t(10 * (i + 1)), src[i * 4 + 3] = uint8_t(200 + i);
  std::vector<uint8_t> dst(h * w * 4, 9);
  const float quarter = static_cast<float>(90 * 0.0174532925);
  for (RotateFilter f : {RotateFilter::Nearest, RotateFilter::Bilinear}) {
    rotate_image({src.data(), w, h, 4, w * 4}, {dst.data(), h, w, 4, h * 4}, quarter, f);
    // Counter-clockwise on screen: the top-right source pixel comes to the top-left.
    EXPECT_EQ(dst[0], 30);
    EXPECT_EQ(dst[3], 202);
    EXPECT_EQ(dst[(2 * h + 1) * 4], 40);  // bottom-left source pixel ends bottom-right
    EXPECT_EQ(dst[(2 * h + 1) * 4 + 3], 203);
  }
}

}  // namespace
}  // namespace cvl::imaging
