// Image-script effects that change the look of the layer in place: relief, edges,
// the rank filters and colourize.
#include "effects/effect_rows_script.h"

namespace cvl {
namespace {

// A depth or height 1..256 from a slider.
int32_t depth_from(float s) { return trunc_i(s * 2.559 + 1); }
// The rank filters' reach in pixels, at least 1.
int32_t rank_reach(float s) { return trunc_i(s * 0.25 + 1); }

}  // namespace

int32_t row_colourize(const EffectCall& call) {
  ScriptValues v;
  v.set(3, slider_byte(call.s[0])).set(4, slider_byte(call.s[1])).set(5, slider_byte(call.s[2]));
  return frame_i(call, 28, v);
}

int32_t row_edge(const EffectCall& call) {
  ScriptValues v;
  v.set(3, slider_byte(call.s[0])).set(4, trunc_i(call.s[1])).set(5, trunc_i(call.s[2]));
  return frame_i(call, 19, v);
}

int32_t row_bump(const EffectCall& call) {
  return frame_i(call, 27, bump_values(call));
}

int32_t row_emboss2(const EffectCall& call) {
  ScriptValues v;
  v.set(3, depth_from(call.s[0])).set(4, trunc_i(call.s[1] * 3.6)).set(5, trunc_i(call.s[2] * 1.8)).set(7, trunc_i(call.s[3]));
  return frame_i(call, 23, v);
}

int32_t row_maximum(const EffectCall& call) {
  ScriptValues v;
  v.set(3, rank_reach(call.s[0]));
  return frame_i(call, 25, v);
}

int32_t row_minimum(const EffectCall& call) {
  ScriptValues v;
  v.set(3, rank_reach(call.s[0]));
  return frame_ip(call, 26, v);
}

ScriptValues bump_values(const EffectCall& call) {
  ScriptValues v;
  v.set(3, depth_from(call.s[0])).set(4, trunc_i(call.s[1] * 0.5 + 1)).set(5, trunc_i(call.s[2] * 0.5 - 25));
  return v;
}

}  // namespace cvl
