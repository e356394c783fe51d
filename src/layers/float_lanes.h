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

namespace cvl {

using f32x4 = float __attribute__((vector_size(16)));
using i32x4 = int32_t __attribute__((vector_size(16)));

template <class F>
inline F splat(float v) {
  if constexpr (sizeof(F) == sizeof(float)) {
    return v;
  } else {
    return F{v, v, v, v};
  }
}

inline float lane_sqrt(float v) { return std::sqrt(v); }
inline f32x4 lane_sqrt(f32x4 v) {
#if defined(__SSE__)
  return _mm_sqrt_ps(v);
#else
  return f32x4{std::sqrt(v[0]), std::sqrt(v[1]), std::sqrt(v[2]), std::sqrt(v[3])};
#endif
}

// 0..1; a NaN (which the blend formulas do not produce) becomes 0.
template <class F>
inline F clamp01(F v) {
  const F zero = splat<F>(0.0f), one = splat<F>(1.0f);
  return v > zero ? (v < one ? v : one) : zero;
}

inline int32_t lane_trunc(float v) { return static_cast<int32_t>(v); }
inline i32x4 lane_trunc(f32x4 v) { return __builtin_convertvector(v, i32x4); }

inline float lane_float(int32_t v) { return static_cast<float>(v); }
inline f32x4 lane_float(i32x4 v) { return __builtin_convertvector(v, f32x4); }

}  // namespace cvl
