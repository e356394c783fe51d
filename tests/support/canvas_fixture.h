// A fresh canvas for each test, with helpers to give slots pixels directly.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "corvel/corvel.h"
#include "core/engine.h"
#include "core/tool_settings.h"

namespace cvl::test {

// Gives a slot canvas-sized pixels filled with one RGBA64 colour.
void give_slot_pixels(int slot, uint16_t r, uint16_t g, uint16_t b, uint16_t a);

using Pixel = std::array<uint16_t, 4>;

// The words of pixel (x, y) of a layer, addressed with the layer's own stride.
inline uint16_t* pixel_at(const Layer& layer, int x, int y) {
  return layer.data() + static_cast<size_t>(y) * static_cast<size_t>(layer.row_stride) + static_cast<size_t>(x) * 4;
}
inline Pixel read_pixel(const Layer& layer, int x, int y) {
  const uint16_t* p = pixel_at(layer, x, y);
  return {p[0], p[1], p[2], p[3]};
}
// Every word of a layer, packed row after row (four a pixel).
inline std::vector<uint16_t> layer_words(const Layer& layer) {
  std::vector<uint16_t> out;
  out.reserve(static_cast<size_t>(layer.width) * static_cast<size_t>(layer.height) * 4);
  for (int y = 0; y < layer.height; ++y)
    for (int x = 0; x < layer.width; ++x) {
      const uint16_t* p = pixel_at(layer, x, y);
      out.insert(out.end(), p, p + 4);
    }
  return out;
}

class CanvasTest : public ::testing::Test {
 protected:
  void SetUp() override { make_canvas(16, 12, 32); }
  // The brush description and the slots' options (alpha lock, visibility, mode) are
  // process-wide and outlive a canvas: each test leaves them as a fresh process has them.
  void TearDown() override {
    CVL_DeleteImage();
    tool() = ToolSettings{};
    for (Layer& layer : engine().layer_slots) layer = Layer{};
  }

  void make_canvas(int w, int h, int brush_capacity) {
    CVL_DeleteImage();
    CVL_SetRandomSeed(1);
    CVL_CreateImage(nullptr, w, h, brush_capacity, 0);
  }
  // A w x h canvas whose current layer is slot 2, fully transparent.
  void make_canvas_on_clear_layer(int w, int h) {
    make_canvas(w, h, 32);
    give_slot_pixels(2, 0, 0, 0, 0);
    CVL_SetLayer(2);
  }
  Engine& e() { return engine(); }
};

}  // namespace cvl::test
