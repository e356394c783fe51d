// Recipes of the blur family: contrast masks, the pop and detail recipes built
// on them, the inverted glow "Radiant 2" and the drop shadow.
#include <cstring>

#include "imaging/contrast_mask.h"
#include "imaging/gaussian_blur.h"
#include "imaging/offset.h"
#include "ipl/effect_rows_imaging.h"
#include "ipl/effect_rows_inhouse.h"
#include "ipl/effect_views.h"
#include "ipl/inhouse_effects.h"
#include "layers/filter_prep.h"

namespace cvl {
namespace {

bool contrast_mask_src(const EffectCall& call, bool per_channel, double sigma) {
  return imaging::contrast_mask(canvas_view(call, call.src), per_channel, sigma);
}

// The contrast mask either way: with an option, the in-house grey and invert
// steps blurred (premultiplied) and laid over the layer in soft light; without
// one, the imaging library's mask in place on the layer, per channel by `flag`.
int32_t contrast_mask_step(const EffectCall& call, bool flag) {
  if (call.option == 0)
    return frame_l(call, [&] { return contrast_mask_src(call, flag, call.s[0] / 18 + 2); });
  refresh(call);
  const InhouseArgs by_option = fixed_args({}, call.option);
  if (!inhouse("Grayscale", 0, by_option) || !inhouse("Invert", 1, by_option)) return 0;
  premultiply(call, call.dst);
  if (!imaging::gaussian_blur(canvas_view(call, call.dst), canvas_view(call, call.src),
                              float(blur_sigma(call.s[0])), 15))
    return 0;
  unpremultiply(call, call.src);
  composite(call, call.src, mix::kSoftLight, 255);
  return 1;
}

}  // namespace

int32_t row_contrast_mask(const EffectCall& call) { return contrast_mask_step(call, call.flag(0)); }

int32_t row_photo_pop(const EffectCall& call) { return photo_pop(call.S[0], call.s[1], call.f[0]); }

// The contrast mask (never per channel), the pop recipe, then an outline of the
// result laid over it in Texturize. The outline's grey and invert steps take no
// option.
int32_t row_photo_detailer(const EffectCall& call) {
  contrast_mask_step(call, false);
  refresh(call);
  photo_pop(call.S[1], call.s[2], 0);
  EffectCall outline = call;
  outline.option = 0;
  return sketch(outline, {false, 1000, 1000 - call.S[3], mix::kTexturize});
}

// The layer's contrast mask inverted and laid over the layer in Texturize at
// s1 % opacity. The source is refreshed first so the mask is of this layer.
int32_t row_radiant2(const EffectCall& call) {
  refresh(call);
  if (!contrast_mask_src(call, false, 4.777777777777778)) return 0;
  if (!inhouse("Invert", 0, fixed_args({}))) return 0;
  composite(call, call.dst, mix::kTexturize, trunc_i(call.s[0] * 2.559));
  return 1;
}

// The layer's silhouette, moved by the centre offsets of s1 and s2, blacked,
// blurred by the sigma of s3 and laid under the layer at s4 % opacity: the
// shadow is composited first, then the unchanged layer over it.
int32_t row_drop_shadow(const EffectCall& call) {
  refresh(call);
  const uint32_t packed = call.colour();
  uint8_t fill[4];
  std::memcpy(fill, &packed, 4);  // r, g, b, and alpha 0: uncovered pixels are clear
  if (!imaging::offset_image(canvas_view(call, call.src), canvas_view(call, call.dst),
                             slider_offset(call.s[0], call.width), slider_offset(call.s[1], call.height),
                             imaging::EdgeMode::Fill, fill))
    return 0;
  unpremultiply(call, call.dst);
  set_color_rgba_buf(call.dst, call.width, call.height, 0, 0, 0);
  premultiply(call, call.dst);
  if (!imaging::gaussian_blur(canvas_view(call, call.dst), canvas_view(call, call.src),
                              float(blur_sigma(call.s[2])), 15))
    return 0;
  unpremultiply(call, call.src);
  std::memcpy(call.dst, call.src, size_t(call.stride()) * call.height);
  // composite() weights the shadow by mask and texture itself; weighting it here
  // as well would fade a partly selected shadow twice.
  refresh(call);
  composite(call, call.dst, mix::kNormal, trunc_i(call.s[3] * 2.559));
  composite(call, call.src, mix::kNormal, 255);
  return 1;
}

}  // namespace cvl
