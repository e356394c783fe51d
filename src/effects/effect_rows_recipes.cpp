// Recipes: contrast masks, the pop and detail recipes built on them, the
// inverted glow "Radiant 2", the drop shadow, and the pencil, crayon and
// embossed-sketch recipes.
#include <cstring>

#include "imaging/filters/contrast_mask.h"
#include "imaging/filters/gaussian_blur.h"
#include "imaging/geometry/offset.h"
#include "imaging/tone/saturation.h"
#include "effects/effect_rows_imaging.h"
#include "effects/effect_rows_inhouse.h"
#include "effects/effect_views.h"
#include "effects/inhouse_effects.h"
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
  if (!inhouse(call, "Grayscale", 0, by_option) || !inhouse(call, "Invert", 1, by_option)) return 0;
  premultiply(call, call.dst);
  if (!imaging::gaussian_blur(canvas_view(call, call.dst), canvas_view(call, call.src),
                              float(blur_sigma(call.s[0])), 15))
    return 0;
  unpremultiply(call, call.src);
  composite(call, call.src, mix::kSoftLight, 255);
  return 1;
}

// A fresh copy of the layer made more or less colourful by the saturation
// factor of s2, loaded.
int32_t saturate_layer(const EffectCall& call) {
  return frame_l(call, [&] {
    return imaging::modify_saturation(canvas_view(call, call.src), saturation_factor(call.s[1]));
  });
}

// The source (as the caller left it) embossed grey by image-script effect 23 and
// loaded, then lightened in Dodge by the inverted grey of the same picture, so
// dark strokes of the picture come out as pencil lines on the relief. The grey
// and invert steps take call.option.
int32_t embossed_sketch(const EffectCall& call, const ScriptValues& emboss) {
  const InhouseArgs by_option = fixed_args({}, call.option);
  if (!inhouse(call, "Grayscale", 0, by_option) || !inhouse(call, "Invert", 1, by_option)) return 0;
  if (!run_script_effect(call, 23, emboss, call.src)) return 0;
  load(call, call.src);
  composite(call, call.dst, mix::kDodge, 255);
  return 1;
}

}  // namespace

int32_t row_contrast_mask(const EffectCall& call) { return contrast_mask_step(call, call.flag(0)); }

int32_t row_photo_pop(const EffectCall& call) {
  return photo_pop(*call.canvas, *call.tool, call.S[0], call.s[1], call.f[0]);
}

// The contrast mask (never per channel), the pop recipe, then an outline of the
// result laid over it in Texturize. The outline's grey and invert steps take no
// option.
int32_t row_photo_detailer(const EffectCall& call) {
  contrast_mask_step(call, false);
  refresh(call);
  photo_pop(*call.canvas, *call.tool, call.S[1], call.s[2], 0);
  EffectCall outline = call;
  outline.option = 0;
  return sketch(outline, {false, 1000, 1000 - call.S[3], mix::kTexturize});
}

// The layer's contrast mask inverted and laid over the layer in Texturize at
// s1 % opacity. The source is refreshed first so the mask is of this layer.
int32_t row_radiant2(const EffectCall& call) {
  refresh(call);
  if (!contrast_mask_src(call, false, 4.777777777777778)) return 0;
  if (!inhouse(call, "Invert", 0, fixed_args({}))) return 0;
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
  set_colour_rgba_buf(call.dst, call.width, call.height, 0, 0, 0);
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

// A shallow bas relief (option its direction), contrast raised by S1, each
// loaded; then s2 sets the colourfulness. The saturation step reads the layer
// afresh: the source still holds the relief from before the contrast step, and
// saturating that would throw the contrast away.
int32_t row_colour_pencil(const EffectCall& call) {
  if (!inhouse(call, "Bas Relief", 0, fixed_args({300}, call.option))) return 0;
  load(call, call.dst);
  refresh(call);
  if (!inhouse(call, "Hyper Contrast", 0, fixed_args({call.S[0]}))) return 0;
  load(call, call.dst);
  return saturate_layer(call);
}

// The pencil softened by "Value Blur" at S3 both ways.
int32_t row_crayon(const EffectCall& call) {
  if (!row_colour_pencil(call)) return 0;
  if (!inhouse(call, "Value Blur", 0, fixed_args({call.S[2], call.S[2]}))) return 0;
  return load(call, call.dst);
}

// The crayon grained by Gaussian noise on a fresh copy of the layer: s4 the
// spread as "Add Gaussian Noise" reads s1, f1 monochrome.
int32_t row_pointillism(const EffectCall& call) {
  if (!row_crayon(call)) return 0;
  EffectCall noise = call;
  noise.S[0] = call.S[3];
  noise.s[0] = call.s[3];
  return row_add_gaussian_noise(noise);
}

// Lit from straight above at the depth of s1, so slopes darken and flats stay white.
int32_t row_colour_pencil2(const EffectCall& call) {
  refresh(call);
  ScriptValues emboss;
  emboss.set(3, trunc_i(call.s[0] * 2.55 + 1)).set(4, 180).set(5, 90).set(7, 0);
  return embossed_sketch(call, emboss);
}

// Depth from s1 and the light's direction from s2 as "Emboss2" reads them, the
// light 45 degrees high.
int32_t row_emboss3(const EffectCall& call) {
  ScriptValues emboss;
  emboss.set(3, trunc_i(call.s[0] * 2.559 + 1)).set(4, trunc_i(call.s[1] * 3.6)).set(5, 45).set(7, 0);
  return embossed_sketch(call, emboss);
}

}  // namespace cvl
