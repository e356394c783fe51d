#include "imaging/geometry/resample.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "imaging/filters/blur.h"

namespace cvl::imaging {
namespace {

ImageView view8(std::vector<uint8_t>& px, int w, int h, int ch) { return {px.data(), w, h, ch, w * ch}; }
ImageView16 view16(std::vector<uint16_t>& px, int w, int h, int ch) { return {px.data(), w, h, ch, w * ch * 2}; }

TEST(Resample, SameSizeResizeCopiesEveryChannelCount) {
  for (int ch : {1, 2, 3, 4}) {
    std::vector<uint8_t> src(5 * 3 * ch), dst(src.size(), 0);
    std::iota(src.begin(), src.end(), 7);
    resize_bilinear(view8(src, 5, 3, ch), view8(dst, 5, 3, ch));
    EXPECT_EQ(dst, src) << ch << " channels";
  }
}

TEST(Resample, BilinearGrowthInterpolatesBetweenCentres) {
  std::vector<uint8_t> src{0, 255}, dst(4);
  resize_bilinear(view8(src, 2, 1, 1), view8(dst, 4, 1, 1));
  EXPECT_EQ(dst, (std::vector<uint8_t>{0, 64, 191, 255}));
}

TEST(Resample, SixteenBitResizeKeepsFullValues) {
  std::vector<uint16_t> src(3 * 3 * 4, 65535), dst(7 * 5 * 4, 0);
  resize_bilinear(view16(src, 3, 3, 4), view16(dst, 7, 5, 4));
  for (uint16_t v : dst) ASSERT_EQ(v, 65535);
  std::vector<uint16_t> small(2 * 2 * 4);
  decimate_area(view16(dst, 7, 5, 4), view16(small, 2, 2, 4));
  for (uint16_t v : small) ASSERT_EQ(v, 65535);
}

TEST(Resample, DecimationAveragesTheCoveredBlocksRounded) {
  // 4 x 2 grey -> 2 x 1: blocks {0, 1, 1, 1} (0.75 -> 1) and {10, 20, 30, 41} (25.25 -> 25).
  std::vector<uint8_t> src{0, 1, 10, 20, 1, 1, 30, 41}, dst(2);
  decimate_area(view8(src, 4, 2, 1), view8(dst, 2, 1, 1));
  EXPECT_EQ(dst, (std::vector<uint8_t>{1, 25}));
  // Uneven: 3 -> 2 covers {0} and {1, 2}.
  std::vector<uint8_t> row{9, 100, 201}, two(2);
  decimate_area(view8(row, 3, 1, 1), view8(two, 2, 1, 1));
  EXPECT_EQ(two, (std::vector<uint8_t>{9, 151}));
}

TEST(Resample, GreyUsesIntegerLumaWeightsAndIgnoresAlpha) {
  struct Case {
    uint8_t r, g, b, a, grey;
  } cases[] = {{255, 255, 255, 0, 255}, {0, 0, 0, 255, 0}, {255, 0, 0, 255, 77},
               {0, 255, 0, 255, 149},   {0, 0, 255, 9, 29}, {128, 128, 128, 255, 128}};
  std::vector<uint8_t> src;
  for (const Case& c : cases) src.insert(src.end(), {c.r, c.g, c.b, c.a});
  std::vector<uint8_t> grey(std::size(cases));
  to_grey8(view8(src, int(std::size(cases)), 1, 4), view8(grey, int(std::size(cases)), 1, 1));
  for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(grey[i], cases[i].grey) << i;
}

TEST(Blur, FlatPlanesStayFlatAndAnImpulseSpreadsEvenly) {
  std::vector<uint16_t> flat(9 * 7, 65535);
  blur_plane16(flat.data(), 9, 7, 9, 2);
  for (uint16_t v : flat) ASSERT_EQ(v, 65535);

  std::vector<uint8_t> dot(21 * 21, 0);
  dot[10 * 21 + 10] = 255;
  blur_plane8(dot.data(), 21, 21, 21, 1, 1);
  // One 3 x 3 box pass spreads 255 to 255 / 3 / 3 after rounding on each axis (85, then 28).
  for (int y = 9; y <= 11; ++y)
    for (int x = 9; x <= 11; ++x) EXPECT_EQ(dot[size_t(y * 21 + x)], 28);
  EXPECT_EQ(dot[8 * 21 + 10], 0);
}

}  // namespace
}  // namespace cvl::imaging
