// Effect rows that sharpen, on the 24-bit copies (colour only, alpha kept).
#include "imaging/filters/sharpen.h"
#include "imaging/filters/unsharp_mask.h"
#include "effects/effect_rows_imaging.h"
#include "effects/effect_views.h"

namespace cvl {
namespace {

// Runs op(source view, destination view) in frame 24 with an output.
template <class Op>
int32_t sharpen_24(const EffectCall& call, Op op) {
  return frame_24(call, true, [&](Rgb24Pair pair) -> const uint8_t* {
    return op(canvas_view24(call, pair.src), canvas_view24(call, pair.dst)) ? pair.dst : nullptr;
  });
}

}  // namespace

// Amount s1 tenths of the detail over the smallest window.
int32_t row_sharpen(const EffectCall& call) {
  return sharpen_24(call, [&](const auto& s, const auto& d) { return imaging::sharpen(s, d, trunc_i(call.s[0]), 7); });
}

// Twice the amount of "Sharpen", over a window of radius 1 + s2 / 20.
int32_t row_sharpen_more(const EffectCall& call) {
  const int32_t radius = 1 + trunc_i(call.s[1] * 0.05);
  return sharpen_24(call, [&](const auto& s, const auto& d) { return imaging::sharpen(s, d, 2 * trunc_i(call.s[0]), 6 * radius + 1); });
}

// Amount s1 / 20 (0..5), Gaussian radius s2 / 10 + 0.5 pixels, detail below s3 / 5
// levels left alone, and no pixel moved by more than s4 % of 255 levels.
int32_t row_unsharp_mask(const EffectCall& call) {
  return sharpen_24(call, [&](const auto& s, const auto& d) {
    return imaging::unsharp_mask(s, d, call.s[0] * 0.05, call.s[1] * 0.1 + 0.5, trunc_i(call.s[2] * 0.2),
                                 trunc_i(call.s[3] * 2.55));
  });
}

}  // namespace cvl
