// Smooth warps: every output pixel reads one bilinear sample of the input at a point
// computed from its position alone, so a plane carried in any channel is moved
// exactly as the colour is (the dispatcher distorts alpha this way).
#include <cmath>

#include "imagescript/effect_runners.h"
#include "imagescript/kaleidoscope_map.h"
#include "imagescript/zoom_map.h"

namespace cvl::imagescript {
// 6: value 3 the turn at the centre in degrees, 4 the radius in percent of half the
// diagonal, 5 how fast the turn dies away toward the rim (percent; 50 is linear),
// 7 = 1 wraps reads round the edges.
bool run_twirl(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  const double angle = v(3) * (kPi / 180.0);
  const double radius = std::clamp(v(4, 100), 1, 100) * 0.01 * 0.5 * std::hypot(double(w), double(h));
  const double falloff = std::clamp(v(5, 50), 1, 1000) / 50.0;
  if (angle == 0) return true;
  const double cx = centre_x(w), cy = centre_y(h);
  remap(rgba, w, h, edge_of(v(7), Edge::Clamp), [&](int32_t x, int32_t y, double& sx, double& sy) {
    const double dx = x - cx, dy = y - cy, d = std::sqrt(dx * dx + dy * dy);
    if (d >= radius) return;
    const double a = angle * std::pow(1.0 - d / radius, falloff), c = std::cos(a), s = std::sin(a);
    sx = cx + dx * c - dy * s;
    sy = cy + dx * s + dy * c;
  });
  return true;
}

// 13: values 3 and 4 the horizontal and vertical swing in pixels, 5 and 6 how many
// waves run down and across the picture, 7 and 8 their phase in pixels, 9 = 1 wraps.
bool run_sine_distort(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  const double ax = v(3), ay = v(4);
  if (ax == 0 && ay == 0) return true;
  const double kx = 2 * kPi * v(5) / h, ky = 2 * kPi * v(6) / w;
  const double px = v(7), py = v(8);
  // One sine per row and per column, computed once.
  std::vector<double> shift_x(static_cast<size_t>(h)), shift_y(static_cast<size_t>(w));
  for (int32_t y = 0; y < h; ++y) shift_x[size_t(y)] = ax * std::sin(kx * (y + py));
  for (int32_t x = 0; x < w; ++x) shift_y[size_t(x)] = ay * std::sin(ky * (x + px));
  remap(rgba, w, h, edge_of(v(9), Edge::Clamp), [&](int32_t x, int32_t y, double& sx, double& sy) {
    sx = x + shift_x[size_t(y)];
    sy = y + shift_y[size_t(x)];
  });
  return true;
}

// 16: value 3 the wavelength in pixels, 4 the amplitude in tenths of a pixel, 5 = 1
// makes rings about the centre instead of straight waves, 6 the straight waves'
// direction in degrees (counter-clockwise from the right).
bool run_waves(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  const double amplitude = v(4) * 0.1;
  if (amplitude == 0) return true;
  const double k = 2 * kPi / std::max(2, v(3, 100));
  const double a = v(6) * (kPi / 180.0), ux = std::cos(a), uy = -std::sin(a);
  const double cx = centre_x(w), cy = centre_y(h);
  if (v(5) == 1) {
    remap(rgba, w, h, Edge::Clamp, [&](int32_t x, int32_t y, double& sx, double& sy) {
      const double dx = x - cx, dy = y - cy, d = std::sqrt(dx * dx + dy * dy);
      if (d < 1e-9) return;
      const double push = amplitude * std::sin(k * d) / d;
      sx = x + dx * push;
      sy = y + dy * push;
    });
  } else {
    // The crests run across the direction of travel; pixels swing along it.
    remap(rgba, w, h, Edge::Clamp, [&](int32_t x, int32_t y, double& sx, double& sy) {
      const double push = amplitude * std::sin(k * ((x - cx) * ux + (y - cy) * uy));
      sx = x - uy * push;
      sy = y + ux * push;
    });
  }
  return true;
}

// 49: see KaleidoscopeMap.
bool run_kaleidoscope(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  const KaleidoscopeMap map(v, w, h);
  if (!map.changes_nothing()) remap(rgba, w, h, Edge::Clamp, map);
  return true;
}

// 50: see ZoomMap.
bool run_zoom(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  const ZoomMap map(v, w, h);
  if (!map.valid()) return false;
  if (!map.changes_nothing()) remap_separable(rgba, w, h, map.edge(), map);
  return true;
}

// 54: values 3 and 4 tip the picture back about its horizontal and vertical middle
// lines, in thousandths of the strongest tilt; 0 and 0 leave it. The far side shrinks
// in perspective and the uncovered canvas is transparent.
bool run_tilt(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  const double a = std::clamp(v(3), -1000, 1000) * 0.0008, b = std::clamp(v(4), -1000, 1000) * 0.0008;
  if (a == 0 && b == 0) return true;
  const double cx = centre_x(w), cy = centre_y(h), hx = std::max(0.5, w * 0.5), hy = std::max(0.5, h * 0.5);
  remap(rgba, w, h, Edge::Transparent, [&](int32_t x, int32_t y, double& sx, double& sy) {
    const double u = (x - cx) / hx, t = (y - cy) / hy;
    // A projective map: rows (or columns) further from the viewer are magnified less.
    const double k = 1.0 + a * t + b * u;
    if (k < 0.05) {  // behind the viewer: nothing of the picture shows there
      sx = -1e9;
      return;
    }
    sx = cx + u / k * hx;
    sy = cy + t / k * hy;
  });
  return true;
}

}  // namespace cvl::imagescript
