#include "imaging/filters/motion_blur.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "imaging/channel_mask.h"

namespace cvl::imaging {
namespace {

// The image is cut into digital lines along the streak: along the major axis
// (the one the streak moves faster on) a line advances one pixel a step and
// moves off[i] pixels on the minor axis, so every pixel lies on exactly one line
// and each line is gathered, averaged with a sliding window and scattered back.
struct Lines {
  bool x_major = true;
  int32_t major = 0, minor = 0;  // extents along the axes
  std::vector<int32_t> off;      // minor offset at each major step
};

Lines lines_for(int32_t width, int32_t height, double dx, double dy) {
  Lines l;
  l.x_major = std::fabs(dx) >= std::fabs(dy);
  l.major = l.x_major ? width : height;
  l.minor = l.x_major ? height : width;
  const double slope = l.x_major ? dy / dx : dx / dy;
  l.off.resize(size_t(l.major));
  for (int32_t i = 0; i < l.major; ++i) l.off[size_t(i)] = static_cast<int32_t>(std::lround(i * slope));
  return l;
}

template <int C>
void blur_lines(const ImageView& src, const ImageView& dst, const Lines& l, int32_t behind, int32_t ahead) {
  const int32_t lo = std::min(l.off.front(), l.off.back()), hi = std::max(l.off.front(), l.off.back());
  std::vector<uint8_t> line(size_t(l.major) * C);
  std::vector<int32_t> at(size_t(l.major));  // major index of each gathered sample
  std::vector<float> inverse(size_t(behind + ahead + 2));
  for (size_t n = 1; n < inverse.size(); ++n) inverse[n] = 1.0f / float(n);
  const auto pixel = [&](const ImageView& v, int32_t i, int32_t j) {
    return l.x_major ? v.row(j) + size_t(i) * C : v.row(i) + size_t(j) * C;
  };
  for (int32_t start = -hi; start < l.minor - lo; ++start) {
    int32_t n = 0;
    for (int32_t i = 0; i < l.major; ++i) {
      const int32_t j = start + l.off[size_t(i)];
      if (j < 0 || j >= l.minor) continue;
      std::copy_n(pixel(src, i, j), C, line.data() + size_t(n) * C);
      at[size_t(n++)] = i;
    }
    if (n == 0) continue;
    // Window [k - behind, k + ahead] of the gathered samples, cut at the ends.
    uint32_t sum[C] = {};
    int32_t first = 0, last = -1;  // samples now in the sum
    for (int32_t k = 0; k < n; ++k) {
      const int32_t want_last = std::min(k + ahead, n - 1), want_first = std::max(k - behind, 0);
      while (last < want_last) {
        ++last;
        for (int c = 0; c < C; ++c) sum[c] += line[size_t(last) * C + c];
      }
      while (first < want_first) {
        for (int c = 0; c < C; ++c) sum[c] -= line[size_t(first) * C + c];
        ++first;
      }
      const float inv = inverse[size_t(last - first + 1)];
      uint8_t* d = pixel(dst, at[size_t(k)], start + l.off[size_t(at[size_t(k)])]);
      for (int c = 0; c < C; ++c) d[c] = static_cast<uint8_t>(float(sum[c]) * inv + 0.5f);
    }
  }
}

}  // namespace

bool motion_blur(const ImageView& src, const ImageView& dst, double length, double angle_degrees, double lead) {
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
  switch (src.channels) {
    case 1: blur_lines<1>(src, dst, l, behind, ahead); break;
    case 3: blur_lines<3>(src, dst, l, behind, ahead); break;
    default: blur_lines<4>(src, dst, l, behind, ahead); break;
  }
  return true;
}

}  // namespace cvl::imaging
