// Effect rows of the relief and edge family: emboss, bevel, Canny edges and
// fingerprint, on 24-bit copies of the layer (alpha kept).
#include <algorithm>
#include <vector>

#include "imaging/filters/bevel.h"
#include "imaging/filters/canny.h"
#include "imaging/filters/emboss.h"
#include "imaging/artistic/fingerprint.h"
#include "imaging/tone/grey.h"
#include "effects/effect_rows_imaging.h"

namespace cvl {
namespace {

constexpr double kDegree = 3.14159265358979323846 / 180;

imaging::ImageView view24(const EffectCall& call, uint8_t* image) {
  return {image, call.width, call.height, 3, call.width * 3};
}

// Frame 24 around `op(grey, plane)`, which turns the grey of the 24-bit copy
// into a plane that becomes the result's R, G and B.
template <class Op>
int32_t grey_plane_row(const EffectCall& call, Op&& op) {
  return frame_24(call, true, [&](const Rgb24Pair& pair) -> const uint8_t* {
    std::vector<uint8_t> grey(static_cast<size_t>(call.width) * call.height);
    if (!imaging::image_to_grey(view24(call, pair.src), grey.data(), call.width)) return nullptr;
    if (!op(grey.data())) return nullptr;
    grey_to_rgb24(grey.data(), pair.dst, call.width * call.height);
    return pair.dst;
  });
}

}  // namespace

// The colour lit by a relief: s1 the light's direction, s2 its height, s3 the
// depth. The relief is the W-wide plane `height`, or the layer's own grey.
int32_t emboss_layer(const EffectCall& call, const uint8_t* height) {
  const double azimuth = call.s[0] * 3.6 / 360 * 6.28, elevation = call.s[1] * 3.6 / 360 * 3.14;
  const int32_t depth = trunc_i(call.s[2] * 0.5);
  return frame_24(call, true, [&](const Rgb24Pair& pair) -> const uint8_t* {
    const imaging::ImageView src = view24(call, pair.src), dst = view24(call, pair.dst);
    std::vector<uint8_t> grey;
    if (!height) {
      grey.resize(static_cast<size_t>(call.width) * call.height);
      if (!imaging::image_to_grey(src, grey.data(), call.width)) return nullptr;
      height = grey.data();
    }
    return imaging::emboss(height, call.width, src, dst, azimuth, elevation, depth) ? pair.dst : nullptr;
  });
}

int32_t row_emboss(const EffectCall& call) { return emboss_layer(call, nullptr); }

// s1 the slope's width (up to a quarter of the shorter side), s2 the light's
// direction (x 3.6 degrees), s3 and s4 highlight and shadow strength (%), s5 the
// rounding of the profile (%), s6 the light's height (x 0.9 degrees); f1 sinks
// the tile instead of raising it.
int32_t row_bevel(const EffectCall& call) {
  imaging::BevelSettings bevel;
  bevel.width = trunc_i(call.s[0] * 0.01 * std::min(call.width, call.height) * 0.25);
  bevel.azimuth = call.s[1] * 3.6 * kDegree;
  bevel.highlight = call.s[2] * 0.01;
  bevel.shadow = call.s[3] * 0.01;
  bevel.rounding = call.s[4] * 0.01;
  bevel.elevation = call.s[5] * 0.9 * kDegree;
  bevel.sunken = call.flag(0);
  return frame_24(call, false, [&](const Rgb24Pair& pair) -> const uint8_t* {
    return imaging::shade_bevel_edge(view24(call, pair.src), bevel) ? pair.src : nullptr;
  });
}

// White edges on black: s1 the smoothing (sigma 0.5 to 4.5), s2 and s3 the
// steps (grey levels, 0 to 50 and 0 to 100) that continue and start an edge.
int32_t row_edge2(const EffectCall& call) {
  imaging::CannySettings canny;
  canny.sigma = 0.5 + call.s[0] * 0.04;
  canny.low = call.s[1] * 0.5;
  canny.high = call.s[2];
  return grey_plane_row(call, [&](uint8_t* grey) {
    std::vector<uint8_t> edges(static_cast<size_t>(call.width) * call.height);
    if (!imaging::canny_edges(grey, call.width, call.width, call.height, canny, edges.data(), call.width))
      return false;
    std::copy(edges.begin(), edges.end(), grey);
    return true;
  });
}

// s1 the number of ridges from black to white (2 to 32), s2 the smoothing
// (sigma up to 5 pixels); f1 swaps ridges and valleys.
int32_t row_fingerprint(const EffectCall& call) {
  const double bands = 2 + call.s[0] * 0.3, smoothing = call.s[1] * 0.05;
  const bool invert = call.flag(0);
  return grey_plane_row(call, [&](uint8_t* grey) {
    return imaging::fingerprint(grey, call.width, call.width, call.height, bands, smoothing, invert, grey,
                                call.width);
  });
}

}  // namespace cvl
