// Test pictures shared by the benchmarks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace bench {

// A packed edge x edge RGBA32 picture whose pixel (x, y) is painted by paint(x, y, rgba).
template <class Paint>
std::vector<uint8_t> rgba_picture(int edge, Paint paint) {
  std::vector<uint8_t> p(size_t(edge) * size_t(edge) * 4);
  for (int y = 0; y < edge; ++y)
    for (int x = 0; x < edge; ++x) paint(x, y, &p[(size_t(y) * size_t(edge) + size_t(x)) * 4]);
  return p;
}

// A painted-looking 4096 x 4096 picture with soft edges, some texture and a
// transparent corner, made once and shared by the whole-picture benchmarks.
inline const std::vector<uint8_t>& painted_picture_4096() {
  static const std::vector<uint8_t> px = rgba_picture(4096, [](int x, int y, uint8_t* q) {
    q[0] = uint8_t(x / 16), q[1] = uint8_t(y / 16), q[2] = uint8_t((x * 7 ^ y * 3) & 255);
    q[3] = (x < 512 && y < 512) ? uint8_t((x + y) / 4) : 255;
  });
  return px;
}

// A packed edge x edge RGBA32 picture with a little of everything effects react
// to: colour ramps across and down, hard-edged checks, fine texture from a
// position hash (the same picture every run), soft discs, lone bright dots for
// the dot removers and an alpha ramp in the right quarter. Effects whose speed
// depends on content (histograms, edges, flood-like passes) meet a fair mix.
inline std::vector<uint8_t> varied_picture(int edge) {
  const int cell = edge / 8 > 0 ? edge / 8 : 1;
  return rgba_picture(edge, [edge, cell](int x, int y, uint8_t* q) {
    uint32_t h = uint32_t(x) * 0x9E3779B1u ^ uint32_t(y) * 0x85EBCA77u;
    h ^= h >> 15, h *= 0x2C1B3C6Du, h ^= h >> 12;
    const int grain = int(h & 31) - 16;
    const bool check = ((x >> 5) + (y >> 5)) & 1;
    const int cx = x % cell - cell / 2, cy = y % cell - cell / 2, r = cell / 3;
    const int disc = cx * cx + cy * cy < r * r ? 60 : 0;
    auto clamp = [](int v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); };
    q[0] = clamp(int(int64_t(x) * 255 / (edge - 1 > 0 ? edge - 1 : 1)) + grain - disc);
    q[1] = clamp(int(int64_t(y) * 255 / (edge - 1 > 0 ? edge - 1 : 1)) + grain + disc);
    q[2] = clamp((check ? 200 : 50) + grain);
    q[3] = x < edge * 3 / 4 ? 255 : uint8_t(64 + int64_t(edge - 1 - y) * 188 / (edge > 1 ? edge - 1 : 1));
    if (x % 23 == 11 && y % 19 == 7) q[0] = q[1] = q[2] = 255;
  });
}

}  // namespace bench
