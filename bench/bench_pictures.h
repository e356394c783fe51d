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

}  // namespace bench
