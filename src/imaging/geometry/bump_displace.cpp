#include "imaging/geometry/bump_displace.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#endif

#include "imaging/geometry/inverse_map.h"
#include "imaging/parallel_bands.h"

namespace cvl::imaging {
namespace {

// One tap of the bilinear sample: the source pixel, or the fill colour off the image.
inline const uint8_t* tap(const ImageView& src, int64_t x, int64_t y, const uint8_t* fill) {
  if (x < 0 || y < 0 || x >= src.width || y >= src.height) return fill;
  return src.row(static_cast<int32_t>(y)) + x * 4;
}

// One pixel from its source point, channel by channel: the points near and past the
// edges, and every point where the vector path does not apply.
inline void displace_pixel(const ImageView& src, float sx, float sy, const uint8_t* fill, uint8_t* out) {
  const float fx = std::floor(sx), fy = std::floor(sy);
  const auto x0 = static_cast<int64_t>(fx), y0 = static_cast<int64_t>(fy);
  const float wx = sx - fx, wy = sy - fy;
  const uint8_t* p00 = tap(src, x0, y0, fill);
  const uint8_t* p10 = tap(src, x0 + 1, y0, fill);
  const uint8_t* p01 = tap(src, x0, y0 + 1, fill);
  const uint8_t* p11 = tap(src, x0 + 1, y0 + 1, fill);
  for (int c = 0; c < 4; ++c) {
    const float top = p00[c] + (p10[c] - p00[c]) * wx;
    const float bottom = p01[c] + (p11[c] - p01[c]) * wx;
    out[c] = static_cast<uint8_t>(std::clamp(top + (bottom - top) * wy + 0.5f, 0.0f, 255.0f));
  }
}

// The relief's central differences along row y, for columns 0 .. width - 1, read
// with clamped coordinates: across[x] = b(x + 1, y) - b(x - 1, y), down[x] = b(x, y + 1) - b(x, y - 1).
void slopes(const uint8_t* bump, int32_t bw, int32_t bh, int32_t y, int32_t width, int32_t* across, int32_t* down) {
  const auto row = [&](int32_t r) { return bump + static_cast<size_t>(std::clamp(r, 0, bh - 1)) * size_t(bw); };
  const uint8_t *above = row(y - 1), *here = row(y), *below = row(y + 1);
  const auto col = [&](int32_t x) { return std::clamp(x, 0, bw - 1); };
  const auto clamped = [&](int32_t x) {
    across[x] = here[col(x + 1)] - here[col(x - 1)];
    down[x] = below[col(x)] - above[col(x)];
  };
  // Columns whose neighbours both lie on the relief need no clamping.
  const int32_t inner_end = std::min(width, bw - 1);
  int32_t x = 0;
  for (; x < std::min(width, 1); ++x) clamped(x);
  for (; x < inner_end; ++x) across[x] = here[x + 1] - here[x - 1], down[x] = below[x] - above[x];
  for (; x < width; ++x) clamped(x);
}

#if defined(__SSE2__)
// The four channels of one pixel whose four taps all lie on the picture, in the lanes
// of a vector: the plain form's float operations in its order, so the same bytes.
inline void blend_inside(const uint8_t* p, ptrdiff_t stride, float wx, float wy, uint8_t* out) {
  const __m128i zero = _mm_setzero_si128();
  const __m128 vx = _mm_set1_ps(wx);
  auto row_blend = [&](const uint8_t* q) {
    const __m128i wide = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(q)), zero);
    const __m128 left = _mm_cvtepi32_ps(_mm_unpacklo_epi16(wide, zero));
    const __m128 right = _mm_cvtepi32_ps(_mm_unpackhi_epi16(wide, zero));
    return _mm_add_ps(left, _mm_mul_ps(_mm_sub_ps(right, left), vx));
  };
  const __m128 top = row_blend(p), bottom = row_blend(p + stride);
  __m128 v = _mm_add_ps(_mm_add_ps(top, _mm_mul_ps(_mm_sub_ps(bottom, top), _mm_set1_ps(wy))), _mm_set1_ps(0.5f));
  v = _mm_min_ps(_mm_max_ps(v, _mm_setzero_ps()), _mm_set1_ps(255.0f));
  const __m128i i = _mm_cvttps_epi32(v);
  const int32_t word = _mm_cvtsi128_si32(_mm_packus_epi16(_mm_packs_epi32(i, i), zero));
  std::memcpy(out, &word, 4);
}

#if defined(__GNUC__) && defined(__x86_64__)
#define CVL_AVX2 __attribute__((target("avx2"), always_inline)) inline

// One row's blend for two pixels, one in each half: left + (right - left) * wx per
// channel, as the plain form does it.
CVL_AVX2 __m256 bump_row_pair(const uint8_t* a, const uint8_t* b, __m256 vx) {
  const __m256i taps =
      _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(a))),
                              _mm_loadl_epi64(reinterpret_cast<const __m128i*>(b)), 1);
  const __m256i wide = _mm256_unpacklo_epi8(taps, _mm256_setzero_si256());
  const __m256 left = _mm256_cvtepi32_ps(_mm256_unpacklo_epi16(wide, _mm256_setzero_si256()));
  const __m256 right = _mm256_cvtepi32_ps(_mm256_unpackhi_epi16(wide, _mm256_setzero_si256()));
  return _mm256_add_ps(left, _mm256_mul_ps(_mm256_sub_ps(right, left), vx));
}

// Lanes k and k + 1 broadcast over the two halves.
CVL_AVX2 __m256 bump_pair_of(__m256 v, int k) {
  return _mm256_permutevar8x32_ps(v, _mm256_setr_epi32(k, k, k, k, k + 1, k + 1, k + 1, k + 1));
}

// Pixels k and k + 1 of a group of eight whose taps all lie on the picture.
CVL_AVX2 void bump_blend_pair(const ImageView& src, const int32_t* xs, const int32_t* ys, __m256 wx, __m256 wy, int k,
                              uint8_t* out) {
  const ptrdiff_t stride = src.stride;
  const uint8_t* a = src.row(ys[k]) + static_cast<ptrdiff_t>(xs[k]) * 4;
  const uint8_t* b = src.row(ys[k + 1]) + static_cast<ptrdiff_t>(xs[k + 1]) * 4;
  const __m256 vx = bump_pair_of(wx, k);
  const __m256 top = bump_row_pair(a, b, vx), bottom = bump_row_pair(a + stride, b + stride, vx);
  __m256 v = _mm256_add_ps(_mm256_add_ps(top, _mm256_mul_ps(_mm256_sub_ps(bottom, top), bump_pair_of(wy, k))),
                           _mm256_set1_ps(0.5f));
  v = _mm256_min_ps(_mm256_max_ps(v, _mm256_setzero_ps()), _mm256_set1_ps(255.0f));
  const __m256i i = _mm256_cvttps_epi32(v);
  const __m256i bytes = _mm256_packus_epi16(_mm256_packs_epi32(i, i), _mm256_setzero_si256());
  const int32_t first = _mm_cvtsi128_si32(_mm256_castsi256_si128(bytes));
  const int32_t second = _mm_cvtsi128_si32(_mm256_extracti128_si256(bytes, 1));
  std::memcpy(out + 4 * k, &first, 4);
  std::memcpy(out + 4 * k + 4, &second, 4);
}

// Row y from column 0, eight pixels at a time; returns the columns done.
__attribute__((target("avx2"))) int32_t displace_run_avx2(const ImageView& src, int32_t y, int32_t w,
                                                          const int32_t* across, const int32_t* down, float scale,
                                                          const uint8_t* fill, uint8_t* out) {
  const __m256 vscale = _mm256_set1_ps(scale), row_y = _mm256_set1_ps(static_cast<float>(y));
  const __m256 zero = _mm256_setzero_ps();
  const __m256 last_x = _mm256_set1_ps(static_cast<float>(src.width - 1));
  const __m256 last_y = _mm256_set1_ps(static_cast<float>(src.height - 1));
  const ptrdiff_t stride = src.stride;
  __m256 column = _mm256_setr_ps(0, 1, 2, 3, 4, 5, 6, 7);
  const __m256 eight = _mm256_set1_ps(8);
  int32_t x = 0;
  for (; x + 8 <= w; x += 8, out += 32, column = _mm256_add_ps(column, eight)) {
    const __m256 gx = _mm256_cvtepi32_ps(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(across + x)));
    const __m256 gy = _mm256_cvtepi32_ps(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(down + x)));
    const __m256 sx = _mm256_add_ps(column, _mm256_mul_ps(vscale, gx));
    const __m256 sy = _mm256_add_ps(row_y, _mm256_mul_ps(vscale, gy));
    const __m256 inside =
        _mm256_and_ps(_mm256_and_ps(_mm256_cmp_ps(sx, zero, _CMP_GE_OQ), _mm256_cmp_ps(sx, last_x, _CMP_LT_OQ)),
                      _mm256_and_ps(_mm256_cmp_ps(sy, zero, _CMP_GE_OQ), _mm256_cmp_ps(sy, last_y, _CMP_LT_OQ)));
    const int mask = _mm256_movemask_ps(inside);
    if (mask == 255 && _mm256_movemask_ps(_mm256_and_ps(_mm256_cmp_ps(sx, column, _CMP_EQ_OQ),
                                                        _mm256_cmp_ps(sy, row_y, _CMP_EQ_OQ))) == 255) {
      std::memcpy(out, src.row(y) + static_cast<ptrdiff_t>(x) * 4, 32);
      continue;
    }
    const __m256i x0 = _mm256_cvttps_epi32(sx), y0 = _mm256_cvttps_epi32(sy);
    const __m256 wx = _mm256_sub_ps(sx, _mm256_cvtepi32_ps(x0)), wy = _mm256_sub_ps(sy, _mm256_cvtepi32_ps(y0));
    alignas(32) float pxs[8], pys[8], wxs[8], wys[8];
    alignas(32) int32_t xs[8], ys[8];
    _mm256_store_ps(pxs, sx), _mm256_store_ps(pys, sy), _mm256_store_ps(wxs, wx), _mm256_store_ps(wys, wy);
    _mm256_store_si256(reinterpret_cast<__m256i*>(xs), x0);
    _mm256_store_si256(reinterpret_cast<__m256i*>(ys), y0);
    if (mask == 255) {
      // Fixed lanes, so that each pair's shuffles are constants.
      bump_blend_pair(src, xs, ys, wx, wy, 0, out);
      bump_blend_pair(src, xs, ys, wx, wy, 2, out);
      bump_blend_pair(src, xs, ys, wx, wy, 4, out);
      bump_blend_pair(src, xs, ys, wx, wy, 6, out);
      continue;
    }
    for (int k = 0; k < 8; k += 2) {
      if ((mask >> k & 3) == 3) {
        bump_blend_pair(src, xs, ys, wx, wy, k, out);
        continue;
      }
      for (int j = k; j < k + 2; ++j) {
        if (mask >> j & 1)
          blend_inside(src.row(ys[j]) + static_cast<ptrdiff_t>(xs[j]) * 4, stride, wxs[j], wys[j], out + 4 * j);
        else displace_pixel(src, pxs[j], pys[j], fill, out + 4 * j);
      }
    }
  }
  return x;
}

// The sampler's switch: the processor has AVX2 and tests have not turned it off.
bool avx2_available() { return detail::avx2_sampler(); }
#undef CVL_AVX2
#else
int32_t displace_run_avx2(const ImageView&, int32_t, int32_t, const int32_t*, const int32_t*, float, const uint8_t*,
                          uint8_t*) {
  return 0;
}
bool avx2_available() { return false; }
#endif
#endif

// Rows first .. end - 1 of the result.
void displace_rows(const ImageView& src, const ImageView& dst, const uint8_t* bump, int32_t bw, int32_t bh, float scale,
                   const uint8_t* fill, int32_t first, int32_t end) {
  const int32_t w = dst.width;
  std::vector<int32_t> across(size_t(w) + 4), down(size_t(w) + 4);
  for (int32_t y = first; y < end; ++y) {
    slopes(bump, bw, bh, y, w, across.data(), down.data());
    uint8_t* out = dst.row(y);
    int32_t x = 0;
#if defined(__SSE2__)
    // Whole floats count exactly up to 2^24; past that the plain loop does it all.
    constexpr int32_t kVectorLimit = 1 << 24;
    if (src.width < kVectorLimit && src.height < kVectorLimit) {
      if (avx2_available()) {
        x = displace_run_avx2(src, y, w, across.data(), down.data(), scale, fill, out);
        out += static_cast<ptrdiff_t>(x) * 4;
      }
      const __m128 vscale = _mm_set1_ps(scale), row_y = _mm_set1_ps(static_cast<float>(y));
      const __m128 zero = _mm_setzero_ps();
      const __m128 last_x = _mm_set1_ps(static_cast<float>(src.width - 1));
      const __m128 last_y = _mm_set1_ps(static_cast<float>(src.height - 1));
      __m128 column = _mm_set_ps(float(x + 3), float(x + 2), float(x + 1), float(x));
      const __m128 four = _mm_set1_ps(4);
      for (; x + 4 <= w; x += 4, out += 16, column = _mm_add_ps(column, four)) {
        const __m128 gx = _mm_cvtepi32_ps(_mm_loadu_si128(reinterpret_cast<const __m128i*>(&across[size_t(x)])));
        const __m128 gy = _mm_cvtepi32_ps(_mm_loadu_si128(reinterpret_cast<const __m128i*>(&down[size_t(x)])));
        const __m128 sx = _mm_add_ps(column, _mm_mul_ps(vscale, gx));
        const __m128 sy = _mm_add_ps(row_y, _mm_mul_ps(vscale, gy));
        // All four taps on the picture: 0 <= floor(s) and floor(s) + 1 <= last.
        const __m128 inside = _mm_and_ps(_mm_and_ps(_mm_cmpge_ps(sx, zero), _mm_cmplt_ps(sx, last_x)),
                                         _mm_and_ps(_mm_cmpge_ps(sy, zero), _mm_cmplt_ps(sy, last_y)));
        const int mask = _mm_movemask_ps(inside);
        // Inside the picture the point is not negative, so truncation is the floor.
        const __m128i x0 = _mm_cvttps_epi32(sx), y0 = _mm_cvttps_epi32(sy);
        const __m128 wx = _mm_sub_ps(sx, _mm_cvtepi32_ps(x0)), wy = _mm_sub_ps(sy, _mm_cvtepi32_ps(y0));
        if (mask == 15 && _mm_movemask_ps(_mm_and_ps(_mm_cmpeq_ps(sx, column), _mm_cmpeq_ps(sy, row_y))) == 15) {
          // Four pixels on flat relief read themselves: each blend gives its
          // top-left tap as it is.
          std::memcpy(out, src.row(y) + static_cast<ptrdiff_t>(x) * 4, 16);
          continue;
        }
        alignas(16) float pxs[4], pys[4], wxs[4], wys[4];
        alignas(16) int32_t xs[4], ys[4];
        _mm_store_ps(pxs, sx), _mm_store_ps(pys, sy), _mm_store_ps(wxs, wx), _mm_store_ps(wys, wy);
        _mm_store_si128(reinterpret_cast<__m128i*>(xs), x0);
        _mm_store_si128(reinterpret_cast<__m128i*>(ys), y0);
        for (int k = 0; k < 4; ++k) {
          if (mask >> k & 1)
            blend_inside(src.row(ys[k]) + static_cast<ptrdiff_t>(xs[k]) * 4, src.stride, wxs[k], wys[k], out + 4 * k);
          else displace_pixel(src, pxs[k], pys[k], fill, out + 4 * k);
        }
      }
    }
#endif
    for (; x < w; ++x, out += 4) {
      const float sx = static_cast<float>(x) + scale * static_cast<float>(across[size_t(x)]);
      const float sy = static_cast<float>(y) + scale * static_cast<float>(down[size_t(x)]);
      displace_pixel(src, sx, sy, fill, out);
    }
  }
}

}  // namespace

bool bump_displace(const ImageView& src, const ImageView& dst, const uint8_t* bump, int32_t bump_width,
                   int32_t bump_height, float depth, const Colour& fill) {
  if (!src.data || !dst.data || !bump || src.channels != 4 || dst.channels != 4 || src.width != dst.width ||
      src.height != dst.height || src.width <= 0 || src.height <= 0 || bump_width <= 0 || bump_height <= 0 ||
      !std::isfinite(depth))
    return false;
  const float scale = depth / 255.0f;
  for_each_band(dst.height, int64_t{dst.width} * 8, [&](int32_t first, int32_t end) {
    displace_rows(src, dst, bump, bump_width, bump_height, scale, fill.data(), first, end);
  });
  return true;
}

}  // namespace cvl::imaging
