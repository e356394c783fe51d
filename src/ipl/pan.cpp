// Panning the current layer's picture: the 32-bit working source shifted into
// the working destination, then composited onto the current layer.
#include <cstring>

#include "core/engine.h"
#include "layers/pixel_access.h"
#include "imaging/geometry/offset.h"
#include "imaging/overlay.h"
#include "ipl/geometry.h"
#include "layers/ipl_images.h"
#include "layers/filter_prep.h"
#include "layers/merge.h"

namespace cvl {

void ipl_pan(Engine& canvas, int32_t dx, int32_t dy, int32_t edge_mode, uint8_t r, uint8_t g, uint8_t b, uint8_t a,
             bool apply_mask) {
  uint8_t* src = ipl_buffer(canvas, IplBuffer::Src32);
  uint8_t* dst = ipl_buffer(canvas, IplBuffer::Dst32);
  if (!src || !dst) return;
  const Engine& e = canvas;
  const int32_t w = e.canvas_width, h = e.canvas_height;
  const imaging::ImageView from{src, w, h, 4, w * 4}, to{dst, w, h, 4, w * 4};
  if (edge_mode != 0) {
    imaging::EdgeMode mode;
    if (!imaging::edge_mode_from_code(edge_mode, &mode)) return;
    const uint8_t fill[4] = {r, g, b, a};
    if (!imaging::offset_image(from, to, dx, dy, mode, fill)) return;
  } else {
    // A plain shift over transparency; a shift past the canvas leaves it empty.
    std::memset(dst, 0, e.canvas_pixels() * 4);
    if (dx > -w && dx < w && dy > -h && dy < h) imaging::overlay_image(dst, w, h, w * 4, src, w, h, w * 4, dx, dy, 4);
  }
  if (apply_mask) adjust_rgba32_by_mask_and_texture(canvas, dst, w, h);
  Layer* layer = ipl_source_layer(canvas);
  if (layer) merge_rgba32_into_layer(canvas, dst, *layer, 0, 0, 255, layer->lockAlpha != 0);
}

}  // namespace cvl
