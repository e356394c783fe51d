// The "pop" recipe several effects share: sharpen, raise contrast, set the
// colourfulness, each step written into the current layer through the selection.
#include "core/engine.h"
#include "core/tool_settings.h"
#include "layers/pixel_access.h"
#include "layers/rgba32_loader.h"
#include "imaging/tone/saturation.h"
#include "imaging/filters/sharpen.h"
#include "effects/inhouse_effects.h"
#include "layers/ipl_images.h"

namespace cvl {
namespace {

// Sharpens the colour of the current layer through the 24-bit buffers, which
// are released afterwards whatever happened.
void sharpen_layer_colour(Engine& canvas) {
  const int32_t w = canvas.canvas_width, h = canvas.canvas_height;
  uint8_t* src = ipl_alloc(canvas, IplBuffer::Src24);
  uint8_t* dst = ipl_alloc(canvas, IplBuffer::Dst24);
  if (src && dst && imaging::sharpen({src, w, h, 3, w * 3}, {dst, w, h, 3, w * 3}, 5, 7)) {
    load_rgb24(canvas, dst, w * 3, true);
  }
  ipl_free(canvas, IplBuffer::Src24);
  ipl_free(canvas, IplBuffer::Dst24);
}

// Runs "Hyper Contrast" at the raw slider value, loads the result through the
// selection and refreshes the source from the layer it changed.
void hyper_contrast_step(Engine& canvas, const ToolSettings& tool, int32_t raw) {
  InhouseArgs args;
  args.s[0] = raw;
  if (inhouse_entry(canvas, tool, "Hyper Contrast", 0, args) == 0) return;
  load_rgba32(canvas, ipl_buffer(canvas, IplBuffer::Dst32), canvas.canvas_width * 4, true);
  ipl_update_src32(canvas);
}

double saturation_factor(double s) { return s > 50 ? (s - 50) * 0.02 * 2 + 1 : s * 0.02 * 3 - 2; }

}  // namespace

int32_t photo_pop(Engine& canvas, const ToolSettings& tool, int32_t amount, double saturation, int32_t flag) {
  sharpen_layer_colour(canvas);
  if ((flag & 0xFF) == 1) hyper_contrast_step(canvas, tool, 1);
  hyper_contrast_step(canvas, tool, amount);
  uint8_t* src = ipl_buffer(canvas, IplBuffer::Src32);
  Layer* layer = ipl_source_layer(canvas);
  const int32_t w = canvas.canvas_width, h = canvas.canvas_height;
  if (!src || !layer) return 0;
  get_rgba32_layer(canvas, src, w * 4, layer);
  if (!imaging::modify_saturation({src, w, h, 4, w * 4}, saturation_factor(saturation))) return 0;
  return load_rgba32(canvas, src, w * 4, true);
}

}  // namespace cvl
