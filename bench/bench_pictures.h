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

}  // namespace bench
