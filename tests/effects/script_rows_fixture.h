// A canvas with a varied opaque layer and both 32-bit IPL buffers, for driving the
// image-script effect rows through the dispatcher and comparing what they wrote
// with the library run directly.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "layers/pixel_access.h"
#include "imagescript/imagescript.h"
#include "support/canvas_fixture.h"

namespace cvl::test {

// The dispatcher's arguments; sliders are raw (tenths), 500 the middle.
struct RowArgs {
  int32_t i1 = 0;
  std::array<int32_t, 6> S{500, 500, 500, 500, 500, 500};
  int32_t option = 0, i2 = 0;
  std::array<int32_t, 6> f{};
  int32_t r = 0, g = 0, b = 0;
  const char* text = "";
};

inline constexpr int kW = 24, kH = 20;

// Library effect `n` with values from index 3 on, run on a copy of a kW x kH image.
inline std::vector<uint8_t> library(int32_t n, const std::vector<int32_t>& values, std::vector<uint8_t> image) {
  imagescript::run_effect(n, values.data(), int32_t(values.size()), image.data(), kW, kH);
  return image;
}

class ScriptRowsTest : public CanvasTest {
 protected:

  void SetUp() override {
    make_canvas(kW, kH, 32);
    give_slot_pixels(2, 0, 0, 0, 0);
    CVL_SetLayer(2);
    paint_varied();
    ASSERT_NE(CVL_IPLAllocSrcBuffer32(), nullptr);
    ASSERT_NE(CVL_IPLAllocDstBuffer32(), nullptr);
  }

  // Every pixel different: ramps across and down and a product pattern, opaque.
  void paint_varied(uint8_t alpha = 255) {
    Layer& layer = e().slot(2);
    for (int y = 0; y < layer.height; ++y)
      for (int x = 0; x < layer.width; ++x) {
        uint16_t* p = pixel_at(layer, x, y);
        p[0] = uint16_t((x * 10 & 0xFF) << 8), p[1] = uint16_t((y * 12 & 0xFF) << 8);
        p[2] = uint16_t((x * y * 7 & 0xFF) << 8), p[3] = uint16_t(alpha << 8);
      }
  }

  static int32_t run(const char* name, const RowArgs& a) {
    return CVL_IPLImageProcess(0, name, a.i1, a.S[0], a.S[1], a.S[2], a.S[3], a.S[4], a.S[5], a.option, a.i2,
                               a.f[0], a.f[1], a.f[2], a.f[3], a.f[4], a.f[5], a.r, a.g, a.b, a.text);
  }

  // The current layer as packed RGBA32.
  std::vector<uint8_t> layer_bytes() {
    std::vector<uint8_t> out(size_t(kW) * kH * 4);
    get_rgba32_layer(e(), out.data(), kW * 4, &e().slot(2));
    return out;
  }
};

}  // namespace cvl::test
