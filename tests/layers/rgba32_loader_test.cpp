#include "layers/rgba32_loader.h"

#include <array>
#include <vector>

#include "support/canvas_fixture.h"

namespace cvl {
namespace {

using test::Pixel;
constexpr int kW = 8, kH = 6;

class Rgba32LoaderTest : public test::CanvasTest {
 protected:
  void SetUp() override {
    make_canvas(kW, kH, 8);
    test::give_slot_pixels(2, 10000, 20000, 30000, 65535);
    e().slot(2).lockAlpha = 0;  // slot options outlive the canvas
    CVL_SetLayer(2);
  }
  Pixel px(int x, int y, int slot = 2) { return test::read_pixel(e().slot(slot), x, y); }
  void set_px(int x, int y, Pixel p) { std::copy(p.begin(), p.end(), test::pixel_at(e().slot(2), x, y)); }
  // A texture map of one byte everywhere.
  void texture(uint8_t t) {
    e().texture_map = Buffer<uint8_t>(e().canvas_pixels());
    std::fill(e().texture_map.get(), e().texture_map.get() + e().canvas_pixels(), t);
  }
  static std::vector<uint8_t> image(int w, int h, std::array<uint8_t, 4> c) {
    std::vector<uint8_t> img(static_cast<size_t>(w) * h * 4);
    for (size_t i = 0; i < img.size(); ++i) img[i] = c[i % 4];
    return img;
  }
};

TEST_F(Rgba32LoaderTest, NegativeOffsetsSkipTheSourcesFirstColumnsAndRows) {
  // Source column i holds red i, row j holds green j.
  constexpr int sw = 20, sh = 4;
  std::vector<uint8_t> src(sw * sh * 4);
  for (int j = 0; j < sh; ++j)
    for (int i = 0; i < sw; ++i) {
      uint8_t* p = &src[(j * sw + i) * 4];
      p[0] = static_cast<uint8_t>(i);
      p[1] = static_cast<uint8_t>(j);
      p[2] = 0;
      p[3] = 255;
    }
  EXPECT_EQ(CVL_LoadRGBA32Layer(src.data(), sw * 4, 2, -10, -1, sw, sh, 0), 3);
  EXPECT_EQ(px(0, 0), (Pixel{10 * 256, 1 * 256, 0, 65280}));
  EXPECT_EQ(px(7, 2), (Pixel{17 * 256, 3 * 256, 0, 65280}));
  EXPECT_EQ(px(0, 3), (Pixel{10000, 20000, 30000, 65535}));  // below the source
  EXPECT_EQ(CVL_LoadRGBA32Layer(src.data(), sw * 4, 2, kW, 0, sw, sh, 0), 0);  // wholly off the layer
  EXPECT_EQ(CVL_LoadRGBA32Layer(src.data(), sw * 4, 5, 0, 0, sw, sh, 0), 0);   // empty slot
}

TEST_F(Rgba32LoaderTest, TransparentSourceClearsPixelsUnlessAlphaIsLocked) {
  const std::vector<uint8_t> clear = image(kW, kH, {200, 100, 50, 0});
  CVL_LoadRGBA32Layer(clear.data(), kW * 4, 2, 0, 0, kW, kH, 0);
  EXPECT_EQ(px(3, 3), (Pixel{0, 0, 0, 0}));
  test::give_slot_pixels(2, 10000, 20000, 30000, 40000);
  e().slot(2).lockAlpha = 1;
  CVL_LoadRGBA32Layer(clear.data(), kW * 4, 2, 0, 0, kW, kH, 0);
  EXPECT_EQ(px(3, 3), (Pixel{51200, 25600, 12800, 40000}));
}

TEST_F(Rgba32LoaderTest, FullSelectionWritesWithoutTheTransparentToZeroRule) {
  // The mask is enabled and all open after the canvas is made, so the flag
  // switches weighting on at full weight.
  const std::vector<uint8_t> clear = image(kW, kH, {200, 100, 50, 0});
  CVL_LoadRGBA32(clear.data(), kW * 4, 1);
  EXPECT_EQ(px(1, 1), (Pixel{51200, 25600, 12800, 0}));
}

// Weight 33023 comes from texture byte 64 ((64 * 131070 + 65535) >> 8) and from
// mask word 0x8000 ((65535 * 129) >> 8) alike; each case is worked out by hand.
TEST_F(Rgba32LoaderTest, PartialSelectionBlendsByTextureOrMask) {
  struct Case {
    const char* what;
    Pixel before;
    std::array<uint8_t, 4> src;
    bool locked;
    Pixel after;
  };
  const Case cases[] = {
      {"blend", {10000, 10000, 10000, 65535}, {200, 200, 200, 255}, false, {30760, 30760, 30760, 65405}},
      {"blend locked", {10000, 10000, 10000, 65535}, {200, 200, 200, 255}, true, {30760, 30760, 30760, 65535}},
      {"transparent layer", {10000, 10000, 10000, 0}, {200, 100, 50, 255}, false, {51200, 25600, 12800, 32894}},
      {"transparent source", {10000, 10000, 10000, 65535}, {200, 100, 50, 0}, false, {10000, 10000, 10000, 32511}},
  };
  for (int via_mask = 0; via_mask < 2; ++via_mask)
    for (const Case& c : cases) {
      e().texture_map.reset();
      std::fill(e().mask.get(), e().mask.get() + e().canvas_pixels(), uint16_t{65535});
      if (via_mask) e().mask[9] = 0x8000; else texture(64);  // pixel (1, 1) has mask 0x8000
      e().slot(2).lockAlpha = c.locked;
      set_px(1, 1, c.before);
      const std::vector<uint8_t> src = image(kW, kH, c.src);
      CVL_LoadRGBA32Into(src.data(), kW * 4, 2, 0, 0, kW, kH);
      EXPECT_EQ(px(1, 1), c.after) << c.what << (via_mask ? " by mask" : " by texture");
    }
}

TEST_F(Rgba32LoaderTest, ClosedSelectionLeavesPixelsAndDisabledMaskIsIgnored) {
  const std::vector<uint8_t> src = image(kW, kH, {255, 255, 255, 255});
  e().mask[0] = 0x00FF;  // high byte 0: protected
  CVL_LoadRGBA32(src.data(), kW * 4, 1);
  EXPECT_EQ(px(0, 0), (Pixel{10000, 20000, 30000, 65535}));
  EXPECT_EQ(px(1, 0), (Pixel{65280, 65280, 65280, 65280}));
  texture(0);
  CVL_LoadRGBA32(image(kW, kH, {0, 0, 0, 255}).data(), kW * 4, 1);
  EXPECT_EQ(px(1, 0), (Pixel{65280, 65280, 65280, 65280}));  // texture 0 blocks everything
  e().texture_map.reset();
  e().mask_enabled = 0;
  CVL_LoadRGBA32(image(kW, kH, {0, 0, 0, 255}).data(), kW * 4, 1);
  EXPECT_EQ(px(0, 0), (Pixel{0, 0, 0, 65280}));
}

TEST_F(Rgba32LoaderTest, ClearMaskedAlphaFillsThroughTheMask) {
  e().mask_enabled = 0;
  EXPECT_EQ(CVL_ClearMaskedAlpha(1, 2, 3, 4), 1);
  EXPECT_EQ(px(5, 5), (Pixel{256, 512, 768, 1024}));
  e().mask_enabled = 1;
  test::give_slot_pixels(2, 10000, 10000, 10000, 65535);
  e().mask[9] = 0x8000;
  e().mask[10] = 0;
  EXPECT_EQ(CVL_ClearMaskedAlpha(200, 200, 200, 255), 1);
  EXPECT_EQ(px(0, 0), (Pixel{51200, 51200, 51200, 65280}));
  EXPECT_EQ(px(1, 1), (Pixel{30760, 30760, 30760, 65405}));
  EXPECT_EQ(px(2, 1), (Pixel{10000, 10000, 10000, 65535}));
}

TEST_F(Rgba32LoaderTest, BadLoaderCompositesThroughTheSelectionAfterClearingUnderTheMask) {
  test::give_slot_pixels(3, 5000, 5000, 5000, 65535);
  e().mask[0] = 0;  // protected pixel of the current layer survives the clear
  std::vector<uint8_t> img = image(kW, kH, {100, 100, 100, 255});
  CVL_LoadRGBA32Layer_BAD(img.data(), 0, 3, kW, kH, 1);
  EXPECT_EQ(img[3], 0);  // the caller's image carries the weighted alpha
  EXPECT_EQ(img[7], 255);
  EXPECT_EQ(px(0, 0), (Pixel{10000, 20000, 30000, 65535}));
  EXPECT_EQ(px(1, 0), (Pixel{0, 0, 0, 0}));
  EXPECT_EQ(px(0, 0, 3), (Pixel{5000, 5000, 5000, 65535}));
  EXPECT_EQ(px(1, 0, 3), (Pixel{25600, 25600, 25600, 65280}));
}

}  // namespace
}  // namespace cvl
