// The script-driven families: the text argument names an image script (or an
// image file) whose picture is repeated over the canvas as a background, as a
// relief to light the layer with, or as a relief to look through. A name that
// cannot be read leaves the layer as it was.
#include <vector>

#include "layers/pixel_access.h"
#include "effects/displacement.h"
#include "layers/ipl_images.h"
#include "effects/effect_rows_imaging.h"
#include "effects/effect_rows_script.h"
#include "effects/script_tile.h"
#include "layers/filter_prep.h"
#include "layers/merge.h"

namespace cvl {

int32_t row_backgrounds(const EffectCall& call) {
  imaging::Image tile;
  if (!render_script_or_image(call.text, tile)) return 0;
  repeat_tile(scale_tile(tile, call.s[0]), call.src, call.width, call.height);
  return load(call, call.src);
}

// The tiled picture's grey is the height of the relief that lights the layer's
// colour, as "Emboss" lights it by its own grey; alpha is kept.
int32_t row_texturize_emboss(const EffectCall& call) {
  std::vector<uint8_t> height;
  if (!tiled_script_grey(call.text, call.width, call.height, height)) return 0;
  return emboss_layer(call, height.data());
}

// The relief is lit by effect 27 and laid over the layer in a texturizing mode, so
// the layer's own colour shows through its light and shade; the layer keeps its
// alpha whatever its lock.
int32_t row_texturize_bump(const EffectCall& call) {
  imaging::Image relief;
  // The lighting reads a pixel's 3 x 3 neighbourhood only, so it runs on a small
  // repeat of the tile (tiled_script_through).
  const TileOp light = [&](uint8_t* rgba, int32_t w, int32_t h) {
    EffectCall on_small = call;
    on_small.width = w, on_small.height = h;
    if (!run_script_effect(on_small, 27, bump_values(call), rgba)) return false;
    for (size_t i = 3; i < size_t(w) * size_t(h) * 4; i += 4) rgba[i] = 255;
    return true;
  };
  if (!tiled_script_through(call.text, call.width, call.height, light, relief)) return 0;
  uint8_t* image = relief.pixels.data();
  Layer* layer = ipl_source_layer(*call.canvas);
  if (!layer) return 0;
  adjust_rgba32_by_mask_and_texture(*call.canvas, image, call.width, call.height);
  merge_rgba32_into_layer(*call.canvas, image, *layer, call.flag(0) ? mix::kTexturize2 : mix::kTexturize, 0,
                          slider_byte(call.s[3]), true);
  return 1;
}

int32_t row_displacement_bump(const EffectCall& call) {
  refresh(call);
  premultiply(call, call.src);
  return ipl_displacement_bump(*call.canvas, call.text, call.s[0], call.colour()).empty() ? 1 : 0;
}

}  // namespace cvl
