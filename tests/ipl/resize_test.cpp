#include <gtest/gtest.h>

#include <vector>

#include "ipl/geometry.h"
#include "ipl/layer_patterns.h"

namespace cvl {
namespace {

class Resize : public test::CanvasTest {
 protected:
  void SetUp() override {
    make_canvas(16, 12, 16);
    test::give_slot_pixels(1, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF);
    test::give_slot_pixels(2, 0x4000, 0x8000, 0xC000, 0xFF00);
    test::give_slot_pixels(0, 0x1100, 0x2200, 0x3300, 0xFF00);
    CVL_SetLayerOptions(2, 1, 1, 100, "Normal");  // alpha locked, top layer
  }
};

TEST_F(Resize, EveryFilterNameGivesTheAskedSizeAndKeepsUniformLayers) {
  ASSERT_EQ(resize_filter_count(), 18);
  for (int32_t i = 0; i < resize_filter_count(); ++i) {
    SetUp();
    const char* name = resize_filter_name(i);
    CVL_IPLResize(7, 25, name);
    for (int slot : {1, 2}) {
      const Layer& layer = e().slot(slot);
      ASSERT_EQ(layer.width, 7) << name;
      ASSERT_EQ(layer.height, 25) << name;
    }
    for (int y = 0; y < 25; ++y)
      for (int x = 0; x < 7; ++x) {
        const test::Pixel p = test::read_pixel(e().slot(2), x, y);
        ASSERT_NEAR(p[0] >> 8, 0x40, 1) << name;
        ASSERT_NEAR(p[2] >> 8, 0xC0, 1) << name;
        ASSERT_EQ(p[3], 0xFF00) << name;
      }
    EXPECT_EQ(e().slot(2).lockAlpha, 1) << name;
    EXPECT_EQ(e().slot(0).width, 16) << name;  // the trace layer stays
  }
}

TEST_F(Resize, UnknownOrMisspelledNamesChangeNothing) {
  for (const char* name : {"lanczos3", "Lanczos", "Nearest Neighbour", "", "Box ", static_cast<const char*>(nullptr)}) {
    CVL_IPLResize(8, 6, name);
    EXPECT_EQ(e().slot(1).width, 16);
    EXPECT_EQ(e().slot(2).height, 12);
  }
}

TEST_F(Resize, ResizedAlphaReachesALockedLayer) {
  // Left half transparent: after halving, the layer's alpha is the resampled
  // alpha even though the layer is locked.
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 8; ++x) test::pixel_at(e().slot(2), x, y)[3] = 0;
  CVL_IPLResize(8, 6, "Box");
  EXPECT_EQ(test::read_pixel(e().slot(2), 1, 1), (test::Pixel{0, 0, 0, 0}));
  EXPECT_EQ(test::read_pixel(e().slot(2), 6, 1), (test::Pixel{0x4000, 0x8000, 0xC000, 0xFF00}));
  EXPECT_EQ(e().slot(2).lockAlpha, 1);
}

TEST_F(Resize, TheCanvasCanFollowAndReadsTheResizedLayers) {
  // Columns 0..7 dark, 8..15 light: halved, the host resizes the canvas and
  // reads the layer back in the new geometry.
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 16; ++x) test::pixel_at(e().slot(2), x, y)[0] = x < 8 ? 0x1000 : 0xF000;
  CVL_IPLResize(8, 6, "Area Average");
  CVL_NewSize(nullptr, 8, 6, 16, 0);
  std::vector<uint8_t> rgba(8 * 6 * 4);
  ASSERT_NE(CVL_GetRGBA32Layer(rgba.data(), 8 * 4, 2), 0);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) ASSERT_EQ(rgba[size_t(y * 8 + x) * 4], x < 4 ? 0x10 : 0xF0) << x << "," << y;
}

}  // namespace
}  // namespace cvl
