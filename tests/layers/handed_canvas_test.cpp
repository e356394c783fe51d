// Helpers that take the canvas as an argument work on that canvas alone: a
// second engine record, built here beside the process-wide one, is read and
// written while the process-wide canvas stays as it was.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "layers/filter_prep.h"
#include "layers/merge.h"
#include "layers/pixel_access.h"
#include "layers/rgba32_loader.h"
#include "mask/mask_alpha.h"
#include "mask/mask_builders.h"
#include "mask/mask_state.h"
#include "support/canvas_fixture.h"

namespace cvl {
namespace {

constexpr int kW = 4, kH = 2;

// A 4 x 2 canvas with an opaque grey background in slot 1, a transparent
// current layer in slot 2 and a fully selected mask.
constexpr uint16_t kGrey = 0x4000;
std::unique_ptr<Engine> small_canvas() {
  auto e = std::make_unique<Engine>();
  e->canvas_width = kW;
  e->canvas_height = kH;
  e->row_stride32 = kW * 4;
  for (int slot : {1, 2}) {
    Layer& layer = e->slot(slot);
    layer.width = kW;
    layer.height = kH;
    layer.row_stride = kW * 4;
    layer.pixels = Buffer<uint16_t>(kW * kH * 4);
    layer.visible = 1;
    layer.opacity = 256;
    for (size_t i = 0; i < layer.pixels.size(); ++i) layer.pixels[i] = slot == 2 ? 0 : i % 4 == 3 ? 65535 : kGrey;
  }
  e->current_layer = &e->slot(2);
  e->current_layer_num = 2;
  e->top_layer = 2;
  e->mask = Buffer<uint16_t>(kW * kH);
  for (size_t i = 0; i < e->mask.size(); ++i) e->mask[i] = 65535;
  e->mask_enabled = 1;
  return e;
}

class HandedCanvas : public test::CanvasTest {
 protected:
  // The process-wide canvas: 16 x 12, its current layer transparent, its mask
  // fully selected. Nothing below may change it.
  void SetUp() override {
    make_canvas_on_clear_layer(16, 12);
    global_layer = test::layer_words(*e().current_layer);
    global_mask.assign(e().mask.get(), e().mask.get() + e().canvas_pixels());
  }
  void expect_global_untouched() {
    EXPECT_EQ(test::layer_words(*e().current_layer), global_layer);
    EXPECT_EQ(std::vector<uint16_t>(e().mask.get(), e().mask.get() + e().canvas_pixels()), global_mask);
  }
  std::vector<uint16_t> global_layer, global_mask;
};

TEST_F(HandedCanvas, MaskHelpersReadAndWriteTheHandedMask) {
  auto c = small_canvas();
  c->mask[1] = 0;  // pixel (1, 0) unselected on the small canvas only
  std::vector<uint8_t> image(kW * kH * 4, 200);
  apply_mask_to_alpha(*c, image.data());
  EXPECT_EQ(image[1 * 4 + 3], 0);
  EXPECT_EQ(image[0 * 4 + 3], 200);
  // The small canvas's size bounds the pass: the byte after its last pixel is left.
  image.push_back(7);
  adjust_rgba32_by_mask_and_texture(*c, image.data(), kW, kH);
  EXPECT_EQ(image.back(), 7);

  std::vector<uint8_t> marked(kW * kH * 4, 0);
  marked[5 * 4] = 10;  // pixel (1, 1) is (10, 0, 0)
  EXPECT_EQ(mask_from_rgba_colour(*c, marked.data(), 10, 0, 0, 255), 1);
  EXPECT_EQ(c->mask[5], mask_value_for_strength(255));
  EXPECT_EQ(get_channel64(*c, 0, 0, 3), 0);
  expect_global_untouched();
}

TEST_F(HandedCanvas, LoadingAndMergingUseTheHandedLayers) {
  auto c = small_canvas();
  std::vector<uint8_t> red(kW * kH * 4, 0);
  for (int i = 0; i < kW * kH; ++i) red[i * 4] = 255, red[i * 4 + 3] = 255;
  c->mask[0] = 0;  // the first pixel is protected
  EXPECT_GT(load_rgba32(*c, red.data(), kW * 4, true), 0);
  EXPECT_EQ(test::read_pixel(c->slot(2), 0, 0), (test::Pixel{0, 0, 0, 0}));
  EXPECT_EQ(test::read_pixel(c->slot(2), 1, 0), (test::Pixel{65280, 0, 0, 65280}));
  EXPECT_EQ(test::read_pixel(c->slot(2), 3, 1), (test::Pixel{65280, 0, 0, 65280}));  // rows follow the small canvas

  // Flattening the small canvas: its grey background where the layer is empty
  // (the process-wide background is white), red over it elsewhere.
  std::vector<uint16_t> flat(kW * kH * 4, 1);
  merge_rect(*c, flat.data(), 0, 0, kW, kH);
  EXPECT_EQ((test::Pixel{flat[0], flat[1], flat[2], flat[3]}), (test::Pixel{kGrey, kGrey, kGrey, 65535}));
  EXPECT_GT(flat[4], kGrey);
  EXPECT_LT(flat[4 + 1], kGrey);
  // The layer alone, composited onto a cleared buffer through the small canvas's slots.
  std::vector<uint16_t> alone(kW * kH * 4, 0);
  merge_layer_into_rect(*c, 2, alone.data(), 0, 0, kW, kH);
  EXPECT_EQ(alone[0 * 4 + 3], 0);
  EXPECT_GT(alone[1 * 4 + 0], 0);
  expect_global_untouched();
}

}  // namespace
}  // namespace cvl
