// What the generators draw on: a transparent layer the size of the picture that
// shapes are laid onto, then blended onto the picture in one pass by the chosen mode.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "imagescript/effect_support.h"

namespace cvl::imagescript {

// Blend modes of the generators (the caller's value): 0 replace, 1 add, 2 subtract,
// 3 multiply, 4 screen, 5 darken, 6 lighten, 7 difference, 8 overlay, 9 average,
// 10 exclusion, 11 invert (the shape inverts what is under it); 12 and any other
// value lay the shapes over the picture normally.
enum class Blend {
  Replace,
  Add,
  Subtract,
  Multiply,
  Screen,
  Darken,
  Lighten,
  Difference,
  Overlay,
  Average,
  Exclusion,
  Invert,
  Normal
};
Blend blend_from_value(int32_t value);

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
};

// The shapes' colour: the given one, or a random one for each shape, then shifted by
// up to `variation` percent each way per channel.
struct Palette {
  Rgb base;
  bool random_colours = false;
  int32_t variation = 0;
  Rgb pick(Lcg& random) const;
};

// A run of the layer's rows [first, end): drawing into a band touches only its rows, so
// bands of one layer can be drawn on different threads, each laying every shape in
// the same order, and give the same pixels as one pass over all rows.
struct Rows {
  int32_t first, end;
};

// 2^40 / d rounded up, for d in 1..255: PaintLayer's exact division by an alpha.
struct Inverses {
  uint64_t v[256];
  constexpr Inverses() : v() {
    for (uint64_t d = 1; d < 256; ++d) v[d] = ((uint64_t{1} << 40) + d - 1) / d;
  }
};
inline constexpr Inverses kInverses{};

// Lets the thread's stroke map go when it grew large (see PaintLayer::polyline).
struct StrokeMapRelease {
  StrokeMapRelease() = default;
  StrokeMapRelease(const StrokeMapRelease&) {}
  StrokeMapRelease& operator=(const StrokeMapRelease&) { return *this; }
  ~StrokeMapRelease();
};

class PaintLayer {
 public:
  PaintLayer(int32_t width, int32_t height);

  int32_t width() const { return w_; }
  int32_t height() const { return h_; }
  Rows all_rows() const { return {0, h_}; }

  // Lays `colour` over one pixel with coverage 0..1 (clipped to the layer).
  void cover(int32_t x, int32_t y, const Rgb& colour, double coverage) {
    lay(x, y, colour, coverage, [](int32_t n, int32_t d) { return divide(n, d); });
  }
  // Sets one pixel outright (opaque fields such as plasma).
  void set(int32_t x, int32_t y, const Rgb& colour) {
    uint8_t* p = &px_[(size_t(y) * w_ + x) * 4];
    p[0] = colour.r, p[1] = colour.g, p[2] = colour.b, p[3] = 255;
  }
  uint8_t* row(int32_t y) { return &px_[size_t(y) * w_ * 4]; }

  // Antialiased shapes; sizes in pixels. Each draws only into `rows`.
  void disc(double cx, double cy, double radius, const Rgb& colour) { ring(cx, cy, radius, 0, colour); }
  void disc(double cx, double cy, double radius, const Rgb& colour, Rows rows) {
    ring(cx, cy, radius, 0, colour, rows);
  }
  void ring(double cx, double cy, double radius, double width, const Rgb& colour) {
    ring(cx, cy, radius, width, colour, all_rows());
  }
  void ring(double cx, double cy, double radius, double width, const Rgb& colour, Rows rows);
  // A straight stroke with round ends.
  void segment(double x0, double y0, double x1, double y1, double width, const Rgb& colour, double opacity = 1.0) {
    segment(x0, y0, x1, y1, width, colour, opacity, all_rows());
  }
  void segment(double x0, double y0, double x1, double y1, double width, const Rgb& colour, double opacity, Rows rows);
  // A stroke through the points; joints are drawn once, so a translucent layer stays even.
  void polyline(const std::vector<double>& xy, double width, const Rgb& colour, double opacity = 1.0) {
    polyline(xy.data(), xy.size() / 2, width, colour, opacity, all_rows());
  }
  void polyline(const double* xy, size_t points, double width, const Rgb& colour, double opacity, Rows rows);
  // Axis-aligned rectangle from (x0, y0) to (x1, y1); `line` 0 fills it, else its outline.
  void rectangle(double x0, double y0, double x1, double y1, double line, const Rgb& colour) {
    rectangle(x0, y0, x1, y1, line, colour, all_rows());
  }
  void rectangle(double x0, double y0, double x1, double y1, double line, const Rgb& colour, Rows rows);

  // Blends the layer onto packed RGBA32 pixels of the same size, in bands of rows.
  void blend_onto(uint8_t* rgba, Blend mode) const;

  // The plain pixel-by-pixel drawing the ones above must match word for word: every
  // pixel of the shape's box measured with its exact distance.
  void cover_reference(int32_t x, int32_t y, const Rgb& colour, double coverage);
  void ring_reference(double cx, double cy, double radius, double width, const Rgb& colour);
  void polyline_reference(const std::vector<double>& xy, double width, const Rgb& colour, double opacity = 1.0);
  void rectangle_reference(double x0, double y0, double x1, double y1, double line, const Rgb& colour);
  void blend_onto_reference(uint8_t* rgba, Blend mode) const;

 private:
  // n / d for n below 2^17 and d in 1..255, as the division gives it: n times the
  // rounded-up 2^40 / d, shifted down, is off by less than n / 2^40 < 1 / d.
  static uint8_t divide(int32_t n, int32_t d) { return static_cast<uint8_t>((uint64_t(n) * kInverses.v[d]) >> 40); }

  // Lays `colour` over one pixel with coverage 0..1 (clipped to the layer), dividing
  // by the result's alpha through `divide(n, d)`.
  template <class Divide>
  void lay(int32_t x, int32_t y, const Rgb& colour, double coverage, Divide divide) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_ || coverage <= 0) return;
    uint8_t* p = &px_[(size_t(y) * w_ + x) * 4];
    const int32_t a = static_cast<int32_t>(std::min(coverage, 1.0) * 255 + 0.5);
    if (a <= 0) return;
    if (a >= 255) {
      p[0] = colour.r, p[1] = colour.g, p[2] = colour.b, p[3] = 255;
      return;
    }
    // Straight-alpha "over" in integers.
    const int32_t da = p[3] * (255 - a) / 255, oa = a + da;
    p[0] = divide(colour.r * a + p[0] * da, oa);
    p[1] = divide(colour.g * a + p[1] * da, oa);
    p[2] = divide(colour.b * a + p[2] * da, oa);
    p[3] = static_cast<uint8_t>(oa);
  }

  int32_t w_, h_;
  imaging::BlockArray<uint8_t> px_;  // straight RGBA
  StrokeMapRelease release_;
};

// Pieces the layer's drawing shares with its plain twins in shape_layer_reference.cpp.
namespace detail {

// Whether the layer draws and blends several pixels at a time.
bool paint_layer_lanes();

// Pixel range [lo, hi) covering [a - reach, b + reach], clipped to [0, n).
inline void span(double a, double b, double reach, int32_t n, int32_t& lo, int32_t& hi) {
  lo = static_cast<int32_t>(std::clamp(std::floor(std::min(a, b) - reach), 0.0, double(n)));
  hi = static_cast<int32_t>(std::clamp(std::ceil(std::max(a, b) + reach) + 1, 0.0, double(n)));
}

// floor and ceil of v as integers (v kept within +-1e9): the plain conversion and a
// correction, cheaper than the library calls on the baseline instruction set.
inline int32_t floor_int(double v) {
  v = std::clamp(v, -1e9, 1e9);
  const int32_t i = static_cast<int32_t>(v);
  return i - (i > v);
}
inline int32_t ceil_int(double v) { return -floor_int(-v); }

inline void clip_rows(int32_t& y0, int32_t& y1, Rows rows) {
  y0 = std::max(y0, rows.first), y1 = std::min(y1, rows.end);
}

// Shapes are measured at pixel centres with an exact distance (std::hypot) wherever the
// edge's antialiasing needs it. Where the squared distance already shows a pixel wholly
// inside or wholly outside, that settles its coverage (1 or 0, as the exact distance
// would after clamping); the margin is far wider than any rounding of the square.
inline constexpr double kSure = 1e-7;
inline double outside_square(double r) { return r * r * (1 + kSure); }                // beyond: nothing
inline double inside_square(double r) { return r > 0 ? r * r * (1 - kSure) : -1.0; }  // within: full

// The pixel box [x0, x1) x [y0, y1) covering `points` x, y pairs at xy with `reach`
// round them, clipped to a w x h layer.
inline void points_box(const double* xy, size_t points, double reach, int32_t w, int32_t h, int32_t& x0, int32_t& x1,
                       int32_t& y0, int32_t& y1) {
  double minx = xy[0], maxx = xy[0], miny = xy[1], maxy = xy[1];
  for (size_t i = 1; i < points; ++i) {
    minx = std::min(minx, xy[2 * i]), maxx = std::max(maxx, xy[2 * i]);
    miny = std::min(miny, xy[2 * i + 1]), maxy = std::max(maxy, xy[2 * i + 1]);
  }
  span(minx, maxx, reach, w, x0, x1);
  span(miny, maxy, reach, h, y0, y1);
}

// One channel of the shape (s) mixed with what is under it (d) by a blend mode.
// Called with a constant mode, the switch folds away.
inline int32_t mix_channel(Blend mode, int32_t d, int32_t s) {
  switch (mode) {
    case Blend::Add:
      return std::min(d + s, 255);
    case Blend::Subtract:
      return std::max(d - s, 0);
    case Blend::Multiply:
      return d * s / 255;
    case Blend::Screen:
      return 255 - (255 - d) * (255 - s) / 255;
    case Blend::Darken:
      return std::min(d, s);
    case Blend::Lighten:
      return std::max(d, s);
    case Blend::Difference:
      return std::abs(d - s);
    case Blend::Overlay:
      return d < 128 ? 2 * d * s / 255 : 255 - 2 * (255 - d) * (255 - s) / 255;
    case Blend::Average:
      return (d + s) / 2;
    case Blend::Exclusion:
      return d + s - 2 * d * s / 255;
    case Blend::Invert:
      return 255 - d;
    default:
      return s;
  }
}

// Lays n shape pixels s onto the picture's pixels d by `mode`. Replace lays the
// shape by its coverage; another mode decides the colour where there is something
// under the shape (over transparent pixels the shape shows as it is), then lays that
// "over" by the shape's coverage: `over(mixed, sa, dk, da, oa)` gives the channel
// from the mixed colour, the shape's alpha, the channel under it, its alpha and the
// alpha of the result.
// A channel of "over" as a byte. The picture's share of the new alpha is truncated
// apart from its share of the colour, so over a nearly clear picture the quotient
// can pass 255 (by less than 255 / alpha); it stops at 255 rather than wrapping
// round to a dark value.
template <class T>
inline uint8_t saturate_byte(T v) {
  return static_cast<uint8_t>(v < T{255} ? v : T{255});
}

template <class Over>
void blend_pixels(const uint8_t* s, uint8_t* d, size_t n, Blend mode, Over over) {
  for (size_t i = 0; i < n; ++i, s += 4, d += 4) {
    const int32_t sa = s[3];
    if (!sa) continue;
    const int32_t da = d[3];
    if (mode == Blend::Replace) {
      for (int k = 0; k < 4; ++k)
        d[k] = static_cast<uint8_t>((k < 3 ? s[k] : 255) * sa / 255 + d[k] * (255 - sa) / 255);
      continue;
    }
    const int32_t oa = sa + da * (255 - sa) / 255;
    for (int k = 0; k < 3; ++k) {
      const int32_t mixed = (s[k] * (255 - da) + mix_channel(mode, d[k], s[k]) * da) / 255;
      d[k] = over(mixed, sa, int32_t(d[k]), da, oa);
    }
    d[3] = static_cast<uint8_t>(oa);
  }
}

}  // namespace detail

// The effects' common generator values: colour at `colour_index` (3 values), the blend
// at `blend_index`, the random-colour flag and the colour variation where given (index
// 0 when the effect has none).
Palette palette_from(const Values& v, int32_t colour_index, int32_t random_flag_index, int32_t variation_index);

// Tests turn the layer's lanes (strokes and blending, several pixels at a time where
// the processor has AVX2) off to hold the one-pixel code to the same words.
void paint_layer_use_portable_lanes(bool on);

}  // namespace cvl::imagescript
