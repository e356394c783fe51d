#include "imaging/filters/min_max_filter.h"

#include <algorithm>
#include <vector>

#include "imaging/filters/box_blur.h"
#include "imaging/filters/min_max_filter_support.h"
#include "imaging/channel_mask.h"
#include "imaging/parallel_bands.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace cvl::imaging {
namespace {

struct Max {
  uint8_t operator()(uint8_t a, uint8_t b) const { return a > b ? a : b; }
#if defined(__SSE2__)
  __m128i operator()(__m128i a, __m128i b) const { return _mm_max_epu8(a, b); }
#endif
};
struct Min {
  uint8_t operator()(uint8_t a, uint8_t b) const { return a < b ? a : b; }
#if defined(__SSE2__)
  __m128i operator()(__m128i a, __m128i b) const { return _mm_min_epu8(a, b); }
#endif
};

// Windows up to this radius are searched directly, sixteen bytes at a time:
// 2 r comparisons a byte beat the running extremes' three once they run on
// whole registers, and need no scratch lines the size of a column.
constexpr int32_t kMaxDirectRadius = 12;

// out[i] = op over k = 0 .. count - 1 of from(k)[i], for n bytes.
template <class Op, class From>
void extreme_of(int32_t n, int32_t count, From from, uint8_t* out, Op op) {
  int32_t i = 0;
#if defined(__SSE2__)
  for (; i + 16 <= n; i += 16) {
    __m128i m = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from(0) + i));
    for (int32_t k = 1; k < count; ++k) m = op(m, _mm_loadu_si128(reinterpret_cast<const __m128i*>(from(k) + i)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), m);
  }
#endif
  for (; i < n; ++i) {
    uint8_t m = from(0)[i];
    for (int32_t k = 1; k < count; ++k) m = op(m, from(k)[i]);
    out[i] = m;
  }
}

// Rows [first, end) across: each row padded by its border pixels, then every
// byte's window along it.
template <class Op>
void rows_direct(const ImageView& src, const ImageView& mid, int32_t r, int32_t first, int32_t end, Op op) {
  const int32_t w = src.width, ch = src.channels, n = w * ch;
  std::vector<uint8_t> line(size_t(w + 2 * r) * size_t(ch));
  for (int32_t y = first; y < end; ++y) {
    const uint8_t* row = src.row(y);
    for (int32_t k = 0; k < r; ++k) {
      std::copy_n(row, ch, line.data() + size_t(k) * ch);
      std::copy_n(row + n - ch, ch, line.data() + size_t(r + w + k) * ch);
    }
    std::copy_n(row, n, line.data() + size_t(r) * ch);
    const uint8_t* l = line.data();
    extreme_of(
        n, 2 * r + 1, [l, ch](int32_t k) { return l + ptrdiff_t(k) * ch; }, mid.row(y), op);
  }
}

// Rows [first, end) down: every byte's window over the rows around it.
template <class Op>
void columns_direct(const ImageView& mid, const ImageView& dst, int32_t r, int32_t first, int32_t end, Op op) {
  const int32_t h = mid.height, n = mid.width * mid.channels;
  for (int32_t y = first; y < end; ++y)
    extreme_of(
        n, 2 * r + 1, [&](int32_t k) { return mid.row(std::clamp(y - r + k, 0, h - 1)); }, dst.row(y), op);
}

// Rows first into a scratch image, then the columns of the scratch: small
// windows directly in bands, wider ones by running extremes (columns in strips).
template <class Op>
bool extreme_filter(const ImageView& src, const ImageView& dst, int32_t radius, Op op) {
  if (!same_shape(src, dst) || radius < 0) return false;
  Image across;
  if (!detail::start_extremes(src, dst, radius, across)) return true;
  const int32_t w = src.width, h = src.height, ch = src.channels;
  const ImageView mid = across.view();
  if (radius <= kMaxDirectRadius) {
    // Rows read only src and write mid, columns read only mid and write dst, so
    // both run in bands, and src and dst may still be the same view.
    for_each_band(h, int64_t(w) * ch * 2,
                  [&](int32_t first, int32_t end) { rows_direct(src, mid, radius, first, end, op); });
    for_each_band(h, int64_t(w) * ch * 2,
                  [&](int32_t first, int32_t end) { columns_direct(mid, dst, radius, first, end, op); });
    return true;
  }
  detail::running_extremes(src, mid, dst, radius, op);
  return true;
}

}  // namespace

bool maximum_filter(const ImageView& src, const ImageView& dst, int32_t radius) {
  return extreme_filter(src, dst, radius, Max{});
}
bool minimum_filter(const ImageView& src, const ImageView& dst, int32_t radius) {
  return extreme_filter(src, dst, radius, Min{});
}

bool midpoint_filter(const ImageView& src, const ImageView& dst, int32_t radius) {
  if (!same_shape(src, dst)) return false;
  Image low{std::vector<uint8_t>(size_t(src.width) * src.height * src.channels), src.width, src.height, src.channels};
  if (!minimum_filter(src, low.view(), radius) || !maximum_filter(src, dst, radius)) return false;
  const size_t n = size_t(src.width) * src.channels;
  for (int32_t y = 0; y < src.height; ++y) {
    const uint8_t* lo = low.view().row(y);
    uint8_t* d = dst.row(y);
    for (size_t i = 0; i < n; ++i) d[i] = uint8_t((lo[i] + d[i] + 1) >> 1);
  }
  return true;
}

}  // namespace cvl::imaging
