#include "mask/mask_alpha.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/canvas_fixture.h"

namespace cvl {
namespace {

class MaskAlpha : public test::CanvasTest {
 protected:
  static constexpr int W = 8, H = 4;
  void SetUp() override { make_canvas(W, H, 16); }
  uint16_t& mask(int x, int y) { return e().mask[y * W + x]; }
};

TEST_F(MaskAlpha, AlphaIsWeightedByTheMaskHighByte) {
  struct Case {
    uint16_t m;
    uint8_t alpha, expected;
  } cases[] = {
      {0x00FF, 200, 0},    // high byte 0 blocks
      {0xFF00, 200, 200},  // high byte 255 keeps
      {0x7F00, 200, 100},  // 200 * 128 >> 8
      {0x0100, 255, 1},    // 255 * 2 >> 8
      {0xFEFF, 255, 254},
  };
  std::vector<uint8_t> image(W * H * 4, 0);
  for (int i = 0; i < 5; ++i) {
    mask(i, 1) = cases[i].m;
    image[(W + i) * 4 + 3] = cases[i].alpha;
    image[(W + i) * 4] = 9;
  }
  CVL_ApplyMaskToAlpha_RGBA32(image.data());
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(image[(W + i) * 4 + 3], cases[i].expected) << cases[i].m;
    EXPECT_EQ(image[(W + i) * 4], 9);  // colour untouched
  }
}

TEST_F(MaskAlpha, RectangleReadsTheMaskAtItsCanvasPosition) {
  mask(5, 2) = 0;
  mask(6, 2) = 0x7F00;
  // Canvas rectangle (4, 1)-(6, 2) with a padded pitch.
  const int pitch = 3 * 4 + 4;
  std::vector<uint8_t> rect(pitch * 2, 200);
  CVL_ApplyMaskToAlphaRect_RGBA32(rect.data(), pitch, 4, 1, 6, 2);
  EXPECT_EQ(rect[pitch + 1 * 4 + 3], 0);
  EXPECT_EQ(rect[pitch + 2 * 4 + 3], 100);
  EXPECT_EQ(rect[pitch + 0 * 4 + 3], 200);
  EXPECT_EQ(rect[3], 200);
  EXPECT_EQ(rect[pitch - 1], 200);  // padding untouched
}

TEST_F(MaskAlpha, RectangleOffTheCanvasEdgeTouchesOnlyTheCanvasPart) {
  for (int y = 0; y < H; ++y) {
    for (int x = 0; x < W; ++x) mask(x, y) = 0;
  }
  // (-2, -1)-(9, 4): two columns left, one right, one row above and one below.
  const int w = 12, h = 6;
  std::vector<uint8_t> rect(w * h * 4, 200);
  CVL_ApplyMaskToAlphaRect_RGBA32(rect.data(), w * 4, -2, -1, 9, 4);
  auto alpha = [&](int x, int y) { return rect[(y * w + x) * 4 + 3]; };
  EXPECT_EQ(alpha(2, 1), 0);  // canvas (0, 0)
  EXPECT_EQ(alpha(9, 4), 0);  // canvas (7, 3)
  EXPECT_EQ(alpha(1, 1), 200);
  EXPECT_EQ(alpha(10, 1), 200);
  EXPECT_EQ(alpha(2, 0), 200);
  EXPECT_EQ(alpha(2, 5), 200);
}

TEST_F(MaskAlpha, ReplaceByAlphaRangeRecoloursTheCallerImageOnly) {
  std::vector<uint8_t> image(W * H * 4, 0);
  for (int i = 0; i < W * H; ++i) image[i * 4 + 3] = static_cast<uint8_t>(i * 8);
  // Alpha 128 +- 12 (5 %): 120, 128, 136.
  CVL_ReplaceFromRGBAImageAlphaRange(image.data(), 128, 5, 1, 2, 3, 255);
  int replaced = 0;
  for (int i = 0; i < W * H; ++i) {
    if (image[i * 4] == 1) {
      ++replaced;
      EXPECT_EQ(image[i * 4 + 1], 2);
      EXPECT_EQ(image[i * 4 + 2], 3);
      EXPECT_EQ(image[i * 4 + 3], 255);
    }
  }
  EXPECT_EQ(replaced, 3);
  EXPECT_EQ(image[15 * 4], 1);
  EXPECT_EQ(e().mask[15], 65535);
}

}  // namespace
}  // namespace cvl
