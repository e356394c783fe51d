// A square spiral maze: one-pixel walls wound inwards with corridors
// `corridor` pixels wide, so the open pixels form a single winding path that
// covers most of the picture. The worst shape for a region fill that recurses
// or that revisits rows: the path is as long as the picture is large.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace cvl::test {

// Packed 4-byte pixels, `edge` x `edge`: open pixels `open`, walls `wall`.
// The corridor starts at (1, 1).
inline std::vector<uint8_t> spiral_maze(int32_t edge, int32_t corridor, const uint8_t open[4], const uint8_t wall[4]) {
  std::vector<uint8_t> px(size_t(edge) * size_t(edge) * 4);
  for (size_t i = 0; i < px.size(); i += 4) std::memcpy(&px[i], open, 4);
  const int32_t step = corridor + 1;
  const int32_t dx[4] = {1, 0, -1, 0}, dy[4] = {0, 1, 0, -1};
  int32_t x = 0, y = 0;
  std::memcpy(&px[0], wall, 4);
  // Segment lengths L, L, L, L - s, L - s, L - 2s, L - 2s, ...
  for (int32_t seg = 0;; ++seg) {
    const int32_t len = (edge - 1) - (seg < 3 ? 0 : ((seg - 1) / 2) * step);
    if (len <= 0) break;
    const int32_t d = seg % 4;
    for (int32_t i = 0; i < len; ++i) {
      x += dx[d], y += dy[d];
      std::memcpy(&px[(size_t(y) * size_t(edge) + size_t(x)) * 4], wall, 4);
    }
  }
  return px;
}

}  // namespace cvl::test
