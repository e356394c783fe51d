// 42: a regular two-tone pattern. Values 3 and 4 the cell width and height in pixels,
// 5 the line width, 6 the kind (0 checks, 1 horizontal stripes, 2 vertical stripes,
// 3 grid, 4 dots, 5 bricks, 6 diagonal stripes, 7 diamonds; counted round past 7),
// 10 blend, 11 the grey level of the ground (percent; the pattern itself is white),
// 12 the turn of the whole pattern (hundredths of a full turn), 13 = 1 swaps the tones.
#include <cmath>

#include "imagescript/effect_runners.h"
#include "imagescript/shape_layer.h"

namespace cvl::imagescript {
namespace {

enum class Kind { Checks, Rows, Columns, Grid, Dots, Bricks, Diagonal, Diamonds };

struct Pattern {
  Kind kind;
  double cw, ch, line;

  // Distance of t from the nearest multiple of `period`.
  static double off_line(double t, double period) {
    const double m = t - std::floor(t / period) * period;
    return std::min(m, period - m);
  }

  // True where the point (x, y), in pattern space, is on the pattern.
  bool on(double x, double y) const {
    const double half = line * 0.5;
    switch (kind) {
      case Kind::Checks: return (int64_t(std::floor(x / cw)) + int64_t(std::floor(y / ch))) & 1;
      case Kind::Rows: return off_line(y, ch) < half;
      case Kind::Columns: return off_line(x, cw) < half;
      case Kind::Grid: return off_line(x, cw) < half || off_line(y, ch) < half;
      case Kind::Dots: {
        const double dx = (x - (std::floor(x / cw) + 0.5) * cw) / cw, dy = (y - (std::floor(y / ch) + 0.5) * ch) / ch;
        return dx * dx + dy * dy < 0.09;
      }
      case Kind::Bricks: {
        // Mortar: every row's bottom, and the joints, shifted half a brick on odd rows.
        if (off_line(y, ch) < half) return true;
        const double shift = (int64_t(std::floor(y / ch)) & 1) ? cw * 0.5 : 0.0;
        return off_line(x + shift, cw) < half;
      }
      case Kind::Diagonal: return off_line(x / cw + y / ch, 1.0) * std::min(cw, ch) < half;
      case Kind::Diamonds: return off_line(x / cw + y / ch, 1.0) * std::min(cw, ch) < half ||
                                  off_line(x / cw - y / ch, 1.0) * std::min(cw, ch) < half;
    }
    return false;
  }
};

}  // namespace

bool run_pattern(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  Pattern p;
  p.kind = static_cast<Kind>(((v(6) % 8) + 8) % 8);
  p.cw = std::clamp(v(3, 16), 2, 100000), p.ch = std::clamp(v(4, 16), 2, 100000);
  p.line = std::clamp(v(5, 2), 1, 100000);
  const uint8_t ground = clamp_byte(std::clamp(v(11), 0, 100) * 255 / 100);
  const bool swap = v(13) == 1;
  const double a = v(12) * (2 * kPi / 100), c = std::cos(a), s = std::sin(a);
  const double cx = w * 0.5, cy = h * 0.5;
  PaintLayer layer(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      // Four samples a pixel smooth the pattern's edges.
      int32_t hits = 0;
      for (int32_t k = 0; k < 4; ++k) {
        const double dx = x + 0.25 + 0.5 * (k & 1) - cx, dy = y + 0.25 + 0.5 * (k >> 1) - cy;
        hits += p.on(cx + dx * c - dy * s, cy + dx * s + dy * c);
      }
      const int32_t t = swap ? 4 - hits : hits;
      const uint8_t g = static_cast<uint8_t>((255 * t + ground * (4 - t)) / 4);
      layer.set(x, y, {g, g, g});
    }
  layer.blend_onto(rgba, blend_from_value(v(10, 12)));
  return true;
}

}  // namespace cvl::imagescript
