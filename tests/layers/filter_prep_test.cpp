#include "layers/filter_prep.h"

#include <algorithm>
#include <array>
#include <vector>

#include "support/canvas_fixture.h"

namespace cvl {
namespace {

using Rgba = std::array<uint8_t, 4>;

class FilterPrepTest : public test::CanvasTest {
 protected:
  void SetUp() override { make_canvas(4, 3, 8); }
};

TEST_F(FilterPrepTest, PremultiplyAndBackKeepOpaqueAndTransparentPixels) {
  std::vector<Rgba> px = {{10, 200, 255, 255}, {10, 200, 255, 0}, {255, 100, 0, 128}};
  CVL_AdjustRGBA32PreFilter(px[0].data(), 3, 1);
  // trunc(128 / 255 * (c + 1)).
  EXPECT_EQ(px[2], (Rgba{128, 50, 0, 128}));
  CVL_AdjustRGBA32PostFilter(px[0].data(), 3, 1);
  EXPECT_EQ(px[0], (Rgba{10, 200, 255, 255}));
  EXPECT_EQ(px[1], (Rgba{10, 200, 255, 0}));
  EXPECT_EQ(px[2], (Rgba{255, 99, 0, 128}));  // min(255, c * 255 / a)
}

// Every (alpha, value) pair, both ways, against the formulas themselves.
TEST_F(FilterPrepTest, PremultiplyAndBackGiveTheFormulaForEveryAlphaAndValue) {
  std::vector<Rgba> px(256 * 256);
  for (int a = 0; a < 256; ++a)
    for (int v = 0; v < 256; ++v) px[size_t(a * 256 + v)] = {uint8_t(v), uint8_t(255 - v), uint8_t(v / 2), uint8_t(a)};
  std::vector<Rgba> pre = px, post = px;
  CVL_AdjustRGBA32PreFilter(pre[0].data(), 256, 256);
  CVL_AdjustRGBA32PostFilter(post[0].data(), 256, 256);
  for (size_t i = 0; i < px.size(); ++i) {
    const uint32_t a = px[i][3];
    for (int c = 0; c < 3; ++c) {
      const uint32_t v = px[i][size_t(c)];
      const bool kept = a == 0 || a == 255;
      ASSERT_EQ(pre[i][size_t(c)], kept ? v : uint8_t(a / 255.0 * (v + 1))) << a << " " << v;
      ASSERT_EQ(post[i][size_t(c)], kept ? v : std::min<uint32_t>(255, v * 255u / a)) << a << " " << v;
    }
  }
}

TEST_F(FilterPrepTest, SixteenBitPremultiplyAndBack) {
  std::array<uint16_t, 8> px = {65535, 1000, 0, 32768, 5, 6, 7, 0};
  CVL_AdjustRGBA64PreFilter(px.data(), 2, 1);
  EXPECT_EQ(px, (std::array<uint16_t, 8>{32768, 500, 0, 32768, 5, 6, 7, 0}));
  CVL_AdjustRGBA64PostFilter(px.data(), 2, 1);
  EXPECT_EQ(px, (std::array<uint16_t, 8>{65535, 999, 0, 32768, 5, 6, 7, 0}));
}

TEST_F(FilterPrepTest, AlphaCompositionPrepUnpremultipliesEveryVisiblePixelOfTheCanvas) {
  std::vector<Rgba> img(12, Rgba{64, 64, 64, 128});
  img[5] = {9, 9, 9, 0};
  CVL_AdjustRGBA32ForAlphaComp(0, img[0].data());
  EXPECT_EQ(img[0], (Rgba{64, 64, 64, 128}));
  CVL_AdjustRGBA32ForAlphaComp(1, img[0].data());
  EXPECT_EQ(img[11], (Rgba{127, 127, 127, 128}));
  EXPECT_EQ(img[5], (Rgba{9, 9, 9, 0}));
}

TEST_F(FilterPrepTest, SelectionWeightScalesAlphaByTextureAndMask) {
  std::vector<Rgba> img(12, Rgba{1, 2, 3, 255});
  CVL_AdjustRGBA32ByMaskAndTexture(img[0].data(), 4, 3);  // open mask, no texture: unchanged
  EXPECT_EQ(img[0][3], 255);
  e().mask[1] = 0x8000;  // w = 65535 * 32768 / 65536 = 32767
  e().texture_map = Buffer<uint8_t>(e().canvas_pixels());
  std::fill(e().texture_map.get(), e().texture_map.get() + 12, uint8_t{200});
  e().texture_map[2] = 64;  // w = (64 * 131070) >> 8 = 32767
  e().texture_map[3] = 0;
  CVL_AdjustRGBA32ByMaskAndTexture(img[0].data(), 4, 3);
  EXPECT_EQ(img[0][3], 255);
  EXPECT_EQ(img[1][3], 127);  // trunc(32767 / 65535 * 255)
  EXPECT_EQ(img[2][3], 127);
  EXPECT_EQ(img[3][3], 0);
  EXPECT_EQ(img[1][0], 1);  // colour untouched
}

TEST_F(FilterPrepTest, RectWeightReadsTheSelectionAtCanvasPositionsAndClips) {
  e().mask[4 + 0] = 0;  // canvas (0, 1)
  std::vector<Rgba> img(3 * 3, Rgba{1, 2, 3, 200});
  CVL_AdjustRGBA32RectByMaskAndTexture(img[0].data(), -1, 0, 3, 3);
  EXPECT_EQ(img[3 + 1][3], 0);    // image (1, 1) is canvas (0, 1)
  EXPECT_EQ(img[3 + 0][3], 200);  // image column 0 lies off the canvas
  EXPECT_EQ(img[0 + 1][3], 200);
}

TEST_F(FilterPrepTest, SetColorAlphaRecoloursPixelsBelowAlpha256AndClearsTheirAlpha) {
  test::give_slot_pixels(2, 1, 2, 3, 255);
  CVL_SetLayer(2);
  e().slot(2).data()[3] = 256;
  CVL_SetColorAlpha(255, 0, 0);
  EXPECT_EQ(std::vector<uint16_t>(e().slot(2).data(), e().slot(2).data() + 8),
            (std::vector<uint16_t>{1, 2, 3, 256, 65535, 0, 0, 0}));
}

}  // namespace
}  // namespace cvl
