#include "imagescript/effects_reference.h"

#include "imagescript/noise_fields.h"

namespace cvl::imagescript {
namespace {

// Bilinear read of the four channels at (x, y) in pixel-centre coordinates.
void sample_plain(const uint8_t* src, int32_t w, int32_t h, double x, double y, Edge edge, uint8_t* out) {
  if (edge == Edge::Transparent && (x < -0.5 || y < -0.5 || x > w - 0.5 || y > h - 0.5)) {
    std::memset(out, 0, 4);
    return;
  }
  const double fx = std::floor(x), fy = std::floor(y);
  const double tx = x - fx, ty = y - fy;
  const double lim = 1 << 29;
  int32_t x0 = static_cast<int32_t>(std::clamp(fx, -lim, lim)), y0 = static_cast<int32_t>(std::clamp(fy, -lim, lim));
  int32_t x1 = x0 + 1, y1 = y0 + 1;
  if (edge == Edge::Wrap) {
    x0 = wrap_index(x0, w), x1 = wrap_index(x1, w), y0 = wrap_index(y0, h), y1 = wrap_index(y1, h);
  } else {
    x0 = std::clamp(x0, 0, w - 1), x1 = std::clamp(x1, 0, w - 1);
    y0 = std::clamp(y0, 0, h - 1), y1 = std::clamp(y1, 0, h - 1);
  }
  const uint8_t* a = src + (size_t(y0) * w + x0) * 4;
  const uint8_t* b = src + (size_t(y0) * w + x1) * 4;
  const uint8_t* c = src + (size_t(y1) * w + x0) * 4;
  const uint8_t* d = src + (size_t(y1) * w + x1) * 4;
  for (int k = 0; k < 4; ++k) {
    const double top = a[k] + (b[k] - a[k]) * tx, bottom = c[k] + (d[k] - c[k]) * tx;
    out[k] = static_cast<uint8_t>(top + (bottom - top) * ty + 0.5);
  }
}

template <class Map>
void remap_plain(uint8_t* rgba, int32_t w, int32_t h, Edge edge, Map map) {
  const std::vector<uint8_t> src(rgba, rgba + size_t(w) * h * 4);
  uint8_t* out = rgba;
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x, out += 4) {
      double sx = x, sy = y;
      map(x, y, sx, sy);
      sample_plain(src.data(), w, h, sx, sy, edge, out);
    }
}

Edge edge_of(int32_t wrap_flag, Edge otherwise) { return wrap_flag == 1 ? Edge::Wrap : otherwise; }

}  // namespace

bool run_sine_distort_reference(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  const double ax = v(3), ay = v(4);
  if (ax == 0 && ay == 0) return true;
  const double kx = 2 * kPi * v(5) / h, ky = 2 * kPi * v(6) / w;
  const double px = v(7), py = v(8);
  remap_plain(rgba, w, h, edge_of(v(9), Edge::Clamp), [&](int32_t x, int32_t y, double& sx, double& sy) {
    sx = x + ax * std::sin(kx * (y + py));
    sy = y + ay * std::sin(ky * (x + px));
  });
  return true;
}

bool run_glass_reference(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  const double strength = v(5);
  if (strength == 0) return true;
  const double cell = std::max(v(4, 100) * 0.1, 1.0);
  Lcg random(v(3));
  const int32_t cols = static_cast<int32_t>(w / cell) + 2, rows = static_cast<int32_t>(h / cell) + 2;
  const ValueNoise across(random, cols, rows), down(random, cols, rows);
  const double inv = 1.0 / cell;
  remap_plain(rgba, w, h, Edge::Clamp, [&](int32_t x, int32_t y, double& sx, double& sy) {
    sx = x + strength * (across.at(x * inv, y * inv) * 2 - 1);
    sy = y + strength * (down.at(x * inv, y * inv) * 2 - 1);
  });
  return true;
}

bool run_kaleidoscope_reference(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  const int32_t segments = std::min(v(5), 360);
  if (segments <= 0) return true;
  const bool mirror = v(6) == 0;
  const double wedge = (mirror ? kPi : 2 * kPi) / segments;
  const double cx = v(3, w / 2), cy = v(4, h / 2);
  remap_plain(rgba, w, h, Edge::Clamp, [&](int32_t x, int32_t y, double& sx, double& sy) {
    const double dx = x - cx, dy = y - cy, r = std::sqrt(dx * dx + dy * dy);
    double t = std::atan2(dy, dx);
    if (t < 0) t += 2 * kPi;
    if (mirror) {
      t = std::fmod(t, 2 * wedge);
      if (t > wedge) t = 2 * wedge - t;
    } else {
      t = std::fmod(t, wedge);
    }
    sx = cx + r * std::cos(t);
    sy = cy + r * std::sin(t);
  });
  return true;
}

}  // namespace cvl::imagescript
