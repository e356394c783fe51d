// Image-script distortions. Each is run twice with the same values, once on the
// alpha plane and once on colour (frames S and SL), so a shape's outline goes
// where its colour goes.
#include "effects/effect_rows_script.h"

namespace cvl {
namespace {

// A third of a slider, as the segment and wave counts take it.
int32_t third(float s) { return trunc_i(s * 0.33333334f); }
// A slider as thousandths either side of the middle: 0 -> -1000, 50 -> 0, 100 -> 1000.
int32_t signed_thousandths(float s) { return trunc_i(s * 20 - 1000); }
// A slider as a signed double turn: 0 -> -360, 50 -> 0, 100 -> 360 degrees.
int32_t signed_turn(float s) { return trunc_i(s * 7.2 - 360); }

// Values 3, 4, ... in order.
ScriptValues values(std::initializer_list<int32_t> list) {
  ScriptValues v;
  v.v.assign(list);
  return v;
}

}  // namespace

int32_t row_twirl(const EffectCall& call) {
  // A radius or fall-off of 0 would twirl nothing; the least is one.
  const float radius = call.s[1] < 1 ? 1.0f : call.s[1], falloff = call.s[2] < 1 ? 1.0f : call.s[2];
  ScriptValues v;
  v.set(3, signed_turn(call.s[0])).set(4, trunc_i(radius)).set(5, trunc_i(falloff)).set(7, call.f[0]);
  return frame_s(call, 6, v);
}

int32_t row_sine_distortion(const EffectCall& call) {
  const int32_t w = call.width, h = call.height;
  ScriptValues v;
  v.set(3, trunc_i(w * 0.01 * call.s[0]))
      .set(4, trunc_i(h * 0.01 * call.s[1]))
      .set(5, third(call.s[2]))
      .set(6, third(call.s[3]))
      .set(7, trunc_i(w * 0.01 * call.s[4] - 1))
      .set(8, trunc_i(h * 0.01 * call.s[5] - 1))
      .set(9, call.f[0]);
  return frame_s(call, 13, v);
}

int32_t row_kaleidoscope(const EffectCall& call) {
  ScriptValues v;
  v.set(3, trunc_i(call.width * 0.01 * call.s[0]))
      .set(4, trunc_i(call.height * 0.01 * call.s[1]))
      .set(5, third(call.s[2]))
      .set(6, call.option);
  return frame_s(call, 49, v);
}

int32_t row_scratch(const EffectCall& call) {
  ScriptValues v;
  v.set(3, call.i1)
      .set(4, trunc_i(call.s[0]))
      .set(5, trunc_i(call.s[1] * 4))
      .set(6, trunc_i(call.s[2] * 3.6))
      .set(7, call.f[0])
      .set(9, call.f[1]);
  return frame_sl(call, 56, v);
}

int32_t row_waves(const EffectCall& call) {
  return frame_s(call, 16,
                 values({trunc_i(call.s[0] * 10), trunc_i(call.s[1] * 5), call.f[0], trunc_i(call.s[2] * 3.6)}));
}

int32_t row_divider(const EffectCall& call) {
  return frame_sl(call, 17, values({trunc_i(call.s[0]), trunc_i(call.s[1])}));
}

int32_t row_carpet(const EffectCall& call) {
  return frame_sl(call, 18, values({trunc_i(call.s[0] * 5), trunc_i(call.s[1] * 5)}));
}

int32_t row_glass(const EffectCall& call) {
  return frame_sl(call, 39, values({call.i1, trunc_i(call.s[0] * 10), trunc_i(call.s[1] * 0.25)}));
}

int32_t row_voxel(const EffectCall& call) {
  return frame_sl(call, 22, values({trunc_i(call.s[0] + 4)}));
}

int32_t row_zoom(const EffectCall& call) {
  ScriptValues v;
  v.set(3, trunc_i(call.s[0] * 10 + 1))
      .set(4, signed_thousandths(call.s[1]))
      .set(5, signed_thousandths(call.s[2]))
      .set(7, call.f[0]);
  return frame_s(call, 50, v);
}

int32_t row_rotate(const EffectCall& call) {
  return frame_s(call, 51, values({signed_turn(call.s[0]), trunc_i(call.s[1] * 10)}));
}

int32_t row_tilt(const EffectCall& call) {
  return frame_s(call, 54, values({signed_thousandths(call.s[0]), signed_thousandths(call.s[1])}));
}

int32_t row_seamless(const EffectCall& call) {
  return frame_sl(call, 52, values({trunc_i(call.s[0] * 3)}));
}

}  // namespace cvl
