#include "layers/merge.h"

#include <array>
#include <cstring>
#include <vector>

#include "layers/mix_mode_names.h"
#include "support/canvas_fixture.h"

namespace cvl {
namespace {

using Pixel = std::array<uint16_t, 4>;

class MergeTest : public test::CanvasTest {
 protected:
  void SetUp() override {
    make_canvas(6, 4, 8);
    for (int slot = 0; slot < kLayerSlots; ++slot) CVL_SetLayerOptions(slot, 0, 0, 100, "Normal");
  }
  // A visible layer of one colour at full opacity in the mode.
  void layer(int slot, Pixel p, int mode = 0) {
    test::give_slot_pixels(slot, p[0], p[1], p[2], p[3]);
    CVL_SetLayerOptions(slot, 1, 0, 100, mode_name(mode));
  }
  void set_pixel(int slot, int x, int y, Pixel p) {
    std::memcpy(e().slot(slot).data() + (static_cast<size_t>(y) * 6 + static_cast<size_t>(x)) * 4, p.data(), 8);
  }
  std::vector<uint16_t> merged() {
    std::vector<uint16_t> out(6 * 4 * 4, 0xABCD);
    CVL_Merge(out.data());
    return out;
  }
  static Pixel at(const std::vector<uint16_t>& img, int x, int y, int width = 6) {
    const size_t i = (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 4;
    return {img[i], img[i + 1], img[i + 2], img[i + 3]};
  }
};

TEST_F(MergeTest, MergeRect_HiddenBackgroundStartsTransparent) {
  test::give_slot_pixels(kBackgroundSlot, 65535, 65535, 65535, 65535);
  for (uint8_t visible : {0, 2}) {
    e().slot(kBackgroundSlot).visible = visible;
    const std::vector<uint16_t> out = merged();
    EXPECT_EQ(at(out, 3, 2), (Pixel{0, 0, 0, 0})) << "visible " << int(visible);
  }
  e().slot(kBackgroundSlot).visible = 1;
  EXPECT_EQ(at(merged(), 3, 2), (Pixel{65535, 65535, 65535, 65535}));
}

TEST_F(MergeTest, MergeRect_SkipsHiddenLayersAndTheTraceLayer) {
  layer(kTraceSlot, {100, 100, 100, 65535});
  layer(2, {1000, 2000, 3000, 65535});
  layer(3, {9, 9, 9, 65535});
  CVL_SetLayerOptions(3, 0, 0, 100, "Normal");
  EXPECT_EQ(at(merged(), 0, 0), (Pixel{1000, 2000, 3000, 65535}));
}

TEST_F(MergeTest, MergeRect_LayersComposeBottomUpWithTheirModes) {
  test::give_slot_pixels(kBackgroundSlot, 32768, 65280, 65535, 65535);
  e().slot(kBackgroundSlot).visible = 1;
  layer(2, {65280, 32768, 0, 32768}, 1);  // Multiply at half alpha
  layer(3, {65535, 65535, 65535, 0}, 0);  // transparent Normal: skipped
  // The same words as the hand-worked Multiply case of the compositor.
  EXPECT_EQ(at(merged(), 5, 3), (Pixel{32768, 49023, 32767, 65535}));
}

TEST_F(MergeTest, LayerMaskScalesTheLayerBelowByItsMeanChannel) {
  layer(2, {65535, 0, 0, 65535});
  layer(3, {30000, 30000, 30000, 65535}, kModeLayerMask);
  set_pixel(3, 1, 1, {0, 0, 0, 0});  // transparent mask pixel: no scaling
  const std::vector<uint16_t> out = merged();
  EXPECT_EQ(at(out, 0, 0), (Pixel{65535, 0, 0, 29999}));
  EXPECT_EQ(at(out, 1, 1), (Pixel{65535, 0, 0, 65535}));
}

TEST_F(MergeTest, LayerMaskIsTheNextVisibleLayerAboveOnly) {
  layer(2, {65535, 0, 0, 65535});
  layer(3, {1, 1, 1, 65535});
  layer(4, {30000, 30000, 30000, 65535}, kModeLayerMask);
  EXPECT_EQ(find_layer_mask(e(), 2), 0);  // a visible Normal layer sits between
  EXPECT_EQ(find_layer_mask(e(), 3), 4);
  CVL_SetLayerOptions(3, 0, 0, 100, "Normal");
  EXPECT_EQ(find_layer_mask(e(), 2), 4);  // hidden layers are passed over
  EXPECT_EQ(find_layer_mask(e(), 4), 0);  // nothing above the top layer
  e().top_layer = 3;
  EXPECT_EQ(find_layer_mask(e(), 2), 0);  // the search stops at the top layer
}

TEST_F(MergeTest, MergeLayerUsesSameAlphaModeOnlyWhenBothLayersShareAModeAbove20) {
  const Pixel half{1000, 2000, 3000, 32768};
  for (int dst_mode : {21, 0}) {
    layer(2, {50000, 50000, 50000, 65535}, dst_mode);
    layer(3, half, 21);  // Alpha Filter
    CVL_MergeLayer(3, 2);
    // Own mode: white at alpha 65535 - 32768 over the destination.
    const Pixel expected = dst_mode == 21 ? half : Pixel{57767, 57767, 57767, 65535};
    EXPECT_EQ(at(std::vector<uint16_t>(e().slot(2).data(), e().slot(2).data() + 96), 2, 2), expected)
        << "destination mode " << dst_mode;
  }
}

TEST_F(MergeTest, MergeLayerIntoRectKeepsTheBufferOriginAtTheRequestedCorner) {
  layer(2, {0, 0, 0, 65535});
  set_pixel(2, 0, 0, {7, 8, 9, 65535});
  std::vector<uint16_t> buf(3 * 2 * 4, 0);
  CVL_MergeLayerIntoRect(2, buf.data(), -1, -1, 3, 2);  // one column and row off the layer
  EXPECT_EQ(at(buf, 0, 0, 3), (Pixel{0, 0, 0, 0}));
  EXPECT_EQ(at(buf, 1, 1, 3), (Pixel{7, 8, 9, 65535}));
  EXPECT_EQ(at(buf, 2, 1, 3), (Pixel{0, 0, 0, 65535}));
}

TEST_F(MergeTest, ColorAtMergedPacksHighBytesOrGivesMinusOneWhereTransparent) {
  layer(2, {0x1234, 0x5678, 0x9ABC, 65535});
  set_pixel(2, 4, 1, {0x1234, 0x5678, 0x9ABC, 255});
  EXPECT_EQ(CVL_GetColorAtMerged(0, 0), 0x12569A);
  EXPECT_EQ(CVL_GetColorAtMerged(4, 1), -1);
  EXPECT_EQ(CVL_GetColorAtMerged(-3, 0), -1);  // off the canvas nothing is merged
}

TEST_F(MergeTest, RGBA32ImageWidensEveryByteAndKeepsAlphaWhenAsked) {
  layer(2, {0, 0, 0, 65535});
  std::vector<uint8_t> image(6 * 4 * 4, 0);
  image[0] = 200;
  image[1] = 100;
  image[2] = 50;
  image[3] = 255;  // 65280 once widened: still the exact copy
  image[7] = 128;
  for (bool keep : {false, true}) {
    layer(2, {0, 0, 0, 30000});
    merge_rgba32_into_layer(e(), image.data(), e().slot(2), 0, 0, 256, keep);
    const std::vector<uint16_t> px(e().slot(2).data(), e().slot(2).data() + 8);
    EXPECT_EQ(px[0], 51200);
    EXPECT_EQ(px[3], keep ? 30000 : 65280) << keep;
    EXPECT_EQ(px[7], keep ? 30000 : 47767) << keep;
  }
}

}  // namespace
}  // namespace cvl
