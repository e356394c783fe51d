#include "mask/mask_ops.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/canvas_fixture.h"

namespace cvl {
namespace {

class MaskOps : public test::CanvasTest {
 protected:
  void SetUp() override {
    make_canvas(W, H, 16);
    test::give_slot_pixels(2, 0, 0, 0, 65535);
    CVL_SetLayer(2);
  }
  uint16_t& mask(int x, int y) { return e().mask[y * W + x]; }
  static constexpr int W = 16, H = 12;
};

TEST_F(MaskOps, ClearMaskMapsTheGreyMeanOntoProtection) {
  struct Case {
    int r, g, b;
    uint16_t expected;
  } cases[] = {
      {0, 0, 0, 65535},                                      // black: open
      {255, 255, 256, 65535},                                // mean 255 still open
      {256, 256, 256, 65024},                                // 65280 - 256
      {300, 0, 0, 65535},                                    // mean 100
      {65280, 65280, 65280, 0},                              // white: fully protected
      {65535, 65535, 65535, 0},                              // above 65280 stays 0
      {1000, 2000, 3001, 63280}, {-300, -300, -300, 65535},  // signed mean below 255
  };
  for (const Case& c : cases) {
    CVL_ClearMask(c.r, c.g, c.b);
    EXPECT_EQ(mask(0, 0), c.expected) << c.r << ' ' << c.g << ' ' << c.b;
    EXPECT_EQ(mask(W - 1, H - 1), c.expected);
  }
}

TEST_F(MaskOps, InvertAndDataCopiesCoverTheWholePlane) {
  std::vector<uint16_t> in(W * H);
  for (size_t i = 0; i < in.size(); ++i) in[i] = static_cast<uint16_t>(i * 331);
  EXPECT_EQ(CVL_SetMaskData16(in.data()), W * H * 2);
  CVL_InvertMask();
  std::vector<uint16_t> out(W * H);
  EXPECT_EQ(CVL_GetMaskData16(out.data()), W * H * 2);
  for (size_t i = 0; i < in.size(); ++i) ASSERT_EQ(out[i], 65535 - in[i]) << i;
}

TEST_F(MaskOps, SaveThenLoadRoundsToMultiplesOf256AndKeepsOpen) {
  const uint16_t values[] = {0, 1, 255, 256, 0x1234, 0x80FF, 65279, 65280, 65534, 65535};
  for (size_t i = 0; i < std::size(values); ++i) mask(static_cast<int>(i), 3) = values[i];
  const int pitch = W * 3 + 5;  // padded rows
  std::vector<uint8_t> grey(pitch * H, 0xAA);
  CVL_SaveMask(grey.data(), pitch);
  EXPECT_EQ(grey[3 * pitch + 0], 255);        // protected is white
  EXPECT_EQ(grey[3 * pitch + 9 * 3 + 2], 0);  // open is black
  EXPECT_EQ(grey[3 * pitch + 4 * 3 + 1], 255 - 0x12);
  EXPECT_EQ(grey[pitch - 1], 0xAA);  // the padding is not written
  CVL_ClearMask(65280, 65280, 65280);
  CVL_LoadMask(grey.data(), pitch, W, H);
  for (size_t i = 0; i < std::size(values); ++i) {
    const uint16_t expected = (values[i] >> 8) == 255 ? 65535 : static_cast<uint16_t>(values[i] & 0xFF00);
    EXPECT_EQ(mask(static_cast<int>(i), 3), expected) << values[i];
  }
}

TEST_F(MaskOps, LoadMaskAveragesChannelsAndStaysOnTheCanvas) {
  const int pitch = 40 * 3;
  std::vector<uint8_t> rgb(pitch * 40, 0);
  auto set = [&](int x, int y, uint8_t r, uint8_t g, uint8_t b) {
    rgb[y * pitch + x * 3] = r;
    rgb[y * pitch + x * 3 + 1] = g;
    rgb[y * pitch + x * 3 + 2] = b;
  };
  set(0, 0, 255, 0, 0);  // mean 85
  set(1, 0, 1, 1, 0);    // mean 0: open
  set(2, 0, 255, 255, 255);
  CVL_ClearMask(65280, 65280, 65280);
  CVL_LoadMask(rgb.data(), pitch, 40, 40);  // larger than the canvas: only the canvas is written
  EXPECT_EQ(mask(0, 0), 65280 - 85 * 256);
  EXPECT_EQ(mask(1, 0), 65535);
  EXPECT_EQ(mask(2, 0), 0);
  EXPECT_EQ(mask(W - 1, H - 1), 65535);
  CVL_ClearMask(65280, 65280, 65280);
  CVL_LoadMask(rgb.data(), pitch, 2, 1);  // a part only
  EXPECT_EQ(mask(1, 0), 65535);
  EXPECT_EQ(mask(2, 0), 0);
  EXPECT_EQ(mask(0, 1), 0);
}

TEST_F(MaskOps, NothingHappensWithoutACanvas) {
  CVL_DeleteImage();
  std::vector<uint8_t> rgb(W * H * 3, 7);
  CVL_ClearMask(0, 0, 0);
  CVL_InvertMask();
  CVL_SaveMask(rgb.data(), W * 3);
  CVL_LoadMask(rgb.data(), W * 3, W, H);
  EXPECT_EQ(rgb[0], 7);
  EXPECT_EQ(CVL_GetMaskData16(nullptr), 0);
}

}  // namespace
}  // namespace cvl
