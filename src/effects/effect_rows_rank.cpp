// Effect rows of the window filters: means, extremes, medians and the dot
// removers built on them. Window sizes come as s1 / 5 (0..20 pixels across);
// a size n filters the window of radius n / 2.
#include "imaging/filters/box_blur.h"
#include "imaging/filters/lone_dots.h"
#include "imaging/filters/dust_and_scratches.h"
#include "imaging/filters/median_filter.h"
#include "imaging/filters/min_max_filter.h"
#include "imaging/filters/window_means.h"
#include "effects/effect_rows_imaging.h"
#include "effects/effect_views.h"

namespace cvl {
namespace {

int32_t window_radius(const EffectCall& call) { return trunc_i(call.s[0] * 0.2) / 2; }

using WindowOp = bool (*)(const imaging::ImageView&, const imaging::ImageView&, int32_t);

// Frame P: the premultiplied, refreshed source filtered into the destination.
int32_t window_p(const EffectCall& call, WindowOp op) {
  return frame_p(call, [&] { return op(canvas_view(call, call.src), canvas_view(call, call.dst), window_radius(call)); });
}
// Frame R on the source as the host left it.
int32_t window_as_it_stands(const EffectCall& call, WindowOp op) {
  return frame_r(
      call, [&] { return op(canvas_view(call, call.src), canvas_view(call, call.dst), window_radius(call)); }, true);
}

bool arithmetic_mean(const imaging::ImageView& s, const imaging::ImageView& d, int32_t r) {
  return imaging::box_blur(s, d, r);
}
bool median(const imaging::ImageView& s, const imaging::ImageView& d, int32_t r) {
  return imaging::median_filter(s, d, r);
}

}  // namespace

int32_t row_arithmetic_mean(const EffectCall& call) { return window_p(call, arithmetic_mean); }
int32_t row_geometric_mean(const EffectCall& call) { return window_as_it_stands(call, imaging::geometric_mean); }
int32_t row_harmonic_mean(const EffectCall& call) { return window_as_it_stands(call, imaging::harmonic_mean); }
int32_t row_maximum2(const EffectCall& call) { return window_as_it_stands(call, imaging::maximum_filter); }
int32_t row_minimum2(const EffectCall& call) { return window_as_it_stands(call, imaging::minimum_filter); }
int32_t row_midpoint(const EffectCall& call) { return window_p(call, imaging::midpoint_filter); }
int32_t row_median(const EffectCall& call) { return window_as_it_stands(call, median); }

int32_t row_despeckle(const EffectCall& call) {
  return frame_l(call, [&] { return imaging::remove_lone_dots(canvas_view(call, call.src), 7); });
}

// Radius 1 + s1 / 10, threshold s2 % of 255 levels, and s3 % of the way to the
// median for what stands out.
int32_t row_dust_and_scratches(const EffectCall& call) {
  return frame_24(call, true, [&](Rgb24Pair pair) -> const uint8_t* {
    const bool ok = imaging::dust_and_scratches(canvas_view24(call, pair.src), canvas_view24(call, pair.dst),
                                                1 + trunc_i(call.s[0] * 0.1), trunc_i(call.s[1] * 2.55),
                                                call.s[2] * 0.01);
    return ok ? pair.dst : nullptr;
  });
}

}  // namespace cvl
