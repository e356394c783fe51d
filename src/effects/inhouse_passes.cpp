// The propagating smoothing effects. Each runs the directional pass set: eight
// sweeps over the destination in place, every step comparing a pixel with one
// neighbour and possibly rewriting the neighbour, so a change can travel along
// the scan. Four horizontal sweeps come first, then four vertical ones.
#include <cstdlib>
#include <vector>

#include "effects/inhouse_library.h"
#include "effects/inhouse_passes_reference.h"
#include "imaging/parallel_bands.h"

namespace cvl {
namespace {

// Neighbour offset and scan directions of one sweep (rows outer, columns inner).
struct Sweep {
  int32_t nx, ny;        // where the neighbour is
  int32_t xstep, ystep;  // +1: left to right / top to bottom
};

constexpr Sweep kSweeps[8] = {
    {1, 0, 1, 1},  {-1, 0, -1, -1}, {-1, 0, -1, 1}, {1, 0, 1, -1},
    {0, 1, 1, 1},  {0, -1, -1, -1}, {0, -1, -1, 1}, {0, 1, 1, -1},
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

// The same sweep for steps that read and write only the pixel and its neighbour,
// as value blur and the noise reductions do: then the rows of a horizontal sweep
// (and the columns of a vertical one) never meet, so the visiting order between
// them is free. Rows go in bands, and four at a time side by side, so that four
// chains of dependent steps overlap; columns go in bands of columns.
template <class Step>
void run_sweep_on_lines(uint8_t* image, int32_t width, int32_t height, const Sweep& s, Step& step) {
  const int32_t x0 = s.nx < 0 ? 1 : 0, x1 = s.nx > 0 ? width - 2 : width - 1;
  const int32_t y0 = s.ny < 0 ? 1 : 0, y1 = s.ny > 0 ? height - 2 : height - 1;
  if (x0 > x1 || y0 > y1) return;
  const ptrdiff_t row = static_cast<ptrdiff_t>(width) * 4;
  const ptrdiff_t to_neighbour = s.ny * row + s.nx * 4;
  if (s.ny != 0) {
    imaging::for_each_band(x1 - x0 + 1, height, [&](int first, int end) {
      for (int32_t y = s.ystep > 0 ? y0 : y1; y >= y0 && y <= y1; y += s.ystep) {
        uint8_t* line = image + y * row;
        for (int32_t x = x0 + first; x < x0 + end; ++x) step(line + x * 4, line + x * 4 + to_neighbour, x, y);
      }
    });
    return;
  }
  const int32_t xa = s.xstep > 0 ? x0 : x1, xb = s.xstep > 0 ? x1 + 1 : x0 - 1;
  imaging::for_each_band(y1 - y0 + 1, width, [&](int first, int end) {
    int32_t y = y0 + first;
    for (; y + 4 <= y0 + end; y += 4) {
      uint8_t* const l0 = image + y * row;
      uint8_t* const l1 = l0 + row;
      uint8_t* const l2 = l1 + row;
      uint8_t* const l3 = l2 + row;
      for (int32_t x = xa; x != xb; x += s.xstep) {
        const ptrdiff_t at = ptrdiff_t(x) * 4;
        step(l0 + at, l0 + at + to_neighbour, x, y);
        step(l1 + at, l1 + at + to_neighbour, x, y + 1);
        step(l2 + at, l2 + at + to_neighbour, x, y + 2);
        step(l3 + at, l3 + at + to_neighbour, x, y + 3);
      }
    }
    for (; y < y0 + end; ++y) {
      uint8_t* line = image + y * row;
      for (int32_t x = xa; x != xb; x += s.xstep) step(line + x * 4, line + x * 4 + to_neighbour, x, y);
    }
  });
}

// Runs the eight sweeps; kOwnLines: the steps touch only the pixel and its
// neighbour (see run_sweep_on_lines).
template <bool kOwnLines = false, class StepFor>
void run_pass_set(InhouseParams& p, const InhouseImages& im, StepFor step_for) {
  p.copy = 1;  // each step reads what the steps before it wrote
  for (const Sweep& s : kSweeps) {
    auto step = step_for(s);
    if constexpr (kOwnLines) run_sweep_on_lines(im.dst, im.width, im.height, s, step);
    else run_sweep(im.dst, im.width, im.height, s, step);
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
  // The blend of `cur` toward `nb` for one channel.
  uint8_t operator()(uint8_t cur, uint8_t nb) const { return table_[cur * 256 + nb]; }
  void blend4(const uint8_t* cur, uint8_t* nb) const {
    for (int i = 0; i < 4; ++i) nb[i] = (*this)(cur[i], nb[i]);
  }

 private:
  std::vector<uint8_t> table_;
};

}  // namespace

void inhouse_value_blur(InhouseParams& p, const InhouseImages& im) {
  const BlendTable darker(p.p[0]), lighter(p.p[1]);
  run_pass_set<true>(p, im, [&](const Sweep&) {
    return [&](const uint8_t* cur, uint8_t* nb, int32_t, int32_t) {
      const int32_t v = luminance(cur), u = luminance(nb);
      if (v - u > 2) darker.blend4(cur, nb);
      else if (u - v > 2) lighter.blend4(cur, nb);
    };
  });
}

void inhouse_anti_alias(InhouseParams& p, const InhouseImages& im) {
  const BlendTable darker(p.p[0]), lighter(p.p[1]);
  const double rise = (1.0 - p.p[2]) * 255.0, fall = (1.0 - p.p[3]) * 255.0;
  p.copy = 1;  // the third pixel is read from the image the sweeps change
  const PixelReader in(p, im);
  run_pass_set(p, im, [&](const Sweep& s) {
    // The third pixel sits beside the neighbour one line further on in the
    // sweep's direction across the lines.
    const int32_t tx = s.nx + (s.nx == 0 ? s.xstep : 0);
    const int32_t ty = s.ny + (s.ny == 0 ? s.ystep : 0);
    return [&in, &darker, &lighter, rise, fall, tx, ty](const uint8_t* cur, uint8_t* nb, int32_t x, int32_t y) {
      const int32_t v = luminance(cur), u = luminance(nb);
      const int32_t t = in.luminance_at(x + tx, y + ty);
      if (v - u > rise && t >= v) darker.blend4(cur, nb);
      else if (u - v > fall && t <= v) lighter.blend4(cur, nb);
    };
  });
}

void inhouse_noise_reduction(InhouseParams& p, const InhouseImages& im) {
  p.p[0] = 1.0 - p.p[0] * 0.5;
  const BlendTable keep(p.p[0]);
  const double threshold = p.p[1] * 255.0;
  run_pass_set<true>(p, im, [&](const Sweep&) {
    return [&](const uint8_t* cur, uint8_t* nb, int32_t, int32_t) {
      if (std::abs(luminance(cur) - luminance(nb)) < threshold) keep.blend4(cur, nb);
    };
  });
}

void inhouse_noise_reduction_rgb(InhouseParams& p, const InhouseImages& im) {
  for (int i = 0; i < 6; i += 2) p.p[i] = 1.0 - p.p[i] * 0.5;
  const BlendTable keep[3] = {BlendTable(p.p[0]), BlendTable(p.p[2]), BlendTable(p.p[4])};
  const double threshold[3] = {p.p[1] * 255.0, p.p[3] * 255.0, p.p[5] * 255.0};
  run_pass_set<true>(p, im, [&](const Sweep&) {
    return [&](const uint8_t* cur, uint8_t* nb, int32_t, int32_t) {
      for (int i = 0; i < 3; ++i) {
        if (std::abs(cur[i] - nb[i]) < threshold[i]) nb[i] = keep[i](cur[i], nb[i]);
      }
    };
  });
}

// The reference twins: every sweep pixel by pixel in its own scan order.
void inhouse_value_blur_reference(InhouseParams& p, const InhouseImages& im) {
  const BlendTable darker(p.p[0]), lighter(p.p[1]);
  run_pass_set(p, im, [&](const Sweep&) {
    return [&](const uint8_t* cur, uint8_t* nb, int32_t, int32_t) {
      const int32_t v = luminance(cur), u = luminance(nb);
      if (v - u > 2) darker.blend4(cur, nb);
      else if (u - v > 2) lighter.blend4(cur, nb);
    };
  });
}

void inhouse_noise_reduction_reference(InhouseParams& p, const InhouseImages& im) {
  p.p[0] = 1.0 - p.p[0] * 0.5;
  const BlendTable keep(p.p[0]);
  const double threshold = p.p[1] * 255.0;
  run_pass_set(p, im, [&](const Sweep&) {
    return [&](const uint8_t* cur, uint8_t* nb, int32_t, int32_t) {
      if (std::abs(luminance(cur) - luminance(nb)) < threshold) keep.blend4(cur, nb);
    };
  });
}

void inhouse_noise_reduction_rgb_reference(InhouseParams& p, const InhouseImages& im) {
  for (int i = 0; i < 6; i += 2) p.p[i] = 1.0 - p.p[i] * 0.5;
  const BlendTable keep[3] = {BlendTable(p.p[0]), BlendTable(p.p[2]), BlendTable(p.p[4])};
  const double threshold[3] = {p.p[1] * 255.0, p.p[3] * 255.0, p.p[5] * 255.0};
  run_pass_set(p, im, [&](const Sweep&) {
    return [&](const uint8_t* cur, uint8_t* nb, int32_t, int32_t) {
      for (int i = 0; i < 3; ++i) {
        if (std::abs(cur[i] - nb[i]) < threshold[i]) nb[i] = keep[i](cur[i], nb[i]);
      }
    };
  });
}

}  // namespace cvl
