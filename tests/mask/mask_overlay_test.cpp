#include "mask/mask_overlay.h"

#include <gtest/gtest.h>

#include "support/canvas_fixture.h"

namespace cvl {
namespace {

class MaskOverlay : public test::CanvasTest {
 protected:
  void SetUp() override {
    make_canvas(8, 8, 16);
    CVL_SetMaskOptions(255, 0, 0, 0, 0, 255, 1);  // red on odd squares, blue on even
  }
  void TearDown() override {
    CVL_DisplayMask(0);
    CVL_SetMaskOptions(0, 0, 0, 0, 0, 0, 0);
    test::CanvasTest::TearDown();
  }
};

TEST_F(MaskOverlay, OptionsStoreWidenedColoursAndFlagsGateTheOverlay) {
  const MaskDisplay& d = mask_display();
  EXPECT_EQ(d.colours[0][0], 65280);
  EXPECT_EQ(d.colours[1][2], 65280);
  EXPECT_EQ(d.full_strength, 1);
  EXPECT_FALSE(mask_overlay_on(d, engine()));
  EXPECT_EQ(CVL_DisplayMask(1), 1);
  EXPECT_TRUE(mask_overlay_on(d, engine()));
  EXPECT_EQ(CVL_EnableMask(0), 0);
  EXPECT_FALSE(mask_overlay_on(d, engine()));  // a disabled mask is not shown
}

TEST_F(MaskOverlay, CheckerPicksTheFirstColourOnOddSquares) {
  const MaskDisplay& d = mask_display();
  EXPECT_EQ(mask_overlay_colour(d, 0, 0), d.colours[1]);
  EXPECT_EQ(mask_overlay_colour(d, 31, 31), d.colours[1]);
  EXPECT_EQ(mask_overlay_colour(d, 32, 0), d.colours[0]);
  EXPECT_EQ(mask_overlay_colour(d, 0, 63), d.colours[0]);
  EXPECT_EQ(mask_overlay_colour(d, 32, 32), d.colours[1]);
}

TEST_F(MaskOverlay, PixelMixesCompositeAndCheckerColourByTheMask) {
  struct Case {
    uint16_t full, m;
    int cx;
    uint8_t b, g, r;
  } cases[] = {
      // Full strength: open shows the composite (a shade under its high byte, the
      // weights stop at 65535 / 65536), protected shows the checker colour.
      {1, 65535, 0, 0x1F, 0x3F, 0x7F},
      {1, 0, 0, 254, 0, 0},   // blue square: (65535 * 65280 >> 8) >> 16
      {1, 0, 32, 0, 0, 254},  // red square
      // Half strength: protected is an even mix, open still the composite.
      {0, 0, 32, 0x0F, 0x1F, 0xBF},
      {0, 65535, 32, 0x1F, 0x3F, 0x7F},
  };
  for (const Case& c : cases) {
    mask_display().full_strength = c.full;
    uint8_t bgr[3];
    // Composite (r, g, b) = (0x8000, 0x4000, 0x2000).
    mask_overlay_pixel(mask_display(), c.m, c.cx, 0, 0x8000, 0x4000, 0x2000, bgr);
    EXPECT_EQ(bgr[0], c.b) << c.full << ' ' << c.m << ' ' << c.cx;
    EXPECT_EQ(bgr[1], c.g);
    EXPECT_EQ(bgr[2], c.r);
  }
  // Half strength weight: m / 2 + 32767.
  EXPECT_EQ(mask_overlay_weight(0, 0), 32767u);
  EXPECT_EQ(mask_overlay_weight(65535, 0), 65534u);
  EXPECT_EQ(mask_overlay_weight(1000, 7), 1000u);
  EXPECT_EQ(mask_overlay_channel(65535, 65535, 65535), 255);  // no overflow at the top
}

}  // namespace
}  // namespace cvl
