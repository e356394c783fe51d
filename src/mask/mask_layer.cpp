#include "mask/mask_layer.h"

#include <cstddef>

#include "core/canvas_geometry.h"
#include "layers/pixel_access.h"

namespace cvl {

namespace {

// Runs op(layer pixel, mask word) over the canvas part of the current layer.
template <class Op>
void for_layer_and_mask(const Engine& e, Op op) {
  Layer* layer = current_layer_with_pixels(e);
  if (!layer || !e.mask) return;
  const LayerSpan span = canvas_span(e, *layer);
  for (int32_t y = 0; y < span.rows; ++y) {
    uint16_t* p = layer_row(*layer, y);
    uint16_t* m = e.mask.get() + static_cast<size_t>(y) * static_cast<size_t>(e.canvas_width);
    for (int32_t x = 0; x < span.cols; ++x, p += 4) op(p, m[x]);
  }
}

}  // namespace

void create_mask_from_image(Engine& e) {
  for_layer_and_mask(e, [](const uint16_t* p, uint16_t& m) {
    const uint32_t a = (uint32_t{p[0]} + p[1] + p[2]) / 3;
    if (a >= 65281) {
      m = 0;
    } else if (a < 256) {
      m = 65535;
    } else {
      m = static_cast<uint16_t>(65280 - a);
    }
  });
}

void create_image_from_mask(Engine& e) {
  for_layer_and_mask(e, [](uint16_t* p, uint16_t m) {
    // Never brighter than 65280, the widened 8-bit white.
    const uint16_t v = m > 254 ? static_cast<uint16_t>(65535 - m) : uint16_t{65280};
    p[0] = p[1] = p[2] = v;
    p[3] = 65535;
  });
}

void create_alpha_from_mask(Engine& e) {
  for_layer_and_mask(e, [](uint16_t* p, uint16_t m) { p[3] = m; });
}

void create_mask_from_alpha(Engine& e) {
  for_layer_and_mask(e, [](const uint16_t* p, uint16_t& m) { m = p[3]; });
}

}  // namespace cvl
