#include "layers/pixel_access.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/canvas_fixture.h"

namespace cvl {
namespace {

class PixelAccess : public test::CanvasTest {
 protected:
  void SetUp() override {
    make_canvas(8, 6, 16);
    test::give_slot_pixels(2, 0, 0, 0, 0);
    e().current_layer = &e().slot(2);
  }
  uint16_t* px(int x, int y) { return e().slot(2).data() + (y * 8 + x) * 4; }
};

TEST_F(PixelAccess, WideningByShiftAndNarrowingByHighByte) {
  std::vector<uint8_t> rgb(8 * 6 * 3, 255);
  rgb[0] = 1;
  CVL_LoadRGB24(rgb.data(), 8 * 3, 0);
  EXPECT_EQ(px(1, 0)[0], 65280);
  EXPECT_EQ(px(0, 0)[0], 256);
  EXPECT_EQ(px(0, 0)[3], 0);  // alpha untouched
  px(2, 0)[1] = 0x12FF;       // narrowing never rounds up
  std::vector<uint8_t> out(8 * 6 * 4);
  EXPECT_EQ(CVL_GetRGBA32Layer(out.data(), 8 * 4, 2), 6);
  EXPECT_EQ(out[4], 255);
  EXPECT_EQ(out[2 * 4 + 1], 0x12);
  EXPECT_EQ(CVL_GetRGBA32Layer(out.data(), 32, 9), 0);  // empty slot
}

TEST_F(PixelAccess, LoadReadsBgrAndMakesOpaque) {
  const uint8_t bgr[3 * 8] = {10, 20, 30};
  CVL_Load(bgr, 24, 100, 1);  // width beyond the canvas is cut to the canvas
  EXPECT_EQ(px(0, 0)[0], 30 << 8);
  EXPECT_EQ(px(0, 0)[2], 10 << 8);
  EXPECT_EQ(px(0, 0)[3], 65535);
  EXPECT_EQ(px(0, 1)[3], 0);
}

TEST_F(PixelAccess, ProbesClampWhileChannelGettersReturnZeroOutside) {
  uint16_t* p = px(0, 5);
  p[0] = 0x1100;
  p[1] = 0x2200;
  p[2] = 0x3300;
  p[3] = 0x4400;
  EXPECT_EQ(CVL_GetRGBAAtSurface(-5, 6 + 3), 0x11223344);
  EXPECT_EQ(CVL_GetColorAtSurface(-1, 100), 0x112233);
  EXPECT_EQ(CVL_GetRed64(0, 5), 0x1100);
  EXPECT_EQ(CVL_GetRed64(-1, 5), 0);
  EXPECT_EQ(CVL_GetAlpha64(0, 6), 0);
  EXPECT_EQ(CVL_GetRGBAAt(0, 0, nullptr), 0);
  EXPECT_EQ(CVL_GetColorAt(0, 0, nullptr), 0);
  p[3] = 255;  // alpha word non-zero but its high byte is 0
  EXPECT_EQ(CVL_GetColorAtSurface(0, 5), -1);
  EXPECT_EQ(CVL_GetColorAtTrace(0, 0), 0);  // trace layer has no pixels
  EXPECT_EQ(CVL_GetColorAtHistory(0, 0), 0);  // nothing to undo
}

TEST_F(PixelAccess, MaskProbeIsInvertedAndZeroWhenInactive) {
  e().mask[1] = 1000;
  EXPECT_EQ(CVL_GetMask64(1, 0), 64535);
  EXPECT_EQ(CVL_GetMask64(8, 0), 0);
  e().mask_enabled = 0;
  EXPECT_EQ(CVL_GetMask64(1, 0), 0);
  e().mask_enabled = 1;
  e().current_layer = nullptr;
  EXPECT_EQ(CVL_GetMask64(1, 0), 0);
}

TEST_F(PixelAccess, DataExtentsOfTransparentAndPaintedLayers) {
  int l = -1, t = -1, r = -1, b = -1;
  CVL_FindDataExtentsLayer(2, &l, &t, &r, &b);
  EXPECT_EQ(l, 8);
  EXPECT_EQ(t, 6);
  EXPECT_EQ(r, 0);
  EXPECT_EQ(b, 0);
  px(3, 1)[3] = 1;
  px(5, 4)[3] = 1;
  CVL_FindDataExtentsLayer(2, &l, &t, &r, &b);
  EXPECT_EQ(l, 3);
  EXPECT_EQ(t, 1);
  EXPECT_EQ(r, 5);
  EXPECT_EQ(b, 4);
  l = -7;
  CVL_FindDataExtentsLayer(7, &l, &t, &r, &b);  // empty slot: outputs unwritten
  EXPECT_EQ(l, -7);
}

TEST_F(PixelAccess, LoadToAlphaNeverRevealsTransparentPixels) {
  px(1, 0)[3] = 0x8000;
  std::vector<uint8_t> rgb(8 * 6 * 3, 200);
  CVL_LoadRGB24ToAlpha(rgb.data(), 24, 1);
  EXPECT_EQ(px(0, 0)[3], 0);
  EXPECT_EQ(px(1, 0)[3], 200 << 8);
  // A partial mask blends the source R byte into the old alpha.
  e().mask[1] = 32768;
  px(1, 0)[3] = 0x8000;
  CVL_LoadRGB24ToAlpha(rgb.data(), 24, 1);
  const uint32_t w = (65535u * 32768u) >> 16;
  EXPECT_EQ(px(1, 0)[3], (200 * w + ((0x8000 * (65535 - w)) >> 8)) >> 8);
}

TEST_F(PixelAccess, LoadRGB24SelectionWeights) {
  std::vector<uint8_t> rgb(8 * 6 * 3, 100);
  px(0, 0)[0] = px(1, 0)[0] = px(2, 0)[0] = 0x4000;
  e().mask[0] = 0x00FF;  // high byte 0: protected
  e().mask[1] = 0x7F00;  // high byte 127: w = 65535 * 128 >> 8
  CVL_LoadRGB24(rgb.data(), 24, 1);
  EXPECT_EQ(px(0, 0)[0], 0x4000);
  const uint32_t w = (65535u * 128u) >> 8;
  EXPECT_EQ(px(1, 0)[0], (100 * w + ((0x4000 * (65535 - w)) >> 8)) >> 8);
  EXPECT_EQ(px(2, 0)[0], 100 << 8);
  // Without the flag the mask is ignored.
  CVL_LoadRGB24(rgb.data(), 24, 0x100);
  EXPECT_EQ(px(0, 0)[0], 100 << 8);
}

TEST_F(PixelAccess, TextureMapWeightsTheLoad) {
  e().texture_map = Buffer<uint8_t>(e().canvas_pixels());
  std::fill_n(e().texture_map.get(), e().canvas_pixels(), uint8_t{200});
  e().texture_map[0] = 0;
  e().texture_map[1] = 64;
  std::vector<uint8_t> rgb(8 * 6 * 3, 100);
  CVL_LoadRGB24(rgb.data(), 24, 1);
  EXPECT_EQ(px(0, 0)[0], 0);
  const uint32_t w = (64u * 131070u + 65535u) >> 8;
  EXPECT_EQ(px(1, 0)[0], (100 * w) >> 8);
  EXPECT_EQ(px(2, 0)[0], 100 << 8);
}

TEST_F(PixelAccess, ClearMaskedWeightsByMaskAndOpensAlpha) {
  e().mask[0] = 0;
  e().mask[1] = 32768;
  px(1, 0)[0] = 0x1000;
  CVL_ClearMasked(200, 0, 0, 10);
  EXPECT_EQ(px(0, 0)[3], 0);
  EXPECT_EQ(px(1, 0)[0], (200u * 32768u + ((32767u * 0x1000u) >> 8)) >> 8);
  EXPECT_EQ(px(1, 0)[3], 65535);
  EXPECT_EQ(px(2, 0)[0], 200 << 8);
  EXPECT_EQ(px(2, 0)[3], 10 << 8);
  e().mask_enabled = 0;
  CVL_ClearMasked(1, 2, 3, 4);
  EXPECT_EQ(px(0, 0)[2], 3 << 8);
}

TEST_F(PixelAccess, RectReadsAndLayerCopies) {
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) px(x, y)[0] = static_cast<uint16_t>(y * 8 + x);
  uint16_t rect[2 * 3 * 4] = {};
  CVL_GetRGBA64LayerRect(rect, 2 * 8, 2, 5, 2, 2, 3);
  EXPECT_EQ(rect[0], 2 * 8 + 5);
  EXPECT_EQ(rect[4], 2 * 8 + 6);
  EXPECT_EQ(rect[2 * 4 * 2], 4 * 8 + 5);
  test::give_slot_pixels(3, 9, 9, 9, 9);
  CVL_CopyLayerData(2, 3);
  EXPECT_EQ(e().slot(3).data()[4 * 9], 9);
  CVL_CopyLayerData(2, 40);  // empty target: nothing happens
  std::vector<uint16_t> raw(8 * 6 * 4, 7);
  CVL_SetLayerData(raw.data(), 3);
  EXPECT_EQ(CVL_GetRGBAAtLayer(0, 0, 3), 0);
  EXPECT_EQ(e().slot(3).data()[5], 7);
  EXPECT_EQ(CVL_SetRGBA64Layer(raw.data(), 64, 12), 0);
  EXPECT_EQ(CVL_SetRGBA64Layer(raw.data(), 64, 3), 6);
}

TEST(PixelConvert, CallerBufferConversions) {
  const uint8_t rgb[6] = {30, 60, 91, 1, 2, 3};
  uint8_t rgba[8] = {0, 0, 0, 77, 0, 0, 0, 78};
  CVL_RGBToRGBA(rgba, 2, 1, rgb);
  EXPECT_EQ(rgba[0], 30);
  EXPECT_EQ(rgba[3], 77);
  CVL_RGBToRGBAlpha(rgba, 2, 1, rgb);
  EXPECT_EQ(rgba[3], (30 + 60 + 91) / 3);
  EXPECT_EQ(rgba[7], 2);
  uint8_t grey[6];
  CVL_RGBAlphaToRGB(grey, 2, 1, rgba);
  EXPECT_EQ(grey[0], 60);
  EXPECT_EQ(grey[5], 2);
  uint8_t back[6];
  CVL_RGBAToRGB(back, 2, 1, rgba);
  EXPECT_EQ(back[2], 91);

  const uint16_t src[2 * 2 * 4] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xAB00, 0xCDFF, 0x0100, 0xFFFF};
  uint8_t out[4] = {};
  CVL_RGBA64RectToRGBA32(src, 1, 1, 1, 1, 2, 0, out);
  EXPECT_EQ(out[0], 0xAB);
  EXPECT_EQ(out[1], 0xCD);
  EXPECT_EQ(out[3], 0xFF);
  CVL_GetRGBA32FromRGBA64Rect(nullptr, 4, src, 16, 0, 0, 1, 1);  // null: nothing
  CVL_GetRGBA32FromRGBA64Rect(out, 4, src, 16, 0, 0, 0, 1);
  EXPECT_EQ(out[0], 0xAB);
}

}  // namespace
}  // namespace cvl
