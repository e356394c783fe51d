// What the generators share with their plain twins in generate_reference.cpp: the
// limits on counts and lengths, the curves a path follows, the texture shading and
// the random size variation. Internal to the generators.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "imagescript/effect_support.h"
#include "imagescript/shape_layer.h"

namespace cvl::imagescript::generate_detail {

// A size shrunk at random by up to `variation` percent.
inline double vary(double size, int32_t variation, Lcg& random) {
  return size * (1.0 - std::clamp(variation, 0, 100) * 0.01 * random.unit());
}

inline int32_t path_count(int32_t n) { return std::clamp(n, 0, 20000); }

// A wandering path longer than this spends most of its steps off the picture; the cap
// keeps a wild length value from stalling the caller.
inline int32_t longest_path(int32_t w, int32_t h) { return 4 * (w + h); }

// The most paths with the most points (or trees at the most levels) would draw tens
// of millions of segments; past this many the picture is long since covered, and the
// call would only stall its caller.
inline constexpr int64_t kMostSegments = int64_t{1} << 18;

// Appends the Catmull-Rom curve through control points `c` (x, y pairs) to `out`,
// about two pixels a step.
inline void catmull_rom(const std::vector<double>& c, std::vector<double>& out) {
  const size_t n = c.size() / 2;
  auto at = [&](std::ptrdiff_t i, int axis) {
    return c[2 * size_t(std::clamp<std::ptrdiff_t>(i, 0, std::ptrdiff_t(n) - 1)) + axis];
  };
  out.assign({c[0], c[1]});
  for (size_t i = 0; i + 1 < n; ++i) {
    const std::ptrdiff_t k = std::ptrdiff_t(i);
    const double len = std::hypot(at(k + 1, 0) - at(k, 0), at(k + 1, 1) - at(k, 1));
    const int32_t steps = std::clamp(static_cast<int32_t>(len / 2), 2, 1000);
    for (int32_t s = 1; s <= steps; ++s) {
      const double t = double(s) / steps, t2 = t * t, t3 = t2 * t;
      for (int axis = 0; axis < 2; ++axis) {
        const double p0 = at(k - 1, axis), p1 = at(k, axis), p2 = at(k + 1, axis), p3 = at(k + 2, axis);
        out.push_back(
            0.5 * (2 * p1 + (p2 - p0) * t + (2 * p0 - 5 * p1 + 4 * p2 - p3) * t2 + (3 * p1 - p0 - 3 * p2 + p3) * t3));
      }
    }
  }
}

// A path of about `length` pixels from (x, y), two pixels a step, heading turning by up
// to `turn` radians each way a step.
inline void wander(Lcg& random, double x, double y, double heading, double length, double turn,
                   std::vector<double>& out) {
  out.assign({x, y});
  for (double walked = 0; walked < length; walked += 2) {
    heading += random.range(-turn, turn);
    x += 2 * std::cos(heading), y -= 2 * std::sin(heading);
    out.push_back(x), out.push_back(y);
  }
}

inline Rgb colour_at(const Values& v, int32_t index) {
  return {clamp_byte(v(index)), clamp_byte(v(index + 1)), clamp_byte(v(index + 2))};
}

inline uint8_t between(uint8_t c, double t) { return clamp_byte(c + (255 - 2 * c) * std::clamp(t, 0.0, 1.0)); }
inline Rgb shade(const Rgb& base, double t) { return {between(base.r, t), between(base.g, t), between(base.b, t)}; }

// Fills the layer from one field (a callback giving 0..1 for a channel and a pixel):
// the colour-to-inverse shading, or with `per_channel` one field each for R, G, B.
template <class Field>
inline void fill_layer(PaintLayer& layer, const Rgb& base, bool per_channel, Field field) {
  for (int32_t y = 0; y < layer.height(); ++y)
    for (int32_t x = 0; x < layer.width(); ++x) {
      if (per_channel)
        layer.set(
            x, y,
            {clamp_byte(255 * field(0, x, y)), clamp_byte(255 * field(1, x, y)), clamp_byte(255 * field(2, x, y))});
      else layer.set(x, y, shade(base, field(0, x, y)));
    }
}

}  // namespace cvl::imagescript::generate_detail
