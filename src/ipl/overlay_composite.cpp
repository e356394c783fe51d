#include "ipl/overlay_composite.h"

#include "core/engine.h"
#include "layers/ipl_images.h"
#include "layers/pixel_access.h"
#include "layers/filter_prep.h"
#include "layers/merge.h"

namespace cvl {

void composite_overlay(Engine& canvas, uint8_t* overlay, int32_t mode, int32_t opacity) {
  Layer* layer = ipl_source_layer(canvas);
  if (!layer || !overlay) return;
  const Engine& e = canvas;
  adjust_rgba32_by_mask_and_texture(canvas, overlay, e.canvas_width, e.canvas_height);
  merge_rgba32_into_layer(canvas, overlay, *layer, mode, 0, opacity, layer->lockAlpha != 0);
}

int32_t opacity_level(int32_t percent) { return static_cast<int32_t>(percent * 2.559); }

}  // namespace cvl
