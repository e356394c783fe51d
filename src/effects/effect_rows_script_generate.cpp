// Image-script generators: shapes, paths and textures drawn over a copy of the
// layer (frame I) and blended onto it by the mode the host picks in i2.
//
// Counts that the host gives as a slider ("from s1") are trunc(s1 x 5): 0 to 500
// shapes, 250 at the middle. "Generate Noise" takes s1 as its density in percent
// instead, and its grain strength from s2 (as a byte), full when f2 is set.
#include "effects/effect_rows_script.h"

namespace cvl {
namespace {

int32_t count_from(float s1) { return trunc_i(s1 * 5); }
// A width or size as a quarter of the slider.
int32_t quarter(float s) { return trunc_i(s * 0.25); }
int32_t tenfold(float s) { return trunc_i(s * 10); }

// A generator's values: the colour at three indices from `first`, the remapped
// blend at `blend`.
ScriptValues generator(const EffectCall& call, int first_colour, int blend) {
  ScriptValues v;
  v.set(first_colour, call.r).set(first_colour + 1, call.g).set(first_colour + 2, call.b);
  v.set(blend, generator_i2(call.i2));
  return v;
}

}  // namespace

int32_t row_lines(const EffectCall& call) {
  ScriptValues v = generator(call, 8, 14);
  v.set(3, call.i1).set(4, count_from(call.s[0])).set(5, tenfold(call.s[1])).set(6, trunc_i(call.s[3] * 0.01 * 360));
  v.set(7, quarter(call.s[4])).set(15, call.f[0]).set(16, call.f[1]).set(17, trunc_i(call.s[5])).set(18, trunc_i(call.s[2]));
  return frame_i(call, 1, v);
}

int32_t row_points(const EffectCall& call) {
  ScriptValues v = generator(call, 6, 12);
  v.set(3, call.i1).set(4, count_from(call.s[0])).set(5, quarter(call.s[1])).set(13, call.f[0]).set(14, trunc_i(call.s[2]));
  return frame_i(call, 43, v);
}

int32_t row_circles(const EffectCall& call) {
  ScriptValues v = generator(call, 8, 14);
  v.set(3, call.i1).set(4, count_from(call.s[0])).set(5, tenfold(call.s[1])).set(7, quarter(call.s[3]));
  v.set(15, call.f[0]).set(16, call.f[1]).set(17, trunc_i(call.s[4])).set(18, trunc_i(call.s[2]));
  return frame_i(call, 2, v);
}

int32_t row_rectangles(const EffectCall& call) {
  ScriptValues v = generator(call, 8, 14);
  v.set(3, call.i1).set(4, count_from(call.s[0])).set(5, tenfold(call.s[1])).set(6, tenfold(call.s[2]));
  v.set(7, quarter(call.s[4])).set(15, call.f[0]).set(16, call.f[1]).set(17, trunc_i(call.s[5])).set(18, trunc_i(call.s[3]));
  return frame_i(call, 3, v);
}

int32_t row_splines(const EffectCall& call) {
  ScriptValues v = generator(call, 9, 15);
  v.set(3, call.i1).set(4, count_from(call.s[0])).set(5, trunc_i(call.s[1] * 0.64)).set(7, tenfold(call.s[2]));
  v.set(8, quarter(call.s[4])).set(16, call.f[0]).set(17, trunc_i(call.s[5])).set(18, trunc_i(call.s[3]));
  return frame_i(call, 4, v);
}

int32_t row_worms(const EffectCall& call) {
  ScriptValues v = generator(call, 8, 14);
  v.set(3, call.i1).set(4, count_from(call.s[0])).set(5, tenfold(call.s[1])).set(6, tenfold(call.s[2]));
  v.set(7, quarter(call.s[3])).set(15, call.f[0]).set(16, trunc_i(call.s[4]));
  return frame_i(call, 37, v);
}

int32_t row_fibers(const EffectCall& call) {
  ScriptValues v = generator(call, 8, 16);
  v.set(3, call.i1).set(4, trunc_i(call.s[0] + 4)).set(5, tenfold(call.s[1])).set(6, quarter(call.s[2]));
  v.set(7, quarter(call.s[4])).set(11, trunc_i(call.s[5])).set(12, trunc_i(call.s[3]));
  return frame_i(call, 59, v);
}

int32_t row_trees(const EffectCall& call) {
  ScriptValues v = generator(call, 9, 15);
  v.set(3, call.i1).set(4, count_from(call.s[0])).set(5, tenfold(call.s[2])).set(6, trunc_i(call.s[3] * 0.1));
  v.set(8, quarter(call.s[4])).set(16, call.f[0]).set(17, trunc_i(call.s[5])).set(19, trunc_i(call.s[1]));
  return frame_i(call, 58, v);
}

int32_t row_generate_noise(const EffectCall& call) {
  ScriptValues v = generator(call, 7, 13);
  v.set(3, call.i1).set(4, trunc_i(call.s[0])).set(5, call.flag(1) ? 255 : slider_byte(call.s[1]));
  v.set(6, trunc_i(call.s[2])).set(14, call.f[0]);
  return frame_i(call, 21, v);
}

int32_t row_blobs(const EffectCall& call) {
  ScriptValues v = generator(call, 7, 13);
  v.set(3, call.i1).set(4, count_from(call.s[0])).set(5, tenfold(call.s[1])).set(14, call.f[0]);
  return frame_i(call, 20, v);
}

int32_t row_plasma(const EffectCall& call) {
  ScriptValues v = generator(call, 5, 11);
  v.set(3, call.i1).set(4, trunc_i(call.s[0] * 5)).set(12, call.f[0]);
  return frame_i(call, 5, v);
}

int32_t row_sine_plasma(const EffectCall& call) {
  ScriptValues v = generator(call, 7, 13);
  v.set(3, trunc_i(call.s[0] * 0.33333334f)).set(4, trunc_i(call.s[1] * 0.33333334f));
  v.set(5, trunc_i(call.s[2] * 2.5)).set(6, trunc_i(call.s[3] * 2.5));
  return frame_i(call, 24, v);
}

int32_t row_fractal_plasma(const EffectCall& call) {
  ScriptValues v = generator(call, 4, 10);
  v.set(3, call.i1).set(11, call.f[0]);
  return frame_i(call, 55, v);
}

int32_t row_perlin(const EffectCall& call) {
  ScriptValues v = generator(call, 6, 12);
  v.set(3, call.i1).set(4, trunc_i(call.s[0] + 1)).set(5, trunc_i(call.s[1] + 1)).set(13, call.f[0]);
  return frame_i(call, 11, v);
}

int32_t row_pattern(const EffectCall& call) {
  ScriptValues v;
  v.set(3, trunc_i(call.s[0])).set(4, trunc_i(call.s[1])).set(5, quarter(call.s[3])).set(6, call.option);
  v.set(10, generator_i2(call.i2)).set(11, trunc_i(call.s[4])).set(12, trunc_i(call.s[2])).set(13, call.f[0]);
  return frame_i(call, 42, v);
}

}  // namespace cvl
