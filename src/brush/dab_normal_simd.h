// The plainest and most common dab row: normal mode, one source colour for the
// whole dab, colour and alpha written as mixed. Two pixels go through the
// normal-mode formula at once, R, G, B, A of each in 16-bit lanes, with every
// truncation of the scalar formula kept:
//   (d * dA) >> 16 and (k * s) >> 16 are the high halves of 16-bit products;
//   a product P <= 65535^2 divided by 65535 is (P + 1 + (P >> 16)) >> 16, which
//   equals the truncating division over that whole range; with P split into
//   its 16-bit halves that is the high half plus a carry out of low + high + 1;
//   the alpha lane runs the same multiply-divide-add on other operands and so
//   yields A' = (65535 - dA) * k / 65535 + dA beside the colour;
//   every colour numerator x stays below A' (so below 65536), and x * 65535 / A'
//   goes through 65535 / A' in doubles (see mix::divide), needed only where A'
//   is under 65535 (x itself otherwise).
// Where the processor has AVX2 (checked once; the build itself assumes no more
// than SSE2) four pixels go through at once and the doubles step takes four
// lanes per instruction.
#pragma once

#include <cstdint>
#include <cstring>

#include "brush/brush_mix.h"
#include "imaging/cpu_features.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#define CVL_HAVE_SSE2_DAB_ROW 1
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define CVL_HAVE_AVX2_DAB_ROW 1
#endif
#endif

namespace cvl {

#ifdef CVL_HAVE_SSE2_DAB_ROW

namespace simd {

// floor(a * b / 65535) per 16-bit lane.
inline __m128i mul_div65535(__m128i a, __m128i b) {
  const __m128i hi = _mm_mulhi_epu16(a, b), lo = _mm_mullo_epi16(a, b);
  return _mm_sub_epi16(hi, _mm_cmpeq_epi16(_mm_adds_epu16(lo, hi), _mm_set1_epi16(-1)));
}

// The low 16 bits of the 32-bit lanes of lo and hi, packed (lo first).
inline __m128i low_words(__m128i lo, __m128i hi) {
  const __m128i bias = _mm_set1_epi32(32768);
  const __m128i mask = _mm_set1_epi32(0xFFFF);
  const __m128i wlo = _mm_sub_epi32(_mm_and_si128(lo, mask), bias);
  const __m128i whi = _mm_sub_epi32(_mm_and_si128(hi, mask), bias);
  return _mm_xor_si128(_mm_packs_epi32(wlo, whi), _mm_set1_epi16(static_cast<short>(0x8000)));
}

// 65535 / a for the alpha lanes (3 and 7) of x, a 0 (never divided by) taken as 1.
inline __m128d pair_reciprocals(__m128i x) {
  const int a0 = _mm_extract_epi16(x, 3), a1 = _mm_extract_epi16(x, 7);
  return _mm_div_pd(_mm_set1_pd(65535.0), _mm_setr_pd(a0 ? a0 : 1, a1 ? a1 : 1));
}

// trunc(x * r + 2^-18) of four 32-bit lanes.
inline __m128i scale4_sse2(__m128i x, __m128d r) {
  const __m128d nudge = _mm_set1_pd(0x1p-18);
  const __m128d lo = _mm_add_pd(_mm_mul_pd(_mm_cvtepi32_pd(x), r), nudge);
  const __m128d hi = _mm_add_pd(_mm_mul_pd(_mm_cvtepi32_pd(_mm_shuffle_epi32(x, 0x4E)), r), nudge);
  return _mm_unpacklo_epi64(_mm_cvttpd_epi32(lo), _mm_cvttpd_epi32(hi));
}

// floor(x * 65535 / A') of every lane of two pixels, A' taken from each pixel's
// alpha lane (the alpha lanes themselves come out as garbage).
inline __m128i scale_pair_sse2(__m128i x) {
  const __m128d r = pair_reciprocals(x);
  const __m128i zero = _mm_setzero_si128();
  const __m128i q0 = scale4_sse2(_mm_unpacklo_epi16(x, zero), _mm_unpacklo_pd(r, r));
  const __m128i q1 = scale4_sse2(_mm_unpackhi_epi16(x, zero), _mm_unpackhi_pd(r, r));
  return low_words(q0, q1);
}

#ifdef CVL_HAVE_AVX2_DAB_ROW
// The same with four doubles per instruction. Only multiply and add are used
// (no fused multiply-add), so every rounding is that of the SSE2 form.
__attribute__((target("avx2"))) inline __m128i scale_pair_avx2(__m128i x) {
  const __m128d r = pair_reciprocals(x);
  const __m256d nudge = _mm256_set1_pd(0x1p-18);
  const __m128i zero = _mm_setzero_si128();
  const __m256d r0 = _mm256_broadcastsd_pd(r), r1 = _mm256_broadcastsd_pd(_mm_unpackhi_pd(r, r));
  const __m256d p0 = _mm256_add_pd(_mm256_mul_pd(_mm256_cvtepi32_pd(_mm_unpacklo_epi16(x, zero)), r0), nudge);
  const __m256d p1 = _mm256_add_pd(_mm256_mul_pd(_mm256_cvtepi32_pd(_mm_unpackhi_epi16(x, zero)), r1), nudge);
  return _mm_packus_epi32(_mm256_cvttpd_epi32(p0), _mm256_cvttpd_epi32(p1));
}
#endif

// The per-dab constants of the pair step.
struct NormalSource {
  __m128i rgb;    // s0 s1 s2 0 | s0 s1 s2 0
  __m128i alpha;  // sA in every lane
};

inline NormalSource normal_source(const uint32_t s[4]) {
  const auto w = [](uint32_t c) { return static_cast<short>(c); };
  return {_mm_setr_epi16(w(s[0]), w(s[1]), w(s[2]), 0, w(s[0]), w(s[1]), w(s[2]), 0), _mm_set1_epi16(w(s[3]))};
}

// Two destination pixels d with their coverages vb (each repeated over its four
// lanes) through the normal mix. Pixels with no coverage come back unchanged.
template <bool OpaqueSource, bool Avx2>
inline __m128i normal_pair(__m128i d, __m128i vb, const NormalSource& src) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i ones = _mm_set1_epi16(-1);
  const __m128i alpha_lanes = _mm_setr_epi16(0, 0, 0, -1, 0, 0, 0, -1);
  const __m128i da = _mm_shufflehi_epi16(_mm_shufflelo_epi16(d, 0xFF), 0xFF);
  // With an opaque source k = v * 65535 / 65535 is v itself.
  const __m128i k = OpaqueSource ? vb : mul_div65535(vb, src.alpha);
  // Colour lanes: ((d * dA) >> 16) * (65535 - k) / 65535 + ((k * s) >> 16).
  // Alpha lane:   (65535 - dA) * k / 65535 + dA.
  const __m128i u = _mm_mulhi_epu16(d, da);
  const __m128i lhs = _mm_or_si128(_mm_andnot_si128(alpha_lanes, u), _mm_andnot_si128(da, alpha_lanes));
  const __m128i rhs = _mm_xor_si128(k, _mm_xor_si128(alpha_lanes, ones));
  const __m128i added = _mm_or_si128(_mm_mulhi_epu16(k, src.rgb), _mm_and_si128(da, alpha_lanes));
  __m128i e = _mm_add_epi16(mul_div65535(lhs, rhs), added);
  const __m128i no_da = _mm_cmpeq_epi16(da, zero), no_v = _mm_cmpeq_epi16(vb, zero);
  // Only painted pixels over some alpha whose A' is under 65535 need the division.
  const __m128i plain = _mm_or_si128(_mm_cmpeq_epi16(e, ones), _mm_or_si128(no_da, no_v));
  if ((_mm_movemask_epi8(plain) & 0xC0C0) != 0xC0C0) {
#ifdef CVL_HAVE_AVX2_DAB_ROW
    const __m128i q = Avx2 ? scale_pair_avx2(e) : scale_pair_sse2(e);
#else
    const __m128i q = scale_pair_sse2(e);
#endif
    e = _mm_or_si128(_mm_andnot_si128(alpha_lanes, q), _mm_and_si128(alpha_lanes, e));
  }
  // Over no alpha the source colour stands, with alpha (v * sA) >> 16.
  const __m128i bare = _mm_or_si128(src.rgb, _mm_and_si128(_mm_mulhi_epu16(vb, src.alpha), alpha_lanes));
  e = _mm_or_si128(_mm_and_si128(no_da, bare), _mm_andnot_si128(no_da, e));
  return _mm_or_si128(_mm_and_si128(no_v, d), _mm_andnot_si128(no_v, e));
}

// Coverages v0 (low half) and v1 (high half) of a 32-bit word, each over four lanes.
inline __m128i spread_pair(uint32_t vv) {
  const __m128i v = _mm_cvtsi32_si128(static_cast<int>(vv));
  const __m128i v2 = _mm_unpacklo_epi16(v, v);
  return _mm_unpacklo_epi32(v2, v2);
}

template <bool OpaqueSource, bool Avx2, class V>
inline void normal_row_pairs(int32_t n, const NormalSource& src, uint16_t* p, const V* v) {
  int32_t j = 0;
  for (; j + 2 <= n; j += 2) {
    const uint32_t vv = static_cast<uint32_t>(v[j]) | (static_cast<uint32_t>(v[j + 1]) << 16);
    if (vv == 0) continue;
    __m128i* at = reinterpret_cast<__m128i*>(p + static_cast<size_t>(j) * 4);
    _mm_storeu_si128(at, normal_pair<OpaqueSource, Avx2>(_mm_loadu_si128(at), spread_pair(vv), src));
  }
  if (j < n && v[j] != 0) {
    __m128i* at = reinterpret_cast<__m128i*>(p + static_cast<size_t>(j) * 4);
    _mm_storel_epi64(at, normal_pair<OpaqueSource, Avx2>(_mm_loadl_epi64(at), spread_pair(v[j]), src));
  }
}

#ifdef CVL_HAVE_AVX2_DAB_ROW
template <bool OpaqueSource, class V>
__attribute__((target("avx2"), flatten)) void normal_row_pairs_avx2(int32_t n, const NormalSource& src, uint16_t* p,
                                                             const V* v) {
  normal_row_pairs<OpaqueSource, true>(n, src, p, v);
}

// The AVX2 row takes four pixels per step: the pair step's lanes, side by side
// in both halves of a 256-bit register (each half laid out as one pair), so
// every lane sees the same operations as in normal_pair.

// floor(a * b / 65535) per 16-bit lane.
__attribute__((target("avx2"))) inline __m256i mul_div65535_x4(__m256i a, __m256i b) {
  const __m256i hi = _mm256_mulhi_epu16(a, b), lo = _mm256_mullo_epi16(a, b);
  return _mm256_sub_epi16(hi, _mm256_cmpeq_epi16(_mm256_adds_epu16(lo, hi), _mm256_set1_epi16(-1)));
}

// floor(x * 65535 / A') of the colour lanes of four pixels, A' taken from each
// pixel's alpha lane, which comes back unchanged. Each colour lane goes through
// the same steps as in scale_pair_avx2; the lanes are first regrouped by
// channel (R of the four pixels, then G, B, A), so that one division gives the
// four reciprocals, they multiply a channel without being spread, and the
// alpha lanes are not converted at all.
__attribute__((target("avx2"))) inline __m256i scale_quad_avx2(__m256i x) {
  // Within each half: R0 G0 B0 A0 R1 G1 B1 A1 -> R0 R1 G0 G1 B0 B1 A0 A1.
  const __m256i by_channel = _mm256_setr_epi8(0, 1, 8, 9, 2, 3, 10, 11, 4, 5, 12, 13, 6, 7, 14, 15,  //
                                              0, 1, 8, 9, 2, 3, 10, 11, 4, 5, 12, 13, 6, 7, 14, 15);
  const __m256i by_pixel = _mm256_setr_epi8(0, 1, 4, 5, 8, 9, 12, 13, 2, 3, 6, 7, 10, 11, 14, 15,  //
                                            0, 1, 4, 5, 8, 9, 12, 13, 2, 3, 6, 7, 10, 11, 14, 15);
  // R0-3 G0-3 | B0-3 A0-3.
  const __m256i c =
      _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(x, by_channel), _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7));
  const __m256i rg = _mm256_cvtepu16_epi32(_mm256_castsi256_si128(c));
  const __m256i ba = _mm256_cvtepu16_epi32(_mm256_extracti128_si256(c, 1));
  const __m128i a = _mm256_extracti128_si256(ba, 1);
  const __m256d r = _mm256_div_pd(_mm256_set1_pd(65535.0), _mm256_cvtepi32_pd(_mm_max_epi32(a, _mm_set1_epi32(1))));
  const __m256d nudge = _mm256_set1_pd(0x1p-18);
  const __m128i qr =
      _mm256_cvttpd_epi32(_mm256_add_pd(_mm256_mul_pd(_mm256_cvtepi32_pd(_mm256_castsi256_si128(rg)), r), nudge));
  const __m128i qg =
      _mm256_cvttpd_epi32(_mm256_add_pd(_mm256_mul_pd(_mm256_cvtepi32_pd(_mm256_extracti128_si256(rg, 1)), r), nudge));
  const __m128i qb =
      _mm256_cvttpd_epi32(_mm256_add_pd(_mm256_mul_pd(_mm256_cvtepi32_pd(_mm256_castsi256_si128(ba)), r), nudge));
  const __m256i q =
      _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_packus_epi32(qr, qg)), _mm_packus_epi32(qb, a), 1);
  return _mm256_shuffle_epi8(_mm256_permutevar8x32_epi32(q, _mm256_setr_epi32(0, 2, 4, 6, 1, 3, 5, 7)), by_pixel);
}

// normal_pair for four pixels; src_rgb and src_alpha are the pair constants
// repeated in both halves.
template <bool OpaqueSource>
__attribute__((target("avx2"))) inline __m256i normal_quad(__m256i d, __m256i vb, __m256i src_rgb, __m256i src_alpha) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i ones = _mm256_set1_epi16(-1);
  const __m256i alpha_lanes = _mm256_setr_epi16(0, 0, 0, -1, 0, 0, 0, -1, 0, 0, 0, -1, 0, 0, 0, -1);
  const __m256i da = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(d, 0xFF), 0xFF);
  const __m256i k = OpaqueSource ? vb : mul_div65535_x4(vb, src_alpha);
  const __m256i u = _mm256_mulhi_epu16(d, da);
  const __m256i lhs = _mm256_or_si256(_mm256_andnot_si256(alpha_lanes, u), _mm256_andnot_si256(da, alpha_lanes));
  const __m256i rhs = _mm256_xor_si256(k, _mm256_xor_si256(alpha_lanes, ones));
  const __m256i added = _mm256_or_si256(_mm256_mulhi_epu16(k, src_rgb), _mm256_and_si256(da, alpha_lanes));
  __m256i e = _mm256_add_epi16(mul_div65535_x4(lhs, rhs), added);
  const __m256i no_da = _mm256_cmpeq_epi16(da, zero), no_v = _mm256_cmpeq_epi16(vb, zero);
  const __m256i plain = _mm256_or_si256(_mm256_cmpeq_epi16(e, ones), _mm256_or_si256(no_da, no_v));
  if ((static_cast<uint32_t>(_mm256_movemask_epi8(plain)) & 0xC0C0C0C0u) != 0xC0C0C0C0u) e = scale_quad_avx2(e);
  const __m256i bare = _mm256_or_si256(src_rgb, _mm256_and_si256(_mm256_mulhi_epu16(vb, src_alpha), alpha_lanes));
  e = _mm256_or_si256(_mm256_and_si256(no_da, bare), _mm256_andnot_si256(no_da, e));
  return _mm256_or_si256(_mm256_and_si256(no_v, d), _mm256_andnot_si256(no_v, e));
}

// Four coverages as 16-bit words in the low half of a register.
template <class V>
__attribute__((target("avx2"))) inline __m128i load_quad_coverage(const V* v) {
  if constexpr (sizeof(V) == 2) return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(v));
  else return _mm_packus_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(v)), _mm_setzero_si128());
}

template <bool OpaqueSource, class V>
__attribute__((target("avx2"), flatten)) void normal_row_quads_avx2(int32_t n, const NormalSource& src, uint16_t* p,
                                                                    const V* v) {
  const __m256i rgb = _mm256_broadcastsi128_si256(src.rgb), alpha = _mm256_broadcastsi128_si256(src.alpha);
  // Each coverage over its pixel's four lanes.
  const __m256i spread = _mm256_setr_epi32(0, 0, 1, 1, 2, 2, 3, 3);
  int32_t j = 0;
  for (; j + 4 <= n; j += 4) {
    const __m128i w = load_quad_coverage(v + j);
    if (_mm_movemask_epi8(_mm_cmpeq_epi16(w, _mm_setzero_si128())) == 0xFFFF) continue;
    const __m256i vb = _mm256_permutevar8x32_epi32(_mm256_castsi128_si256(_mm_unpacklo_epi16(w, w)), spread);
    __m256i* at = reinterpret_cast<__m256i*>(p + static_cast<size_t>(j) * 4);
    _mm256_storeu_si256(at, normal_quad<OpaqueSource>(_mm256_loadu_si256(at), vb, rgb, alpha));
  }
  normal_row_pairs<OpaqueSource, true>(n - j, src, p + static_cast<size_t>(j) * 4, v + j);
}
#endif

}  // namespace simd

// Settled once per process: whether the processor runs the AVX2 doubles step.
inline bool dab_row_has_avx2() {
#ifdef CVL_HAVE_AVX2_DAB_ROW
  return imaging::cpu_has_avx2();
#else
  return false;
#endif
}

// Mixes source s (R, G, B, A) into the pixels p[0..n) of one row, pixel j with
// coverage v[j] (at most 65535; 0 leaves the pixel).
template <class V>
inline void normal_row_sse2(int32_t n, const uint32_t s[4], uint16_t* p, const V* v) {
  const simd::NormalSource src = simd::normal_source(s);
  const bool opaque = s[3] == 65535;
#ifdef CVL_HAVE_AVX2_DAB_ROW
  if (dab_row_has_avx2()) {
    if (opaque)
      simd::normal_row_quads_avx2<true>(n, src, p, v);
    else
      simd::normal_row_quads_avx2<false>(n, src, p, v);
    return;
  }
#endif
  if (opaque)
    simd::normal_row_pairs<true, false>(n, src, p, v);
  else
    simd::normal_row_pairs<false, false>(n, src, p, v);
}

#endif

}  // namespace cvl
