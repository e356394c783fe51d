#include "effects/inhouse_hsl_lanes.h"

#include <algorithm>

#include "core/colour_models.h"
#include "imaging/cpu_features.h"

// Only where scalar double arithmetic is SSE2 arithmetic too (not the x87's
// wider registers), so that the one-pixel code rounds as the lanes do.
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__)) && defined(__SSE2_MATH__)
#define CVL_HAVE_HSL_LANES 1
#include <immintrin.h>
#endif

namespace cvl::inhouse_hsl {
namespace {

bool portable_only = false;

// 1 / 255 as the colour models write it.
constexpr double kByteToUnit = 0.00392156862745098;

double relieve(double v, double other, double amount) {
  if (v > other) v += (1.0 - v) * amount;
  else if (v < other) v -= amount * v;
  return std::clamp(v, 0.0, 1.0);
}

void relieve_one(double h, double s, double l, double ns, double nl, double amount, const uint8_t* alpha_from,
                 uint8_t* out) {
  HslToRgb(h, relieve(s, ns, amount), relieve(l, nl, amount), out[0], out[1], out[2]);
  out[3] = alpha_from[3];
}

#if defined(CVL_HAVE_HSL_LANES)

// Built for AVX2 and not for FMA: every product and sum rounds on its own, as
// in the one-pixel conversions.
#define CVL_LANES __attribute__((target("avx2")))

CVL_LANES inline __m256d pick(__m256d when_true, __m256d when_false, __m256d mask) {
  return _mm256_blendv_pd(when_false, when_true, mask);
}

CVL_LANES inline __m256d lt(__m256d a, __m256d b) { return _mm256_cmp_pd(a, b, _CMP_LT_OQ); }
CVL_LANES inline __m256d gt(__m256d a, __m256d b) { return _mm256_cmp_pd(a, b, _CMP_GT_OQ); }
CVL_LANES inline __m256d eq(__m256d a, __m256d b) { return _mm256_cmp_pd(a, b, _CMP_EQ_OQ); }
CVL_LANES inline __m256d all(double v) { return _mm256_set1_pd(v); }

// Byte k of four packed pixels as doubles on the 0..1 scale.
CVL_LANES inline __m256d unit_channel(__m128i px, int k) {
  const __m128i c = _mm_and_si128(_mm_srli_epi32(px, 8 * k), _mm_set1_epi32(0xFF));
  return _mm256_mul_pd(_mm256_cvtepi32_pd(c), all(kByteToUnit));
}

// ((max - c) / 6 + d / 2) / d of one channel.
CVL_LANES inline __m256d hue_share(__m256d c, __m256d max, __m256d half_d, __m256d d) {
  return _mm256_div_pd(_mm256_add_pd(_mm256_div_pd(_mm256_sub_pd(max, c), all(6.0)), half_d), d);
}

CVL_LANES void rgb_to_hsl4(__m128i px, __m256d& h, __m256d& s, __m256d& l) {
  const __m256d r = unit_channel(px, 0), g = unit_channel(px, 1), b = unit_channel(px, 2);
  const __m256d max = _mm256_max_pd(_mm256_max_pd(r, g), b);
  const __m256d min = _mm256_min_pd(_mm256_min_pd(r, g), b);
  const __m256d d = _mm256_sub_pd(max, min);
  // Halving is exact either way, so it is a product here; the divisions
  // are the cost, and each lane makes only those its own branch of the
  // one-pixel code makes.
  l = _mm256_mul_pd(_mm256_add_pd(max, min), all(0.5));
  const __m256d sat = _mm256_div_pd(
      d, pick(_mm256_add_pd(max, min), _mm256_sub_pd(_mm256_sub_pd(all(2.0), max), min), lt(l, all(0.5))));
  const __m256d half_d = _mm256_mul_pd(d, all(0.5));
  // Red largest: 0 + db - dg; else green: 1/3 + dr - db; else 2/3 + dg - dr.
  const __m256d red_max = eq(r, max), green_max = eq(g, max);
  const __m256d first = pick(b, pick(r, g, green_max), red_max), second = pick(g, pick(b, r, green_max), red_max);
  const __m256d offset = pick(_mm256_setzero_pd(), pick(all(1.0 / 3.0), all(2.0 / 3.0), green_max), red_max);
  __m256d hue =
      _mm256_sub_pd(_mm256_add_pd(offset, hue_share(first, max, half_d, d)), hue_share(second, max, half_d, d));
  hue = pick(_mm256_add_pd(hue, all(1.0)), hue, lt(hue, _mm256_setzero_pd()));
  hue = pick(_mm256_sub_pd(hue, all(1.0)), hue, gt(hue, all(1.0)));
  hue = _mm256_mul_pd(hue, all(360.0));
  // Greys: no hue, no saturation (the divisions by d above went astray there).
  const __m256d grey = eq(d, _mm256_setzero_pd());
  h = _mm256_andnot_pd(grey, hue);
  s = _mm256_andnot_pd(grey, sat);
}

CVL_LANES inline __m256d relieve4(__m256d v, __m256d other, __m256d amount) {
  const __m256d up = _mm256_add_pd(v, _mm256_mul_pd(_mm256_sub_pd(all(1.0), v), amount));
  const __m256d down = _mm256_sub_pd(v, _mm256_mul_pd(amount, v));
  v = pick(up, pick(down, v, lt(v, other)), gt(v, other));
  return _mm256_min_pd(_mm256_max_pd(v, _mm256_setzero_pd()), all(1.0));
}

CVL_LANES inline __m128i unit_to_byte4(__m256d v) {
  const __m256d scaled = _mm256_mul_pd(v, all(255.0));
  return _mm256_cvttpd_epi32(_mm256_min_pd(_mm256_max_pd(scaled, _mm256_setzero_pd()), all(255.0)));
}

CVL_LANES inline __m256d hsl_channel4(__m256d h, __m256d m1, __m256d m2) {
  const __m256d over = gt(h, all(360.0)), under = lt(h, _mm256_setzero_pd());
  h = pick(_mm256_sub_pd(h, all(360.0)), pick(_mm256_add_pd(h, all(360.0)), h, under), over);
  const __m256d span = _mm256_sub_pd(m2, m1);
  // The rising and the falling ramp: a lane takes at most one, so it divides once.
  const __m256d rising = lt(h, all(60.0));
  const __m256d ramp =
      _mm256_add_pd(m1, _mm256_div_pd(_mm256_mul_pd(span, pick(h, _mm256_sub_pd(all(240.0), h), rising)), all(60.0)));
  __m256d v = pick(ramp, m1, lt(h, all(240.0)));
  v = pick(m2, v, lt(h, all(180.0)));
  return pick(ramp, v, rising);
}

// HslToRgb of four lanes, packed as r | g << 8 | b << 16.
CVL_LANES __m128i hsl_to_rgb4(__m256d h, __m256d s, __m256d l) {
  const __m256d m2 = pick(_mm256_mul_pd(l, _mm256_add_pd(all(1.0), s)),
                          _mm256_sub_pd(_mm256_add_pd(l, s), _mm256_mul_pd(l, s)), lt(l, all(0.5)));
  const __m256d m1 = _mm256_sub_pd(_mm256_mul_pd(all(2.0), l), m2);
  const __m256d grey = eq(s, _mm256_setzero_pd());
  const __m256d r = pick(l, hsl_channel4(_mm256_add_pd(h, all(120.0)), m1, m2), grey);
  const __m256d g = pick(l, hsl_channel4(h, m1, m2), grey);
  const __m256d b = pick(l, hsl_channel4(_mm256_sub_pd(h, all(120.0)), m1, m2), grey);
  return _mm_or_si128(_mm_or_si128(unit_to_byte4(r), _mm_slli_epi32(unit_to_byte4(g), 8)),
                      _mm_slli_epi32(unit_to_byte4(b), 16));
}

CVL_LANES int32_t rgb_row_to_hsl_lanes(const uint8_t* rgba, int32_t n, double* h, double* s, double* l) {
  int32_t x = 0;
  for (; x + 4 <= n; x += 4) {
    __m256d hh, ss, ll;
    rgb_to_hsl4(_mm_loadu_si128(reinterpret_cast<const __m128i*>(rgba + x * 4)), hh, ss, ll);
    _mm256_storeu_pd(h + x, hh);
    _mm256_storeu_pd(s + x, ss);
    _mm256_storeu_pd(l + x, ll);
  }
  return x;
}

CVL_LANES int32_t relieve_row_lanes(const double* h, const double* s, const double* l, const double* ns,
                                    const double* nl, int32_t n, double amount, const uint8_t* alpha_from,
                                    uint8_t* out) {
  const __m256d a = all(amount);
  int32_t x = 0;
  for (; x + 4 <= n; x += 4) {
    const __m256d s2 = relieve4(_mm256_loadu_pd(s + x), _mm256_loadu_pd(ns + x), a);
    const __m256d l2 = relieve4(_mm256_loadu_pd(l + x), _mm256_loadu_pd(nl + x), a);
    const __m128i rgb = hsl_to_rgb4(_mm256_loadu_pd(h + x), s2, l2);
    const __m128i alpha = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(alpha_from + x * 4)),
                                        _mm_set1_epi32(int32_t(0xFF000000u)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x * 4), _mm_or_si128(rgb, alpha));
  }
  return x;
}

CVL_LANES inline __m256d gather(const double* table, __m128i index) {
  const __m256d every = _mm256_castsi256_pd(_mm256_set1_epi64x(-1));
  return _mm256_mask_i32gather_pd(_mm256_setzero_pd(), table, index, every, 8);
}

CVL_LANES int32_t hyper_contrast_row_lanes(const uint8_t* in, int32_t n, const double* darkened,
                                           const double* brightened, uint8_t* out) {
  int32_t x = 0;
  for (; x + 4 <= n; x += 4) {
    const __m128i px = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x * 4));
    const __m128i byte = _mm_set1_epi32(0xFF);
    const __m128i c[3] = {_mm_and_si128(px, byte), _mm_and_si128(_mm_srli_epi32(px, 8), byte),
                          _mm_and_si128(_mm_srli_epi32(px, 16), byte)};
    // A byte times 1/255 keeps the order of the bytes, so the largest and
    // smallest channel on the unit scale are those of the largest and
    // smallest byte, and HslLightness is their mean.
    const __m128i top = _mm_max_epi32(_mm_max_epi32(c[0], c[1]), c[2]);
    const __m128i bottom = _mm_min_epi32(_mm_min_epi32(c[0], c[1]), c[2]);
    const __m256d l = _mm256_div_pd(_mm256_add_pd(_mm256_mul_pd(_mm256_cvtepi32_pd(top), all(kByteToUnit)),
                                                  _mm256_mul_pd(_mm256_cvtepi32_pd(bottom), all(kByteToUnit))),
                                    all(2.0));
    const __m256d dark_share = _mm256_sub_pd(all(1.0), l);
    __m128i result = _mm_andnot_si128(_mm_set1_epi32(0x00FFFFFF), px);  // alpha stays
    for (int i = 0; i < 3; ++i) {
      const __m256d v =
          _mm256_add_pd(_mm256_mul_pd(gather(darkened, c[i]), dark_share), _mm256_mul_pd(gather(brightened, c[i]), l));
      // trunc_to_int then clamp_byte: NaN and everything below 0 give 0.
      const __m128i b = _mm256_cvttpd_epi32(_mm256_min_pd(_mm256_max_pd(v, _mm256_setzero_pd()), all(255.0)));
      result = _mm_or_si128(result, _mm_slli_epi32(b, 8 * i));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x * 4), result);
  }
  return x;
}

#endif

}  // namespace

bool hsl_lanes_available() {
#if defined(CVL_HAVE_HSL_LANES)
  return imaging::cpu_has_avx2() && !portable_only;
#else
  return false;
#endif
}

void use_portable_hsl(bool on) { portable_only = on; }

void rgb_row_to_hsl(const uint8_t* rgba, int32_t n, double* h, double* s, double* l) {
  int32_t x = 0;
#if defined(CVL_HAVE_HSL_LANES)
  if (hsl_lanes_available()) x = rgb_row_to_hsl_lanes(rgba, n, h, s, l);
#endif
  for (; x < n; ++x) RgbToHsl(rgba[x * 4], rgba[x * 4 + 1], rgba[x * 4 + 2], h[x], s[x], l[x]);
}

void relieve_row(const double* h, const double* s, const double* l, const double* ns, const double* nl, int32_t n,
                 double amount, const uint8_t* alpha_from, uint8_t* out) {
  int32_t x = 0;
#if defined(CVL_HAVE_HSL_LANES)
  if (hsl_lanes_available()) x = relieve_row_lanes(h, s, l, ns, nl, n, amount, alpha_from, out);
#endif
  for (; x < n; ++x) relieve_one(h[x], s[x], l[x], ns[x], nl[x], amount, alpha_from + x * 4, out + x * 4);
}

}  // namespace cvl::inhouse_hsl

namespace cvl::inhouse_hsl {

void hyper_contrast_row(const uint8_t* in, int32_t n, const double* darkened, const double* brightened, uint8_t* out) {
  int32_t x = 0;
#if defined(CVL_HAVE_HSL_LANES)
  if (hsl_lanes_available()) x = hyper_contrast_row_lanes(in, n, darkened, brightened, out);
#endif
  for (; x < n; ++x) {
    const uint8_t* q = in + x * 4;
    const double l = HslLightness(q[0], q[1], q[2]), dark_share = 1.0 - l;
    uint8_t* o = out + x * 4;
    for (int i = 0; i < 3; ++i) {
      const double v = darkened[q[i]] * dark_share + brightened[q[i]] * l;
      o[i] = static_cast<uint8_t>(!(v > 0.0) ? 0 : v >= 255.0 ? 255 : static_cast<int32_t>(v));
    }
    o[3] = q[3];
  }
}

}  // namespace cvl::inhouse_hsl
