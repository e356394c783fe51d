#include "mask/mask_layer.h"

#include <gtest/gtest.h>

#include "support/canvas_fixture.h"

namespace cvl {
namespace {

class MaskLayer : public test::CanvasTest {
 protected:
  void SetUp() override {
    make_canvas(W, H, 16);
    test::give_slot_pixels(2, 0, 0, 0, 1234);
    CVL_SetLayer(2);
  }
  uint16_t* px(int x, int y) { return e().slot(2).data() + (y * W + x) * 4; }
  uint16_t& mask(int x, int y) { return e().mask[y * W + x]; }
  static constexpr int W = 8, H = 4;
};

TEST_F(MaskLayer, GreyLevelOfTheLayerBecomesProtection) {
  struct Case {
    uint16_t r, g, b, expected;
  } cases[] = {
      {0, 0, 0, 65535},       {255, 255, 257, 65535},  // mean 255: open
      {256, 256, 256, 65024}, {65280, 65280, 65280, 0}, {65281, 65281, 65281, 0}, {65535, 0, 0, 65280 - 21845},
  };
  for (int i = 0; i < 6; ++i) {
    uint16_t* p = px(i, 1);
    p[0] = cases[i].r, p[1] = cases[i].g, p[2] = cases[i].b;
  }
  CVL_CreateMaskFromImage();
  for (int i = 0; i < 6; ++i) EXPECT_EQ(mask(i, 1), cases[i].expected) << i;
  EXPECT_EQ(mask(0, 0), 65535);  // black layer pixels
}

TEST_F(MaskLayer, MaskBecomesAnOpaqueGreyImageNeverBrighterThanWidenedWhite) {
  const uint16_t words[] = {0, 254, 255, 256, 40000, 65535};
  const uint16_t grey[] = {65280, 65280, 65280, 65279, 25535, 0};
  for (int i = 0; i < 6; ++i) mask(i, 2) = words[i];
  CVL_CreateImageFromMask();
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(px(i, 2)[0], grey[i]) << words[i];
    EXPECT_EQ(px(i, 2)[2], grey[i]);
    EXPECT_EQ(px(i, 2)[3], 65535);
  }
}

TEST_F(MaskLayer, AlphaAndMaskCopyEachOtherVerbatim) {
  mask(3, 3) = 0x1234;
  CVL_CreateAlphaFromMask();
  EXPECT_EQ(px(3, 3)[3], 0x1234);
  EXPECT_EQ(px(0, 0)[3], 65535);
  EXPECT_EQ(px(3, 3)[0], 0);  // colour untouched
  px(1, 1)[3] = 77;
  CVL_CreateMaskFromAlpha();
  EXPECT_EQ(mask(1, 1), 77);
  EXPECT_EQ(mask(3, 3), 0x1234);
}

TEST_F(MaskLayer, LayerSmallerThanTheCanvasIsNotOverrun) {
  Layer& small = e().slot(3);
  small.width = 2;
  small.height = 2;
  small.row_stride = 8;
  small.pixels = Buffer<uint16_t>(2 * 2 * 4);
  std::fill_n(small.data(), 16, uint16_t{65280});
  CVL_SetLayer(3);
  CVL_CreateMaskFromImage();
  EXPECT_EQ(mask(1, 1), 0);
  EXPECT_EQ(mask(2, 1), 65535);  // outside the layer: untouched
  CVL_CreateImageFromMask();
  EXPECT_EQ(small.data()[0], 65280);
}

}  // namespace
}  // namespace cvl
