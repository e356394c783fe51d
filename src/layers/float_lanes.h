// Four single-precision lanes that behave like a float.
//
// The compositor's blend is written once, as a template over the value type, and
// run on four pixels at a time. Every lane does exactly the IEEE operation that
// the scalar expression does (no fused multiply-add, no reciprocal estimates), so
// the lanes give the same words as a one-pixel-at-a-time evaluation.
#pragma once

#include <cmath>
#include <cstdint>

#if defined(__SSE__)
#include <xmmintrin.h>
#endif
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// x86 builds carry an eight-lane version of the blend for processors with AVX2,
// chosen at run time.
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define CVL_HAVE_AVX2_LANES 1
#include <immintrin.h>
#endif

namespace cvl {

using f32x4 = float __attribute__((vector_size(16)));
using i32x4 = int32_t __attribute__((vector_size(16)));
// Eight lanes, used only inside functions built for AVX2 (see composite.cpp).
// Everything taking them is always inlined there, so no eight-lane value ever
// crosses a call; the ABI note GCC gives for such types does not apply.
#if defined(__clang__)
#pragma clang diagnostic ignored "-Wpsabi"
#elif defined(__GNUC__)
#pragma GCC diagnostic ignored "-Wpsabi"
#endif
using f32x8 = float __attribute__((vector_size(32)));
using i32x8 = int32_t __attribute__((vector_size(32)));

#define CVL_LANES_INLINE inline __attribute__((always_inline))

template <class F>
CVL_LANES_INLINE F splat(float v) {
  if constexpr (sizeof(F) == sizeof(float)) {
    return v;
  } else {
    return F{} + v;
  }
}

inline float lane_sqrt(float v) { return std::sqrt(v); }
CVL_LANES_INLINE f32x4 lane_sqrt(f32x4 v) {
#if defined(__SSE__)
  return _mm_sqrt_ps(v);
#else
  return f32x4{std::sqrt(v[0]), std::sqrt(v[1]), std::sqrt(v[2]), std::sqrt(v[3])};
#endif
}
CVL_LANES_INLINE f32x8 lane_sqrt(f32x8 v) {
  const f32x4 lo = lane_sqrt(f32x4{v[0], v[1], v[2], v[3]}), hi = lane_sqrt(f32x4{v[4], v[5], v[6], v[7]});
  return f32x8{lo[0], lo[1], lo[2], lo[3], hi[0], hi[1], hi[2], hi[3]};
}

// 0..1; a NaN (which the blend formulas do not produce) becomes 0.
template <class F>
CVL_LANES_INLINE F clamp01(F v) {
  const F zero = splat<F>(0.0f), one = splat<F>(1.0f);
  return v > zero ? (v < one ? v : one) : zero;
}

inline int32_t lane_trunc(float v) { return static_cast<int32_t>(v); }
CVL_LANES_INLINE i32x4 lane_trunc(f32x4 v) { return __builtin_convertvector(v, i32x4); }

inline float lane_float(int32_t v) { return static_cast<float>(v); }
CVL_LANES_INLINE f32x4 lane_float(i32x4 v) { return __builtin_convertvector(v, f32x4); }

CVL_LANES_INLINE i32x8 lane_trunc(f32x8 v) { return __builtin_convertvector(v, i32x8); }
CVL_LANES_INLINE f32x8 lane_float(i32x8 v) { return __builtin_convertvector(v, f32x8); }

template <class I>
constexpr int lane_count = static_cast<int>(sizeof(I) / sizeof(int32_t));

// True when every lane of a comparison result is set.
template <class I>
CVL_LANES_INLINE bool all_lanes(I m) {
  int32_t all = -1;
  for (int l = 0; l < lane_count<I>; ++l) all &= m[l];
  return all != 0;
}

// Consecutive RGBA64 pixels as one lane per pixel (lane l is pixel l), one vector
// per channel.
template <class I>
CVL_LANES_INLINE void load_rgba64_lanes(const uint16_t* p, I out[4]) {
  for (int l = 0; l < lane_count<I>; ++l)
    for (int ch = 0; ch < 4; ++ch) out[ch][l] = p[l * 4 + ch];
}

// Writes the four channel lanes back as words (each 0..65535).
template <class I>
CVL_LANES_INLINE void store_rgba64_lanes(uint16_t* p, const I in[4]) {
  for (int l = 0; l < lane_count<I>; ++l)
    for (int ch = 0; ch < 4; ++ch) p[l * 4 + ch] = static_cast<uint16_t>(in[ch][l]);
}

#if defined(__SSE2__)
// Four pixels: widened against zero, then a 4 x 4 transpose; lanes in pixel order.
CVL_LANES_INLINE void transpose4(__m128i& a, __m128i& b, __m128i& c, __m128i& d) {
  const __m128i t0 = _mm_unpacklo_epi32(a, b), t1 = _mm_unpackhi_epi32(a, b);
  const __m128i t2 = _mm_unpacklo_epi32(c, d), t3 = _mm_unpackhi_epi32(c, d);
  a = _mm_unpacklo_epi64(t0, t2), b = _mm_unpackhi_epi64(t0, t2);
  c = _mm_unpacklo_epi64(t1, t3), d = _mm_unpackhi_epi64(t1, t3);
}

template <>
CVL_LANES_INLINE void load_rgba64_lanes(const uint16_t* p, i32x4 out[4]) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 8));
  __m128i r = _mm_unpacklo_epi16(lo, zero), g = _mm_unpackhi_epi16(lo, zero);
  __m128i b = _mm_unpacklo_epi16(hi, zero), a = _mm_unpackhi_epi16(hi, zero);
  transpose4(r, g, b, a);
  out[0] = i32x4(r), out[1] = i32x4(g), out[2] = i32x4(b), out[3] = i32x4(a);
}

// Packs with signed saturation around 32768, as plain SSE2 has no unsigned pack.
template <>
CVL_LANES_INLINE void store_rgba64_lanes(uint16_t* p, const i32x4 in[4]) {
  __m128i x0 = __m128i(in[0]), x1 = __m128i(in[1]), x2 = __m128i(in[2]), x3 = __m128i(in[3]);
  transpose4(x0, x1, x2, x3);
  const __m128i bias = _mm_set1_epi32(32768), flip = _mm_set1_epi16(-32768);
  const __m128i lo = _mm_xor_si128(_mm_packs_epi32(_mm_sub_epi32(x0, bias), _mm_sub_epi32(x1, bias)), flip);
  const __m128i hi = _mm_xor_si128(_mm_packs_epi32(_mm_sub_epi32(x2, bias), _mm_sub_epi32(x3, bias)), flip);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(p), lo);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 8), hi);
}
#endif

#if defined(CVL_HAVE_AVX2_LANES)
// Eight pixels: pixels k and k + 4 are widened into the two halves of one vector,
// so the same transpose within halves gives lanes in pixel order. Not forced
// inline: the generic helpers that call these are built for every processor, and
// only the eight-lane functions that inline those may inline these. The eight-lane
// loads and stores are plain overloads rather than specialisations of the generic
// templates, which would make them forced inline as well.
inline __attribute__((target("avx2"))) void transpose4(__m256i& a, __m256i& b, __m256i& c, __m256i& d) {
  const __m256i t0 = _mm256_unpacklo_epi32(a, b), t1 = _mm256_unpackhi_epi32(a, b);
  const __m256i t2 = _mm256_unpacklo_epi32(c, d), t3 = _mm256_unpackhi_epi32(c, d);
  a = _mm256_unpacklo_epi64(t0, t2), b = _mm256_unpackhi_epi64(t0, t2);
  c = _mm256_unpacklo_epi64(t1, t3), d = _mm256_unpackhi_epi64(t1, t3);
}

inline __attribute__((target("avx2"))) void load_rgba64_lanes(const uint16_t* p, i32x8 out[4]) {
  const __m256i lo = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));       // pixels 0..3
  const __m256i hi = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 16));  // pixels 4..7
  const __m256i even = _mm256_unpacklo_epi64(lo, hi), odd = _mm256_unpackhi_epi64(lo, hi);  // 0 4 | 2 6, 1 5 | 3 7
  __m256i r = _mm256_cvtepu16_epi32(_mm256_castsi256_si128(even));
  __m256i g = _mm256_cvtepu16_epi32(_mm256_castsi256_si128(odd));
  __m256i b = _mm256_cvtepu16_epi32(_mm256_extracti128_si256(even, 1));
  __m256i a = _mm256_cvtepu16_epi32(_mm256_extracti128_si256(odd, 1));
  transpose4(r, g, b, a);
  out[0] = i32x8(r), out[1] = i32x8(g), out[2] = i32x8(b), out[3] = i32x8(a);
}

inline __attribute__((target("avx2"))) void store_rgba64_lanes(uint16_t* p, const i32x8 in[4]) {
  __m256i x0 = __m256i(in[0]), x1 = __m256i(in[1]), x2 = __m256i(in[2]), x3 = __m256i(in[3]);
  transpose4(x0, x1, x2, x3);  // pixels 0 | 4, 1 | 5, 2 | 6, 3 | 7
  const __m256i a = _mm256_packus_epi32(x0, x1);  // 0 1 | 4 5
  const __m256i b = _mm256_packus_epi32(x2, x3);  // 2 3 | 6 7
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), _mm256_permute2x128_si256(a, b, 0x20));
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + 16), _mm256_permute2x128_si256(a, b, 0x31));
}
#endif

}  // namespace cvl
