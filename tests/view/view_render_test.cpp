#include "view/view_render.h"

#include <array>
#include <cstring>
#include <vector>

#include "core/rand.h"
#include "layers/composite.h"
#include "layers/mix_mode_names.h"
#include "mask/mask_state.h"
#include "support/canvas_fixture.h"

namespace cvl {
namespace {

using Pixel = std::array<uint16_t, 4>;
using Bgr = std::array<uint8_t, 3>;

constexpr uint8_t kUntouched = 0xAA;
constexpr int kSlack = 6;  // bytes past each output row that must stay untouched

// The checkerboard as bytes: 255 on even 32-pixel squares, 159 on odd ones.
uint8_t check_byte(int cx, int cy) { return ((cx >> 5) + (cy >> 5)) % 2 ? 159 : 255; }

class ViewRenderTest : public test::CanvasTest {
 protected:
  int w = 16, h = 12;

  void canvas(int width, int height) {
    w = width;
    h = height;
    make_canvas(w, h, 8);
    CVL_SetScale(1, 1);
    CVL_SetViewSize(4096, 4096);
    // The background starts hidden so each test shows only what it sets up.
    layer(kBackgroundSlot, {65535, 65535, 65535, 65535});
    e().slot(kBackgroundSlot).visible = 0;
    layer(2, {0, 0, 0, 0});
    CVL_SetLayer(2);
  }
  void SetUp() override { canvas(16, 12); }

  void layer(int slot, Pixel fill, const char* mode = "Normal", int opacity = 100) {
    CVL_CreateLayer(slot, w, h);
    uint16_t* p = e().slot(slot).data();
    for (int i = 0; i < w * h; ++i) std::memcpy(p + i * 4, fill.data(), 8);
    CVL_SetLayerOptions(slot, 1, 0, opacity, mode);
  }
  static void put(Layer& layer, int x, int y, Pixel p) {
    std::memcpy(layer.data() + (static_cast<size_t>(y) * layer.width + x) * 4, p.data(), 8);
  }
  void put(int slot, int x, int y, Pixel p) { put(e().slot(slot), x, y, p); }

  // Renders into a buffer of out_w x out_h pixels with kSlack spare bytes a row.
  struct View {
    std::vector<uint8_t> bytes;
    int stride;
    Bgr at(int i, int j) const {
      const size_t o = static_cast<size_t>(j) * stride + static_cast<size_t>(i) * 3;
      return {bytes[o], bytes[o + 1], bytes[o + 2]};
    }
    // Output pixels of row j that something was written to.
    int written(int j) const {
      int n = 0;
      for (int i = 0; i < stride / 3; ++i) n += at(i, j) != Bgr{kUntouched, kUntouched, kUntouched};
      return n;
    }
  };
  View render(int x, int y, int width, int height, int out_w, int out_h) {
    View v{std::vector<uint8_t>(static_cast<size_t>((out_w * 3 + kSlack) * out_h), kUntouched), out_w * 3 + kSlack};
    CVL_Render(v.bytes.data(), v.stride, x, y, width, height);
    return v;
  }
  View render_all() { return render(0, 0, w, h, w, h); }

  // The other road to the same picture: the flattened image, then the
  // checkerboard where it is transparent, then the high bytes.
  View merged_view(int x, int y, int width, int height) {
    std::vector<uint16_t> flat(static_cast<size_t>(width) * height * 4);
    CVL_MergeRect(flat.data(), x, y, width, height);
    View v{std::vector<uint8_t>(static_cast<size_t>((width * 3 + kSlack) * height), kUntouched), width * 3 + kSlack};
    for (int j = 0; j < height; ++j) {
      for (int i = 0; i < width; ++i) {
        const uint16_t* p = &flat[(static_cast<size_t>(j) * width + i) * 4];
        const uint32_t a = p[3];
        uint8_t* out = &v.bytes[static_cast<size_t>(j) * v.stride + i * 3];
        for (int ch = 0; ch < 3; ++ch) {
          uint32_t c = p[ch];
          if (a < 65535) {
            const uint32_t check = ((x + i) / 32 + (y + j) / 32) % 2 ? 40959 : 65535;
            c = (((a * c) >> 8) + ((check * (65535 - a)) >> 8)) >> 8;
          }
          out[2 - ch] = static_cast<uint8_t>(c >> 8);
        }
      }
    }
    return v;
  }
};

TEST_F(ViewRenderTest, Render_BackgroundAloneShowsExactlyWhateverItsAlpha) {
  layer(kBackgroundSlot, {0, 0, 0, 0});
  const std::array<Pixel, 4> pixels = {{{0x1234, 0x5678, 0x9ABC, 65535},
                                        {0xFFFF, 0x00FF, 0x0100, 0},
                                        {0x8000, 0x4000, 0x2000, 1000},
                                        {0, 0, 0, 65280}}};
  for (int i = 0; i < 4; ++i) put(kBackgroundSlot, i, 1, pixels[i]);
  const View v = render_all();
  for (int i = 0; i < 4; ++i) {
    const Pixel& p = pixels[i];
    EXPECT_EQ(v.at(i, 1), (Bgr{uint8_t(p[2] >> 8), uint8_t(p[1] >> 8), uint8_t(p[0] >> 8)})) << i;
  }
}

TEST_F(ViewRenderTest, Render_NothingVisibleShowsTheCheckerboard) {
  canvas(80, 70);
  const View v = render_all();
  for (auto [cx, cy] : std::vector<std::array<int, 2>>{{0, 0}, {31, 0}, {32, 0}, {63, 31}, {64, 0}, {32, 32},
                                                       {0, 33}, {79, 69}}) {
    const uint8_t b = check_byte(cx, cy);
    EXPECT_EQ(v.at(cx, cy), (Bgr{b, b, b})) << cx << "," << cy;
  }
  EXPECT_EQ(v.at(32, 0)[0], 159);
}

TEST_F(ViewRenderTest, Render_StrokeShowsRightAboveTheCurrentLayerEvenWhenItIsHidden) {
  layer(kBackgroundSlot, {65535, 65535, 65535, 65535});
  layer(3, {0, 0, 0, 0});
  put(2, 1, 1, {65535, 65535, 0, 65535});  // yellow on the current layer
  put(3, 2, 1, {0, 65535, 0, 65535});      // green above it
  CVL_CreatePaintLayer(100, "Normal");
  for (int x = 1; x <= 2; ++x) put(e().paint_layer, x, 1, {0, 0, 65535, 65535});  // a blue stroke
  for (int shown : {1, 0}) {
    CVL_SetLayerOptions(2, shown, 0, 100, "Normal");
    const View v = render_all();
    EXPECT_EQ(v.at(1, 1), (Bgr{255, 0, 0})) << "the stroke covers the current layer, shown " << shown;
    EXPECT_EQ(v.at(2, 1), (Bgr{0, 255, 0})) << "the layer above covers the stroke, shown " << shown;
    EXPECT_EQ(v.at(0, 0), (Bgr{255, 255, 255}));
  }
}

TEST_F(ViewRenderTest, Render_TextureSourceLayerIsNeverShown) {
  layer(kBackgroundSlot, {65535, 65535, 65535, 65535});
  layer(3, {65535, 0, 0, 65535}, "Texturize3");
  EXPECT_EQ(render_all().at(5, 5), (Bgr{255, 255, 255}));
}

TEST_F(ViewRenderTest, Render_LayerMaskScalesTheLayerBelowWhereItIsOpaque) {
  layer(kBackgroundSlot, {65535, 65535, 65535, 65535});
  layer(2, {65535, 0, 0, 65535});  // red
  layer(3, {0, 0, 0, 65535}, "Layer Mask");
  put(3, 4, 0, {0, 0, 0, 0});  // a transparent mask pixel leaves the layer alone
  const Bgr white{255, 255, 255}, red{0, 0, 255};
  View v = render_all();
  EXPECT_EQ(v.at(3, 0), white) << "black mask";
  EXPECT_EQ(v.at(4, 0), red);
  layer(3, {65535, 65535, 65535, 65535}, "Layer Mask");
  v = render_all();
  EXPECT_EQ(v.at(3, 0), red) << "white mask";
  // The current layer's mask lies beyond the stroke in progress.
  layer(3, {0, 0, 0, 65535}, "Layer Mask");
  CVL_CreatePaintLayer(100, "Normal");
  EXPECT_EQ(render_all().at(3, 0), white) << "black mask above a stroke";
}

TEST_F(ViewRenderTest, Render_TraceLayerMixesInHalfAndHalf) {
  layer(kBackgroundSlot, {65535, 65535, 65535, 65535});
  layer(kTraceSlot, {0, 0, 0, 65535});
  EXPECT_EQ(render_all().at(0, 0), (Bgr{255, 255, 255})) << "tracing off";
  e().tracing_mode = 1;
  EXPECT_EQ(render_all().at(0, 0), (Bgr{127, 127, 127}));
  e().tracing_mode = 0;
}

TEST_F(ViewRenderTest, Render_MaskOverlayTintsPartlySelectedPixelsAt1To1AndAllPixelsScaled) {
  layer(kBackgroundSlot, {0x8000, 0x8000, 0x8000, 65535});
  std::fill(e().mask.get(), e().mask.get() + w * h, uint16_t{65535});
  e().mask[0] = 0;  // pixel (0, 0) fully protected
  CVL_SetMaskOptions(200, 200, 200, 200, 200, 200, 1);
  CVL_DisplayMask(1);
  View v = render_all();
  EXPECT_EQ(v.at(0, 0), (Bgr{199, 199, 199})) << "the overlay colour";
  EXPECT_EQ(v.at(1, 0), (Bgr{128, 128, 128})) << "fully selected, 1:1 leaves it";
  CVL_SetScale(2, 1);
  v = render(0, 0, 2, 1, 4, 2);
  EXPECT_EQ(v.at(2, 1), (Bgr{127, 127, 127})) << "fully selected, the enlarged view tints it too";
  CVL_EnableMask(0);
  EXPECT_EQ(render(0, 0, 2, 1, 4, 2).at(0, 0), (Bgr{128, 128, 128})) << "a disabled mask is not shown";
  CVL_DisplayMask(0);
  CVL_EnableMask(1);
}

TEST_F(ViewRenderTest, Render_ScaleCasesSampleAndRepeatCanvasPixels) {
  canvas(100, 8);
  layer(kBackgroundSlot, {0, 0, 0, 65535});
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) put(kBackgroundSlot, x, y, {uint16_t(x << 8), uint16_t(y << 8), 0, 65535});
  auto shows = [](const View& v, int i, int j, int cx, int cy) { return v.at(i, j) == Bgr{0, uint8_t(cy), uint8_t(cx)}; };

  CVL_SetScale(1, 2);  // reduced: every second column and row, no averaging
  View v = render(0, 0, 100, 8, 60, 6);
  EXPECT_EQ(v.written(0), 50);
  EXPECT_EQ(v.written(3), 50);
  EXPECT_EQ(v.written(4), 0);
  EXPECT_TRUE(shows(v, 7, 3, 14, 6));
  EXPECT_TRUE(shows(v, 49, 1, 98, 2));

  CVL_SetScale(3, 1);  // enlarged: each canvas pixel a 3 x 3 block
  v = render(4, 2, 3, 2, 12, 8);
  EXPECT_EQ(v.written(0), 9);
  EXPECT_EQ(v.written(5), 9);
  EXPECT_EQ(v.written(6), 0);
  for (int j = 0; j < 6; ++j)
    for (int i = 0; i < 9; ++i) EXPECT_TRUE(shows(v, i, j, 4 + i / 3, 2 + j / 3)) << i << "," << j;

  CVL_SetScale(3, 1);  // the view size cuts the enlarged view mid-block
  CVL_SetViewSize(7, 4);
  v = render(0, 0, 100, 8, 12, 6);
  EXPECT_EQ(v.written(0), 7);
  EXPECT_EQ(v.written(4), 0);
  EXPECT_TRUE(shows(v, 6, 3, 2, 1));
}

TEST_F(ViewRenderTest, Render_WritesOnlyInsideTheCanvasAndTheView) {
  layer(kBackgroundSlot, {0x1100, 0x2200, 0x3300, 65535});
  const Bgr colour{0x33, 0x22, 0x11};
  struct Case {
    int x, y, width, height, view_w, view_h, want_cols, want_rows;
  };
  // Canvas 16 x 12.
  for (const Case& c : {Case{10, 8, 20, 20, 99, 99, 6, 4}, Case{-3, -2, 5, 3, 99, 99, 5, 3},
                        Case{0, 0, 16, 12, 5, 2, 5, 2}, Case{16, 0, 4, 4, 99, 99, 0, 0},
                        Case{0, 0, 16, 12, 0, 0, 0, 0}}) {
    CVL_SetViewSize(c.view_w, c.view_h);
    const View v = render(c.x, c.y, c.width, c.height, 20, 20);
    EXPECT_EQ(v.written(0), c.want_cols) << c.x << "," << c.y;
    EXPECT_EQ(v.written(c.want_rows), 0) << c.x << "," << c.y;
    if (c.want_rows > 0) {
      EXPECT_EQ(v.at(c.want_cols - 1, c.want_rows - 1), colour);
    }
  }
  CVL_SetViewSize(99, 99);
  e().current_layer = nullptr;
  EXPECT_EQ(render_all().written(0), 0) << "no current layer";
  CVL_SetLayer(2);
  CVL_DeleteLayer(2);
  EXPECT_EQ(render_all().written(0), 0) << "the current layer has no pixels";
}

// Layers, layer masks and the trace layer of another size than the canvas
// take part only where they have pixels.
TEST_F(ViewRenderTest, Render_SmallerLayersShowOnlyWhereTheyHavePixels) {
  layer(kBackgroundSlot, {65535, 65535, 65535, 65535});
  CVL_CreateLayer(3, 8, 6);
  CVL_SetLayerOptions(3, 1, 0, 100, "Normal");
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) put(3, x, y, {65535, 0, 0, 65535});
  CVL_CreateLayer(4, 4, 3);  // black mask over the top-left corner only
  CVL_SetLayerOptions(4, 1, 0, 100, "Layer Mask");
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) put(4, x, y, {0, 0, 0, 65535});
  CVL_CreateLayer(kTraceSlot, 2, 2);
  e().tracing_mode = 1;
  const View v = render_all();
  e().tracing_mode = 0;
  const Bgr white{255, 255, 255}, red{0, 0, 255};
  EXPECT_EQ(v.at(0, 0), (Bgr{127, 127, 127})) << "masked away, then traced with black";
  EXPECT_EQ(v.at(3, 2), white) << "masked away";
  EXPECT_EQ(v.at(4, 2), red);
  EXPECT_EQ(v.at(7, 5), red);
  EXPECT_EQ(v.at(8, 5), white);
  EXPECT_EQ(v.at(7, 6), white);
}

// Alphas for a stack where each pixel has at most one partly transparent
// layer: the view keeps a blended pixel's real values for the next layer,
// while the merge rounds after every layer, so only then must they agree.
TEST_F(ViewRenderTest, Render_OfNormalLayersEqualsTheMergedImageWithCheckerboard) {
  canvas(300, 40);  // wider than one span, several checker squares
  crt_srand(7);
  auto word = [] { return static_cast<uint16_t>(crt_rand() * 2 + (crt_rand() & 1)); };
  for (int background : {1, 0}) {
    layer(kBackgroundSlot, {0, 0, 0, 65535});
    e().slot(kBackgroundSlot).visible = static_cast<uint8_t>(background);
    for (int slot = 2; slot <= 4; ++slot) layer(slot, {0, 0, 0, 0});
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        put(kBackgroundSlot, x, y, {word(), word(), word(), 65535});
        const int partial = 2 + crt_rand() % 3;
        for (int slot = 2; slot <= 4; ++slot) {
          const int kind = crt_rand() % 3;
          const uint16_t alpha = slot == partial ? static_cast<uint16_t>(1 + word() % 65279) : kind == 0 ? 0 : 65535;
          put(slot, x, y, {word(), word(), word(), alpha});
        }
      }
    }
    const View view = render(5, 3, 290, 30, 290, 30);
    EXPECT_EQ(view.bytes, merged_view(5, 3, 290, 30).bytes) << "background " << background;
  }
}

// One layer of any shown mode, at any alpha and two opacities, over an opaque
// background: the view shows what the compositor merges. The background's low
// bytes are not 0, so the view's real-valued round trip of an unchanged
// pixel cannot move its high byte.
TEST_F(ViewRenderTest, Render_SingleLayerOfEachModeEqualsTheMergedImage) {
  canvas(64, 8);
  crt_srand(11);
  auto word = [] { return static_cast<uint16_t>(crt_rand() * 2 + (crt_rand() & 1)); };
  layer(kBackgroundSlot, {0, 0, 0, 65535});
  layer(3, {0, 0, 0, 0});
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      auto bg = [&] { return static_cast<uint16_t>((crt_rand() & 0xFF00) | 0x80); };
      put(kBackgroundSlot, x, y, {bg(), bg(), bg(), 65535});
      const uint16_t alphas[] = {0, 65535, 65279, word()};
      put(3, x, y, {word(), word(), word(), alphas[crt_rand() % 4]});
    }
  }
  for (int mode = 0; mode < kMixModeCount; ++mode) {
    if (mode == 19 || mode == 20) continue;  // never shown; no name
    for (int opacity : {100, 50}) {
      CVL_SetLayerOptions(3, 1, 0, opacity, mode_name(mode));
      EXPECT_EQ(render_all().bytes, merged_view(0, 0, w, h).bytes) << mode_name(mode) << " at " << opacity;
    }
  }
}

// Stacks of several blending layers carry the blend's unrounded values from layer to
// layer. At 1:1 runs of samples are blended four or eight at a time; the reduced view
// (every second pixel) goes sample by sample, so each pixel it shows must come out
// exactly as the 1:1 view shows it, with the four-lane and the eight-lane blend.
TEST_F(ViewRenderTest, Render_LaneBlendsOfMixedStacksMatchSampleBySampleBlends) {
  canvas(300, 24);
  crt_srand(5);
  auto word = [] { return static_cast<uint16_t>(crt_rand() * 2 + (crt_rand() & 1)); };
  const int kModes[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 22, 26, 30, 34, 39};
  constexpr int kStack = 4;
  for (int round = 0; round < 12; ++round) {
    layer(kBackgroundSlot, {0, 0, 0, 65535});
    e().slot(kBackgroundSlot).visible = static_cast<uint8_t>(round % 3 == 0);
    for (int k = 0; k < kStack; ++k) {
      const int slot = 2 + k;
      layer(slot, {0, 0, 0, 0}, mode_name(kModes[crt_rand() % std::size(kModes)]), k == 2 ? 60 : 100);
      // Mostly partial alpha, in runs, with transparent and opaque pixels breaking them.
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          const int kind = (x / 11 + y + k + round) % 5 == 0 ? crt_rand() % 3 : 3;
          const uint16_t alpha = kind == 0 ? 0 : kind == 1 ? 65535 : static_cast<uint16_t>(1 + word() % 65534);
          put(slot, x, y, {word(), word(), word(), alpha});
        }
    }
    for (bool portable : {false, true}) {
      composite_use_portable_lanes(portable);
      CVL_SetScale(1, 1);
      const View lanes = render_all();
      CVL_SetScale(1, 2);
      const View samples = render(0, 0, w, h, w / 2, h / 2);
      composite_use_portable_lanes(false);
      int wrong = 0;
      for (int j = 0; j < h / 2; ++j)
        for (int i = 0; i < w / 2; ++i) wrong += samples.at(i, j) != lanes.at(2 * i, 2 * j);
      EXPECT_EQ(wrong, 0) << "round " << round << " portable " << portable;
    }
  }
}

}  // namespace
}  // namespace cvl
