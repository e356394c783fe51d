#include "core/tool_settings.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "support/canvas_fixture.h"

namespace cvl {
namespace {

using test::CanvasTest;

TEST(ToolSettings, EightBitColoursWidenByShiftAndAlphaIsOpaque) {
  CVL_SetColor(255, 128, 0);
  EXPECT_EQ(tool().paint_color, (std::array<uint16_t, 4>{65280, 32768, 0, 65535}));
  CVL_SetColor16(65535, 1, 257);
  EXPECT_EQ(tool().paint_color, (std::array<uint16_t, 4>{65535, 1, 257, 65535}));
  CVL_SetColorBanks(255, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10);
  EXPECT_EQ(tool().color_banks[0], (std::array<uint16_t, 4>{65280, 0, 256, 65535}));
  EXPECT_EQ(tool().color_banks[1], (std::array<uint16_t, 4>{512, 768, 1024, 65535}));
  EXPECT_EQ(tool().color_banks[3], (std::array<uint16_t, 4>{2048, 2304, 2560, 65535}));
}

TEST(ToolSettings, ZeroBlendStrengthKeepsThePreviousKeep) {
  CVL_SetBlendStrength(100);
  CVL_SetBlendPrimaryColorStrength(56);
  EXPECT_EQ(tool().blend_keep, 156);
  EXPECT_EQ(tool().blend_primary_keep, 200);
  CVL_SetBlendStrength(0);
  CVL_SetBlendPrimaryColorStrength(0);
  EXPECT_EQ(tool().blend_strength, 0);
  EXPECT_EQ(tool().blend_keep, 156);
  EXPECT_EQ(tool().blend_primary_strength, 0);
  EXPECT_EQ(tool().blend_primary_keep, 200);
}

TEST(ToolSettings, SettersStoreTheirDerivedValues) {
  struct AlphaCase {
    int percent, scale;
  };
  for (const AlphaCase c : {AlphaCase{50, 64}, {100, 128}, {1, 1}, {25, 32}, {0, 0}, {99, 126}}) {
    CVL_SetAlpha(c.percent);
    EXPECT_EQ(tool().opacity_percent, c.percent);
    EXPECT_EQ(tool().opacity_scale, c.scale) << c.percent;
  }
  struct MixCase {
    int strength, keep, shift;
  };
  for (const MixCase c : {MixCase{255, 1, 16}, {127, 129, 0}, {0, 256, -16}, {256, 0, 16}, {191, 65, 8}, {134, 122, 0}}) {
    CVL_SetMixMode(7, c.strength);
    EXPECT_EQ(tool().mix_mode, 7);
    EXPECT_EQ(tool().mix_keep, c.keep) << c.strength;
    EXPECT_EQ(tool().mix_shift, c.shift) << c.strength;
  }
  CVL_SetDensity(256);
  EXPECT_EQ(tool().density_threshold, 255);  // every grit byte, 255 included, paints
  CVL_SetBlendRemix(0x1FF);
  EXPECT_EQ(tool().blend_remix, 0xFF);
}

TEST(ToolSettings, RotationSineComesFromTheDoubleAngleAndCosineFromTheStoredFloat) {
  CVL_SetRotateBrushMode(1, 180);
  EXPECT_EQ(tool().rotate_mode, 1);
  EXPECT_EQ(tool().rotate_degrees, 180);
  EXPECT_FLOAT_EQ(tool().rotate_angle, 3.14159f);
  // sin(3.14159) = 2.6536e-6 while the sine of the float angle would be 2.5352e-6.
  EXPECT_NEAR(tool().rotate_sin, 2.65358979e-6, 1e-12);
  EXPECT_FLOAT_EQ(tool().rotate_cos, -1.0f);
}

std::vector<int32_t> scale_entries(int n) {
  return {tool().scale_table.begin(), tool().scale_table.begin() + n};
}

TEST(ToolSettings, ScaleTableSamplesTheTipPixelNearestEachFootprintCentre) {
  CVL_SetSize(40);
  EXPECT_EQ(tool().brush_size, 40);
  EXPECT_EQ(tool().scaled_size, 40);
  EXPECT_EQ(tool().scale_table[39], 39);

  CVL_SetScaleSize(0);
  EXPECT_EQ(tool().scaled_size, 1);
  EXPECT_EQ(tool().scale_table[0], 20);

  CVL_SetScaleSize(20);
  std::vector<int32_t> odd;
  for (int i = 1; i < 40; i += 2) odd.push_back(i);
  EXPECT_EQ(scale_entries(20), odd);

  CVL_SetScaleSize(500);  // never larger than the brush
  EXPECT_EQ(tool().scaled_size, 40);
  EXPECT_EQ(tool().scale_table[0], 0);
  EXPECT_EQ(tool().scale_table[39], 39);

  // The step is the single-precision 13.333333 (just below 40 / 3), so the middle
  // entry falls short of 20.
  CVL_SetScaleSize(3);
  EXPECT_EQ(scale_entries(3), (std::vector<int32_t>{6, 19, 33}));
}

TEST(ToolSettings, ScaleSizeStaysBelowTheTableLength) {
  CVL_SetSize(1000);
  CVL_SetScaleSize(1000);
  EXPECT_EQ(tool().scaled_size, 999);
  // 499.5 * 1000/999 is exactly 500; the float step lands just below it.
  EXPECT_EQ(tool().scale_table[499], 499);
  EXPECT_EQ(tool().scale_table[998], 999);
  CVL_SetSize(5000);  // beyond the table: only its 1000 entries are written
  EXPECT_EQ(tool().scale_table[999], 999);
  CVL_SetSize(40);
}

TEST_F(CanvasTest, PixelVariationTablesAreBuiltOnlyForPositiveAmounts) {
  e().pix_color_vary_table.data.reset();
  e().pix_lum_vary_table.data.reset();
  CVL_SetPixColorVary(0);
  CVL_SetPixLumVary(-3);
  EXPECT_FALSE(e().pix_color_vary_table.data);
  EXPECT_FALSE(e().pix_lum_vary_table.data);
  EXPECT_EQ(tool().pix_lum_vary, -3);
  CVL_SetPixColorVary(5);
  CVL_SetPixLumVary(9);
  EXPECT_EQ(e().pix_color_vary_table.length, 3u * 32);
  EXPECT_EQ(e().pix_color_vary_table.modulus, 1000);
  EXPECT_EQ(e().pix_lum_vary_table.length, 3u * 32);
  EXPECT_EQ(e().pix_lum_vary_table.modulus, 256);
}

TEST_F(CanvasTest, SetToolStoresArgumentsSelectsNormalMixAndClearsOneDabSwitches) {
  CVL_SetSize(8);
  CVL_SetMixMode(12, 200);
  CVL_SetBlendStrength(0);
  CVL_TempDisableBlend();
  CVL_SetEraseModeOn();
  CVL_SetMaskMakerOn();
  e().drawing_length = 77;
  CVL_SetTool(0.75f, 0, 11, 22, 0x1C8, 5, 9, 40, 60, 0x101, 1, 0x200, 1, "", "", 30);
  const ToolSettings& t = tool();
  EXPECT_FLOAT_EQ(t.tip_strength, 0.75f);
  EXPECT_EQ(t.grit_dot_chance, 11);
  EXPECT_EQ(t.grit_dot_fill, 22);
  EXPECT_EQ(t.tip_softness, 0xC8);
  EXPECT_EQ(t.color_vary, 5);
  EXPECT_EQ(t.drawing_length_reset, 9);
  EXPECT_EQ(t.blend_strength, 40);
  EXPECT_EQ(t.blend_keep, 216);
  EXPECT_EQ(t.blend_primary_keep, 196);
  EXPECT_EQ(t.blend_remix, 1);
  EXPECT_EQ(t.tip_invert, 0);
  EXPECT_EQ(t.tool_angle, 30);
  EXPECT_EQ(t.mix_mode, 32);
  EXPECT_EQ(t.mix_strength, 200);
  EXPECT_EQ(t.blend_disabled_once | t.erase_once | t.mask_maker_on, 0);
  // No grit and a round tip: the stroke countdown is not touched.
  EXPECT_EQ(e().drawing_length, 77);
  EXPECT_EQ(e().brush_alpha[4 * 32 + 4], 49151);  // trunc(65535 * 0.75)
}

}  // namespace
}  // namespace cvl
