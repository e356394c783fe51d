#include "imaging/tone/duotone.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "imaging/tone/grey.h"
#include "imaging/tone/lightness.h"

namespace cvl::imaging {
namespace {

TEST(Duotone, PrintsTheGreyInOneInk) {
  std::vector<uint8_t> px;
  for (int v = 0; v < 256; v += 15) px.insert(px.end(), {uint8_t(v), uint8_t(255 - v), uint8_t(v / 2), 9});
  const std::vector<uint8_t> original = px;
  const int n = int(px.size() / 4);
  ASSERT_TRUE(duotone(ImageView{px.data(), n, 1, 4, n * 4}, 0, 1, 0));
  EXPECT_EQ(px, original) << "strength 0 keeps the picture";
  ASSERT_TRUE(duotone(ImageView{px.data(), n, 1, 4, n * 4}, 0, 1, 1));
  for (int i = 0; i < n; ++i) {
    const uint8_t* o = &original[size_t(i) * 4];
    const uint8_t* p = &px[size_t(i) * 4];
    // A red ink: red leads, green and blue are equal, the lightness is the grey.
    EXPECT_GE(p[0], p[1]);
    EXPECT_EQ(p[1], p[2]);
    EXPECT_NEAR(hsl_lightness(p), luma(o[0], o[1], o[2]), 1);
    EXPECT_EQ(p[3], 9);
  }
}

}  // namespace
}  // namespace cvl::imaging
