// The "pop" recipe several effects share: sharpen, raise contrast, set the
// colourfulness, each step written into the current layer through the selection.
#include "core/engine.h"
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
void sharpen_layer_colour() {
  const int32_t w = engine().canvas_width, h = engine().canvas_height;
  uint8_t* src = ipl_alloc(IplBuffer::Src24);
  uint8_t* dst = ipl_alloc(IplBuffer::Dst24);
  if (src && dst && imaging::sharpen({src, w, h, 3, w * 3}, {dst, w, h, 3, w * 3}, 5, 7)) {
    load_rgb24(dst, w * 3, true);
  }
  ipl_free(IplBuffer::Src24);
  ipl_free(IplBuffer::Dst24);
}

// Runs "Hyper Contrast" at the raw slider value, loads the result through the
// selection and refreshes the source from the layer it changed.
void hyper_contrast_step(int32_t raw) {
  InhouseArgs args;
  args.s[0] = raw;
  if (inhouse_entry("Hyper Contrast", 0, args) == 0) return;
  load_rgba32(ipl_buffer(IplBuffer::Dst32), engine().canvas_width * 4, true);
  ipl_update_src32();
}

double saturation_factor(double s) { return s > 50 ? (s - 50) * 0.02 * 2 + 1 : s * 0.02 * 3 - 2; }

}  // namespace

int32_t photo_pop(int32_t amount, double saturation, int32_t flag) {
  sharpen_layer_colour();
  if ((flag & 0xFF) == 1) hyper_contrast_step(1);
  hyper_contrast_step(amount);
  uint8_t* src = ipl_buffer(IplBuffer::Src32);
  Layer* layer = current_layer_with_pixels();
  const int32_t w = engine().canvas_width, h = engine().canvas_height;
  if (!src || !layer) return 0;
  get_rgba32_layer(src, w * 4, layer);
  if (!imaging::modify_saturation({src, w, h, 4, w * 4}, saturation_factor(saturation))) return 0;
  return load_rgba32(src, w * 4, true);
}

}  // namespace cvl
