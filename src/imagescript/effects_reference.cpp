#include "imagescript/effects_reference.h"

#include "imagescript/divider_map.h"
#include "imagescript/kaleidoscope_map.h"
#include "imagescript/noise_fields.h"
#include "imagescript/zoom_map.h"

namespace cvl::imagescript {
namespace {

template <class Map>
void remap_plain(uint8_t* rgba, int32_t w, int32_t h, Edge edge, Map map) {
  const std::vector<uint8_t> src(rgba, rgba + size_t(w) * h * 4);
  uint8_t* out = rgba;
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x, out += 4) {
      double sx = x, sy = y;
      map(x, y, sx, sy);
      sample_bilinear_plain(src.data(), w, h, sx, sy, edge, out);
    }
}

// A map of across(x) and down(y), read point by point like any other.
template <class Map>
void remap_plain_separable(uint8_t* rgba, int32_t w, int32_t h, Edge edge, const Map& map) {
  remap_plain(rgba, w, h, edge, [&](int32_t x, int32_t y, double& sx, double& sy) {
    sx = map.across(x);
    sy = map.down(y);
  });
}

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
  const KaleidoscopeMap map(v, w, h);
  if (!map.changes_nothing()) remap_plain(rgba, w, h, Edge::Clamp, map);
  return true;
}

bool run_divider_reference(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  const DividerMap map(v, w, h);
  if (!map.changes_nothing()) remap_plain_separable(rgba, w, h, Edge::Clamp, map);
  return true;
}

bool run_zoom_reference(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  const ZoomMap map(v, w, h);
  if (!map.valid()) return false;
  if (!map.changes_nothing()) remap_plain_separable(rgba, w, h, map.edge(), map);
  return true;
}

}  // namespace cvl::imagescript
