// Effects that read the picture as a height map (its brightness) or look for its
// edges. Alpha is left as it was: these change how a surface looks, not its shape.
#include <cmath>

#include "imagescript/effect_runners.h"

namespace cvl::imagescript {
namespace {

// Brightness of every pixel, the weights of the engine's grey conversion.
std::vector<uint8_t> grey_plane(const uint8_t* rgba, int32_t w, int32_t h) {
  std::vector<uint8_t> grey(size_t(w) * h);
  for (size_t i = 0; i < grey.size(); ++i) {
    const uint8_t* p = rgba + i * 4;
    grey[i] = static_cast<uint8_t>((77 * p[0] + 150 * p[1] + 29 * p[2] + 128) >> 8);
  }
  return grey;
}

// Sobel slopes of a byte plane at every pixel, edges repeated outward. The callback
// gets the pixel index and the two slopes (each within ±1020).
template <class Visit>
void for_each_slope(const uint8_t* plane, int32_t w, int32_t h, Visit visit) {
  for (int32_t y = 0; y < h; ++y) {
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

}  // namespace

// 19: value 3 the strength of the edges (0..255, 64 shows them as found), 4 the
// percentage below which faint edges are dropped, 5 the percentage of the original
// picture kept under them. Edges are found in each colour channel.
bool run_edge(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  const int32_t gain = std::clamp(v(3, 64), 0, 1024), floor_level = std::clamp(v(4), 0, 100) * 255 / 100;
  const int32_t keep = std::clamp(v(5), 0, 100) * 256 / 100;
  std::vector<uint8_t> plane(size_t(w) * h);
  for (int c = 0; c < 3; ++c) {
    for (size_t i = 0; i < plane.size(); ++i) plane[i] = rgba[i * 4 + c];
    for_each_slope(plane.data(), w, h, [&](size_t i, int32_t gx, int32_t gy) {
      // |gx| + |gy| is at most 2040; a gain of 64 maps a full step edge to about 255.
      int32_t e = ((std::abs(gx) + std::abs(gy)) * gain) >> 9;
      e = e < floor_level ? 0 : std::min(e, 255);
      rgba[i * 4 + c] = static_cast<uint8_t>((e * (256 - keep) + plane[i] * keep + 128) >> 8);
    });
  }
  return true;
}

// 23: value 3 the depth (1..256), 4 the light's direction in degrees, 5 its height in
// degrees (90 straight above), 7 the percentage of the picture's own colour mixed
// into the grey relief.
bool run_emboss(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  const double depth = std::clamp(v(3, 128), 0, 4096) / 512.0;
  const Light light(v(4, 135) * (kPi / 180.0), v(5, 45) * (kPi / 180.0));
  const int32_t colour = std::clamp(v(7), 0, 100) * 256 / 100;
  const std::vector<uint8_t> grey = grey_plane(rgba, w, h);
  for_each_slope(grey.data(), w, h, [&](size_t i, int32_t gx, int32_t gy) {
    const int32_t g = clamp_byte(255.0 * light.shade(gx, gy, depth));
    uint8_t* p = rgba + i * 4;
    for (int k = 0; k < 3; ++k) p[k] = static_cast<uint8_t>((g * (256 - colour) + (p[k] * g / 255) * colour + 128) >> 8);
  });
  return true;
}

// 27: value 3 the height of the bumps (1..256), 4 the light's height (1..51, 51 straight
// above), 5 its direction (-25..25, a full turn, 0 from the top left). Flat areas keep
// their colour; slopes toward the light brighten and the others darken.
bool run_bump(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  const double depth = std::clamp(v(3, 128), 0, 4096) / 512.0;
  const double elevation = std::clamp(v(4, 26), 1, 51) * (kPi / 2 / 51);
  const Light light((135.0 + v(5) * 7.2) * (kPi / 180.0), elevation);
  const std::vector<uint8_t> grey = grey_plane(rgba, w, h);
  for_each_slope(grey.data(), w, h, [&](size_t i, int32_t gx, int32_t gy) {
    const int32_t f = static_cast<int32_t>(std::clamp(light.shade(gx, gy, depth) / light.z, 0.0, 4.0) * 256);
    uint8_t* p = rgba + i * 4;
    for (int k = 0; k < 3; ++k) p[k] = clamp_byte((p[k] * f + 128) >> 8);
  });
  return true;
}

}  // namespace cvl::imagescript
