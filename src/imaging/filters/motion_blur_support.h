// What the motion blur shares with its plain twin: the digital lines along the
// streak and the window each pixel averages, worked out from the arguments.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "imaging/channel_mask.h"
#include "imaging/image_view.h"

namespace cvl::imaging::motion_blur_detail {

// The image is cut into digital lines along the streak: along the major axis
// (the one the streak moves faster on) a line advances one pixel a step and
// moves off[i] pixels on the minor axis, so every pixel lies on exactly one line
// and each line is gathered, averaged with a sliding window and scattered back.
struct Lines {
  bool x_major = true;
  int32_t major = 0, minor = 0;  // extents along the axes
  std::vector<int32_t> off;      // minor offset at each major step
};

inline Lines lines_for(int32_t width, int32_t height, double dx, double dy) {
  Lines l;
  l.x_major = std::fabs(dx) >= std::fabs(dy);
  l.major = l.x_major ? width : height;
  l.minor = l.x_major ? height : width;
  const double slope = l.x_major ? dy / dx : dx / dy;
  l.off.resize(size_t(l.major));
  for (int32_t i = 0; i < l.major; ++i) l.off[size_t(i)] = static_cast<int32_t>(std::lround(i * slope));
  return l;
}

// Checks the arguments, finds the lines and the window (`behind` samples before
// a pixel and `ahead` after it along a line) and hands them to
// `blur(src, dst, lines, behind, ahead)`.
template <class Blur>
bool motion_blur_with(const ImageView& src, const ImageView& dst, double length, double angle_degrees, double lead,
                      Blur blur) {
  if (!same_shape(src, dst) || src.data == dst.data || !std::isfinite(length) || !std::isfinite(angle_degrees))
    return false;
  const double theta = angle_degrees * 3.14159265358979323846 / 180.0;
  const double dx = std::cos(theta), dy = -std::sin(theta);  // rows grow downwards
  const Lines l = lines_for(src.width, src.height, dx, dy);
  // Steps along the major axis that cover the length, split around the pixel.
  const double step_length = std::hypot(1.0, l.x_major ? dy / dx : dx / dy);
  const double steps = std::min(std::max(length, 0.0) / step_length, double(l.major));
  if (steps < 1.0) {
    copy_view(src, dst);
    return true;
  }
  lead = std::clamp(lead, 0.0, 1.0);
  // The window holds `steps` samples, the pixel's own among them.
  const int32_t others = static_cast<int32_t>(std::lround(steps)) - 1;
  int32_t ahead = static_cast<int32_t>(std::lround(others * lead));
  int32_t behind = others - ahead;
  // "Ahead" is along the streak's direction; lines run towards growing indices.
  if ((l.x_major ? dx : dy) < 0) std::swap(ahead, behind);
  blur(src, dst, l, behind, ahead);
  return true;
}

}  // namespace cvl::imaging::motion_blur_detail
