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

// The path generators' strokes. Each makes every random draw of its generator, in
// order, and hands every stroke to `stroke(xy, points, width, colour, opacity)` (xy
// the points' x, y pairs); the fast and the plain drawing differ only in how they lay
// them. False when there is nothing to draw, so the picture is left as it is.

// 4: value 4 the count, 5 control points a spline, 7 the reach in pixels between
// control points, 8 width, 9-11 colour, 16 random colours, 17 colour variation, 18
// width variation.
template <class Stroke>
bool spline_strokes(const Values& v, int32_t w, int32_t h, Stroke stroke) {
  const int32_t count = path_count(v(4));
  if (count == 0) return false;
  Lcg random(v(3));
  const Palette palette = palette_from(v, 9, 16, 17);
  const int32_t points = std::clamp(v(5), 3, 64);
  const double reach = std::clamp(v(7), 1, w + h), width = std::max(v(8), 1);
  std::vector<double> control, curve;
  int64_t segments = 0;
  for (int32_t i = 0; i < count && segments < kMostSegments; ++i) {
    double x = random.range(0, w), y = random.range(0, h);
    control.clear();
    for (int32_t p = 0; p < points; ++p) {
      control.push_back(x), control.push_back(y);
      x += random.range(-reach, reach), y += random.range(-reach, reach);
    }
    catmull_rom(control, curve);
    segments += int64_t(curve.size() / 2);
    const double wd = std::max(1.0, width * (1.0 - std::clamp(v(18), 0, 100) * 0.01 * random.unit()));
    stroke(curve.data(), curve.size() / 2, wd, palette.pick(random), 1.0);
  }
  return true;
}

// 37: value 4 the count, 5 length in pixels, 6 how much they curl (tenths of a degree a
// step), 7 width, 8-10 colour, 15 random colours, 16 colour variation.
template <class Stroke>
bool worm_strokes(const Values& v, int32_t w, int32_t h, Stroke stroke) {
  const int32_t count = path_count(v(4));
  if (count == 0) return false;
  Lcg random(v(3));
  const Palette palette = palette_from(v, 8, 15, 16);
  const double length = std::clamp(v(5), 1, longest_path(w, h)), turn = std::clamp(v(6), 0, 1800) * 0.1 * (kPi / 180.0);
  const double width = std::max(v(7), 1);
  std::vector<double> path;
  for (int32_t i = 0; i < count; ++i) {
    const double x = random.range(0, w), y = random.range(0, h), heading = random.range(0, 2 * kPi);
    wander(random, x, y, heading, length, turn, path);
    stroke(path.data(), path.size() / 2, width, palette.pick(random), 1.0);
  }
  return true;
}

// 58: value 4 the count, 5 trunk length, 6 levels of branching, 8 trunk width, 9-11
// colour, 16 random colours, 17 colour variation, 19 the spread of the branches
// (percent of a right angle). Trees grow upward from random places.
template <class Stroke>
bool tree_strokes(const Values& v, int32_t w, int32_t h, Stroke stroke) {
  const int32_t count = path_count(v(4));
  if (count == 0) return false;
  Lcg random(v(3));
  const Palette palette = palette_from(v, 9, 16, 17);
  const double trunk = std::clamp(v(5), 1, 20000), spread = std::clamp(v(19), 0, 100) * 0.01 * (kPi / 2);
  const int32_t levels = std::clamp(v(6), 1, 12);
  const double width = std::max(v(8), 1);
  struct Branch {
    double x, y, heading, length, width;
    int32_t level;
  };
  std::vector<Branch> todo;
  int64_t segments = 0;
  for (int32_t i = 0; i < count && segments < kMostSegments; ++i) {
    const Rgb colour = palette.pick(random);
    todo.push_back(
        {random.range(0, w), random.range(h * 0.3, double(h)), kPi / 2 + random.range(-0.15, 0.15), trunk, width, 0});
    while (!todo.empty() && segments++ < kMostSegments) {
      const Branch b = todo.back();
      todo.pop_back();
      const double ex = b.x + std::cos(b.heading) * b.length, ey = b.y - std::sin(b.heading) * b.length;
      const double xy[4] = {b.x, b.y, ex, ey};
      stroke(xy, 2, b.width, colour, 1.0);
      if (b.level + 1 >= levels) continue;
      for (int side = -1; side <= 1; side += 2)
        todo.push_back({ex, ey, b.heading + side * spread * random.range(0.6, 1.0), b.length * random.range(0.6, 0.8),
                        std::max(1.0, b.width * 0.7), b.level + 1});
    }
  }
  return true;
}

// 59: value 4 the density (fibres per ten thousand pixels), 5 length, 6 waviness
// (degrees a step), 7 width, 8-10 colour, 11 colour variation, 12 the spread of their
// directions about the horizontal (percent of a half turn). Fibres are translucent
// so that crossings show.
template <class Stroke>
bool fiber_strokes(const Values& v, int32_t w, int32_t h, Stroke stroke) {
  const int64_t wanted = int64_t(std::max(v(4), 0)) * w * h / 10000;
  const int32_t count = path_count(static_cast<int32_t>(std::min<int64_t>(std::max<int64_t>(wanted, v(4) > 0), 20000)));
  if (count == 0) return false;
  Lcg random(v(3));
  const Palette palette = palette_from(v, 8, 0, 11);
  const double length = std::clamp(v(5), 1, longest_path(w, h)), turn = std::clamp(v(6), 0, 180) * (kPi / 180.0);
  const double width = std::max(v(7), 1), spread = std::clamp(v(12), 0, 100) * 0.01 * kPi;
  std::vector<double> path;
  int64_t segments = 0;
  for (int32_t i = 0; i < count && segments < kMostSegments; ++i) {
    const double x = random.range(0, w), y = random.range(0, h);
    const double heading = (random.next() & 1 ? kPi : 0.0) + random.range(-spread / 2, spread / 2);
    wander(random, x, y, heading, length, turn, path);
    // The opacity is drawn before the colour.
    const double opacity = random.range(0.35, 0.8);
    stroke(path.data(), path.size() / 2, width, palette.pick(random), opacity);
    segments += int64_t(path.size() / 2);
  }
  return true;
}

// 24, sine plasma: waves across and down (values 3-6), a ring about the middle and a
// diagonal, averaged and turned into a rainbow half mixed with the colour (7-9).
struct SinePlasma {
  double fx, fy, p1, p2, cx, cy;
  Rgb base;
  std::vector<double> across, down;

  SinePlasma(const Values& v, int32_t w, int32_t h)
      : fx(2 * kPi * v(3) / w),
        fy(2 * kPi * v(4) / h),
        p1(v(5) * (2 * kPi / 250)),
        p2(v(6) * (2 * kPi / 250)),
        cx(w * 0.5),
        cy(h * 0.5),
        base(colour_at(v, 7)),
        across(static_cast<size_t>(w)),
        down(static_cast<size_t>(h)) {
    for (int32_t x = 0; x < w; ++x) across[size_t(x)] = std::sin(fx * x + p1);
    for (int32_t y = 0; y < h; ++y) down[size_t(y)] = std::sin(fy * y + p2);
  }
  double ring(int32_t x, int32_t y) const { return std::sin(std::hypot(fx * (x - cx), fy * (y - cy)) + p1 - p2); }
  // The colour at (x, y) given its ring value.
  void colour(int32_t x, int32_t y, double ring_value, uint8_t* rgb) const {
    const double diagonal = std::sin((fx * x + fy * y) * 0.5 + p2);
    const double t = (across[size_t(x)] + down[size_t(y)] + ring_value + diagonal) * 0.25;  // -1..1
    rgb[0] = clamp_byte(0.5 * base.r + 63.75 * (1 + std::sin(kPi * t)));
    rgb[1] = clamp_byte(0.5 * base.g + 63.75 * (1 + std::sin(kPi * t + 2 * kPi / 3)));
    rgb[2] = clamp_byte(0.5 * base.b + 63.75 * (1 + std::sin(kPi * t + 4 * kPi / 3)));
  }
};

}  // namespace cvl::imagescript::generate_detail
