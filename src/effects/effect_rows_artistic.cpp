// Effect rows of the artistic family: painterly and print-like filters on the
// imaging library, and the watercolour-and-ink recipe built from them.
#include <algorithm>

#include "core/pixel_convert.h"
#include "imaging/artistic/crackle.h"
#include "imaging/artistic/gauzy.h"
#include "imaging/artistic/halftone.h"
#include "imaging/artistic/mosaic.h"
#include "imaging/artistic/oil_paint.h"
#include "imaging/artistic/scribble.h"
#include "imaging/artistic/stipple.h"
#include "effects/effect_rows_imaging.h"
#include "effects/inhouse_effects.h"

namespace cvl {
namespace {

using imaging::ImageView;

ImageView view24(const EffectCall& call, uint8_t* image) { return {image, call.width, call.height, 3, call.width * 3}; }

// Frame 24 around an operation from the 24-bit source into the 24-bit destination.
template <class Op>
int32_t filter24(const EffectCall& call, Op&& op) {
  return frame_24(call, true, [&](const Rgb24Pair& pair) -> const uint8_t* {
    return op(view24(call, pair.src), view24(call, pair.dst)) ? pair.dst : nullptr;
  });
}

// A cell size of s x 0.5 pixels, at least one.
int32_t cell_of(float s) { return std::max(1, trunc_i(s * 0.5)); }

}  // namespace

// A brush of radius 2..12 and 0..255 brightness levels (at least one: with no
// levels there would be no bin to count in).
int32_t row_oil_paint(const EffectCall& call) {
  const int32_t radius = trunc_i(call.s[0] * 0.01 * 10 + 2), levels = trunc_i(call.s[1] * 0.01 * 255);
  const uint32_t flags = (call.flag(0) ? 1u : 0u) | (call.flag(1) ? 2u : 0u);
  return filter24(call, [&](const ImageView& s, const ImageView& d) {
    return imaging::oil_paint(s, d, radius, std::max(levels, 1), flags);
  });
}

// Density trunc(s1), ink by option, dots seeded by i2.
int32_t row_stipple(const EffectCall& call) {
  return filter24(call, [&](const ImageView& s, const ImageView& d) {
    return imaging::stipple_image(s, d, trunc_i(call.s[0]), imaging::stipple_ink_from_code(call.option),
                                  static_cast<uint32_t>(call.i2));
  });
}

int32_t row_halftone(const EffectCall& call) {
  return frame_24(call, false, [&](const Rgb24Pair& pair) -> const uint8_t* {
    return imaging::halftone_image(view24(call, pair.src), cell_of(call.s[0]), call.f[0] != 0) ? pair.src : nullptr;
  });
}

// Premultiplied, so that transparent pixels lend a tile no colour; the source
// is tiled in place and loaded.
int32_t row_mosaic(const EffectCall& call) {
  refresh(call);
  premultiply(call, call.src);
  if (!imaging::mosaic_image({call.src, call.width, call.height, 4, call.stride()}, cell_of(call.s[0]))) return 0;
  unpremultiply(call, call.src);
  return load(call, call.src);
}

// Tiles of 4..54 pixels; option 1 lightens the cracks, f1 pillows the tiles.
int32_t row_crackle(const EffectCall& call) {
  return filter24(call, [&](const ImageView& s, const ImageView& d) {
    return imaging::crackle_image(s, d, trunc_i(call.s[0] * 0.5) + 4, call.option != 0, call.flag(0));
  });
}

// Glow blurred as the blur rows do (s1), mixed in by s2 %, brightened by s3 %,
// blended by option.
int32_t row_gausy(const EffectCall& call) {
  return filter24(call, [&](const ImageView& s, const ImageView& d) {
    return imaging::gauzy_image(s, d, float(blur_sigma(call.s[0])), call.s[1] * 0.01f, call.s[2] * 0.01f,
                                imaging::gauzy_blend_from_code(call.option));
  });
}

int32_t row_scribble(const EffectCall& call) {
  return filter24(call, [&](const ImageView& s, const ImageView& d) {
    return imaging::scribble_image(s, d, imaging::scribble_ink_from_code(call.option), call.flag(0),
                                   trunc_i(call.s[0]));
  });
}

// The popped picture turned to an inverted grey, hatched in full, softened and
// laid over the layer as a texture.
int32_t row_watercolour_and_ink(const EffectCall& call) {
  refresh(call);
  photo_pop(*call.canvas, *call.tool, call.S[0], call.s[1], call.f[0]);
  if (!inhouse(call, "Grayscale", 0, fixed_args({}))) return 0;
  if (!inhouse(call, "Invert", 1, fixed_args({}))) return 0;
  const Rgb24Pair pair = alloc_rgb24(call, true);
  if (!pair.src || !pair.dst) return 0;
  rgba_to_rgb(pair.src, call.width, call.height, call.dst);
  if (!imaging::scribble_image(view24(call, pair.src), view24(call, pair.dst), imaging::ScribbleInk::Black,
                               call.f[1] != 0, 100))
    return 0;
  rgb_to_rgba(call.dst, call.width, call.height, pair.dst);
  if (!inhouse(call, "Value Blur", 1, fixed_args({1000, 1000 - call.S[2]}))) return 0;
  composite(call, call.dst, mix::kTexturize2, 255);
  return 1;
}

}  // namespace cvl
