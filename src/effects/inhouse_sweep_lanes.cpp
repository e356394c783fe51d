#include "effects/inhouse_sweep_lanes.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "effects/inhouse_sweeps.h"
#include "imaging/cpu_features.h"
#include "imaging/parallel_bands.h"

// Only where scalar double arithmetic is SSE2 arithmetic too (not the x87's
// wider registers), so that the one-pixel code rounds as the lanes do.
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__)) && defined(__SSE2_MATH__)
#define CVL_HAVE_SWEEP_LANES 1
#include <immintrin.h>
#endif

namespace cvl::inhouse_sweeps {

namespace {
bool portable_only = false;
}

void use_portable_sweeps(bool on) { portable_only = on; }

int32_t largest_below(double threshold) {
  if (!(threshold > 0.0)) return -1;  // also NaN: nothing is below it
  if (threshold > 255.0) return 255;
  return static_cast<int32_t>(std::ceil(threshold)) - 1;
}

int32_t whole_floor(double v) {
  if (!(v == v)) return 1000;
  if (v >= 1000.0) return 1000;
  if (v <= -1000.0) return -1000;
  return static_cast<int32_t>(std::floor(v));
}

bool whole_number_blend(double w, int32_t& packed) {
  if (!(w >= 0.0 && w <= 1.0)) return false;
  const BlendTable table(w);
  const int64_t p0 = std::llround((1.0 - w) * 32768.0), q0 = std::llround(w * 32768.0);
  for (const int64_t dp : {0, -1, 1})
    for (const int64_t dq : {0, -1, 1}) {
      const int64_t p = p0 + dp, q = q0 + dq;
      if (p < 0 || q < 0 || p > 32767 || q > 32767) continue;  // the multiply-add takes signed words
      bool same = true;
      for (int64_t a = 0; a < 256 && same; ++a)
        for (int64_t b = 0; b < 256; ++b)
          if (((a * p + b * q) >> 15) != table(uint8_t(a), uint8_t(b))) {
            same = false;
            break;
          }
      if (same) {
        packed = int32_t(p | q << 16);
        return true;
      }
    }
  return false;
}

#if defined(CVL_HAVE_SWEEP_LANES)

namespace {

// Built for AVX2 alone and deliberately not for FMA: a fused multiply-add
// would round once where the blend rounds each product and then the sum.
#define CVL_LANES __attribute__((target("avx2")))

// Lanes 0..3 and 4..7 of eight doubles.
struct Halves {
  __m256d lo, hi;
};

CVL_LANES inline Halves widen_mask(__m256i m) {
  return {_mm256_castsi256_pd(_mm256_cvtepi32_epi64(_mm256_castsi256_si128(m))),
          _mm256_castsi256_pd(_mm256_cvtepi32_epi64(_mm256_extracti128_si256(m, 1)))};
}

// (r + g + b) / 3 of eight packed pixels: the bytes summed by two multiply-adds,
// the division by 3 as * 0xAAAB >> 17, exact for sums up to 765.
CVL_LANES inline __m256i luminance8(__m256i px) {
  const __m256i pairs = _mm256_maddubs_epi16(px, _mm256_set1_epi32(0x00010101));
  const __m256i sum = _mm256_madd_epi16(pairs, _mm256_set1_epi16(1));
  return _mm256_srli_epi32(_mm256_mulhi_epu16(sum, _mm256_set1_epi32(0xAAAB)), 1);
}

CVL_LANES inline __m256i channel(__m256i px, int shift) {
  return _mm256_and_si256(_mm256_srl_epi32(px, _mm_cvtsi32_si128(shift)), _mm256_set1_epi32(0xFF));
}

// Four lanes of a * c + b * n, truncated and held to 0..255 as the blend
// table's entries are.
CVL_LANES inline __m128i blend4(__m256d a, __m128i c, __m256d b, __m128i n) {
  const __m256d v = _mm256_add_pd(_mm256_mul_pd(a, _mm256_cvtepi32_pd(c)), _mm256_mul_pd(b, _mm256_cvtepi32_pd(n)));
  return _mm256_cvttpd_epi32(_mm256_min_pd(_mm256_max_pd(v, _mm256_setzero_pd()), _mm256_set1_pd(255.0)));
}

// One channel of eight pairs (c, n as whole bytes in dword lanes) blended with
// per-lane weights a = 1 - w and b = w; a = 0, b = 1 leaves n as it is.
CVL_LANES inline __m256i blend8(const Halves& a, __m256i c, const Halves& b, __m256i n) {
  const __m128i lo = blend4(a.lo, _mm256_castsi256_si128(c), b.lo, _mm256_castsi256_si128(n));
  const __m128i hi = blend4(a.hi, _mm256_extracti128_si256(c, 1), b.hi, _mm256_extracti128_si256(n, 1));
  return _mm256_set_m128i(hi, lo);
}

// Every channel of eight pairs with the same per-lane weights.
CVL_LANES inline __m256i blend_pixels(const Halves& a, __m256i cur, const Halves& b, __m256i nb) {
  __m256i out = blend8(a, channel(cur, 0), b, channel(nb, 0));
  for (int shift = 8; shift < 32; shift += 8)
    out = _mm256_or_si256(
        out, _mm256_sll_epi32(blend8(a, channel(cur, shift), b, channel(nb, shift)), _mm_cvtsi32_si128(shift)));
  return out;
}

// (1 - w, w) of a lane where its mask is set, else (0, 1).
struct Weight {
  __m256d a, b;
  CVL_LANES explicit Weight(double w) : a(_mm256_set1_pd(1.0 - w)), b(_mm256_set1_pd(w)) {}
  CVL_LANES void select(const Halves& m, Halves& a_out, Halves& b_out) const {
    const __m256d one = _mm256_set1_pd(1.0);
    a_out = {_mm256_and_pd(m.lo, a), _mm256_and_pd(m.hi, a)};
    b_out = {_mm256_blendv_pd(one, b, m.lo), _mm256_blendv_pd(one, b, m.hi)};
  }
};

// Blends the lanes of is_darker by `darker` and those of is_lighter by `lighter`;
// other lanes keep nb. The masks never overlap, and a lane a mask leaves out gets
// a = 0 (no bits set), so or-ing the two a's picks the selected one; b is taken
// by mask.
CVL_LANES inline __m256i blend_darker_or_lighter(const Weight& darker, const Weight& lighter, __m256i is_darker,
                                                 __m256i is_lighter, __m256i cur, __m256i nb) {
  const Halves md = widen_mask(is_darker), ml = widen_mask(is_lighter);
  Halves a0, b0, a1, b1;
  darker.select(md, a0, b0);
  lighter.select(ml, a1, b1);
  const Halves a{_mm256_or_pd(a0.lo, a1.lo), _mm256_or_pd(a0.hi, a1.hi)};
  const Halves b{_mm256_blendv_pd(b0.lo, b1.lo, ml.lo), _mm256_blendv_pd(b0.hi, b1.hi, ml.hi)};
  return blend_pixels(a, cur, b, nb);
}

// All lanes set where weight w changes anything: at w = 1 a blend gives
// 0 * cur + 1 * nb, the neighbour exactly, so those lanes need no blend.
CVL_LANES inline __m256i changes(double w) { return _mm256_set1_epi32(w == 1.0 ? 0 : -1); }

// Which lanes Value Blur blends darker and which lighter.
CVL_LANES inline void darker_or_lighter(__m256i cur, __m256i nb, __m256i darker_on, __m256i lighter_on,
                                        __m256i& is_darker, __m256i& is_lighter) {
  const __m256i d = _mm256_sub_epi32(luminance8(cur), luminance8(nb));
  is_darker = _mm256_and_si256(_mm256_cmpgt_epi32(d, _mm256_set1_epi32(2)), darker_on);
  is_lighter = _mm256_and_si256(_mm256_cmpgt_epi32(_mm256_set1_epi32(-2), d), lighter_on);
}

struct DarkerOrLighterStep {
  Weight darker, lighter;
  __m256i darker_on, lighter_on;
  CVL_LANES explicit DarkerOrLighterStep(const LaneRule& r)
      : darker(r.weight[0]), lighter(r.weight[1]), darker_on(changes(r.weight[0])), lighter_on(changes(r.weight[1])) {}
  CVL_LANES __m256i operator()(__m256i cur, __m256i nb) const {
    __m256i is_darker, is_lighter;
    darker_or_lighter(cur, nb, darker_on, lighter_on, is_darker, is_lighter);
    // Smooth stretches leave every lane as it is.
    if (_mm256_testz_si256(_mm256_or_si256(is_darker, is_lighter), _mm256_set1_epi32(-1))) return nb;
    return blend_darker_or_lighter(darker, lighter, is_darker, is_lighter, cur, nb);
  }
};

struct LuminanceWithinStep {
  Weight blend;
  __m256i limit;
  CVL_LANES explicit LuminanceWithinStep(const LaneRule& r)
      : blend(r.weight[0]), limit(_mm256_set1_epi32(r.within[0] + 1)) {}
  CVL_LANES __m256i operator()(__m256i cur, __m256i nb) const {
    const __m256i d = _mm256_abs_epi32(_mm256_sub_epi32(luminance8(cur), luminance8(nb)));
    const __m256i near = _mm256_cmpgt_epi32(limit, d);
    if (_mm256_testz_si256(near, near)) return nb;
    Halves a, b;
    blend.select(widen_mask(near), a, b);
    return blend_pixels(a, cur, b, nb);
  }
};

struct ChannelsWithinStep {
  Weight blend[3];
  __m256i limit[3];
  CVL_LANES explicit ChannelsWithinStep(const LaneRule& r)
      : blend{Weight(r.weight[0]), Weight(r.weight[1]), Weight(r.weight[2])},
        limit{_mm256_set1_epi32(r.within[0] + 1), _mm256_set1_epi32(r.within[1] + 1),
              _mm256_set1_epi32(r.within[2] + 1)} {}
  CVL_LANES __m256i operator()(__m256i cur, __m256i nb) const {
    __m256i out = _mm256_and_si256(nb, _mm256_set1_epi32(int32_t(0xFF000000u)));  // alpha stays
    for (int i = 0; i < 3; ++i) {
      const __m256i c = channel(cur, 8 * i), n = channel(nb, 8 * i);
      const __m256i near = _mm256_cmpgt_epi32(limit[i], _mm256_abs_epi32(_mm256_sub_epi32(c, n)));
      Halves a, b;
      blend[i].select(widen_mask(near), a, b);
      out = _mm256_or_si256(out, _mm256_sll_epi32(blend8(a, c, b, n), _mm_cvtsi32_si128(8 * i)));
    }
    return out;
  }
};

// trunc((1 - w) * cur + w * nb) as (cur * P + nb * Q) >> 15 for every
// channel of eight pixels, with P | Q << 16 per pixel in `weights`: the bytes
// are widened into (cur, nb) word pairs so that one multiply-add a channel
// makes the sum, and packed back in the order they came.
CVL_LANES inline __m256i sum(__m256i pairs, __m256i weights) {
  return _mm256_srli_epi32(_mm256_madd_epi16(pairs, weights), 15);
}

// w0 .. w3 hold the weights of the four channels of pixels 0 | 4, 1 | 5,
// 2 | 6 and 3 | 7.
CVL_LANES inline __m256i whole_blend(__m256i cur, __m256i nb, __m256i w0, __m256i w1, __m256i w2, __m256i w3) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i c_lo = _mm256_unpacklo_epi8(cur, zero),
                c_hi = _mm256_unpackhi_epi8(cur, zero);  // pixels 0 1 | 4 5, 2 3 | 6 7
  const __m256i n_lo = _mm256_unpacklo_epi8(nb, zero), n_hi = _mm256_unpackhi_epi8(nb, zero);
  const __m256i p0 = sum(_mm256_unpacklo_epi16(c_lo, n_lo), w0);  // pixel 0 | 4
  const __m256i p1 = sum(_mm256_unpackhi_epi16(c_lo, n_lo), w1);  // pixel 1 | 5
  const __m256i p2 = sum(_mm256_unpacklo_epi16(c_hi, n_hi), w2);  // pixel 2 | 6
  const __m256i p3 = sum(_mm256_unpackhi_epi16(c_hi, n_hi), w3);  // pixel 3 | 7
  return _mm256_packus_epi16(_mm256_packus_epi32(p0, p1), _mm256_packus_epi32(p2, p3));
}

// The same with one weight a pixel (P | Q << 16 in each pixel's word).
CVL_LANES inline __m256i whole_blend(__m256i cur, __m256i nb, __m256i weights) {
  return whole_blend(cur, nb, _mm256_shuffle_epi32(weights, 0x00), _mm256_shuffle_epi32(weights, 0x55),
                     _mm256_shuffle_epi32(weights, 0xAA), _mm256_shuffle_epi32(weights, 0xFF));
}

// Value Blur where both weights have whole-number forms (or keep).
struct DarkerOrLighterWholeStep {
  __m256i darker, lighter, darker_on, lighter_on;
  CVL_LANES DarkerOrLighterWholeStep(const LaneRule& r, int32_t darker_pq, int32_t lighter_pq)
      : darker(_mm256_set1_epi32(darker_pq)),
        lighter(_mm256_set1_epi32(lighter_pq)),
        darker_on(changes(r.weight[0])),
        lighter_on(changes(r.weight[1])) {}
  CVL_LANES __m256i operator()(__m256i cur, __m256i nb) const {
    __m256i is_darker, is_lighter;
    darker_or_lighter(cur, nb, darker_on, lighter_on, is_darker, is_lighter);
    const __m256i blends = _mm256_or_si256(is_darker, is_lighter);
    if (_mm256_testz_si256(blends, blends)) return nb;
    const __m256i blended = whole_blend(cur, nb, _mm256_blendv_epi8(darker, lighter, is_lighter));
    return _mm256_blendv_epi8(nb, blended, blends);
  }
};

// Noise Reduction where the weight has a whole-number form.
struct LuminanceWithinWholeStep {
  __m256i weight, limit;
  CVL_LANES LuminanceWithinWholeStep(const LaneRule& r, int32_t pq)
      : weight(_mm256_set1_epi32(pq)), limit(_mm256_set1_epi32(r.within[0] + 1)) {}
  CVL_LANES __m256i operator()(__m256i cur, __m256i nb) const {
    const __m256i d = _mm256_abs_epi32(_mm256_sub_epi32(luminance8(cur), luminance8(nb)));
    const __m256i near = _mm256_cmpgt_epi32(limit, d);
    if (_mm256_testz_si256(near, near)) return nb;
    return _mm256_blendv_epi8(nb, whole_blend(cur, nb, weight), near);
  }
};

// Noise Reduction RGB where every channel's weight has a whole-number form (or
// keeps): the weights differ by channel only, so one constant vector holds
// them, and bytes whose channel is not near enough keep the neighbour's.
struct ChannelsWithinWholeStep {
  __m256i weights, limits, on;
  CVL_LANES ChannelsWithinWholeStep(const LaneRule& r, const int32_t pq[3])
      : weights(_mm256_setr_epi32(pq[0], pq[1], pq[2], 0, pq[0], pq[1], pq[2], 0)),
        limits(_mm256_set1_epi32(int32_t(uint32_t(clamp_limit(r.within[0])) | uint32_t(clamp_limit(r.within[1])) << 8 |
                                         uint32_t(clamp_limit(r.within[2])) << 16))),
        on(_mm256_set1_epi32(int32_t(channel_on(r, 0) | channel_on(r, 1) << 8 | channel_on(r, 2) << 16))) {}
  // A limit of -1 blends nothing; `on` clears that channel instead.
  static uint8_t clamp_limit(int32_t within) { return uint8_t(within < 0 ? 0 : within > 255 ? 255 : within); }
  static uint32_t channel_on(const LaneRule& r, int c) { return r.within[c] >= 0 && r.weight[c] != 1.0 ? 0xFFu : 0u; }
  CVL_LANES __m256i operator()(__m256i cur, __m256i nb) const {
    // |cur - nb| of each byte <= its channel's limit.
    const __m256i diff = _mm256_or_si256(_mm256_subs_epu8(cur, nb), _mm256_subs_epu8(nb, cur));
    const __m256i near = _mm256_and_si256(_mm256_cmpeq_epi8(_mm256_max_epu8(diff, limits), limits), on);
    if (_mm256_testz_si256(near, near)) return nb;
    return _mm256_blendv_epi8(nb, whole_blend(cur, nb, weights, weights, weights, weights), near);
  }
};

// Sweeps along strips of n entries, each entry eight independent lanes. Up to
// kStrips strips go through a propagating sweep side by side: each carries a
// chain from entry to entry, and several chains keep the processor busy where
// one would wait on its own results.
constexpr int kStrips = 4;

template <class Step>
struct StripSweeps {
  const Step& step;
  __m256i* s[kStrips];
  int32_t count;  // strips in s, 1..kStrips
  int32_t n;

  CVL_LANES __m256i load(int k, int32_t i) const { return _mm256_loadu_si256(s[k] + i); }
  CVL_LANES void store(int k, int32_t i, __m256i v) const { _mm256_storeu_si256(s[k] + i, v); }

  // Entries from + dir .. to, each from the one before it as already rewritten.
  template <int N>
  CVL_LANES void chains(int32_t from, int32_t to, int32_t dir) const {
    __m256i c[N];
    for (int k = 0; k < N; ++k) c[k] = load(k, from);
    for (int32_t i = from + dir; i != to + dir; i += dir) {
      for (int k = 0; k < N; ++k) {
        c[k] = step(c[k], load(k, i));
        store(k, i, c[k]);
      }
    }
  }
  CVL_LANES void chains(int32_t from, int32_t to, int32_t dir) const {
    switch (count) {
      case 1:
        return chains<1>(from, to, dir);
      case 2:
        return chains<2>(from, to, dir);
      case 3:
        return chains<3>(from, to, dir);
      default:
        return chains<4>(from, to, dir);
    }
  }
  // Entry i + 1 from entry i, first to last, each step seeing the one before.
  CVL_LANES void forward() const { chains(0, n - 1, 1); }
  // Entry i - 1 from entry i, last to first, each step seeing the one before.
  CVL_LANES void backward() const { chains(n - 1, 0, -1); }
};

CVL_LANES inline void transpose8(__m256i r[8]) {
  __m256i t[8], u[8];
  for (int k = 0; k < 8; k += 2) {
    t[k] = _mm256_unpacklo_epi32(r[k], r[k + 1]);
    t[k + 1] = _mm256_unpackhi_epi32(r[k], r[k + 1]);
  }
  for (int k = 0; k < 8; k += 4) {
    u[k] = _mm256_unpacklo_epi64(t[k], t[k + 2]);
    u[k + 1] = _mm256_unpackhi_epi64(t[k], t[k + 2]);
    u[k + 2] = _mm256_unpacklo_epi64(t[k + 1], t[k + 3]);
    u[k + 3] = _mm256_unpackhi_epi64(t[k + 1], t[k + 3]);
  }
  for (int k = 0; k < 4; ++k) {
    r[k] = _mm256_permute2x128_si256(u[k], u[k + 4], 0x20);
    r[k + 4] = _mm256_permute2x128_si256(u[k], u[k + 4], 0x31);
  }
}

// Rows r0 .. r0 + 7 of the image (rows past the bottom read as zeros) turned
// into w entries, entry x holding pixel x of each row.
CVL_LANES void rows_to_strip(const uint32_t* image, int32_t w, int32_t h, int32_t r0, const uint32_t* zeros,
                             __m256i* strip) {
  const uint32_t* row[8];
  for (int k = 0; k < 8; ++k) row[k] = r0 + k < h ? image + size_t(r0 + k) * size_t(w) : zeros;
  int32_t x = 0;
  for (; x + 8 <= w; x += 8) {
    __m256i r[8];
    for (int k = 0; k < 8; ++k) r[k] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row[k] + x));
    transpose8(r);
    for (int k = 0; k < 8; ++k) _mm256_storeu_si256(strip + x + k, r[k]);
  }
  for (; x < w; ++x) {
    alignas(32) uint32_t lanes[8];
    for (int k = 0; k < 8; ++k) std::memcpy(&lanes[k], row[k] + x, 4);
    _mm256_storeu_si256(strip + x, _mm256_load_si256(reinterpret_cast<const __m256i*>(lanes)));
  }
}

CVL_LANES void strip_to_rows(const __m256i* strip, int32_t w, int32_t h, int32_t r0, uint32_t* image) {
  const int32_t rows = std::min(8, h - r0);
  uint32_t* row[8];
  for (int k = 0; k < rows; ++k) row[k] = image + size_t(r0 + k) * size_t(w);
  int32_t x = 0;
  for (; x + 8 <= w; x += 8) {
    __m256i r[8];
    for (int k = 0; k < 8; ++k) r[k] = _mm256_loadu_si256(strip + x + k);
    transpose8(r);
    for (int k = 0; k < rows; ++k) _mm256_storeu_si256(reinterpret_cast<__m256i*>(row[k] + x), r[k]);
  }
  for (; x < w; ++x) {
    alignas(32) uint32_t lanes[8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(lanes), _mm256_loadu_si256(strip + x));
    for (int k = 0; k < rows; ++k) std::memcpy(row[k] + x, &lanes[k], 4);
  }
}

// One step from cur into nb for the eight columns of group g.
template <class Step>
CVL_LANES inline void vertical_group(const Step& step, const uint32_t* cur, uint32_t* nb, int32_t g, int32_t w) {
  const int32_t cols = std::min(8, w - g * 8);
  if (cols == 8) {
    const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(cur + g * 8));
    const __m256i n = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(nb + g * 8));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(nb + g * 8), step(c, n));
    return;
  }
  alignas(32) uint32_t c[8] = {}, n[8] = {};
  std::memcpy(c, cur + g * 8, size_t(cols) * 4);
  std::memcpy(n, nb + g * 8, size_t(cols) * 4);
  const __m256i out = step(_mm256_load_si256(reinterpret_cast<const __m256i*>(c)),
                           _mm256_load_si256(reinterpret_cast<const __m256i*>(n)));
  _mm256_store_si256(reinterpret_cast<__m256i*>(n), out);
  std::memcpy(nb + g * 8, n, size_t(cols) * 4);
}

// Rows from .. to - 1 of the first vertical sweep ({0,1}, top to bottom):
// each row from the one above it as already rewritten.
template <class Step>
CVL_LANES void first_vertical_rows(uint32_t* image, int32_t w, const Step& step, int32_t from, int32_t to) {
  const int32_t groups = (w + 7) / 8;
  for (int32_t y = from; y < to; ++y) {
    const uint32_t* cur = image + ptrdiff_t(y) * w;
    uint32_t* nb = image + ptrdiff_t(y + 1) * w;
    for (int32_t g = 0; g < groups; ++g) vertical_group(step, cur, nb, g, w);
  }
}

// The four horizontal sweeps of kSweeps ({1,0}, {-1,0}, {-1,0}, {1,0}: the
// row order of a sweep does not matter) on the strips of rows first..end-1.
// With `follow`, the strips are the whole picture, taken top to bottom, and
// the first vertical sweep follows them down while their rows are in cache:
// the rows a group of strips finishes, and the row above them, are all the
// sweep needs to rewrite them.
template <class Step>
CVL_LANES void horizontal_strips(uint32_t* image, int32_t w, int32_t h, const Step& step, int32_t first, int32_t end,
                                 __m256i* scratch, const uint32_t* zeros, bool follow) {
  for (int32_t s = first; s < end; s += kStrips) {
    const int32_t count = std::min(kStrips, end - s);
    StripSweeps<Step> sw{step, {scratch, scratch + w, scratch + 2 * w, scratch + 3 * w}, count, w};
    for (int k = 0; k < count; ++k) rows_to_strip(image, w, h, (s + k) * 8, zeros, sw.s[k]);
    sw.forward();
    sw.backward();
    sw.backward();
    sw.forward();
    for (int k = 0; k < count; ++k) strip_to_rows(sw.s[k], w, h, (s + k) * 8, image);
    if (follow) {
      const int32_t top = s * 8, bottom = std::min(h, (s + count) * 8);
      first_vertical_rows(image, w, step, std::max(top - 1, 0), bottom - 1);
    }
  }
}

// The four vertical sweeps row by row over the columns of groups first..end-1
// (eight columns a group; a group reaching past the right edge goes through a
// copy with zeros beyond the edge): every group of a row is independent, so
// the processor has a whole row of work between one row and the next.
template <class Step>
CVL_LANES void vertical_rows(uint32_t* image, int32_t w, int32_t h, const Step& step, int32_t first, int32_t end,
                             int first_sweep) {
  const ptrdiff_t row = w;
  for (int sweep = first_sweep; sweep < 8; ++sweep) {
    const Sweep& sw = kSweeps[sweep];
    const int32_t y0 = sw.ny < 0 ? 1 : 0, y1 = sw.ny > 0 ? h - 2 : h - 1;
    for (int32_t y = sw.ystep > 0 ? y0 : y1; y >= y0 && y <= y1; y += sw.ystep) {
      uint32_t* cur = image + y * row;
      uint32_t* nb = cur + sw.ny * row;
      for (int32_t g = first; g < end; ++g) vertical_group(step, cur, nb, g, w);
    }
  }
}
template <class Step>
void pass_set(uint32_t* image, int32_t w, int32_t h, const Step& step) {
  int first_vertical = 4;  // the first vertical sweep not yet made
  if (w >= 2) {
    const int32_t strips = (h + 7) / 8;
    imaging::for_each_band(strips, int64_t(w) * 8 * 4, [&](int32_t first, int32_t end) {
      std::vector<uint32_t> scratch(size_t(w) * kStrips * 8);
      const std::vector<uint32_t> zeros(static_cast<size_t>(w));
      // Only a single band has every row above a strip done before it.
      const bool follow = first == 0 && end == strips && h >= 2;
      horizontal_strips<Step>(image, w, h, step, first, end, reinterpret_cast<__m256i*>(scratch.data()), zeros.data(),
                              follow);
      if (follow) first_vertical = 5;
    });
  }
  if (h >= 2) {
    const int32_t strips = (w + 7) / 8;
    imaging::for_each_band(strips, int64_t(h) * 8 * 4, [&](int32_t first, int32_t end) {
      vertical_rows<Step>(image, w, h, step, first, end, first_vertical);
    });
  }
}

// The step made here, where its lanes may be built, then the pass set.
template <class Step, class... Args>
CVL_LANES void run_steps(uint32_t* image, int32_t w, int32_t h, const Args&... args) {
  const Step step(args...);
  pass_set(image, w, h, step);
}

template <class Step, class... Args>
CVL_LANES void steps_of_eight(const uint32_t* cur, uint32_t* nb, int32_t n, const Args&... args) {
  const Step step(args...);
  for (int32_t i = 0; i + 8 <= n; i += 8) {
    const __m256i out = step(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(cur + i)),
                             _mm256_loadu_si256(reinterpret_cast<const __m256i*>(nb + i)));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(nb + i), out);
  }
}

// Runs `job` with the step the rule needs: the whole-number blend where its
// weights have one, else the doubles.
template <class Job>
void with_step(const LaneRule& rule, const Job& job) {
  int32_t pq[2] = {};
  switch (rule.test) {
    case LaneTest::DarkerOrLighter:
      if ((rule.weight[0] == 1.0 || whole_number_blend(rule.weight[0], pq[0])) &&
          (rule.weight[1] == 1.0 || whole_number_blend(rule.weight[1], pq[1])))
        return job.template run<DarkerOrLighterWholeStep>(rule, pq[0], pq[1]);
      return job.template run<DarkerOrLighterStep>(rule);
    case LaneTest::LuminanceWithin:
      if (whole_number_blend(rule.weight[0], pq[0])) return job.template run<LuminanceWithinWholeStep>(rule, pq[0]);
      return job.template run<LuminanceWithinStep>(rule);
    case LaneTest::ChannelsWithin: {
      int32_t each[3] = {};
      bool whole = true;
      for (int c = 0; c < 3; ++c)
        whole = whole && (rule.weight[c] == 1.0 || whole_number_blend(rule.weight[c], each[c]));
      if (whole) return job.template run<ChannelsWithinWholeStep>(rule, each);
      return job.template run<ChannelsWithinStep>(rule);
    }
  }
}

struct PassSetJob {
  uint32_t* words;
  int32_t width, height;
  template <class Step, class... Args>
  void run(const Args&... args) const {
    run_steps<Step>(words, width, height, args...);
  }
};

struct EightsJob {
  const uint32_t* cur;
  uint32_t* nb;
  int32_t n;
  template <class Step, class... Args>
  void run(const Args&... args) const {
    steps_of_eight<Step>(cur, nb, n, args...);
  }
};

// Anti Alias: Value Blur's blend, taken only where a third pixel agrees.
// Where a sweep steps from `cur` to its neighbour `nb`, the third pixel sits
// beside the neighbour one line on in the sweep's order across lines, a pixel
// the sweep has not reached yet: its luminance t is that of the picture as
// the sweep found it. Blends darker when v - u > rise and t >= v, else
// lighter when u - v > fall and t <= v (v, u the luminances of cur and nb).
template <bool Whole>
struct AntiAliasStep {
  Weight darker_w, lighter_w;
  __m256i darker_pq, lighter_pq, rise_floor, fall_floor, darker_on, lighter_on;
  CVL_LANES AntiAliasStep(const AntiAliasRule& r, int32_t dpq, int32_t lpq)
      : darker_w(r.weight[0]),
        lighter_w(r.weight[1]),
        darker_pq(_mm256_set1_epi32(dpq)),
        lighter_pq(_mm256_set1_epi32(lpq)),
        rise_floor(_mm256_set1_epi32(r.rise_floor)),
        fall_floor(_mm256_set1_epi32(r.fall_floor)),
        darker_on(changes(r.weight[0])),
        lighter_on(changes(r.weight[1])) {}
  CVL_LANES __m256i operator()(__m256i cur, __m256i nb, __m256i t) const {
    const __m256i v = luminance8(cur), u = luminance8(nb);
    // d > rise as d > the largest whole number not above rise.
    const __m256i darker =
        _mm256_andnot_si256(_mm256_cmpgt_epi32(v, t), _mm256_cmpgt_epi32(_mm256_sub_epi32(v, u), rise_floor));
    const __m256i lighter = _mm256_andnot_si256(_mm256_or_si256(darker, _mm256_cmpgt_epi32(t, v)),
                                                _mm256_cmpgt_epi32(_mm256_sub_epi32(u, v), fall_floor));
    const __m256i is_darker = _mm256_and_si256(darker, darker_on), is_lighter = _mm256_and_si256(lighter, lighter_on);
    const __m256i blends = _mm256_or_si256(is_darker, is_lighter);
    if (_mm256_testz_si256(blends, blends)) return nb;
    if (Whole) {
      const __m256i blended = whole_blend(cur, nb, _mm256_blendv_epi8(darker_pq, lighter_pq, is_lighter));
      return _mm256_blendv_epi8(nb, blended, blends);
    }
    return blend_darker_or_lighter(darker_w, lighter_w, is_darker, is_lighter, cur, nb);
  }
};

// One horizontal sweep over up to kStrips strips of rows side by side
// (entries from + dir .. to). Lane k's third pixel is in lane k + ystep's row
// at the neighbour's column, still as the sweep found it, and past the strip
// in the line `edge` (luminances, as found).
template <class Step, int N, int Ystep>
CVL_LANES void anti_alias_row_chains(const Step& step, __m256i* const* s, const int32_t* const* edge, int32_t from,
                                     int32_t to, int32_t dir) {
  const __m256i shift =
      Ystep > 0 ? _mm256_setr_epi32(1, 2, 3, 4, 5, 6, 7, 7) : _mm256_setr_epi32(0, 0, 1, 2, 3, 4, 5, 6);
  __m256i c[N];
  for (int k = 0; k < N; ++k) c[k] = _mm256_loadu_si256(s[k] + from);
  for (int32_t i = from + dir; i != to + dir; i += dir) {
    for (int k = 0; k < N; ++k) {
      const __m256i nb = _mm256_loadu_si256(s[k] + i);
      const __m256i t = _mm256_blend_epi32(_mm256_permutevar8x32_epi32(luminance8(nb), shift),
                                           _mm256_set1_epi32(edge[k][i]), Ystep > 0 ? 0x80 : 0x01);
      c[k] = step(c[k], nb, t);
      _mm256_storeu_si256(s[k] + i, c[k]);
    }
  }
}

template <class Step, int Ystep>
CVL_LANES void anti_alias_rows(const Step& step, __m256i* const* s, const int32_t* const* edge, int32_t count,
                               int32_t from, int32_t to, int32_t dir) {
  switch (count) {
    case 1:
      return anti_alias_row_chains<Step, 1, Ystep>(step, s, edge, from, to, dir);
    case 2:
      return anti_alias_row_chains<Step, 2, Ystep>(step, s, edge, from, to, dir);
    case 3:
      return anti_alias_row_chains<Step, 3, Ystep>(step, s, edge, from, to, dir);
    default:
      return anti_alias_row_chains<Step, 4, Ystep>(step, s, edge, from, to, dir);
  }
}

// The luminance of each pixel of row y, or zeros off the picture.
void luminance_row(const uint32_t* image, int32_t w, int32_t h, int32_t y, int32_t* out) {
  for (int32_t x = 0; x < w; ++x) {
    if (y < 0 || y >= h) {
      out[x] = 0;
      continue;
    }
    uint32_t px = image[size_t(y) * size_t(w) + size_t(x)];
    out[x] = int32_t(((px & 255) + (px >> 8 & 255) + (px >> 16 & 255)) / 3);
  }
}

// One horizontal sweep (nx = 1 forward, -1 backward; rows in ystep order) on
// the strips first..end-1, each strip's edge line already taken.
template <class Step, int Ystep>
CVL_LANES void anti_alias_horizontal_strips(uint32_t* image, int32_t w, int32_t h, const Step& step, int32_t nx,
                                            const int32_t* edges, int32_t first, int32_t end, __m256i* scratch,
                                            const uint32_t* zeros) {
  for (int32_t s = first; s < end; s += kStrips) {
    const int32_t count = std::min(kStrips, end - s);
    __m256i* strip[kStrips] = {scratch, scratch + w, scratch + 2 * w, scratch + 3 * w};
    const int32_t* edge[kStrips];
    for (int k = 0; k < count; ++k) {
      rows_to_strip(image, w, h, (s + k) * 8, zeros, strip[k]);
      edge[k] = edges + size_t(s + k) * size_t(w);
    }
    if (nx > 0) anti_alias_rows<Step, Ystep>(step, strip, edge, count, 0, w - 1, 1);
    else anti_alias_rows<Step, Ystep>(step, strip, edge, count, w - 1, 0, -1);
    for (int k = 0; k < count; ++k) strip_to_rows(strip[k], w, h, (s + k) * 8, image);
  }
}

template <class Step>
void anti_alias_horizontal(uint32_t* image, int32_t w, int32_t h, const Step& step, const Sweep& sw) {
  const int32_t strips = (h + 7) / 8;
  // The line past each strip in the sweep's order across lines, as the sweep
  // finds it: taken before any strip moves.
  std::vector<int32_t> edges(size_t(strips) * size_t(w));
  for (int32_t s = 0; s < strips; ++s)
    luminance_row(image, w, h, sw.ystep > 0 ? s * 8 + 8 : s * 8 - 1, edges.data() + size_t(s) * size_t(w));
  imaging::for_each_band(strips, int64_t(w) * 8 * 4, [&](int32_t first, int32_t end) {
    std::vector<uint32_t> scratch(size_t(w) * kStrips * 8);
    const std::vector<uint32_t> zeros(static_cast<size_t>(w));
    __m256i* lanes = reinterpret_cast<__m256i*>(scratch.data());
    if (sw.ystep > 0)
      anti_alias_horizontal_strips<Step, 1>(image, w, h, step, sw.nx, edges.data(), first, end, lanes, zeros.data());
    else
      anti_alias_horizontal_strips<Step, -1>(image, w, h, step, sw.nx, edges.data(), first, end, lanes, zeros.data());
  });
}

// One vertical sweep, a line at a time in the sweep's order, eight pixels of
// it at a time in its order along the line; the third pixel, beside the
// neighbour at x + xstep, is one the line's steps have not reached. The few
// pixels at the line's ends whose group would reach off the picture take the
// tables one at a time.
// Eight steps of a vertical sweep from row into nrow at x .. x + 7.
template <class Step>
CVL_LANES inline void anti_alias_group(const Step& step, const uint32_t* row, uint32_t* nrow, int32_t x,
                                       int32_t xstep) {
  const __m256i cur = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + x));
  const __m256i nb = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(nrow + x));
  const __m256i t = luminance8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(nrow + x + xstep)));
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(nrow + x), step(cur, nb, t));
}

template <class Step>
CVL_LANES void anti_alias_vertical(uint32_t* image, int32_t w, int32_t h, const Step& step, const Sweep& sw,
                                   const AntiAliasRule& rule, const BlendTable& darker, const BlendTable& lighter) {
  const int32_t y0 = sw.ny < 0 ? 1 : 0, y1 = sw.ny > 0 ? h - 2 : h - 1;
  const auto one = [&](uint32_t* row, uint32_t* nrow, int32_t x) {
    uint8_t* cur = reinterpret_cast<uint8_t*>(row + x);
    uint8_t* nb = reinterpret_cast<uint8_t*>(nrow + x);
    const int32_t v = (cur[0] + cur[1] + cur[2]) / 3, u = (nb[0] + nb[1] + nb[2]) / 3;
    int32_t t = 0;
    if (x + sw.xstep >= 0 && x + sw.xstep < w) {
      const uint8_t* q = reinterpret_cast<const uint8_t*>(nrow + x + sw.xstep);
      t = (q[0] + q[1] + q[2]) / 3;
    }
    if (v - u > rule.rise_floor && t >= v) darker.blend4(cur, nb);
    else if (u - v > rule.fall_floor && t <= v) lighter.blend4(cur, nb);
  };
  for (int32_t y = sw.ystep > 0 ? y0 : y1; y >= y0 && y <= y1; y += sw.ystep) {
    uint32_t* row = image + size_t(y) * size_t(w);
    uint32_t* nrow = row + ptrdiff_t(sw.ny) * w;
    if (sw.xstep > 0) {
      int32_t x = 0;
      for (; x + 8 < w; x += 8) anti_alias_group(step, row, nrow, x, 1);
      for (; x < w; ++x) one(row, nrow, x);
    } else {
      int32_t x = w - 8;
      for (; x >= 1; x -= 8) anti_alias_group(step, row, nrow, x, -1);
      for (x += 7; x >= 0; --x) one(row, nrow, x);
    }
  }
}

template <class Step>
CVL_LANES void anti_alias_pass_set(uint32_t* image, int32_t w, int32_t h, const AntiAliasRule& rule, int32_t dpq,
                                   int32_t lpq) {
  const Step step(rule, dpq, lpq);
  const BlendTable darker(rule.weight[0]), lighter(rule.weight[1]);
  for (const Sweep& sw : kSweeps) {
    if (sw.ny == 0) {
      if (w >= 2) anti_alias_horizontal(image, w, h, step, sw);
    } else if (h >= 2) {
      anti_alias_vertical(image, w, h, step, sw, rule, darker, lighter);
    }
  }
}

}  // namespace

bool sweep_lanes_available() {
  return imaging::cpu_has_avx2() && !portable_only;
}

void run_lane_pass_set(uint8_t* image, int32_t width, int32_t height, const LaneRule& rule) {
  if (width <= 0 || height <= 0) return;
  // The image is RGBA bytes; its pixels are handled as packed words (lane
  // arithmetic on the bytes of a word is the same on every x86).
  with_step(rule, PassSetJob{reinterpret_cast<uint32_t*>(image), width, height});
}

void lane_steps_for_test(const LaneRule& rule, const uint32_t* cur, uint32_t* nb, int32_t n) {
  with_step(rule, EightsJob{cur, nb, n});
}

void run_anti_alias_lanes(uint8_t* image, int32_t width, int32_t height, const AntiAliasRule& rule) {
  if (width <= 0 || height <= 0) return;
  uint32_t* words = reinterpret_cast<uint32_t*>(image);
  int32_t pq[2] = {};
  if ((rule.weight[0] == 1.0 || whole_number_blend(rule.weight[0], pq[0])) &&
      (rule.weight[1] == 1.0 || whole_number_blend(rule.weight[1], pq[1])))
    anti_alias_pass_set<AntiAliasStep<true>>(words, width, height, rule, pq[0], pq[1]);
  else anti_alias_pass_set<AntiAliasStep<false>>(words, width, height, rule, 0, 0);
}

#else  // no lanes on this processor family: the banded table passes run instead

bool sweep_lanes_available() { return false; }
void run_lane_pass_set(uint8_t*, int32_t, int32_t, const LaneRule&) {}
void lane_steps_for_test(const LaneRule&, const uint32_t*, uint32_t*, int32_t) {}
void run_anti_alias_lanes(uint8_t*, int32_t, int32_t, const AntiAliasRule&) {}

#endif

}  // namespace cvl::inhouse_sweeps
