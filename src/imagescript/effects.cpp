// The numbered effects of the image-script library. Each entry of the table names its
// number and its runner; scripts and callers reach them all through run_effect.
#include <cmath>
#include <cstring>
#include <vector>

#include "imagescript/imagescript.h"

namespace cvl::imagescript {
namespace {

// Value `index` (3 upward) of an effect, or `fallback` when the caller gave fewer values.
int32_t value_at(const int32_t* values, int32_t count, int32_t index, int32_t fallback) {
  const int32_t i = index - 3;
  return values && i >= 0 && i < count ? values[i] : fallback;
}

bool run_rotate(const int32_t* values, int32_t count, uint8_t* rgba, int32_t width, int32_t height) {
  return rotate_in_place(rgba, width, height, value_at(values, count, 3, 0), value_at(values, count, 4, 100));
}

struct Effect {
  int32_t number;
  bool (*run)(const int32_t* values, int32_t count, uint8_t* rgba, int32_t width, int32_t height);
};

constexpr Effect kEffects[] = {
    {51, run_rotate},
};

// Cosine and sine of whole degrees, exact at the quarter turns so that they move
// pixels without blurring them.
void turn(int32_t degrees, double& c, double& s) {
  const int32_t d = ((degrees % 360) + 360) % 360;
  switch (d) {
    case 0: c = 1, s = 0; return;
    case 90: c = 0, s = 1; return;
    case 180: c = -1, s = 0; return;
    case 270: c = 0, s = -1; return;
    default: {
      const double r = d * (3.14159265358979323846 / 180.0);
      c = std::cos(r), s = std::sin(r);
    }
  }
}

// Bilinear sample of premultiplied taps, outside pixels transparent; writes straight RGBA.
void sample(const uint8_t* src, int32_t w, int32_t h, double sx, double sy, uint8_t* out) {
  const double fx = std::floor(sx), fy = std::floor(sy);
  const int32_t x0 = static_cast<int32_t>(fx), y0 = static_cast<int32_t>(fy);
  const double ax = sx - fx, ay = sy - fy;
  double acc[4] = {0, 0, 0, 0};
  for (int t = 0; t < 4; ++t) {
    const int32_t x = x0 + (t & 1), y = y0 + (t >> 1);
    if (x < 0 || y < 0 || x >= w || y >= h) continue;
    const double weight = ((t & 1) ? ax : 1 - ax) * ((t >> 1) ? ay : 1 - ay);
    const uint8_t* p = src + (size_t(y) * w + x) * 4;
    const double a = p[3] * weight;
    acc[0] += p[0] * a, acc[1] += p[1] * a, acc[2] += p[2] * a, acc[3] += a;
  }
  if (acc[3] <= 0) {
    std::memset(out, 0, 4);
    return;
  }
  for (int c = 0; c < 3; ++c) out[c] = static_cast<uint8_t>(std::fmin(255.0, acc[c] / acc[3] + 0.5));
  out[3] = static_cast<uint8_t>(std::fmin(255.0, acc[3] + 0.5));
}

}  // namespace

bool rotate_in_place(uint8_t* rgba, int32_t width, int32_t height, int32_t degrees, int32_t scale_percent) {
  if (!rgba || width <= 0 || height <= 0 || scale_percent <= 0) return false;
  if (degrees % 360 == 0 && scale_percent == 100) return true;
  const std::vector<uint8_t> src(rgba, rgba + size_t(width) * height * 4);
  double c = 1, s = 0;
  turn(degrees, c, s);
  const double k = 100.0 / scale_percent;
  const double cx = width / 2.0, cy = height / 2.0;
  for (int32_t y = 0; y < height; ++y) {
    const double dy = y + 0.5 - cy;
    for (int32_t x = 0; x < width; ++x) {
      const double dx = x + 0.5 - cx;
      // Inverse of a counter-clockwise turn on a y-down grid.
      const double sx = (c * dx - s * dy) * k + cx - 0.5;
      const double sy = (s * dx + c * dy) * k + cy - 0.5;
      sample(src.data(), width, height, sx, sy, rgba + (size_t(y) * width + x) * 4);
    }
  }
  return true;
}

bool run_effect(int32_t effect, const int32_t* values, int32_t value_count, uint8_t* rgba, int32_t width,
                int32_t height) {
  if (!rgba || width <= 0 || height <= 0 || value_count < 0) return false;
  for (const Effect& e : kEffects)
    if (e.number == effect) return e.run(values, value_count, rgba, width, height);
  return false;
}

}  // namespace cvl::imagescript
