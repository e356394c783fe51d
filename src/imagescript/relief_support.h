// What the relief effects share: the picture's brightness as a height map, the
// Sobel slopes of one of its rows, and a light to shade the slopes by.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "imagescript/effect_support.h"

namespace cvl::imagescript {

// Brightness of every pixel, the weights of the engine's grey conversion.
inline imaging::BlockArray<uint8_t> grey_plane(const uint8_t* rgba, int32_t w, int32_t h) {
  imaging::BlockArray<uint8_t> grey(size_t(w) * h);
  for (size_t i = 0; i < grey.size(); ++i) {
    const uint8_t* p = rgba + i * 4;
    grey[i] = static_cast<uint8_t>((77 * p[0] + 150 * p[1] + 29 * p[2] + 128) >> 8);
  }
  return grey;
}

// Sobel slopes of row y of a byte plane, edges repeated outward: `visit` gets each
// pixel's index and its two slopes (each within ±1020).
template <class Visit>
void slopes_of_row(const uint8_t* plane, int32_t w, int32_t h, int32_t y, Visit& visit) {
  const uint8_t* up = plane + size_t(std::max(y - 1, 0)) * w;
  const uint8_t* mid = plane + size_t(y) * w;
  const uint8_t* down = plane + size_t(std::min(y + 1, h - 1)) * w;
  for (int32_t x = 0; x < w; ++x) {
    const int32_t l = std::max(x - 1, 0), r = std::min(x + 1, w - 1);
    const int32_t gx = (up[r] + 2 * mid[r] + down[r]) - (up[l] + 2 * mid[l] + down[l]);
    const int32_t gy = (down[l] + 2 * down[x] + down[r]) - (up[l] + 2 * up[x] + up[r]);
    visit(size_t(y) * w + x, gx, gy);
  }
}

// Unit vector toward a light at `azimuth` (counter-clockwise from the right, screen
// up being positive) and `elevation` above the picture, both in radians.
struct Light {
  double x, y, z;
  Light(double azimuth, double elevation)
      : x(std::cos(elevation) * std::cos(azimuth)), y(-std::cos(elevation) * std::sin(azimuth)), z(std::sin(elevation)) {}
  // Lighting of a surface whose height rises by gx, gy per pixel (times `depth`).
  double shade(double gx, double gy, double depth) const {
    const double nx = -gx * depth, ny = -gy * depth;
    return (nx * x + ny * y + z) / std::sqrt(nx * nx + ny * ny + 1.0);
  }
};

// 23, Emboss: value 3 the depth (1..256), 4 the light's direction in degrees, 5 its
// height in degrees (90 straight above), 7 the percentage of the picture's own colour
// mixed into the grey relief. `shade` is the grey a slope pair gives.
struct EmbossRecipe {
  explicit EmbossRecipe(const Values& v)
      : depth(std::clamp(v(3, 128), 0, 4096) / 512.0),
        light(v(4, 135) * (kPi / 180.0), v(5, 45) * (kPi / 180.0)),
        colour(std::clamp(v(7), 0, 100) * 256 / 100) {}
  int32_t shade(int32_t gx, int32_t gy) const { return clamp_byte(255.0 * light.shade(gx, gy, depth)); }
  void paint(uint8_t* p, int32_t g) const {
    for (int k = 0; k < 3; ++k) p[k] = static_cast<uint8_t>((g * (256 - colour) + (p[k] * g / 255) * colour + 128) >> 8);
  }
  double depth;
  Light light;
  int32_t colour;
};

// 27, Bump: value 3 the height of the bumps (1..256), 4 the light's height (1..51, 51
// straight above), 5 its direction (-25..25, a full turn, 0 from the top left). Flat
// areas keep their colour; slopes toward the light brighten and the others darken.
// `shade` is the factor (in 256ths) a slope pair gives.
struct BumpRecipe {
  explicit BumpRecipe(const Values& v)
      : depth(std::clamp(v(3, 128), 0, 4096) / 512.0),
        light((135.0 + v(5) * 7.2) * (kPi / 180.0), std::clamp(v(4, 26), 1, 51) * (kPi / 2 / 51)) {}
  int32_t shade(int32_t gx, int32_t gy) const {
    return static_cast<int32_t>(std::clamp(light.shade(gx, gy, depth) / light.z, 0.0, 4.0) * 256);
  }
  void paint(uint8_t* p, int32_t f) const {
    for (int k = 0; k < 3; ++k) p[k] = clamp_byte((p[k] * f + 128) >> 8);
  }
  double depth;
  Light light;
};

}  // namespace cvl::imagescript
