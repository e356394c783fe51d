// The motion blur as first written: one thread, each line's window grown and
// shrunk a sample at a time. The plain twin motion_blur.cpp is held to.
#include "imaging/filters/motion_blur.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "imaging/channel_mask.h"
#include "imaging/filters/motion_blur_support.h"

namespace cvl::imaging {
namespace {

using namespace motion_blur_detail;

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

bool motion_blur_reference(const ImageView& src, const ImageView& dst, double length, double angle_degrees,
                           double lead) {
  return motion_blur_with(src, dst, length, angle_degrees, lead,
                          [](const ImageView& s, const ImageView& d, const Lines& l, int32_t behind, int32_t ahead) {
                            switch (s.channels) {
                              case 1:
                                blur_lines<1>(s, d, l, behind, ahead);
                                break;
                              case 3:
                                blur_lines<3>(s, d, l, behind, ahead);
                                break;
                              default:
                                blur_lines<4>(s, d, l, behind, ahead);
                                break;
                            }
                          });
}

}  // namespace cvl::imaging
