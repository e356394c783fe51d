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

// x86 builds carry an eight-lane version of the blend for processors with AVX2,
// chosen at run time.
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define CVL_HAVE_AVX2_LANES 1
#endif

namespace cvl {

using f32x4 = float __attribute__((vector_size(16)));
using i32x4 = int32_t __attribute__((vector_size(16)));
// Eight lanes, used only inside functions built for AVX2 (see composite.cpp).
// Everything taking them is always inlined there, so no eight-lane value ever
// crosses a call; the ABI note GCC gives for such types does not apply.
#if defined(__GNUC__) && !defined(__clang__)
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

}  // namespace cvl
