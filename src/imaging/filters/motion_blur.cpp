#include "imaging/filters/motion_blur.h"

#include <algorithm>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "imaging/filters/motion_blur_support.h"
#include "imaging/parallel_bands.h"

namespace cvl::imaging {
namespace {

using namespace motion_blur_detail;

// Lines [first, end) (line k starts at minor offset k - hi). Every pixel lies on
// exactly one line, so bands of lines write pixels no other band writes. A
// line's window sums come from running totals along it: the sum of samples
// first..last is total(last + 1) - total(first), the same whole number the twin's
// window adds up a sample at a time, turned into the mean by the same float steps.
template <int C>
void blur_line_range(const ImageView& src, const ImageView& dst, const Lines& l, int32_t behind, int32_t ahead,
                     const float* inverse, int32_t hi, int32_t first, int32_t end) {
  std::vector<uint8_t> line(size_t(l.major) * C);
  std::vector<int32_t> at(size_t(l.major));  // major index of each gathered sample
  std::vector<uint32_t> total(size_t(l.major + 1) * C);
  const auto pixel = [&](const ImageView& v, int32_t i, int32_t j) {
    return l.x_major ? v.row(j) + size_t(i) * C : v.row(i) + size_t(j) * C;
  };
  for (int32_t k_line = first; k_line < end; ++k_line) {
    const int32_t start = k_line - hi;
    int32_t n = 0;
    for (int32_t i = 0; i < l.major; ++i) {
      const int32_t j = start + l.off[size_t(i)];
      if (j < 0 || j >= l.minor) continue;
      std::memcpy(line.data() + size_t(n) * C, pixel(src, i, j), C);
      at[size_t(n++)] = i;
    }
    if (n == 0) continue;
    uint32_t* t = total.data();
    for (int c = 0; c < C; ++c) t[c] = 0;
    for (int32_t k = 0; k < n; ++k)
      for (int c = 0; c < C; ++c) t[size_t(k + 1) * C + c] = t[size_t(k) * C + c] + line[size_t(k) * C + c];
    for (int32_t k = 0; k < n; ++k) {
      const int32_t lo = std::max(k - behind, 0), up = std::min(k + ahead, n - 1);
      const float inv = inverse[size_t(up - lo + 1)];
      const int32_t i = at[size_t(k)];
      uint8_t* d = pixel(dst, i, start + l.off[size_t(i)]);
#if defined(__SSE2__)
      if constexpr (C == 4) {
        // Sums stay below 2^31, so the signed conversion reads them exactly.
        const __m128i sum = _mm_sub_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(t + size_t(up + 1) * 4)),
                                          _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + size_t(lo) * 4)));
        const __m128i v =
            _mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(_mm_cvtepi32_ps(sum), _mm_set1_ps(inv)), _mm_set1_ps(0.5f)));
        const int32_t word = _mm_cvtsi128_si32(_mm_packus_epi16(_mm_packs_epi32(v, v), v));
        std::memcpy(d, &word, 4);
        continue;
      }
#endif
      for (int c = 0; c < C; ++c) {
        const uint32_t sum = t[size_t(up + 1) * C + c] - t[size_t(lo) * C + c];
        d[c] = static_cast<uint8_t>(float(sum) * inv + 0.5f);
      }
    }
  }
}

void blur_lines(const ImageView& src, const ImageView& dst, const Lines& l, int32_t behind, int32_t ahead) {
  const int32_t lo = std::min(l.off.front(), l.off.back()), hi = std::max(l.off.front(), l.off.back());
  std::vector<float> inverse(size_t(behind + ahead + 2));
  for (size_t n = 1; n < inverse.size(); ++n) inverse[n] = 1.0f / float(n);
  const int32_t lines = l.minor - lo + hi;
  for_each_band(lines, int64_t(l.major) * 8, [&](int32_t first, int32_t end) {
    switch (src.channels) {
      case 1:
        blur_line_range<1>(src, dst, l, behind, ahead, inverse.data(), hi, first, end);
        break;
      case 3:
        blur_line_range<3>(src, dst, l, behind, ahead, inverse.data(), hi, first, end);
        break;
      default:
        blur_line_range<4>(src, dst, l, behind, ahead, inverse.data(), hi, first, end);
        break;
    }
  });
}

}  // namespace

bool motion_blur(const ImageView& src, const ImageView& dst, double length, double angle_degrees, double lead) {
  return motion_blur_with(src, dst, length, angle_degrees, lead, blur_lines);
}

}  // namespace cvl::imaging
