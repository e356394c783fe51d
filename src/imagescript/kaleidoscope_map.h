// The kaleidoscope's inverse map, shared by the banded effect and its plain twin.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "imagescript/effect_support.h"

namespace cvl::imagescript {

// 49: values 3 and 4 the centre in pixels, 5 the number of segments (0 leaves the
// picture), 6 the kind: 0 mirrors neighbouring wedges, 1 repeats one wedge.
struct KaleidoscopeMap {
  int32_t segments;
  bool mirror;
  double wedge, cx, cy;

  KaleidoscopeMap(const Values& v, int32_t w, int32_t h)
      : segments(std::min(v(5), 360)),
        mirror(v(6) == 0),
        wedge((mirror ? kPi : 2 * kPi) / std::max(segments, 1)),
        cx(v(3, w / 2)),
        cy(v(4, h / 2)) {}

  bool changes_nothing() const { return segments <= 0; }

  // The source point for the centre of pixel (x, y).
  void operator()(int32_t x, int32_t y, double& sx, double& sy) const {
    const double dx = x - cx, dy = y - cy, r = std::sqrt(dx * dx + dy * dy);
    double t = std::atan2(dy, dx);
    if (t < 0) t += 2 * kPi;
    if (mirror) {
      t = std::fmod(t, 2 * wedge);
      if (t > wedge) t = 2 * wedge - t;
    } else {
      t = std::fmod(t, wedge);
    }
    sx = cx + r * std::cos(t);
    sy = cy + r * std::sin(t);
  }
};

}  // namespace cvl::imagescript
