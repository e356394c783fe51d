#include "layers/blend_buffer.h"

#include <array>

#include "core/tool_settings.h"
#include "support/canvas_fixture.h"

namespace cvl {
namespace {

using Pixel = std::array<uint16_t, 4>;
constexpr int kW = 10, kH = 8, kCapacity = 6;

class BlendBufferTest : public test::CanvasTest {
 protected:
  void SetUp() override {
    make_canvas(kW, kH, kCapacity);
    saved_ = tool();
    tool().blend_strength = 128;
    tool().brush_size = 4;
    tool().paint_color = {1000, 2000, 3000, 65535};
    test::give_slot_pixels(2, 40000, 0, 65535, 65535);
    CVL_SetLayer(2);
  }
  void TearDown() override {
    tool() = saved_;
    test::CanvasTest::TearDown();
  }
  Pixel cell(int col, int row) {
    const uint16_t* p = e().blend_buffer.pixels.get() + static_cast<size_t>(row) * kCapacity * 4 + col * 4;
    return {p[0], p[1], p[2], p[3]};
  }
  uint16_t mask_cell(int col, int row) {
    return e().blend_buffer.pixels[static_cast<size_t>(row) * kCapacity * 4 + static_cast<size_t>(col)];
  }
  ToolSettings saved_;
};

TEST_F(BlendBufferTest, PickUpsDoNothingWhileBlendingIsOff) {
  tool().blend_strength = 0;
  CVL_ClearBlendBuffer();
  EXPECT_EQ(CVL_CopyBlendBufferSurface(5, 5, 100, 0), 0);
  EXPECT_EQ(CVL_DoCopyBlendBufferMask(5, 5, 100), 0);
  EXPECT_EQ(cell(0, 0), (Pixel{0, 0, 0, 0}));
}

// amount 64: the paint colour weighs 64/256, the canvas 192/256.
TEST_F(BlendBufferTest, PickUpMixesPaintColourIntoCanvasWithinBounds) {
  EXPECT_EQ(CVL_CopyBlendBufferSurface(5, 5, 64, 0), 1);
  // ((64 * 1000 + 192 * 40000) >> 8) + 1, the 0 channel lifted to (64 * 2000 >> 8) + 1,
  // ((64 * 3000 + 192 * 65535) >> 8) + 1; alpha (64 * 65535 + 192 * 65535) >> 8.
  EXPECT_EQ(cell(0, 0), (Pixel{30251, 501, 49902, 65535}));
  EXPECT_EQ(cell(3, 3), cell(0, 0));
  // All canvas: 65535 is capped at 65280 and 0 lifted to 1.
  CVL_CopyBlendBufferSurface(5, 5, 0, 0);
  EXPECT_EQ(cell(2, 2), (Pixel{40001, 1, 65280, 65535}));
}

TEST_F(BlendBufferTest, PickUpAcrossTheCanvasEdgeFillsOutsideCells) {
  for (int pick_up = 0; pick_up < 2; ++pick_up) {
    CVL_ClearBlendBuffer();
    // Square columns -2..1 and rows -2..1: patch cells 0 and 1 fall outside.
    CVL_CopyBlendBufferSurface(0, 0, 64, pick_up);
    if (pick_up) {
      EXPECT_EQ(cell(0, 0), (Pixel{0, 0, 0, 65535}));  // only alpha is set
    } else {
      EXPECT_EQ(cell(0, 0), (Pixel{1000, 2000, 3000, 64 * 256}));
    }
    EXPECT_EQ(cell(2, 2), (Pixel{30251, 501, 49902, 65535}));
  }
  CVL_CopyBlendBufferSurface(0, 0, 256, 0);
  EXPECT_EQ(cell(0, 1)[3], 0);  // 256 mod 256
}

TEST_F(BlendBufferTest, TransparentOrMaskedCanvasGivesPaintColour) {
  test::give_slot_pixels(2, 40000, 0, 65535, 0);
  CVL_CopyBlendBufferSurface(5, 5, 64, 1);
  EXPECT_EQ(cell(1, 1), (Pixel{1000, 2000, 3000, 192 * 256}));
  test::give_slot_pixels(2, 40000, 0, 65535, 65535);
  e().mask[4 * kW + 4] = 32768;  // canvas (4, 4) is patch cell (1, 1)
  CVL_CopyBlendBufferSurface(5, 5, 64, 0);
  // w = 32767, a = trunc(32767 / 65535 * 65535) = 32767; alpha (64 * 65535 + 192 * 32767) >> 8.
  EXPECT_EQ(cell(1, 1)[3], 40959);
}

TEST_F(BlendBufferTest, MaskPickUpMixesThePaintsMaskValue) {
  e().mask[4 * kW + 4] = 20000;
  CVL_DoCopyBlendBufferMask(5, 5, 64);
  // Paint colour mean 2000: v = 65280 - 2000; cell ((20000 * 192 + 64 * 63280) >> 8) + 1.
  EXPECT_EQ(mask_cell(1, 1), 30821);
  EXPECT_EQ(mask_cell(0, 0), 64972);  // open mask: ((65535 * 192 + 64 * 63280) >> 8) + 1
  tool().paint_color = {255, 255, 255, 65535};
  CVL_DoCopyBlendBufferMask(0, 0, 64);
  EXPECT_EQ(mask_cell(0, 0), 65535);  // outside the canvas: the paint's value
}

TEST_F(BlendBufferTest, BrushLargerThanTheBufferIsHeldToItsCapacity) {
  tool().brush_size = 40;
  EXPECT_EQ(CVL_CopyBlendBufferSurface(5, 4, 64, 0), 1);
  CVL_FilterBlendBuffer(290, 0);
  EXPECT_EQ(CVL_DoCopyBlendBufferMask(5, 4, 64), 1);
  // The square is the capacity's: columns 2..7, rows 1..6, all on the canvas.
  EXPECT_EQ(mask_cell(5, 5), 64972);
}

TEST_F(BlendBufferTest, FilterRecoloursThePatchAndKeepsAlpha) {
  struct Case {
    int kind, level;
    Pixel before, after;
  };
  const Case cases[] = {
      {289, 0, {30000, 0, 3, 77}, {10001, 10001, 10001, 77}},
      {290, 0, {0, 1, 65535, 77}, {65535, 65534, 0, 77}},
      {291, 50, {32766, 32767, 40000, 77}, {0, 32767, 40000, 77}},
      {292, 50, {32767, 32768, 0, 77}, {32767, 65280, 0, 77}},
      {300, 50, {1, 2, 3, 4}, {1, 2, 3, 4}},
  };
  for (const Case& c : cases) {
    uint16_t* p = e().blend_buffer.pixels.get() + kCapacity * 4 * 3 + 3 * 4;  // cell (3, 3)
    std::copy(c.before.begin(), c.before.end(), p);
    CVL_FilterBlendBuffer(c.kind, c.level);
    EXPECT_EQ(cell(3, 3), c.after) << c.kind;
  }
}

}  // namespace
}  // namespace cvl
