#include "layers/texture_map.h"

#include <algorithm>

#include "core/canvas_geometry.h"
#include "layers/layer_stack.h"

namespace cvl {

uint8_t* create_texture(Engine& e, int32_t slot) {
  const Layer* layer = layer_with_pixels(e, slot);
  if (!layer) return nullptr;
  if (!e.texture_map) e.texture_map = Buffer<uint8_t>(e.canvas_pixels());
  const LayerSpan span = canvas_span(e, *layer);
  for (int32_t y = 0; y < span.rows; ++y) {
    const uint16_t* p = layer_row(*layer, y);
    uint8_t* t = e.texture_map.get() + static_cast<size_t>(y) * static_cast<size_t>(e.canvas_width);
    for (int32_t x = 0; x < span.cols; ++x, p += 4) {
      const uint32_t v = (static_cast<uint32_t>(p[0]) + p[1] + p[2]) / 768;
      t[x] = static_cast<uint8_t>(std::clamp<uint32_t>(v, 4, 250));
    }
  }
  return e.texture_map.get();
}

void delete_texture(Engine& e) { e.texture_map.reset(); }

}  // namespace cvl
