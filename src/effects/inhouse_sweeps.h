// The directional pass set the propagating smoothing effects share: eight
// sweeps over the destination in place, every step comparing a pixel with one
// neighbour and possibly rewriting the neighbour, so a change can travel along
// the scan. Four horizontal sweeps come first, then four vertical ones.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "effects/inhouse_library.h"

namespace cvl::inhouse_sweeps {

// Neighbour offset and scan directions of one sweep (rows outer, columns inner).
struct Sweep {
  int32_t nx, ny;        // where the neighbour is
  int32_t xstep, ystep;  // +1: left to right / top to bottom
};

constexpr Sweep kSweeps[8] = {
    {1, 0, 1, 1}, {-1, 0, -1, -1}, {-1, 0, -1, 1}, {1, 0, 1, -1},
    {0, 1, 1, 1}, {0, -1, -1, -1}, {0, -1, -1, 1}, {0, 1, 1, -1},
};

// Calls step(current, neighbour, x, y) for every pixel of the sweep whose
// neighbour is on the canvas. Steps whose neighbour is off the canvas are left
// out: a step only ever writes its neighbour, and such a write is dropped.
template <class Step>
void run_sweep(uint8_t* image, int32_t width, int32_t height, const Sweep& s, Step& step) {
  const int32_t x0 = s.nx < 0 ? 1 : 0, x1 = s.nx > 0 ? width - 2 : width - 1;
  const int32_t y0 = s.ny < 0 ? 1 : 0, y1 = s.ny > 0 ? height - 2 : height - 1;
  if (x0 > x1 || y0 > y1) return;
  const ptrdiff_t row = static_cast<ptrdiff_t>(width) * 4;
  const ptrdiff_t to_neighbour = s.ny * row + s.nx * 4;
  for (int32_t y = s.ystep > 0 ? y0 : y1; y >= y0 && y <= y1; y += s.ystep) {
    uint8_t* line = image + y * row;
    for (int32_t x = s.xstep > 0 ? x0 : x1; x >= x0 && x <= x1; x += s.xstep) {
      uint8_t* cur = line + x * 4;
      step(cur, cur + to_neighbour, x, y);
    }
  }
}

template <class StepFor>
void run_pass_set(InhouseParams& p, const InhouseImages& im, StepFor step_for) {
  p.copy = 1;  // each step reads what the steps before it wrote
  for (const Sweep& s : kSweeps) {
    auto step = step_for(s);
    run_sweep(im.dst, im.width, im.height, s, step);
  }
}

// trunc((1 - w) * P + w * Q) for every pair of bytes, clamped as the writer
// would: the products are the same doubles the formula makes, so the table
// gives the formula's bytes exactly.
class BlendTable {
 public:
  explicit BlendTable(double w) : table_(256 * 256) {
    double from[256], to[256];
    for (int32_t v = 0; v < 256; ++v) {
      from[v] = (1.0 - w) * v;
      to[v] = w * v;
    }
    for (int32_t a = 0; a < 256; ++a) {
      for (int32_t b = 0; b < 256; ++b) table_[a * 256 + b] = static_cast<uint8_t>(trunc_to_byte(from[a] + to[b]));
    }
  }
  // The table that leaves the neighbour as it is, so a step can always write.
  static BlendTable keep() {
    BlendTable t(0.0);
    for (int32_t a = 0; a < 256; ++a)
      for (int32_t b = 0; b < 256; ++b) t.table_[size_t(a * 256 + b)] = static_cast<uint8_t>(b);
    return t;
  }
  const uint8_t* data() const { return table_.data(); }
  // The blend of `cur` toward `nb` for one channel.
  uint8_t operator()(uint8_t cur, uint8_t nb) const { return table_[cur * 256 + nb]; }
  void blend4(const uint8_t* cur, uint8_t* nb) const {
    for (int i = 0; i < 4; ++i) nb[i] = (*this)(cur[i], nb[i]);
  }

 private:
  std::vector<uint8_t> table_;
};

}  // namespace cvl::inhouse_sweeps
