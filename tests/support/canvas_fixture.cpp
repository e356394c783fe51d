#include "support/canvas_fixture.h"

namespace cvl::test {

void give_slot_pixels(int slot, uint16_t r, uint16_t g, uint16_t b, uint16_t a) {
  Engine& en = engine();
  Layer& layer = en.slot(slot);
  layer.width = en.canvas_width;
  layer.height = en.canvas_height;
  layer.row_stride = en.canvas_width * 4;
  layer.pixels = Buffer<uint16_t>(en.canvas_pixels() * 4);
  uint16_t* p = layer.data();
  for (size_t i = 0; i < en.canvas_pixels(); ++i, p += 4) {
    p[0] = r;
    p[1] = g;
    p[2] = b;
    p[3] = a;
  }
  layer.visible = 1;
  layer.opacity = 256;
}

}  // namespace cvl::test
