#include "imaging/artistic/watercolour_tint.h"

#include <gtest/gtest.h>

#include <vector>

namespace cvl::imaging {
namespace {

TEST(WatercolorTint, StrengthZeroCopiesAndFullStrengthLightensAndSoftens) {
  constexpr int w = 32, h = 16;
  std::vector<uint8_t> src(w * h * 4), dst(src.size());
  for (int i = 0; i < w * h; ++i) {
    const bool dark = (i % w) < 16;
    src[i * 4] = dark ? 40 : 200, src[i * 4 + 1] = 90, src[i * 4 + 2] = 60, src[i * 4 + 3] = 77;
  }
  const ImageView s{src.data(), w, h, 4, w * 4}, d{dst.data(), w, h, 4, w * 4};
  for (uint32_t flags : {0u, watercolour::kDarkEdges | watercolour::kGrain}) {
    ASSERT_TRUE(watercolour_tint(s, d, 0, flags));
    EXPECT_EQ(dst, src);
    ASSERT_TRUE(watercolour_tint(s, d, 1, flags));
    long lighter = 0;
    for (size_t i = 0; i < src.size(); i += 4) {
      lighter += dst[i + 1] - src[i + 1];
      ASSERT_EQ(dst[i + 3], 77);
    }
    EXPECT_GT(lighter, 0) << flags;
  }
  // Without the darkened edges the step between the halves is softened.
  ASSERT_TRUE(watercolour_tint(s, d, 1, 0));
  const uint8_t* row = &dst[size_t(8) * w * 4];
  EXPECT_GT(row[15 * 4], 40 + 20);
  EXPECT_LT(row[16 * 4], 200);
}

}  // namespace
}  // namespace cvl::imaging
