// The smoothing passes one step at a time in the sweep's own order on the
// calling thread, as they were first written. Kept as the reference the
// branch-free, banded passes in inhouse_passes.cpp are checked against.
#include <cstdlib>

#include "effects/inhouse_sweeps.h"

namespace cvl {

using inhouse_sweeps::BlendTable;
using inhouse_sweeps::run_pass_set;
using inhouse_sweeps::Sweep;

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

void inhouse_anti_alias_reference(InhouseParams& p, const InhouseImages& im) {
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

}  // namespace cvl
