#include "brush/dab.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "brush/dab_fixture.h"
#include "brush/dab_frame.h"
#include "brush/grit.h"
#include "undo/stroke_rect.h"

namespace cvl {
namespace {

using test::DabTest;
using test::Pixel;

TEST_F(DabTest, FootprintNearTheCornerIsClippedAndWidensBothRectangles) {
  fill_tip(65535);
  reset_stroke_rect(e());
  CVL_CreatePaintLayer(100, "Normal");
  CVL_DrawDabGrit(2, 2, 0xFFFF, 0, 0);
  for (int32_t y = 0; y < e().canvas_height; ++y)
    for (int32_t x = 0; x < e().canvas_width; ++x)
      EXPECT_EQ(px(e().paint_layer, x, y)[3] != 0, x < 7 && y < 7) << x << "," << y;
  EXPECT_EQ(px(e().paint_layer, 0, 0), (Pixel{65280, 0, 0, 65534}));
  const StrokeRect& s = stroke_rect();
  EXPECT_EQ((std::array<int32_t, 4>{s.left, s.top, s.right, s.bottom}), (std::array<int32_t, 4>{0, 0, 7, 7}));
  const Layer& p = e().paint_layer;
  EXPECT_EQ((std::array<int32_t, 4>{p.changed_left, p.changed_top, p.changed_right, p.changed_bottom}),
            (std::array<int32_t, 4>{0, 0, 7, 7}));
}

TEST_F(DabTest, ClippedFootprintSamplesTheTipFromItsOffset) {
  CVL_CreatePaintLayer(100, "Normal");
  // Tip cell (row, column) -> the one canvas pixel it lands on for a dab at (2, 2).
  const struct {
    int32_t row, col, x, y;
  } cases[] = {{3, 3, 0, 0}, {3, 4, 1, 0}, {5, 3, 0, 2}, {9, 9, 6, 6}};
  for (const auto& c : cases) {
    CVL_ClearPaintLayer();
    fill_tip(0);
    tip(c.row, c.col) = 65535;
    CVL_DrawDabGrit(2, 2, 0xFF00, 0xFF00, 0xFF00);
    for (int32_t y = 0; y < 8; ++y)
      for (int32_t x = 0; x < 8; ++x)
        EXPECT_EQ(px(e().paint_layer, x, y)[3] != 0, x == c.x && y == c.y) << c.row << "," << c.col;
  }
}

TEST_F(DabTest, CoverageTakesOpacityTextureAndMask) {
  fill_tip(65535);
  CVL_CreatePaintLayer(100, "Normal");
  CVL_SetAlpha(50);  // V = (65535 * 64) >> 7 = 32767
  CVL_DrawDabGrit(8, 6, 0, 0, 0);
  EXPECT_EQ(px(e().paint_layer, 8, 6)[3], (32767u * 65535u) >> 16);

  CVL_SetAlpha(100);
  CVL_ClearPaintLayer();
  mask_at(8, 6) = 32768;  // V = (32768 * 65535) >> 16 = 32767
  mask_at(9, 6) = 0;
  CVL_DrawDabGrit(8, 6, 0, 0, 0);
  EXPECT_EQ(px(e().paint_layer, 8, 6)[3], (32767u * 65535u) >> 16);
  EXPECT_EQ(px(e().paint_layer, 9, 6)[3], 0) << "a closed mask word paints nothing";
  EXPECT_EQ(px(e().paint_layer, 7, 6)[3], 65534);

  CVL_SetAlpha(-5);
  CVL_ClearPaintLayer();
  CVL_DrawDabGrit(7, 6, 0, 0, 0);
  EXPECT_EQ(px(e().paint_layer, 7, 6)[3], 0) << "a negative opacity paints nothing";
  CVL_SetAlpha(100);

  test::give_slot_pixels(2, 65535, 65535, 65535, 65535);
  ASSERT_NE(CVL_CreateTexture(2), nullptr);  // white: 250 everywhere, V = (250 * 65535) >> 8
  CVL_ClearPaintLayer();
  CVL_DrawDabGrit(8, 6, 0, 0, 0);
  EXPECT_EQ(px(e().paint_layer, 7, 6)[3], (63999u * 65535u) >> 16);
  CVL_DeleteTexture();

  CVL_SetSolidBrushMode(1);
  CVL_ClearPaintLayer();
  CVL_DrawDabGrit(8, 6, 0, 0, 0);
  EXPECT_EQ(px(e().paint_layer, 8, 6)[3], 65534) << "solid mode gives full coverage to every covered pixel";
  EXPECT_EQ(px(e().paint_layer, 9, 6)[3], 0);
}

TEST_F(DabTest, GritBytesPaintUpToTheDensityThreshold) {
  use_brush(10, 1);
  fill_tip(65535);
  CVL_CreatePaintLayer(100, "Normal");
  const struct {
    uint8_t grit;
    int32_t density;
    bool paints;
  } cases[] = {{255, 256, true}, {255, 255, false}, {100, 101, true}, {100, 100, false}, {0, 0, false}};
  for (const auto& c : cases) {
    for (auto& b : e().grit_buffers) std::memset(b.get(), c.grit, b.size());
    CVL_SetDensity(c.density);
    CVL_ClearPaintLayer();
    CVL_DrawDabGrit(8, 6, 0, 0, 0);
    EXPECT_EQ(px(e().paint_layer, 8, 6)[3] != 0, c.paints) << int{c.grit} << " at density " << c.density;
  }
}

TEST_F(DabTest, ErasingWithBlobLockKeepsThinPixelsAndAFloorUnderSolidOnes) {
  fill_tip(65535);
  const uint16_t alphas[] = {8000, 8191, 8192, 20000, 65535};
  for (int32_t blob : {0, 1}) {
    paint_on_slot(2, {100, 200, 300, 65535});
    for (int32_t i = 0; i < 5; ++i) set_px(e().slot(2), 6 + i, 6, {100, 200, 300, alphas[i]});
    CVL_SetBlobLocked(blob);
    CVL_SetEraseModeOn();
    CVL_DrawDabGrit(8, 6, 0, 0, 0);
    const uint16_t kept[] = {8000, 8191, 9215, 9215, 9215};
    for (int32_t i = 0; i < 5; ++i)
      EXPECT_EQ(px(e().slot(2), 6 + i, 6), (Pixel{100, 200, 300, blob ? kept[i] : uint16_t{0}})) << blob << " " << i;
    EXPECT_EQ(tool().erase_once, 0) << "erasing lasts one dab";
  }
  CVL_SetBlobLocked(0);
  CVL_DrawDabGrit(8, 6, 0xFF00, 0, 0);
  EXPECT_EQ(px(e().slot(2), 8, 6), (Pixel{65279, 0, 0, 65535})) << "the next dab paints";
}

TEST_F(DabTest, AlphaIsWrittenOnlyWhereTheLayerAndLocksAllowIt) {
  fill_tip(65535);
  const struct {
    const char* what;
    int slot;
    bool paint_layer;
    int32_t lock_alpha, tool_alpha_lock, blob_lock, alpha_level;
    uint16_t alpha;
  } cases[] = {
      {"painting layer", 2, false, 0, 0, 0, 0, 65535},
      {"background keeps its alpha", 1, false, 0, 0, 0, 0, 30000},
      {"trace layer keeps its alpha", 0, false, 0, 0, 0, 0, 30000},
      {"layer alpha lock", 2, false, 1, 0, 0, 0, 30000},
      {"tool alpha lock", 2, false, 0, 1, 0, 0, 30000},
      {"alpha level", 2, false, 0, 0, 0, 1234, 1234},
      {"blob lock over a thick pixel", 2, false, 0, 0, 1, 0, 65535},
      {"paint layer ignores the layer's locks", 1, true, 1, 1, 0, 0, 65535},
  };
  for (const auto& c : cases) {
    CVL_DeletePaintLayer();
    paint_on_slot(c.slot, {100, 200, 300, 30000});
    e().slot(c.slot).lockAlpha = static_cast<uint8_t>(c.lock_alpha);
    CVL_SetAlphaLocked(c.tool_alpha_lock);
    CVL_SetBlobLocked(c.blob_lock);
    CVL_SetAlphaLevel(c.alpha_level);
    if (c.paint_layer) {
      CVL_CreatePaintLayer(100, "Normal");
      set_px(e().paint_layer, 8, 6, {100, 200, 300, 30000});
    }
    CVL_DrawDabGrit(8, 6, 0xFF00, 0, 0);
    const Layer& dest = c.paint_layer ? e().paint_layer : e().slot(c.slot);
    const Pixel p = px(dest, 8, 6);
    EXPECT_EQ(p[3], c.alpha) << c.what;
    EXPECT_GT(p[0], 60000) << c.what << ": the colour is painted";
  }
  CVL_SetColorLocked(1);
  CVL_SetAlphaLocked(0);
  CVL_DeletePaintLayer();
  paint_on_slot(2, {100, 200, 300, 30000});
  CVL_DrawDabGrit(8, 6, 0xFF00, 0, 0);
  EXPECT_EQ(px(e().slot(2), 8, 6), (Pixel{100, 200, 300, 65535})) << "colour lock keeps the colour";
}

TEST_F(DabTest, MaskMakerSelectsWithBlackDeselectsWithWhiteAndStaysOn) {
  fill_tip(65535);
  CVL_CreatePaintLayer(100, "Normal");
  mask_at(0, 0) = 0;
  CVL_SetMaskMakerOn();
  // Full coverage still weighs the old value by 1/65536 and truncates, so black
  // selects to one short of 65535 whatever the mask held.
  CVL_DrawDabGrit(8, 6, 0, 0, 0);
  EXPECT_EQ(mask_at(8, 6), 65534);
  EXPECT_EQ(mask_at(0, 0), 0) << "outside the footprint";
  EXPECT_EQ(tool().mask_maker_on, 1);
  CVL_DrawDabGrit(8, 6, 65280, 65280, 65280);
  EXPECT_EQ(mask_at(8, 6), 0);
  CVL_DrawDabGrit(8, 6, 0, 0, 0);
  EXPECT_EQ(mask_at(8, 6), 65534);
  CVL_DrawDabGrit(8, 6, 65280, 65280, 65280);
  CVL_SetEraseModeOn();
  CVL_DrawDabGrit(8, 6, 65280, 65280, 65280);
  EXPECT_EQ(mask_at(8, 6), 65534) << "erasing selects whatever the colour";
  EXPECT_EQ(px(e().paint_layer, 8, 6)[3], 0) << "mask dabs leave the layers alone";
  EXPECT_EQ(e().paint_layer.changed_right, 0) << "nor the paint layer's rectangle";
  use_brush(10);
  EXPECT_EQ(tool().mask_maker_on, 0);
}

TEST_F(DabTest, OneDabSwitchesEndWithTheirDab) {
  CVL_CreatePaintLayer(100, "Normal");
  // A colour dab clears all three, even when it lies wholly outside the canvas.
  CVL_TempDisableBlend();
  CVL_SetEraseModeOn();
  CVL_DrawDabGrit(-1000, -1000, 0, 0, 0);
  EXPECT_EQ(tool().blend_disabled_once, 0);
  EXPECT_EQ(tool().erase_once, 0);
  // A mask dab clears only the blend switch: erasing lasts the mask stroke.
  CVL_TempDisableBlend();
  CVL_SetEraseModeOn();
  CVL_DrawDabGritMask(8, 6);
  EXPECT_EQ(tool().blend_disabled_once, 0);
  EXPECT_EQ(tool().erase_once, 1);
}

TEST_F(DabTest, BlendingPaintsThePickedUpColourAndRemixesIt) {
  fill_tip(65535);
  CVL_CreatePaintLayer(100, "Normal");
  uint16_t* b = e().blend_buffer.pixels.get();
  for (size_t i = 0; i < static_cast<size_t>(e().brush_capacity) * e().brush_capacity; ++i) {
    b[i * 4] = 1000, b[i * 4 + 1] = 2000, b[i * 4 + 2] = 3000, b[i * 4 + 3] = 65535;
  }
  CVL_SetBlendStrength(128);
  CVL_SetBlendRemix(1);
  CVL_DrawDabGrit(8, 6, 0xFF00, 0, 0);
  EXPECT_EQ(px(e().paint_layer, 8, 6), (Pixel{1000, 2000, 3000, 65534}));
  // Onto a transparent pixel the remix keeps the source with alpha scaled by strength.
  const uint16_t* centre = b + (5 * static_cast<size_t>(e().brush_capacity) + 5) * 4;
  EXPECT_EQ((Pixel{centre[0], centre[1], centre[2], centre[3]}), (Pixel{1000, 2000, 3000, (128 * 65535) >> 8}));
  // Disabled for one dab, the paint colour goes on instead.
  CVL_TempDisableBlend();
  CVL_ClearPaintLayer();
  CVL_DrawDabGrit(8, 6, 0xFF00, 0, 0);
  EXPECT_EQ(px(e().paint_layer, 8, 6), (Pixel{65280, 0, 0, 65534}));
}

TEST_F(DabTest, RowsReachingPastTheBrushCapacityAreLeftUnpainted) {
  // An edge-clipped dab of a capacity-sized brush scaled by two would sample one
  // column past the tip; that column is not read (the buffers end there).
  make_canvas(16, 12, 20);
  use_brush(20);
  CVL_SetScaleSize(10);
  fill_tip(65535);
  CVL_CreatePaintLayer(100, "Normal");
  CVL_DrawDabGrit(4, 4, 0xFF00, 0, 0);
  for (int32_t y = 0; y < 9; ++y) EXPECT_EQ(px(e().paint_layer, 8, y)[3], 0) << y;
  EXPECT_EQ(px(e().paint_layer, 7, 8)[3], 65534);
}

// The span of a tip row's samples that are not 0, for every run [a, b) in rows
// of up to 20 samples (across the eight-sample steps and their tails), with
// samples that are not 0 just outside the row, which must not count.
TEST(DabTipSpan, RunsOfNonZeroSamplesAreFoundWhereverTheyLie) {
  for (int32_t n = 0; n <= 20; ++n)
    for (int32_t a = 0; a <= n; ++a)
      for (int32_t b = a; b <= n; ++b) {
        std::vector<uint16_t> guarded(static_cast<size_t>(n) + 16, 9);
        uint16_t* row = guarded.data() + 8;
        std::fill(row, row + n, uint16_t{0});
        if (a < b) row[a] = row[b - 1] = static_cast<uint16_t>(1 + a);
        const int32_t first = dab::first_nonzero(row, 0, n);
        EXPECT_EQ(first, a < b ? a : n) << n << " " << a << " " << b;
        EXPECT_EQ(dab::end_of_nonzero(row, 0, n), a < b ? b : 0) << n << " " << a << " " << b;
        EXPECT_EQ(dab::end_of_nonzero(row, first, n), a < b ? b : n) << n << " " << a << " " << b;
      }
}

}  // namespace
}  // namespace cvl
