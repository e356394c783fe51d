// Layers whose every pixel says where it came from, for the geometry tests.
#pragma once

#include <cstdint>

#include "support/canvas_fixture.h"

namespace cvl::test {

// Gives the slot canvas-sized pixels with R = x, G = y (as high bytes), B = the
// slot number and the given alpha byte; low bytes are zero so that 8-bit round
// trips are exact.
inline void give_coordinate_layer(int slot, uint8_t alpha = 0xFF) {
  give_slot_pixels(slot, 0, 0, 0, 0);
  Layer& layer = engine().slot(slot);
  for (int y = 0; y < layer.height; ++y)
    for (int x = 0; x < layer.width; ++x) {
      uint16_t* p = pixel_at(layer, x, y);
      p[0] = uint16_t((x & 0xFF) << 8);
      p[1] = uint16_t((y & 0xFF) << 8);
      p[2] = uint16_t(slot << 8);
      p[3] = uint16_t(alpha << 8);
    }
}

// The (x, y) a coordinate layer's pixel came from.
struct Origin {
  int x, y;
  bool operator==(const Origin&) const = default;
};
inline Origin origin_of(const Layer& layer, int x, int y) {
  const uint16_t* p = pixel_at(layer, x, y);
  return {p[0] >> 8, p[1] >> 8};
}

// A fixture for effects run through the host's call: a w x h canvas whose current
// layer, slot 2, is a coordinate layer, with both 32-bit IPL buffers made.
class CoordinateLayerTest : public CanvasTest {
 protected:
  void start(int w, int h) {
    make_canvas(w, h, 32);
    give_coordinate_layer(2);
    CVL_SetLayer(2);
    ASSERT_NE(CVL_IPLAllocSrcBuffer32(), nullptr);
    ASSERT_NE(CVL_IPLAllocDstBuffer32(), nullptr);
  }
};

}  // namespace cvl::test
