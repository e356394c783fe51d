#include "imagescript/shape_layer.h"

#include <cmath>

#include "imaging/cpu_features.h"
#include "imaging/parallel_bands.h"

// Eight pixels at a time on x86-64 processors with AVX2.
#if defined(__GNUC__) && defined(__x86_64__)
#define CVL_LAYER_LANES 1
#include <immintrin.h>
#endif

namespace cvl::imagescript {

using detail::span;

Blend blend_from_value(int32_t value) { return value >= 0 && value <= 12 ? static_cast<Blend>(value) : Blend::Normal; }

Rgb Palette::pick(Lcg& random) const {
  Rgb c = base;
  if (random_colours) {
    c.r = static_cast<uint8_t>(random.next() & 255), c.g = static_cast<uint8_t>(random.next() & 255);
    c.b = static_cast<uint8_t>(random.next() & 255);
  }
  if (variation > 0) {
    const int32_t reach = std::min(variation, 100) * 255 / 100;
    const int32_t shift = random.below(2 * reach + 1) - reach;  // one shift for all three: a lighter or darker shade
    c.r = clamp_byte(c.r + shift), c.g = clamp_byte(c.g + shift), c.b = clamp_byte(c.b + shift);
  }
  return c;
}

Palette palette_from(const Values& v, int32_t colour_index, int32_t random_flag_index, int32_t variation_index) {
  Palette p;
  p.base = {clamp_byte(v(colour_index)), clamp_byte(v(colour_index + 1)), clamp_byte(v(colour_index + 2))};
  p.random_colours = random_flag_index && v(random_flag_index) == 1;
  p.variation = variation_index ? v(variation_index) : 0;
  return p;
}

PaintLayer::PaintLayer(int32_t width, int32_t height) : w_(width), h_(height), px_(size_t(width) * height * 4) {
  std::fill_n(px_.data(), px_.size(), uint8_t{0});
}

void PaintLayer::ring(double cx, double cy, double radius, double width, const Rgb& colour, Rows rows) {
  radius = std::max(radius, 0.5);
  int32_t x0, x1, y0, y1;
  span(cx, cx, radius + 1, w_, x0, x1);
  span(cy, cy, radius + 1, h_, y0, y1);
  detail::clip_rows(y0, y1, rows);
  const double inner = width > 0 ? std::max(radius - width, 0.0) : -1.0;
  // Outside radius + 0.5 and inside inner - 0.5 nothing; between radius - 0.5 and
  // inner + 0.5 all; the rest by the exact distance.
  const double out2 = detail::outside_square(radius + 0.5), in2 = detail::inside_square(radius - 0.5);
  const double hole2 = inner >= 0 ? detail::inside_square(inner - 0.5) : -1.0;
  const double solid2 = inner >= 0 ? detail::outside_square(inner + 0.5) : -1.0;
  for (int32_t y = y0; y < y1; ++y) {
    const double dy = y + 0.5 - cy, dy2 = dy * dy;
    // The row's reach of the outer edge and of the hole, two pixels slack each way.
    const double outer = radius + 0.5 + 2;
    if (dy2 >= outer * outer) continue;
    const double ox = std::sqrt(outer * outer - dy2);
    const int32_t lo = std::clamp(detail::floor_int(cx - ox - 0.5), x0, std::max(x0, x1));
    const int32_t hi = std::clamp(detail::ceil_int(cx + ox - 0.5) + 1, lo, std::max(lo, x1));
    int32_t gap_lo = hi, gap_hi = hi;
    const double hole = inner - 0.5 - 2;
    if (inner >= 0 && hole > 0 && dy2 < hole * hole) {
      const double ix = std::sqrt(hole * hole - dy2);
      gap_lo = std::clamp(detail::ceil_int(cx - ix - 0.5), lo, hi);
      gap_hi = std::clamp(detail::floor_int(cx + ix - 0.5) + 1, gap_lo, hi);
    }
    for (int32_t x = lo; x < hi; ++x) {
      if (x == gap_lo) x = gap_hi;
      if (x >= hi) break;
      const double dx = x + 0.5 - cx, q = dx * dx + dy2;
      if (q >= out2 || q <= hole2) continue;
      if (q <= in2 && q >= solid2) {
        set(x, y, colour);  // full coverage lays the colour as it is
        continue;
      }
      const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
      double c = std::clamp(radius + 0.5 - d, 0.0, 1.0);
      if (inner >= 0) c = std::min(c, std::clamp(d - inner + 0.5, 0.0, 1.0));
      cover(x, y, colour, c);
    }
  }
}

void PaintLayer::rectangle(double x0, double y0, double x1, double y1, double line, const Rgb& colour, Rows rows) {
  if (x0 > x1) std::swap(x0, x1);
  if (y0 > y1) std::swap(y0, y1);
  int32_t px0, px1, py0, py1;
  span(x0, x1, 1, w_, px0, px1);
  span(y0, y1, 1, h_, py0, py1);
  detail::clip_rows(py0, py1, rows);
  const double ix0 = x0 + line, ix1 = x1 - line, iy0 = y0 + line, iy1 = y1 - line;
  const bool hollow = line > 0 && ix1 > ix0 && iy1 > iy0;
  for (int32_t y = py0; y < py1; ++y) {
    // Coverage of the pixel's extent by an interval, per axis.
    const double cy = std::clamp(std::min(y + 1.0, y1) - std::max(double(y), y0), 0.0, 1.0);
    // Rows wholly within the hole leave the pixels wholly within it untouched.
    int32_t gap_lo = px1, gap_hi = px1;
    if (hollow && y >= iy0 && y + 1.0 <= iy1) {
      gap_lo = static_cast<int32_t>(std::clamp(std::ceil(ix0), double(px0), double(px1)));
      gap_hi = std::max(gap_lo, static_cast<int32_t>(std::clamp(std::floor(ix1), double(px0), double(px1))));
    }
    for (int32_t x = px0; x < px1; ++x) {
      if (x == gap_lo) x = gap_hi;
      if (x >= px1) break;
      const double cx = std::clamp(std::min(x + 1.0, x1) - std::max(double(x), x0), 0.0, 1.0);
      double c = cx * cy;
      if (line > 0 && c > 0) {
        const double icx = std::clamp(std::min(x + 1.0, ix1) - std::max(double(x), ix0), 0.0, 1.0);
        const double icy = std::clamp(std::min(y + 1.0, iy1) - std::max(double(y), iy0), 0.0, 1.0);
        if (ix1 > ix0 && iy1 > iy0) c -= icx * icy;
      }
      cover(x, y, colour, c);
    }
  }
}

namespace {

template <Blend mode>
void blend_pixels(const uint8_t* s, uint8_t* d, size_t n) {
  detail::blend_pixels(s, d, n, mode, [](int32_t mixed, int32_t sa, int32_t dk, int32_t da, int32_t oa) {
    // An opaque shape pixel leaves the mixed colour as it is (oa is 255).
    if (sa == 255) return static_cast<uint8_t>(mixed);
    return detail::saturate_byte((uint64_t(mixed * sa + dk * da * (255 - sa) / 255) * kInverses.v[oa]) >> 40);
  });
}

#if defined(CVL_LAYER_LANES)

#define CVL_LANES __attribute__((target("avx2")))

// One channel (the low byte of each lane of s and d) of blend_pixels' "over" for the
// normal blend: (s sa + d da (255 - sa) / 255) / oa, given da (255 - sa).
CVL_LANES inline __m256i normal_channel(__m256i s, __m256i d, __m256i sa, __m256i da_t, __m256 alpha) {
  const __m256i byte = _mm256_set1_epi32(255);
  const __m256i under = _mm256_mullo_epi32(_mm256_and_si256(d, byte), da_t);
  const __m256i kept = _mm256_cvttps_epi32(_mm256_div_ps(_mm256_cvtepi32_ps(under), _mm256_set1_ps(255.f)));
  const __m256i n = _mm256_add_epi32(_mm256_mullo_epi32(_mm256_and_si256(s, byte), sa), kept);
  // At most 255 (see detail::saturate_byte).
  return _mm256_min_epi32(_mm256_cvttps_epi32(_mm256_div_ps(_mm256_cvtepi32_ps(n), alpha)), byte);
}

// blend_pixels<Blend::Normal> eight pixels at a time. Under the normal blend the mixed
// colour is the shape's own (s (255 - da) + s da is 255 s), and an opaque shape pixel
// gives the formula's own result (oa is 255, the dividend 255 s). Both divisions
// truncate exactly through single-precision quotients: the dividends (below 2^24 and
// 2^17) and divisors are exact, and a quotient that is not whole lies at least
// 1/255 from the next whole number, beyond its rounding.
CVL_LANES void blend_normal_lanes(const uint8_t* s, uint8_t* d, size_t n) {
  const __m256i step = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7), byte = _mm256_set1_epi32(255);
  for (size_t i = 0; i < n; i += 8) {
    const __m256i lanes = _mm256_cmpgt_epi32(_mm256_set1_epi32(int32_t(std::min<size_t>(n - i, 8))), step);
    const __m256i src = _mm256_maskload_epi32(reinterpret_cast<const int32_t*>(s + 4 * i), lanes);
    const __m256i sa = _mm256_srli_epi32(src, 24);
    const __m256i laid = _mm256_andnot_si256(_mm256_cmpeq_epi32(sa, _mm256_setzero_si256()), lanes);
    if (_mm256_testz_si256(laid, laid)) continue;
    int32_t* at = reinterpret_cast<int32_t*>(d + 4 * i);
    const __m256i dst = _mm256_maskload_epi32(at, laid);
    const __m256i da_t = _mm256_mullo_epi32(_mm256_srli_epi32(dst, 24), _mm256_sub_epi32(byte, sa));
    const __m256i oa =
        _mm256_add_epi32(sa, _mm256_cvttps_epi32(_mm256_div_ps(_mm256_cvtepi32_ps(da_t), _mm256_set1_ps(255.f))));
    const __m256 alpha = _mm256_cvtepi32_ps(oa);
    const __m256i r = normal_channel(src, dst, sa, da_t, alpha);
    const __m256i g = normal_channel(_mm256_srli_epi32(src, 8), _mm256_srli_epi32(dst, 8), sa, da_t, alpha);
    const __m256i b = normal_channel(_mm256_srli_epi32(src, 16), _mm256_srli_epi32(dst, 16), sa, da_t, alpha);
    const __m256i out = _mm256_or_si256(_mm256_or_si256(r, _mm256_slli_epi32(g, 8)),
                                        _mm256_or_si256(_mm256_slli_epi32(b, 16), _mm256_slli_epi32(oa, 24)));
    _mm256_maskstore_epi32(at, laid, out);
  }
}

#endif

template <Blend mode>
void blend_rows(const uint8_t* s, uint8_t* d, int32_t w, int32_t h) {
  [[maybe_unused]] const bool lanes = detail::paint_layer_lanes();
  imaging::for_each_band(h, int64_t(w) * 8, [&](int first, int end) {
    const size_t at = size_t(first) * w * 4, n = size_t(end - first) * w;
#if defined(CVL_LAYER_LANES)
    if (mode == Blend::Normal && lanes) return blend_normal_lanes(s + at, d + at, n);
#endif
    blend_pixels<mode>(s + at, d + at, n);
  });
}

bool portable_only = false;

}  // namespace

void paint_layer_use_portable_lanes(bool on) { portable_only = on; }

bool detail::paint_layer_lanes() {
#if defined(CVL_LAYER_LANES)
  return imaging::cpu_has_avx2() && !portable_only;
#else
  return false;
#endif
}

void PaintLayer::blend_onto(uint8_t* rgba, Blend mode) const {
  const uint8_t* s = px_.data();
  switch (mode) {
    case Blend::Replace:
      return blend_rows<Blend::Replace>(s, rgba, w_, h_);
    case Blend::Add:
      return blend_rows<Blend::Add>(s, rgba, w_, h_);
    case Blend::Subtract:
      return blend_rows<Blend::Subtract>(s, rgba, w_, h_);
    case Blend::Multiply:
      return blend_rows<Blend::Multiply>(s, rgba, w_, h_);
    case Blend::Screen:
      return blend_rows<Blend::Screen>(s, rgba, w_, h_);
    case Blend::Darken:
      return blend_rows<Blend::Darken>(s, rgba, w_, h_);
    case Blend::Lighten:
      return blend_rows<Blend::Lighten>(s, rgba, w_, h_);
    case Blend::Difference:
      return blend_rows<Blend::Difference>(s, rgba, w_, h_);
    case Blend::Overlay:
      return blend_rows<Blend::Overlay>(s, rgba, w_, h_);
    case Blend::Average:
      return blend_rows<Blend::Average>(s, rgba, w_, h_);
    case Blend::Exclusion:
      return blend_rows<Blend::Exclusion>(s, rgba, w_, h_);
    case Blend::Invert:
      return blend_rows<Blend::Invert>(s, rgba, w_, h_);
    default:
      return blend_rows<Blend::Normal>(s, rgba, w_, h_);
  }
}

}  // namespace cvl::imagescript
