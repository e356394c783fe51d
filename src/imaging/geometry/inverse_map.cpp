#include "imaging/geometry/inverse_map.h"

#include "imaging/cpu_features.h"

#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#endif

namespace cvl::imaging::detail {

#if defined(__GNUC__) && defined(__x86_64__)

namespace {

#define CVL_AVX2 __attribute__((target("avx2"), always_inline)) inline

// Lanes k and k + 1 of the weights, broadcast over the two halves.
CVL_AVX2 __m256i pair_of(__m256i v, int k) {
  return _mm256_permutevar8x32_epi32(v, _mm256_setr_epi32(k, k, k, k, k + 1, k + 1, k + 1, k + 1));
}
CVL_AVX2 __m256 pair_of(__m256 v, int k) {
  return _mm256_permutevar8x32_ps(v, _mm256_setr_epi32(k, k, k, k, k + 1, k + 1, k + 1, k + 1));
}

// One row's blend for two pixels: left and right taps of each in a half, weighted
// (left, right) . (256 - wx, wx) per channel in 32-bit lanes, as floats.
CVL_AVX2 __m256 row_pair(const uint8_t* a, const uint8_t* b, __m256i weights) {
  const __m256i taps =
      _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(a))),
                              _mm_loadl_epi64(reinterpret_cast<const __m128i*>(b)), 1);
  const __m256i wide = _mm256_unpacklo_epi8(taps, _mm256_setzero_si256());
  return _mm256_cvtepi32_ps(_mm256_madd_epi16(_mm256_unpacklo_epi16(wide, _mm256_srli_si256(wide, 8)), weights));
}

// Pixels k and k + 1 of a group whose taps all lie on the picture.
CVL_AVX2 void blend_pair(const uint8_t* pa, const uint8_t* pb, ptrdiff_t stride, __m256i across, __m256 up, __m256 down,
                         int k, uint8_t* out) {
  const __m256i weights = pair_of(across, k);
  const __m256 top = row_pair(pa, pb, weights), bottom = row_pair(pa + stride, pb + stride, weights);
  const __m256 sum =
      _mm256_add_ps(_mm256_add_ps(_mm256_mul_ps(top, pair_of(up, k)), _mm256_mul_ps(bottom, pair_of(down, k))),
                    _mm256_set1_ps(32768.0f));
  const __m256i v = _mm256_srli_epi32(_mm256_cvttps_epi32(sum), 16);
  const __m256i bytes = _mm256_packus_epi16(_mm256_packs_epi32(v, v), _mm256_setzero_si256());
  const int32_t first = _mm_cvtsi128_si32(_mm256_castsi256_si128(bytes));
  const int32_t second = _mm_cvtsi128_si32(_mm256_extracti128_si256(bytes, 1));
  std::memcpy(out, &first, 4);
  std::memcpy(out + 4, &second, 4);
}

}  // namespace

__attribute__((target("avx2"))) int32_t sample_run_bilinear_avx2(const ImageView& src, const uint8_t* fill,
                                                                 const float* sx, const float* sy, const uint8_t* ok,
                                                                 int32_t n, uint8_t* out) {
  const __m256 low = _mm256_set1_ps(-2.0f), k256 = _mm256_set1_ps(256.0f);
  const __m256 high_x = _mm256_set1_ps(static_cast<float>(src.width) + 1.0f);
  const __m256 high_y = _mm256_set1_ps(static_cast<float>(src.height) + 1.0f);
  const __m256i last_x = _mm256_set1_epi32(src.width - 1), last_y = _mm256_set1_epi32(src.height - 1);
  const __m256i minus_one = _mm256_set1_epi32(-1), byte = _mm256_set1_epi32(255), k256i = _mm256_set1_epi32(256);
  const __m256i zero = _mm256_setzero_si256();
  const ptrdiff_t stride = src.stride;
  constexpr int32_t kAhead = 32;
  int32_t i = 0;
  for (; i + 8 <= n; i += 8) {
    if (i + kAhead + 8 <= n) {
      const __m256 ax = _mm256_loadu_ps(sx + i + kAhead), ay = _mm256_loadu_ps(sy + i + kAhead);
      __m256i px = _mm256_cvttps_epi32(_mm256_min_ps(_mm256_max_ps(ax, _mm256_setzero_ps()), high_x));
      __m256i py = _mm256_cvttps_epi32(_mm256_min_ps(_mm256_max_ps(ay, _mm256_setzero_ps()), high_y));
      px = _mm256_and_si256(_mm256_cmpgt_epi32(last_x, px), px);
      py = _mm256_and_si256(_mm256_cmpgt_epi32(last_y, py), py);
      alignas(32) int32_t pxs[8], pys[8];
      _mm256_store_si256(reinterpret_cast<__m256i*>(pxs), px);
      _mm256_store_si256(reinterpret_cast<__m256i*>(pys), py);
      for (int k = 0; k < 8; ++k) {
        const char* q = reinterpret_cast<const char*>(src.data + pys[k] * stride + static_cast<ptrdiff_t>(pxs[k]) * 4);
        _mm_prefetch(q, _MM_HINT_T0);
        _mm_prefetch(q + stride, _MM_HINT_T0);
      }
    }
    int64_t flags;
    std::memcpy(&flags, ok + i, 8);
    if (flags == 0) {  // eight pixels the map declined
      for (int k = 0; k < 8; ++k, out += 4) std::memcpy(out, fill, 4);
      continue;
    }
    const __m256 x = _mm256_loadu_ps(sx + i), y = _mm256_loadu_ps(sy + i);
    const __m256i wanted =
        _mm256_cmpgt_epi32(_mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(ok + i))), zero);
    const __m256 in_range =
        _mm256_and_ps(_mm256_and_ps(_mm256_cmp_ps(x, low, _CMP_GT_OQ), _mm256_cmp_ps(x, high_x, _CMP_LT_OQ)),
                      _mm256_and_ps(_mm256_cmp_ps(y, low, _CMP_GT_OQ), _mm256_cmp_ps(y, high_y, _CMP_LT_OQ)));
    const __m256i fx = _mm256_cvtps_epi32(_mm256_mul_ps(x, k256)), fy = _mm256_cvtps_epi32(_mm256_mul_ps(y, k256));
    const __m256i x0 = _mm256_srai_epi32(fx, 8), y0 = _mm256_srai_epi32(fy, 8);
    const __m256i inside =
        _mm256_and_si256(_mm256_and_si256(_mm256_cmpgt_epi32(x0, minus_one), _mm256_cmpgt_epi32(last_x, x0)),
                         _mm256_and_si256(_mm256_cmpgt_epi32(y0, minus_one), _mm256_cmpgt_epi32(last_y, y0)));
    const __m256i all = _mm256_and_si256(_mm256_and_si256(wanted, _mm256_castps_si256(in_range)), inside);
    const int vector_lanes = _mm256_movemask_ps(_mm256_castsi256_ps(all));
    const int fill_lanes = ~_mm256_movemask_ps(_mm256_and_ps(_mm256_castsi256_ps(wanted), in_range)) & 255;
    const __m256i wx = _mm256_and_si256(fx, byte), wy = _mm256_and_si256(fy, byte);
    if (vector_lanes == 255 && _mm256_testz_si256(_mm256_or_si256(wx, wy), _mm256_or_si256(wx, wy))) {
      // Eight pixel centres: each blend gives its top-left tap as it is. Eight
      // neighbours of one row (a map that only shifts by whole pixels) are one copy.
      const __m256i from = _mm256_sub_epi32(x0, _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
      const __m256i same = _mm256_and_si256(_mm256_cmpeq_epi32(from, _mm256_permutevar8x32_epi32(from, zero)),
                                            _mm256_cmpeq_epi32(y0, _mm256_permutevar8x32_epi32(y0, zero)));
      if (_mm256_movemask_epi8(same) == -1) {
        const int32_t fx0 = _mm256_cvtsi256_si32(x0), fy0 = _mm256_cvtsi256_si32(y0);
        std::memcpy(out, src.data + fy0 * stride + static_cast<ptrdiff_t>(fx0) * 4, 32);
        out += 32;
        continue;
      }
    }
    const __m256i across = _mm256_or_si256(_mm256_sub_epi32(k256i, wx), _mm256_slli_epi32(wx, 16));
    const __m256 up = _mm256_cvtepi32_ps(_mm256_sub_epi32(k256i, wy)), down = _mm256_cvtepi32_ps(wy);
    alignas(32) int32_t xs[8], ys[8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(xs), x0);
    _mm256_store_si256(reinterpret_cast<__m256i*>(ys), y0);
    const uint8_t* taps[8];
    for (int k = 0; k < 8; ++k) taps[k] = src.data + ys[k] * stride + static_cast<ptrdiff_t>(xs[k]) * 4;
    if (vector_lanes == 255) {
      // Fixed lanes, so that each pair's weight shuffles are constants.
      blend_pair(taps[0], taps[1], stride, across, up, down, 0, out);
      blend_pair(taps[2], taps[3], stride, across, up, down, 2, out + 8);
      blend_pair(taps[4], taps[5], stride, across, up, down, 4, out + 16);
      blend_pair(taps[6], taps[7], stride, across, up, down, 6, out + 24);
      out += 32;
      continue;
    }
    for (int k = 0; k < 8; k += 2, out += 8) {
      if ((vector_lanes >> k & 3) == 3) {
        blend_pair(taps[k], taps[k + 1], stride, across, up, down, k, out);
        continue;
      }
      // A pair with a pixel off the vector path: each on its own.
      for (int j = k; j < k + 2; ++j) {
        uint8_t* o = out + (j - k) * 4;
        if (!(vector_lanes >> j & 1) && fill_lanes >> j & 1) std::memcpy(o, fill, 4);
        else sample_point<Sampling::Bilinear>(src, sx[i + j], sy[i + j], fill, o);
      }
    }
  }
  return i;
}

#undef CVL_AVX2

namespace {
bool& avx2_wanted() {
  static bool wanted = true;
  return wanted;
}
}  // namespace

bool avx2_sampler() {
  return cpu_has_avx2() && avx2_wanted();
}

void allow_avx2_sampler(bool allow) { avx2_wanted() = allow; }

#else

int32_t sample_run_bilinear_avx2(const ImageView&, const uint8_t*, const float*, const float*, const uint8_t*, int32_t,
                                 uint8_t*) {
  return 0;
}
bool avx2_sampler() { return false; }
void allow_avx2_sampler(bool) {}

#endif

}  // namespace cvl::imaging::detail
