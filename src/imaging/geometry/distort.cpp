#include "imaging/geometry/distort.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "imaging/geometry/distort_support.h"
#include "imaging/geometry/inverse_map.h"
#include "imaging/lcg15.h"

namespace cvl::imaging {
namespace {

using detail::kPi;
using detail::kRadiansPerDegree;
using detail::kTwoPi;

template <class Map>
bool bilinear(const ImageView& src, const ImageView& dst, const Colour& fill, Map&& map) {
  if (src.width != dst.width || src.height != dst.height) return false;
  return inverse_map<Sampling::Bilinear>(src, dst, fill, map);
}

// What every distortion gives at a neutral setting: each pixel read at its own
// centre, where the bilinear weights leave it exactly as it is.
bool copy_image(const ImageView& src, const ImageView& dst) {
  if (src.width != dst.width || src.height != dst.height || !detail::mappable(src, dst)) return false;
  for (int32_t y = 0; y < dst.height; ++y) std::memcpy(dst.row(y), src.row(y), size_t(dst.width) * 4);
  return true;
}

// The columns' offsets from the centre, x - cx. When every column's offset is the
// negative of its mirror column's (w - 1 - x), anything worked out from the offset's
// square is the same for both, so only the first half of a row (`unique` columns)
// needs it worked out.
struct Columns {
  std::vector<float> dx;
  int32_t unique = 0;
};

Columns columns_about(int32_t w, float cx) {
  Columns c;
  c.dx.resize(size_t(std::max(w, 0)));
  for (int32_t x = 0; x < w; ++x) c.dx[size_t(x)] = x - cx;
  bool mirrored = true;
  for (int32_t x = 0; x < w && mirrored; ++x) mirrored = c.dx[size_t(w - 1 - x)] == -c.dx[size_t(x)];
  c.unique = mirrored ? (w + 1) / 2 : w;
  return c;
}

// A distortion about a centre in two steps: share(dx, dy, &s) works out what depends
// on the distance from the centre alone, through dx * dx and dy * dy (false: the
// pixel stays where it is), and place(dx, dy, s, &sx, &sy) the source point from it.
// Mirrored columns share s, and so do mirrored rows: when the centre sits in the
// middle, rows y and h - 1 - y are mapped together.
template <class Shared, class Share, class Place>
bool about_centre(const ImageView& src, const ImageView& dst, const Colour& fill, Centre c, Share share, Place place) {
  if (src.width != dst.width || src.height != dst.height || !detail::mappable(src, dst)) return false;
  const int32_t w = dst.width, h = dst.height;
  const Columns cols = columns_about(w, c.x), rows = columns_about(h, c.y);
  // Row groups: a row and its mirror, or each row alone.
  const bool paired = rows.unique < h;
  for_each_band(rows.unique, int64_t{w} * (paired ? 8 : 4), [&](int32_t first, int32_t end) {
    std::vector<Shared> shared(static_cast<size_t>(w));
    std::vector<uint8_t> moved(static_cast<size_t>(w)), ok(static_cast<size_t>(w), 1);
    std::vector<float> sx(static_cast<size_t>(w)), sy(static_cast<size_t>(w));
    auto emit = [&](int32_t y) {
      const float dy = rows.dx[size_t(y)];
      for (int32_t x = 0; x < w; ++x) {
        const size_t k = size_t(x < cols.unique ? x : w - 1 - x);
        if (moved[k]) {
          place(cols.dx[size_t(x)], dy, shared[k], &sx[size_t(x)], &sy[size_t(x)]);
        } else {
          sx[size_t(x)] = static_cast<float>(x), sy[size_t(x)] = static_cast<float>(y);
        }
      }
      detail::sample_run<Sampling::Bilinear>(src, fill.data(), sx.data(), sy.data(), ok.data(), w, dst.row(y));
    };
    for (int32_t y = first; y < end; ++y) {
      const float dy = rows.dx[size_t(y)];
      for (int32_t x = 0; x < cols.unique; ++x) moved[size_t(x)] = share(cols.dx[size_t(x)], dy, &shared[size_t(x)]);
      emit(y);
      if (paired && h - 1 - y != y) emit(h - 1 - y);
    }
  });
  return true;
}

// A map that scales the offset from the centre by factor(r2) inside the disc of
// radius2 (squared radius) and leaves everything outside it.
template <class Factor>
bool radial(const ImageView& src, const ImageView& dst, const Colour& fill, Centre c, float radius, Factor&& factor) {
  const float r2max = radius * radius;
  if (!(r2max > 0)) return copy_image(src, dst);  // no r2 lies below it
  return about_centre<float>(
      src, dst, fill, c,
      [r2max, &factor](float dx, float dy, float* f) {
        const float r2 = dx * dx + dy * dy;
        if (!(r2 < r2max && r2 > 0)) return false;
        *f = factor(r2);
        return true;
      },
      [c](float dx, float dy, float f, float* sx, float* sy) {
        *sx = c.x + dx * f;
        *sy = c.y + dy * f;
      });
}

// A map that turns the offset from the centre by turn(r) radians inside the radius.
struct Turn {
  float cs, sn;
};
template <class TurnOf>
bool twist(const ImageView& src, const ImageView& dst, const Colour& fill, Centre c, float radius, TurnOf&& turn) {
  const float r2max = radius * radius;
  if (!(r2max > 0)) return copy_image(src, dst);
  return about_centre<Turn>(
      src, dst, fill, c,
      [r2max, &turn](float dx, float dy, Turn* t) {
        const float r2 = dx * dx + dy * dy;
        if (!(r2 < r2max)) return false;
        const float a = turn(std::sqrt(r2));
        *t = {std::cos(a), std::sin(a)};
        return true;
      },
      [c](float dx, float dy, Turn t, float* sx, float* sy) {
        *sx = c.x + dx * t.cs - dy * t.sn;
        *sy = c.y + dx * t.sn + dy * t.cs;
      });
}

// Smooth value noise on a 256-cell lattice drawn once from the generator, in -1..1.
class ValueNoise {
 public:
  ValueNoise() {
    Lcg15 rng(1);
    for (int i = 0; i < 256; ++i) perm_[i] = static_cast<uint8_t>(i);
    for (int i = 255; i > 0; --i) std::swap(perm_[i], perm_[rng.next() % (i + 1)]);
    for (float& v : value_) v = rng.unit() * 2 - 1;
  }
  float at(float x, float y) const {
    const float fx = std::floor(x), fy = std::floor(y);
    const int32_t ix = static_cast<int32_t>(fx), iy = static_cast<int32_t>(fy);
    const float tx = smooth(x - fx), ty = smooth(y - fy);
    const float a = lattice(ix, iy), b = lattice(ix + 1, iy);
    const float c = lattice(ix, iy + 1), d = lattice(ix + 1, iy + 1);
    const float top = a + (b - a) * tx, bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
  }
  // Three octaves, each half as strong and twice as fine.
  float fractal(float x, float y) const {
    return (at(x, y) + 0.5f * at(2 * x, 2 * y) + 0.25f * at(4 * x, 4 * y)) * (1 / 1.75f);
  }

  // fractal() in two steps for a whole grid of points: where a coordinate falls in
  // each octave's lattice (cell and smoothed fraction), once per column and once
  // per row, then the blends. The same value as fractal() to the last bit.
  struct Place {
    int32_t i = 0;
    float t = 0;
  };
  using Places = std::array<Place, 3>;
  static Places places(float v) {
    Places p;
    const float scaled[3] = {v, 2 * v, 4 * v};
    for (int o = 0; o < 3; ++o) {
      const float f = std::floor(scaled[o]);
      p[size_t(o)] = {static_cast<int32_t>(f), smooth(scaled[o] - f)};
    }
    return p;
  }
  float fractal(const Places& px, const Places& py) const {
    return (at(px[0], py[0]) + 0.5f * at(px[1], py[1]) + 0.25f * at(px[2], py[2])) * (1 / 1.75f);
  }

 private:
  static float smooth(float t) { return t * t * (3 - 2 * t); }
  float at(Place px, Place py) const {
    const float a = lattice(px.i, py.i), b = lattice(px.i + 1, py.i);
    const float c = lattice(px.i, py.i + 1), d = lattice(px.i + 1, py.i + 1);
    const float top = a + (b - a) * px.t, bottom = c + (d - c) * px.t;
    return top + (bottom - top) * py.t;
  }
  float lattice(int32_t x, int32_t y) const { return value_[perm_[(perm_[x & 255] + y) & 255]]; }
  std::array<uint8_t, 256> perm_;
  std::array<float, 256> value_;
};

// A triangle wave of period 1: 1 at whole numbers, -1 half way between.
inline float triangle(float t) { return 4 * std::fabs(t - std::floor(t) - 0.5f) - 1; }

const ValueNoise& marble_noise() {
  static const ValueNoise noise;
  return noise;
}

}  // namespace

bool elliptical_image(const ImageView& src, const ImageView& dst, const Colour& fill, Centre c, float rx, float ry,
                      bool pinch) {
  if (!(rx > 0 && ry > 0)) return copy_image(src, dst);
  const float kx = 1 / (rx * rx), ky = 1 / (ry * ry);
  return about_centre<float>(
      src, dst, fill, c,
      [kx, ky, pinch](float dx, float dy, float* q) {
        const float rho2 = dx * dx * kx + dy * dy * ky;
        if (!(rho2 < 1 && rho2 > 0)) return false;
        const float rho = std::sqrt(rho2);
        // A dome reads nearer the middle (magnifying it), a pinch nearer the rim.
        const float to = pinch ? std::sin(rho * (kPi / 2)) : std::asin(rho) * (2 / kPi);
        *q = to / rho;
        return true;
      },
      [c](float dx, float dy, float q, float* sx, float* sy) {
        *sx = c.x + dx * q;
        *sy = c.y + dy * q;
      });
}

bool lens_image(const ImageView& src, const ImageView& dst, const Colour& fill, Centre c, float radius) {
  const float k = radius > 0 ? 1 / (radius * radius) : 0;
  return radial(src, dst, fill, c, radius, [&](float r2) { return 0.5f + 0.5f * r2 * k; });
}

bool marble_image(const ImageView& src, const ImageView& dst, const Colour& fill, float scale, float amplitude,
                  float turbulence) {
  const ValueNoise& noise = marble_noise();
  const float inv = 1 / std::max(scale, 1.0f), w = kTwoPi * inv, stir = kTwoPi * turbulence;
  std::vector<ValueNoise::Places> column(size_t(std::max(dst.width, 0))), row(size_t(std::max(dst.height, 0)));
  if (amplitude != 0) {
    for (int32_t x = 0; x < dst.width; ++x) column[size_t(x)] = ValueNoise::places(x * inv);
    for (int32_t y = 0; y < dst.height; ++y) row[size_t(y)] = ValueNoise::places(y * inv);
  }
  return bilinear(src, dst, fill, [&](int32_t x, int32_t y, float& sx, float& sy) {
    if (amplitude == 0) return true;
    const float a = stir * noise.fractal(column[size_t(x)], row[size_t(y)]);
    sx = x + amplitude * std::sin(w * y + a);
    sy = y + amplitude * std::cos(w * x + a);
    return true;
  });
}

bool marble_image_reference(const ImageView& src, const ImageView& dst, const Colour& fill, float scale,
                            float amplitude, float turbulence) {
  const ValueNoise& noise = marble_noise();
  const float inv = 1 / std::max(scale, 1.0f), w = kTwoPi * inv, stir = kTwoPi * turbulence;
  if (src.width != dst.width || src.height != dst.height) return false;
  return inverse_map_in_order<Sampling::Bilinear>(src, dst, fill, [&](int32_t x, int32_t y, float& sx, float& sy) {
    if (amplitude == 0) return true;
    const float a = stir * noise.fractal(x * inv, y * inv);
    sx = x + amplitude * std::sin(w * y + a);
    sy = y + amplitude * std::cos(w * x + a);
    return true;
  });
}

bool pinch_image(const ImageView& src, const ImageView& dst, const Colour& fill, Centre c, float amount, float radius) {
  amount = std::clamp(amount, -1.0f, 1.0f);
  if (amount == 0 || !(radius > 0)) radius = 0;
  const float inv = radius > 0 ? 1 / radius : 0;
  return radial(src, dst, fill, c, radius,
                [&](float r2) { return std::pow(std::sin((kPi / 2) * std::sqrt(r2) * inv), -amount); });
}

bool ripple_image(const ImageView& src, const ImageView& dst, const Colour& fill, Centre c, float amplitude,
                  float wavelength, float phase, bool angular) {
  if (amplitude == 0) return copy_image(src, dst);
  const float w = kTwoPi / std::max(wavelength, 1.0f), p = phase * kRadiansPerDegree;
  // Per distance: the scale of the offset, or (along the rings) the turn's cosine and sine.
  return about_centre<Turn>(
      src, dst, fill, c,
      [=](float dx, float dy, Turn* t) {
        const float r = std::sqrt(dx * dx + dy * dy);
        if (r == 0) return false;
        const float wave = amplitude * std::sin(w * r + p);
        if (angular) {
          // An arc of `wave` pixels along the ring.
          const float a = wave / r;
          *t = {std::cos(a), std::sin(a)};
        } else {
          *t = {(r + wave) / r, 0};
        }
        return true;
      },
      [c, angular](float dx, float dy, Turn t, float* sx, float* sy) {
        if (angular) {
          *sx = c.x + dx * t.cs - dy * t.sn;
          *sy = c.y + dx * t.sn + dy * t.cs;
        } else {
          *sx = c.x + dx * t.cs;
          *sy = c.y + dy * t.cs;
        }
      });
}

bool spin_image(const ImageView& src, const ImageView& dst, const Colour& fill, Centre c, float angle, float radius) {
  const detail::SpinTurn turn(angle, radius);
  return twist(src, dst, fill, c, turn.radius, turn);
}

bool spin_wave_image(const ImageView& src, const ImageView& dst, const Colour& fill, Centre c, float angle,
                     float wavelength, float radius) {
  const detail::SpinWaveTurn turn(angle, wavelength, radius);
  return twist(src, dst, fill, c, turn.radius, turn);
}

WaveAxis wave_axis_from_code(int32_t code) {
  return code == 0 ? WaveAxis::Vertical : code == 1 ? WaveAxis::Horizontal : WaveAxis::Both;
}

bool wave_image(const ImageView& src, const ImageView& dst, const Colour& fill, float amplitude, float wavelength,
                WaveAxis axis) {
  if (amplitude == 0) return copy_image(src, dst);
  const float w = kTwoPi / std::max(wavelength, 1.0f);
  const bool vertical = axis != WaveAxis::Horizontal, horizontal = axis != WaveAxis::Vertical;
  // The shift down a column depends on x alone and the one along a row on y alone:
  // each sine is taken once per column or row, not once per pixel.
  std::vector<float> down(vertical ? size_t(dst.width) : 0), along(horizontal ? size_t(dst.height) : 0);
  for (size_t x = 0; x < down.size(); ++x) down[x] = amplitude * std::sin(w * static_cast<int32_t>(x));
  for (size_t y = 0; y < along.size(); ++y) along[y] = amplitude * std::sin(w * static_cast<int32_t>(y));
  if (src.width != dst.width || src.height != dst.height || !detail::mappable(src, dst)) return false;
  // Neighbouring columns of a steep wave read far apart rows, but the next row of a
  // narrow strip reads nearly the same lines again: a band is mapped a strip of
  // columns at a time, so those lines are still in the nearest cache.
  constexpr int32_t kStrip = 256;
  const int32_t width = dst.width;
  for_each_band(dst.height, int64_t{width} * 4, [&](int32_t first, int32_t end) {
    alignas(16) float sx[kStrip], sy[kStrip];
    alignas(16) uint8_t ok[kStrip];
    std::memset(ok, 1, sizeof ok);
    for (int32_t x0 = 0; x0 < width; x0 += kStrip) {
      const int32_t n = std::min(kStrip, width - x0);
      for (int32_t y = first; y < end; ++y) {
        for (int32_t i = 0; i < n; ++i) {
          const int32_t x = x0 + i;
          sx[i] = horizontal ? x + along[size_t(y)] : static_cast<float>(x);
          sy[i] = vertical ? y + down[size_t(x)] : static_cast<float>(y);
        }
        detail::sample_run<Sampling::Bilinear>(src, fill.data(), sx, sy, ok, n,
                                               dst.row(y) + static_cast<ptrdiff_t>(x0) * 4);
      }
    }
  });
  return true;
}

bool wow_image(const ImageView& src, const ImageView& dst, const Colour& fill, Centre c, float amount, int32_t petals) {
  if (amount == 0) return copy_image(src, dst);
  const float k = static_cast<float>(std::clamp(petals, 1, 64));
  return bilinear(src, dst, fill, [&](int32_t x, int32_t y, float& sx, float& sy) {
    const float dx = x - c.x, dy = y - c.y;
    if (amount == 0 || (dx == 0 && dy == 0)) return true;
    const float f = 1 + amount * std::sin(k * std::atan2(dy, dx));
    sx = c.x + dx * f;
    sy = c.y + dy * f;
    return true;
  });
}

ZigZagStyle zig_zag_style_from_code(int32_t code) {
  return code == 0 ? ZigZagStyle::Rows : code == 1 ? ZigZagStyle::Columns : ZigZagStyle::Rings;
}

bool zig_zag_image(const ImageView& src, const ImageView& dst, const Colour& fill, Centre c, float amplitude,
                   float wavelength, ZigZagStyle style) {
  if (amplitude == 0) return copy_image(src, dst);
  const float inv = 1 / std::max(wavelength, 1.0f);
  if (style == ZigZagStyle::Rings)
    return about_centre<float>(
        src, dst, fill, c,
        [=](float dx, float dy, float* f) {
          const float r = std::sqrt(dx * dx + dy * dy);
          if (r == 0) return false;
          *f = (r + amplitude * triangle(r * inv)) / r;
          return true;
        },
        [c](float dx, float dy, float f, float* sx, float* sy) {
          *sx = c.x + dx * f;
          *sy = c.y + dy * f;
        });
  // Rows shift by an amount of y alone, columns by one of x alone: each worked out once.
  const bool rows = style == ZigZagStyle::Rows;
  std::vector<float> shift(size_t(std::max(rows ? dst.height : dst.width, 0)));
  for (size_t i = 0; i < shift.size(); ++i) shift[i] = amplitude * triangle(static_cast<int32_t>(i) * inv);
  return bilinear(src, dst, fill, [&](int32_t x, int32_t y, float& sx, float& sy) {
    if (rows) sx = x + shift[size_t(y)];
    else sy = y + shift[size_t(x)];
    return true;
  });
}

bool frost_image(const ImageView& src, const ImageView& dst, const Colour& fill, int32_t spread, uint32_t seed) {
  if (src.width != dst.width || src.height != dst.height) return false;
  const int32_t s = std::clamp(spread, 0, 16383), span = 2 * s + 1;
  Lcg15 rng(seed);
  return inverse_map_in_order<Sampling::Nearest>(src, dst, fill, [&](int32_t x, int32_t y, float& sx, float& sy) {
    if (s == 0) return true;
    sx = static_cast<float>(x + rng.next() % span - s);
    sy = static_cast<float>(y + rng.next() % span - s);
    return true;
  });
}

}  // namespace cvl::imaging
