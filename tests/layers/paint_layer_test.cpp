#include "layers/paint_layer.h"

#include <array>
#include <vector>

#include "support/canvas_fixture.h"

namespace cvl {
namespace {

using test::Pixel;
constexpr int kW = 10, kH = 8;

class PaintLayerTest : public test::CanvasTest {
 protected:
  void SetUp() override {
    make_canvas(kW, kH, 8);
    CVL_DeletePaintLayer();
    test::give_slot_pixels(2, 10000, 20000, 30000, 65535);
  }
  Layer& p() { return e().paint_layer; }
  uint16_t* at(Layer& l, int x, int y) { return test::pixel_at(l, x, y); }
  Pixel px(Layer& l, int x, int y) { return test::read_pixel(l, x, y); }
  void paint(int x, int y, Pixel c) { std::copy(c.begin(), c.end(), at(p(), x, y)); }
  void changed(int l, int t, int r, int b) {
    p().changed_left = l;
    p().changed_top = t;
    p().changed_right = r;
    p().changed_bottom = b;
  }
};

TEST_F(PaintLayerTest, CreateSetsOptionsAndStartsClearWithAnEmptyChangedArea) {
  CVL_CreatePaintLayer(50, "Multiply");
  ASSERT_TRUE(p().has_pixels());
  EXPECT_EQ(p().opacity, 128);
  EXPECT_EQ(p().mixMode, 1);
  EXPECT_STREQ(p().mode_name, "Multiply");
  EXPECT_EQ(p().visible, 1);
  EXPECT_EQ(px(p(), 9, 7), (Pixel{0, 0, 0, 0}));
  EXPECT_EQ(p().changed_left, kW);
  EXPECT_EQ(p().changed_top, kH);
  EXPECT_EQ(p().changed_right, 0);
  EXPECT_EQ(p().changed_bottom, 0);
  paint(1, 1, {1, 2, 3, 4});
  CVL_CreatePaintLayer(100, "no such mode");  // options change, pixels stay
  EXPECT_EQ(p().opacity, 256);
  EXPECT_EQ(p().mixMode, 0);
  EXPECT_EQ(px(p(), 1, 1), (Pixel{1, 2, 3, 4}));
}

TEST_F(PaintLayerTest, MergeRightAfterClearChangesNothing) {
  CVL_CreatePaintLayer(100, "Normal");
  paint(2, 2, {65535, 0, 0, 65535});
  CVL_ClearPaintLayer();
  changed(0, 0, kW, kH);
  CVL_MergePaintLayer(2);
  EXPECT_EQ(px(e().slot(2), 2, 2), (Pixel{10000, 20000, 30000, 65535}));
}

TEST_F(PaintLayerTest, MergeCompositesOnlyTheChangedAreaWithTheLayersModeThenClears) {
  CVL_CreatePaintLayer(100, "Normal");
  paint(2, 2, {65535, 0, 0, 65535});
  paint(5, 5, {0, 65535, 0, 65535});  // outside the changed area
  changed(1, 1, 4, 4);
  CVL_MergePaintLayer(2);
  EXPECT_EQ(px(e().slot(2), 2, 2), (Pixel{65535, 0, 0, 65535}));
  EXPECT_EQ(px(e().slot(2), 5, 5), (Pixel{10000, 20000, 30000, 65535}));
  EXPECT_EQ(px(p(), 5, 5), (Pixel{0, 0, 0, 0}));
  EXPECT_EQ(p().changed_left, kW);
  // A changed area reaching past the canvas is clipped.
  paint(9, 7, {65535, 0, 0, 65535});
  changed(-3, -3, kW + 5, kH + 5);
  CVL_MergePaintLayer(2);
  EXPECT_EQ(px(e().slot(2), 9, 7), (Pixel{65535, 0, 0, 65535}));
}

TEST_F(PaintLayerTest, OldClearFillsWhiteAndZeroesTheChangedArea) {
  CVL_CreatePaintLayer(100, "Normal");
  changed(2, 3, 4, 5);
  CVL_ClearPaintLayer_old();
  EXPECT_EQ(px(p(), 1, 3), (Pixel{65535, 65535, 65535, 65535}));
  EXPECT_EQ(px(p(), 2, 3), (Pixel{0, 0, 0, 0}));
  EXPECT_EQ(px(p(), 3, 4), (Pixel{0, 0, 0, 0}));
  EXPECT_EQ(px(p(), 4, 4), (Pixel{65535, 65535, 65535, 65535}));
  EXPECT_EQ(p().changed_right, 0);
}

TEST_F(PaintLayerTest, BlurSoftensAlphaEdgesKeepsSolidPartsAndColour) {
  CVL_CreatePaintLayer(100, "Normal");
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < 5; ++x) paint(x, y, {100, 200, 300, 65535});
  paint(8, 4, {7, 7, 7, 0x9000});
  CVL_BlurPaintLayerAlpha();
  EXPECT_EQ(px(p(), 4, 3), (Pixel{100, 200, 300, 65535}));  // alpha high byte >= 240 stays solid
  EXPECT_EQ(px(p(), 5, 3)[3], ((3 * 255 + 4) / 9) << 8);    // the edge picks up its neighbours
  EXPECT_EQ(px(p(), 8, 4), (Pixel{7, 7, 7, ((0x90 + 4) / 9) << 8}));
  EXPECT_EQ(px(p(), 7, 3)[3], ((0x90 + 4) / 9) << 8);
  CVL_DeletePaintLayer();
  CVL_BlurPaintLayerAlpha();  // nothing to blur
  EXPECT_FALSE(p().has_pixels());
}

}  // namespace
}  // namespace cvl
