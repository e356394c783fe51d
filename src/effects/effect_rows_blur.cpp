// Effect rows of the blur family, on the imaging library's filters.
#include <algorithm>

#include "imaging/filters/bilateral.h"
#include "imaging/filters/box_blur.h"
#include "imaging/filters/gaussian_blur.h"
#include "imaging/mix_views.h"
#include "imaging/filters/motion_blur.h"
#include "imaging/filters/path_blur.h"
#include "effects/effect_rows_imaging.h"
#include "effects/effect_views.h"

namespace cvl {
namespace {

// The premultiplied source blurred into the destination, every channel.
bool blur_src_into_dst(const EffectCall& call, double sigma) {
  return imaging::gaussian_blur(canvas_view(call, call.src), canvas_view(call, call.dst), float(sigma), 15);
}

// The blurred destination mixed back toward the source by a 0..100 slider.
void keep_of_blur(const EffectCall& call, float s) {
  imaging::mix_toward(canvas_view(call, call.src), canvas_view(call, call.dst), s * 0.01);
}

constexpr double kPi = 3.14159265358979323846;

}  // namespace

int32_t row_blur(const EffectCall& call) {
  // The slider is the box's width in pixels.
  return frame_p(call, [&] {
    return imaging::box_blur(canvas_view(call, call.src), canvas_view(call, call.dst), trunc_i(call.s[0]) / 2);
  });
}

// Three box passes (close to a Gaussian) of radius s1 / 5, with s2 % of the
// blur kept over the original.
int32_t row_blur_more(const EffectCall& call) {
  return frame_p(call, [&] {
    if (!imaging::box_blur(canvas_view(call, call.src), canvas_view(call, call.dst), trunc_i(call.s[0] * 0.2), 3))
      return false;
    keep_of_blur(call, call.s[1]);
    return true;
  });
}

// A streak s1 pixels long at the angle of s2 (50 is level), placed by s3: 0
// trails the pixel, 50 is centred on it, 100 leads it.
int32_t row_motion_blur(const EffectCall& call) {
  return frame_p(call, [&] {
    return imaging::motion_blur(canvas_view(call, call.src), canvas_view(call, call.dst), call.s[0],
                                slider_angle(call.s[1]), call.s[2] * 0.01);
  });
}

// A spin about the canvas centre through up to a quarter turn (s1), with s2 % of
// the blur kept.
int32_t row_radial_blur(const EffectCall& call) {
  return frame_p(call, [&] {
    if (!imaging::spin_blur(canvas_view(call, call.src), canvas_view(call, call.dst), (call.width - 1) * 0.5,
                            (call.height - 1) * 0.5, call.s[0] * 0.01 * kPi / 2))
      return false;
    keep_of_blur(call, call.s[1]);
    return true;
  });
}

// Streaks towards the canvas centre over up to the whole distance (s1), with
// s2 % of the blur kept.
int32_t row_zoom_blur(const EffectCall& call) {
  return frame_p(call, [&] {
    if (!imaging::zoom_blur(canvas_view(call, call.src), canvas_view(call, call.dst), (call.width - 1) * 0.5,
                            (call.height - 1) * 0.5, call.s[0] * 0.01))
      return false;
    keep_of_blur(call, call.s[1]);
    return true;
  });
}

// Radius s1 / 5 and range s2 / 4 (at least 0.1); the filter's fixed 135 scales
// the range to a brightness sigma in levels (x 1.35), so 50 smooths differences
// up to about 17 levels and keeps steeper edges.
int32_t row_surface_blur(const EffectCall& call) {
  const double range = std::max(call.s[1] * 0.25, 0.1);
  return frame_24(call, true, [&](Rgb24Pair pair) -> const uint8_t* {
    const bool ok = imaging::bilateral_filter(canvas_view24(call, pair.src), canvas_view24(call, pair.dst),
                                              trunc_i(call.s[0] * 0.2), range * 135 / 100);
    return ok ? pair.dst : nullptr;
  });
}

int32_t row_gaussian_blur(const EffectCall& call) {
  return frame_p(call, [&] { return blur_src_into_dst(call, gaussian_sigma(call)); });
}

// A soft glow: the layer's own blur laid over it in Overlay mode. The blur is
// taken premultiplied (so transparent pixels lend no colour) and un-premultiplied
// before it is composited, as the compositor expects straight alpha.
int32_t row_radiant(const EffectCall& call) {
  refresh(call);
  premultiply(call, call.src);
  if (!blur_src_into_dst(call, blur_sigma(call.s[0]))) return 0;
  unpremultiply(call, call.dst);
  composite(call, call.dst, mix::kOverlay, trunc_i(call.s[1] * 2.5));
  return 1;
}

}  // namespace cvl
