// The plainest and most common dab row: normal mode, one source colour for the
// whole dab, colour and alpha written as mixed. The three colour channels of a
// pixel go through the normal-mode formula side by side in SSE2 lanes, with
// every truncation of the scalar formula kept:
//   (d * dA) >> 16 and (k * s) >> 16 are the high halves of 16-bit products;
//   a product P <= 65535^2 divided by 65535 is (P + 1 + (P >> 16)) >> 16, which
//   equals the truncating division over that whole range;
//   the final x * 65535 / A' goes through 65535 / A' in doubles (see
//   mix::divide) and stands as x when A' is 65535.
#pragma once

#include <cstdint>

#include "brush/brush_mix.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#define CVL_HAVE_SSE2_DAB_ROW 1
#endif

namespace cvl {

#ifdef CVL_HAVE_SSE2_DAB_ROW

namespace simd {

// Truncating division by 65535 of 32-bit lanes holding at most 65535^2.
inline __m128i div65535(__m128i p) {
  const __m128i one = _mm_set1_epi32(1);
  return _mm_srli_epi32(_mm_add_epi32(_mm_add_epi32(p, one), _mm_srli_epi32(p, 16)), 16);
}

// The low 16 bits of four 32-bit lanes, packed into the low four 16-bit lanes.
inline __m128i low_words(__m128i x) {
  const __m128i bias = _mm_set1_epi32(32768);
  const __m128i w = _mm_sub_epi32(_mm_and_si128(x, _mm_set1_epi32(0xFFFF)), bias);
  return _mm_xor_si128(_mm_packs_epi32(w, w), _mm_set1_epi16(static_cast<short>(0x8000)));
}

// floor(x * 65535 / a) per 32-bit lane, through the reciprocal of a.
inline __m128i scale_by_inverse(__m128i x, uint32_t a) {
  const __m128d r = _mm_set1_pd(mix::reciprocal(a, 65535.0));
  const __m128d nudge = _mm_set1_pd(0x1p-18);
  const __m128d lo = _mm_add_pd(_mm_mul_pd(_mm_cvtepi32_pd(x), r), nudge);
  const __m128d hi = _mm_add_pd(_mm_mul_pd(_mm_cvtepi32_pd(_mm_shuffle_epi32(x, 0x4E)), r), nudge);
  return _mm_unpacklo_epi64(_mm_cvttpd_epi32(lo), _mm_cvttpd_epi32(hi));
}

}  // namespace simd

// Mixes source s (R, G, B, A) into the pixels p[0..n) of one row, pixel j with
// coverage cover(j). With an opaque source k = v * 65535 / 65535 is v itself.
template <bool OpaqueSource, class Cover>
inline void normal_row_sse2(int32_t n, const uint32_t s[4], uint16_t* p, Cover&& cover) {
  constexpr uint32_t kFull = 65535;
  const uint32_t sa = s[3];
  const __m128i src = _mm_setr_epi16(static_cast<short>(s[0]), static_cast<short>(s[1]), static_cast<short>(s[2]),
                                     static_cast<short>(sa), 0, 0, 0, 0);
  const __m128i zero = _mm_setzero_si128();
  for (int32_t j = 0; j < n; ++j, p += 4) {
    const uint32_t vj = cover(j);
    if (vj == 0) continue;
    const uint32_t da = p[3];
    if (da == 0) {
      const __m128i out = _mm_insert_epi16(src, static_cast<int>((vj * sa) >> 16), 3);
      _mm_storel_epi64(reinterpret_cast<__m128i*>(p), out);
      continue;
    }
    const uint32_t k = OpaqueSource ? vj : (vj * sa) / kFull;
    const uint32_t a = ((kFull - da) * k) / kFull + da;
    const __m128i d = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
    const __m128i u = _mm_mulhi_epu16(d, _mm_shufflelo_epi16(d, 0xFF));
    const __m128i kk = _mm_cvtsi32_si128(static_cast<int>(k | ((kFull - k) << 16)));
    const __m128i keep = _mm_shufflelo_epi16(kk, 0x55);
    const __m128i kept = simd::div65535(_mm_unpacklo_epi16(_mm_mullo_epi16(u, keep), _mm_mulhi_epu16(u, keep)));
    const __m128i added = _mm_unpacklo_epi16(_mm_mulhi_epu16(_mm_shufflelo_epi16(kk, 0x00), src), zero);
    const __m128i x = _mm_add_epi32(kept, added);
    const __m128i e = a == kFull ? x : simd::scale_by_inverse(x, a);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_insert_epi16(simd::low_words(e), static_cast<int>(a), 3));
  }
}

template <class Cover>
inline void normal_row_sse2(int32_t n, const uint32_t s[4], uint16_t* p, Cover&& cover) {
  if (s[3] == 65535)
    normal_row_sse2<true>(n, s, p, cover);
  else
    normal_row_sse2<false>(n, s, p, cover);
}

#endif

}  // namespace cvl
