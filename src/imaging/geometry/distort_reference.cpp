// The plain twins of the distortions: each map worked out whole at every pixel
// through the plain sampler, one thread. Tests hold the distortions to their bytes.
#include <algorithm>
#include <cmath>
#include <vector>

#include "imaging/geometry/distort.h"
#include "imaging/geometry/distort_support.h"
#include "imaging/geometry/inverse_map.h"

namespace cvl::imaging {
namespace {

using detail::kPi;
using detail::kRadiansPerDegree;
using detail::kTwoPi;

template <class Map>
bool bilinear(const ImageView& src, const ImageView& dst, const Colour& fill, Map&& map) {
  if (src.width != dst.width || src.height != dst.height) return false;
  return inverse_map_reference<Sampling::Bilinear>(src, dst, fill, map);
}

// A map that scales the offset from the centre by factor(r2) inside the disc of
// radius2 (squared radius) and leaves everything outside it.
template <class Factor>
bool radial(const ImageView& src, const ImageView& dst, const Colour& fill, Centre c, float radius, Factor&& factor) {
  const float r2max = radius * radius;
  return bilinear(src, dst, fill, [&](int32_t x, int32_t y, float& sx, float& sy) {
    const float dx = x - c.x, dy = y - c.y, r2 = dx * dx + dy * dy;
    if (r2 < r2max && r2 > 0) {
      const float f = factor(r2);
      sx = c.x + dx * f;
      sy = c.y + dy * f;
    }
    return true;
  });
}

// A map that turns the offset from the centre by turn(r) radians inside the radius.
template <class Turn>
bool twist(const ImageView& src, const ImageView& dst, const Colour& fill, Centre c, float radius, Turn&& turn) {
  const float r2max = radius * radius;
  return bilinear(src, dst, fill, [&](int32_t x, int32_t y, float& sx, float& sy) {
    const float dx = x - c.x, dy = y - c.y, r2 = dx * dx + dy * dy;
    if (r2 < r2max) {
      const float a = turn(std::sqrt(r2));
      const float cs = std::cos(a), sn = std::sin(a);
      sx = c.x + dx * cs - dy * sn;
      sy = c.y + dx * sn + dy * cs;
    }
    return true;
  });
}

// A triangle wave of period 1: 1 at whole numbers, -1 half way between.
inline float triangle(float t) { return 4 * std::fabs(t - std::floor(t) - 0.5f) - 1; }

}  // namespace

bool elliptical_image_reference(const ImageView& src, const ImageView& dst, const Colour& fill, Centre c, float rx,
                                float ry, bool pinch) {
  if (!(rx > 0 && ry > 0)) return bilinear(src, dst, fill, [](int32_t, int32_t, float&, float&) { return true; });
  const float kx = 1 / (rx * rx), ky = 1 / (ry * ry);
  return bilinear(src, dst, fill, [&](int32_t x, int32_t y, float& sx, float& sy) {
    const float dx = x - c.x, dy = y - c.y;
    const float rho2 = dx * dx * kx + dy * dy * ky;
    if (rho2 < 1 && rho2 > 0) {
      const float rho = std::sqrt(rho2);
      // A dome reads nearer the middle (magnifying it), a pinch nearer the rim.
      const float to = pinch ? std::sin(rho * (kPi / 2)) : std::asin(rho) * (2 / kPi);
      sx = c.x + dx * (to / rho);
      sy = c.y + dy * (to / rho);
    }
    return true;
  });
}

bool lens_image_reference(const ImageView& src, const ImageView& dst, const Colour& fill, Centre c, float radius) {
  const float k = radius > 0 ? 1 / (radius * radius) : 0;
  return radial(src, dst, fill, c, radius, [&](float r2) { return 0.5f + 0.5f * r2 * k; });
}

bool pinch_image_reference(const ImageView& src, const ImageView& dst, const Colour& fill, Centre c, float amount,
                           float radius) {
  amount = std::clamp(amount, -1.0f, 1.0f);
  if (amount == 0 || !(radius > 0)) radius = 0;
  const float inv = radius > 0 ? 1 / radius : 0;
  return radial(src, dst, fill, c, radius,
                [&](float r2) { return std::pow(std::sin((kPi / 2) * std::sqrt(r2) * inv), -amount); });
}

bool ripple_image_reference(const ImageView& src, const ImageView& dst, const Colour& fill, Centre c, float amplitude,
                            float wavelength, float phase, bool angular) {
  const float w = kTwoPi / std::max(wavelength, 1.0f), p = phase * kRadiansPerDegree;
  return bilinear(src, dst, fill, [&](int32_t x, int32_t y, float& sx, float& sy) {
    const float dx = x - c.x, dy = y - c.y, r = std::sqrt(dx * dx + dy * dy);
    if (amplitude == 0 || r == 0) return true;
    const float wave = amplitude * std::sin(w * r + p);
    if (angular) {
      // An arc of `wave` pixels along the ring.
      const float a = wave / r, cs = std::cos(a), sn = std::sin(a);
      sx = c.x + dx * cs - dy * sn;
      sy = c.y + dx * sn + dy * cs;
    } else {
      const float f = (r + wave) / r;
      sx = c.x + dx * f;
      sy = c.y + dy * f;
    }
    return true;
  });
}

bool spin_image_reference(const ImageView& src, const ImageView& dst, const Colour& fill, Centre c, float angle,
                          float radius) {
  const detail::SpinTurn turn(angle, radius);
  return twist(src, dst, fill, c, turn.radius, turn);
}

bool spin_wave_image_reference(const ImageView& src, const ImageView& dst, const Colour& fill, Centre c, float angle,
                               float wavelength, float radius) {
  const detail::SpinWaveTurn turn(angle, wavelength, radius);
  return twist(src, dst, fill, c, turn.radius, turn);
}

bool wave_image_reference(const ImageView& src, const ImageView& dst, const Colour& fill, float amplitude,
                          float wavelength, WaveAxis axis) {
  const float w = kTwoPi / std::max(wavelength, 1.0f);
  const bool vertical = axis != WaveAxis::Horizontal, horizontal = axis != WaveAxis::Vertical;
  // The shift down a column depends on x alone and the one along a row on y alone:
  // each sine is taken once per column or row, not once per pixel.
  std::vector<float> down(vertical ? size_t(dst.width) : 0), along(horizontal ? size_t(dst.height) : 0);
  for (size_t x = 0; x < down.size(); ++x) down[x] = amplitude * std::sin(w * static_cast<int32_t>(x));
  for (size_t y = 0; y < along.size(); ++y) along[y] = amplitude * std::sin(w * static_cast<int32_t>(y));
  return bilinear(src, dst, fill, [&](int32_t x, int32_t y, float& sx, float& sy) {
    if (amplitude == 0) return true;
    if (vertical) sy = y + down[size_t(x)];
    if (horizontal) sx = x + along[size_t(y)];
    return true;
  });
}

bool wow_image_reference(const ImageView& src, const ImageView& dst, const Colour& fill, Centre c, float amount,
                         int32_t petals) {
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

bool zig_zag_image_reference(const ImageView& src, const ImageView& dst, const Colour& fill, Centre c, float amplitude,
                             float wavelength, ZigZagStyle style) {
  const float inv = 1 / std::max(wavelength, 1.0f);
  return bilinear(src, dst, fill, [&](int32_t x, int32_t y, float& sx, float& sy) {
    if (amplitude == 0) return true;
    switch (style) {
      case ZigZagStyle::Rows:
        sx = x + amplitude * triangle(y * inv);
        break;
      case ZigZagStyle::Columns:
        sy = y + amplitude * triangle(x * inv);
        break;
      case ZigZagStyle::Rings: {
        const float dx = x - c.x, dy = y - c.y, r = std::sqrt(dx * dx + dy * dy);
        if (r == 0) break;
        const float f = (r + amplitude * triangle(r * inv)) / r;
        sx = c.x + dx * f;
        sy = c.y + dy * f;
        break;
      }
    }
    return true;
  });
}

}  // namespace cvl::imaging
